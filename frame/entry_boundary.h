// The boundary at every entry point of the plug-in. Its callers (Unidrv, the
// graphics engine, the COM runtime) are C code: a C++ exception must never
// unwind into them. Work that throws answers instead the failure its entry
// point's contract has: an out-of-memory HRESULT for a COM method, FALSE or 0
// with the reason in the thread's last error for a hook or an escape.
#pragma once

#include <new>
#include <type_traits>
#include <utility>

#include <windows.h>

namespace xlr {

// What an entry point answers when the work behind it throws.
template <typename Result>
struct FailureAnswer {
    Result outOfMemory;   // std::bad_alloc
    Result otherFailure;  // any other exception
    bool setsLastError;   // hooks and escapes tell why through the thread's last error
};

// COM methods and the module's class-object entry.
inline constexpr FailureAnswer<HRESULT> kComFailure{E_OUTOFMEMORY, E_FAIL, false};
// Graphics hooks.
inline constexpr FailureAnswer<BOOL> kHookFailure{FALSE, FALSE, true};
// DrvEscape: 0 is its failure.
inline constexpr FailureAnswer<ULONG> kEscapeFailure{0, 0, true};

// Runs `work` and returns its result, or the contract's answer when it throws.
template <typename Result, typename Work>
Result Guarded(const FailureAnswer<Result>& answer, Work&& work) noexcept {
    try {
        return std::forward<Work>(work)();
    } catch (const std::bad_alloc&) {
        if (answer.setsLastError) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return answer.outOfMemory;
    } catch (...) {
        if (answer.setsLastError) SetLastError(ERROR_INTERNAL_ERROR);
        return answer.otherFailure;
    }
}

// The hook table's entry for a hook function: the same arguments, behind the
// boundary. A hook answers BOOL, except DrvEscape, which answers ULONG.
template <auto Hook>
struct HookEntry;

template <typename Result, typename... Args, Result (*Hook)(Args...)>
struct HookEntry<Hook> {
    static_assert(std::is_same_v<Result, BOOL> || std::is_same_v<Result, ULONG>);
    static Result Call(Args... args) noexcept {
        if constexpr (std::is_same_v<Result, ULONG>)
            return Guarded(kEscapeFailure, [&] { return Hook(args...); });
        else
            return Guarded(kHookFailure, [&] { return Hook(args...); });
    }
};

}  // namespace xlr
