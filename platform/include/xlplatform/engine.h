// The graphics engine's extras for the host and for tests: engine devices with
// the driver functions they hook, compressed (JPEG/PNG) source surfaces, and
// ready-made clip and colour-translation objects. Everything else a driver uses
// is in winddi.h under its Windows name.
//
// Devices. The host makes one engine device (HDEV) per device context, tells it
// the driver's PDEV once DrvEnablePDEV has made one, and registers the driver's
// function table (the DRVENABLEDATA the engine would get from DrvEnableDriver,
// with the plug-in's hooks in place of the driver's own where the plug-in hooks
// them). EngAssociateSurface(hsurf, hdev, flHooks) then binds a surface to the
// device: its SURFOBJ gets the device's hdev and dhpdev, and the hook flags say
// which calls the device draws itself. When an Eng* drawing function targets a
// device-managed surface (STYPE_DEVICE), or a bitmap whose flags include
// HOOK_COPYBITS, the engine draws into a temporary bitmap and hands that to the
// device's registered DrvCopyBits: that is how a hooked DrvCopyBits is reached
// again from inside another hook that fell back on the engine.
#pragma once

#include <cstddef>
#include <span>

#include <winddi.h>

namespace xlplatform {

// A new engine device without PDEV or functions; null only when memory runs out.
HDEV CreateEngineDevice();
// The driver's PDEV of the device, copied into the dhpdev of surfaces associated with it.
BOOL SetEngineDevicePdev(HDEV hdev, DHPDEV dhpdev);
// Replaces the device's driver functions with the entries of `functions` (indices
// at or above INDEX_LAST and null entries are skipped). Null clears them.
BOOL SetEngineDeviceFunctions(HDEV hdev, const DRVENABLEDATA* functions);
// The registered function for a DDI index, or null.
PFN EngineDeviceFunction(HDEV hdev, ULONG index);
// Forgets the device; surfaces still associated with it keep their fields but the
// engine no longer calls back into the driver for them.
BOOL DeleteEngineDevice(HDEV hdev);

// A source surface of format BMF_JPEG or BMF_PNG whose bits are a copy of the file's
// bytes (cjBits = file size, pvScan0 = pvBits, lDelta 0) and whose sizlBitmap is the
// size the image is to have on the page. Lock it with EngLockSurface, delete it with
// EngDeleteSurface. Null for another format, empty data, or a size that is not positive.
HSURF CreateCompressedSurface(ULONG format, std::span<const BYTE> file, SIZEL declaredSize);

// Clip objects, deleted with EngDeleteClip. Fields are set as the engine sets them:
// one rectangle gives DC_RECT/FC_RECT; more give DC_COMPLEX with FC_RECT4 (up to four)
// or FC_COMPLEX; rclBounds is the region's bounding box; iMode is TC_RECTANGLES, or
// TC_PATHOBJ for a clip made from a path (CLIPOBJ_ppoGetPath then answers that path).
// Rectangles may overlap: the region is their union, enumerated in bands from top to
// bottom, left to right within a band.
CLIPOBJ* CreateRectClip(const RECTL& rect);
CLIPOBJ* CreateRegionClip(std::span<const RECTL> rects);
// The inside of a path (figures closed for filling) under FP_ALTERNATEMODE or
// FP_WINDINGMODE, pixel by pixel (a pixel is inside when its centre is). Null for an
// empty path or one whose bounds are too large to rasterise.
CLIPOBJ* CreatePathClip(PATHOBJ* path, FLONG fillMode);
// For tests of drivers: from now on every enumeration of the clip's rectangles
// (CLIPOBJ_bEnum after CLIPOBJ_cEnumStart) first answers `count` empty batches
// (c = 0) that say more follow, as the engine may. FALSE for an unknown clip.
BOOL SetClipEmptyBatches(CLIPOBJ* pco, ULONG count);

// Colour translations, deleted with DeleteXlate.
// Trivial: source values are destination values (XO_TRIVIAL).
XLATEOBJ* CreateTrivialXlate();
// Palette: source index i becomes table[i], a destination value (XO_TABLE,
// cEntries = table size); indices beyond the table become 0.
XLATEOBJ* CreatePaletteXlate(std::span<const ULONG> table);
// Between two of the direct-colour formats BMF_16BPP (5-5-5), BMF_24BPP and
// BMF_32BPP (values 0x00RRGGBB): flXlate 0, cEntries 0. Null for other formats.
XLATEOBJ* CreateFormatXlate(ULONG srcFormat, ULONG dstFormat);
void DeleteXlate(XLATEOBJ* xlate);

// Pixels of bitmap surfaces, read as the engine reads them.

// Bits per pixel of the uncompressed formats BMF_1BPP..BMF_32BPP; 0 for any other.
ULONG BitsPerPixel(ULONG format);

// The pixels of a bitmap surface: rows at scan0 + y * delta (delta is negative
// for a bottom-up bitmap).
struct PixelView {
    BYTE* scan0 = nullptr;
    ptrdiff_t delta = 0;
    LONG cx = 0;
    LONG cy = 0;
    ULONG format = 0;
    BYTE* Row(LONG y) const { return scan0 + delta * y; }
};
// False for device-managed and compressed surfaces and for fields that do not
// describe a readable bitmap (no bits, a format of no pixels, a row stride
// shorter than a row).
bool ViewOf(const SURFOBJ* so, PixelView& view);

// The value of a pixel inside the view. Sub-byte formats keep the leftmost pixel
// in the most significant bits; wider ones are little-endian.
ULONG ReadPixel(const PixelView& view, LONG x, LONG y);

// A solid brush of a destination colour value.
inline BRUSHOBJ SolidBrush(ULONG color) {
    return BRUSHOBJ{color, nullptr, 0};
}

// Device pixels as 28.4 fixed point (|x| and |y| below 2^27).
inline POINTFIX PointFix(LONG x, LONG y) {
    return POINTFIX{x * 16, y * 16};
}

}  // namespace xlplatform
