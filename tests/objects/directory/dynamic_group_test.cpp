// Dynamic groups and SQL conditions: the WHERE scanner's masking and search order, options, view names, the text
// forms and the list.
#include "orvacmn/directory/dynamic_group.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using orvacmn::OVODynamicGroup;
using orvacmn::OVODynamicGroupList;
using orvacmn::OvoSqlCondition;
using orvacmn::String;

int Where(const String& statement) {
  OvoSqlCondition c;
  c.SetStatement(statement);
  return c.FindWhereClause();
}

TEST(SqlCondition, FindWhereClauseMasksLiteralsAndSubSelectsAndTriesThePatternsInOrder) {
  EXPECT_EQ(Where("select * from v where (a = 'where x')"), 16);
  EXPECT_EQ(Where("select * from (select a from t where b=1) s"), -1);
  EXPECT_EQ(Where("SELECT A FROM T WHERE B=1"), 16);
  EXPECT_EQ(Where("select a from t where(b=1)"), 16);
  EXPECT_EQ(Where("select a from t where\tb"), 16);
  EXPECT_EQ(Where("select a from t where\rb"), 16);
  // A later "where " wins over an earlier "where" before a line feed, and a line feed over a tab.
  EXPECT_EQ(Where("select a from t where\nb = 1 or where c"), 31);
  EXPECT_EQ(Where("x where\tb where\nc"), 10);
  EXPECT_EQ(Where("x where\tb where(c"), 2);
  EXPECT_EQ(Where("x where\tb where\rc"), 10);
  // Quotes of either kind mask what they hold, parentheses too, and a closing one too many unmasks again.
  EXPECT_EQ(Where("select 'where ' from t"), -1);
  EXPECT_EQ(Where("select \"where \" from t"), -1);
  EXPECT_EQ(Where("select \"it's\" from t where a"), 21);
  EXPECT_EQ(Where("select 'say \"hi' from t where a"), 24);
  EXPECT_EQ(Where("select (a where b"), -1);
  EXPECT_EQ(Where("select a) from t where b"), 17);
  EXPECT_EQ(Where("select ((a)) where b"), 13);
  EXPECT_EQ(Where("select (a)(where b)"), -1);
  EXPECT_EQ(Where("select a from twhere b"), 15);
  EXPECT_EQ(Where("where"), -1);
  EXPECT_EQ(Where(""), -1);
  EXPECT_EQ(orvacmn::FindWhereKeyword("a WhErE b"), 2);
}

TEST(SqlCondition, TextFormAndDefaults) {
  OvoSqlCondition c;
  EXPECT_EQ(c.Pack(), "<SQLCondition><Managed>1</Managed><QueryData></QueryData><Statement></Statement></SQLCondition>");
  c.SetManaged(-5);
  c.SetQueryData("<q/>");
  c.SetStatement("a < b");
  const OvoSqlCondition back(c.Pack());
  EXPECT_EQ(back, c);
  EXPECT_EQ(back.GetManaged(), -5);
  const OvoSqlCondition other("<SQLCondition><statement>s</statement><X/></SQLCondition>");
  EXPECT_EQ(other.GetManaged(), 1);
  EXPECT_EQ(other.GetStatement(), "s");
  EXPECT_EQ(OvoSqlCondition("<SQLCondition><Managed>99999999999</Managed></SQLCondition>").GetManaged(), INT32_MAX);
  OvoSqlCondition cleared(c);
  EXPECT_EQ(cleared.Unpack("<Condition/>"), 0);
  EXPECT_EQ(cleared, OvoSqlCondition());
  EXPECT_NE(cleared, c);
}

TEST(DynamicGroup, OptionsAndIconMode) {
  // The icon mode is the low three bits and replaces them; a wider mode is not masked.
  OVODynamicGroup g;
  g.SetOptions(0x15);
  g.SetIconMode(3);
  EXPECT_EQ(g.GetOptions(), 0x13u);
  g.SetIconMode(0x18);
  EXPECT_EQ(g.GetOptions(), 0x18u);
  g.SetOptions(0x10);
  EXPECT_TRUE(g.GetOption(0x18));  // any of the bits
}

TEST(DynamicGroup, TextFormKeepsEveryFieldAndReadsTheRightsInPlace) {
  OVODynamicGroup g;
  EXPECT_EQ(g.Pack(),
            "<DynamicGroup><GUID></GUID><OrgUnit></OrgUnit><Name></Name><Statement></Statement><QueryData></QueryData>"
            "<SqlViewName></SqlViewName><Comment></Comment><Options>0</Options><ObjectRights></ObjectRights>"
            "</DynamicGroup>");
  g.SetGUID("G");
  g.SetOrgUnit("O");
  g.SetName("N");
  g.SetStatement("select * from v where a = 'x'");
  g.SetQueryData("<data>&</data>");
  g.SetSqlViewName("vw_X");
  g.SetComment(" c ");
  g.SetOptions(0xFFFFFFFF);
  g.GetObjectRights().SetRights("P", 2);
  OVODynamicGroup back(g.Pack());
  EXPECT_EQ(back, g);
  back.SetComment("");
  EXPECT_NE(back, g);

  // Tags in any case; a second rights element is read into the same rights.
  const OVODynamicGroup mixed(
      "<DynamicGroup><objectrights><AccessEntry><SecurityProfile>A</SecurityProfile><Rights>2</Rights></AccessEntry>"
      "</objectrights><guid>g</guid><OPTIONS>7</OPTIONS><ObjectRights><AccessEntry><SecurityProfile>B</SecurityProfile>"
      "<Rights>4</Rights></AccessEntry></ObjectRights><Unknown/></DynamicGroup>");
  EXPECT_EQ(mixed.GetGUID(), "g");
  EXPECT_EQ(mixed.GetIconMode(), 7u);
  EXPECT_EQ(mixed.GetObjectRights().GetRights("A;B"), 6u);
  EXPECT_EQ(OVODynamicGroup(mixed.Pack()), mixed);

  OVODynamicGroup cleared(g);
  EXPECT_EQ(cleared.Unpack("<Group/>"), 0);
  EXPECT_EQ(cleared, OVODynamicGroup());
}

TEST(DynamicGroup, ViewNameIsAValidDatabaseNameUniquePerGuid) {
  // The compressed GUID text (its forms are tested with it) after the prefix.
  EXPECT_EQ(OVODynamicGroup::GenerateViewName("E1CE0953-CDAA-4609-B962-9B1F75B23CEE"), "vw_4HHASU6NVJDATOLCTMPXLMR45Y");
  EXPECT_EQ(OVODynamicGroup::GenerateViewName("not a guid"), "vw_");
}

TEST(DynamicGroupList, FindsByObjectAndByName) {
  OVODynamicGroupList list;
  auto* a = new OVODynamicGroup;
  a->SetName("Servers");
  auto* b = new OVODynamicGroup;
  b->SetName("servers");
  auto* c = new OVODynamicGroup;
  c->SetName("servers");
  list.AddTail(a);
  list.AddTail(nullptr);
  const orvacmn::POSITION pb = list.AddTail(b);
  list.AddTail(c);
  EXPECT_EQ(list.Find(b), pb);
  OVODynamicGroup stranger;
  EXPECT_EQ(list.Find(&stranger), nullptr);
  orvacmn::POSITION pos = nullptr;
  EXPECT_EQ(list.Find("servers", pos), b);
  EXPECT_EQ(pos, pb);
  EXPECT_EQ(list.Find("SERVERS", pos), nullptr);
  EXPECT_EQ(pos, nullptr);
  list.DeleteObjects();
  EXPECT_TRUE(list.IsEmpty());
}

}  // namespace
