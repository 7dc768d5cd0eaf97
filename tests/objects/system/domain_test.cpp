// Domains: a record of another program survives a load and a save; names and
// service accounts are recognised.
#include "orvacmn/system/domain.h"

#include <gtest/gtest.h>

namespace orvacmn {
namespace {

TEST(Domain, ForeignElementsSurviveALoadAndASave) {
  const String foreign =
      "<Domain><guid>D-1</guid><Controller a=\"1\"><Host>dc1</Host></Controller><Name>CORP</Name>"
      "<Note>x &amp; y</Note><ServiceAccounts>svc-ovs; CORP\\ovsinstall</ServiceAccounts></Domain>";
  OVODomain d(foreign);
  EXPECT_EQ(d.GetGuid(), "D-1");
  EXPECT_EQ(d.GetName(), "CORP");
  EXPECT_EQ(d.GetDNSName(), "");
  ASSERT_EQ(d.GetForeignElements().size(), 2u);
  const String packed = d.Pack();
  EXPECT_EQ(packed,
            "<Domain><GUID>D-1</GUID><Name>CORP</Name><DNSName></DNSName><ServiceAccounts>svc-ovs; "
            "CORP\\ovsinstall</ServiceAccounts><Controller a=\"1\"><Host>dc1</Host></Controller>"
            "<Note>x &amp; y</Note></Domain>");
  EXPECT_EQ(OVODomain(packed), d);
  EXPECT_EQ(OVODomain(packed).Pack(), packed);

  EXPECT_EQ(d.Unpack("<Domains/>"), 0);
  EXPECT_EQ(d, OVODomain());
}

TEST(Domain, NamesAndServiceAccounts) {
  OVODomain d;
  d.SetName("CORP");
  d.SetDNSName("corp.example.com.");
  d.SetServiceAccounts("svc-ovs;;CORP\\OvsInstall ; deploy@corp.example.com");
  EXPECT_TRUE(d.IsNamed("corp"));
  EXPECT_TRUE(d.IsNamed("CORP.example.com"));
  EXPECT_TRUE(d.IsNamed("corp.example.com."));
  EXPECT_FALSE(d.IsNamed("corp.example"));
  EXPECT_FALSE(d.IsNamed(""));
  EXPECT_FALSE(OVODomain().IsNamed(""));
  EXPECT_TRUE(d.HasServiceAccount("SVC-OVS"));
  EXPECT_TRUE(d.HasServiceAccount("ovsinstall"));
  EXPECT_TRUE(d.HasServiceAccount("deploy"));
  EXPECT_FALSE(d.HasServiceAccount("svc"));
  EXPECT_FALSE(d.HasServiceAccount(""));

  EXPECT_EQ(AccountName("CORP\\anna"), "anna");
  EXPECT_EQ(AccountDomain("CORP\\anna"), "CORP");
  EXPECT_EQ(AccountName("anna@corp.example.com"), "anna");
  EXPECT_EQ(AccountDomain("anna@corp.example.com"), "corp.example.com");
  EXPECT_EQ(AccountName("anna"), "anna");
  EXPECT_EQ(AccountDomain("anna"), "");
}

}  // namespace
}  // namespace orvacmn
