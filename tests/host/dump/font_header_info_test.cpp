// The font header walker of the dump listing: segments of a downloaded font
// header, and what is wrong with a damaged one.
#include "host/dump/font_header_info.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Descriptor: format 0, portrait, symbol set 590, TrueType, 1 character; PA
// segment of 2 bytes; NULL segment.
const Bytes kFontHeader = {0, 0, 0x02, 0x4E, 1,    0,    0,    1, 'P', 'A', 0,
                           0, 0, 2,    0x12, 0x34, 0xFF, 0xFF, 0, 0,   0,   0};

TEST(FontHeaderInfo, WalksSegmentsAndReportsBadOnes) {
    struct Case {
        const char* what;
        Bytes header;
        size_t segments;
        const char* problem;
    };
    const Case kCases[] = {
        {"clean", kFontHeader, 2, ""},
        {"too short", {0, 0, 0}, 0, "shorter than its 8-byte descriptor"},
        {"no NULL", {0, 0, 0, 0, 1, 0, 0, 0}, 0, "without a NULL segment"},
        {"cut segment header", {0, 0, 0, 0, 1, 0, 0, 0, 'G', 'T', 0}, 0, "cut off at byte 8"},
        {"oversized segment",
         {0, 0, 0, 0, 1, 0, 0, 0, 'G', 'T', 0xFF, 0xFF, 0xFF, 0xFF, 1},
         1,
         "runs past the end"},
        {"trailing bytes", Concat({kFontHeader, {9}}), 2, "1 bytes follow the NULL segment"},
    };
    for (const Case& test : kCases) {
        const xlhost::FontHeaderInfo info = xlhost::ReadFontHeaderInfo(test.header);
        EXPECT_EQ(info.segments.size(), test.segments) << test.what;
        EXPECT_NE(info.problem.find(test.problem), std::string::npos)
            << test.what << ": " << info.problem;
        if (test.problem[0] == 0) {
            EXPECT_TRUE(info.problem.empty()) << test.what;
        }
    }
}

}  // namespace
