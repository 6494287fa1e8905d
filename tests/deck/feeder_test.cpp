// A feeder's answers before any model, load cases or steps, step end times, and where its messages go.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "caerep/core/cae_rep.h"
#include "deck/coord_system_from_rep.h"
#include "deck/dorvix_feeder.h"
#include "platform/files.h"
#include "platform/text.h"
#include "runtime/return_package.h"
#include "settings/settings_factory.h"
#include "settings/solver_file_controls.h"
#include "settings/step_controls_list.h"
#include "tests/deck/feeder/feeder_test_support.h"

using TestFeeder = feedertest::FeederUnderTest;

TEST(Feeder, FreshFeederAnswers) {
    TestFeeder feeder(1);
    EXPECT_FALSE(feeder.IsBucklingAnalysis());
    EXPECT_FALSE(feeder.IsPrestressedStatic());
    EXPECT_FALSE(feeder.HasPrestress());
    EXPECT_EQ(feeder.GetNumberOfSteps(), 1);
    EXPECT_EQ(feeder.GetDeckUnitSystem(), -1);
    EXPECT_EQ(feeder.GetModelUnitSystem(), -1);
    EXPECT_FALSE(feeder.IsPrestressedModalIntent());
    EXPECT_FALSE(feeder.UsesLargeDeformation());
    EXPECT_FALSE(feeder.IsTransientAnalysis());
    std::string text = "x";
    EXPECT_EQ(feeder.GetNamedOption("begin_commands", text), 0);
    EXPECT_TRUE(text.empty());
    double end = -1;
    EXPECT_EQ(feeder.GetStepEndTime(1, end), kRC_MissingStepValue);
    EXPECT_EQ(end, -1);
}

TEST(Feeder, UseLoadCases) {
    TestFeeder thermal(4);
    thermal.UseSettings(kStaticAnalysis, kThermalPhysics, 1);
    EXPECT_FALSE(thermal.UseLoadCases());

    TestFeeder oneStep(1);
    oneStep.UseSettings(kStaticAnalysis, kMechanicalPhysics, 1);
    EXPECT_TRUE(oneStep.UseLoadCases());
    oneStep.SetNonLinearFlag(1);
    EXPECT_FALSE(oneStep.UseLoadCases());

    TestFeeder threeSteps(1);
    threeSteps.UseSettings(kStaticAnalysis, kMechanicalPhysics, 3);
    EXPECT_FALSE(threeSteps.UseLoadCases());
    threeSteps.GetSettings()
        ->GetControlsAs<DorvixSolverFileControls>(kSolverFileControlsTag)
        ->SetFutureAnalysisType(kSaveFilesForPrestressedModalAnalysis);
    EXPECT_TRUE(threeSteps.IsPrestressedModalIntent());
    EXPECT_TRUE(threeSteps.UseLoadCases());

    TestFeeder transient(1);
    transient.UseSettings(kTransientAnalysis, kMechanicalPhysics, 1);
    EXPECT_TRUE(transient.IsTransientAnalysis());
    EXPECT_FALSE(transient.UseLoadCases());
}

TEST(Feeder, StepEndTimes) {
    TestFeeder feeder(1);
    feeder.UseSettings(kStaticAnalysis, kMechanicalPhysics, 2);
    double end = -1;
    EXPECT_EQ(feeder.GetStepEndTime(2, end), kRC_Success);
    EXPECT_EQ(end, 2.0);
    end = -1;
    EXPECT_EQ(feeder.GetStepEndTime(3, end), kRC_MissingStepValue);
    EXPECT_EQ(end, -1);
}

TEST(Feeder, PostedMessagesReachTheOutputAndAreSavedEvenWithoutClose) {
    const std::filesystem::path out = std::filesystem::temp_directory_path() / "deck_feeder_output.xml";
    std::filesystem::remove(out);
    {
        feedertest::ModelCase model("model-parameters");
        TestFeeder feeder(1);
        ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), platform::WideFromPath(out)), kRC_Success);
        feeder.OpenDeckObject();
        feeder.PostHostMessage(L"Warning(s) found in solve generated files", L"Warning");
        EXPECT_TRUE(feeder.WasMessagePosted());
        EXPECT_EQ(feeder.GetOutputRoot()->getChildrenByType(L"Message").size(), 1u);
    }  // destroyed as after an exception: the message is saved
    ASSERT_TRUE(std::filesystem::exists(out));
    std::ifstream in(out);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Warning(s) found in solve generated files"), std::string::npos);
    std::filesystem::remove(out);
}

// A model refused at load answers 44 and says why, in the output the host reads, even though
// the solve ends before any deck.
TEST(Feeder, AModelRefusedAtLoadSaysWhyInTheOutput) {
    struct Row {
        const char* caseName;
        bool withResolver;
        const wchar_t* model;  // instead of the case's own
        const wchar_t* reason;
    };
    const Row rows[] = {
        {"struct-linear-static", true, L"/no/such/CAERep.xml",
         L"The model cannot be loaded: file /no/such/CAERep.xml: the file does not exist"},
        {"model-malformed", true, nullptr, L": malformed XML at byte "},
        {"model-no-solver", true, nullptr,
         L"The model cannot be loaded: it has no solver object (SolverRep)"},
        {"struct-linear-static", false, nullptr,
         L"The model cannot be loaded: the host has no selection resolver"},
    };
    decktest::ScratchFolder scratch;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caseName);
        const std::filesystem::path out = scratch.Path() / "output.xml";
        std::filesystem::remove(out);
        {
            feedertest::ModelCase model(row.caseName, row.withResolver);
            TestFeeder feeder(1);
            EXPECT_EQ(feeder.LoadCAERepresentation(row.model ? row.model : model.ModelPath(),
                                                   platform::WideFromPath(out)),
                      kRC_ModelLoadFailed);
            const std::vector<std::wstring> errors = feedertest::ErrorTexts(feeder);
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_NE(errors[0].find(row.reason), std::wstring::npos) << platform::WideToUtf8(errors[0]);
        }
        std::string saved;
        ASSERT_TRUE(platform::ReadWholeFile(out, saved));
        EXPECT_NE(saved.find("The model cannot be loaded: "), std::string::npos) << saved;
    }
}

// Messages whose output file cannot be written (a full disk, a folder that went) reach the host
// through the package at the close, after one that says why.
TEST(Feeder, MessagesThatCannotBeSavedReachTheHostThroughThePackage) {
    decktest::ScratchFolder scratch;
    const std::filesystem::path out = scratch.Path() / "gone" / "output.xml";
    feedertest::ModelCase model("model-parameters");
    ReturnPackage package;
    TestFeeder feeder(1);
    feeder.UseSolveArguments(&model.DataSource(), &package);
    ASSERT_EQ(feeder.LoadCAERepresentation(model.ModelPath(), platform::WideFromPath(out)), kRC_Success);
    feeder.PostHostMessage(L"The solver run failed: no room", L"Error");
    int code = kRC_FileNotCreated;
    feeder.Close(code);
    std::vector<BstrHolder> texts;
    package.GetMessages(texts);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].Str().rfind(L"Error: the messages of the solve are not saved: cannot write " +
                                       platform::WideFromPath(out),
                                   0),
              0u)
        << platform::WideToUtf8(texts[0].Str());
    EXPECT_EQ(texts[1].Str(), L"Error: The solver run failed: no room");
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(CoordSystemFromRep, OtherObjectsGiveTheGlobalFrame) {
    EXPECT_EQ(ReadCoordSystemFromRep(nullptr), CoordSystemSafe());
    TestFeeder feeder(1);
    EXPECT_EQ(ReadCoordSystemFromRep(feeder.GetInputRoot()), CoordSystemSafe());
}
