// The markup of a case's model as a settings edit reads it without making a document of it: the
// scan of the whole text, where each element it passes lies, the entity references and attribute
// values it finds. What the scan accepts, the element finder must place inside the text.
#include <string>

#include "fuzz_support.h"
#include "tools/dorvix/xml_element_span.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::AsText(data, size);
    std::size_t faultOffset = 0;
    std::string fault;
    bool placed = true;
    const bool scanned = ScanXmlDocument(
        text,
        [&](const XmlStartTag& tag) {
            if (tag.start >= text.size() || tag.attributes.size() > text.size())
                fuzz::Broken("a tag outside the text");
            (void)XmlAttributeValue(tag.attributes, "CAEType");
            const std::optional<XmlElementSpan> span = FindXmlElementSpan(text, tag.start, tag.name);
            placed = placed && span && span->start == tag.start && span->contentBegin <= span->contentEnd &&
                     span->contentEnd <= span->end && span->end <= text.size();
        },
        faultOffset, fault);
    if (scanned && !placed) fuzz::Broken("an element of an accepted document cannot be placed");
    if (!scanned && (fault.empty() || faultOffset > text.size())) fuzz::Broken("a fault without its place");
    if (const std::optional<XmlEntityReference> reference = FindEntityReference(text)) {
        if (reference->offset >= text.size() ||
            text.substr(reference->offset, reference->text.size()) != reference->text)
            fuzz::Broken("an entity reference outside the text");
        (void)XmlLineAndColumn(text, reference->offset);
    }
    return 0;
}
