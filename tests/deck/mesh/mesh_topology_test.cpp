// The topology section's progress, cancellation, units and refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <vector>

#include "deck/deck_file.h"
#include "deck/mesh/mesh_wrapper.h"
#include "deck/return_codes.h"
#include "hostsim/mesh_json.h"
#include "hostsim/mesh_object.h"
#include "mesh_case_support.h"
#include "runtime/progress.h"
#include "tests/deck/deck_test_support.h"

namespace {

// Records the stage percentages it is told and cancels at the report given.
struct RecordingProgress : IProgressCallback {
    std::vector<int> percents;
    int cancelAt = -1;
    int OnProgress(int, int percent, int) override {
        percents.push_back(percent);
        return static_cast<int>(percents.size()) - 1 == cancelAt ? 0 : 1;
    }
};

struct TopologyRun {
    int nodesCode = -1;
    int elementsCode = -1;
    std::string text;
};

TopologyRun WriteTopology(const std::string& meshJson, int meshUnits = 11, int deckUnits = 11) {
    std::shared_ptr<HostSimMesh> mesh(LoadMeshSection(nlohmann::json::parse(meshJson), "host.json:/mesh"));
    CMeshWrapper wrapper;
    EXPECT_EQ(wrapper.SetMesh(CreateHostSimMeshObject(mesh).Get()), S_OK);
    wrapper.SetMeshUnitSystem(meshUnits);
    wrapper.SetDeckUnitSystem(deckUnits);
    decktest::ScratchFolder scratch;
    decktest::FakeOwner owner;
    TopologyRun run;
    {
        DorvixDeckFile deck(&owner);
        EXPECT_EQ(deck.Open("dorvix.dat"), 0);
        deck.WriteLine("!-- start --");
        run.nodesCode = wrapper.WriteNodes(&deck);
        if (run.nodesCode == 0) run.elementsCode = wrapper.WriteElements(&deck);
        deck.CloseDeck();
    }
    run.text = decktest::ReadText(scratch.Path() / "dorvix.dat");
    run.text = run.text.substr(run.text.find("!-- start --\n") + 13);
    return run;
}

std::string Block(int nx, int ny, int nz) {
    return R"({"blocks": [{"element": "hexa8", "cells": [)" + std::to_string(nx) + "," + std::to_string(ny) +
           "," + std::to_string(nz) + R"(], "part": 1, "body": 1, "firstNode": 1, "firstElement": 1}]})";
}

// Lines after ".NOE" up to the end of the text.
int CountNodeLines(const std::string& text) {
    const std::size_t start = text.find(".NOE\n");
    return start == std::string::npos
               ? -1
               : static_cast<int>(std::count(text.begin() + start + 5, text.end(), '\n'));
}

TEST(Topology, NodeProgressMovesFrom5To25) {
    RecordingProgress small;
    {
        ScopedProgressCallback scope(&small);
        ASSERT_EQ(WriteTopology(Block(1, 1, 1)).nodesCode, 0);  // 8 nodes: step 20
    }
    EXPECT_EQ(small.percents, std::vector<int>{5});

    RecordingProgress large;
    {
        ScopedProgressCallback scope(&large);
        ASSERT_EQ(WriteTopology(Block(9, 9, 39)).nodesCode, 0);  // 4,000 nodes: every 100
    }
    ASSERT_EQ(large.percents.size(), 40u);
    EXPECT_EQ(large.percents[1], 5);    // node 100: 5.5
    EXPECT_EQ(large.percents[2], 6);    // node 200: 6.0
    EXPECT_EQ(large.percents[39], 24);  // node 3,900: 24.5
}

TEST(Topology, CancellationStopsTheNodeBlock) {
    RecordingProgress cancel;
    cancel.cancelAt = 1;
    TopologyRun run;
    {
        ScopedProgressCallback scope(&cancel);
        run = WriteTopology(Block(9, 9, 39));
    }
    EXPECT_EQ(run.nodesCode, kRC_Cancelled);
    EXPECT_EQ(CountNodeLines(run.text), 101);  // nodes 0 to 100, then the stop
    EXPECT_EQ(run.text.find(".MAI"), std::string::npos);
}

TEST(Topology, UnitsLinesOnlyAndWhatIsMissing) {
    const char* lines = R"({"nodes": [[1, 0.5, 0, 0], [2, 1, 0, 0]], "elements": [[1, 18, [1, 2]]],
                            "parts": [{"id": 1, "bodies": [{"id": 5, "elements": [1]}]}]})";
    TopologyRun same = WriteTopology(lines);
    ASSERT_EQ(same.elementsCode, 0);
    EXPECT_NE(same.text.find("         1    5.000000000E-001"), std::string::npos) << same.text;
    EXPECT_TRUE(same.text.ends_with(".MAI\n")) << same.text;  // a beam writes no element line

    TopologyRun millimetres = WriteTopology(lines, 11, 6);
    EXPECT_NE(millimetres.text.find("         1    5.000000000E+002"), std::string::npos) << millimetres.text;

    CMeshWrapper wrapper;
    EXPECT_EQ(wrapper.WriteNodes(nullptr), kRC_MissingData);
    EXPECT_EQ(wrapper.WriteElements(nullptr), kRC_MissingData);
    MeshElementCounts counts;
    EXPECT_EQ(wrapper.CountMeshElements(counts, CMeshWrapper::kBothOrders), E_FAIL);
    // Without a mesh the element lines cannot be counted, so they are refused, not left empty.
    decktest::ScratchFolder scratch;
    decktest::FakeOwner owner;
    DorvixDeckFile deck(&owner);
    ASSERT_EQ(deck.Open("dorvix.dat"), kRC_Success);
    EXPECT_EQ(wrapper.WriteElements(&deck), kRC_HostMeshRefused);
    EXPECT_TRUE(deck.CloseDeck());
}

TEST(Topology, CountsByOrderSelector) {
    std::shared_ptr<HostSimMesh> mesh(LoadMeshSection(nlohmann::json::parse(R"({
        "nodes": [[1,0,0,0],[2,1,0,0],[3,2,0,0],[4,3,0,0]],
        "elements": [[1, 18, [1, 2]], [2, 30, [1, 2, 3]], [3, 8, [1, 3, 2]], [4, 31, [1, 2, 3, 4]],
                     [5, 9, [1]], [6, 14, [1, 2, 3]], [7, 15, [1, 2, 3]]]})"),
                                                      "host.json:/mesh"));
    CMeshWrapper wrapper;
    ASSERT_EQ(wrapper.SetMesh(CreateHostSimMeshObject(mesh).Get()), S_OK);
    MeshElementCounts linear, quadratic, both;
    ASSERT_EQ(wrapper.CountMeshElements(linear, CMeshWrapper::kLinear), S_OK);
    ASSERT_EQ(wrapper.CountMeshElements(quadratic, CMeshWrapper::kQuadratic), S_OK);
    ASSERT_EQ(wrapper.CountMeshElements(both, 7), S_OK);
    EXPECT_EQ(linear.lines, 2);  // 2-node and 3-node lines
    EXPECT_EQ(quadratic.lines, 2);
    EXPECT_EQ(both.lines, 4);
    EXPECT_EQ(both.triangles, 1);  // the facet and the point element are never counted
    EXPECT_EQ(both.Total(), 5);
}

}  // namespace
