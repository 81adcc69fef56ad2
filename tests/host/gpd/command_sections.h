// The commands of one section of a feature selection as one string, the way the
// description tests compare them: "{N}" for callback N, else the command's bytes.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/gpd/feature_selection.h"

namespace xlhost {

inline std::string SectionText(const FeatureSelection& selection, OrderSection section,
                               const StandardVariableValues& values = nullptr) {
    std::string text;
    for (const PrinterCommand* command : selection.CommandsIn(section)) {
        if (command->IsCallback()) {
            text += "{" + std::to_string(command->callbackId) + "}";
            continue;
        }
        std::string error;
        const auto bytes = ExpandCommand(command->cmd, values, error);
        EXPECT_TRUE(bytes) << command->name << ": " << error;
        text += bytes.value_or("?");
    }
    return text;
}

}  // namespace xlhost
