// The spooler's printers: handles, printer and driver records, the driver
// directory and forms, over the world's printers.
#include <winspool.h>
#include <xlplatform/world.h>

#include <filesystem>
#include <system_error>

#include "record_packer.h"
#include "spooler_handles.h"

namespace xlplatform {

void Printer::SetData(std::u16string_view key, std::u16string_view valueName, RegistryValue value) {
    auto it = data.find(key);
    if (it == data.end()) it = data.emplace(std::u16string(key), RegistryValues{}).first;
    it->second.insert_or_assign(std::u16string(valueName), std::move(value));
}

const RegistryValue* Printer::FindData(std::u16string_view key,
                                       std::u16string_view valueName) const {
    const auto values = data.find(key);
    if (values == data.end()) return nullptr;
    const auto value = values->second.find(valueName);
    return value == values->second.end() ? nullptr : &value->second;
}

std::vector<Form> BuiltinForms() {
    struct Size {
        std::u16string_view name;
        LONG width, height;  // thousandths of a millimetre
    };
    static constexpr Size kSizes[] = {
        {u"Letter", 215900, 279400},
        {u"Tabloid", 279400, 431800},
        {u"Ledger", 431800, 279400},
        {u"Legal", 215900, 355600},
        {u"Statement", 139700, 215900},
        {u"Executive", 184150, 266700},
        {u"A3", 297000, 420000},
        {u"A4", 210000, 297000},
        {u"A5", 148000, 210000},
        {u"A6", 105000, 148000},
        {u"B4 (JIS)", 257000, 364000},
        {u"B5 (JIS)", 182000, 257000},
        {u"11x17", 279400, 431800},
        {u"Envelope #10", 104775, 241300},
        {u"Envelope DL", 110000, 220000},
        {u"Envelope C5", 162000, 229000},
        {u"Envelope Monarch", 98425, 190500},
    };
    std::vector<Form> forms;
    for (const Size& size : kSizes)
        forms.push_back({FORM_BUILTIN,
                         std::u16string(size.name),
                         {size.width, size.height},
                         {0, 0, size.width, size.height}});
    return forms;
}

Printer& AddPrinter(Printer printer) {
    World& world = TheWorld();
    for (Printer& existing : world.printers) {
        if (SameName(existing.name, printer.name)) {
            existing = std::move(printer);
            return existing;
        }
    }
    return world.printers.emplace_back(std::move(printer));
}

Printer* FindPrinter(std::u16string_view name) {
    for (Printer& printer : TheWorld().printers)
        if (SameName(printer.name, name)) return &printer;
    return nullptr;
}

PrinterAccess ResolvePrinterHandle(HANDLE printer) {
    World& world = TheWorld();
    const auto it = world.printerHandles.find(reinterpret_cast<ULONG_PTR>(printer));
    if (it != world.printerHandles.end()) {
        if (Printer* found = FindPrinter(it->second.printerName)) return {&it->second, found};
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return {};
}

}  // namespace xlplatform

using namespace xlplatform;

namespace {

// The directory name of a driver environment under the spooler's drivers directory.
struct Environment {
    std::u16string_view name;
    std::u16string_view directory;
};
constexpr Environment kEnvironments[] = {
    {u"Windows x64", u"x64"},
    {u"Windows NT x86", u"W32X86"},
    {u"Windows ARM64", u"ARM64"},
};

const Environment* FindEnvironment(LPCWSTR name) {
    // A null environment is the one the world's spooler runs in.
    const std::u16string_view wanted = name != nullptr && name[0] != 0 ? name : u"Windows x64";
    for (const Environment& environment : kEnvironments)
        if (SameName(environment.name, wanted)) return &environment;
    return nullptr;
}

bool IsThisServer(LPCWSTR server) {
    if (server == nullptr || server[0] == 0) return true;
    std::u16string_view name(server);
    while (!name.empty() && name.front() == u'\\') name.remove_prefix(1);
    return SameName(name, TheWorld().computerName);
}

DWORD ActiveJobs(const Printer& printer) {
    DWORD count = 0;
    for (const auto& [id, job] : TheWorld().jobs)
        if (!job.ended && SameName(job.printerName, printer.name)) ++count;
    return count;
}

}  // namespace

extern "C" {

BOOL WINAPI OpenPrinterW(LPWSTR printerName, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults) {
    if (printer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *printer = nullptr;
    const Printer* found = printerName != nullptr ? FindPrinter(printerName) : nullptr;
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    OpenPrinterHandle handle{found->name, PRINTER_ACCESS_USE, {}, {}, 0};
    if (defaults != nullptr) {
        if (defaults->DesiredAccess != 0) handle.access = defaults->DesiredAccess;
        if (defaults->pDatatype != nullptr) handle.datatype = defaults->pDatatype;
        if (const DEVMODEW* dm = defaults->pDevMode) {
            const auto* bytes = reinterpret_cast<const BYTE*>(dm);
            handle.devMode.assign(bytes, bytes + dm->dmSize + dm->dmDriverExtra);
        }
    }
    if ((handle.access & PRINTER_ACCESS_ADMINISTER) != 0 && !found->administrationAllowed) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    World& world = TheWorld();
    const ULONG_PTR id = world.nextHandle;
    world.nextHandle += 4;
    world.printerHandles.emplace(id, std::move(handle));
    *printer = reinterpret_cast<HANDLE>(id);
    return TRUE;
}

BOOL WINAPI ClosePrinter(HANDLE printer) {
    World& world = TheWorld();
    const auto it = world.printerHandles.find(reinterpret_cast<ULONG_PTR>(printer));
    if (it == world.printerHandles.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    EndHandleDocument(it->second);
    world.printerHandles.erase(it);
    return TRUE;
}

BOOL WINAPI GetPrinterW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    const PrinterAccess access = ResolvePrinterHandle(printer);
    if (access.printer == nullptr) return FALSE;
    const Printer& p = *access.printer;
    if (level == 1) {
        return PackRecords<PRINTER_INFO_1W>(
            1, buffer, size, needed, [&](PRINTER_INFO_1W* info, RecordPacker& pack) {
                info->Flags = PRINTER_ENUM_ICON8;
                info->pDescription = pack.String(p.name + u"," + p.driver.name + u"," + p.location);
                info->pName = pack.String(p.name);
                info->pComment = pack.String(p.comment);
            });
    }
    if (level == 2) {
        const DWORD jobs = ActiveJobs(p);
        return PackRecords<PRINTER_INFO_2W>(
            1, buffer, size, needed, [&](PRINTER_INFO_2W* info, RecordPacker& pack) {
                info->pServerName = nullptr;  // a local printer
                info->pPrinterName = pack.String(p.name);
                info->pShareName = pack.String(p.shareName);
                info->pPortName = pack.String(p.portName);
                info->pDriverName = pack.String(p.driver.name);
                info->pComment = pack.String(p.comment);
                info->pLocation = pack.String(p.location);
                info->pSepFile = pack.String(u"");
                info->pPrintProcessor = pack.String(p.printProcessor);
                info->pDatatype = pack.String(p.datatype);
                info->pParameters = pack.String(u"");
                info->pDevMode =
                    p.devMode.empty() ? nullptr : static_cast<LPDEVMODEW>(pack.Bytes(p.devMode, 8));
                info->pSecurityDescriptor = nullptr;
                info->Attributes = p.attributes;
                info->Priority = 1;
                info->cJobs = jobs;
            });
    }
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
}

BOOL WINAPI GetPrinterDriverW(HANDLE printer, LPWSTR environment, DWORD level, LPBYTE buffer,
                              DWORD size, LPDWORD needed) {
    const PrinterAccess access = ResolvePrinterHandle(printer);
    if (access.printer == nullptr) return FALSE;
    const PrinterDriver& driver = access.printer->driver;
    if (environment != nullptr && environment[0] != 0 &&
        !SameName(environment, driver.environment)) {
        SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
        return FALSE;
    }
    if (level != 3) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    return PackRecords<DRIVER_INFO_3W>(
        1, buffer, size, needed, [&](DRIVER_INFO_3W* info, RecordPacker& pack) {
            info->cVersion = driver.version;
            info->pName = pack.String(driver.name);
            info->pEnvironment = pack.String(driver.environment);
            info->pDriverPath = pack.String(driver.driverPath);
            info->pDataFile = pack.String(driver.dataFile);
            info->pConfigFile = pack.String(driver.configFile);
            info->pHelpFile = pack.String(driver.helpFile);
            info->pDependentFiles = pack.MultiString(driver.dependentFiles);
            info->pMonitorName = pack.String(driver.monitorName);
            info->pDefaultDataType = pack.String(driver.defaultDataType);
        });
}

BOOL WINAPI GetPrinterDriverDirectoryW(LPWSTR server, LPWSTR environment, DWORD level,
                                       LPBYTE buffer, DWORD size, LPDWORD needed) {
    if (!IsThisServer(server)) {
        SetLastError(RPC_S_SERVER_UNAVAILABLE);
        return FALSE;
    }
    const Environment* found = FindEnvironment(environment);
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_ENVIRONMENT);
        return FALSE;
    }
    if (level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    const std::u16string directory =
        TheWorld().driversDirectory + u"\\" + std::u16string(found->directory);
    // On Windows the directory exists; files are written into it (INI files).
    std::error_code ignored;
    std::filesystem::create_directories(HostPath(directory), ignored);
    return PackRecords<BYTE>(0, buffer, size, needed,
                             [&](BYTE*, RecordPacker& pack) { pack.String(directory); });
}

BOOL WINAPI EnumFormsW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                       LPDWORD returned) {
    if (returned == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *returned = 0;
    const PrinterAccess access = ResolvePrinterHandle(printer);
    if (access.printer == nullptr) return FALSE;
    if (level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    const std::vector<Form>& forms = access.printer->forms;
    const BOOL ok = PackRecords<FORM_INFO_1W>(forms.size(), buffer, size, needed,
                                              [&](FORM_INFO_1W* info, RecordPacker& pack) {
                                                  for (const Form& form : forms) {
                                                      info->Flags = form.flags;
                                                      info->pName = pack.String(form.name);
                                                      info->Size = form.size;
                                                      info->ImageableArea = form.imageableArea;
                                                      ++info;
                                                  }
                                              });
    if (ok) *returned = static_cast<DWORD>(forms.size());
    return ok;
}

}  // extern "C"
