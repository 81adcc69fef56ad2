#include "host/unidrv/print_session.h"

#include <algorithm>

#include <winspool.h>
#include <xlplatform/world.h>

#include "settings/packed_block.h"

namespace xlhost {
namespace {

bool OptionIs(const FeatureSelection& features, const char* feature, std::string_view option) {
    const FeatureOption* current = features.Current(feature);
    return current != nullptr &&
           xlplatform::Upper(xlplatform::Utf8ToUtf16(current->keyword)) ==
               xlplatform::Upper(xlplatform::Utf8ToUtf16(std::string(option)));
}

}  // namespace

bool PluginWantsTwoPasses(const FeatureSelection& features, const std::vector<BYTE>& privateDevMode,
                          bool raw) {
    if (features.Current("KXPreAnalysis") == nullptr || raw) return false;
    bool enhancement =
        OptionIs(features, "KXRedEyeReduction", "On") || OptionIs(features, "KXSmartFocus", "On");
    // "Off" and "On" of a level leave it unset, as far as the plug-in's choice goes.
    for (const char* level : {"KXContrast", "KXSharpness", "KXSmoothing", "KXDigitalFlash"})
        for (const char* option : {"Low", "Medium", "High"})
            enhancement |= OptionIs(features, level, option);
    if (!enhancement) return false;
    xlr::UnpackedSettings settings(privateDevMode.empty() ? nullptr : privateDevMode.data());
    return settings && settings->outputMode == 3;
}

std::unique_ptr<PrintSession> PrintSession::Open(const DeviceSetup& setup, const PrintJobSetup& job,
                                                 std::string& error) {
    std::unique_ptr<PrintSession> session(new PrintSession());
    session->job_ = job;
    // The spooler job exists before the device, as on Windows: the plug-in reads
    // its data type at the start of the document.
    const std::u16string datatype = job.raw ? u"RAW" : u"NT EMF 1.008";
    std::u16string name = job.documentName, output = xlplatform::Utf8ToUtf16(job.spoolFile),
                   type = datatype;
    DOC_INFO_1W info{name.data(), output.empty() ? nullptr : output.data(), type.data()};
    session->jobId_ = StartDocPrinterW(setup.printer, 1, reinterpret_cast<LPBYTE>(&info));
    if (session->jobId_ == 0) {
        error = "the spooler refused the job (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    // Collated copies of an EMF-spooled job are the print processor's: it plays
    // the document once per copy to a device whose device mode asks for one.
    DeviceSetup deviceSetup = setup;
    DEVMODEW& dm = deviceSetup.publicDevMode;
    if (!job.raw && dm.dmCollate == DMCOLLATE_TRUE && dm.dmCopies > 1) {
        session->plays_ = dm.dmCopies;
        dm.dmCopies = 1;
    }
    session->device_ = UnidrvDevice::Enable(deviceSetup, error);
    if (!session->device_) {
        EndDocPrinter(setup.printer);
        return nullptr;
    }
    session->twoPasses_ =
        PluginWantsTwoPasses(*setup.features, session->device_->PrivateDevMode(), job.raw);
    return session;
}

PrintSession::~PrintSession() {
    if (docStarted_ && !docEnded_) EndDoc();
    const HANDLE printer = device_ ? device_->Printer() : nullptr;
    device_.reset();
    if (printer != nullptr) EndDocPrinter(printer);
}

bool PrintSession::Fail(std::string message) {
    if (error_.empty()) error_ = std::move(message);
    return false;
}

RECTL PrintSession::PrintableArea() const {
    const GDIINFO& gdi = device_->GdiInfo();
    return {gdi.ptlPhysOffset.x, gdi.ptlPhysOffset.y,
            gdi.ptlPhysOffset.x + static_cast<LONG>(gdi.ulHorzRes),
            gdi.ptlPhysOffset.y + static_cast<LONG>(gdi.ulVertRes)};
}

ULONG PrintSession::Escape(ULONG code, std::span<const BYTE> in, std::span<BYTE> out) {
    auto escape = FunctionCast<PFN_DrvEscape>(device_->Function(INDEX_DrvEscape));
    if (escape == nullptr) return 0;
    return escape(Surface(), code, static_cast<ULONG>(in.size()),
                  in.empty() ? nullptr : const_cast<BYTE*>(in.data()),
                  static_cast<ULONG>(out.size()), out.empty() ? nullptr : out.data());
}

bool PrintSession::StartDoc(std::u16string_view documentName) {
    auto startDoc = FunctionCast<PFN_DrvStartDoc>(device_->Function(INDEX_DrvStartDoc));
    documentName_ = documentName;
    docStarted_ = true;
    if (startDoc == nullptr || !startDoc(Surface(), documentName_.data(), jobId_))
        return Fail("the document could not be started (last error " +
                    std::to_string(GetLastError()) + ")");
    return device_->lastError.empty() || Fail(device_->lastError);
}

bool PrintSession::PlayOnePass(const PageDrawing& draw) {
    SURFOBJ* surface = Surface();
    auto startPage = FunctionCast<PFN_DrvStartPage>(device_->Function(INDEX_DrvStartPage));
    if (startPage == nullptr || !startPage(surface)) return Fail("the page could not be started");
    const RECTL page{0, 0, surface->sizlBitmap.cx, surface->sizlBitmap.cy};
    if (device_->BandHeight() <= 0) {
        if (!draw(surface, page)) return Fail("a drawing call of the page failed");
        auto sendPage = FunctionCast<PFN_DrvSendPage>(device_->Function(INDEX_DrvSendPage));
        if (sendPage == nullptr || !sendPage(surface)) return Fail("the page could not be sent");
        return true;
    }
    // A banded page ends with the band call that answers (-1, -1).
    auto startBanding = FunctionCast<PFN_DrvStartBanding>(device_->Function(INDEX_DrvStartBanding));
    auto nextBand = FunctionCast<PFN_DrvNextBand>(device_->Function(INDEX_DrvNextBand));
    POINTL origin{};
    if (startBanding == nullptr || nextBand == nullptr || !startBanding(surface, &origin))
        return Fail("banding could not be started");
    for (int bands = 0; origin.x != -1 || origin.y != -1; ++bands) {
        if (bands > page.bottom + 1) return Fail("the driver did not end the page's bands");
        const RECTL band{0, origin.y, page.right,
                         std::min(page.bottom, origin.y + device_->BandHeight())};
        if (!draw(surface, band)) return Fail("a drawing call of the page failed");
        if (!nextBand(surface, &origin)) return Fail("the next band could not be started");
    }
    return true;
}

bool PrintSession::PlayPage(const PageDrawing& draw) {
    const int passes = twoPasses_ ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass)
        if (!PlayOnePass(draw)) return false;
    ++pages_;
    return device_->lastError.empty() || Fail(device_->lastError);
}

bool PrintSession::EndDoc() {
    docEnded_ = true;
    auto endDoc = FunctionCast<PFN_DrvEndDoc>(device_->Function(INDEX_DrvEndDoc));
    if (endDoc == nullptr || !endDoc(Surface(), 0)) return Fail("the document could not be ended");
    return device_->lastError.empty() || Fail(device_->lastError);
}

}  // namespace xlhost
