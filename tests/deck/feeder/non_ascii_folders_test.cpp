// A case folder, its material library, the output model and the deck in folders whose names
// hold non-ASCII characters: the feeder meets them as wide text.
#include <gtest/gtest.h>

#include "caerep/core/cae_exception.h"
#include "feeder_test_support.h"
#include "platform/path_text.h"
#include "platform/text.h"

namespace {

namespace fs = std::filesystem;

TEST(NonAsciiFolders, CaseLibraryOutputModelAndDeckAreFound) {
    decktest::ScratchFolder scratch;
    const fs::path caseFolder = scratch.Path() / platform::PathFromWide(L"caf\u00E9/w\u00F6rk");
    const fs::path workFolder = scratch.Path() / platform::PathFromWide(L"\u00E9tude \u65E5\u672C");
    ASSERT_TRUE(platform::CreateFolders(caseFolder));
    ASSERT_TRUE(platform::CreateFolders(workFolder));
    for (const char* file : {"CAERep.xml", "MatML.xml", "host.json"})
        ASSERT_TRUE(platform::CopyFileTo(fs::path(DORVIX_SOURCE_DIR) / "examples" / "block" / file,
                                         caseFolder / file, true));

    const std::shared_ptr<HostSimCase> hostCase(LoadHostCase(caseFolder));
    ASSERT_TRUE(hostCase->materialLibrary);
    HostSim host(hostCase);
    const fs::path output = workFolder / "CAERepOutput.xml";
    {
        feedertest::FeederUnderTest feeder;
        feeder.UseDataSource(&host.DataSource());
        ASSERT_EQ(feeder.LoadCAERepresentation(platform::WideFromPath(hostCase->caeRepPath),
                                               platform::WideFromPath(output)),
                  0);
        ASSERT_EQ(feeder.ReadSolverRep(), kRC_Success);
        EXPECT_EQ(feeder.SetUpBodies(), kRC_Success);
        ASSERT_TRUE(platform::SetCurrentFolder(workFolder));
        feeder.OpenDeck();
        feeder.CloseDeckLines();
        feeder.PostHostMessage(L"Warning(s) found in solve generated files", L"Warning");
    }
    EXPECT_TRUE(platform::FileExists(workFolder / "dorvix.dat"));
    const std::string saved = decktest::ReadText(output);
    EXPECT_NE(saved.find("PostRep"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Warning(s) found in solve generated files"), std::string::npos);
}

TEST(NonAsciiFolders, AMissingModelIsReportedUnderItsOwnName) {
    decktest::ScratchFolder scratch;
    const fs::path missing = scratch.Path() / platform::PathFromWide(L"w\u00F6rk/CAERep.xml");
    feedertest::FeederUnderTest feeder;
    EXPECT_EQ(feeder.LoadCAERepresentation(platform::WideFromPath(missing), L""), kRC_ModelLoadFailed);
    ASSERT_TRUE(feeder.GetInputRoot()->getLastError());
    const std::wstring message = feeder.GetInputRoot()->getLastError()->getMessage();
    EXPECT_NE(message.find(L"w\u00F6rk/CAERep.xml"), std::wstring::npos) << platform::WideToUtf8(message);
}

}  // namespace
