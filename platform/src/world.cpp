// The process-wide world and the mapping from Windows paths to Linux paths.
#include <xlplatform/world.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

namespace xlplatform {
namespace {

struct WorldHolder {
    World world;
    std::map<char, std::string> madeRoots;  // temporary roots this process created
    std::mutex rootsMutex;

    ~WorldHolder() {
        for (auto& [letter, path] : madeRoots) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
};

WorldHolder& Holder() {
    static WorldHolder holder;
    return holder;
}

bool IsDriveLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

}  // namespace

World& TheWorld() {
    return Holder().world;
}

void ResetWorld() {
    Holder().world = World{};
}

std::string DriveRoot(char driveLetter) {
    WorldHolder& holder = Holder();
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(driveLetter)));
    if (auto it = holder.world.driveRoots.find(letter); it != holder.world.driveRoots.end())
        return it->second;
    std::lock_guard lock(holder.rootsMutex);
    if (auto it = holder.madeRoots.find(letter); it != holder.madeRoots.end()) return it->second;
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) base = "/tmp";
    std::string pattern = (base / "xlworld-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return base.string();
    holder.madeRoots[letter] = pattern;
    return pattern;
}

std::string HostPath(std::u16string_view windowsPath) {
    std::string path;
    std::u16string_view rest = windowsPath;
    if (rest.size() >= 2 && IsDriveLetter(rest[0]) && rest[1] == u':') {
        path = DriveRoot(static_cast<char>(rest[0]));
        rest.remove_prefix(2);
        if (!rest.empty() && rest[0] != u'\\' && rest[0] != u'/') path += '/';
    }
    std::string tail = Utf16ToUtf8(rest);
    for (char& c : tail)
        if (c == '\\') c = '/';
    return path + tail;
}

}  // namespace xlplatform
