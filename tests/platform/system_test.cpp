// Version, time, locale and temporary-file services of the world.
#include <windows.h>

#include <cstdio>
#include <filesystem>

#include "platform/world_fixture.h"

using namespace xlplatform;

namespace {

using SystemTest = WorldTest;

TEST_F(SystemTest, VersionInBothRecordSizes) {
    TheWorld().osVersion = {5, 1, 2600, VER_NT_WORKSTATION, 3, 0, u"Service Pack 3", 0x0300};
    OSVERSIONINFOEXW ex{};
    ex.dwOSVersionInfoSize = sizeof ex;
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&ex)));
    EXPECT_EQ(ex.dwMajorVersion, 5u);
    EXPECT_EQ(ex.dwMinorVersion, 1u);
    EXPECT_EQ(ex.dwBuildNumber, 2600u);
    EXPECT_EQ(ex.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_EQ(std::u16string_view(ex.szCSDVersion), u"Service Pack 3");
    EXPECT_EQ(ex.wServicePackMajor, 3);
    EXPECT_EQ(ex.wProductType, VER_NT_WORKSTATION);

    // The short record leaves the extended fields alone.
    OSVERSIONINFOEXW plain{};
    plain.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    plain.wProductType = 0xEE;
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&plain)));
    EXPECT_EQ(plain.dwBuildNumber, 2600u);
    EXPECT_EQ(plain.wProductType, 0xEE);

    plain.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW) - 1;
    EXPECT_FALSE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&plain)));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

    ResetWorld();
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&ex)));
    EXPECT_EQ(ex.dwMajorVersion, 10u);
    EXPECT_EQ(ex.dwBuildNumber, 19045u);
}

bool SameTime(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDayOfWeek == b.wDayOfWeek &&
           a.wDay == b.wDay && a.wHour == b.wHour && a.wMinute == b.wMinute &&
           a.wSecond == b.wSecond && a.wMilliseconds == b.wMilliseconds;
}

TEST_F(SystemTest, TimeZoneConversion) {
    struct Case {
        int offsetMinutes;
        SYSTEMTIME universal;
        SYSTEMTIME local;
    };
    const Case cases[] = {
        {0, {2026, 3, 3, 4, 9, 5, 0, 0}, {2026, 3, 3, 4, 9, 5, 0, 0}},
        {60, {2026, 3, 3, 4, 23, 30, 0, 7}, {2026, 3, 4, 5, 0, 30, 0, 7}},    // into the next day
        {-300, {2026, 1, 4, 1, 2, 0, 0, 0}, {2025, 12, 3, 31, 21, 0, 0, 0}},  // back into last year
        {330, {2024, 2, 3, 28, 20, 0, 0, 0}, {2024, 2, 4, 29, 1, 30, 0, 0}},  // leap day
        {-60,
         {1601, 1, 1, 1, 0, 30, 0, 0},
         {1601, 1, 1, 1, 0, 30, 0, 0}},  // before the calendar: refused
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offsetMinutes);
        TheWorld().utcOffsetMinutes = c.offsetMinutes;
        SYSTEMTIME local{};
        const BOOL converted = SystemTimeToTzSpecificLocalTime(nullptr, &c.universal, &local);
        if (c.universal.wYear == 1601 && c.offsetMinutes < 0) {
            EXPECT_FALSE(converted);
            continue;
        }
        ASSERT_TRUE(converted);
        EXPECT_TRUE(SameTime(local, c.local))
            << local.wYear << '-' << local.wMonth << '-' << local.wDay << ' ' << local.wHour << ':'
            << local.wMinute << " dow " << local.wDayOfWeek;

        // A given zone: UTC = local + Bias + StandardBias.
        TIME_ZONE_INFORMATION zone{};
        zone.Bias = -c.offsetMinutes + 15;
        zone.StandardBias = -15;
        ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(&zone, &c.universal, &local));
        EXPECT_TRUE(SameTime(local, c.local));
    }
    const SYSTEMTIME invalid{2026, 2, 0, 30, 0, 0, 0, 0};
    SYSTEMTIME local{};
    EXPECT_FALSE(SystemTimeToTzSpecificLocalTime(nullptr, &invalid, &local));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(SystemTest, TheWorldsClock) {
    TheWorld().fixedTime = SYSTEMTIME{2026, 3, 0, 4, 23, 59, 58, 500};
    TheWorld().utcOffsetMinutes = 120;
    SYSTEMTIME utc{}, local{};
    GetSystemTime(&utc);
    GetLocalTime(&local);
    EXPECT_TRUE(SameTime(utc, {2026, 3, 3, 4, 23, 59, 58, 500}));
    EXPECT_TRUE(SameTime(local, {2026, 3, 4, 5, 1, 59, 58, 500}));

    FILETIME fileTime{};
    GetSystemTimeAsFileTime(&fileTime);
    SYSTEMTIME back{};
    ASSERT_TRUE(FileTimeToSystemTime(&fileTime, &back));
    EXPECT_TRUE(SameTime(back, utc));
    // The epoch of FILETIME.
    const FILETIME zero{0, 0};
    ASSERT_TRUE(FileTimeToSystemTime(&zero, &back));
    EXPECT_TRUE(SameTime(back, {1601, 1, 1, 1, 0, 0, 0, 0}));
    const FILETIME tooLate{0, 0x80000000u};
    EXPECT_FALSE(FileTimeToSystemTime(&tooLate, &back));

    // Without a fixed time the clock is the real one.
    TheWorld().fixedTime.reset();
    GetSystemTime(&utc);
    EXPECT_GE(utc.wYear, 2024);
}

TEST_F(SystemTest, LocaleInformation) {
    struct Case {
        LCTYPE type;
        std::u16string_view expected;
    };
    TheWorld().shortDateFormat = u"dd.MM.yyyy";
    TheWorld().localeCountry = u"49";
    const Case cases[] = {
        {LOCALE_ICOUNTRY, u"49"},
        {LOCALE_SSHORTDATE, u"dd.MM.yyyy"},
        {LOCALE_SSHORTDATE | LOCALE_NOUSEROVERRIDE, u"dd.MM.yyyy"},
    };
    for (const Case& c : cases) {
        const int needed = GetLocaleInfoW(LOCALE_USER_DEFAULT, c.type, nullptr, 0);
        EXPECT_EQ(needed, static_cast<int>(c.expected.size() + 1));
        WCHAR text[32] = {};
        EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, c.type, text, needed - 1), 0);
        EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
        EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, c.type, text, needed), needed);
        EXPECT_EQ(std::u16string_view(text), c.expected);
    }
    WCHAR text[32];
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, 0x1234, text, 32), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    TheWorld().localeCountry.clear();
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, text, 32), 0);

    EXPECT_EQ(GetUserDefaultUILanguage(), 0x0409);
    TheWorld().uiLanguage = 0x040D;
    TheWorld().userLanguage = 0x0407;
    EXPECT_EQ(GetUserDefaultUILanguage(), 0x040D);
    EXPECT_EQ(GetUserDefaultLangID(), 0x0407);
}

TEST_F(SystemTest, TemporaryFilesAreRealAndUnique) {
    const DWORD length = GetTempPathW(0, nullptr);
    ASSERT_GT(length, 1u);
    std::u16string directory(length, u'\0');
    ASSERT_EQ(GetTempPathW(length, directory.data()), length - 1);
    directory.resize(length - 1);
    EXPECT_EQ(directory.back(), u'/');
    EXPECT_EQ(Utf16ToUtf8(directory), Root("Windows/Temp/"));

    WCHAR first[MAX_PATH], second[MAX_PATH];
    const UINT a = GetTempFileNameW(directory.c_str(), u"KX_capture", 0, first);
    const UINT b = GetTempFileNameW(directory.c_str(), u"KX_capture", 0, second);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_NE(std::u16string_view(first), std::u16string_view(second));
    const std::string path = Utf16ToUtf8(first);
    EXPECT_EQ(std::filesystem::path(path).filename().string().rfind("KX_", 0),
              0u);  // prefix cut to 3
    EXPECT_EQ(std::filesystem::path(path).extension(), ".tmp");
    // The C runtime opens the name as it stands.
    std::FILE* file = std::fopen(path.c_str(), "a+b");
    ASSERT_NE(file, nullptr);
    std::fputs("captured", file);
    std::fclose(file);
    EXPECT_EQ(ReadFile(path), "captured");

    EXPECT_TRUE(DeleteFileW(first));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(DeleteFileW(first));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(DeleteFileW(second));

    // A given number only forms the name; a missing directory is an error.
    WCHAR formed[MAX_PATH];
    EXPECT_EQ(GetTempFileNameW(u"C:\\Temp", u"AB", 0x1A2B, formed), 0x1A2Bu);
    EXPECT_EQ(std::u16string_view(formed), u"C:\\Temp\\AB1A2B.tmp");
    EXPECT_EQ(GetTempFileNameW(u"C:\\No\\Such", u"KX_", 0, formed), 0u);
    EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
    EXPECT_EQ(GetTempFileNameW(std::u16string(MAX_PATH, u'x').c_str(), u"KX_", 0, formed), 0u);
    EXPECT_EQ(GetLastError(), ERROR_BUFFER_OVERFLOW);
}

}  // namespace
