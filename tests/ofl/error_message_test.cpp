#include "ofl/error_message.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using OFL::ErrorMessage::TranslateValue;

TEST(ErrorMessage, KnownAndUnknownCodes) {
  struct Case { uint32_t code; const char* text; } const cases[] = {
      {0, "The operation completed successfully."}, {2, "The system cannot find the file specified."},
      {5, "Access is denied."}, {32, "The process cannot access the file because it is being used by another process."},
      {1460, "This operation returned because the timeout period expired."}, {0x80004005, "Unspecified error"},
      {0x80004001, "Not implemented"}, {0x8000FFFF, "Catastrophic failure"}, {0x80040154, "Class not registered"},
      // 0x8007xxxx wraps a Win32 error.
      {0x80070057, "The parameter is incorrect."}, {0x800706BA, "The RPC server is unavailable."},
      {0x12345678, "Unknown error 0x12345678"}, {0x8007FFFF, "Unknown error 0x8007FFFF"},
      {0xFFFF, "Unknown error 0x0000FFFF"}, {0xFFFFFFFF, "Unknown error 0xFFFFFFFF"},
      {0x00070005, "Unknown error 0x00070005"},
  };
  for (const Case& c : cases) EXPECT_EQ(TranslateValue(c.code), c.text) << std::hex << c.code;
  EXPECT_EQ(TranslateValue(OFL::E_FAIL_), "Unspecified error");
  EXPECT_EQ(TranslateValue(OFL::S_OK_), TranslateValue(0u));
  EXPECT_EQ(TranslateValue(-1), "Unknown error 0xFFFFFFFF");
}

TEST(ErrorMessage, EveryTextIsOneCleanLineAndWrappedCodesUseTheWin32Text) {
  for (uint32_t code = 0; code < 12000; ++code) {
    const std::string t = TranslateValue(code);
    ASSERT_FALSE(t.empty());
    ASSERT_EQ(t.find_first_of("\r\n"), std::string::npos) << code;
    ASSERT_NE(t.back(), ' ') << code;
    if (t.rfind("Unknown error", 0) != 0) {
      EXPECT_EQ(TranslateValue(0x80070000u | code), t) << code;
    }
  }
}

}  // namespace
