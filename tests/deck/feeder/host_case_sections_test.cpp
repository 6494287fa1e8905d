// The file-backed host's side of model load: the "selections" section and its resolver, and
// the mesh and material library a case folder brings along.
#include <gtest/gtest.h>

#include <filesystem>

#include "../deck_test_support.h"
#include "caerep/core/cae_database.h"
#include "caerep/core/cae_rep.h"
#include "hostsim/host_case.h"
#include "hostsim/json_reader.h"
#include "hostsim/mesh_model.h"
#include "hostsim/selection_resolver.h"
#include "platform/creation_registry.h"

namespace {

std::shared_ptr<HostSimCase> CaseFromJson(const std::string& json) {
    auto hostCase = std::make_shared<HostSimCase>();
    ReadHostJson(json, "host.json", *hostCase);
    return hostCase;
}

// The refusal's place and reason, or "accepted".
std::string Refusal(const std::string& json) {
    try {
        CaseFromJson(json);
    } catch (const HostCaseError& e) {
        return e.Place() + " | " + e.Reason();
    }
    return "accepted";
}

const char* kMeshWithFace = R"("mesh": {
    "nodes": [[1, 0, 0, 0], [2, 1, 0, 0], [3, 1, 1, 0], [4, 0, 1, 0], [5, 0, 0, 1], [6, 1, 0, 1], [7, 1, 1, 1], [8, 0, 1, 1]],
    "elements": [[1, 11, [1, 2, 3, 4, 5, 6, 7, 8]]],
    "parts": [{"id": 1, "bodies": [{"id": 10, "elements": [1]}]}],
    "geometry": [{"id": 100, "kind": "face", "body": 10, "faces": [[1, 4, 3, 2]]},
                 {"id": 102, "kind": "vertex", "body": 10, "node": 7}]
})";

}  // namespace

TEST(HostSelections, NodesComeFromTheListOrFromTheEntitiesInTheMesh) {
    const auto hostCase = CaseFromJson(std::string("{") + kMeshWithFace + R"(, "selections": [
        {"reference": "Bottom and corner", "entities": [{"reference": [100, 32], "bodyId": 10},
                                                        {"reference": [102, 8], "id": 3}]},
        {"reference": "Listed", "nodes": [8, 5, 8]},
        {"reference": "Nothing"}
    ]})");
    ASSERT_NE(hostCase->mesh, nullptr);
    ASSERT_EQ(hostCase->selections.size(), 3u);
    const HostSimSelection& derived = hostCase->selections[0];
    EXPECT_EQ(derived.reference, L"Bottom and corner");
    EXPECT_EQ(derived.nodes, (std::vector<int>{1, 2, 3, 4, 7}));
    ASSERT_EQ(derived.entities.size(), 2u);
    EXPECT_EQ(derived.entities[0].bodyId, 10);
    EXPECT_EQ(derived.entities[0].id, 0u);
    EXPECT_EQ(derived.entities[1].reference, (JXReference{102, 8}));
    EXPECT_EQ(derived.entities[1].id, 3u);
    EXPECT_EQ(hostCase->selections[1].nodes, (std::vector<int>{5, 8}));
    EXPECT_TRUE(hostCase->selections[2].nodes.empty());
}

TEST(HostSelections, BadSelectionsAreRefusedWithTheirPlace) {
    EXPECT_EQ(Refusal(R"({"selections": [{"reference": ""}]})"),
              "/selections/0/reference | must not be empty");
    EXPECT_EQ(Refusal(R"({"selections": [{"reference": "A"}, {"reference": "A"}]})"),
              "/selections/1/reference | reference text used twice");
    EXPECT_EQ(Refusal(R"({"selections": [{"reference": "A", "nodes": [3, 0]}]})"),
              "/selections/0/nodes/1 | node numbers are positive");
    EXPECT_EQ(
        Refusal(R"({"selections": [{"reference": "A", "entities": [{"reference": [1, 32], "id": -2}]}]})"),
        "/selections/0/entities/0/id | must not be negative");
    EXPECT_EQ(
        Refusal(std::string("{") + kMeshWithFace +
                R"(, "selections": [{"reference": "A", "entities": [{"reference": [555, 32]}]}]})"),
        "/selections/0 | entity 555 is no geometric entity of the mesh; give the selection's \"nodes\"");
    EXPECT_EQ(Refusal(R"({"selections": [{"entities": []}]})").rfind("/selections/0", 0), 0u);
}

TEST(HostSelections, TheResolverAnswersOnlyOnceItHasAModel) {
    const auto hostCase = CaseFromJson(R"({"selections": [{"reference": "A", "nodes": [2, 1]}]})");
    ComPtr<ISelectionResolver> resolver = CreateHostSimSelectionResolver(hostCase);
    ASSERT_TRUE(resolver);
    ResolvedSelection selection;
    selection.nodes = {99};
    EXPECT_EQ(resolver->Resolve(L"A", selection), E_UNEXPECTED);
    EXPECT_TRUE(selection.nodes.empty());

    NCAERep::CCAEDatabase database;
    EXPECT_EQ(resolver->SetRoot(nullptr), E_POINTER);
    EXPECT_EQ(resolver->SetRoot(database.getRoot()), S_OK);
    EXPECT_EQ(resolver->Resolve(L"A", selection), S_OK);
    EXPECT_EQ(selection.nodes, (std::vector<int>{1, 2}));
    EXPECT_EQ(resolver->Resolve(L"B", selection), S_FALSE);
}

TEST(HostSelections, TheResolverIsFoundByItsClassIdWhileRegistered) {
    const auto hostCase = CaseFromJson(R"({"selections": [{"reference": "A"}]})");
    {
        auto registration = RegisterHostSimSelectionResolver(hostCase);
        ComPtr<ISelectionResolver> resolver;
        ASSERT_EQ(CoCreateInstance(CLSID_SelectionResolver, resolver), S_OK);
        ASSERT_TRUE(resolver);
        ComPtr<IUnknown> aggregated;
        IUnknown* outer = resolver.Get();
        EXPECT_EQ(CoCreateInstance(CLSID_SelectionResolver, outer, CLSCTX_ALL, IID_IUnknown,
                                   aggregated.ReleaseAndGetVoidAddress()),
                  CLASS_E_NOAGGREGATION);
    }
    EXPECT_FALSE(IsComponentClassRegistered(CLSID_SelectionResolver));
}

TEST(HostCaseFolder, BringsItsMeshAndMaterialLibrary) {
    decktest::ScratchFolder scratch;
    decktest::WriteText(scratch.Path() / "CAERep.xml", R"(<CAERep CAEType="object" Type="CAERep" Id="1"/>)");
    decktest::WriteText(scratch.Path() / "host.json", std::string("{") + kMeshWithFace + "}");
    auto bare = LoadHostCase(scratch.Path());
    EXPECT_NE(bare->mesh, nullptr);
    EXPECT_EQ(bare->mesh->NodeCount(), 8u);
    EXPECT_FALSE(bare->materialLibrary);

    std::filesystem::copy_file(decktest::CaseFolder("materials-elastic") / "MatML.xml",
                               scratch.Path() / "MatML.xml");
    EXPECT_TRUE(LoadHostCase(scratch.Path())->materialLibrary);
}

TEST(HostCaseFolder, ABadMeshOrLibraryRefusesTheCase) {
    decktest::ScratchFolder scratch;
    decktest::WriteText(scratch.Path() / "CAERep.xml", R"(<CAERep CAEType="object" Type="CAERep" Id="1"/>)");
    decktest::WriteText(scratch.Path() / "host.json", R"({"mesh": {"nodes": [[1, 0, 0, 0], [1, 1, 0, 0]]}})");
    try {
        LoadHostCase(scratch.Path());
        ADD_FAILURE() << "a node number used twice was accepted";
    } catch (const HostCaseError& e) {
        EXPECT_EQ(e.File(), (scratch.Path() / "host.json").string());
        EXPECT_EQ(e.Place().rfind("/mesh/nodes", 0), 0u) << e.what();
    }

    decktest::WriteText(scratch.Path() / "host.json", "{}");
    decktest::WriteText(scratch.Path() / "MatML.xml", "<MatML_Doc><Material>");
    try {
        LoadHostCase(scratch.Path());
        ADD_FAILURE() << "a broken material library was accepted";
    } catch (const HostCaseError& e) {
        EXPECT_EQ(e.File(), (scratch.Path() / "MatML.xml").string());
        EXPECT_FALSE(e.Reason().empty());
    }
}
