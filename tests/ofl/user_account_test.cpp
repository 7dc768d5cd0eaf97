// User accounts: the account forms, the environment bits and the packed text with hostile input.
#include "ofl/user_account.h"

#include <gtest/gtest.h>

#include "ofl/tokenizer.h"

namespace {

TEST(UserAccount, Forms) {
  struct Case {
    const char* text;
    const char* domain;
    const char* user;
    const char* account;
    uint32_t env;
  };
  const Case cases[] = {
      {"DOM\\ann", "DOM", "ann", "DOM\\ann", 0},
      {"  ann@corp.example ", "corp.example", "ann", "corp.example\\ann", 0},
      {"ann", "", "ann", "ann", 0},
      {"@ann", "", "@ann", "@ann", 0},
      {"a\\b\\c", "a", "b\\c", "a\\b\\c", 0},
      {"*\\*", "*", "*", "*\\*", OFLUserAccount::kEnvWildcard},
      {"%USERDOMAIN%\\%USERNAME%", "%USERDOMAIN%", "%USERNAME%", "%USERDOMAIN%\\%USERNAME%",
       OFLUserAccount::kEnvVariable},
      {"DOM\\", "DOM", "", "DOM\\", 0},
  };
  for (const Case& c : cases) {
    const OFLUserAccount a(c.text, "pw");
    EXPECT_EQ(a.GetDomain(), c.domain) << c.text;
    EXPECT_EQ(a.GetUser(), c.user) << c.text;
    EXPECT_EQ(a.GetAccount(), c.account) << c.text;
    EXPECT_EQ(a.GetEnvironment(), c.env) << c.text;
    EXPECT_EQ(a.IsSet(), *c.user != '\0') << c.text;
  }
}

TEST(UserAccount, PackRoundTripsAndRefusesOtherTexts) {
  OFLUserAccount a("D;x\\u:1", "p\\a;ss\n"), b;
  ASSERT_TRUE(b.Unpack(a.Pack()));
  EXPECT_TRUE(a == b && b.GetPassword() == "p\\a;ss\n");
  EXPECT_TRUE(OFLUserAccount().Pack().empty() && b.Unpack("") && !b.IsSet());
  OFLTokenizer other;
  for (const char* e : {"XX", "D", "u", "p"}) other.AddString(e);
  for (const std::string& bad : {std::string("DOM\\ann"), std::string("4:UA1"), other.AsLengthPackedString(),
                                 a.Pack() + "1:x", a.Pack().substr(1)}) {
    b.SetAccount("x\\y", "z");
    EXPECT_FALSE(b.Unpack(bad)) << bad;
    EXPECT_TRUE(b == OFLUserAccount()) << bad;
  }
}

}  // namespace
