// The markup of a case's model as a settings edit reads it without making a document of it: the
// scan of the whole text, where each element it passes lies, the entity references and attribute
// values it finds. What the scan accepts, the element finder must place inside the text.
//
// Against the document the solve parses: for every text that parses as a document, the edit
// finds the solver object and the settings element the solve reads (the same place in the text,
// the same content, the same physics), or it refuses the model; it never finds another one, nor
// one where the solve finds none.
#include <cstring>
#include <sstream>
#include <string>

#include "fuzz_support.h"
#include "tools/dorvix/model_settings_xml.h"
#include "tools/dorvix/xml_element_span.h"

namespace {

bool IsKind(pugi::xml_node element, const char* kind) {
    return std::strcmp(element.attribute("CAEType").value(), kind) == 0;
}

bool IsObject(pugi::xml_node node) { return node.type() == pugi::node_element && IsKind(node, "object"); }

// The model load's search by type: an object's own children first, then below each in turn.
pugi::xml_node FirstSolver(pugi::xml_node object) {
    for (pugi::xml_node child : object.children())
        if (IsObject(child) && std::strcmp(child.attribute("Type").value(), "SolverRep") == 0) return child;
    for (pugi::xml_node child : object.children())
        if (IsObject(child))
            if (pugi::xml_node found = FirstSolver(child)) return found;
    return {};
}

// The solver object's last child element of that name and kind: a later one replaces an earlier.
pugi::xml_node LastChild(pugi::xml_node solver, const char* name, const char* kind) {
    pugi::xml_node last;
    for (pugi::xml_node child : solver.children(name))
        if (IsKind(child, kind)) last = child;
    return last;
}

std::size_t StartOf(pugi::xml_node element) { return static_cast<std::size_t>(element.offset_debug()) - 1; }

std::string Printed(pugi::xml_node node) {
    std::ostringstream out;
    node.print(out, "", pugi::format_raw);
    return out.str();
}

// The edit's reading of the model against the solve's, where the edit accepts the model.
void CompareWithTheSolve(std::string_view text) {
    pugi::xml_document document;
    if (!document.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata_single))
        return;
    ModelSettingsXml model;
    model.text = std::string(text);
    std::string problem;
    if (!ReadModelSettingsText("model", model, problem)) return;
    const pugi::xml_node root = document.document_element();
    const pugi::xml_node solver = IsKind(root, "object") ? FirstSolver(root) : pugi::xml_node();
    if (!solver) fuzz::Broken("the edit found a solver object where the solve finds none");
    if (model.solverStart != StartOf(solver)) fuzz::Broken("the edit found another solver object");
    if (model.physicsName != LastChild(solver, "PhysicsType", "property").child_value())
        fuzz::Broken("the edit read another physics");
    const pugi::xml_node settings = LastChild(solver, "AnalysisSettings", "externalObject");
    if (!settings) {
        if (model.settingsStart) fuzz::Broken("the edit found a settings element where the solve finds none");
        return;
    }
    if (!model.settingsStart || *model.settingsStart != StartOf(settings))
        fuzz::Broken("the edit found another settings element");
    if (Printed(model.settings) != Printed(settings))
        fuzz::Broken("the edit read other settings than the solve");
}

}  // namespace

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
    if (scanned) CompareWithTheSolve(text);
    return 0;
}
