// What the model asks its host: meshes, materials by name, imported loads, tables, motions, the default port.
#include "caerep/core/host_ports.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_rep.h"
#include "caerep/model/bc_reps.h"
#include "caerep/model/geometry_reps.h"
#include "caerep/model/material_reps.h"
#include "platform/com_object.h"
#include "platform/creation_registry.h"

using namespace NCAERep;
using ::testing::_;
using ::testing::Return;

namespace {

// A counted host object standing in for a mesh or a material.
class HostObject final : public IUnknown {
  public:
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = iid == IID_IUnknown ? this : nullptr;
        if (*out) AddRef();
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        ULONG r = --refs_;
        if (r == 0) delete this;
        return r;
    }
    static ComPtr<IUnknown> Make() { return ComPtr<IUnknown>::Attach(new HostObject); }

  private:
    ~HostObject() = default;
    ULONG refs_ = 1;
};

class MockHost : public IHostModelProvider {
  public:
    MOCK_METHOD(HRESULT, getMesh, (const CMeshRep&, ComPtr<IUnknown>&), (override));
    MOCK_METHOD(HRESULT, getGeometry, (const CGeometryRep&, ComPtr<IUnknown>&), (override));
    MOCK_METHOD(HRESULT, findMaterial, (const CMaterialLibraryRep&, const std::wstring&, ComPtr<IUnknown>&),
                (override));
    MOCK_METHOD(int, readMaterialProperty,
                (IUnknown*, const MaterialPropertyRequest&, MaterialPropertyTable&), (override));
    MOCK_METHOD(bool, materialHasModel, (IUnknown*, const std::wstring&), (override));
    MOCK_METHOD(int, importLoadData, (NBC::CExternalLoadRep&, int), (override));
};

class HostPorts : public ::testing::Test {
  protected:
    void SetUp() override { db.setHostProvider(host); }
    template <class T>
    T* make(CCAERepBase* parent, const std::wstring& type, const std::wstring& name) {
        return dynamic_cast<T*>(parent->createChild(type, name));
    }
    std::shared_ptr<MockHost> host = std::make_shared<MockHost>();
    CCAEDatabase db;
};

TEST_F(HostPorts, MeshIsAskedOnceAndHandedOutWithANewReference) {
    auto* mesh = make<CMeshRep>(db.getRoot(), L"MeshRep", L"MeshRep");
    ComPtr<IUnknown> hostMesh = HostObject::Make();
    EXPECT_CALL(*host, getMesh(_, _)).WillOnce([&](const CMeshRep&, ComPtr<IUnknown>& out) {
        out = hostMesh;
        return S_OK;
    });
    ComPtr<IUnknown> a, b;
    EXPECT_EQ(mesh->getMesh(a), S_OK);
    EXPECT_EQ(mesh->getMesh(b), S_OK);
    EXPECT_EQ(a.Get(), hostMesh.Get());
    EXPECT_EQ(b.Get(), hostMesh.Get());

    CCAEDatabase lonely;  // no provider anywhere
    auto* none = dynamic_cast<CMeshRep*>(lonely.getRoot()->createChild(L"MeshRep", L"MeshRep"));
    ComPtr<IUnknown> c;
    EXPECT_EQ(none->getMesh(c), E_FAIL);
    EXPECT_FALSE(c);
}

TEST_F(HostPorts, MaterialsAreFoundByNameThroughTheLibrary) {
    make<CMaterialLibraryRep>(db.getRoot(), L"MaterialLibraryRep", L"MaterialLibraryRep");
    auto* material = make<CMaterialRep>(db.getRoot(), L"MaterialRep", L"MaterialRep");
    CPropertyValue name;
    name.setValue(std::wstring(L"Structural Steel"));
    material->setProperty(L"MaterialName", name);
    ComPtr<IUnknown> steel = HostObject::Make();
    EXPECT_CALL(*host, findMaterial(_, std::wstring(L"Structural Steel"), _))
        .WillRepeatedly([&](const CMaterialLibraryRep&, const std::wstring&, ComPtr<IUnknown>& out) {
            out = steel;
            return S_OK;
        });
    ComPtr<IUnknown> found;
    EXPECT_EQ(material->getHostMaterial(found), S_OK);
    EXPECT_EQ(found.Get(), steel.Get());

    EXPECT_CALL(*host, materialHasModel(steel.Get(), _)).WillRepeatedly(Return(false));
    EXPECT_CALL(*host, materialHasModel(steel.Get(), std::wstring(L"Yeoh"))).WillOnce(Return(true));
    EXPECT_TRUE(material->hasHyperelasticModel());

    EXPECT_CALL(*host, readMaterialProperty(steel.Get(), _, _))
        .WillOnce([](IUnknown*, const MaterialPropertyRequest& request, MaterialPropertyTable& out) {
            EXPECT_EQ(request.name, L"Density");
            EXPECT_EQ(request.unitSystem, L"JX_SOLV_MKS");
            out.values = {7850.0};
            return 0;
        })
        .WillOnce(Return(-1));
    MaterialPropertyTable table;
    EXPECT_EQ(material->readPropertyData(L"Density", L"JX_SOLV_MKS", table), 0);
    EXPECT_EQ(table.values, std::vector<double>{7850.0});
    std::vector<double> values;
    EXPECT_LT(material->getPropertyValues(L"Magnetic Flux Density", L"B-H Curve", L"", values), 0);
}

TEST_F(HostPorts, MaterialWithoutLibraryOrNameAnswersNothing) {
    auto* material = make<CMaterialRep>(db.getRoot(), L"MaterialRep", L"MaterialRep");
    ComPtr<IUnknown> found;
    EXPECT_EQ(material->getHostMaterial(found), E_FAIL);  // no library child
    make<CMaterialLibraryRep>(db.getRoot(), L"MaterialLibraryRep", L"MaterialLibraryRep");
    EXPECT_CALL(*host, findMaterial(_, _, _)).WillOnce(Return(S_FALSE));
    EXPECT_EQ(material->getHostMaterial(found), S_FALSE);
    EXPECT_FALSE(found);
    MaterialPropertyTable table;
    EXPECT_CALL(*host, findMaterial(_, _, _)).WillOnce(Return(S_FALSE));
    EXPECT_LT(material->readPropertyData(L"Density", L"", table), 0);
    // A name that a model file gave as a number is no name: a code, and the host is not asked.
    CPropertyValue number;
    number.setValue(7);
    material->setProperty(L"MaterialName", number);
    EXPECT_EQ(material->getHostMaterial(found), E_FAIL);
    EXPECT_LT(material->readPropertyData(L"Density", L"", table), 0);
}

TEST_F(HostPorts, ImportedLoadsAskTheHostOrKeepTheirTables) {
    auto* load = make<NBC::CExternalLoadRep>(db.getRoot(), L"ExternalLoad", L"Imported");
    EXPECT_CALL(*host, importLoadData(_, 11)).WillOnce(Return(0));
    EXPECT_EQ(load->importLoadData(11), 0);
    CCAEDatabase lonely;
    auto* kept = dynamic_cast<NBC::CExternalLoadRep*>(lonely.getRoot()->createChild(L"ExternalLoad", L"I"));
    EXPECT_EQ(kept->importLoadData(11), 0);
}

class Tables : public ::testing::Test {
  protected:
    NBC::CTable* table(const std::wstring& type) {
        auto* t = dynamic_cast<NBC::CTable*>(db.getRoot()->createChild(type, type));
        CPropertyValue v;
        v.setValue(std::vector<double>{2.0, 2.0, 1.0, 1.0, 2.0}, L"Time", L"s");
        t->addProperty(L"Time", v);
        v.setValue(std::vector<double>{10, 11, 12, 13, 14}, L"Temperature", L"C");
        t->addProperty(L"Values", v);
        return t;
    }
    CCAEDatabase db;
};

TEST_F(Tables, TimePointsAreDistinctAndAscending) {
    NBC::CTable* t = table(L"sTable");
    EXPECT_EQ(t->getType(), L"sTable");
    CPropertyValue points;
    ASSERT_TRUE(t->getTimePoints(points));
    std::vector<double> p;
    points.getValue(p);
    EXPECT_EQ(p, (std::vector<double>{1.0, 2.0}));
    EXPECT_EQ(points.getUnits(), L"s");
    EXPECT_FALSE(
        dynamic_cast<NBC::CTable*>(db.getRoot()->createChild(L"Table", L"Empty"))->getTimePoints(points));
}

TEST_F(Tables, ColumnAtATimeTakesTheFirstRunOfMatchingRows) {
    NBC::CTable* t = table(L"Table");
    CPropertyValue out;
    ASSERT_TRUE(t->getColumnAtTimeZero(2.0, L"Values", out));
    std::vector<double> v;
    out.getValue(v);
    EXPECT_EQ(v, (std::vector<double>{10, 11}));  // the later row at 2.0 is another run
    EXPECT_EQ(out.getUnits(), L"C");
    EXPECT_EQ(out.getQuantityType(), L"Temperature");
    ASSERT_TRUE(t->getColumnAtTimeZero(1.0, L"Values", out));
    out.getValue(v);
    EXPECT_EQ(v, (std::vector<double>{12, 13}));
    ASSERT_TRUE(t->getColumnAtTimeZero(0.0, L"Values", out));
    out.getValue(v);
    EXPECT_TRUE(v.empty());
    EXPECT_FALSE(t->getColumnAtTimeZero(1.0, L"RealValue", out));
}

TEST(Motions, ComponentsPresenceZeroAndDirection) {
    CCAEDatabase db;
    auto* d = dynamic_cast<NBC::CDisplacement*>(db.getRoot()->createChild(L"Displacement", L"Surface"));
    auto* v = dynamic_cast<NBC::CVelocity*>(db.getRoot()->createChild(L"Velocity", L"Edge"));
    ASSERT_NE(d, nullptr);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->getType(), L"Velocity");
    EXPECT_FALSE(NBC::CDisplacement::hasComponentX(*d));
    CPropertyValue x;
    x.setValue(0.0, L"Displacement", L"mm");
    d->addProperty(L"ComponentX", x);
    EXPECT_TRUE(NBC::CDisplacement::hasComponentX(*d));
    EXPECT_TRUE(d->getComponentX());
    x.setValue(2.0, L"Velocity", L"m s^-1");
    v->addProperty(L"ComponentY", x);
    EXPECT_FALSE(v->getComponentY());
    // A tabular component is zero only when all its values are.
    CCAERepBase* table = d->createChild(L"Table", L"ComponentZ");
    CPropertyValue values;
    values.setValue(std::vector<double>{0.0, 0.0}, L"Displacement", L"m");
    table->addProperty(L"Values", values);
    EXPECT_TRUE(NBC::CDisplacement::hasComponentZ(*d));
    EXPECT_TRUE(d->getComponentZ());
    values.setValue(std::vector<double>{0.0, 1.0}, L"Displacement", L"m");
    table->setProperty(L"Values", values);
    EXPECT_FALSE(d->getComponentZ());
    // The normal-motion path needs a Magnitude and a "Direction" vector below the object.
    EXPECT_FALSE(NBC::CDisplacement::getDirection(*d));
    x.setValue(1.0, L"Displacement", L"m");
    d->addProperty(L"Magnitude", x);
    EXPECT_FALSE(NBC::CDisplacement::getDirection(*d));
    d->createChild(L"Vector3D", L"Direction");
    EXPECT_TRUE(NBC::CDisplacement::getDirection(*d));
    EXPECT_FALSE(d->getMagnitude());
}

// A module's copy of this library finds the host's provider through the host component.
class ModelPort final : public ComObject<ModelPort, IHostModelPort> {
  public:
    explicit ModelPort(IHostModelProvider* provider) : provider_(provider) {}
    IHostModelProvider* GetProvider() override { return provider_; }

  private:
    IHostModelProvider* provider_;
};

TEST(HostPortsDefault, WithoutAnInstalledProviderTheHostComponentAnswers) {
    ASSERT_EQ(GetDefaultHostModelProvider(), nullptr);
    MockHost host;
    {
        const ScopedComponentClass port(CLSID_HostModelProvider, [&](IUnknown*, REFIID iid, void** out) {
            return MakeComObject<ModelPort>(&host)->QueryInterface(iid, out);
        });
        EXPECT_EQ(GetDefaultHostModelProvider(), &host);
    }
    EXPECT_EQ(GetDefaultHostModelProvider(), nullptr);
}

}  // namespace
