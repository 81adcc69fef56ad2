// BSTR strings and VARIANT handling. A BSTR block is a 32-bit byte count, the
// characters and a NUL character; the BSTR points just past the count.
#include <oleauto.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr size_t kPrefix = sizeof(uint32_t);

uint32_t* Prefix(BSTR text) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<BYTE*>(text) - kPrefix);
}

}  // namespace

extern "C" {

BSTR WINAPI SysAllocStringLen(const OLECHAR* text, UINT length) {
    // The byte count must fit the 32-bit prefix.
    if (length >
        (std::numeric_limits<uint32_t>::max() - kPrefix - sizeof(OLECHAR)) / sizeof(OLECHAR))
        return nullptr;
    const size_t bytes = static_cast<size_t>(length) * sizeof(OLECHAR);
    auto* block = static_cast<BYTE*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
    if (block == nullptr) return nullptr;
    const auto count = static_cast<uint32_t>(bytes);
    std::memcpy(block, &count, kPrefix);
    auto* characters = reinterpret_cast<BSTR>(block + kPrefix);
    if (text != nullptr) {
        std::memcpy(characters, text, bytes);
    } else {
        std::memset(characters, 0, bytes);
    }
    characters[length] = 0;
    return characters;
}

BSTR WINAPI SysAllocString(const OLECHAR* text) {
    if (text == nullptr) return nullptr;
    UINT length = 0;
    while (text[length] != 0) ++length;
    return SysAllocStringLen(text, length);
}

void WINAPI SysFreeString(BSTR text) {
    if (text != nullptr) std::free(Prefix(text));
}

UINT WINAPI SysStringByteLen(BSTR text) {
    if (text == nullptr) return 0;
    uint32_t count = 0;
    std::memcpy(&count, Prefix(text), kPrefix);
    return count;
}

UINT WINAPI SysStringLen(BSTR text) {
    return SysStringByteLen(text) / sizeof(OLECHAR);
}

void WINAPI VariantInit(VARIANTARG* value) {
    if (value == nullptr) return;
    value->vt = VT_EMPTY;
    value->wReserved1 = value->wReserved2 = value->wReserved3 = 0;
}

HRESULT WINAPI VariantClear(VARIANTARG* value) {
    if (value == nullptr) return E_INVALIDARG;
    switch (value->vt) {
        case VT_BSTR:
            SysFreeString(value->bstrVal);
            break;
        case VT_UNKNOWN:
        case VT_DISPATCH:
            if (value->punkVal != nullptr) value->punkVal->Release();
            break;
        default:
            break;
    }
    value->vt = VT_EMPTY;
    return S_OK;
}

}  // extern "C"
