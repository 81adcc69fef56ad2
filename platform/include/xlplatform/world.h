// The process-wide "world" that stands in for the Windows machine around the
// plug-in: its user, locale, directories, environment and (as later areas are
// added) its printers, spooler and registry. The host configures it from the
// printer description and the job options; tests configure it directly. The
// plug-in never reads the Linux machine behind it.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include <windef.h>

namespace xlplatform {

// Orders names without regard to case (CharUpperW's rule), as Windows compares
// registry keys, value names and printer names.
struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const;
};
bool SameName(std::u16string_view a, std::u16string_view b);

struct World {
    std::u16string userName = u"USER";
    std::u16string computerName = u"XLHOST";
    std::u16string windowsDirectory = u"C:\\Windows";
    // Full path of the process's main module, as GetModuleFileNameW(nullptr) answers.
    std::u16string processImagePath = u"C:\\Windows\\System32\\spoolsv.exe";
    // LOCALE_ICOUNTRY text of the user's locale; empty makes the lookup fail.
    std::u16string localeCountry = u"1";
    UINT ansiCodePage = 1252;
    // Environment variables; names are matched without regard to case.
    std::map<std::u16string, std::u16string> environment;
    // Drive letter (upper case) to the Linux directory that holds that drive.
    // Drive C defaults to a private temporary directory made on first use.
    std::map<char, std::string> driveRoots;
};

// The one world of the process.
World& TheWorld();

// Puts the world back to its defaults (tests start from a known state).
void ResetWorld();

// Linux path for a Windows path: "C:\dir\file" lies under the root of drive C;
// a path without a drive letter is taken as a Linux path with "\" read as "/".
std::string HostPath(std::u16string_view windowsPath);

// The root directory of a drive, created on first use when none was configured.
std::string DriveRoot(char driveLetter);

// Text conversions used across the layer. Invalid input becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
std::u16string Upper(std::u16string_view text);  // CharUpperW's rule

}  // namespace xlplatform
