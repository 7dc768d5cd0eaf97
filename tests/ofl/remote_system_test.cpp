// Remote systems: fully qualified names, lookups without a network (addresses, localhost, failures) and
// computer-name rules.
#include "ofl/remote_system.h"

#include <gtest/gtest.h>

namespace {

TEST(RemoteSystem, FullyQualifiedName) {
  const char* cases[][3] = {
      {"pc", "corp.example", "pc.corp.example"}, {"pc", "", "pc"},       {"pc.other", "corp", "pc.other"},
      {"10.0.0.1", "corp", "10.0.0.1"},          {"", "corp", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(OFLRemoteSystem(c[0], c[1], 0).GetFQDN(), c[2]) << c[0];
}

TEST(RemoteSystem, Lookups) {
  OFLRemoteSystem r("10.0.0.7", "corp", 0);
  EXPECT_TRUE(r.IsSet() && r.GetAddresses().empty());
  r.Set("10.0.0.7", "corp", OFLRemoteSystem::kResolve);
  EXPECT_EQ(r.GetAllAddresses(), "10.0.0.7");
  // Falls back to the bare name when the qualified one is unknown.
  r.Set("localhost", "no-such-domain.invalid", OFLRemoteSystem::kResolve);
  EXPECT_EQ(r.GetAddress(), "127.0.0.1");
  r.Set("no-such-host.invalid", "", OFLRemoteSystem::kResolve);
  EXPECT_TRUE(r.GetAddress().empty() && r.GetFQDN() == "no-such-host.invalid");
  r.Set("", "", OFLRemoteSystem::kResolve);
  EXPECT_TRUE(r.IsSet() && r.GetAllAddresses().empty());
  r.Reset();
  EXPECT_FALSE(r.IsSet());
  EXPECT_TRUE(OFLRemoteSystem::Resolve(std::string("a\0b", 3), std::chrono::milliseconds(10)).empty());
}

TEST(RemoteSystem, NetbiosNames) {
  for (const char* ok : {"PC-01", "a", "ABCDEFGHIJKLMNO", "1a", "x_y$"})
    EXPECT_TRUE(OFL::Tools::IsValidNetbiosName(ok)) << ok;
  for (const char* bad : {"", "ABCDEFGHIJKLMNOP", "123", "pc.corp", "a b", "a*b", "a\\b", "a,b", "a\tb"})
    EXPECT_FALSE(OFL::Tools::IsValidNetbiosName(bad)) << bad;
}

}  // namespace
