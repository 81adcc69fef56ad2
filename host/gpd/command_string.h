// The command strings of a printer description: quoted text with <hex> byte
// sections and parameter references such as %d[1,999]{NumOfCopies}, parsed once
// into literal bytes and parameters that the host expands with Unidrv's standard
// variables each time it sends the command.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace xlhost {

// Unidrv's standard variables that command parameters may name. The first 27 carry
// the numbers that DrvGetStandardVariable knows them by (SVI_...).
enum class StandardVariable : std::uint8_t {
    kNumOfDataBytes = 0,
    kRasterDataWidthInBytes = 1,
    kRasterDataHeightInPixels = 2,
    kNumOfCopies = 3,
    kPrintDirInCCDegrees = 4,
    kDestX = 5,
    kDestY = 6,
    kDestXRel = 7,
    kDestYRel = 8,
    kLinefeedSpacing = 9,
    kRectXSize = 10,
    kRectYSize = 11,
    kGrayPercentage = 12,
    kNextFontID = 13,
    kNextGlyph = 14,
    kPhysPaperLength = 15,
    kPhysPaperWidth = 16,
    kFontHeight = 17,
    kFontWidth = 18,
    kFontMaxWidth = 19,
    kFontBold = 20,
    kFontItalic = 21,
    kFontUnderline = 22,
    kFontStrikeThru = 23,
    kCurrentFontID = 24,
    kTextYRes = 25,
    kTextXRes = 26,
    kGraphicsYRes,
    kGraphicsXRes,
    kRop3,
    kRedValue,
    kGreenValue,
    kBlueValue,
    kPaletteIndexToProgram,
    kCurrentPaletteIndex,
    kPatternBrushType,
    kPatternBrushID,
    kPatternBrushSize,
    kCursorOriginX,
    kCursorOriginY,
    kPageNumber,
};

std::optional<StandardVariable> StandardVariableFromName(std::string_view name);
std::string_view StandardVariableName(StandardVariable variable);

// One step of a parameter's expression, in postfix order.
struct ExpressionStep {
    enum class Kind : std::uint8_t {
        kNumber,
        kVariable,
        kAdd,
        kSubtract,
        kMultiply,
        kDivide,
        kModulo,
        kNegate
    };
    Kind kind = Kind::kNumber;
    std::int64_t number = 0;
    StandardVariable variable = StandardVariable::kNumOfCopies;
};

// %d ASCII decimal; %D ASCII decimal with "+" before zero and positive values;
// %c one byte; %l two bytes, low byte first; %m two bytes, high byte first.
enum class ParameterFormat : char {
    kDecimal = 'd',
    kSignedDecimal = 'D',
    kByte = 'c',
    kWordLsbFirst = 'l',
    kWordMsbFirst = 'm'
};

struct CommandParameter {
    ParameterFormat format = ParameterFormat::kDecimal;
    // [low, high] given after the format letter: the value is clamped into it.
    std::optional<std::int64_t> low;
    std::optional<std::int64_t> high;
    std::vector<ExpressionStep> expression;
    std::string source;  // as written, e.g. "%d[1,99]{NumOfCopies}"
};

struct CommandString {
    // Literal bytes (std::string) and parameters, in the order they are sent.
    std::vector<std::variant<std::string, CommandParameter>> pieces;

    bool Empty() const { return pieces.empty(); }
    bool HasParameters() const;
    // The command as a description would write it: printable text as is, other
    // bytes as <XX>, parameters as written.
    std::string Display() const;
};

// How a quoted value read: fine, malformed (a syntax error of the file) or using
// a form that the host does not support (its command is skipped with a warning).
enum class StringStatus : std::uint8_t { kOk, kMalformed, kUnsupported };

// Decodes a value made of one or more quoted strings ("ab" "cd" joins to abcd),
// with <hex> sections. With `parameters`, parameter references may stand between
// the strings ("<1B>&l"%d[1,99]{NumOfCopies}"X") or inside them; inside a string
// "%%" is a percent sign and so is a "%" that no format letter with "{" or "["
// follows. Without `parameters` "%" is an ordinary character. On failure
// `message` says what is wrong.
StringStatus DecodeQuotedValue(std::string_view value, bool parameters, CommandString& out,
                               std::string& message);

// Decodes plain quoted text (no parameters) into bytes.
StringStatus DecodeQuotedText(std::string_view value, std::string& out, std::string& message);

// Supplies the value of a standard variable, or nothing when it has none now.
using StandardVariableValues = std::function<std::optional<std::int64_t>(StandardVariable)>;

// The bytes of a command with every parameter expanded. Fails (nothing returned,
// `error` set) when a variable has no value, the arithmetic overflows or divides
// by zero, or a value does not fit its binary format.
std::optional<std::string> ExpandCommand(const CommandString& command,
                                         const StandardVariableValues& values, std::string& error);

}  // namespace xlhost
