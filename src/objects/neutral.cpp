#include "orvacmn/objects/neutral.h"

namespace orvacmn {

template class BaseIsNeutral<uint32_t>;
template class BaseIsNeutral<int64_t>;
template class BaseIsNeutral<String>;
template class NoNeutral<uint32_t>;
template class SpecialValueNeutral<uint32_t>;
template class SpecialValueNeutral<int64_t>;

bool ChangedPropertyHelper::ValueHasChanged(uint32_t newValue, uint32_t oldValue, uint32_t neutral) {
  return newValue != neutral && newValue != oldValue;
}

bool ChangedPropertyHelper::ValueHasChanged(int64_t newValue, int64_t oldValue, int64_t neutral) {
  return newValue != neutral && newValue != oldValue;
}

bool ChangedPropertyHelper::ValueHasChanged(const String& newValue, const String& oldValue,
                                            bool emptyIsNeutral) {
  if (emptyIsNeutral && newValue.empty()) return false;
  return newValue != oldValue;
}

}  // namespace orvacmn
