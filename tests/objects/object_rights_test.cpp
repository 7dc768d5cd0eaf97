// Access lists: entries by profile, the packed form, supported special rights, their names and short names.
#include "orvacmn/objects/object_rights.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "ofl/tools.h"
#include "orvacmn/objects/known_guids.h"

namespace {

using orvacmn::OVOObjectRights;
using orvacmn::SecurableObjectInfo;
using orvacmn::String;
using R = OVOObjectRights;

constexpr char kNoAut[] = "E1CE0953-CDAA-4609-B962-9B1F75B23CEE";
constexpr char kP1[] = "11111111-2222-3333-4444-555555555555";
constexpr char kP2[] = "AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE";

String Rights(const String& body) { return "<ObjectRights>" + body + "</ObjectRights>"; }
String Entry(const String& profile, const String& rights) {
  return "<AccessEntry><SecurityProfile>" + profile + "</SecurityProfile><Rights>" + rights + "</Rights></AccessEntry>";
}
OVOObjectRights Make(std::initializer_list<std::pair<const char*, uint32_t>> entries) {
  OVOObjectRights r;
  for (const auto& [profile, rights] : entries) r.SetRights(profile, rights);
  return r;
}
// "inherited/effective:" then "profile=rights," per entry in list order, numbers in hex.
String Dump(const OVOObjectRights& r) {
  std::ostringstream out;
  out << std::hex << std::uppercase << r.GetInheritedFlag() << "/" << r.EffectiveRights() << ":";
  for (const auto& e : r.GetAccessEntries()) out << e->GetSecurityProfile() << "=" << e->GetRights() << ",";
  return out.str();
}

TEST(ObjectRightsList, DefaultsWideningProfilesIgnoreCaseOrderDeleteEffectiveAndGetRights) {
  OVOObjectRights r;
  EXPECT_TRUE(r.GetObjectName() == "ObjectRights" && r.GetSchema() == 0x50001u);
  EXPECT_EQ(Dump(r), "1/F:");
  // Without bit 0x1 the value is stored as given, the high bit included.
  const uint32_t widened[][2] = {{0x3, 0x7FFFFFFF},         {0x1, 0x7FFFFFFF},         {0x80000001u, 0xFFFFFFFFu},
                                 {0x80000002u, 0x80000002u}, {0x7FFFFFFE, 0x7FFFFFFE}, {0, 0}};
  for (const auto& c : widened) EXPECT_EQ(r.SetRights(kP1, c[0])->GetRights(), c[1]) << std::hex << c[0];

  r = Make({{"abc-def", 0x2}, {"a", 0x4}, {"b", 0x8}});
  R::_AccessEntry* first = r.FindAccessEntry("Abc-Def");
  EXPECT_EQ(r.SetRights("ABC-DEF", 0x10), first) << "replaces in place, the first spelling stays";
  EXPECT_EQ(Dump(r), "1/F:abc-def=10,a=4,b=8,");
  EXPECT_EQ(std::as_const(r).FindAccessEntry("ABC-def"), first);
  EXPECT_TRUE(r.FindAccessEntry("abc-de") == nullptr && r.FindAccessEntry("") == nullptr);
  EXPECT_TRUE(!r.DeleteAccessEntry("x") && r.DeleteAccessEntry("A") && !r.DeleteAccessEntry("a") &&
              !r.FindAccessEntry("a"));
  r.SetRights("a", 0x40);  // added again, it goes to the end
  EXPECT_EQ(Dump(r), "1/F:abc-def=10,b=8,a=40,");
  for (const char* p : {"a", "abc-def", "b"}) EXPECT_TRUE(r.DeleteAccessEntry(p)) << p;
  EXPECT_TRUE(r.IsEmpty() && r.GetRights("b") == 0x1u);

  // The first entry restarts Effective from 0; the widened value is what is ORed in.
  const std::tuple<const char*, uint32_t, bool, uint32_t> steps[] = {
      {kP1, 0x2, false, 0}, {kP2, 0x8, true, 0x8}, {"other", 0x40, false, 0x8}, {kP1, 0x1, true, 0x7FFFFFFF}};
  for (const auto& [profile, rights, add, effective] : steps) {
    r.SetRightsEx(profile, rights, add);
    EXPECT_EQ(r.EffectiveRights(), effective) << profile;
  }

  for (const char* p : {"", kP1, ";;"}) EXPECT_EQ(OVOObjectRights().GetRights(p), 0x1u) << "no entries: Full control";
  r = Make({{kP1, 0x2}, {kP2, 0x1000}, {"third", 0x4}});
  const std::pair<String, uint32_t> cases[] = {
      {"", 0}, {"unknown", 0}, {kP1, 0x2}, {String(kP1) + ";" + kP2, 0x1002}, {String(kP1) + ";" + kP1, 0x2},
      {";" + OFL::ToLower(kP2) + ";;unknown;THIRD;", 0x1004},
      {String(kP1) + "," + kP2, 0},  // the separator is ";" only
  };
  for (const auto& [profiles, want] : cases) EXPECT_EQ(r.GetRights(profiles), want) << profiles;
}

TEST(ObjectRightsList, CopyIsDeepAndIndexedEquality) {
  OVOObjectRights a;
  a.SetInheritedFlag(false);
  a.SetRightsEx("p", 0x2, true);
  a.SetRights("q", 0x4);
  OVOObjectRights b(a);
  EXPECT_EQ(a, b);
  b.FindAccessEntry("P")->SetRights(0x8);  // the copy's index points into the copy
  EXPECT_TRUE(Dump(a) == "0/2:p=2,q=4," && a != b);
  OVOObjectRights c = Make({{"stale", 0x2}});
  c = a;
  EXPECT_EQ(Dump(c), "0/2:p=2,q=4,");
  EXPECT_TRUE(c.DeleteAccessEntry("q") && Dump(a) == "0/2:p=2,q=4,");

  const OVOObjectRights x = Make({{"x", 2}, {"y", 4}});
  EXPECT_TRUE(x != Make({{"y", 4}, {"x", 2}}) && x != Make({{"x", 2}, {"y", 4}, {"z", 0}})) << "order and count matter";
  OVOObjectRights y = Make({{"X", 2}, {"Y", 4}});
  EXPECT_EQ(x, y) << "profiles compare without regard to case";
  y.SetInheritedFlag(false);
  EXPECT_NE(x, y);
  EXPECT_EQ(x, OVOObjectRights(Rights("<Effective>15</Effective>" + Entry("x", "2") + Entry("y", "4"))));
  EXPECT_NE(x, OVOObjectRights(Rights("<Effective>7</Effective>" + Entry("x", "2") + Entry("y", "4"))));
}

TEST(ObjectRightsPack, ExactFormFlagsOnlyWithEntriesAndRoundTrip) {
  OVOObjectRights r = Make({{kP1, 0x1002}, {"a<b&c", 0x3}});
  const String entries = Entry(kP1, "4098") + Entry("a&lt;b&amp;c", "2147483647");
  EXPECT_EQ(r.Pack(), Rights("<Inherited>1</Inherited><Effective>15</Effective>" + entries));
  r.SetInheritedFlag(false);
  r.SetRightsEx(kP2, 0x80000000u, true);
  EXPECT_EQ(r.Pack(),
            Rights("<Inherited>0</Inherited><Effective>2147483663</Effective>" + entries + Entry(kP2, "2147483648")));
  for (const char* p : {kP1, "a<b&c", kP2}) r.DeleteAccessEntry(p);
  EXPECT_TRUE(Dump(r) == "0/8000000F:" && r.Pack() == "<ObjectRights></ObjectRights>");
  EXPECT_EQ(Dump(OVOObjectRights(r.Pack())), "1/F:");

  // Round trip with hostile profiles; Inherited and Effective come back too.
  r = Make({{"  spaced  ", 0x2}, {"quote\"'apos\r\ntab\t", 0x4}, {"", 0x8}, {"\xC3\xA4nderung", 0x10},
            {"]]><x/>&#65;", 0x20}});
  r.SetInheritedFlag(false);
  r.SetRightsEx(kP1, 0x7000, true);
  EXPECT_EQ(Dump(OVOObjectRights(r.Pack())), Dump(r));
  EXPECT_EQ(OVOObjectRights(r.Pack()).GetRights(""), 0u) << "an empty argument lists no profile";
}

TEST(ObjectRightsUnpack, ClearsFirstTagsIgnoreCaseUnknownSkippedEntriesGoThroughSetRights) {
  OVOObjectRights r;
  r.SetInheritedFlag(false);
  r.SetRightsEx(kP1, 0x2, true);
  EXPECT_EQ(r.Unpack(Rights(Entry("p", "4"))), 1);
  EXPECT_EQ(Dump(r), "1/F:p=4,");
  for (const char* text : {"", "<Other/>", "not xml", "<ObjectRights>", "<objectrights></objectrights>"}) {
    r.SetInheritedFlag(false);
    r.SetRightsEx(kP1, 0x2, true);
    EXPECT_EQ(r.Unpack(String(text)), 0) << text;
    EXPECT_EQ(Dump(r), "1/F:") << text;
  }
  // Tags ignore case and order; unknown nodes are skipped.
  const OVOObjectRights mixed("<?xml version=\"1.0\"?><!-- c -->" + Rights(
      "<ACCESSENTRY><RIGHTS>2</RIGHTS><securityprofile>p</securityprofile></ACCESSENTRY><effective>6</effective>"
      "<accessEntry><Rights>4</Rights><SecurityPROFILE>q</SecurityPROFILE></accessEntry><INHERITED>0</INHERITED>"));
  EXPECT_EQ(mixed.Pack(),
            Rights("<Inherited>0</Inherited><Effective>6</Effective>" + Entry("p", "2") + Entry("q", "4")));
  const OVOObjectRights skipped(Rights(
      "<Unknown>9</Unknown><Inherited>0</Inherited>"
      "<AccessEntry><Extra><Rights>8</Rights></Extra><SecurityProfile>p</SecurityProfile><Rights>2</Rights><Other/>"
      "</AccessEntry><Nested><AccessEntry>" + Entry("hidden", "4") + "</AccessEntry></Nested>"
      "<Effective>7</Effective><Trailer>x</Trailer>"));
  EXPECT_EQ(Dump(skipped), "0/7:p=2,") << "nodes after the entries are still read";

  // Full control widens; a repeated profile (in any case) replaces the rights.
  EXPECT_EQ(Dump(OVOObjectRights(Rights(Entry("p", "3") + Entry("q", "2") + Entry("P", "4") + Entry("Q", "5")))),
            "1/F:p=4,q=7FFFFFFF,");
  // A missing part is empty or 0; the empty profile's second entry replaces the first.
  const OVOObjectRights partial(Rights("<AccessEntry><Rights>2</Rights></AccessEntry><AccessEntry/>"
                                       "<AccessEntry><SecurityProfile>p</SecurityProfile></AccessEntry>"));
  EXPECT_EQ(Dump(partial), "1/F:=0,p=0,");
  EXPECT_EQ(Dump(OVOObjectRights(partial.Pack())), Dump(partial));

  const std::pair<const char*, bool> inherited[] = {{"1", true}, {"0", false},   {"2", true},   {"-1", true},
                                                    {"", false}, {"abc", false}, {" 7x", true}, {"00", false}};
  for (const auto& [text, want] : inherited)
    EXPECT_EQ(OVOObjectRights(Rights("<Inherited>" + String(text) + "</Inherited>")).GetInheritedFlag(), want) << text;
  const std::pair<const char*, uint32_t> numbers[] = {{"4294967295", 0xFFFFFFFFu}, {"99999999999", 0xFFFFFFFFu},
                                                      {"", 0}, {"x", 0}, {"12abc", 12}, {"-1", 0xFFFFFFFFu}};
  for (const auto& [text, want] : numbers) {
    const OVOObjectRights n(Rights("<Effective>" + String(text) + "</Effective>" + Entry("p", text)));
    EXPECT_TRUE(n.EffectiveRights() == want && n.GetRights("p") == ((want & 1) ? (want | 0x7FFFFFFFu) : want)) << text;
  }
  EXPECT_EQ(OVOObjectRights(Rights("<Effective>3</Effective><Effective>9</Effective>")).EffectiveRights(), 9u);
}

TEST(ObjectRightsSupported, ByTypeObjectAndUnitMask) {
  const SecurableObjectInfo plain{kP1, 0xFFFFFFFFu}, noAut{kNoAut, 0xFFFFFFFFu};
  const SecurableObjectInfo noAutLower{OFL::ToLower(kNoAut), 0}, noGuid{"", 0};
  // The object matters only for units and applications.
  const std::tuple<uint32_t, const SecurableObjectInfo*, uint32_t> cases[] = {
      {5, nullptr, 0xC0},     {32, nullptr, 0x40000}, {33, nullptr, 0},       {40, nullptr, 0x700},  {7, &plain, 0},
      {50, nullptr, 0x3F0C0}, {51, nullptr, 0x3F000}, {55, nullptr, 0x1000},  {32, &noAut, 0x40000}, {33, &noAut, 0},
      {40, &noAut, 0x700},    {50, &noAut, 0x3F0C0},  {51, &plain, 0x3F000},  {55, &noAut, 0x1000},
      {33, &plain, 0x70000},  {33, &noAutLower, 0},   {33, &noGuid, 0x70000}, {5, &plain, 0x17F7C0}};
  for (const auto& [type, object, want] : cases)
    EXPECT_EQ(R::GetSupportedSpecialRights(type, object), want) << type << (object ? object->guid : "");
  for (uint32_t t : {0u, 1u, 4u, 6u, 31u, 34u, 39u, 41u, 49u, 52u, 54u, 56u, 0xFFFFFFFFu})
    EXPECT_EQ(R::GetSupportedSpecialRights(t), 0u) << t;

  // Units: every combination of the mask bits that matter, and of some that do not, against a plain reading.
  const uint32_t bits[] = {0x2, 0x10, 0x10000, 0x200000, 0x400000, 0x1000000, 0x2000000, 0x492802D};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t mask = 0;
    for (int b = 0; b < 8; ++b) mask |= (n >> b & 1) ? bits[b] : 0;
    for (const char* guid : {kP1, kNoAut, "e1ce0953-cdaa-4609-b962-9b1f75b23cee"}) {
      const SecurableObjectInfo unit{guid, mask};
      const uint32_t want = (mask & 0x400000 ? 0x3F0C0 : 0xC0) | (mask & 0x10000 ? 0x700 : 0) |
                            (mask & 0x3000000 ? 0x1000 : 0) | ((mask & 0x2) && guid == kP1 ? 0x70000 : 0) |
                            (mask & 0x10 ? 0x40000 : 0) | (mask & 0x200000 ? 0x100000 : 0);
      EXPECT_EQ(R::GetSupportedSpecialRights(5, &unit), want) << std::hex << mask << " " << guid;
    }
  }
}

// "bit:name," for each single right with a name for the type and unit mask; one without must leave the name alone.
String Names(uint32_t type, uint32_t supported) {
  String out;
  for (int bit = 0; bit < 32; ++bit) {
    String name = "untouched";
    if (R::GetRightName(type, supported, 1u << bit, name)) out += std::to_string(bit) + ":" + name + ",";
    else if (name != "untouched") out += "changed " + std::to_string(bit) + ",";
  }
  return out;
}

TEST(ObjectRightsNames, ByTypeUnitMaskAndRightInBothLanguages) {
  const String basic = "0:Full control,1:Read,2:Change,3:Delete,";
  for (uint32_t type : {0u, 4u, 6u, 31u, 34u, 56u, 1000u, 0xFFFFFFFFu}) EXPECT_EQ(Names(type, ~0u), basic) << type;
  // Sync to Sentra without unit bit 0x200000: true, and the name is left as it was.
  EXPECT_EQ(Names(5, 0x1FFFFF), basic + "6:Create orgunit,7:Create subobject,8:Job:Assign target,9:Job:Control Job,"
                                        "10:Job:Edit auto assign,12:Assign jobs,16:App:Analyze AUT,"
                                        "17:App:Configure AUT,18:App/OS:Manage licences,20:untouched,");
  EXPECT_EQ(Names(32, 0xFFFFFFFF), basic + "18:Manage licences,");
  EXPECT_EQ(Names(33, 0xFFFFFFFF), basic + "16:Analyze AUT,17:Configure AUT,18:Manage licences,");
  EXPECT_EQ(Names(40, 0xFFFFFFFF), basic + "8:Assign target,9:Control Job,10:Edit auto assign,");
  EXPECT_EQ(Names(50, 0xFFFFFFFF), basic + "6:Create subgroup,7:Create Object,12:System:Assign jobs,13:Remote Control,"
                                           "14:BitLocker,15:System:Schedule jobs immediately,16:System:Analyze AUT,"
                                           "17:System:Configure AUT,");
  EXPECT_EQ(Names(51, 0xFFFFFFFF), basic + "12:Assign jobs,13:Remote Control,14:BitLocker,"
                                           "15:Schedule jobs immediately,16:Analyze AUT,17:Configure AUT,");
  EXPECT_EQ(Names(55, 0xFFFFFFFF), basic + "12:Assign jobs,");
  // The unit mask picks the prefix of Manage licences and names Sync to Sentra.
  const std::pair<uint32_t, const char*> masks[] = {{0x10, "OS:Manage licences"}, {0x2, "App:Manage licences"},
                                                    {0, "App:Manage licences"}, {0xFFFFFFFF, "App/OS:Manage licences"}};
  String name;
  for (const auto& [mask, want] : masks) EXPECT_TRUE(R::GetRightName(5, mask, 0x40000, name) && name == want) << mask;
  EXPECT_TRUE(R::GetRightName(5, 0x200000, 0x100000, name) && name == "Sync to Sentra");
  for (uint32_t right : {0u, 0x3u, 0x3000u})
    EXPECT_FALSE(R::GetRightName(5, 0, right, name) || R::GetRightName(50, 0, right, name)) << right;

  const uint16_t saved = OFL::GetResourceLanguage();
  OFL::SetResourceLanguage(1031);
  EXPECT_TRUE(R::GetRightName(5, 0x12, 0x40000, name) && name == "App/OS:Lizenzen verwalten") << name;
  OFL::SetResourceLanguage(saved);
}

TEST(ObjectRightsShortNames, WrittenReadAndBack) {
  const std::tuple<uint32_t, uint32_t, bool, const char*> cases[] = {
      {5, 0x101, false, "F,Job:AssignTrg"}, {5, 0x101, true, "Job:AssignTrg"}, {5, 0xA, false, "R,X"},
      {5, 0x7FFFFFFF, false,
       "F,R,W,X,CrOrgUnit,CrObject,LicMgmt,SyncSentra,Job:AssignTrg,Job:Control,Job:EdAutoAss,"
       "AssignJob,RemoteControl,BitLocker,ScheduleJobsImmediately,AUTConfig,AUTView"},
      {40, 0x7FFFFFFF, true, "AssignTrg,Control,EdAutoAss"},
      {50, 0x7FFFFFFF, true,
       "CrOrgUnit,CrObject,AssignJob,RemoteControl,BitLocker,ScheduleJobsImmediately,AUTConfig,AUTView"},
      {51, 0x7FFFFFFF, true, "AssignJob,RemoteControl,BitLocker,ScheduleJobsImmediately,AUTConfig,AUTView"},
      {55, 0x30000, false, "AUTConfig,AUTView"}, {33, 0x7FFFFFFF, true, "AUTConfig,AUTView,LicMgmt"},
      {32, 0x7FFFFFFF, true, "LicMgmt"}, {0, 0xFFFFFFFF, false, "F,R,W,X"}, {0, 0xFFFFFFFF, true, ""},
      {5, 0xF, true, ""}, {5, 0, false, ""},
      {40, 0x40, false, ""}, {50, 0x140000, false, ""}};  // no create rights for jobs; licences, Sentra for units
  for (const auto& [type, rights, specialOnly, want] : cases)
    EXPECT_EQ(R::GetShortRightNames(type, rights, specialOnly), want) << type << " " << std::hex << rights;

  // Sync to Sentra is read only as SentraCockpit; only up to the first colon goes; tokens are not trimmed; the
  // separator is a comma.
  const std::pair<const char*, uint32_t> texts[] = {
      {"F,Job:AssignTrg", 0x101}, {"SentraCockpit", 0x100000}, {"Unit:SentraCockpit,R", 0x100002}, {"SyncSentra", 0},
      {"App/OS:LicMgmt", 0x40000}, {"f,r,w,x", 0xF}, {"AUTVIEW,autconfig", 0x30000}, {"", 0}, {",,,", 0},
      {",R,,W,", 0x6}, {"R,R,R", 0x2}, {":F", 0x1}, {"F:", 0}, {"Full,Read,CrObj,Controls", 0}, {"a:b:F", 0},
      {" F,R ", 0}, {"F;R", 0},
      {"CrOrgUnit,CrObject,Control,EdAutoAss,AssignJob,RemoteControl,BitLocker,ScheduleJobsImmediately", 0xF6C0}};
  for (const auto& [text, want] : texts) EXPECT_EQ(R::GetRightsFromNames(0, text), want) << text;

  // Every name written reads back, but Sync to Sentra's.
  const SecurableObjectInfo fullUnit{kP1, 0xFFFFFFFF};
  for (uint32_t type : {5u, 32u, 33u, 40u, 50u, 51u, 55u, 0u}) {
    const uint32_t all = R::GetSupportedSpecialRights(type, type == 5 ? &fullUnit : nullptr) | 0xF;
    EXPECT_EQ(R::GetRightsFromNames(type, R::GetShortRightNames(type, all, false)), all & ~0x100000u) << type;
  }
}

TEST(KnownGuids, SecurableOrgUnitsBuiltOnce) {
  using orvacmn::KnownGuids::Helper;
  EXPECT_TRUE(&Helper::GetSecurableOrgUnits() == &Helper::GetSecurableOrgUnits() &&
              &Helper::GetOldSecurableOrgUnits() == &Helper::GetOldSecurableOrgUnits());
  EXPECT_EQ(Helper::GetSecurableOrgUnits(),
            "8E5102E3-C2E1-47BA-AD76-295D3DF9EF31;299D0B30-D384-430C-875A-63C3EF73A150;"
            "E09EE6E7-3BE1-44DE-A28C-43E958378F72;5F77955E-26A4-4A91-9B99-A4833A2E8CF6;"
            "0D8C6BB7-1E08-431D-9742-B0BAF7F3F74B;D429BFF9-619B-45C8-9098-70387A92251E;"
            "663FF36F-73C0-4224-9C89-F320563AD2F7;CA5F037F-358E-48EE-81B0-9C14AD55FC68;"
            "6ADA3805-9AEE-4D2D-AC64-E2F92ED4BAF8;D93E97F2-27AF-47DA-A423-EE7CF7B74A75;"
            "237F4CA3-5808-4C79-B7F6-014C6F65215B;B618FEFB-57E9-4197-AEE2-426B47087DD4");
  EXPECT_EQ(Helper::GetOldSecurableOrgUnits(),
            "C6567FDB-74B4-40C1-846D-12011A163B4A;C6567FDB-74B4-40C1-846D-12011A163B4A;"
            "299D0B30-D384-430C-875A-63C3EF73A150;45DAD49A-4396-4EEA-B12E-8F2D4DEB6813;"
            "5F77955E-26A4-4A91-9B99-A4833A2E8CF6;E09EE6E7-3BE1-44DE-A28C-43E958378F72;"
            "0D8C6BB7-1E08-431D-9742-B0BAF7F3F74B;CA5F037F-358E-48EE-81B0-9C14AD55FC68;"
            "B24381C8-868C-48CE-92B2-638C6123892B;BC58245D-FD57-46D6-9CDC-59DECC580B9D;"
            "04B644FE-C0A5-42AB-A0BB-0814DFBD6A1F;237F4CA3-5808-4C79-B7F6-014C6F65215B");
}

}  // namespace
