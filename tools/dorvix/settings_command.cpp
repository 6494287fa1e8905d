#include "tools/dorvix/settings_command.h"

#include <cstring>
#include <exception>
#include <memory>
#include <ostream>
#include <pugixml.hpp>
#include <sstream>

#include "addin/dorvix_analysis_settings.h"
#include "addin/dorvix_analysis_settings_interface.h"
#include "host/analysis_settings_addin.h"
#include "hostsim/analysis_objects.h"
#include "hostsim/host_case.h"
#include "hostsim/host_sim.h"
#include "platform/creation_registry.h"
#include "platform/errors.h"
#include "platform/file_stream.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "runtime/addin_services.h"
#include "tools/dorvix/model_settings_xml.h"
#include "tools/dorvix/settings_grid.h"

namespace {

namespace fs = std::filesystem;

// The document replaces the file only once it is written in full beside it.
bool SaveModel(const pugi::xml_document& document, const fs::path& file, std::string& problem) {
    std::ostringstream text;
    document.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
    std::string error;
    if (platform::WriteFileReplacing(file, text.str(), &error)) return true;
    problem = "cannot write " + file.string() + ": " + error;
    return false;
}

std::string AnalysisLabel(const ModelSettingsXml& model) {
    return (model.analysisName.empty() ? "Static" : model.analysisName) + " " +
           (model.physicsName.empty() ? "Mechanical" : model.physicsName);
}

// The settings object as the host holds it for the case's analysis.
class CaseSettings {
  public:
    CaseSettings(const std::shared_ptr<HostSimCase>& hostCase, ModelSettingsXml& model)
        : host_(hostCase), model_(model) {
        // The host objects the settings ask about are found through the services.
        (void)AddinServices::GetInstance().SetApplet(host_.Applet().Get());
    }
    ~CaseSettings() {
        if (addin_) (void)addin_->ReleaseHostCallback();
        addin_ = nullptr;
        AddinServices::ReleaseInstance();
    }
    CaseSettings(const CaseSettings&) = delete;
    CaseSettings& operator=(const CaseSettings&) = delete;

    // Empty when the object exists and took the case's types; `unreadable` is the settings
    // reader's answer when it cannot read the settings the model holds, else S_OK.
    std::string Create(HRESULT& unreadable) {
        if (FAILED(RegisterDorvixAnalysisSettingsClass()) ||
            FAILED(CoCreateInstance(CLSID_DorvixAnalysisSettings, addin_)) || !addin_)
            return "the settings object cannot be created";
        ComPtr<IDorvixAnalysisSettings> settings = addin_.As<IDorvixAnalysisSettings>();
        if (!settings || FAILED(settings->put_AnalysisSettingsID(HostSettingsObjectId(host_.Case()))))
            return "the settings object refuses its host object";
        ComPtr<IUnknown> callback = CreateHostSimSettingsCallback(host_.Calls());
        if (FAILED(addin_->SetHostCallback(callback.Get())))
            return "the settings object refuses the host's callback";
        HRESULT answer = S_OK;
        switch (TakeModelSettings(*addin_.Get(), model_, answer)) {
            case ModelSettingsRefusal::kNone:
                break;
            case ModelSettingsRefusal::kAnalysis:
                return "the settings object has no settings for a " + AnalysisLabel(model_) + " analysis (" +
                       HexCodeText(answer) + ")";
            case ModelSettingsRefusal::kSettings:
                unreadable = answer;
                break;
        }
        return "";
    }

    IUnknown* Object() const { return addin_.Get(); }
    HostSim& Host() { return host_; }

    // Replaces what the element held by the object's settings.
    HRESULT WriteIntoModel() {
        model_.settings.remove_children();
        return addin_->WriteSettingsXml(ElementSource().Get());
    }

  private:
    ComPtr<IUnknown> ElementSource() const {
        return CreateHostSimXmlElementSource(model_.document, model_.settings, 1);
    }

    HostSim host_;
    ModelSettingsXml& model_;
    ComPtr<IJXAnalysisSettingsAddIn> addin_;
};

int ShowGrid(CaseSettings& settings, const ModelSettingsXml& model, std::ostream& out, std::ostream& err) {
    std::vector<GridEntry> entries;
    std::string problem;
    if (!ReadSettingsGrid(settings.Object(), entries, problem)) {
        err << "dorvix settings: " << problem << "\n";
        return kSettingsExitBadCase;
    }
    out << FormatSettingsGrid(AnalysisLabel(model), entries);
    return 0;
}

int Edit(CaseSettings& settings, const SettingsCommand& command, const fs::path& modelFile,
         ModelSettingsXml& model, std::ostream& out, std::ostream& err) {
    // The log shows what the edits asked of the host, not the object's setting up.
    settings.Host().Calls()->Clear();
    for (const auto& [name, value] : command.assignments) {
        const std::string refusal = PutGridValue(settings.Object(), name, value);
        if (!refusal.empty()) {
            err << "dorvix settings: " << name << "=" << value << " refused: " << refusal << "\n"
                << "dorvix settings: nothing was written\n";
            return kSettingsExitRefused;
        }
        out << "set:       " << name << " = " << value << "\n";
    }
    const HRESULT written = settings.WriteIntoModel();
    if (FAILED(written)) {
        err << "dorvix settings: the settings object cannot write its settings (" << HexCodeText(written)
            << "); nothing was written\n";
        return kSettingsExitWriteFailed;
    }
    std::string problem;
    if (!SaveModel(*model.document, modelFile, problem)) {
        err << "dorvix settings: " << problem << "; the file is unchanged\n";
        return kSettingsExitWriteFailed;
    }
    out << "written:   " << modelFile.string() << "\n";
    const std::vector<std::string> calls = settings.Host().Calls()->Lines();
    out << "host calls:" << (calls.empty() ? " none" : "") << "\n";
    for (const std::string& line : calls) out << "  " << line << "\n";
    return 0;
}

}  // namespace

int RunSettingsCommand(const SettingsCommand& command, std::ostream& out, std::ostream& err) {
    std::shared_ptr<HostSimCase> hostCase;
    try {
        hostCase = LoadHostCase(command.caseFolder);
    } catch (const std::exception& e) {
        err << "dorvix settings: cannot read the case: " << e.what() << "\n";
        return kSettingsExitBadCase;
    }
    ModelSettingsXml model;
    std::string problem;
    if (!ReadModelSettingsXml(hostCase->caeRepPath, model, problem)) {
        err << "dorvix settings: cannot read the case: " << problem << "\n";
        return kSettingsExitBadCase;
    }
    CaseSettings settings(hostCase, model);
    HRESULT read = S_OK;
    if (std::string failure = settings.Create(read); !failure.empty()) {
        err << "dorvix settings: " << failure << "\n";
        return kSettingsExitBadCase;
    }
    // Settings that cannot be read are never replaced by defaults behind the user's back.
    if (FAILED(read)) {
        err << "dorvix settings: the settings in " << hostCase->caeRepPath.string() << " cannot be read ("
            << HexCodeText(read) << ")"
            << (command.assignments.empty() ? "; the grid shows the defaults" : "") << "\n";
        if (!command.assignments.empty()) return kSettingsExitBadCase;
    }
    if (command.assignments.empty()) return ShowGrid(settings, model, out, err);
    return Edit(settings, command, hostCase->caeRepPath, model, out, err);
}
