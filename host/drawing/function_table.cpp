#include "host/drawing/functions.h"

namespace xlhost {
namespace {

const DRVFN kDrawingFunctions[] = {
    {INDEX_DrvCopyBits, FunctionCast<PFN>(static_cast<PFN_DrvCopyBits>(&DrvCopyBits))},
    {INDEX_DrvBitBlt, FunctionCast<PFN>(static_cast<PFN_DrvBitBlt>(&DrvBitBlt))},
    {INDEX_DrvStretchBlt, FunctionCast<PFN>(static_cast<PFN_DrvStretchBlt>(&DrvStretchBlt))},
    {INDEX_DrvStretchBltROP,
     FunctionCast<PFN>(static_cast<PFN_DrvStretchBltROP>(&DrvStretchBltROP))},
    {INDEX_DrvTransparentBlt,
     FunctionCast<PFN>(static_cast<PFN_DrvTransparentBlt>(&DrvTransparentBlt))},
    {INDEX_DrvAlphaBlend, FunctionCast<PFN>(static_cast<PFN_DrvAlphaBlend>(&DrvAlphaBlend))},
    {INDEX_DrvGradientFill, FunctionCast<PFN>(static_cast<PFN_DrvGradientFill>(&DrvGradientFill))},
    {INDEX_DrvPlgBlt, FunctionCast<PFN>(static_cast<PFN_DrvPlgBlt>(&DrvPlgBlt))},
    {INDEX_DrvTextOut, FunctionCast<PFN>(static_cast<PFN_DrvTextOut>(&DrvTextOut))},
    {INDEX_DrvLineTo, FunctionCast<PFN>(static_cast<PFN_DrvLineTo>(&DrvLineTo))},
    {INDEX_DrvStrokePath, FunctionCast<PFN>(static_cast<PFN_DrvStrokePath>(&DrvStrokePath))},
    {INDEX_DrvFillPath, FunctionCast<PFN>(static_cast<PFN_DrvFillPath>(&DrvFillPath))},
    {INDEX_DrvStrokeAndFillPath,
     FunctionCast<PFN>(static_cast<PFN_DrvStrokeAndFillPath>(&DrvStrokeAndFillPath))},
};

}  // namespace

std::span<const DRVFN> UnidrvDrawingFunctions() {
    return kDrawingFunctions;
}

}  // namespace xlhost
