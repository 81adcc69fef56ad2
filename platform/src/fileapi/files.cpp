// Files by handle over POSIX descriptors: CreateFileW, ReadFile, WriteFile and
// the closing that CloseHandle does for them. Handles are numbers from the
// world's handle counter, so that a printer or registry handle is never taken
// for a file.
#include <windows.h>
#include <xlplatform/world.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <optional>

#include "fileapi/file_handles.h"

using namespace xlplatform;

namespace {

struct OpenFile {
    int fd = -1;
    bool read = false;
    bool write = false;
};

std::mutex g_lock;

std::map<ULONG_PTR, OpenFile>& Files() {
    static std::map<ULONG_PTR, OpenFile> files;
    return files;
}

DWORD ErrorOf(int error) {
    switch (error) {
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EEXIST:
            return ERROR_FILE_EXISTS;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
            return ERROR_ACCESS_DENIED;
        case ENOSPC:
            return ERROR_DISK_FULL;
        case ENAMETOOLONG:
            return ERROR_INVALID_NAME;
        default:
            return ERROR_WRITE_FAULT;
    }
}

int OpenFlags(DWORD access, DWORD disposition, bool& ok) {
    ok = true;
    const bool read = (access & GENERIC_READ) != 0;
    const bool write = (access & GENERIC_WRITE) != 0;
    const bool append = !write && (access & FILE_APPEND_DATA) != 0;
    int flags = O_CLOEXEC;
    if (write || append) {
        flags |= read ? O_RDWR : O_WRONLY;
        if (append) flags |= O_APPEND;
    } else {
        flags |= O_RDONLY;
    }
    switch (disposition) {
        case CREATE_NEW:
            return flags | O_CREAT | O_EXCL;
        case CREATE_ALWAYS:
            return flags | O_CREAT | O_TRUNC;
        case OPEN_EXISTING:
            return flags;
        case OPEN_ALWAYS:
            return flags | O_CREAT;
        case TRUNCATE_EXISTING:
            return flags | O_TRUNC;
        default:
            ok = false;
            return 0;
    }
}

OpenFile* Find(HANDLE handle) {
    auto found = Files().find(reinterpret_cast<ULONG_PTR>(handle));
    return found != Files().end() ? &found->second : nullptr;
}

}  // namespace

extern "C" {

HANDLE WINAPI CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD creationDisposition, DWORD, HANDLE) {
    bool ok = false;
    const int flags = OpenFlags(desiredAccess, creationDisposition, ok);
    const bool writes = (desiredAccess & (GENERIC_WRITE | FILE_APPEND_DATA)) != 0;
    if (fileName == nullptr || fileName[0] == 0 || !ok || ((flags & O_TRUNC) != 0 && !writes)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const int fd = ::open(HostPath(fileName).c_str(), flags, 0644);
    if (fd < 0) {
        SetLastError(ErrorOf(errno));
        return INVALID_HANDLE_VALUE;
    }
    std::lock_guard lock(g_lock);
    World& world = TheWorld();
    const ULONG_PTR id = world.nextHandle;
    world.nextHandle += 4;
    Files()[id] = OpenFile{fd, (desiredAccess & GENERIC_READ) != 0, writes};
    return reinterpret_cast<HANDLE>(id);
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read,
                     LPOVERLAPPED overlapped) {
    if (read != nullptr) *read = 0;
    std::lock_guard lock(g_lock);
    const OpenFile* open = Find(file);
    if (open == nullptr || !open->read) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if ((buffer == nullptr && toRead > 0) || overlapped != nullptr || read == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ssize_t got = 0;
    do {
        got = ::read(open->fd, buffer, toRead);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        SetLastError(ErrorOf(errno));
        return FALSE;
    }
    *read = static_cast<DWORD>(got);
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written,
                      LPOVERLAPPED overlapped) {
    if (written != nullptr) *written = 0;
    std::lock_guard lock(g_lock);
    const OpenFile* open = Find(file);
    if (open == nullptr || !open->write) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if ((buffer == nullptr && toWrite > 0) || overlapped != nullptr || written == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::optional<uint64_t>& space = TheWorld().diskSpace;
    if (space && toWrite > *space) {
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    const BYTE* bytes = static_cast<const BYTE*>(buffer);
    DWORD done = 0;
    while (done < toWrite) {
        const ssize_t put = ::write(open->fd, bytes + done, toWrite - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            *written = done;
            if (space) *space -= done;
            SetLastError(put < 0 ? ErrorOf(errno) : ERROR_WRITE_FAULT);
            return FALSE;
        }
        done += static_cast<DWORD>(put);
    }
    *written = done;
    if (space) *space -= done;
    return TRUE;
}

}  // extern "C"

namespace xlplatform {

std::optional<BOOL> CloseFileHandle(HANDLE object) {
    std::lock_guard lock(g_lock);
    auto found = Files().find(reinterpret_cast<ULONG_PTR>(object));
    if (found == Files().end()) return std::nullopt;
    const int fd = found->second.fd;
    Files().erase(found);
    if (::close(fd) == 0) return TRUE;
    SetLastError(ErrorOf(errno));
    return FALSE;
}

}  // namespace xlplatform
