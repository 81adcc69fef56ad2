// Reading printer features: the current option keyword of a feature of the
// printer description, as Unidrv's driver helper interface answers it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <prcomoem.h>

#include "settings/wide_text.h"

namespace xlr {

constexpr size_t kMaxFeatureNameLength = 255;
constexpr DWORD kFeatureOptionBufferSize = 256;

class FeatureReader {
  public:
    // `helper` is the driver helper interface; without one the reads go through
    // the device's DRVPROCS.
    FeatureReader(PDEVOBJ device, IPrintOemDriverUni* helper) : device_(device), helper_(helper) {}

    // The option keyword, or nothing when the feature is absent (Unidrv answers
    // an empty keyword) or the name is over 255 units.
    std::optional<WideString> Read(WideStringView feature) const;

    bool Exists(WideStringView feature) const { return Read(feature).has_value(); }

    // The option equals `option`, compared without regard to case.
    bool Is(WideStringView feature, WideStringView option) const;

  private:
    PDEVOBJ device_;
    IPrintOemDriverUni* helper_;
};

// Index of the option keyword in `table` (exact comparison); 0 when the feature
// is absent or its keyword is not in the table. `matched` tells a real match.
struct EnumeratedSetting {
    uint32_t index = 0;
    bool matched = false;
};
EnumeratedSetting ReadEnumeratedSetting(const FeatureReader& reader, WideStringView feature,
                                        std::span<const WideStringView> table);

}  // namespace xlr
