#include <malloc.h>

#include "host/images/page_buffer.h"

namespace xlhost {

// Each page allocates and frees buffers of megabytes (bitmaps, compressed
// output). Served from the heap and kept there when freed, the next page reuses
// memory that is already mapped instead of faulting fresh zeroed pages in
// again; the peak stays that of one page. (Decoded pictures have mappings of
// their own: see host/images/page_buffer.h.)
void KeepLargeBlocksMapped() {
    constexpr int kLargeBlock = 256 << 20;
    mallopt(M_MMAP_THRESHOLD, kLargeBlock);
    mallopt(M_TRIM_THRESHOLD, kLargeBlock);
}

}  // namespace xlhost
