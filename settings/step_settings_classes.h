// The four step-based settings classes.
#pragma once

#include "settings/step_settings.h"

class DorvixStaticMechanicalSettings : public DorvixStepSettings {
  public:
    DorvixStaticMechanicalSettings();
    using DorvixStepSettings::operator=;
};

class DorvixTransientMechanicalSettings : public DorvixStepSettings {
  public:
    DorvixTransientMechanicalSettings();
    using DorvixStepSettings::operator=;
};

class DorvixStaticThermalSettings : public DorvixStepSettings {
  public:
    DorvixStaticThermalSettings();
    using DorvixStepSettings::operator=;
};

class DorvixTransientThermalSettings : public DorvixStepSettings {
  public:
    DorvixTransientThermalSettings();
    using DorvixStepSettings::operator=;
};
