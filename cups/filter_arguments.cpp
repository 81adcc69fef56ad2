#include "cups/filter_arguments.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>

#include <xlplatform/world.h>

namespace xlcups {
namespace {

struct Signature {
    std::string_view bytes;
    InputType type;
};
// CUPS raster begins with its synchronisation word, in either byte order and
// for each of its versions.
constexpr Signature kSignatures[] = {
    {"\xFF\xD8\xFF", InputType::Jpeg}, {"\x89PNG\r\n\x1A\n", InputType::Png},
    {"RaSt", InputType::Raster},       {"tSaR", InputType::Raster},
    {"RaS2", InputType::Raster},       {"2SaR", InputType::Raster},
    {"RaS3", InputType::Raster},       {"3SaR", InputType::Raster}};

constexpr std::pair<std::string_view, std::u16string_view> kLocalPorts[] = {
    {"usb", u"USB001"}, {"parallel", u"LPT1:"}, {"serial", u"COM1:"}, {"file", u"FILE:"}};
constexpr std::string_view kNetworkSchemes[] = {"socket", "ipp",   "ipps",  "lpd",
                                                "http",   "https", "dnssd", "smb"};

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return out;
}

// The host of "scheme://[user@]host[:port][/path]"; IPv6 addresses keep their brackets off.
std::string HostOf(std::string_view uri) {
    const size_t start = uri.find("://");
    if (start == std::string_view::npos) return {};
    std::string_view rest = uri.substr(start + 3);
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const size_t at = rest.rfind('@'); at != std::string_view::npos) rest.remove_prefix(at + 1);
    if (rest.starts_with('[')) return std::string(rest.substr(1, rest.find(']') - 1));
    return std::string(rest.substr(0, rest.find(':')));
}

}  // namespace

bool ReadFilterArguments(std::span<const std::string> args,
                         const std::function<std::optional<std::string>(const char*)>& environment,
                         FilterArguments& arguments, std::string& error) {
    if (args.size() != 5 && args.size() != 6) {
        error = std::string(kFilterUsage);
        return false;
    }
    arguments = FilterArguments{};
    arguments.jobId = args[0];
    arguments.user = args[1];
    arguments.title = args[2];
    const std::string& copies = args[3];
    int value = 0;
    const auto [end, ec] = std::from_chars(copies.data(), copies.data() + copies.size(), value);
    if (ec != std::errc() || end != copies.data() + copies.size() || value < 1 || value > 9999) {
        error = "copies must be a number from 1 to 9999, not '" + copies + "'";
        return false;
    }
    arguments.copies = value;
    arguments.options = args[4];
    if (args.size() == 6) arguments.file = args[5];
    arguments.contentType = environment("CONTENT_TYPE").value_or("");
    arguments.ppd = environment("PPD").value_or("");
    arguments.deviceUri = environment("DEVICE_URI").value_or("");
    arguments.tempDirectory = environment("TMPDIR").value_or("");
    if (arguments.tempDirectory.empty()) arguments.tempDirectory = "/tmp";
    return true;
}

std::optional<InputType> SniffInputType(std::span<const uint8_t> head) {
    for (const Signature& signature : kSignatures)
        if (head.size() >= signature.bytes.size() &&
            std::memcmp(head.data(), signature.bytes.data(), signature.bytes.size()) == 0)
            return signature.type;
    return std::nullopt;
}

std::u16string PortOfDeviceUri(std::string_view uri) {
    if (uri.empty()) return u"USB001";
    const std::string scheme = Lower(uri.substr(0, uri.find(':')));
    for (const auto& [name, port] : kLocalPorts)
        if (scheme == name) return std::u16string(port);
    for (std::string_view network : kNetworkSchemes)
        if (scheme == network) return u"IP_" + xlplatform::Utf8ToUtf16(HostOf(uri));
    std::string port = scheme + ":";
    std::transform(port.begin(), port.end(), port.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    return xlplatform::Utf8ToUtf16(port);
}

}  // namespace xlcups
