// The host's solve context: what the solve entry and every deck writer ask of the host for
// one solve. A plain abstract class (the host hands it over, the add-in never owns it).
#pragma once

#include <string>
#include <vector>

#include "foundation/geometry.h"
#include "host/model_records.h"
#include "host/object_table.h"
#include "host/progress_callback.h"
#include "host/scoping_record.h"
#include "host/solve_job.h"
#include "platform/com.h"

struct IStream;

class TRVDataSourceItf {
  public:
    virtual ~TRVDataSourceItf() = default;

    // HostAnalysisKind (foundation/analysis_kind.h).
    virtual int GetAnalysisKind() const = 0;
    // Null when the host wants no progress reports.
    virtual IProgressCallback* GetProgressCallback() const = 0;
    virtual bool Is2DAnalysis() const = 0;
    virtual int GetPartCount() const = 0;
    // Number of part packages of the return package.
    virtual int GetResultSetCount() const = 0;
    virtual int GetDeckUnitSystem() const = 0;
    virtual int GetModelUnitSystem() const = 0;
    // Passed on to the mesh wrapper.
    virtual int GetModelValue() const = 0;

    // Each answers null when the host has no such record.
    virtual const ReferenceTemperatureRecord* GetReferenceTemperature() const = 0;
    virtual const HostObjectTable* GetObjectTypeTable() const = 0;
    virtual const ContactList* GetContactPairs() const = 0;
    virtual const SolveJobRecord* GetSolveJob() const = 0;

    // The host object the earlier-result reader needs for a code (111: initial temperatures);
    // S_FALSE and null when the host has none.
    [[nodiscard]] virtual HRESULT GetHostObject(int code, IUnknown** out) const = 0;

    virtual const std::vector<SymmetryRegionRecord>& GetSymmetryRegions() const = 0;
    virtual const std::vector<ScopingRecord>& GetNamedSelections() const = 0;
    virtual const std::vector<BodyRecord>& GetBodies() const = 0;
    virtual const std::vector<SpringRecord>& GetSprings() const = 0;
    virtual const std::vector<CoordinateSystemData>& GetCoordinateSystems() const = 0;
    virtual const std::vector<CoordinateSystemData>& GetMeshCoordinateSystems() const = 0;
    virtual const std::vector<CommandSnippet>& GetCommandSnippets() const = 0;

    // 1 with the option's text when the user set the option, else 0.
    [[nodiscard]] virtual int GetNamedOption(const std::string& name, std::string& text) const = 0;

    // A stream holding a saved per-node constraint table: S_OK with a new reference, or S_FALSE
    // and null when the host saved none.
    [[nodiscard]] virtual HRESULT GetNodeConstraintStream(IStream** out) const = 0;
};
