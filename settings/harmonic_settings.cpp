// The harmonic class's records by tag, copy and compare, its XML block, and its binary save and resume.
#include "settings/harmonic_settings.h"

#include "settings/record_stream.h"
#include "settings/settings_xml.h"

namespace {
constexpr const wchar_t* kRootName = L"DorvixHarmonicSettings";
}

DorvixHarmonicMechanicalSettings::DorvixHarmonicMechanicalSettings()
    : DorvixNonStepSettings(kMechanicalPhysics, kHarmonicAnalysis, {kSolverTypeControl}),
      damping_({kConstantDampingControl, kBetaDampingControl}) {}

DorvixSettingsRecord* DorvixHarmonicMechanicalSettings::GetControls(int tag) {
    switch (tag) {
        case kHarmonicMechanicalClassTag:
            return this;
        case kDampingControlsTag:
            return &damping_;
        case kHarmonicControlsTag:
            return &harmonic_;
        default:
            return GetSharedControls(tag);
    }
}

bool DorvixHarmonicMechanicalSettings::CopyFrom(const DorvixSolutionSettings& other) {
    if (!IsSameClass(other)) return false;
    const auto& source = static_cast<const DorvixHarmonicMechanicalSettings&>(other);
    CommitSharedRecords(source.CopySharedRecords());
    damping_ = source.damping_;
    harmonic_ = source.harmonic_;
    return true;
}

bool DorvixHarmonicMechanicalSettings::IsEqual(const DorvixSolutionSettings& other) const {
    if (!IsSameClass(other)) return false;
    const auto& o = static_cast<const DorvixHarmonicMechanicalSettings&>(other);
    return CopySharedRecords() == o.CopySharedRecords() && damping_ == o.damping_ && harmonic_ == o.harmonic_;
}

HRESULT DorvixHarmonicMechanicalSettings::WriteXML(XmlNode element) const {
    const XmlNode root = AppendRootElement(element, kRootName);
    if (!root || FAILED(WriteHarmonicControlsXml(harmonic_, root)) ||
        FAILED(WriteDampingControlsXml(damping_, root)) ||
        FAILED(WriteSolverControlsXml(GetSolverControls(), root)) ||
        FAILED(WriteOutputControlsXml(GetOutputControls(), root)) ||
        FAILED(WriteSolverFileControlsXml(GetSolverFileControls(), root)))
        return E_FAIL;
    return S_OK;
}

HRESULT DorvixHarmonicMechanicalSettings::ReadXML(XmlNode element) {
    return ReadRootElement(element, kRootName, [this](XmlNode root) {
        SharedRecords shared = CopySharedRecords();
        DorvixDampingControls damping = damping_;
        DorvixHarmonicControls harmonic = harmonic_;
        if (FAILED(ReadHarmonicControlsXml(harmonic, root)) ||
            FAILED(ReadDampingControlsXml(damping, root)) ||
            FAILED(ReadSolverControlsXml(shared.solver, root)) ||
            FAILED(ReadOutputControlsXml(shared.output, root)) ||
            FAILED(ReadSolverFileControlsXml(shared.files, root)))
            return E_FAIL;
        CommitSharedRecords(std::move(shared));
        damping_ = std::move(damping);
        harmonic_ = std::move(harmonic);
        return S_OK;
    });
}

HRESULT DorvixHarmonicMechanicalSettings::SaveDB(JXStream& stream) const {
    SaveBaseRecord(stream);
    stream.WriteUInt32(5);
    stream.WriteInt32(kHarmonicControlsTag);
    SaveRecord(stream, harmonic_);
    stream.WriteInt32(kDampingControlsTag);
    SaveRecord(stream, damping_);
    SaveSharedSections(stream);
    return stream.Status();
}

HRESULT DorvixHarmonicMechanicalSettings::ResumeDB(JXStream& stream) {
    SharedRecords shared = CopySharedRecords();
    DorvixDampingControls damping = damping_;
    DorvixHarmonicControls harmonic = harmonic_;
    const bool read = ResumeSections(stream, shared, [&](int tag) -> std::optional<RecordLoad> {
        if (tag == kHarmonicControlsTag) return LoadRecord(stream, harmonic);
        if (tag == kDampingControlsTag) return LoadRecord(stream, damping);
        return std::nullopt;
    });
    if (!read) return E_FAIL;
    CommitSharedRecords(std::move(shared));
    damping_ = std::move(damping);
    harmonic_ = std::move(harmonic);
    return S_OK;
}
