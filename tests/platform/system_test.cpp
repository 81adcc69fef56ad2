// Version, locale and temporary-file services of the world.
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
    EXPECT_EQ(ex.dwMajorVersion * 100 + ex.dwMinorVersion, 501u);
    EXPECT_EQ(ex.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_EQ(std::u16string_view(ex.szCSDVersion), u"Service Pack 3");
    EXPECT_EQ(ex.wProductType, VER_NT_WORKSTATION);

    // The short record leaves the extended fields alone; a shorter one is refused.
    OSVERSIONINFOEXW plain{};
    plain.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    plain.wProductType = 0xEE;
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&plain)));
    EXPECT_EQ(plain.dwBuildNumber, 2600u);
    EXPECT_EQ(plain.wProductType, 0xEE);
    plain.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW) - 1;
    EXPECT_FALSE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&plain)));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    // A fresh world is a current system: mirrored blits depend on the major version.
    ResetWorld();
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&ex)));
    EXPECT_EQ(ex.dwMajorVersion, 10u);
}

TEST_F(SystemTest, LocaleInformationFollowsTheSizeConvention) {
    TheWorld().shortDateFormat = u"dd.MM.yyyy";
    TheWorld().localeCountry = u"49";
    for (LCTYPE type : {LCTYPE{LOCALE_ICOUNTRY}, LCTYPE{LOCALE_SSHORTDATE}}) {
        const std::u16string_view expected = type == LOCALE_ICOUNTRY ? u"49" : u"dd.MM.yyyy";
        const int needed = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, nullptr, 0);
        EXPECT_EQ(needed, static_cast<int>(expected.size() + 1));
        WCHAR text[32] = {};
        EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, needed - 1), 0);
        EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
        EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, needed), needed);
        EXPECT_EQ(std::u16string_view(text), expected);
    }
    WCHAR text[32];
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, 0x1234, text, 32), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    TheWorld().localeCountry.clear();
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, text, 32), 0);
}

TEST_F(SystemTest, TemporaryFilesAreRealAndUnique) {
    const DWORD length = GetTempPathW(0, nullptr);
    ASSERT_GT(length, 1u);
    std::u16string directory(length, u'\0');
    ASSERT_EQ(GetTempPathW(length, directory.data()), length - 1);
    directory.resize(length - 1);
    EXPECT_EQ(Utf16ToUtf8(directory), Root("Windows/Temp/"));

    WCHAR first[MAX_PATH], second[MAX_PATH];
    ASSERT_NE(GetTempFileNameW(directory.c_str(), u"KX_capture", 0, first), 0u);
    ASSERT_NE(GetTempFileNameW(directory.c_str(), u"KX_capture", 0, second), 0u);
    EXPECT_NE(std::u16string_view(first), std::u16string_view(second));
    const std::filesystem::path path = Utf16ToUtf8(first);
    EXPECT_EQ(path.filename().string().rfind("KX_", 0), 0u);  // prefix cut to 3
    EXPECT_EQ(path.extension(), ".tmp");
    // The C runtime opens the name as it stands.
    std::FILE* file = std::fopen(path.c_str(), "a+b");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_TRUE(DeleteFileW(first));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(DeleteFileW(first));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

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

namespace {

// The module an address lies in, as DllMain's process attach learns its own.
TEST_F(SystemTest, ModuleHandleFromAnAddress) {
    constexpr DWORD kFromAddress =
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    HMODULE module = nullptr;
    ASSERT_TRUE(
        GetModuleHandleExW(kFromAddress, reinterpret_cast<LPCWSTR>(&GetModuleHandleExW), &module));
    WCHAR path[512] = {};
    ASSERT_GT(GetModuleFileNameW(module, path, 512), 0u);
    EXPECT_TRUE(std::u16string_view(path).ends_with(u"libxlplatform.so"));

    // Only a lookup by address is known.
    module = reinterpret_cast<HMODULE>(1);
    SetLastError(0);
    EXPECT_FALSE(GetModuleHandleExW(0, u"libxlplatform.so", &module));
    EXPECT_EQ(module, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
