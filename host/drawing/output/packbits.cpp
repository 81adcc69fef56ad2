#include "host/drawing/output/packbits.h"

#include <cstring>

namespace xlhost {

namespace {
constexpr size_t kLongestRun = 128;
}  // namespace

size_t PackBits(const uint8_t* in, size_t length, uint8_t* out) {
    size_t o = 0;
    size_t i = 0;
    while (i < length) {
        size_t run = 1;
        while (i + run < length && run < kLongestRun && in[i + run] == in[i]) ++run;
        if (run >= 3) {
            out[o++] = static_cast<uint8_t>(257 - run);
            out[o++] = in[i];
            i += run;
            continue;
        }
        // Bytes as they are, up to where three equal bytes begin.
        const size_t start = i;
        ++i;
        while (i < length && i - start < kLongestRun) {
            if (i + 2 < length && in[i] == in[i + 1] && in[i] == in[i + 2]) break;
            ++i;
        }
        const size_t literal = i - start;
        out[o++] = static_cast<uint8_t>(literal - 1);
        std::memcpy(out + o, in + start, literal);
        o += literal;
    }
    return o;
}

}  // namespace xlhost
