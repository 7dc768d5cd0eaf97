#include "orvacmn/objects/object_rights.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "ofl/tokenizer.h"
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

// Selects a resource language for one test and restores the previous one.
class LanguageGuard {
 public:
  explicit LanguageGuard(uint16_t lang) : saved_(OFL::GetResourceLanguage()) { OFL::SetResourceLanguage(lang); }
  ~LanguageGuard() { OFL::SetResourceLanguage(saved_); }

 private:
  uint16_t saved_;
};

String Rights(const String& body) { return "<ObjectRights>" + body + "</ObjectRights>"; }
String Entry(const String& profile, const String& rights) {
  return "<AccessEntry><SecurityProfile>" + profile + "</SecurityProfile><Rights>" + rights +
         "</Rights></AccessEntry>";
}

// ---------------------------------------------------------------------------
// Access list

TEST(ObjectRightsList, DefaultsAndIdentity) {
  OVOObjectRights r;
  EXPECT_EQ(r.GetObjectName(), "ObjectRights");
  EXPECT_EQ(r.GetSchema(), 0x50001u);
  EXPECT_TRUE(r.GetInheritedFlag());
  EXPECT_EQ(r.EffectiveRights(), 15u);
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_EQ(r.Pack(), "<ObjectRights></ObjectRights>");
}

TEST(ObjectRightsList, FullControlWidensToAllLowBits) {
  OVOObjectRights r;
  EXPECT_EQ(r.SetRights(kP1, 0x3)->GetRights(), 0x7FFFFFFFu);
  EXPECT_EQ(r.SetRights(kP1, 0x1)->GetRights(), 0x7FFFFFFFu);
  EXPECT_EQ(r.SetRights(kP1, 0x80000001u)->GetRights(), 0xFFFFFFFFu);
  // Without bit 0x1 the value is stored as given, the high bit included.
  EXPECT_EQ(r.SetRights(kP1, 0x80000002u)->GetRights(), 0x80000002u);
  EXPECT_EQ(r.SetRights(kP1, 0x7FFFFFFEu)->GetRights(), 0x7FFFFFFEu);
  EXPECT_EQ(r.SetRights(kP1, 0)->GetRights(), 0u);
  EXPECT_EQ(r.GetAccessEntries().size(), 1u);
}

TEST(ObjectRightsList, SameProfileInAnyCaseReplaces) {
  OVOObjectRights r;
  R::_AccessEntry* first = r.SetRights("abc-def", 0x2);
  R::_AccessEntry* second = r.SetRights("ABC-DEF", 0x4);
  EXPECT_EQ(first, second);
  ASSERT_EQ(r.GetAccessEntries().size(), 1u);
  EXPECT_EQ(first->GetSecurityProfile(), "abc-def");  // the first spelling stays
  EXPECT_EQ(first->GetRights(), 0x4u);
  EXPECT_EQ(r.FindAccessEntry("Abc-Def"), first);
  EXPECT_EQ(r.FindAccessEntry("abc-de"), nullptr);
  EXPECT_EQ(r.FindAccessEntry(""), nullptr);
  const OVOObjectRights& cr = r;
  EXPECT_EQ(cr.FindAccessEntry("ABC-def"), first);
}

TEST(ObjectRightsList, EntriesKeepInsertionOrder) {
  OVOObjectRights r;
  r.SetRights("c", 1 << 1);
  r.SetRights("a", 1 << 2);
  r.SetRights("b", 1 << 3);
  r.SetRights("A", 1 << 4);  // replaces in place, does not move
  const auto& e = r.GetAccessEntries();
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0]->GetSecurityProfile(), "c");
  EXPECT_EQ(e[1]->GetSecurityProfile(), "a");
  EXPECT_EQ(e[1]->GetRights(), 1u << 4);
  EXPECT_EQ(e[2]->GetSecurityProfile(), "b");
}

TEST(ObjectRightsList, SetRightsExEffective) {
  OVOObjectRights r;
  // First entry: Effective restarts from 0.
  r.SetRightsEx(kP1, 0x2, true);
  EXPECT_EQ(r.EffectiveRights(), 0x2u);
  r.SetRightsEx(kP2, 0x8, true);
  EXPECT_EQ(r.EffectiveRights(), 0xAu);
  // Not added: Effective stays, the entry is stored.
  r.SetRightsEx("other", 0x40, false);
  EXPECT_EQ(r.EffectiveRights(), 0xAu);
  EXPECT_EQ(r.GetRights("other"), 0x40u);
  // The widened value is what is ORed in.
  r.SetRightsEx(kP1, 0x1, true);
  EXPECT_EQ(r.EffectiveRights(), 0x7FFFFFFFu);

  OVOObjectRights fresh;
  fresh.SetRightsEx(kP1, 0x4, false);
  EXPECT_EQ(fresh.EffectiveRights(), 0u);
}

TEST(ObjectRightsList, DeleteAccessEntry) {
  OVOObjectRights r;
  r.SetRights("a", 2);
  r.SetRights("b", 4);
  r.SetRights("c", 8);
  EXPECT_FALSE(r.DeleteAccessEntry("x"));
  EXPECT_TRUE(r.DeleteAccessEntry("B"));
  EXPECT_FALSE(r.DeleteAccessEntry("b"));
  EXPECT_EQ(r.FindAccessEntry("b"), nullptr);
  ASSERT_EQ(r.GetAccessEntries().size(), 2u);
  EXPECT_EQ(r.GetAccessEntries()[1]->GetSecurityProfile(), "c");
  // Added again, it goes to the end.
  r.SetRights("b", 0x40);
  EXPECT_EQ(r.GetAccessEntries()[2]->GetSecurityProfile(), "b");
  EXPECT_EQ(r.GetRights("b"), 0x40u);
  EXPECT_TRUE(r.DeleteAccessEntry("a"));
  EXPECT_TRUE(r.DeleteAccessEntry("c"));
  EXPECT_TRUE(r.DeleteAccessEntry("b"));
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_EQ(r.GetRights("b"), 0x1u);
}

TEST(ObjectRightsList, GetRights) {
  OVOObjectRights r;
  // Without entries everyone has Full control, whatever is asked.
  EXPECT_EQ(r.GetRights(""), 0x1u);
  EXPECT_EQ(r.GetRights(kP1), 0x1u);
  EXPECT_EQ(r.GetRights(";;"), 0x1u);

  r.SetRights(kP1, 0x2);
  r.SetRights(kP2, 0x1000);
  r.SetRights("third", 0x4);
  EXPECT_EQ(r.GetRights(""), 0u);
  EXPECT_EQ(r.GetRights("unknown"), 0u);
  EXPECT_EQ(r.GetRights(kP1), 0x2u);
  EXPECT_EQ(r.GetRights(String(kP1) + ";" + kP2), 0x1002u);
  EXPECT_EQ(r.GetRights(";" + OFL::ToLower(kP2) + ";;unknown;THIRD;"), 0x1004u);
  EXPECT_EQ(r.GetRights(String(kP1) + ";" + kP1), 0x2u);
  // The separator is ";" only.
  EXPECT_EQ(r.GetRights(String(kP1) + "," + kP2), 0u);
}

TEST(ObjectRightsList, CopyIsDeepAndIndexed) {
  OVOObjectRights a;
  a.SetInheritedFlag(false);
  a.SetRightsEx(kP1, 0x2, true);
  a.SetRights(kP2, 0x4);

  OVOObjectRights b(a);
  EXPECT_EQ(a, b);
  // The copy's index points into the copy, not into the original.
  R::_AccessEntry* eb = b.FindAccessEntry(kP1);
  ASSERT_NE(eb, nullptr);
  EXPECT_NE(eb, a.FindAccessEntry(kP1));
  eb->SetRights(0x8);
  EXPECT_EQ(a.GetRights(kP1), 0x2u);
  EXPECT_EQ(b.GetRights(kP1), 0x8u);
  EXPECT_NE(a, b);

  OVOObjectRights c;
  c.SetRights("stale", 0x2);
  c = a;
  EXPECT_EQ(c, a);
  EXPECT_EQ(c.FindAccessEntry("stale"), nullptr);
  EXPECT_NE(c.FindAccessEntry(kP2), a.FindAccessEntry(kP2));
  EXPECT_EQ(c.GetObjectName(), "ObjectRights");

  OVOObjectRights& self = c;
  c = self;
  EXPECT_EQ(c, a);
  EXPECT_EQ(c.GetRights(kP2), 0x4u);

  // Deleting from the copy leaves the original whole.
  EXPECT_TRUE(c.DeleteAccessEntry(kP2));
  EXPECT_EQ(a.GetRights(kP2), 0x4u);
}

TEST(ObjectRightsList, Equality) {
  OVOObjectRights a, b;
  EXPECT_EQ(a, b);
  a.SetRights("x", 2);
  a.SetRights("y", 4);
  b.SetRights("y", 4);
  b.SetRights("x", 2);
  EXPECT_NE(a, b) << "order of entries matters";

  OVOObjectRights c;
  c.SetRights("X", 2);
  c.SetRights("Y", 4);
  EXPECT_EQ(a, c) << "profiles compare without regard to case";

  c.SetInheritedFlag(false);
  EXPECT_NE(a, c);
  EXPECT_EQ(a, OVOObjectRights(Rights("<Effective>15</Effective>" + Entry("x", "2") + Entry("y", "4"))));
  EXPECT_NE(a, OVOObjectRights(Rights("<Effective>7</Effective>" + Entry("x", "2") + Entry("y", "4"))))
      << "Effective differs";

  OVOObjectRights d = a;
  d.SetRights("z", 0);
  EXPECT_NE(a, d);
}

// ---------------------------------------------------------------------------
// Packed form

TEST(ObjectRightsPack, ExactForm) {
  OVOObjectRights r;
  r.SetRights(kP1, 0x1002);
  r.SetRights("a<b&c", 0x3);
  EXPECT_EQ(r.Pack(), Rights("<Inherited>1</Inherited><Effective>15</Effective>" + Entry(kP1, "4098") +
                             "<AccessEntry><SecurityProfile>a&lt;b&amp;c</SecurityProfile>"
                             "<Rights>2147483647</Rights></AccessEntry>"));
  r.SetInheritedFlag(false);
  r.SetRightsEx(kP2, 0x80000000u, true);
  EXPECT_EQ(r.Pack(), Rights("<Inherited>0</Inherited><Effective>2147483663</Effective>" + Entry(kP1, "4098") +
                             "<AccessEntry><SecurityProfile>a&lt;b&amp;c</SecurityProfile>"
                             "<Rights>2147483647</Rights></AccessEntry>" +
                             Entry(kP2, "2147483648")));
}

TEST(ObjectRightsPack, WithoutEntriesFlagsAreNotWritten) {
  OVOObjectRights r;
  r.SetInheritedFlag(false);
  r.SetRightsEx(kP1, 0x2, true);
  EXPECT_TRUE(r.DeleteAccessEntry(kP1));
  EXPECT_EQ(r.EffectiveRights(), 0x2u);
  const String packed = r.Pack();
  EXPECT_EQ(packed, "<ObjectRights></ObjectRights>");
  OVOObjectRights back(packed);
  EXPECT_TRUE(back.GetInheritedFlag());
  EXPECT_EQ(back.EffectiveRights(), 15u);
  EXPECT_TRUE(back.IsEmpty());
}

TEST(ObjectRightsPack, RoundTrip) {
  OVOObjectRights r;
  r.SetInheritedFlag(false);
  r.SetRightsEx(kP1, 0x7000, true);
  r.SetRights(kP2, 0x1);
  r.SetRights("  spaced  ", 0x2);
  r.SetRights("quote\"'apos\r\ntab\t", 0x4);
  r.SetRights("", 0x8);
  r.SetRights("\xC3\xA4nderung", 0x10);
  const String packed = r.Pack();
  OVOObjectRights back(packed);
  EXPECT_EQ(back, r);
  EXPECT_EQ(back.Pack(), packed);
  ASSERT_NE(back.FindAccessEntry("quote\"'apos\r\ntab\t"), nullptr);
  EXPECT_EQ(back.GetRights("  spaced  "), 0x2u);
  EXPECT_EQ(back.GetRights(""), 0u) << "an empty argument lists no profile";
  EXPECT_EQ(back.FindAccessEntry("")->GetRights(), 0x8u);
}

TEST(ObjectRightsPack, LargeListRoundTrip) {
  OVOObjectRights r;
  for (uint32_t i = 0; i < 5000; ++i) r.SetRights("profile-" + std::to_string(i), i << 1);
  const String packed = r.Pack();
  OVOObjectRights back(packed);
  ASSERT_EQ(back.GetAccessEntries().size(), 5000u);
  EXPECT_EQ(back, r);
  EXPECT_EQ(back.GetRights("PROFILE-4999;profile-1"), (4999u << 1) | 2u);
}

// ---------------------------------------------------------------------------
// Unpack

TEST(ObjectRightsUnpack, ClearsFirst) {
  OVOObjectRights r;
  r.SetInheritedFlag(false);
  r.SetRightsEx(kP1, 0x2, true);
  EXPECT_EQ(r.Unpack(Rights(Entry(kP2, "4"))), 1);
  EXPECT_EQ(r.FindAccessEntry(kP1), nullptr);
  EXPECT_TRUE(r.GetInheritedFlag());
  EXPECT_EQ(r.EffectiveRights(), 15u);
  EXPECT_EQ(r.GetRights(kP2), 0x4u);

  // A failed unpack leaves the object cleared.
  r.SetInheritedFlag(false);
  for (const char* text : {"", "<Other/>", "not xml", "<ObjectRights>", "<objectrights></objectrights>"}) {
    r.SetRights(kP1, 0x2);
    EXPECT_EQ(r.Unpack(String(text)), 0) << text;
    EXPECT_TRUE(r.IsEmpty()) << text;
    EXPECT_TRUE(r.GetInheritedFlag()) << text;
    EXPECT_EQ(r.EffectiveRights(), 15u) << text;
  }
}

TEST(ObjectRightsUnpack, TagsIgnoreCaseAndOrder) {
  const String exact = Rights("<Inherited>0</Inherited><Effective>6</Effective>" + Entry(kP1, "2") +
                              Entry(kP2, "4"));
  const String mixed = Rights(
      "<ACCESSENTRY><RIGHTS>2</RIGHTS><securityprofile>" + String(kP1) + "</securityprofile></ACCESSENTRY>"
      "<effective>6</effective>"
      "<accessEntry><Rights>4</Rights><SecurityPROFILE>" + kP2 + "</SecurityPROFILE></accessEntry>"
      "<INHERITED>0</INHERITED>");
  OVOObjectRights a(exact), b(mixed);
  EXPECT_FALSE(a.GetInheritedFlag());
  EXPECT_EQ(a.EffectiveRights(), 6u);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.Pack(), b.Pack());
  EXPECT_EQ(a.Pack(), exact);
}

TEST(ObjectRightsUnpack, UnknownNodesAreSkipped) {
  const String text = Rights(
      "<Unknown>9</Unknown><Inherited>0</Inherited>"
      "<AccessEntry><Extra><Rights>8</Rights></Extra><SecurityProfile>p</SecurityProfile>"
      "<Rights>2</Rights><Other/></AccessEntry>"
      "<Nested><AccessEntry>" + Entry("hidden", "4") + "</AccessEntry></Nested>"
      "<Effective>7</Effective><Trailer>x</Trailer>");
  OVOObjectRights r(text);
  ASSERT_EQ(r.GetAccessEntries().size(), 1u);
  EXPECT_EQ(r.GetRights("p"), 0x2u);
  EXPECT_EQ(r.FindAccessEntry("hidden"), nullptr);
  EXPECT_FALSE(r.GetInheritedFlag());
  EXPECT_EQ(r.EffectiveRights(), 7u) << "nodes after the entries are still read";
}

TEST(ObjectRightsUnpack, EntriesGoThroughSetRights) {
  // Full control widens; a repeated profile (in any case) replaces the rights.
  OVOObjectRights r(Rights(Entry("p", "3") + Entry("q", "2") + Entry("P", "4") + Entry("Q", "5")));
  const auto& e = r.GetAccessEntries();
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0]->GetSecurityProfile(), "p");
  EXPECT_EQ(e[0]->GetRights(), 0x4u);
  EXPECT_EQ(e[1]->GetSecurityProfile(), "q");
  EXPECT_EQ(e[1]->GetRights(), 0x7FFFFFFFu);
}

TEST(ObjectRightsUnpack, ScalarValues) {
  struct Case {
    const char* inherited;
    bool want;
  };
  for (const Case& c : {Case{"1", true}, Case{"0", false}, Case{"2", true}, Case{"-1", true}, Case{"", false},
                        Case{"abc", false}, Case{" 7x", true}, Case{"00", false}}) {
    OVOObjectRights r(Rights("<Inherited>" + String(c.inherited) + "</Inherited>"));
    EXPECT_EQ(r.GetInheritedFlag(), c.want) << "'" << c.inherited << "'";
  }
  struct U {
    const char* text;
    uint32_t want;
  };
  for (const U& c : {U{"4294967295", 0xFFFFFFFFu}, U{"99999999999", 0xFFFFFFFFu}, U{"", 0}, U{"x", 0},
                     U{"12abc", 12}, U{"-1", 0xFFFFFFFFu}}) {
    OVOObjectRights r(Rights("<Effective>" + String(c.text) + "</Effective>" + Entry("p", c.text)));
    EXPECT_EQ(r.EffectiveRights(), c.want) << c.text;
    EXPECT_EQ(r.GetRights("p"), (c.want & 1) ? (c.want | 0x7FFFFFFFu) : c.want) << c.text;
  }
  // The later of two scalar nodes wins.
  OVOObjectRights twice(Rights("<Effective>3</Effective><Effective>9</Effective>"));
  EXPECT_EQ(twice.EffectiveRights(), 9u);
}

TEST(ObjectRightsUnpack, IncompleteEntries) {
  OVOObjectRights r(Rights("<AccessEntry><Rights>2</Rights></AccessEntry>"
                           "<AccessEntry><SecurityProfile>p</SecurityProfile></AccessEntry>"
                           "<AccessEntry/>"));
  const auto& e = r.GetAccessEntries();
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0]->GetSecurityProfile(), "");
  EXPECT_EQ(e[0]->GetRights(), 0u) << "the empty profile's second entry replaced the first";
  EXPECT_EQ(e[1]->GetSecurityProfile(), "p");
  EXPECT_EQ(e[1]->GetRights(), 0u);
  OVOObjectRights back(r.Pack());
  EXPECT_EQ(back, r);
}

TEST(ObjectRightsUnpack, FromParserInsideAContainer) {
  const String doc = "<Job><Name>j</Name>" + Rights("<Inherited>0</Inherited>" + Entry("p", "2")) +
                     "<After>x</After></Job>";
  OFLXMLParser parser(doc);
  ASSERT_TRUE(parser.FindElem("Job"));
  ASSERT_TRUE(parser.FindChildElem());
  OVOObjectRights r;
  EXPECT_EQ(r.Unpack(parser), 0) << "the child is <Name>";
  EXPECT_EQ(parser.GetChildTagName(), "Name");
  EXPECT_TRUE(r.IsEmpty());
  ASSERT_TRUE(parser.FindChildElem());
  EXPECT_EQ(r.Unpack(parser), 1);
  EXPECT_FALSE(r.GetInheritedFlag());
  EXPECT_EQ(r.GetRights("p"), 0x2u);
  // The container's walk goes on behind the rights.
  EXPECT_EQ(parser.GetChildTagName(), "ObjectRights");
  ASSERT_TRUE(parser.FindChildElem());
  EXPECT_EQ(parser.GetChildTagName(), "After");
}

TEST(ObjectRightsUnpack, ConstructFromText) {
  OVOObjectRights r(Rights(Entry(kP1, "4")));
  EXPECT_EQ(r.GetRights(kP1), 0x4u);
  OVOObjectRights none(String("garbage"));
  EXPECT_EQ(none, OVOObjectRights());
}

// ---------------------------------------------------------------------------
// Supported special rights

TEST(ObjectRightsSupported, ByTypeWithoutObject) {
  EXPECT_EQ(R::GetSupportedSpecialRights(5), 0xC0u);
  EXPECT_EQ(R::GetSupportedSpecialRights(32), 0x40000u);
  EXPECT_EQ(R::GetSupportedSpecialRights(33), 0u);
  EXPECT_EQ(R::GetSupportedSpecialRights(40), 0x700u);
  EXPECT_EQ(R::GetSupportedSpecialRights(50), 0x3F0C0u);
  EXPECT_EQ(R::GetSupportedSpecialRights(51), 0x3F000u);
  EXPECT_EQ(R::GetSupportedSpecialRights(55), 0x1000u);
  for (uint32_t t : {0u, 1u, 4u, 6u, 31u, 34u, 39u, 41u, 49u, 52u, 54u, 56u, 0xFFFFFFFFu})
    EXPECT_EQ(R::GetSupportedSpecialRights(t), 0u) << t;
}

TEST(ObjectRightsSupported, ObjectMattersOnlyForUnitsAndApplications) {
  const SecurableObjectInfo plain{kP1, 0xFFFFFFFFu};
  const SecurableObjectInfo noAut{kNoAut, 0xFFFFFFFFu};
  for (const SecurableObjectInfo* o : {&plain, &noAut}) {
    EXPECT_EQ(R::GetSupportedSpecialRights(32, o), 0x40000u);
    EXPECT_EQ(R::GetSupportedSpecialRights(40, o), 0x700u);
    EXPECT_EQ(R::GetSupportedSpecialRights(50, o), 0x3F0C0u);
    EXPECT_EQ(R::GetSupportedSpecialRights(51, o), 0x3F000u);
    EXPECT_EQ(R::GetSupportedSpecialRights(55, o), 0x1000u);
    EXPECT_EQ(R::GetSupportedSpecialRights(7, o), 0u);
  }
  EXPECT_EQ(R::GetSupportedSpecialRights(33, &plain), 0x70000u);
  EXPECT_EQ(R::GetSupportedSpecialRights(33, &noAut), 0u);
  const SecurableObjectInfo noAutLower{OFL::ToLower(kNoAut), 0};
  EXPECT_EQ(R::GetSupportedSpecialRights(33, &noAutLower), 0u);
  const SecurableObjectInfo noGuid{"", 0};
  EXPECT_EQ(R::GetSupportedSpecialRights(33, &noGuid), 0x70000u);
}

TEST(ObjectRightsSupported, UnitMasks) {
  struct Case {
    uint32_t mask;
    const char* guid;
    uint32_t want;
  };
  const Case cases[] = {
      {0, kP1, 0xC0},
      {0x400000, kP1, 0x3F0C0},
      {0x10000, kP1, 0x7C0},
      {0x410000, kP1, 0x3F7C0},
      {0x1000000, kP1, 0x10C0},
      {0x2000000, kP1, 0x10C0},
      {0x3000000, kP1, 0x10C0},
      {0x2, kP1, 0x700C0},
      {0x2, kNoAut, 0xC0},
      {0x2, "e1ce0953-cdaa-4609-b962-9b1f75b23cee", 0xC0},
      {0x10, kP1, 0x400C0},
      {0x12, kNoAut, 0x400C0},
      {0x12, kP1, 0x700C0},
      {0x200000, kP1, 0x1000C0},
      {0x10002, kNoAut, 0x7C0},
      {0x10002, kP1, 0x707C0},
      {0x400000 | 0x2, kP1, 0x7F0C0},
      {0x3610012, kP1, 0x17F7C0},
      {0xFFFFFFFF, kNoAut, 0x17F7C0},
      // Bits that mean nothing for rights.
      {0x1 | 0x4 | 0x8 | 0x20 | 0x8000 | 0x20000 | 0x100000 | 0x800000 | 0x4000000, kP1, 0xC0},
  };
  for (const Case& c : cases) {
    const SecurableObjectInfo unit{c.guid, c.mask};
    EXPECT_EQ(R::GetSupportedSpecialRights(5, &unit), c.want) << std::hex << c.mask << " " << c.guid;
  }
}

// ---------------------------------------------------------------------------
// Right names

TEST(ObjectRightsNames, BasicRightsForEveryType) {
  for (uint32_t t : {0u, 4u, 5u, 33u, 56u, 1000u, 0xFFFFFFFFu}) {
    String name;
    EXPECT_TRUE(R::GetRightName(t, 0, 0x1, name));
    EXPECT_EQ(name, "Full control");
    EXPECT_TRUE(R::GetRightName(t, 0, 0x2, name));
    EXPECT_EQ(name, "Read");
    EXPECT_TRUE(R::GetRightName(t, 0, 0x4, name));
    EXPECT_EQ(name, "Change");
    EXPECT_TRUE(R::GetRightName(t, 0, 0x8, name));
    EXPECT_EQ(name, "Delete");
  }
}

TEST(ObjectRightsNames, EveryRow) {
  struct Row {
    uint32_t type;
    uint32_t supported;
    uint32_t right;
    const char* name;
  };
  const Row rows[] = {
      {5, 0, 0x40, "Create orgunit"},
      {5, 0, 0x80, "Create subobject"},
      {5, 0, 0x100, "Job:Assign target"},
      {5, 0, 0x200, "Job:Control Job"},
      {5, 0, 0x400, "Job:Edit auto assign"},
      {5, 0, 0x1000, "Assign jobs"},
      {5, 0, 0x10000, "App:Analyze AUT"},
      {5, 0, 0x20000, "App:Configure AUT"},
      {5, 0x12, 0x40000, "App/OS:Manage licences"},
      {5, 0x10, 0x40000, "OS:Manage licences"},
      {5, 0x2, 0x40000, "App:Manage licences"},
      {5, 0, 0x40000, "App:Manage licences"},
      {5, 0xFFFFFFFF, 0x40000, "App/OS:Manage licences"},
      {5, 0x200000, 0x100000, "Sync to Sentra"},
      {32, 0, 0x40000, "Manage licences"},
      {33, 0, 0x10000, "Analyze AUT"},
      {33, 0, 0x20000, "Configure AUT"},
      {33, 0, 0x40000, "Manage licences"},
      {40, 0, 0x100, "Assign target"},
      {40, 0, 0x200, "Control Job"},
      {40, 0, 0x400, "Edit auto assign"},
      {50, 0, 0x40, "Create subgroup"},
      {50, 0, 0x80, "Create Object"},
      {50, 0, 0x1000, "System:Assign jobs"},
      {50, 0, 0x8000, "System:Schedule jobs immediately"},
      {50, 0, 0x10000, "System:Analyze AUT"},
      {50, 0, 0x20000, "System:Configure AUT"},
      {50, 0, 0x2000, "Remote Control"},
      {50, 0, 0x4000, "BitLocker"},
      {51, 0, 0x1000, "Assign jobs"},
      {51, 0, 0x2000, "Remote Control"},
      {51, 0, 0x4000, "BitLocker"},
      {51, 0, 0x8000, "Schedule jobs immediately"},
      {51, 0, 0x10000, "Analyze AUT"},
      {51, 0, 0x20000, "Configure AUT"},
      {55, 0, 0x1000, "Assign jobs"},
  };
  for (const Row& r : rows) {
    String name = "previous";
    EXPECT_TRUE(R::GetRightName(r.type, r.supported, r.right, name)) << r.type << " " << std::hex << r.right;
    EXPECT_EQ(name, r.name) << r.type << " " << std::hex << r.right;
  }
}

TEST(ObjectRightsNames, SyncWithoutUnitBitSucceedsAndKeepsName) {
  String name = "keep";
  EXPECT_TRUE(R::GetRightName(5, 0x1FFFFF, 0x100000, name));
  EXPECT_EQ(name, "keep");
  EXPECT_FALSE(R::GetRightName(50, 0x200000, 0x100000, name));
  EXPECT_FALSE(R::GetRightName(51, 0x200000, 0x100000, name));
  EXPECT_EQ(name, "keep");
}

TEST(ObjectRightsNames, CombinationsWithoutName) {
  struct Row {
    uint32_t type;
    uint32_t right;
  };
  const Row rows[] = {
      {4, 0x40},      {56, 0x1000},   {0, 0x1000},    {6, 0x1000},    {31, 0x40000}, {34, 0x10000},
      {5, 0x2000},    {5, 0x4000},    {5, 0x8000},    {5, 0x800},     {5, 0x10},     {5, 0x3},
      {5, 0},         {32, 0x10000},  {32, 0x1000},   {33, 0x1000},   {33, 0x100},   {40, 0x1000},
      {40, 0x40},     {50, 0x100},    {50, 0x40000},  {51, 0x40},     {51, 0x40000}, {51, 0x200},
      {55, 0x2000},   {55, 0x10000},  {5, 0x80000000}, {50, 0x3000},
  };
  for (const Row& r : rows) {
    String name = "untouched";
    EXPECT_FALSE(R::GetRightName(r.type, 0xFFFFFFFF, r.right, name)) << r.type << " " << std::hex << r.right;
    EXPECT_EQ(name, "untouched");
  }
}

TEST(ObjectRightsNames, GermanTexts) {
  LanguageGuard german(1031);
  String name;
  ASSERT_TRUE(R::GetRightName(5, 0, 0x100, name));
  EXPECT_EQ(name, "Job:" + OFLTools::LoadResString(7030));
  EXPECT_EQ(name, "Job:Ziel zuweisen");
  ASSERT_TRUE(R::GetRightName(0, 0, 0x1, name));
  EXPECT_EQ(name, "Vollzugriff");
  ASSERT_TRUE(R::GetRightName(5, 0x12, 0x40000, name));
  EXPECT_EQ(name, "App/OS:Lizenzen verwalten");
  ASSERT_TRUE(R::GetRightName(50, 0, 0x1000, name));
  EXPECT_EQ(name, "System:Jobs zuweisen");
}

TEST(ObjectRightsNames, LanguageIsRestored) {
  String name;
  ASSERT_TRUE(R::GetRightName(51, 0, 0x2000, name));
  EXPECT_EQ(name, "Remote Control");
}

// ---------------------------------------------------------------------------
// Short names

TEST(ObjectRightsShortNames, Written) {
  EXPECT_EQ(R::GetShortRightNames(5, 0x101, false), "F,Job:AssignTrg");
  EXPECT_EQ(R::GetShortRightNames(5, 0x101, true), "Job:AssignTrg");
  EXPECT_EQ(R::GetShortRightNames(5, 0x7FFFFFFF, false),
            "F,R,W,X,CrOrgUnit,CrObject,LicMgmt,SyncSentra,Job:AssignTrg,Job:Control,Job:EdAutoAss,"
            "AssignJob,RemoteControl,BitLocker,ScheduleJobsImmediately,AUTConfig,AUTView");
  EXPECT_EQ(R::GetShortRightNames(40, 0x7FFFFFFF, true), "AssignTrg,Control,EdAutoAss");
  EXPECT_EQ(R::GetShortRightNames(50, 0x7FFFFFFF, true),
            "CrOrgUnit,CrObject,AssignJob,RemoteControl,BitLocker,ScheduleJobsImmediately,AUTConfig,AUTView");
  EXPECT_EQ(R::GetShortRightNames(51, 0x7FFFFFFF, true),
            "AssignJob,RemoteControl,BitLocker,ScheduleJobsImmediately,AUTConfig,AUTView");
  EXPECT_EQ(R::GetShortRightNames(55, 0x30000, false), "AUTConfig,AUTView");
  EXPECT_EQ(R::GetShortRightNames(33, 0x7FFFFFFF, true), "AUTConfig,AUTView,LicMgmt");
  EXPECT_EQ(R::GetShortRightNames(32, 0x7FFFFFFF, true), "LicMgmt");
  EXPECT_EQ(R::GetShortRightNames(0, 0xFFFFFFFF, false), "F,R,W,X");
  EXPECT_EQ(R::GetShortRightNames(0, 0xFFFFFFFF, true), "");
  EXPECT_EQ(R::GetShortRightNames(5, 0xA, false), "R,X");
  EXPECT_EQ(R::GetShortRightNames(5, 0xF, true), "");
  EXPECT_EQ(R::GetShortRightNames(5, 0, false), "");
  EXPECT_EQ(R::GetShortRightNames(40, 0x40, false), "") << "jobs have no create rights";
  EXPECT_EQ(R::GetShortRightNames(50, 0x140000, false), "") << "licences and Sentra are unit rights";
}

TEST(ObjectRightsShortNames, Read) {
  EXPECT_EQ(R::GetRightsFromNames(5, "F,Job:AssignTrg"), 0x101u);
  EXPECT_EQ(R::GetRightsFromNames(5, "SyncSentra"), 0u);
  EXPECT_EQ(R::GetRightsFromNames(5, "SentraCockpit"), 0x100000u);
  EXPECT_EQ(R::GetRightsFromNames(5, "Unit:SentraCockpit,R"), 0x100002u);
  EXPECT_EQ(R::GetRightsFromNames(5, "App/OS:LicMgmt"), 0x40000u);
  EXPECT_EQ(R::GetRightsFromNames(0, "f,r,w,x"), 0xFu);
  EXPECT_EQ(R::GetRightsFromNames(0, "AUTVIEW,autconfig"), 0x30000u);
  EXPECT_EQ(R::GetRightsFromNames(0, ""), 0u);
  EXPECT_EQ(R::GetRightsFromNames(0, ",,,"), 0u);
  EXPECT_EQ(R::GetRightsFromNames(0, ",R,,W,"), 0x6u);
  EXPECT_EQ(R::GetRightsFromNames(0, "R,R,R"), 0x2u);
  EXPECT_EQ(R::GetRightsFromNames(0, ":F"), 0x1u);
  EXPECT_EQ(R::GetRightsFromNames(0, "F:"), 0u);
  EXPECT_EQ(R::GetRightsFromNames(0, "a:b:F"), 0u) << "only up to the first colon goes";
  EXPECT_EQ(R::GetRightsFromNames(0, " F,R "), 0u) << "tokens are not trimmed";
  EXPECT_EQ(R::GetRightsFromNames(0, "F;R"), 0u) << "the separator is a comma";
  EXPECT_EQ(R::GetRightsFromNames(0, "Full,Read,CrObj,Controls"), 0u);
  EXPECT_EQ(R::GetRightsFromNames(0, "CrOrgUnit,CrObject,Control,EdAutoAss,AssignJob,RemoteControl,"
                                     "BitLocker,ScheduleJobsImmediately"),
            0xF6C0u);
}

TEST(ObjectRightsShortNames, EveryWrittenNameReadsBack) {
  for (uint32_t type : {5u, 32u, 33u, 40u, 50u, 51u, 55u, 0u}) {
    for (uint32_t bit = 1; bit != 0; bit <<= 1) {
      const String names = R::GetShortRightNames(type, bit, false);
      if (names.empty()) continue;
      const uint32_t want = bit == R::kRightSyncToSentra ? 0u : bit;
      EXPECT_EQ(R::GetRightsFromNames(type, names), want) << type << " " << names;
    }
    const uint32_t all = R::GetSupportedSpecialRights(type) | 0xF;
    EXPECT_EQ(R::GetRightsFromNames(type, R::GetShortRightNames(type, all, false)), all) << type;
  }
  const SecurableObjectInfo fullUnit{kP1, 0xFFFFFFFF};
  const uint32_t unitAll = R::GetSupportedSpecialRights(5, &fullUnit);
  EXPECT_EQ(R::GetRightsFromNames(5, R::GetShortRightNames(5, unitAll, true)), unitAll & ~0x100000u);
}

// ---------------------------------------------------------------------------
// Known GUIDs

TEST(KnownGuids, SecurableOrgUnits) {
  using orvacmn::KnownGuids::Helper;
  const String& list = Helper::GetSecurableOrgUnits();
  EXPECT_EQ(list,
            "8E5102E3-C2E1-47BA-AD76-295D3DF9EF31;299D0B30-D384-430C-875A-63C3EF73A150;"
            "E09EE6E7-3BE1-44DE-A28C-43E958378F72;5F77955E-26A4-4A91-9B99-A4833A2E8CF6;"
            "0D8C6BB7-1E08-431D-9742-B0BAF7F3F74B;D429BFF9-619B-45C8-9098-70387A92251E;"
            "663FF36F-73C0-4224-9C89-F320563AD2F7;CA5F037F-358E-48EE-81B0-9C14AD55FC68;"
            "6ADA3805-9AEE-4D2D-AC64-E2F92ED4BAF8;D93E97F2-27AF-47DA-A423-EE7CF7B74A75;"
            "237F4CA3-5808-4C79-B7F6-014C6F65215B;B618FEFB-57E9-4197-AEE2-426B47087DD4");
  EXPECT_EQ(&list, &Helper::GetSecurableOrgUnits()) << "built once";
  const String& old = Helper::GetOldSecurableOrgUnits();
  EXPECT_EQ(old,
            "C6567FDB-74B4-40C1-846D-12011A163B4A;C6567FDB-74B4-40C1-846D-12011A163B4A;"
            "299D0B30-D384-430C-875A-63C3EF73A150;45DAD49A-4396-4EEA-B12E-8F2D4DEB6813;"
            "5F77955E-26A4-4A91-9B99-A4833A2E8CF6;E09EE6E7-3BE1-44DE-A28C-43E958378F72;"
            "0D8C6BB7-1E08-431D-9742-B0BAF7F3F74B;CA5F037F-358E-48EE-81B0-9C14AD55FC68;"
            "B24381C8-868C-48CE-92B2-638C6123892B;BC58245D-FD57-46D6-9CDC-59DECC580B9D;"
            "04B644FE-C0A5-42AB-A0BB-0814DFBD6A1F;237F4CA3-5808-4C79-B7F6-014C6F65215B");
  for (const String* l : {&list, &old}) {
    const OFLTokenizer t(*l, ";");
    EXPECT_EQ(t.GetCount(), 12);
    for (const String& g : t) EXPECT_TRUE(OFL::Tools::IsGuid(g)) << g;
  }
  EXPECT_EQ(String(orvacmn::KnownGuids::kNoAutOrLicenseRights), kNoAut);
}

TEST(KnownGuids, ConcurrentFirstUse) {
  std::vector<std::thread> threads;
  std::vector<const String*> seen(8);
  for (size_t i = 0; i < seen.size(); ++i)
    threads.emplace_back([&seen, i] { seen[i] = &orvacmn::KnownGuids::Helper::GetOldSecurableOrgUnits(); });
  for (auto& t : threads) t.join();
  for (const String* s : seen) EXPECT_EQ(s, seen[0]);
}

}  // namespace
