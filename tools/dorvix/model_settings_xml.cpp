#include "tools/dorvix/model_settings_xml.h"

#include <cstring>

#include "host/solver_proxy.h"
#include "hostsim/host_case.h"
#include "platform/files.h"

namespace {

bool IsSolverObject(pugi::xml_node node) {
    return std::strcmp(node.attribute("CAEType").value(), "object") == 0 &&
           std::strcmp(node.attribute("Type").value(), "SolverRep") == 0;
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

bool HoldsSettings(pugi::xml_node settings) {
    for (pugi::xml_node child : settings.children())
        if (child.type() == pugi::node_element && std::strcmp(child.name(), "Parameters") != 0) return true;
    return false;
}

int HostSettingsObjectId(const HostSimCase& hostCase) {
    for (const HostSimObject& object : hostCase.objects)
        if (object.type == kHostAnalysisSettingsType) return object.id;
    return 0;
}
