// Abstract base of the analysis feeders. One feeder lives for one solve request: it holds
// the input and output representations, the host's data source and return package, the deck
// file, the wrappers, the settings rebuilt from the model and the per-node constraint table,
// and it writes the deck sections every analysis shares. Every per-solve object is owned by
// a member that frees it, so an exception or an early return leaves nothing behind.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "caerep/core/cae_database.h"
#include "deck/deck_file.h"
#include "deck/deck_file_owner.h"
#include "deck/late_owned.h"
#include "deck/node_constraint_table_holder.h"
#include "deck/object_type_table.h"
#include "deck/return_codes.h"
#include "host/mesh.h"
#include "platform/com.h"
#include "platform/locale.h"
#include "settings/solution_settings.h"

namespace NCAERep {
class CCAERep;
}
class TRVDataSourceItf;
class ReturnPackage;
class CMeshWrapper;
class CBodyAttributeWrapper;
class NodeConstraintTable;

// Status bits handed to the return package at close.
inline constexpr std::uint32_t kStatusSolutionIncomplete = 0x800;
inline constexpr std::uint32_t kStatusLastSetSpecial = 0x10000;

class DorvixFeeder : public DeckFileOwner {
public:
    DorvixFeeder(const DorvixFeeder&) = delete;
    DorvixFeeder& operator=(const DorvixFeeder&) = delete;
    ~DorvixFeeder() override;

    // Writes the deck and runs the solver: stores the two arguments and runs the analysis's
    // sequence of steps. 0 or the first code of a failed step.
    virtual int Feed(TRVDataSourceItf* dataSource, ReturnPackage* returnPackage) = 0;
    bool IsBucklingAnalysis() override { return AnswerNo(); }
    bool IsPrestressedStatic() override { return AnswerNo(); }
    virtual bool HasPrestress() { return AnswerNo(); }
    // Fills the per-node constraint table from the model's supports and checks it: 0 or 40.
    virtual int CheckBoundaryConditions() = 0;
    // Writes the contact section: 0 or a code.
    virtual int WriteContacts() = 0;

    int GetNumberOfSteps() const override { return numberOfSteps_; }
    bool IsTransientAnalysis() const;
    bool IsPrestressedModalIntent() const override;
    bool UsesLargeDeformation() const;
    bool UseLoadCases() const;
    // 36 when the settings have no such step (out unchanged), else 0 and the step's end time.
    int GetStepEndTime(int step, double& endTime) const;

    // 1 with the option's text when the host defines the named option, else 0 (text empty).
    int GetNamedOption(const std::string& name, std::string& text) const;
    bool ReadNamedOption(const std::string& name, std::string& text) override {
        return GetNamedOption(name, text) == 1;
    }
    // Adds a message to the output representation; nothing without one.
    void PostHostMessage(const std::wstring& text, const std::wstring& type) override;

    int GetAnalysisKind() const override { return analysisKind_; }
    int GetNonLinearFlag() const override { return nonLinearFlag_; }
    std::uint32_t GetStatusBits() const { return statusBits_; }
    bool WasMessagePosted() const { return messagePosted_; }
    int GetDeckUnitSystem() const { return deckUnitSystem_; }
    int GetModelUnitSystem() const { return modelUnitSystem_; }
    DorvixDeckFile* GetDeckFile() const { return deckFile_.get(); }
    DorvixSolutionSettings* GetSettings() const { return settings_.get(); }
    const ObjectTypeTable* GetObjectTypeTable() const { return objectTypeTable_.get(); }
    NCAERep::CCAERep* GetInputRoot() const { return inputRoot_; }
    NCAERep::CCAERep* GetOutputRoot() const { return outputRoot_; }

protected:
    DorvixFeeder();

    // Frees the per-solve objects the close step ends: deck file, wrappers, constraint
    // holder, host model object and settings; saves the output representation when a
    // message was posted to it. Safe to call twice.
    void ReleaseSolveObjects();

    // Field order follows the class's model; each owner frees its object.
    std::wstring copyTargetPath_;
    NCAERep::CCAERep* inputRoot_ = nullptr;
    NCAERep::CCAERep* outputRoot_ = nullptr;
    NCAERep::CCAEDatabase inputDatabase_;
    NCAERep::CCAEDatabase outputDatabase_;
    ComPtr<IUnknown> hostModelObject_;
    std::wstring outputPath_;
    bool messagePosted_ = false;
    int analysisKind_ = 0;
    TRVDataSourceItf* dataSource_ = nullptr;
    std::unique_ptr<NodeConstraintTableHolder> nodeConstraintHolder_;
    ReturnPackage* returnPackage_ = nullptr;
    std::unique_ptr<DorvixDeckFile> deckFile_;
    LateOwned<CMeshWrapper> meshWrapper_;
    LateOwned<CBodyAttributeWrapper> bodyWrapper_;
    std::uint32_t statusBits_ = 0;
    int nonLinearFlag_ = 0;
    int partCount_ = 0;
    int groupCounterCarry_ = 0;
    int numberOfSteps_ = 1;
    int elementCount_ = 0;
    int nodeCount_ = 0;
    std::unique_ptr<ObjectTypeTable> objectTypeTable_;
    ComPtr<IHostMesh> hostMesh_;
    std::unique_ptr<DorvixSolutionSettings> settings_;
    LCID savedLocale_ = 0;
    int deckUnitSystem_ = -1;
    int modelUnitSystem_ = -1;
    std::set<int> firstIdSet_;
    // End time of the load step being written; the step writers set it before the load writers.
    double currentStepEndTime_ = 0.0;
    LateOwned<NodeConstraintTable> nodeConstraintTable_;
    std::set<int> sheetAndWireBodyIds_;

private:
    // The shared answer of the three analysis queries in this class.
    bool AnswerNo() const { return false; }
    bool outputSaved_ = false;
};
