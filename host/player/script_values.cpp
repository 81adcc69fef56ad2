#include "host/player/script_values.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include <xlplatform/world.h>

namespace xlhost::script {
namespace {

constexpr std::pair<std::string_view, Color> kColorNames[] = {
    {"black", 0x000000}, {"white", 0xFFFFFF},  {"red", 0xFF0000},  {"green", 0x00FF00},
    {"blue", 0x0000FF},  {"yellow", 0xFFFF00}, {"cyan", 0x00FFFF}, {"magenta", 0xFF00FF},
    {"gray", 0x808080},  {"grey", 0x808080},
};

std::string TypeName(const nlohmann::json& json) {
    return json.type_name();
}

}  // namespace

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return lower;
}

void Value::ExpectObject(std::initializer_list<std::string_view> keys) const {
    if (!json_->is_object()) Fail("expected an object, found " + TypeName(*json_));
    for (const auto& [key, member] : json_->items()) {
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
            std::string known;
            for (std::string_view name : keys)
                known += (known.empty() ? "" : ", ") + std::string(name);
            Fail("unknown key \"" + key + "\"; known keys: " + known);
        }
    }
}

bool Value::Has(std::string_view key) const {
    return json_->is_object() && json_->contains(key);
}

std::optional<Value> Value::Find(std::string_view key) const {
    if (!Has(key)) return std::nullopt;
    return Value(json_->at(std::string(key)),
                 place_.empty() ? std::string(key) : place_ + "." + std::string(key));
}

Value Value::operator[](std::string_view key) const {
    auto member = Find(key);
    if (!member) Fail("missing \"" + std::string(key) + "\"");
    return *member;
}

size_t Value::ExpectArray(size_t minimum) const {
    if (!json_->is_array()) Fail("expected an array, found " + TypeName(*json_));
    if (json_->size() < minimum) Fail("expected at least " + std::to_string(minimum) + " elements");
    return json_->size();
}

Value Value::operator[](size_t index) const {
    return Value(json_->at(index), place_ + "[" + std::to_string(index) + "]");
}

double Value::Number() const {
    if (!json_->is_number()) Fail("expected a number, found " + TypeName(*json_));
    const double value = json_->get<double>();
    // Coordinates become 32-bit device values; keep far away from their limits.
    if (!std::isfinite(value) || std::fabs(value) > 1e7) Fail("number out of range");
    return value;
}

long Value::Integer(long low, long high) const {
    const auto range =
        "expected a whole number from " + std::to_string(low) + " to " + std::to_string(high);
    if (!json_->is_number_integer()) Fail(range);
    if (json_->is_number_unsigned()) {
        const auto value = json_->get<uint64_t>();
        if (value > static_cast<uint64_t>(high) || (low > 0 && value < static_cast<uint64_t>(low)))
            Fail(range);
        return static_cast<long>(value);
    }
    const auto value = json_->get<int64_t>();
    if (value < low || value > high) Fail(range);
    return static_cast<long>(value);
}

bool Value::Bool() const {
    if (!json_->is_boolean()) Fail("expected true or false, found " + TypeName(*json_));
    return json_->get<bool>();
}

std::string Value::String() const {
    if (!json_->is_string()) Fail("expected a string, found " + TypeName(*json_));
    return json_->get<std::string>();
}

std::u16string Value::Text(size_t maximum) const {
    std::u16string text = xlplatform::Utf8ToUtf16(String());
    if (text.size() > maximum) Fail("text longer than " + std::to_string(maximum) + " characters");
    return text;
}

Point Value::AsPoint() const {
    if (!json_->is_array() || json_->size() != 2) Fail("expected 2 numbers [x, y]");
    return Point{(*this)[0].Number(), (*this)[1].Number()};
}

Rect Value::AsRect() const {
    if (!json_->is_array() || json_->size() != 4)
        Fail("expected 4 numbers [left, top, right, bottom]");
    return Rect{(*this)[0].Number(), (*this)[1].Number(), (*this)[2].Number(), (*this)[3].Number()};
}

Color Value::AsColor() const {
    if (json_->is_array()) {
        if (json_->size() != 3)
            Fail("expected a colour: \"#RRGGBB\", a name or [red, green, blue]");
        return static_cast<Color>(((*this)[0].Integer(0, 255) << 16) |
                                  ((*this)[1].Integer(0, 255) << 8) | (*this)[2].Integer(0, 255));
    }
    const std::string text = Lower(String());
    for (const auto& [name, color] : kColorNames)
        if (text == name) return color;
    if (text.size() == 7 && text[0] == '#' &&
        std::all_of(text.begin() + 1, text.end(), [](unsigned char c) { return std::isxdigit(c); }))
        return static_cast<Color>(std::stoul(text.substr(1), nullptr, 16));
    Fail("unknown colour \"" + String() +
         "\"; expected \"#RRGGBB\", a name such as red, or [red, green, blue]");
}

}  // namespace xlhost::script
