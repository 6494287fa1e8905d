// Material value columns read in the deck's units, ".FCT" tables of two or three columns, the zero function.
#include <algorithm>
#include <numeric>

#include "deck/deck_counters.h"
#include "deck/deck_file.h"
#include "deck/materials/material_columns.h"
#include "deck/materials/unit_system_name.h"
#include "deck/return_codes.h"
#include "foundation/number_format.h"
#include "platform/text.h"

namespace {

// Digits of the values inside a three-column table: the stream's default precision.
constexpr int kTableDigits = 6;

std::string FunctionHeader(const MaterialFunction& function) {
    std::string line = ".FCT CREE FONC I " + std::to_string(function.id);
    if (!function.name.empty()) line += " NOM \"" + function.name + "\"";
    return line;
}

void WriteTwoColumns(const MaterialFunction& function, DorvixDeckFile& deck) {
    const std::vector<double>& x = function.columns[0];
    const std::vector<double>& y = function.columns[1];
    std::vector<std::size_t> order(x.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return x[a] < x[b]; });
    std::string abscissae = "     ABSCISSES";
    std::string ordinates = "     ORDONNEES";
    for (std::size_t i : order) {
        abscissae.push_back(' ');
        AppendGeneral15(abscissae, x[i]);
        ordinates.push_back(' ');
        AppendGeneral15(ordinates, y[i]);
    }
    deck.WriteLine(FunctionHeader(function));
    deck.WriteLine("     CREE VALEUR Y U");
    deck.WriteLine(abscissae);
    deck.WriteLine(ordinates);
}

// One block per V value, in the order the values first occur; rows keep their order.
void WriteThreeColumns(const MaterialFunction& function, DorvixDeckFile& deck) {
    const std::vector<double>& u = function.columns[0];
    const std::vector<double>& v = function.columns[1];
    const std::vector<double>& y = function.columns[2];
    deck.WriteLine(FunctionHeader(function));
    std::vector<bool> done(v.size(), false);
    for (std::size_t first = 0; first < v.size(); ++first) {
        if (done[first]) continue;
        std::string header = "     CREE VALEUR Y U V  ";
        AppendGeneral15(header, v[first]);
        std::string abscissae = "     ABSCISSES";
        std::string ordinates = "     ORDONNEES";
        for (std::size_t i = first; i < v.size(); ++i) {
            if (done[i] || v[i] != v[first]) continue;
            done[i] = true;
            abscissae.push_back(' ');
            AppendSignificant(abscissae, u[i], kTableDigits);
            ordinates.push_back(' ');
            AppendSignificant(ordinates, y[i], kTableDigits);
        }
        deck.WriteLine(header);
        deck.WriteLine(abscissae);
        deck.WriteLine(ordinates);
    }
}

}  // namespace

std::wstring CMaterialSectionWriter::UnitSystemName() const {
    // A code without a name leaves it empty, which asks for the values as the library holds them.
    std::wstring name;
    (void)GetUnitSystemName(bodies_.GetUnitSystem(), name);
    return name;
}

HRESULT CMaterialSectionWriter::ReadPropertyColumn(IHostMaterialData* data, std::wstring_view columnName,
                                                   std::vector<double>& values) const {
    values.clear();
    if (!data) return E_FAIL;
    const std::wstring system = UnitSystemName();
    ComPtr<IHostMaterialColumn> column = data->GetVariable(columnName);
    if (!column) return E_FAIL;
    values.assign(static_cast<std::size_t>(std::max(column->GetCount(), 0)), 0.0);
    for (std::size_t i = 0; i < values.size(); ++i) {
        ComPtr<IHostMaterialValue> value = column->GetValue(static_cast<int>(i), system, kHostValueConverted);
        if (!value) {
            // The rows not read would otherwise stand in the column as zeros.
            values.clear();
            return E_FAIL;
        }
        values[i] = value->GetDouble();
    }
    if (values.size() == 1 && columnName != L"Temperature" && values[0] == kHostUndefinedValue)
        values.clear();
    return values.empty() ? E_FAIL : S_OK;
}

MaterialFunction CMaterialSectionWriter::MakeMaterialFunction(IHostMaterialData* data,
                                                              std::wstring_view valueColumn,
                                                              std::string name) const {
    MaterialFunction function;
    function.columns.resize(2);
    // A column that cannot be read comes back empty, which the callers' length checks refuse.
    (void)ReadPropertyColumn(data, L"Temperature", function.columns[0]);
    (void)ReadPropertyColumn(data, valueColumn, function.columns[1]);
    function.id = NextFunctionNumber();
    function.name = std::move(name);
    return function;
}

int CMaterialSectionWriter::GetZeroFunctionId() {
    if (zeroFunctionId_ == 0) zeroFunctionId_ = NextFunctionNumber();
    return zeroFunctionId_;
}

HRESULT CMaterialSectionWriter::WriteMaterialFunction(const MaterialFunction& function,
                                                      DorvixDeckFile& deck) {
    if (function.name == kZeroFunctionName) {
        if (!zeroFunctionWritten_) {
            zeroFunctionWritten_ = true;
            deck.WriteLine(".FCT CREE FONC I " + std::to_string(function.id) + " NOM \"Fct_Zero\"");
            deck.WriteLine("     CREE VALEUR Y U");
            deck.WriteLine("     BORNE -100 1500 POLYNOME 0 0 0 0");
        }
        return S_OK;
    }
    const auto& columns = function.columns;
    if (columns.size() == 2) {
        if (columns[0].size() != columns[1].size()) return E_FAIL;
        WriteTwoColumns(function, deck);
        return S_OK;
    }
    if (columns.size() == 3) {
        if (columns[0].size() != columns[1].size() || columns[0].size() != columns[2].size()) return E_FAIL;
        WriteThreeColumns(function, deck);
        return S_OK;
    }
    return E_FAIL;
}

int CMaterialSectionWriter::WriteFunctions(const MaterialFunctionList& functions, std::string_view banner,
                                           DorvixDeckFile& deck) {
    if (functions.empty()) return kRC_Success;
    deck.WriteLine(banner);
    deck.WriteLine("!---------------------------------------");
    for (const MaterialFunction& function : functions)
        if (FAILED(WriteMaterialFunction(function, deck))) return kRC_MissingData;
    return kRC_Success;
}
