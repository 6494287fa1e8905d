// Plasticity of a material: bilinear and multilinear hardening, Chaboche parameters and the Plakin law.
#include <cmath>

#include "deck/deck_counters.h"
#include "deck/deck_file.h"
#include "deck/materials/material_checks.h"
#include "deck/materials/material_columns.h"
#include "deck/return_codes.h"
#include "platform/text.h"

namespace {

struct ChabocheEntry {
    const wchar_t* dataName;
    const char* keyword;
};

ChabocheEntry ChabocheEntryOf(ChabocheParameter parameter) {
    switch (parameter) {
        case ChabocheParameter::kN:
            return {L"Creep Parameter n", "EXPN"};
        case ChabocheParameter::kBigK:
            return {L"Creep Parameter K", "BIGK"};
        case ChabocheParameter::kLittleK:
            return {L"Creep Parameter k", "LITK"};
        case ChabocheParameter::kB:
            return {L"Isotropic Hardening Coefficient b", "COEB"};
        case ChabocheParameter::kQ:
            return {L"Isotropic Hardening Coefficient Q", "COEQ"};
        case ChabocheParameter::kCa1:
            return {L"Kinematic Hardening Coefficient ca1", "COCA"};
        case ChabocheParameter::kC1:
            return {L"Kinematic Hardening Coefficient c1", "COEC"};
    }
    return {L"", ""};
}

const char* PlakinKeyword(char letter) {
    switch (letter) {
        case 'B':
            return "COEB";
        case 'Q':
            return "COEQ";
        case 'C':
            return "COCA";
        case 'D':
            return "COEC";
    }
    return nullptr;
}

// A table whose value column is empty or shorter than its temperatures holds no usable value:
// the host keeps such a column when the user left the value undefined.
bool HasUsableValues(const MaterialFunction& function) {
    const std::size_t temperatures = function.columns[0].size();
    return temperatures > 0 && function.columns[1].size() >= temperatures;
}

bool IsConstant(const MaterialFunction& function) { return function.columns[0].size() == 1; }

void WriteKinematicMarks(bool kinematic, DorvixDeckFile& deck) {
    if (!kinematic) return;
    deck.WriteLine("    PE 0.");
    deck.WriteLine("    KPRA");
}

std::string InconsistencyText(const std::string& material, int first, int second, const char* firstText,
                              const char* secondText) {
    return "INCONSISTENCY ERROR: Material \"" + material + "\" defines " + std::to_string(first) + firstText +
           std::to_string(second) + secondText;
}

}  // namespace

int CMaterialSectionWriter::WritePlasticity(IHostMaterial* material, MaterialFunctionList& functions,
                                            DorvixDeckFile& deck) {
    std::wstring law;
    HRESULT hr = S_OK;
    if (GetKinematicHardeningLaw(material, law)) {
        hr = law == L"Bilinear Kinematic Hardening"
                 ? WriteBilinearHardening(material, true, functions, deck)
                 : WriteMultilinearHardening(material, true, functions, deck);
    } else if (GetIsotropicHardeningLaw(material, law)) {
        hr = law == L"Bilinear Isotropic Hardening"
                 ? WriteBilinearHardening(material, false, functions, deck)
                 : WriteMultilinearHardening(material, false, functions, deck);
    }
    if (FAILED(hr)) return kRC_MaterialData;

    if (ComPtr<IHostMaterialProperty> chaboche = material->GetProperty(kChabocheKinematicHardening)) {
        for (ChabocheParameter parameter :
             {ChabocheParameter::kN, ChabocheParameter::kBigK, ChabocheParameter::kLittleK,
              ChabocheParameter::kB, ChabocheParameter::kQ, ChabocheParameter::kCa1, ChabocheParameter::kC1})
            WriteChabocheOrCreepParameter(chaboche.Get(), parameter, functions, deck);
        deck.WriteLine("    VONM");
    }
    if (material->GetProperty(kPlakinSpecialHardeningLaw)) return WritePlakinLaw(material, functions, deck);
    return kRC_Success;
}

HRESULT CMaterialSectionWriter::WriteBilinearHardening(IHostMaterial* material, bool kinematic,
                                                       MaterialFunctionList& functions,
                                                       DorvixDeckFile& deck) {
    const wchar_t* lawName = kinematic ? L"Bilinear Kinematic Hardening" : L"Bilinear Isotropic Hardening";
    ComPtr<IHostMaterialProperty> law = material ? material->GetProperty(lawName) : nullptr;
    ComPtr<IHostMaterialData> lawData = law ? law->GetData(lawName, L"") : nullptr;
    std::vector<double> yield, tangent, young;
    if (!lawData || FAILED(ReadPropertyColumn(lawData.Get(), L"Yield Strength", yield)) ||
        FAILED(ReadPropertyColumn(lawData.Get(), L"Tangent Modulus", tangent)))
        return E_FAIL;
    ComPtr<IHostMaterialProperty> elasticity = material->GetProperty(L"Isotropic Elasticity");
    ComPtr<IHostMaterialData> elasticData =
        elasticity ? elasticity->GetData(L"Isotropic Elasticity", L"") : nullptr;
    if (!elasticData || FAILED(ReadPropertyColumn(elasticData.Get(), L"Young's Modulus", young)))
        return E_FAIL;

    // Only the first row counts: the solver takes one bilinear curve.
    const double s = yield[0];
    const double et = tangent[0];
    const double e = young[0];
    const double slope = e - et == 0.0 ? HUGE_VAL : e * et / (e - et);
    if (!std::isfinite(slope) || !std::isfinite(s + slope)) {
        deck.WriteRaw(
            "ERROR: Tangent modulus equals Young's modulus in the bilinear hardening of material \"" +
            platform::WideToUtf8(material->GetName()) + "\".");
        return E_FAIL;
    }
    const int id = NextFunctionNumber();
    deck.WriteLine("    XIT 1. NF " + std::to_string(id));
    WriteKinematicMarks(kinematic, deck);
    functions.push_back({id, "", {{0.0, 1.0}, {s, s + slope}}});
    return S_OK;
}

HRESULT CMaterialSectionWriter::WriteMultilinearHardening(IHostMaterial* material, bool kinematic,
                                                          MaterialFunctionList& functions,
                                                          DorvixDeckFile& deck) {
    const wchar_t* lawName =
        kinematic ? L"Multilinear Kinematic Hardening" : L"Multilinear Isotropic Hardening";
    ComPtr<IHostMaterialProperty> law = material ? material->GetProperty(lawName) : nullptr;
    ComPtr<IHostMaterialData> data = law ? law->GetData(lawName, L"") : nullptr;
    Columns table;
    if (!data || !ReadColumns(data.Get(), {L"Plastic Strain", L"Stress"}, table)) return E_FAIL;
    const int id = NextFunctionNumber();
    functions.push_back({id, "", {table.values[0], table.temperatures, table.values[1]}});
    deck.WriteLine("    XIT 1. NF " + std::to_string(id));
    WriteKinematicMarks(kinematic, deck);
    return S_OK;
}

void CMaterialSectionWriter::WriteChabocheOrCreepParameter(IHostMaterialProperty* chaboche,
                                                           ChabocheParameter parameter,
                                                           MaterialFunctionList& functions,
                                                           DorvixDeckFile& deck) {
    const ChabocheEntry entry = ChabocheEntryOf(parameter);
    ComPtr<IHostMaterialData> data = chaboche ? chaboche->GetData(entry.dataName, L"") : nullptr;
    if (!data) return;
    MaterialFunction function = MakeMaterialFunction(data.Get(), entry.dataName, entry.keyword);
    if (!HasUsableValues(function)) return;
    WriteConstantOrFunction(std::string("    ") + entry.keyword, std::move(function), "", functions, deck);
}

int CMaterialSectionWriter::WritePlakinLaw(IHostMaterial* material, MaterialFunctionList& functions,
                                           DorvixDeckFile& deck) {
    ComPtr<IHostMaterialProperty> plakin = material->GetProperty(kPlakinSpecialHardeningLaw);
    ComPtr<IHostMaterialData> littleK = plakin ? plakin->GetData(L"Little K", L"") : nullptr;
    if (!littleK) return kRC_MaterialData;
    MaterialFunction function = MakeMaterialFunction(littleK.Get(), L"Little K", "LITK");
    if (!HasUsableValues(function)) return kRC_MaterialData;
    WriteConstantOrFunction("    LITK", std::move(function), "", functions, deck);

    int lengthB = 0, lengthQ = 0, lengthC = 0, lengthD = 0;
    for (auto [letter, length] :
         {std::pair<char, int*>{'B', &lengthB}, {'Q', &lengthQ}, {'C', &lengthC}, {'D', &lengthD}})
        if (const int code = WritePlakinCoefficientSeries(plakin.Get(), letter, *length, functions, deck))
            return code;

    const std::string name = platform::WideToUtf8(material->GetName());
    std::string block;
    if (lengthB != lengthQ)
        block += InconsistencyText(name, lengthB, lengthQ, " coefficients B (COEB) and ",
                                   " coefficients Q (COEQ). An equal number is expected.\n");
    if (lengthC != lengthD)
        block += InconsistencyText(name, lengthC, lengthD, " coefficients C (COCA) and ",
                                   " coefficients D (COEC). An equal number is expected.\n");
    if (block.empty()) return kRC_Success;
    block.pop_back();  // the deck's raw writer ends the last line itself
    deck.WriteRaw(block);
    return kRC_MaterialData;
}

int CMaterialSectionWriter::WritePlakinCoefficientSeries(IHostMaterialProperty* plakin, char letter,
                                                         int& length, MaterialFunctionList& functions,
                                                         DorvixDeckFile& deck) {
    length = 0;
    const char* keyword = PlakinKeyword(letter);
    if (!plakin || !keyword) return kRC_MaterialData;
    const std::wstring column = std::wstring(L"Coefficient ") + static_cast<wchar_t>(letter);
    MaterialFunctionList series;
    for (int i = 1;; ++i) {
        ComPtr<IHostMaterialData> data = plakin->GetData(column + std::to_wstring(i), L"");
        if (!data) break;
        series.push_back(MakeMaterialFunction(data.Get(), column, keyword + std::to_string(i)));
        if (!HasUsableValues(series.back())) {
            deck.WriteRaw(std::string("ERROR: Missing coefficient ") + letter + std::to_string(i) + ".");
            return kRC_MaterialData;
        }
    }
    if (series.empty()) {
        deck.WriteRaw(std::string("ERROR: Missing coefficient ") + letter + ".");
        return kRC_MaterialData;
    }
    std::string line = std::string("    ") + keyword;
    bool allConstant = true;
    for (const MaterialFunction& f : series) allConstant = allConstant && IsConstant(f);
    if (allConstant) {
        std::vector<double> values;
        for (const MaterialFunction& f : series) values.push_back(f.columns[1][0]);
        deck.WriteFields(line, DeckDoubles{values.data(), static_cast<int>(values.size())});
    } else {
        for (std::size_t i = 0; i < series.size(); ++i) line += " 1.";
        line += " NF";
        for (const MaterialFunction& f : series) line += " " + std::to_string(f.id);
        deck.WriteLine(line);
        for (MaterialFunction& f : series) functions.push_back(std::move(f));
    }
    length = static_cast<int>(series.size());
    return kRC_Success;
}
