#include "orvacmn/objects/object_rights.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"
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

TEST(ObjectRightsList, DefaultsAndFullControlWidening) {
  OVOObjectRights r;
  EXPECT_EQ(r.GetObjectName(), "ObjectRights");
  EXPECT_EQ(r.GetSchema(), 0x50001u);
  EXPECT_EQ(Dump(r), "1/F:");
  EXPECT_EQ(r.Pack(), "<ObjectRights></ObjectRights>");
  // Without bit 0x1 the value is stored as given, the high bit included.
  const uint32_t cases[][2] = {{0x3, 0x7FFFFFFF},         {0x1, 0x7FFFFFFF},         {0x80000001u, 0xFFFFFFFFu},
                               {0x80000002u, 0x80000002u}, {0x7FFFFFFE, 0x7FFFFFFE}, {0, 0}};
  for (const auto& c : cases) EXPECT_EQ(r.SetRights(kP1, c[0])->GetRights(), c[1]) << std::hex << c[0];
  EXPECT_EQ(r.GetAccessEntries().size(), 1u);
}

TEST(ObjectRightsList, ProfilesIgnoreCaseKeepInsertionOrderAndDelete) {
  OVOObjectRights r = Make({{"abc-def", 0x2}, {"a", 0x4}, {"b", 0x8}});
  R::_AccessEntry* first = r.FindAccessEntry("Abc-Def");
  EXPECT_EQ(r.SetRights("ABC-DEF", 0x10), first) << "replaces in place, the first spelling stays";
  EXPECT_EQ(Dump(r), "1/F:abc-def=10,a=4,b=8,");
  EXPECT_EQ(std::as_const(r).FindAccessEntry("ABC-def"), first);
  EXPECT_EQ(r.FindAccessEntry("abc-de"), nullptr);
  EXPECT_EQ(r.FindAccessEntry(""), nullptr);
  EXPECT_FALSE(r.DeleteAccessEntry("x"));
  EXPECT_TRUE(r.DeleteAccessEntry("A"));
  EXPECT_FALSE(r.DeleteAccessEntry("a"));
  EXPECT_EQ(r.FindAccessEntry("a"), nullptr);
  r.SetRights("a", 0x40);  // added again, it goes to the end
  EXPECT_EQ(Dump(r), "1/F:abc-def=10,b=8,a=40,");
  for (const char* p : {"a", "abc-def", "b"}) EXPECT_TRUE(r.DeleteAccessEntry(p)) << p;
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_EQ(r.GetRights("b"), 0x1u);
}

TEST(ObjectRightsList, SetRightsExEffectiveAndGetRights) {
  OVOObjectRights r;
  // The first entry restarts Effective from 0; the widened value is what is ORed in.
  const std::tuple<const char*, uint32_t, bool, uint32_t> steps[] = {
      {kP1, 0x2, true, 0x2}, {kP2, 0x8, true, 0xA}, {"other", 0x40, false, 0xA}, {kP1, 0x1, true, 0x7FFFFFFF}};
  for (const auto& [profile, rights, add, effective] : steps) {
    r.SetRightsEx(profile, rights, add);
    EXPECT_EQ(r.EffectiveRights(), effective) << profile;
  }
  OVOObjectRights fresh;
  fresh.SetRightsEx(kP1, 0x4, false);
  EXPECT_EQ(Dump(fresh), "1/0:" + String(kP1) + "=4,");

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
  R::_AccessEntry* eb = b.FindAccessEntry("P");  // the copy's index points into the copy
  ASSERT_NE(eb, nullptr);
  eb->SetRights(0x8);
  EXPECT_EQ(Dump(a), "0/2:p=2,q=4,");
  EXPECT_NE(a, b);
  OVOObjectRights c = Make({{"stale", 0x2}});
  c = a;
  OVOObjectRights& self = c;
  c = self;
  EXPECT_EQ(Dump(c), "0/2:p=2,q=4,");
  EXPECT_NE(c.FindAccessEntry("q"), a.FindAccessEntry("q"));
  EXPECT_TRUE(c.DeleteAccessEntry("q"));
  EXPECT_EQ(Dump(a), "0/2:p=2,q=4,");

  const OVOObjectRights x = Make({{"x", 2}, {"y", 4}});
  EXPECT_NE(x, Make({{"y", 4}, {"x", 2}})) << "order of entries matters";
  OVOObjectRights y = Make({{"X", 2}, {"Y", 4}});
  EXPECT_EQ(x, y) << "profiles compare without regard to case";
  y.SetInheritedFlag(false);
  EXPECT_NE(x, y);
  EXPECT_EQ(x, OVOObjectRights(Rights("<Effective>15</Effective>" + Entry("x", "2") + Entry("y", "4"))));
  EXPECT_NE(x, OVOObjectRights(Rights("<Effective>7</Effective>" + Entry("x", "2") + Entry("y", "4"))));
  EXPECT_NE(x, Make({{"x", 2}, {"y", 4}, {"z", 0}}));
}

TEST(ObjectRightsPack, ExactFormFlagsOnlyWithEntriesAndRoundTrip) {
  OVOObjectRights r = Make({{kP1, 0x1002}, {"a<b&c", 0x3}});
  const String esc =
      "<AccessEntry><SecurityProfile>a&lt;b&amp;c</SecurityProfile><Rights>2147483647</Rights></AccessEntry>";
  EXPECT_EQ(r.Pack(), Rights("<Inherited>1</Inherited><Effective>15</Effective>" + Entry(kP1, "4098") + esc));
  r.SetInheritedFlag(false);
  r.SetRightsEx(kP2, 0x80000000u, true);
  EXPECT_EQ(r.Pack(), Rights("<Inherited>0</Inherited><Effective>2147483663</Effective>" + Entry(kP1, "4098") + esc +
                             Entry(kP2, "2147483648")));
  for (const char* p : {kP1, "a<b&c", kP2}) r.DeleteAccessEntry(p);
  EXPECT_EQ(Dump(r), "0/8000000F:");
  EXPECT_EQ(r.Pack(), "<ObjectRights></ObjectRights>");
  EXPECT_EQ(Dump(OVOObjectRights(r.Pack())), "1/F:");

  // Round trip with hostile profiles, then a large list.
  r = Make({{"  spaced  ", 0x2}, {"quote\"'apos\r\ntab\t", 0x4}, {"", 0x8}, {"\xC3\xA4nderung", 0x10},
            {"]]><x/>&#65;", 0x20}, {kP2, 0x1}});
  r.SetInheritedFlag(false);
  r.SetRightsEx(kP1, 0x7000, true);
  const OVOObjectRights back(r.Pack());
  EXPECT_EQ(Dump(back), Dump(r));
  EXPECT_EQ(back.Pack(), r.Pack());
  EXPECT_EQ(back.GetRights(""), 0u) << "an empty argument lists no profile";

  OVOObjectRights large;
  for (uint32_t i = 0; i < 5000; ++i) large.SetRights("profile-" + std::to_string(i), i << 1);
  const OVOObjectRights largeBack(large.Pack());
  EXPECT_EQ(Dump(largeBack), Dump(large));
  EXPECT_EQ(largeBack.GetRights("PROFILE-4999;profile-1"), (4999u << 1) | 2u);
}

TEST(ObjectRightsUnpack, ClearsFirstFailureLeavesDefaultsTagsIgnoreCaseUnknownSkipped) {
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
    EXPECT_EQ(Dump(OVOObjectRights(String(text))), "1/F:") << text;
  }
  // Tags ignore case and order; unknown nodes are skipped.
  const String exact = Rights("<Inherited>0</Inherited><Effective>6</Effective>" + Entry("p", "2") + Entry("q", "4"));
  const OVOObjectRights mixed(Rights(
      "<ACCESSENTRY><RIGHTS>2</RIGHTS><securityprofile>p</securityprofile></ACCESSENTRY><effective>6</effective>"
      "<accessEntry><Rights>4</Rights><SecurityPROFILE>q</SecurityPROFILE></accessEntry><INHERITED>0</INHERITED>"));
  EXPECT_EQ(Dump(mixed), "0/6:p=2,q=4,");
  EXPECT_EQ(mixed.Pack(), exact);
  const OVOObjectRights skipped(Rights(
      "<Unknown>9</Unknown><Inherited>0</Inherited>"
      "<AccessEntry><Extra><Rights>8</Rights></Extra><SecurityProfile>p</SecurityProfile><Rights>2</Rights><Other/>"
      "</AccessEntry><Nested><AccessEntry>" + Entry("hidden", "4") + "</AccessEntry></Nested>"
      "<Effective>7</Effective><Trailer>x</Trailer>"));
  EXPECT_EQ(Dump(skipped), "0/7:p=2,") << "nodes after the entries are still read";
}

TEST(ObjectRightsUnpack, EntriesGoThroughSetRightsScalarValuesFromParser) {
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
    const OVOObjectRights r(Rights("<Effective>" + String(text) + "</Effective>" + Entry("p", text)));
    EXPECT_EQ(r.EffectiveRights(), want) << text;
    EXPECT_EQ(r.GetRights("p"), (want & 1) ? (want | 0x7FFFFFFFu) : want) << text;
  }
  EXPECT_EQ(OVOObjectRights(Rights("<Effective>3</Effective><Effective>9</Effective>")).EffectiveRights(), 9u);

  // From a parser standing inside a container.
  OFLXMLParser parser("<Job><Name>j</Name>" + Rights("<Inherited>0</Inherited>" + Entry("p", "2")) +
                      "<After>x</After></Job>");
  ASSERT_TRUE(parser.FindElem("Job"));
  ASSERT_TRUE(parser.FindChildElem());
  OVOObjectRights r;
  EXPECT_EQ(r.Unpack(parser), 0) << "the child is <Name>";
  EXPECT_EQ(parser.GetChildTagName(), "Name");
  ASSERT_TRUE(parser.FindChildElem());
  EXPECT_EQ(r.Unpack(parser), 1);
  EXPECT_EQ(Dump(r), "0/F:p=2,");
  EXPECT_EQ(parser.GetChildTagName(), "ObjectRights");  // the container's walk goes on behind the rights
  ASSERT_TRUE(parser.FindChildElem());
  EXPECT_EQ(parser.GetChildTagName(), "After");
}

TEST(ObjectRightsSupported, ByTypeObjectAndUnitMask) {
  const SecurableObjectInfo plain{kP1, 0xFFFFFFFFu}, noAut{kNoAut, 0xFFFFFFFFu};
  const SecurableObjectInfo noAutLower{OFL::ToLower(kNoAut), 0}, noGuid{"", 0};
  // The object matters only for units and applications.
  const std::tuple<uint32_t, const SecurableObjectInfo*, uint32_t> cases[] = {
      {5, nullptr, 0xC0},     {32, nullptr, 0x40000}, {33, nullptr, 0},       {40, nullptr, 0x700},  {7, &plain, 0},
      {50, nullptr, 0x3F0C0}, {51, nullptr, 0x3F000}, {55, nullptr, 0x1000},  {32, &noAut, 0x40000}, {33, &noAut, 0},
      {40, &noAut, 0x700},    {50, &noAut, 0x3F0C0},  {51, &plain, 0x3F000},  {55, &noAut, 0x1000},
      {33, &plain, 0x70000},  {33, &noAutLower, 0},   {33, &noGuid, 0x70000}};
  for (const auto& [type, object, want] : cases)
    EXPECT_EQ(R::GetSupportedSpecialRights(type, object), want) << type << (object ? object->guid : "");
  for (uint32_t t : {0u, 1u, 4u, 6u, 31u, 34u, 39u, 41u, 49u, 52u, 54u, 56u, 0xFFFFFFFFu})
    EXPECT_EQ(R::GetSupportedSpecialRights(t), 0u) << t;

  const std::tuple<uint32_t, const char*, uint32_t> units[] = {
      {0, kP1, 0xC0},             {0x400000, kP1, 0x3F0C0},  {0x10000, kP1, 0x7C0},       {0x410000, kP1, 0x3F7C0},
      {0x1000000, kP1, 0x10C0},   {0x2000000, kP1, 0x10C0},  {0x3000000, kP1, 0x10C0},    {0x2, kP1, 0x700C0},
      {0x2, kNoAut, 0xC0},        {0x10, kP1, 0x400C0},      {0x12, kNoAut, 0x400C0},     {0x12, kP1, 0x700C0},
      {0x200000, kP1, 0x1000C0},  {0x10002, kNoAut, 0x7C0},  {0x10002, kP1, 0x707C0},     {0x400002, kP1, 0x7F0C0},
      {0x3610012, kP1, 0x17F7C0}, {0xFFFFFFFF, kNoAut, 0x17F7C0},
      {0x2, "e1ce0953-cdaa-4609-b962-9b1f75b23cee", 0xC0},
      {0x1 | 0x4 | 0x8 | 0x20 | 0x8000 | 0x20000 | 0x100000 | 0x800000 | 0x4000000, kP1, 0xC0},  // meaningless bits
  };
  for (const auto& [mask, guid, want] : units) {
    const SecurableObjectInfo unit{guid, mask};
    EXPECT_EQ(R::GetSupportedSpecialRights(5, &unit), want) << std::hex << mask << " " << guid;
  }
}

TEST(ObjectRightsNames, ByTypeUnitMaskAndRightInBothLanguages) {
  const std::tuple<uint32_t, uint32_t, uint32_t, const char*> rows[] = {
      {0, 0, 0x1, "Full control"}, {4, 0, 0x2, "Read"}, {56, 0, 0x4, "Change"}, {0xFFFFFFFF, 0, 0x8, "Delete"},
      {5, 0, 0x1, "Full control"}, {33, 0, 0x2, "Read"}, {50, 0, 0x4, "Change"}, {1000, 0, 0x8, "Delete"},
      {5, 0, 0x40, "Create orgunit"}, {5, 0, 0x80, "Create subobject"}, {5, 0, 0x100, "Job:Assign target"},
      {5, 0, 0x200, "Job:Control Job"}, {5, 0, 0x400, "Job:Edit auto assign"}, {5, 0, 0x1000, "Assign jobs"},
      {5, 0, 0x10000, "App:Analyze AUT"}, {5, 0, 0x20000, "App:Configure AUT"},
      {5, 0x12, 0x40000, "App/OS:Manage licences"}, {5, 0x10, 0x40000, "OS:Manage licences"},
      {5, 0x2, 0x40000, "App:Manage licences"}, {5, 0, 0x40000, "App:Manage licences"},
      {5, 0xFFFFFFFF, 0x40000, "App/OS:Manage licences"}, {5, 0x200000, 0x100000, "Sync to Sentra"},
      {5, 0x1FFFFF, 0x100000, "untouched"},  // Sync to Sentra without unit bit: true, name left as it was
      {32, 0, 0x40000, "Manage licences"}, {33, 0, 0x10000, "Analyze AUT"}, {33, 0, 0x20000, "Configure AUT"},
      {33, 0, 0x40000, "Manage licences"}, {40, 0, 0x100, "Assign target"}, {40, 0, 0x200, "Control Job"},
      {40, 0, 0x400, "Edit auto assign"}, {50, 0, 0x40, "Create subgroup"}, {50, 0, 0x80, "Create Object"},
      {50, 0, 0x1000, "System:Assign jobs"}, {50, 0, 0x8000, "System:Schedule jobs immediately"},
      {50, 0, 0x10000, "System:Analyze AUT"}, {50, 0, 0x20000, "System:Configure AUT"},
      {50, 0, 0x2000, "Remote Control"}, {50, 0, 0x4000, "BitLocker"}, {51, 0, 0x1000, "Assign jobs"},
      {51, 0, 0x2000, "Remote Control"}, {51, 0, 0x4000, "BitLocker"}, {51, 0, 0x8000, "Schedule jobs immediately"},
      {51, 0, 0x10000, "Analyze AUT"}, {51, 0, 0x20000, "Configure AUT"}, {55, 0, 0x1000, "Assign jobs"},
  };
  for (const auto& [type, supported, right, want] : rows) {
    String name = "untouched";
    EXPECT_TRUE(R::GetRightName(type, supported, right, name)) << type << " " << std::hex << right;
    EXPECT_EQ(name, want) << type << " " << std::hex << right;
  }
  // Combinations without a name, whatever the unit mask.
  const uint32_t unnamed[][2] = {
      {4, 0x40},    {56, 0x1000},  {0, 0x1000},  {6, 0x1000},  {31, 0x40000},  {34, 0x10000},  {5, 0x2000},
      {5, 0x4000},  {5, 0x8000},   {5, 0x800},   {5, 0x10},    {5, 0x3},       {5, 0},         {32, 0x10000},
      {32, 0x1000}, {33, 0x1000},  {33, 0x100},  {40, 0x1000}, {40, 0x40},     {50, 0x100},    {50, 0x40000},
      {51, 0x40},   {51, 0x40000}, {51, 0x200},  {55, 0x2000}, {55, 0x10000},  {50, 0x3000},   {5, 0x80000000},
      {50, 0x100000}, {51, 0x100000}};
  for (const auto& [type, right] : unnamed) {
    String name = "untouched";
    EXPECT_FALSE(R::GetRightName(type, 0xFFFFFFFF, right, name)) << type << " " << std::hex << right;
    EXPECT_EQ(name, "untouched");
  }

  const uint16_t saved = OFL::GetResourceLanguage();
  OFL::SetResourceLanguage(1031);
  const std::tuple<uint32_t, uint32_t, uint32_t, const char*> german[] = {
      {5, 0, 0x100, "Job:Ziel zuweisen"}, {0, 0, 0x1, "Vollzugriff"},
      {5, 0x12, 0x40000, "App/OS:Lizenzen verwalten"}, {50, 0, 0x1000, "System:Jobs zuweisen"}};
  for (const auto& [type, supported, right, want] : german) {
    String name;
    EXPECT_TRUE(R::GetRightName(type, supported, right, name));
    EXPECT_EQ(name, want);
  }
  OFL::SetResourceLanguage(saved);
  String name;
  EXPECT_TRUE(R::GetRightName(51, 0, 0x2000, name));
  EXPECT_EQ(name, "Remote Control") << "the language is restored";
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

  // Every name written reads back.
  for (uint32_t type : {5u, 32u, 33u, 40u, 50u, 51u, 55u, 0u}) {
    for (uint32_t bit = 1; bit != 0; bit <<= 1) {
      const String names = R::GetShortRightNames(type, bit, false);
      if (names.empty()) continue;
      EXPECT_EQ(R::GetRightsFromNames(type, names), bit == R::kRightSyncToSentra ? 0u : bit) << type << names;
    }
    const uint32_t all = R::GetSupportedSpecialRights(type) | 0xF;
    EXPECT_EQ(R::GetRightsFromNames(type, R::GetShortRightNames(type, all, false)), all) << type;
  }
  const SecurableObjectInfo fullUnit{kP1, 0xFFFFFFFF};
  const uint32_t unitAll = R::GetSupportedSpecialRights(5, &fullUnit);
  EXPECT_EQ(R::GetRightsFromNames(5, R::GetShortRightNames(5, unitAll, true)), unitAll & ~0x100000u);
}

TEST(KnownGuids, SecurableOrgUnitsBuiltOnce) {
  using orvacmn::KnownGuids::Helper;
  const String& list = Helper::GetSecurableOrgUnits();
  EXPECT_EQ(&list, &Helper::GetSecurableOrgUnits());
  EXPECT_EQ(list,
            "8E5102E3-C2E1-47BA-AD76-295D3DF9EF31;299D0B30-D384-430C-875A-63C3EF73A150;"
            "E09EE6E7-3BE1-44DE-A28C-43E958378F72;5F77955E-26A4-4A91-9B99-A4833A2E8CF6;"
            "0D8C6BB7-1E08-431D-9742-B0BAF7F3F74B;D429BFF9-619B-45C8-9098-70387A92251E;"
            "663FF36F-73C0-4224-9C89-F320563AD2F7;CA5F037F-358E-48EE-81B0-9C14AD55FC68;"
            "6ADA3805-9AEE-4D2D-AC64-E2F92ED4BAF8;D93E97F2-27AF-47DA-A423-EE7CF7B74A75;"
            "237F4CA3-5808-4C79-B7F6-014C6F65215B;B618FEFB-57E9-4197-AEE2-426B47087DD4");
  EXPECT_EQ(&Helper::GetOldSecurableOrgUnits(), &Helper::GetOldSecurableOrgUnits());
  EXPECT_EQ(Helper::GetOldSecurableOrgUnits(),
            "C6567FDB-74B4-40C1-846D-12011A163B4A;C6567FDB-74B4-40C1-846D-12011A163B4A;"
            "299D0B30-D384-430C-875A-63C3EF73A150;45DAD49A-4396-4EEA-B12E-8F2D4DEB6813;"
            "5F77955E-26A4-4A91-9B99-A4833A2E8CF6;E09EE6E7-3BE1-44DE-A28C-43E958378F72;"
            "0D8C6BB7-1E08-431D-9742-B0BAF7F3F74B;CA5F037F-358E-48EE-81B0-9C14AD55FC68;"
            "B24381C8-868C-48CE-92B2-638C6123892B;BC58245D-FD57-46D6-9CDC-59DECC580B9D;"
            "04B644FE-C0A5-42AB-A0BB-0814DFBD6A1F;237F4CA3-5808-4C79-B7F6-014C6F65215B");
  EXPECT_EQ(String(orvacmn::KnownGuids::kNoAutOrLicenseRights), kNoAut);
}

}  // namespace
