// The host's table of bodies for one deck run, with what the deck adds on top of it: a deck
// name and a material number per body and a deck frame number per coordinate system.
// The wrapper also owns the deck's one material-section writer, which reaches the bodies
// through MaterialBodyTable; the material operations below forward to it, so the deck has a
// single zero function however many writers ask for it.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "deck/materials/material_body_table.h"
#include "deck/materials/material_section_writer.h"
#include "foundation/geometry.h"
#include "host/model_records.h"
#include "platform/com.h"

class CBodyAttributeWrapper : public MaterialBodyTable {
  public:
    // The kind GetBodyKind answers for a rigid body in place of its HostBodyKind.
    static constexpr int kRigid = 5;

    CBodyAttributeWrapper() = default;
    ~CBodyAttributeWrapper() override = default;
    CBodyAttributeWrapper(const CBodyAttributeWrapper&) = delete;
    CBodyAttributeWrapper& operator=(const CBodyAttributeWrapper&) = delete;

    // --- set-up, in the order the feeder calls them ---
    // The records stay the host's; they must outlive the wrapper's use.
    void SetBodies(const std::vector<BodyRecord>* records) { records_ = records; }
    void SetUnitSystem(int unitSystem) { unitSystem_ = unitSystem; }
    void SetAnalysisKind(int kind) { analysisKind_ = kind; }
    void SetTwoDimensional(bool on) { twoDimensional_ = on; }
    void SetTransient(bool on) { transient_ = on; }
    // Deck names and material numbers from the model; kRC_Success, or kRC_MissingData at the
    // first body without a "BodyAttributes" object (or one that cannot be found) or a material.
    [[nodiscard]] int FillNamesAndMaterials(NCAERep::CCAERepBase* root);
    void SetCoordinateSystems(const std::vector<CoordinateSystemData>& systems) { frames_ = systems; }
    void SetModelValue(double value) { modelValue_ = value; }

    // --- by record index; a bad index gives the fallback named ---
    int GetBodyCount() const override { return records_ ? static_cast<int>(records_->size()) : 0; }
    [[nodiscard]] HRESULT GetBodyRecord(int index, const BodyRecord** out) const;  // null, E_FAIL
    const BodyRecord* GetBodyRecord(int index) const;                              // null
    int GetBodyKind(int index) const;                                              // 0; kRigid
    int GetBodyMeshId(int index) const;                                            // 0
    int GetBodyId(int index) const override;                                       // 0
    int GetBodyPartId(int index) const;                                            // 0 (the part mesh id)
    int GetBodyPartIndex(int index) const;                                         // 0
    int GetPlanarBehaviour(int index) const;                                       // 4
    [[nodiscard]] HRESULT GetBodyThickness(int index, double* value) const;        // 0.0, E_FAIL
    [[nodiscard]] HRESULT GetShellOffset(int index, double* value) const;          // E_FAIL
    int GetBodyMaterialNumber(int index) const override;                           // 0
    // Deck frame number of the body's coordinate system; 0 when it has none or it is unknown.
    int GetBodyFrameNumber(int index) const;
    // The density of the body's material in the deck's unit system (its value at the first
    // temperature point when it depends on temperature). E_FAIL when the body, its material or
    // the property is missing, or the density is not a positive number (callers divide by it).
    [[nodiscard]] HRESULT GetBodyDensity(int index, double* value) const;

    // --- by id ---
    int FindBodyIndex(int bodyId) const;  // -1 when none
    int FindBodyIndexByMaterial(int materialObjectId) const;
    int GetBodyKindById(int bodyId) const;
    [[nodiscard]] HRESULT GetBodyName(int bodyId, std::string& name) const;
    const std::string& GetBodyNameAt(int index) const;

    // --- model-wide ---
    std::vector<int> GetPartBodies(int partIndex) const;
    bool IsAxisymmetricModel() const;
    bool HasRotationalDofs() const;
    bool IsTwoDimensional() const { return twoDimensional_; }
    // The function number of the deck's zero function, drawn from the deck's function counter
    // on the first call; the material writer's own number, so the deck has one.
    int GetZeroFunctionId() { return materials_.GetZeroFunctionId(); }
    const CoordinateSystemData* FindCoordinateSystem(int id) const;
    const std::vector<CoordinateSystemData>& GetCoordinateSystems() const { return frames_; }
    // Appends a copy numbered with the smallest free deck frame number of 12 or more; answers it.
    int AddCoordinateSystem(const CoordinateSystemData& system);
    double GetModelValue() const { return modelValue_; }

    // --- MaterialBodyTable ---
    NCAERep::CCAERepBase* GetBodyAttributes(int bodyId) const override;
    int GetAnalysisKind() const override { return analysisKind_; }
    int GetUnitSystem() const override { return unitSystem_; }
    bool IsTransient() const override { return transient_; }
    NCAERep::CCAERepBase* GetModelRoot() const { return root_; }

    // --- the material section (see CMaterialSectionWriter for codes and results) ---
    [[nodiscard]] int WriteMaterials(DorvixDeckFile& deck) { return materials_.WriteMaterials(deck); }
    [[nodiscard]] int WriteMaterial(int materialNumber, NCAERep::CCAERepBase* bodyAttributes,
                                    DorvixDeckFile* deck) {
        return materials_.WriteMaterial(materialNumber, bodyAttributes, deck);
    }
    [[nodiscard]] int WriteScaledMembraneMaterial(int materialNumber, double factor, int bodyId,
                                                  DorvixDeckFile& deck, bool stiffnessUnscaled) {
        return materials_.WriteScaledMembraneMaterial(materialNumber, factor, bodyId, deck,
                                                      stiffnessUnscaled);
    }
    bool HasNonlinearMaterial() const { return materials_.HasNonlinearMaterial(); }
    bool IsBodyMaterialPlastic(int bodyId) const { return materials_.IsBodyMaterialPlastic(bodyId); }
    MaterialFunction MakeMaterialFunction(IHostMaterialData* data, std::wstring_view valueColumn,
                                          std::string name) const {
        return materials_.MakeMaterialFunction(data, valueColumn, std::move(name));
    }
    [[nodiscard]] HRESULT WriteMaterialFunction(const MaterialFunction& function, DorvixDeckFile& deck) {
        return materials_.WriteMaterialFunction(function, deck);
    }
    [[nodiscard]] HRESULT ReadPropertyColumn(IHostMaterialData* data, std::wstring_view columnName,
                                             std::vector<double>& values) const {
        return materials_.ReadPropertyColumn(data, columnName, values);
    }
    // The writer itself, for the operations not repeated here (host materials, the laws).
    CMaterialSectionWriter& MaterialWriter() { return materials_; }

  private:
    struct BodyName {
        std::string deckName;
        int materialNumber = 0;
    };

    int analysisKind_ = 1;
    int unitSystem_ = -1;
    bool twoDimensional_ = false;
    bool transient_ = false;
    const std::vector<BodyRecord>* records_ = nullptr;
    std::vector<CoordinateSystemData> frames_;
    double modelValue_ = 0.0;
    NCAERep::CCAERepBase* root_ = nullptr;
    std::vector<BodyName> names_;
    // Reads the bodies through this wrapper; it keeps the deck's zero-function number.
    CMaterialSectionWriter materials_{*this};
};
