// Settings of the two eigenvalue analyses: modal and linear buckling. Both keep their mode
// controls in a `DorvixModalControls` record and differ only in how that record is tagged,
// named and placed among the shared records when stored.
#pragma once

#include "settings/modal_controls.h"
#include "settings/non_step_settings.h"

class DorvixEigenvalueSettings : public DorvixNonStepSettings {
  public:
    [[nodiscard]] HRESULT WriteXML(XmlNode element) const override;
    [[nodiscard]] HRESULT ReadXML(XmlNode element) override;
    [[nodiscard]] HRESULT SaveDB(JXStream& stream) const override;
    [[nodiscard]] HRESULT ResumeDB(JXStream& stream) override;
    DorvixSettingsRecord* GetControls(int tag) override;
    using DorvixSolutionSettings::GetControls;
    bool CopyFrom(const DorvixSolutionSettings& other) override;
    bool IsEqual(const DorvixSolutionSettings& other) const override;

  protected:
    // What sets one eigenvalue class apart from the other in its stored forms.
    struct Layout {
        int classTag;
        int controlsTag;
        const wchar_t* rootName;
        bool solverControlsInXml;
        bool controlsSectionFirst;
    };
    DorvixEigenvalueSettings(int analysisType, const Layout& layout);
    DorvixEigenvalueSettings& operator=(const DorvixEigenvalueSettings& other) {
        DorvixSolutionSettings::operator=(other);
        return *this;
    }

    DorvixModalControls& EigenControls() { return controls_; }
    const DorvixModalControls& EigenControls() const { return controls_; }

  private:
    Layout layout_;
    DorvixModalControls controls_;
};

class DorvixModalMechanicalSettings : public DorvixEigenvalueSettings {
  public:
    DorvixModalMechanicalSettings();
    DorvixModalMechanicalSettings& operator=(const DorvixModalMechanicalSettings& other) {
        DorvixEigenvalueSettings::operator=(other);
        return *this;
    }

    DorvixModalControls& GetModalControls() { return EigenControls(); }
    const DorvixModalControls& GetModalControls() const { return EigenControls(); }
};

// The buckling controls are written as a "ModalControls" block; the solver controls are not
// part of the XML form of this class.
class DorvixBucklingMechanicalSettings : public DorvixEigenvalueSettings {
  public:
    DorvixBucklingMechanicalSettings();
    DorvixBucklingMechanicalSettings& operator=(const DorvixBucklingMechanicalSettings& other) {
        DorvixEigenvalueSettings::operator=(other);
        return *this;
    }

    DorvixModalControls& GetBucklingControls() { return EigenControls(); }
    const DorvixModalControls& GetBucklingControls() const { return EigenControls(); }
};
