// The "! Materials" section of the deck: one `.MAT` record per distinct material number of the
// bodies, with its behaviour, elastic, thermal, plastic and density data, followed by the
// `.FCT` tables of its temperature-dependent values; and the scaled plane-stress materials
// that element groups ask for. Values come from the host material already converted into the
// deck's unit system.
//
// One writer serves one deck: it keeps the deck-wide zero function, which is written at most
// once wherever it is first needed. Function numbers are drawn from the deck's function
// counter at the moment each table is built, which is the order in which the lines that name
// them are written; the tables then follow their material in that same order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "deck/materials/material_body_table.h"
#include "deck/materials/material_function.h"
#include "host/material.h"

class DorvixDeckFile;

// The parameters of the Chaboche kinematic law with creep, in the order they are written.
enum class ChabocheParameter { kN, kBigK, kLittleK, kB, kQ, kCa1, kC1 };

class CMaterialSectionWriter {
  public:
    explicit CMaterialSectionWriter(const MaterialBodyTable& bodies) : bodies_(bodies) {}
    CMaterialSectionWriter(const CMaterialSectionWriter&) = delete;
    CMaterialSectionWriter& operator=(const CMaterialSectionWriter&) = delete;

    // kRC_Success, the first failing material's code, or kRC_ModelLoadFailed for a body without
    // attribute object.
    [[nodiscard]] int WriteMaterials(DorvixDeckFile& deck);
    // kRC_Success, kRC_MaterialData (data missing or inconsistent) or kRC_MissingData (bad
    // arguments, no "MaterialRep", a table that cannot be written).
    [[nodiscard]] int WriteMaterial(int materialNumber, NCAERep::CCAERepBase* bodyAttributes,
                                    DorvixDeckFile* deck);
    // The record of one host material (what WriteMaterial writes once it has found it).
    [[nodiscard]] int WriteHostMaterial(int materialNumber, IHostMaterial* material, DorvixDeckFile& deck);

    // The scaled plane-stress record of an element group, with the codes of WriteMaterial.
    [[nodiscard]] int WriteScaledMembraneMaterial(int materialNumber, double factor, int bodyId,
                                                  DorvixDeckFile& deck, bool stiffnessUnscaled);
    [[nodiscard]] int WriteScaledMembraneHostMaterial(int materialNumber, double factor,
                                                      IHostMaterial* material, DorvixDeckFile& deck,
                                                      bool stiffnessUnscaled);

    // Whether some body's material makes the analysis need the non-linear module.
    bool HasNonlinearMaterial() const;
    // Whether the body, in a structural analysis with non-linear effects on, has a plastic material.
    bool IsBodyMaterialPlastic(int bodyId) const;

    // S_OK and the column's values in the deck's unit system, or E_FAIL and no values (no
    // column, a value missing, or nothing in it). A lone undefined value empties any column but
    // "Temperature".
    [[nodiscard]] HRESULT ReadPropertyColumn(IHostMaterialData* data, std::wstring_view columnName,
                                             std::vector<double>& values) const;
    // The table (temperatures, values) of a datum under the next function number. The reads
    // are not judged here: callers compare the lengths.
    MaterialFunction MakeMaterialFunction(IHostMaterialData* data, std::wstring_view valueColumn,
                                          std::string name) const;
    // S_OK, or E_FAIL for a table that cannot be written (column count or lengths).
    [[nodiscard]] HRESULT WriteMaterialFunction(const MaterialFunction& function, DorvixDeckFile& deck);
    // The deck's zero-function number, drawn from the function counter when first asked.
    int GetZeroFunctionId();

    // The plasticity laws of a structural record. The hardening writers answer S_OK or E_FAIL
    // (nothing written for missing or unequal data).
    [[nodiscard]] HRESULT WriteBilinearHardening(IHostMaterial* material, bool kinematic,
                                                 MaterialFunctionList& functions, DorvixDeckFile& deck);
    [[nodiscard]] HRESULT WriteMultilinearHardening(IHostMaterial* material, bool kinematic,
                                                    MaterialFunctionList& functions, DorvixDeckFile& deck);
    void WriteChabocheOrCreepParameter(IHostMaterialProperty* chaboche, ChabocheParameter parameter,
                                       MaterialFunctionList& functions, DorvixDeckFile& deck);
    // kRC_Success, or kRC_MaterialData when the series is empty or a coefficient has no values;
    // `length` gets the number of coefficients (0 on failure).
    [[nodiscard]] int WritePlakinCoefficientSeries(IHostMaterialProperty* plakin, char letter, int& length,
                                                   MaterialFunctionList& functions, DorvixDeckFile& deck);

  private:
    struct Columns;

    [[nodiscard]] int WriteThermalRecord(IHostMaterial* material, MaterialFunctionList& functions,
                                         DorvixDeckFile& deck);
    [[nodiscard]] int WriteStructuralRecord(IHostMaterial* material, MaterialFunctionList& functions,
                                            DorvixDeckFile& deck);
    [[nodiscard]] int WriteElasticity(IHostMaterial* material, MaterialFunctionList& functions,
                                      DorvixDeckFile& deck);
    [[nodiscard]] int WriteExpansion(IHostMaterial* material, MaterialFunctionList& functions,
                                     DorvixDeckFile& deck);
    [[nodiscard]] int WritePlasticity(IHostMaterial* material, MaterialFunctionList& functions,
                                      DorvixDeckFile& deck);
    [[nodiscard]] int WritePlakinLaw(IHostMaterial* material, MaterialFunctionList& functions,
                                     DorvixDeckFile& deck);
    [[nodiscard]] int WriteDensity(IHostMaterial* material, MaterialFunctionList& functions,
                                   DorvixDeckFile& deck);
    void WriteReferenceTemperature(IHostMaterial* material, std::string_view keyword, DorvixDeckFile& deck);
    [[nodiscard]] int WriteFunctions(const MaterialFunctionList& functions, std::string_view banner,
                                     DorvixDeckFile& deck);

    // Reads "Temperature" and the named columns of a datum, all of the same length; false
    // when a read fails or the lengths differ.
    bool ReadColumns(IHostMaterialData* data, const std::vector<std::wstring_view>& names,
                     Columns& out) const;
    // "keyword value" when the table has one temperature; else "keyword 1. NF n<suffix>" and the
    // table queued under n, numbered here unless it already has its number (id 0 has none).
    void WriteConstantOrFunction(std::string_view keyword, MaterialFunction function, std::string_view suffix,
                                 MaterialFunctionList& functions, DorvixDeckFile& deck);
    // The same for three columns written on one line.
    void WriteTripleOrFunctions(std::string_view keyword, const Columns& table, std::size_t firstColumn,
                                std::string_view suffix, MaterialFunctionList& functions,
                                DorvixDeckFile& deck);
    std::wstring UnitSystemName() const;

    const MaterialBodyTable& bodies_;
    bool zeroFunctionWritten_ = false;
    int zeroFunctionId_ = 0;
};
