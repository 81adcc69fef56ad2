#include "image/enhancement/command_store.h"

#include <algorithm>
#include <new>
#include <vector>

#include <winspool.h>

#include "image/decoded_image.h"
#include "image/jpeg_source.h"
#include "image/png_source.h"
#include "settings/feature_reader.h"

namespace xlr {
namespace {

bool IsCompressed(const SURFOBJ* source) {
    return source->iBitmapFormat == BMF_JPEG || source->iBitmapFormat == BMF_PNG;
}

LONG Height(const RECTL& r) {
    return r.bottom - r.top;
}

// The rows of the whole picture in source pixels: the piece's rows scaled from
// its destination to the picture's. Zero for a piece of no height.
int64_t PictureRows(const SURFOBJ& piece, const RECTL& pieceDestination, const RECTL& picture) {
    const int64_t pieceHeight = Height(pieceDestination);
    if (pieceHeight <= 0) return 0;
    return int64_t{piece.sizlBitmap.cy} * Height(picture) / pieceHeight;
}

}  // namespace

CCmdStore::CCmdStore(PluginDeviceState* state, PDEVOBJ device)
    : m_pState(state), m_pDevice(device) {
    m_records.SetGrowthStep(RecordArray::kStoreGrowth);
    Initialize();
}

CCmdStore::~CCmdStore() {
    ReleasePage();
}

bool CCmdStore::Initialize() {
    bool loaded = false;
    if (m_pState != nullptr && m_pState->suppressOutput != 0 && m_pDibProcessor == nullptr &&
        m_pDevice != nullptr) {
        const FeatureReader features(m_pDevice, m_pState->driverHelper);
        const WideString name = features.Read(WSTR("KXMHDLLName")).value_or(WideString());
        const std::u16string path = EnhancementLibraryPath(m_pDevice->hPrinter, name);
        if (!path.empty()) {
            m_pDibProcessor.reset(new (std::nothrow) CDibProcessor(this));
            if (m_pDibProcessor == nullptr)
                SetLastError(ERROR_INVALID_PARAMETER);
            else
                loaded = m_pDibProcessor->LoadMHLibrary(path);
        }
    }
    OutputDebugStringW(WSTR("CmdStore Initialized!\n"));
    return loaded;
}

void CCmdStore::MoveTo(PluginDeviceState* state, PDEVOBJ device) {
    m_pState = state;
    m_pDevice = device;
}

void CCmdStore::ResetForPage() {
    m_records.Clear();
    m_records.SetGrowthStep(RecordArray::kStoreGrowth);
    m_current = 0;
    if (m_pDibProcessor != nullptr) m_pDibProcessor->ReleaseOutput();
}

bool CCmdStore::ReleasePage() {
    m_records.Clear();
    m_current = 0;
    if (m_pDibProcessor != nullptr) m_pDibProcessor->ReleaseOutput();
    return true;
}

bool CCmdStore::RecordBlt(SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, const RECTL& destination,
                          const POINTL* maskPoint, BRUSHOBJ* brush, const POINTL* brushOrigin,
                          ROP4 rop4) {
    const bool plainCopy = mask == nullptr && maskPoint == nullptr && brush == nullptr &&
                           brushOrigin == nullptr && rop4 == 0;
    return Record(plainCopy ? BlitKind::CopyBits : BlitKind::BitBlt, source, clip, destination);
}

bool CCmdStore::RecordStretch(SURFOBJ* source, CLIPOBJ* clip, const RECTL& destination,
                              BRUSHOBJ* brush, DWORD rop4) {
    const bool plain = brush == nullptr && rop4 == 0;
    return Record(plain ? BlitKind::StretchBlt : BlitKind::StretchBltROP, source, clip,
                  destination);
}

bool CCmdStore::Record(BlitKind kind, SURFOBJ* source, CLIPOBJ* clip, const RECTL& destination) {
    if (m_pState == nullptr || m_pState->suppressOutput == 0) return false;
    // A compressed source is described by what it decodes to; the decoded
    // pixels go when the call ends.
    DecodedImage decoded;
    SURFOBJ* described = source;
    if (source != nullptr && IsCompressed(source)) {
        const bool ok = source->iBitmapFormat == BMF_JPEG ? DecodeJpeg(decoded, source, &described)
                                                          : DecodePng(decoded, source, &described);
        if (!ok || described == nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
    }
    if (BIsFullImage(destination, kind, described, clip)) return true;

    CommandRecord record{};
    record.kind = kind;
    record.destination = destination;
    record.sourceFormat = described->iBitmapFormat;
    record.clip = CopyOfClip(clip);
    record.enhance =
        IsLargeImage(described->iBitmapFormat, described->sizlBitmap.cx, described->sizlBitmap.cy)
            ? 1
            : 0;
    record.deviceValue = static_cast<ULONG>(m_pState->resolution);
    m_records.Append(record);
    return true;
}

// The merging search: whether the call was merged into a record of the page
// (or needs none). A call that matches no record ends the last record's life
// when that one is too small to be enhanced: its pieces, if any, are drawn as
// they come.
bool CCmdStore::BIsFullImage(const RECTL& destination, BlitKind kind, const SURFOBJ* source,
                             const CLIPOBJ* clip) {
    if (source == nullptr) return true;
    if (m_records.Empty()) return false;
    // The search starts at the record merged last and, finding nothing from
    // there on, looks at the records before it: on a banded page a picture's
    // pieces come again in every band they cross, after other pictures' calls,
    // and must still make one record.
    const size_t count = m_records.Size();
    const size_t start = std::min(static_cast<size_t>(std::max<LONG>(m_current, 0)), count);
    for (size_t n = 0; n < count; ++n) {
        const size_t i = (start + n) % count;
        CommandRecord& record = m_records[i];
        if (record.kind != kind || record.sourceFormat != source->iBitmapFormat ||
            !AreAdjacent(record.destination, destination))
            continue;
        m_current = static_cast<LONG>(i);
        record.destination = UnionOf(record.destination, destination);
        if (clip != nullptr)
            record.clip.rclBounds = UnionOf(record.clip.rclBounds, clip->rclBounds);
        record.lastPiece = 0;
        if (record.enhance == 0 &&
            IsLargeImage(source->iBitmapFormat, source->sizlBitmap.cx,
                         PictureRows(*source, destination, record.destination)))
            record.enhance = 1;
        return true;
    }
    const size_t last = m_records.Size() - 1;
    if (m_records[last].enhance == 0) {
        m_records.RemoveLast();
        m_current = static_cast<LONG>(last);
    }
    return false;
}

CommandRecord* CCmdStore::FindPiece(BlitKind kind, const RECTL& destination, ULONG sourceFormat) {
    for (size_t i = 0; i < m_records.Size(); ++i) {
        CommandRecord& record = m_records[i];
        if (record.kind != kind || record.sourceFormat != sourceFormat ||
            !AreAdjacent(record.destination, destination))
            continue;
        // A picture that is not enhanced is drawn piece by piece; for one that
        // is, the collected pieces tell when it is complete (PieceCompletes).
        record.lastPiece = record.enhance == 0 ? 1 : 0;
        return &record;
    }
    return nullptr;
}

std::u16string EnhancementLibraryPath(HANDLE printer, WideStringView name) {
    if (printer == nullptr) return {};
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 3, nullptr, 0, &needed);
    if (needed < sizeof(DRIVER_INFO_3W)) return {};
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterDriverW(printer, nullptr, 3, buffer.data(), needed, &needed)) return {};
    const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    if (info->pDriverPath == nullptr) return {};
    const WideStringView driverPath(info->pDriverPath);
    const size_t slash = driverPath.rfind(WSTR('\\'));
    if (slash == WideStringView::npos) return {};
    std::u16string path(driverPath.substr(0, slash + 1));
    path.append(name);
    if (path.size() > kMaxLibraryPath) return {};
    return path;
}

CCmdStore* CreateCommandStore(PDEVOBJ device, PluginDeviceState* state) {
    if (state == nullptr) return nullptr;
    try {
        return new CCmdStore(state, device);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void DestroyCommandStore(CCmdStore* store) {
    delete store;
}

void CommandStoreMoveTo(CCmdStore* store, PDEVOBJ device, PluginDeviceState* state) {
    if (store != nullptr) store->MoveTo(state, device);
}

void CommandStoreResetForPage(CCmdStore* store) {
    if (store != nullptr) store->ResetForPage();
}

void CommandStoreReleasePage(CCmdStore* store) {
    if (store != nullptr) store->ReleasePage();
}

void CommandStoreEndDocument(CCmdStore* store) {
    if (store != nullptr) store->ReleasePage();
}

bool RecordBlt(PluginDeviceState& state, SURFOBJ*, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip,
               XLATEOBJ*, RECTL* destination, POINTL*, POINTL* maskPoint, BRUSHOBJ* brush,
               POINTL* brushOrigin, ROP4 rop4) {
    if (state.commandStore == nullptr || destination == nullptr) return false;
    try {
        return state.commandStore->RecordBlt(source, mask, clip, *destination, maskPoint, brush,
                                             brushOrigin, rop4);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
}

bool RecordStretch(PluginDeviceState& state, SURFOBJ*, SURFOBJ* source, SURFOBJ*, CLIPOBJ* clip,
                   XLATEOBJ*, COLORADJUSTMENT*, POINTL*, RECTL* destination, RECTL*, POINTL*, ULONG,
                   BRUSHOBJ* brush, DWORD rop4) {
    if (state.commandStore == nullptr || destination == nullptr) return false;
    try {
        return state.commandStore->RecordStretch(source, clip, *destination, brush, rop4);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
}

CommandRecord* FindPiece(PluginDeviceState& state, BlitKind kind, const RECTL& destination,
                         ULONG sourceFormat) {
    return state.commandStore != nullptr
               ? state.commandStore->FindPiece(kind, destination, sourceFormat)
               : nullptr;
}

}  // namespace xlr
