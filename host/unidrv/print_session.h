// One print job through the plug-in: the printer's spooler job, the device
// context, and the graphics engine's side of the document (DocumentSink) that
// the document player plays into.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/unidrv/document_sink.h"
#include "host/unidrv/device.h"

namespace xlhost {

struct PrintJobSetup {
    std::u16string documentName = u"xlrender document";
    bool raw =
        false;  // the job's data type: RAW, or an EMF-spooled job as most Windows printing is
    std::string spoolFile;  // the Linux file the spooler writes the job to
};

class PrintSession final : public DocumentSink {
  public:
    // Enables the device and starts the spooler job. On failure returns nothing
    // and sets `error`.
    static std::unique_ptr<PrintSession> Open(const DeviceSetup& device, const PrintJobSetup& job,
                                              std::string& error);
    ~PrintSession() override;

    UnidrvDevice& Device() { return *device_; }
    DWORD JobId() const { return jobId_; }
    int PagesPlayed() const { return pages_; }

    SURFOBJ* Surface() override { return device_->Surface(); }
    HDEV EngineDevice() override { return device_->EngineDevice(); }
    RECTL PrintableArea() const override;
    LONG Resolution() const override { return static_cast<LONG>(device_->GdiInfo().ulLogPixelsX); }
    const DEVINFO& DevInfo() const override { return device_->DevInfo(); }
    const DrvFunctions& Functions() const override { return device_->Functions(); }
    ULONG Escape(ULONG code, std::span<const BYTE> in, std::span<BYTE> out) override;
    int DocumentPlays() const override { return plays_; }
    bool StartDoc(std::u16string_view documentName) override;
    bool PlayPage(const PageDrawing& draw) override;
    bool EndDoc() override;

    // What went wrong in the last step that failed.
    const std::string& Error() const { return error_; }

  private:
    PrintSession() = default;
    bool PlayOnePass(const PageDrawing& draw);
    bool Fail(std::string message);

    std::unique_ptr<UnidrvDevice> device_;
    PrintJobSetup job_;
    DWORD jobId_ = 0;
    bool docStarted_ = false;
    bool docEnded_ = false;
    bool twoPasses_ = false;
    int plays_ = 1;
    int pages_ = 0;
    std::u16string documentName_;
    std::string error_;
};

// Whether the plug-in will want each page twice (an analysis pass first): it
// does when pre-analysis is configured, a photo enhancement is chosen and pages
// take the full path (output mode 3, not a raw job).
bool PluginWantsTwoPasses(const FeatureSelection& features, const std::vector<BYTE>& privateDevMode,
                          bool raw);

}  // namespace xlhost
