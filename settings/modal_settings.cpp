// The modal and buckling layouts, and the copy, compare, XML and binary storage that follow the layout.
#include "settings/modal_settings.h"

#include "settings/record_stream.h"
#include "settings/settings_xml.h"

DorvixEigenvalueSettings::DorvixEigenvalueSettings(int analysisType, const Layout& layout)
    : DorvixNonStepSettings(kMechanicalPhysics, analysisType, {kSolverTypeControl, kWeakSpringsControl}),
      layout_(layout) {}

DorvixModalMechanicalSettings::DorvixModalMechanicalSettings()
    : DorvixEigenvalueSettings(
          kModalAnalysis, {kModalMechanicalClassTag, kModalControlsTag, L"DorvixModalSettings", true, true}) {
}

DorvixBucklingMechanicalSettings::DorvixBucklingMechanicalSettings()
    : DorvixEigenvalueSettings(kBucklingAnalysis, {kBucklingMechanicalClassTag, kBucklingControlsTag,
                                                   L"DorvixBucklingSettings", false, false}) {}

DorvixSettingsRecord* DorvixEigenvalueSettings::GetControls(int tag) {
    if (tag == layout_.classTag) return this;
    if (tag == layout_.controlsTag) return &controls_;
    return GetSharedControls(tag);
}

bool DorvixEigenvalueSettings::CopyFrom(const DorvixSolutionSettings& other) {
    if (!IsSameClass(other)) return false;
    const auto& source = static_cast<const DorvixEigenvalueSettings&>(other);
    controls_ = source.controls_;
    CommitSharedRecords(source.CopySharedRecords());
    return true;
}

bool DorvixEigenvalueSettings::IsEqual(const DorvixSolutionSettings& other) const {
    if (!IsSameClass(other)) return false;
    const auto& o = static_cast<const DorvixEigenvalueSettings&>(other);
    return controls_ == o.controls_ && CopySharedRecords() == o.CopySharedRecords();
}

HRESULT DorvixEigenvalueSettings::WriteXML(XmlNode element) const {
    const XmlNode root = AppendRootElement(element, layout_.rootName);
    if (!root || FAILED(WriteModalControlsXml(controls_, root)) ||
        (layout_.solverControlsInXml && FAILED(WriteSolverControlsXml(GetSolverControls(), root))) ||
        FAILED(WriteOutputControlsXml(GetOutputControls(), root)) ||
        FAILED(WriteSolverFileControlsXml(GetSolverFileControls(), root)))
        return E_FAIL;
    return S_OK;
}

HRESULT DorvixEigenvalueSettings::ReadXML(XmlNode element) {
    return ReadRootElement(element, layout_.rootName, [this](XmlNode root) {
        DorvixModalControls controls = controls_;
        SharedRecords shared = CopySharedRecords();
        if (FAILED(ReadModalControlsXml(controls, root)) ||
            (layout_.solverControlsInXml && FAILED(ReadSolverControlsXml(shared.solver, root))) ||
            FAILED(ReadOutputControlsXml(shared.output, root)) ||
            FAILED(ReadSolverFileControlsXml(shared.files, root)))
            return E_FAIL;
        controls_ = std::move(controls);
        CommitSharedRecords(std::move(shared));
        return S_OK;
    });
}

HRESULT DorvixEigenvalueSettings::SaveDB(JXStream& stream) const {
    SaveBaseRecord(stream);
    stream.WriteUInt32(4);
    if (layout_.controlsSectionFirst) {
        stream.WriteInt32(layout_.controlsTag);
        SaveRecord(stream, controls_);
    }
    SaveSharedSections(stream);
    if (!layout_.controlsSectionFirst) {
        stream.WriteInt32(layout_.controlsTag);
        SaveRecord(stream, controls_);
    }
    return stream.Status();
}

HRESULT DorvixEigenvalueSettings::ResumeDB(JXStream& stream) {
    DorvixModalControls controls = controls_;
    SharedRecords shared = CopySharedRecords();
    const bool read = ResumeSections(stream, shared, [&](int tag) -> std::optional<RecordLoad> {
        if (tag != layout_.controlsTag) return std::nullopt;
        return LoadRecord(stream, controls);
    });
    if (!read) return E_FAIL;
    controls_ = std::move(controls);
    CommitSharedRecords(std::move(shared));
    return S_OK;
}
