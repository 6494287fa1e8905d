// Remote loads on rigid and deformable points, their repaired group names, and scoping selections by kind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "deck/deck_counters.h"
#include "deck/mesh/mesh_scoping.h"
#include "writer_case_support.h"

namespace {

using Lines = std::vector<std::string>;

constexpr JXReference kFace{101, kJXReferenceFace};
constexpr JXReference kEdge{102, kJXReferenceEdge};
constexpr JXReference kVertex{103, 0x8};

RemotePointRecord Record(int id, int behaviour, int locationKind, int node) {
    RemotePointRecord r;
    r.id = id;
    r.behaviour = behaviour;
    r.locationKind = locationKind;
    r.node = node;
    r.x = 0.5, r.y = 0.5, r.z = 2.0;
    std::strcpy(r.dofMask, "123456");
    return r;
}

JXReferenceList Scoping(std::initializer_list<JXReference> references) {
    JXReferenceList list;
    for (const JXReference& r : references) list.Add(r);
    return list;
}

bool HasLine(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class RemoteLoadTest : public writertest::WriterTest {
  protected:
    void SetUp() override { Load("remote-load"); }
};

TEST_F(RemoteLoadTest, RigidOnAnExistingNodeAndDeformableOnANewOne) {
    RemotePointRecord rigid = Record(1, RemotePointRecord::kRigid, RemotePointRecord::kExistingNode, 7);
    ASSERT_EQ(feeder_->WriteRemoteLoad(rigid, L"Remote Force", Scoping({kFace})), kRC_Success);
    EXPECT_EQ(GetDeckCounters().selectionGroup, 1);
    RemotePointRecord deformable = Record(2, 1, 0, 0);
    ASSERT_EQ(feeder_->WriteRemoteLoad(deformable, L"Remote Displacement", Scoping({kFace})), kRC_Success);
    EXPECT_EQ(GetDeckCounters().selectionGroup, 5);
    EXPECT_EQ(deformable.node, 9);
    ExpectGoldenDeckLines("remote-load", "expected-remote.txt");
}

TEST_F(RemoteLoadTest, ANameTheDeckRefusesFallsBackToTheRecordId) {
    RemotePointRecord rigid = Record(3, RemotePointRecord::kRigid, RemotePointRecord::kExistingNode, 7);
    ASSERT_EQ(feeder_->WriteRemoteLoad(rigid, L"Pilot-1", Scoping({kFace})), kRC_Success);
    RemotePointRecord deformable = Record(4, 5, RemotePointRecord::kExistingNode, 7);
    ASSERT_EQ(feeder_->WriteRemoteLoad(deformable, L"All faces", Scoping({kFace})), kRC_Success);
    const Lines lines = DeckLines();
    EXPECT_TRUE(HasLine(lines, ".SEL GROUP 1 NOEUDS NOM \"RP_3\""));
    EXPECT_TRUE(HasLine(lines, ".MCC I /EID MEAN BLOC \"RP_4\" OPT 1"));
}

TEST_F(RemoteLoadTest, AScopingWithoutNodesOrFacesIs25AndNamesThePoint) {
    RemotePointRecord rigid = Record(5, RemotePointRecord::kRigid, RemotePointRecord::kExistingNode, 7);
    EXPECT_EQ(feeder_->WriteRemoteLoad(rigid, L"Empty", JXReferenceList{}), kRC_MissingData);
    RemotePointRecord deformable = Record(6, 1, RemotePointRecord::kExistingNode, 7);
    EXPECT_EQ(feeder_->WriteRemoteLoad(deformable, L"On a vertex", Scoping({kVertex})), kRC_MissingData);
    EXPECT_TRUE(feeder_->WasMessagePosted());
    EXPECT_EQ(GetDeckCounters().selectionGroup, 0);
    EXPECT_TRUE(DeckLines().empty());
}

// The case's edge lies on its hexahedron only, and an edge of a solid element is none of its
// faces: the deformable point and the face selection are refused, each with a message that
// names it and the edge, and nothing is written.
TEST_F(RemoteLoadTest, AnEdgeOfASolidElementIsRefusedNamingTheRegionAndTheEdge) {
    RemotePointRecord deformable = Record(6, 1, RemotePointRecord::kExistingNode, 7);
    EXPECT_EQ(feeder_->WriteRemoteLoad(deformable, L"Bolt", Scoping({kFace, kEdge})), kRC_MissingData);
    int group = 0;
    EXPECT_EQ(feeder_->WriteScopingSelection(Scoping({kEdge}), 2, "RIM", &group), kE_SolidElementEdge);
    const std::vector<std::wstring> errors = feedertest::ErrorTexts(*feeder_);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[0].find(L"\"Bolt\" holds the edge 102,"), std::wstring::npos);
    EXPECT_NE(errors[1].find(L"\"RIM\" holds the edge 102,"), std::wstring::npos);
    EXPECT_EQ(GetDeckCounters().selectionGroup, 1);  // the selection's number only
    EXPECT_TRUE(DeckLines().empty());
}

// Names that become one identifier once repaired, or whose groups' names another group has,
// take the point's id; the groups of a name cut to its length keep room for it.
TEST_F(RemoteLoadTest, RepairedNamesThatCollideTakeThePointsId) {
    int group = 0;
    ASSERT_EQ(feeder_->WriteScopingSelection(Scoping({kFace}), 0, "WASHER_POINT", &group), S_OK);
    const std::pair<int, const wchar_t*> points[] = {{7, L"Bolt.2"},
                                                     {8, L"Bolt-2"},
                                                     {9, L"bolt 2"},
                                                     {10, L"Washer"},
                                                     {11, L"A long name of thirty-two chars!"},
                                                     {12, L"A long name of thirty-two chars?"}};
    for (const auto& [id, name] : points) {
        RemotePointRecord deformable = Record(id, 1, RemotePointRecord::kExistingNode, 7);
        ASSERT_EQ(feeder_->WriteRemoteLoad(deformable, name, Scoping({kFace})), kRC_Success) << id;
    }
    // A second point 8 finds both forms of its name taken: refused before anything of it.
    RemotePointRecord again = Record(8, 1, RemotePointRecord::kExistingNode, 7);
    EXPECT_EQ(feeder_->WriteRemoteLoad(again, L"Bolt 2", Scoping({kFace})), kRC_MissingData);
    EXPECT_EQ(
        feedertest::ErrorTexts(*feeder_),
        std::vector<std::wstring>{
            L"The remote point \"Bolt 2\" cannot get group names that no other group of the deck has."});
    Lines blocks;
    for (const std::string& line : DeckLines())
        if (line.rfind(".MCC", 0) == 0) blocks.push_back(line);
    EXPECT_EQ(blocks,
              (Lines{".MCC I /EID MEAN BLOC \"BOLT_2\" OPT 1", ".MCC I /EID MEAN BLOC \"BOLT_2_8\" OPT 1",
                     ".MCC I /EID MEAN BLOC \"BOLT_2_9\" OPT 1", ".MCC I /EID MEAN BLOC \"WASHER_10\" OPT 1",
                     ".MCC I /EID MEAN BLOC \"A_LONG_NAME_OF_THIRTY_TWO_CHARS_\" OPT 1",
                     ".MCC I /EID MEAN BLOC \"A_LONG_NAME_OF_THIRTY_TWO_CHA_12\" OPT 1"}));
}

TEST_F(RemoteLoadTest, ScopingSelectionsOfFacesNodesAndElements) {
    const JXReferenceList faces = Scoping({kFace});
    int group = 0;
    ASSERT_EQ(feeder_->WriteScopingSelection(faces, 2, "TOP", &group), S_OK);
    EXPECT_EQ(group, 1);
    ASSERT_EQ(feeder_->WriteScopingSelection(Scoping({kFace, kVertex}), 0, "N_TOP", &group), S_OK);
    EXPECT_EQ(group, 2);
    ASSERT_EQ(feeder_->WriteScopingSelection(faces, 1, "E_TOP", &group), S_OK);
    EXPECT_EQ(DeckLines(), (Lines{".SEL GROUP 1 FACES NOM \"TOP\"", "  MAILLE 1 FACE 1",
                                  ".SEL GROUP 2 NOEUDS NOM \"N_TOP\"", "  I 1 2 3 4 7",
                                  ".SEL GROUP 3 MAILLES NOM \"E_TOP\"", "  I 1"}));
}

TEST_F(RemoteLoadTest, ARefusedScopingSelectionWritesNothing) {
    int group = 0;
    EXPECT_EQ(feeder_->WriteScopingSelection(JXReferenceList{}, 0, "X", &group), E_FAIL);
    EXPECT_EQ(feeder_->WriteScopingSelection(Scoping({kFace}), 0, nullptr, &group), E_FAIL);
    EXPECT_EQ(feeder_->WriteScopingSelection(Scoping({kFace}), 0, "X", nullptr), E_FAIL);
    EXPECT_EQ(GetDeckCounters().selectionGroup, 0);
    // A vertex has no element face: the group number is spent, the group not written.
    EXPECT_TRUE(FAILED(feeder_->WriteScopingSelection(Scoping({kVertex}), 2, "X", &group)));
    EXPECT_EQ(group, 1);
    EXPECT_TRUE(DeckLines().empty());
}

}  // namespace
