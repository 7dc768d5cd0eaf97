// OVO::ILogger: where the few operations of the library that log write their
// entries. Callers implement it (a service log, a console, a test's list);
// the library writes no log of its own.
//
// Called on the thread of the operation that logs; an implementation shared
// between threads synchronises itself.
#ifndef ORVACMN_COMMON_LOGGER_H_
#define ORVACMN_COMMON_LOGGER_H_

#include <cstdint>

#include "orvacmn/common/types.h"

namespace orvacmn::OVO {

class ILogger {
 public:
  // Levels the library uses.
  static constexpr uint32_t kError = 0x4;
  static constexpr uint32_t kProgress = 0x100;
  static constexpr uint32_t kDetail = 0x200;
  static constexpr uint32_t kTrace = 0x400;

  virtual ~ILogger() = default;
  // One entry: its level, the text the caller gave the logging object (who
  // asked, say a client's address) and the entry's text.
  virtual void Log(uint32_t level, const String& context, const String& text) = 0;
};

}  // namespace orvacmn::OVO

#endif  // ORVACMN_COMMON_LOGGER_H_
