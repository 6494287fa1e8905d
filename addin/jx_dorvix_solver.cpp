// A solve run through the feeder of the context's kind, its failures turned into codes, and the file lists.
#include "addin/jx_dorvix_solver.h"

#include <algorithm>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "addin/feeder_factory.h"
#include "addin/solver_file_lists.h"
#include "caerep/core/cae_exception.h"
#include "deck/dorvix_feeder.h"
#include "deck/return_codes.h"
#include "host/data_source.h"
#include "host/string_table.h"
#include "platform/creation_registry.h"
#include "platform/text.h"
#include "runtime/addin_services.h"
#include "runtime/progress.h"
#include "runtime/return_package.h"

namespace {

// The key of the localized message a solve's code carries, or null when it carries none.
const wchar_t* MessageKeyFor(int code) {
    switch (code) {
        case kRC_SolverFolderUndefined:
            return L"ID_ERROR_UNDEFINED_DVX_EXE_ENVIRONMENT_VARIABLE";
        case kRC_PeriodicAxisIncorrect:
            return L"ID_ERROR_PERIODIC_CONDITION_UNCORRECT_AXIS";
        case kRC_WeightingEquation:
            return L"ID_ERROR_UNCORRECT_WEIGHTING_EQUATION";
        default:
            return nullptr;
    }
}

// What the current exception says, for the user.
std::wstring CurrentReason() {
    try {
        throw;
    } catch (const std::exception& e) {
        return platform::Utf8ToWide(e.what());
    } catch (...) {
        return L"an unknown failure";
    }
}

// The names in a new host string list, handed out as its dispatch interface.
[[nodiscard]] HRESULT AnswerList(const std::vector<std::wstring>& names, IDispatch** list) {
    if (!list) return E_POINTER;
    *list = nullptr;
    ComPtr<IHostStringList> hostList;
    if (FAILED(CoCreateInstance(CLSID_HostStringList, hostList)) || !hostList) return E_FAIL;
    for (const std::wstring& name : names) {
        BstrHolder text(name);
        if (text.IsNull()) return E_OUTOFMEMORY;
        const HRESULT added = hostList->Add(text.Get());
        if (FAILED(added)) return added;
    }
    return hostList->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(list));
}

}  // namespace

CJXDorvixSolver::CJXDorvixSolver() : CJXDorvixSolver(&CreateDorvixFeeder) {}

CJXDorvixSolver::CJXDorvixSolver(FeederCreator createFeeder) : createFeeder_(std::move(createFeeder)) {
    ModuleLock();
}

CJXDorvixSolver::~CJXDorvixSolver() { ModuleUnlock(); }

HRESULT CJXDorvixSolver::QueryInterfaceExtra(REFIID iid, void** out) {
    return QueryMarshaler(ControllingUnknown(), iid, out);
}

HRESULT CJXDorvixSolver::Solve(TRVDataSourceItf* context, TRVReturnPackageItf** package) {
    if (!package) return E_POINTER;
    *package = nullptr;
    SolutionIncompleteFlag = 0;
    std::unique_ptr<ReturnPackage> answer;
    try {
        answer = std::make_unique<ReturnPackage>();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    std::unique_ptr<DorvixFeeder> feeder;
    try {
        // Without a context there is nothing to solve: the package keeps its unset code.
        if (context) {
            const int kind = context->GetAnalysisKind();
            answer->Init(std::max(0, context->GetResultSetCount()));
            ProgressCallback = context->GetProgressCallback();
            try {
                feeder = createFeeder_ ? createFeeder_(kind) : nullptr;
            } catch (const std::bad_alloc&) {
                feeder.reset();  // no feeder: as for a kind none solves
            }
        }
        if (feeder) {
            int code = kRC_Success;
            try {
                code = feeder->LoadCAERepresentation(inputPath_.Get(), outputPath_.Get());
                if (code == kRC_Success) {
                    code = feeder->Feed(context, answer.get());
                } else {
                    answer->SetResultCode(code);
                    // The reason of the refusal reaches the host even when the output cannot be
                    // written.
                    feeder->SavePostedMessages(answer.get());
                }
            } catch (const NCAERep::CCAEException&) {
                answer->SetResultCode(kRC_Exception);
                code = kRC_Exception;
            }
            feeder.reset();
            if (const wchar_t* key = MessageKeyFor(code))
                answer->AddMessage(AddinServices::GetInstance().GetStringText(key));
        }
    } catch (...) {
        feeder.reset();
        answer->SetResultCode(kRC_Exception);
        try {
            answer->AddMessage(L"The solve stopped on an unexpected failure: " + CurrentReason());
        } catch (...) {
            // Not even the message could be made: the code alone tells the host.
        }
    }
    ProgressCallback = nullptr;
    *package = answer.release();
    return S_OK;
}

HRESULT CJXDorvixSolver::SetCAEFiles(BSTR inputPath, BSTR outputPath) try {
    // The stored string handed back is already the stored path.
    if (FAILED(StoreBstrCopy(inputPath, inputPath_))) return E_OUTOFMEMORY;
    if (FAILED(StoreBstrCopy(outputPath, outputPath_))) return E_OUTOFMEMORY;
    return S_OK;
} catch (...) {
    return AnswerCurrentFailure();
}

HRESULT CJXDorvixSolver::GetOutputCAEFile(BSTR* outputPath) {
    return HandOutBstrCopy(outputPath_, outputPath);
}

HRESULT CJXDorvixSolver::GetSolverFiles(IDispatch** list) try {
    return AnswerList(SolverFileNames(), list);
} catch (...) {
    if (list) *list = nullptr;
    return AnswerCurrentFailure();
}

HRESULT CJXDorvixSolver::GetFileGroups(int physicsType, int analysisType, int futureIntent,
                                       IDispatch** list) try {
    return AnswerList(FileGroupNames(physicsType, analysisType, futureIntent), list);
} catch (...) {
    if (list) *list = nullptr;
    return AnswerCurrentFailure();
}

HRESULT CJXDorvixSolver::GetRestartFiles(int physicsType, int analysisType, int futureIntent,
                                         IDispatch** list) try {
    return AnswerList(RestartFileNames(physicsType, analysisType, futureIntent), list);
} catch (...) {
    if (list) *list = nullptr;
    return AnswerCurrentFailure();
}

HRESULT CJXDorvixSolver::FileManagementStub6(int physicsType, int analysisType, int futureIntent,
                                             IDispatch** list) {
    return GetFileGroups(physicsType, analysisType, futureIntent, list);
}

HRESULT CreateJXDorvixSolver(IUnknown* outer, REFIID iid, void** out) {
    return CreateComInstance<CJXDorvixSolver>(outer, iid, out);
}

HRESULT RegisterJXDorvixSolverClass() {
    return RegisterComponentClass(CLSID_JXDorvixSolver, &CreateJXDorvixSolver);
}
