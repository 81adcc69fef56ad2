// Issues one call of a page, for one band, through the driver functions of a
// document sink: the engine objects the call needs (source bitmaps, compressed
// sources, clip objects, paths, brushes, text) are made for it and freed after it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/player/device_calls.h"
#include "host/unidrv/document_sink.h"
#include "host/drawing/text_objects.h"

namespace xlhost {

// The signature of LayOutText (text_objects.h).
using TextLayoutFunction =
    std::function<std::unique_ptr<TextRun>(std::u16string_view text, std::string_view family,
                                           LONG pixelHeight, POINTL origin, std::string& error)>;

struct IssueContext {
    DocumentSink& sink;
    const TextLayoutFunction& layOutText;
    // A driver function that answered FALSE: reported, not fatal (a driver may
    // refuse a piece of a picture that it collects for later).
    const std::function<void(const std::string&)>& warn;
};

// False with `error` when the host cannot make what the call needs; a call that
// lies outside the band is skipped.
bool IssueCall(IssueContext& context, SURFOBJ* surface, const DeviceCall& call, const RECTL& band,
               std::string& error);

}  // namespace xlhost
