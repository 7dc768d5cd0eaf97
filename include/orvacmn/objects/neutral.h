// Neutral values and change detection for merging reported properties.
//
// When a client reports a value for a stored property, the value is taken
// only if it is not neutral by the property's policy and differs from the
// stored one. A policy answers IsNeutral for one value type.
#ifndef ORVACMN_OBJECTS_NEUTRAL_H_
#define ORVACMN_OBJECTS_NEUTRAL_H_

#include <cstdint>
#include <type_traits>

#include "ofl/string.h"

namespace orvacmn {

using String = OFL::String;

// The policies' common interface (unsigned 32-bit, String, signed 64-bit).
template <class T>
class BaseIsNeutral {
 public:
  virtual ~BaseIsNeutral() = default;
  virtual bool IsNeutral(const T& value) const = 0;
};

// The empty String is neutral.
class EmptyStringNeutral : public BaseIsNeutral<String> {
 public:
  bool IsNeutral(const String& value) const override { return value.empty(); }
};

// No value is neutral.
template <class T>
class NoNeutral : public BaseIsNeutral<T> {
 public:
  bool IsNeutral(const T&) const override { return false; }
};

// The value given at construction is neutral.
template <class T>
class SpecialValueNeutral : public BaseIsNeutral<T> {
 public:
  explicit SpecialValueNeutral(const T& special) : special_(special) {}
  bool IsNeutral(const T& value) const override { return value == special_; }
  const T& GetSpecialValue() const { return special_; }

 private:
  T special_;
};

extern template class BaseIsNeutral<uint32_t>;
extern template class BaseIsNeutral<int64_t>;
extern template class BaseIsNeutral<String>;
extern template class NoNeutral<uint32_t>;
extern template class SpecialValueNeutral<uint32_t>;
extern template class SpecialValueNeutral<int64_t>;

class ChangedPropertyHelper {
 public:
  // False when the new value is the neutral one; else whether it differs.
  static bool ValueHasChanged(uint32_t newValue, uint32_t oldValue, uint32_t neutral);
  static bool ValueHasChanged(int64_t newValue, int64_t oldValue, int64_t neutral);
  // The same rule for three values of any other integer type (a caller's
  // long long or unsigned long would otherwise tie between the two above).
  template <class I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, bool> && !std::is_same_v<I, uint32_t> &&
             !std::is_same_v<I, int64_t>)
  static bool ValueHasChanged(I newValue, I oldValue, I neutral) {
    return newValue != neutral && newValue != oldValue;
  }
  // False when the new value is empty and empty counts as neutral; else
  // whether it differs, with case respected.
  static bool ValueHasChanged(const String& newValue, const String& oldValue, bool emptyIsNeutral);
};

}  // namespace orvacmn

#endif  // ORVACMN_OBJECTS_NEUTRAL_H_
