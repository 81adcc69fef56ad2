// The plug-in object. Every method that does work runs behind the exception
// boundary (frame/entry_boundary.h); the reference counting, GetInfo and the
// methods left to Unidrv cannot throw.
#include "frame/plugin_object.h"

#include <cstring>
#include <string_view>

#include "frame/command_callbacks.h"
#include "frame/device_enable.h"
#include "frame/entry_boundary.h"
#include "frame/font_command.h"
#include "frame/hooks.h"
#include "frame/module_state.h"
#include "frame/write_printer.h"
#include "job/names/name_recording.h"
#include "settings/devmode_handler.h"

namespace xlr {
namespace {

// GetInfo answers.
constexpr DWORD kSignature = 0x4B585549;  // "KXUI", first character most significant
constexpr DWORD kInterfaceVersion = PRINTER_OEMINTF_VERSION;
constexpr DWORD kPluginVersion = 0x00010014;

constexpr std::string_view kImplementedMethods[] = {
    "GetInfo",     "DevMode",   "EnableDriver",    "DisableDriver", "EnablePDEV",
    "DisablePDEV", "ResetPDEV", "CommandCallback", "SendFontCmd",   "WritePrinter",
};

}  // namespace

bool IsImplementedMethod(const char* name) {
    if (name == nullptr) return false;
    const std::string_view wanted(name);
    for (std::string_view method : kImplementedMethods)
        if (method == wanted) return true;
    return false;
}

CRenderPlugin::CRenderPlugin() {
    AddLiveObject();
}

CRenderPlugin::~CRenderPlugin() {
    if (m_driverHelper != nullptr) m_driverHelper->Release();
    RemoveLiveObject();
}

HRESULT CRenderPlugin::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IPrintOemUni2 || riid == IID_IPrintOemUni) {
        *ppv = static_cast<IPrintOemUni2*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CRenderPlugin::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_refCount));
}

ULONG CRenderPlugin::Release() {
    const LONG count = InterlockedDecrement(&m_refCount);
    if (count == 0) {
        delete this;
        return 0;
    }
    return static_cast<ULONG>(count);
}

HRESULT CRenderPlugin::GetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) {
    if (buffer == nullptr || needed == nullptr) {
        SetLastError(ERROR_INVALID_DATA);
        return E_FAIL;
    }
    DWORD value = 0;
    switch (mode) {
        case OEMGI_GETSIGNATURE:
            value = kSignature;
            break;
        case OEMGI_GETINTERFACEVERSION:
            value = kInterfaceVersion;
            break;
        case OEMGI_GETVERSION:
            value = kPluginVersion;
            break;
        default:
            return E_FAIL;
    }
    *needed = sizeof(DWORD);
    if (size != sizeof(DWORD)) return E_FAIL;
    std::memcpy(buffer, &value, sizeof value);
    return S_OK;
}

HRESULT CRenderPlugin::DevMode(DWORD mode, POEMDMPARAM param) {
    return Guarded(kComFailure, [&] {
        const auto recordNames = [this](SettingsRecord& record, HANDLE printer) {
            m_names.Record(record, printer);
        };
        return HandleDevMode(mode, param, recordNames) ? S_OK : E_FAIL;
    });
}

HRESULT CRenderPlugin::EnableDriver(DWORD driverVersion, DWORD size, PDRVENABLEDATA ded) {
    return Guarded(kComFailure,
                   [&] { return EnableHookTable(driverVersion, size, ded) ? S_OK : E_FAIL; });
}

HRESULT CRenderPlugin::DisableDriver() {
    return Guarded(kComFailure, [&] {
        if (m_driverHelper != nullptr) {
            m_driverHelper->Release();
            m_driverHelper = nullptr;
        }
        return S_OK;
    });
}

HRESULT CRenderPlugin::EnablePDEV(PDEVOBJ pdevobj, PWSTR, ULONG, HSURF*, ULONG gdiInfoSize,
                                  GDIINFO* gdiInfo, ULONG devInfoSize, DEVINFO* devInfo,
                                  DRVENABLEDATA* ded, PDEVOEM* devOem) {
    // Records shorter than ours would be written past their end.
    if (gdiInfoSize < sizeof(GDIINFO) || devInfoSize < sizeof(DEVINFO)) return E_FAIL;
    return Guarded(kComFailure, [&] {
        PluginDeviceState* state =
            EnableDeviceState(pdevobj, m_driverHelper, gdiInfo, devInfo, ded);
        if (state == nullptr) return E_FAIL;
        if (devOem != nullptr) *devOem = state;
        return S_OK;
    });
}

HRESULT CRenderPlugin::DisablePDEV(PDEVOBJ pdevobj) {
    return Guarded(kComFailure, [&] {
        DisableDeviceState(pdevobj);
        return S_OK;
    });
}

HRESULT CRenderPlugin::ResetPDEV(PDEVOBJ oldDevobj, PDEVOBJ newDevobj) {
    return Guarded(kComFailure, [&] {
        ResetDeviceState(oldDevobj, newDevobj);
        return S_OK;
    });
}

HRESULT CRenderPlugin::PublishDriverInterface(IUnknown* unknown) {
    if (m_driverHelper != nullptr) return S_OK;  // the first interface stays
    if (unknown == nullptr) return E_FAIL;
    return Guarded(kComFailure, [&] {
        void* helper = nullptr;
        if (FAILED(unknown->QueryInterface(IID_IPrintOemDriverUni, &helper)) || helper == nullptr) {
            m_driverHelper = nullptr;
            return E_FAIL;
        }
        m_driverHelper = static_cast<IPrintOemDriverUni*>(helper);
        return S_OK;
    });
}

HRESULT CRenderPlugin::GetImplementedMethod(PSTR methodName) {
    return IsImplementedMethod(methodName) ? S_OK : S_FALSE;
}

HRESULT CRenderPlugin::CommandCallback(PDEVOBJ pdevobj, DWORD callbackId, DWORD count,
                                       PDWORD params, INT*) {
    return Guarded(kComFailure, [&] {
        HandleCommandCallback(pdevobj, callbackId, count, params);
        return S_OK;
    });
}

HRESULT CRenderPlugin::SendFontCmd(PDEVOBJ pdevobj, PUNIFONTOBJ font, PFINVOCATION invocation) {
    return Guarded(kComFailure, [&] {
        SendFontCommand(pdevobj, font, invocation);
        return S_OK;
    });
}

HRESULT CRenderPlugin::WritePrinter(PDEVOBJ pdevobj, PVOID buffer, DWORD size, PDWORD written) {
    return Guarded(kComFailure, [&] { return WriteJobBytes(pdevobj, buffer, size, written); });
}

// Methods Unidrv may call but the plug-in leaves to Unidrv.
HRESULT CRenderPlugin::DriverDMS(PVOID, PVOID, DWORD, PDWORD) {
    return E_NOTIMPL;
}
HRESULT CRenderPlugin::ImageProcessing(PDEVOBJ, PBYTE, PBITMAPINFOHEADER, PBYTE, DWORD, PIPPARAMS,
                                       PBYTE*) {
    return E_NOTIMPL;
}
HRESULT CRenderPlugin::FilterGraphics(PDEVOBJ, PBYTE, DWORD) {
    return E_NOTIMPL;
}
HRESULT CRenderPlugin::Compression(PDEVOBJ, PBYTE, PBYTE, DWORD, DWORD, INT*) {
    return E_NOTIMPL;
}
HRESULT CRenderPlugin::HalftonePattern(PDEVOBJ, PBYTE, DWORD, DWORD, DWORD, DWORD, PBYTE, DWORD) {
    return E_NOTIMPL;
}
HRESULT CRenderPlugin::MemoryUsage(PDEVOBJ, POEMMEMORYUSAGE) {
    return E_NOTIMPL;
}
HRESULT CRenderPlugin::TTYGetInfo(PDEVOBJ, DWORD, PVOID, DWORD, DWORD*) {
    return E_NOTIMPL;
}
HRESULT CRenderPlugin::DownloadFontHeader(PDEVOBJ, PUNIFONTOBJ, DWORD*) {
    return E_NOTIMPL;
}
HRESULT CRenderPlugin::DownloadCharGlyph(PDEVOBJ, PUNIFONTOBJ, HGLYPH, PDWORD, DWORD*) {
    return E_NOTIMPL;
}
HRESULT CRenderPlugin::TTDownloadMethod(PDEVOBJ, PUNIFONTOBJ, DWORD*) {
    return E_NOTIMPL;
}
HRESULT CRenderPlugin::OutputCharStr(PDEVOBJ, PUNIFONTOBJ, DWORD, DWORD, PVOID) {
    return E_NOTIMPL;
}
HRESULT CRenderPlugin::TextOutAsBitmap(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*,
                                       BRUSHOBJ*, BRUSHOBJ*, POINTL*, MIX) {
    return E_NOTIMPL;
}

}  // namespace xlr
