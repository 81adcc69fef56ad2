#include "cups/job_choices.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <sstream>
#include <string_view>

#include <xlplatform/world.h>

#include "cups/ppd_names.h"
#include "host/unidrv/printer_setup.h"

namespace xlcups {
namespace {

using xlhost::Duplex;
using xlhost::Orientation;

// Attributes that CUPS adds to every job for its own bookkeeping.
constexpr std::string_view kSchedulerAttributes[] = {"job-uuid",
                                                     "job-originating-host-name",
                                                     "date-time-at-creation",
                                                     "date-time-at-processing",
                                                     "time-at-creation",
                                                     "time-at-processing",
                                                     "document-name-supplied",
                                                     "job-priority",
                                                     "job-sheets",
                                                     "job-hold-until",
                                                     "job-cancel-after",
                                                     "job-id",
                                                     "job-name",
                                                     "finishings",
                                                     "job-impressions",
                                                     "job-media-sheets",
                                                     "job-pages"};

// Options by which the filters before a raster one lay pages out.
constexpr std::string_view kLayoutOptions[] = {
    "number-up",       "number-up-layout", "page-border", "orientation-requested", "landscape",
    "page-ranges",     "page-set",         "fit-to-page", "print-scaling",         "scaling",
    "natural-scaling", "position",         "mirror",      "outputorder",           "output-order",
    "page-left",       "page-right",       "page-top",    "page-bottom",           "ppi"};

constexpr std::pair<std::string_view, Duplex> kSides[] = {
    {"one-sided", Duplex::Simplex},
    {"two-sided-long-edge", Duplex::LongEdge},
    {"two-sided-short-edge", Duplex::ShortEdge}};

constexpr std::pair<std::string_view, bool> kDocumentHandling[] = {
    {"separate-documents-collated-copies", true},
    {"separate-documents-uncollated-copies", false},
    {"single-document", true},
    {"single-document-new-sheet", true}};

// orientation-requested: 3 portrait, 4 landscape, 5 reverse landscape, 6 reverse portrait.
constexpr std::pair<std::string_view, Orientation> kOrientations[] = {{"3", Orientation::Portrait},
                                                                      {"4", Orientation::Landscape},
                                                                      {"5", Orientation::Landscape},
                                                                      {"6", Orientation::Portrait}};

constexpr std::string_view kPagesPerSheet[] = {"1", "2", "4", "6", "9", "16"};

// print-color-mode values asking for grey, and for colour ("auto" keeps the default).
constexpr std::string_view kGrayModes[] = {"monochrome", "bi-level", "process-monochrome",
                                           "process-bi-level"};

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return out;
}

template <typename Range>
bool Contains(const Range& range, std::string_view value) {
    return std::find(std::begin(range), std::end(range), value) != std::end(range);
}

template <typename T, size_t N>
std::optional<T> Lookup(const std::pair<std::string_view, T> (&table)[N], std::string_view key) {
    for (const auto& [name, value] : table)
        if (name == key) return value;
    return std::nullopt;
}

std::optional<bool> Boolean(std::string_view text) {
    const std::string value = Lower(text);
    if (value == "true" || value == "yes" || value == "on" || value == "1") return true;
    if (value == "false" || value == "no" || value == "off" || value == "0") return false;
    return std::nullopt;
}

std::string Joined(const std::vector<std::string>& values) {
    std::string out;
    for (const std::string& value : values) out += (out.empty() ? "" : ", ") + value;
    return out;
}

std::string BadValue(const CupsOption& option, std::string_view expected) {
    return "option " + option.name + "='" + option.value + "': " + std::string(expected);
}

// Reads the options one by one: what goes to the PPD, and what is the filter's own.
class OptionReader {
  public:
    OptionReader(const JobRequest& request, PpdFile& ppd) : request_(request), ppd_(ppd) {}

    bool Read(const CupsOption& option, std::string& error);

    std::vector<CupsOption> marks;       // options to mark in the PPD
    std::vector<CupsOption> mediaMarks;  // trays and media types named by "media"
    std::vector<std::string> notes;
    std::optional<bool> collate;            // from collate or multiple-document-handling
    bool collateMarked = false;             // the PPD's Collate option was given
    bool colorMarked = false;               // the PPD's ColorModel option was given
    std::optional<std::string> colorModel;  // from print-color-mode
    std::optional<Duplex> sides;
    std::optional<Orientation> orientation;
    int pagesPerSheet = 1;
    std::optional<std::string> watermark;
    std::optional<bool> documentHandlingCollate;

  private:
    bool ReadPpdOption(const CupsOption& option, std::string& error);
    bool ReadMedia(const CupsOption& option, std::string& error);
    bool ReadColorMode(const CupsOption& option, std::string& error);
    bool ReadLayout(const CupsOption& option, const std::string& name, std::string& error);

    const JobRequest& request_;
    PpdFile& ppd_;
};

bool OptionReader::Read(const CupsOption& option, std::string& error) {
    if (ppd_.HasOption(option.name)) return ReadPpdOption(option, error);
    const std::string name = Lower(option.name);
    if (name == "media") return ReadMedia(option, error);
    if (name == "sides") {
        sides = Lookup(kSides, Lower(option.value));
        if (!sides)
            error = BadValue(option, "one-sided, two-sided-long-edge or two-sided-short-edge");
        marks.push_back(option);
        return sides.has_value();
    }
    if (name == "collate") {
        collate = Boolean(option.value);
        if (!collate) error = BadValue(option, "true or false");
        return collate.has_value();
    }
    if (name == "multiple-document-handling") {
        documentHandlingCollate = Lookup(kDocumentHandling, Lower(option.value));
        if (!documentHandlingCollate)
            error = BadValue(option,
                             "separate-documents-collated-copies, "
                             "separate-documents-uncollated-copies, single-document or "
                             "single-document-new-sheet");
        return documentHandlingCollate.has_value();
    }
    if (name == "print-color-mode") return ReadColorMode(option, error);
    if (name == "watermark") {
        if (option.value.empty()) {
            error = BadValue(option, "the watermark's text");
            return false;
        }
        watermark = option.value;
        return true;
    }
    if (Contains(kLayoutOptions, name)) return ReadLayout(option, name, error);
    if (!Contains(kSchedulerAttributes, name)) notes.push_back("ignoring option " + option.name);
    return true;
}

bool OptionReader::ReadPpdOption(const CupsOption& option, std::string& error) {
    if (!ppd_.HasChoice(option.name, option.value)) {
        error = BadValue(option, "the choices are " + Joined(ppd_.Choices(option.name)));
        return false;
    }
    collateMarked = collateMarked || Lower(option.name) == "collate";
    colorMarked = colorMarked || Lower(option.name) == "colormodel";
    marks.push_back(option);
    return true;
}

bool OptionReader::ReadMedia(const CupsOption& option, std::string& error) {
    // libcups marks a tray or media type of "media" only by its standard name
    // ("tray-2"); one named as the PPD names it ("Tray2") is marked here.
    std::string rest;
    std::stringstream entries(option.value);
    for (std::string entry; std::getline(entries, entry, ',');) {
        if (!ppd_.KnowsMedia(entry)) {
            error = BadValue(option, "'" + entry +
                                         "' is none of the printer's paper sizes, trays or media "
                                         "types");
            return false;
        }
        if (ppd_.HasChoice("InputSlot", entry))
            mediaMarks.push_back({"InputSlot", entry});
        else if (ppd_.HasChoice("MediaType", entry))
            mediaMarks.push_back({"MediaType", entry});
        else
            rest += (rest.empty() ? "" : ",") + entry;
    }
    if (!rest.empty()) marks.push_back({option.name, rest});
    return true;
}

bool OptionReader::ReadColorMode(const CupsOption& option, std::string& error) {
    const std::string mode = Lower(option.value);
    const bool gray = Contains(kGrayModes, mode);
    if (!gray && mode != "color" && mode != "auto") {
        error = BadValue(option, "auto, color or monochrome");
        return false;
    }
    if (mode == "auto") return true;
    // The ColorModel choice of that kind; a printer without one prints as it can.
    for (const std::string& choice : ppd_.Choices("ColorModel"))
        if (IsGrayColorModel(choice) == gray) {
            colorModel = choice;
            return true;
        }
    notes.push_back("the printer has no ColorModel for print-color-mode=" + option.value);
    return true;
}

bool OptionReader::ReadLayout(const CupsOption& option, const std::string& name,
                              std::string& error) {
    // Raster pages come laid out: these options were the earlier filters'.
    if (request_.laidOut) return true;
    if (name == "number-up") {
        if (!Contains(kPagesPerSheet, option.value)) {
            error = BadValue(option, "1, 2, 4, 6, 9 or 16");
            return false;
        }
        pagesPerSheet = std::stoi(option.value);
        return true;
    }
    if (name == "orientation-requested") {
        orientation = Lookup(kOrientations, option.value);
        if (!orientation) error = BadValue(option, "3 (portrait), 4 (landscape), 5 or 6");
        return orientation.has_value();
    }
    if (name == "landscape") {
        const auto landscape = Boolean(option.value);
        if (!landscape) {
            error = BadValue(option, "true or false");
            return false;
        }
        orientation = *landscape ? Orientation::Landscape : Orientation::Portrait;
        return true;
    }
    notes.push_back("ignoring option " + option.name);
    return true;
}

}  // namespace

bool ChooseJobOptions(const JobRequest& request, PpdFile& ppd, xlhost::FeatureSelection& features,
                      JobChoices& choices, std::string& error) {
    OptionReader reader(request, ppd);
    for (const CupsOption& option : ParseCupsOptions(request.options))
        if (!reader.Read(option, error)) return false;
    // The PPD's own Collate and ColorModel options win over the job attributes.
    const std::optional<bool> collate =
        reader.collate ? reader.collate : reader.documentHandlingCollate;
    if (collate && !reader.collateMarked && ppd.HasOption("Collate"))
        reader.marks.push_back({"Collate", *collate ? "True" : "False"});
    if (reader.colorModel && !reader.colorMarked)
        reader.marks.push_back({"ColorModel", *reader.colorModel});
    // The job's own InputSlot or MediaType wins over an entry of "media".
    for (const CupsOption& mark : reader.mediaMarks)
        if (std::none_of(reader.marks.begin(), reader.marks.end(), [&](const CupsOption& given) {
                return Lower(given.name) == Lower(mark.name);
            }))
            reader.marks.push_back(mark);
    ppd.Mark(reader.marks);

    const xlhost::PrinterDescription& description = features.Description();
    for (const xlhost::Feature& feature : description.features) {
        const auto option = PpdOptionName(feature);
        const auto marked = option ? ppd.MarkedChoice(*option) : std::nullopt;
        if (!marked) continue;
        const xlhost::FeatureOption* chosen = OptionOfChoice(feature, *marked);
        if (chosen == nullptr) {
            choices.notes.push_back("the PPD's " + *option + "=" + *marked +
                                    " is not an option of the printer description's " +
                                    feature.name + "; its default stays");
            continue;
        }
        std::string ignored;
        features.Set(feature.name + "=" + chosen->keyword, ignored);
    }

    xlhost::JobOptions& job = choices.job;
    choices.devMode = xlhost::DevModeChoicesFromFeatures(features);
    job.copies = request.copies;
    job.collate = choices.devMode.collate.value_or(collate.value_or(true));
    job.duplex = choices.devMode.duplex == DMDUP_VERTICAL     ? Duplex::LongEdge
                 : choices.devMode.duplex == DMDUP_HORIZONTAL ? Duplex::ShortEdge
                 : choices.devMode.duplex                     ? Duplex::Simplex
                                          : reader.sides.value_or(Duplex::Simplex);
    job.paper = choices.devMode.paper.value_or("");
    job.orientation = reader.orientation.value_or(Orientation::Portrait);
    job.pagesPerSheet = reader.pagesPerSheet;
    job.documentName = xlplatform::Utf8ToUtf16(request.title);
    if (reader.watermark) {
        job.watermark.enabled = true;
        job.watermark.text = xlplatform::Utf8ToUtf16(*reader.watermark);
    }
    choices.notes.insert(choices.notes.begin(), reader.notes.begin(), reader.notes.end());
    return true;
}

void FollowRasterPaper(std::string_view sizeName, double width, double length, const PpdFile& ppd,
                       xlhost::FeatureSelection& features, JobChoices& choices) {
    const xlhost::Feature* paper = features.Description().FindFeature("PaperSize");
    if (paper == nullptr) return;
    const xlhost::FeatureOption* option =
        sizeName.empty() ? nullptr : OptionOfChoice(*paper, sizeName);
    if (option == nullptr)
        if (const auto name = ppd.PageSizeOf(width, length)) option = OptionOfChoice(*paper, *name);
    if (option == nullptr || option == &features.Current(*paper)) return;
    std::string ignored;
    features.Set("PaperSize=" + option->keyword, ignored);
    const short number = xlhost::PaperNumber(*paper, *option);
    if (number == 0) return;
    choices.devMode.paper = choices.job.paper = std::to_string(number);
    choices.notes.push_back("the pages were laid out for " +
                            (option->displayName.empty() ? option->keyword : option->displayName) +
                            " paper, which the job prints on");
}

}  // namespace xlcups
