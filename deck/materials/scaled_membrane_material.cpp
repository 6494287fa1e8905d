// A scaled plane-stress material: its Hooke terms, constant or as functions, and scaled density, expansion.
#include <cmath>

#include "deck/deck_counters.h"
#include "deck/deck_file.h"
#include "deck/materials/body_material_lookup.h"
#include "deck/materials/material_columns.h"
#include "deck/return_codes.h"
#include "foundation/number_format.h"
#include "platform/text.h"

namespace {

constexpr int kHookeTerms = 21;

// Position of the upper-triangle term (row, column), 1-based, in column-by-column order.
constexpr int HookeIndex(int row, int column) { return column * (column - 1) / 2 + row - 1; }

struct PlaneStressRow {
    double h;    // (1,1) and (2,2)
    double h12;  // (1,2)
    double g;    // (4,4), (5,5) and (6,6)
};

PlaneStressRow PlaneStress(double scale, double young, double poisson) {
    const double h = scale * young / (1.0 - poisson * poisson);
    return {h, poisson * h, scale * young / (2.0 * (1.0 + poisson))};
}

bool IsFinite(const PlaneStressRow& row) {
    return std::isfinite(row.h) && std::isfinite(row.h12) && std::isfinite(row.g);
}

// Function names carry the material's name, or its number when it has none.
std::string FunctionName(const char* prefix, const std::string& material, int materialNumber) {
    return std::string(prefix) + (material.empty() ? "MAT" + std::to_string(materialNumber) : material);
}

void WriteConstantHooke(const PlaneStressRow& row, DorvixDeckFile& deck) {
    double terms[kHookeTerms] = {};
    terms[HookeIndex(1, 1)] = row.h;
    terms[HookeIndex(1, 2)] = row.h12;
    terms[HookeIndex(2, 2)] = row.h;
    terms[HookeIndex(4, 4)] = row.g;
    terms[HookeIndex(5, 5)] = row.g;
    terms[HookeIndex(6, 6)] = row.g;
    deck.WriteFields("     YT", DeckDoubles{terms, kHookeTerms});
}

void WriteHookeFunctionLines(int zero, int h, int h12, int g, DorvixDeckFile& deck) {
    int ids[kHookeTerms];
    for (int& id : ids) id = zero;
    ids[HookeIndex(1, 1)] = h;
    ids[HookeIndex(1, 2)] = h12;
    ids[HookeIndex(2, 2)] = h;
    ids[HookeIndex(4, 4)] = g;
    ids[HookeIndex(5, 5)] = g;
    ids[HookeIndex(6, 6)] = g;
    deck.WriteLine("     YT $");
    for (int i = 0; i < 3; ++i) deck.WriteLine("     1. 1. 1. 1. 1. 1. 1. $ ");
    deck.WriteLine("     NF $ ");
    for (int line = 0; line < 3; ++line) {
        std::string text = "    ";
        for (int k = 0; k < 7; ++k) text += " " + std::to_string(ids[line * 7 + k]);
        deck.WriteLine(line < 2 ? text + " $" : text);
    }
}

}  // namespace

int CMaterialSectionWriter::WriteScaledMembraneMaterial(int materialNumber, double factor, int bodyId,
                                                        DorvixDeckFile& deck, bool stiffnessUnscaled) {
    NCAERep::CCAERepBase* attributes = bodies_.GetBodyAttributes(bodyId);
    if (!attributes) return kRC_MissingData;
    BodyMaterialLookup found = FindBodyHostMaterial(attributes);
    if (!found.materialRep) return kRC_MissingData;
    if (!found.material) {
        deck.WriteRaw(found.Explain());
        return kRC_MaterialData;
    }
    return WriteScaledMembraneHostMaterial(materialNumber, factor, found.material.Get(), deck,
                                           stiffnessUnscaled);
}

int CMaterialSectionWriter::WriteScaledMembraneHostMaterial(int materialNumber, double factor,
                                                            IHostMaterial* material, DorvixDeckFile& deck,
                                                            bool stiffnessUnscaled) {
    if (!material) return kRC_MaterialData;
    const std::string name = platform::WideToUtf8(material->GetName());
    deck.WriteLine(name.empty() ? ".MAT I " + std::to_string(materialNumber)
                                : ".MAT I " + std::to_string(materialNumber) + " NOM \"" + name + "_" +
                                      FormatGeneral15(factor) + "\"");
    deck.WriteLine("     BEHA \"Elastic\"");

    ComPtr<IHostMaterialData> elasticity = OwnData(material, L"Isotropic Elasticity");
    Columns elastic;
    if (!elasticity || !ReadColumns(elasticity.Get(), {L"Young's Modulus", L"Poisson's Ratio"}, elastic))
        return kRC_MaterialData;
    const double scale = stiffnessUnscaled ? 1.0 : factor;
    std::vector<double> h, h12, g;
    for (std::size_t i = 0; i < elastic.Count(); ++i) {
        const PlaneStressRow row = PlaneStress(scale, elastic.values[0][i], elastic.values[1][i]);
        // A Poisson's ratio of 1 or -1 leaves the plane-stress matrix without a finite term; the
        // solver must not get an infinite stiffness as if it were data.
        if (!IsFinite(row)) {
            deck.WriteRaw("ERROR: Poisson's ratio " + FormatGeneral15(elastic.values[1][i]) +
                          " of material \"" + FunctionName("", name, materialNumber) +
                          "\" gives no finite plane-stress stiffness.");
            return kRC_MaterialData;
        }
        h.push_back(row.h);
        h12.push_back(row.h12);
        g.push_back(row.g);
    }
    MaterialFunctionList functions;
    if (elastic.Count() == 1) {
        WriteConstantHooke({h[0], h12[0], g[0]}, deck);
    } else {
        const int zero = GetZeroFunctionId();
        const int hId = NextFunctionNumber();
        const int h12Id = NextFunctionNumber();
        const int gId = NextFunctionNumber();
        WriteHookeFunctionLines(zero, hId, h12Id, gId, deck);
        functions.push_back({zero, std::string(kZeroFunctionName), {}});
        functions.push_back({hId, FunctionName("Fct_H11_", name, materialNumber), {elastic.temperatures, h}});
        functions.push_back(
            {h12Id, FunctionName("Fct_H12_", name, materialNumber), {elastic.temperatures, h12}});
        functions.push_back({gId, FunctionName("Fct_H44_", name, materialNumber), {elastic.temperatures, g}});
    }

    ComPtr<IHostMaterialData> densityData = OwnData(material, L"Density");
    Columns density;
    if (!densityData || !ReadColumns(densityData.Get(), {L"Density"}, density)) return kRC_MaterialData;
    for (double& m : density.values[0]) m *= factor;
    WriteConstantOrFunction("     M", density.Function(0, FunctionName("Fct_M_", name, materialNumber)), "",
                            functions, deck);

    ComPtr<IHostMaterialData> expansionData = OwnData(material, L"Coefficient of Thermal Expansion");
    Columns expansion;
    if (!expansionData || !ReadColumns(expansionData.Get(), {L"Coefficient of Thermal Expansion"}, expansion))
        return kRC_MaterialData;
    if (expansion.Count() == 1) {
        const double a = expansion.values[0][0];
        const double values[3] = {a, a, a};
        deck.WriteFields("     A", DeckDoubles{values, 3});
    } else {
        const int id = NextFunctionNumber();
        const std::string idText = std::to_string(id);
        deck.WriteLine("     A 1. 1. 1. NF " + idText + " " + idText + " " + idText);
        functions.push_back({id,
                             FunctionName("Fct_A_", name, materialNumber),
                             {expansion.temperatures, expansion.values[0]}});
    }

    WriteReferenceTemperature(material, "     TREF", deck);
    return WriteFunctions(functions, "! Functions for Anisotropic Materials Properties", deck);
}
