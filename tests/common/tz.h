// Sets the process's time zone for one scope and restores the previous one.
#ifndef ORVACMN_TESTS_COMMON_TZ_H_
#define ORVACMN_TESTS_COMMON_TZ_H_

#include <cstdlib>
#include <ctime>
#include <string>

namespace orvacmn::testing {

// +1; +2 from the last Sunday of March 02:00 to the last Sunday of October 03:00.
inline constexpr const char* kCentralEurope = "Europe/Berlin";

class ScopedTZ {
 public:
  explicit ScopedTZ(const char* tz) : had_(std::getenv("TZ") != nullptr), old_(had_ ? std::getenv("TZ") : "") {
    Set(tz);
  }
  ~ScopedTZ() { Set(had_ ? old_.c_str() : nullptr); }
  ScopedTZ(const ScopedTZ&) = delete;

 private:
  static void Set(const char* tz) {
    tz ? setenv("TZ", tz, 1) : unsetenv("TZ");
    tzset();
  }
  const bool had_;
  const std::string old_;
};

}  // namespace orvacmn::testing

#endif  // ORVACMN_TESTS_COMMON_TZ_H_
