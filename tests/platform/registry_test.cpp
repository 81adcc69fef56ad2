// The registry: keys, values, the size-query convention and handle rights.
#include <winreg.h>

#include "platform/world_fixture.h"

using namespace xlplatform;

namespace {

class RegistryTest : public WorldTest {
  protected:
    HKEY Create(HKEY root, const char16_t* path, DWORD* disposition = nullptr,
                REGSAM access = KEY_ALL_ACCESS) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                  &key, disposition),
                  ERROR_SUCCESS);
        return key;
    }
};

TEST_F(RegistryTest, CreateReportsWhetherTheKeyIsNew) {
    DWORD disposition = 0;
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Corvane\\{guid}\\Forms", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    key = Create(HKEY_CURRENT_USER, u"SOFTWARE\\corvane\\{GUID}\\forms\\", &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    // The trees are apart.
    EXPECT_EQ(TheWorld().localMachine.Find(u"Software\\Corvane"), nullptr);
    EXPECT_NE(TheWorld().currentUser.Find(u"software\\CORVANE\\{guid}"), nullptr);
}

TEST_F(RegistryTest, QueriesFollowTheSizeConvention) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Corvane\\X");
    ASSERT_EQ(RegSetValueExW(key, u"iJobCount", 0, REG_SZ, reinterpret_cast<const BYTE*>(u"12"), 6),
              ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"IJOBCOUNT", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 6u);
    BYTE data[8] = {};
    size = 5;
    EXPECT_EQ(RegQueryValueExW(key, u"iJobCount", nullptr, &type, data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(data[0], 0);  // nothing copied
    size = sizeof data;
    EXPECT_EQ(RegQueryValueExW(key, u"iJobCount", nullptr, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(std::u16string_view(reinterpret_cast<const WCHAR*>(data)), u"12");
    EXPECT_EQ(RegQueryValueExW(key, u"Missing", nullptr, &type, data, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);

    HKEY missing = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Corvane\\None", 0, KEY_READ, &missing),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\SOFTWARE", 0, KEY_READ, &missing),
              ERROR_BAD_PATHNAME);
}

TEST_F(RegistryTest, HandleRightsAreEnforced) {
    RegCloseKey(Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Corvane\\KX SSNP"));
    HKEY reader = nullptr;
    ASSERT_EQ(
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Corvane\\KX SSNP", 0, KEY_READ, &reader),
        ERROR_SUCCESS);
    const BYTE one[4] = {1, 0, 0, 0};
    EXPECT_EQ(RegSetValueExW(reader, u"SSNPDisableAll", 0, REG_DWORD, one, 4), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueW(reader, u"SSNPDisableAll"), ERROR_ACCESS_DENIED);

    HKEY writer = Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Corvane\\KX SSNP", nullptr, KEY_WRITE);
    EXPECT_EQ(RegSetValueExW(writer, u"SSNPDisableAll", 0, REG_DWORD, one, 4), ERROR_SUCCESS);
    DWORD value = 0, size = 4;
    EXPECT_EQ(RegQueryValueExW(writer, u"SSNPDisableAll", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(&value), &size),
              ERROR_ACCESS_DENIED);  // reading with read rights: the notification tests
    RegCloseKey(reader);
    RegCloseKey(writer);
}

TEST_F(RegistryTest, AKeyWithSubKeysOrAnOpenHandleIsDeletedCleanly) {
    HKEY leaf = Create(HKEY_CURRENT_USER, u"A\\B\\C");
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"A\\B"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u""), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"A\\B\\C"), ERROR_SUCCESS);
    // The handle of a deleted key fails cleanly.
    const BYTE byte = 1;
    EXPECT_EQ(RegSetValueExW(leaf, u"v", 0, REG_BINARY, &byte, 1), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(leaf), ERROR_SUCCESS);
}

}  // namespace
