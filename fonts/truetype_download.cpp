#include "fonts/truetype_download.h"

#include <algorithm>
#include <limits>

#include "fonts/font_header.h"
#include "pclxl/operators.h"
#include "pclxl/put.h"

namespace xlr {
namespace {

constexpr uint32_t kSentTables[] = {TableTag("cvt"),  TableTag("cvt "), TableTag("fpgm"),
                                    TableTag("head"), TableTag("hhea"), TableTag("hmtx"),
                                    TableTag("maxp"), TableTag("prep")};

constexpr uint32_t kFontHeaderSize = 12;
// The font header and the "gdir" entry come before the sent tables' entries.
constexpr uint32_t kDirectoryFixedSize = kFontHeaderSize + kDirectoryEntrySize;
constexpr uint32_t kMaxHeaderBlock = 0xFFFF;  // FontHeaderLength is a uint16

FontTableRecord RecordOf(const TableDirectoryEntry& entry) {
    FontTableRecord record{};
    StoreBE32(reinterpret_cast<uint8_t*>(record.tag), entry.tag);
    record.checksum = entry.checksum;
    record.offset = entry.offset;
    record.length = entry.length;
    record.selected = IsSentTable(entry.tag) ? 1 : 0;
    return record;
}

uint32_t TagOf(const FontTableRecord& record) {
    return *PeekBE32(FontBytes(reinterpret_cast<const uint8_t*>(record.tag), 4), 0);
}

// ReadFontHeader and the bytes as embedded data, in pieces that the 16-bit
// length can say.
void SendHeaderBytes(XLStream* stream, FontBytes bytes) {
    while (!bytes.empty()) {
        const auto piece = bytes.first(std::min<size_t>(bytes.size(), kMaxHeaderBlock));
        XLReadFontHeader(stream, static_cast<uint32_t>(piece.size()));
        XLPutEmbeddedData(stream, piece.data(), static_cast<uint32_t>(piece.size()));
        bytes = bytes.subspan(piece.size());
    }
}

}  // namespace

bool IsSentTable(uint32_t tag) {
    return std::find(std::begin(kSentTables), std::end(kSentTables), tag) != std::end(kSentTables);
}

std::optional<TrueTypeHeaderPlan> PlanTrueTypeHeader(FontImage font) {
    const auto directory = ReadTableDirectory(font);
    const auto header = SubBytes(font, 0, kFontHeaderSize);
    if (!directory || !header) return std::nullopt;
    TrueTypeHeaderPlan plan;
    plan.records.reserve(directory->size());
    for (const TableDirectoryEntry& entry : *directory) plan.records.push_back(RecordOf(entry));
    std::stable_sort(
        plan.records.begin(), plan.records.end(),
        [](const FontTableRecord& a, const FontTableRecord& b) { return a.offset < b.offset; });

    uint32_t sent = 0;
    for (size_t i = 0; i < plan.records.size(); ++i) {
        FontTableRecord& record = plan.records[i];
        uint64_t padded = record.length;
        if (i + 1 < plan.records.size())
            padded = plan.records[i + 1].offset - record.offset;
        else if (uint64_t{record.offset} + record.length < font.size())
            padded = font.size() - record.offset;
        // Tables that overlap the next one still go whole.
        record.paddedLength = static_cast<uint32_t>(std::max<uint64_t>(padded, record.length));
        if (record.selected == 0) continue;
        if (!SubBytes(font, record.offset, record.paddedLength)) return std::nullopt;
        ++sent;
    }

    plan.directoryLength = sent * kDirectoryEntrySize + kDirectoryFixedSize;
    uint64_t next = plan.directoryLength;
    for (FontTableRecord& record : plan.records) {
        if (record.selected == 0) continue;
        if (next > std::numeric_limits<uint32_t>::max()) return std::nullopt;
        record.newOffset = static_cast<uint32_t>(next);
        next += record.paddedLength;
    }
    if (next > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    plan.segmentSize = static_cast<uint32_t>(next);

    std::copy(header->begin(), header->end(), plan.fontHeader.begin());
    StoreBE16(plan.fontHeader.data() + 4, sent + 1);
    return plan;
}

std::vector<uint8_t> TrueTypeDirectory(const TrueTypeHeaderPlan& plan) {
    std::vector<uint8_t> directory(plan.directoryLength, 0);
    std::copy(plan.fontHeader.begin(), plan.fontHeader.end(), directory.begin());
    StoreBE32(directory.data() + kFontHeaderSize, TableTag("gdir"));
    uint8_t* entry = directory.data() + kDirectoryFixedSize;
    for (const FontTableRecord& record : plan.records) {
        if (record.selected == 0) continue;
        StoreBE32(entry, TagOf(record));
        StoreBE32(entry + 4, record.checksum);
        StoreBE32(entry + 8, record.newOffset);
        StoreBE32(entry + 12, record.length);
        entry += kDirectoryEntrySize;
    }
    return directory;
}

bool DownloadTrueTypeFontHeader(XLStream* stream, FontImage font, const OverlayGlyphMap& map,
                                std::string_view fontName) {
    const auto plan = PlanTrueTypeHeader(font);
    if (!plan) return false;
    const std::vector<uint8_t> directory = TrueTypeDirectory(*plan);

    XLBeginFontHeader(stream, reinterpret_cast<const uint8_t*>(fontName.data()),
                      static_cast<uint32_t>(fontName.size()), 0);
    const auto descriptor =
        FontDescriptor(kTrueTypeMapping, kTrueTypeScaling, static_cast<uint16_t>(map.charCount));
    SendHeaderBytes(stream, descriptor);
    SendHeaderBytes(stream, SegmentHeader(kSegmentTrueType, plan->segmentSize));
    SendHeaderBytes(stream, directory);
    for (const FontTableRecord& record : plan->records)
        if (record.selected != 0)
            SendHeaderBytes(stream, *SubBytes(font, record.offset, record.paddedLength));
    SendHeaderBytes(stream, SegmentHeader(kSegmentNull, 0));
    XLEndFontHeader(stream);
    return true;
}

}  // namespace xlr
