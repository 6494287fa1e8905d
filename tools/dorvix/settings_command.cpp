// `dorvix settings`: the case held and loaded, the grid shown, or each value put, read back and written.
#include "tools/dorvix/settings_command.h"

#include <cstdint>
#include <cstring>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <pugixml.hpp>

#include "host/analysis_settings_addin.h"
#include "host/dorvix_analysis_settings_interface.h"
#include "hostsim/analysis_objects.h"
#include "hostsim/call_log.h"
#include "hostsim/host_case.h"
#include "hostsim/host_sim.h"
#include "hostsim/step_write_back.h"
#include "platform/errors.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/module_loader.h"
#include "platform/stop_signals.h"
#include "platform/text.h"
#include "tools/dorvix/case_files_write.h"
#include "tools/dorvix/model_settings_xml.h"
#include "tools/dorvix/module_host.h"
#include "tools/dorvix/settings_edit_check.h"
#include "tools/dorvix/settings_grid.h"

namespace {

namespace fs = std::filesystem;

// The lock file an edit holds in the case folder, and how long an edit waits for another one.
constexpr const char* kCaseLockFileName = ".dorvix-case.lock";
constexpr std::uint32_t kCaseLockPatienceMs = 30000;

// The case's files as they were before the edit read them.
struct CaseStamps {
    platform::FileStamp model;
    platform::FileStamp hostJson;
};

// An edit that a stop signal ended before it wrote anything.
int Stopped(std::ostream& err) {
    err << "dorvix settings: stopped by " << platform::SignalName(platform::StopSignalArrived())
        << "; the case is unchanged\n";
    return kSettingsExitStopped;
}

// Holds the case for an edit, waiting for another edit that holds it (a stop signal ends the
// wait), and removes the new files that a killed edit left beside the case's files. 0 when held,
// else the exit code, with the reason told.
int HoldCase(const fs::path& folder, platform::FileLock& hold, std::ostream& err) {
    const fs::path lockFile = folder / kCaseLockFileName;
    std::string reason;
    const platform::FileLock::Result held = hold.AcquireWithin(
        lockFile, kCaseLockPatienceMs, &reason, [] { return platform::StopSignalArrived() != 0; },
        [&err] { err << "dorvix settings: waiting for another edit of the case to end\n"
                     << std::flush; });
    if (held == platform::FileLock::Result::kStopped) return Stopped(err);
    if (held != platform::FileLock::Result::kHeld) {
        err << "dorvix settings: the case cannot be held for the edit: " << reason
            << "; nothing was written\n";
        return kSettingsExitWriteFailed;
    }
    for (const char* name : {"CAERep.xml", "host.json"})
        (void)platform::RemoveStaleReplacements(folder, name);
    return 0;
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
        return MakeObject(model_, object_, unreadable);
    }

    // Keeps what the edit starts from, for putting its values again: the settings the object read
    // and the host's objects.
    void KeepStart() {
        start_.physicsName = model_.physicsName;
        start_.analysisName = model_.analysisName;
        start_.document->reset(*model_.document);
        start_.settings = start_.document->first_child();
        startObjects_ = host_.Objects()->Snapshot();
    }

    // Puts the values again on a new object made as this one was, the host's objects as they were
    // at the start, calling `afterEach` after each value. The host's objects are left as they are
    // now, and the calls made are cleared.
    bool PutAgain(const std::vector<PutValue>& puts, const EditAfterEach& afterEach) {
        HostSimObjectModel& objects = *host_.Objects();
        std::map<int, HostSimObject> now = objects.Snapshot();
        objects.Restore(startObjects_);
        ComPtr<IJXAnalysisSettingsAddIn> again;
        HRESULT unreadable = S_OK;
        bool taken = MakeObject(start_, again, unreadable).empty() && SUCCEEDED(unreadable);
        if (taken) {
            SettingsGrid grid(again.Get());
            for (std::size_t k = 0; k < puts.size() && taken; ++k) {
                PutValue put;
                taken = PutValueThrough(*again.Get(), grid, puts[k].name, puts[k].value, put).empty();
                if (taken) afterEach(k, put, *again.Get(), grid);
            }
        }
        if (again) (void)again->ReleaseHostCallback();
        objects.Restore(std::move(now));
        host_.Calls()->Clear();
        return taken;
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
    // A settings object of the case's host object, made as the host makes it, that read the
    // model's settings.
    std::string MakeObject(const ModelSettingsXml& model, ComPtr<IJXAnalysisSettingsAddIn>& object,
                           HRESULT& unreadable) {
        if (FAILED(CreateFromModule(module_, CLSID_DorvixAnalysisSettings, object)) || !object)
            return "the settings object cannot be created";
        ComPtr<IDorvixAnalysisSettings> settings = object.As<IDorvixAnalysisSettings>();
        if (!settings || FAILED(settings->put_AnalysisSettingsID(HostSettingsObjectId(host_.Case()))))
            return "the settings object refuses its host object";
        ComPtr<IUnknown> callback = CreateHostSimSettingsCallback(host_.Calls());
        if (FAILED(object->SetHostCallback(callback.Get())))
            return "the settings object refuses the host's callback";
        HRESULT answer = S_OK;
        switch (TakeModelSettings(*object.Get(), model, answer)) {
            case ModelSettingsRefusal::kNone:
                break;
            case ModelSettingsRefusal::kUnknownType:
                return "the model names a " + AnalysisLabel(model) +
                       " analysis, which the host does not know";
            case ModelSettingsRefusal::kAnalysis:
                return "the settings object has no settings for a " + AnalysisLabel(model) + " analysis (" +
                       HexCodeText(answer) + ")";
            case ModelSettingsRefusal::kSettings:
                unreadable = answer;
                break;
        }
        return "";
    }

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
    ModelSettingsXml start_;
    std::map<int, HostSimObject> startObjects_;
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

// A second settings object of the model's analysis, reading the settings element as it is
// written into the model, as a solve will read it (every other byte of the file stays). It
// belongs to no host object, so it asks the host nothing.
std::string ReadBack(const platform::ComponentModule& module, const ModelSettingsXml& model,
                     std::string_view element, ComPtr<IJXAnalysisSettingsAddIn>& reader) {
    ModelSettingsXml written;
    std::string problem;
    if (!ReadWrittenSettings(element, model, written, problem))
        return "the written model cannot be read back: " + problem;
    HRESULT answer = S_OK;
    if (FAILED(CreateFromModule(module, CLSID_DorvixAnalysisSettings, reader)) || !reader)
        return "the settings object cannot be created";
    if (TakeModelSettings(*reader.Get(), written, answer) != ModelSettingsRefusal::kNone || FAILED(answer))
        return "the written settings cannot be read back (" + HexCodeText(answer) + ")";
    return "";
}

// Empty when every value that counts shows again, at the step it was put in, in a settings object
// that reads the settings element as written; else why not, for the first that does not. The
// edited object moves through the steps: its host calls from here on are not the edit's.
std::string CheckReadBack(CaseSettings& settings, SettingsGrid& grid, const ModelSettingsXml& model,
                          std::string_view element, EditCheck& check) {
    ComPtr<IJXAnalysisSettingsAddIn> reader;
    if (std::string failure = ReadBack(settings.Module(), model, element, reader); !failure.empty())
        return failure;
    const std::optional<int> steps = LoadStepCount(settings.Settings());
    if (const std::optional<int> stepsRead = LoadStepCount(*reader.Get()); stepsRead != steps)
        return "the written settings read back with " + std::to_string(stepsRead.value_or(0)) +
               " steps, not " + std::to_string(steps.value_or(0));
    SettingsGrid readerGrid(reader.Get());
    return check.CheckWritten(settings.Settings(), grid, *reader.Get(), readerGrid, AnalysisLabel(model));
}

// The case's two files as the edit leaves them: the model with only its settings element
// changed, host.json with only what the host was told of the steps.
struct CaseTexts {
    ModelTextPieces model;
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
// other way round it does. Both or neither: when the model is not written, host.json gets its
// old text back. The model is written from its pieces, never joined into one more copy. Once the
// case holds the edit, neither a stop signal nor a closed output ends it: it would end as if the
// case were unchanged, or lose the lines that say what was written.
int WriteCase(const HostSimCase& hostCase, const ModelSettingsXml& model, const CaseTexts& texts,
              const CaseStamps& stamps, platform::StopSignalCatcher& stopSignals, std::ostream& out,
              std::ostream& err) {
    std::vector<CaseFileEdit> files;
    const bool hostChanged = texts.hostJson != texts.oldHostJson;
    if (hostChanged)
        files.push_back({hostCase.hostJsonPath, stamps.hostJson, {texts.hostJson}, texts.oldHostJson});
    const ModelTextPieces& pieces = texts.model;
    files.push_back({hostCase.caeRepPath,
                     stamps.model,
                     {pieces.before, pieces.opening, pieces.element, pieces.closing, pieces.after},
                     model.text});
    const CaseWriteResult written = WriteCaseFiles(files);
    if (written.outcome == CaseWriteOutcome::kWritten) {
        stopSignals.KeepToTheEndOfTheProcess();
        for (const CaseFileEdit& file : files) out << "written:   " << file.path.string() << "\n";
        return 0;
    }
    err << "dorvix settings: " << written.problem << "\n";
    return written.outcome == CaseWriteOutcome::kStopped ? kSettingsExitStopped : kSettingsExitWriteFailed;
}

[[nodiscard]] int Edit(CaseSettings& settings, const SettingsCommand& command, ModelSettingsXml& model,
                       const CaseStamps& stamps, platform::StopSignalCatcher& stopSignals, std::ostream& out,
                       std::ostream& err) {
    // The log shows what the edits asked of the host, not the object's setting up.
    HostSimCallLog& log = *settings.Host().Calls();
    log.Clear();
    const std::optional<int> stepsBefore = LoadStepCount(settings.Settings());
    settings.KeepStart();
    SettingsGrid grid(settings.Object());
    std::vector<PutValue> puts;
    puts.reserve(command.assignments.size());
    std::vector<std::string> calls;
    const auto takeCalls = [&log, &calls] {
        for (std::string& line : log.Lines()) calls.push_back(std::move(line));
        log.Clear();
    };
    for (const auto& [name, value] : command.assignments) {
        PutValue put;
        const std::string refusal = PutValueThrough(settings.Settings(), grid, name, value, put);
        if (!refusal.empty()) {
            err << "dorvix settings: " << name << "=" << value << " refused: " << refusal << "\n"
                << "dorvix settings: nothing was written\n";
            return kSettingsExitRefused;
        }
        puts.push_back(std::move(put));
        out << "set:       " << name << " = " << value << "\n";
        takeCalls();
    }
    EditCheck check(puts, [&settings, &puts](const EditAfterEach& afterEach) {
        return settings.PutAgain(puts, afterEach);
    });
    // Reading the values again moves the current step: those calls are not the edit's.
    check.ReadAtTheEnd(settings.Settings(), grid);
    log.Clear();
    if (const std::string undone = check.FirstUndone(); !undone.empty()) {
        err << "dorvix settings: " << undone << "\n"
            << "dorvix settings: nothing was written\n";
        return kSettingsExitRefused;
    }
    const HRESULT written = settings.WriteIntoModel();
    if (FAILED(written)) {
        err << "dorvix settings: the settings object cannot write its settings (" << HexCodeText(written)
            << "); nothing was written\n";
        return kSettingsExitWriteFailed;
    }
    takeCalls();
    CaseTexts texts;
    std::string problem;
    if (!EditedTexts(settings, model, stepsBefore, texts, problem)) {
        err << "dorvix settings: " << problem << "; nothing was written\n";
        return kSettingsExitWriteFailed;
    }
    if (std::string lost = CheckReadBack(settings, grid, model, texts.model.element, check); !lost.empty()) {
        err << "dorvix settings: " << lost << "\n"
            << "dorvix settings: nothing was written\n";
        return kSettingsExitRefused;
    }
    if (const int code = WriteCase(settings.Host().Case(), model, texts, stamps, stopSignals, out, err);
        code != 0)
        return code;
    out << "host calls:" << (calls.empty() ? " none" : "") << "\n";
    for (const std::string& line : calls) out << "  " << line << "\n";
    return 0;
}

}  // namespace

int RunSettingsCommand(const SettingsCommand& command, const fs::path& programFolder, std::ostream& out,
                       std::ostream& err) {
    const bool editing = !command.assignments.empty();
    // From before the edit holds the case until its files are written, a stop signal ends it with
    // the case whole: while it waits for the case or before it writes, at once; while it writes,
    // with the files it wrote put back. Once they are written, it no longer ends the edit.
    std::optional<platform::StopSignalCatcher> stopSignals;
    // An edit holds the case from before it reads the case until its files are written: two
    // edits at once run one after the other, and each keeps the other's values.
    platform::FileLock hold;
    CaseStamps stamps;
    if (editing) {
        stopSignals.emplace();
        if (platform::FolderExists(command.caseFolder)) {
            if (const int code = HoldCase(command.caseFolder, hold, err); code != 0) return code;
            (void)platform::ReadFileStamp(command.caseFolder / "CAERep.xml", stamps.model);
            (void)platform::ReadFileStamp(command.caseFolder / "host.json", stamps.hostJson);
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
    if (editing && model.settingsNesting > kMaxSettingsNesting) {
        err << "dorvix settings: the settings element in " << hostCase->caeRepPath.string() << " nests "
            << model.settingsNesting << " levels deep, more than the " << kMaxSettingsNesting
            << " of any settings the edit writes; nothing was written\n";
        return kSettingsExitBadCase;
    }
    platform::ComponentModule module;
    fs::path modulePath;
    if (!LoadRegisteredAddinModule(programFolder, module, modulePath, problem)) {
        // A stop signal ends the wait for the registry's lock too, before the edit wrote anything.
        if (platform::StopSignalArrived() != 0) return Stopped(err);
        err << "dorvix settings: " << problem << "\n";
        return kSettingsExitBadCase;
    }
    CaseSettings settings(hostCase, model, module);
    HRESULT read = S_OK;
    if (std::string failure = settings.Create(read); !failure.empty()) {
        err << "dorvix settings: " << failure << "\n";
        return kSettingsExitBadCase;
    }
    // Settings that cannot be read are never replaced by defaults behind the user's back, and
    // text the object took for something else is never written back as what it took.
    if (FAILED(read) || (editing && !model.textNotRead.empty())) {
        err << "dorvix settings: the settings in " << hostCase->caeRepPath.string() << " cannot be read"
            << (model.textNotRead.empty() ? " (" + HexCodeText(read) + ")" : ": " + model.textNotRead)
            << (editing ? "" : "; the grid shows the defaults") << "\n";
        if (editing) return kSettingsExitBadCase;
    }
    if (!editing) return ShowGrid(settings, model, out, err);
    if (platform::StopSignalArrived() != 0) return Stopped(err);
    return Edit(settings, command, model, stamps, *stopSignals, out, err);
}
