// A case folder played by the simulated host: its data-source answers, its components, refused host.json.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_rep.h"
#include "host/string_table.h"
#include "host/units_service.h"
#include "hostsim/components.h"
#include "hostsim/host_sim.h"
#include "hostsim/json_reader.h"
#include "hostsim/mesh_model.h"
#include "hostsim/selection_resolver.h"
#include "platform/creation_registry.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/stream.h"

namespace {

namespace fs = std::filesystem;

fs::path BasicCase() { return fs::path(DORVIX_TEST_DATA) / "cases" / "host-basic"; }

TEST(HostSimCase, AnswersTheDataSourceFromTheCase) {
    HostSim host(BasicCase());
    const TRVDataSourceItf& source = host.DataSource();
    EXPECT_EQ(source.GetAnalysisKind(), 1);
    EXPECT_EQ(source.GetResultSetCount(), 2);
    EXPECT_EQ(source.GetDeckUnitSystem(), 6);
    EXPECT_EQ(source.GetModelValue(), 3);
    EXPECT_EQ(source.GetProgressCallback(), nullptr);
    ASSERT_TRUE(source.GetReferenceTemperature());
    EXPECT_EQ(source.GetReferenceTemperature()->temperature, 22.0);

    const SolveJobRecord* job = source.GetSolveJob();
    ASSERT_TRUE(job);
    EXPECT_EQ(job->geometryAttachFile, L"PartsAssembly.bin");
    EXPECT_EQ(job->memory.coreMemory, 512);
    ASSERT_TRUE(job->GetInitialCondition());
    EXPECT_EQ(job->GetInitialCondition()->kind, 2);
    EXPECT_EQ(job->GetInitialCondition()->velocityZ, -2.5);
    EXPECT_EQ(job->GetInitialCondition()->scoping.parallelIds.front(), 7u);
    EXPECT_EQ(job->GetInitialCondition()->GetSource(), nullptr);

    const HostObjectTable* table = source.GetObjectTypeTable();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->stepCount, 2);
    ASSERT_TRUE(table->FindById(12));
    EXPECT_EQ(table->FindById(12)->GetReferenceKind(), 2);
    EXPECT_EQ(table->FindById(13)->load.loadClass, HostLoadRecord::Class::kPointMass);
    EXPECT_EQ(table->FindById(13)->load.inertia[2], 3.0);
    EXPECT_EQ(table->FindById(99), nullptr);

    ASSERT_TRUE(source.GetContactPairs());
    EXPECT_EQ(source.GetContactPairs()->GetCount(), 1);
    EXPECT_EQ(source.GetContactPairs()->regions[0].target.references[0].id, 201);
    EXPECT_EQ(source.GetNamedSelections().at(0).name, "Top Faces");
    EXPECT_EQ(source.GetBodies().size(), 2u);
    EXPECT_EQ(source.GetBodies()[1].thickness, 0.01);
    EXPECT_EQ(source.GetSprings().at(0).meshReference.kind, 0x200000u);
    ASSERT_EQ(source.GetCoordinateSystems().size(), 1u);
    EXPECT_EQ(source.GetCoordinateSystems()[0].frame.GetType(), 1);
    EXPECT_EQ(source.GetCommandSnippets().at(0).key, 3);

    std::string text;
    EXPECT_EQ(source.GetNamedOption("skip endtime check", text), 1);
    EXPECT_EQ(text, "1");
    EXPECT_EQ(source.GetNamedOption("track times", text), 0);

    ComPtr<IUnknown> thermal;
    EXPECT_EQ(source.GetHostObject(111, thermal.ReleaseAndGetAddressOf()), S_OK);
    EXPECT_TRUE(thermal.As<IHostObject>());
    EXPECT_EQ(source.GetHostObject(112, thermal.ReleaseAndGetAddressOf()), S_FALSE);
    IStream* stream = reinterpret_cast<IStream*>(1);
    EXPECT_EQ(source.GetNodeConstraintStream(&stream), S_FALSE);
    EXPECT_EQ(stream, nullptr);
}

TEST(HostSimCase, RegistersItsComponentsForItsLifetime) {
    {
        HostSim host(BasicCase());
        ComPtr<IHostUnitsService> units;
        ASSERT_EQ(CoCreateInstance(CLSID_HostUnitsService, units), S_OK);
        int solver = 0;
        EXPECT_EQ(units->TranslateUnitSystem(1, solver), S_OK);
        EXPECT_EQ(solver, 6);
        EXPECT_EQ(units->TranslateUnitSystem(5, solver), S_FALSE);
        ComPtr<IHostStringList> list;
        ASSERT_EQ(CoCreateInstance(CLSID_HostStringList, list), S_OK);
        ASSERT_EQ(list->Add(BstrHolder(L"dorvix.dat").Get()), S_OK);
        std::wstring item;
        EXPECT_EQ(list->GetItem(0, item), S_OK);
        EXPECT_EQ(item, L"dorvix.dat");
        EXPECT_EQ(list->GetItem(1, item), E_INVALIDARG);
    }
    ComPtr<IHostStringTable> table;
    EXPECT_EQ(CoCreateInstance(CLSID_HostStringTable, table), REGDB_E_CLASSNOTREG);
}

// The node values of an open description come from the file opened, even when another file, with
// the same set lines, is named after it.
TEST(HostSimCase, AnOpenResultDescriptionAnswersFromTheFileOpened) {
    const fs::path folder = platform::CreateUniqueTemporaryFolder("dorvix-hostsim-results-");
    auto description = [&](const char* name, const char* value) {
        const std::string text = std::string(
                                     "DORVIX-RESULT-DESCRIPTION 1\nmodule mt\nkind time\nsets 1\n"
                                     "set 1 0.5 1 1\n  1 ") +
                                 value + "\nend\n";
        EXPECT_TRUE(platform::WriteFileReplacing(folder / name, text));
        return platform::WideFromPath(folder / name);
    };
    const std::wstring opened = description("dorvix_mt.des", "22");
    const std::wstring named = description("dorvix_other.des", "40");
    ComPtr<IHostResultReader> reader = CreateHostSimResultReader();
    ASSERT_TRUE(reader);
    ASSERT_EQ(reader->SetResultFile(opened), S_OK);
    ASSERT_EQ(reader->OpenDatabase(), S_OK);
    ASSERT_EQ(reader->SetResultFile(named), S_OK);
    HostNodeValueRequest request;
    request.setNumber = 1;
    request.nodes = {1};
    HostNodeValues values;
    EXPECT_EQ(reader->GetNodeValues(request, values), S_OK);
    EXPECT_EQ(values.values, std::vector<double>{22.0});
    EXPECT_TRUE(platform::DeleteFolderTree(folder));
}

// The message of a refused host.json: file, JSON pointer, reason.
std::string Refusal(const std::string& json) {
    HostSimCase hostCase;
    try {
        ReadHostJson(json, "case/host.json", hostCase);
    } catch (const HostCaseError& e) {
        return e.Place() + " | " + e.Reason();
    }
    return "accepted";
}

TEST(HostSimCase, MalformedHostJsonNamesThePlaceAndTheReason) {
    EXPECT_EQ(Refusal(R"({"partCount": "two"})"), "/partCount | expected an integer");
    EXPECT_EQ(Refusal(R"({"bodies": [{"bodyId": 1, "bodyMeshId": 0}]})"),
              "/bodies/0/bodyMeshId | must not be 0");
    EXPECT_EQ(Refusal(R"({"bodies": [{"bodyId": 1}]})"), "/bodies/0 | missing member \"bodyMeshId\"");
    EXPECT_EQ(Refusal(R"({"contacts": [{"type": 9}]})"), "/contacts/0/type | contact type must be 1 to 5");
    EXPECT_EQ(Refusal(R"({"coordinateSystems": [{"id": 1, "frameNumber": -1}]})"),
              "/coordinateSystems/0/frameNumber | a frame number is 0 or more");
    EXPECT_EQ(Refusal(R"({"namedSelections": [{"references": [[1, 32]], "ids": [1, 2]}]})"),
              "/namedSelections/0/ids | needs one id per reference");
    EXPECT_EQ(Refusal(R"({"namedSelections": [{"references": [[1, -32]]}]})"),
              "/namedSelections/0/references/0/1 | expected a non-negative kind word");
    EXPECT_EQ(Refusal(R"({"namedOptions": {"a/b": 3}})"), "/namedOptions/a~1b | expected a string");
    EXPECT_EQ(Refusal(R"({"objects": [{"id": 1, "properties": {"x": 2}}]})"),
              "/objects/0/properties/x | the key must be an integer");
    EXPECT_EQ(Refusal(R"({"hostObjects": {"111": 5}})"), "/hostObjects/111 | names no object of \"objects\"");
    EXPECT_EQ(Refusal(R"({"solveJob": {"inputOnly": true}})"),
              "/solveJob | an input-only job needs \"copyTargetPath\"");
    EXPECT_EQ(
        Refusal(R"({"objectTable": {"records": [{"id": 1, "hostType": 4}, {"id": 1, "hostType": 4}]}})"),
        "/objectTable/records/1/id | object id used twice");
    EXPECT_EQ(Refusal(R"({"snippets": [{"key": 1, "step": 0}]})"),
              "/snippets/0/step | step must be -1 (every step) or from 1");
    EXPECT_EQ(Refusal("[1, 2]"), "/ | expected an object at the top level");
    EXPECT_EQ(Refusal(R"({"partCount": 1,})").substr(0, 5), "byte ");
    EXPECT_EQ(Refusal("{}"), "accepted");
}

// A host without contacts hands an empty list; only null stands for no list at all.
TEST(HostSimCase, ContactListEmptyWhenAbsentAndNoneWhenNull) {
    HostSimCase absent;
    ReadHostJson("{}", "case/host.json", absent);
    ASSERT_TRUE(absent.contacts);
    EXPECT_EQ(absent.contacts->GetCount(), 0);
    HostSimCase none;
    ReadHostJson(R"({"contacts": null})", "case/host.json", none);
    EXPECT_FALSE(none.contacts);
}

// An earlier solve's results are in the unit system its source names, else in this case's
// deck unit system.
TEST(HostSimCase, AnEarlierSolveIsInTheDeckUnitSystemUnlessItsSourceNamesOne) {
    const std::pair<const char*, int> cases[] = {{R"({"fileName": "a.des"})", 8},
                                                 {R"({"fileName": "a.des", "unitSystem": 4107})", 4107}};
    for (const auto& [source, system] : cases) {
        HostSimCase read;
        ReadHostJson(
            std::string(R"({"deckUnitSystem": 8, "solveJob": {"initialCondition": {"kind": 1, "source": )") +
                source + "}}}",
            "case/host.json", read);
        ASSERT_TRUE(read.solveJob && read.solveJob->GetInitialCondition()) << source;
        const InitialConditionSource* earlier = read.solveJob->GetInitialCondition()->GetSource();
        ASSERT_TRUE(earlier) << source;
        EXPECT_EQ(earlier->GetUnitSystem(), system) << source;
    }
    EXPECT_EQ(Refusal(R"({"solveJob": {"initialCondition": {"source": {"unitSystem": 65536}}}})"),
              "/solveJob/initialCondition/source/unitSystem | out of range");
}

TEST(HostSimCase, MeshBodiesAndIdsOutOfRangeAreRefusedAtTheirPlace) {
    const std::string mesh = R"({"mesh": {"nodes": [[1,0,0,0],[2,1,0,0],[3,2,0,0]],
                                          "elements": [[1, 18, [1, 2]], [2, 18, [2, 3]]],
                                          "parts": [{"id": 1, "bodies": )";
    const std::pair<std::string, std::string> cases[] = {
        {R"([{"id": 5, "elements": [2, 1, 2]}])", "/mesh/parts/0/bodies/0 | body 5 names element 2 twice"},
        {R"([{"id": 5, "elements": [1]}, {"id": 6, "elements": [2, 1]}])",
         "/mesh/parts/0/bodies/1 | element 1 of body 6 already belongs to body 5"},
        {R"([{"id": 18446744073709551615, "elements": [1]}])",
         "/mesh/parts/0/bodies/0/id | the integer is out of range"},
        {R"([{"id": 5, "elementRange": [1, 18446744073709551614]}])",
         "/mesh/parts/0/bodies/0/elementRange/1 | the integer is out of range"},
        {R"([{"id": 5, "elements": [1, 2]}])", "accepted"},
    };
    for (const auto& [bodies, refusal] : cases) EXPECT_EQ(Refusal(mesh + bodies + "}]}}"), refusal) << bodies;

    // A refused body leaves its elements free and its id unused for a later body of the mesh.
    HostSimMesh direct;
    direct.AddNode(1, 0, 0, 0);
    direct.AddNode(2, 1, 0, 0);
    direct.AddElement(1, 18, {1, 2});
    direct.AddPart(1);
    EXPECT_THROW(direct.AddBody(1, 5, {1, 1}), HostSimMeshError);
    ASSERT_NO_THROW(direct.AddBody(1, 5, {1}));
    EXPECT_EQ(direct.ElementBodyAt(0), 0);
    EXPECT_EQ(direct.Bodies().size(), 1u);
}

TEST(HostSimCase, NumbersBeyondTheDoubleRangeAreRefusedAtTheirPointer) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"partCount": 1e309})", "/partCount"},
        {R"({"mesh": {"nodes": [[1, 0, -1e400, 0]]}})", "/mesh/nodes/0/2"},
        {R"({"a~b": [1, {"c/d": [true, 2e308]}]})", "/a~0b/1/c~1d/1"},
    };
    for (const auto& [json, place] : cases) {
        const std::string refusal = Refusal(json);
        EXPECT_EQ(refusal.substr(0, refusal.find(" | ")), place) << json;
        EXPECT_NE(refusal.find("number overflow"), std::string::npos) << refusal;
    }
}

// A solid block of two cells and a sheet above it, a selection of the solid's x-max side that
// lists no nodes, and a geometry entity on an edge of the sheet.
const char* const kBlocks = R"("blocks": [{"element": "hexa8", "cells": [2, 1, 1], "part": 1, "body": 1},
    {"element": "shell4", "cells": [1, 1], "origin": [0, 0, 2], "part": 2, "body": 2}])";
const char* const kBlockSections =
    R"(, "selections": [{"reference": "Side", "entities": [{"reference": [102, 32]}]}],
    "geometry": {"entities": [{"id": 202, "type": "line", "point": [1, 0, 2], "direction": [0, 1, 0]}]}})";

std::vector<int> ResolvedNodes(const std::shared_ptr<const HostSimCase>& hostCase, const wchar_t* reference) {
    NCAERep::CCAEDatabase database;
    ComPtr<ISelectionResolver> resolver = CreateHostSimSelectionResolver(hostCase);
    ResolvedSelection selection;
    EXPECT_TRUE(resolver && resolver->SetRoot(database.getRoot()) == S_OK &&
                resolver->Resolve(reference, selection) == S_OK);
    return selection.nodes;
}

// Reading the case asks nothing that needs the blocks made; the first question makes them, and
// the case answers as one whose mesh was built when it was read.
TEST(HostSimCase, BlocksAloneAreGeneratedAtTheFirstQuestionAsTheyWouldBeAtOnce) {
    auto deferred = std::make_shared<HostSimCase>();
    auto built = std::make_shared<HostSimCase>();
    ReadHostJson(std::string(R"({"mesh": {)") + kBlocks + "}" + kBlockSections, "case/host.json", *deferred);
    // A listed member, even an empty one, has the mesh built when the case is read.
    ReadHostJson(std::string(R"({"mesh": {)") + kBlocks + R"(, "nodes": []})" + kBlockSections,
                 "case/host.json", *built);
    ASSERT_TRUE(deferred->mesh && deferred->geometry);
    EXPECT_FALSE(deferred->mesh.IsBuilt());
    EXPECT_TRUE(built->mesh.IsBuilt());
    EXPECT_TRUE(deferred->selections.at(0).nodes.empty());

    const std::vector<int> side = ResolvedNodes(deferred, L"Side");
    EXPECT_TRUE(deferred->mesh.IsBuilt());
    EXPECT_EQ(side, (std::vector<int>{3, 6, 9, 12}));
    EXPECT_EQ(side, ResolvedNodes(built, L"Side"));
    EXPECT_EQ(deferred->mesh->NodeCount(), built->mesh->NodeCount());

    // What answered before the blocks were made is what the mesh holds.
    const std::vector<HostSimMesh::GeneratedBlock>& outline = deferred->mesh.GeneratedBlocks();
    const std::vector<HostSimMesh::GeneratedBlock>& made = deferred->mesh->GeneratedBlocks();
    ASSERT_EQ(outline.size(), made.size());
    for (std::size_t b = 0; b < made.size(); ++b) {
        EXPECT_EQ(outline[b].bodyMeshId, made[b].bodyMeshId);
        EXPECT_EQ(outline[b].sheet, made[b].sheet);
        EXPECT_EQ(outline[b].firstEntityId, made[b].firstEntityId);
        EXPECT_EQ(outline[b].origin, made[b].origin);
    }
    for (int id = 100; id <= 206; ++id) {
        const HostSimMesh::GeometryEntity* entity = deferred->mesh->FindGeometry(id);
        const std::optional<HostSimMesh::GeometryKind> kind = deferred->mesh.GeometryKindOf(id);
        ASSERT_EQ(kind.has_value(), entity != nullptr) << id;
        if (entity) {
            EXPECT_EQ(*kind, entity->kind) << id;
        }
    }
}

// Blocks that would be refused are made when the case is read, so the case is refused then.
TEST(HostSimCase, BlocksThatWouldBeRefusedRefuseTheCaseWhenItIsRead) {
    const std::string first =
        R"({"mesh": {"blocks": [{"element": "hexa8", "cells": [1, 1, 1], "part": 1, "body": 1}, )";
    const std::pair<std::string, std::string> cases[] = {
        {first + R"({"element": "hexa8", "part": 1, "body": 2, "firstNode": 3, "cells": [1, 1, 1]}]}})",
         "/mesh/blocks/1 | node 3 is defined twice"},
        {first + R"({"element": "shell4", "part": 1, "body": 2, "firstElement": 1, "cells": [1, 1]}]}})",
         "/mesh/blocks/1 | element 1 is defined twice"},
        {first + R"({"element": "hexa8", "part": 1, "body": 104, "cells": [1, 1, 1]}]}})",
         "/mesh/blocks/1 | body id 104 is already used by a geometric face"},
        {first + R"({"element": "shell4", "part": 1, "body": 2, "firstEntity": 1, "cells": [1, 1]}]}})",
         "/mesh/blocks/1 | geometric face id 1 is already used by a body"},
        {first + R"({"element": "hexa8", "part": 1, "body": 2, "origin": [1e308, 0, 0], "size": [1e308, 1, 1],
                     "cells": [1, 1, 1]}]}})",
         "/mesh/blocks/1 | node 10 has a coordinate that is not a finite number"},
        {std::string(R"({"mesh": {)") + kBlocks +
             R"(}, "geometry": {"entities": [{"id": 202, "type": "plane", "point": [0, 0, 0], "normal": [0, 0, 1]}]}})",
         "/geometry/entities/0/type | the mesh holds entity 202 as an edge"},
        {first + R"({"element": "hexa8", "part": 1, "body": 2, "cells": [1, 1, 1]}]}})", "accepted"},
    };
    for (const auto& [json, refusal] : cases) EXPECT_EQ(Refusal(json), refusal) << json;
}

TEST(HostSimCase, MissingFilesAreRefusedWithTheirName) {
    const fs::path empty = fs::temp_directory_path() / "dorvix-hostsim-empty-case";
    fs::create_directories(empty);
    try {
        LoadHostCase(empty);
        ADD_FAILURE() << "a case without CAERep.xml was accepted";
    } catch (const HostCaseError& e) {
        EXPECT_EQ(fs::path(e.File()).filename(), "CAERep.xml");
    }
    fs::remove_all(empty);
}

}  // namespace
