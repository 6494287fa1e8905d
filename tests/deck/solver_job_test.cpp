// The solver job: driver text and module chain of each analysis, the command line, and memory sizing.
#include "deck/solver_job.h"

#include <gtest/gtest.h>

#include "deck_test_support.h"

using decktest::FakeOwner;

TEST(SolverModules, DriverChainAndResultDescriptionPerAnalysis) {
    using Mode = StructuralRunMode;
    struct Case {
        const char* name;
        int kind, nonLinear;
        bool prestressed, buckling;
        int steps;
        bool modalIntent;
        const char* driver;
        const char* chain;
        const wchar_t* module;
        const char* description;
        Mode mode;  // of the structural rows
    };
    const Case cases[] = {
        {"linear static", 1, 0, false, false, 1, false, "INPUT.alin \"dorvix.dat\"\n.FIN 1\n", "ba,as", L"as",
         "dorvix_as.des", Mode::kLinear},
        {"non-linear", 1, 1, true, false, 1, false, "INPUT.mcnl \"dorvix.dat\"\n.FIN 1\n", "ba,me", L"me",
         "dorvix_me.des", Mode::kNonLinear},
        {"two-pass", 1, 0, true, false, 1, false,
         "INPUT.alin_1 \"dorvix.dat\"\n.FIN 1\nINPUT.alin_2 \"dorvix.dat\"\n.FIN 1\n", "ba,as,ba,as", L"as",
         "dorvix_as.des", Mode::kPrestressedTwoPasses},
        {"two-pass for modal", 1, 0, true, false, 3, true,
         "INPUT.alin_1 \"dorvix.dat\"\n.FIN 1\nINPUT.alin_2 \"dorvix.dat\"\n.FIN 1\n", "ba,as,ba,as", L"as",
         "dorvix_as.des", Mode::kPrestressedTwoPasses},
        {"prestressed multi-step", 1, 0, true, false, 3, false, "INPUT.alin \"dorvix.dat\"\n.FIN 1\n",
         "ba,as", L"as", "dorvix_as.des", Mode::kPrestressedOnePass},
        {"buckling", 2, 0, false, true, 1, false, "INPUT.flamb \"dorvix.dat\"\n.FIN 1\n", "ba,st", L"st",
         "dorvix_st.des", Mode::kLinear},
        {"modal", 2, 0, false, false, 1, false, "INPUT.vibra \"dorvix.dat\"\n.FIN 1\n", "ba,dy", L"dy",
         "dorvix_dy.des", Mode::kLinear},
        {"thermal", 4, 1, false, false, 1, false, "INPUT.mcnlth \"dorvix.dat\"\n.FIN 1\n", "ba,mt", L"mt",
         "dorvix_mt.des", Mode::kLinear},
        {"unknown kind", 3, 0, false, false, 1, false, ".FIN 1\n", "", L"", "", Mode::kLinear},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeOwner owner;
        owner.kind = c.kind;
        owner.nonLinear = c.nonLinear;
        owner.prestressedStatic = c.prestressed;
        owner.buckling = c.buckling;
        owner.steps = c.steps;
        owner.modalIntent = c.modalIntent;
        const SolverModulePlan plan = PlanSolverModules(owner);
        EXPECT_EQ(BuildDriverText(plan, "dorvix.dat"), c.driver);
        EXPECT_EQ(plan.chain, c.chain);
        EXPECT_EQ(plan.moduleName, c.module);
        EXPECT_EQ(ResultDescriptionFile(plan), c.description);
        if (c.kind == 1) {
            EXPECT_EQ(ChooseStructuralRunMode(owner), c.mode);
        }
    }
}

TEST(SolverCommand, TextAndArguments) {
    EXPECT_EQ(BuildSolverCommandText("/opt/dvx", "ba,as"), "\"/opt/dvx/Dorvix.exe\" \"ba,as\" dorvix n 1 ");
    EXPECT_EQ(BuildSolverCommandText("/opt/dvx", ""), "\"/opt/dvx/Dorvix.exe\"dorvix n 1 ");
    EXPECT_EQ(BuildSolverArguments("/opt/dvx", "ba,as"),
              (std::vector<std::string>{"/opt/dvx/Dorvix.exe", "ba,as", "dorvix", "n", "1"}));
    EXPECT_EQ(BuildSolverArguments("/opt/dvx", ""),
              (std::vector<std::string>{"/opt/dvx/Dorvix.exe", "dorvix", "n", "1"}));
}

TEST(SolverMemory, AutomaticSizingFromPhysicalMemory) {
    constexpr std::uint64_t MB = 1048576;
    SolverMemory m = ComputeSolverMemory(300, 512 * MB, 0, 0, 0);  // limit 179.2 MB
    EXPECT_EQ(m.core, 22375000);
    EXPECT_EQ(m.zone, 44750000);
    EXPECT_EQ(m.dbram, 50);
    m = ComputeSolverMemory(300, 4096 * MB, 0, 0, 0);
    EXPECT_EQ(m.core, 37500000);
    EXPECT_EQ(m.zone, 75000000);
    EXPECT_EQ(m.dbram, 50);
    // A request within the physical limit is kept as it is.
    m = ComputeSolverMemory(100, 512 * MB, 0, 0, 0);
    EXPECT_EQ(m.core, 12500000);
    // Large machines and large requests: 64-bit sizes, limited to 500 MB.
    m = ComputeSolverMemory(100000, 256ull * 1024 * MB, 0, 0, 0);
    EXPECT_EQ(m.core, 62500000);
    EXPECT_EQ(m.zone, 125000000);
    EXPECT_EQ(m.dbram, 50);
    // Unknown physical memory leaves the default size.
    m = ComputeSolverMemory(300, 0, 0, 0, 0);
    EXPECT_EQ(m.core, 37500000);
    EXPECT_EQ(m.zone, 75000000);
}

TEST(SolverMemory, DeckMemoryMode) {
    SolverMemory m = ComputeSolverMemory(300, 0, 1, 0, 200);
    EXPECT_EQ(m.core, 25000000);
    EXPECT_EQ(m.zone, 50000000);
    EXPECT_EQ(m.dbram, 50);
    m = ComputeSolverMemory(300, 0, 1, 0, 0);
    EXPECT_EQ(m.core, 37500000);
    EXPECT_EQ(m.zone, 75000000);
    m = ComputeSolverMemory(300, 0, 1, 100, 300);
    EXPECT_EQ(m.core, 37500000);
    EXPECT_EQ(m.zone, 12500000);
    EXPECT_EQ(m.dbram, 100);
    m = ComputeSolverMemory(300, 0, 1, 30000, 1);  // 0.4 % rounds up to the minimum
    EXPECT_EQ(m.dbram, 1);
    m = ComputeSolverMemory(300, 0, 1, 40000, 40000);  // no 32-bit overflow
    EXPECT_EQ(m.zone, 5000000000);
}
