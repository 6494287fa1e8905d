// A process-wide pool of the short texts that every representation object repeats: property
// names, units and quantity types. Each distinct text is stored once and never freed, so
// objects keep a pointer instead of a copy and compare names by address. Models load in
// linear time without an allocation per repeated name.
#pragma once

#include <string>
#include <string_view>

namespace NCAERep {

// The pooled copy of `text`, added on first use.
const std::wstring* InternText(std::wstring_view text);
// The same for UTF-8 text (as the XML library hands it out).
const std::wstring* InternUtf8Text(std::string_view text);
// The pooled copy, or null when the text was never pooled (so a look-up of an unknown name
// does not grow the pool).
const std::wstring* FindInternedText(std::wstring_view text);

}  // namespace NCAERep
