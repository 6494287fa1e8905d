// The unit database of the representation: base units, prefixes, derived units and the base
// dimension of every unit category, read from the installation's definition files, plus the
// written forms of units and prefixes through which a symbol finds its definition. Converts
// values between unit expressions of one quantity type.
#pragma once

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "caerep/core/cae_rep_base.h"

namespace NCAERep {

class CCAEDatabase;
class CPrefix;
class CDerivedUnit;

struct UnitTerm {
    std::wstring symbol;
    double exponent = 1.0;
    friend bool operator==(const UnitTerm&, const UnitTerm&) = default;
};

// Exponents of mole, kilogram, candela, ampere, metre, radian, steradian, second, kelvin,
// sterling, in this order.
constexpr int kBaseDimensionCount = 10;
using DimensionVector = std::array<double, kBaseDimensionCount>;

// The two numeric symbols that stand for standard gravity in the foot and inch systems.
inline const std::wstring kGravityFootSymbol = L"32.2";
inline const std::wstring kGravityInchSymbol = L"386.4";

class CUnits : public CCAERepBase {
  public:
    // One way of reading a symbol: a unit, possibly with a prefix (empty for none).
    struct Reading {
        std::wstring prefix;
        std::wstring unit;
        friend bool operator==(const Reading&, const Reading&) = default;
    };

    explicit CUnits(const CIdentity& identity);
    ~CUnits() override;

    // The process-wide database, created and loaded on the first call from the folder that
    // the installation's registry key names. A failed load is not retried.
    static CUnits* getInstance();
    // The folder of the definition files ("<InstallDir>/xml"); empty when the registry
    // key or value is missing.
    static std::filesystem::path findDefinitionFolder();

    // Sets the type name; an object that belongs to no database gets a light one of its own
    // with the factories of the definition objects.
    void initialize() override;
    bool resume(pugi::xml_node element) override;
    bool copy(const CCAERepBase* other) override { return copyIfSameType(other); }

    // Reads "Units_qzm.xml" and "UnitCategoryBaseDimension.xml" of the folder. True when both
    // were read. A base unit or category named twice raises CCAEEntryAlreadyExists.
    bool loadDefinitions(const std::filesystem::path& folder);
    void buildSymbolTable();
    bool isLoaded() const { return m_loaded; }

    // Splits an expression into terms; false when a term's exponent is not a finite number.
    static bool tokenize(const std::wstring& expression, std::vector<UnitTerm>& out);

    bool getCategoryDimensions(const std::wstring& category, DimensionVector& out) const;
    bool getSymbolDimensions(const std::wstring& symbol, DimensionVector& out) const;
    bool getTermFactor(const std::wstring& symbol, double& out) const;
    bool getTermOffset(const std::wstring& symbol, double& out) const;
    // Every reading of the symbol (unprefixed first, then by unit and prefix in the order of the
    // definitions), or null for none. The answer stays valid until the definitions are read again.
    const std::vector<Reading>* findSymbol(const std::wstring& symbol) const;
    // Written forms held for look-ups: unit and prefix names and aliases, and the prefixed
    // symbols answered so far. Prefixed forms are never listed in advance (prefixes times units
    // would be millions for a large definition set).
    std::size_t heldSymbolCount() const;

    // Resolves an expression against a quantity type into unambiguous terms.
    bool resolveExpression(const std::wstring& quantityType, const std::wstring& expression,
                           std::vector<UnitTerm>& out) const;
    // Chooses one candidate per ambiguous term so that the remaining dimensions vanish; false
    // unless exactly one choice fits.
    bool resolveAmbiguousTerms(const std::vector<std::vector<UnitTerm>>& candidates,
                               const DimensionVector& remaining, int attempts,
                               std::vector<UnitTerm>& out) const;

    bool convert(double value, const std::wstring& from, const std::wstring& to,
                 const std::wstring& quantityType, double& out) const;
    bool convert(const std::vector<double>& values, const std::wstring& from, const std::wstring& to,
                 const std::wstring& quantityType, std::vector<double>& out) const;
    bool convert(const std::map<std::wstring, double>& values, const std::wstring& from,
                 const std::wstring& to, const std::wstring& quantityType,
                 std::map<std::wstring, double>& out) const;
    // Conversion when no quantity type is known: every symbol must read one way only (or all
    // its readings must agree) and both sides must have the same dimensions.
    bool convertWithoutCategory(double value, const std::wstring& from, const std::wstring& to,
                                double& out) const;

  private:
    // The values converted one by one with the coefficients of one unit pair; equal units copy
    // them as they are, other units need a quantity type.
    template <class Container>
    bool convertEach(const Container& values, const std::wstring& from, const std::wstring& to,
                     const std::wstring& quantityType, Container& out) const;
    struct Coefficients {
        double offsetFrom = 0.0, offsetTo = 0.0, factorFrom = 1.0, factorTo = 1.0;
        double apply(double v) const { return (v + offsetFrom) * factorFrom / factorTo - offsetTo; }
    };
    bool coefficients(const std::wstring& from, const std::wstring& to, const std::wstring& quantityType,
                      Coefficients& out) const;
    bool coefficientsOfTerms(const std::vector<UnitTerm>& from, const std::vector<UnitTerm>& to,
                             Coefficients& out) const;
    bool readingDimensions(const Reading& reading, DimensionVector& out, int depth) const;
    bool expressionDimensions(const std::wstring& expression, DimensionVector& out, int depth) const;
    bool readingFactor(const Reading& reading, double& out) const;
    double readingOffset(const Reading& reading) const;
    const std::wstring* definitionText(const Reading& reading) const;
    void addUnitForms(const std::wstring& name, const std::wstring& alias, bool prefixable);
    std::vector<Reading> readingsOf(const std::wstring& symbol) const;

    std::unique_ptr<CCAEDatabase> m_ownDatabase;
    bool m_loaded = false;
    // Units in the order they read a symbol: base units by name, then derived units in the
    // order of the definitions. Prefixes in the order of the definitions.
    std::vector<std::wstring> m_unitNames;
    std::vector<bool> m_unitPrefixable;
    std::vector<std::wstring> m_prefixNames;
    // Name or alias -> positions in the lists above, ascending.
    std::unordered_map<std::wstring, std::vector<int>> m_unitForms;
    std::unordered_map<std::wstring, std::vector<int>> m_prefixForms;
    // Lengths of the prefix forms, so a symbol is split only where a prefix can end.
    std::vector<std::size_t> m_prefixLengths;
    // Answers handed out by findSymbol; a conversion may run on any thread.
    mutable std::mutex m_answersLock;
    mutable std::unordered_map<std::wstring, std::vector<Reading>> m_answers;
    std::map<std::wstring, std::wstring> m_baseUnits;  // name -> alias
    std::unordered_map<std::wstring, const CPrefix*> m_prefixes;
    std::unordered_map<std::wstring, const CDerivedUnit*> m_derivedUnits;
};

bool DimensionsAgree(const DimensionVector& a, const DimensionVector& b);

}  // namespace NCAERep
