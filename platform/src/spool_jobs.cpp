// Spooler jobs: StartDocPrinterW creates a job whose bytes go to a real file,
// WritePrinter appends to it, GetJobW reports it.
#include <winspool.h>
#include <xlplatform/world.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <system_error>

#include "clock.h"
#include "record_packer.h"
#include "spooler_handles.h"

namespace xlplatform {

Job* FindJob(DWORD jobId) {
    auto& jobs = TheWorld().jobs;
    const auto it = jobs.find(jobId);
    return it == jobs.end() ? nullptr : &it->second;
}

void EndHandleDocument(OpenPrinterHandle& handle) {
    if (Job* job = FindJob(handle.jobId)) {
        job->ended = true;
        job->output.reset();
    }
    handle.jobId = 0;
}

}  // namespace xlplatform

using namespace xlplatform;

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

DWORD ErrorFromErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case ENOSPC:
            return ERROR_DISK_FULL;
        default:
            return ERROR_WRITE_FAULT;
    }
}

// The job on the handle, or null with the last error set.
Job* HandleJob(HANDLE printer) {
    const PrinterAccess access = ResolvePrinterHandle(printer);
    if (access.printer == nullptr) return nullptr;
    Job* job = FindJob(access.handle->jobId);
    if (job == nullptr) SetLastError(ERROR_SPL_NO_STARTDOC);
    return job;
}

DWORD NewJobId(World& world) {
    while (world.jobs.contains(world.nextJobId) || world.nextJobId == 0) ++world.nextJobId;
    return world.nextJobId++;
}

std::u16string SpoolFileName(const World& world, DWORD jobId) {
    std::u16string digits = Utf8ToUtf16(std::to_string(jobId));
    if (digits.size() < 5) digits.insert(0, 5 - digits.size(), u'0');
    return world.spoolDirectory + u"\\" + digits + u".SPL";
}

std::u16string OrEmpty(LPCWSTR text) {
    return text != nullptr ? std::u16string(text) : std::u16string();
}

}  // namespace

extern "C" {

DWORD WINAPI StartDocPrinterW(HANDLE printer, DWORD level, LPBYTE docInfo) {
    const PrinterAccess access = ResolvePrinterHandle(printer);
    if (access.printer == nullptr) return 0;
    if (level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return 0;
    }
    if (docInfo == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (access.handle->jobId != 0) {
        SetLastError(ERROR_INVALID_PRINTER_STATE);
        return 0;
    }
    const auto* doc = reinterpret_cast<const DOC_INFO_1W*>(docInfo);
    World& world = TheWorld();
    const Printer& p = *access.printer;
    const JobDefaults& defaults = world.jobDefaults;

    Job job;
    job.id = NewJobId(world);
    job.printerName = p.name;
    job.machineName =
        !defaults.machineName.empty() ? defaults.machineName : u"\\\\" + world.computerName;
    job.userName = !defaults.userName.empty() ? defaults.userName : world.userName;
    job.document = OrEmpty(doc->pDocName);
    job.datatype = doc->pDatatype != nullptr          ? std::u16string(doc->pDatatype)
                   : !access.handle->datatype.empty() ? access.handle->datatype
                                                      : p.datatype;
    job.printProcessor = p.printProcessor;
    job.driverName = p.driver.name;
    job.submitted = defaults.submitted.value_or(CurrentUtcTime());
    job.devMode = !access.handle->devMode.empty() ? access.handle->devMode : p.devMode;

    // The document's own file, else the world's choice for jobs, else the printer's.
    if (doc->pOutputFile != nullptr && doc->pOutputFile[0] != 0) {
        job.outputFile = doc->pOutputFile;
    } else {
        job.outputFile = !defaults.outputFile.empty() ? defaults.outputFile : p.outputFile;
    }
    const bool spoolFile = job.outputFile.empty();
    if (spoolFile) job.outputFile = SpoolFileName(world, job.id);
    job.hostOutputPath = HostPath(job.outputFile);
    if (spoolFile) {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(job.hostOutputPath).parent_path(),
                                            ignored);
    }
    // The job starts with an empty file, kept open for its writes. Appending,
    // as a spooler does, so that jobs sharing a file never overwrite each other.
    std::FILE* file = std::fopen(job.hostOutputPath.c_str(), "wb");
    if (file != nullptr && std::fclose(file) == 0)
        file = std::fopen(job.hostOutputPath.c_str(), "ab");
    else
        file = nullptr;
    if (file == nullptr) {
        SetLastError(ErrorFromErrno(errno));
        return 0;
    }
    job.output = std::shared_ptr<std::FILE>(file, FileCloser());
    access.handle->jobId = job.id;
    const DWORD id = job.id;
    world.jobs.emplace(id, std::move(job));
    return id;
}

BOOL WINAPI EndDocPrinter(HANDLE printer) {
    const PrinterAccess access = ResolvePrinterHandle(printer);
    if (access.printer == nullptr) return FALSE;
    if (access.handle->jobId == 0) {
        SetLastError(ERROR_SPL_NO_STARTDOC);
        return FALSE;
    }
    EndHandleDocument(*access.handle);
    return TRUE;
}

BOOL WINAPI StartPagePrinter(HANDLE printer) {
    Job* job = HandleJob(printer);
    if (job == nullptr) return FALSE;
    ++job->totalPages;
    return TRUE;
}

BOOL WINAPI EndPagePrinter(HANDLE printer) {
    return HandleJob(printer) != nullptr ? TRUE : FALSE;
}

BOOL WINAPI WritePrinter(HANDLE printer, LPVOID data, DWORD size, LPDWORD written) {
    if (written == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *written = 0;
    Job* job = HandleJob(printer);
    if (job == nullptr) return FALSE;
    if (const DWORD error = TheWorld().writePrinterError) {
        SetLastError(error);
        return FALSE;
    }
    if (size == 0) return TRUE;
    if (data == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::FILE* file = job->output.get();
    if (file == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // Flushed at once, so that the file holds every byte the spooler took.
    const size_t count = std::fwrite(data, 1, size, file);
    const int error = count < size || std::fflush(file) != 0 ? errno : 0;
    *written = static_cast<DWORD>(count);
    job->size = count > std::numeric_limits<DWORD>::max() - job->size
                    ? std::numeric_limits<DWORD>::max()
                    : job->size + static_cast<DWORD>(count);
    if (count < size || error != 0) {
        SetLastError(ErrorFromErrno(error));
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI GetJobW(HANDLE printer, DWORD jobId, DWORD level, LPBYTE buffer, DWORD size,
                    LPDWORD needed) {
    const PrinterAccess access = ResolvePrinterHandle(printer);
    if (access.printer == nullptr) return FALSE;
    const Job* job = FindJob(jobId);
    if (job == nullptr || !SameName(job->printerName, access.printer->name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    DWORD position = 1;
    for (const auto& [id, other] : TheWorld().jobs)
        if (id < jobId && !other.ended && SameName(other.printerName, job->printerName)) ++position;
    return PackRecords<JOB_INFO_2W>(
        1, buffer, size, needed, [&](JOB_INFO_2W* info, RecordPacker& pack) {
            info->JobId = job->id;
            info->pPrinterName = pack.String(job->printerName);
            info->pMachineName = pack.String(job->machineName);
            info->pUserName = pack.String(job->userName);
            info->pDocument = pack.String(job->document);
            info->pNotifyName = pack.String(job->userName);
            info->pDatatype = pack.String(job->datatype);
            info->pPrintProcessor = pack.String(job->printProcessor);
            info->pParameters = pack.String(u"");
            info->pDriverName = pack.String(job->driverName);
            info->pDevMode = job->devMode.empty()
                                 ? nullptr
                                 : static_cast<LPDEVMODEW>(pack.Bytes(job->devMode, 8));
            info->pStatus = nullptr;
            info->pSecurityDescriptor = nullptr;
            info->Status = job->ended ? 0 : JOB_STATUS_SPOOLING;
            info->Priority = 1;
            info->Position = position;
            info->TotalPages = job->totalPages;
            info->Size = job->size;
            info->Submitted = job->submitted;
        });
}

}  // extern "C"
