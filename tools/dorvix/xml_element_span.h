// Reading an XML document's text without making a document of it: where its elements begin and
// end, so that an edit can replace one element's bytes and keep every other byte of the file as
// it was, and parse only the elements it needs, however large the file.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
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

struct XmlStartTag {
    std::string_view name;
    std::string_view attributes;  // the tag's text after its name, without the closing "/"
    std::size_t start = 0;        // the '<'
    int depth = 0;                // how many elements hold it (0 for the root)
};

// Whether the text's XML declaration names the encoding Latin-1 (by either of its names), with
// its attributes in any order.
bool XmlDeclaresLatin1(std::string_view text);

// Passes every start tag of the document to `visit`, in the order of the text, and checks the
// document's markup: one root element, each element closed by its own end tag, every comment,
// character data section, processing instruction, document type and tag ended. Markup is read
// where the model load reads it: a comment runs to the first "-->" after its "<!--", a document
// type to the first '>' that no literal, comment, processing instruction or declaration inside it
// holds. Text the load would not read byte for byte (a NUL; a byte past ASCII where the
// declaration names Latin-1) is refused, and so is a start tag that names an attribute twice. False, with the
// offset and what is wrong there, at the first fault. What lies within a tag or between tags is not checked:
// the elements a reader needs are parsed as documents of their own.
bool ScanXmlDocument(std::string_view text, const std::function<void(const XmlStartTag&)>& visit,
                     std::size_t& faultOffset, std::string& fault);

// The value of the attribute `name` in a start tag's attribute text as written (references not
// replaced); none when the tag has no such attribute.
std::optional<std::string_view> XmlAttributeValue(std::string_view attributes, std::string_view name);

// The first reference to an entity other than the five that XML predefines (amp, lt, gt, quot,
// apos), in content or attribute values of `text`; character references are none. Its offset in
// `text` and the reference as written ("&name;"); none when there is none.
struct XmlEntityReference {
    std::size_t offset = 0;
    std::string_view text;
};
std::optional<XmlEntityReference> FindEntityReference(std::string_view text);
// The same in an attribute's value as written, where no markup stands.
std::optional<XmlEntityReference> FindEntityReferenceInValue(std::string_view value);

// `xml`, markup in UTF-8 as the XML library prints it, with each character past ASCII in content
// or an attribute value written as a character reference, so that a reader takes it for the same
// text whatever ASCII-based encoding it reads the bytes in. False, with the reason and `xml` as it
// was, where such a character stands where no reference is read (a name, a comment, character
// data, a processing instruction) or the bytes are no UTF-8 text.
bool XmlWithCharacterReferences(std::string& xml, std::string& problem);

// "line 12, column 7" of an offset in `text`, both from 1; the column counts characters.
std::string XmlLineAndColumn(std::string_view text, std::size_t offset);
