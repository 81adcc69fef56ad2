// COM: the calling thread's apartment and object creation from the world's
// class registry.
#include <objbase.h>
#include <xlplatform/world.h>

#include <cstdio>
#include <cstring>

#include "msxml.h"
#include "usage_report.h"
#include "usagereport.h"
#include "xml/dom_document.h"

namespace {

// The apartment of the calling thread: COM's state is per thread on Windows too.
struct Apartment {
    int initialisations = 0;
    DWORD model = COINIT_APARTMENTTHREADED;
};
thread_local Apartment t_apartment;

constexpr DWORD kModelMask = COINIT_APARTMENTTHREADED;

}  // namespace

namespace xlplatform {

std::vector<ComClass> DefaultComClasses() {
    return {{CLSID_UsageReport, CreateUsageReport}, {CLSID_DOMDocument, CreateXmlDocument}};
}

void RegisterComClass(const CLSID& clsid, ComFactory factory) {
    for (ComClass& known : TheWorld().comClasses) {
        if (known.clsid == clsid) {
            known.create = std::move(factory);
            return;
        }
    }
    TheWorld().comClasses.push_back({clsid, std::move(factory)});
}

std::u16string GuidToString(const GUID& guid) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                  guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return Utf8ToUtf16(text);
}

}  // namespace xlplatform

extern "C" {

HRESULT WINAPI CoInitializeEx(LPVOID reserved, DWORD coInit) {
    if (reserved != nullptr) return E_INVALIDARG;
    const DWORD model = coInit & kModelMask;
    if (t_apartment.initialisations > 0) {
        if (t_apartment.model != model) return RPC_E_CHANGED_MODE;
        ++t_apartment.initialisations;
        return S_FALSE;
    }
    t_apartment = {1, model};
    return S_OK;
}

HRESULT WINAPI CoInitialize(LPVOID reserved) {
    return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED);
}

void WINAPI CoUninitialize() {
    if (t_apartment.initialisations > 0) --t_apartment.initialisations;
}

HRESULT WINAPI CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid,
                                LPVOID* object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (t_apartment.initialisations == 0) return CO_E_NOTINITIALIZED;
    if ((context & CLSCTX_ALL) == 0) return E_INVALIDARG;
    // The world's classes are in-process servers.
    if ((context & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
    for (const xlplatform::ComClass& known : xlplatform::TheWorld().comClasses) {
        if (known.clsid != clsid) continue;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        if (!known.create) return REGDB_E_CLASSNOTREG;
        // A copy: the factory may change the class registry while it runs.
        const xlplatform::ComFactory create = known.create;
        return create(iid, object);
    }
    return REGDB_E_CLASSNOTREG;
}

int WINAPI StringFromGUID2(REFGUID guid, LPOLESTR text, int size) {
    const std::u16string formatted = xlplatform::GuidToString(guid);
    const int needed = static_cast<int>(formatted.size()) + 1;
    if (text == nullptr || size < needed) return 0;
    std::memcpy(text, formatted.c_str(), needed * sizeof(WCHAR));
    return needed;
}

}  // extern "C"
