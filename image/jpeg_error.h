// libjpeg's error handling for the plug-in: a fatal library error jumps back to
// the JpegGuarded call that is running and becomes a false result, and the
// library never prints. Warnings that mean the data is damaged (it ended early
// or its coded data is corrupt) are fatal too where the caller asks for it:
// libjpeg would otherwise fill the missing rows with grey and report success.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace xlr {

struct JpegErrorManager {
    jpeg_error_mgr pub;  // first, so that cinfo->err leads back here
    std::jmp_buf jump;
    bool damagedDataIsFatal;
    // The file ending without its end marker. Fatal while headers and (for a
    // progressive image) all scans are read; once rows are being read, data that
    // only lacks its end marker is whole, and data that is short also reports
    // JWRN_HIT_MARKER.
    bool endOfDataIsFatal;
};

// Points cinfo->err at `manager`, with both kinds of damaged data fatal or
// neither. Call before jpeg_create_compress or jpeg_create_decompress, which
// may fail already.
void InstallJpegErrorManager(jpeg_common_struct* cinfo, JpegErrorManager& manager,
                             bool damagedDataIsFatal);

// Runs `steps` under the manager's jump buffer; false when libjpeg failed. The
// steps may call libjpeg and touch plain data only: a jump leaves them without
// running destructors, so they must not make objects that have any.
template <typename Steps>
bool JpegGuarded(JpegErrorManager& manager, Steps&& steps) {
    if (setjmp(manager.jump) != 0) return false;
    steps();
    return true;
}

}  // namespace xlr
