#include "support/spooled_operators.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace xltest {

SpooledOperators::SpooledOperators(std::string_view spooled)
    : bytes_(spooled.begin(), spooled.end()) {
    auto result = xlr::reader::ReadOperators(bytes_, 0);
    if (auto* error = std::get_if<xlr::reader::ReadError>(&result))
        ADD_FAILURE() << "PCL XL does not read at " << error->offset << ": " << error->message;
    else
        operators_ = std::move(std::get<std::vector<Operator>>(result));
}

std::vector<uint8_t> SpooledOperators::Tags() const {
    std::vector<uint8_t> tags;
    for (const Operator& op : operators_) tags.push_back(op.tag);
    return tags;
}

size_t SpooledOperators::Count(uint8_t tag) const {
    return size_t(std::count_if(operators_.begin(), operators_.end(),
                                [&](const Operator& op) { return op.tag == tag; }));
}

const Operator* SpooledOperators::Find(uint8_t tag, size_t nth) const {
    for (const Operator& op : operators_)
        if (op.tag == tag && nth-- == 0) return &op;
    return nullptr;
}

int64_t AttributeValue(const Operator& op, uint16_t id, size_t i) {
    const xlr::reader::Attribute* attribute = op.Find(id);
    return attribute != nullptr && i < attribute->value.count ? attribute->value.Integer(i) : -1;
}

std::vector<uint8_t> AttributeBytes(const Operator& op, uint16_t id) {
    const xlr::reader::Attribute* attribute = op.Find(id);
    if (attribute == nullptr) return {};
    return {attribute->value.raw.begin(), attribute->value.raw.end()};
}

}  // namespace xltest
