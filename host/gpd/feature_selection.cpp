#include "host/gpd/feature_selection.h"

#include <algorithm>
#include <cassert>

namespace xlhost {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

// The element whose name equals `wanted`, or else the only one equal without
// regard to case; -1 when there is none or the match is ambiguous.
template <typename Items, typename NameOf>
std::ptrdiff_t Match(const Items& items, std::string_view wanted, NameOf nameOf) {
    std::ptrdiff_t found = -1;
    int caseless = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        if (nameOf(items[i]) == wanted) return static_cast<std::ptrdiff_t>(i);
        if (EqualNoCase(nameOf(items[i]), wanted)) {
            found = static_cast<std::ptrdiff_t>(i);
            ++caseless;
        }
    }
    return caseless == 1 ? found : -1;
}

}  // namespace

FeatureSelection::FeatureSelection(const PrinterDescription& description)
    : description_(&description),
      current_(description.features.size(), 0),
      set_(description.features.size(), false) {
    for (size_t i = 0; i < description.features.size(); ++i) {
        const Feature& feature = description.features[i];
        for (size_t j = 0; j < feature.options.size(); ++j)
            if (feature.options[j].keyword == feature.defaultOption) current_[i] = j;
    }
}

bool FeatureSelection::Set(std::string_view setting, std::string& error) {
    const size_t eq = setting.find('=');
    if (eq == std::string_view::npos || eq == 0 || eq + 1 == setting.size()) {
        error = "--set wants FEATURE=OPTION, not '" + std::string(setting) + "'";
        return false;
    }
    const std::string_view featureName = setting.substr(0, eq);
    const std::string_view optionName = setting.substr(eq + 1);
    const auto& features = description_->features;
    const std::ptrdiff_t featureIndex =
        Match(features, featureName, [](const Feature& f) -> std::string_view { return f.name; });
    if (featureIndex < 0) {
        error = "the printer description has no feature '" + std::string(featureName) + "'";
        return false;
    }
    const Feature& feature = features[static_cast<size_t>(featureIndex)];
    const std::ptrdiff_t optionIndex =
        Match(feature.options, optionName,
              [](const FeatureOption& o) -> std::string_view { return o.keyword; });
    if (optionIndex < 0) {
        std::string choices;
        for (const FeatureOption& option : feature.options)
            choices += (choices.empty() ? "" : ", ") + option.keyword;
        error = "the feature " + feature.name + " has no option '" + std::string(optionName) +
                "' (it has " + choices + ")";
        return false;
    }
    current_[static_cast<size_t>(featureIndex)] = static_cast<size_t>(optionIndex);
    set_[static_cast<size_t>(featureIndex)] = true;
    return true;
}

size_t FeatureSelection::IndexOf(const Feature& feature) const {
    const auto& features = description_->features;
    assert(&feature >= features.data() && &feature < features.data() + features.size());
    return static_cast<size_t>(&feature - features.data());
}

const FeatureOption* FeatureSelection::Current(std::string_view name) const {
    const Feature* feature = description_->FindFeature(name);
    return feature == nullptr ? nullptr : &Current(*feature);
}

const FeatureOption& FeatureSelection::Current(const Feature& feature) const {
    return feature.options[current_[IndexOf(feature)]];
}

bool FeatureSelection::IsSet(const Feature& feature) const {
    return set_[IndexOf(feature)];
}

std::vector<const PrinterCommand*> FeatureSelection::CommandsIn(OrderSection section) const {
    std::vector<const PrinterCommand*> commands;
    auto take = [&](const PrinterCommand& command) {
        if (command.order && command.order->section == section) commands.push_back(&command);
    };
    for (const PrinterCommand& command : description_->commands) take(command);
    for (const Feature& feature : description_->features)
        if (const auto& select = Current(feature).select) take(*select);
    std::stable_sort(commands.begin(), commands.end(),
                     [](const PrinterCommand* a, const PrinterCommand* b) {
                         return a->order->number < b->order->number;
                     });
    return commands;
}

}  // namespace xlhost
