// A bounds-checked cursor over bytes from outside. Every read states its size
// and fails cleanly, without moving, when the bytes run out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace xlr::reader {

class ByteCursor {
  public:
    ByteCursor(std::span<const uint8_t> bytes, size_t position, bool bigEndian)
        : bytes_(bytes),
          position_(position <= bytes.size() ? position : bytes.size()),
          bigEndian_(bigEndian) {}

    size_t Position() const { return position_; }
    size_t Remaining() const { return bytes_.size() - position_; }
    bool AtEnd() const { return position_ == bytes_.size(); }
    bool BigEndian() const { return bigEndian_; }

    bool Has(size_t length) const { return length <= bytes_.size() - position_; }
    uint8_t Peek() const { return bytes_[position_]; }  // caller checks !AtEnd()
    void Skip(size_t length) { position_ += length; }   // caller checks Has(length)

    // Reads `size` bytes (1, 2 or 4) as an unsigned number in the stream's byte order.
    bool NextNumber(size_t size, uint32_t& value) {
        if (!Has(size)) return false;
        value = DecodeNumber(bytes_.subspan(position_, size), bigEndian_);
        position_ += size;
        return true;
    }

    bool NextSpan(size_t length, std::span<const uint8_t>& out) {
        if (!Has(length)) return false;
        out = bytes_.subspan(position_, length);
        position_ += length;
        return true;
    }

    static uint32_t DecodeNumber(std::span<const uint8_t> raw, bool bigEndian) {
        uint32_t value = 0;
        for (size_t i = 0; i < raw.size(); ++i) {
            const size_t shift = bigEndian ? 8 * (raw.size() - 1 - i) : 8 * i;
            value |= static_cast<uint32_t>(raw[i]) << shift;
        }
        return value;
    }

  private:
    std::span<const uint8_t> bytes_;
    size_t position_;
    bool bigEndian_;
};

}  // namespace xlr::reader
