// The PCL XL operators in spooled bytes, read back by the stream reader.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "pclxl/reader/stream_reader.h"

namespace xltest {

using xlr::reader::Operator;

// Keeps a copy of the bytes, which the operators' values refer to. Bytes that
// do not read fail the test and leave no operators.
class SpooledOperators {
  public:
    explicit SpooledOperators(std::string_view spooled);
    SpooledOperators(const SpooledOperators&) = delete;  // a copy would refer to these bytes
    SpooledOperators(SpooledOperators&&) = default;
    SpooledOperators& operator=(SpooledOperators&&) = default;

    const std::vector<Operator>& all() const { return operators_; }
    size_t size() const { return operators_.size(); }
    const Operator& operator[](size_t i) const { return operators_.at(i); }
    std::vector<uint8_t> Tags() const;
    size_t Count(uint8_t tag) const;
    // The nth operator with `tag`, or null.
    const Operator* Find(uint8_t tag, size_t nth = 0) const;

  private:
    std::vector<uint8_t> bytes_;
    std::vector<Operator> operators_;
};

// Element i of an attribute as an integer, or -1 when the operator lacks it.
int64_t AttributeValue(const Operator& op, uint16_t id, size_t i = 0);
// The raw bytes of an attribute's value (empty when absent).
std::vector<uint8_t> AttributeBytes(const Operator& op, uint16_t id);

}  // namespace xltest
