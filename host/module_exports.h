// The exports of the add-in module (the shared library dorvixsolver), plain C functions that
// a host finds by name after loading the module:
//
//   DllGetClassObject              the class factory of one of the four co-classes
//   DllCanUnloadNow                always S_FALSE: the module stays loaded for the process
//   DllRegisteredCoClasses         the co-classes the host framework registers: count, ProgIDs
//                                  and CLSIDs, in object-map order; the caller frees the strings
//                                  (SysFreeString), the CLSID copies and both arrays
//                                  (CoTaskMemFree)
//   DllRuntimeRegisteredCoClasses  the co-classes registered at run time with their categories;
//                                  E_FAIL until DllRegisteredCoClasses has run; the caller frees
//                                  both arrays and every copy in them
//   DllRegisterServer              writes the four classes into the registry file, with this
//                                  module's path as their in-process server
//   DllUnregisterServer            removes them
//
// Nothing else leaves the module: its objects are reached only through the class factories.
#pragma once

#include "platform/com.h"

#define DORVIX_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

DORVIX_MODULE_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** out);
DORVIX_MODULE_EXPORT HRESULT DllCanUnloadNow();
DORVIX_MODULE_EXPORT HRESULT DllRegisteredCoClasses(ULONG* count, BSTR** progIds, CLSID*** clsids);
DORVIX_MODULE_EXPORT HRESULT DllRuntimeRegisteredCoClasses(ULONG* count, CLSID*** coClasses,
                                                           GUID*** categories);
DORVIX_MODULE_EXPORT HRESULT DllRegisterServer();
DORVIX_MODULE_EXPORT HRESULT DllUnregisterServer();
