#include "image/enhancement/record_array.h"

#include <algorithm>

namespace xlr {

void RecordArray::Resize(size_t size) {
    if (size > records_.capacity()) {
        const size_t step =
            growBy_ != 0 ? growBy_ : std::clamp<size_t>(records_.size() / 8, 4, 1024);
        records_.reserve(std::max(records_.capacity() + step, size));
    }
    records_.resize(size, CommandRecord{});
}

void RecordArray::Append(const CommandRecord& record) {
    Resize(records_.size() + 1);
    records_.back() = record;
}

}  // namespace xlr
