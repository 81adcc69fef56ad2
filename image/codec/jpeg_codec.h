// libjpeg with errors that return to the caller. A fatal library error jumps
// back to the JpegGuarded call that is running and becomes a false result,
// with libjpeg's own text of the error kept for the caller; the library never
// prints. Warnings that mean the data is damaged (it ended early or its coded
// data is corrupt) are fatal too where the caller asks for it: libjpeg would
// otherwise fill the missing rows with grey and report success.
//
// Every decompressor is bounded whatever the header says: libjpeg's own
// working memory (a progressive image keeps all its coefficients) is at most
// kMaxLibraryMemory, and an image of more than kMaxScans scans fails. Each
// scan of a progressive image costs a pass over all its blocks, and a scan
// can be a dozen bytes, so without the second bound a small file could keep
// the decoder busy for hours.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

namespace xlcodec {

constexpr long kMaxLibraryMemory = 1L << 30;
// Encoders write about ten scans for a progressive image; this is far more
// than any of them writes.
constexpr int kMaxScans = 500;

struct JpegErrorManager {
    jpeg_error_mgr pub;  // first, so that cinfo->err leads back here
    std::jmp_buf jump;
    // Corrupt coded data, or data that is short of the image.
    bool damagedDataIsFatal;
    // The data ending without its end marker. A reader that only needs the
    // pixels may clear this once rows are being read: data that only lacks its
    // end marker is whole, and data that is short also reports damaged data.
    bool endOfDataIsFatal;
    // libjpeg's text of the error or warning that ended the work; empty until then.
    char message[JMSG_LENGTH_MAX];
};

// Points cinfo->err at `manager`, with both kinds of damaged data fatal or
// neither. Call before jpeg_create_compress or jpeg_create_decompress, which
// may fail already.
void InstallJpegErrorManager(j_common_ptr cinfo, JpegErrorManager& manager,
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

// Owns a decompressor and its error manager from construction to destruction,
// whichever way the work ends. Neither moves: libjpeg keeps their addresses.
class JpegDecompressor {
  public:
    explicit JpegDecompressor(bool damagedDataIsFatal);
    ~JpegDecompressor();  // also after a failed or missing Create
    JpegDecompressor(const JpegDecompressor&) = delete;
    JpegDecompressor& operator=(const JpegDecompressor&) = delete;

    // Creates the decompressor over `size` bytes at `data` (which must outlive
    // it), with the memory and scan bounds. Inside JpegGuarded only: libjpeg
    // may fail here already.
    void Create(const uint8_t* data, size_t size);

    jpeg_decompress_struct& info() { return info_; }
    JpegErrorManager& errors() { return errors_; }
    const char* message() const { return errors_.message; }

  private:
    jpeg_decompress_struct info_{};
    JpegErrorManager errors_{};
    jpeg_progress_mgr progress_{};
};

// Owns a compressor and its error manager; damaged-data warnings do not occur
// when compressing, so none is fatal.
class JpegCompressor {
  public:
    JpegCompressor();
    ~JpegCompressor();  // also after a failed or missing Create
    JpegCompressor(const JpegCompressor&) = delete;
    JpegCompressor& operator=(const JpegCompressor&) = delete;

    // Inside JpegGuarded only.
    void Create();

    jpeg_compress_struct& info() { return info_; }
    JpegErrorManager& errors() { return errors_; }
    const char* message() const { return errors_.message; }

  private:
    jpeg_compress_struct info_{};
    JpegErrorManager errors_{};
};

}  // namespace xlcodec
