// xlrender plugin-info: what the plug-in module says about itself.
#include <cstdio>
#include <string>

#include "host/cli/args.h"
#include "host/cli/command.h"
#include "host/unidrv/plugin_module.h"

namespace xlhost {
namespace {

constexpr OptionSpec kOptions[] = {
    {"module", "PATH", "the plug-in module (default: libxlrender.so beside xlrender)"},
};

// Every method of the rendering plug-in interface, in method-table order.
constexpr const char* kMethodNames[] = {
    "GetInfo",
    "DevMode",
    "EnableDriver",
    "DisableDriver",
    "EnablePDEV",
    "DisablePDEV",
    "ResetPDEV",
    "PublishDriverInterface",
    "GetImplementedMethod",
    "DriverDMS",
    "CommandCallback",
    "ImageProcessing",
    "FilterGraphics",
    "Compression",
    "HalftonePattern",
    "MemoryUsage",
    "TTYGetInfo",
    "DownloadFontHeader",
    "DownloadCharGlyph",
    "TTDownloadMethod",
    "OutputCharStr",
    "SendFontCmd",
    "TextOutAsBitmap",
    "WritePrinter",
};

void PrintInfo(IPrintOemUni2* plugin, const char* label, DWORD mode) {
    DWORD value = 0, needed = 0;
    const HRESULT hr = plugin->GetInfo(mode, &value, sizeof value, &needed);
    if (FAILED(hr)) {
        std::printf("%-18s (GetInfo failed: 0x%08X)\n", label, static_cast<unsigned>(hr));
        return;
    }
    std::printf("%-18s 0x%08X", label, value);
    if (mode == OEMGI_GETSIGNATURE) {
        const char code[5] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                              static_cast<char>(value >> 8), static_cast<char>(value), 0};
        std::printf(" (\"%s\")", code);
    }
    std::printf("\n");
}

}  // namespace

int RunPluginInfo(std::span<const std::string> args) {
    std::string error;
    auto parsed = ParseArgs(args, kOptions, error);
    if (!parsed) {
        std::fprintf(stderr, "xlrender plugin-info: %s\n", error.c_str());
        return 1;
    }
    if (parsed->Has("help")) {
        std::printf(
            "usage: xlrender plugin-info [--module PATH]\n\n"
            "Loads the plug-in module as Unidrv does and prints its signature, interface\n"
            "version and version, and which methods it says it implements.\n\n%s",
            OptionsHelp(kOptions).c_str());
        return 0;
    }
    if (!parsed->Positional().empty()) {
        std::fprintf(stderr, "xlrender plugin-info: unexpected argument '%s'\n",
                     parsed->Positional()[0].c_str());
        return 1;
    }
    PluginModule module;
    if (!module.Load(parsed->Value("module").value_or(DefaultModulePath()), error)) {
        std::fprintf(stderr, "xlrender plugin-info: %s\n", error.c_str());
        return 1;
    }
    IPrintOemUni2* plugin = module.Plugin();
    std::printf("module             %s\n", module.Path().c_str());
    PrintInfo(plugin, "signature", OEMGI_GETSIGNATURE);
    PrintInfo(plugin, "interface version", OEMGI_GETINTERFACEVERSION);
    PrintInfo(plugin, "version", OEMGI_GETVERSION);
    std::printf("\nGetImplementedMethod:\n");
    for (const char* name : kMethodNames) {
        std::string copy = name;
        const HRESULT hr = plugin->GetImplementedMethod(copy.data());
        std::printf("  %-24s %s\n", name,
                    hr == S_OK      ? "S_OK"
                    : hr == S_FALSE ? "S_FALSE"
                                    : "failed");
    }
    return 0;
}

}  // namespace xlhost
