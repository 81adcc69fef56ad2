// Thread error state, the process heap, atomic counters and sleeping.
#include <windows.h>
#include <xlplatform/world.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
int g_processHeap;  // its address is the heap handle
}  // namespace

extern "C" {

DWORD WINAPI GetLastError() {
    return t_lastError;
}
void WINAPI SetLastError(DWORD error) {
    t_lastError = error;
}

HANDLE WINAPI GetProcessHeap() {
    return &g_processHeap;
}

LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    if (heap == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const SIZE_T size = bytes == 0 ? 1 : bytes;
    void* block = (flags & HEAP_ZERO_MEMORY) != 0 ? std::calloc(1, size) : std::malloc(size);
    if (block == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return block;
}

BOOL WINAPI HeapFree(HANDLE heap, DWORD, LPVOID block) {
    if (heap == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::free(block);
    return TRUE;
}

LONG WINAPI InterlockedIncrement(LONG volatile* addend) {
    return __atomic_add_fetch(addend, 1, __ATOMIC_SEQ_CST);
}

LONG WINAPI InterlockedDecrement(LONG volatile* addend) {
    return __atomic_sub_fetch(addend, 1, __ATOMIC_SEQ_CST);
}

void WINAPI Sleep(DWORD milliseconds) {
    // A copy: the hook may change the world while it runs.
    if (const auto hook = xlplatform::TheWorld().sleep) return hook(milliseconds);
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // extern "C"
