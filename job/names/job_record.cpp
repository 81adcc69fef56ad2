#include "job/names/job_record.h"

#include <vector>

#include <winspool.h>

namespace xlr {
namespace {

WideString Text(LPCWSTR text) {
    return text != nullptr ? WideString(text) : WideString();
}

}  // namespace

WideString IniUserName() {
    WCHAR directory[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    const WideString path = WideString(directory) + WSTR("\\kxmnwun.ini");
    WCHAR value[128] = {};  // at most 127 characters
    GetPrivateProfileStringW(WSTR("NWUSERNAME"), WSTR("NWUSERNAME"), WSTR(""), value, 128,
                             path.c_str());
    return value;
}

std::optional<JobRecord> ReadJobRecord(HANDLE printer, DWORD jobId) {
    if (printer == nullptr) return std::nullopt;
    DWORD needed = 0;
    GetJobW(printer, jobId, 2, nullptr, 0, &needed);
    if (needed < sizeof(JOB_INFO_2W)) return std::nullopt;
    std::vector<BYTE> buffer(needed);
    if (!GetJobW(printer, jobId, 2, buffer.data(), needed, &needed)) return std::nullopt;
    const auto* info = reinterpret_cast<const JOB_INFO_2W*>(buffer.data());
    JobRecord job;
    job.printerName = Text(info->pPrinterName);
    job.machineName = Text(info->pMachineName);
    job.userName = Text(info->pUserName);
    job.document = Text(info->pDocument);
    job.submitted = info->Submitted;
    if (WideString iniUser = IniUserName(); !iniUser.empty()) job.userName = std::move(iniUser);
    return job;
}

std::optional<SYSTEMTIME> LocalSubmissionTime(const JobRecord& job) {
    SYSTEMTIME local{};
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &job.submitted, &local)) return std::nullopt;
    return local;
}

}  // namespace xlr
