// Reading a job script's JSON values with the place of each in the script, so
// that every complaint says where: "pages[1].calls[3].rect: expected 4 numbers".
#pragma once

#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "host/player/document.h"

namespace xlhost::script {

// Thrown inside the script reader only; the reader turns it into its result.
class ScriptError : public std::runtime_error {
  public:
    ScriptError(const std::string& place, const std::string& message)
        : std::runtime_error(place.empty() ? message : place + ": " + message) {}
};

// A value of the script and where it is.
class Value {
  public:
    Value(const nlohmann::json& json, std::string place) : json_(&json), place_(std::move(place)) {}

    const nlohmann::json& json() const { return *json_; }
    const std::string& place() const { return place_; }
    [[noreturn]] void Fail(const std::string& message) const { throw ScriptError(place_, message); }

    // Members of an object. Unknown keys are refused, so that a misspelt key is
    // not silently ignored.
    void ExpectObject(std::initializer_list<std::string_view> keys) const;
    bool Has(std::string_view key) const;
    Value operator[](std::string_view key) const;  // the member; fails when absent
    std::optional<Value> Find(std::string_view key) const;

    // Elements of an array.
    size_t ExpectArray(size_t minimum = 0) const;  // the element count
    Value operator[](size_t index) const;

    double Number() const;
    long Integer(long low, long high) const;
    bool Bool() const;
    std::string String() const;                 // UTF-8 as written
    std::u16string Text(size_t maximum) const;  // UTF-16, at most `maximum` units
    // One of the names of the table (without regard to case).
    template <typename T, size_t N>
    T Choice(const std::pair<std::string_view, T> (&table)[N]) const;

    Point AsPoint() const;  // [x, y]
    Rect AsRect() const;    // [left, top, right, bottom]
    Color AsColor() const;  // "#RRGGBB", a colour name, or [r, g, b]

  private:
    const nlohmann::json* json_;
    std::string place_;
};

std::string Lower(std::string_view text);

template <typename T, size_t N>
T Value::Choice(const std::pair<std::string_view, T> (&table)[N]) const {
    const std::string wanted = Lower(String());
    std::string names;
    for (const auto& [name, value] : table) {
        if (wanted == name) return value;
        names += names.empty() ? "" : ", ";
        names += name;
    }
    Fail("unknown value \"" + String() + "\"; expected one of " + names);
}

}  // namespace xlhost::script
