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

    // The settings record's physics and analysis types and the intent its files are kept for.
    // The restart group applies only to a mechanical (1) static (0) analysis kept for a
    // prestressed modal run (4).
    void SetPhysicsAndAnalysisType(int physicsType, int analysisType) {
        physicsType_ = physicsType;
        analysisType_ = analysisType;
    }
    void SetFutureIntent(int intent) { futureIntent_ = intent; }

    // Replaces the list's names by every name (or wildcard pattern) a solve may leave.
    void AddAllSolverFiles(SolverFileList& list) const;
    // Replaces the list's names by the description group, the restart group where it applies
    // and the result group; true when the list is not empty.
    bool GetSolveOutputFiles(SolverFileList& list) const;
    // Empties the list; false unless the physics type is 1 and the analysis type 0, else adds
    // the restart group (nothing unless the future intent is 4 as well) and answers true.
    bool GetRestartFiles(SolverFileList& list) const;
    // Replaces the list's names by the description group.
    void GetDescriptionFiles(SolverFileList& list) const;

    // Each adds one group to what the list holds.
    void AddModuleDescriptionFiles(SolverFileList& list) const;
    // Adds nothing unless the restart group applies.
    void AddRestartFiles(SolverFileList& list) const;
    void AddResultFiles(SolverFileList& list) const;

    int GetFutureIntent() const { return futureIntent_; }
    int GetPhysicsType() const { return physicsType_; }
    int GetAnalysisType() const { return analysisType_; }

  private:
    bool RestartGroupApplies() const;

    int futureIntent_ = 0;
    int physicsType_ = 0;
    int analysisType_ = -1;
};

// The settings-side queries over a settings record's physics type, analysis type and future
// intent, in that order: the restart group applies to a mechanical (1) static (0) analysis
// whose files are kept for a prestressed modal run (4).
bool SettingsRestartFiles(int physicsType, int analysisType, int futureIntent, SolverFileList& list);
// `keepDatabase` 1 adds the solver database "dorvix.sdb".
bool SettingsSolveOutputFiles(int physicsType, int analysisType, int futureIntent, int keepDatabase,
                              SolverFileList& list);
void SettingsAllSolverFiles(int physicsType, int analysisType, int futureIntent, SolverFileList& list);
