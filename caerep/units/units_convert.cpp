// Unit expressions: tokenizing, dimensions, resolution against a quantity type, conversion.
#include <charconv>
#include <cmath>

#include "caerep/units/unit_objects.h"
#include "caerep/units/units.h"
#include "platform/text.h"

namespace NCAERep {

namespace {

constexpr double kDimensionTolerance = 1e-12;
constexpr int kMaxDefinitionDepth = 16;
// Standard gravity in feet and in inches per second squared.
constexpr double kGravityFeet = 32.17404855643044;
constexpr double kGravityInches = 386.0885826771653;
// Upper bound of the combinations tried for ambiguous terms; real expressions have a few.
constexpr long long kMaxCombinations = 1 << 16;

const std::array<const wchar_t*, kBaseDimensionCount> kBaseUnitNames = {
    L"mole",   L"kilogram",  L"candela", L"ampere", L"metre",
    L"radian", L"steradian", L"second",  L"kelvin", L"sterling"};

bool IsGravitySymbol(const std::wstring& s) { return s == kGravityFootSymbol || s == kGravityInchSymbol; }

bool IsZero(const DimensionVector& v) {
    for (double d : v)
        if (std::fabs(d) > kDimensionTolerance) return false;
    return true;
}

void AddScaled(DimensionVector& target, const DimensionVector& v, double scale) {
    for (int i = 0; i < kBaseDimensionCount; ++i) target[i] += scale * v[i];
}

bool IsSeparator(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'*'; }

}  // namespace

bool DimensionsAgree(const DimensionVector& a, const DimensionVector& b) {
    for (int i = 0; i < kBaseDimensionCount; ++i)
        if (std::fabs(a[i] - b[i]) > kDimensionTolerance) return false;
    return true;
}

// "kg m^-3", "m/s", "W / m^2 K": a "/" (alone or inside a word) makes every later term a divisor.
bool CUnits::tokenize(const std::wstring& expression, std::vector<UnitTerm>& out) {
    out.clear();
    bool divisor = false;
    std::size_t i = 0;
    while (i < expression.size()) {
        if (IsSeparator(expression[i])) {
            ++i;
            continue;
        }
        if (expression[i] == L'/') {
            divisor = true;
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < expression.size() && !IsSeparator(expression[j]) && expression[j] != L'/') ++j;
        std::wstring word = expression.substr(i, j - i);
        i = j;
        UnitTerm term;
        std::size_t caret = word.find(L'^');
        if (caret == std::wstring::npos) {
            term.symbol = word;
        } else {
            term.symbol = word.substr(0, caret);
            std::string number = platform::WideToUtf8(word.substr(caret + 1));
            if (!number.empty() && number[0] == '+') number.erase(0, 1);
            auto r = std::from_chars(number.data(), number.data() + number.size(), term.exponent);
            // An infinite or undefined exponent has no dimensions that could fit.
            if (term.symbol.empty() || number.empty() || r.ec != std::errc() ||
                r.ptr != number.data() + number.size() || !std::isfinite(term.exponent))
                return false;
        }
        if (divisor) term.exponent = -term.exponent;
        out.push_back(std::move(term));
    }
    return true;
}

// ---- definitions of readings -------------------------------------------------------------

const std::wstring* CUnits::definitionText(const Reading& r) const {
    if (auto b = m_baseUnits.find(r.unit); b != m_baseUnits.end()) return &b->second;
    // A unit database read from a model may hold an expression of another value type.
    if (auto d = m_derivedUnits.find(r.unit); d != m_derivedUnits.end())
        return std::get_if<std::wstring>(&d->second->m_Expression.storage());
    return nullptr;
}

bool CUnits::readingDimensions(const Reading& r, DimensionVector& out, int depth) const {
    out.fill(0.0);
    if (m_baseUnits.count(r.unit)) {
        for (int i = 0; i < kBaseDimensionCount; ++i) {
            if (r.unit == kBaseUnitNames[i]) {
                out[i] = 1.0;
                return true;
            }
        }
        return false;  // a base unit outside the ten dimensions
    }
    const std::wstring* expression = definitionText(r);
    return expression && expressionDimensions(*expression, out, depth + 1);
}

bool CUnits::expressionDimensions(const std::wstring& expression, DimensionVector& out, int depth) const {
    out.fill(0.0);
    if (depth > kMaxDefinitionDepth) return false;  // a definition that refers to itself
    std::vector<UnitTerm> terms;
    if (!tokenize(expression, terms)) return false;
    for (const UnitTerm& t : terms) {
        if (IsGravitySymbol(t.symbol)) continue;
        const auto* readings = findSymbol(t.symbol);
        if (!readings || readings->empty()) return false;
        DimensionVector v{};
        if (!readingDimensions(readings->front(), v, depth)) return false;
        AddScaled(out, v, t.exponent);
    }
    return true;
}

bool CUnits::readingFactor(const Reading& r, double& out) const {
    double unit = 1.0;
    if (!m_baseUnits.count(r.unit)) {
        auto d = m_derivedUnits.find(r.unit);
        if (d == m_derivedUnits.end()) return false;
        d->second->m_Factor.getValue(unit);
    }
    double prefix = 1.0;
    if (!r.prefix.empty()) {
        auto p = m_prefixes.find(r.prefix);
        if (p == m_prefixes.end()) return false;
        p->second->m_Factor.getValue(prefix);
    }
    out = prefix * unit;
    return true;
}

double CUnits::readingOffset(const Reading& r) const {
    auto d = m_derivedUnits.find(r.unit);
    if (d == m_derivedUnits.end()) return 0.0;
    double offset = 0.0;
    d->second->m_Offset.getValue(offset);
    return offset;
}

bool CUnits::getCategoryDimensions(const std::wstring& category, DimensionVector& out) const {
    const CPropertyValue* v = findProperty(category);
    if (!v || v->getType() != EValueType::String) return false;
    return expressionDimensions(std::get<std::wstring>(v->storage()), out, 0);
}

bool CUnits::getSymbolDimensions(const std::wstring& symbol, DimensionVector& out) const {
    out.fill(0.0);
    if (IsGravitySymbol(symbol)) return true;
    const auto* readings = findSymbol(symbol);
    return readings && !readings->empty() && readingDimensions(readings->front(), out, 0);
}

bool CUnits::getTermFactor(const std::wstring& symbol, double& out) const {
    if (symbol == kGravityFootSymbol) {
        out = 1.0 / kGravityFeet;
        return true;
    }
    if (symbol == kGravityInchSymbol) {
        out = 1.0 / kGravityInches;
        return true;
    }
    const auto* readings = findSymbol(symbol);
    return readings && !readings->empty() && readingFactor(readings->front(), out);
}

bool CUnits::getTermOffset(const std::wstring& symbol, double& out) const {
    if (IsGravitySymbol(symbol)) {
        out = 0.0;
        return true;
    }
    const auto* readings = findSymbol(symbol);
    if (!readings || readings->empty()) return false;
    out = readingOffset(readings->front());
    return true;
}

// ---- resolution --------------------------------------------------------------------------

bool CUnits::resolveExpression(const std::wstring& quantityType, const std::wstring& expression,
                               std::vector<UnitTerm>& out) const {
    out.clear();
    DimensionVector remaining{};
    if (!getCategoryDimensions(quantityType, remaining)) return false;
    std::vector<UnitTerm> terms;
    if (!tokenize(expression, terms) || terms.empty()) return false;

    std::vector<std::vector<UnitTerm>> candidates;
    std::vector<std::size_t> candidatePositions;
    int attempts = 0;
    for (const UnitTerm& t : terms) {
        if (IsGravitySymbol(t.symbol)) {
            out.push_back(t);
            continue;
        }
        const auto* readings = findSymbol(t.symbol);
        if (!readings || readings->empty()) return false;
        std::size_t k = readings->size();
        if (k == 2) {
            const std::wstring* a = definitionText((*readings)[0]);
            const std::wstring* b = definitionText((*readings)[1]);
            if (a && b && *a == *b) k = 1;
        }
        if (k == 1) {
            DimensionVector v{};
            if (!readingDimensions(readings->front(), v, 0)) return false;
            AddScaled(remaining, v, -t.exponent);
            out.push_back(t);
            continue;
        }
        std::vector<UnitTerm> list;
        for (const Reading& r : *readings) {
            std::wstring symbol = r.unit;
            if (!r.prefix.empty()) {
                auto p = m_prefixes.find(r.prefix);
                std::wstring alias;
                if (p != m_prefixes.end()) p->second->m_Alias.getValue(alias);
                // A prefix without alias is reachable only through its name.
                symbol = (alias.empty() ? r.prefix : alias) + r.unit;
            }
            list.push_back(UnitTerm{symbol, t.exponent});
        }
        attempts += static_cast<int>(k);
        candidatePositions.push_back(out.size());
        candidates.push_back(std::move(list));
        out.push_back(t);  // replaced by the chosen candidate below
    }
    if (candidates.empty()) return IsZero(remaining);

    // An ambiguous term is never dropped, even when the other terms already fit.
    std::vector<UnitTerm> chosen;
    if (!resolveAmbiguousTerms(candidates, remaining, attempts, chosen)) return false;
    for (std::size_t i = 0; i < chosen.size(); ++i) out[candidatePositions[i]] = chosen[i];
    return true;
}

bool CUnits::resolveAmbiguousTerms(const std::vector<std::vector<UnitTerm>>& candidates,
                                   const DimensionVector& remaining, int /*attempts*/,
                                   std::vector<UnitTerm>& out) const {
    if (candidates.empty()) return false;
    long long combinations = 1;
    for (const auto& list : candidates) {
        if (list.empty()) return false;
        combinations *= static_cast<long long>(list.size());
        if (combinations > kMaxCombinations) return false;
    }
    // Dimensions of every candidate, computed once.
    std::vector<std::vector<DimensionVector>> dims(candidates.size());
    for (std::size_t j = 0; j < candidates.size(); ++j) {
        for (const UnitTerm& t : candidates[j]) {
            DimensionVector v{};
            if (!getSymbolDimensions(t.symbol, v)) return false;
            dims[j].push_back(v);
        }
    }
    // Every combination is tried; exactly one may fit, otherwise the expression is ambiguous.
    std::vector<std::size_t> index(candidates.size(), 0);
    int fits = 0;
    std::vector<UnitTerm> found;
    for (long long c = 0; c < combinations; ++c) {
        DimensionVector r = remaining;
        for (std::size_t j = 0; j < candidates.size(); ++j)
            AddScaled(r, dims[j][index[j]], -candidates[j][index[j]].exponent);
        if (IsZero(r)) {
            if (++fits > 1) return false;
            found.clear();
            for (std::size_t j = 0; j < candidates.size(); ++j) found.push_back(candidates[j][index[j]]);
        }
        for (std::size_t j = 0; j < candidates.size(); ++j) {
            if (++index[j] < candidates[j].size()) break;
            index[j] = 0;
        }
    }
    if (fits != 1) return false;
    out.insert(out.end(), found.begin(), found.end());
    return true;
}

// ---- conversion --------------------------------------------------------------------------

bool CUnits::coefficientsOfTerms(const std::vector<UnitTerm>& from, const std::vector<UnitTerm>& to,
                                 Coefficients& out) const {
    out = Coefficients{};
    // Offsets belong to absolute temperature-like units only: one term, exponent one, on both
    // sides. Converting through the coherent unit, value + offset is taken in the source
    // unit and the target's offset is removed after scaling.
    if (from.size() == 1 && to.size() == 1 && from[0].exponent == 1.0 && to[0].exponent == 1.0) {
        if (!getTermOffset(from[0].symbol, out.offsetFrom) || !getTermOffset(to[0].symbol, out.offsetTo))
            return false;
    }
    for (const UnitTerm& t : from) {
        double f = 0.0;
        if (!getTermFactor(t.symbol, f)) return false;
        out.factorFrom *= std::pow(f, t.exponent);
    }
    for (const UnitTerm& t : to) {
        double f = 0.0;
        if (!getTermFactor(t.symbol, f)) return false;
        out.factorTo *= std::pow(f, t.exponent);
    }
    return out.factorTo != 0.0;
}

bool CUnits::coefficients(const std::wstring& from, const std::wstring& to, const std::wstring& quantityType,
                          Coefficients& out) const {
    std::vector<UnitTerm> tf, tt;
    if (!resolveExpression(quantityType, from, tf) || !resolveExpression(quantityType, to, tt)) return false;
    return coefficientsOfTerms(tf, tt, out);
}

bool CUnits::convert(double value, const std::wstring& from, const std::wstring& to,
                     const std::wstring& quantityType, double& out) const {
    if (from == to) {
        out = value;
        return true;
    }
    if (quantityType.empty()) return convertWithoutCategory(value, from, to, out);
    Coefficients c;
    if (!coefficients(from, to, quantityType, c)) return false;
    out = c.apply(value);
    return true;
}

namespace {
double& ValueOf(double& value) { return value; }
double& ValueOf(std::pair<const std::wstring, double>& entry) { return entry.second; }
}  // namespace

template <class Container>
bool CUnits::convertEach(const Container& values, const std::wstring& from, const std::wstring& to,
                         const std::wstring& quantityType, Container& out) const {
    if (from == to) {
        out = values;
        return true;
    }
    Coefficients c;
    if (quantityType.empty() || !coefficients(from, to, quantityType, c)) return false;
    out = values;
    for (auto& entry : out) ValueOf(entry) = c.apply(ValueOf(entry));
    return true;
}

bool CUnits::convert(const std::vector<double>& values, const std::wstring& from, const std::wstring& to,
                     const std::wstring& quantityType, std::vector<double>& out) const {
    return convertEach(values, from, to, quantityType, out);
}

bool CUnits::convert(const std::map<std::wstring, double>& values, const std::wstring& from,
                     const std::wstring& to, const std::wstring& quantityType,
                     std::map<std::wstring, double>& out) const {
    return convertEach(values, from, to, quantityType, out);
}

bool CUnits::convertWithoutCategory(double value, const std::wstring& from, const std::wstring& to,
                                    double& out) const {
    if (from == to) {
        out = value;
        return true;
    }
    // Each side must read one way only: a symbol with readings that differ in dimension,
    // factor or offset cannot be settled without a quantity type.
    auto unambiguous = [this](const std::wstring& expression, std::vector<UnitTerm>& terms,
                              DimensionVector& dims) {
        dims.fill(0.0);
        if (!tokenize(expression, terms) || terms.empty()) return false;
        for (UnitTerm& t : terms) {
            if (IsGravitySymbol(t.symbol)) continue;
            const auto* readings = findSymbol(t.symbol);
            if (!readings || readings->empty()) return false;
            DimensionVector first{};
            double factor = 0.0;
            if (!readingDimensions(readings->front(), first, 0) || !readingFactor(readings->front(), factor))
                return false;
            double offset = readingOffset(readings->front());
            for (const Reading& r : *readings) {
                DimensionVector v{};
                double f = 0.0;
                if (!readingDimensions(r, v, 0) || !readingFactor(r, f) || !DimensionsAgree(v, first) ||
                    f != factor || readingOffset(r) != offset)
                    return false;
            }
            AddScaled(dims, first, t.exponent);
        }
        return true;
    };
    std::vector<UnitTerm> tf, tt;
    DimensionVector df{}, dt{};
    if (!unambiguous(from, tf, df) || !unambiguous(to, tt, dt) || !DimensionsAgree(df, dt)) return false;
    Coefficients c;
    if (!coefficientsOfTerms(tf, tt, c)) return false;
    out = c.apply(value);
    return true;
}

}  // namespace NCAERep
