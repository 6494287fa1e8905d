// The default XML document and binary record of every settings class, kept under
// tests/data/settings as golden files (tests/golden_file.h). They were produced by the code and
// checked by hand element by element and byte by byte; these tests read each one back and
// write it again unchanged.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "settings_test_support.h"
#include "tests/golden_file.h"

namespace {

struct GoldenCase {
    const char* name;
    std::function<std::unique_ptr<DorvixSolutionSettings>()> make;
};

const std::vector<GoldenCase>& Cases() {
    static const std::vector<GoldenCase> cases = {
        {"static_mechanical", [] { return std::make_unique<DorvixStaticMechanicalSettings>(); }},
        {"transient_mechanical", [] { return std::make_unique<DorvixTransientMechanicalSettings>(); }},
        {"static_thermal", [] { return std::make_unique<DorvixStaticThermalSettings>(); }},
        {"transient_thermal", [] { return std::make_unique<DorvixTransientThermalSettings>(); }},
        {"harmonic_mechanical", [] { return std::make_unique<DorvixHarmonicMechanicalSettings>(); }},
        {"modal_mechanical", [] { return std::make_unique<DorvixModalMechanicalSettings>(); }},
        {"buckling_mechanical", [] { return std::make_unique<DorvixBucklingMechanicalSettings>(); }},
    };
    return cases;
}

std::filesystem::path GoldenPath(const char* name, const char* extension) {
    return std::filesystem::path(DORVIX_TEST_DATA) / "settings" / (std::string(name) + extension);
}

std::string ReadText(const std::filesystem::path& path) { return golden::ReadBytes(path).value_or(""); }

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    const std::string text = ReadText(path);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST(GoldenFiles, DefaultsWriteTheGoldenFiles) {
    for (const GoldenCase& c : Cases()) {
        auto settings = c.make();
        golden::ExpectText(GoldenPath(c.name, ".xml"), settings_test::WriteXmlText(*settings));
        const std::vector<std::uint8_t> bytes = settings_test::SaveBytes(*settings);
        golden::ExpectText(GoldenPath(c.name, ".bin"), std::string(bytes.begin(), bytes.end()));
    }
}

TEST(GoldenFiles, GoldenFilesReadBackAndWriteAgainUnchanged) {
    for (const GoldenCase& c : Cases()) {
        const std::string xml = ReadText(GoldenPath(c.name, ".xml"));
        const std::vector<std::uint8_t> bytes = ReadBytes(GoldenPath(c.name, ".bin"));
        ASSERT_FALSE(xml.empty()) << c.name;
        ASSERT_FALSE(bytes.empty()) << c.name;

        // Start from changed values so that reading has to restore every default.
        auto fromXml = c.make();
        auto fromBytes = c.make();
        for (DorvixSolutionSettings* s : {fromXml.get(), fromBytes.get()}) {
            auto* files = s->GetControlsAs<DorvixSolverFileControls>(kSolverFileControlsTag);
            ASSERT_NE(files, nullptr);
            files->SetResultFile(L"changed.res");
            files->SetSolverUnits(3);
        }
        ASSERT_EQ(settings_test::ReadXmlText(*fromXml, xml), S_OK) << c.name;
        EXPECT_EQ(settings_test::WriteXmlText(*fromXml), xml) << c.name;
        ASSERT_EQ(settings_test::ResumeBytes(*fromBytes, bytes), S_OK) << c.name;
        EXPECT_EQ(settings_test::SaveBytes(*fromBytes), bytes) << c.name;
    }
}

}  // namespace
