// Answers, for a solver unit system and a quantity category of the solver unit-system table,
// the unit expression of the representation's unit database ("m", "mm", "ft", "K", ...), so
// a property can be read in the units the deck is written in. The table comes from the
// installation's "JXAdaptorUnits.xml".
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace NCAERep {

class CCAEUnitsJXAdaptor {
  public:
    // Flags that a solver unit-system code may carry.
    static constexpr int kCelsiusFlag = 0x1000;
    static constexpr int kDegreesFlag = 0x2000;

    // The process-wide adaptor, loaded on first use from the unit definition folder.
    static CCAEUnitsJXAdaptor* getInstance();

    // Reads a table file; false (and an empty table) when it cannot be read.
    bool load(const std::filesystem::path& file);
    bool isLoaded() const { return m_loaded; }

    // The unit expression of a category in a unit system (flags honoured); false when the
    // table does not know the pair.
    bool getUnits(int category, int unitSystem, std::wstring& out) const;
    // The same, empty when unknown.
    std::wstring getUnits(int category, int unitSystem) const;
    // The name of a unit system ("MKS"), empty when unknown.
    std::wstring getSystemName(int unitSystem) const;

  private:
    bool m_loaded = false;
    std::map<std::pair<int, int>, std::wstring> m_units;  // (system, category) -> expression
    std::map<int, std::wstring> m_systemNames;
    std::vector<std::pair<std::pair<int, int>, std::wstring>>
        m_flagOverrides;  // ((mask, category), expression)
};

}  // namespace NCAERep
