// The exports of the add-in module (declared and described in addin/module_exports.h). They
// run on the module's one DorvixComModule, made on first use with the object map and the
// module's own file, and released when the process ends. No exception leaves an export.
#include "addin/com_module.h"
#include "host/module_exports.h"
#include "platform/module_loader.h"
#include "runtime/xen_com_object.h"

namespace {

DorvixComModule& TheModule() {
    static DorvixComModule module(DorvixObjectMap(),
                                  platform::ModulePathOf(reinterpret_cast<const void*>(&DllGetClassObject)));
    return module;
}

template <class Operation>
HRESULT Guarded(Operation&& operation) {
    try {
        return operation();
    } catch (...) {
        return AnswerCurrentFailure();
    }
}

}  // namespace

HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return Guarded([&] { return TheModule().GetClassObject(clsid, iid, out); });
}

HRESULT DllCanUnloadNow() { return S_FALSE; }

HRESULT DllRegisteredCoClasses(ULONG* count, BSTR** progIds, CLSID*** clsids) {
    return Guarded([&] { return TheModule().CollectRegisteredCoClasses(count, progIds, clsids); });
}

HRESULT DllRuntimeRegisteredCoClasses(ULONG* count, CLSID*** coClasses, GUID*** categories) {
    return Guarded([&] { return TheModule().CollectRuntimeCoClasses(count, coClasses, categories); });
}

HRESULT DllRegisterServer() {
    return Guarded([] { return TheModule().RegisterCoClasses(RegistrationMode::Normal); });
}

HRESULT DllUnregisterServer() {
    return Guarded([] { return TheModule().UnregisterCoClasses(); });
}
