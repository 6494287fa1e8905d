// The solver object the host creates by class id: it takes the two model paths, runs a solve
// through the feeder of the analysis kind and answers the host's file-management queries.
// No exception leaves any of its operations.
#pragma once

#include <functional>
#include <memory>

#include "host/solver_interfaces.h"
#include "platform/com.h"
#include "platform/com_object.h"
#include "runtime/xen_com_object.h"

class DorvixFeeder;

class CJXDorvixSolver
    : public ComObject<CJXDorvixSolver, IJXDorvixSolver, ITRVSolver, ICAESolver, IFileManagement>,
      public CXenComObject {
  public:
    // Makes the feeder of an analysis kind; null when no feeder solves the kind.
    using FeederCreator = std::function<std::unique_ptr<DorvixFeeder>(int analysisKind)>;

    // Each object keeps the module loaded while it lives.
    CJXDorvixSolver();
    explicit CJXDorvixSolver(FeederCreator createFeeder);
    ~CJXDorvixSolver() override;

    [[nodiscard]] HRESULT QueryInterfaceExtra(REFIID iid, void** out);

    // Clears the incomplete-solution flag, makes a package with one part per result set (a
    // negative count reads as none), keeps the context's progress callback for the solve, lets
    // the kind's feeder load the model, write the deck and run the solver, and adds the
    // localized message of codes 100 to 102. An unknown kind leaves the package at code 2.
    // Any failure on the way ends the package with code 44; the package is handed out and the
    // callback cleared in every case.
    [[nodiscard]] HRESULT Solve(TRVDataSourceItf* context, TRVReturnPackageItf** package) override;

    [[nodiscard]] HRESULT SetCAEFiles(BSTR inputPath, BSTR outputPath) override;
    [[nodiscard]] HRESULT CAESolverStub4() override { return S_OK; }
    [[nodiscard]] HRESULT GetOutputCAEFile(BSTR* outputPath) override;
    [[nodiscard]] HRESULT CAESolverStub6(int) override { return S_OK; }

    // Each list is a new host string list; E_FAIL when the host cannot make one.
    [[nodiscard]] HRESULT GetSolverFiles(IDispatch** list) override;
    [[nodiscard]] HRESULT GetFileGroups(int physicsType, int analysisType, int futureIntent,
                                        IDispatch** list) override;
    [[nodiscard]] HRESULT GetRestartFiles(int physicsType, int analysisType, int futureIntent,
                                          IDispatch** list) override;
    [[nodiscard]] HRESULT FileManagementStub6(int physicsType, int analysisType, int futureIntent,
                                              IDispatch** list) override;

    BSTR GetInputPath() const { return inputPath_.Get(); }

  private:
    FeederCreator createFeeder_;
    BstrHolder inputPath_;
    BstrHolder outputPath_;
};

// The creator the registry and the module's class factory use.
[[nodiscard]] HRESULT CreateJXDorvixSolver(IUnknown* outer, REFIID iid, void** out);
// Makes the solver object creatable by CLSID_JXDorvixSolver through the creation registry.
[[nodiscard]] HRESULT RegisterJXDorvixSolverClass();
