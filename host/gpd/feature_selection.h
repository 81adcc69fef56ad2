// The current option of every feature of a printer description: the
// description's default unless the user chose another (--set FEATURE=OPTION).
// This is what DrvGetDriverSetting answers and what decides which option
// commands a job carries.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/gpd/printer_description.h"

namespace xlhost {

class FeatureSelection {
  public:
    // Keeps a reference: the description must outlive the selection.
    explicit FeatureSelection(const PrinterDescription& description);

    const PrinterDescription& Description() const { return *description_; }

    // Applies "FEATURE=OPTION". Names are matched exactly, or else without regard
    // to case when that finds exactly one. Returns false with `error` naming the
    // unknown feature or option.
    bool Set(std::string_view setting, std::string& error);

    // The current option of the feature named exactly `feature`, or null when the
    // description has no such feature.
    const FeatureOption* Current(std::string_view feature) const;
    // `feature` must be one of the description's features.
    const FeatureOption& Current(const Feature& feature) const;
    // True when the current option was chosen by Set rather than the default.
    bool IsSet(const Feature& feature) const;

    // The commands of a section: the description's own and the CmdSelect of each
    // current option, by order number; among equal numbers the description's own
    // come first, then the options' in feature order.
    std::vector<const PrinterCommand*> CommandsIn(OrderSection section) const;

  private:
    size_t IndexOf(const Feature& feature) const;

    const PrinterDescription* description_;
    std::vector<size_t> current_;  // index of the current option, per feature
    std::vector<bool> set_;
};

}  // namespace xlhost
