// Loading at the limits: nesting depth, reloads, many properties, the largest ids, odd names, units resumed.
#include <gtest/gtest.h>

#include <sstream>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_exception.h"
#include "caerep/core/cae_rep.h"
#include "caerep/core/property_xml.h"
#include "caerep/units/units.h"

using namespace NCAERep;

namespace {

int LoadText(CCAEDatabase& db, const std::string& text) {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(text.c_str(), pugi::parse_default | pugi::parse_ws_pcdata_single));
    return db.getRoot()->resumeFromDocument(doc, L"text");
}

std::string ManyChildren(int count) {
    std::ostringstream s;
    s << R"(<CAERep CAEType="object" Type="CAERep" Version="1" Id="1">)";
    for (int i = 0; i < count; ++i)
        s << "<N" << i << R"( CAEType="object" Type="NamedSelectionRep" Version="1" Id=")" << i + 2 << R"(">)"
          << R"(<Scoping CAEType="property" ValueType="stringList"><Item>s)" << i << "</Item></Scoping></N"
          << i << ">";
    return s.str() + "</CAERep>";
}

// The root and `levels - 1` objects each inside the one before.
std::string Nested(int levels) {
    std::string s = R"(<CAERep CAEType="object" Type="CAERep" Version="1" Id="1">)";
    for (int i = 2; i <= levels; ++i)
        s += R"(<G CAEType="object" Type="Group" Version="1" Id=")" + std::to_string(i) + R"(">)";
    for (int i = 2; i <= levels; ++i) s += "</G>";
    return s + "</CAERep>";
}

TEST(ResumeEdges, NestingIsLimitedBeforeAnythingIsRead) {
    CCAEDatabase db;
    ASSERT_EQ(LoadText(db, Nested(CCAERep::kMaxObjectDepth)), 0);
    ASSERT_EQ(db.getObjectCount(), static_cast<std::size_t>(CCAERep::kMaxObjectDepth));
    // What loads also saves and loads again.
    pugi::xml_document saved;
    db.getRoot()->saveToDocument(saved);
    CCAEDatabase again;
    ASSERT_EQ(again.getRoot()->resumeFromDocument(saved, L"saved"), 0);
    EXPECT_EQ(again.getObjectCount(), db.getObjectCount());

    // One level more, and far more (deep enough to run the recursion off the stack): refused
    // with the file, the element and the limit, and the database keeps only its root.
    for (int levels : {CCAERep::kMaxObjectDepth + 1, 20'000}) {
        CCAEDatabase deep;
        EXPECT_EQ(LoadText(deep, Nested(levels)), -1);
        EXPECT_EQ(deep.getObjectCount(), 1u);
        EXPECT_TRUE(deep.getRoot()->getChildren().empty());
        EXPECT_EQ(deep.getRoot()->getId(), 1);
        const std::wstring message = deep.getRoot()->getLastError()->getMessage();
        EXPECT_EQ(message.rfind(L"file text, element /CAERep[Id=1]/G[Id=2]/G[Id=3]/", 0), 0u) << levels;
        EXPECT_NE(message.find(L"/G[Id=257]: objects nest more than 256 levels deep"), std::wstring::npos)
            << levels;
    }
}

TEST(ResumeEdges, LoadingTheSameDocumentAgainFillsTheSameObjects) {
    CCAEDatabase db;
    ASSERT_EQ(LoadText(db, ManyChildren(40)), 0);
    ASSERT_EQ(db.getObjectCount(), 41u);
    // The root's 40 children are matched by type and name (through the hashed matcher).
    ASSERT_EQ(LoadText(db, ManyChildren(40)), 0);
    EXPECT_EQ(db.getObjectCount(), 41u);
    EXPECT_EQ(db.getRoot()->getChildren().size(), 40u);
    std::vector<std::wstring> scoping;
    db.getRoot()->getChild(L"N17", L"NamedSelectionRep")->getProperty(L"Scoping").getValue(scoping);
    EXPECT_EQ(scoping, std::vector<std::wstring>{L"s17"});
}

TEST(ResumeEdges, ObjectsWithVeryManyPropertiesLoadThroughTheIndex) {
    std::ostringstream s;
    s << R"(<CAERep CAEType="object" Type="CAERep" Version="1" Id="1"><T CAEType="object" Type="Table" Version="1" Id="2">)";
    for (int i = 0; i < 200; ++i)
        s << "<C" << i << R"( CAEType="property" ValueType="doubleList" QuantityType="Length" Units="m">)"
          << i << " " << i + 1 << "</C" << i << ">";
    s << "</T></CAERep>";
    CCAEDatabase db;
    ASSERT_EQ(LoadText(db, s.str()), 0);
    CCAERepBase* table = db.getRoot()->getChildByType(L"Table");
    ASSERT_EQ(table->getPropertyCount(), 200u);
    std::vector<double> c;
    table->getProperty(L"C150").getValue(c, L"Length", L"mm");
    EXPECT_EQ(c, (std::vector<double>{150000.0, 151000.0}));
}

TEST(ResumeEdges, TheLargestIdsLeaveNoIdForFixedChildren) {
    // Fixed children take ids above every id of the document; past the largest int there is
    // none, and the load is refused instead of counting beyond it.
    const std::string doc =
        R"(<CAERep CAEType="object" Type="CAERep" Version="1" Id="1">)"
        R"(<CS CAEType="object" Type="CoordinateSystemRep" Version="1" Id="2147483647"/></CAERep>)";
    CCAEDatabase db;
    EXPECT_EQ(LoadText(db, doc), -1);
    EXPECT_EQ(db.getObjectCount(), 1u);
    EXPECT_EQ(db.getRoot()->getId(), 1);

    // Without fixed children the same id loads; a later new object is refused with an error.
    CCAEDatabase other;
    ASSERT_EQ(
        LoadText(other,
                 R"(<CAERep CAEType="object" Type="CAERep" Version="1" Id="1">)"
                 R"(<N CAEType="object" Type="NamedSelectionRep" Version="1" Id="2147483647"/></CAERep>)"),
        0);
    EXPECT_THROW(other.NextId(), CCAEException);
    EXPECT_THROW(other.getRoot()->createChild(L"NamedSelectionRep", L"M"), CCAEException);
}

TEST(ResumeEdges, ValueTypeMayComeFromTheRegistration) {
    CCAEDatabase db;
    ASSERT_EQ(LoadText(db, R"(<CAERep CAEType="object" Type="CAERep" Version="1" Id="1">
        <P CAEType="object" Type="ProcessControls" Version="1" Id="2">
          <MaxProcessors CAEType="property">8</MaxProcessors></P></CAERep>)"),
              0);
    int processors = 0;
    db.getRoot()->getChildByType(L"ProcessControls")->getProperty(L"MaxProcessors").getValue(processors);
    EXPECT_EQ(processors, 8);
    CCAEDatabase other;
    EXPECT_LT(LoadText(other, R"(<CAERep CAEType="object" Type="CAERep" Version="1" Id="1">
        <P CAEType="object" Type="ProcessControls" Version="1" Id="2">
          <Unregistered CAEType="property">8</Unregistered></P></CAERep>)"),
              0);
    EXPECT_NE(other.getRoot()->getLastError()->getMessage().find(L"property without ValueType"),
              std::wstring::npos);
}

TEST(ResumeEdges, TheDocumentElementMustBeTheRoot) {
    CCAEDatabase db;
    EXPECT_LT(LoadText(db, R"(<Model/>)"), 0);
    EXPECT_LT(LoadText(db, R"(<CAERep CAEType="object" Type="SolverRep" Id="1"/>)"), 0);
    EXPECT_NE(db.getRoot()->getLastError()->getMessage().find(L"read into an object of type CAERep"),
              std::wstring::npos);
    ASSERT_EQ(LoadText(db, R"(<CAERep CAEType="object" Type="CAERep" Version="2" Id="7"/>)"), 0);
    EXPECT_EQ(db.getRoot()->getId(), 7);
    EXPECT_EQ(db.getRoot()->getVersion(), L"2");
    EXPECT_EQ(db.getRoot()->getLastError(), nullptr);
}

TEST(ResumeEdges, PropertyTextsAtTheirLimits) {
    auto read = [](const char* xml, CPropertyValue& v) {
        pugi::xml_document doc;
        doc.load_string(xml, pugi::parse_default | pugi::parse_ws_pcdata_single);
        std::wstring reason;
        return ReadPropertyXml(doc.document_element(), v, reason);
    };
    CPropertyValue v;
    EXPECT_TRUE(read(R"(<I ValueType="int">-2147483648</I>)", v));
    EXPECT_FALSE(read(R"(<I ValueType="int">2147483648</I>)", v));
    EXPECT_FALSE(read(R"(<U ValueType="unsigned">-1</U>)", v));
    EXPECT_TRUE(read(R"(<D ValueType="double"> 1e-308 </D>)", v));
    EXPECT_FALSE(read(R"(<D ValueType="double">1,5</D>)", v));
    EXPECT_FALSE(read(R"(<B ValueType="bool">yes</B>)", v));
    EXPECT_FALSE(read(R"(<M ValueType="stringMap"><Entry Key="a"/><Entry Key="a"/></M>)", v));
    EXPECT_FALSE(read(R"(<L ValueType="stringList"><Other/></L>)", v));
    EXPECT_TRUE(read(R"(<S ValueType="string">   </S>)", v));
    std::wstring blanks;
    v.getValue(blanks);
    EXPECT_EQ(blanks, L"   ");
    EXPECT_TRUE(read(R"(<E ValueType="intSet">3 1 3</E>)", v));
    std::set<int> set;
    v.getValue(set);
    EXPECT_EQ(set, (std::set<int>{1, 3}));
}

TEST(ResumeEdges, MessagesGetTheirOwnIds) {
    CCAEDatabase db;
    CCAERepBase* a = db.getRoot()->addMessage(L"Warning(s) found in solve generated files", L"Warning");
    CCAERepBase* b = db.getRoot()->addMessage(L"Error(s) found in solve generated files", L"Error");
    EXPECT_NE(a->getId(), b->getId());
    EXPECT_EQ(db.getRoot()->getChildrenByType(L"Message").size(), 2u);
}

TEST(UnitsPersistence, AUnitDatabaseResumedFromAModelRebuildsItsSymbols) {
    // The singleton's definitions written as a model and read into a fresh database's object.
    CCAEDatabase source;
    CCAERepBase* holder = source.getRoot()->createChild(L"Units", L"Units");
    ASSERT_TRUE(holder->copy(CUnits::getInstance()));
    pugi::xml_document doc;
    source.getRoot()->saveToDocument(doc);

    CCAEDatabase target;
    ASSERT_EQ(target.getRoot()->resumeFromDocument(doc, L"units"), 0);
    auto* units = dynamic_cast<CUnits*>(target.getRoot()->getChildByType(L"Units"));
    ASSERT_NE(units, nullptr);
    ASSERT_NE(units->findSymbol(L"km"), nullptr);
    double out = 0.0;
    ASSERT_TRUE(units->convert(32.0, L"F", L"C", L"Temperature", out));
    EXPECT_NEAR(out, 0.0, 1e-12);
}

// A model's unit database of 300 prefixes and 1,000 prefixable derived units, all with aliases:
// listing every prefixed form in advance would hold 1.2 million symbols.
TEST(UnitsPersistence, ManyPrefixesAndUnitsHoldOnlyTheirOwnForms) {
    constexpr int kPrefixes = 300, kUnits = 1000;
    std::ostringstream s;
    s << R"(<CAERep CAEType="object" Type="CAERep" Version="1" Id="1">)"
      << R"(<Units CAEType="object" Type="Units" Version="1" Id="2">)";
    int id = 3;
    for (int p = 0; p < kPrefixes; ++p)
        s << "<P" << p << R"( CAEType="object" Type="Prefix" Version="1" Id=")" << id++ << R"(">)"
          << R"(<Name CAEType="property">pre)" << p << R"(</Name><Alias CAEType="property">a)" << p
          << R"(</Alias><Factor CAEType="property">)" << p + 2 << "</Factor></P" << p << ">";
    for (int u = 0; u < kUnits; ++u)
        s << "<U" << u << R"( CAEType="object" Type="DerivedUnit" Version="1" Id=")" << id++ << R"(">)"
          << R"(<Name CAEType="property">unit)" << u << R"(</Name><Alias CAEType="property">b)" << u
          << R"(</Alias><Factor CAEType="property">)" << u + 1
          << R"(</Factor><AllowedPrefix CAEType="property">true</AllowedPrefix></U)" << u << ">";
    s << "</Units></CAERep>";
    CCAEDatabase db;
    ASSERT_EQ(LoadText(db, s.str()), 0);
    auto* units = dynamic_cast<CUnits*>(db.getRoot()->getChildByType(L"Units"));
    ASSERT_NE(units, nullptr);
    EXPECT_EQ(units->heldSymbolCount(), 2u * (kPrefixes + kUnits));

    const auto* readings = units->findSymbol(L"a7b9");
    ASSERT_NE(readings, nullptr);
    EXPECT_EQ(*readings, (std::vector<CUnits::Reading>{{L"pre7", L"unit9"}}));
    EXPECT_EQ(units->findSymbol(L"pre299unit999")->front(), (CUnits::Reading{L"pre299", L"unit999"}));
    double factor = 0.0;
    ASSERT_TRUE(units->getTermFactor(L"pre7b9", factor));
    EXPECT_EQ(factor, 90.0);
    EXPECT_EQ(units->findSymbol(L"a7"), nullptr);
    EXPECT_EQ(units->findSymbol(L"a7b"), nullptr);
    EXPECT_EQ(units->findSymbol(L"b9a7"), nullptr);
    // Each prefixed symbol answered is kept once, for the answer to stay valid; misses are not.
    EXPECT_EQ(units->heldSymbolCount(), 2u * (kPrefixes + kUnits) + 3);
    EXPECT_EQ(units->findSymbol(L"a7b9"), readings);
}

TEST(UnitsDisambiguation, EveryCombinationOfReadingsIsTried) {
    CUnits* units = CUnits::getInstance();
    DimensionVector seconds{}, kelvin{};
    ASSERT_TRUE(units->getSymbolDimensions(L"s", seconds));
    ASSERT_TRUE(units->getSymbolDimensions(L"K", kelvin));
    DimensionVector remaining{};
    for (int i = 0; i < kBaseDimensionCount; ++i) remaining[i] = seconds[i] + kelvin[i];
    // Only the second reading of the first term with the third of the second fits; a schedule
    // of as many attempts as readings (six) would never reach that pair.
    std::vector<std::vector<UnitTerm>> candidates = {
        {{L"metre", 1}, {L"second", 1}, {L"kelvin", 1}},
        {{L"metre", 1}, {L"ampere", 1}, {L"kelvin", 1}},
    };
    std::vector<UnitTerm> chosen;
    ASSERT_TRUE(units->resolveAmbiguousTerms(candidates, remaining, 6, chosen));
    EXPECT_EQ(chosen, (std::vector<UnitTerm>{{L"second", 1}, {L"kelvin", 1}}));
    // Two fitting choices are refused.
    candidates[0].push_back({L"kelvin", 1});
    candidates[1].push_back({L"second", 1});
    chosen.clear();
    EXPECT_FALSE(units->resolveAmbiguousTerms(candidates, remaining, 8, chosen));
    EXPECT_FALSE(units->resolveAmbiguousTerms({}, remaining, 0, chosen));
}

}  // namespace

// A type and a name that are no element names cannot give the saved element its tag; the
// document must still read back.
TEST(ResumeEdges, ObjectsWhoseTypeAndNameAreNoElementNamesSaveAndReadBack) {
    CCAEDatabase db;
    ASSERT_EQ(LoadText(db, R"(<CAERep CAEType="object" Type="CAERep" Version="1" Id="1">)"
                           R"(<O CAEType="object" Type="My Type" Id="9" Name="a b"/></CAERep>)"),
              0);
    pugi::xml_document saved;
    db.getRoot()->saveToDocument(saved);
    std::ostringstream text;
    saved.save(text);
    CCAEDatabase again;
    ASSERT_EQ(LoadText(again, text.str()), 0) << text.str();
    ASSERT_NE(again.getRoot()->getChild(L"a b", L"My Type"), nullptr) << text.str();
}
