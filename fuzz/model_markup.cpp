// The markup of a case's model as a settings edit reads it without making a document of it: the
// scan of the whole text, where each element it passes lies, the entity references and attribute
// values it finds. What the scan accepts, the element finder must place inside the text.
//
// Against the model load the solve runs, on the same bytes: for every text that the CAE database
// loads, the edit finds the solver object the solve reads (the same Id), the same settings content,
// physics and analysis, or it refuses the model; it never finds one where the solve finds none.
// The settings element it would write into a Latin-1 model reads as the same text.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_exception.h"
#include "caerep/core/cae_rep.h"
#include "caerep/core/external_object.h"
#include "caerep/model/container_reps.h"
#include "fuzz_support.h"
#include "platform/text.h"
#include "tools/dorvix/model_settings_xml.h"
#include "tools/dorvix/xml_element_span.h"

namespace {

std::string Printed(pugi::xml_node node) {
    std::ostringstream out;
    node.print(out, "", pugi::format_raw);
    return out.str();
}

// The Id of the object whose start tag begins at `start`, as the load reads it.
int IdAt(std::string_view text, std::size_t start, std::string_view name) {
    const std::optional<XmlElementSpan> span = FindXmlElementSpan(text, start, name);
    if (!span) fuzz::Broken("the edit's solver object cannot be placed");
    std::string tag(text.substr(start, span->contentBegin - start));
    if (!span->emptyElementTag) tag.insert(tag.size() - 1, "/");
    pugi::xml_document document;
    if (!document.load_buffer(tag.data(), tag.size(), pugi::parse_default, pugi::encoding_utf8))
        fuzz::Broken("the edit's solver object has no start tag");
    const std::string_view id = document.first_child().attribute("Id").value();
    int value = -1;
    (void)std::from_chars(id.data(), id.data() + id.size(), value);
    return value;
}

// A name as the solve reads it (the load takes the text for UTF-8); an empty one stands for the
// default.
std::wstring Effective(const std::wstring& name, const wchar_t* fallback) {
    return name.empty() ? fallback : name;
}

// The solver object's property as the solve reads it; none when the solve cannot read it as text.
std::optional<std::wstring> SolveReads(const NCAERep::CSolverRep& solver, const wchar_t* name) try {
    std::wstring value;
    solver.getProperty(name).getValue(value);
    return value;
} catch (const NCAERep::CCAEException&) {
    return std::nullopt;
}

// The settings element as an edit writes it into a Latin-1 model: where it can be written with
// character references, it holds ASCII alone and the XML library reads it as the same text.
void CompareWrittenWithReferences(pugi::xml_node settings) {
    const std::string printed = Printed(settings);
    std::string referenced = printed;
    std::string problem;
    if (!XmlWithCharacterReferences(referenced, problem)) return;
    if (std::any_of(referenced.begin(), referenced.end(), [](char c) { return c & 0x80; }))
        fuzz::Broken("a byte past ASCII left beside the character references");
    pugi::xml_document asPrinted, asReferenced;
    const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata_single;
    if (!asPrinted.load_buffer(printed.data(), printed.size(), options, pugi::encoding_utf8)) return;
    if (!asReferenced.load_buffer(referenced.data(), referenced.size(), options, pugi::encoding_utf8) ||
        Printed(asReferenced) != Printed(asPrinted))
        fuzz::Broken("the settings written with character references read as other text");
}

// The edit's reading of the model against the load's, where the edit accepts the model.
void CompareWithTheLoad(std::string_view text) {
    ModelSettingsXml model;
    model.text = std::string(text);
    std::string problem;
    if (!ReadModelSettingsText("model", model, problem)) return;
    CompareWrittenWithReferences(model.settings);
    const std::filesystem::path file = fuzz::ScratchFolder() / "CAERep.xml";
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
    NCAERep::CCAEDatabase database;
    const int loaded = database.getRoot()->resumeFromFile(file);
    NCAERep::ClearCollectedCAEExceptions();
    if (loaded != 0) return;
    const NCAERep::CSolverRep* solver = NCAERep::FindModelSolver(database.getRoot());
    if (!solver) fuzz::Broken("the edit found a solver object where the solve finds none");
    if (IdAt(text, model.solverStart, model.solverName) != solver->getId())
        fuzz::Broken("the edit found another solver object");
    const std::optional<std::wstring> physics = SolveReads(*solver, L"PhysicsType");
    const std::optional<std::wstring> analysis = SolveReads(*solver, L"AnalysisType");
    if (!physics || !analysis) fuzz::Broken("the edit read analysis names that the solve cannot read");
    if (Effective(platform::Utf8ToWide(model.physicsName), L"Mechanical") !=
        Effective(*physics, L"Mechanical"))
        fuzz::Broken("the edit read another physics");
    if (Effective(platform::Utf8ToWide(model.analysisName), L"Static") != Effective(*analysis, L"Static"))
        fuzz::Broken("the edit read another analysis");
    if (!solver->hasExternalObject(L"AnalysisSettings")) {
        if (model.settingsStart) fuzz::Broken("the edit found a settings element where the solve finds none");
        return;
    }
    if (!model.settingsStart) fuzz::Broken("the edit found no settings element where the solve finds one");
    if (Printed(model.settings) != Printed(solver->getExternalObject(L"AnalysisSettings")->getRootNode()))
        fuzz::Broken("the edit read other settings than the solve");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::InstallUnitDefinitions();
    return 0;
}

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
    if (scanned) CompareWithTheLoad(text);
    return 0;
}
