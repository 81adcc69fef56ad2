// A libjpeg decompressor whose fatal errors return to the caller. libjpeg
// reports a fatal error through error_exit, which must not return: it jumps
// back to the setjmp of the one function that drives the library, with the
// library's message. The error manager is the first member of its record so
// that libjpeg's pointer to it is also a pointer to the record.
#pragma once

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <span>

#include <jpeglib.h>

namespace xlhost {

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] inline void JpegExitWithMessage(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Owns the decompressor from creation to destruction, whichever way the
// function with setjmp leaves. `emitMessage` receives libjpeg's warnings and
// trace messages.
class JpegDecompressor {
  public:
    JpegDecompressor(JpegErrorManager& errors, void (*emitMessage)(j_common_ptr, int))
        : errors_(errors) {
        info_.err = jpeg_std_error(&errors.base);
        errors.base.error_exit = JpegExitWithMessage;
        errors.base.emit_message = emitMessage;
    }
    ~JpegDecompressor() {
        if (created_) jpeg_destroy_decompress(&info_);
    }
    JpegDecompressor(const JpegDecompressor&) = delete;
    JpegDecompressor& operator=(const JpegDecompressor&) = delete;

    jpeg_decompress_struct& info() { return info_; }
    JpegErrorManager& errors() { return errors_; }
    // Creates the decompressor over `jpeg`; only after the caller's setjmp,
    // since libjpeg may jump from here.
    void Create(std::span<const uint8_t> jpeg) {
        jpeg_create_decompress(&info_);
        created_ = true;
        jpeg_mem_src(&info_, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    }

  private:
    JpegErrorManager& errors_;
    jpeg_decompress_struct info_{};
    bool created_ = false;
};

}  // namespace xlhost
