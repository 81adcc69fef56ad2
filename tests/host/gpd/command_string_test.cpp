#include "host/gpd/command_string.h"

#include <gtest/gtest.h>

#include <string>

namespace xlhost {
namespace {

std::optional<std::int64_t> TestValues(StandardVariable variable) {
    switch (variable) {
        case StandardVariable::kNumOfCopies:
            return 3;
        case StandardVariable::kPhysPaperWidth:
            return 5100;
        case StandardVariable::kTextXRes:
            return 600;
        case StandardVariable::kDestX:
            return -40;
        default:
            return std::nullopt;
    }
}

std::string Expand(std::string_view value) {
    CommandString command;
    std::string message;
    EXPECT_EQ(DecodeQuotedValue(value, true, command, message), StringStatus::kOk)
        << value << ": " << message;
    std::string error;
    const auto bytes = ExpandCommand(command, TestValues, error);
    EXPECT_TRUE(bytes) << value << ": " << error;
    return bytes.value_or("<failed>");
}

TEST(GpdCommandString, DecodesTextHexAndParameters) {
    struct Case {
        std::string_view value;
        std::string bytes;
    };
    // "%%" and "%l" are expanded in the built-in description's job, read back
    // byte for byte by its own test.
    const Case cases[] = {
        {R"("<1B>%-12345X|50%|%d|%x")", "\x1b%-12345X|50%|%d|%x"},  // so is "%" without {...}
        {R"("<1B>&l"%d[1,99]{NumOfCopies}"X")", "\x1b&l3X"},        // a parameter between strings
        {R"(%d{NumOfCopies} %c{65})", "3A"},
        {R"("<c0 00  F8 25>")", std::string("\xC0\x00\xF8\x25", 4)},  // blanks and either case
        {R"("a" "b"  "<0A>")", "ab\n"},      // adjacent strings (and "+" lines) join
        {R"("%d[1,2]{NumOfCopies}")", "2"},  // limits clamp
        {R"("%D{NumOfCopies - 5}|%D{0}")", "-2|+0"},
        {R"("%l{DestX}")", "\xD8\xFF"},  // -40 as a 16-bit two's complement
        {R"("%d{(PhysPaperWidth * 2) / 3}")", "3400"},
        {R"("%d{2 + 3 * 4}|%d{(2 + 3) * 4}")", "14|20"},
        {R"("%d{-NumOfCopies * 2}|%d{DestX / 3}")", "-6|-13"},
        {R"("%d{PhysPaperWidth MOD 7}|%m{TextXRes}")", "4|\x02\x58"},  // %m: big-endian
    };
    for (const Case& c : cases) EXPECT_EQ(Expand(c.value), c.bytes) << c.value;
}

TEST(GpdCommandString, MalformedValuesAreErrors) {
    const std::string_view cases[] = {
        "abc",                   // not quoted
        "",                      // nothing
        R"("abc" x)",            // text after the string
        R"("<1>")",              // odd number of hex digits
        R"("<1G>")",             // not a hex digit
        R"("<12")",              // no closing '>'
        R"("%x{1}")",            // not a format letter
        R"("a" %)",              // '%' between strings starts a parameter...
        R"("a" %d "b")",         // ...which needs an expression
        R"("%d{1" "}")",         // the brace must close inside the same string
        R"("%d{}")",             // empty expression
        R"("%d{1 2}")",          // two values
        R"("%d{99999999999}")",  // literal beyond 32 bits
        R"("%d[2,1]{1}")",       // low above high
    };
    for (std::string_view value : cases) {
        CommandString command;
        std::string message;
        EXPECT_EQ(DecodeQuotedValue(value, true, command, message), StringStatus::kMalformed)
            << value;
        EXPECT_FALSE(message.empty()) << value;
    }
    // Deep nesting is refused rather than recursed into.
    const std::string deep = "\"%d{" + std::string(500, '(') + "1" + std::string(500, ')') + "}\"";
    CommandString command;
    std::string message;
    EXPECT_EQ(DecodeQuotedValue(deep, true, command, message), StringStatus::kMalformed);
    const std::string negations = "\"%d{" + std::string(500, '-') + "1}\"";
    EXPECT_EQ(DecodeQuotedValue(negations, true, command, message), StringStatus::kMalformed);
}

TEST(GpdCommandString, FormsOutsideTheSubsetAreUnsupported) {
    for (std::string_view value :
         {R"("%f{1}")", R"("%v{1}")", R"("%d{NoSuchVariable}")", R"("%d{max_repeat(DestXRel)}")"}) {
        CommandString command;
        std::string message;
        EXPECT_EQ(DecodeQuotedValue(value, true, command, message), StringStatus::kUnsupported)
            << value;
        EXPECT_FALSE(message.empty());
    }
}

TEST(GpdCommandString, ExpansionFailsCleanly) {
    struct Case {
        std::string_view value;
        std::string_view message;
    };
    const Case cases[] = {
        {R"("%d{RectXSize}")", "RectXSize has no value"},
        {R"("%d{NumOfCopies / (NumOfCopies - 3)}")", "division by zero"},
        {R"("%d{1 MOD 0}")", "division by zero"},
        {R"("%d{2147483647 * 2147483647 * 2147483647}")", "overflows"},
        {R"("%c{TextXRes}")", "does not fit one byte"},
        {R"("%l{TextXRes * 200}")", "does not fit 16 bits"},
    };
    for (const Case& c : cases) {
        CommandString command;
        std::string message;
        ASSERT_EQ(DecodeQuotedValue(c.value, true, command, message), StringStatus::kOk) << c.value;
        std::string error;
        EXPECT_FALSE(ExpandCommand(command, TestValues, error)) << c.value;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.value << ": " << error;
    }
}

TEST(GpdCommandString, DisplayReadsBackToTheSameCommand) {
    // Outside commands a percent sign is plain text.
    std::string text;
    std::string message;
    ASSERT_EQ(DecodeQuotedText(R"("100% <41>")", text, message), StringStatus::kOk);
    EXPECT_EQ(text, "100% A");
    for (std::string_view value :
         {R"("<1B>%%-12345X@PJL EOJ<0A 1B>%%-12345X")", R"("")",
          R"(") HP-PCL XL;2;1<0A D1>%l{TextXRes}%l{TextYRes}<F8 89 41>")", R"("abc<22>def<3C>")"}) {
        CommandString command;
        ASSERT_EQ(DecodeQuotedValue(value, true, command, message), StringStatus::kOk) << value;
        EXPECT_EQ(command.Display(), value);
    }
}

}  // namespace
}  // namespace xlhost
