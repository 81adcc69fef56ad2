// Time services over the world's clock and time zone. Conversions go through
// FILETIME ticks (100 ns since 1 January 1601, UTC) with the proleptic Gregorian
// calendar of <chrono>.
#include <windows.h>
#include <xlplatform/world.h>

#include <chrono>
#include <cstdint>
#include <optional>

#include "clock.h"

namespace {

using namespace std::chrono;

constexpr int64_t kTicksPerMillisecond = 10'000;
constexpr int64_t kTicksPerSecond = 10'000'000;
constexpr int64_t kSecondsPerDay = 86'400;
constexpr int64_t kSecondsFrom1601To1970 = 11'644'473'600;
// FileTimeToSystemTime refuses FILETIMEs with the top bit set.
constexpr uint64_t kLastTick = 0x7FFF'FFFF'FFFF'FFFFull;

bool IsValid(const SYSTEMTIME& t) {
    if (t.wYear < 1601 || t.wYear > 30827 || t.wMonth < 1 || t.wMonth > 12) return false;
    const year_month_day date{year{t.wYear}, month{t.wMonth}, day{t.wDay}};
    return t.wDay >= 1 && date.ok() && t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 &&
           t.wMilliseconds < 1000;
}

std::optional<int64_t> ToTicks(const SYSTEMTIME& t) {
    if (!IsValid(t)) return std::nullopt;
    const sys_days date{year_month_day{year{t.wYear}, month{t.wMonth}, day{t.wDay}}};
    const int64_t seconds = static_cast<int64_t>(date.time_since_epoch().count()) * kSecondsPerDay +
                            t.wHour * 3600 + t.wMinute * 60 + t.wSecond + kSecondsFrom1601To1970;
    return seconds * kTicksPerSecond + t.wMilliseconds * kTicksPerMillisecond;
}

std::optional<SYSTEMTIME> FromTicks(int64_t ticks) {
    if (ticks < 0 || static_cast<uint64_t>(ticks) > kLastTick) return std::nullopt;
    const int64_t seconds = ticks / kTicksPerSecond - kSecondsFrom1601To1970;
    const int64_t dayNumber = seconds >= 0 ? seconds / kSecondsPerDay
                                           : -((-seconds + kSecondsPerDay - 1) / kSecondsPerDay);
    const int64_t secondOfDay = seconds - dayNumber * kSecondsPerDay;
    const sys_days date{days{dayNumber}};
    const year_month_day ymd{date};
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(static_cast<int>(ymd.year()));
    t.wMonth = static_cast<WORD>(static_cast<unsigned>(ymd.month()));
    t.wDay = static_cast<WORD>(static_cast<unsigned>(ymd.day()));
    t.wDayOfWeek = static_cast<WORD>(weekday{date}.c_encoding());
    t.wHour = static_cast<WORD>(secondOfDay / 3600);
    t.wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    t.wSecond = static_cast<WORD>(secondOfDay % 60);
    t.wMilliseconds = static_cast<WORD>(ticks / kTicksPerMillisecond % 1000);
    return t;
}

int64_t NowTicks() {
    const auto now = time_point_cast<milliseconds>(system_clock::now()).time_since_epoch().count();
    return (static_cast<int64_t>(now) + kSecondsFrom1601To1970 * 1000) * kTicksPerMillisecond;
}

int64_t CurrentTicks() {
    const std::optional<SYSTEMTIME>& fixed = xlplatform::TheWorld().fixedTime;
    if (fixed) {
        if (const std::optional<int64_t> ticks = ToTicks(*fixed)) return *ticks;
    }
    return NowTicks();
}

// A time shifted by `minutes`; none when the result leaves the calendar.
std::optional<SYSTEMTIME> Shift(int64_t ticks, int64_t minutes) {
    // Zone offsets are hours; anything beyond a few days is no time zone.
    constexpr int64_t kLimit = 7 * 24 * 60;
    int64_t shifted = 0;
    if (minutes < -kLimit || minutes > kLimit ||
        __builtin_add_overflow(ticks, minutes * 60 * kTicksPerSecond, &shifted))
        return std::nullopt;
    return FromTicks(shifted);
}

}  // namespace

namespace xlplatform {

SYSTEMTIME CurrentUtcTime() {
    return FromTicks(CurrentTicks()).value_or(SYSTEMTIME{});
}

}  // namespace xlplatform

extern "C" {

void WINAPI GetSystemTime(LPSYSTEMTIME time) {
    if (time != nullptr) *time = xlplatform::CurrentUtcTime();
}

void WINAPI GetLocalTime(LPSYSTEMTIME time) {
    if (time == nullptr) return;
    const int64_t ticks = CurrentTicks();
    *time = Shift(ticks, xlplatform::TheWorld().utcOffsetMinutes)
                .value_or(FromTicks(ticks).value_or(SYSTEMTIME{}));
}

void WINAPI GetSystemTimeAsFileTime(FILETIME* time) {
    if (time == nullptr) return;
    const auto ticks = static_cast<uint64_t>(CurrentTicks());
    time->dwLowDateTime = static_cast<DWORD>(ticks);
    time->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

BOOL WINAPI FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime) {
    if (fileTime == nullptr || systemTime == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const uint64_t ticks =
        (static_cast<uint64_t>(fileTime->dwHighDateTime) << 32) | fileTime->dwLowDateTime;
    const std::optional<SYSTEMTIME> t =
        ticks <= kLastTick ? FromTicks(static_cast<int64_t>(ticks)) : std::nullopt;
    if (!t) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *systemTime = *t;
    return TRUE;
}

BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime) {
    const std::optional<int64_t> ticks =
        systemTime != nullptr ? ToTicks(*systemTime) : std::nullopt;
    if (!ticks || fileTime == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    fileTime->dwLowDateTime = static_cast<DWORD>(*ticks);
    fileTime->dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(*ticks) >> 32);
    return TRUE;
}

BOOL WINAPI SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* zone,
                                            const SYSTEMTIME* universal, LPSYSTEMTIME local) {
    const std::optional<int64_t> ticks = universal != nullptr ? ToTicks(*universal) : std::nullopt;
    if (!ticks || local == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const int64_t offset = zone != nullptr
                               ? -(static_cast<int64_t>(zone->Bias) + zone->StandardBias)
                               : xlplatform::TheWorld().utcOffsetMinutes;
    const std::optional<SYSTEMTIME> shifted = Shift(*ticks, offset);
    if (!shifted) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *local = *shifted;
    return TRUE;
}

}  // extern "C"
