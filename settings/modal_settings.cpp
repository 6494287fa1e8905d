#include "settings/modal_settings.h"

#include "settings/record_stream.h"
#include "settings/settings_xml.h"

namespace {
constexpr const wchar_t* kModalRootName = L"DorvixModalSettings";
constexpr const wchar_t* kBucklingRootName = L"DorvixBucklingSettings";
}  // namespace

// ---- modal -------------------------------------------------------------------------------

DorvixModalMechanicalSettings::DorvixModalMechanicalSettings()
    : DorvixNonStepSettings(kMechanicalPhysics, kModalAnalysis, {kSolverTypeControl, kWeakSpringsControl}) {}

DorvixSettingsRecord* DorvixModalMechanicalSettings::GetControls(int tag) {
    if (tag == kModalMechanicalClassTag) return this;
    if (tag == kModalControlsTag) return &modal_;
    return GetSharedControls(tag);
}

bool DorvixModalMechanicalSettings::CopyFrom(const DorvixSolutionSettings& other) {
    if (!IsSameClass(other)) return false;
    const auto& source = static_cast<const DorvixModalMechanicalSettings&>(other);
    modal_ = source.modal_;
    CommitSharedRecords(source.CopySharedRecords());
    return true;
}

bool DorvixModalMechanicalSettings::IsEqual(const DorvixSolutionSettings& other) const {
    if (!IsSameClass(other)) return false;
    const auto& o = static_cast<const DorvixModalMechanicalSettings&>(other);
    return modal_ == o.modal_ && CopySharedRecords() == o.CopySharedRecords();
}

HRESULT DorvixModalMechanicalSettings::WriteXML(XmlNode element) const {
    const XmlNode root = AppendRootElement(element, kModalRootName);
    if (!root) return S_OK;
    WriteModalControlsXml(modal_, root);
    WriteSolverControlsXml(GetSolverControls(), root);
    WriteOutputControlsXml(GetOutputControls(), root);
    WriteSolverFileControlsXml(GetSolverFileControls(), root);
    return S_OK;
}

HRESULT DorvixModalMechanicalSettings::ReadXML(XmlNode element) {
    const XmlNode root = FindRootElement(element, kModalRootName);
    if (!root) return E_FAIL;
    DorvixModalControls modal = modal_;
    SharedRecords shared = CopySharedRecords();
    if (FAILED(ReadModalControlsXml(modal, root)) || FAILED(ReadSolverControlsXml(shared.solver, root)) ||
        FAILED(ReadOutputControlsXml(shared.output, root)) ||
        FAILED(ReadSolverFileControlsXml(shared.files, root)))
        return E_FAIL;
    modal_ = std::move(modal);
    CommitSharedRecords(std::move(shared));
    return S_OK;
}

HRESULT DorvixModalMechanicalSettings::SaveDB(JXStream& stream) const {
    SaveBaseRecord(stream);
    stream.WriteUInt32(4);
    stream.WriteInt32(kModalControlsTag);
    SaveRecord(stream, modal_);
    stream.WriteInt32(kOutputControlsTag);
    SaveRecord(stream, GetOutputControls());
    stream.WriteInt32(kSolverControlsTag);
    SaveRecord(stream, GetSolverControls());
    stream.WriteInt32(kSolverFileControlsTag);
    SaveRecord(stream, GetSolverFileControls());
    return stream.Status();
}

HRESULT DorvixModalMechanicalSettings::ResumeDB(JXStream& stream) {
    std::uint32_t sections = 0;
    if (!ResumeBaseRecord(stream, sections)) return E_FAIL;
    DorvixModalControls modal = modal_;
    SharedRecords shared = CopySharedRecords();
    for (std::uint32_t i = 0; i < sections; ++i) {
        std::int32_t tag = 0;
        if (!stream.ReadInt32(&tag)) return E_FAIL;
        const bool loaded =
            tag == kModalControlsTag ? LoadRecord(stream, modal) : LoadSharedSection(stream, tag, shared);
        if (!loaded) return E_FAIL;
    }
    modal_ = std::move(modal);
    CommitSharedRecords(std::move(shared));
    return S_OK;
}

// ---- buckling ----------------------------------------------------------------------------

DorvixBucklingMechanicalSettings::DorvixBucklingMechanicalSettings()
    : DorvixNonStepSettings(kMechanicalPhysics, kBucklingAnalysis,
                            {kSolverTypeControl, kWeakSpringsControl}) {}

DorvixSettingsRecord* DorvixBucklingMechanicalSettings::GetControls(int tag) {
    if (tag == kBucklingMechanicalClassTag) return this;
    if (tag == kBucklingControlsTag) return &buckling_;
    return GetSharedControls(tag);
}

bool DorvixBucklingMechanicalSettings::CopyFrom(const DorvixSolutionSettings& other) {
    if (!IsSameClass(other)) return false;
    const auto& source = static_cast<const DorvixBucklingMechanicalSettings&>(other);
    buckling_ = source.buckling_;
    CommitSharedRecords(source.CopySharedRecords());
    return true;
}

bool DorvixBucklingMechanicalSettings::IsEqual(const DorvixSolutionSettings& other) const {
    if (!IsSameClass(other)) return false;
    const auto& o = static_cast<const DorvixBucklingMechanicalSettings&>(other);
    return buckling_ == o.buckling_ && CopySharedRecords() == o.CopySharedRecords();
}

HRESULT DorvixBucklingMechanicalSettings::WriteXML(XmlNode element) const {
    const XmlNode root = AppendRootElement(element, kBucklingRootName);
    if (!root) return S_OK;
    WriteModalControlsXml(buckling_, root);
    WriteOutputControlsXml(GetOutputControls(), root);
    WriteSolverFileControlsXml(GetSolverFileControls(), root);
    return S_OK;
}

HRESULT DorvixBucklingMechanicalSettings::ReadXML(XmlNode element) {
    const XmlNode root = FindRootElement(element, kBucklingRootName);
    if (!root) return E_FAIL;
    DorvixModalControls buckling = buckling_;
    SharedRecords shared = CopySharedRecords();
    if (FAILED(ReadModalControlsXml(buckling, root)) || FAILED(ReadOutputControlsXml(shared.output, root)) ||
        FAILED(ReadSolverFileControlsXml(shared.files, root)))
        return E_FAIL;
    buckling_ = std::move(buckling);
    CommitSharedRecords(std::move(shared));
    return S_OK;
}

HRESULT DorvixBucklingMechanicalSettings::SaveDB(JXStream& stream) const {
    SaveBaseRecord(stream);
    stream.WriteUInt32(4);
    stream.WriteInt32(kOutputControlsTag);
    SaveRecord(stream, GetOutputControls());
    stream.WriteInt32(kSolverControlsTag);
    SaveRecord(stream, GetSolverControls());
    stream.WriteInt32(kSolverFileControlsTag);
    SaveRecord(stream, GetSolverFileControls());
    stream.WriteInt32(kBucklingControlsTag);
    SaveRecord(stream, buckling_);
    return stream.Status();
}

HRESULT DorvixBucklingMechanicalSettings::ResumeDB(JXStream& stream) {
    std::uint32_t sections = 0;
    if (!ResumeBaseRecord(stream, sections)) return E_FAIL;
    DorvixModalControls buckling = buckling_;
    SharedRecords shared = CopySharedRecords();
    for (std::uint32_t i = 0; i < sections; ++i) {
        std::int32_t tag = 0;
        if (!stream.ReadInt32(&tag)) return E_FAIL;
        const bool loaded = tag == kBucklingControlsTag ? LoadRecord(stream, buckling)
                                                        : LoadSharedSection(stream, tag, shared);
        if (!loaded) return E_FAIL;
    }
    buckling_ = std::move(buckling);
    CommitSharedRecords(std::move(shared));
    return S_OK;
}
