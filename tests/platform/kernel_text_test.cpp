// The platform core: text conversions, paths, environment, names and the heap.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/world_fixture.h"

using namespace xlplatform;

namespace {

using CoreTest = WorldTest;

TEST_F(CoreTest, Utf8Decoding) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"plain", u"plain"},
        {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", u"\u00E9\u20AC\U0001F600"},
        {"\xE2\x82"
         "A",
         u"\uFFFD"
         "A"},                                    // a sequence cut short keeps the byte after it
        {"A\xE2\x82", u"A\uFFFD"},                // cut short by the end of the text
        {"\xC0\xAF", u"\uFFFD\uFFFD"},            // overlong
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // an encoded surrogate
        {"\xFF"
         "b",
         u"\uFFFD"
         "b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
        EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, c.utf8.data(), static_cast<int>(c.utf8.size()),
                                      nullptr, 0),
                  static_cast<int>(c.utf16.size()));
    }
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");  // lone surrogate
}

TEST_F(CoreTest, AnsiConversions) {
    const std::u16string text = u"Ren\u00E9 \u20AC \u65E5";
    char narrow[16] = {};
    BOOL usedDefault = 0x55;  // must be cleared when nothing is replaced
    EXPECT_EQ(
        WideCharToMultiByte(CP_ACP, 0, u"abc", 3, narrow, sizeof narrow, nullptr, &usedDefault), 3);
    EXPECT_EQ(usedDefault, FALSE);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow, sizeof narrow, nullptr,
                                  &usedDefault),
              9);  // with the terminator
    EXPECT_STREQ(narrow, "Ren\xE9 \x80 ?");
    EXPECT_EQ(usedDefault, TRUE);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow, 8, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(WideCharToMultiByte(932, 0, text.c_str(), -1, narrow, 8, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    WCHAR wide[8] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\x80\x9F\xFF", 3, wide, 8), 3);
    EXPECT_EQ(std::u16string_view(wide, 3), u"\u20AC\u0178\u00FF");

    // A world whose ANSI code page is UTF-8.
    TheWorld().ansiCodePage = CP_UTF8;
    EXPECT_EQ(GetACP(), CP_UTF8);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u00E9", 1, narrow, sizeof narrow, nullptr, nullptr),
              2);
    EXPECT_EQ(std::string(narrow, 2), "\xC3\xA9");
}

TEST_F(CoreTest, HostPaths) {
    TheWorld().driveRoots['D'] = "/data/d";
    EXPECT_EQ(HostPath(u"D:\\dir\\file.ini"), "/data/d/dir/file.ini");
    EXPECT_EQ(HostPath(u"d:/dir/file.ini"), "/data/d/dir/file.ini");
    EXPECT_EQ(HostPath(u"D:relative"), "/data/d/relative");
    EXPECT_EQ(HostPath(u"/tmp/linux/path"), "/tmp/linux/path");
    EXPECT_EQ(HostPath(u"relative\\name"), "relative/name");
    EXPECT_EQ(HostPath(u"C:\\Windows"), Root("Windows"));
}

TEST_F(CoreTest, EnvironmentAndNamesFollowTheSizeConventions) {
    TheWorld().environment[u"NWUserName"] = u"Jane";
    TheWorld().environment[u"EMPTY"] = u"";
    WCHAR value[8] = {};
    EXPECT_EQ(GetEnvironmentVariableW(u"nwusername", nullptr, 0), 5u);  // with the terminator
    EXPECT_EQ(GetEnvironmentVariableW(u"NWUSERNAME", value, 4), 5u);
    EXPECT_EQ(GetEnvironmentVariableW(u"NWUSERNAME", value, 5), 4u);
    EXPECT_EQ(std::u16string_view(value), u"Jane");
    EXPECT_EQ(GetEnvironmentVariableW(u"EMPTY", value, 8), 0u);
    SetLastError(0);
    EXPECT_EQ(GetEnvironmentVariableW(u"MISSING", value, 8), 0u);
    EXPECT_EQ(GetLastError(), ERROR_ENVVAR_NOT_FOUND);

    WCHAR name[16] = {};
    DWORD size = 4;
    EXPECT_FALSE(GetUserNameW(name, &size));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(size, 5u);  // "USER" and its terminator
    EXPECT_TRUE(GetUserNameW(name, &size));
    EXPECT_EQ(size, 5u);  // counts the terminator
    size = 6;
    EXPECT_FALSE(GetComputerNameW(name, &size));
    EXPECT_EQ(GetLastError(), ERROR_BUFFER_OVERFLOW);
    EXPECT_EQ(size, 7u);
    EXPECT_TRUE(GetComputerNameW(name, &size));
    EXPECT_EQ(size, 6u);  // without the terminator
    EXPECT_EQ(std::u16string_view(name), u"XLHOST");
}

TEST_F(CoreTest, HeapZeroFill) {
    HANDLE heap = GetProcessHeap();
    for (SIZE_T bytes : {SIZE_T{1}, SIZE_T{13840}, SIZE_T{1} << 20}) {
        // Dirty the heap first so that zeroes do not come by chance.
        void* dirty = HeapAlloc(heap, 0, bytes);
        std::memset(dirty, 0xCD, bytes);
        HeapFree(heap, 0, dirty);
        auto* block = static_cast<BYTE*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, bytes));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(std::count(block, block + bytes, BYTE{0}), static_cast<std::ptrdiff_t>(bytes));
        EXPECT_TRUE(HeapFree(heap, 0, block));
    }
    EXPECT_EQ(HeapAlloc(nullptr, 0, 8), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
