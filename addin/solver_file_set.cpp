// The name groups of each use of a solve's files and the three queries of the analysis-settings records.
#include "addin/solver_file_set.h"

#include <array>

namespace {

// The four solver modules whose description, factor, result and scratch files a solve leaves.
constexpr std::array<const wchar_t*, 4> kModules = {L"as", L"dy", L"me", L"st"};
constexpr std::array<const wchar_t*, 4> kModuleExtensions = {L".des", L".fac", L".res", L".u18"};

void AddModuleFiles(SolverFileList& list) {
    for (const wchar_t* module : kModules)
        for (const wchar_t* extension : kModuleExtensions)
            list.insert(std::wstring(L"dorvix_") + module + extension);
}

template <std::size_t N>
void AddNames(SolverFileList& list, const std::array<const wchar_t*, N>& names) {
    for (const wchar_t* name : names) list.insert(name);
}

constexpr std::array<const wchar_t*, 21> kSolverFilesBeforeModules = {
    L"dummy.dat",  L"dorvix.adb",    L"dorvix*.BAT",       L"dorvix.dat",      L"dorvix.dvx",
    L"dorvix.sdb", L"dorvix.sdb#*",  L"dorvix.spy",        L"dorvix.u04",      L"dorvix.u09",
    L"dorvix.u11", L"dorvix_st.u12", L"dorvix.u13",        L"dorvix.u52",      L"DORVIXResults.log",
    L"solve.out",  L"dorvix.out",    L"dorvixsummary.txt", L"dorvixnodes.txt", L"dorvixelements.txt",
    L"timing.txt",
};
constexpr std::array<const wchar_t*, 6> kSolverFilesAfterModules = {
    L"dorvix.srdb", L"dorvix_*.u04", L"dorvix_*.u11", L"dorvix_*.u68", L"dorvix_*_dy.u12", L"prestress.dat",
};
constexpr std::array<const wchar_t*, 5> kDescriptionGroup = {
    L"dorvix_as.des", L"dorvix_dy.des", L"dorvix_me.des", L"dorvix_st.des", L"dorvix.srdb",
};
constexpr std::array<const wchar_t*, 11> kResultFilesBeforeModules = {
    L"dorvix.adb",      L"dorvix.dat",         L"dorvix.dvx", L"dorvix.sdb",
    L"dorvix.spy",      L"solve.out",          L"dorvix.out", L"dorvixsummary.txt",
    L"dorvixnodes.txt", L"dorvixelements.txt", L"timing.txt",
};
constexpr std::array<const wchar_t*, 7> kRestartGroup = {
    L"dorvix_as.u18", L"dorvix.sdb",      L"dorvix_*.u04",  L"dorvix_*.u11",
    L"dorvix_*.u68",  L"dorvix_*_dy.u12", L"prestress.dat",
};

// A settings record's triple in the order the file set takes it.
SolverFileSet FileSetOf(int physicsType, int analysisType, int futureIntent) {
    SolverFileSet files;
    files.SetPhysicsAndAnalysisType(physicsType, analysisType);
    files.SetFutureIntent(futureIntent);
    return files;
}

}  // namespace

bool SolverFileSet::RestartGroupApplies() const {
    return futureIntent_ == 4 && physicsType_ == 1 && analysisType_ == 0;
}

void SolverFileSet::AddAllSolverFiles(SolverFileList& list) const {
    list.clear();
    AddNames(list, kSolverFilesBeforeModules);
    AddModuleFiles(list);
    AddNames(list, kSolverFilesAfterModules);
}

bool SolverFileSet::GetSolveOutputFiles(SolverFileList& list) const {
    list.clear();
    AddModuleDescriptionFiles(list);
    AddRestartFiles(list);
    AddResultFiles(list);
    return !list.empty();
}

bool SolverFileSet::GetRestartFiles(SolverFileList& list) const {
    list.clear();
    if (physicsType_ != 1 || analysisType_ != 0) return false;
    AddRestartFiles(list);
    return true;
}

void SolverFileSet::GetDescriptionFiles(SolverFileList& list) const {
    list.clear();
    AddModuleDescriptionFiles(list);
}

void SolverFileSet::AddModuleDescriptionFiles(SolverFileList& list) const {
    AddNames(list, kDescriptionGroup);
}

void SolverFileSet::AddRestartFiles(SolverFileList& list) const {
    if (RestartGroupApplies()) AddNames(list, kRestartGroup);
}

void SolverFileSet::AddResultFiles(SolverFileList& list) const {
    AddNames(list, kResultFilesBeforeModules);
    AddModuleFiles(list);
    list.insert(L"prestress.dat");
}

bool SettingsRestartFiles(int physicsType, int analysisType, int futureIntent, SolverFileList& list) {
    return FileSetOf(physicsType, analysisType, futureIntent).GetRestartFiles(list);
}

bool SettingsSolveOutputFiles(int physicsType, int analysisType, int futureIntent, int keepDatabase,
                              SolverFileList& list) {
    const bool listed = FileSetOf(physicsType, analysisType, futureIntent).GetSolveOutputFiles(list);
    if (keepDatabase == 1) list.insert(L"dorvix.sdb");
    return listed;
}

void SettingsAllSolverFiles(int physicsType, int analysisType, int futureIntent, SolverFileList& list) {
    FileSetOf(physicsType, analysisType, futureIntent).AddAllSolverFiles(list);
}
