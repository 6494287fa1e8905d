// The host's solver-database component, asked once before every run to prepare its
// database for the results to come. What it does is the host's business.
#pragma once

#include "platform/com.h"

inline constexpr CLSID CLSID_HostSolverDatabase = MakeGuid("75D0B49B-24D5-43F0-B2C0-2365563A45CA");

struct IHostSolverDatabase : IUnknown {
    static constexpr IID kIid = MakeGuid("857603F6-788E-4D1C-A480-558A80FD6A12");
    static constexpr const IID& iid() { return kIid; }

    // Called without arguments before the solver starts; the answer is not examined.
    [[nodiscard]] virtual HRESULT PrepareRun() = 0;

  protected:
    ~IHostSolverDatabase() = default;
};
