// The integer expressions of configured commands ("%TextXRes/2+10"): decimal
// constants and Unidrv's standard variables joined by + - * / and parentheses.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

namespace xlr {

// A standard variable by its DrvGetStandardVariable index; nothing when Unidrv
// cannot answer it.
using StandardVariables = std::function<std::optional<int32_t>(DWORD index)>;

struct ExpressionValue {
    int32_t value = 0;
    std::string error;  // empty when the expression was read
};

// Evaluates in 32-bit signed arithmetic that wraps on overflow, "*" and "/"
// before "+" and "-", left to right otherwise; division truncates toward zero
// and a division by zero gives 0. Blanks are skipped. An unknown name, a
// variable Unidrv cannot answer, a stray character or a missing operand is an
// error.
ExpressionValue EvaluateExpression(std::string_view text, const StandardVariables& variables);

}  // namespace xlr
