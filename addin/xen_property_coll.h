// The collection of property entries an object hands to the host's grid.
#pragma once

#include <cstdint>
#include <vector>

#include "host/property_grid.h"
#include "platform/com.h"
#include "platform/com_object.h"

// Entries in the order they were added, each held by one reference. The collection keeps
// the module loaded while it lives; an entry the host still holds outlives it.
class CXenPropertyColl : public ComObjectSingleThreaded<CXenPropertyColl, IXenPropertyColl> {
  public:
    CXenPropertyColl();
    ~CXenPropertyColl() override;

    [[nodiscard]] HRESULT get_Count(std::uint32_t* count) override;
    // E_INVALIDARG for index 0 or above the count, then XEN_E_NULL_OUT for a null out pointer.
    [[nodiscard]] HRESULT get_Item(std::uint32_t index, IXenProperty** item) override;
    // The first entry with that dispid; E_INVALIDARG when none has it, then XEN_E_NULL_OUT.
    [[nodiscard]] HRESULT get_ItemById(DISPID dispid, IXenProperty** item) override;
    // E_POINTER for a null entry (nothing is stored).
    [[nodiscard]] HRESULT Add(IXenProperty* item) override;

  private:
    std::vector<ComPtr<IXenProperty>> items_;
};

// A new, empty collection; *out holds the only reference.
[[nodiscard]] HRESULT CreateXenPropertyColl(IXenPropertyColl** out);
