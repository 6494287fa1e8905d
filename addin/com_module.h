// The add-in as a component module: its object map of the four co-classes, their class
// factories, and their registration. Registration runs in one of two modes: the normal mode
// writes (or removes) each class's keys in the registry file with the module's own path as
// its in-process server; the collect mode writes nothing and gathers each class's ProgID and
// CLSID for the host framework, which asks for that list instead of registering the module.
// The module's exports (addin/module.cpp) run on one instance of this class.
#pragma once

#include <cstddef>
#include <filesystem>
#include <utility>
#include <vector>

#include "platform/com.h"
#include "platform/com_object.h"
#include "platform/creation_registry.h"

// One row of the object map.
struct CoClassEntry {
    CLSID clsid;
    const wchar_t* progId;
    // The co-class name, the description of its registry keys.
    const wchar_t* name;
    ComponentCreator creator;
};

// The object map in registration order: solver, proxy, analysis settings, add-in.
std::vector<CoClassEntry> DorvixObjectMap();

// The category every runtime-registered co-class is listed under.
inline constexpr GUID kRuntimeCoClassCategory = MakeGuid("179d6d81-459c-42b8-a671-a1bbbdec9671");

enum class RegistrationMode { Normal, Collect };

// The allocations of the collect mode: the ProgID strings and the task-memory blocks (CLSID
// copies and the arrays handed out) that the caller frees.
struct CoClassAllocators {
    BSTR (*allocString)(const OLECHAR* text) = &XenSysAllocString;
    void* (*allocMemory)(std::size_t bytes) = &XenCoTaskMemAlloc;
};

class DorvixComModule {
  public:
    DorvixComModule(std::vector<CoClassEntry> entries, std::filesystem::path modulePath,
                    CoClassAllocators allocators = {});
    ~DorvixComModule();
    DorvixComModule(const DorvixComModule&) = delete;
    DorvixComModule& operator=(const DorvixComModule&) = delete;

    // The class factory of the entry with that CLSID; CLASS_E_CLASSNOTAVAILABLE for others.
    [[nodiscard]] HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);

    // The registration operation of one class. Normal mode: writes the class key with its
    // name, its InprocServer32 key (the module path, threading model "Both") and its ProgID
    // key, and the ProgID key pointing back to the CLSID; unregistering removes both keys.
    // E_FAIL without a module path, else the registry's answer. Collect mode (register only):
    // appends the ProgID and a task-memory copy of the CLSID to the collected list; E_FAIL
    // when either cannot be allocated.
    [[nodiscard]] HRESULT UpdateRegistry(const CoClassEntry& entry, bool doRegister, RegistrationMode mode);
    // Every class in map order, stopping at the first failure.
    [[nodiscard]] HRESULT RegisterCoClasses(RegistrationMode mode);
    // Every class in reverse order; answers the first failure, having tried them all.
    [[nodiscard]] HRESULT UnregisterCoClasses();

    // Collects every class and hands the list out: the count and two task-memory arrays, of
    // the ProgIDs and of the CLSID copies, which the caller owns from then on. A collection
    // that fails part-way answers the failure, frees what it had collected and hands out
    // nothing (a count of 0 and null arrays).
    [[nodiscard]] HRESULT CollectRegisteredCoClasses(ULONG* count, BSTR** progIds, CLSID*** clsids);
    // The runtime-registered co-classes with a category copy for each; E_FAIL before the first
    // collection. Nothing registers co-classes at run time, so the count is 0.
    [[nodiscard]] HRESULT CollectRuntimeCoClasses(ULONG* count, CLSID*** coClasses, GUID*** categories);

    const std::vector<CoClassEntry>& Entries() const { return entries_; }

  private:
    [[nodiscard]] HRESULT WriteClassKeys(const CoClassEntry& entry) const;
    [[nodiscard]] HRESULT RemoveClassKeys(const CoClassEntry& entry) const;
    void FreeCollected();

    std::vector<CoClassEntry> entries_;
    std::filesystem::path modulePath_;
    CoClassAllocators allocators_;
    ComObjectMap map_;
    // Set by the first collection and never reset.
    bool collected_ = false;
    std::vector<std::pair<BSTR, CLSID*>> collectedList_;
    std::vector<CLSID*> runtimeList_;
};
