#include "tools/dorvix/model_settings_xml.h"

#include <cstring>

#include "host/analysis_settings_addin.h"
#include "host/solver_proxy.h"
#include "hostsim/analysis_objects.h"
#include "hostsim/host_case.h"
#include "platform/files.h"
#include "platform/text.h"
#include "settings/settings_factory.h"

namespace {

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

}  // namespace

bool ReadModelSettingsXml(const std::filesystem::path& file, ModelSettingsXml& model, std::string& problem) {
    std::string bytes;
    std::string error;
    if (!platform::ReadWholeFile(file, bytes, &error)) {
        problem = file.string() + ": " + error;
        return false;
    }
    const pugi::xml_parse_result parsed = model.document->load_buffer(
        bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_declaration | pugi::parse_comments,
        pugi::encoding_utf8);
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
    // A model the host saved before any settings existed: the defaults stand, and an edit
    // brings the element.
    if (!model.settings) {
        model.settings = solver.append_child("AnalysisSettings");
        model.settings.append_attribute("CAEType").set_value("externalObject");
    }
    return true;
}

ModelSettingsRefusal TakeModelSettings(IJXAnalysisSettingsAddIn& settings, const ModelSettingsXml& model,
                                       HRESULT& answer) {
    const int physics = GetPhysicsTypeFromName(platform::Utf8ToWide(model.physicsName));
    const int analysis = GetAnalysisTypeFromName(platform::Utf8ToWide(model.analysisName));
    answer = settings.SetTypes(static_cast<JXPhysicsType>(physics), static_cast<JXSimulationType>(analysis));
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
