// Settings of a harmonic structural analysis. The factory offers no path to this class; it
// is kept whole so that stored harmonic settings stay readable.
#pragma once

#include "settings/damping_controls.h"
#include "settings/harmonic_controls.h"
#include "settings/non_step_settings.h"

class DorvixHarmonicMechanicalSettings : public DorvixNonStepSettings {
  public:
    DorvixHarmonicMechanicalSettings();
    DorvixHarmonicMechanicalSettings& operator=(const DorvixHarmonicMechanicalSettings& other) {
        DorvixSolutionSettings::operator=(other);
        return *this;
    }

    [[nodiscard]] HRESULT WriteXML(XmlNode element) const override;
    [[nodiscard]] HRESULT ReadXML(XmlNode element) override;
    [[nodiscard]] HRESULT SaveDB(JXStream& stream) const override;
    [[nodiscard]] HRESULT ResumeDB(JXStream& stream) override;
    DorvixSettingsRecord* GetControls(int tag) override;
    using DorvixSolutionSettings::GetControls;
    bool CopyFrom(const DorvixSolutionSettings& other) override;
    bool IsEqual(const DorvixSolutionSettings& other) const override;

    DorvixDampingControls& GetDampingControls() { return damping_; }
    const DorvixDampingControls& GetDampingControls() const { return damping_; }
    DorvixHarmonicControls& GetHarmonicControls() { return harmonic_; }
    const DorvixHarmonicControls& GetHarmonicControls() const { return harmonic_; }

  private:
    DorvixDampingControls damping_;
    DorvixHarmonicControls harmonic_;
};
