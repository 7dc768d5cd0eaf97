// OVOReleaseLevel: the release level an administrator gives a patch or a
// managed software application.
//
// The held value always lies in 100..500: constructing from an enumerator or
// an integer, or assigning one, replaces anything outside that range with 200
// (not specified). Values inside the range that name no level (such as 250)
// are kept. Comparisons against an integer convert it the same way first, so
// every out-of-range integer equals 200.
#ifndef ORVACMN_OBJECTS_RELEASE_LEVEL_H_
#define ORVACMN_OBJECTS_RELEASE_LEVEL_H_

#include <cstdint>
#include <type_traits>

#include "ofl/string.h"

namespace orvacmn {

class OVOReleaseLevel {
 public:
  enum EReleaseLevel : int32_t {
    eCancelled = 100,
    eNotSpecified = 200,
    eNotReleased = 300,
    eReleasedForTest = 400,
    eReleased = 500,
  };

  OVOReleaseLevel() = default;
  OVOReleaseLevel(EReleaseLevel level) : value_(Clamp(level)) {}  // NOLINT: implicit by design
  OVOReleaseLevel(int level) : value_(Clamp(level)) {}            // NOLINT: implicit by design
  OVOReleaseLevel(const OVOReleaseLevel&) = default;

  OVOReleaseLevel& operator=(const OVOReleaseLevel&) = default;
  OVOReleaseLevel& operator=(EReleaseLevel level) {
    value_ = Clamp(level);
    return *this;
  }
  // Returns the resulting integer value.
  int operator=(int level) {
    value_ = Clamp(level);
    return ToInt();
  }

  EReleaseLevel Value() const { return static_cast<EReleaseLevel>(Clamp(value_)); }
  int ToInt() const { return Value(); }
  operator int() const { return ToInt(); }  // NOLINT: implicit by design
  // ToInt() in decimal.
  OFL::String ToString() const;
  operator OFL::String() const { return ToString(); }  // NOLINT: implicit by design

  // The level's text in the current resource language; "not specified" for
  // every value that names no level.
  static OFL::String GetTextualDescription(EReleaseLevel level);

  // Both operand orders are spelled out so that no comparison falls back to
  // the built-in int comparison, which would skip the range rule.
  friend bool operator==(const OVOReleaseLevel& a, const OVOReleaseLevel& b) { return a.ToInt() == b.ToInt(); }
  friend bool operator!=(const OVOReleaseLevel& a, const OVOReleaseLevel& b) { return !(a == b); }
  friend bool operator==(const OVOReleaseLevel& a, EReleaseLevel b) { return a == OVOReleaseLevel(b); }
  friend bool operator!=(const OVOReleaseLevel& a, EReleaseLevel b) { return !(a == b); }
  friend bool operator==(EReleaseLevel a, const OVOReleaseLevel& b) { return OVOReleaseLevel(a) == b; }
  friend bool operator!=(EReleaseLevel a, const OVOReleaseLevel& b) { return !(a == b); }
  // Any integer type, so that a long or an unsigned operand does not tie with
  // the built-in comparison; values outside 100..500 count as 200.
  template <class T, class = std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>>
  friend bool operator==(const OVOReleaseLevel& a, T b) { return a == FromInteger(b); }
  template <class T, class = std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>>
  friend bool operator!=(const OVOReleaseLevel& a, T b) { return !(a == FromInteger(b)); }
  template <class T, class = std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>>
  friend bool operator==(T a, const OVOReleaseLevel& b) { return FromInteger(a) == b; }
  template <class T, class = std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>>
  friend bool operator!=(T a, const OVOReleaseLevel& b) { return !(FromInteger(a) == b); }

 private:
  template <class T>
  static OVOReleaseLevel FromInteger(T v) {
    bool inRange;
    if constexpr (std::is_signed_v<T>) {
      inRange = static_cast<int64_t>(v) >= 100 && static_cast<int64_t>(v) <= 500;
    } else {
      inRange = static_cast<uint64_t>(v) >= 100u && static_cast<uint64_t>(v) <= 500u;
    }
    return inRange ? OVOReleaseLevel(static_cast<int>(v)) : OVOReleaseLevel();
  }
  static int32_t Clamp(int32_t v) { return (v < eCancelled || v > eReleased) ? int32_t{eNotSpecified} : v; }

  int32_t value_ = eNotSpecified;
};

}  // namespace orvacmn

#endif  // ORVACMN_OBJECTS_RELEASE_LEVEL_H_
