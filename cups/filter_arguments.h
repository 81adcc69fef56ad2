// What CUPS hands a filter: the arguments `job-id user title copies options
// [file]` and the environment (CONTENT_TYPE, PPD, DEVICE_URI, TMPDIR), read and
// checked; the input's type, from its first bytes (CONTENT_TYPE is the type of
// the job's document, not of what the filter before this one made of it); the
// Windows port name that the queue's device stands for.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace xlcups {

enum class InputType { Jpeg, Png, Raster };

struct FilterArguments {
    std::string jobId;
    std::string user;
    std::string title;
    int copies = 1;
    std::string options;
    std::string file;           // empty: standard input
    std::string contentType;    // the job's document type; empty: not given
    std::string ppd;            // empty: the PPD of the built-in description
    std::string deviceUri;      // empty: not given
    std::string tempDirectory;  // TMPDIR, or /tmp
};

inline constexpr std::string_view kFilterUsage =
    "usage: xlrender-cups job-id user title copies options [file]";

// `args` leaves out the program's name; `environment` answers a variable or
// nothing. False with `error` for a wrong number of arguments or copies that
// are not a number from 1 to 9999.
bool ReadFilterArguments(std::span<const std::string> args,
                         const std::function<std::optional<std::string>(const char*)>& environment,
                         FilterArguments& arguments, std::string& error);

// The input type that the data's first bytes show, or nothing.
std::optional<InputType> SniffInputType(std::span<const uint8_t> head);

// The port a Windows printer of this device would hang on: "USB001" for USB
// (and when no device is given), "LPT1:", "COM1:", "FILE:", and "IP_host" for
// network devices, as the standard TCP/IP port monitor names its ports.
std::u16string PortOfDeviceUri(std::string_view uri);

}  // namespace xlcups
