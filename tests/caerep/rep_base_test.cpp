// The base object of the model: typed property reads, registration, child lookups, ids, copies and messages.
#include <gtest/gtest.h>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_exception.h"
#include "caerep/core/cae_rep.h"
#include "caerep/core/external_object.h"

using namespace NCAERep;

namespace {

CPropertyValue Str(const std::wstring& s) {
    CPropertyValue v;
    v.setValue(s);
    return v;
}

class RepBase : public ::testing::Test {
  protected:
    void SetUp() override { ClearCollectedCAEExceptions(); }
    CCAERepBase* add(CCAERepBase* parent, const std::wstring& type, const std::wstring& name) {
        CCAERepBase* o = db.createNew(CIdentity(type, name, db.NextId()));
        parent->addObject(o);
        return o;
    }
    CCAEDatabase db;
};

TEST(PropertyValue, TypedReadsAndTheirFailures) {
    CPropertyValue v;
    EXPECT_EQ(v.getType(), EValueType::Empty);
    EXPECT_EQ(v.getUnits(), L"[undef]");
    EXPECT_EQ(v.getQuantityType(), L"[undef]");
    v.setValue(7);
    unsigned int u = 0;
    v.getValue(u);  // an int is accepted as unsigned
    EXPECT_EQ(u, 7u);
    v.setValue(-3);
    EXPECT_THROW(v.getValue(u), CCAEInvalidGetValueType);
    v.setValue(5u);
    int i = 0;
    EXPECT_THROW(v.getValue(i), CCAEInvalidGetValueType);
    std::wstring s;
    EXPECT_THROW(v.getValue(s), CCAEInvalidGetValueType);
    v.setValue(std::vector<std::wstring>{L"a", L"b"});
    EXPECT_EQ(v.getType(), EValueType::StringList);
    bool b = false;
    EXPECT_THROW(v.getValue(b), CCAEInvalidGetValueType);
    EValueType t{};
    EXPECT_TRUE(ParseValueTypeName(L"unsignedSet", t));
    EXPECT_EQ(t, EValueType::UnsignedSet);
    EXPECT_TRUE(ParseValueTypeName(L"4", t));
    EXPECT_EQ(t, EValueType::Double);
    EXPECT_FALSE(ParseValueTypeName(L"17", t));
    EXPECT_FALSE(ParseValueTypeName(L"float", t));
}

TEST_F(RepBase, PropertiesRegisterOnceAndAddedOnesCoexist) {
    CCAERepBase* o = add(db.getRoot(), L"Custom", L"c");
    CPropertyValue member;
    EXPECT_TRUE(o->registerProperty(L"Count", 3, member));
    EXPECT_THROW(o->registerProperty(L"Count", 4, member), CCAERegisterPropertyException);
    EXPECT_THROW(o->addProperty(L"Count", Str(L"x")), CCAEEntryAlreadyExists);
    EXPECT_THROW(o->getProperty(L"Missing"), CCAEPropertyDoesNotExist);
    EXPECT_THROW(o->setProperty(L"Missing", Str(L"x")), CCAEPropertyDoesNotExist);
    o->addProperty(L"Note", Str(L"hello"));
    std::wstring note;
    o->getProperty(L"Note").getValue(note);
    EXPECT_EQ(note, L"hello");
    // Many properties switch the registry to hashing; look-ups still answer the same.
    for (int k = 0; k < 40; ++k) o->addProperty(L"P" + std::to_wstring(k), Str(std::to_wstring(k)));
    o->getProperty(L"P33").getValue(note);
    EXPECT_EQ(note, L"33");
    EXPECT_EQ(o->getPropertyNames().front(), L"Count");
    EXPECT_EQ(o->getPropertyCount(), 42u);
    int count = 0;
    o->getProperty(L"Count").getValue(count);
    EXPECT_EQ(count, 3);
}

TEST_F(RepBase, ChildLookupsCollectAmbiguityAndAnswerNull) {
    CCAERepBase* root = db.getRoot();
    CCAERepBase* a = add(root, L"Support", L"FixedSurface");
    add(root, L"Support", L"FixedEdge");
    add(root, L"Message", L"Message");
    EXPECT_EQ(root->getChildByType(L"Nothing"), nullptr);
    EXPECT_EQ(GetCollectedCAEExceptionCount(), 0u);
    EXPECT_NE(root->getChildByType(L"Message"), nullptr);
    EXPECT_EQ(root->getChildByType(L"Support"), nullptr);
    ASSERT_EQ(GetCollectedCAEExceptionCount(), 1u);
    auto collected = GetCollectedCAEExceptions();
    EXPECT_NE(collected[0]->getMessage().find(L"More than one child found with given type, in object:"),
              std::wstring::npos);
    EXPECT_EQ(collected[0]->getFunction(), L"CCAERepBase::getChildByType");
    EXPECT_NE(dynamic_cast<CCAEAmbiguousLookupException*>(collected[0].get()), nullptr);
    EXPECT_EQ(root->getChild(L"FixedSurface", L"Support"), a);
    EXPECT_EQ(root->getChildrenByType(L"Support").size(), 2u);
    ClearCollectedCAEExceptions();
    EXPECT_EQ(GetCollectedCAEExceptionCount(), 0u);
}

TEST_F(RepBase, RaiseOrCollectThrowsTheDynamicTypeForCodeZero) {
    CCAEPropertyDoesNotExist e(L"missing", L"Here");
    const CCAEException& base = e;
    EXPECT_THROW(RaiseOrCollect(base, 0), CCAEPropertyDoesNotExist);
    RaiseOrCollect(base, 5);
    ASSERT_EQ(GetCollectedCAEExceptionCount(), 1u);
    EXPECT_EQ(GetCollectedCAEExceptions()[0]->getCode(), 5);
    EXPECT_STREQ(e.what(), "Here: missing");
}

TEST_F(RepBase, DescendantsComeDirectChildrenFirstThenDepthFirst) {
    CCAERepBase* root = db.getRoot();
    CCAERepBase* eng = add(root, L"Container", L"A");
    CCAERepBase* l1 = add(eng, L"Load", L"L1");
    add(l1, L"Load", L"L1a");
    CCAERepBase* l0 = add(root, L"Load", L"L0");
    CCAERepBase* other = add(root, L"Container", L"B");
    add(other, L"Load", L"L2");
    (void)l0;
    std::vector<CIdentity> ids;
    root->getIdentitiesByType(L"Load", ids);
    std::vector<std::wstring> names;
    for (const CIdentity& i : ids) names.push_back(i.getName());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"L0", L"L1", L"L1a", L"L2"}));
    EXPECT_EQ(root->getDescendantByType(L"Load"), nullptr);  // several
    EXPECT_EQ(other->getDescendantByType(L"Load")->getName(), L"L2");
    EXPECT_EQ(root->getDescendantByType(L"None"), nullptr);
    std::vector<CIdentity> none;
    root->getIdentitiesByType(L"None", none);
    EXPECT_TRUE(none.empty());
}

TEST_F(RepBase, CreateChildDoesNotDuplicateAndIdsStayUnique) {
    CCAERepBase* root = db.getRoot();
    CCAERepBase* c1 = root->createChild(L"BCRep", L"BCRep");
    EXPECT_EQ(root->createChild(L"BCRep", L"BCRep"), c1);
    EXPECT_EQ(db.getObject(CIdentity(L"BCRep", c1->getId())), c1);
    EXPECT_THROW(db.createNew(CIdentity(L"BCRep", L"x", c1->getId())), CCAEEntryAlreadyExists);
    EXPECT_FALSE(db.changeId(c1, root->getId()));
    EXPECT_TRUE(db.changeId(c1, 500));
    EXPECT_EQ(db.getObjectById(500), c1);
    EXPECT_GT(db.NextId(), 500);
}

TEST_F(RepBase, ExternalObjectsAreCopiesUnderTheirName) {
    pugi::xml_document doc;
    pugi::xml_node e = doc.append_child("Whatever");
    e.append_child("Parameters").append_child("P").append_attribute("Name").set_value("rcdg");
    CCAERepBase* o = add(db.getRoot(), L"SolverRep", L"SolverRep");
    EXPECT_THROW(o->getExternalObject(L"AnalysisSettings"), CCAEExternalObjectDoesNotExist);
    o->setExternalObject(L"AnalysisSettings", e);
    doc.reset();
    pugi::xml_node root = o->getExternalObject(L"AnalysisSettings")->getRootNode();
    EXPECT_STREQ(root.name(), "AnalysisSettings");
    EXPECT_STREQ(root.child("Parameters").child("P").attribute("Name").value(), "rcdg");
}

TEST_F(RepBase, CopyTakesValuesAndCopiesChildrenWithNewIds) {
    CCAERepBase* a = add(db.getRoot(), L"Thing", L"a");
    a->addProperty(L"Note", Str(L"n"));
    CCAERepBase* child = add(a, L"Part", L"p");
    CCAERepBase* b = add(db.getRoot(), L"Thing", L"b");
    ASSERT_TRUE(b->copy(a));
    EXPECT_EQ(b->getName(), L"a");
    EXPECT_NE(b->getId(), a->getId());
    ASSERT_EQ(b->getChildren().size(), 1u);
    EXPECT_NE(b->getChildren()[0], child);
    EXPECT_NE(b->getChildren()[0]->getId(), child->getId());
    EXPECT_FALSE(b->copy(nullptr));

    // A generic object copied from another type takes that type, and its parent finds it
    // under the new type only.
    CCAERepBase* other = add(db.getRoot(), L"Other", L"o");
    ASSERT_TRUE(other->copy(a));
    EXPECT_EQ(other->getType(), L"Thing");
    EXPECT_TRUE(db.getRoot()->getChildrenByType(L"Other").empty());
    EXPECT_EQ(db.getRoot()->getChildrenByType(L"Thing").size(), 3u);
}

TEST_F(RepBase, AddMessagePostsTextAndType) {
    CCAERepBase* m = db.getRoot()->addMessage(L"Warning(s) found in solve generated files", L"Warning");
    EXPECT_EQ(m->getType(), L"Message");
    std::wstring text, type;
    m->getProperty(L"Text").getValue(text);
    m->getProperty(L"Type").getValue(type);
    EXPECT_EQ(text, L"Warning(s) found in solve generated files");
    EXPECT_EQ(type, L"Warning");
}

}  // namespace
