#include "image/codec/jpeg_codec.h"

#include <jerror.h>

namespace xlcodec {
namespace {

// Keeps libjpeg's text of what went wrong, then returns to JpegGuarded.
[[noreturn]] void JumpBack(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*manager->pub.format_message)(cinfo, manager->message);
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

// libjpeg calls this before each step of reading the data, so a scan past the
// limit fails before it is decoded.
void RefuseTooManyScans(j_common_ptr cinfo) {
    const auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (decompress->input_scan_number <= kMaxScans) return;
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    std::snprintf(manager->message, sizeof manager->message, "the image has more than %d scans",
                  kMaxScans);
    std::longjmp(manager->jump, 1);
}

}  // namespace

void InstallJpegErrorManager(j_common_ptr cinfo, JpegErrorManager& manager,
                             bool damagedDataIsFatal) {
    cinfo->err = jpeg_std_error(&manager.pub);
    manager.pub.error_exit = JumpBack;
    manager.pub.emit_message = EmitMessage;
    manager.pub.output_message = OutputNothing;
    manager.damagedDataIsFatal = damagedDataIsFatal;
    manager.endOfDataIsFatal = damagedDataIsFatal;
    manager.message[0] = 0;
}

JpegDecompressor::JpegDecompressor(bool damagedDataIsFatal) {
    InstallJpegErrorManager(reinterpret_cast<j_common_ptr>(&info_), errors_, damagedDataIsFatal);
}

// jpeg_destroy frees nothing while the library has not allocated its memory.
JpegDecompressor::~JpegDecompressor() {
    jpeg_destroy_decompress(&info_);
}

void JpegDecompressor::Create(const uint8_t* data, size_t size) {
    jpeg_create_decompress(&info_);  // clears every field but the error manager
    info_.mem->max_memory_to_use = kMaxLibraryMemory;
    progress_.progress_monitor = RefuseTooManyScans;
    info_.progress = &progress_;
    jpeg_mem_src(&info_, data, static_cast<unsigned long>(size));
}

JpegCompressor::JpegCompressor() {
    InstallJpegErrorManager(reinterpret_cast<j_common_ptr>(&info_), errors_, false);
}

JpegCompressor::~JpegCompressor() {
    jpeg_destroy_compress(&info_);
}

void JpegCompressor::Create() {
    jpeg_create_compress(&info_);
}

}  // namespace xlcodec
