// Registering and loading the add-in module, and an add-in session: start, settings objects, project files.
#include "tools/dorvix/module_host.h"

#include <ostream>

#include "host/analysis_settings_addin.h"
#include "host/dorvix_analysis_settings_interface.h"
#include "host/dorvix_proxy_interface.h"
#include "host/module_exports.h"
#include "hostsim/host_sim.h"
#include "hostsim/project_storage.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "tools/dorvix/install_folders.h"
#include "tools/dorvix/model_settings_xml.h"
#include "tools/dorvix/number_text.h"

namespace {

namespace fs = std::filesystem;

std::string SolverClassText() { return GuidToString(CLSID_JXDorvixSolver); }

std::string RegistryFileText() {
    const std::string file = platform::RegistryFilePath();
    return file.empty() ? std::string("(none: DORVIX_REGISTRY is not set)") : file;
}

// Copies `from` over `to`; the copy is written beside `to` first, so `to` is never left half-written.
bool CopyReplacing(const fs::path& from, const fs::path& to, std::string& problem) {
    std::string error;
    if (platform::CopyFileTo(from, to, false, &error)) return true;
    problem = error;  // the platform's reason names the file
    return false;
}

// Lists the classes the module hands the host framework, freeing what it handed out.
void ListCoClasses(const platform::ComponentModule& module, std::ostream& out) {
    auto collect =
        reinterpret_cast<decltype(&DllRegisteredCoClasses)>(module.FindExport("DllRegisteredCoClasses"));
    ULONG count = 0;
    BSTR* progIds = nullptr;
    CLSID** clsids = nullptr;
    if (!collect || FAILED(collect(&count, &progIds, &clsids))) return;
    for (ULONG i = 0; i < count; ++i) {
        out << "  " << GuidToString(*clsids[i]) << " " << platform::WideToUtf8(BstrView(progIds[i])) << "\n";
        SysFreeString(progIds[i]);
        CoTaskMemFree(clsids[i]);
    }
    CoTaskMemFree(progIds);
    CoTaskMemFree(clsids);
}

// True, with the solver's module, when the registry names a module for every class of the
// add-in: a command line that runs while another one registers the module must not take the
// solver's class alone for the whole registration.
bool EveryClassRegistered(fs::path& solverModule) {
    if (FAILED(platform::RegisteredServerPath(CLSID_JXDorvixSolver, &solverModule))) return false;
    for (const CLSID& clsid : {CLSID_DorvixProxy, CLSID_DorvixAnalysisSettings, CLSID_DorvixAddin}) {
        fs::path server;
        if (FAILED(platform::RegisteredServerPath(clsid, &server))) return false;
    }
    return true;
}

}  // namespace

bool RegisterAddinModule(const fs::path& path, std::ostream& out, std::string& problem) {
    platform::ComponentModule module;
    if (FAILED(platform::LoadComponentModule(path, &module, &problem))) return false;
    auto doRegister = reinterpret_cast<decltype(&DllRegisterServer)>(module.FindExport("DllRegisterServer"));
    if (!doRegister) {
        problem = path.string() + " is not the add-in module: it exports no DllRegisterServer";
        return false;
    }
    if (platform::RegistryFilePath().empty()) {
        problem = "there is no registry file to register in: set DORVIX_REGISTRY";
        return false;
    }
    const HRESULT hr = doRegister();
    if (FAILED(hr)) {
        // The module registers through this process's registry: its last problem tells why.
        const std::string& why = platform::RegistryLastProblem();
        problem = "registering " + path.string() + " in " + RegistryFileText() +
                  " failed: " + (why.empty() ? "the module refused (" + HexCodeText(hr) + ")" : why);
        return false;
    }
    fs::path registered;
    if (FAILED(platform::RegisteredServerPath(CLSID_JXDorvixSolver, &registered)) ||
        !platform::IsSameFile(registered, path)) {
        problem = path.string() + " is not the add-in module: it did not register the solver's class " +
                  SolverClassText();
        return false;
    }
    if (!CompleteInstallFolders(problem)) return false;
    out << "registered: " << registered.string() << "\n";
    out << "registry:   " << RegistryFileText() << "\n";
    ShowInstallFolders(out);
    ListCoClasses(module, out);
    return true;
}

bool LoadRegisteredAddinModule(const fs::path& programFolder, platform::ComponentModule& module,
                               fs::path& path, std::string& problem) {
    if (!CompleteInstallFolders(problem)) return false;
    if (!EveryClassRegistered(path)) {
        // A registry file that cannot be read is no empty one: registering would refuse it too.
        if (!platform::RegistryLastProblem().empty()) {
            problem = platform::RegistryLastProblem();
            return false;
        }
        const fs::path beside = programFolder / kAddinModuleFileName;
        if (!platform::FileExists(beside)) {
            problem = "the registry file " + RegistryFileText() + " holds no module for the solver's class " +
                      SolverClassText() + ", and there is no module beside the program to register (" +
                      beside.string() + ")";
            return false;
        }
        std::ostream quiet(nullptr);
        std::string reason;
        if (!RegisterAddinModule(beside, quiet, reason)) {
            problem = "the registry file " + RegistryFileText() + " holds no module for the solver's class " +
                      SolverClassText() +
                      ", and the module beside the program cannot be registered: " + reason;
            return false;
        }
        // The registration checked that the registry now names this file for the solver's class.
        path = beside;
    }
    std::string reason;
    if (FAILED(platform::LoadComponentModule(path, &module, &reason))) {
        problem = "the registry file " + RegistryFileText() + " names " + path.string() +
                  " as the module of the solver's class " + SolverClassText() + ": " + reason;
        return false;
    }
    return true;
}

AddinSession::AddinSession(HostSim& host, const fs::path& workFolder)
    : host_(host), framework_(host, workFolder) {}

AddinSession::~AddinSession() {
    if (addin_) (void)addin_->OnUnload();
}

bool AddinSession::Start(const platform::ComponentModule& module, std::string& problem) {
    HRESULT hr = CreateFromModule(module, CLSID_DorvixAddin, addin_);
    if (FAILED(hr) || !addin_) {
        addin_ = nullptr;
        problem = "the module serves no add-in object (" + HexCodeText(hr) + ")";
        return false;
    }
    hr = addin_->OnLoad(framework_.AddinManager().Get());
    if (FAILED(hr)) {
        problem = "the add-in refused to load (" + HexCodeText(hr) + ")";
        return false;
    }
    hr = framework_.RaiseContextChange();
    if (FAILED(hr)) {
        problem = "the add-in failed on the simulation applet's context (" + HexCodeText(hr) + ")";
        return false;
    }
    ComPtr<IUnknown> proxy;
    const BstrHolder name(kDorvixProxyName);
    if (FAILED(framework_.SolverRegistry()->FindSolver(name.Get(), proxy.ReleaseAndGetAddressOf())) ||
        !proxy) {
        problem =
            "the add-in registered no solver proxy named \"" + platform::WideToUtf8(kDorvixProxyName) + "\"";
        return false;
    }
    objects_ = proxy.As<IJXObjectsAddinProvider>();
    if (!objects_) {
        problem = "the solver proxy makes no settings objects";
        return false;
    }
    return true;
}

bool AddinSession::CreateSettingsObject(int id, const ModelSettingsXml* model, const std::string& unread,
                                        std::string& note, std::string& problem) {
    const std::string which = "the settings object of host object " + std::to_string(id);
    HRESULT hr = objects_->CreateObject(kHostAnalysisSettingsType, id);
    ComPtr<IUnknown> object;
    if (SUCCEEDED(hr))
        hr = objects_->GetObject(kHostAnalysisSettingsType, id, object.ReleaseAndGetAddressOf());
    ComPtr<IJXAnalysisSettingsAddIn> settings = object.As<IJXAnalysisSettingsAddIn>();
    if (FAILED(hr) || !settings) {
        problem = "the solver proxy cannot make " + which + " (" +
                  HexCodeText(FAILED(hr) ? hr : E_NOINTERFACE) + ")";
        return false;
    }
    ids_.push_back(id);
    note.clear();
    std::string why = unread;
    if (model) {
        switch (TakeModelSettings(*settings.Get(), *model, hr)) {
            case ModelSettingsRefusal::kNone:
                return true;
            case ModelSettingsRefusal::kUnknownType:
                why =
                    "the model names a " + AnalysisLabel(*model) + " analysis, which the host does not know";
                break;
            case ModelSettingsRefusal::kAnalysis:
                why = "it has no settings for the model's analysis (" + HexCodeText(hr) + ")";
                break;
            case ModelSettingsRefusal::kSettings:
                // The object took the analysis, and a read it refuses leaves what it held.
                note = which + " keeps the defaults of a " + AnalysisLabel(*model) +
                       " analysis: it cannot read the settings the model holds (" + HexCodeText(hr) + ")";
                return true;
        }
    }
    unsettled_[id] = why;
    note = which + " holds no settings: " + why;
    return true;
}

std::string AddinSession::WhyProjectCannotBeSaved() const {
    for (const auto& [id, why] : unsettled_)
        if (host_.Objects()->Contains(id))
            return "the settings object of host object " + std::to_string(id) + " holds no settings (" + why +
                   "), and a project saved without them cannot be resumed";
    return "";
}

bool AddinSession::SaveProject(const fs::path& file, std::string& problem) {
    if (problem = WhyProjectCannotBeSaved(); !problem.empty()) return false;
    const fs::path& project = framework_.ProjectFile();
    // A project that was not resumed starts empty: the streams of a project file an earlier run
    // left in the work folder are no part of it. That file stays aside until the save is done.
    fs::path earlier;
    if (!resumed_ && platform::FileExists(project)) {
        earlier = project;
        earlier += ".earlier";
        if (!platform::ReplaceFileWith(project, earlier, &problem)) return false;
    }
    const bool saved = SUCCEEDED(framework_.SaveProject(&problem)) &&
                       (platform::IsSameFile(file, project) || CopyReplacing(project, file, problem));
    if (!earlier.empty())
        (void)(saved ? platform::RemoveFile(earlier) : platform::ReplaceFileWith(earlier, project));
    return saved;
}

bool AddinSession::ResumeProject(const fs::path& file, std::string& problem) {
    // The file is read once, where the user named it; the host resumes from what it read.
    ComPtr<HostSimProjectStorage> storage =
        HostSimProjectStorage::Open(file, &problem, HostSimProjectStorage::MissingFile::Refused);
    if (!storage) return false;
    const fs::path& project = framework_.ProjectFile();
    if (platform::IsSameFile(file, project)) {
        resumed_ = SUCCEEDED(framework_.ResumeProjectFrom(*storage, &problem));
        return resumed_;
    }
    // The project the work folder holds gives way only to a project the add-in took: the copy
    // resumed from waits beside it until then, and goes when the add-in refuses it.
    fs::path incoming = project;
    incoming += ".resuming";
    if (!storage->StoreIn(incoming, &problem)) return false;
    if (FAILED(framework_.ResumeProjectFrom(*storage, &problem))) {
        (void)platform::RemoveFile(incoming);
        return false;
    }
    std::string error;
    if (!platform::ReplaceFileWith(incoming, project, &error)) {
        (void)platform::RemoveFile(incoming);
        problem =
            "the add-in resumed the project, but it cannot be kept as " + project.string() + ": " + error;
        return false;
    }
    resumed_ = true;
    return true;
}

void AddinSession::ShowSettingsObjects(std::ostream& out, bool hostObjectsOnly) const {
    bool any = false;
    for (const int id : ids_) {
        if (hostObjectsOnly && !host_.Objects()->Contains(id)) continue;
        any = true;
        out << "  settings object " << id << ": ";
        if (unsettled_.count(id) != 0) {
            out << "no settings\n";
            continue;
        }
        ComPtr<IUnknown> object;
        if (FAILED(objects_->GetObject(kHostAnalysisSettingsType, id, object.ReleaseAndGetAddressOf()))) {
            out << "not held\n";
            continue;
        }
        ComPtr<IDorvixAnalysisSettings> settings = object.As<IDorvixAnalysisSettings>();
        ComPtr<IJXAnalysisSettingsAddIn> steps = object.As<IJXAnalysisSettingsAddIn>();
        JXPhysicsType physics = kPT_Mechanical;
        JXSimulationType analysis = kSIMULATION_STATIC;
        std::uint32_t count = 0;
        double endTime = 0.0;
        if (!settings || !steps || FAILED(settings->get_PhysicsType(&physics)) ||
            FAILED(settings->get_AnalysisType(&analysis)) || FAILED(steps->JX_get_NumberOfSteps(&count))) {
            out << "cannot be read\n";
            continue;
        }
        out << AnalysisTypeName(analysis) << " " << PhysicsTypeName(physics) << ", " << count
            << (count == 1 ? " step" : " steps");
        if (count > 0 && SUCCEEDED(steps->GetStepEndTime(count, &endTime)))
            out << ", end time " << FormatNumber(endTime);
        out << "\n";
    }
    if (!any) out << "  no settings object" << (hostObjectsOnly ? " of a host object" : "") << "\n";
}
