#include "host/player/document_player.h"

#include <algorithm>
#include <set>

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

// The images that the logical pages of a sheet draw.
std::set<PlayerImage*> ImagesOf(const std::vector<PageCalls>& pages, const SheetLayout& sheet) {
    std::set<PlayerImage*> images;
    for (int32_t i = 0; i < sheet.pagesOnSheet; ++i) {
        for (const DeviceCall& call : pages[sheet.firstPage + i])
            if (const auto* image = std::get_if<DeviceImage>(&call.what))
                images.insert(image->image);
    }
    return images;
}

// What every way of playing a document shares: the user-interface side's
// escapes, the document's start and end, the sheets, and what the print
// processor puts between collated copies.
class Playback {
  public:
    Playback(DocumentSink& sink, const JobOptions& job, const PlayerOptions& options)
        : sink_(sink),
          job_(job),
          options_(options),
          warn_(options.onWarning ? options.onWarning : [](const std::string&) {}),
          context_{sink, options.layOutText, warn_} {}

    int Plays() const { return std::max(sink_.DocumentPlays(), 1); }

    bool Start(std::string& error) {
        if (options_.sendUserInterfaceEscapes)
            SendEscape(sink_, kJobInformationEscape, JobInformationEscape(job_), warn_);
        const std::u16string name =
            job_.documentName.empty() ? u"xlrender document" : job_.documentName;
        if (!sink_.StartDoc(name)) {
            error = "the driver did not start the document";
            return false;
        }
        return true;
    }

    // Sheet `number` (of `count`; 0 when not known): its watermark parameters,
    // then the calls of its logical pages.
    bool Sheet(const SheetLayout& sheet, const std::vector<const PageCalls*>& pages, size_t number,
               size_t count, std::string& error) {
        if (options_.onSheet) options_.onSheet(number, count);
        if (options_.sendUserInterfaceEscapes && job_.watermark.enabled)
            SendEscape(sink_, kWatermarkEscape, WatermarkEscape(job_, sheet), warn_);
        std::string drawError;
        const bool played = sink_.PlayPage([&](SURFOBJ* surface, const RECTL& band) {
            for (const PageCalls* calls : pages)
                for (const DeviceCall& call : *calls)
                    if (!IssueCall(context_, surface, call, band, drawError)) return false;
            return true;
        });
        if (!played)
            error = !drawError.empty() ? drawError
                                       : "the driver failed sheet " + std::to_string(number + 1);
        return played;
    }

    // After one play of a document of `sheets` sheets, when another play follows:
    // on two-sided paper an odd count would put the next copy's first page on
    // the back of this copy's last sheet, so a blank page goes between them.
    bool BetweenCopies(size_t sheets, std::string& error) {
        if (job_.duplex == Duplex::Simplex || sheets % 2 == 0) return true;
        if (!sink_.PlayPage([](SURFOBJ*, const RECTL&) { return true; })) {
            error = "the driver failed the blank page between two copies";
            return false;
        }
        return true;
    }

    // EndDoc, also after a failure (so that the sink can close the job).
    bool End(bool ok, std::string& error) {
        const bool ended = sink_.EndDoc();
        if (ok && !ended) {
            error = "the driver did not end the document";
            return false;
        }
        return ok;
    }

  private:
    DocumentSink& sink_;
    const JobOptions& job_;
    const PlayerOptions& options_;
    const std::function<void(const std::string&)> warn_;
    IssueContext context_;
};

}  // namespace

bool PlayDocument(DocumentSink& sink, const Document& document, const PlayerOptions& options,
                  std::string& error) {
    PlayerImages images;
    if (!images.Load(document, error)) return false;
    std::vector<PageCalls> pages;
    if (!ResolveDocument(sink, document, images, pages, error)) return false;
    const std::vector<SheetLayout> sheets = SheetsOf(
        static_cast<int32_t>(pages.size()), document.options.pagesPerSheet, sink.PrintableArea());

    Playback playback(sink, document.options, options);
    if (!playback.Start(error)) return false;
    bool ok = true;
    const int plays = playback.Plays();
    for (int play = 0; play < plays && ok; ++play) {
        for (size_t s = 0; s < sheets.size() && ok; ++s) {
            std::vector<const PageCalls*> onSheet;
            for (int32_t i = 0; i < sheets[s].pagesOnSheet; ++i)
                onSheet.push_back(&pages[sheets[s].firstPage + i]);
            ok = images.Prepare(ImagesOf(pages, sheets[s]), error) &&
                 playback.Sheet(sheets[s], onSheet, s, sheets.size(), error);
        }
        if (ok && play + 1 < plays) ok = playback.BetweenCopies(sheets.size(), error);
    }
    return playback.End(ok, error);
}

bool PlayPageStream(DocumentSink& sink, const JobOptions& options, PageStream& pages,
                    const PlayerOptions& player, std::string& error) {
    JobOptions job = options;
    job.pagesPerSheet = 1;
    // The first page is read before the document starts, so that input that is
    // no document at all fails before the sink sees anything.
    PageCalls calls;
    PageStream::Read read = pages.NextPage(sink, calls, error);
    if (read == PageStream::Read::Failed) return false;
    if (read == PageStream::Read::End) {
        error = "the document has no pages";
        return false;
    }
    Playback playback(sink, job, player);
    if (!playback.Start(error)) return false;
    bool ok = true;
    const int plays = playback.Plays();
    for (int play = 0; play < plays && ok; ++play) {
        if (play > 0) {
            ok = pages.Rewind(error) &&
                 (read = pages.NextPage(sink, calls, error)) == PageStream::Read::Page;
            if (!ok && error.empty()) error = "the pages could not be read again";
        }
        size_t sheet = 0;
        while (ok && read == PageStream::Read::Page) {
            const int32_t number = static_cast<int32_t>(sheet);
            const SheetLayout layout{sink.PrintableArea(), 1, number, 1, number + 1};
            ok = playback.Sheet(layout, {&calls}, sheet, 0, error);
            ++sheet;
            if (ok) {
                read = pages.NextPage(sink, calls, error);
                ok = read != PageStream::Read::Failed;
            }
        }
        if (ok && play + 1 < plays) ok = playback.BetweenCopies(sheet, error);
    }
    return playback.End(ok, error);
}

}  // namespace xlhost
