#include "host/player/job_script.h"

#include <fstream>

#include "host/player/job_script_parts.h"
#include "host/player/script_values.h"

namespace xlhost {
namespace {

using script::ScriptError;
using script::Value;

constexpr std::pair<std::string_view, Units> kUnits[] = {{"pixels", Units::Pixels},
                                                         {"points", Units::Points},
                                                         {"mm", Units::Millimetres},
                                                         {"inches", Units::Inches}};

Document ReadDocument(const Value& root, const std::filesystem::path& baseDirectory) {
    root.ExpectObject({"units", "options", "pages"});
    Document document;
    document.baseDirectory = baseDirectory;
    if (auto units = root.Find("units")) document.units = units->Choice(kUnits);
    if (auto options = root.Find("options")) document.options = script::ReadJobOptions(*options);
    const Value pages = root["pages"];
    const size_t count = pages.ExpectArray(1);
    for (size_t i = 0; i < count; ++i) document.pages.push_back(script::ReadPage(pages[i]));
    return document;
}

// nlohmann's messages begin with "[json.exception.parse_error.101] parse error at
// line 3, column 5: ..." (or "[json.exception.out_of_range.406] number overflow
// ..." for a number past a double); the bracketed tag means nothing to the
// script's author.
std::string SyntaxMessage(const std::string& what) {
    const auto tagEnd = what.find("] ");
    return tagEnd == std::string::npos ? what : what.substr(tagEnd + 2);
}

}  // namespace

ScriptResult ParseJobScript(std::string_view text, const std::filesystem::path& baseDirectory,
                            std::string_view name) {
    const std::string prefix = std::string(name) + ": ";
    nlohmann::json json;
    try {
        json = nlohmann::json::parse(text, nullptr, true, true);
    } catch (const nlohmann::json::exception& error) {
        // Any of the parser's failures, not only syntax: a number such as 1e999
        // overflows while being read.
        return prefix + SyntaxMessage(error.what());
    }
    try {
        return ReadDocument(Value(json, ""), baseDirectory);
    } catch (const ScriptError& error) {
        return prefix + error.what();
    }
}

ScriptResult ReadJobScript(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return path.string() + ": cannot open the job script";
    std::string text;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<size_t>(in.gcount()));
        if (text.size() > kLargestJobScript)
            return path.string() + ": larger than 16 MiB; not a job script";
    }
    if (in.bad()) return path.string() + ": cannot read the job script";
    return ParseJobScript(text, path.parent_path(), path.string());
}

bool IsJobScriptPath(const std::filesystem::path& path) {
    return script::Lower(path.extension().string()) == ".json";
}

}  // namespace xlhost
