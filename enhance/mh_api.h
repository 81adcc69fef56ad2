// The interface of the image-enhancement library: four exported entry points
// and the objects they make. A caller makes a library object, hands it one
// picture with SetImage, asks GetOutputSize what the enhanced picture will be,
// and has EnhanceRect write it into a buffer of its own. Every block starts
// with its own size, which is how a library tells a caller built for another
// version of the interface.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define MHAPI_CALL __stdcall
#else
#define MHAPI_CALL
#endif

extern "C" {

// A picture's geometry. Pixels are blue, green, red (and a fourth byte at 32
// bits), rows padded to whole 32-bit words; a stride of 0 means that padding.
struct MHImageDesc {
    uint32_t size;  // 24
    uint32_t width;
    uint32_t height;
    uint32_t bitsPerPixel;
    uint32_t imageSize;  // bytes; 0: width, height and stride tell
    uint32_t stride;     // bytes per row; 0: derived from the width
};

// Settings levels: 99 off, -99 not set, -1 low, 0 medium, 1 high. Smart focus
// is 99 when on. flags[3] is 1 for red-eye reduction.
struct MHParams {
    uint32_t size;         // 44
    uint32_t deviceValue;  // the printer's resolution, dots per inch
    uint32_t scaledValue;  // the picture's own resolution on paper, pixels per inch; 0 unknown
    uint32_t mode;
    int32_t contrast;
    int32_t digitalFlash;
    int32_t sharpness;
    int32_t smoothing;
    int32_t smartFocus;
    uint8_t flags[4];
    uint32_t reserved;
};

struct MHRect {
    int32_t left, top, right, bottom;
};

struct MHApi;

// The library object's methods, each called with the object first. Results are
// 0 or a count on success and kMHFailure on failure.
struct MHApiMethods {
    // The interface version the object implements (kMHInterfaceVersion).
    uint32_t(MHAPI_CALL* GetVersion)(MHApi* self);
    // Takes the picture (kept, not copied, until the object goes or the next
    // SetImage) and the settings. 0 when accepted.
    uint32_t(MHAPI_CALL* SetImage)(MHApi* self, uint8_t* pixels, const MHImageDesc* image,
                                   const MHParams* params);
    // Forgets the picture.
    uint32_t(MHAPI_CALL* Reset)(MHApi* self);
    // Looks at the picture: kMHNothingToChange when it would stay as it is,
    // otherwise fills `output` with the enhanced picture's geometry. `reserved`
    // receives 0.
    uint32_t(MHAPI_CALL* GetOutputSize)(MHApi* self, const MHRect* rect, const MHImageDesc* image,
                                        uint32_t* reserved, MHImageDesc* output);
    // Writes the enhanced picture (inside `rect`; the rest as it was) into
    // `pixels`, laid out as `output` says.
    uint32_t(MHAPI_CALL* EnhanceRect)(MHApi* self, const MHRect* rect, const MHImageDesc* image,
                                      uint8_t* pixels, MHImageDesc* output);
};

struct MHApi {
    const MHApiMethods* methods;
};

constexpr uint32_t kMHInterfaceVersion = 0x00010000;
constexpr uint32_t kMHFailure = 0xFFFFFFFF;
constexpr uint32_t kMHNothingToChange = 1;
constexpr uint32_t kMHOutputMade = 0;

// The band object is kept for callers that work band by band; this library
// has nothing for them to do with it.
void* MHAPI_CALL CreateMHApi();
void MHAPI_CALL DestroyMHApi(void* bandApi);
MHApi* MHAPI_CALL MHApiCreate();
void MHAPI_CALL MHApiDestroy(MHApi* api);

}  // extern "C"

static_assert(sizeof(MHImageDesc) == 24);
static_assert(sizeof(MHParams) == 44);
