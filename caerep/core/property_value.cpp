// Value type names and codes, typed reads that refuse another type, and reads converted to asked units.
#include "caerep/core/property_value.h"

#include <array>
#include <charconv>

#include "caerep/core/cae_exception.h"
#include "caerep/core/interned_text.h"
#include "caerep/units/units.h"

namespace NCAERep {

namespace {
constexpr std::array<const wchar_t*, kValueTypeCount> kTypeNames = {
    L"empty",     L"bool",      L"int",          L"unsigned",   L"double",     L"string",
    L"boolList",  L"intList",   L"unsignedList", L"doubleList", L"stringList", L"stringMap",
    L"doubleMap", L"stringSet", L"intSet",       L"doubleSet",  L"unsignedSet"};

std::wstring Describe(const CPropertyValue& v) { return ValueTypeName(v.getType()); }
}  // namespace

const wchar_t* ValueTypeName(EValueType type) {
    int i = static_cast<int>(type);
    return i >= 0 && i < kValueTypeCount ? kTypeNames[i] : L"?";
}

bool ParseValueTypeName(std::wstring_view text, EValueType& out) {
    for (int i = 0; i < kValueTypeCount; ++i) {
        if (text == kTypeNames[i]) {
            out = static_cast<EValueType>(i);
            return true;
        }
    }
    if (text.empty() || text.size() > 2) return false;
    int code = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        code = code * 10 + (c - L'0');
    }
    if (code >= kValueTypeCount) return false;
    out = static_cast<EValueType>(code);
    return true;
}

const std::wstring* UndefinedText() {
    static const std::wstring* undefined = InternText(L"[undef]");
    return undefined;
}

void CPropertyValue::setUnits(std::wstring_view units) { m_units = InternText(units); }
void CPropertyValue::setQuantityType(std::wstring_view quantityType) {
    m_quantityType = InternText(quantityType);
}

void CPropertyValue::clear() {
    m_value = std::monostate{};
    m_units = UndefinedText();
    m_quantityType = UndefinedText();
}

void CPropertyValue::setValue(double v, const std::wstring& quantityType, const std::wstring& units) {
    m_value = v;
    setQuantityType(quantityType);
    setUnits(units);
}

void CPropertyValue::setValue(std::vector<double> v, const std::wstring& quantityType,
                              const std::wstring& units) {
    m_value = std::move(v);
    setQuantityType(quantityType);
    setUnits(units);
}

void CPropertyValue::setValue(std::map<std::wstring, double> v, const std::wstring& quantityType,
                              const std::wstring& units) {
    m_value = std::move(v);
    setQuantityType(quantityType);
    setUnits(units);
}

template <class T>
const T& CPropertyValue::typed(const wchar_t* function) const {
    if (const T* p = std::get_if<T>(&m_value)) return *p;
    EValueType wanted = static_cast<EValueType>(Storage(T{}).index());
    throw CCAEInvalidGetValueType(
        std::wstring(L"Value of type ") + Describe(*this) + L" read as " + ValueTypeName(wanted), function);
}

void CPropertyValue::getValue(bool& out) const { out = typed<bool>(L"CPropertyValue::getValue(bool)"); }
void CPropertyValue::getValue(int& out) const { out = typed<int>(L"CPropertyValue::getValue(int)"); }

void CPropertyValue::getValue(unsigned int& out) const {
    if (const int* i = std::get_if<int>(&m_value)) {
        if (*i < 0) {
            throw CCAEInvalidGetValueType(L"Negative int " + std::to_wstring(*i) + L" read as unsigned",
                                          L"CPropertyValue::getValue(unsigned int)");
        }
        out = static_cast<unsigned int>(*i);
        return;
    }
    out = typed<unsigned int>(L"CPropertyValue::getValue(unsigned int)");
}

void CPropertyValue::getValue(double& out) const { out = typed<double>(L"CPropertyValue::getValue(double)"); }
void CPropertyValue::getValue(std::wstring& out) const {
    out = typed<std::wstring>(L"CPropertyValue::getValue(string)");
}
void CPropertyValue::getValue(std::vector<bool>& out) const {
    out = typed<std::vector<bool>>(L"CPropertyValue::getValue(vector<bool>)");
}
void CPropertyValue::getValue(std::vector<int>& out) const {
    out = typed<std::vector<int>>(L"CPropertyValue::getValue(vector<int>)");
}
void CPropertyValue::getValue(std::vector<unsigned int>& out) const {
    out = typed<std::vector<unsigned int>>(L"CPropertyValue::getValue(vector<unsigned int>)");
}
void CPropertyValue::getValue(std::vector<double>& out) const {
    out = typed<std::vector<double>>(L"CPropertyValue::getValue(vector<double>)");
}
void CPropertyValue::getValue(std::vector<std::wstring>& out) const {
    out = typed<std::vector<std::wstring>>(L"CPropertyValue::getValue(vector<string>)");
}
void CPropertyValue::getValue(std::map<std::wstring, std::wstring>& out) const {
    out = typed<std::map<std::wstring, std::wstring>>(L"CPropertyValue::getValue(map<string,string>)");
}
void CPropertyValue::getValue(std::map<std::wstring, double>& out) const {
    out = typed<std::map<std::wstring, double>>(L"CPropertyValue::getValue(map<string,double>)");
}
void CPropertyValue::getValue(std::set<std::wstring>& out) const {
    out = typed<std::set<std::wstring>>(L"CPropertyValue::getValue(set<string>)");
}
void CPropertyValue::getValue(std::set<int>& out) const {
    out = typed<std::set<int>>(L"CPropertyValue::getValue(set<int>)");
}
void CPropertyValue::getValue(std::set<double>& out) const {
    out = typed<std::set<double>>(L"CPropertyValue::getValue(set<double>)");
}
void CPropertyValue::getValue(std::set<unsigned int>& out) const {
    out = typed<std::set<unsigned int>>(L"CPropertyValue::getValue(set<unsigned int>)");
}

void CPropertyValue::checkQuantity(const std::wstring& quantityType, const wchar_t* function) const {
    if (quantityType != *m_quantityType) {
        throw CCAEConversionException(L"Quantity type " + *m_quantityType + L" of " + Describe(*this) +
                                          L" value read as " + quantityType,
                                      function);
    }
}

namespace {
[[noreturn]] void ConversionFailed(const wchar_t* data, const std::wstring& quantity,
                                   const std::wstring& from, const std::wstring& to,
                                   const wchar_t* function) {
    throw CCAEConversionException(std::wstring(L"Cannot convert ") + data + L" of quantity type " + quantity +
                                      L" from \"" + from + L"\" to \"" + to + L"\"",
                                  function);
}
}  // namespace

void CPropertyValue::getValue(double& out, const std::wstring& quantityType,
                              const std::wstring& units) const {
    constexpr const wchar_t* fn = L"CPropertyValue::getValue(double, quantity, units)";
    const double& v = typed<double>(fn);
    checkQuantity(quantityType, fn);
    if (units.empty()) {
        out = v;
        return;
    }
    double result = 0.0;
    if (!CUnits::getInstance()->convert(v, *m_units, units, quantityType, result))
        ConversionFailed(L"double", quantityType, *m_units, units, fn);
    out = result;
}

void CPropertyValue::getValue(std::vector<double>& out, const std::wstring& quantityType,
                              const std::wstring& units) const {
    constexpr const wchar_t* fn = L"CPropertyValue::getValue(vector<double>, quantity, units)";
    const auto& v = typed<std::vector<double>>(fn);
    checkQuantity(quantityType, fn);
    if (units.empty()) {
        out = v;
        return;
    }
    std::vector<double> result;
    if (!CUnits::getInstance()->convert(v, *m_units, units, quantityType, result))
        ConversionFailed(L"vector<double>", quantityType, *m_units, units, fn);
    out = std::move(result);
}

void CPropertyValue::getValue(std::map<std::wstring, double>& out, const std::wstring& quantityType,
                              const std::wstring& units) const {
    constexpr const wchar_t* fn = L"CPropertyValue::getValue(map<string,double>, quantity, units)";
    const auto& v = typed<std::map<std::wstring, double>>(fn);
    checkQuantity(quantityType, fn);
    if (units.empty()) {
        out = v;
        return;
    }
    std::map<std::wstring, double> result;
    if (!CUnits::getInstance()->convert(v, *m_units, units, quantityType, result))
        ConversionFailed(L"map<string,double>", quantityType, *m_units, units, fn);
    out = std::move(result);
}

}  // namespace NCAERep
