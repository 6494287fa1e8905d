// The template applied to steps, records by tag, copy and compare, XML blocks, binary save and resume.
#include "settings/step_settings.h"

#include "settings/record_stream.h"
#include "settings/settings_xml.h"

DorvixStepSettings::DorvixStepSettings(DorvixStepSettingsTraits traits)
    : DorvixSolutionSettings(traits.physicsType, traits.analysisType),
      traits_(std::move(traits)),
      stepList_(nullptr),
      templateStep_(traits_.templateStepCodes),
      templateOutput_(traits_.supportedOutputs, traits_.requestedOutputs),
      solverControls_(traits_.presentSolverControls) {
    solverFileControls_.SetTypes(static_cast<std::uint32_t>(traits_.analysisType),
                                 static_cast<std::uint32_t>(traits_.physicsType));
    if (traits_.presentDampingControls) damping_.emplace(*traits_.presentDampingControls);
    stepList_.SetOwner(this);
}

void DorvixStepSettings::ApplyTemplateToFirstStep() {
    if (DorvixStepControls* first = stepList_.GetStep(1)) (void)ApplyTemplateToStep(first, 0);
}

int DorvixStepSettings::ApplyTemplateToStep(DorvixStepControls* step, int /*flag*/) {
    if (step == nullptr) return kSettingsRejected;
    step->SetStepCodes(templateStep_.GetStepCodes());
    step->GetTimeStepOptions() = templateOptions_;
    step->GetOutputControls() = templateOutput_;
    if (traits_.stepsIntegrateInTime) step->SetTimeIntegration(true);
    return kSettingsDone;
}

DorvixSettingsRecord* DorvixStepSettings::GetStepControls(int step, int selector) {
    DorvixStepControls* found = stepList_.GetStep(step);
    if (found == nullptr) return nullptr;
    if (selector == kStepSelector) return found;
    return found->GetControls(selector);
}

DorvixSettingsRecord* DorvixStepSettings::GetControls(int tag) {
    if (tag == traits_.classTag) return this;
    switch (tag) {
        case kStepListTag:
            return &stepList_;
        case kSolverControlsTag:
            return &solverControls_;
        case kSolverFileControlsTag:
            return &solverFileControls_;
        case kDampingControlsTag:
            return GetDampingControls();
        default:
            return nullptr;
    }
}

bool DorvixStepSettings::CopyFrom(const DorvixSolutionSettings& other) {
    if (!IsSameClass(other)) return false;
    if (this == &other) return true;
    const auto& source = static_cast<const DorvixStepSettings&>(other);
    stepList_.CopyFrom(source.stepList_);
    solverControls_ = source.solverControls_;
    solverFileControls_ = source.solverFileControls_;
    damping_ = source.damping_;
    return true;
}

bool DorvixStepSettings::IsEqual(const DorvixSolutionSettings& other) const {
    if (!IsSameClass(other)) return false;
    const auto& o = static_cast<const DorvixStepSettings&>(other);
    return stepList_ == o.stepList_ && solverControls_ == o.solverControls_ &&
           solverFileControls_ == o.solverFileControls_ && damping_ == o.damping_;
}

HRESULT DorvixStepSettings::WriteXML(XmlNode element) const {
    const XmlNode root = AppendRootElement(element, traits_.rootName);
    if (!root || FAILED(WriteStepListXml(stepList_, root)) ||
        FAILED(WriteSolverControlsXml(solverControls_, root)) ||
        (damping_ && FAILED(WriteDampingControlsXml(*damping_, root))) ||
        FAILED(WriteSolverFileControlsXml(solverFileControls_, root)))
        return E_FAIL;
    return S_OK;
}

HRESULT DorvixStepSettings::ReadXML(XmlNode element) {
    return ReadRootElement(element, traits_.rootName, [this](XmlNode root) {
        // Every block is read into a copy; the object changes only when all of them were read.
        DorvixStepControlsList steps(this);
        steps.CopyFrom(stepList_);
        DorvixSolverControls solver = solverControls_;
        std::optional<DorvixDampingControls> damping = damping_;
        DorvixSolverFileControls files = solverFileControls_;
        if (FAILED(ReadStepListXml(steps, root)) || FAILED(ReadSolverControlsXml(solver, root)) ||
            (damping && FAILED(ReadDampingControlsXml(*damping, root))) ||
            FAILED(ReadSolverFileControlsXml(files, root)))
            return E_FAIL;
        stepList_.TakeStepsFrom(steps);
        solverControls_ = std::move(solver);
        damping_ = std::move(damping);
        solverFileControls_ = std::move(files);
        return S_OK;
    });
}

HRESULT DorvixStepSettings::SaveDB(JXStream& stream) const {
    SaveBaseRecord(stream);
    if (damping_) {
        stream.WriteUInt32(4);
        stream.WriteInt32(kStepListTag);
        SaveRecord(stream, stepList_);
        stream.WriteInt32(kSolverControlsTag);
        SaveRecord(stream, solverControls_);
        stream.WriteInt32(kDampingControlsTag);
        SaveRecord(stream, *damping_);
    } else {
        stream.WriteUInt32(3);
        stream.WriteInt32(kSolverControlsTag);
        SaveRecord(stream, solverControls_);
        stream.WriteInt32(kStepListTag);
        SaveRecord(stream, stepList_);
    }
    stream.WriteInt32(kSolverFileControlsTag);
    SaveRecord(stream, solverFileControls_);
    return stream.Status();
}

HRESULT DorvixStepSettings::ResumeDB(JXStream& stream) {
    std::uint32_t sections = 0;
    if (!ResumeBaseRecord(stream, sections)) return E_FAIL;
    DorvixStepControlsList steps(this);
    steps.CopyFrom(stepList_);
    DorvixSolverControls solver = solverControls_;
    std::optional<DorvixDampingControls> damping = damping_;
    DorvixSolverFileControls files = solverFileControls_;
    bool stepsLoaded = false;
    for (std::uint32_t i = 0; i < sections; ++i) {
        std::int32_t tag = 0;
        if (!stream.ReadInt32(&tag)) return E_FAIL;
        RecordLoad loaded = RecordLoad::Failed;  // a section this class does not hold cannot be skipped
        switch (tag) {
            case kStepListTag:
                loaded = LoadRecord(stream, steps);
                stepsLoaded = loaded == RecordLoad::Loaded;
                break;
            case kSolverControlsTag:
                loaded = LoadRecord(stream, solver);
                break;
            case kSolverFileControlsTag:
                loaded = LoadRecord(stream, files);
                break;
            case kDampingControlsTag:
                if (damping) loaded = LoadRecord(stream, *damping);
                break;
            default:
                break;
        }
        if (loaded == RecordLoad::Failed) return E_FAIL;
        // A record saved by another version ends the read; what was read before it is kept.
        if (loaded == RecordLoad::OtherVersion) break;
    }
    if (stepsLoaded && traits_.programControlledStepsBecomeAutomatic) {
        for (int i = 1; i <= steps.GetCount(); ++i) {
            DorvixTimeStepOptions& options = steps.GetStep(i)->GetTimeStepOptions();
            if (options.GetUseAutoTimeStepping() == kProgramControlled) options.SetUseAutoTimeStepping(kOn);
        }
    }
    stepList_.TakeStepsFrom(steps);
    solverControls_ = std::move(solver);
    damping_ = std::move(damping);
    solverFileControls_ = std::move(files);
    return S_OK;
}
