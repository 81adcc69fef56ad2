// The plug-in's side of the image-enhancement library: loading it, and
// enhancing one collected picture with a library object of its own. The
// processor belongs to the command store, through which it reaches the
// device's enhancement settings.
#pragma once

#include <memory>
#include <string>

#include <winddi.h>

#include "image/enhancement/command_record.h"
#include "image/enhancement/enhancement_library.h"
#include "image/temp_surface.h"
#include "settings/device/device_state.h"
#include "settings/wide_text.h"

namespace xlr {

class CCmdStore;

// An enhanced picture handed on by the processor: its pixels and the surface
// made over them (declared after them, so that it goes first).
struct EnhancedPicture {
    std::unique_ptr<BYTE[]> bits;
    TempSurface surface;
};

// The longest library path.
constexpr size_t kMaxLibraryPath = 260;

class CDibProcessor {
  public:
    explicit CDibProcessor(CCmdStore* store);
    ~CDibProcessor();
    CDibProcessor(const CDibProcessor&) = delete;
    CDibProcessor& operator=(const CDibProcessor&) = delete;

    // Loads the library and makes its band and library objects. True only when
    // the module loaded, all four entry points exist and both objects were
    // made; on failure nothing of the library is kept, and pictures are drawn
    // unchanged.
    bool LoadMHLibrary(WideStringView path);
    // Takes entry points found elsewhere (LoadMHLibrary's second half): makes
    // the library object, then the band object.
    bool UseEntryPoints(const MHEntryPoints& entryPoints);
    bool Loaded() const { return m_pMHApi != nullptr; }

    // Enhances a collected picture. *toDraw becomes the surface to draw: the
    // enhanced output, which the processor keeps until the next picture or
    // ReleaseOutput, or `collected` unchanged. S_OK on every outcome that leaves
    // a surface; E_FAIL when an argument is missing.
    HRESULT DIBEnhance(const CommandRecord* record, SURFOBJ* collected, const RECTL* rect,
                       SURFOBJ** toDraw, LONG settingsScale);

    void ReleaseOutput();
    // Hands the enhanced output over, so that it outlives the next picture;
    // empty when there is none.
    EnhancedPicture TakeOutput();
    // The parameter block of the last picture (its defaults before any).
    const MHParams& Params() const { return m_params; }

    void SetStore(CCmdStore* store) { m_pStore = store; }

  private:
    void DestroyObjects();
    void Unload();
    void FillParams(const CommandRecord& record, const SURFOBJ& collected, LONG settingsScale);
    bool MakeOutput(const MHImageDesc& output, bool topDown, HDEV engineDevice);

    PVOID m_pMHBandApi = nullptr;
    MHApi* m_pMHApi = nullptr;
    std::u16string m_libraryPath;
    HMODULE m_hModule = nullptr;
    MHEntryPoints m_entry;
    CCmdStore* m_pStore;
    MHParams m_params;
    // The enhanced output: its pixels and the surface made over them.
    std::unique_ptr<BYTE[]> m_outputBits;
    size_t m_outputSize = 0;
    TempSurface m_output;
};

// The enhancement of a collected picture by the device's command store, for the
// image hooks: *toDraw is the surface to draw, `collected` itself when the
// device has no usable library or anything fails. Never throws.
HRESULT DIBEnhance(PluginDeviceState& state, const CommandRecord& record, SURFOBJ* collected,
                   const RECTL& rect, SURFOBJ** toDraw, LONG settingsScale);

// The device processor's enhanced output, taken over by the caller (empty
// when there is none).
EnhancedPicture TakeEnhancedOutput(PluginDeviceState& state);

// The parameter block as made at load: device value 600, mode 1, every
// setting 99, flags 0, 1, 0, 0.
MHParams DefaultParams();

// Bits per pixel of BMF_1BPP .. BMF_32BPP, 0 for other formats; and the format
// of a depth, 0 for depths without one.
DWORD BitsPerPixelOf(ULONG format);
ULONG FormatOfBits(DWORD bitsPerPixel);

}  // namespace xlr
