#include "cups/filter_arguments.h"

#include <gtest/gtest.h>

#include <map>

namespace xlcups {
namespace {

TEST(FilterArguments, ArgumentsAndEnvironment) {
    const std::map<std::string, std::string> environment = {
        {"CONTENT_TYPE", "application/pdf"},
        {"PPD", "/etc/cups/ppd/q.ppd"},
        {"DEVICE_URI", "socket://10.0.0.5:9100"}};
    const auto lookup = [&](const char* name) -> std::optional<std::string> {
        auto it = environment.find(name);
        return it == environment.end() ? std::nullopt : std::optional(it->second);
    };
    FilterArguments arguments;
    std::string error;
    const std::vector<std::string> args = {"12", "alice",           "Holiday",
                                           "3",  "sides=one-sided", "/spool/d00012-001"};
    ASSERT_TRUE(ReadFilterArguments(args, lookup, arguments, error)) << error;
    EXPECT_EQ(arguments.jobId, "12");
    EXPECT_EQ(arguments.user, "alice");
    EXPECT_EQ(arguments.title, "Holiday");
    EXPECT_EQ(arguments.copies, 3);
    EXPECT_EQ(arguments.options, "sides=one-sided");
    EXPECT_EQ(arguments.file, "/spool/d00012-001");
    EXPECT_EQ(arguments.contentType, "application/pdf");
    EXPECT_EQ(arguments.ppd, "/etc/cups/ppd/q.ppd");
    EXPECT_EQ(arguments.tempDirectory, "/tmp") << "TMPDIR unset";

    const struct {
        std::vector<std::string> args;
        const char* error;
    } bad[] = {
        {{"1", "alice", "t", "1"}, "usage: xlrender-cups"},
        {{"1", "alice", "t", "1", "", "f", "extra"}, "usage: xlrender-cups"},
        {{"1", "alice", "t", "0", ""}, "copies must be a number from 1 to 9999, not '0'"},
        {{"1", "alice", "t", "10000", ""}, "not '10000'"},
        {{"1", "alice", "t", "2x", ""}, "not '2x'"},
        {{"1", "alice", "t", "", ""}, "not ''"},
    };
    for (const auto& c : bad) {
        EXPECT_FALSE(ReadFilterArguments(c.args, lookup, arguments, error));
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

TEST(FilterArguments, InputTypeFromTheFirstBytes) {
    const struct {
        std::string head;
        std::optional<InputType> type;
    } cases[] = {
        {"\xFF\xD8\xFF\xE0", InputType::Jpeg},
        {"\x89PNG\r\n\x1A\n", InputType::Png},
        {"RaS2", InputType::Raster},
        {"3SaR", InputType::Raster},
        {"tSaR", InputType::Raster},
        {"%PDF-1.4", std::nullopt},
        {"\x89PNG", std::nullopt},  // too short to be sure
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto bytes = reinterpret_cast<const uint8_t*>(c.head.data());
        EXPECT_EQ(SniffInputType(std::span(bytes, c.head.size())), c.type) << c.head;
    }
}

TEST(FilterArguments, PortOfTheDevice) {
    const struct {
        const char* uri;
        std::u16string port;
    } cases[] = {
        {"", u"USB001"},
        {"usb://Maker/Model?serial=1", u"USB001"},
        {"parallel:/dev/lp0", u"LPT1:"},
        {"socket://192.168.1.20:9100", u"IP_192.168.1.20"},
        {"ipp://user@printer.local:631/ipp/print", u"IP_printer.local"},
        {"lpd://[fe80::1]/queue", u"IP_fe80::1"},
        {"file:///tmp/out.prn", u"FILE:"},
        {"beh:/1/3/5/socket://h:9100", u"BEH:"},
    };
    for (const auto& c : cases) EXPECT_EQ(PortOfDeviceUri(c.uri), c.port) << c.uri;
}

}  // namespace
}  // namespace xlcups
