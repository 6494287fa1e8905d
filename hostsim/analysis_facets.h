// The interfaces of host/analysis_host.h that an object of the file-backed host answers from the
// members of its host.json entry: per-step objects that add and remove steps, children that take
// a step count, time tables, the time display, contact and cyclic regions, loads and the finder
// of loads by kind, environments, bodies and materials.
//
// Each interface is one facet, a base of the host object (hostsim/object_model.cpp), which
// answers the facets' IUnknown operations and asks FindAnalysisFacet which of them its entry
// offers. Changes go into the object model and are recorded in its call log.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/analysis_host.h"
#include "hostsim/host_case.h"

class HostSimObjectModel;

// The object of the model that a facet answers for.
struct HostSimObjectRef {
    std::shared_ptr<HostSimObjectModel> model;
    int id = 0;

    // A copy of the entry; false when the model has none.
    bool Entry(HostSimObject& out) const;
    void Record(std::string line) const;
};

namespace hostsim_facets {

// Types 423 and 431.
class StepCarrier : public IHostStepCarrier {
  public:
    explicit StepCarrier(HostSimObjectRef ref) : ref_(std::move(ref)) {}
    [[nodiscard]] HRESULT AddStep(std::uint32_t step) override;
    [[nodiscard]] HRESULT RemoveStep(std::uint32_t step) override;

  protected:
    ~StepCarrier() = default;

  private:
    HostSimObjectRef ref_;
};

// Type 546.
class StepRows : public IHostStepRows {
  public:
    explicit StepRows(HostSimObjectRef ref) : ref_(std::move(ref)) {}
    [[nodiscard]] HRESULT InsertStepRow(std::uint32_t step) override;
    [[nodiscard]] HRESULT DeleteStepRow(std::uint32_t step) override;

  protected:
    ~StepRows() = default;

  private:
    HostSimObjectRef ref_;
};

class StepCount : public IHostStepCount {
  public:
    explicit StepCount(HostSimObjectRef ref) : ref_(std::move(ref)) {}
    [[nodiscard]] HRESULT SetStepCount(std::uint32_t count) override;

  protected:
    ~StepCount() = default;

  private:
    HostSimObjectRef ref_;
};

class TimeTableOwner : public IHostTimeTableOwner {
  public:
    explicit TimeTableOwner(HostSimObjectRef ref) : ref_(std::move(ref)) {}
    [[nodiscard]] HRESULT GetValueObject(IUnknown** table) override;

  protected:
    ~TimeTableOwner() = default;

  private:
    HostSimObjectRef ref_;
};

class AnalysisTime : public IHostAnalysisTime {
  public:
    explicit AnalysisTime(HostSimObjectRef ref) : ref_(std::move(ref)) {}
    [[nodiscard]] HRESULT SetCurrentTime(double time) override;

  protected:
    ~AnalysisTime() = default;

  private:
    HostSimObjectRef ref_;
};

class ContactRegion : public IHostContactRegion {
  public:
    explicit ContactRegion(HostSimObjectRef ref) : ref_(std::move(ref)) {}
    [[nodiscard]] HRESULT GetKind(int& kind) override;
    [[nodiscard]] HRESULT IsSuppressed(bool& suppressed) override;

  protected:
    ~ContactRegion() = default;

  private:
    HostSimObjectRef ref_;
};

class CyclicRegion : public IHostCyclicRegion {
  public:
    explicit CyclicRegion(HostSimObjectRef ref) : ref_(std::move(ref)) {}
    [[nodiscard]] HRESULT IsSuppressed(bool& suppressed) override;
    [[nodiscard]] HRESULT GetKind(int& kind) override;

  protected:
    ~CyclicRegion() = default;

  private:
    HostSimObjectRef ref_;
};

class LoadObject : public IHostLoadObject {
  public:
    explicit LoadObject(HostSimObjectRef ref) : ref_(std::move(ref)) {}
    [[nodiscard]] HRESULT GetHostType(int& type) override;
    [[nodiscard]] HRESULT IsSuppressed(bool& suppressed) override;
    [[nodiscard]] HRESULT GetValueRowCount(int& rows) override;
    [[nodiscard]] HRESULT IsScopedToBody(bool& scoped) override;

  protected:
    ~LoadObject() = default;

  private:
    HostSimObjectRef ref_;
};

class LoadFinder : public IHostLoadFinder {
  public:
    explicit LoadFinder(HostSimObjectRef ref) : ref_(std::move(ref)) {}
    [[nodiscard]] HRESULT FindLoadOfKind(int kind, IUnknown** load) override;

  protected:
    ~LoadFinder() = default;

  private:
    HostSimObjectRef ref_;
};

class EnvironmentLink : public IHostEnvironmentLink {
  public:
    explicit EnvironmentLink(HostSimObjectRef ref) : ref_(std::move(ref)) {}
    [[nodiscard]] HRESULT GetLinkedObjectId(int& id) override;

  protected:
    ~EnvironmentLink() = default;

  private:
    HostSimObjectRef ref_;
};

class BodyState : public IHostBodyState {
  public:
    explicit BodyState(HostSimObjectRef ref) : ref_(std::move(ref)) {}
    [[nodiscard]] HRESULT IsSuppressed(bool& suppressed) override;
    [[nodiscard]] HRESULT IsFlexible(bool& flexible) override;

  protected:
    ~BodyState() = default;

  private:
    HostSimObjectRef ref_;
};

class MaterialBehaviour : public IHostMaterialBehaviour {
  public:
    explicit MaterialBehaviour(HostSimObjectRef ref) : ref_(std::move(ref)) {}
    [[nodiscard]] HRESULT IsNonlinear(int analysisKind, bool& nonlinear) override;

  protected:
    ~MaterialBehaviour() = default;

  private:
    HostSimObjectRef ref_;
};

}  // namespace hostsim_facets

class HostSimAnalysisFacets : public hostsim_facets::StepCarrier,
                              public hostsim_facets::StepRows,
                              public hostsim_facets::StepCount,
                              public hostsim_facets::TimeTableOwner,
                              public hostsim_facets::AnalysisTime,
                              public hostsim_facets::ContactRegion,
                              public hostsim_facets::CyclicRegion,
                              public hostsim_facets::LoadObject,
                              public hostsim_facets::LoadFinder,
                              public hostsim_facets::EnvironmentLink,
                              public hostsim_facets::BodyState,
                              public hostsim_facets::MaterialBehaviour {
  protected:
    explicit HostSimAnalysisFacets(const HostSimObjectRef& ref);
    ~HostSimAnalysisFacets() = default;

    // The facet of `iid` when the entry offers it (no reference taken); null otherwise. Every
    // object offers the time display.
    void* FindAnalysisFacet(REFIID iid);

  private:
    HostSimObjectRef ref_;
};
