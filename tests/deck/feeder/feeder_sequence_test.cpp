// The shared sections after the model (miscellaneous, run and result options, RETURN) and the
// solve and close steps, on the block example opened as the analysis feeders open it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "../deck_test_support.h"
#include "feeder_test_support.h"
#include "runtime/return_package.h"
#include "settings/output_controls.h"
#include "settings/settings_types.h"

using feedertest::CaseRun;
using Lines = std::vector<std::string>;

namespace {

const std::string kRule = "!---------------------------------------";

Lines Join(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A feeder whose run carries a prestress, as the eigen feeder's does.
class PrestressedFeeder : public feedertest::FeederUnderTest {
  public:
    bool HasPrestress() override { return true; }
};

struct UnitCase {
    int deckUnitSystem;
    Lines unitLines;
    std::string referenceTemperature;
};

void PrintTo(const UnitCase& c, std::ostream* os) { *os << "deck unit system " << c.deckUnitSystem; }

class MiscellaneousUnits : public ::testing::TestWithParam<UnitCase> {};

}  // namespace

// The reference temperature comes in degrees Celsius (22) and is written in the deck's unit.
TEST_P(MiscellaneousUnits, WritesTheUnitLinesGroupsAndReferenceTemperature) {
    const UnitCase& c = GetParam();
    CaseRun run;
    run.Case().deckUnitSystem = c.deckUnitSystem;
    ASSERT_EQ(run.LoadAndOpen(), kRC_Success);
    ASSERT_EQ(run.feeder.WriteMiscellaneous(), kRC_Success);
    EXPECT_EQ(run.feeder.CloseDeckLines(),
              Join(Join({kRule, "! Miscellaneous", kRule}, c.unitLines),
                   {".SEL GROUP 1 MAILLES TOUT NOM \"ALL_ELEMENTS\"",
                    ".SEL GROUP 2 NOEUD TOUT NOM \"ALL_NODES\"", ".GEL TEMP " + c.referenceTemperature}));
}

INSTANTIATE_TEST_SUITE_P(DeckUnitSystems, MiscellaneousUnits,
                         ::testing::Values(UnitCase{11, {".UNIT SI"}, "295.15"},
                                           UnitCase{11 | 0x1000, {".UNIT SI", ".UNIT CELSIUS"}, "22."},
                                           UnitCase{6, {".UNIT MM", ".UNIT KELVIN"}, "295.15"},
                                           UnitCase{5, {".UNIT CM", ".UNIT KELVIN"}, "295.15"},
                                           UnitCase{7, {"! TODO tbdowner BFT units.", ".UNIT FAH"}, "71.6"},
                                           UnitCase{10, {".UNIT LENGTH 0.000001", ".UNIT KELVIN"}, "295.15"},
                                           UnitCase{9, {".UNIT KELVIN"}, "295.15"}),
                         [](const ::testing::TestParamInfo<UnitCase>& info) {
                             return "System" + std::to_string(info.param.deckUnitSystem);
                         });

TEST(Miscellaneous, NeedsTheReferenceTemperatureUnlessPrestressed) {
    CaseRun run;
    run.Case().referenceTemperature.reset();
    ASSERT_EQ(run.LoadAndOpen(), kRC_Success);
    EXPECT_EQ(run.feeder.WriteMiscellaneous(), kRC_MissingData);
}

TEST(Miscellaneous, APrestressedRunWritesNoWholeModelGroupsNorTemperature) {
    CaseRun run;
    PrestressedFeeder feeder;
    feeder.UseDataSource(run.feeder.GetDataSource());
    run.Case().referenceTemperature.reset();
    ASSERT_EQ(feeder.LoadCAERepresentation(platform::WideFromPath(run.Case().caeRepPath), L""), kRC_Success);
    ASSERT_EQ(feeder.Open(), kRC_Success);
    ASSERT_EQ(feeder.WriteMiscellaneous(), kRC_Success);
    EXPECT_EQ(feeder.CloseDeckLines(), (Lines{kRule, "! Miscellaneous", kRule, ".UNIT SI"}));
}

namespace {

const Lines kShortResultTypes = {" STYPE 3310 3331 3332 3320 3411 3431 3435 3436 $",
                                 " 3437 3438 3439 3440 3450 1320 1411 1431 1435 $", " 1436 1439 1440 1450 $"};
const Lines kNonLinearResultTypes = {
    " -1441 -1442 -1443 -1451 $", " -1452 -1453 -1407 -1408 -1409 -1417 -1418 -1419 $",
    " -1447 -1448 -1449 -1457 -1458 -1459 -1477 -1478 $", " -1479 -1487 -1488 -1489 $"};
const Lines kResultBanner = {kRule, "! Result Options", kRule, "! - Standard Codes",
                             ".SAI ARCHIVE STRUCTURE $"};

class RunOptions : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(run_.LoadAndOpen(), kRC_Success);
        title_ = "TITRE \"DORVIX job created on " + run_.feeder.GetDeckFile()->GetCreationDate() + " \"";
    }
    DorvixOutputControls& Output() {
        auto* output = run_.feeder.GetSettings()->GetStepControlsAs<DorvixOutputControls>(
            1, kStepOutputControlsSelector);
        EXPECT_NE(output, nullptr);
        return *output;
    }
    CaseRun run_;
    std::string title_;
};

}  // namespace

TEST_F(RunOptions, LinearRunWithResultOptions) {
    Output().SetOutputRequested(2, false);
    ASSERT_EQ(run_.feeder.WriteRunOptions(true), kRC_Success);
    EXPECT_EQ(
        run_.feeder.CloseDeckLines(),
        Join(Join(Join({kRule, "! Run Options", kRule, ".DVX NOP1 -2 NOP2 0 NOP3 0 NOP4 0 NOP5 -1 NOP6 -1",
                        ".DVX MF 1", ".OPT METHODE 3", ".ALGO ERRC 1", title_},
                       kResultBanner),
                  kShortResultTypes),
             {" 223 224"}));
}

// Strain output adds its codes; a contact pair with contact output asked adds the contact line.
TEST_F(RunOptions, NonLinearRunWithStrainAndContactOutput) {
    run_.feeder.SetNonLinearFlag(1);
    Output().SetOutputRequested(2, true);
    Output().SetOutputRequested(3, true);
    ASSERT_TRUE(Output().IsOutputRequested(2) && Output().IsOutputRequested(3));
    run_.Case().contacts = ContactList{{ContactRegionRecord{}}};
    ASSERT_EQ(run_.feeder.WriteRunOptions(true), kRC_Success);
    EXPECT_EQ(run_.feeder.CloseDeckLines(),
              Join(Join(Join(Join(Join({kRule, "! Run Options", kRule,
                                        ".DVX NOP1 -2 NOP2 0 NOP3 0 NOP4 0 NOP5 -1 NOP6 -1", ".OPT METHODE 3",
                                        title_},
                                       kResultBanner),
                                  kShortResultTypes),
                             kNonLinearResultTypes),
                        {" 1421 1423 1425 1452 1453 $", " 223 224"}),
                   {".SAI ARCHIV STRUCT STYPE 1305 1306 1307"}));
}

TEST_F(RunOptions, ContactOutputWithoutContactPairsWritesNoContactLine) {
    Output().SetOutputRequested(3, true);
    run_.Case().contacts = ContactList{};
    ASSERT_EQ(run_.feeder.WriteRunOptions(true), kRC_Success);
    const Lines lines = run_.feeder.CloseDeckLines();
    EXPECT_EQ(lines.back(), " 223 224");
}

TEST_F(RunOptions, ResultOptionsNeedTheContactRecord) {
    run_.Case().contacts.reset();
    EXPECT_EQ(run_.feeder.WriteRunOptions(false), kRC_Success);
    EXPECT_EQ(run_.feeder.WriteRunOptions(true), kRC_MissingData);
}

TEST(WriteReturn, EndsTheDeckWithARuleAndReturn) {
    CaseRun run;
    ASSERT_EQ(run.LoadAndOpen(), kRC_Success);
    ASSERT_EQ(run.feeder.WriteReturn(), kRC_Success);
    EXPECT_EQ(run.feeder.CloseDeckLines(), (Lines{kRule, "RETURN"}));
}

namespace {

// An input-only solve: the deck is written, nothing runs, and close copies it for the host.
class InputOnlyClose : public ::testing::Test {
  protected:
    void SetUp() override {
        target_ = run_.Folder() / "requested.dat";
        SolveJobRecord& job = run_.Case().solveJob.emplace();
        job.inputOnly = true;
        job.copyTargetPath = platform::WideFromPath(target_);
        run_.feeder.UseSolveArguments(run_.feeder.GetDataSource(), &package_);
        ASSERT_EQ(run_.LoadAndOpen(), kRC_Success);
        deckPath_ = run_.feeder.GetDeckFile()->GetWorkingFolder() / "dorvix.dat";
        ASSERT_EQ(run_.feeder.WriteReturn(), kRC_Success);
    }
    CaseRun run_;
    ReturnPackage package_;
    std::filesystem::path target_;
    std::filesystem::path deckPath_;
};

}  // namespace

TEST_F(InputOnlyClose, CopiesTheWrittenDeckAndStartsNoSolver) {
    int code = run_.feeder.Solve();
    ASSERT_EQ(code, kRC_Success);
    run_.feeder.Close(code);
    EXPECT_FALSE(platform::FileExists(deckPath_.parent_path() / "dummy.dat"));
    ASSERT_TRUE(platform::FileExists(target_));
    EXPECT_EQ(decktest::ReadText(target_), decktest::ReadText(deckPath_));
    EXPECT_EQ(run_.feeder.GetDeckFile(), nullptr);
    int result = -1;
    unsigned bits = 1;
    int error = -1;
    ASSERT_EQ(package_.GetStatus(result, bits, error), 0);
    EXPECT_EQ(result, kRC_Success);
    EXPECT_EQ(bits, 0u);
}

// A failed solve leaves the host's earlier file as it was rather than replace it with a cut deck.
TEST_F(InputOnlyClose, AFailedRunKeepsTheTargetFile) {
    decktest::WriteText(target_, "earlier deck\n");
    int code = kRC_MissingData;
    run_.feeder.Close(code);
    EXPECT_EQ(decktest::ReadText(target_), "earlier deck\n");
    int result = -1;
    unsigned bits = 1;
    int error = -1;
    ASSERT_EQ(package_.GetStatus(result, bits, error), 0);
    EXPECT_EQ(result, kRC_MissingData);
}

// A copy that cannot be made fails the solve with 3 and an error naming the target; the target
// keeps what it was.
TEST(InputOnlyCopy, AFailedCopyIsNoSuccess) {
    const std::pair<const char*, void (*)(const std::filesystem::path&)> targets[] = {
        {"a FIFO", [](const std::filesystem::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }},
        {"a folder",
         [](const std::filesystem::path& p) { ASSERT_TRUE(platform::CreateFolders(p / "kept")); }},
        {"a read-only file", [](const std::filesystem::path& p) {
             decktest::WriteText(p, "earlier deck\n");
             std::filesystem::permissions(p, std::filesystem::perms::owner_read);
         }}};
    for (const auto& [what, make] : targets) {
        SCOPED_TRACE(what);
        CaseRun run;
        ReturnPackage package;
        const std::filesystem::path target = run.Folder() / "requested.dat";
        make(target);
        SolveJobRecord& job = run.Case().solveJob.emplace();
        job.inputOnly = true;
        job.copyTargetPath = platform::WideFromPath(target);
        run.feeder.UseSolveArguments(run.feeder.GetDataSource(), &package);
        ASSERT_EQ(run.LoadAndOpen(), kRC_Success);
        ASSERT_EQ(run.feeder.WriteReturn(), kRC_Success);
        const auto before = std::filesystem::symlink_status(target).type();
        int code = run.feeder.Solve();
        run.feeder.Close(code);
        int result = -1, error = -1;
        unsigned bits = 1;
        ASSERT_EQ(package.GetStatus(result, bits, error), 0);
        EXPECT_EQ(code, kRC_FileNotCreated);
        EXPECT_EQ(result, kRC_FileNotCreated);
        const std::vector<std::wstring> errors = feedertest::ErrorTexts(run.feeder);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(
            errors[0].rfind(L"The deck cannot be copied to " + platform::WideFromPath(target) + L": ", 0),
            0u);
        EXPECT_EQ(std::filesystem::symlink_status(target).type(), before);
        if (before == std::filesystem::file_type::regular) {
            EXPECT_EQ(decktest::ReadText(target), "earlier deck\n");
        }
    }
}

// Only the spans whose marks were taken are logged: a run stopped before the solve measured
// neither the deck's writing time nor the solve.
TEST(Close, TrackResultsAppendsTheRunToTheResultsLog) {
    const struct {
        int code;
        bool solved;
        std::vector<std::string> timings;
    } rows[] = {
        {kRC_Success,
         true,
         {"Time to write Dorvix input file    = ", "Time to solve                      = ",
          "Time to do POST, (read XML)        = ", "Total Time                         = "}},
        {kRC_MissingData, false, {"Total Time                         = "}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.solved ? "solved" : "stopped before the solve");
        CaseRun run;
        run.Case().namedOptions["TRACK RESULTS"] = "1";
        ASSERT_EQ(run.LoadAndOpen(), kRC_Success);
        const std::filesystem::path log = run.feeder.GetDeckFile()->GetWorkingFolder() / "DORVIXResults.log";
        decktest::WriteText(log, "earlier run\n");
        if (row.solved) {
            // No solver folder: the solve ends at once, but its start and end were marked.
            platform::ScopedEnvironmentVariable noSolver("DVX_EXE", std::nullopt);
            (void)run.feeder.Solve();
        }
        int closeCode = row.code;
        run.feeder.Close(closeCode);
        const Lines lines = decktest::ReadLines(log);
        ASSERT_EQ(lines.size(), 8u + row.timings.size());
        EXPECT_EQ(lines[0], "earlier run");
        EXPECT_EQ(lines[1].rfind("The current time is ", 0), 0u);
        EXPECT_EQ(lines[2].rfind("Size of dorvix.dat (input file)    = ", 0), 0u);
        EXPECT_EQ(lines[3], "Number of Nodes                    = 0.");
        for (std::size_t i = 0; i < row.timings.size(); ++i) {
            const std::string& line = lines[5 + i];
            ASSERT_EQ(line.rfind(row.timings[i], 0), 0u) << line;
            ASSERT_TRUE(line.ends_with(" seconds.")) << line;
            const double seconds = std::stod(line.substr(row.timings[i].size()));
            EXPECT_GE(seconds, 0.0) << line;
            EXPECT_LT(seconds, 600.0) << line;
        }
        EXPECT_EQ(lines[5 + row.timings.size()],
                  row.code == kRC_Success
                      ? "See solve.out and dorvix.out for more detail on DORVIX solution times."
                      : "The problem did not solve correctly.  See solve.out and dorvix.out for more info.");
    }
}

TEST(Close, TrackResultsOtherThanOneWritesNoLog) {
    CaseRun run;
    run.Case().namedOptions["TRACK RESULTS"] = "2";
    ASSERT_EQ(run.LoadAndOpen(), kRC_Success);
    const std::filesystem::path folder = run.feeder.GetDeckFile()->GetWorkingFolder();
    int code = kRC_Success;
    run.feeder.Close(code);
    EXPECT_FALSE(platform::FileExists(folder / "DORVIXResults.log"));
}
