// A document to print: the job's options and its pages, each a list of the
// drawing calls an application makes on it. Job scripts (job_script.h) and
// image files given on the command line both become one.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <winddi.h>

namespace xlhost {

// ---------------------------------------------------------------------------
// Job options: what the user chose in the print dialog.

enum class Orientation { Portrait = 1, Landscape = 2 };
enum class Duplex { Simplex, LongEdge, ShortEdge };
enum class DataType { Emf, Raw };
// The retention modes of the settings record, by their stored numbers.
enum class RetentionMode : uint32_t {
    Off = 0,
    ProofAndHold = 1,
    Private = 2,
    QuickCopy = 3,
    Stored = 4
};

struct WatermarkOptions {
    bool enabled = false;
    bool firstPageOnly = false;  // only the document's first page gets one
    std::u16string text = u"CONFIDENTIAL";
    std::u16string font = u"DejaVu Sans";
    int32_t size = 72;             // points
    std::optional<int32_t> angle;  // degrees; none: along the page's diagonal
    int32_t shade = 4;             // 0 (lightest) to 8 (solid)
    int32_t style = 0;             // 0 regular, 1 bold, 2 italic, 3 bold italic
    int32_t color = 0;             // 0 black, 1 red, 2 yellow, 3 green, 4 cyan, 5 blue, 6 magenta
};

// What the printer does with a retained job whose name it already holds.
enum class DuplicateNames { NotChosen, Replace, Append };

struct RetentionOptions {
    bool chosen = false;  // the script asks for retention, which needs the printer's storage
    RetentionMode mode = RetentionMode::Off;
    std::u16string user;          // empty: the user name the driver finds
    std::u16string jobName;       // empty: the driver composes one
    std::optional<uint32_t> pin;  // four digits, 0 to 9999
    DuplicateNames duplicates = DuplicateNames::NotChosen;
    std::optional<uint32_t> number;  // automatic naming: the job's number after its name
};

// Job accounting as the user-interface side records it.
struct AccountingOptions {
    std::u16string accountId;  // at most 31 characters
    // The user's groups, ";"-separated in two lists of at most 79 characters,
    // as the device mode holds them; none: the groups the driver finds.
    std::optional<std::pair<std::u16string, std::u16string>> groups;
};

// Image shift: millimetres to move the image on each side.
struct ImageShiftOptions {
    std::optional<std::pair<float, float>> front;  // x, y
    std::optional<std::pair<float, float>> back;
    bool reduceToFit = false;
};

struct ProcessingAdjustmentOptions {
    bool fine = false;  // steps of 1/250 instead of 1/10
    float field1 = 0;
    float field2 = 0;
};

// The program that prints, as the driver sees it in the application's process.
struct ApplicationOptions {
    std::u16string path;         // its Windows path, e.g. C:\Program Files\Office\WINWORD.EXE
    std::u16string description;  // its version resource's FileDescription
};

// Usage line identity (a choice of the KXSendPJLUsageCmd feature).
enum class UsageIdentity { Machine, User };

struct SpeedMechanismOptions {
    bool multipage = false;  // the printer's multi-page mode for simplex jobs
    uint32_t mode = 0;       // which of the two speed commands the driver sends
};

struct JobOptions {
    std::u16string documentName;  // empty: named after the input
    int32_t copies = 1;
    bool collate = true;
    Duplex duplex = Duplex::Simplex;
    Orientation orientation = Orientation::Portrait;
    std::string paper;  // a paper name or DMPAPER number as --paper takes it; empty: the default
    int32_t pagesPerSheet = 1;  // 1, 2, 4, 6, 9 or 16
    int32_t scale = 100;        // percent
    bool manualDuplex = false;
    uint32_t outputMode = 3;  // the settings record's output mode; 3 is ordinary printing
    WatermarkOptions watermark;
    RetentionOptions retention;
    std::optional<AccountingOptions> accounting;
    std::optional<UsageIdentity> usage;
    std::optional<bool> bornOnDate;
    ImageShiftOptions imageShift;
    std::optional<ProcessingAdjustmentOptions> processingAdjustment;
    bool separatorPage = false;
    std::u16string user;    // the application's user; empty: the one the driver records
    std::u16string domain;  // that user's domain; empty: the one the driver records
    std::optional<ApplicationOptions> application;
    SpeedMechanismOptions speedMechanism;
    DataType dataType = DataType::Emf;
    bool banding = false;
    int32_t bandHeight = 0;  // device pixels; 0: the printer's choice
    bool passThrough =
        false;  // hand JPEG (and PNG, where the device takes it) to the driver compressed
};

// ---------------------------------------------------------------------------
// Drawing calls. Coordinates are in the document's units (Document::units),
// measured from the top left corner of the page surface.

struct Point {
    double x = 0;
    double y = 0;
};

struct Rect {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

using Color = uint32_t;  // 0xRRGGBB

enum class BlitHook { Auto, BitBlt, StretchBlt, StretchBltROP, CopyBits, PlgBlt };

constexpr ULONG kRopSrcCopy = 0xCCCC;

struct ImageCall {
    std::filesystem::path file;       // relative paths are taken from Document::baseDirectory
    std::optional<Rect> destination;  // none with `fit` or `parallelogram`
    bool fit = false;                 // the printable area, aspect kept, centred
    std::optional<std::array<Point, 3>>
        parallelogram;            // plgblt: upper left, upper right, lower left
    std::optional<RECTL> source;  // image pixels; none: the whole image
    ULONG rop4 = kRopSrcCopy;
    std::optional<Color> brush;      // the pattern of ROPs that use one
    BlitHook hook = BlitHook::Auto;  // Auto: bitblt unscaled, stretchblt(rop) scaled
    ULONG stretchMode = COLORONCOLOR;
    int32_t bands = 1;                  // horizontal pieces, each its own call
    std::optional<bool> passThrough;    // none: the job's option
    std::optional<SIZEL> declaredSize;  // pass-through: the size the source surface declares
};

struct FillCall {
    std::optional<Rect> rect;    // a rectangle (PatBlt), or
    std::vector<Point> polygon;  // a closed polygon (filled path)
    bool winding = false;
    Color color = 0;
};

struct LineCall {
    std::vector<Point> points;  // a polyline, at least two points
    double width = 0;           // 0: a one-pixel cosmetic line
    Color color = 0;
};

struct TextCall {
    std::u16string text;
    std::string font = "DejaVu Sans";  // a fontconfig family
    double size = 12;                  // points
    Point position;                    // start of the baseline
    Color color = 0;
    std::optional<Color> background;  // opaque box behind the text
};

struct PageCall {
    std::variant<ImageCall, FillCall, LineCall, TextCall> what;
    std::vector<Rect> clip;  // none: unclipped
    std::string place;       // where it was written, for messages ("pages[0].calls[2]")
};

struct Page {
    std::vector<PageCall> calls;
};

enum class Units { Pixels, Points, Millimetres, Inches };

struct Document {
    JobOptions options;
    Units units = Units::Pixels;
    std::filesystem::path baseDirectory;
    std::vector<Page> pages;
};

// A document of image files, one page each: the picture fitted to the
// printable area, as a photo printing application sends it (StretchBlt, HALFTONE).
Document DocumentFromImageFiles(const std::vector<std::filesystem::path>& files,
                                const JobOptions& options);

}  // namespace xlhost
