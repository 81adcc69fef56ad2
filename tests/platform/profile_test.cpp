// INI files: values, section and key lists, truncation, encodings and rewrites.
#include <windows.h>

#include <vector>

#include "platform/world_fixture.h"

using namespace xlplatform;

namespace {

class ProfileTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        // A file name without a directory lies in the Windows directory.
        WriteFile(Root("Windows/kxmnwun.ini"),
                  "; written by the installer\r\n"
                  "orphan=before any section\r\n"
                  "[NWUSERNAME]\r\n"
                  "NWUSERNAME = \"Jane Doe\"  \r\n"
                  "Empty=\r\n"
                  "\r\n"
                  "[ComponentFiles]\r\n"
                  "Component_F_B=KXPP.DLL\r\n"
                  "; the plug-in\r\n"
                  "Component_F_C=xlrender.dll\r\n");
    }

    std::u16string Get(const char16_t* section, const char16_t* key, const char16_t* fallback = u"",
                       DWORD size = 256, DWORD* returned = nullptr) {
        std::vector<WCHAR> buffer(size + 1, u'#');
        const DWORD count =
            GetPrivateProfileStringW(section, key, fallback, buffer.data(), size, u"kxmnwun.ini");
        if (returned != nullptr) *returned = count;
        return std::u16string(buffer.data(), count);
    }

    // A list answer: the names up to the double NUL.
    std::vector<std::u16string> List(const char16_t* section, DWORD size, DWORD* returned) {
        std::vector<WCHAR> buffer(size, u'#');
        *returned =
            GetPrivateProfileStringW(section, nullptr, u"", buffer.data(), size, u"kxmnwun.ini");
        EXPECT_EQ(buffer[*returned], 0);
        std::vector<std::u16string> names;
        for (const WCHAR* name = buffer.data(); *name != 0; name += names.back().size() + 1)
            names.emplace_back(name);
        return names;
    }
};

TEST_F(ProfileTest, Values) {
    const struct {
        const char16_t *section, *key, *fallback;
        std::u16string_view expected;
    } cases[] = {
        {u"NWUSERNAME", u"NWUSERNAME", u"", u"Jane Doe"},  // blanks around "=" and quotes go
        {u"nwusername", u"nwUserName", u"", u"Jane Doe"},
        {u"NWUSERNAME", u"Empty", u"default", u""},
        // The default loses trailing blanks.
        {u"NWUSERNAME", u"Missing", u"fall back  ", u"fall back"},
        {u"NoSection", u"NWUSERNAME", u"x", u"x"},
        {u"ComponentFiles", u"Component_F_C", u"", u"xlrender.dll"},
        {u"ComponentFiles", u"orphan", u"none", u"none"},
    };
    for (const auto& c : cases) EXPECT_EQ(Get(c.section, c.key, c.fallback), c.expected);

    DWORD returned = 0;
    EXPECT_EQ(Get(u"ComponentFiles", u"Component_F_C", u"", 5, &returned),
              u"xlre");  // cut to size - 1
    EXPECT_EQ(returned, 4u);

    std::vector<WCHAR> buffer(8, u'#');
    EXPECT_EQ(GetPrivateProfileStringW(u"a", u"b", u"dflt", buffer.data(), 8, u"C:\\missing.ini"),
              4u);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(ProfileTest, SectionAndKeyLists) {
    DWORD returned = 0;
    EXPECT_EQ(List(nullptr, 64, &returned),
              (std::vector<std::u16string>{u"NWUSERNAME", u"ComponentFiles"}));
    EXPECT_EQ(returned, 26u);  // both names and their NULs, without the final NUL
    EXPECT_EQ(List(u"ComponentFiles", 64, &returned),
              (std::vector<std::u16string>{u"Component_F_B", u"Component_F_C"}));
    EXPECT_EQ(List(u"NoSection", 64, &returned), std::vector<std::u16string>{});
    EXPECT_EQ(returned, 0u);

    // Exactly enough room: the whole list and its final NUL.
    EXPECT_EQ(List(nullptr, 27, &returned).size(), 2u);
    EXPECT_EQ(returned, 26u);
    // One short: cut, ending with two NULs, size - 2 returned.
    EXPECT_EQ(List(nullptr, 26, &returned),
              (std::vector<std::u16string>{u"NWUSERNAME", u"ComponentFile"}));
    EXPECT_EQ(returned, 24u);
    EXPECT_EQ(List(nullptr, 5, &returned), (std::vector<std::u16string>{u"NWU"}));
    EXPECT_EQ(returned, 3u);
}

TEST_F(ProfileTest, RewritesKeepCommentsAndOtherLines) {
    EXPECT_TRUE(WritePrivateProfileStringW(u"ComponentFiles", u"Component_R_B", u"KXRES.DLL",
                                           u"kxmnwun.ini"));
    EXPECT_TRUE(WritePrivateProfileStringW(u"nwusername", u"nwusername", u"Max", u"kxmnwun.ini"));
    EXPECT_TRUE(WritePrivateProfileStringW(u"NWUSERNAME", u"Empty", nullptr, u"kxmnwun.ini"));
    // A new key goes after the section's last entry, before the blank line that closes it.
    EXPECT_TRUE(WritePrivateProfileStringW(u"NWUSERNAME", u"Added", u"1", u"kxmnwun.ini"));
    EXPECT_TRUE(WritePrivateProfileStringW(u"New", u"k", u"v", u"kxmnwun.ini"));
    EXPECT_EQ(ReadFile(Root("Windows/kxmnwun.ini")),
              "; written by the installer\r\n"
              "orphan=before any section\r\n"
              "[NWUSERNAME]\r\n"
              "NWUSERNAME=Max\r\n"
              "Added=1\r\n"
              "\r\n"
              "[ComponentFiles]\r\n"
              "Component_F_B=KXPP.DLL\r\n"
              "; the plug-in\r\n"
              "Component_F_C=xlrender.dll\r\n"
              "Component_R_B=KXRES.DLL\r\n"
              "[New]\r\n"
              "k=v\r\n");
    EXPECT_TRUE(WritePrivateProfileStringW(u"ComponentFiles", nullptr, nullptr, u"kxmnwun.ini"));
    EXPECT_EQ(Get(u"ComponentFiles", u"Component_F_B", u"gone"), u"gone");
}

TEST_F(ProfileTest, EncodingsSurviveARewrite) {
    // UTF-8 with its byte-order mark: a rewrite must not fall back to the ANSI page.
    WriteFile(Root("Windows/utf8.ini"), "\xEF\xBB\xBF[S]\r\nname=\xE6\x97\xA5\xE6\x9C\xAC\r\n");
    EXPECT_TRUE(WritePrivateProfileStringW(u"S", u"other", u"\u00E9", u"utf8.ini"));
    EXPECT_EQ(ReadFile(Root("Windows/utf8.ini")),
              "\xEF\xBB\xBF[S]\r\nname=\xE6\x97\xA5\xE6\x9C\xAC\r\nother=\xC3\xA9\r\n");

    // UTF-16 little-endian with its byte-order mark.
    const std::u16string text = u"[S]\r\nname=\u65E5\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text)
        bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    WriteFile(Root("Windows/utf16.ini"), bytes);
    WCHAR value[8] = {};
    EXPECT_EQ(GetPrivateProfileStringW(u"S", u"name", u"", value, 8, u"utf16.ini"), 1u);
    EXPECT_EQ(value[0], u'\u65E5');
    EXPECT_TRUE(WritePrivateProfileStringW(u"S", u"name", u"\u672C", u"utf16.ini"));
    EXPECT_EQ(GetPrivateProfileStringW(u"S", u"name", u"", value, 8, u"utf16.ini"), 1u);
    EXPECT_EQ(value[0], u'\u672C');

    // An ANSI file reads in the 1252 page.
    WriteFile(Root("Windows/ansi.ini"), "[S]\r\nname=Ren\xE9\x80\r\n");
    EXPECT_EQ(GetPrivateProfileStringW(u"S", u"name", u"", value, 8, u"ansi.ini"), 5u);
    EXPECT_EQ(std::u16string_view(value), u"Ren\u00E9\u20AC");
}

}  // namespace
