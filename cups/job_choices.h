// What a CUPS job asks for, turned into what the host prints with: the
// options of the printer description's features (from the choices the job
// marks in the queue's PPD), the public device mode's choices and the job
// options of the settings record (copies, collation, two-sided printing,
// paper, orientation, pages per sheet, watermark, the document's name).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cups/ppd_file.h"
#include "host/gpd/feature_selection.h"
#include "host/player/document.h"
#include "host/unidrv/public_devmode.h"

namespace xlcups {

struct JobRequest {
    std::string options;  // the filter's fifth argument
    int copies = 1;
    std::string title;
    // Raster pages were laid out by the filters before this one, which took
    // care of orientation, pages per sheet and the other layout options.
    bool laidOut = false;
};

struct JobChoices {
    xlhost::JobOptions job;
    xlhost::DevModeChoices devMode;
    std::vector<std::string> notes;  // what was ignored, for INFO lines
};

// Marks the job's options in the PPD, sets the features' options from the
// marked choices and fills `choices`. False with `error` for a value an option
// does not take (a choice the PPD lacks, an unknown media, sides,
// number-up …); options nobody here knows are ignored with a note.
bool ChooseJobOptions(const JobRequest& request, PpdFile& ppd, xlhost::FeatureSelection& features,
                      JobChoices& choices, std::string& error);

// The paper of raster pages: pages laid out for another of the printer's
// papers than the job chose (the raster filters follow a document's own page
// size) print on that paper. `sizeName` is the PPD page size the raster names,
// if any; else the page size of the raster's dimensions (points) is taken.
// Nothing changes for a paper the printer does not have.
void FollowRasterPaper(std::string_view sizeName, double width, double length, const PpdFile& ppd,
                       xlhost::FeatureSelection& features, JobChoices& choices);

}  // namespace xlcups
