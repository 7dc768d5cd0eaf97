// Sets the process's time zone for one scope and restores the previous one.
#ifndef ORVACMN_TESTS_COMMON_TZ_H_
#define ORVACMN_TESTS_COMMON_TZ_H_

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace orvacmn::testing {

// +1; +2 from the last Sunday of March 02:00 to the last Sunday of October 03:00.
inline constexpr const char* kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";

class ScopedTZ {
 public:
  explicit ScopedTZ(const char* tz) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ScopedTZ() {
    old_ ? setenv("TZ", old_->c_str(), 1) : unsetenv("TZ");
    tzset();
  }
  ScopedTZ(const ScopedTZ&) = delete;

 private:
  std::optional<std::string> old_;
};

}  // namespace orvacmn::testing

#endif  // ORVACMN_TESTS_COMMON_TZ_H_
