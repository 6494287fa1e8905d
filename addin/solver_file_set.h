// The files a solve creates in its working folder, grouped by their use: every file a solve may
// leave, the files of a finished solve, the module description files, and the restart and
// prestress files a later analysis reads. The analysis-settings records ask for them through
// the three queries at the end.
#pragma once

#include <set>
#include <string>

#include "addin/solver_file_lists.h"

struct SolverFileNameLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const { return FileNameLess(a, b); }
};

// Each name once, in the order of the host's text comparison; adding a name that is there
// already changes nothing.
using SolverFileList = std::set<std::wstring, SolverFileNameLess>;

class SolverFileSet {
  public:
    SolverFileSet() = default;

    // The restart group applies only to analysis kind 4 with the second flag 1 and the third 0.
    void SetFlags(int thirdFlag, int secondFlag) {
        thirdFlag_ = thirdFlag;
        secondFlag_ = secondFlag;
    }
    void SetAnalysisKind(int kind) { analysisKind_ = kind; }

    // Replaces the list's names by every name (or wildcard pattern) a solve may leave.
    void AddAllSolverFiles(SolverFileList& list) const;
    // Replaces the list's names by the description group, the restart group where it applies
    // and the result group; true when the list is not empty.
    bool GetSolveOutputFiles(SolverFileList& list) const;
    // Empties the list; false unless the second flag is 1 and the third 0, else adds the
    // restart group (nothing unless the kind is 4 as well) and answers true.
    bool GetRestartFiles(SolverFileList& list) const;
    // Replaces the list's names by the description group.
    void GetDescriptionFiles(SolverFileList& list) const;

    // Each adds one group to what the list holds.
    void AddModuleDescriptionFiles(SolverFileList& list) const;
    // Adds nothing unless the restart group applies.
    void AddRestartFiles(SolverFileList& list) const;
    void AddResultFiles(SolverFileList& list) const;

    int GetAnalysisKind() const { return analysisKind_; }
    int GetSecondFlag() const { return secondFlag_; }
    int GetThirdFlag() const { return thirdFlag_; }

  private:
    bool RestartGroupApplies() const;

    int analysisKind_ = 0;
    int secondFlag_ = 0;
    int thirdFlag_ = -1;
};

// The settings-side queries over a settings record's physics type, analysis type and future
// intent, in that order: the restart group applies to a mechanical (1) static (0) analysis
// whose files are kept for a prestressed modal run (4).
bool SettingsRestartFiles(int physicsType, int analysisType, int futureIntent, SolverFileList& list);
// `keepDatabase` 1 adds the solver database "dorvix.sdb".
bool SettingsSolveOutputFiles(int physicsType, int analysisType, int futureIntent, int keepDatabase,
                              SolverFileList& list);
void SettingsAllSolverFiles(int physicsType, int analysisType, int futureIntent, SolverFileList& list);
