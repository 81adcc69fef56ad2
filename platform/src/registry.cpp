// The registry: the world's local-machine and current-user trees behind the
// RegXxx functions. Handles name a key by its path, so a handle whose key was
// deleted fails cleanly (ERROR_KEY_DELETED) instead of dangling.
#include <winreg.h>
#include <xlplatform/world.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace xlplatform {
namespace {

using KeyPath = std::vector<std::u16string>;

// Appends the key names of a "\"-separated path; empty names (a trailing "\")
// are skipped.
void AppendPath(KeyPath& path, std::u16string_view text) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\\', start);
        if (end == std::u16string_view::npos) end = text.size();
        if (end > start) path.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
}

RegistryKey* FindChild(RegistryKey& key, std::u16string_view name) {
    for (RegistryKey& child : key.subkeys)
        if (SameName(child.name, name)) return &child;
    return nullptr;
}

RegistryKey* FindPath(RegistryKey& root, const KeyPath& path) {
    RegistryKey* key = &root;
    for (const std::u16string& name : path) {
        key = FindChild(*key, name);
        if (key == nullptr) return nullptr;
    }
    return key;
}

}  // namespace

RegistryValue StringValue(std::u16string_view text, DWORD type) {
    RegistryValue value{type, std::vector<BYTE>((text.size() + 1) * sizeof(WCHAR), 0)};
    std::memcpy(value.bytes.data(), text.data(), text.size() * sizeof(WCHAR));
    return value;
}

RegistryValue MultiStringValue(const std::vector<std::u16string>& texts) {
    std::u16string joined;
    for (const std::u16string& text : texts) joined += text + u'\0';
    RegistryValue value = StringValue(joined, REG_MULTI_SZ);
    return value;
}

RegistryValue DwordValue(DWORD value) {
    return {REG_DWORD,
            {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
             static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)}};
}

RegistryValue BinaryValue(std::span<const BYTE> bytes) {
    return {REG_BINARY, std::vector<BYTE>(bytes.begin(), bytes.end())};
}

RegistryKey* RegistryKey::Find(std::u16string_view path) {
    KeyPath names;
    AppendPath(names, path);
    return FindPath(*this, names);
}

RegistryKey& RegistryKey::Create(std::u16string_view path) {
    KeyPath names;
    AppendPath(names, path);
    RegistryKey* key = this;
    for (const std::u16string& name : names) {
        RegistryKey* child = FindChild(*key, name);
        key = child != nullptr ? child : &key->subkeys.emplace_back(RegistryKey{name, {}, {}});
    }
    return *key;
}

RegistryKey DefaultLocalMachine() {
    RegistryKey root;
    root.Create(u"SOFTWARE\\Classes");
    RegistryKey& current = root.Create(u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    current.values[u"ProductName"] = StringValue(u"Windows 10 Pro");
    current.values[u"EditionID"] = StringValue(u"Professional");
    current.values[u"CurrentVersion"] = StringValue(u"6.3");
    current.values[u"CurrentBuildNumber"] = StringValue(u"19045");
    current.values[u"CurrentMajorVersionNumber"] = DwordValue(10);
    current.values[u"CurrentMinorVersionNumber"] = DwordValue(0);
    return root;
}

}  // namespace xlplatform

using namespace xlplatform;

namespace {

const ULONG_PTR kClassesRoot = 0x80000000u;
const ULONG_PTR kCurrentUser = 0x80000001u;
const ULONG_PTR kLocalMachine = 0x80000002u;

// What a handle names: a tree, a path in it and the access it was opened with.
struct KeyRef {
    bool currentUser = false;
    KeyPath path;
    REGSAM access = KEY_ALL_ACCESS;
};

std::optional<KeyRef> Resolve(HKEY key) {
    const auto id = reinterpret_cast<ULONG_PTR>(key);
    if (id == kLocalMachine) return KeyRef{false, {}, KEY_ALL_ACCESS};
    if (id == kCurrentUser) return KeyRef{true, {}, KEY_ALL_ACCESS};
    if (id == kClassesRoot) return KeyRef{false, {u"SOFTWARE", u"Classes"}, KEY_ALL_ACCESS};
    const auto& handles = TheWorld().registryHandles;
    const auto it = handles.find(id);
    if (it == handles.end()) return std::nullopt;
    return KeyRef{it->second.currentUser, it->second.path, it->second.access};
}

RegistryKey& Tree(bool currentUser) {
    World& world = TheWorld();
    return currentUser ? world.currentUser : world.localMachine;
}

// The key a handle names, or the error that says why there is none.
struct Target {
    KeyRef ref;
    RegistryKey* key = nullptr;
    LONG error = ERROR_SUCCESS;
};

Target Open(HKEY handle, LPCWSTR subKey = nullptr) {
    Target target;
    std::optional<KeyRef> ref = Resolve(handle);
    if (!ref) {
        target.error = ERROR_INVALID_HANDLE;
        return target;
    }
    target.ref = std::move(*ref);
    if (FindPath(Tree(target.ref.currentUser), target.ref.path) == nullptr) {
        target.error = ERROR_KEY_DELETED;
        return target;
    }
    if (subKey != nullptr) {
        if (subKey[0] == u'\\') {
            target.error = ERROR_BAD_PATHNAME;
            return target;
        }
        AppendPath(target.ref.path, subKey);
    }
    target.key = FindPath(Tree(target.ref.currentUser), target.ref.path);
    if (target.key == nullptr) target.error = ERROR_FILE_NOT_FOUND;
    return target;
}

HKEY NewHandle(const KeyRef& ref, REGSAM access) {
    World& world = TheWorld();
    const ULONG_PTR id = world.nextHandle;
    world.nextHandle += 4;
    world.registryHandles.emplace(id, OpenRegistryKey{ref.currentUser, ref.path, access});
    return reinterpret_cast<HKEY>(id);
}

std::u16string_view ValueName(LPCWSTR name) {
    return name != nullptr ? name : u"";
}

}  // namespace

extern "C" {

LONG WINAPI RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM access, PHKEY result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    const Target target = Open(key, subKey);
    if (target.error != ERROR_SUCCESS) return target.error;
    *result = NewHandle(target.ref, access);
    return ERROR_SUCCESS;
}

LONG WINAPI RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM access,
                            LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    if (result == nullptr || subKey == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Target target = Open(key);
    if (target.error != ERROR_SUCCESS) return target.error;
    if (subKey[0] == u'\\') return ERROR_BAD_PATHNAME;
    const size_t depth = target.ref.path.size();
    AppendPath(target.ref.path, subKey);
    RegistryKey& tree = Tree(target.ref.currentUser);
    const bool existed = FindPath(tree, target.ref.path) != nullptr;
    if (!existed) {
        RegistryKey* parent =
            FindPath(tree, KeyPath(target.ref.path.begin(), target.ref.path.begin() + depth));
        for (size_t i = depth; i < target.ref.path.size(); ++i)
            parent = &parent->Create(target.ref.path[i]);
    }
    if (disposition != nullptr)
        *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *result = NewHandle(target.ref, access);
    return ERROR_SUCCESS;
}

LONG WINAPI RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type,
                             LPBYTE data, LPDWORD size) {
    if (reserved != nullptr || (data != nullptr && size == nullptr)) return ERROR_INVALID_PARAMETER;
    const Target target = Open(key);
    if (target.error != ERROR_SUCCESS) return target.error;
    if ((target.ref.access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
    const auto it = target.key->values.find(ValueName(valueName));
    if (it == target.key->values.end()) return ERROR_FILE_NOT_FOUND;
    const std::vector<BYTE>& bytes = it->second.bytes;
    if (type != nullptr) *type = it->second.type;
    if (data != nullptr && *size < bytes.size()) {
        *size = static_cast<DWORD>(bytes.size());
        return ERROR_MORE_DATA;
    }
    if (data != nullptr && !bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    if (size != nullptr) *size = static_cast<DWORD>(bytes.size());
    return ERROR_SUCCESS;
}

LONG WINAPI RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data,
                           DWORD size) {
    if (data == nullptr && size != 0) return ERROR_INVALID_PARAMETER;
    const Target target = Open(key);
    if (target.error != ERROR_SUCCESS) return target.error;
    if ((target.ref.access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
    RegistryValue value{type, {}};
    if (size != 0) value.bytes.assign(data, data + size);
    target.key->values.insert_or_assign(std::u16string(ValueName(valueName)), std::move(value));
    return ERROR_SUCCESS;
}

LONG WINAPI RegDeleteValueW(HKEY key, LPCWSTR valueName) {
    const Target target = Open(key);
    if (target.error != ERROR_SUCCESS) return target.error;
    if ((target.ref.access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
    const auto it = target.key->values.find(ValueName(valueName));
    if (it == target.key->values.end()) return ERROR_FILE_NOT_FOUND;
    target.key->values.erase(it);
    return ERROR_SUCCESS;
}

LONG WINAPI RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
    if (subKey == nullptr) return ERROR_INVALID_PARAMETER;
    const Target target = Open(key, subKey);
    if (target.error != ERROR_SUCCESS) return target.error;
    // A tree's root cannot go, nor a key that still has sub-keys.
    if (target.ref.path.empty() || !target.key->subkeys.empty()) return ERROR_ACCESS_DENIED;
    const KeyPath parentPath(target.ref.path.begin(), target.ref.path.end() - 1);
    RegistryKey* parent = FindPath(Tree(target.ref.currentUser), parentPath);
    auto& siblings = parent->subkeys;
    siblings.erase(std::find_if(siblings.begin(), siblings.end(),
                                [&](const RegistryKey& k) { return &k == target.key; }));
    return ERROR_SUCCESS;
}

LONG WINAPI RegCloseKey(HKEY key) {
    const auto id = reinterpret_cast<ULONG_PTR>(key);
    if (id == kLocalMachine || id == kCurrentUser || id == kClassesRoot) return ERROR_SUCCESS;
    return TheWorld().registryHandles.erase(id) != 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // extern "C"
