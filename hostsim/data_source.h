// The file-backed solve context: answers every operation of the host's data source from a
// loaded case.
#pragma once

#include <memory>

#include "host/data_source.h"
#include "hostsim/host_case.h"
#include "hostsim/object_model.h"

class HostSimDataSource : public TRVDataSourceItf {
  public:
    HostSimDataSource(std::shared_ptr<const HostSimCase> hostCase,
                      std::shared_ptr<HostSimObjectModel> objects)
        : case_(std::move(hostCase)), objects_(std::move(objects)) {}

    // Tests and the command line choose the callback; the case cannot name one.
    void SetProgressCallback(IProgressCallback* callback) { callback_ = callback; }
    const HostSimCase& Case() const { return *case_; }

    int GetAnalysisKind() const override { return case_->analysisKind; }
    IProgressCallback* GetProgressCallback() const override { return callback_; }
    bool Is2DAnalysis() const override { return case_->is2D; }
    int GetPartCount() const override { return case_->partCount; }
    int GetResultSetCount() const override { return case_->resultSetCount; }
    int GetDeckUnitSystem() const override { return case_->deckUnitSystem; }
    int GetModelUnitSystem() const override { return case_->modelUnitSystem; }
    int GetModelValue() const override { return case_->modelValue; }

    const ReferenceTemperatureRecord* GetReferenceTemperature() const override;
    const HostObjectTable* GetObjectTypeTable() const override;
    const ContactList* GetContactPairs() const override;
    const SolveJobRecord* GetSolveJob() const override;
    [[nodiscard]] HRESULT GetHostObject(int code, IUnknown** out) const override;

    const std::vector<SymmetryRegionRecord>& GetSymmetryRegions() const override {
        return case_->symmetryRegions;
    }
    const std::vector<ScopingRecord>& GetNamedSelections() const override { return case_->namedSelections; }
    const std::vector<BodyRecord>& GetBodies() const override { return case_->bodies; }
    const std::vector<SpringRecord>& GetSprings() const override { return case_->springs; }
    const std::vector<CoordinateSystemData>& GetCoordinateSystems() const override {
        return case_->coordinateSystems;
    }
    const std::vector<CoordinateSystemData>& GetMeshCoordinateSystems() const override {
        return case_->meshCoordinateSystems;
    }
    const std::vector<CommandSnippet>& GetCommandSnippets() const override { return case_->snippets; }

    [[nodiscard]] int GetNamedOption(const std::string& name, std::string& text) const override;
    [[nodiscard]] HRESULT GetNodeConstraintStream(IStream** out) const override;

  private:
    std::shared_ptr<const HostSimCase> case_;
    std::shared_ptr<HostSimObjectModel> objects_;
    IProgressCallback* callback_ = nullptr;
};
