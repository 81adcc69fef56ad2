#include "job/job_control.h"

#include "job/accounting/accounting_values.h"
#include "job/accounting/born_on_date.h"
#include "job/accounting/job_notification.h"
#include "job/accounting/usage_line.h"
#include "job/header/comment_lines.h"
#include "job/header/device_lines.h"
#include "job/header/name_lines.h"
#include "job/names/job_record.h"
#include "job/pjl/pjl_writer.h"
#include "job/pjl/text_cleaning.h"
#include "job/retention/retention_job.h"
#include "settings/feature_reader.h"
#include "settings/printer_port.h"

namespace xlr {
namespace {

enum JobControlCallback : DWORD {
    kJobHeader = 1,
    kBornOnDate = 3,
    kJobRetention = 4,
    kUserAndJobName = 5,
    kManualDuplex = 8,
    kUsage = 10,
    kPlanesInUse = 12,
    kContentOrientation = 13,
    kMultiPage = 14,
    kMediaWidthSensor = 16,
    kImageShift = 23,
    kProcessingAdjustment = 27,
    kSeparatorPage = 32,
    kDeviceIdentity = 33,
};

constexpr uint32_t kFullPageOutput = 3;

// Job name and code set (with accounting), the driver comments (always), and
// the accounting attributes.
void WriteJobHeader(PDEVOBJ device, PluginDeviceState& state, const SettingsRecord& settings) {
    const bool accounting = state.jobAccounting != kAccountingOff;
    if (accounting) {
        if (const std::optional<std::string> line = JobNameLine(state))
            WritePjl(device, state, *line);
        if (AnnouncesUtf8(static_cast<uint32_t>(state.pjlEncoding)))
            WritePjl(device, state, StringCodeSetLine());
    }
    if (const std::optional<CommentFields> comments = MakeCommentFields(device, state, settings))
        WritePjl(device, state, ComposeCommentLines(*comments));
    if (!accounting) return;
    const FeatureReader features(device, state.driverHelper);
    const std::optional<AccountingValues> values =
        MakeAccountingValues(device, state, settings, features);
    if (!values) return;
    WritePjl(device, state,
             ComposeAccountingLines(static_cast<uint32_t>(state.jobAccounting), *values));
    UpdateJobNotification(device->hPrinter, state.jobId, *values);
}

void WriteBornOnDate(PDEVOBJ device, const PluginDeviceState& state) {
    if (!FeatureReader(device, state.driverHelper).Is(WSTR("KXBornOnDate"), WSTR("KXBOD"))) return;
    if (const std::optional<JobRecord> job = ReadJobRecord(device->hPrinter, state.jobId))
        WritePjl(device, state, BornOnDateLine(job->submitted));
}

void WriteMediaWidthSensor(PDEVOBJ device, const PluginDeviceState& state) {
    const std::optional<WideString> option =
        FeatureReader(device, state.driverHelper).Read(WSTR("KXMediaWidthSensor"));
    if (!option) return;
    WritePjl(
        device, state,
        MediaWidthSensorLine(SameText(*option, WSTR("True")), device->pPublicDM->dmPaperWidth));
}

void WriteImageShift(PDEVOBJ device, const PluginDeviceState& state,
                     const SettingsRecord& settings) {
    ImageShiftValues values;
    values.frontEnabled = settings.imageShiftFront;
    values.backEnabled = settings.imageShiftBack;
    values.reduceToFit = settings.imageShiftReduceToFit;
    values.frontX = settings.imageShiftFrontX;
    values.frontY = settings.imageShiftFrontY;
    values.backX = settings.imageShiftBackX;
    values.backY = settings.imageShiftBackY;
    WritePjl(device, state, ImageShiftBlock(values));
}

}  // namespace

bool IsJobControlCallback(DWORD callbackId) {
    for (DWORD callback : kJobControlCallbacks)
        if (callback == callbackId) return true;
    return false;
}

void WriteJobControlCallback(PDEVOBJ device, PluginDeviceState& state, SettingsRecord& settings,
                             DWORD callbackId) {
    switch (callbackId) {
        case kJobHeader:
            return WriteJobHeader(device, state, settings);
        case kBornOnDate:
            return WriteBornOnDate(device, state);
        case kJobRetention:
            return WriteRetentionBlock(device, state, settings);
        case kUserAndJobName:
            if (FeatureReader(device, state.driverHelper)
                    .Is(WSTR("KXJobByJobOverride"), WSTR("JBJO")) &&
                SendsUserAndJobName(settings))
                WritePjl(device, state, UserAndJobNameLines(device, state, settings));
            return;
        case kManualDuplex:
            if (settings.manualDuplex == 1 || state.mediaManualDuplex == 1)
                WritePjl(device, state, ManualDuplexLine());
            return;
        case kUsage:
            return WriteUsageLine(device, state, settings);
        case kPlanesInUse:
            WritePjl(device, state, PlanesInUseLine());
            return;
        case kContentOrientation: {
            const ContentOrientation content =
                ComposeContentOrientation(device->pPublicDM->dmOrientation, settings.pagesPerSheet);
            state.contentOrientation = content.value;
            WritePjl(device, state, content.line);
            return;
        }
        case kMultiPage:
            if (state.speedMech == 1 && state.speedMechSimplex == 1)
                WritePjl(device, state, MultiPageLine(state.speedMechFlags));
            return;
        case kMediaWidthSensor:
            return WriteMediaWidthSensor(device, state);
        case kImageShift:
            return WriteImageShift(device, state, settings);
        case kProcessingAdjustment:
            for (const std::string& line : ProcessingAdjustmentLines(
                     settings.processingAdjustmentMode, settings.processingAdjustment1,
                     settings.processingAdjustment2))
                WritePjl(device, state, line);
            return;
        case kSeparatorPage:
            if (settings.outputMode == kFullPageOutput &&
                PrinterPortKind(device->hPrinter) != PortKind::File)
                WritePjl(device, state, SeparatorPageLine(settings.separatorPage));
            return;
        case kDeviceIdentity:
            // The device-identity block is made by a companion component that
            // is not part of this plug-in; without it the block cannot be made,
            // and the callback writes nothing.
            return;
        default:
            return;
    }
}

}  // namespace xlr
