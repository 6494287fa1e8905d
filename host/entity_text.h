// A host entity that names something by a text of its own: a remote point gives the number of
// its pilot node this way, and a child object of a named selection its value (an HTML text
// whose first paragraph holds a number or the name of an analysis parameter).
#pragma once

#include <string>

#include "platform/com.h"

struct IHostEntityText : IUnknown {
    static constexpr IID kIid = MakeGuid("34d4301d-a7ec-441c-b32a-fd8e233994b1");
    static constexpr const IID& iid() { return kIid; }

    // S_OK with the entity's text; S_FALSE (text empty) when the entity has none.
    [[nodiscard]] virtual HRESULT GetTextProperty(std::wstring& text) = 0;

  protected:
    ~IHostEntityText() = default;
};
