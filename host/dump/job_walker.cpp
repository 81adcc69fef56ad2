#include "host/dump/job_walker.h"

#include <algorithm>

#include "pclxl/reader/stream_reader.h"

namespace xlhost {
namespace {

using xlr::reader::IsUniversalExit;

// A text line longer than this is shown in pieces; binary junk between PJL
// lines must not become one enormous line.
constexpr size_t kLongestLine = 4096;

// The end of the text line at `offset`: after its line feed, before a universal
// exit or a stream header that interrupts it, or at the length limit.
size_t LineEnd(std::span<const uint8_t> job, size_t offset) {
    const size_t limit = offset + std::min(job.size() - offset, kLongestLine);
    for (size_t i = offset; i < limit; ++i) {
        if (job[i] == '\n') return i + 1;
        if (i > offset && job[i] == 0x1B && IsUniversalExit(job, i)) return i;
    }
    return limit;
}

std::string_view LineText(std::span<const uint8_t> job, size_t begin, size_t end) {
    std::string_view line(reinterpret_cast<const char*>(job.data()) + begin, end - begin);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return line;
}

}  // namespace

std::optional<xlr::reader::ReadError> WalkJob(std::span<const uint8_t> job, JobVisitor& visitor) {
    size_t offset = 0;
    while (offset < job.size()) {
        if (IsUniversalExit(job, offset)) {
            visitor.OnUniversalExit(offset);
            offset += xlr::reader::kUniversalExitLength;
            continue;
        }
        if (!xlr::reader::StartsStreamHeader(job, offset)) {
            const size_t end = LineEnd(job, offset);
            visitor.OnText(offset, LineText(job, offset, end), end - offset);
            offset = end;
            continue;
        }

        auto header = xlr::reader::ReadStreamHeader(job, offset);
        if (auto* error = std::get_if<xlr::reader::ReadError>(&header)) return *error;
        const auto& streamHeader = std::get<xlr::reader::StreamHeader>(header);
        visitor.OnStreamHeader(streamHeader);

        xlr::reader::StreamReader reader(job, offset + streamHeader.length, streamHeader.bigEndian);
        xlr::reader::Operator op;
        for (;;) {
            const xlr::reader::ReadStatus status = reader.Next(op);
            if (status == xlr::reader::ReadStatus::Error) return reader.Error();
            if (status != xlr::reader::ReadStatus::Operator) break;
            visitor.OnOperator(op, op.tagOffset + 1 - op.offset);
        }
        offset = reader.Position();
    }
    return std::nullopt;
}

}  // namespace xlhost
