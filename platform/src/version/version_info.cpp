// Version resources. A file's resource is laid out as Windows lays out
// VS_VERSIONINFO: nested nodes of (length, value length, type, key, value,
// children), each part aligned to 32 bits from the start of the block. The
// block is built from the world's FileVersion when a caller asks for it, and
// VerQueryValueW walks it within the length its first node states.
#include <windows.h>
#include <winver.h>
#include <xlplatform/world.h>

#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr WORD kBinary = 0;
constexpr WORD kText = 1;
constexpr size_t kNodeHeader = 6;  // wLength, wValueLength, wType

void Align(std::vector<BYTE>& out) {
    while (out.size() % 4 != 0) out.push_back(0);
}

void PutWord(std::vector<BYTE>& out, size_t at, WORD value) {
    out[at] = static_cast<BYTE>(value);
    out[at + 1] = static_cast<BYTE>(value >> 8);
}

void AppendText(std::vector<BYTE>& out, std::u16string_view text) {
    for (char16_t c : text) {
        out.push_back(static_cast<BYTE>(c));
        out.push_back(static_cast<BYTE>(c >> 8));
    }
    out.push_back(0);
    out.push_back(0);
}

// Appends a node; `children` appends the nested nodes. Lengths are patched in
// once the node is complete. A node longer than a WORD cannot be described, so
// the caller's data is kept small (the world's versions are).
template <typename Children>
void AppendNode(std::vector<BYTE>& out, std::u16string_view key, WORD type,
                const std::vector<BYTE>& value, WORD valueLength, Children children) {
    Align(out);
    const size_t start = out.size();
    out.resize(start + kNodeHeader);
    PutWord(out, start + 2, valueLength);
    PutWord(out, start + 4, type);
    AppendText(out, key);
    Align(out);
    out.insert(out.end(), value.begin(), value.end());
    children(out);
    PutWord(out, start, static_cast<WORD>(out.size() - start));
}

void NoChildren(std::vector<BYTE>&) {}

std::vector<BYTE> TextValue(std::u16string_view text) {
    std::vector<BYTE> bytes;
    AppendText(bytes, text);
    return bytes;
}

std::vector<BYTE> BuildBlock(const xlplatform::FileVersion& version) {
    VS_FIXEDFILEINFO fixed{};
    fixed.dwSignature = VS_FFI_SIGNATURE;
    fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    fixed.dwFileVersionMS = static_cast<DWORD>(version.parts[0]) << 16 | version.parts[1];
    fixed.dwFileVersionLS = static_cast<DWORD>(version.parts[2]) << 16 | version.parts[3];
    fixed.dwProductVersionMS = fixed.dwFileVersionMS;
    fixed.dwProductVersionLS = fixed.dwFileVersionLS;
    fixed.dwFileOS = 0x00040004;  // VOS_NT_WINDOWS32
    fixed.dwFileType = 2;         // VFT_DLL
    std::vector<BYTE> fixedBytes(sizeof fixed);
    std::memcpy(fixedBytes.data(), &fixed, sizeof fixed);

    std::vector<BYTE> block;
    AppendNode(block, u"VS_VERSION_INFO", kBinary, fixedBytes, sizeof fixed,
               [&](std::vector<BYTE>& out) {
                   AppendNode(out, u"StringFileInfo", kText, {}, 0, [&](std::vector<BYTE>& o) {
                       for (const auto& [table, strings] : version.strings)
                           AppendNode(o, table, kText, {}, 0, [&](std::vector<BYTE>& t) {
                               for (const auto& [name, text] : strings)
                                   AppendNode(t, name, kText, TextValue(text),
                                              static_cast<WORD>(text.size() + 1), NoChildren);
                           });
                   });
                   std::vector<BYTE> translations;
                   for (const auto& [language, codePage] : version.translations)
                       for (WORD w : {language, codePage}) {
                           translations.push_back(static_cast<BYTE>(w));
                           translations.push_back(static_cast<BYTE>(w >> 8));
                       }
                   AppendNode(out, u"VarFileInfo", kText, {}, 0, [&](std::vector<BYTE>& o) {
                       AppendNode(o, u"Translation", kBinary, translations,
                                  static_cast<WORD>(translations.size()), NoChildren);
                   });
               });
    return block;
}

const xlplatform::FileVersion* FindVersion(LPCWSTR fileName) {
    if (fileName == nullptr) return nullptr;
    const auto& versions = xlplatform::TheWorld().fileVersions;
    const auto it = versions.find(std::u16string_view(fileName));
    return it != versions.end() ? &it->second : nullptr;
}

// One node of a block, read within [start, end) of the block.
struct Node {
    size_t start = 0;
    size_t end = 0;  // one past the node's last byte
    std::u16string key;
    size_t value = 0;       // offset of the value
    size_t valueBytes = 0;  // its size in bytes
    WORD valueLength = 0;   // as stored: characters for text, bytes for binary
    size_t children = 0;    // offset of the first child
};

WORD ReadWord(const BYTE* block, size_t at) {
    return static_cast<WORD>(block[at] | block[at + 1] << 8);
}

size_t Aligned(size_t offset) {
    return (offset + 3) & ~size_t{3};
}

std::optional<Node> ReadNode(const BYTE* block, size_t start, size_t limit) {
    if (start > limit || limit - start < kNodeHeader) return std::nullopt;
    Node node;
    node.start = start;
    const WORD length = ReadWord(block, start);
    if (length < kNodeHeader || length > limit - start) return std::nullopt;
    node.end = start + length;
    node.valueLength = ReadWord(block, start + 2);
    const WORD type = ReadWord(block, start + 4);
    size_t at = start + kNodeHeader;
    for (;;) {
        if (node.end - at < 2) return std::nullopt;
        const char16_t c = ReadWord(block, at);
        at += 2;
        if (c == 0) break;
        node.key += c;
    }
    node.value = Aligned(at);
    node.valueBytes = type == kText ? size_t{node.valueLength} * 2 : node.valueLength;
    if (node.value > node.end || node.valueBytes > node.end - node.value) return std::nullopt;
    node.children = Aligned(node.value + node.valueBytes);
    return node;
}

}  // namespace

extern "C" {

DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR fileName, LPDWORD handle) {
    if (handle != nullptr) *handle = 0;
    const xlplatform::FileVersion* version = FindVersion(fileName);
    if (version == nullptr) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return 0;
    }
    return static_cast<DWORD>(BuildBlock(*version).size());
}

BOOL WINAPI GetFileVersionInfoW(LPCWSTR fileName, DWORD, DWORD size, LPVOID data) {
    const xlplatform::FileVersion* version = FindVersion(fileName);
    if (version == nullptr) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return FALSE;
    }
    const std::vector<BYTE> block = BuildBlock(*version);
    // A cut block would state a length longer than what was copied; refuse it
    // so that VerQueryValueW never reads past the caller's buffer.
    if (data == nullptr || size < block.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(data, block.data(), block.size());
    return TRUE;
}

BOOL WINAPI VerQueryValueW(LPCVOID blockData, LPCWSTR subBlock, LPVOID* buffer, PUINT length) {
    if (blockData == nullptr || subBlock == nullptr || buffer == nullptr || length == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto* block = static_cast<const BYTE*>(blockData);
    const size_t total = ReadWord(block, 0);
    std::optional<Node> node = ReadNode(block, 0, total);
    std::u16string_view path(subBlock);
    while (node) {
        while (!path.empty() && path.front() == u'\\') path.remove_prefix(1);
        if (path.empty()) break;
        const size_t slash = path.find(u'\\');
        const std::u16string_view key = path.substr(0, slash);
        path = slash == std::u16string_view::npos ? std::u16string_view() : path.substr(slash);
        std::optional<Node> found;
        for (size_t at = node->children; at < node->end;) {
            std::optional<Node> child = ReadNode(block, at, node->end);
            if (!child) break;
            if (xlplatform::SameName(child->key, key)) {
                found = child;
                break;
            }
            at = Aligned(child->end);
        }
        node = found;
    }
    if (!node || node->valueBytes == 0) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return FALSE;
    }
    *buffer = const_cast<BYTE*>(block + node->value);
    *length = node->valueLength;
    return TRUE;
}

}  // extern "C"
