// Plays a document into the graphics engine's side of a print job, as an
// application and the spooler's playback do: the user-interface side's job
// information, StartDoc, each sheet (its watermark parameters, StartPage, the
// drawing of every band, SendPage), EndDoc.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

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
    // Before each sheet is played (sheets counted from 0), for progress.
    std::function<void(size_t sheet, size_t sheets)> onSheet;
    // A driver function that answered FALSE (the document goes on).
    std::function<void(const std::string&)> onWarning;
};

// Reads and checks everything first (images, geometry), so that a document that
// cannot be played fails before the sink sees anything. With several pages per
// sheet, each logical page is scaled into its slot of the sheet's printable
// area. False with `error` at the first failure; once StartDoc has succeeded,
// EndDoc is still called so that the sink can close the job.
bool PlayDocument(DocumentSink& sink, const Document& document, const PlayerOptions& options,
                  std::string& error);

}  // namespace xlhost
