#include "image/enhancement/dib_processor.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "image/dib_stride.h"
#include "image/enhancement/command_store.h"

namespace xlr {
namespace {

// Bits per pixel of BMF_1BPP (1) .. BMF_32BPP (6), indexed by format.
constexpr std::array<DWORD, 7> kBitsPerPixel = {0, 1, 4, 8, 16, 24, 32};

constexpr DWORD kDefaultDeviceValue = 600;
constexpr LONG kSettingDefault = 99;
constexpr LONG kNeutralScale = 100;

// Destroys a picture's library object when the enhancement of the picture ends,
// however it ends.
class PictureObject {
  public:
    PictureObject(MHApi* api, PFN_MHApiDestroy destroy) : api_(api), destroy_(destroy) {}
    ~PictureObject() {
        if (api_ != nullptr) destroy_(api_);
    }
    PictureObject(const PictureObject&) = delete;
    PictureObject& operator=(const PictureObject&) = delete;
    MHApi* get() const { return api_; }

  private:
    MHApi* api_;
    PFN_MHApiDestroy destroy_;
};

bool HasMethods(const MHApi* api) {
    return api->methods != nullptr && api->methods->SetImage != nullptr &&
           api->methods->GetOutputSize != nullptr && api->methods->EnhanceRect != nullptr;
}

// An output description the plug-in can make a bitmap of: a depth it has a
// format for, a size, and a stride and byte size (derived from the output's own
// width and height where the library left them 0) that hold every row.
bool CompleteOutput(MHImageDesc& output) {
    const ULONG format = FormatOfBits(output.bitsPerPixel);
    if (format == 0 || output.width == 0 || output.height == 0 || output.width > 0x7FFFFFFF ||
        output.height > 0x7FFFFFFF)
        return false;
    const ULONG minimumStride = DibStride(format, static_cast<LONG>(output.width));
    if (minimumStride == 0) return false;
    if (output.stride == 0 || output.imageSize == 0) {
        output.stride = minimumStride;
        const uint64_t size = uint64_t{minimumStride} * output.height;
        if (size > 0x7FFFFFFF) return false;
        output.imageSize = static_cast<DWORD>(size);
    }
    return output.stride >= minimumStride && output.stride <= 0x7FFFFFFF &&
           uint64_t{output.stride} * output.height <= output.imageSize &&
           output.imageSize <= 0x7FFFFFFF;
}

}  // namespace

DWORD BitsPerPixelOf(ULONG format) {
    return format < kBitsPerPixel.size() ? kBitsPerPixel[format] : 0;
}

ULONG FormatOfBits(DWORD bitsPerPixel) {
    for (ULONG format = BMF_1BPP; format < kBitsPerPixel.size(); ++format)
        if (kBitsPerPixel[format] == bitsPerPixel) return format;
    return 0;
}

MHParams DefaultParams() {
    MHParams params{};
    params.size = sizeof params;
    params.deviceValue = kDefaultDeviceValue;
    params.mode = 1;
    params.contrast = params.digitalFlash = params.sharpness = params.smoothing =
        params.smartFocus = kSettingDefault;
    params.flags[1] = 1;
    return params;
}

CDibProcessor::CDibProcessor(CCmdStore* store) : m_pStore(store), m_params(DefaultParams()) {}

CDibProcessor::~CDibProcessor() {
    ReleaseOutput();
    Unload();
}

void CDibProcessor::DestroyObjects() {
    if (m_pMHApi != nullptr && m_entry.mhApiDestroy != nullptr) m_entry.mhApiDestroy(m_pMHApi);
    if (m_pMHBandApi != nullptr && m_entry.destroyMHApi != nullptr)
        m_entry.destroyMHApi(m_pMHBandApi);
    m_pMHApi = nullptr;
    m_pMHBandApi = nullptr;
    m_entry = MHEntryPoints{};
}

void CDibProcessor::Unload() {
    DestroyObjects();
    if (m_hModule != nullptr) FreeLibrary(m_hModule);
    m_hModule = nullptr;
}

bool CDibProcessor::LoadMHLibrary(WideStringView path) {
    Unload();
    m_libraryPath.assign(path.substr(0, kMaxLibraryPath));
    m_params = DefaultParams();
    m_hModule = LoadLibraryW(m_libraryPath.c_str());
    if (m_hModule == nullptr) return false;
    MHEntryPoints entry;
    entry.createMHApi = FunctionCast<PFN_CreateMHApi>(GetProcAddress(m_hModule, "CreateMHApi"));
    entry.destroyMHApi = FunctionCast<PFN_DestroyMHApi>(GetProcAddress(m_hModule, "DestroyMHApi"));
    entry.mhApiCreate = FunctionCast<PFN_MHApiCreate>(GetProcAddress(m_hModule, "MHApiCreate"));
    entry.mhApiDestroy = FunctionCast<PFN_MHApiDestroy>(GetProcAddress(m_hModule, "MHApiDestroy"));
    if (!UseEntryPoints(entry)) {
        Unload();
        return false;
    }
    return true;
}

bool CDibProcessor::UseEntryPoints(const MHEntryPoints& entryPoints) {
    if (!entryPoints.Complete()) return false;
    m_entry = entryPoints;
    m_pMHApi = m_entry.mhApiCreate();
    m_pMHBandApi = m_entry.createMHApi();
    if (m_pMHApi != nullptr && m_pMHBandApi != nullptr) return true;
    // Without both objects the library is not used; what was made goes.
    DestroyObjects();
    return false;
}

EnhancedPicture CDibProcessor::TakeOutput() {
    EnhancedPicture picture;
    if (m_output) {
        picture.bits = std::move(m_outputBits);
        picture.surface = std::move(m_output);
    }
    ReleaseOutput();
    return picture;
}

void CDibProcessor::ReleaseOutput() {
    m_output = TempSurface();
    m_outputBits.reset();
    m_outputSize = 0;
}

void CDibProcessor::FillParams(const CommandRecord& record, const SURFOBJ& collected,
                               LONG settingsScale) {
    const PluginDeviceState* state = m_pStore != nullptr ? m_pStore->State() : nullptr;
    const LONG scale = settingsScale > 0 ? settingsScale : kNeutralScale;
    const int64_t destinationHeight = int64_t{record.destination.bottom} - record.destination.top;
    // The picture's own resolution on paper: its rows per inch of the page,
    // at the size the settings scale it to.
    uint64_t scaled = 0;
    if (destinationHeight > 0)
        scaled = uint64_t{record.deviceValue} * static_cast<uint64_t>(collected.sizlBitmap.cy) /
                 static_cast<uint64_t>(destinationHeight) * 100 / static_cast<uint64_t>(scale);
    m_params.size = sizeof m_params;
    m_params.deviceValue = state != nullptr ? static_cast<DWORD>(state->resolution) : 0;
    m_params.scaledValue = static_cast<DWORD>(std::min<uint64_t>(scaled, 0xFFFFFFFF));
    m_params.contrast = state != nullptr ? state->contrast : kSettingDefault;
    m_params.digitalFlash = state != nullptr ? state->digitalFlash : kSettingDefault;
    m_params.sharpness = state != nullptr ? state->sharpness : kSettingDefault;
    m_params.smoothing = state != nullptr ? state->smoothing : kSettingDefault;
    m_params.smartFocus = state != nullptr ? state->smartFocus : kSettingDefault;
    m_params.flags[0] = 1;
    m_params.flags[1] = 1;
    m_params.flags[2] = 0;
    m_params.flags[3] = state != nullptr && state->redEyeReduction != 0 ? 1 : 0;
    m_params.reserved = 0;
}

// A bitmap over a buffer of the output's byte size, of the collected picture's
// orientation (the library keeps the order of the rows it was given).
bool CDibProcessor::MakeOutput(const MHImageDesc& output, bool topDown, HDEV engineDevice) {
    ReleaseOutput();
    m_outputBits.reset(new (std::nothrow) BYTE[output.imageSize]());
    if (m_outputBits == nullptr) return false;
    m_outputSize = output.imageSize;
    m_output = CreateBitmapSurface(
        engineDevice, SIZEL{static_cast<LONG>(output.width), static_cast<LONG>(output.height)},
        static_cast<LONG>(output.stride), FormatOfBits(output.bitsPerPixel),
        topDown ? BMF_TOPDOWN : 0, m_outputBits.get());
    if (!m_output) ReleaseOutput();
    return static_cast<bool>(m_output);
}

HRESULT CDibProcessor::DIBEnhance(const CommandRecord* record, SURFOBJ* collected,
                                  const RECTL* rect, SURFOBJ** toDraw, LONG settingsScale) {
    if (record == nullptr || collected == nullptr || rect == nullptr || toDraw == nullptr)
        return E_FAIL;
    *toDraw = collected;
    const DWORD bits = BitsPerPixelOf(collected->iBitmapFormat);
    if ((bits != 24 && bits != 32) ||
        !IsLargeImage(collected->iBitmapFormat, collected->sizlBitmap.cx,
                      collected->sizlBitmap.cy) ||
        collected->pvBits == nullptr)
        return S_OK;
    const ULONG rowStride =
        static_cast<ULONG>(collected->lDelta < 0 ? -int64_t{collected->lDelta} : collected->lDelta);
    MHImageDesc input{};
    input.size = sizeof input;
    input.width = static_cast<DWORD>(collected->sizlBitmap.cx);
    input.height = static_cast<DWORD>(collected->sizlBitmap.cy);
    input.bitsPerPixel = bits;
    input.imageSize = collected->cjBits;
    // Rows padded as usual are described by the width alone.
    input.stride =
        rowStride == DibStride(collected->iBitmapFormat, collected->sizlBitmap.cx) ? 0 : rowStride;
    if (m_entry.mhApiCreate == nullptr || m_entry.mhApiDestroy == nullptr) return S_OK;

    PictureObject picture(m_entry.mhApiCreate(), m_entry.mhApiDestroy);
    if (picture.get() == nullptr) {
        OutputDebugStringW(WSTR("CDibProcessor::DIBEnhance() - m_MH_APICreate is NULL"));
        return S_OK;
    }
    if (!HasMethods(picture.get())) return S_OK;
    const MHApiMethods& methods = *picture.get()->methods;
    FillParams(*record, *collected, settingsScale);
    // The library gets the rows in memory order, from the lowest address.
    if (methods.SetImage(picture.get(), static_cast<BYTE*>(collected->pvBits), &input, &m_params) !=
        0)
        return S_OK;
    MHImageDesc output{};
    DWORD notRead = 0;
    const DWORD answer = methods.GetOutputSize(picture.get(), rect, &input, &notRead, &output);
    if (answer == kMHFailure || answer == kMHNothingToChange) return S_OK;
    if (!CompleteOutput(output)) return S_OK;
    const bool topDown = collected->lDelta > 0;
    if (!MakeOutput(output, topDown, collected->hdev)) return S_OK;
    MHImageDesc written = output;
    if (methods.EnhanceRect(picture.get(), rect, &input, m_outputBits.get(), &written) ==
        kMHFailure) {
        ReleaseOutput();
        return S_OK;
    }
    // The library may say more exactly what it wrote; the surface follows, as
    // long as the pixels it describes lie within what was allocated.
    if (written.width != output.width || written.height != output.height ||
        written.bitsPerPixel != output.bitsPerPixel || written.stride != output.stride) {
        std::unique_ptr<BYTE[]> bitsWritten = std::move(m_outputBits);
        const size_t allocated = m_outputSize;
        if (!CompleteOutput(written) || written.imageSize > allocated) {
            ReleaseOutput();
            return S_OK;
        }
        m_output = CreateBitmapSurface(
            collected->hdev,
            SIZEL{static_cast<LONG>(written.width), static_cast<LONG>(written.height)},
            static_cast<LONG>(written.stride), FormatOfBits(written.bitsPerPixel),
            topDown ? BMF_TOPDOWN : 0, bitsWritten.get());
        if (!m_output) {
            ReleaseOutput();
            return S_OK;
        }
        m_outputBits = std::move(bitsWritten);
        m_outputSize = allocated;
    }
    *toDraw = m_output.get();
    return S_OK;
}

HRESULT DIBEnhance(PluginDeviceState& state, const CommandRecord& record, SURFOBJ* collected,
                   const RECTL& rect, SURFOBJ** toDraw, LONG settingsScale) {
    if (collected == nullptr || toDraw == nullptr) return E_FAIL;
    *toDraw = collected;
    CDibProcessor* processor =
        state.commandStore != nullptr ? state.commandStore->Processor() : nullptr;
    if (processor == nullptr) return S_OK;
    try {
        return processor->DIBEnhance(&record, collected, &rect, toDraw, settingsScale);
    } catch (const std::bad_alloc&) {
        processor->ReleaseOutput();
        *toDraw = collected;
        return S_OK;
    }
}

EnhancedPicture TakeEnhancedOutput(PluginDeviceState& state) {
    CDibProcessor* processor =
        state.commandStore != nullptr ? state.commandStore->Processor() : nullptr;
    return processor != nullptr ? processor->TakeOutput() : EnhancedPicture{};
}

}  // namespace xlr
