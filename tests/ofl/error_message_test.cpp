#include "ofl/error_message.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using OFL::ErrorMessage::TranslateValue;

TEST(ErrorMessage, Win32Codes) {
  EXPECT_EQ(TranslateValue(0u), "The operation completed successfully.");
  EXPECT_EQ(TranslateValue(2u), "The system cannot find the file specified.");
  EXPECT_EQ(TranslateValue(3u), "The system cannot find the path specified.");
  EXPECT_EQ(TranslateValue(5u), "Access is denied.");
  EXPECT_EQ(TranslateValue(6u), "The handle is invalid.");
  EXPECT_EQ(TranslateValue(32u), "The process cannot access the file because it is being used by another process.");
  EXPECT_EQ(TranslateValue(87u), "The parameter is incorrect.");
  EXPECT_EQ(TranslateValue(112u), "There is not enough space on the disk.");
  EXPECT_EQ(TranslateValue(183u), "Cannot create a file when that file already exists.");
  EXPECT_EQ(TranslateValue(1168u), "Element not found.");
  EXPECT_EQ(TranslateValue(1223u), "The operation was canceled by the user.");
  EXPECT_EQ(TranslateValue(1460u), "This operation returned because the timeout period expired.");
}

TEST(ErrorMessage, HResults) {
  EXPECT_EQ(TranslateValue(0x80004005u), "Unspecified error");
  EXPECT_EQ(TranslateValue(OFL::E_FAIL_), "Unspecified error");
  EXPECT_EQ(TranslateValue(0x80004001u), "Not implemented");
  EXPECT_EQ(TranslateValue(0x80004002u), "No such interface supported");
  EXPECT_EQ(TranslateValue(0x80004003u), "Invalid pointer");
  EXPECT_EQ(TranslateValue(0x80004004u), "Operation aborted");
  EXPECT_EQ(TranslateValue(0x8000FFFFu), "Catastrophic failure");
  EXPECT_EQ(TranslateValue(0x80040154u), "Class not registered");
  EXPECT_EQ(TranslateValue(OFL::S_OK_), TranslateValue(0u));
}

TEST(ErrorMessage, WrappedWin32CodesUseTheWin32Text) {
  for (uint32_t code : {0u, 2u, 5u, 8u, 13u, 14u, 50u, 53u, 87u, 122u, 1722u}) {
    EXPECT_EQ(TranslateValue(0x80070000u | code), TranslateValue(code)) << code;
  }
  EXPECT_EQ(TranslateValue(0x80070057u), "The parameter is incorrect.");
  EXPECT_EQ(TranslateValue(0x800706BAu), "The RPC server is unavailable.");
  EXPECT_EQ(TranslateValue(0x8007000Eu), TranslateValue(14u));
}

TEST(ErrorMessage, UnknownCodes) {
  EXPECT_EQ(TranslateValue(0x12345678u), "Unknown error 0x12345678");
  EXPECT_EQ(TranslateValue(0x8007FFFFu), "Unknown error 0x8007FFFF");
  EXPECT_EQ(TranslateValue(0xFFFFu), "Unknown error 0x0000FFFF");
  EXPECT_EQ(TranslateValue(0xFFFFFFFFu), "Unknown error 0xFFFFFFFF");
  EXPECT_EQ(TranslateValue(-1), "Unknown error 0xFFFFFFFF");
  EXPECT_EQ(TranslateValue(0x00070005u), "Unknown error 0x00070005");
}

TEST(ErrorMessage, EveryTextIsOneCleanLine) {
  for (uint32_t code = 0; code < 12000; ++code) {
    const std::string t = TranslateValue(code);
    ASSERT_FALSE(t.empty());
    ASSERT_EQ(t.find_first_of("\r\n"), std::string::npos) << code;
    ASSERT_NE(t.back(), ' ') << code;
  }
}

}  // namespace
