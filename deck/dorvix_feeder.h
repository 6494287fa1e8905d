// Abstract base of the analysis feeders. One feeder lives for one solve request: it holds
// the input and output representations, the host's data source and return package, the deck
// file, the wrappers, the settings rebuilt from the model and the per-node constraint table,
// and it writes the deck sections every analysis shares. Every per-solve object is owned by
// a member that frees it, so an exception or an early return leaves nothing behind.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "caerep/core/cae_database.h"
#include "deck/deck_file.h"
#include "deck/deck_file_owner.h"
#include "deck/late_owned.h"
#include "deck/node_constraint_table_holder.h"
#include "deck/object_type_table.h"
#include "deck/return_codes.h"
#include "host/mesh.h"
#include "host/model_records.h"
#include "host/selection_resolver.h"
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

    // --- deck open (feeder_open.cpp) ---
    // Sets the thread locale, loads the saved constraint table, takes the object-type table,
    // the mesh and the settings of the loaded model, creates the deck file (the deck
    // counters start again), opens "dorvix.dat" and sets the wrappers up from the data
    // source. 0, 1 cancelled, 3 deck not created, 25 missing host data, 36 settings, or the
    // code of a set-up step.
    int Open();
    // Hands the wrapper the bodies, their names, materials and frames: 0, 25 or its code.
    int InitBodyAttributes();
    // Hands the mesh wrapper the host mesh and the unit systems: 0, 25, or 41 when the
    // host mesh is refused.
    int InitMesh();
    // Non-linear when a material is or the settings ask for large deformation. Always 0.
    int UpdateNonlinearFlag();
    // Element groups of one part; the group numbers run on from the part before.
    int SendPartMesh(int part);
    // When the deck was opened.
    std::chrono::system_clock::time_point GetDeckWriteStart() const { return deckWriteStart_; }
    int GetGroupCounterCarry() const { return groupCounterCarry_; }

    // --- model load and readers (feeder_model_load.cpp) ---
    // Loads the input representation, creates the selection resolver and hands it the model,
    // imports the external loads and prepares the output representation (which is never read:
    // the file at outputPath is replaced at close only when a message was posted). 0, 1 when
    // the user cancelled, 44 when the model cannot be loaded or lacks its solver object.
    // Exceptions of the representation (a solver units property of another type) leave it.
    int LoadCAERepresentation(const std::wstring& inputPath, const std::wstring& outputPath);
    // The same for the host's two strings; a null string reads as empty.
    int LoadCAERepresentation(BSTR inputPath, BSTR outputPath);
    // Builds the settings object for the model's analysis and reads its XML: 0, or 36 without
    // a solver object, for an analysis the add-in does not solve, or (with an error message)
    // when the solver object has no settings element. An empty settings element keeps the
    // defaults. What the settings XML holds that cannot be read does not stop the solve: the
    // reason is posted as a warning and kept.
    int ReadSolverRep();
    // Why the last ReadSolverRep could not read the settings XML in full; empty when it could.
    const std::wstring& GetSettingsReadProblem() const { return settingsReadProblem_; }
    // Takes the host mesh of the model's first mesh object: 0, or 25 when there is none.
    int GetMeshRep();
    // The value of the first analysis parameter whose name contains `name` (both compared in
    // lower case): 0, or 36 when the model has no such parameter.
    int ReadAnalysisParameters(const std::wstring& name, double& value) const;
    ISelectionResolver* GetSelectionResolver() const { return selectionResolver_.Get(); }
    IHostMesh* GetHostMesh() const { return hostMesh_.Get(); }

    // --- command snippets (feeder_snippets.cpp) ---
    // Each writes nothing without a data source or an open deck.
    void WriteCommandSnippet(const CommandSnippet& snippet);
    // Every snippet with the key, in the host's order.
    void WriteObjectSnippets(int key);
    void WriteObjectSnippetsForKey(int key, int objectId);
    // The snippets of the key that belong to the step or to every step.
    void WriteStepSnippets(int key, int step);
    // True when a snippet of the key and object holds a line that is not a comment.
    bool SnippetHasCommands(int key, int objectId) const;
    // Writes the text of the named option "begin_commands" as one deck line. Always 0.
    int WriteBeginCommands();

    // --- time definitions (feeder_time_definitions.cpp) ---
    // The time definitions of a linear multi-step static run, or the initial-computation block
    // of a non-linear or transient one. 0, or 36 when the settings lack the solver controls or
    // a step's end time.
    int WriteTimeDefinitions();

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
    TRVDataSourceItf* GetDataSource() const { return dataSource_; }
    ReturnPackage* GetReturnPackage() const { return returnPackage_; }
    CMeshWrapper* GetMeshWrapper() const { return meshWrapper_.Get(); }
    CBodyAttributeWrapper* GetBodyWrapper() const { return bodyWrapper_.Get(); }
    NodeConstraintTable* GetNodeConstraintTable() const { return nodeConstraintTable_.Get(); }
    // Non-empty when the host asked only for the deck, copied to this path.
    const std::wstring& GetCopyTargetPath() const { return copyTargetPath_; }
    int GetPartCount() const { return partCount_; }
    int GetElementCount() const { return elementCount_; }
    int GetNodeCount() const { return nodeCount_; }
    double GetCurrentStepEndTime() const { return currentStepEndTime_; }
    void SetCurrentStepEndTime(double endTime) { currentStepEndTime_ = endTime; }
    // Nodes tied by cyclic symmetry, which the support and displacement writers leave out.
    std::set<int>& CyclicSymmetryNodes() { return cyclicSymmetryNodes_; }
    // Ids of the sheet and wire bodies of the model.
    std::set<int>& SheetAndWireBodyIds() { return sheetAndWireBodyIds_; }

  protected:
    DorvixFeeder();

    // Frees the per-solve objects the close step ends: deck file, wrappers, constraint
    // holder, selection resolver and settings; saves the output representation when a
    // message was posted to it. Safe to call twice.
    void ReleaseSolveObjects();

    // Field order follows the class's model; each owner frees its object.
    std::wstring copyTargetPath_;
    NCAERep::CCAERep* inputRoot_ = nullptr;
    NCAERep::CCAERep* outputRoot_ = nullptr;
    NCAERep::CCAEDatabase inputDatabase_;
    NCAERep::CCAEDatabase outputDatabase_;
    // The host's resolver of scoping texts, created when the model is loaded.
    ComPtr<ISelectionResolver> selectionResolver_;
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
    std::wstring settingsReadProblem_;
    LCID savedLocale_ = 0;
    int deckUnitSystem_ = -1;
    int modelUnitSystem_ = -1;
    std::set<int> cyclicSymmetryNodes_;
    // End time of the load step being written; the step writers set it before the load writers.
    double currentStepEndTime_ = 0.0;
    LateOwned<NodeConstraintTable> nodeConstraintTable_;
    std::set<int> sheetAndWireBodyIds_;
    std::chrono::system_clock::time_point deckWriteStart_{};

  private:
    // The shared answer of the three analysis queries in this class.
    bool AnswerNo() const { return false; }
    // Writes one line when a deck is open.
    void WriteDeckLine(std::string_view text);
    bool outputSaved_ = false;
};
