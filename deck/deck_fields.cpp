// Appending values to a deck command: integers, doubles in the general format, points, lists, a comment.
#include "deck/deck_fields.h"

#include <charconv>

#include "foundation/number_format.h"

void DeckLineBuilder::AppendInteger(long long value) {
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    line_.append(digits, result.ptr);
}

void DeckLineBuilder::Add(double value) {
    line_.push_back(' ');
    AppendGeneral15(line_, value);
}

void DeckLineBuilder::Add(DeckPoint point) {
    for (int i = 0; i < 3; ++i) Add(point.values[i]);
}

void DeckLineBuilder::Add(DeckDoubles list) {
    if (!list.values) return;
    for (int i = 0; i < list.count; ++i) Add(list.values[i]);
}

void DeckLineBuilder::Add(DeckInts list) {
    if (!list.values) return;
    for (int i = 0; i < list.count; ++i) Add(list.values[i]);
}

void DeckLineBuilder::Add(DeckComment comment) {
    line_.append("\t! ");
    line_.append(comment.text);
}
