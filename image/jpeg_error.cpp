#include "image/jpeg_error.h"

#include <jerror.h>

namespace xlr {
namespace {

[[noreturn]] void JumpBack(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    std::longjmp(manager->jump, 1);
}

// The coded data ran out before the image was complete, or does not decode.
// Data that merely lacks its end marker is whole and stays acceptable.
bool MeansDamagedData(int code) {
    return code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE || code == JWRN_MUST_RESYNC;
}

// Level -1 is a warning; higher levels are trace messages.
void EmitMessage(j_common_ptr cinfo, int level) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    if (level >= 0) return;
    ++manager->pub.num_warnings;
    const int code = manager->pub.msg_code;
    if (manager->damagedDataIsFatal && MeansDamagedData(code)) JumpBack(cinfo);
    if (manager->endOfDataIsFatal && code == JWRN_JPEG_EOF) JumpBack(cinfo);
}

void OutputNothing(j_common_ptr) {}

}  // namespace

void InstallJpegErrorManager(jpeg_common_struct* cinfo, JpegErrorManager& manager,
                             bool damagedDataIsFatal) {
    cinfo->err = jpeg_std_error(&manager.pub);
    manager.pub.error_exit = JumpBack;
    manager.pub.emit_message = EmitMessage;
    manager.pub.output_message = OutputNothing;
    manager.damagedDataIsFatal = damagedDataIsFatal;
    manager.endOfDataIsFatal = damagedDataIsFatal;
}

}  // namespace xlr
