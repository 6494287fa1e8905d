// The model file's solver object and settings element read, and the settings written back, other bytes kept.
#include "tools/dorvix/model_settings_xml.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string_view>
#include <vector>

#include "host/solver_proxy.h"
#include "hostsim/analysis_objects.h"
#include "hostsim/host_case.h"
#include "platform/files.h"
#include "tools/dorvix/xml_element_span.h"

namespace {

// The names the host gives its types in a model's solver object.
template <class Type>
struct TypeName {
    Type type;
    std::string_view name;
};
constexpr TypeName<JXPhysicsType> kPhysicsNames[] = {{kPT_Mechanical, "Mechanical"},
                                                     {kPT_Thermal, "Thermal"}};
constexpr TypeName<JXSimulationType> kAnalysisNames[] = {
    {kSIMULATION_STATIC, "Static"},       {kSIMULATION_HARMONIC, "Harmonic"},
    {kSIMULATION_TRANSIENT, "Transient"}, {kSIMULATION_SPECTRUM, "Spectrum"},
    {kSIMULATION_BUCKLING, "Buckling"},   {kSIMULATION_MODAL, "Modal"},
};

template <class Type, std::size_t N>
std::optional<Type> TypeNamed(const TypeName<Type> (&names)[N], std::string_view name) {
    for (const TypeName<Type>& row : names)
        if (row.name == name) return row.type;
    return std::nullopt;
}

template <class Type, std::size_t N>
std::string NameOf(const TypeName<Type> (&names)[N], Type type, const char* kind) {
    for (const TypeName<Type>& row : names)
        if (row.type == type) return std::string(row.name);
    return std::string(kind) + " " + std::to_string(static_cast<int>(type));
}

// True when the element holds a settings document beside the analysis parameters.
bool HoldsSettings(pugi::xml_node settings) {
    for (pugi::xml_node child : settings.children())
        if (child.type() == pugi::node_element && std::strcmp(child.name(), "Parameters") != 0) return true;
    return false;
}

std::string LineEndOf(std::string_view text) {
    const std::size_t lf = text.find('\n');
    return lf != std::string_view::npos && lf > 0 && text[lf - 1] == '\r' ? "\r\n" : "\n";
}

std::string WithLineEnds(const std::string& text, const std::string& lineEnd) {
    if (lineEnd == "\n") return text;
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out += lineEnd;
        else
            out += c;
    }
    return out;
}

bool IsBlank(std::string_view text) { return text.find_first_not_of(" \t\r") == std::string_view::npos; }

std::string Indent(int depth) { return std::string(2 * static_cast<std::size_t>(std::max(depth, 0)), ' '); }

std::string Printed(pugi::xml_node node, int depth, unsigned flags) {
    std::ostringstream out;
    node.print(out, "  ", flags, pugi::encoding_utf8, static_cast<unsigned>(depth));
    return out.str();
}

// The element's children one level deeper, each on a line of its own, and the indentation of
// the end tag after them; nothing for an element without children.
std::string PrintedContent(pugi::xml_node element, int depth) {
    std::string children;
    for (pugi::xml_node child : element.children())
        children += Printed(child, depth + 1, pugi::format_indent);
    return children.empty() ? std::string() : "\n" + children + Indent(depth);
}

// Blank values are read as the model load reads them, not dropped.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single;

// The element named `name` at `start` of the model's text, parsed as a document of its own, and
// where it lies. None, with the reason naming the file and the place, when it does not read as XML.
std::optional<XmlElementSpan> ParseElement(std::string_view text, std::size_t start, std::string_view name,
                                           pugi::xml_document& document, const std::filesystem::path& file,
                                           std::string& problem) {
    const std::optional<XmlElementSpan> span = FindXmlElementSpan(text, start, name);
    if (!span) {
        problem = file.string() + ": the element <" + std::string(name) + "> at offset " +
                  std::to_string(start) + " does not end";
        return std::nullopt;
    }
    const pugi::xml_parse_result parsed = document.load_buffer(
        text.data() + span->start, span->end - span->start, kParseOptions, pugi::encoding_utf8);
    if (!parsed) {
        const std::size_t at = span->start + static_cast<std::size_t>(parsed.offset);
        problem = file.string() + ": XML error at offset " + std::to_string(at) + " (" +
                  XmlLineAndColumn(text, at) + "): " + parsed.description();
        return std::nullopt;
    }
    return span;
}

// The text of the solver object's child element at `start`, as a document reads it; empty for a
// child the solver object does not have. False, with the reason, when it does not read as XML.
bool ChildValue(std::string_view text, std::optional<std::size_t> start, std::string_view name,
                const std::filesystem::path& file, std::string& value, std::string& problem) {
    pugi::xml_document child;
    if (start && !ParseElement(text, *start, name, child, file, problem)) return false;
    value = child.first_child().child_value();
    return true;
}

// Where the solver object the solve reads, and its children the settings are read from, begin in
// the text. The solve reads objects only from the tree below the document element: an element
// marked CAEType="object" whose parent is one. Of several solver objects it takes the one it meets
// first looking among an object's children before below them, from the root down; of several
// settings objects of the solver object, the last one.
struct SolverFound {
    // The last start tag met at each depth (on the way to the tag met now, its ancestors), and
    // whether it is an object of the tree.
    std::vector<std::size_t> starts;
    std::vector<bool> objects;
    std::optional<std::size_t> solver;
    std::string_view name;
    int depth = 0;
    std::vector<std::size_t> solverAncestors;
    bool passed = false;  // a tag after the solver object's end was met
    std::optional<std::size_t> physics, analysis, settings;
    // An attribute that says what an element is, holding a reference: the solve reads it with the
    // reference replaced, the scan as written.
    std::optional<std::size_t> referenceIn;

    void Visit(const XmlStartTag& tag) {
        const auto at = static_cast<std::size_t>(tag.depth);
        starts.resize(at + 1);
        objects.resize(at + 1);
        starts[at] = tag.start;
        const std::optional<std::string_view> kind = XmlAttributeValue(tag.attributes, "CAEType");
        const bool object = kind == "object" && (at == 0 || objects[at - 1]);
        const std::optional<std::string_view> type =
            object ? XmlAttributeValue(tag.attributes, "Type") : std::nullopt;
        objects[at] = object;
        if ((kind && kind->find('&') != std::string_view::npos) ||
            (type && type->find('&') != std::string_view::npos))
            referenceIn = referenceIn.value_or(tag.start);
        if (at > 0 && type == "SolverRep" && ComesFirst(at)) {
            solver = tag.start;
            name = tag.name;
            depth = tag.depth;
            solverAncestors.assign(starts.begin(), starts.end() - 1);
            passed = false;
            physics = analysis = settings = std::nullopt;
            return;
        }
        if (!solver) return;
        passed = passed || tag.depth <= depth;
        if (passed || tag.depth != depth + 1) return;
        const bool property = kind == "property";
        if (tag.name == "PhysicsType" && property) physics = tag.start;
        if (tag.name == "AnalysisType" && property) analysis = tag.start;
        if (tag.name == "AnalysisSettings" && kind == "externalObject") settings = tag.start;
    }

    // Whether a solver object at `at`, met after the one found, comes before it for the solve: its
    // parent holds the one found deeper down.
    bool ComesFirst(std::size_t at) const {
        if (!solver) return true;
        return at < solverAncestors.size() && solverAncestors[at - 1] == starts[at - 1];
    }
};

}  // namespace

bool ReadModelSettingsXml(const std::filesystem::path& file, ModelSettingsXml& model, std::string& problem) {
    std::string error;
    if (!platform::ReadWholeFile(file, model.text, &error)) {
        problem = file.string() + ": " + error;
        return false;
    }
    return ReadModelSettingsText(file, model, problem);
}

bool ReadModelSettingsText(const std::filesystem::path& file, ModelSettingsXml& model, std::string& problem) {
    const std::string_view text = model.text;
    SolverFound found;
    std::size_t faultOffset = 0;
    std::string fault;
    if (!ScanXmlDocument(
            text, [&found](const XmlStartTag& tag) { found.Visit(tag); }, faultOffset, fault)) {
        problem = file.string() + ": XML error at offset " + std::to_string(faultOffset) + " (" +
                  XmlLineAndColumn(text, faultOffset) + "): " + fault;
        return false;
    }
    if (found.referenceIn) {
        problem = file.string() + ": the element at " + XmlLineAndColumn(text, *found.referenceIn) +
                  " holds a reference in its CAEType or Type, which the settings edit does not read";
        return false;
    }
    if (!found.solver) {
        problem = file.string() + ": the model has no solver object (SolverRep)";
        return false;
    }
    model.solverStart = *found.solver;
    model.solverName = std::string(found.name);
    model.settingsStart = found.settings;
    model.settingsDepth = found.depth + 1;
    if (!ChildValue(text, found.physics, "PhysicsType", file, model.physicsName, problem) ||
        !ChildValue(text, found.analysis, "AnalysisType", file, model.analysisName, problem))
        return false;
    // A model the host saved before any settings existed: the defaults stand, and an edit
    // brings the element.
    if (!found.settings) {
        model.settings = model.document->append_child("AnalysisSettings");
        model.settings.append_attribute("CAEType").set_value("externalObject");
        return true;
    }
    const std::optional<XmlElementSpan> span =
        ParseElement(text, *found.settings, "AnalysisSettings", *model.document, file, problem);
    if (!span) return false;
    model.settings = model.document->first_child();
    if (const std::optional<XmlEntityReference> reference =
            FindEntityReference(text.substr(span->start, span->end - span->start)))
        model.textNotRead =
            "the settings element holds an entity reference (" + std::string(reference->text) + ") at " +
            XmlLineAndColumn(text, span->start + reference->offset) + ", which the settings do not read";
    return true;
}

bool ModelTextWithSettings(const ModelSettingsXml& model, ModelTextPieces& pieces, std::string& problem) {
    const std::string_view original = model.text;
    const std::string lineEnd = LineEndOf(original);
    const int depth = model.settingsDepth;
    const std::optional<XmlElementSpan> span =
        model.settingsStart ? FindXmlElementSpan(original, *model.settingsStart, model.settings.name())
                            : FindXmlElementSpan(original, model.solverStart, model.solverName);
    if (!span) {
        problem = "the settings cannot be placed in the model's text";
        return false;
    }
    pieces = ModelTextPieces();
    if (model.settingsStart) {
        const std::string content = WithLineEnds(PrintedContent(model.settings, depth), lineEnd);
        pieces.before = original.substr(0, span->start);
        pieces.after = original.substr(span->end);
        // "<name .../>" loses its "/>" and is closed after the new content.
        pieces.element =
            span->emptyElementTag
                ? std::string(original.substr(span->start, span->contentBegin - 2 - span->start)) + ">" +
                      content + "</" + model.settings.name() + ">"
                : std::string(original.substr(span->start, span->contentBegin - span->start)) + content +
                      std::string(original.substr(span->contentEnd, span->end - span->contentEnd));
        return true;
    }
    const std::string printed = WithLineEnds(Printed(model.settings, depth, pugi::format_indent), lineEnd);
    if (span->emptyElementTag) {
        pieces.before = original.substr(0, span->contentBegin - 2);
        pieces.opening = ">" + lineEnd;
        pieces.element = printed;
        pieces.closing = Indent(depth - 1) + "</" + model.solverName + ">";
        pieces.after = original.substr(span->end);
        return true;
    }
    // The new element goes last, on a line of its own when the end tag stands on one.
    const std::size_t lineStart = original.rfind('\n', span->contentEnd - 1);
    const bool ownLine = lineStart != std::string_view::npos && lineStart >= span->contentBegin &&
                         IsBlank(original.substr(lineStart + 1, span->contentEnd - lineStart - 1));
    const std::size_t at = ownLine ? lineStart + 1 : span->contentEnd;
    pieces.before = original.substr(0, at);
    pieces.element = ownLine ? printed : Printed(model.settings, 0, pugi::format_raw);
    pieces.after = original.substr(at);
    return true;
}

bool ReadWrittenSettings(std::string_view element, const ModelSettingsXml& model, ModelSettingsXml& written,
                         std::string& problem) {
    written.physicsName = model.physicsName;
    written.analysisName = model.analysisName;
    const pugi::xml_parse_result parsed =
        written.document->load_buffer(element.data(), element.size(), kParseOptions, pugi::encoding_utf8);
    written.settings = written.document->child("AnalysisSettings");
    if (!parsed || !written.settings) {
        problem = "the settings written into the model's text do not read as XML";
        return false;
    }
    return true;
}

std::optional<JXPhysicsType> PhysicsTypeNamed(std::string_view name) {
    return name.empty() ? kPT_Mechanical : TypeNamed(kPhysicsNames, name);
}

std::optional<JXSimulationType> AnalysisTypeNamed(std::string_view name) {
    return name.empty() ? kSIMULATION_STATIC : TypeNamed(kAnalysisNames, name);
}

std::string PhysicsTypeName(JXPhysicsType type) { return NameOf(kPhysicsNames, type, "physics"); }

std::string AnalysisTypeName(JXSimulationType type) { return NameOf(kAnalysisNames, type, "analysis"); }

std::string AnalysisLabel(const ModelSettingsXml& model) {
    return (model.analysisName.empty() ? "Static" : model.analysisName) + " " +
           (model.physicsName.empty() ? "Mechanical" : model.physicsName);
}

ModelSettingsRefusal TakeModelSettings(IJXAnalysisSettingsAddIn& settings, const ModelSettingsXml& model,
                                       HRESULT& answer) {
    const std::optional<JXPhysicsType> physics = PhysicsTypeNamed(model.physicsName);
    const std::optional<JXSimulationType> analysis = AnalysisTypeNamed(model.analysisName);
    if (!physics || !analysis) {
        answer = E_INVALIDARG;
        return ModelSettingsRefusal::kUnknownType;
    }
    answer = settings.SetTypes(*physics, *analysis);
    if (FAILED(answer)) return ModelSettingsRefusal::kAnalysis;
    answer = settings.ReadSettingsXml(CreateHostSimXmlElementSource(model.document, model.settings, 1).Get());
    if (FAILED(answer) && HoldsSettings(model.settings)) return ModelSettingsRefusal::kSettings;
    return ModelSettingsRefusal::kNone;
}

int HostSettingsObjectId(const HostSimCase& hostCase) {
    for (const HostSimObject& object : hostCase.objects)
        if (object.type == kHostAnalysisSettingsType) return object.id;
    return 0;
}
