// Configured command texts: items, hexadecimal bytes, expressions and macros.
#include <gtest/gtest.h>

#include <map>
#include <printoem.h>

#include "settings/xml/command_expansion.h"

using namespace xlr;

namespace {

// 600 x 300 dpi, 2 copies; the paper length is not available.
std::optional<int32_t> Variables(DWORD index) {
    switch (index) {
        case SVI_TEXTXRES:
            return 600;
        case SVI_TEXTYRES:
            return 300;
        case SVI_COPIES:
            return 2;
        case SVI_PHYSPAPERWIDTH:
            return 10200;
        default:
            return std::nullopt;
    }
}

MacroLookup Macros(std::map<std::string, std::u16string, std::less<>> table) {
    return [table = std::move(table)](std::string_view name) -> std::optional<std::u16string> {
        const auto found = table.find(name);
        if (found == table.end()) return std::nullopt;
        return found->second;
    };
}

TEST(CommandExpansionTest, ItemsBecomeBytes) {
    const struct {
        std::string_view text;
        std::string_view bytes;
    } cases[] = {
        {"\"@PJL ENTER", "@PJL ENTER"},
        {"ignored\"A\"B", "AB"},  // text before the first marker
        {"\"A \"B ", "AB"},       // one trailing blank of each item is dropped
        {"\"A  ", "A "},
        {"\"x\"", "x"},
        {"<1B4500", std::string_view("\x1B\x45$", 3)},  // a zero byte is written as "$"
        {"<1b45 ", "\x1B\x45"},
        {"<1B4", "\x1B"},                         // a lone last digit is ignored
        {"<G1zz", std::string_view("\x01$", 2)},  // other characters count as 0
        {"%TextXRes/2+10", "310"},
        {"%2+3*4-6/4", "13"},  // * and / before + and -; 6/4 truncates
        {"%(2+3)*4", "20"},
        {"% -7 / 2", "-3"},  // toward zero
        {"%5/0", "0"},       // division by zero is 0, not a stopped job
        {"%2147483647+1", "-2147483648"},
        {"%(-2147483647-1)/-1", "-2147483648"},
        {"%NumOfCopies*PhysPaperWidth", "20400"},
        {"\"X%TextYRes\"Y", "X300Y"},
    };
    for (const auto& c : cases) {
        const ExpandedCommand expanded = ExpandCommand(c.text, Macros({}), Variables);
        EXPECT_EQ(expanded.error, "") << c.text;
        EXPECT_EQ(expanded.bytes, c.bytes) << c.text;
    }
}

TEST(CommandExpansionTest, MacrosExpandInTurn) {
    const MacroLookup macros = Macros({
        {"Start", u"\"@PJL  =Res"},
        {"Res", u"%TextXRes"},
        {"Line", u"@PJL SET RESOLUTION=600\\ everything after the backslash is dropped"},
        {"Wide", u"\"\u0141\u2126"},  // units keep their low byte
        {"Self", u"\"a=Self"},
        {"Ping", u"=Pong"},
        {"Pong", u"=Ping"},
        {"Fan", u"=Fan2=Fan2=Fan2=Fan2=Fan2=Fan2=Fan2=Fan2=Fan2=Fan2"},
        {"Fan2", u"=Fan3=Fan3=Fan3=Fan3=Fan3=Fan3=Fan3=Fan3=Fan3=Fan3"},
        {"Fan3", u"=Fan4=Fan4=Fan4=Fan4=Fan4=Fan4=Fan4=Fan4=Fan4=Fan4"},
        {"Fan4", u"=Fan5=Fan5=Fan5=Fan5=Fan5=Fan5=Fan5=Fan5=Fan5=Fan5"},
        {"Fan5", u"=Leaf=Leaf=Leaf=Leaf=Leaf=Leaf=Leaf=Leaf=Leaf=Leaf"},
        {"Leaf", u"\"\""},
        {"Big", u"<" + std::u16string(10000, u'4') + u"=Big"},
    });
    EXPECT_EQ(ExpandCommand("=Start \"!", macros, Variables).bytes, "@PJL 600!");
    EXPECT_EQ(ExpandCommand("=Line", macros, Variables).bytes, "@PJL SET RESOLUTION=600");
    EXPECT_EQ(ExpandCommand("=Wide", macros, Variables).bytes, "\x41\x26");

    // Each failure stops the whole command: nothing half-expanded is sent.
    const std::string deep = "%" + std::string(100, '(') + "1";
    const struct {
        std::string_view text;
        std::string_view error;
    } failures[] = {
        {"\"ok=Missing", "no macro Missing"},
        {"\"X=1", "no macro 1"},  // "=" always starts a macro, even inside quotes
        {"\"ok=Self", "macros nested more than 16 deep at Self"},
        {"=Ping", "macros nested more than 16 deep at Ping"},
        {"=Fan", "more than 100,000 items"},
        {"=Big", "longer than 64 KiB"},
        {"\"ok%PhysPaperLength", "standard variable PhysPaperLength is not available"},
        {"%TextXres", "unknown name TextXres"},
        {"%1+", "missing operand"},
        {"%(1", "missing ')'"},
        {"%1 2", "unexpected '2'"},
        {deep, "nested too deeply"},
    };
    for (const auto& c : failures) {
        const ExpandedCommand expanded = ExpandCommand(c.text, macros, Variables);
        EXPECT_NE(expanded.error.find(c.error), std::string::npos)
            << c.text << " gave: " << expanded.error;
        EXPECT_EQ(expanded.bytes, "") << c.text;
    }
}

}  // namespace
