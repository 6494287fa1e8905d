// The interfaces through which the host runs a solve on the solver object and asks it for the
// names of the files a solve creates, and the class id the host creates the object by. The host
// takes them from the add-in module's type information; the module implements them.
#pragma once

#include "platform/com.h"
#include "platform/dispatch.h"

class TRVDataSourceItf;
class TRVReturnPackageItf;

inline constexpr CLSID CLSID_JXDorvixSolver = MakeGuid("e963eca3-80f7-4291-a63f-633ca1f6454e");
inline constexpr const wchar_t* kJXDorvixSolverProgId = L"DorvixSolver.JXDorvixSolver.120";

inline constexpr IID IID_IJXDorvixSolver = MakeGuid("c9edaff4-ab71-43b0-bbbe-160e74343423");
inline constexpr IID IID_ITRVSolver = MakeGuid("432b45d3-df9f-4190-b9ec-082e9c038c6b");
inline constexpr IID IID_ICAESolver = MakeGuid("a8cc514e-5e6f-49a7-bcf0-e0bc02af99e1");
inline constexpr IID IID_IFileManagement = MakeGuid("5228124a-3363-4663-bbfd-e90af2191e5a");

// The object's own interface adds nothing.
struct IJXDorvixSolver : IUnknown {
    static constexpr const IID& iid() { return IID_IJXDorvixSolver; }

  protected:
    ~IJXDorvixSolver() = default;
};

struct ITRVSolver : IUnknown {
    static constexpr const IID& iid() { return IID_ITRVSolver; }
    // E_POINTER for a null out pointer; otherwise S_OK and a new package the caller owns and
    // deletes through its interface.
    [[nodiscard]] virtual HRESULT Solve(TRVDataSourceItf* context, TRVReturnPackageItf** package) = 0;

  protected:
    ~ITRVSolver() = default;
};

struct ICAESolver : IUnknown {
    static constexpr const IID& iid() { return IID_ICAESolver; }
    // Keeps copies of both paths; a null path clears the stored one.
    [[nodiscard]] virtual HRESULT SetCAEFiles(BSTR inputPath, BSTR outputPath) = 0;
    [[nodiscard]] virtual HRESULT CAESolverStub4() = 0;
    // A new copy of the output path (null when none is set).
    [[nodiscard]] virtual HRESULT GetOutputCAEFile(BSTR* outputPath) = 0;
    [[nodiscard]] virtual HRESULT CAESolverStub6(int value) = 0;

  protected:
    ~ICAESolver() = default;
};

// The lists come back as the dispatch interface of the host's string list.
struct IFileManagement : IUnknown {
    static constexpr const IID& iid() { return IID_IFileManagement; }
    [[nodiscard]] virtual HRESULT GetSolverFiles(IDispatch** list) = 0;
    [[nodiscard]] virtual HRESULT GetFileGroups(int physicsType, int analysisType, int futureIntent,
                                                IDispatch** list) = 0;
    [[nodiscard]] virtual HRESULT GetRestartFiles(int physicsType, int analysisType, int futureIntent,
                                                  IDispatch** list) = 0;
    [[nodiscard]] virtual HRESULT FileManagementStub6(int physicsType, int analysisType, int futureIntent,
                                                      IDispatch** list) = 0;

  protected:
    ~IFileManagement() = default;
};
