// A description of every named settings-record field, for tools that show a
// record (the host's `devmode show`) and for tests that walk the layout.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "settings/settings_record.h"

namespace xlr {

enum class FieldKind { U32, I32, I16, F32, WideText, NarrowText, Bytes, U32Array, F32Array };

struct RecordField {
    std::string_view name;
    size_t offset;
    size_t size;
    FieldKind kind;
};

std::span<const RecordField> RecordFields();

// The field's value as text: numbers in decimal (and hexadecimal for words
// above 0xFFFF), texts quoted, byte blocks in hexadecimal.
std::string FormatField(const SettingsRecord& record, const RecordField& field);

}  // namespace xlr
