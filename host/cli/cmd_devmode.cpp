// xlrender devmode: the private device mode as the plug-in's DevMode method makes
// it (new, merge, convert), and a reader that shows a packed block (show).
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "host/cli/args.h"
#include "host/cli/command.h"
#include "host/cli/devmode_options.h"
#include "host/unidrv/plugin_module.h"
#include "host/unidrv/public_devmode.h"
#include "host/cli/world_options.h"
#include "settings/packed_block.h"
#include "settings/record_fields.h"

namespace xlhost {
namespace {

constexpr OptionSpec kFileOptions[] = {
    {"output", "FILE", "write the packed block to FILE", 'o'},
    {"module", "PATH", "the plug-in module (default: libxlrender.so beside xlrender)"},
};

constexpr const char* kUsage =
    "usage: xlrender devmode new [-o FILE] [DEVICE MODE OPTIONS]\n"
    "       xlrender devmode show FILE\n"
    "       xlrender devmode merge IN -o OUT [DEVICE MODE OPTIONS]\n"
    "       xlrender devmode convert IN -o OUT [DEVICE MODE OPTIONS]\n\n"
    "The plug-in's private device mode is a 7,180-byte packed block that holds the\n"
    "13,840-byte settings record as a zlib stream.\n"
    "  new      the block that the plug-in's DevMode method makes for the defaults\n"
    "           (without -o it is shown instead of written)\n"
    "  show     checks and inflates a block and prints every settings field\n"
    "  merge    DevMode's Merge of IN into a new block (the public device mode comes\n"
    "           from the options)\n"
    "  convert  DevMode's Convert of IN into a new block\n";

std::vector<OptionSpec> AllOptions() {
    std::vector<OptionSpec> specs(std::begin(kFileOptions), std::end(kFileOptions));
    for (const OptionSpec& spec : DevModeOptionSpecs()) specs.push_back(spec);
    for (const OptionSpec& spec : WorldOptionSpecs()) specs.push_back(spec);
    return specs;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "xlrender devmode: %s\n", message.c_str());
    return 1;
}

// Reads a file of at most `limit` bytes.
std::optional<std::vector<uint8_t>> ReadFile(const std::string& path, size_t limit,
                                             std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
        if (bytes.size() > limit) {
            error = path + " is larger than a packed block (" +
                    std::to_string(xlr::kPackedBlockSize) + " bytes)";
            return std::nullopt;
        }
    }
    return bytes;
}

// Writes through a temporary file beside the target, so that a failed write
// leaves nothing half-written under the target's name.
bool WriteFile(const std::string& path, const void* data, size_t size, std::string& error) {
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out || !out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size))
                         .flush()) {
            error = "cannot write " + path + ": " + std::strerror(errno);
            ::unlink(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

// Checks a packed block and prints its header and every named field.
int Show(const std::vector<uint8_t>& bytes, const std::string& name) {
    if (bytes.size() != xlr::kPackedBlockSize)
        return Fail(name + " is " + std::to_string(bytes.size()) + " bytes; a packed block has " +
                    std::to_string(xlr::kPackedBlockSize));
    auto block = std::make_unique<xlr::PackedBlock>();
    std::memcpy(block.get(), bytes.data(), sizeof *block);
    char text[96];
    if (block->size != xlr::kPackedBlockSize)
        return Fail(name + ": the block's size word is " + std::to_string(block->size) +
                    ", not 7180");
    if (!xlr::IsPackedBlock(block.get())) {
        std::snprintf(text, sizeof text, "the block's signature is 0x%08X, not 0x%08X",
                      block->signature, xlr::kPackedBlockSignature);
        return Fail(name + ": " + text);
    }
    int32_t size = 0;
    if (!xlr::Unpack(*block, nullptr, &size))
        return Fail(name + ": the settings stream is corrupt or inflates to more than " +
                    std::to_string(xlr::kUnpackScratchSize) + " bytes");
    std::vector<uint8_t> record(static_cast<size_t>(size), 0);
    if (!xlr::Unpack(*block, record.data(), &size))
        return Fail(name + ": the settings stream is corrupt");

    std::printf("packed block %s\n", name.c_str());
    std::printf("  size       %u\n", block->size);
    std::printf("  signature  0x%08X (\"IUXK\" in storage order)\n", block->signature);
    std::printf("  version    0x%08X%s\n", block->version,
                block->version == xlr::kSettingsVersion ? "" : " (not this plug-in's version)");
    std::printf("settings record, %d bytes inflated\n", size);
    std::printf("  %6s  %-26s %s\n", "offset", "field", "value");
    const auto& settings = *reinterpret_cast<const xlr::SettingsRecord*>(record.data());
    for (const xlr::RecordField& field : xlr::RecordFields())
        std::printf("  %6zu  %-26.*s %s\n", field.offset, static_cast<int>(field.name.size()),
                    field.name.data(), xlr::FormatField(settings, field).c_str());
    return 0;
}

int RunShow(std::span<const std::string> args) {
    std::string error;
    auto parsed = ParseArgs(args, {}, error);
    if (!parsed) return Fail(error);
    if (parsed->Has("help")) {
        std::printf(
            "usage: xlrender devmode show FILE\n\nChecks a packed block and prints its header and "
            "every "
            "named settings-record field.\n");
        return 0;
    }
    if (parsed->Positional().size() != 1) return Fail("show wants one FILE");
    const std::string& path = parsed->Positional()[0];
    auto bytes = ReadFile(path, xlr::kPackedBlockSize, error);
    if (!bytes) return Fail(error);
    return Show(*bytes, path);
}

// new, merge and convert: run the plug-in's DevMode method.
int RunDevModeCall(std::string_view verb, std::span<const std::string> args) {
    const std::vector<OptionSpec> specs = AllOptions();
    std::string error;
    auto parsed = ParseArgs(args, specs, error);
    if (!parsed) return Fail(error);
    const bool fromInput = verb != "new";
    if (parsed->Has("help")) {
        if (fromInput)
            std::printf("usage: xlrender devmode %.*s IN -o OUT [OPTIONS]\n\n",
                        static_cast<int>(verb.size()), verb.data());
        else
            std::printf("usage: xlrender devmode new [-o FILE] [OPTIONS]\n\n");
        std::printf("Options (the device mode options set the public device mode of the call):\n%s",
                    OptionsHelp(specs).c_str());
        return 0;
    }
    if (parsed->Positional().size() != (fromInput ? 1u : 0u))
        return Fail(fromInput ? std::string(verb) + " wants one input FILE"
                              : "new takes no file argument");
    const auto output = parsed->Value("output");
    if (fromInput && !output) return Fail(std::string(verb) + " wants -o OUT");
    if (!ApplyWorldOptions(*parsed, error)) return Fail(error);

    DevModeChoices choices;
    DEVMODEW publicIn{};
    if (!ReadDevModeOptions(*parsed, choices, error) ||
        !MakePublicDevMode(choices, publicIn, error))
        return Fail(error);
    DEVMODEW publicOut = publicIn;

    std::optional<std::vector<uint8_t>> input;
    if (fromInput) {
        input = ReadFile(parsed->Positional()[0], xlr::kPackedBlockSize, error);
        if (!input) return Fail(error);
        if (input->size() != xlr::kPackedBlockSize)
            return Fail(parsed->Positional()[0] + " is " + std::to_string(input->size()) +
                        " bytes; a packed block has " + std::to_string(xlr::kPackedBlockSize));
    }

    PluginModule module;
    if (!module.Load(parsed->Value("module").value_or(DefaultModulePath()), error))
        return Fail(error);
    IPrintOemUni2* plugin = module.Plugin();

    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.hModule = module.Module();
    if (FAILED(plugin->DevMode(OEMDM_SIZE, &param)) || param.cbBufSize < xlr::kPackedBlockSize)
        return Fail("the plug-in did not report its device-mode size");
    std::vector<uint8_t> block(param.cbBufSize, 0);
    param.pPublicDMIn = &publicIn;
    param.pPublicDMOut = &publicOut;
    param.pOEMDMIn = input ? input->data() : nullptr;
    param.pOEMDMOut = block.data();
    const DWORD mode = verb == "new"     ? OEMDM_DEFAULT
                       : verb == "merge" ? OEMDM_MERGE
                                         : OEMDM_CONVERT;
    if (FAILED(plugin->DevMode(mode, &param)))
        return Fail(std::string(verb) + ": the plug-in's DevMode failed (last error " +
                    std::to_string(GetLastError()) + ")");
    if (publicOut.dmTTOption != publicIn.dmTTOption)
        std::fprintf(stderr, "xlrender devmode: the public TrueType option changed from %d to %d\n",
                     publicIn.dmTTOption, publicOut.dmTTOption);
    block.resize(xlr::kPackedBlockSize);
    if (!output) return Show(block, "(new)");
    if (!WriteFile(*output, block.data(), block.size(), error)) return Fail(error);
    std::printf("wrote %s (%zu bytes)\n", output->c_str(), block.size());
    return 0;
}

}  // namespace

int RunDevMode(std::span<const std::string> args) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? 1 : 0;
    }
    const std::string& verb = args[0];
    if (verb == "show") return RunShow(args.subspan(1));
    if (verb == "new" || verb == "merge" || verb == "convert")
        return RunDevModeCall(verb, args.subspan(1));
    return Fail("unknown subcommand '" + verb + "' (new, show, merge, convert)");
}

}  // namespace xlhost
