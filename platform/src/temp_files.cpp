// Temporary files on the real file system: the world's temporary directory,
// unique file names made by creating the file exclusively, and deletion.
#include <windows.h>
#include <xlplatform/world.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

using namespace xlplatform;

namespace {

std::u16string TempDirectory() {
    std::u16string directory = TheWorld().tempDirectory;
    if (directory.empty()) directory = Utf8ToUtf16(DriveRoot('C')) + u"/Windows/Temp/";
    if (directory.back() != u'/' && directory.back() != u'\\')
        directory += directory.find(u'\\') == std::u16string::npos ? u'/' : u'\\';
    return directory;
}

DWORD FileError(int error, DWORD missing) {
    switch (error) {
        case ENOENT:
            return missing;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
            return ERROR_ACCESS_DENIED;
        case EEXIST:
            return ERROR_FILE_EXISTS;
        default:
            return ERROR_WRITE_FAULT;
    }
}

std::u16string TempName(std::u16string_view directory, std::u16string_view prefix, UINT number) {
    std::u16string name(directory);
    // Linux directories take "/", Windows ones "\".
    if (!name.empty() && name.back() != u'/' && name.back() != u'\\')
        name += name.find(u'\\') == std::u16string::npos && name.find(u'/') != std::u16string::npos
                    ? u'/'
                    : u'\\';
    char hex[8];
    std::snprintf(hex, sizeof hex, "%X", number);
    return name + std::u16string(prefix.substr(0, 3)) + Utf8ToUtf16(hex) + u".tmp";
}

bool CopyOut(const std::u16string& name, LPWSTR out) {
    if (name.size() >= MAX_PATH) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return false;
    }
    std::memcpy(out, name.c_str(), (name.size() + 1) * sizeof(WCHAR));
    return true;
}

}  // namespace

extern "C" {

DWORD WINAPI GetTempPathW(DWORD size, LPWSTR buffer) {
    const std::u16string directory = TempDirectory();
    std::error_code ignored;
    std::filesystem::create_directories(HostPath(directory), ignored);
    if (buffer == nullptr || size <= directory.size())
        return static_cast<DWORD>(directory.size() + 1);
    std::memcpy(buffer, directory.c_str(), (directory.size() + 1) * sizeof(WCHAR));
    return static_cast<DWORD>(directory.size());
}

UINT WINAPI GetTempFileNameW(LPCWSTR pathName, LPCWSTR prefix, UINT unique, LPWSTR tempFileName) {
    if (pathName == nullptr || tempFileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::u16string_view prefixText = prefix != nullptr ? prefix : u"";
    // With a number given the name is only formed, not created.
    if (unique != 0) {
        const UINT number = unique & 0xFFFF;
        return CopyOut(TempName(pathName, prefixText, number), tempFileName) ? number : 0;
    }
    // Windows starts from the tick count; any start will do as long as the
    // file is created exclusively.
    std::random_device random;
    const UINT start = random() % 0xFFFF;
    for (UINT step = 0; step < 0xFFFF; ++step) {
        const UINT number = (start + step) % 0xFFFF + 1;
        const std::u16string name = TempName(pathName, prefixText, number);
        if (name.size() >= MAX_PATH) {
            SetLastError(ERROR_BUFFER_OVERFLOW);
            return 0;
        }
        const int fd =
            ::open(HostPath(name).c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            SetLastError(FileError(errno, ERROR_DIRECTORY));
            return 0;
        }
        ::close(fd);
        CopyOut(name, tempFileName);
        return number;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return 0;
}

BOOL WINAPI DeleteFileW(LPCWSTR fileName) {
    if (fileName == nullptr || fileName[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (::unlink(HostPath(fileName).c_str()) != 0) {
        SetLastError(FileError(errno, ERROR_FILE_NOT_FOUND));
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
