// Security profiles and console accounts: the two FindRight forms, the caller's name tables, the account rules and
// the text forms.
#include "orvacmn/directory/security_profile.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using orvacmn::OVOSecurityProfile;
using orvacmn::OVOSecurityUserOrGroup;
using orvacmn::String;

TEST(SecurityProfile, FindRightIgnoresCaseOnlyInItsFirstForm) {
  OVOSecurityProfile p;
  p.InsertRight("Jobs", 1);
  p.InsertRight("jobs", 0);
  p.InsertRight("Clients", 7);
  EXPECT_EQ(p.IsAllowed("JOBS"), 1);
  EXPECT_EQ(p.FindRight("JOBS"), &p.GetRights()[0]);
  int32_t allowed = 42;
  EXPECT_EQ(p.FindRight("JOBS", allowed), 0);
  EXPECT_EQ(allowed, 42);
  EXPECT_EQ(p.FindRight("jobs", allowed), 1);
  EXPECT_EQ(allowed, 0);
  EXPECT_EQ(p.IsAllowed("clients"), 7);
  EXPECT_EQ(p.IsAllowed("Missing"), 0);
  EXPECT_EQ(std::as_const(p).FindRight("missing"), nullptr);
}

TEST(SecurityProfile, NameTablesTranslateBothWaysAndSayUnknownOtherwise) {
  const OVOSecurityProfile::RightName table[] = {
      {"F", 7014, 1}, {"R", 7015, 2}, {"r", 7016, 3}, {"X", 99999, 4}, {nullptr, 7017, 0}};
  EXPECT_EQ(OVOSecurityProfile::ShortToLong(table, "R"), "Read");
  EXPECT_EQ(OVOSecurityProfile::ShortToLong(table, "r"), "Change");
  EXPECT_EQ(OVOSecurityProfile::ShortToLong(table, "W"), "Unknown");
  EXPECT_EQ(OVOSecurityProfile::ShortToLong(table, "X"), "");  // a row whose resource does not exist
  EXPECT_EQ(OVOSecurityProfile::ShortToLong(nullptr, "F"), "Unknown");
  EXPECT_EQ(OVOSecurityProfile::LongToShort(table, "full CONTROL"), "F");
  EXPECT_EQ(OVOSecurityProfile::LongToShort(table, "change"), "r");
  EXPECT_EQ(OVOSecurityProfile::LongToShort(table, "Delete"), "Unknown");  // past the end row
  EXPECT_EQ(OVOSecurityProfile::LongToShort(table, ""), "X");
  EXPECT_EQ(OVOSecurityProfile::LongToShort(nullptr, "Read"), "Unknown");
}

TEST(SecurityProfile, TextFormKeepsDuplicatesInOrder) {
  OVOSecurityProfile p;
  EXPECT_EQ(p.Pack(),
            "<SecurityProfile><Name></Name><Comment></Comment><CanAccessOvcUserInformation>0"
            "</CanAccessOvcUserInformation><CanAccessDeviceUserInformation>0</CanAccessDeviceUserInformation>"
            "</SecurityProfile>");
  p.SetName("Admins");
  p.SetComment("a & b");
  p.SetCanAccessDeviceUserInformation(true);
  p.InsertRight("Jobs", 1);
  p.InsertRight("Jobs", -3);
  const OVOSecurityProfile back(p.Pack());
  EXPECT_EQ(back, p);
  EXPECT_TRUE(back.GetCanAccessDeviceUserInformation() && !back.GetCanAccessOvcUserInformation());
  ASSERT_EQ(back.GetRights().size(), 2u);
  EXPECT_EQ(back.GetRights()[1].allowed, -3);

  const OVOSecurityProfile read(
      "<SecurityProfile><canaccessovcuserinformation>-1</canaccessovcuserinformation><RIGHTENTRY><Allowed>2</Allowed>"
      "<Name>B</Name><Allowed>5</Allowed></RIGHTENTRY><RightEntry/><Other/></SecurityProfile>");
  EXPECT_TRUE(read.GetCanAccessOvcUserInformation());
  ASSERT_EQ(read.GetRights().size(), 2u);
  EXPECT_EQ(read.GetRights()[0], (orvacmn::OVOSecurityEntry{"B", 5}));
  EXPECT_EQ(read.GetRights()[1], (orvacmn::OVOSecurityEntry{"", 0}));
  OVOSecurityProfile cleared(read);
  EXPECT_EQ(cleared.Unpack("<Profile/>"), 0);
  EXPECT_EQ(cleared, OVOSecurityProfile());
}

struct Account {
  String text;
  uint32_t type;
  String domain;
  String name;
};

Account Set(const String& text) {
  OVOSecurityUserOrGroup a;
  a.SetUserOrGroup(text);
  return {a.GetUserOrGroup(), a.GetType(), a.GetDomain(), a.GetName()};
}

TEST(SecurityUserOrGroup, SetUserOrGroupRules) {
  const struct {
    const char* in;
    Account out;
  } cases[] = {
      {"*", {"*\\*", 1, "*", "*"}},
      {"**", {"**", 0, "", "**"}},
      {"tenant/dept/alice", {"tenant/dept/alice", 3, "tenant", "alice"}},
      {"/", {"/", 3, "", ""}},
      {"a\\b/c", {"a\\b/c", 3, "a\\b", "c"}},
      {"CORP\\alice", {"CORP\\alice", 0, "CORP", "alice"}},
      {"alice@corp.example", {"alice@corp.example", 0, "corp.example", "alice"}},
      {"CORP\\*", {"CORP\\*", 1, "CORP", "*"}},
      {"%USERDOMAIN%\\%USERNAME%", {"%USERDOMAIN%\\%USERNAME%", 1, "%USERDOMAIN%", "%USERNAME%"}},
      {"  bob ", {"  bob ", 0, "", "bob"}},
      {"", {"", 0, "", ""}},
  };
  for (const auto& c : cases) {
    const Account a = Set(c.in);
    EXPECT_EQ(a.text, c.out.text) << c.in;
    EXPECT_EQ(a.type, c.out.type) << c.in;
    EXPECT_EQ(a.domain, c.out.domain) << c.in;
    EXPECT_EQ(a.name, c.out.name) << c.in;
  }
  OVOSecurityUserOrGroup a;
  a.SetUserOrGroup("x/y");
  a.SetUserOrGroup("CORP\\bob");
  EXPECT_EQ(a.GetType(), OVOSecurityUserOrGroup::eAccount);
  EXPECT_EQ(a.GetAccount().GetAccount(), "CORP\\bob");
  a.SetUserOrGroup("x/y");
  EXPECT_FALSE(a.GetAccount().IsSet());
}

TEST(SecurityUserOrGroup, ProfilesAndTextForm) {
  OVOSecurityUserOrGroup a;
  EXPECT_EQ(a.Pack(), "<SecurityUserOrGroup><Account></Account></SecurityUserOrGroup>");
  a.SetUserOrGroup("*");
  a.InsertSecurityProfile("Admins", 1);
  a.InsertSecurityProfile("Users", 0);
  a.InsertSecurityProfile("admins", 2);
  int index = 7;
  EXPECT_EQ(a.FindSecurityProfile("ADMINS", index), &a.GetSecurityProfiles()[0]);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(a.FindSecurityProfile("users", index)->allowed, 0);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(a.FindSecurityProfile("none", index), nullptr);
  EXPECT_EQ(index, -1);

  const OVOSecurityUserOrGroup back(a.Pack());
  EXPECT_EQ(back, a);
  EXPECT_EQ(back.GetUserOrGroup(), "*\\*");  // read back as it was stored, not widened again
  EXPECT_EQ(back.GetType(), OVOSecurityUserOrGroup::eEnvironmentAccount);

  EXPECT_TRUE(a.RemoveSecurityProfile("USERS"));
  EXPECT_FALSE(a.RemoveSecurityProfile("users"));
  EXPECT_TRUE(a.RemoveSecurityProfile("admins"));
  ASSERT_EQ(a.GetSecurityProfiles().size(), 1u);
  EXPECT_EQ(a.GetSecurityProfiles()[0].allowed, 2);

  const OVOSecurityUserOrGroup read(
      "<SecurityUserOrGroup><profileentry><Name>P</Name><Allowed>1</Allowed></profileentry>"
      "<ACCOUNT>org/unit</ACCOUNT></SecurityUserOrGroup>");
  EXPECT_EQ(read.GetType(), OVOSecurityUserOrGroup::ePath);
  EXPECT_EQ(read.GetName(), "unit");
  ASSERT_EQ(read.GetSecurityProfiles().size(), 1u);
  OVOSecurityUserOrGroup cleared(read);
  EXPECT_EQ(cleared.Unpack("<UserOrGroup/>"), 0);
  EXPECT_EQ(cleared, OVOSecurityUserOrGroup());
}

}  // namespace
