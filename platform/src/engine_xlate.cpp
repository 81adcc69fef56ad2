// Colour translation objects: trivial, palette tables and direct-colour conversions.
#include <xlplatform/engine.h>

#include <atomic>

#include "engine_internal.h"

namespace xlplatform::engine {
namespace {

struct Xlate {
    XLATEOBJ pub{};
    std::vector<ULONG> table;
    bool convert = false;  // a conversion between two direct-colour formats
    ULONG srcFormat = 0;
    ULONG dstFormat = 0;
};

ObjectTable<XLATEOBJ, Xlate>& Xlates() {
    static ObjectTable<XLATEOBJ, Xlate> table;
    return table;
}

USHORT PaletteKind(ULONG format) {
    switch (format) {
        case BMF_16BPP:
            return PAL_BITFIELDS;
        case BMF_24BPP:
        case BMF_32BPP:
            return PAL_BGR;  // values 0x00RRGGBB
        default:
            return PAL_INDEXED;
    }
}

std::atomic<ULONG> g_nextUniq{1};

}  // namespace

bool EngineXlate(const XLATEOBJ* xlo, ULONG& srcFormat, ULONG& dstFormat, bool& convert) {
    Xlate* xlate = Xlates().Find(xlo);
    if (xlate == nullptr) return false;
    srcFormat = xlate->srcFormat;
    dstFormat = xlate->dstFormat;
    convert = xlate->convert;
    return true;
}

}  // namespace xlplatform::engine

namespace xlplatform {

using namespace engine;

XLATEOBJ* CreateTrivialXlate() {
    auto xlate = std::make_unique<Xlate>();
    xlate->pub.iUniq = g_nextUniq++;
    xlate->pub.flXlate = XO_TRIVIAL;
    return Xlates().Add(std::move(xlate));
}

XLATEOBJ* CreatePaletteXlate(std::span<const ULONG> table) {
    if (table.empty() || table.size() > 0x10000) return nullptr;
    auto xlate = std::make_unique<Xlate>();
    xlate->table.assign(table.begin(), table.end());
    xlate->pub.iUniq = g_nextUniq++;
    xlate->pub.flXlate = XO_TABLE;
    xlate->pub.iSrcType = PAL_INDEXED;
    xlate->pub.iDstType = PAL_BGR;
    xlate->pub.cEntries = static_cast<ULONG>(xlate->table.size());
    xlate->pub.pulXlate = xlate->table.data();
    return Xlates().Add(std::move(xlate));
}

XLATEOBJ* CreateFormatXlate(ULONG srcFormat, ULONG dstFormat) {
    if (!IsDirectColor(srcFormat) || !IsDirectColor(dstFormat)) return nullptr;
    auto xlate = std::make_unique<Xlate>();
    xlate->convert = srcFormat != dstFormat;
    xlate->srcFormat = srcFormat;
    xlate->dstFormat = dstFormat;
    xlate->pub.iUniq = g_nextUniq++;
    xlate->pub.flXlate = xlate->convert ? 0 : XO_TRIVIAL;
    xlate->pub.iSrcType = PaletteKind(srcFormat);
    xlate->pub.iDstType = PaletteKind(dstFormat);
    return Xlates().Add(std::move(xlate));
}

void DeleteXlate(XLATEOBJ* xlate) {
    Xlates().Remove(xlate);
}

}  // namespace xlplatform

using namespace xlplatform::engine;

extern "C" {

ULONG APIENTRY XLATEOBJ_iXlate(XLATEOBJ* pxlo, ULONG iColor) {
    if (pxlo == nullptr || (pxlo->flXlate & XO_TRIVIAL) != 0) return iColor;
    if (Xlate* xlate = Xlates().Find(pxlo); xlate != nullptr && xlate->convert) {
        return RgbToValue(xlate->dstFormat, ValueToRgb(xlate->srcFormat, iColor));
    }
    if ((pxlo->flXlate & XO_TABLE) != 0 && pxlo->pulXlate != nullptr) {
        return iColor < pxlo->cEntries ? pxlo->pulXlate[iColor] : 0;
    }
    return iColor;
}

ULONG* APIENTRY XLATEOBJ_piVector(XLATEOBJ* pxlo) {
    return pxlo != nullptr && (pxlo->flXlate & XO_TABLE) != 0 ? pxlo->pulXlate : nullptr;
}

// A palette translation maps indices to direct colours, so its table is the source
// palette's colours. Bitfield masks are answered for 5-5-5 and 8-8-8 direct colour.
ULONG APIENTRY XLATEOBJ_cGetPalette(XLATEOBJ* pxlo, ULONG iPal, ULONG cPal, ULONG* pPal) {
    Xlate* xlate = Xlates().Find(pxlo);
    if (xlate == nullptr) return 0;
    if (iPal == XO_SRCBITFIELDS || iPal == XO_DESTBITFIELDS) {
        const ULONG format = iPal == XO_SRCBITFIELDS ? xlate->srcFormat : xlate->dstFormat;
        if (!IsDirectColor(format)) return 0;
        const ULONG masks16[] = {0x7C00, 0x03E0, 0x001F};
        const ULONG masks32[] = {0xFF0000, 0x00FF00, 0x0000FF};
        const ULONG* masks = format == BMF_16BPP ? masks16 : masks32;
        if (pPal == nullptr) return 3;
        const ULONG n = std::min<ULONG>(cPal, 3);
        for (ULONG i = 0; i < n; ++i) pPal[i] = masks[i];
        return n;
    }
    if (iPal == XO_SRCPALETTE) {
        if (xlate->table.empty()) return 0;
        if (pPal == nullptr) return static_cast<ULONG>(xlate->table.size());
        const ULONG n = std::min<ULONG>(cPal, static_cast<ULONG>(xlate->table.size()));
        for (ULONG i = 0; i < n; ++i) pPal[i] = xlate->table[i];
        return n;
    }
    return 0;
}

ULONG APIENTRY BRUSHOBJ_ulGetBrushColor(BRUSHOBJ* pbo) {
    return pbo == nullptr ? 0xFFFFFFFF : pbo->iSolidColor;
}

PVOID APIENTRY BRUSHOBJ_pvGetRbrush(BRUSHOBJ* pbo) {
    return pbo == nullptr ? nullptr : pbo->pvRbrush;
}

}  // extern "C"
