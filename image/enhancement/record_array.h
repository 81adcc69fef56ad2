// The command store's records: one contiguous array that grows in large steps,
// so that recording a page needs no allocation per call. Records are copied by
// value; growing keeps the records there are and zero-fills the new ones.
#pragma once

#include <cstddef>
#include <vector>

#include "image/enhancement/command_record.h"

namespace xlr {

class RecordArray {
  public:
    // The step the store uses: room for 4,096 more records at a time.
    static constexpr size_t kStoreGrowth = 4096;

    size_t Size() const { return records_.size(); }
    size_t Capacity() const { return records_.capacity(); }
    size_t GrowthStep() const { return growBy_; }
    bool Empty() const { return records_.empty(); }
    CommandRecord& operator[](size_t i) { return records_[i]; }
    const CommandRecord& operator[](size_t i) const { return records_[i]; }

    // A growth step of 0 means a step of an eighth of the size, kept between 4
    // and 1,024 records.
    void SetGrowthStep(size_t step) { growBy_ = step; }

    // When the size must exceed the capacity, the new capacity is the old one
    // plus the growth step, or the size asked for if that is larger. Throws
    // std::bad_alloc when the memory cannot be had; the records stay as they were.
    void Resize(size_t size);
    void Append(const CommandRecord& record);
    void RemoveLast() { records_.pop_back(); }
    // Empties the array; its memory is kept for the next page.
    void Clear() { records_.clear(); }

  private:
    std::vector<CommandRecord> records_;
    size_t growBy_ = kStoreGrowth;
};

}  // namespace xlr
