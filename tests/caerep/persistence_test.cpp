// Loading and saving a model: examples unchanged, value round trips, unknown types, refusals and undoing.
#include <gtest/gtest.h>

#include <sstream>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_exception.h"
#include "caerep/core/cae_rep.h"
#include "caerep/core/external_object.h"
#include "caerep/model/bc_reps.h"
#include "caerep/model/container_reps.h"
#include "caerep/model/post_reps.h"
#include "caerep_test_support.h"
#include "platform/files.h"
#include "platform/path_text.h"

using namespace NCAERep;
namespace fs = std::filesystem;

namespace {

std::string SavedText(const CCAEDatabase& db) {
    pugi::xml_document doc;
    db.getRoot()->saveToDocument(doc);
    std::ostringstream out;
    doc.save(out, "  ");
    return out.str();
}

class Persistence : public ::testing::Test {
  protected:
    void SetUp() override { ClearCollectedCAEExceptions(); }

    // Loads a document text into a fresh database; answers resumeFromFile's result.
    int load(CCAEDatabase& db, const std::string& text) {
        fs::path file = caerep_test::ScratchFolder("persistence") / "CAERep.xml";
        caerep_test::WriteFile(file, text);
        return db.getRoot()->resumeFromFile(file);
    }
    std::wstring lastError(const CCAEDatabase& db) {
        return db.getRoot()->getLastError() ? db.getRoot()->getLastError()->getMessage() : L"";
    }
};

class Examples : public Persistence, public ::testing::WithParamInterface<const char*> {};

TEST_P(Examples, LoadAndSaveBackUnchanged) {
    fs::path source = caerep_test::DataFile(GetParam());
    CCAEDatabase db;
    ASSERT_EQ(db.getRoot()->resumeFromFile(source), 0) << lastError(db).size();
    fs::path saved = caerep_test::ScratchFolder("examples") / GetParam();
    db.getRoot()->saveToFile(saved);
    EXPECT_EQ(caerep_test::ReadFile(saved), caerep_test::ReadFile(source));

    // A second generation keeps every value, unit and quantity type and adds no child.
    CCAEDatabase again;
    ASSERT_EQ(again.getRoot()->resumeFromFile(saved), 0);
    EXPECT_EQ(again.getObjectCount(), db.getObjectCount());
    EXPECT_EQ(SavedText(again), SavedText(db));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, Examples,
                         ::testing::Values("solid_block_support_pressure.xml", "shell_remote_point.xml",
                                           "thermal_model.xml"));

TEST_F(Persistence, EveryValueTypeSurvivesARoundTrip) {
    CCAEDatabase db;
    CCAERepBase* o = db.getRoot()->createChild(L"Holder", L"Holder of 2 values");
    auto add = [&](const wchar_t* name, CPropertyValue v) { o->addProperty(name, v); };
    CPropertyValue v;
    v.setValue(true);
    add(L"B", v);
    v.setValue(-12);
    add(L"I", v);
    v.setValue(4000000000u);
    add(L"U", v);
    v.setValue(0.1 + 0.2, L"Length", L"mm");
    add(L"D", v);
    v = CPropertyValue();
    v.setValue(std::wstring(L"  blanks, <tags> & \"quotes\" \u00e9  "));
    add(L"S", v);
    v.setValue(std::vector<bool>{true, false});
    add(L"VB", v);
    v.setValue(std::vector<int>{-1, 0, 7});
    add(L"VI", v);
    v.setValue(std::vector<unsigned int>{});
    add(L"VU", v);
    v.setValue(std::vector<double>{1e-300, -2.5, 6.02214076e23}, L"Time", L"s");
    add(L"VD", v);
    v = CPropertyValue();
    v.setValue(std::vector<std::wstring>{L"a b", L"", L"c"});
    add(L"VS", v);
    v.setValue(std::map<std::wstring, std::wstring>{{L"k1", L"v1"}, {L"k 2", L""}});
    add(L"MS", v);
    v.setValue(std::map<std::wstring, double>{{L"x", 1.5}}, L"Stress", L"Pa");
    add(L"MD", v);
    v = CPropertyValue();
    v.setValue(std::set<std::wstring>{L"b", L"a"});
    add(L"SS", v);
    v.setValue(std::set<int>{3, -3});
    add(L"SI", v);
    v.setValue(std::set<double>{0.5});
    add(L"SD", v);
    v.setValue(std::set<unsigned int>{9, 1});
    add(L"SU", v);
    add(L"E", CPropertyValue());
    add(L"Young's Modulus", v);  // not an XML name: written with a Name attribute

    fs::path file = caerep_test::ScratchFolder("types") / "types.xml";
    db.getRoot()->saveToFile(file);
    CCAEDatabase back;
    ASSERT_EQ(back.getRoot()->resumeFromFile(file), 0) << lastError(back).size();
    CCAERepBase* b = back.getRoot()->getChildByType(L"Holder");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getName(), L"Holder of 2 values");
    EXPECT_NE(
        caerep_test::ReadFile(file).find("<Holder CAEType=\"object\" Type=\"Holder\" Version=\"1\" Id=\""),
        std::string::npos);
    for (const std::wstring& name : o->getPropertyNames()) {
        ASSERT_TRUE(b->hasProperty(name));
        EXPECT_TRUE(b->getProperty(name) == o->getProperty(name)) << std::string(name.begin(), name.end());
    }
}

TEST_F(Persistence, FixedChildrenAreMatchedNotDoubled) {
    CCAEDatabase db;
    ASSERT_EQ(load(db, R"(<CAERep CAEType="object" Type="CAERep" Version="1" Id="1">
      <EngineeringRep CAEType="object" Type="EngineeringRep" Version="1" Id="2">
        <BCRep CAEType="object" Type="BCRep" Version="1" Id="9"/>
      </EngineeringRep></CAERep>)"),
              0);
    CCAERepBase* eng = db.getRoot()->getChildByType(L"EngineeringRep");
    ASSERT_NE(eng, nullptr);
    EXPECT_EQ(eng->getChildren().size(), 3u);
    EXPECT_EQ(eng->getChildByType(L"BCRep")->getId(), 9);
    // The fixed children the document did not list got ids beyond the document's.
    EXPECT_GT(eng->getChildByType(L"ServiceRep")->getId(), 9);
    EXPECT_EQ(db.getObjectById(9), eng->getChildByType(L"BCRep"));
}

TEST_F(Persistence, UnknownTypesKeepTheirContent) {
    CCAEDatabase db;
    ASSERT_EQ(load(db, R"(<CAERep CAEType="object" Type="CAERep" Version="1" Id="1">
      <Thing CAEType="object" Type="SomethingNew" Version="3" Id="2">
        <Size CAEType="property" ValueType="double" QuantityType="Length" Units="mm">4</Size>
        <Inner CAEType="object" Type="Deeper" Version="1" Id="3"/>
      </Thing></CAERep>)"),
              0);
    CCAERepBase* thing = db.getRoot()->getChild(L"Thing", L"SomethingNew");
    ASSERT_NE(thing, nullptr);
    EXPECT_EQ(thing->getVersion(), L"3");
    double mm = 0;
    thing->getProperty(L"Size").getValue(mm, L"Length", L"m");
    EXPECT_DOUBLE_EQ(mm, 0.004);
    EXPECT_NE(thing->getChildByType(L"Deeper"), nullptr);
}

TEST_F(Persistence, BadInputIsReportedWithFileElementAndReasonAndLoadsNothing) {
    struct Case {
        const char* text;
        const wchar_t* reason;
    } cases[] = {
        {"<CAERep CAEType=\"object\" Type=\"CAERep\" Id=\"1\"><unclosed></CAERep>", L"malformed XML"},
        {"<CAERep CAEType=\"object\" Type=\"CAERep\" Id=\"1\"><X CAEType=\"gadget\"/></CAERep>",
         L"unknown CAEType"},
        {"<CAERep CAEType=\"object\" Type=\"CAERep\" Id=\"1\"><S CAEType=\"object\" Type=\"SolverRep\" "
         "Id=\"2\">"
         "<SolverUnits CAEType=\"property\" ValueType=\"int\">eleven</SolverUnits></S></CAERep>",
         L"is not a value of type int"},
        {"<CAERep CAEType=\"object\" Type=\"CAERep\" Id=\"1\"><A CAEType=\"object\" Type=\"BCRep\" Id=\"2\"/>"
         "<B CAEType=\"object\" Type=\"BCRep\" Id=\"2\"/></CAERep>",
         L"duplicate Id 2"},
        {"<CAERep CAEType=\"object\" Type=\"CAERep\" Id=\"1\"><A CAEType=\"object\" "
         "Type=\"BCRep\"/></CAERep>",
         L"valid integer Id"},
        {"<CAERep CAEType=\"object\" Type=\"CAERep\" Id=\"1\"><A CAEType=\"object\" Type=\"BCRep\" Id=\"2\">"
         "<L CAEType=\"property\" ValueType=\"doubleList\">1 2 x</L></A></CAERep>",
         L"not a double"},
        {"<CAERep CAEType=\"object\" Type=\"CAERep\" Id=\"1\"><A CAEType=\"object\" Type=\"BCRep\" Id=\"2\">"
         "<P CAEType=\"property\" ValueType=\"complex\">1</P></A></CAERep>",
         L"unknown ValueType"},
    };
    for (const Case& c : cases) {
        ClearCollectedCAEExceptions();
        CCAEDatabase db;
        std::size_t before = db.getObjectCount();
        EXPECT_LT(load(db, c.text), 0) << c.text;
        std::wstring message = lastError(db);
        EXPECT_NE(message.find(L"CAERep.xml"), std::wstring::npos) << c.text;
        EXPECT_NE(message.find(c.reason), std::wstring::npos) << c.text;
        EXPECT_EQ(db.getObjectCount(), before) << c.text;
        EXPECT_TRUE(db.getRoot()->getChildren().empty()) << c.text;
        EXPECT_EQ(db.getRoot()->getId(), 1);
        EXPECT_EQ(GetCollectedCAEExceptionCount(), 1u);
    }
    CCAEDatabase db;
    EXPECT_LT(db.getRoot()->resumeFromFile(caerep_test::ScratchFolder("none") / "missing.xml"), 0);
    EXPECT_NE(lastError(db).find(L"does not exist"), std::wstring::npos);
}

TEST_F(Persistence, AFailureDeepInTheDocumentRemovesWhatTheLoadCreated) {
    // A failure deep in the document removes everything the load had created.
    CCAEDatabase db;
    EXPECT_LT(load(db, R"(<CAERep CAEType="object" Type="CAERep" Version="1" Id="1">
      <EngineeringRep CAEType="object" Type="EngineeringRep" Version="1" Id="2">
        <BCRep CAEType="object" Type="BCRep" Version="1" Id="3">
          <S CAEType="object" Type="Support" Version="1" Id="4"><Scoping CAEType="property" ValueType="bool">maybe</Scoping></S>
        </BCRep></EngineeringRep></CAERep>)"),
              0);
    EXPECT_EQ(db.getObjectCount(), 1u);
    EXPECT_NE(lastError(db).find(L"/CAERep[Id=1]/EngineeringRep[Id=2]/BCRep[Id=3]/S[Id=4]/Scoping"),
              std::wstring::npos);
}

TEST_F(Persistence, SaveReplacesTheFileOnlyWhenWritten) {
    CCAEDatabase db;
    fs::path folder = caerep_test::ScratchFolder("save");
    try {
        db.getRoot()->saveToFile(folder / "no-such-folder" / "out.xml");
        ADD_FAILURE() << "saved into a folder that does not exist";
    } catch (const CCAEXMLSaveException& e) {
        // The file and the system's reason.
        EXPECT_EQ(e.getMessage(), L"cannot write " +
                                      platform::WideFromPath(folder / "no-such-folder" / "out.xml") +
                                      L": No such file or directory");
    }
    fs::path file = folder / "out.xml";
    caerep_test::WriteFile(file, "earlier");
    db.getRoot()->addMessage(L"done", L"Info");
    db.getRoot()->saveToFile(file);
    EXPECT_NE(caerep_test::ReadFile(file).find("<Text CAEType=\"property\" ValueType=\"string\">done</Text>"),
              std::string::npos);
    EXPECT_EQ(platform::ListFolder(folder), std::vector<std::string>{"out.xml"});
}

TEST_F(Persistence, ResultDefinitionsTravelWithTheirObjects) {
    CCAEDatabase db;
    auto* input = dynamic_cast<CFatigueResultInput*>(db.getRoot()->createChild(L"FatigueResultInput", L"F"));
    ASSERT_NE(input, nullptr);
    input->getResultDef().ResultId = 7;
    input->getResultDef().ResultType = L"Life";
    input->getResultDef().Time = 2.5;
    CPropertyValue life;
    life.setValue(1e6, L"NoDimension", L"NoUnit");
    input->setProperty(L"DesignLife", life);
    pugi::xml_document doc;
    db.getRoot()->saveToDocument(doc);
    pugi::xml_node element = doc.document_element().child("F");
    EXPECT_STREQ(element.first_child().name(), "ResultDef");

    CCAEDatabase back;
    ASSERT_EQ(back.getRoot()->resumeFromDocument(doc, L"memory"), 0);
    auto* read = dynamic_cast<CFatigueResultInput*>(back.getRoot()->getChildByType(L"FatigueResultInput"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->getResultDef(), input->getResultDef());
    EXPECT_TRUE(read->getProperty(L"DesignLife") == life);

    // Without a ResultDef element the record keeps its defaults and properties are still read.
    element.remove_child("ResultDef");
    CCAEDatabase bare;
    ASSERT_EQ(bare.getRoot()->resumeFromDocument(doc, L"memory"), 0);
    auto* plain = dynamic_cast<CFatigueResultInput*>(bare.getRoot()->getChildByType(L"FatigueResultInput"));
    EXPECT_EQ(plain->getResultDef(), ResultDefRecord{});
    EXPECT_TRUE(plain->getProperty(L"DesignLife") == life);
}

}  // namespace
