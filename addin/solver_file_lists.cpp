// A solve's file names and patterns in fixed groups; restart files only when a prestressed modal run follows.
#include "addin/solver_file_lists.h"

#include <algorithm>
#include <cwctype>
#include <set>

#include "settings/settings_types.h"

namespace {

const std::vector<std::wstring> kDescriptionGroup = {
    L"dorvix_as.des", L"dorvix_dy.des", L"dorvix_me.des", L"dorvix_st.des", L"dorvix_mt.des", L"dorvix.srdb",
};

const std::vector<std::wstring> kOutputGroup = {
    L"dorvix_err.out", L"dorvix.dat",    L"solve.out",         L"dorvix.out",    L"dorvix.dvx",
    L"dorvix.sdb",     L"dorvix.spy",    L"DORVIXResults.log", L"dorvix_as.fac", L"dorvix_as.res",
    L"dorvix_dy.fac",  L"dorvix_dy.res", L"dorvix_me.fac",     L"dorvix_me.res", L"dorvix_st.fac",
    L"dorvix_st.res",  L"dorvix_mt.fac", L"dorvix_mt.res",     L"prestress.dat", L"dorvixsummary.txt",
    L"timing.txt",
};

const std::vector<std::wstring> kRestartGroup = {
    L"dorvix_as.u18", L"dorvix_me.u18", L"dorvix.sdb",      L"dorvix_1.u04",
    L"dorvix_1.u11",  L"dorvix_1.u68",  L"dorvix_1_dy.u12", L"prestress.dat",
};

// Only a mechanical static solve that keeps its files for a later prestressed modal run
// leaves files to restart from.
bool KeepsRestartFiles(int physicsType, int analysisType, int futureIntent) {
    return physicsType == kMechanicalPhysics && analysisType == kStaticAnalysis &&
           futureIntent == static_cast<int>(kSaveFilesForPrestressedModalAnalysis);
}

}  // namespace

bool FileNameLess(const std::wstring& a, const std::wstring& b) {
    const auto fold = [](std::wstring text) {
        for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
        return text;
    };
    const std::wstring foldedA = fold(a);
    const std::wstring foldedB = fold(b);
    if (foldedA != foldedB) return foldedA < foldedB;
    return a < b;
}

std::vector<std::wstring> SolverFileNames() {
    std::vector<std::wstring> names = {
        L"dummy.dat",          L"dorvix.adb",    L"dorvix*.BAT",   L"dorvix.dat",        L"dorvix.dvx",
        L"dorvix.sdb",         L"dorvix.sdb#*",  L"dorvix.spy",    L"dorvix.u04",        L"dorvix.u09",
        L"dorvix.u11",         L"dorvix_st.u12", L"dorvix.u13",    L"dorvix.u52",        L"DORVIXResults.log",
        L"solve.out",          L"dorvix.out",    L"dorvix_??.run", L"dorvixsummary.txt", L"dorvixnodes.txt",
        L"dorvixelements.txt", L"timing.txt",
    };
    for (const wchar_t* module : {L"as", L"dy", L"me", L"st", L"mt"})
        for (const wchar_t* extension : {L".des", L".fac", L".res", L".u18"})
            names.push_back(std::wstring(L"dorvix_") + module + extension);
    names.push_back(L"dorvix.srdb");
    names.push_back(L"prestress.dat");
    return names;
}

std::vector<std::wstring> FileGroupNames(int physicsType, int analysisType, int futureIntent) {
    std::set<std::wstring, decltype(&FileNameLess)> names(&FileNameLess);
    names.insert(kDescriptionGroup.begin(), kDescriptionGroup.end());
    names.insert(kOutputGroup.begin(), kOutputGroup.end());
    if (KeepsRestartFiles(physicsType, analysisType, futureIntent))
        names.insert(kRestartGroup.begin(), kRestartGroup.end());
    return {names.begin(), names.end()};
}

std::vector<std::wstring> RestartFileNames(int physicsType, int analysisType, int futureIntent) {
    if (!KeepsRestartFiles(physicsType, analysisType, futureIntent)) return {};
    std::vector<std::wstring> names = kRestartGroup;
    std::sort(names.begin(), names.end(), &FileNameLess);
    return names;
}
