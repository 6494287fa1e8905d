// The groups of solver files a settings record asks for, and when the restart files belong.

#include "addin/solver_file_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

bool Has(const SolverFileList& list, const std::wstring& name) { return list.count(name) == 1; }

SolverFileSet FileSet(int kind, int secondFlag, int thirdFlag) {
    SolverFileSet files;
    files.SetAnalysisKind(kind);
    files.SetFlags(thirdFlag, secondFlag);
    return files;
}

// A list that already holds a name no group has.
SolverFileList Stale() { return {L"stale.tmp"}; }

}  // namespace

// Every name of the other groups is one a solve may leave; the full list replaces what the list
// held. (Which files these are is checked against what solves leave, in
// jx_dorvix_solver_test.cpp.)
TEST(SolverFileSet, AllSolverFilesHoldEveryGroupAndReplaceTheList) {
    SolverFileList all = Stale();
    SolverFileSet().AddAllSolverFiles(all);
    EXPECT_FALSE(Has(all, L"stale.tmp"));
    SolverFileList groups;
    const SolverFileSet restart = FileSet(4, 1, 0);
    restart.AddModuleDescriptionFiles(groups);
    restart.AddRestartFiles(groups);
    restart.AddResultFiles(groups);
    ASSERT_FALSE(groups.empty());
    EXPECT_TRUE(std::includes(all.begin(), all.end(), groups.begin(), groups.end(), all.key_comp()));
    // The thermal module is not one of the four modules these lists know.
    EXPECT_FALSE(Has(all, L"dorvix_mt.des"));
}

// The restart group joins the files of a finished solve only for kind 4 with flags 1 and 0.
TEST(SolverFileSet, SolveOutputFilesAddTheRestartGroupOnlyForKindFourWithFlagsOneAndZero) {
    SolverFileList restart;
    ASSERT_TRUE(FileSet(4, 1, 0).GetRestartFiles(restart));
    ASSERT_FALSE(restart.empty());
    SolverFileList without;
    ASSERT_TRUE(FileSet(0, 0, -1).GetSolveOutputFiles(without));
    struct Row {
        int kind, second, third;
        bool withRestart;
    };
    for (const Row& row : {Row{4, 1, 0, true}, Row{0, 1, 0, false}, Row{4, 0, 0, false}, Row{4, 1, -1, false},
                           Row{0, 0, -1, false}}) {
        SCOPED_TRACE(::testing::Message() << row.kind << " " << row.second << " " << row.third);
        SolverFileList list = Stale();
        EXPECT_TRUE(FileSet(row.kind, row.second, row.third).GetSolveOutputFiles(list));
        SolverFileList expected = without;
        if (row.withRestart) expected.insert(restart.begin(), restart.end());
        EXPECT_EQ(list, expected);
        EXPECT_EQ(Has(list, L"dorvix_*.u68"), row.withRestart);
    }
}

TEST(SolverFileSet, RestartFilesNeedFlagsOneAndZeroAndAreEmptyUnlessKindFour) {
    struct Row {
        int kind, second, third;
        bool answer, filled;
    };
    for (const Row& row : {Row{4, 1, 0, true, true}, Row{0, 1, 0, true, false}, Row{0, 0, -1, false, false},
                           Row{4, 1, 1, false, false}, Row{4, 2, 0, false, false}}) {
        SCOPED_TRACE(::testing::Message() << row.kind << " " << row.second << " " << row.third);
        SolverFileList list = Stale();
        EXPECT_EQ(FileSet(row.kind, row.second, row.third).GetRestartFiles(list), row.answer);
        EXPECT_EQ(list.empty(), !row.filled);
        EXPECT_FALSE(Has(list, L"stale.tmp"));
        EXPECT_EQ(Has(list, L"dorvix_*_dy.u12"), row.filled);
    }
}

// Each single group adds to what the list holds, and the three together are the files of a
// finished solve; the description query replaces the list by its group.
TEST(SolverFileSet, SingleGroupsAddToTheListAndTheDescriptionQueryReplacesIt) {
    const SolverFileSet restart = FileSet(4, 1, 0);
    SolverFileList list = Stale();
    const std::function<void(const SolverFileSet&, SolverFileList&)> adders[] = {
        &SolverFileSet::AddModuleDescriptionFiles, &SolverFileSet::AddRestartFiles,
        &SolverFileSet::AddResultFiles};
    for (const auto& add : adders) {
        const SolverFileList before = list;
        add(restart, list);
        EXPECT_GT(list.size(), before.size());
        EXPECT_TRUE(std::includes(list.begin(), list.end(), before.begin(), before.end(), list.key_comp()));
    }
    SolverFileList output;
    ASSERT_TRUE(restart.GetSolveOutputFiles(output));
    output.insert(L"stale.tmp");
    EXPECT_EQ(list, output);

    restart.GetDescriptionFiles(list);
    EXPECT_EQ(list, (SolverFileList{L"dorvix.srdb", L"dorvix_as.des", L"dorvix_dy.des", L"dorvix_me.des",
                                    L"dorvix_st.des"}));
}

// The settings records give physics, analysis and future intent; the restart group is the one of
// a mechanical static record kept for a prestressed modal analysis.
TEST(SolverFileSet, SettingsQueriesTakePhysicsAnalysisAndFutureIntent) {
    SolverFileList restart;
    EXPECT_TRUE(SettingsRestartFiles(1, 0, 4, restart));
    SolverFileList expected;
    EXPECT_TRUE(FileSet(4, 1, 0).GetRestartFiles(expected));
    EXPECT_EQ(restart, expected);
    SolverFileList list;
    EXPECT_FALSE(SettingsRestartFiles(2, 0, 4, list));
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(SettingsRestartFiles(1, 0, 0, list));
    EXPECT_TRUE(list.empty());

    EXPECT_TRUE(SettingsSolveOutputFiles(1, 0, 4, 1, list));
    EXPECT_TRUE(FileSet(4, 1, 0).GetSolveOutputFiles(expected));
    EXPECT_EQ(list, expected);
    EXPECT_TRUE(SettingsSolveOutputFiles(1, 2, 4, 0, list));
    EXPECT_TRUE(FileSet(4, 1, 2).GetSolveOutputFiles(expected));
    EXPECT_EQ(list, expected);

    SettingsAllSolverFiles(2, 2, 0, list);
    SolverFileSet().AddAllSolverFiles(expected);
    EXPECT_EQ(list, expected);
}
