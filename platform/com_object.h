// The object base every component of the system is built on: reference counting,
// QueryInterface through an interface list, aggregation as an inner object, class
// factories, the module's lock count and the object map behind DllGetClassObject.
//
//   class CFoo : public ComObject<CFoo, IFoo, IBar> { ... };
//   ComPtr<IFoo> foo;
//   HRESULT hr = CreateComInstance<CFoo>(nullptr, IFoo::iid(), foo.ReleaseAndGetVoidAddress());
//
// QueryInterface answers IID_IUnknown and `iid()` of each listed interface. An interface
// that extends another declares `using BaseInterface = IParent;` and is then answered for
// the parent's IID as well (recursively). A class may add answers of its own by declaring
//   HRESULT QueryInterfaceExtra(REFIID iid, void** out);
// (called after the list gave no answer; answer E_NOINTERFACE for anything unknown).
// Optional hooks, found by name: `HRESULT FinalConstruct()` runs once the object holds its
// first reference and refuses the creation when it fails; `void FinalRelease()` runs just
// before the object is deleted.
//
// Aggregation: created with an outer unknown, the object forwards its IUnknown operations
// to the outer and hands the outer its own non-delegating unknown (`InnerUnknown()`), which
// owns the object's lifetime. A class admits aggregation only when it declares
// `static constexpr bool kAggregatable = true;`; otherwise creation with an outer answers
// CLASS_E_NOAGGREGATION.
#pragma once

#include <atomic>
#include <concepts>
#include <cstdint>
#include <functional>
#include <mutex>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/com.h"

// ---------------------------------------------------------------------------------------
// Reference-count policies.

// For objects that one thread owns.
class PlainRefCount {
  public:
    ULONG Increment() { return ++n_; }
    ULONG Decrement() { return --n_; }
    ULONG Value() const { return n_; }

  private:
    ULONG n_ = 0;
};

// For objects shared between threads.
class AtomicRefCount {
  public:
    ULONG Increment() { return n_.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG Decrement() { return n_.fetch_sub(1, std::memory_order_acq_rel) - 1; }
    ULONG Value() const { return n_.load(std::memory_order_relaxed); }

  private:
    std::atomic<ULONG> n_{0};
};

namespace platform_detail {

template <class I>
concept HasBaseInterface = requires {
    typename I::BaseInterface;
};

// True and `*out` set (without a reference) when `iid` names I or one of its declared bases.
template <class I, class Object>
bool MatchInterface(Object* self, REFIID iid, void** out) {
    if (iid == I::iid()) {
        *out = static_cast<I*>(self);
        return true;
    }
    if constexpr (HasBaseInterface<I>) {
        using Base = typename I::BaseInterface;
        return MatchInterface<Base>(static_cast<Base*>(static_cast<I*>(self)), iid, out);
    }
    return false;
}

template <class T>
concept HasFinalConstruct = requires(T& t) {
    { t.FinalConstruct() } -> std::same_as<HRESULT>;
};
template <class T>
concept HasFinalRelease = requires(T& t) {
    t.FinalRelease();
};
template <class T>
concept IsAggregatable = requires {
    T::kAggregatable;
}
&&T::kAggregatable;

}  // namespace platform_detail

// ---------------------------------------------------------------------------------------
// The object base.

template <class Count, class Derived, class First, class... Rest>
class ComObjectT : public First, public Rest... {
  public:
    // The delegating IUnknown of every listed interface.
    [[nodiscard]] HRESULT QueryInterface(REFIID iid, void** out) override {
        if (outer_) return outer_->QueryInterface(iid, out);
        return InternalQueryInterface(iid, out);
    }
    ULONG AddRef() override { return outer_ ? outer_->AddRef() : InternalAddRef(); }
    ULONG Release() override { return outer_ ? outer_->Release() : InternalRelease(); }

    // The object's own identity, whether or not it is aggregated.
    IUnknown* InnerUnknown() { return &inner_; }
    // The controlling unknown: the outer object when aggregated, else this object.
    IUnknown* ControllingUnknown() { return outer_ ? outer_ : OwnUnknown(); }
    ULONG RefCountForTesting() const { return count_.Value(); }

    [[nodiscard]] HRESULT InternalQueryInterface(REFIID iid, void** out) {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown) {
            // The identity: the inner unknown when aggregated, so the outer can own us.
            IUnknown* identity = outer_ ? static_cast<IUnknown*>(&inner_) : OwnUnknown();
            identity->AddRef();
            *out = identity;
            return S_OK;
        }
        Derived* self = static_cast<Derived*>(this);
        if (platform_detail::MatchInterface<First>(self, iid, out) ||
            (platform_detail::MatchInterface<Rest>(self, iid, out) || ...)) {
            AddRef();  // delegating: an aggregated object's interfaces count on the outer
            return S_OK;
        }
        HRESULT hr = self->QueryInterfaceExtra(iid, out);
        if (FAILED(hr) || !*out) {
            *out = nullptr;
            return FAILED(hr) ? hr : E_NOINTERFACE;
        }
        return S_OK;  // the extra answer took its own reference
    }
    ULONG InternalAddRef() { return count_.Increment(); }
    ULONG InternalRelease() {
        ULONG n = count_.Decrement();
        if (n == 0) {
            // Guards against a FinalRelease that takes and drops a reference to itself.
            count_.Increment();
            if constexpr (platform_detail::HasFinalRelease<Derived>)
                static_cast<Derived*>(this)->FinalRelease();
            delete this;
        }
        return n;
    }

    // Default: no answers beyond the interface list.
    [[nodiscard]] HRESULT QueryInterfaceExtra(REFIID, void** out) {
        *out = nullptr;
        return E_NOINTERFACE;
    }

    virtual ~ComObjectT() = default;

  protected:
    ComObjectT() = default;
    ComObjectT(const ComObjectT&) = delete;
    ComObjectT& operator=(const ComObjectT&) = delete;

  private:
    IUnknown* OwnUnknown() { return static_cast<IUnknown*>(static_cast<First*>(this)); }

    // The non-delegating unknown handed to an outer object.
    struct Inner : IUnknown {
        ComObjectT* self;
        explicit Inner(ComObjectT* s) : self(s) {}
        [[nodiscard]] HRESULT QueryInterface(REFIID iid, void** out) override {
            return self->InternalQueryInterface(iid, out);
        }
        ULONG AddRef() override { return self->InternalAddRef(); }
        ULONG Release() override { return self->InternalRelease(); }
    };

    Count count_;
    IUnknown* outer_ = nullptr;
    Inner inner_{this};

  public:
    // Used by creation only: set before the object is handed out.
    void SetOuterUnknown(IUnknown* outer) { outer_ = outer; }
};

// Atomic counts: the default, for objects that may be shared between threads.
template <class Derived, class... Interfaces>
using ComObject = ComObjectT<AtomicRefCount, Derived, Interfaces...>;
// Plain counts for objects confined to one thread.
template <class Derived, class... Interfaces>
using ComObjectSingleThreaded = ComObjectT<PlainRefCount, Derived, Interfaces...>;

// Creates a T (made by `make`, which answers a new T or null) and answers `iid` through
// out. With an outer unknown, T must be aggregatable and iid must be IID_IUnknown; the outer
// then gets the inner unknown. On any failure the object is destroyed and *out is null.
template <class T, class Make>
[[nodiscard]] HRESULT CreateComInstanceWith(IUnknown* outer, REFIID iid, void** out, Make&& make) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) {
        if constexpr (!platform_detail::IsAggregatable<T>) {
            return CLASS_E_NOAGGREGATION;
        } else if (!(iid == IID_IUnknown)) {
            return E_INVALIDARG;
        }
    }
    T* obj = nullptr;
    try {
        obj = make();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
    if (!obj) return E_OUTOFMEMORY;
    obj->SetOuterUnknown(outer);
    // Holds the object alive through FinalConstruct and the query.
    obj->InternalAddRef();
    HRESULT hr = S_OK;
    if constexpr (platform_detail::HasFinalConstruct<T>) hr = obj->FinalConstruct();
    if (SUCCEEDED(hr)) hr = obj->InternalQueryInterface(iid, out);
    obj->InternalRelease();
    return hr;
}

template <class T>
[[nodiscard]] HRESULT CreateComInstance(IUnknown* outer, REFIID iid, void** out) {
    return CreateComInstanceWith<T>(outer, iid, out, [] { return new T(); });
}

// Convenience: a new, unaggregated T held by a ComPtr of its own type (null on failure).
template <class T, class... Args>
ComPtr<T> MakeComObject(Args&&... args) {
    T* raw = nullptr;
    IUnknown* unk = nullptr;
    HRESULT hr = CreateComInstanceWith<T>(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unk),
                                          [&] { return raw = new T(std::forward<Args>(args)...); });
    if (FAILED(hr) || !unk) return nullptr;
    return ComPtr<T>::Attach(raw);  // the reference taken through unk
}

// ---------------------------------------------------------------------------------------
// Module lock count: objects and LockServer keep the module loaded.

void ModuleLock();
void ModuleUnlock();
long ModuleLockCount();

// ---------------------------------------------------------------------------------------
// Class factories.

struct IClassFactory : IUnknown {
    [[nodiscard]] virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) = 0;
    [[nodiscard]] virtual HRESULT LockServer(bool lock) = 0;
    static constexpr const IID& iid();
};
inline constexpr IID IID_IClassFactory = MakeGuid("00000001-0000-0000-c000-000000000046");
constexpr const IID& IClassFactory::iid() { return IID_IClassFactory; }

// Creates an instance: outer unknown, requested interface, out pointer.
using ComponentCreator = std::function<HRESULT(IUnknown* outer, REFIID iid, void** out)>;
// Runs a creator as a component boundary must: `*out` (not null) is null on every failure,
// and an exception from the creator is answered as E_FAIL instead of crossing the boundary.
[[nodiscard]] HRESULT RunComponentCreator(const ComponentCreator& creator, IUnknown* outer, REFIID iid,
                                          void** out);

// A class factory over a creator function.
ComPtr<IClassFactory> MakeClassFactory(ComponentCreator creator);

// The creator for a class built on the object base.
template <class T>
ComponentCreator CreatorFor() {
    return [](IUnknown* outer, REFIID iid, void** out) { return CreateComInstance<T>(outer, iid, out); };
}

// ---------------------------------------------------------------------------------------
// Object map: the classes a module serves, in registration order.

struct ObjectMapEntry {
    CLSID clsid;
    std::wstring progId;
    ComponentCreator creator;
};

class ComObjectMap {
  public:
    explicit ComObjectMap(std::vector<ObjectMapEntry> entries);
    // The class factory of the entry with that CLSID; CLASS_E_CLASSNOTAVAILABLE when none.
    // Class objects are made on first request and then kept.
    [[nodiscard]] HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);
    const std::vector<ObjectMapEntry>& Entries() const { return entries_; }
    // Releases the kept class objects.
    void Term();

  private:
    std::vector<ObjectMapEntry> entries_;
    std::vector<ComPtr<IClassFactory>> factories_;
    std::mutex mutex_;
};

// ---------------------------------------------------------------------------------------
// Free-threaded marshaler. Calls never cross apartments in this process model, so the
// marshaler only has to exist, be aggregated and answer IID_IMarshal.

struct IMarshal : IUnknown {
    // Answers S_OK: an object that hands out this marshaler may be used from any thread.
    [[nodiscard]] virtual HRESULT IsFreeThreaded() = 0;
    static constexpr const IID& iid();
};
inline constexpr IID IID_IMarshal = MakeGuid("00000003-0000-0000-c000-000000000046");
constexpr const IID& IMarshal::iid() { return IID_IMarshal; }

// Creates the marshaler aggregated in `outer` and gives its inner unknown.
[[nodiscard]] HRESULT CoCreateFreeThreadedMarshaler(IUnknown* outer, IUnknown** innerUnknown);
