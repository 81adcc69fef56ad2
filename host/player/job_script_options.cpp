// The "options" object of a job script.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "host/player/job_script_parts.h"
#include "host/unidrv/public_devmode.h"

namespace xlhost::script {
namespace {

constexpr std::pair<std::string_view, Duplex> kDuplexes[] = {
    {"simplex", Duplex::Simplex}, {"long", Duplex::LongEdge}, {"short", Duplex::ShortEdge}};
constexpr std::pair<std::string_view, Orientation> kOrientations[] = {
    {"portrait", Orientation::Portrait}, {"landscape", Orientation::Landscape}};
constexpr std::pair<std::string_view, DataType> kDataTypes[] = {{"emf", DataType::Emf},
                                                                {"raw", DataType::Raw}};
constexpr std::pair<std::string_view, RetentionMode> kRetentionModes[] = {
    {"off", RetentionMode::Off},         {"proof", RetentionMode::ProofAndHold},
    {"private", RetentionMode::Private}, {"quick-copy", RetentionMode::QuickCopy},
    {"stored", RetentionMode::Stored},
};
// Watermark colours by their index in the settings record.
constexpr std::pair<std::string_view, int32_t> kWatermarkColors[] = {
    {"black", 0}, {"red", 1},  {"yellow", 2}, {"green", 3},
    {"cyan", 4},  {"blue", 5}, {"magenta", 6}};
constexpr std::pair<std::string_view, int32_t> kWatermarkStyles[] = {
    {"regular", 0}, {"bold", 1}, {"italic", 2}, {"bold-italic", 3}};
constexpr int32_t kPagesPerSheet[] = {1, 2, 4, 6, 9, 16};
constexpr std::pair<std::string_view, DuplicateNames> kDuplicateNames[] = {
    {"replace", DuplicateNames::Replace}, {"append", DuplicateNames::Append}};
constexpr std::pair<std::string_view, UsageIdentity> kUsageIdentities[] = {
    {"machine", UsageIdentity::Machine}, {"user", UsageIdentity::User}};

// The settings record keeps texts of these capacities, terminator included.
constexpr size_t kDocumentNameLength = 255;
constexpr size_t kWatermarkTextLength = 255;
constexpr size_t kFaceNameLength = 31;
constexpr size_t kRetentionNameLength = 16;
constexpr size_t kAccountIdLength = 31;
constexpr size_t kGroupListLength = 79;  // each of the two group lists
constexpr size_t kUserNameLength = 255;
constexpr size_t kApplicationPathLength = 259;
constexpr size_t kApplicationDescriptionLength = 31;
// Image shifts in millimetres, and processing adjustments, within what a
// printer's panel offers.
constexpr double kLargestImageShift = 99;
constexpr double kLargestAdjustment = 99;

WatermarkOptions ReadWatermark(const Value& value) {
    value.ExpectObject(
        {"enabled", "text", "font", "size", "angle", "shade", "color", "style", "first_page_only"});
    WatermarkOptions watermark;
    watermark.enabled = true;
    if (auto v = value.Find("enabled")) watermark.enabled = v->Bool();
    if (auto v = value.Find("text")) watermark.text = v->Text(kWatermarkTextLength);
    if (auto v = value.Find("font")) watermark.font = v->Text(kFaceNameLength);
    if (auto v = value.Find("size")) watermark.size = static_cast<int32_t>(v->Integer(1, 999));
    if (auto v = value.Find("angle")) {
        if (v->json().is_string()) {
            if (Lower(v->String()) != "diagonal")
                v->Fail("expected degrees (-360 to 360) or \"diagonal\"");
        } else {
            watermark.angle = static_cast<int32_t>(v->Integer(-360, 360));
        }
    }
    if (auto v = value.Find("shade")) watermark.shade = static_cast<int32_t>(v->Integer(0, 8));
    if (auto v = value.Find("color")) watermark.color = v->Choice(kWatermarkColors);
    if (auto v = value.Find("style")) watermark.style = v->Choice(kWatermarkStyles);
    if (auto v = value.Find("first_page_only")) watermark.firstPageOnly = v->Bool();
    if (watermark.enabled && watermark.text.empty()) value["text"].Fail("a watermark needs a text");
    return watermark;
}

RetentionOptions ReadRetention(const Value& value) {
    value.ExpectObject({"mode", "user", "job_name", "pin", "duplicates", "number"});
    RetentionOptions retention;
    retention.chosen = true;
    retention.mode = value["mode"].Choice(kRetentionModes);
    if (auto v = value.Find("duplicates")) retention.duplicates = v->Choice(kDuplicateNames);
    if (auto v = value.Find("number"))
        retention.number = static_cast<uint32_t>(v->Integer(0, 9999));
    if (auto v = value.Find("user")) retention.user = v->Text(kRetentionNameLength);
    if (auto v = value.Find("job_name")) retention.jobName = v->Text(kRetentionNameLength);
    if (auto v = value.Find("pin")) {
        const std::string pin = v->String();
        if (pin.size() != 4 || pin.find_first_not_of("0123456789") != std::string::npos)
            v->Fail("expected four digits, such as \"0420\"");
        retention.pin = static_cast<uint32_t>(std::stoul(pin));
    }
    return retention;
}

float ReadReal(const Value& value, double largest) {
    const double number = value.Number();
    if (std::fabs(number) > largest)
        value.Fail("expected a number from " + std::to_string(static_cast<int>(-largest)) + " to " +
                   std::to_string(static_cast<int>(largest)));
    return static_cast<float>(number);
}

AccountingOptions ReadAccounting(const Value& value) {
    value.ExpectObject({"account_id", "groups"});
    AccountingOptions accounting;
    if (auto v = value.Find("account_id")) accounting.accountId = v->Text(kAccountIdLength);
    if (auto v = value.Find("groups")) {
        std::pair<std::u16string, std::u16string> lists;
        std::u16string* list = &lists.first;
        const size_t count = v->ExpectArray(1);
        for (size_t i = 0; i < count; ++i) {
            const Value group = (*v)[i];
            const std::u16string name = group.Text(kGroupListLength);
            if (name.empty() || name.find(u';') != std::u16string::npos)
                group.Fail("expected a group name without \";\"");
            const size_t separator = list->empty() ? 0 : 1;
            if (list->size() + separator + name.size() > kGroupListLength) {
                if (list == &lists.second)
                    group.Fail("the group names do not fit the two lists of " +
                               std::to_string(kGroupListLength) +
                               " characters the device mode holds");
                list = &lists.second;
            }
            if (!list->empty()) *list += u';';
            *list += name;
        }
        accounting.groups = std::move(lists);
    }
    return accounting;
}

std::pair<float, float> ReadShift(const Value& value) {
    value.ExpectObject({"x", "y"});
    std::pair<float, float> shift{0.0f, 0.0f};
    if (auto v = value.Find("x")) shift.first = ReadReal(*v, kLargestImageShift);
    if (auto v = value.Find("y")) shift.second = ReadReal(*v, kLargestImageShift);
    return shift;
}

ImageShiftOptions ReadImageShift(const Value& value) {
    value.ExpectObject({"front", "back", "reduce_to_fit"});
    ImageShiftOptions shift;
    if (auto v = value.Find("front")) shift.front = ReadShift(*v);
    if (auto v = value.Find("back")) shift.back = ReadShift(*v);
    if (auto v = value.Find("reduce_to_fit")) shift.reduceToFit = v->Bool();
    return shift;
}

ProcessingAdjustmentOptions ReadProcessingAdjustment(const Value& value) {
    value.ExpectObject({"field1", "field2", "fine"});
    ProcessingAdjustmentOptions adjustment;
    if (auto v = value.Find("field1")) adjustment.field1 = ReadReal(*v, kLargestAdjustment);
    if (auto v = value.Find("field2")) adjustment.field2 = ReadReal(*v, kLargestAdjustment);
    if (auto v = value.Find("fine")) adjustment.fine = v->Bool();
    return adjustment;
}

ApplicationOptions ReadApplication(const Value& value) {
    ApplicationOptions application;
    const bool object = value.json().is_object();
    if (object) value.ExpectObject({"path", "description"});
    const Value path = object ? value["path"] : value;
    application.path = path.Text(kApplicationPathLength);
    if (application.path.find(u'\\') == std::u16string::npos)
        path.Fail(
            "expected the program's Windows path, such as "
            "\"C:\\\\Program Files\\\\Office\\\\WINWORD.EXE\"");
    if (object)
        if (auto v = value.Find("description"))
            application.description = v->Text(kApplicationDescriptionLength);
    return application;
}

SpeedMechanismOptions ReadSpeedMechanism(const Value& value) {
    value.ExpectObject({"multipage", "mode"});
    SpeedMechanismOptions speed;
    if (auto v = value.Find("multipage")) speed.multipage = v->Bool();
    if (auto v = value.Find("mode")) speed.mode = static_cast<uint32_t>(v->Integer(0, 1));
    return speed;
}

}  // namespace

JobOptions ReadJobOptions(const Value& value) {
    value.ExpectObject({"document_name",   "copies",
                        "collate",         "duplex",
                        "orientation",     "paper",
                        "pages_per_sheet", "scale",
                        "manual_duplex",   "output_mode",
                        "watermark",       "retention",
                        "speed_mechanism", "data_type",
                        "banding",         "band_height",
                        "pass_through",    "accounting",
                        "usage",           "born_on_date",
                        "image_shift",     "processing_adjustment",
                        "separator_page",  "user",
                        "domain",          "application"});
    JobOptions options;
    if (auto v = value.Find("document_name")) options.documentName = v->Text(kDocumentNameLength);
    if (auto v = value.Find("copies")) options.copies = static_cast<int32_t>(v->Integer(1, 9999));
    if (auto v = value.Find("collate")) options.collate = v->Bool();
    if (auto v = value.Find("duplex")) options.duplex = v->Choice(kDuplexes);
    if (auto v = value.Find("orientation")) options.orientation = v->Choice(kOrientations);
    if (auto v = value.Find("paper")) {
        options.paper = v->json().is_number() ? std::to_string(v->Integer(1, 32767)) : v->String();
        if (!IsPaperChoice(options.paper))
            v->Fail("unknown paper \"" + options.paper +
                    "\"; expected a name such as a4 or letter, or a number");
    }
    if (auto v = value.Find("pages_per_sheet")) {
        const long count = v->Integer(1, 16);
        if (std::find(std::begin(kPagesPerSheet), std::end(kPagesPerSheet), count) ==
            std::end(kPagesPerSheet))
            v->Fail("expected 1, 2, 4, 6, 9 or 16");
        options.pagesPerSheet = static_cast<int32_t>(count);
    }
    if (auto v = value.Find("scale")) options.scale = static_cast<int32_t>(v->Integer(10, 400));
    if (auto v = value.Find("manual_duplex")) options.manualDuplex = v->Bool();
    if (auto v = value.Find("output_mode"))
        options.outputMode = static_cast<uint32_t>(v->Integer(0, 15));
    if (auto v = value.Find("watermark")) options.watermark = ReadWatermark(*v);
    if (auto v = value.Find("retention")) options.retention = ReadRetention(*v);
    if (auto v = value.Find("accounting")) options.accounting = ReadAccounting(*v);
    if (auto v = value.Find("usage")) options.usage = v->Choice(kUsageIdentities);
    if (auto v = value.Find("born_on_date")) options.bornOnDate = v->Bool();
    if (auto v = value.Find("image_shift")) options.imageShift = ReadImageShift(*v);
    if (auto v = value.Find("processing_adjustment"))
        options.processingAdjustment = ReadProcessingAdjustment(*v);
    if (auto v = value.Find("separator_page")) options.separatorPage = v->Bool();
    if (auto v = value.Find("user")) options.user = v->Text(kUserNameLength);
    if (auto v = value.Find("domain")) options.domain = v->Text(kUserNameLength);
    if (auto v = value.Find("application")) options.application = ReadApplication(*v);
    if (auto v = value.Find("speed_mechanism")) options.speedMechanism = ReadSpeedMechanism(*v);
    if (auto v = value.Find("data_type")) options.dataType = v->Choice(kDataTypes);
    if (auto v = value.Find("banding")) options.banding = v->Bool();
    if (auto v = value.Find("band_height")) {
        options.bandHeight = static_cast<int32_t>(v->Integer(1, 1000000));
    }
    if (auto v = value.Find("pass_through")) options.passThrough = v->Bool();
    return options;
}

}  // namespace xlhost::script
