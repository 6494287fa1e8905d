// Settings of the two eigenvalue analyses: modal and linear buckling. Both keep their mode
// controls in a `DorvixModalControls` record.
#pragma once

#include "settings/modal_controls.h"
#include "settings/non_step_settings.h"

class DorvixModalMechanicalSettings : public DorvixNonStepSettings {
  public:
    DorvixModalMechanicalSettings();
    DorvixModalMechanicalSettings& operator=(const DorvixModalMechanicalSettings& other) {
        DorvixSolutionSettings::operator=(other);
        return *this;
    }

    HRESULT WriteXML(XmlNode element) const override;
    HRESULT ReadXML(XmlNode element) override;
    HRESULT SaveDB(JXStream& stream) const override;
    HRESULT ResumeDB(JXStream& stream) override;
    DorvixSettingsRecord* GetControls(int tag) override;
    using DorvixSolutionSettings::GetControls;
    bool CopyFrom(const DorvixSolutionSettings& other) override;
    bool IsEqual(const DorvixSolutionSettings& other) const override;

    DorvixModalControls& GetModalControls() { return modal_; }
    const DorvixModalControls& GetModalControls() const { return modal_; }

  private:
    DorvixModalControls modal_;
};

// The buckling controls are written as a "ModalControls" block; the solver controls are not
// part of the XML form of this class.
class DorvixBucklingMechanicalSettings : public DorvixNonStepSettings {
  public:
    DorvixBucklingMechanicalSettings();
    DorvixBucklingMechanicalSettings& operator=(const DorvixBucklingMechanicalSettings& other) {
        DorvixSolutionSettings::operator=(other);
        return *this;
    }

    HRESULT WriteXML(XmlNode element) const override;
    HRESULT ReadXML(XmlNode element) override;
    HRESULT SaveDB(JXStream& stream) const override;
    HRESULT ResumeDB(JXStream& stream) override;
    DorvixSettingsRecord* GetControls(int tag) override;
    using DorvixSolutionSettings::GetControls;
    bool CopyFrom(const DorvixSolutionSettings& other) override;
    bool IsEqual(const DorvixSolutionSettings& other) const override;

    DorvixModalControls& GetBucklingControls() { return buckling_; }
    const DorvixModalControls& GetBucklingControls() const { return buckling_; }

  private:
    DorvixModalControls buckling_;
};
