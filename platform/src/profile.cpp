// INI files (GetPrivateProfileStringW, WritePrivateProfileStringW) over real files.
// A file name without a directory lies in the Windows directory. Files are read as
// UTF-16 when they start with its byte-order mark, else as the ANSI code page.
#include <windows.h>
#include <xlplatform/world.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <vector>

namespace {

struct IniEntry {
    std::u16string key;
    std::u16string value;
};

struct IniSection {
    std::u16string name;
    std::vector<IniEntry> entries;
};

struct IniFile {
    std::vector<IniSection> sections;
    bool utf16 = false;
};

std::u16string Trim(std::u16string_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t')) ++begin;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t' || text[end - 1] == u'\r'))
        --end;
    return std::u16string(text.substr(begin, end - begin));
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    return xlplatform::Upper(a) == xlplatform::Upper(b);
}

std::string ResolvePath(LPCWSTR fileName) {
    std::u16string name(fileName);
    if (name.find_first_of(u"\\/") == std::u16string::npos && !(name.size() >= 2 && name[1] == u':'))
        name = xlplatform::TheWorld().windowsDirectory + u"\\" + name;
    return xlplatform::HostPath(name);
}

std::u16string DecodeAnsi(std::string_view bytes) {
    std::u16string text;
    if (bytes.empty()) return text;
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    text.resize(n);
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

std::optional<IniFile> ReadIni(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    IniFile file;
    std::u16string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        file.utf16 = true;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8));
    } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text = xlplatform::Utf8ToUtf16(std::string_view(bytes).substr(3));
    } else {
        text = DecodeAnsi(bytes);
    }
    IniSection* current = nullptr;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        const std::u16string line = Trim(std::u16string_view(text).substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == u';') continue;
        if (line[0] == u'[') {
            const size_t close = line.find(u']');
            file.sections.push_back({Trim(line.substr(1, close == std::u16string::npos ? std::u16string::npos : close - 1)), {}});
            current = &file.sections.back();
            continue;
        }
        if (current == nullptr) continue;
        const size_t equals = line.find(u'=');
        if (equals == std::u16string::npos) {
            current->entries.push_back({line, u""});
        } else {
            current->entries.push_back({Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))});
        }
    }
    return file;
}

bool WriteIni(const std::string& path, const IniFile& file) {
    std::u16string text;
    for (const IniSection& section : file.sections) {
        text += u"[" + section.name + u"]\r\n";
        for (const IniEntry& entry : section.entries) text += entry.key + u"=" + entry.value + u"\r\n";
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    if (file.utf16) {
        out.put(static_cast<char>(0xFF)).put(static_cast<char>(0xFE));
        for (char16_t unit : text) out.put(static_cast<char>(unit & 0xFF)).put(static_cast<char>(unit >> 8));
    } else if (!text.empty()) {
        std::string bytes(text.size() * 2, '\0');
        const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                          bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
        out.write(bytes.data(), n);
    }
    return static_cast<bool>(out.flush());
}

// Copies a list of NUL-terminated names, ending with an extra NUL. When it does
// not fit, the list is cut and size - 2 is returned, as Windows does.
DWORD CopyList(const std::vector<std::u16string>& names, LPWSTR out, DWORD size) {
    if (size < 2) {
        if (size == 1) out[0] = 0;
        return 0;
    }
    DWORD pos = 0;
    for (const std::u16string& name : names) {
        for (char16_t c : name) {
            if (pos + 2 >= size) {
                out[pos] = 0;
                out[pos + 1] = 0;
                return size - 2;
            }
            out[pos++] = c;
        }
        if (pos + 2 >= size) {
            out[pos] = 0;
            out[pos + 1] = 0;
            return size - 2;
        }
        out[pos++] = 0;
    }
    out[pos] = 0;
    return pos;
}

DWORD CopyValue(std::u16string_view value, LPWSTR out, DWORD size) {
    const DWORD count = value.size() < size ? static_cast<DWORD>(value.size()) : size - 1;
    std::memcpy(out, value.data(), count * sizeof(WCHAR));
    out[count] = 0;
    return count;
}

std::u16string Unquote(const std::u16string& value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

extern "C" {

DWORD WINAPI GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue,
                                      LPWSTR returned, DWORD size, LPCWSTR fileName) {
    if (returned == nullptr || size == 0) return 0;
    const std::optional<IniFile> file =
        fileName != nullptr ? ReadIni(ResolvePath(fileName)) : std::nullopt;
    if (!file) SetLastError(ERROR_FILE_NOT_FOUND);
    if (section == nullptr) {
        std::vector<std::u16string> names;
        if (file)
            for (const IniSection& s : file->sections) names.push_back(s.name);
        return CopyList(names, returned, size);
    }
    const IniSection* found = nullptr;
    if (file)
        for (const IniSection& s : file->sections)
            if (SameName(s.name, section)) {
                found = &s;
                break;
            }
    if (key == nullptr) {
        std::vector<std::u16string> keys;
        if (found)
            for (const IniEntry& e : found->entries) keys.push_back(e.key);
        return CopyList(keys, returned, size);
    }
    if (found)
        for (const IniEntry& e : found->entries)
            if (SameName(e.key, key)) return CopyValue(Unquote(e.value), returned, size);
    // The default loses its trailing blanks, as on Windows.
    std::u16string fallback = defaultValue != nullptr ? std::u16string(defaultValue) : u"";
    while (!fallback.empty() && fallback.back() == u' ') fallback.pop_back();
    return CopyValue(fallback, returned, size);
}

BOOL WINAPI WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value,
                                       LPCWSTR fileName) {
    if (section == nullptr || fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string path = ResolvePath(fileName);
    IniFile file = ReadIni(path).value_or(IniFile{});
    auto it = file.sections.begin();
    while (it != file.sections.end() && !SameName(it->name, section)) ++it;
    if (key == nullptr) {  // delete the whole section
        if (it != file.sections.end()) file.sections.erase(it);
        return WriteIni(path, file) ? TRUE : FALSE;
    }
    if (it == file.sections.end()) {
        if (value == nullptr) return TRUE;
        file.sections.push_back({section, {}});
        it = std::prev(file.sections.end());
    }
    auto& entries = it->entries;
    auto entry = entries.begin();
    while (entry != entries.end() && !SameName(entry->key, key)) ++entry;
    if (value == nullptr) {
        if (entry != entries.end()) entries.erase(entry);
    } else if (entry != entries.end()) {
        entry->value = value;
    } else {
        entries.push_back({key, value});
    }
    if (!WriteIni(path, file)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
