// Job scripts: JSON files that describe a document, its job options and the
// drawing calls of each page. README.md ("Job scripts") documents the format.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

#include "host/player/document.h"

namespace xlhost {

// A document, or a message that names the script and the place in it
// ("job.json: pages[1].calls[3].rect: expected 4 numbers [left, top, right, bottom]").
using ScriptResult = std::variant<Document, std::string>;

// Job scripts larger than this are refused before they are read whole.
inline constexpr size_t kLargestJobScript = 16u << 20;

// Reads the script of the file; image paths in it are taken from its directory.
ScriptResult ReadJobScript(const std::filesystem::path& path);
// The same for text in memory; `name` begins every message.
ScriptResult ParseJobScript(std::string_view text, const std::filesystem::path& baseDirectory,
                            std::string_view name);

// Whether a command-line input names a job script rather than an image (".json").
bool IsJobScriptPath(const std::filesystem::path& path);

}  // namespace xlhost
