// The entries of a property bag in iteration order, for comparing whole bags.
#ifndef ORVACMN_TESTS_OBJECTS_BAG_ENTRIES_H_
#define ORVACMN_TESTS_OBJECTS_BAG_ENTRIES_H_

#include <utility>
#include <vector>

#include "orvacmn/objects/properties.h"

namespace orvacmn::test_util {

using Pairs = std::vector<std::pair<String, String>>;

template <class Bag>
Pairs Entries(const Bag& bag) {
  Pairs out;
  for (const auto& [name, value] : bag) out.emplace_back(name, value);
  return out;
}

}  // namespace orvacmn::test_util

#endif  // ORVACMN_TESTS_OBJECTS_BAG_ENTRIES_H_
