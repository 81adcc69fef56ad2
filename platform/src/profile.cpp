// INI files (GetPrivateProfileStringW, WritePrivateProfileStringW) over real files.
// A file name without a directory lies in the Windows directory. Files are read as
// UTF-16 or UTF-8 when they start with that byte-order mark, else in the ANSI code
// page; a rewrite keeps the file's encoding, its comments and its blank lines.
#include <windows.h>
#include <xlplatform/world.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace {

enum class Encoding { Ansi, Utf16, Utf8 };

// One line of a section as it stands in the file. Entries also carry their
// key and value; comments and blank lines only their text, so that a rewrite
// keeps them.
struct IniLine {
    std::u16string text;
    bool entry = false;
    std::u16string key;
    std::u16string value;
};

struct IniSection {
    std::u16string name;
    bool header = true;  // false for the lines before the first section
    std::vector<IniLine> lines;
};

struct IniFile {
    std::vector<IniSection> sections;  // the first holds the lines before any header
    Encoding encoding = Encoding::Ansi;
};

std::u16string Trim(std::u16string_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t')) ++begin;
    while (end > begin &&
           (text[end - 1] == u' ' || text[end - 1] == u'\t' || text[end - 1] == u'\r'))
        --end;
    return std::u16string(text.substr(begin, end - begin));
}

using xlplatform::SameName;

std::string ResolvePath(LPCWSTR fileName) {
    std::u16string name(fileName);
    if (name.find_first_of(u"\\/") == std::u16string::npos &&
        !(name.size() >= 2 && name[1] == u':'))
        name = xlplatform::TheWorld().windowsDirectory + u"\\" + name;
    return xlplatform::HostPath(name);
}

std::u16string DecodeAnsi(std::string_view bytes) {
    std::u16string text;
    if (bytes.empty()) return text;
    const int n =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    text.resize(n);
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

IniLine ParseLine(std::u16string_view raw) {
    IniLine line{std::u16string(raw), false, {}, {}};
    if (!line.text.empty() && line.text.back() == u'\r') line.text.pop_back();
    const std::u16string trimmed = Trim(line.text);
    if (trimmed.empty() || trimmed[0] == u';') return line;
    line.entry = true;
    const size_t equals = trimmed.find(u'=');
    line.key = Trim(std::u16string_view(trimmed).substr(0, equals));
    if (equals != std::u16string::npos)
        line.value = Trim(std::u16string_view(trimmed).substr(equals + 1));
    return line;
}

std::optional<IniFile> ReadIni(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    IniFile file;
    std::u16string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        file.encoding = Encoding::Utf16;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8));
    } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        file.encoding = Encoding::Utf8;
        text = xlplatform::Utf8ToUtf16(std::string_view(bytes).substr(3));
    } else {
        text = DecodeAnsi(bytes);
    }
    file.sections.push_back({u"", false, {}});
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        const std::u16string_view raw = std::u16string_view(text).substr(start, end - start);
        start = end + 1;
        const std::u16string trimmed = Trim(raw);
        if (!trimmed.empty() && trimmed[0] == u'[') {
            const size_t close = trimmed.find(u']');
            file.sections.push_back(
                {Trim(std::u16string_view(trimmed).substr(
                     1, close == std::u16string::npos ? std::u16string::npos : close - 1)),
                 true,
                 {}});
            continue;
        }
        IniLine line = ParseLine(raw);
        // Entries before the first section are not reachable; keep them as text.
        if (!file.sections.back().header) line.entry = false;
        file.sections.back().lines.push_back(std::move(line));
    }
    return file;
}

bool WriteIni(const std::string& path, const IniFile& file) {
    std::u16string text;
    for (const IniSection& section : file.sections) {
        if (section.header) text += u"[" + section.name + u"]\r\n";
        for (const IniLine& line : section.lines) text += line.text + u"\r\n";
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    switch (file.encoding) {
        case Encoding::Utf16:
            out.put(static_cast<char>(0xFF)).put(static_cast<char>(0xFE));
            for (char16_t unit : text)
                out.put(static_cast<char>(unit & 0xFF)).put(static_cast<char>(unit >> 8));
            break;
        case Encoding::Utf8:
            out << "\xEF\xBB\xBF" << xlplatform::Utf16ToUtf8(text);
            break;
        case Encoding::Ansi:
            if (!text.empty()) {
                const int n =
                    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
                std::string bytes(static_cast<size_t>(std::max(n, 0)), '\0');
                WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                    bytes.data(), n, nullptr, nullptr);
                out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            }
            break;
    }
    return static_cast<bool>(out.flush());
}

// Copies a list of NUL-terminated names, ending with an extra NUL, and returns
// its length without that last NUL. When it does not fit, the list is cut,
// ends with two NULs and size - 2 is returned, as Windows does.
DWORD CopyList(const std::vector<std::u16string>& names, LPWSTR out, DWORD size) {
    std::u16string list;
    for (const std::u16string& name : names) list += name + u'\0';
    if (list.empty()) list += u'\0';  // an empty list is two NULs
    if (list.size() < size) {
        std::memcpy(out, list.data(), list.size() * sizeof(WCHAR));
        out[list.size()] = 0;
        return static_cast<DWORD>(list.size() - (names.empty() ? 1 : 0));
    }
    if (size < 2) {
        if (size == 1) out[0] = 0;
        return 0;
    }
    std::memcpy(out, list.data(), (size - 2) * sizeof(WCHAR));
    out[size - 2] = 0;
    out[size - 1] = 0;
    return size - 2;
}

DWORD CopyValue(std::u16string_view value, LPWSTR out, DWORD size) {
    const DWORD count = value.size() < size ? static_cast<DWORD>(value.size()) : size - 1;
    std::memcpy(out, value.data(), count * sizeof(WCHAR));
    out[count] = 0;
    return count;
}

std::u16string Unquote(const std::u16string& value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
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
            for (const IniSection& s : file->sections)
                if (s.header) names.push_back(s.name);
        return CopyList(names, returned, size);
    }
    const IniSection* found = nullptr;
    if (file)
        for (const IniSection& s : file->sections)
            if (s.header && SameName(s.name, section)) {
                found = &s;
                break;
            }
    if (key == nullptr) {
        std::vector<std::u16string> keys;
        if (found)
            for (const IniLine& line : found->lines)
                if (line.entry) keys.push_back(line.key);
        return CopyList(keys, returned, size);
    }
    if (found)
        for (const IniLine& line : found->lines)
            if (line.entry && SameName(line.key, key))
                return CopyValue(Unquote(line.value), returned, size);
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
    std::optional<IniFile> read = ReadIni(path);
    IniFile file = read ? std::move(*read) : IniFile{{{u"", false, {}}}, Encoding::Ansi};
    auto it = file.sections.begin();
    while (it != file.sections.end() && !(it->header && SameName(it->name, section))) ++it;
    if (key == nullptr) {  // delete the whole section
        if (it == file.sections.end()) return TRUE;
        file.sections.erase(it);
    } else {
        if (it == file.sections.end()) {
            if (value == nullptr) return TRUE;
            file.sections.push_back({section, true, {}});
            it = std::prev(file.sections.end());
        }
        auto& lines = it->lines;
        auto entry = std::find_if(lines.begin(), lines.end(), [&](const IniLine& line) {
            return line.entry && SameName(line.key, key);
        });
        if (value == nullptr) {
            if (entry == lines.end()) return TRUE;
            lines.erase(entry);
        } else if (entry != lines.end()) {
            entry->value = value;
            entry->text = entry->key + u"=" + entry->value;
        } else {
            // After the section's last entry, before the comments and blank lines
            // that close it.
            auto last = std::find_if(lines.rbegin(), lines.rend(),
                                     [](const IniLine& line) { return line.entry; });
            const std::u16string keyText(key);
            lines.insert(last.base(), IniLine{keyText + u"=" + value, true, keyText, value});
        }
    }
    if (!WriteIni(path, file)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
