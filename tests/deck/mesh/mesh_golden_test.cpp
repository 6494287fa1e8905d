// The topology and element-group sections of the example cases against their reviewed
// golden files.
#include <gtest/gtest.h>

#include "mesh_case_support.h"
#include "tests/deck/deck_test_support.h"
#include "tests/golden_file.h"

namespace {

void Compare(const std::string& caseName, const std::string& section, const std::string& actual) {
    golden::ExpectText(decktest::CaseFolder(caseName) / ("expected-" + section + ".txt"), actual);
}

class MeshGolden : public ::testing::TestWithParam<const char*> {};

TEST_P(MeshGolden, SectionsMatchReviewedDeck) {
    meshtest::MeshCase c = meshtest::LoadCase(GetParam());
    const meshtest::Sections s = meshtest::WriteSections(c);
    ASSERT_EQ(s.code, 0);
    Compare(GetParam(), "topology", s.topology);
    Compare(GetParam(), "groups", s.groups);
}

INSTANTIATE_TEST_SUITE_P(Cases, MeshGolden,
                         ::testing::Values("mesh-single-hexa", "mesh-mixed-solids", "mesh-shell",
                                           "mesh-rigid", "mesh-line"));

}  // namespace
