// The file lists the solver object hands the host, built in the host's string list.

#include "addin/solver_file_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "addin/jx_dorvix_solver.h"
#include "host/string_table.h"
#include "hostsim/components.h"
#include "platform/creation_registry.h"

namespace {

// Asks for a list and reads it back through the host list's own interface.
class FileListQuery : public ::testing::Test {
  protected:
    std::vector<std::wstring> Read(HRESULT (CJXDorvixSolver::*query)(int, int, int, IDispatch**), int physics,
                                   int analysis, int intent) {
        ComPtr<IDispatch> list;
        EXPECT_EQ(((*solver_).*query)(physics, analysis, intent, list.ReleaseAndGetAddressOf()), S_OK);
        return Items(list);
    }
    static std::vector<std::wstring> Items(const ComPtr<IDispatch>& list) {
        std::vector<std::wstring> items;
        ComPtr<IHostStringList> host = list.As<IHostStringList>();
        EXPECT_TRUE(host);
        if (!host) return items;
        int count = 0;
        EXPECT_EQ(host->GetCount(count), S_OK);
        for (int i = 0; i < count; ++i) {
            std::wstring text;
            EXPECT_EQ(host->GetItem(i, text), S_OK);
            items.push_back(text);
        }
        return items;
    }
    static int Occurrences(const std::vector<std::wstring>& names, const std::wstring& name) {
        return static_cast<int>(std::count(names.begin(), names.end(), name));
    }

    ScopedComponentClass stringList_{CLSID_HostStringList, CreateStringListComponent};
    ComPtr<CJXDorvixSolver> solver_ = MakeComObject<CJXDorvixSolver>();
};

}  // namespace

// The restart files join the file groups only for a mechanical static run kept for a prestressed
// modal one; any other triple gives the groups without them. Either list holds each name once,
// in the host's order. (Which files these are is checked against what solves leave, in
// jx_dorvix_solver_test.cpp.)
TEST_F(FileListQuery, GroupsAddRestartFilesOnlyForAStaticRunKeptForPrestressedModal) {
    const std::vector<std::wstring> kept = Read(&CJXDorvixSolver::GetFileGroups, 1, 0, 4);
    const std::vector<std::wstring> restart = Read(&CJXDorvixSolver::GetRestartFiles, 1, 0, 4);
    ASSERT_FALSE(restart.empty());
    EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end(), &FileNameLess));
    EXPECT_EQ(std::adjacent_find(kept.begin(), kept.end()), kept.end());
    for (const auto& other : {std::vector<int>{2, 0, 4}, {1, 5, 4}, {1, 0, 0}}) {
        const std::vector<std::wstring> names =
            Read(&CJXDorvixSolver::GetFileGroups, other[0], other[1], other[2]);
        EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), &FileNameLess));
        std::set<std::wstring> joined(names.begin(), names.end());
        joined.insert(restart.begin(), restart.end());
        EXPECT_EQ(joined, std::set<std::wstring>(kept.begin(), kept.end()));
        EXPECT_EQ(Occurrences(names, L"dorvix_1.u04"), 0);
        EXPECT_EQ(Read(&CJXDorvixSolver::FileManagementStub6, other[0], other[1], other[2]), names);
    }
    EXPECT_EQ(Read(&CJXDorvixSolver::FileManagementStub6, 1, 0, 4), kept);
}

TEST_F(FileListQuery, RestartFilesAreEmptyUnlessKeptForPrestressedModal) {
    const std::vector<std::wstring> restart = Read(&CJXDorvixSolver::GetRestartFiles, 1, 0, 4);
    EXPECT_TRUE(std::is_sorted(restart.begin(), restart.end(), &FileNameLess));
    EXPECT_EQ(Occurrences(restart, L"dorvix_me.u18"), 1);
    EXPECT_TRUE(Read(&CJXDorvixSolver::GetRestartFiles, 1, 2, 4).empty());
    EXPECT_TRUE(Read(&CJXDorvixSolver::GetRestartFiles, 1, 0, 0).empty());
}

TEST_F(FileListQuery, WithoutTheHostListEveryQueryFails) {
    ASSERT_EQ(UnregisterComponentClass(CLSID_HostStringList), S_OK);
    IDispatch* list = nullptr;
    EXPECT_EQ(solver_->GetSolverFiles(&list), E_FAIL);
    EXPECT_EQ(solver_->GetFileGroups(1, 0, 4, &list), E_FAIL);
    EXPECT_EQ(solver_->GetRestartFiles(1, 0, 0, &list), E_FAIL);
    EXPECT_EQ(list, nullptr);
}

// Letters compare without regard to case; only names equal but for case fall back to codes.
TEST(FileNameOrder, IgnoresCaseFirstThenBreaksTiesByCode) {
    EXPECT_TRUE(FileNameLess(L"dorvix.sdb", L"DORVIXResults.log"));
    EXPECT_TRUE(FileNameLess(L"dorvix_as.des", L"DORVIXResults.log"));
    EXPECT_FALSE(FileNameLess(L"DORVIXResults.log", L"dorvix.sdb"));
    EXPECT_TRUE(FileNameLess(L"DORVIX.sdb", L"dorvix.sdb"));
    EXPECT_FALSE(FileNameLess(L"dorvix.sdb", L"dorvix.sdb"));
}
