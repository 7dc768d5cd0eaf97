// CFileTime: a point in time as the object store stamps its records, the
// count of 100-nanosecond intervals since 1601-01-01 00:00 UTC.
//
// Plain value; any thread.
#ifndef ORVACMN_COMMON_FILE_TIME_H_
#define ORVACMN_COMMON_FILE_TIME_H_

#include <chrono>
#include <compare>
#include <cstdint>

namespace orvacmn {

class CFileTime {
 public:
  // From 1601-01-01 to 1970-01-01, in 100-nanosecond units.
  static constexpr uint64_t kUnixEpoch = 116444736000000000ULL;

  constexpr CFileTime() = default;
  constexpr CFileTime(uint64_t time) : time_(time) {}  // NOLINT: a stamp is its count
  constexpr CFileTime(uint32_t high, uint32_t low) : time_((uint64_t{high} << 32) | low) {}

  constexpr uint64_t GetTime() const { return time_; }
  constexpr void SetTime(uint64_t time) { time_ = time; }
  constexpr uint32_t GetHigh() const { return static_cast<uint32_t>(time_ >> 32); }
  constexpr uint32_t GetLow() const { return static_cast<uint32_t>(time_); }

  // The system clock now.
  static CFileTime GetCurrentTime() {
    const auto since1970 = std::chrono::system_clock::now().time_since_epoch();
    const auto units = std::chrono::duration_cast<std::chrono::duration<int64_t, std::ratio<1, 10000000>>>(since1970);
    return CFileTime(kUnixEpoch + static_cast<uint64_t>(units.count()));
  }

  friend constexpr auto operator<=>(const CFileTime&, const CFileTime&) = default;

 private:
  uint64_t time_ = 0;
};

}  // namespace orvacmn

#endif  // ORVACMN_COMMON_FILE_TIME_H_
