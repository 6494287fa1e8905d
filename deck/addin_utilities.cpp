// Registry folders of the add-in, degree-of-freedom digits, load and support type codes, HTML messages.
#include "deck/addin_utilities.h"

#include <algorithm>
#include <vector>

#include "deck/html_paragraphs.h"
#include "host/string_table.h"
#include "platform/creation_registry.h"
#include "runtime/addin_registry.h"

namespace {

// The longest value the string form answers, as the fixed buffer of the character form did.
constexpr std::size_t kLongestValue = 1023;

}  // namespace

HRESULT GetAddinDirectory(const std::wstring& subkey, const std::wstring& valueName, wchar_t* out,
                          std::size_t capacity) {
    if (!out || capacity == 0) return E_FAIL;
    std::wstring value;
    if (FAILED(ReadAddinRegistryString(subkey, valueName, capacity - 1, value))) return E_FAIL;
    std::copy(value.begin(), value.end(), out);
    out[value.size()] = L'\0';
    return S_OK;
}

HRESULT GetAddinDirectory(const std::wstring& subkey, const std::wstring& valueName, std::wstring& out) {
    return FAILED(ReadAddinRegistryString(subkey, valueName, kLongestValue, out)) ? E_FAIL : S_OK;
}

int DofMaskToDigits(bool planar, std::uint8_t mask, char* out) {
    char* p = out;
    if (mask & 0x01) *p++ = '1';
    if (mask & 0x02) *p++ = '2';
    if (!planar) {
        if (mask & 0x04) *p++ = '3';
        if (mask & 0x10) *p++ = '4';
        if (mask & 0x20) *p++ = '5';
    }
    if (mask & 0x40) *p++ = '6';
    *p = '\0';
    return 0;
}

std::string DofMaskToDigits(bool planar, std::uint8_t mask) {
    char digits[8];
    (void)DofMaskToDigits(planar, mask, digits);  // always 0
    return digits;
}

void AddLoadObjectTypes(JXList<int>& list) {
    static constexpr int kLoadTypes[] = {500, 501, 502, 503, 521, 523, 521, 541, 542, 543,
                                         505, 506, 650, 651, 652, 504, 507, 550, 551, 552,
                                         553, 554, 564, 555, 556, 557, 558, 564};
    for (int type : kLoadTypes) list.Add(type);
}

void AddSupportObjectTypes(JXList<int>& list) {
    static constexpr int kSupportTypes[] = {518, 510, 511, 512, 519, 525, 532, 526, 528,
                                            513, 514, 515, 529, 530, 531, 527, 538};
    for (int type : kSupportTypes) list.Add(type);
}

HRESULT ListHtmlParagraphs(BSTR text, IHostStringList** out) {
    BstrHolder owned = BstrHolder::Attach(text);
    if (!out) return E_POINTER;
    ComPtr<IHostStringList> list;
    if (FAILED(Xen::Vexcomp::CoCreateInstance(CLSID_HostStringList, list)) || !list) return E_FAIL;
    if (!owned.View().empty()) {
        const std::wstring wrapped = L"<HTML><BODY>" + owned.Str() + L"</BODY></HTML>";
        for (const std::wstring& paragraph : SplitHtmlParagraphs(wrapped)) {
            BstrHolder item(paragraph);
            (void)list->Add(item.Get());
        }
    }
    return list.CopyTo(out);
}
