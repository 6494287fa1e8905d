// Where one element lies in the text of a well-formed XML document, so that an edit can replace
// that element's bytes and keep every other byte of the file as it was.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

struct XmlElementSpan {
    std::size_t start = 0;         // the '<' of the start tag
    std::size_t contentBegin = 0;  // just after the start tag
    std::size_t contentEnd = 0;    // the '<' of the end tag; contentBegin for an empty-element tag
    std::size_t end = 0;           // just after the element
    bool emptyElementTag = false;  // written as <name ... />
};

// The element named `name` whose start tag begins at `start`; none when the text there is no such
// element or the element does not end. Comments, character data sections, processing
// instructions and quoted attribute values are passed over whole.
std::optional<XmlElementSpan> FindXmlElementSpan(std::string_view text, std::size_t start,
                                                 std::string_view name);
