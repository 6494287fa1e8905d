// The model file's solver object and settings element read, and the settings written back, other bytes kept.
#include "tools/dorvix/model_settings_xml.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string_view>
#include <vector>

#include "caerep/core/cae_rep.h"
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

// The text of the solver object's property element at `start`, as the model load reads a string
// property; empty for a property the solver object does not have. False, with the reason, when
// it does not read as XML.
bool PropertyText(std::string_view text, const std::optional<XmlStartTag>& property,
                  const std::filesystem::path& file, std::string& value, std::string& problem) {
    pugi::xml_document element;
    if (property && !ParseElement(text, property->start, property->name, element, file, problem))
        return false;
    value = element.first_child().text().get();
    return true;
}

// An attribute of a start tag as the model load reads it: references replaced, as the XML library
// the load reads with replaces them (the value alone is handed to it). None when the tag has no
// such attribute. A reference to an entity of the document type's, which the load leaves as
// written, is not read: the reason is kept in `unread`.
std::optional<std::string> AttributeAsRead(std::string_view attributes, std::string_view name,
                                           std::string& unread) {
    const std::optional<std::string_view> written = XmlAttributeValue(attributes, name);
    if (!written || written->find_first_of("&\t\r\n") == std::string_view::npos)
        return written ? std::optional<std::string>(*written) : std::nullopt;
    if (const std::optional<XmlEntityReference> reference = FindEntityReferenceInValue(*written)) {
        unread = "its " + std::string(name) + " holds an entity reference (" + std::string(reference->text) +
                 "), which the settings edit does not read";
        return std::nullopt;
    }
    // The value keeps the quote it was written in, which it cannot hold.
    const char quote = attributes[static_cast<std::size_t>(written->data() - attributes.data()) - 1];
    const std::string tag = "<a v=" + std::string(1, quote) + std::string(*written) + quote + "/>";
    pugi::xml_document document;
    if (!document.load_buffer(tag.data(), tag.size(), kParseOptions, pugi::encoding_utf8)) {
        unread = "its " + std::string(name) + " does not read as an attribute value";
        return std::nullopt;
    }
    return std::string(document.first_child().attribute("v").value());
}

// Where the solver object and the elements of it the settings are read from begin in the text, as
// the model load reads them. The load reads objects only from the tree below the document
// element: an element marked CAEType="object" whose parent is one. It searches that tree for the
// solver object in an order that the objects it makes of its own (the fixed children of an
// engineering or post object) decide, not the text: a model with more than one solver object is
// refused, so that the edit never changes another one than the solve reads. Of the solver
// object's properties, each is named by its Name attribute, else by its element, and the last of
// a name counts; of its settings objects, the last one.
struct SolverFound {
    // Whether the element open at each depth is an object of the tree.
    std::vector<bool> objects;
    std::vector<std::size_t> solvers;
    std::optional<XmlStartTag> solver;
    bool passed = false;  // a tag after the solver object's end was met
    std::optional<XmlStartTag> physics, analysis;
    std::optional<std::size_t> settings;
    // The depth of the last settings element's start tag while the scan is inside that element,
    // and how many levels it holds.
    std::optional<int> insideSettings;
    int settingsNesting = 0;
    // The first element whose reading the edit cannot be sure of, and why.
    std::optional<std::size_t> refusedAt;
    std::string refusal;

    void Refuse(std::size_t at, std::string why) {
        if (refusedAt) return;
        refusedAt = at;
        refusal = std::move(why);
    }

    void Visit(const XmlStartTag& tag) {
        if (insideSettings && tag.depth <= *insideSettings) insideSettings.reset();
        if (insideSettings) settingsNesting = std::max(settingsNesting, tag.depth - *insideSettings);
        const auto at = static_cast<std::size_t>(tag.depth);
        objects.resize(at + 1);
        std::string unread;
        const std::optional<std::string> kind = AttributeAsRead(tag.attributes, "CAEType", unread);
        const bool object = kind == "object" && (at == 0 || objects[at - 1]);
        objects[at] = object;
        if (object && tag.depth >= NCAERep::CCAERep::kMaxObjectDepth)
            Refuse(tag.start, "objects nest more than " + std::to_string(NCAERep::CCAERep::kMaxObjectDepth) +
                                  " levels deep");
        if (object && at > 0 && AttributeAsRead(tag.attributes, "Type", unread) == "SolverRep") {
            solvers.push_back(tag.start);
            if (!solver) solver = tag;
        } else if (solver && !passed && tag.depth == solver->depth + 1) {
            VisitSolverChild(tag, kind, unread);
        }
        passed = passed || (solver && tag.start != solver->start && tag.depth <= solver->depth);
        if (!unread.empty()) Refuse(tag.start, unread);
    }

    void VisitSolverChild(const XmlStartTag& tag, const std::optional<std::string>& kind,
                          std::string& unread) {
        if (kind == "externalObject" && tag.name == "AnalysisSettings") {
            settings = tag.start;
            insideSettings = tag.depth;
            settingsNesting = 0;
        }
        if (kind != "property") return;
        const std::optional<std::string> named = AttributeAsRead(tag.attributes, "Name", unread);
        const std::string name = named.value_or(std::string(tag.name));
        if (name != "PhysicsType" && name != "AnalysisType") return;
        // A value of another type than text is no analysis name the edit can be sure of.
        const std::optional<std::string_view> type = XmlAttributeValue(tag.attributes, "ValueType");
        if (type && *type != "string")
            unread = "the solver object's property " + name + " holds a value of type \"" +
                     std::string(*type) + "\", not \"string\"";
        (name == "PhysicsType" ? physics : analysis) = tag;
    }
};

std::string PlacesOf(std::string_view text, const std::vector<std::size_t>& starts) {
    std::string places;
    for (std::size_t start : starts)
        places += (places.empty() ? "" : "; at ") + XmlLineAndColumn(text, start);
    return places;
}

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
    if (found.refusedAt) {
        problem = file.string() + ": the element at " + XmlLineAndColumn(text, *found.refusedAt) + ": " +
                  found.refusal;
        return false;
    }
    if (!found.solver) {
        problem = file.string() + ": the model has no solver object (SolverRep)";
        return false;
    }
    if (found.solvers.size() > 1) {
        problem = file.string() + ": the model holds " + std::to_string(found.solvers.size()) +
                  " solver objects (SolverRep): at " + PlacesOf(text, found.solvers) +
                  "; the settings are edited only in a model with one";
        return false;
    }
    model.solverStart = found.solver->start;
    model.solverName = std::string(found.solver->name);
    model.settingsStart = found.settings;
    model.settingsDepth = found.solver->depth + 1;
    model.settingsNesting = found.settingsNesting;
    model.latin1 = XmlDeclaresLatin1(text);
    if (!PropertyText(text, found.physics, file, model.physicsName, problem) ||
        !PropertyText(text, found.analysis, file, model.analysisName, problem))
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

namespace {

// The pieces of the text, the settings element not yet written for the file's encoding.
bool PlacedSettings(const ModelSettingsXml& model, ModelTextPieces& pieces, std::string& problem) {
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

}  // namespace

bool ModelTextWithSettings(const ModelSettingsXml& model, ModelTextPieces& pieces, std::string& problem) {
    if (!PlacedSettings(model, pieces, problem)) return false;
    // The library prints UTF-8, which a Latin-1 model's reader would take byte by byte.
    if (model.latin1 && !XmlWithCharacterReferences(pieces.element, problem)) {
        problem = "the settings hold " + problem + ", and the model's XML declaration names Latin-1";
        return false;
    }
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
