// Files by handle: a wide name with characters outside any ANSI code page
// reaches the same file from GetTempFileNameW to CreateFileW and DeleteFileW;
// appending, reading to the end, a full disk, and handles that are not files.
#include <windows.h>

#include <string>

#include "world_fixture.h"

namespace {

class FilesTest : public WorldTest {
  protected:
    // Writes `bytes` through an open handle; the written count is returned through `written`.
    static BOOL Put(HANDLE file, const std::string& bytes, DWORD& written) {
        return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }

    static std::string ReadAll(HANDLE file) {
        std::string all;
        char block[4];
        DWORD got = 0;
        while (::ReadFile(file, block, sizeof block, &got, nullptr) && got > 0)
            all.append(block, got);
        return all;
    }
};

TEST_F(FilesTest, AWideTemporaryNameIsAppendedReadAndDeleted) {
    xlplatform::TheWorld().tempDirectory =
        xlplatform::Utf8ToUtf16(Root("Dr\xC3\xBC"
                                     "cker \xE6\x97\xA5\xE6\x9C\xAC/"));
    WCHAR directory[MAX_PATH + 1] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, directory), 0u);
    WCHAR name[MAX_PATH + 1] = {};
    ASSERT_NE(GetTempFileNameW(directory, u"KX_", 0, name), 0u);

    for (const std::string part : {"first ", "second"}) {
        HANDLE file = CreateFileW(name, FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        EXPECT_TRUE(Put(file, part, written));
        EXPECT_EQ(written, part.size());
        EXPECT_TRUE(CloseHandle(file));
    }
    HANDLE file = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadAll(file), "first second");
    DWORD written = 0;
    EXPECT_FALSE(Put(file, "x", written));  // opened for reading only
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));

    EXPECT_TRUE(DeleteFileW(name));
    EXPECT_EQ(CreateFileW(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FilesTest, AWriteThatDoesNotFitTheDiskFailsAndWritesNothing) {
    const std::u16string name = xlplatform::Utf8ToUtf16(Root("full.bin"));
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    xlplatform::TheWorld().diskSpace = 10;
    DWORD written = 0;
    EXPECT_TRUE(Put(file, "abcdef", written));
    EXPECT_FALSE(Put(file, "ghijk", written));
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(Put(file, "ghij", written));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(WorldTest::ReadFile(Root("full.bin")), "abcdefghij");
}

TEST_F(FilesTest, RefusesWhatItCannotDo) {
    const std::u16string name = xlplatform::Utf8ToUtf16(Root("here.bin"));
    WorldTest::WriteFile(Root("here.bin"), "x");
    const struct {
        LPCWSTR name;
        DWORD access;
        DWORD disposition;
        DWORD error;
    } cases[] = {
        {name.c_str(), GENERIC_WRITE, CREATE_NEW, ERROR_FILE_EXISTS},
        {name.c_str(), GENERIC_READ, TRUNCATE_EXISTING, ERROR_INVALID_PARAMETER},
        {u"C:\\No\\Such\\file", GENERIC_WRITE, CREATE_ALWAYS, ERROR_FILE_NOT_FOUND},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CreateFileW(c.name, c.access, 0, nullptr, c.disposition, 0, nullptr),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(0x4321)));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
