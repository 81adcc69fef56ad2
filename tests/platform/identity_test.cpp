// Who and what the plug-in runs with: version resources, accounts behind the
// process token, string resources of data-file modules and host-name lookups.
#include <sddl.h>
#include <windows.h>
#include <winver.h>
#include <ws2tcpip.h>

#include <string>
#include <vector>

#include "platform/world_fixture.h"

using namespace xlplatform;

namespace {

using IdentityTest = WorldTest;

constexpr char16_t kDriverFile[] = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\XLRES.DLL";

std::vector<BYTE> VersionBlock(const char16_t* path) {
    DWORD handle = 7;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    EXPECT_EQ(handle, 0u);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoW(path, 0, size, block.data())) block.clear();
    return block;
}

TEST_F(IdentityTest, VersionResourcesAnswerTheFixedRecordTranslationsAndStrings) {
    FileVersion version;
    version.parts[0] = 10;
    version.parts[1] = 0;
    version.parts[2] = 19041;
    version.parts[3] = 1;
    version.translations = {{0x0409, 0x04B0}, {0x0407, 0x04E4}};
    version.strings[u"040904B0"] = {{u"FileDescription", u"Word processor"},
                                    {u"ProductName", u"Office"}};
    version.strings[u"040704E4"] = {{u"FileDescription", u"Textverarbeitung"}};
    TheWorld().fileVersions[u"C:\\Apps\\WORD.EXE"] = version;

    // Paths compare without regard to case, as Windows file names do.
    const std::vector<BYTE> block = VersionBlock(u"c:\\apps\\word.exe");
    ASSERT_FALSE(block.empty());
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x000A0000u);
    EXPECT_EQ(fixed->dwFileVersionLS, (19041u << 16) | 1u);

    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 8u);
    const auto* words = static_cast<const WORD*>(value);
    EXPECT_EQ(words[0], 0x0409);
    EXPECT_EQ(words[1], 0x04B0);
    EXPECT_EQ(words[2], 0x0407);

    struct Case {
        const char16_t* path;
        const char16_t* expected;  // null: not found
    };
    const Case cases[] = {
        {u"\\StringFileInfo\\040904B0\\FileDescription", u"Word processor"},
        {u"\\StringFileInfo\\040704e4\\FileDescription", u"Textverarbeitung"},
        {u"\\StringFileInfo\\040904B0\\ProductName", u"Office"},
        {u"\\StringFileInfo\\040904B0\\CompanyName", nullptr},
        {u"\\StringFileInfo\\041104B0\\FileDescription", nullptr},
        {u"\\NoSuchBlock", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path, c.path + std::char_traits<char16_t>::length(c.path)));
        const BOOL found = VerQueryValueW(block.data(), c.path, &value, &length);
        ASSERT_EQ(found != FALSE, c.expected != nullptr);
        if (c.expected == nullptr) continue;
        EXPECT_EQ(std::u16string(static_cast<const char16_t*>(value)), c.expected);
        EXPECT_EQ(length, std::char_traits<char16_t>::length(c.expected) + 1);
    }

    // A buffer shorter than the resource is refused rather than filled with a
    // block whose lengths promise more than it holds.
    std::vector<BYTE> small(block.size() - 1);
    EXPECT_FALSE(GetFileVersionInfoW(u"C:\\Apps\\WORD.EXE", 0, static_cast<DWORD>(small.size()),
                                     small.data()));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(GetFileVersionInfoSizeW(u"C:\\Apps\\OTHER.EXE", nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
}

// The names themselves are read back by the plug-in's name-recording tests;
// here the size answers of the token and account queries, and the account's kind.
TEST_F(IdentityTest, TheProcessTokenNamesTheLoggedOnUserAndItsDomain) {
    TheWorld().userName = u"alice";
    TheWorld().userDomain = u"CORP";
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    DWORD needed = 0;
    EXPECT_FALSE(GetTokenInformation(token, TokenUser, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, buffer.data(), needed, &needed));
    PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    EXPECT_TRUE(IsValidSid(sid));

    WCHAR name[8] = {}, domain[8] = {};
    DWORD nameSize = 3, domainSize = 8;
    SID_NAME_USE use{};
    EXPECT_FALSE(LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(nameSize, 6u);  // "alice" and its terminator
    ASSERT_TRUE(LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use));
    EXPECT_EQ(use, SidTypeUser);
    EXPECT_TRUE(CloseHandle(token));
}

TEST_F(IdentityTest, TextSidsOfTheWorldsAccountsAreLookedUpAndMalformedOnesRefused) {
    PSID sid = nullptr;
    ASSERT_TRUE(ConvertStringSidToSidW(u"S-1-5-21-10-20-30-513", &sid));
    EXPECT_EQ(GetLengthSid(sid), 8u + 5 * 4);
    LocalFree(sid);

    // Known accounts (groups and users) are looked up by the group-list tests.
    WCHAR name[32] = {}, domain[32] = {};
    DWORD nameSize = 32, domainSize = 32;
    SID_NAME_USE use{};
    ASSERT_TRUE(ConvertStringSidToSidW(u"S-1-5-21-10-20-30-514", &sid));
    EXPECT_FALSE(LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use));
    EXPECT_EQ(GetLastError(), ERROR_NONE_MAPPED);
    LocalFree(sid);

    for (const char16_t* text :
         {u"", u"S-", u"S-1", u"S-1-5", u"S-2-5-21", u"X-1-5-21", u"S-1-5-", u"S-1--5",
          u"S-1-5-4294967296", u"S-1-5-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15-16"}) {
        sid = nullptr;
        EXPECT_FALSE(ConvertStringSidToSidW(text, &sid));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_SID);
        EXPECT_EQ(sid, nullptr);
    }
}

TEST_F(IdentityTest, StringResourcesComeFromModulesLoadedAsDataFiles) {
    TheWorld().stringResources[kDriverFile] = {{174, u"Unknown user"}, {175, u""}};
    EXPECT_EQ(LoadLibraryExW(u"C:\\Elsewhere\\XLRES.DLL", nullptr, LOAD_LIBRARY_AS_DATAFILE),
              nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    HMODULE module = LoadLibraryExW(kDriverFile, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    WCHAR text[8] = {};
    // Cut to the buffer and terminated; the length is what was copied.
    EXPECT_EQ(LoadStringW(module, 174, text, 8), 7);
    EXPECT_EQ(std::u16string(text), u"Unknown");
    EXPECT_EQ(LoadStringW(module, 175, text, 8), 0);
    EXPECT_EQ(LoadStringW(module, 176, text, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(text[0], 0);
    EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(IdentityTest, DottedAddressesAndTheirHostNames) {
    struct Case {
        const char16_t* text;
        INT result;
    };
    const Case cases[] = {{u"127.0.0.1", 1}, {u"10.0.0.255", 1},   {u"256.1.1.1", 0},
                          {u"1.2.3", 0},     {u"1.2.3.4.5", 0},    {u"01.2.3.4", 0},
                          {u"1.2.3.4 ", 0},  {u"host.example", 0}, {u"", 0}};
    for (const Case& c : cases) {
        IN_ADDR address{};
        EXPECT_EQ(InetPtonW(AF_INET, c.text, &address), c.result)
            << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
    }

    SOCKADDR_IN loopback{};
    loopback.sin_family = AF_INET;
    ASSERT_EQ(InetPtonW(AF_INET, u"127.0.0.1", &loopback.sin_addr), 1);
    WCHAR host[NI_MAXHOST] = {};
    const auto* address = reinterpret_cast<const SOCKADDR*>(&loopback);
    // Windows Sockets must be started first.
    EXPECT_EQ(GetNameInfoW(address, sizeof loopback, host, NI_MAXHOST, nullptr, 0, NI_NAMEREQD),
              WSANOTINITIALISED);
    WSADATA data{};
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    // The loopback address's name from the hosts file: the job-control tests.
    ASSERT_EQ(GetNameInfoW(address, sizeof loopback, host, NI_MAXHOST, nullptr, 0, NI_NUMERICHOST),
              0);
    EXPECT_EQ(std::u16string(host), u"127.0.0.1");
    EXPECT_EQ(GetNameInfoW(address, sizeof loopback, host, 4, nullptr, 0, NI_NUMERICHOST),
              WSAEFAULT);
    EXPECT_EQ(WSACleanup(), 0);
}

}  // namespace
