// The groups the user belongs to, as two ";"-separated lists that fit the
// settings record's two 79-character fields.
#pragma once

#include <utility>
#include <vector>

#include <windows.h>

#include "settings/wide_text.h"

namespace xlr {

constexpr size_t kGroupListCapacity = 80;  // units, terminator included

struct GroupLists {
    WideString first;
    WideString second;
};

// Arranges group names, each with its index in the membership list, into the
// two lists: every name after index 0 is preceded by ";"; the first list takes
// names while it stays under 80 units, then the second; a name that does not
// fit the second ends the lists.
GroupLists ArrangeGroupLists(const std::vector<std::pair<DWORD, WideString>>& groups);

// The current user's group membership as Group Policy records it under the
// user's key (Count, then Group0, Group1 ... as text security identifiers);
// only accounts of the group kind are taken.
GroupLists ReadGroupLists();

}  // namespace xlr
