// XSL patterns, the selection language of the DOM component, rewritten as the
// XPath 1.0 expressions libxml2 evaluates.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace xlplatform {

// Rewrites the pattern's $op$ operators and 0-based positions; nothing when the
// pattern is unbalanced, longer than 4,096 bytes, nested more than 32 levels
// deep or uses an operator this layer does not know.
std::optional<std::string> XslPatternToXPath(std::string_view pattern);

}  // namespace xlplatform
