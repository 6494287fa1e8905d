// The model file's solver object and settings element read, and the settings written back, other bytes kept.
#include "tools/dorvix/model_settings_xml.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string_view>

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

bool IsSolverObject(pugi::xml_node node) {
    return std::strcmp(node.attribute("CAEType").value(), "object") == 0 &&
           std::strcmp(node.attribute("Type").value(), "SolverRep") == 0;
}

// True when the element holds a settings document beside the analysis parameters.
bool HoldsSettings(pugi::xml_node settings) {
    for (pugi::xml_node child : settings.children())
        if (child.type() == pugi::node_element && std::strcmp(child.name(), "Parameters") != 0) return true;
    return false;
}

// Where the start tag of an element read from `text` begins; none for a node the text does not
// hold (one added since) or an offset that does not lead to the element's name.
std::optional<std::size_t> StartTagOffset(std::string_view text, pugi::xml_node element) {
    if (!element) return std::nullopt;
    const std::ptrdiff_t name = element.offset_debug();
    const std::string_view elementName = element.name();
    if (name < 1 || static_cast<std::size_t>(name) + elementName.size() > text.size() ||
        text[name - 1] != '<' ||
        text.substr(static_cast<std::size_t>(name), elementName.size()) != elementName)
        return std::nullopt;
    return static_cast<std::size_t>(name - 1);
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

int DepthOf(pugi::xml_node node) {
    int depth = 0;
    for (pugi::xml_node n = node.parent(); n && n.type() == pugi::node_element; n = n.parent()) ++depth;
    return depth;
}

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

// The text with the element's content replaced; an empty-element tag is opened and closed
// around the new content.
std::string ReplaceContent(std::string_view text, const XmlElementSpan& span, std::string_view name,
                           const std::string& content) {
    if (!span.emptyElementTag)
        return std::string(text.substr(0, span.contentBegin)) + content +
               std::string(text.substr(span.contentEnd));
    // "<name .../>" loses its "/>".
    return std::string(text.substr(0, span.contentBegin - 2)) + ">" + content + "</" + std::string(name) +
           ">" + std::string(text.substr(span.end));
}

}  // namespace

bool ReadModelSettingsXml(const std::filesystem::path& file, ModelSettingsXml& model, std::string& problem) {
    std::string text;
    std::string error;
    if (!platform::ReadWholeFile(file, text, &error)) {
        problem = file.string() + ": " + error;
        return false;
    }
    return ReadModelSettingsText(std::move(text), file, model, problem);
}

bool ReadModelSettingsText(std::string text, const std::filesystem::path& file, ModelSettingsXml& model,
                           std::string& problem) {
    model.text = std::move(text);
    // Blank values are read as the model load reads them, not dropped.
    const pugi::xml_parse_result parsed =
        model.document->load_buffer(model.text.data(), model.text.size(),
                                    pugi::parse_default | pugi::parse_ws_pcdata_single, pugi::encoding_utf8);
    if (!parsed) {
        problem = file.string() + ": XML error at offset " + std::to_string(parsed.offset) + ": " +
                  parsed.description();
        return false;
    }
    pugi::xml_node solver = model.document->find_node(IsSolverObject);
    if (!solver) {
        problem = file.string() + ": the model has no solver object (SolverRep)";
        return false;
    }
    model.physicsName = solver.child_value("PhysicsType");
    model.analysisName = solver.child_value("AnalysisType");
    model.settings = solver.child("AnalysisSettings");
    const std::optional<std::size_t> solverStart = StartTagOffset(model.text, solver);
    model.settingsStart = StartTagOffset(model.text, model.settings);
    if (!solverStart || (model.settings && !model.settingsStart)) {
        problem = file.string() + ": the solver object cannot be found in the file's text";
        return false;
    }
    model.solverStart = *solverStart;
    // A model the host saved before any settings existed: the defaults stand, and an edit
    // brings the element.
    if (!model.settings) {
        model.settings = solver.append_child("AnalysisSettings");
        model.settings.append_attribute("CAEType").set_value("externalObject");
    }
    return true;
}

bool ModelTextWithSettings(const ModelSettingsXml& model, std::string& text, std::string& problem) {
    const std::string_view original = model.text;
    const pugi::xml_node solver = model.settings.parent();
    const std::string lineEnd = LineEndOf(original);
    const int depth = DepthOf(model.settings);
    const std::optional<XmlElementSpan> span =
        model.settingsStart ? FindXmlElementSpan(original, *model.settingsStart, model.settings.name())
                            : FindXmlElementSpan(original, model.solverStart, solver.name());
    if (!span) {
        problem = "the settings cannot be placed in the model's text";
        return false;
    }
    std::string replacement;
    if (model.settingsStart) {
        replacement = WithLineEnds(PrintedContent(model.settings, depth), lineEnd);
        text = ReplaceContent(original, *span, model.settings.name(), replacement);
    } else if (span->emptyElementTag) {
        replacement = lineEnd + WithLineEnds(Printed(model.settings, depth, pugi::format_indent), lineEnd) +
                      Indent(depth - 1);
        text = ReplaceContent(original, *span, solver.name(), replacement);
    } else {
        // The new element goes last, on a line of its own when the end tag stands on one.
        const std::size_t lineStart = original.rfind('\n', span->contentEnd - 1);
        const bool ownLine = lineStart != std::string_view::npos && lineStart >= span->contentBegin &&
                             IsBlank(original.substr(lineStart + 1, span->contentEnd - lineStart - 1));
        const std::size_t at = ownLine ? lineStart + 1 : span->contentEnd;
        replacement = ownLine ? WithLineEnds(Printed(model.settings, depth, pugi::format_indent), lineEnd)
                              : Printed(model.settings, 0, pugi::format_raw);
        text = std::string(original.substr(0, at)) + replacement + std::string(original.substr(at));
    }
    pugi::xml_document check;
    if (!check.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8)) {
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
