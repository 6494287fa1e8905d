// The ".MAT" records: behaviour line, thermal or elastic data, expansion, density, constants or functions.
#include "deck/materials/material_section_writer.h"

#include <set>

#include "deck/deck_counters.h"
#include "deck/deck_file.h"
#include "deck/materials/body_material_lookup.h"
#include "deck/materials/material_checks.h"
#include "deck/materials/material_columns.h"
#include "deck/return_codes.h"
#include "foundation/analysis_kind.h"
#include "platform/text.h"

namespace {

ComPtr<IHostMaterialData> PropertyData(IHostMaterialProperty* property, std::wstring_view name,
                                       std::wstring_view behavior = {}) {
    return property ? property->GetData(name, behavior) : nullptr;
}

std::string BehaviourLine(IHostMaterial* material) {
    if (HasChabocheKinematicHardening(material)) return "    BEHA \"LCI7\" ";
    if (HasPlakinSpecialHardeningLaw(material)) return "    BEHA \"Plakin\" ";
    if (HasKinematicHardening(material)) return "    BEHA \"PLASPRAGER\" ";
    if (HasIsotropicHardening(material)) return "    BEHA \"Plastic\" ";
    if (HasHyperelasticModel(material)) return "    BEHA \"TODO :HyperElasticity\" ";
    return "    BEHA \"Elastic\" ";
}

}  // namespace

ComPtr<IHostMaterialData> OwnData(IHostMaterial* material, std::wstring_view name) {
    ComPtr<IHostMaterialProperty> property = material->GetProperty(name);
    return PropertyData(property.Get(), name);
}

int CMaterialSectionWriter::WriteMaterials(DorvixDeckFile& deck) {
    deck.WriteLine("!---------------------------------------");
    deck.WriteLine("! Materials");
    deck.WriteLine("!---------------------------------------");
    std::set<int> written;
    for (int i = 0; i < bodies_.GetBodyCount(); ++i) {
        const int number = bodies_.GetBodyMaterialNumber(i);
        if (!written.insert(number).second) continue;
        NextMaterialNumber();
        NCAERep::CCAERepBase* attributes = bodies_.GetBodyAttributes(bodies_.GetBodyId(i));
        if (!attributes) return kRC_ModelLoadFailed;
        if (const int code = WriteMaterial(number, attributes, &deck)) return code;
    }
    return kRC_Success;
}

int CMaterialSectionWriter::WriteMaterial(int materialNumber, NCAERep::CCAERepBase* bodyAttributes,
                                          DorvixDeckFile* deck) {
    if (materialNumber == 0 || !bodyAttributes || !deck) return kRC_MissingData;
    BodyMaterialLookup found = FindBodyHostMaterial(bodyAttributes);
    if (!found.materialRep) return kRC_MissingData;
    if (!found.material) {
        deck->WriteRaw(found.Explain());
        return kRC_MaterialData;
    }
    return WriteHostMaterial(materialNumber, found.material.Get(), *deck);
}

int CMaterialSectionWriter::WriteHostMaterial(int materialNumber, IHostMaterial* material,
                                              DorvixDeckFile& deck) {
    if (materialNumber == 0 || !material) return kRC_MissingData;
    const std::string name = platform::WideToUtf8(material->GetName());
    std::string header = ".MAT I " + std::to_string(materialNumber);
    if (!name.empty()) header += " NOM \"" + name + "\"";
    deck.WriteLine(header);

    MaterialFunctionList functions;
    const int code = bodies_.GetAnalysisKind() == kAnalysisThermal
                         ? WriteThermalRecord(material, functions, deck)
                         : WriteStructuralRecord(material, functions, deck);
    if (code) return code;
    if (const int densityCode = WriteDensity(material, functions, deck)) return densityCode;
    return WriteFunctions(functions, "! Functions for Materials Properties", deck);
}

int CMaterialSectionWriter::WriteThermalRecord(IHostMaterial* material, MaterialFunctionList& functions,
                                               DorvixDeckFile& deck) {
    deck.WriteLine("    BEHA \"Thermal\" ");
    ComPtr<IHostMaterialProperty> conductivity = material->GetProperty(L"Thermal Conductivity");
    if (!conductivity) return kRC_MaterialData;
    const std::wstring behavior = conductivity->GetBehavior();
    if (behavior.empty()) return kRC_MaterialData;
    ComPtr<IHostMaterialData> data = conductivity->GetData(L"Thermal Conductivity", behavior);
    if (!data) return kRC_MaterialData;
    Columns table;
    if (behavior == L"Orthotropic") {
        if (!ReadColumns(data.Get(),
                         {L"Thermal Conductivity X direction", L"Thermal Conductivity Y direction",
                          L"Thermal Conductivity Z direction"},
                         table))
            return kRC_MaterialData;
        WriteTripleOrFunctions("    COND", table, 0, " TEMP", functions, deck);
    } else {
        if (!ReadColumns(data.Get(), {L"Thermal Conductivity"}, table)) return kRC_MaterialData;
        WriteConstantOrFunction("    COND", table.Function(0), " TEMP", functions, deck);
    }

    if (ComPtr<IHostMaterialProperty> specificHeat = material->GetProperty(L"Specific Heat")) {
        ComPtr<IHostMaterialData> heatData = PropertyData(specificHeat.Get(), L"Specific Heat");
        if (!heatData || !ReadColumns(heatData.Get(), {L"Specific Heat"}, table)) return kRC_MaterialData;
        WriteConstantOrFunction("    CAPA", table.Function(0), " TEMP", functions, deck);
    }
    return kRC_Success;
}

int CMaterialSectionWriter::WriteStructuralRecord(IHostMaterial* material, MaterialFunctionList& functions,
                                                  DorvixDeckFile& deck) {
    deck.WriteLine(BehaviourLine(material));
    if (const int code = WriteElasticity(material, functions, deck)) return code;
    if (const int code = WriteExpansion(material, functions, deck)) return code;
    WriteReferenceTemperature(material, "    TREF", deck);
    return WritePlasticity(material, functions, deck);
}

int CMaterialSectionWriter::WriteElasticity(IHostMaterial* material, MaterialFunctionList& functions,
                                            DorvixDeckFile& deck) {
    if (ComPtr<IHostMaterialProperty> orthotropic = material->GetProperty(L"Orthotropic Elasticity")) {
        ComPtr<IHostMaterialData> data = PropertyData(orthotropic.Get(), L"Orthotropic Elasticity");
        if (!data) return kRC_MaterialData;
        struct Group {
            const char* keyword;
            std::vector<std::wstring_view> columns;
        };
        const Group groups[] = {
            {"    YT",
             {L"Young's Modulus X direction", L"Young's Modulus Y direction",
              L"Young's Modulus Z direction"}},
            {"    G", {L"Shear Modulus XY", L"Shear Modulus YZ", L"Shear Modulus XZ"}},
            {"    NT", {L"Poisson's Ratio XY", L"Poisson's Ratio YZ", L"Poisson's Ratio XZ"}},
        };
        for (const Group& group : groups) {
            Columns table;
            if (!ReadColumns(data.Get(), group.columns, table)) return kRC_MaterialData;
            WriteTripleOrFunctions(group.keyword, table, 0, "", functions, deck);
        }
        return kRC_Success;
    }
    ComPtr<IHostMaterialProperty> isotropic = material->GetProperty(L"Isotropic Elasticity");
    if (!isotropic) {
        deck.WriteRaw("ERROR: Isotropic Elasticity property is missing.");
        return kRC_MaterialData;
    }
    ComPtr<IHostMaterialData> data = PropertyData(isotropic.Get(), L"Isotropic Elasticity");
    Columns table;
    if (!data || !ReadColumns(data.Get(), {L"Young's Modulus", L"Poisson's Ratio"}, table))
        return kRC_MaterialData;
    WriteConstantOrFunction("    YT", table.Function(0), "", functions, deck);
    WriteConstantOrFunction("    NT", table.Function(1), "", functions, deck);
    return kRC_Success;
}

int CMaterialSectionWriter::WriteExpansion(IHostMaterial* material, MaterialFunctionList& functions,
                                           DorvixDeckFile& deck) {
    ComPtr<IHostMaterialProperty> expansion = material->GetProperty(L"Coefficient of Thermal Expansion");
    if (!expansion) {
        deck.WriteRaw("ERROR: Coefficient of Thermal Expansion property is missing.");
        return kRC_MaterialData;
    }
    ComPtr<IHostMaterialData> data = PropertyData(expansion.Get(), L"Coefficient of Thermal Expansion");
    Columns table;
    if (!data || !ReadColumns(data.Get(), {L"Coefficient of Thermal Expansion"}, table))
        return kRC_MaterialData;
    WriteConstantOrFunction("    A", table.Function(0), "", functions, deck);
    return kRC_Success;
}

void CMaterialSectionWriter::WriteReferenceTemperature(IHostMaterial* material, std::string_view keyword,
                                                       DorvixDeckFile& deck) {
    ComPtr<IHostMaterialData> data = OwnData(material, L"Reference Temperature");
    std::vector<double> values;
    if (data && SUCCEEDED(ReadPropertyColumn(data.Get(), L"Reference Temperature", values)))
        deck.WriteFields(keyword, values[0]);
}

int CMaterialSectionWriter::WriteDensity(IHostMaterial* material, MaterialFunctionList& functions,
                                         DorvixDeckFile& deck) {
    ComPtr<IHostMaterialProperty> density = material->GetProperty(L"Density");
    if (!density) return kRC_Success;
    ComPtr<IHostMaterialData> data = PropertyData(density.Get(), L"Density");
    Columns table;
    if (!data || !ReadColumns(data.Get(), {L"Density"}, table)) return kRC_MaterialData;
    WriteConstantOrFunction("    M", table.Function(0), "", functions, deck);
    return kRC_Success;
}

bool CMaterialSectionWriter::ReadColumns(IHostMaterialData* data, const std::vector<std::wstring_view>& names,
                                         Columns& out) const {
    out.values.assign(names.size(), {});
    if (FAILED(ReadPropertyColumn(data, L"Temperature", out.temperatures))) return false;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (FAILED(ReadPropertyColumn(data, names[i], out.values[i]))) return false;
        if (out.values[i].size() != out.Count()) return false;
    }
    return true;
}

void CMaterialSectionWriter::WriteConstantOrFunction(std::string_view keyword, MaterialFunction function,
                                                     std::string_view suffix, MaterialFunctionList& functions,
                                                     DorvixDeckFile& deck) {
    if (function.columns[0].size() == 1) {
        deck.WriteFields(keyword, function.columns[1][0]);
        return;
    }
    if (function.id == 0) function.id = NextFunctionNumber();
    deck.WriteLine(std::string(keyword) + " 1. NF " + std::to_string(function.id) + std::string(suffix));
    functions.push_back(std::move(function));
}

void CMaterialSectionWriter::WriteTripleOrFunctions(std::string_view keyword, const Columns& table,
                                                    std::size_t firstColumn, std::string_view suffix,
                                                    MaterialFunctionList& functions, DorvixDeckFile& deck) {
    if (table.Count() == 1) {
        const double values[3] = {table.values[firstColumn][0], table.values[firstColumn + 1][0],
                                  table.values[firstColumn + 2][0]};
        deck.WriteFields(keyword, DeckDoubles{values, 3});
        return;
    }
    int ids[3];
    std::string line(keyword);
    line += " 1. 1. 1. NF";
    for (int k = 0; k < 3; ++k) {
        ids[k] = NextFunctionNumber();
        line += " " + std::to_string(ids[k]);
    }
    deck.WriteLine(line + std::string(suffix));
    for (int k = 0; k < 3; ++k)
        functions.push_back({ids[k], "", {table.temperatures, table.values[firstColumn + k]}});
}
