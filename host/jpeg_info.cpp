#include "host/jpeg_info.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace xlhost {
namespace {

// libjpeg reports a fatal error through error_exit, which must not return: it
// jumps back into ReadHeader. The error manager is the first member so that
// libjpeg's pointer to it is also a pointer to this record.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void ExitWithMessage(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings (a corrupt marker that libjpeg skips) are not worth a line in a dump.
void IgnoreMessage(j_common_ptr) {}

// Owns the decompressor from creation to destruction, whichever way ReadHeader leaves.
class Decompressor {
public:
    explicit Decompressor(ErrorManager& errors) {
        info_.err = jpeg_std_error(&errors.base);
        errors.base.error_exit = ExitWithMessage;
        errors.base.output_message = IgnoreMessage;
    }
    ~Decompressor() {
        if (created_) jpeg_destroy_decompress(&info_);
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct& info() { return info_; }
    void MarkCreated() { created_ = true; }

private:
    jpeg_decompress_struct info_{};
    bool created_ = false;
};

// The one function with setjmp. Its locals are not changed between setjmp and
// a jump, so they are defined when the jump returns here.
bool ReadHeader(Decompressor& decompressor, std::span<const uint8_t> jpeg) {
    auto* errors = reinterpret_cast<ErrorManager*>(decompressor.info().err);
    if (setjmp(errors->jump) != 0) return false;
    jpeg_create_decompress(&decompressor.info());
    decompressor.MarkCreated();
    jpeg_mem_src(&decompressor.info(), jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    return jpeg_read_header(&decompressor.info(), TRUE) == JPEG_HEADER_OK;
}

}  // namespace

std::variant<JpegInfo, std::string> ReadJpegInfo(std::span<const uint8_t> jpeg) {
    if (jpeg.empty()) return std::string("empty JPEG stream");
    ErrorManager errors{};
    Decompressor decompressor(errors);
    if (!ReadHeader(decompressor, jpeg))
        return std::string(errors.message[0] != 0 ? errors.message : "no JPEG image in the stream");
    const jpeg_decompress_struct& info = decompressor.info();
    return JpegInfo{info.image_width, info.image_height, info.num_components};
}

}  // namespace xlhost
