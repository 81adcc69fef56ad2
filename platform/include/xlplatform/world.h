// The process-wide "world" that stands in for the Windows machine around the
// plug-in: its user, locale, clock, directories, environment, printers, spooler
// jobs, registry and COM classes. The host configures it from the printer
// description and the job options; tests configure it directly. The plug-in
// never reads the Linux machine behind it.
//
// Host API in brief (everything below lives in namespace xlplatform):
//   printers     AddPrinter(Printer{...}) / FindPrinter(name); a printer carries its
//                port, driver, print processor, data type, printer data
//                (SetData/FindData), forms, device-capability lists and the file
//                its jobs are written to (`outputFile`).
//   jobs         `jobDefaults` (user, machine, submission time, output file) apply
//                to every StartDocPrinterW; FindJob(id) reaches a job afterwards;
//                `writePrinterError` makes WritePrinter fail.
//   registry     `localMachine` / `currentUser` trees: Create(path).values[name]
//                = StringValue(...) / DwordValue(...) / BinaryValue(...).
//   system       `osVersion`, `fixedTime` + `utcOffsetMinutes`, `sleep`, `shortDateFormat`,
//                `uiLanguage`, `userLanguage`, `tempDirectory`, `driversDirectory`.
//   accounts     `userDomain`, `userSid` (the logged-on user), `accounts` (other
//                users and groups that LookupAccountSidW knows).
//   files        `fileVersions` (version resources by Windows path),
//                `stringResources` (string tables of resource-only modules).
//   COM          RegisterComClass(clsid, factory); `usageLog` receives every record
//                the usage-reporting component sends (FormatUsageRecord prints one);
//                `uuidSeed` makes UuidCreate reproducible.
//   fonts        `fontFiles` adds font files to the machine's; `fontMappings` lists
//                the font each CreateFontIndirectW chose (FormatFontMapping prints one).
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <windows.h>
#include <winspool.h>

namespace xlplatform {

// Orders names without regard to case (CharUpperW's rule), as Windows compares
// registry keys, value names and printer names.
struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const;
};
bool SameName(std::u16string_view a, std::u16string_view b);

// ---------------------------------------------------------------------------
// Registry and printer data values.

// A typed value as the registry and printer data hold it: the bytes are what
// RegQueryValueExW / GetPrinterDataW return.
struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};
RegistryValue StringValue(std::u16string_view text, DWORD type = REG_SZ);  // UTF-16, terminated
RegistryValue MultiStringValue(const std::vector<std::u16string>& texts);
RegistryValue DwordValue(DWORD value);  // little-endian
RegistryValue BinaryValue(std::span<const BYTE> bytes);

using RegistryValues = std::map<std::u16string, RegistryValue, NoCaseLess>;

// A key of a registry tree. Paths are relative, with "\" between key names;
// names compare without regard to case.
struct RegistryKey {
    std::u16string name;
    std::vector<RegistryKey> subkeys;
    RegistryValues values;

    RegistryKey* Find(std::u16string_view path);    // nullptr when a key on the way is missing
    RegistryKey& Create(std::u16string_view path);  // makes the missing keys
};

// The local-machine tree of a fresh world: the operating system's product name
// and version under SOFTWARE\Microsoft\Windows NT\CurrentVersion.
RegistryKey DefaultLocalMachine();

// ---------------------------------------------------------------------------
// Printers.

inline constexpr std::u16string_view kPrinterDriverData = u"PrinterDriverData";

struct PrinterDriver {
    std::u16string name = u"xlrender PCL XL";
    std::u16string environment = u"Windows x64";
    DWORD version = 3;
    std::u16string driverPath = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\UNIDRV.DLL";
    std::u16string dataFile = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\XLRENDER.GPD";
    std::u16string configFile = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\UNIDRVUI.DLL";
    std::u16string helpFile = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\UNIDRV.HLP";
    std::vector<std::u16string> dependentFiles;  // full paths, as DRIVER_INFO_3W lists them
    std::u16string monitorName;
    std::u16string defaultDataType;
};

struct Form {
    DWORD flags = FORM_BUILTIN;
    std::u16string name;
    SIZEL size{};           // thousandths of a millimetre
    RECTL imageableArea{};  // thousandths of a millimetre
};

// The spooler's built-in forms for the common paper sizes (Letter, A4, ...).
std::vector<Form> BuiltinForms();

struct Printer {
    std::u16string name;
    std::u16string portName = u"LPT1:";
    std::u16string shareName;
    std::u16string comment;
    std::u16string location;
    PrinterDriver driver;
    std::u16string printProcessor = u"winprint";
    std::u16string datatype = u"RAW";  // the data type of jobs that name none
    DWORD attributes = PRINTER_ATTRIBUTE_LOCAL;
    // The printer's default device mode (level 2's pDevMode); empty for none.
    std::vector<BYTE> devMode;
    // Printer data: key, then value name. The plain GetPrinterDataW family uses
    // the key "PrinterDriverData".
    std::map<std::u16string, RegistryValues, NoCaseLess> data;
    // Forms that EnumFormsW answers.
    std::vector<Form> forms = BuiltinForms();
    // DeviceCapabilitiesW lists (filled from the printer description).
    std::vector<WORD> paperNumbers;
    std::vector<std::u16string> paperNames;
    std::vector<DWORD> mediaTypeNumbers;
    std::vector<std::u16string> mediaTypeNames;
    // DeviceCapabilitiesW fails (-1) this many times before it answers again, as
    // a busy spooler does; each failed call counts one down.
    int busyCapabilityCalls = 0;
    // The file that jobs are written to (Windows or Linux path) unless the document
    // or `jobDefaults` names one; empty: a spool file in World::spoolDirectory.
    std::u16string outputFile;
    // False: opening the printer with PRINTER_ACCESS_ADMINISTER is refused.
    bool administrationAllowed = true;

    void SetData(std::u16string_view key, std::u16string_view valueName, RegistryValue value);
    void SetData(std::u16string_view valueName, RegistryValue value) {
        SetData(kPrinterDriverData, valueName, std::move(value));
    }
    const RegistryValue* FindData(std::u16string_view key, std::u16string_view valueName) const;
};

// ---------------------------------------------------------------------------
// Spooler jobs.

struct Job {
    DWORD id = 0;
    std::u16string printerName;
    std::u16string machineName;  // "\\MACHINE", as the spooler reports the client
    std::u16string userName;
    std::u16string document;
    std::u16string datatype;
    std::u16string printProcessor;
    std::u16string driverName;
    SYSTEMTIME submitted{};  // UTC
    std::vector<BYTE> devMode;
    DWORD totalPages = 0;        // StartPagePrinter calls
    DWORD size = 0;              // bytes written
    bool ended = false;          // EndDocPrinter (or ClosePrinter) has run
    std::u16string outputFile;   // as chosen (Windows or Linux path)
    std::string hostOutputPath;  // the Linux file the bytes went to
    // Open from StartDocPrinterW until the document ends, so that each
    // WritePrinter is one write and not an open, a write and a close.
    std::shared_ptr<std::FILE> output;
};

// What StartDocPrinterW puts into the jobs it creates.
struct JobDefaults {
    std::u16string userName;              // empty: the world's user
    std::u16string machineName;           // empty: "\\" and the world's computer name
    std::optional<SYSTEMTIME> submitted;  // none: the world's clock at StartDocPrinterW
    std::u16string outputFile;            // empty: the printer's; DOC_INFO_1W's pOutputFile wins
};

// ---------------------------------------------------------------------------
// COM.

// Creates an object of a class and asks it for `iid` (the outer object is
// refused before the factory is called).
using ComFactory = std::function<HRESULT(REFIID iid, void** object)>;

struct ComClass {
    CLSID clsid{};
    ComFactory create;
};

// The classes a fresh world knows: the usage-reporting component and the XML DOM
// document (msxml.h).
std::vector<ComClass> DefaultComClasses();

// One record sent by the usage-reporting component; items as in usagereport.h
// (0 device text, 1 page total, 2 application name).
struct UsageRecord {
    std::map<LONG, std::u16string> texts;
    std::map<LONG, LONG> counts;
};

// One line, e.g. `device="9999999999#Model" application="WINWORD.EXE" pages=3`.
std::string FormatUsageRecord(const UsageRecord& record);

// ---------------------------------------------------------------------------
// Fonts.

// What CreateFontIndirectW asked for and the installed font it chose.
struct FontMapping {
    std::u16string requestedFace;
    LONG height = 0;
    LONG weight = 0;
    bool italic = false;
    BYTE charSet = 0;
    std::string family;  // of the font chosen
    std::string style;
    std::string file;
    bool substituted = false;  // not the face asked for: missing, or without the script
};

// One line, e.g. `"Arial" 700 italic -> DejaVu Sans Bold Oblique
// (/usr/share/fonts/.../DejaVuSans-BoldOblique.ttf), substituted`.
std::string FormatFontMapping(const FontMapping& mapping);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", as StringFromGUID2 writes it.
std::u16string GuidToString(const GUID& guid);

// ---------------------------------------------------------------------------
// Accounts, version resources and string resources.

// What LookupAccountSidW answers for a security identifier.
enum class AccountKind { User = 1, Group = 2, Domain = 3, Alias = 4, WellKnownGroup = 5 };
struct Account {
    std::u16string sid;  // text form, "S-1-5-21-..."
    std::u16string name;
    std::u16string domain;
    AccountKind kind = AccountKind::User;
};

// A file's version resource: the fixed version record's four parts, its
// translations (language, code page) and the strings of each translation,
// keyed "040904E4" (language and code page in hexadecimal).
struct FileVersion {
    WORD parts[4] = {};  // most significant first: 10.0.19041.1
    std::vector<std::pair<WORD, WORD>> translations;
    std::map<std::u16string, std::map<std::u16string, std::u16string>, NoCaseLess> strings;
};

// ---------------------------------------------------------------------------

struct OsVersion {
    DWORD major = 10;
    DWORD minor = 0;
    DWORD build = 19045;
    BYTE productType = VER_NT_WORKSTATION;
    WORD servicePackMajor = 0;
    WORD servicePackMinor = 0;
    std::u16string servicePack;  // szCSDVersion, e.g. u"Service Pack 3"
    WORD suiteMask = VER_SUITE_SINGLEUSERTS;
};

// Bookkeeping of open handles; hosts and tests leave it alone.
struct OpenPrinterHandle {
    std::u16string printerName;
    DWORD access = 0;
    std::u16string datatype;    // from PRINTER_DEFAULTSW
    std::vector<BYTE> devMode;  // from PRINTER_DEFAULTSW
    DWORD jobId = 0;            // the document started on this handle
};
struct OpenRegistryKey {
    bool currentUser = false;
    std::vector<std::u16string> path;
    DWORD access = 0;
};

struct World {
    std::u16string userName = u"USER";
    std::u16string computerName = u"XLHOST";
    std::u16string windowsDirectory = u"C:\\Windows";
    // Full path of the process's main module, as GetModuleFileNameW(nullptr) answers.
    std::u16string processImagePath = u"C:\\Windows\\System32\\spoolsv.exe";
    // LOCALE_ICOUNTRY text of the user's locale; empty makes the lookup fail.
    std::u16string localeCountry = u"1";
    // LOCALE_SSHORTDATE picture of the user's locale.
    std::u16string shortDateFormat = u"M/d/yyyy";
    LANGID uiLanguage = 0x0409;    // GetUserDefaultUILanguage
    LANGID userLanguage = 0x0409;  // GetUserDefaultLangID
    // CP_ACP: 1252 or 65001 (UTF-8).
    UINT ansiCodePage = 1252;
    // Environment variables; names are matched without regard to case.
    std::map<std::u16string, std::u16string> environment;
    // Drive letter (upper case) to the Linux directory that holds that drive.
    // Drive C defaults to a private temporary directory made on first use.
    std::map<char, std::string> driveRoots;

    OsVersion osVersion;
    // The clock: a fixed UTC time, or the real current time when none.
    std::optional<SYSTEMTIME> fixedTime;
    // The time zone: local time = UTC + this many minutes (no daylight saving).
    int utcOffsetMinutes = 0;
    // Set: Sleep calls it instead of waiting (tests record the waits and go on).
    std::function<void(DWORD milliseconds)> sleep;
    // What GetTempPathW answers; empty: "Windows/Temp/" under the root of drive C,
    // as a Linux path so that the C runtime can open files in it.
    std::u16string tempDirectory;
    // Set: the bytes that WriteFile may still add to files; a write that does not
    // fit fails with ERROR_DISK_FULL (a full disk, for tests). Unset: no limit.
    std::optional<uint64_t> diskSpace;

    // Spooler.
    // GetPrinterDriverDirectoryW answers the environment's directory in here
    // ("...\\drivers\\x64" for Windows x64).
    std::u16string driversDirectory = u"C:\\Windows\\System32\\spool\\drivers";
    std::u16string spoolDirectory = u"C:\\Windows\\System32\\spool\\PRINTERS";
    std::vector<Printer> printers;
    std::map<DWORD, Job> jobs;
    DWORD nextJobId = 1;
    JobDefaults jobDefaults;
    // Non-zero: WritePrinter fails with this error (and writes nothing).
    DWORD writePrinterError = 0;

    // Registry.
    RegistryKey localMachine = DefaultLocalMachine();
    RegistryKey currentUser;

    // COM.
    std::vector<ComClass> comClasses = DefaultComClasses();
    std::vector<UsageRecord> usageLog;
    // Set: UuidCreate draws from this state (and advances it), so runs repeat.
    std::optional<uint64_t> uuidSeed;

    // Fonts: files known besides the machine's (Linux paths), and every choice
    // CreateFontIndirectW made, in order.
    std::vector<std::string> fontFiles;
    std::vector<FontMapping> fontMappings;
    // Accounts: the logged-on user is `userName` in `userDomain` with `userSid`;
    // LookupAccountSidW also knows `accounts`.
    std::u16string userDomain = u"XLHOST";
    std::u16string userSid = u"S-1-5-21-3623811015-3361044348-30300820-1001";
    std::vector<Account> accounts;
    // Version resources by the file's Windows path (compared without regard to case).
    std::map<std::u16string, FileVersion, NoCaseLess> fileVersions;
    // String tables of modules loaded as data files, by the module's Windows path.
    std::map<std::u16string, std::map<UINT, std::u16string>, NoCaseLess> stringResources;

    // Handles.
    std::map<ULONG_PTR, OpenPrinterHandle> printerHandles;
    std::map<ULONG_PTR, OpenRegistryKey> registryHandles;
    ULONG_PTR nextHandle = 0x1000;
};

// The one world of the process.
World& TheWorld();

// Puts the world back to its defaults (tests start from a known state).
void ResetWorld();

// Adds a printer, replacing one of the same name; returns the stored printer.
Printer& AddPrinter(Printer printer);
Printer* FindPrinter(std::u16string_view name);
Job* FindJob(DWORD jobId);

// Registers a class for CoCreateInstance, replacing one with the same CLSID.
void RegisterComClass(const CLSID& clsid, ComFactory factory);

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
