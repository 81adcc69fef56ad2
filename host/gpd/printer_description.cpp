#include "host/gpd/printer_description.h"

namespace xlhost {
namespace {

struct SectionName {
    OrderSection section;
    std::string_view name;
};

constexpr SectionName kSectionNames[] = {
    {OrderSection::kJobSetup, "JOB_SETUP"},   {OrderSection::kDocSetup, "DOC_SETUP"},
    {OrderSection::kPageSetup, "PAGE_SETUP"}, {OrderSection::kPageFinish, "PAGE_FINISH"},
    {OrderSection::kDocFinish, "DOC_FINISH"}, {OrderSection::kJobFinish, "JOB_FINISH"},
};
static_assert(std::size(kSectionNames) == std::size(kOrderSections));

}  // namespace

std::string_view OrderSectionName(OrderSection section) {
    for (const SectionName& entry : kSectionNames)
        if (entry.section == section) return entry.name;
    return "?";
}

std::optional<OrderSection> OrderSectionFromName(std::string_view name) {
    for (const SectionName& entry : kSectionNames)
        if (entry.name == name) return entry.section;
    return std::nullopt;
}

const FeatureOption* Feature::FindOption(std::string_view keyword) const {
    for (const FeatureOption& option : options)
        if (option.keyword == keyword) return &option;
    return nullptr;
}

const Feature* PrinterDescription::FindFeature(std::string_view name) const {
    for (const Feature& feature : features)
        if (feature.name == name) return &feature;
    return nullptr;
}

const PrinterCommand* PrinterDescription::FindCommand(std::string_view name) const {
    for (const PrinterCommand& command : commands)
        if (command.name == name) return &command;
    return nullptr;
}

}  // namespace xlhost
