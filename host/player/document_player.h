// Plays a document into the graphics engine's side of a print job, as an
// application and the spooler's playback do: the user-interface side's job
// information, StartDoc, each sheet (its watermark parameters, StartPage, the
// drawing of every band, SendPage), EndDoc.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "host/player/call_issuer.h"
#include "host/player/document.h"
#include "host/unidrv/document_sink.h"

namespace xlhost {

struct PlayerOptions {
    // Lays out text calls; the command passes LayOutText. Without one, a
    // document with text fails at its first text call.
    TextLayoutFunction layOutText;
    // Send the private escapes of the user-interface side: job information
    // before the document, and the watermark parameters before each sheet when
    // the job has a watermark.
    bool sendUserInterfaceEscapes = true;
    // Before each sheet is played (sheets counted from 0), for progress; `sheets`
    // is 0 when the number is not known (a page stream).
    std::function<void(size_t sheet, size_t sheets)> onSheet;
    // A driver function that answered FALSE (the document goes on).
    std::function<void(const std::string&)> onWarning;
};

// Reads and checks everything first (images, geometry), so that a document that
// cannot be played fails before the sink sees anything. With several pages per
// sheet, each logical page is scaled into its slot of the sheet's printable
// area. False with `error` at the first failure; once StartDoc has succeeded,
// EndDoc is still called so that the sink can close the job.
//
// When the print processor plays the document once per collated copy of a
// two-sided job, a blank page follows each copy but the last whose page count is
// odd, so that the next copy starts on a sheet of its own.
bool PlayDocument(DocumentSink& sink, const Document& document, const PlayerOptions& options,
                  std::string& error);

// A document whose pages are made one at a time, such as a stream of raster
// pages: only the page being played is held.
class PageStream {
  public:
    enum class Read { Page, End, Failed };

    virtual ~PageStream() = default;
    // The next page's calls in device pixels of the sink's page (the images they
    // draw belong to the stream and stay valid until the next call); End after
    // the last page; Failed with `error` for a page that cannot be read.
    virtual Read NextPage(const DocumentSink& sink, std::vector<DeviceCall>& calls,
                          std::string& error) = 0;
    // Back to the first page, for another play of the document. False with
    // `error` when the pages cannot be read again.
    virtual bool Rewind(std::string& error) = 0;
};

// Plays a page stream as PlayDocument plays a document of one page per sheet
// (`options.pagesPerSheet` is not applied: a stream's pages are sheets already
// laid out). Each play of the document reads the stream again from its first
// page. A stream without pages is an error. The watermark escape of a sheet
// counts the logical pages up to that sheet, since the total is not known yet.
bool PlayPageStream(DocumentSink& sink, const JobOptions& options, PageStream& pages,
                    const PlayerOptions& player, std::string& error);

}  // namespace xlhost
