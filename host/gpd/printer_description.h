// What the host knows of a printer from its description: the features with their
// options, the commands that carry the job, paper sizes and resolutions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/gpd/command_string.h"

namespace xlhost {

// The parts of a job in which ordered commands are sent.
enum class OrderSection : std::uint8_t {
    kJobSetup,
    kDocSetup,
    kPageSetup,
    kPageFinish,
    kDocFinish,
    kJobFinish
};

inline constexpr OrderSection kOrderSections[] = {
    OrderSection::kJobSetup,   OrderSection::kDocSetup,  OrderSection::kPageSetup,
    OrderSection::kPageFinish, OrderSection::kDocFinish, OrderSection::kJobFinish};

std::string_view OrderSectionName(OrderSection section);  // "JOB_SETUP", ...
std::optional<OrderSection> OrderSectionFromName(std::string_view name);

struct CommandOrder {
    OrderSection section = OrderSection::kJobSetup;
    std::uint32_t number = 0;
};

// PAIR(x, y) of the description, in master units (or dots per inch for *DPI).
struct GpdPair {
    std::int64_t x = 0;
    std::int64_t y = 0;
};

struct PrinterCommand {
    std::string name;  // "CmdStartJob", "CmdSelect", ...
    int line = 0;
    std::optional<CommandOrder> order;
    CommandString cmd;   // the bytes to send, when callbackId is 0
    int callbackId = 0;  // above 0: the plug-in's CommandCallback is called with it instead
    std::vector<StandardVariable> callbackParams;

    bool IsCallback() const { return callbackId > 0; }
};

struct FeatureOption {
    std::string keyword;
    std::string displayName;  // *Name, or empty
    int line = 0;
    std::optional<PrinterCommand> select;  // *Command: CmdSelect
    // Paper sizes, in master units.
    std::optional<GpdPair> pageDimensions;
    std::optional<GpdPair> printableArea;
    std::optional<GpdPair> printableOrigin;
    // Resolutions, in dots per inch.
    std::optional<GpdPair> dpi;
};

struct Feature {
    std::string name;
    std::string displayName;
    std::string defaultOption;
    int line = 0;
    std::vector<FeatureOption> options;

    const FeatureOption* FindOption(std::string_view keyword) const;
};

struct PrinterDescription {
    std::string fileName;  // as named in messages
    std::string specVersion;
    std::string modelName;
    std::optional<GpdPair> masterUnits;
    std::vector<Feature> features;
    std::vector<PrinterCommand> commands;  // the commands outside options, in file order

    // Names are compared exactly, as Unidrv compares feature keywords.
    const Feature* FindFeature(std::string_view name) const;
    const PrinterCommand* FindCommand(std::string_view name) const;
};

}  // namespace xlhost
