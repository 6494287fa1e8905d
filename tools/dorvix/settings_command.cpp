// `dorvix settings`: the case held and loaded, the grid shown, or each value put, read back and written.
#include "tools/dorvix/settings_command.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <ostream>
#include <pugixml.hpp>

#include "host/analysis_settings_addin.h"
#include "host/dorvix_analysis_settings_interface.h"
#include "hostsim/analysis_objects.h"
#include "hostsim/host_case.h"
#include "hostsim/host_sim.h"
#include "hostsim/step_write_back.h"
#include "platform/errors.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/module_loader.h"
#include "platform/text.h"
#include "tools/dorvix/model_settings_xml.h"
#include "tools/dorvix/module_host.h"
#include "tools/dorvix/settings_grid.h"

namespace {

namespace fs = std::filesystem;

// The lock file an edit holds in the case folder, and how long an edit waits for another one.
constexpr const char* kCaseLockFileName = ".dorvix-case.lock";
constexpr std::uint32_t kCaseLockPatienceMs = 30000;

// The file is replaced only once the new text is written in full beside it. The platform's
// reason names the file.
bool WriteCaseFile(const fs::path& file, const std::string& text, std::string& problem) {
    return platform::WriteFileReplacing(file, text, &problem);
}

// The settings object as the host holds it for the case's analysis: made by the add-in module's
// class factory while the add-in is loaded into the host, so that it finds the host objects it
// asks about through the applet the add-in was given.
class CaseSettings {
  public:
    CaseSettings(const std::shared_ptr<HostSimCase>& hostCase, ModelSettingsXml& model,
                 const platform::ComponentModule& module)
        : host_(hostCase), session_(host_, hostCase->folder), module_(module), model_(model) {}
    ~CaseSettings() {
        if (object_) (void)object_->ReleaseHostCallback();
    }
    CaseSettings(const CaseSettings&) = delete;
    CaseSettings& operator=(const CaseSettings&) = delete;

    // Empty when the object exists and took the case's types; `unreadable` is the settings
    // reader's answer when it cannot read the settings the model holds, else S_OK.
    std::string Create(HRESULT& unreadable) {
        std::string problem;
        if (!session_.Start(module_, problem)) return problem;
        if (FAILED(CreateFromModule(module_, CLSID_DorvixAnalysisSettings, object_)) || !object_)
            return "the settings object cannot be created";
        ComPtr<IDorvixAnalysisSettings> settings = object_.As<IDorvixAnalysisSettings>();
        if (!settings || FAILED(settings->put_AnalysisSettingsID(HostSettingsObjectId(host_.Case()))))
            return "the settings object refuses its host object";
        ComPtr<IUnknown> callback = CreateHostSimSettingsCallback(host_.Calls());
        if (FAILED(object_->SetHostCallback(callback.Get())))
            return "the settings object refuses the host's callback";
        HRESULT answer = S_OK;
        switch (TakeModelSettings(*object_.Get(), model_, answer)) {
            case ModelSettingsRefusal::kNone:
                break;
            case ModelSettingsRefusal::kUnknownType:
                return "the model names a " + AnalysisLabel(model_) +
                       " analysis, which the host does not know";
            case ModelSettingsRefusal::kAnalysis:
                return "the settings object has no settings for a " + AnalysisLabel(model_) + " analysis (" +
                       HexCodeText(answer) + ")";
            case ModelSettingsRefusal::kSettings:
                unreadable = answer;
                break;
        }
        return "";
    }

    IUnknown* Object() const { return object_.Get(); }
    IJXAnalysisSettingsAddIn& Settings() const { return *object_.Get(); }
    HostSim& Host() { return host_; }
    const platform::ComponentModule& Module() const { return module_; }

    // Replaces what the element held by the object's settings.
    [[nodiscard]] HRESULT WriteIntoModel() {
        model_.settings.remove_children();
        return object_->WriteSettingsXml(ElementSource().Get());
    }

  private:
    ComPtr<IUnknown> ElementSource() const {
        return CreateHostSimXmlElementSource(model_.document, model_.settings, 1);
    }

    // Destroyed in reverse: the object goes before the add-in is unloaded, and the add-in
    // before its host.
    HostSim host_;
    AddinSession session_;
    const platform::ComponentModule& module_;
    ModelSettingsXml& model_;
    ComPtr<IJXAnalysisSettingsAddIn> object_;
};

[[nodiscard]] int ShowGrid(CaseSettings& settings, const ModelSettingsXml& model, std::ostream& out,
                           std::ostream& err) {
    std::vector<GridEntry> entries;
    std::string problem;
    if (!ReadSettingsGrid(settings.Object(), entries, problem)) {
        err << "dorvix settings: " << problem << "\n";
        return kSettingsExitBadCase;
    }
    out << FormatSettingsGrid(AnalysisLabel(model), entries);
    return 0;
}

// One value put through the grid, and the step that was current when it was put (0 for an
// analysis without steps).
struct PutValue {
    std::string name;
    std::string value;
    std::uint32_t step = 0;
};

std::uint32_t CurrentStep(IJXAnalysisSettingsAddIn& settings) {
    std::uint32_t step = 0;
    return SUCCEEDED(settings.JX_get_CurrentStepNumber(&step)) ? step : 0;
}

// The step count of the analysis the settings hold; none for an analysis without load steps.
std::optional<int> LoadStepCount(IJXAnalysisSettingsAddIn& settings) {
    std::uint32_t count = 0;
    if (FAILED(settings.JX_get_NumberOfSteps(&count)) || count == 0) return std::nullopt;
    return static_cast<int>(count);
}

// A second settings object of the model's analysis, reading the model's new text as a solve
// will read it. It belongs to no host object, so it asks the host nothing.
std::string ReadBack(const platform::ComponentModule& module, const std::string& text, const fs::path& file,
                     ComPtr<IJXAnalysisSettingsAddIn>& reader) {
    ModelSettingsXml written;
    std::string problem;
    if (!ReadModelSettingsText(text, file, written, problem))
        return "the written model cannot be read back: " + problem;
    HRESULT answer = S_OK;
    if (FAILED(CreateFromModule(module, CLSID_DorvixAnalysisSettings, reader)) || !reader)
        return "the settings object cannot be created";
    if (TakeModelSettings(*reader.Get(), written, answer) != ModelSettingsRefusal::kNone || FAILED(answer))
        return "the written settings cannot be read back (" + HexCodeText(answer) + ")";
    return "";
}

// Empty when every value put shows again, at the step it was put in, in a settings object that
// reads the model's new text; else why not, for the first that does not. The edited object moves
// through the steps: its host calls from here on are not the edit's.
std::string CheckReadBack(CaseSettings& settings, const ModelSettingsXml& model, const std::string& modelText,
                          const std::vector<PutValue>& puts) {
    ComPtr<IJXAnalysisSettingsAddIn> reader;
    if (std::string failure =
            ReadBack(settings.Module(), modelText, settings.Host().Case().caeRepPath, reader);
        !failure.empty())
        return failure;
    const std::optional<int> steps = LoadStepCount(settings.Settings());
    if (const std::optional<int> stepsRead = LoadStepCount(*reader.Get()); stepsRead != steps)
        return "the written settings read back with " + std::to_string(stepsRead.value_or(0)) +
               " steps, not " + std::to_string(steps.value_or(0));
    for (std::size_t i = 0; i < puts.size(); ++i) {
        const PutValue& put = puts[i];
        // A later value of the same entry at the same step is the one that counts; a step that a
        // later value removed has nothing left to show.
        const auto later = [&](const PutValue& p) {
            return p.step == put.step && platform::EqualsIgnoreAsciiCase(p.name, put.name);
        };
        if (std::any_of(puts.begin() + static_cast<std::ptrdiff_t>(i) + 1, puts.end(), later) ||
            put.step > static_cast<std::uint32_t>(steps.value_or(0)))
            continue;
        if (put.step != 0) {
            (void)settings.Settings().JX_put_CurrentStepNumber(put.step);
            (void)reader->JX_put_CurrentStepNumber(put.step);
        }
        std::string label, edited, readBack;
        if (!ShowGridValue(settings.Object(), put.name, label, edited) ||
            !ShowGridValue(reader.Get(), put.name, label, readBack))
            return put.name + "=" + put.value +
                   " refused: the entry cannot be read back from the written settings";
        if (edited != readBack)
            return put.name + "=" + put.value + " refused: " + label + " is not kept in the settings of a " +
                   AnalysisLabel(model) + " analysis: written and read back it shows " + readBack + ", not " +
                   edited;
    }
    return "";
}

// The case's two files as the edit leaves them: the model with only its settings element
// changed, host.json with only what the host was told of the steps.
struct CaseTexts {
    std::string model;
    std::string hostJson;
    std::string oldHostJson;
};

// `stepsBefore` is the analysis's step count before the edit: only an edit that changed it tells
// the host of steps added or removed.
bool EditedTexts(CaseSettings& settings, const ModelSettingsXml& model, std::optional<int> stepsBefore,
                 CaseTexts& texts, std::string& problem) {
    if (!ModelTextWithSettings(model, texts.model, problem)) return false;
    const HostSimCase& hostCase = settings.Host().Case();
    std::string error;
    if (!platform::ReadWholeFile(hostCase.hostJsonPath, texts.oldHostJson, &error)) {
        problem = "cannot read " + hostCase.hostJsonPath.string() + ": " + error;
        return false;
    }
    const std::optional<int> steps = LoadStepCount(settings.Settings());
    const std::optional<std::string> kept = HostJsonWithStepChanges(
        texts.oldHostJson, hostCase, *settings.Host().Objects(), steps != stepsBefore ? steps : std::nullopt);
    if (!kept) {
        problem =
            "the steps cannot be kept in " + hostCase.hostJsonPath.string() + ": it is no JSON document";
        return false;
    }
    texts.hostJson = *kept;
    return true;
}

// host.json first: a model with more steps than host.json holds loads for would not solve, the
// other way round it does. When the model cannot be written, host.json gets its old text back.
// A refusal says whether the case is unchanged.
bool WriteCase(const HostSimCase& hostCase, const CaseTexts& texts, std::ostream& out, std::string& problem) {
    const bool hostChanged = texts.hostJson != texts.oldHostJson;
    if (hostChanged && !WriteCaseFile(hostCase.hostJsonPath, texts.hostJson, problem)) {
        problem += "; the case is unchanged";
        return false;
    }
    if (!WriteCaseFile(hostCase.caeRepPath, texts.model, problem)) {
        std::string restore;
        if (hostChanged && !WriteCaseFile(hostCase.hostJsonPath, texts.oldHostJson, restore))
            problem += "; " + hostCase.hostJsonPath.string() +
                       " already holds the edited steps and cannot be put back (" + restore + ")";
        else
            problem += "; the case is unchanged";
        return false;
    }
    if (hostChanged) out << "written:   " << hostCase.hostJsonPath.string() << "\n";
    out << "written:   " << hostCase.caeRepPath.string() << "\n";
    return true;
}

[[nodiscard]] int Edit(CaseSettings& settings, const SettingsCommand& command, ModelSettingsXml& model,
                       std::ostream& out, std::ostream& err) {
    // The log shows what the edits asked of the host, not the object's setting up.
    settings.Host().Calls()->Clear();
    const std::optional<int> stepsBefore = LoadStepCount(settings.Settings());
    std::vector<PutValue> puts;
    for (const auto& [name, value] : command.assignments) {
        const std::string refusal = PutGridValue(settings.Object(), name, value);
        if (!refusal.empty()) {
            err << "dorvix settings: " << name << "=" << value << " refused: " << refusal << "\n"
                << "dorvix settings: nothing was written\n";
            return kSettingsExitRefused;
        }
        puts.push_back({name, value, CurrentStep(settings.Settings())});
        out << "set:       " << name << " = " << value << "\n";
    }
    const HRESULT written = settings.WriteIntoModel();
    if (FAILED(written)) {
        err << "dorvix settings: the settings object cannot write its settings (" << HexCodeText(written)
            << "); nothing was written\n";
        return kSettingsExitWriteFailed;
    }
    const std::vector<std::string> calls = settings.Host().Calls()->Lines();
    CaseTexts texts;
    std::string problem;
    if (!EditedTexts(settings, model, stepsBefore, texts, problem)) {
        err << "dorvix settings: " << problem << "; nothing was written\n";
        return kSettingsExitWriteFailed;
    }
    if (std::string lost = CheckReadBack(settings, model, texts.model, puts); !lost.empty()) {
        err << "dorvix settings: " << lost << "\n"
            << "dorvix settings: nothing was written\n";
        return kSettingsExitRefused;
    }
    if (!WriteCase(settings.Host().Case(), texts, out, problem)) {
        err << "dorvix settings: " << problem << "\n";
        return kSettingsExitWriteFailed;
    }
    out << "host calls:" << (calls.empty() ? " none" : "") << "\n";
    for (const std::string& line : calls) out << "  " << line << "\n";
    return 0;
}

}  // namespace

int RunSettingsCommand(const SettingsCommand& command, const fs::path& programFolder, std::ostream& out,
                       std::ostream& err) {
    // An edit holds the case from before it reads the case until its files are written: two
    // edits at once run one after the other, and each keeps the other's values.
    platform::FileLock hold;
    if (!command.assignments.empty() && platform::FolderExists(command.caseFolder)) {
        std::string reason;
        if (hold.AcquireWithin(command.caseFolder / kCaseLockFileName, kCaseLockPatienceMs, &reason) !=
            platform::FileLock::Result::kHeld) {
            err << "dorvix settings: the case cannot be held for the edit: " << reason
                << "; nothing was written\n";
            return kSettingsExitWriteFailed;
        }
    }
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
    platform::ComponentModule module;
    fs::path modulePath;
    if (!LoadRegisteredAddinModule(programFolder, module, modulePath, problem)) {
        err << "dorvix settings: " << problem << "\n";
        return kSettingsExitBadCase;
    }
    CaseSettings settings(hostCase, model, module);
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
    return Edit(settings, command, model, out, err);
}
