// The groups of solver files a settings record asks for, and when the restart files belong.

#include "addin/solver_file_set.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool Has(const SolverFileList& list, const std::wstring& name) { return list.count(name) == 1; }

SolverFileSet FileSet(int futureIntent, int physicsType, int analysisType) {
    SolverFileSet files;
    files.SetFutureIntent(futureIntent);
    files.SetPhysicsAndAnalysisType(physicsType, analysisType);
    return files;
}

// A list that already holds a name no group has.
SolverFileList Stale() { return {L"stale.tmp"}; }

}  // namespace

TEST(SolverFileSet, AllSolverFilesAreTheFortyThreeNamesOfTheFourModules) {
    SolverFileList list = Stale();
    SolverFileSet().AddAllSolverFiles(list);
    EXPECT_EQ(list.size(), 43u);
    EXPECT_FALSE(Has(list, L"stale.tmp"));
    for (const wchar_t* name :
         {L"dummy.dat", L"dorvix*.BAT", L"dorvix.sdb#*", L"dorvix_st.u12", L"DORVIXResults.log",
          L"dorvix_as.u18", L"dorvix_st.fac", L"dorvix_*_dy.u12", L"prestress.dat"})
        EXPECT_TRUE(Has(list, name)) << name;
    for (const wchar_t* name : {L"dorvix_mt.des", L"dorvix_err.out", L"dorvix_??.run"})
        EXPECT_FALSE(Has(list, name)) << name;
}

TEST(SolverFileSet, SolveOutputFilesAddTheRestartGroupOnlyForKindFourWithFlagsOneAndZero) {
    struct Row {
        int kind, second, third;
        std::size_t count;
    };
    for (const Row& row :
         {Row{4, 1, 0, 33}, Row{0, 1, 0, 29}, Row{4, 0, 0, 29}, Row{4, 1, -1, 29}, Row{0, 0, -1, 29}}) {
        SCOPED_TRACE(::testing::Message() << row.kind << " " << row.second << " " << row.third);
        SolverFileList list = Stale();
        EXPECT_TRUE(FileSet(row.kind, row.second, row.third).GetSolveOutputFiles(list));
        EXPECT_EQ(list.size(), row.count);
        EXPECT_FALSE(Has(list, L"stale.tmp"));
        EXPECT_TRUE(Has(list, L"dorvix.srdb"));
        EXPECT_TRUE(Has(list, L"dorvix_dy.u18"));
        EXPECT_EQ(Has(list, L"dorvix_*.u68"), row.count == 33);
    }
}

TEST(SolverFileSet, RestartFilesNeedFlagsOneAndZeroAndAreEmptyUnlessKindFour) {
    struct Row {
        int kind, second, third;
        bool answer;
        std::size_t count;
    };
    for (const Row& row : {Row{4, 1, 0, true, 7}, Row{0, 1, 0, true, 0}, Row{0, 0, -1, false, 0},
                           Row{4, 1, 1, false, 0}, Row{4, 2, 0, false, 0}}) {
        SCOPED_TRACE(::testing::Message() << row.kind << " " << row.second << " " << row.third);
        SolverFileList list = Stale();
        EXPECT_EQ(FileSet(row.kind, row.second, row.third).GetRestartFiles(list), row.answer);
        EXPECT_EQ(list.size(), row.count);
        EXPECT_EQ(Has(list, L"dorvix_*_dy.u12"), row.count == 7);
    }
}

TEST(SolverFileSet, SingleGroupsAddToTheListAndTheDescriptionQueryReplacesIt) {
    const SolverFileSet restart = FileSet(4, 1, 0);
    SolverFileList list = Stale();
    restart.AddModuleDescriptionFiles(list);
    EXPECT_EQ(list.size(), 6u);
    restart.AddRestartFiles(list);
    EXPECT_EQ(list.size(), 13u);
    restart.AddResultFiles(list);
    EXPECT_EQ(list.size(), 34u);
    EXPECT_TRUE(Has(list, L"stale.tmp"));

    restart.GetDescriptionFiles(list);
    EXPECT_EQ(list, (SolverFileList{L"dorvix.srdb", L"dorvix_as.des", L"dorvix_dy.des", L"dorvix_me.des",
                                    L"dorvix_st.des"}));
}

TEST(SolverFileSet, SettingsQueriesTakePhysicsAnalysisAndFutureIntent) {
    SolverFileList list;
    EXPECT_TRUE(SettingsRestartFiles(1, 0, 4, list));
    EXPECT_EQ(list.size(), 7u);
    EXPECT_FALSE(SettingsRestartFiles(2, 0, 4, list));
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(SettingsRestartFiles(1, 0, 0, list));
    EXPECT_TRUE(list.empty());

    EXPECT_TRUE(SettingsSolveOutputFiles(1, 0, 4, 1, list));
    EXPECT_EQ(list.size(), 33u);
    EXPECT_TRUE(SettingsSolveOutputFiles(1, 2, 4, 0, list));
    EXPECT_EQ(list.size(), 29u);

    SettingsAllSolverFiles(2, 2, 0, list);
    EXPECT_EQ(list.size(), 43u);
}
