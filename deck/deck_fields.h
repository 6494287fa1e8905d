// Typed values of a deck command line and the builder that assembles them. A command is a
// leading keyword text followed by values, each after one blank: integers in decimal,
// doubles in the deck's general number format, texts unchanged, points and lists element
// by element, and a trailing comment as TAB, "!", blank, text.
#pragma once

#include <concepts>
#include <string>
#include <string_view>
#include <type_traits>

// Three doubles of a point or vector.
struct DeckPoint {
    const double* values;
};
// An array of doubles with its count; nothing is written for a count of 0 or less.
struct DeckDoubles {
    const double* values;
    int count;
};
// An array of integers with its count; nothing is written for a count of 0 or less.
struct DeckInts {
    const int* values;
    int count;
};
// A trailing comment.
struct DeckComment {
    std::string_view text;
};

class DeckLineBuilder {
  public:
    explicit DeckLineBuilder(std::string& scratch, std::string_view keyword) : line_(scratch) {
        line_.assign(keyword);
    }

    template <class T>
    requires(std::integral<T> && !std::same_as<T, bool> && !std::same_as<T, char>) void Add(T value) {
        line_.push_back(' ');
        AppendInteger(static_cast<long long>(value));
    }
    void Add(double value);
    void Add(float value) { Add(static_cast<double>(value)); }
    void Add(std::string_view text) {
        line_.push_back(' ');
        line_.append(text);
    }
    void Add(const char* text) { Add(std::string_view(text ? text : "")); }
    void Add(const std::string& text) { Add(std::string_view(text)); }
    void Add(DeckPoint point);
    void Add(DeckDoubles list);
    void Add(DeckInts list);
    void Add(DeckComment comment);

    const std::string& Text() const { return line_; }

  private:
    void AppendInteger(long long value);
    std::string& line_;
};
