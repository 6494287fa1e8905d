// The module's registration logic where a loaded module cannot be made to fail: a collection
// whose allocations give out part-way.

#include "addin/com_module.h"

#include <gtest/gtest.h>

namespace {

int g_stringsLeft = 0;

BSTR AllocStringWhileAny(const OLECHAR* text) { return g_stringsLeft-- > 0 ? SysAllocString(text) : nullptr; }

TEST(ComModuleTest, ACollectionThatFailsPartWayHandsOutNothingAndFreesWhatItHad) {
    // The third class's ProgID cannot be allocated; the sanitizer build's leak check sees any
    // string or CLSID copy of the first two that is not freed.
    g_stringsLeft = 2;
    CoClassAllocators allocators;
    allocators.allocString = &AllocStringWhileAny;
    DorvixComModule module(DorvixObjectMap(), "/opt/dorvix/libdorvixsolver.so", allocators);
    ULONG count = 9;
    BSTR* progIds = nullptr;
    CLSID** clsids = nullptr;
    EXPECT_EQ(module.CollectRegisteredCoClasses(&count, &progIds, &clsids), E_FAIL);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(progIds, nullptr);
    EXPECT_EQ(clsids, nullptr);

    // Once the allocations succeed again the whole list comes, not a remainder.
    g_stringsLeft = 4;
    ASSERT_EQ(module.CollectRegisteredCoClasses(&count, &progIds, &clsids), S_OK);
    ASSERT_EQ(count, 4u);
    for (ULONG i = 0; i < count; ++i) {
        EXPECT_EQ(*clsids[i], module.Entries()[i].clsid);
        SysFreeString(progIds[i]);
        CoTaskMemFree(clsids[i]);
    }
    CoTaskMemFree(progIds);
    CoTaskMemFree(clsids);
}

}  // namespace
