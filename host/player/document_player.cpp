#include "host/player/document_player.h"

#include <algorithm>

#include "host/player/nup_layout.h"
#include "host/player/player_images.h"
#include "host/player/ui_settings.h"

namespace xlhost {
namespace {

// The calls of one logical page, in device pixels of its sheet.
using PageCalls = std::vector<DeviceCall>;

bool ResolveDocument(DocumentSink& sink, const Document& document, PlayerImages& images,
                     std::vector<PageCalls>& pages, std::string& error) {
    const RECTL printable = sink.PrintableArea();
    const int32_t perSheet = document.options.pagesPerSheet;
    const std::vector<RECTL> slots =
        perSheet > 1 ? SlotBoxes(printable, perSheet) : std::vector<RECTL>{};
    for (size_t i = 0; i < document.pages.size(); ++i) {
        std::optional<RECTL> slot;
        if (!slots.empty()) slot = slots[i % slots.size()];
        const DeviceMapping mapping = MappingFor(document, sink.Resolution(), printable, slot);
        PageCalls calls;
        if (!ResolvePage(document, document.pages[i], mapping, images, calls, error)) return false;
        pages.push_back(std::move(calls));
    }
    return true;
}

// The user-interface side does not depend on the answer; a refusal is reported.
void SendEscape(DocumentSink& sink, ULONG code, std::span<const BYTE> data,
                const std::function<void(const std::string&)>& warn) {
    if (sink.Escape(code, data, {}) == 0)
        warn("the driver answered 0 to escape " + std::to_string(code));
}

std::u16string DocumentName(const Document& document) {
    if (!document.options.documentName.empty()) return document.options.documentName;
    return u"xlrender document";
}

}  // namespace

bool PlayDocument(DocumentSink& sink, const Document& document, const PlayerOptions& options,
                  std::string& error) {
    PlayerImages images;
    if (!images.Load(document, error)) return false;
    std::vector<PageCalls> pages;
    if (!ResolveDocument(sink, document, images, pages, error)) return false;
    const std::vector<SheetLayout> sheets = SheetsOf(
        static_cast<int32_t>(pages.size()), document.options.pagesPerSheet, sink.PrintableArea());

    const std::function<void(const std::string&)> warn =
        options.onWarning ? options.onWarning : [](const std::string&) {};
    if (options.sendUserInterfaceEscapes)
        SendEscape(sink, kJobInformationEscape, JobInformationEscape(document.options), warn);
    if (!sink.StartDoc(DocumentName(document))) {
        error = "the driver did not start the document";
        return false;
    }
    IssueContext context{sink, options.layOutText, warn};
    bool ok = true;
    const size_t plays = static_cast<size_t>(std::max(sink.DocumentPlays(), 1));
    for (size_t n = 0; n < plays * sheets.size() && ok; ++n) {
        const size_t s = n % sheets.size();
        const SheetLayout& sheet = sheets[s];
        if (options.onSheet) options.onSheet(s, sheets.size());
        if (options.sendUserInterfaceEscapes && document.options.watermark.enabled)
            SendEscape(sink, kWatermarkEscape, WatermarkEscape(document.options, sheet), warn);
        std::string drawError;
        const bool played = sink.PlayPage([&](SURFOBJ* surface, const RECTL& band) {
            for (int32_t i = 0; i < sheet.pagesOnSheet; ++i) {
                for (const DeviceCall& call : pages[sheet.firstPage + i])
                    if (!IssueCall(context, surface, call, band, drawError)) return false;
            }
            return true;
        });
        if (!played) {
            error =
                !drawError.empty() ? drawError : "the driver failed sheet " + std::to_string(s + 1);
            ok = false;
        }
    }
    const bool ended = sink.EndDoc();
    if (ok && !ended) {
        error = "the driver did not end the document";
        ok = false;
    }
    return ok;
}

}  // namespace xlhost
