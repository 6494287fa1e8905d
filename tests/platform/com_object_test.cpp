// Component objects: reference counts, interfaces, aggregation, class factories, the creation registry.
#include "platform/com_object.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/creation_registry.h"

namespace {

struct IShape : IUnknown {
    virtual int Corners() = 0;
    static constexpr const IID& iid();
};
inline constexpr IID IID_IShape = MakeGuid("11111111-0000-0000-0000-000000000001");
constexpr const IID& IShape::iid() { return IID_IShape; }

struct ISquare : IShape {
    using BaseInterface = IShape;
    virtual double Side() = 0;
    static constexpr const IID& iid();
};
inline constexpr IID IID_ISquare = MakeGuid("11111111-0000-0000-0000-000000000002");
constexpr const IID& ISquare::iid() { return IID_ISquare; }

struct INamed : IUnknown {
    virtual std::wstring Name() = 0;
    static constexpr const IID& iid();
};
inline constexpr IID IID_INamed = MakeGuid("11111111-0000-0000-0000-000000000003");
constexpr const IID& INamed::iid() { return IID_INamed; }

inline constexpr IID IID_INowhere = MakeGuid("11111111-0000-0000-0000-0000000000ff");
inline constexpr CLSID CLSID_Square = MakeGuid("22222222-0000-0000-0000-000000000001");

int g_alive = 0;

class Square : public ComObject<Square, ISquare, INamed> {
  public:
    Square() { ++g_alive; }
    ~Square() override { --g_alive; }
    int Corners() override { return 4; }
    double Side() override { return 2.0; }
    std::wstring Name() override { return L"square"; }
};

// A class that may be aggregated, and counts its own releases.
class Label : public ComObjectSingleThreaded<Label, INamed> {
  public:
    static constexpr bool kAggregatable = true;
    Label() { ++g_alive; }
    ~Label() override { --g_alive; }
    std::wstring Name() override { return L"label"; }
};

// An outer object that aggregates a Label and exposes its INamed as its own.
class Box : public ComObject<Box, IShape> {
  public:
    Box() { ++g_alive; }
    ~Box() override { --g_alive; }
    HRESULT FinalConstruct() {
        return CreateComInstance<Label>(ControllingUnknown(), IID_IUnknown,
                                        inner_.ReleaseAndGetVoidAddress());
    }
    HRESULT QueryInterfaceExtra(REFIID iid, void** out) {
        if (iid == IID_INamed) return inner_->QueryInterface(iid, out);
        *out = nullptr;
        return E_NOINTERFACE;
    }
    int Corners() override { return 8; }

  private:
    ComPtr<IUnknown> inner_;  // owns the inner object's identity
};

class Refusing : public ComObject<Refusing, IShape> {
  public:
    HRESULT FinalConstruct() { return E_ACCESSDENIED; }
    int Corners() override { return 0; }
};

TEST(ComObject, CountsReferencesAndDeletesOnLastRelease) {
    g_alive = 0;
    {
        ComPtr<Square> sq = MakeComObject<Square>();
        ASSERT_TRUE(sq);
        EXPECT_EQ(sq->RefCountForTesting(), 1u);
        ComPtr<ISquare> iface = sq;
        EXPECT_EQ(sq->RefCountForTesting(), 2u);
        EXPECT_EQ(iface->AddRef(), 3u);
        EXPECT_EQ(iface->Release(), 2u);
        EXPECT_EQ(g_alive, 1);
    }
    EXPECT_EQ(g_alive, 0);
}

TEST(ComObject, AnswersListedInterfacesTheirBasesAndIUnknown) {
    ComPtr<ISquare> sq;
    ASSERT_EQ(CreateComInstance<Square>(nullptr, IID_ISquare, sq.ReleaseAndGetVoidAddress()), S_OK);
    ComPtr<IShape> shape = sq.As<IShape>();  // through ISquare's declared base
    ASSERT_TRUE(shape);
    EXPECT_EQ(shape->Corners(), 4);
    ComPtr<INamed> named = shape.As<INamed>();
    ASSERT_TRUE(named);
    EXPECT_EQ(named->Name(), L"square");

    // Every route to IUnknown gives the same identity.
    ComPtr<IUnknown> a, b;
    ASSERT_EQ(named->QueryInterface(IID_IUnknown, a.ReleaseAndGetVoidAddress()), S_OK);
    ASSERT_EQ(sq->QueryInterface(IID_IUnknown, b.ReleaseAndGetVoidAddress()), S_OK);
    EXPECT_EQ(a.Get(), b.Get());

    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(sq->QueryInterface(IID_INowhere, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(sq->QueryInterface(IID_IShape, nullptr), E_POINTER);
}

TEST(ComObject, AggregatedInnerDelegatesToItsOuter) {
    g_alive = 0;
    {
        ComPtr<IShape> box;
        ASSERT_EQ(CreateComInstance<Box>(nullptr, IID_IShape, box.ReleaseAndGetVoidAddress()), S_OK);
        EXPECT_EQ(g_alive, 2);
        ComPtr<INamed> named = box.As<INamed>();  // answered by the inner object
        ASSERT_TRUE(named);
        EXPECT_EQ(named->Name(), L"label");

        // The inner's interface answers for the outer: its IUnknown is the outer's, and
        // the outer's interfaces are reachable from it.
        ComPtr<IUnknown> fromInner, fromOuter;
        ASSERT_EQ(named->QueryInterface(IID_IUnknown, fromInner.ReleaseAndGetVoidAddress()), S_OK);
        ASSERT_EQ(box->QueryInterface(IID_IUnknown, fromOuter.ReleaseAndGetVoidAddress()), S_OK);
        EXPECT_EQ(fromInner.Get(), fromOuter.Get());
        ComPtr<IShape> back = named.As<IShape>();
        ASSERT_TRUE(back);
        EXPECT_EQ(back->Corners(), 8);
        box = nullptr;
        fromInner = nullptr;
        fromOuter = nullptr;
        back = nullptr;
        // A reference through the inner's interface keeps the whole aggregate alive.
        EXPECT_EQ(g_alive, 2);
        EXPECT_EQ(named->Name(), L"label");
    }
    EXPECT_EQ(g_alive, 0);
}

TEST(ComObject, AggregationIsRefusedOrRestrictedAsRequired) {
    ComPtr<IShape> outer = MakeComObject<Square>();
    void* out = nullptr;
    EXPECT_EQ(CreateComInstance<Square>(outer.Get(), IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    // An aggregated object must be asked for its IUnknown first.
    EXPECT_EQ(CreateComInstance<Label>(outer.Get(), IID_INamed, &out), E_INVALIDARG);
    EXPECT_EQ(out, nullptr);
}

TEST(ComObject, FailedFinalConstructDestroysTheObject) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateComInstance<Refusing>(nullptr, IID_IShape, &out), E_ACCESSDENIED);
    EXPECT_EQ(out, nullptr);  // and the sanitizer finds no leak
}

TEST(ComObject, AtomicCountsSurviveManyThreads) {
    g_alive = 0;
    ComPtr<ISquare> sq;
    ASSERT_EQ(CreateComInstance<Square>(nullptr, IID_ISquare, sq.ReleaseAndGetVoidAddress()), S_OK);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([p = sq.Get()] {
            for (int i = 0; i < 20000; ++i) {
                p->AddRef();
                p->Release();
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(g_alive, 1);
    EXPECT_EQ(sq->AddRef(), 2u);
    sq->Release();
}

TEST(ClassFactory, CreatesRefusesAggregationAndLocksTheModule) {
    ComPtr<IClassFactory> factory = MakeClassFactory(CreatorFor<Square>());
    ASSERT_TRUE(factory);
    ComPtr<INamed> named;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_INamed, named.ReleaseAndGetVoidAddress()), S_OK);
    EXPECT_EQ(named->Name(), L"square");
    void* out = nullptr;
    EXPECT_EQ(factory->CreateInstance(named.Get(), IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);

    long before = ModuleLockCount();
    EXPECT_EQ(factory->LockServer(true), S_OK);
    EXPECT_EQ(ModuleLockCount(), before + 1);
    EXPECT_EQ(factory->LockServer(false), S_OK);
    EXPECT_EQ(ModuleLockCount(), before);

    ComPtr<IClassFactory> throwing = MakeClassFactory([](IUnknown*, REFIID, void**) -> HRESULT {
        throw std::runtime_error("no exception may cross the boundary");
    });
    EXPECT_EQ(throwing->CreateInstance(nullptr, IID_IUnknown, &out), E_FAIL);
}

TEST(ObjectMap, ServesAndKeepsOneFactoryPerClass) {
    ComObjectMap map({{CLSID_Square, L"Test.Square.1", CreatorFor<Square>()}});
    ComPtr<IClassFactory> f1, f2;
    ASSERT_EQ(map.GetClassObject(CLSID_Square, IID_IClassFactory, f1.ReleaseAndGetVoidAddress()), S_OK);
    ASSERT_EQ(map.GetClassObject(CLSID_Square, IID_IClassFactory, f2.ReleaseAndGetVoidAddress()), S_OK);
    EXPECT_EQ(f1.Get(), f2.Get());
    void* out = nullptr;
    EXPECT_EQ(map.GetClassObject(IID_INowhere, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(map.GetClassObject(CLSID_Square, IID_INowhere, &out), E_NOINTERFACE);
    map.Term();
    ComPtr<ISquare> sq;
    EXPECT_EQ(f1->CreateInstance(nullptr, IID_ISquare, sq.ReleaseAndGetVoidAddress()), S_OK);
}

TEST(CreationRegistry, CreatesRegisteredClassesOnly) {
    ComPtr<ISquare> sq;
    EXPECT_EQ(CoCreateInstance(CLSID_Square, nullptr, CLSCTX_ALL, IID_ISquare, sq.ReleaseAndGetVoidAddress()),
              REGDB_E_CLASSNOTREG);
    {
        ScopedComponentClass registered(CLSID_Square, CreatorFor<Square>());
        EXPECT_TRUE(IsComponentClassRegistered(CLSID_Square));
        ASSERT_EQ(Xen::Vexcomp::CoCreateInstance(CLSID_Square, sq), S_OK);
        EXPECT_EQ(sq->Side(), 2.0);
        ComPtr<INamed> named;
        EXPECT_EQ(Xen::ATL::XenAtlCoCreateInstance(CLSID_Square, nullptr, CLSCTX_INPROC_SERVER, IID_INamed,
                                                   named.ReleaseAndGetVoidAddress()),
                  S_OK);
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(CoCreateInstance(CLSID_Square, nullptr, CLSCTX_ALL, IID_INowhere, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_FALSE(IsComponentClassRegistered(CLSID_Square));
    EXPECT_EQ(UnregisterComponentClass(CLSID_Square), S_FALSE);
    EXPECT_EQ(RegisterComponentClass(CLSID_Square, nullptr), E_INVALIDARG);
    EXPECT_EQ(Xen::Vexcomp::Guid(L"{22222222-0000-0000-0000-000000000001}"), CLSID_Square);
    EXPECT_EQ(Xen::Vexcomp::Guid(L"not a guid"), GUID_NULL);
}

// An object that hands out the free-threaded marshaler, created on first request.
class Shared : public ComObject<Shared, IShape> {
  public:
    HRESULT QueryInterfaceExtra(REFIID iid, void** out) {
        *out = nullptr;
        if (!(iid == IID_IMarshal)) return E_NOINTERFACE;
        if (!marshaler_) {
            HRESULT hr =
                CoCreateFreeThreadedMarshaler(ControllingUnknown(), marshaler_.ReleaseAndGetAddressOf());
            if (FAILED(hr)) return hr;
        }
        return marshaler_->QueryInterface(iid, out);
    }
    int Corners() override { return 3; }
    ComPtr<IUnknown> marshaler_;
};

TEST(FreeThreadedMarshaler, IsAggregatedOnceAndAnswersForItsOuter) {
    ComPtr<IShape> shape = MakeComObject<Shared>();
    ComPtr<IMarshal> m1 = shape.As<IMarshal>();
    ComPtr<IMarshal> m2 = shape.As<IMarshal>();
    ASSERT_TRUE(m1);
    EXPECT_EQ(m1.Get(), m2.Get());
    EXPECT_EQ(m1->IsFreeThreaded(), S_OK);
    ComPtr<IShape> back = m1.As<IShape>();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Corners(), 3);
    IUnknown* inner = nullptr;
    EXPECT_EQ(CoCreateFreeThreadedMarshaler(nullptr, &inner), E_INVALIDARG);
}

}  // namespace
