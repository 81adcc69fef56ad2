#include "job/names/app_info.h"

#include <cstdio>
#include <vector>

#include <windows.h>
#include <winver.h>

#include "job/driver/driver_files.h"
#include "job/names/application_table.h"
#include "job/names/logon_domain.h"

namespace xlr {
namespace {

constexpr WORD kUsEnglish = 1033;
constexpr WORD kWesternEuropean = 1252;

WideString LoggedOnUser() {
    WCHAR name[257] = {};
    DWORD size = 257;
    return GetUserNameW(name, &size) ? WideString(name) : WideString();
}

WideString ProcessModulePath() {
    WCHAR path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    return length > 0 && length <= MAX_PATH ? WideString(path, length) : WideString();
}

}  // namespace

WideString UpperBaseName(WideStringView fileName) {
    WideStringView name = FileNameOf(fileName);
    if (const size_t dot = name.find_last_of(WSTR('.')); dot != WideStringView::npos)
        name = name.substr(0, dot);
    return ToUpper(name);
}

WideString FileDescription(WideStringView path) {
    const WideString file(path);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    if (size == 0) return {};
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(file.c_str(), handle, size, block.data())) return {};
    WORD language = kUsEnglish, codePage = kWesternEuropean;
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), WSTR("\\VarFileInfo\\Translation"), &value, &length) &&
        length >= 2 * sizeof(WORD)) {
        const auto* pair = static_cast<const WORD*>(value);
        language = pair[0];
        codePage = pair[1];
    }
    char key[64];
    std::snprintf(key, sizeof key, "\\StringFileInfo\\%04x%04x\\FileDescription", language,
                  codePage);
    const WideString query(key, key + std::char_traits<char>::length(key));
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || length == 0) return {};
    const auto* text = static_cast<const WCHAR*>(value);
    return WideString(text, length > 0 && text[length - 1] == 0 ? length - 1 : length);
}

bool CKXAppInfo::Initialize() {
    m_modulePath = ProcessModulePath();
    if (m_modulePath.empty()) return false;
    m_userName = LoggedOnUser();
    m_domain = LogonDomain();
    m_fileName = ToUtf8(FileNameOf(m_modulePath));
    m_upperBaseName = xlr::UpperBaseName(m_modulePath);
    m_description = FileDescription(m_modulePath);
    m_groups = ReadGroupLists();
    return true;
}

uint32_t CKXAppInfo::Flags() {
    if (!m_flags) m_flags = ApplicationFlags(m_upperBaseName);
    return *m_flags;
}

}  // namespace xlr
