// Node and element records in the form the add-in writes them, the bulk of a deck, recognised
// without splitting them into words. A record these do not recognise is left to the general
// reading of the deck, which would decide the same; they only decide faster.
#pragma once

#include <string_view>

// The blanks that separate the words of a deck: those of the C locale.
constexpr bool IsDeckBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The deck's own number form "-d.dddddddddE+ddd", with at most 17 decimals and an exponent far
// from the limits of a double, so that it is always a number. Answers where the form ends, or
// null when [p, end) does not begin with it.
const char* MatchPlainNumber(const char* p, const char* end);

class WriterRecord {
  public:
    explicit WriterRecord(std::string_view line);

    // "id x y z": the id a run of at most nine digits, the coordinates in the plain form.
    bool IsNode(int& id);
    // "I id N n n ...": every word but I and N a run of digits.
    bool IsElement();

  private:
    bool AtWordEnd() const { return p_ == end_ || IsDeckBlank(*p_); }
    // The letter as a word of its own.
    bool Letter(char c);

    const char* end_;
    const char* first_;  // the first word
    const char* p_;
};
