#include "frame/capture_file.h"

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include <winspool.h>

#include "settings/wide_text.h"

namespace xlr {
namespace {

// The captured job goes back to the spooler in large blocks: a 4 KiB block
// made a 50 MB capture cost ten times a copy of the file, all of it in the
// per-call cost of reading and writing.
constexpr DWORD kReplayBlock = DWORD{1} << 20;

// A file handle that closes itself.
class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (*this) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

// The wide name of the state's capture file; false when it has none.
bool CaptureName(const PluginDeviceState& state, WCHAR (&name)[MAX_PATH + 1]) {
    if (state.capturePath[0] == 0) return false;
    return MultiByteToWideChar(CP_UTF8, 0, state.capturePath, -1, name,
                               static_cast<int>(std::size(name))) > 0;
}

FileHandle OpenCapture(const PluginDeviceState& state, DWORD access) {
    WCHAR name[MAX_PATH + 1] = {};
    if (!CaptureName(state, name)) return FileHandle(INVALID_HANDLE_VALUE);
    return FileHandle(CreateFileW(name, access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_TEMPORARY, nullptr));
}

}  // namespace

bool MakeCaptureFile(PluginDeviceState& state) {
    ForgetCaptureFile(state);
    WCHAR directory[MAX_PATH + 1] = {};
    WCHAR file[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, directory);
    if (length == 0 || length > MAX_PATH || GetTempFileNameW(directory, WSTR("KX_"), 0, file) == 0)
        return false;
    char name[sizeof state.capturePath] = {};
    // The terminator is converted with the name, so a name that fits is terminated.
    if (WideCharToMultiByte(CP_UTF8, 0, file, -1, name, sizeof name, nullptr, nullptr) <= 0) {
        DeleteFileW(file);
        return false;
    }
    std::memcpy(state.capturePath, name, sizeof name);
    state.captureActive = 1;
    return true;
}

void ForgetCaptureFile(PluginDeviceState& state) {
    WCHAR name[MAX_PATH + 1] = {};
    if (CaptureName(state, name)) DeleteFileW(name);
    DisownCaptureFile(state);
}

void DisownCaptureFile(PluginDeviceState& state) {
    state.capturePath[0] = 0;
    state.captureActive = 0;
}

bool AppendToCaptureFile(const PluginDeviceState& state, const void* data, DWORD size) {
    const FileHandle file = OpenCapture(state, FILE_APPEND_DATA);
    DWORD written = 0;
    return file && WriteFile(file.get(), data, size, &written, nullptr) && written == size;
}

bool ReplayCaptureFile(const PluginDeviceState& state, HANDLE printer, int copies) {
    std::vector<BYTE> block(kReplayBlock);
    for (int copy = 0; copy < copies; ++copy) {
        const FileHandle file = OpenCapture(state, GENERIC_READ);
        if (!file) return false;
        DWORD read = 0;
        for (;;) {
            if (!ReadFile(file.get(), block.data(), kReplayBlock, &read, nullptr)) return false;
            if (read == 0) break;
            DWORD written = 0;
            if (!WritePrinter(printer, block.data(), read, &written) || written != read)
                return false;
        }
    }
    return true;
}

void GiveUpCapture(PluginDeviceState& state, const char* why) {
    ForgetCaptureFile(state);
    state.captureFailed = 1;
    // The text is ASCII: it widens unit by unit.
    const std::string message =
        std::string("Collated copies: ") + why + "; each page carries the copies instead\n";
    const WideString text(message.begin(), message.end());
    OutputDebugStringW(text.c_str());
}

}  // namespace xlr
