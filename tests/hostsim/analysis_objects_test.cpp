// The simulated host's analysis-tree objects, their call log and project stream, and steps kept in host.json.
#include "hostsim/analysis_objects.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "foundation/jx_stream.h"
#include "host/analysis_host.h"
#include "hostsim/host_sim.h"
#include "hostsim/json_reader.h"
#include "hostsim/object_model.h"
#include "hostsim/project_stream.h"
#include "hostsim/step_write_back.h"

namespace {

// A tree with one object per member, and one bare object (99).
const char* const kTree = R"({"objects": [
  {"id": 1, "type": 423, "steps": 2, "stepLimit": 3},
  {"id": 2, "type": 431, "steps": 1},
  {"id": 3, "type": 546, "steps": 2},
  {"id": 4, "type": 416, "stepCount": 2, "stepLimit": 4},
  {"id": 5, "timeTable": [{"kind": 0, "times": [1, 2]}, {"kind": 4, "times": [0, 1]}]},
  {"id": 6, "contactRegion": {"kind": 3}},
  {"id": 7, "cyclicRegion": {"kind": 4, "suppressed": true}},
  {"id": 8, "loadObject": {"hostType": 554, "rows": 3, "scopedToBody": true}},
  {"id": 9, "loadsByKind": {"11": 8}},
  {"id": 10, "linkedObjectId": 99},
  {"id": 11, "body": {"suppressed": true}},
  {"id": 12, "material": {"nonlinearKinds": [1, 4]}},
  {"id": 99}]})";

std::shared_ptr<HostSimObjectModel> ReadTree(const std::string& text = kTree) {
    HostSimCase hostCase;
    ReadHostJson(text, "host.json", hostCase);
    return std::make_shared<HostSimObjectModel>(hostCase.objects);
}

template <class I>
ComPtr<I> Answer(const std::shared_ptr<HostSimObjectModel>& model, int id) {
    ComPtr<IUnknown> object = CreateHostSimObject(model, id);
    return object ? object.As<I>() : nullptr;
}

template <class Source>
HRESULT GetElementOf(const ComPtr<IUnknown>& object, pugi::xml_node& element) {
    ComPtr<Source> source = object.As<Source>();
    return source ? source->GetElement(element) : E_NOINTERFACE;
}

HRESULT GetElementThrough(const ComPtr<IUnknown>& object, int which, pugi::xml_node& element) {
    if (which == 1) return GetElementOf<IHostXmlElementSource>(object, element);
    if (which == 2) return GetElementOf<IHostXmlElementSource2>(object, element);
    return GetElementOf<IHostXmlElementSource3>(object, element);
}

std::uint32_t StepsOf(const HostSimObjectModel& model, int id) {
    HostSimObject o;
    return model.Get(id, o) && o.steps ? *o.steps : 0;
}

TEST(HostSimAnalysisObjects, AnswerAnInterfaceOnlyWhenTheEntryHasItsMember) {
    const auto model = ReadTree();
    struct Row {
        IID iid;
        std::vector<int> answering;
    };
    const Row rows[] = {
        {IID_IHostStepCarrier, {1, 2}},
        {IID_IHostStepRows, {3}},
        {IID_IHostStepCount, {4}},
        {IID_IHostTimeTableOwner, {5}},
        {IID_IHostContactRegion, {6}},
        {IID_IHostCyclicRegion, {7}},
        {IID_IHostLoadObject, {8}},
        {IID_IHostLoadFinder, {9}},
        {IID_IHostEnvironmentLink, {10}},
        {IID_IHostBodyState, {11}},
        {IID_IHostMaterialBehaviour, {12}},
        {IID_IHostAnalysisTime, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 99}},
    };
    for (const Row& row : rows) {
        for (int id : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 99}) {
            ComPtr<IUnknown> object = CreateHostSimObject(model, id);
            ComPtr<IUnknown> facet;
            const HRESULT hr = object->QueryInterface(row.iid, facet.ReleaseAndGetVoidAddress());
            const bool expected =
                std::find(row.answering.begin(), row.answering.end(), id) != row.answering.end();
            EXPECT_EQ(hr, expected ? S_OK : E_NOINTERFACE) << "object " << id;
            if (!facet) continue;
            // One identity behind every facet.
            ComPtr<IUnknown> identity;
            ASSERT_EQ(facet->QueryInterface(IID_IUnknown, identity.ReleaseAndGetVoidAddress()), S_OK);
            ComPtr<IUnknown> objectIdentity;
            ASSERT_EQ(object->QueryInterface(IID_IUnknown, objectIdentity.ReleaseAndGetVoidAddress()), S_OK);
            EXPECT_EQ(identity.Get(), objectIdentity.Get()) << "object " << id;
        }
    }
}

TEST(HostSimAnalysisObjects, StepObjectsTakeOnlyTheNextStepAndGiveUpOnlyTheLast) {
    const auto model = ReadTree();
    ComPtr<IHostStepCarrier> carrier = Answer<IHostStepCarrier>(model, 1);
    ComPtr<IHostStepRows> rows = Answer<IHostStepRows>(model, 3);
    ASSERT_TRUE(carrier && rows);
    struct Row {
        int object;
        bool add;
        std::uint32_t step;
        HRESULT expected;
        std::uint32_t stepsAfter;
    };
    const Row script[] = {
        {1, true, 2, E_INVALIDARG, 2},  {1, true, 4, E_INVALIDARG, 2},  {1, true, 3, S_OK, 3},
        {1, true, 4, E_INVALIDARG, 3},  // above the object's limit
        {1, false, 2, E_INVALIDARG, 3}, {1, false, 3, S_OK, 2},         {1, false, 2, S_OK, 1},
        {1, false, 1, S_OK, 0},         {1, false, 0, E_INVALIDARG, 0}, {3, true, 3, S_OK, 3},
        {3, false, 1, E_INVALIDARG, 3}, {3, false, 3, S_OK, 2},
    };
    for (const Row& row : script) {
        HRESULT hr = E_UNEXPECTED;
        if (row.object == 1) hr = row.add ? carrier->AddStep(row.step) : carrier->RemoveStep(row.step);
        if (row.object == 3) hr = row.add ? rows->InsertStepRow(row.step) : rows->DeleteStepRow(row.step);
        EXPECT_EQ(hr, row.expected) << row.object << (row.add ? " add " : " remove ") << row.step;
        EXPECT_EQ(StepsOf(*model, row.object), row.stepsAfter) << row.object << " step " << row.step;
    }
}

TEST(HostSimAnalysisObjects, StepCountIsKeptUnlessZeroOrAboveTheLimit) {
    const auto model = ReadTree();
    ComPtr<IHostStepCount> count = Answer<IHostStepCount>(model, 4);
    ASSERT_TRUE(count);
    const std::pair<std::uint32_t, HRESULT> calls[] = {
        {3, S_OK}, {0, E_INVALIDARG}, {5, E_INVALIDARG}, {4, S_OK}};
    for (const auto& [n, expected] : calls) EXPECT_EQ(count->SetStepCount(n), expected) << n;
    HostSimObject o;
    ASSERT_TRUE(model->Get(4, o));
    EXPECT_EQ(o.stepCount, 4u);
}

TEST(HostSimAnalysisObjects, TimeTableSetsTimesOfEntriesAndPositionsInRange) {
    const auto model = ReadTree();
    ComPtr<IHostTimeTableOwner> owner = Answer<IHostTimeTableOwner>(model, 5);
    ASSERT_TRUE(owner);
    ComPtr<IUnknown> value;
    ASSERT_EQ(owner->GetValueObject(value.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IHostTimeTable> table = value.As<IHostTimeTable>();
    ASSERT_TRUE(table);
    int count = 0, kind = -1;
    EXPECT_EQ(table->GetEntryCount(count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(table->GetEntryKind(2, kind), S_OK);
    EXPECT_EQ(kind, 4);
    EXPECT_EQ(table->GetEntryKind(3, kind), E_INVALIDARG);

    VARIANT column{};
    column.vt = VT_I4;
    struct Row {
        int entry, position;
        double time;
        HRESULT expected;
    };
    const Row calls[] = {{1, 1, 1.5, S_OK},       {2, 2, 0.5, S_OK},       {0, 1, 9, E_INVALIDARG},
                         {3, 1, 9, E_INVALIDARG}, {1, 3, 9, E_INVALIDARG}, {2, 0, 9, E_INVALIDARG}};
    for (const Row& row : calls)
        EXPECT_EQ(table->SetEntryTime(row.entry, row.position, column, 0, row.time), row.expected)
            << row.entry << "/" << row.position;
    VARIANT empty{};
    EXPECT_EQ(table->SetEntryTime(1, 1, empty, 0, 9), E_INVALIDARG);

    // A later value object sees the change.
    HostSimObject o;
    ASSERT_TRUE(model->Get(5, o));
    EXPECT_EQ((*o.timeTable)[0].times, (std::vector<double>{1.5, 2}));
    EXPECT_EQ((*o.timeTable)[1].times, (std::vector<double>{0, 0.5}));
}

TEST(HostSimAnalysisObjects, RegionsLoadsBodiesAndMaterialsAnswerTheirMembers) {
    const auto model = ReadTree();
    int kind = 0, type = 0, rows = 0, linked = 0;
    bool flag = false, scoped = false;
    ASSERT_EQ(Answer<IHostContactRegion>(model, 6)->GetKind(kind), S_OK);
    EXPECT_EQ(kind, 3);
    ASSERT_EQ(Answer<IHostContactRegion>(model, 6)->IsSuppressed(flag), S_OK);
    EXPECT_FALSE(flag);
    ASSERT_EQ(Answer<IHostCyclicRegion>(model, 7)->GetKind(kind), S_OK);
    EXPECT_EQ(kind, 4);
    ASSERT_EQ(Answer<IHostCyclicRegion>(model, 7)->IsSuppressed(flag), S_OK);
    EXPECT_TRUE(flag);

    ComPtr<IUnknown> found;
    ComPtr<IHostLoadFinder> finder = Answer<IHostLoadFinder>(model, 9);
    EXPECT_EQ(finder->FindLoadOfKind(10, found.ReleaseAndGetAddressOf()), S_FALSE);
    EXPECT_FALSE(found);
    ASSERT_EQ(finder->FindLoadOfKind(11, found.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IHostLoadObject> load = found.As<IHostLoadObject>();
    ASSERT_TRUE(load);
    EXPECT_EQ(load->GetHostType(type), S_OK);
    EXPECT_EQ(load->GetValueRowCount(rows), S_OK);
    EXPECT_EQ(load->IsScopedToBody(scoped), S_OK);
    EXPECT_EQ(load->IsSuppressed(flag), S_OK);
    EXPECT_EQ(type, 554);
    EXPECT_EQ(rows, 3);
    EXPECT_TRUE(scoped);
    EXPECT_FALSE(flag);

    EXPECT_EQ(Answer<IHostEnvironmentLink>(model, 10)->GetLinkedObjectId(linked), S_OK);
    EXPECT_EQ(linked, 99);
    ComPtr<IHostBodyState> body = Answer<IHostBodyState>(model, 11);
    EXPECT_EQ(body->IsSuppressed(flag), S_OK);
    EXPECT_TRUE(flag);
    EXPECT_EQ(body->IsFlexible(flag), S_OK);
    EXPECT_TRUE(flag);
    ComPtr<IHostMaterialBehaviour> material = Answer<IHostMaterialBehaviour>(model, 12);
    for (const auto& [analysisKind, nonlinear] : {std::pair{1, true}, {2, false}, {4, true}}) {
        EXPECT_EQ(material->IsNonlinear(analysisKind, flag), S_OK);
        EXPECT_EQ(flag, nonlinear) << analysisKind;
    }
}

TEST(HostSimAnalysisObjects, CallLogHoldsTheChangesInOrderWithRefusalsMarked) {
    const auto model = ReadTree();
    ComPtr<IUnknown> value;
    ASSERT_EQ(Answer<IHostTimeTableOwner>(model, 5)->GetValueObject(value.ReleaseAndGetAddressOf()), S_OK);
    VARIANT column{};
    column.vt = VT_I4;
    ComPtr<IHostSettingsCallback> callback = CreateHostSimSettingsCallback(model->Calls());
    ASSERT_TRUE(callback);

    (void)Answer<IHostStepCarrier>(model, 2)->AddStep(2);
    (void)Answer<IHostStepCarrier>(model, 2)->RemoveStep(1);
    (void)Answer<IHostStepRows>(model, 3)->InsertStepRow(3);
    (void)Answer<IHostStepRows>(model, 3)->DeleteStepRow(3);
    (void)Answer<IHostStepCount>(model, 4)->SetStepCount(3);
    (void)value.As<IHostTimeTable>()->SetEntryTime(2, 2, column, 0, 2.0);
    (void)Answer<IHostAnalysisTime>(model, 99)->SetCurrentTime(0.25);
    (void)callback->OnSettingsChanged(kSettingsChangedNotification);

    const std::vector<std::string> expected = {
        "add step 2 to object 2",          "remove step 1 from object 2 refused",
        "insert step row 3 into object 3", "delete step row 3 from object 3",
        "step count 3 on object 4",        "time of entry 2 position 2 of object 5: 2",
        "current time of object 99: 0.25", "settings changed (11)",
    };
    EXPECT_EQ(model->Calls()->Lines(), expected);
    HostSimObject o;
    ASSERT_TRUE(model->Get(99, o));
    EXPECT_EQ(o.currentTime, 0.25);
}

TEST(HostSimAnalysisObjects, RefusesMembersThatCannotBeAnswered) {
    struct Row {
        const char* objects;
        const char* place;
        const char* reason;
    };
    const Row rows[] = {
        {R"([{"id": 1, "type": 1, "steps": 2}])", "/objects/0/steps",
         "only objects of types 423, 431 and 546 carry steps"},
        {R"([{"id": 1, "stepCount": 0}])", "/objects/0/stepCount", "must be at least 1"},
        {R"([{"id": 1, "type": 423, "steps": 3, "stepLimit": 2}])", "/objects/0/stepLimit",
         "the object already has more steps"},
        {R"([{"id": 1, "timeTable": [{"kind": 0}]}])", "/objects/0/timeTable/0", "missing member \"times\""},
        {R"([{"id": 1, "loadObject": {"hostType": 1, "rows": -1}}])", "/objects/0/loadObject/rows",
         "must not be negative"},
        {R"([{"id": 1, "loadsByKind": {"10": 2}}])", "/objects/0/loadsByKind/10",
         "names no object of \"objects\""},
        {R"([{"id": 1, "loadsByKind": {"10": 2}}, {"id": 2}])", "/objects/0/loadsByKind/10",
         "names an object without \"loadObject\""},
        {R"([{"id": 1, "loadsByKind": {"ten": 2}}])", "/objects/0/loadsByKind/ten",
         "the key must be an integer"},
    };
    for (const Row& row : rows) {
        HostSimCase hostCase;
        try {
            ReadHostJson(std::string(R"({"objects": )") + row.objects + "}", "host.json", hostCase);
            ADD_FAILURE() << "accepted " << row.objects;
        } catch (const HostCaseError& e) {
            EXPECT_EQ(e.Place(), row.place) << row.objects;
            EXPECT_EQ(e.Reason(), row.reason) << row.objects;
        }
    }
}

TEST(HostSimAnalysisObjects, XmlElementSourceAnswersOneInterfaceAndKeepsItsDocument) {
    const IID sources[] = {IID_IHostXmlElementSource, IID_IHostXmlElementSource2, IID_IHostXmlElementSource3};
    for (int which = 1; which <= 3; ++which) {
        auto document = std::make_shared<pugi::xml_document>();
        pugi::xml_node element = document->append_child("AnalysisSettings");
        ComPtr<IUnknown> source = CreateHostSimXmlElementSource(document, element, which);
        ASSERT_TRUE(source);
        document.reset();
        for (int i = 0; i < 3; ++i) {
            ComPtr<IUnknown> facet;
            EXPECT_EQ(source->QueryInterface(sources[i], facet.ReleaseAndGetVoidAddress()),
                      i + 1 == which ? S_OK : E_NOINTERFACE)
                << which << " " << i;
        }
        pugi::xml_node got;
        EXPECT_EQ(GetElementThrough(source, which, got), S_OK);
        EXPECT_STREQ(got.name(), "AnalysisSettings");  // the document is still alive
    }
    auto document = std::make_shared<pugi::xml_document>();
    pugi::xml_node element = document->append_child("AnalysisSettings");
    pugi::xml_document other;
    EXPECT_FALSE(CreateHostSimXmlElementSource(document, element, 4));
    EXPECT_FALSE(CreateHostSimXmlElementSource(document, other.append_child("Elsewhere"), 1));
    EXPECT_FALSE(CreateHostSimXmlElementSource(document, *document, 1));
}

TEST(HostSimProjectStream, ReadsBackInOrderAndFailsPastTheEnd) {
    ComPtr<HostSimProjectStream> stream = CreateHostSimProjectStream();
    JXStream* binary = nullptr;
    ASSERT_EQ(stream->GetJXStreamAsLONG(&binary), S_OK);
    EXPECT_EQ(stream->writeUINT(1), S_OK);
    EXPECT_TRUE(binary->WriteDouble(2.5));
    EXPECT_EQ(stream->writeUINT(7), S_OK);
    const std::vector<std::uint8_t> saved = stream->Bytes();
    EXPECT_EQ(saved.size(), 16u);

    stream->Rewind();
    std::uint32_t value = 0;
    double number = 0;
    EXPECT_EQ(stream->readUINT(&value), S_OK);
    EXPECT_EQ(value, 1u);
    EXPECT_TRUE(binary->ReadDouble(&number));
    EXPECT_EQ(number, 2.5);
    EXPECT_EQ(stream->readUINT(&value), S_OK);
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(stream->readUINT(&value), E_FAIL);
    EXPECT_EQ(value, 0u);

    // A truncated copy: what is whole reads, the cut value fails.
    ComPtr<HostSimProjectStream> cut =
        CreateHostSimProjectStream(std::vector<std::uint8_t>(saved.begin(), saved.end() - 2));
    value = 9;
    EXPECT_EQ(cut->readUINT(&value), S_OK);
    EXPECT_EQ(value, 1u);
    ASSERT_EQ(cut->GetJXStreamAsLONG(&binary), S_OK);
    EXPECT_TRUE(binary->ReadDouble(&number));
    EXPECT_EQ(cut->readUINT(&value), E_FAIL);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(cut->readUINT(nullptr), E_POINTER);
}

TEST(HostSimAnalysisObjects, SettingsTreeCaseAnswersTheWalkOfItsAnalysis) {
    HostSim host(std::filesystem::path(DORVIX_TEST_DATA) / "cases" / "settings-tree");
    HostSimObject settings, analysis;
    ASSERT_TRUE(host.Objects()->Get(10, settings));
    ASSERT_TRUE(host.Objects()->Get(settings.properties.at(kHostOwnerAnalysisProperty), analysis));
    // Every step-carrying child of the analysis grows by one step.
    for (int child : analysis.children) {
        HostSimObject o;
        ASSERT_TRUE(host.Objects()->Get(child, o));
        if (ComPtr<IHostStepCarrier> carrier = Answer<IHostStepCarrier>(host.Objects(), child)) {
            EXPECT_EQ(carrier->AddStep(3), S_OK) << child;
        }
        if (ComPtr<IHostStepRows> rows = Answer<IHostStepRows>(host.Objects(), child)) {
            EXPECT_EQ(rows->InsertStepRow(3), S_OK) << child;
        }
        if (o.type != kHostStepCountParentType) continue;
        for (int grandchild : o.children) {
            EXPECT_EQ(Answer<IHostStepCount>(host.Objects(), grandchild)->SetStepCount(3), S_OK);
        }
    }
    const std::vector<std::string> expected = {"add step 3 to object 21", "add step 3 to object 22",
                                               "insert step row 3 into object 23",
                                               "step count 3 on object 28"};
    EXPECT_EQ(host.Calls()->Lines(), expected);
    ASSERT_TRUE(Answer<IHostContactRegion>(host.Objects(), settings.idLists.at(kHostContactRegionList)[0]));
    ASSERT_TRUE(Answer<IHostEnvironmentLink>(host.Objects(), settings.idLists.at(kHostEnvironmentList)[0]));
}

}  // namespace

namespace {

// A case of two steps whose steps the settings change: a load active in both steps with a
// variable active in the second only, a load active in every step, a tree, and members the host
// does not read, laid out as a user might write them.
const char* const kStepCase = R"({
  "objectTable": {"stepCount": 2, "records": [{"id": 11, "hostType": 1}, {"id": 12, "hostType": 1}],
                  "note": "two steps"},
  "loads": {"unitSystem": 11, "records": [
    {"id": 11, "activeSteps": [true,
                               true],
     "variables": [{"index": 1, "activeSteps": [false, true], "quantity": 205, "constant": 1.0e5}]},
    {"id": 12, "variables": [{"index": 1, "quantity": 205, "table": [[0, 0], [2, 2.50]]}]}]},
  "objects": [{"id": 21, "type": 423, "steps": 2}, {"id": 28, "stepCount": 2},
              {"id": 25, "timeTable": [{"kind": 0, "times": [1, 2]}, {"kind": 1, "times": [ 7 ]}]},
              {"id": 26, "type": 423, "steps": 2}],
  "unread": {"text": "a \"quoted\" [value]", "steps": 2}
})";

// The text with each (from, to) replaced once.
std::string Replaced(std::string text, const std::vector<std::pair<std::string, std::string>>& changes) {
    for (const auto& [from, to] : changes) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
    }
    return text;
}

}  // namespace

// The host keeps what it was told in host.json's text and nothing else changes: the step count
// and the activity of every load carried to the new count (a new step takes the last step's
// activity, fewer steps drop the last), and the steps, step counts and times the add-in changed
// on the tree's objects.
TEST(HostSimStepWriteBack, KeepsTheStepsItWasToldAndEveryOtherByte) {
    HostSimCase hostCase;
    ReadHostJson(kStepCase, "host.json", hostCase);
    HostSimObjectModel objects(hostCase.objects);
    EXPECT_EQ(HostJsonWithStepChanges(kStepCase, hostCase, objects, std::nullopt), kStepCase);
    EXPECT_EQ(HostJsonWithStepChanges(kStepCase, hostCase, objects, 2), kStepCase);
    EXPECT_EQ(HostJsonWithStepChanges("{\"objectTable\": [}", hostCase, objects, 3), std::nullopt);

    ASSERT_EQ(objects.Change(21, [](HostSimObject& o) { return (o.steps = 3), S_OK; }), S_OK);
    ASSERT_EQ(objects.Change(28, [](HostSimObject& o) { return (o.stepCount = 3), S_OK; }), S_OK);
    ASSERT_EQ(objects.Change(25, [](HostSimObject& o) { return ((*o.timeTable)[0].times[1] = 0.5), S_OK; }),
              S_OK);
    const std::string grown = HostJsonWithStepChanges(kStepCase, hostCase, objects, 3).value_or("");
    EXPECT_EQ(grown,
              Replaced(kStepCase, {{"\"stepCount\": 2, ", "\"stepCount\": 3, "},
                                   {"[true,\n                               true]", "[true, true, true]"},
                                   {"[false, true]", "[false, true, true]"},
                                   {"\"steps\": 2}", "\"steps\": 3}"},
                                   {"\"stepCount\": 2}", "\"stepCount\": 3}"},
                                   {"[1, 2]", "[1, 0.5]"}}));
    HostSimCase reread;
    ReadHostJson(grown, "host.json", reread);
    EXPECT_EQ(reread.objectTable->stepCount, 3);

    const std::string shrunk =
        HostJsonWithStepChanges(kStepCase, hostCase, HostSimObjectModel(hostCase.objects), 1).value_or("");
    EXPECT_EQ(shrunk, Replaced(kStepCase, {{"\"stepCount\": 2, ", "\"stepCount\": 1, "},
                                           {"[true,\n                               true]", "[true]"},
                                           {"[false, true]", "[false]"}}));
}

// A table that states no step count has one step; the count is stated when it changes.
TEST(HostSimStepWriteBack, StatesTheStepCountATableLeftOut) {
    const std::string text = R"({"objectTable": {"records": [{"id": 11, "hostType": 1}]},
 "loads": {"unitSystem": 11, "records": [{"id": 11, "activeSteps": [false],
                                          "variables": [{"index": 1, "quantity": 205, "constant": 2}]}]}})";
    HostSimCase hostCase;
    ReadHostJson(text, "host.json", hostCase);
    const std::string grown =
        HostJsonWithStepChanges(text, hostCase, HostSimObjectModel(hostCase.objects), 2).value_or("");
    EXPECT_EQ(grown, Replaced(text, {{"{\"records\"", "{\"stepCount\": 2, \"records\""},
                                     {"[false]", "[false, false]"}}));
    HostSimCase reread;
    ReadHostJson(grown, "host.json", reread);
    EXPECT_EQ(reread.objectTable->stepCount, 2);
}
