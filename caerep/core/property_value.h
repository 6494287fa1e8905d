// A tagged value of the representation with the units and quantity type it was written in.
// Type codes are fixed (they appear in model files): see EValueType.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace NCAERep {

enum class EValueType : int {
    Empty = 0,
    Bool = 1,
    Int = 2,
    Unsigned = 3,
    Double = 4,
    String = 5,
    BoolList = 6,
    IntList = 7,
    UnsignedList = 8,
    DoubleList = 9,
    StringList = 10,
    StringMap = 11,
    DoubleMap = 12,
    StringSet = 13,
    IntSet = 14,
    DoubleSet = 15,
    UnsignedSet = 16,
};
constexpr int kValueTypeCount = 17;

// The name of a value type as model files write it ("double", "stringList", ...).
const wchar_t* ValueTypeName(EValueType type);
// Accepts the names above and the numeric codes 0 to 16; false for anything else.
bool ParseValueTypeName(std::wstring_view text, EValueType& out);

inline const std::wstring kUndefined = L"[undef]";
// The pooled "[undef]" that fresh values point at.
const std::wstring* UndefinedText();

class CPropertyValue {
  public:
    using Storage =
        std::variant<std::monostate, bool, int, unsigned int, double, std::wstring, std::vector<bool>,
                     std::vector<int>, std::vector<unsigned int>, std::vector<double>,
                     std::vector<std::wstring>, std::map<std::wstring, std::wstring>,
                     std::map<std::wstring, double>, std::set<std::wstring>, std::set<int>, std::set<double>,
                     std::set<unsigned int>>;

    CPropertyValue() = default;

    EValueType getType() const { return static_cast<EValueType>(m_value.index()); }
    bool isEmpty() const { return m_value.index() == 0; }
    const Storage& storage() const { return m_value; }

    std::wstring getUnits() const { return *m_units; }
    std::wstring getQuantityType() const { return *m_quantityType; }
    const std::wstring& units() const { return *m_units; }
    const std::wstring& quantityType() const { return *m_quantityType; }
    void setUnits(std::wstring_view units);
    void setQuantityType(std::wstring_view quantityType);
    // Pooled texts (see interned_text.h) are taken as they are.
    void setUnitsInterned(const std::wstring* units) { m_units = units; }
    void setQuantityTypeInterned(const std::wstring* quantityType) { m_quantityType = quantityType; }

    // Setters replace value and type; units and quantity type change only where given.
    void clear();
    void setValue(bool v) { m_value = v; }
    void setValue(int v) { m_value = v; }
    void setValue(unsigned int v) { m_value = v; }
    void setValue(double v) { m_value = v; }
    void setValue(double v, const std::wstring& quantityType, const std::wstring& units);
    void setValue(const wchar_t* v) { m_value = std::wstring(v ? v : L""); }
    void setValue(std::wstring v) { m_value = std::move(v); }
    void setValue(std::vector<bool> v) { m_value = std::move(v); }
    void setValue(std::vector<int> v) { m_value = std::move(v); }
    void setValue(std::vector<unsigned int> v) { m_value = std::move(v); }
    void setValue(std::vector<double> v) { m_value = std::move(v); }
    void setValue(std::vector<double> v, const std::wstring& quantityType, const std::wstring& units);
    void setValue(std::vector<std::wstring> v) { m_value = std::move(v); }
    void setValue(std::map<std::wstring, std::wstring> v) { m_value = std::move(v); }
    void setValue(std::map<std::wstring, double> v) { m_value = std::move(v); }
    void setValue(std::map<std::wstring, double> v, const std::wstring& quantityType,
                  const std::wstring& units);
    void setValue(std::set<std::wstring> v) { m_value = std::move(v); }
    void setValue(std::set<int> v) { m_value = std::move(v); }
    void setValue(std::set<double> v) { m_value = std::move(v); }
    void setValue(std::set<unsigned int> v) { m_value = std::move(v); }
    void setStorage(Storage v) { m_value = std::move(v); }

    // Reads of the stored type; another stored type raises CCAEInvalidGetValueType.
    void getValue(bool& out) const;
    void getValue(int& out) const;
    // Accepts an int too, as long as it is not negative.
    void getValue(unsigned int& out) const;
    // The stored double as written, without any unit handling.
    void getValue(double& out) const;
    void getValue(std::wstring& out) const;
    void getValue(std::vector<bool>& out) const;
    void getValue(std::vector<int>& out) const;
    void getValue(std::vector<unsigned int>& out) const;
    void getValue(std::vector<double>& out) const;
    void getValue(std::vector<std::wstring>& out) const;
    void getValue(std::map<std::wstring, std::wstring>& out) const;
    void getValue(std::map<std::wstring, double>& out) const;
    void getValue(std::set<std::wstring>& out) const;
    void getValue(std::set<int>& out) const;
    void getValue(std::set<double>& out) const;
    void getValue(std::set<unsigned int>& out) const;

    // Unit-converting reads: the stored quantity type must equal `quantityType`; with
    // non-empty `units` the value is converted from the stored units. A mismatch or a failed
    // conversion raises CCAEConversionException.
    void getValue(double& out, const std::wstring& quantityType, const std::wstring& units) const;
    void getValue(std::vector<double>& out, const std::wstring& quantityType,
                  const std::wstring& units) const;
    void getValue(std::map<std::wstring, double>& out, const std::wstring& quantityType,
                  const std::wstring& units) const;

    friend bool operator==(const CPropertyValue&, const CPropertyValue&) = default;

  private:
    template <class T>
    const T& typed(const wchar_t* function) const;
    void checkQuantity(const std::wstring& quantityType, const wchar_t* function) const;

    Storage m_value;
    // Units and quantity types come from a small vocabulary: pooled, so values copy cheaply
    // and compare by address.
    const std::wstring* m_units = UndefinedText();
    const std::wstring* m_quantityType = UndefinedText();
};

}  // namespace NCAERep
