// Software scan rules: file rules, their entries, the rule of an
// application in both forms, and rules applied to computers.
#include <gtest/gtest.h>

#include "common/tz.h"
#include "orvacmn/software/scan_rules.h"

namespace {

using orvacmn::OVOSWScanAppRule;
using orvacmn::OVOSystemAppliedSWScanRule;
using orvacmn::OVO::FileRule;
using orvacmn::OVO::SWRule;

OFLVersionInfo Info(const std::string& name) {
  OFLVersionInfo info;
  info.FileName = name;
  info.Version = "1.2.3";
  info.Company = "Vendor & Co <x>";
  info.ProductName = "Tool";
  info.InternalName = "tool-" + name;
  info.Language = "0409";
  info.ProductVersion = "1.2";
  info.FileDescription = "desc";
  info.FileVersionNumeric = "1.2.3.4";
  return info;
}

OVOSWScanAppRule SampleRule() {
  OVOSWScanAppRule rule;
  rule.SetGUID("guid");
  rule.SetVendor("Vendor");
  rule.SetName("Tool");
  rule.SetVersion("1.2");
  rule.SetAppliedCount(4000000000u);
  rule.SetProtected(true);
  rule.SetCategory("Utilities");
  rule.SetComment("a \"comment\" & more");
  rule.SetLinkedSoftware("linked");
  rule.SetIsManagedSoftwareRule(true);
  rule.InsertFileEntry(Info("tool.exe"), 1ull << 33, 1717236000, 0xDEADBEEF, 2, 0x21);
  rule.InsertFileEntry(Info("helper.dll"), 0, -5, 0, 0, 0);
  return rule;
}

TEST(FileRule, PacksAllFieldsAndIgnoresOthers) {
  FileRule rule;
  rule.SetVersionInfo(Info("a.exe"));
  rule.SetSize(uint64_t{1} << 63);
  rule.SetFileDate(-1);
  rule.SetCRC(0xFFFFFFFF);
  const std::string text = rule.Pack();
  EXPECT_EQ(text.substr(0, 26), "<FileRule><FileName>a.exe<");
  EXPECT_NE(text.find("<Size>-9223372036854775808</Size>"), std::string::npos);
  FileRule back("", false);
  ASSERT_EQ(back.Unpack(text), 1);
  EXPECT_EQ(back, rule);
  // Without its root the rule stays as it was.
  EXPECT_EQ(back.Unpack("<Other><FileName>x</FileName></Other>"), 0);
  EXPECT_EQ(back.GetFileName(), "a.exe");
  ASSERT_EQ(back.Unpack("<FileRule><filename>b</filename><Options>3</Options><crc>7</crc></FileRule>"), 1);
  EXPECT_EQ(back.GetFileName(), "b");
  EXPECT_EQ(back.GetCRC(), 7u);
  EXPECT_EQ(back.GetVILanguage(), "");
  EXPECT_NE(back, rule);
}

TEST(SWRule, DefaultsAndDirectoryGroups) {
  const SWRule fresh;
  const std::string text = fresh.Pack();
  EXPECT_EQ(text.substr(0, 21), "<SWScanRuleFileEntry>");
  EXPECT_NE(text.find("<VIProductName></VIProductName>"), std::string::npos);
  for (const char* tag : {"VIVersion", "VICompany", "VIInternalName", "VILanguage", "VIProductVersion",
                          "VIFileDescription", "VIFileVersionNumeric"})
    EXPECT_NE(text.find(std::string("<") + tag + ">*</"), std::string::npos) << tag;
  EXPECT_NE(text.find("<DirGroup>0</DirGroup><Options>0</Options></SWScanRuleFileEntry>"), std::string::npos);
  EXPECT_EQ(fresh.GetDirGroupAsString(), "*");

  SWRule rule("<SWScanRuleFileEntry><SubDirLevel>3</SubDirLevel><VICompany>Acme</VICompany></SWScanRuleFileEntry>");
  EXPECT_EQ(rule.GetDirGroup(), 3u);
  EXPECT_EQ(rule.GetDirGroupAsString(), "3");
  EXPECT_EQ(rule.GetVersionInfo().Company, "Acme");
  EXPECT_EQ(rule.GetVersionInfo().Version, "*");  // missing nodes keep the rule's defaults
  EXPECT_EQ(SWRule(rule.Pack()), rule);
  const SWRule plain("", false);
  EXPECT_EQ(plain.GetVersionInfo().Version, "");

  SWRule other = rule;
  other.SetDirGroup(9);
  EXPECT_TRUE(other.IsFileRuleEqual(rule));
  EXPECT_NE(other, rule);
}

TEST(SWRule, RegistryMarker) {
  SWRule rule;
  for (const auto& [name, reg] : std::vector<std::pair<std::string, bool>>{
           {"$REG$HKLM\\Software", true}, {"$reg$x", true}, {"REG\\x", false}, {"$RE", false}, {"x$REG$", false}})
  {
    rule.SetBaseFilename(name);
    EXPECT_EQ(rule.IsRegistry(), reg) << name;
  }
}

TEST(SWRule, PropertiesForm) {
  const OVOSWScanAppRule app = SampleRule();
  const SWRule& rule = app.GetRules().front();
  SWRule back;
  back.UnpackFromProperties(rule.PackAsProperties());
  EXPECT_EQ(back, rule);
  EXPECT_EQ(back.GetSize(), 1ull << 33);
  // Missing and empty texts keep the defaults; SubDirLevel is the group.
  back.UnpackFromProperties(
      "<Properties><PropertyEntry><Param>VI.Company</Param><Value></Value></PropertyEntry>"
      "<PropertyEntry><Param>SubDirLevel</Param><Value>4</Value></PropertyEntry>"
      "<PropertyEntry><Param>Name</Param><Value>n</Value></PropertyEntry></Properties>");
  EXPECT_EQ(back.GetFileName(), "n");
  EXPECT_EQ(back.GetVersionInfo().Company, "*");
  EXPECT_EQ(back.GetVersionInfo().ProductName, "");
  EXPECT_EQ(back.GetDirGroup(), 4u);
  EXPECT_EQ(back.GetCRC(), 0u);
}

TEST(ScanAppRule, BothFormsReadBack) {
  const OVOSWScanAppRule rule = SampleRule();
  const std::string plain = rule.Pack(1), encrypted = rule.Pack(0);
  EXPECT_NE(plain.find("<Rules plaintext=\"yes\">"), std::string::npos);
  EXPECT_EQ(encrypted.find("tool.exe"), std::string::npos);
  EXPECT_NE(rule.Pack().find("<Rules>1"), std::string::npos);
  for (const std::string& text : {plain, encrypted}) {
    OVOSWScanAppRule back(text);
    EXPECT_EQ(back, rule);
    EXPECT_FALSE(back.HasUnreadableRules());
    EXPECT_EQ(back.GetRules().size(), 2u);
  }
  // Order of the nodes and the case of their tags do not matter.
  OVOSWScanAppRule back("<SWScanRule><isosrule>1</isosrule><guid>g</guid><APPLIEDCOUNT>7</APPLIEDCOUNT></SWScanRule>");
  EXPECT_EQ(back.GetGUID(), "g");
  EXPECT_EQ(back.GetAppliedCount(), 7u);
  EXPECT_TRUE(back.IsOSRule());
  EXPECT_EQ(back.Unpack("<SWScanRules/>"), 0);
  EXPECT_EQ(back.GetGUID(), "");
}

TEST(ScanAppRule, GarbageRulesGiveNoRules) {
  const std::string encrypted = SampleRule().Pack(0);
  const size_t start = encrypted.find("<Rules>") + 7, end = encrypted.find("</Rules>");
  for (const std::string& rules : {std::string("garbage"), std::string("1AAAA"),
                                   encrypted.substr(start, end - start - 3) + "abc"}) {
    OVOSWScanAppRule back(encrypted.substr(0, start) + rules + encrypted.substr(end));
    EXPECT_TRUE(back.GetRules().empty());
    EXPECT_TRUE(back.HasUnreadableRules());
    EXPECT_EQ(back.GetName(), "Tool");
  }
  OVOSWScanAppRule empty("<SWScanRule><Rules></Rules></SWScanRule>");
  EXPECT_FALSE(empty.HasUnreadableRules());
  OVOSWScanAppRule rule;
  EXPECT_FALSE(rule.SetFiles("3:abc9:x"));
  EXPECT_TRUE(rule.GetRules().empty());
  EXPECT_TRUE(rule.SetFiles(""));
}

TEST(ScanAppRule, Names) {
  OVOSWScanAppRule rule;
  EXPECT_EQ(rule.GetDisplayName(), "");
  rule.SetName("Tool");
  EXPECT_EQ(rule.GetDisplayName(), "Tool ");  // no vendor, no blank before; the version's blank stays
  rule.SetVendor("Acme");
  rule.SetVersion("2.0");
  EXPECT_EQ(rule.GetDisplayName(), "Acme Tool 2.0");
  EXPECT_EQ(rule.GetVIInternalNameOfFirstRule(), "");
  EXPECT_EQ(SampleRule().GetVIInternalNameOfFirstRule(), "tool-tool.exe");
}

TEST(ScanAppRule, OSRules) {
  OVOSWScanAppRule rule;
  EXPECT_FALSE(rule.IsOSRule());
  rule.SetIsOSRule(true);
  EXPECT_TRUE(rule.IsOSRule());
  rule.InsertFileEntry(Info("kernel"), 0, 0, 0, 0, 0);
  EXPECT_FALSE(rule.IsOSRule());  // with rules, the rules decide
  SWRule os;
  os.SetBaseFilename("$OS$Windows");
  rule.GetRules().push_back(os);
  EXPECT_TRUE(rule.IsOSRule());
  rule.GetRules().back().SetBaseFilename("$os$Windows");  // case counts
  EXPECT_FALSE(rule.IsOSRule());
}

TEST(ScanAppRule, WildcardsForOldDates) {
  orvacmn::testing::ScopedTZ tz("UTC");
  OVOSWScanAppRule rule;
  rule.InsertFileEntry(Info("old"), 0, 86400 * 100, 0, 0, 0);      // April 1970
  rule.InsertFileEntry(Info("new"), 0, 1717236000, 0, 0, 0);       // 2024
  rule.InsertFileEntry(Info("marked"), 0, 0, 0, 0, 0x8);
  rule.InsertFileEntry(Info("negative"), 0, -100, 0, 0, 0);
  rule.InsertFileEntry(Info("edge"), 0, 31536000, 0, 0, 0);        // 1971-01-01 00:00
  EXPECT_TRUE(rule.FixWildcardsForDateTime());
  std::vector<uint32_t> options;
  for (const SWRule& r : rule.GetRules()) options.push_back(r.GetOptions());
  EXPECT_EQ(options, (std::vector<uint32_t>{0x18, 0, 0x8, 0x18, 0}));
  EXPECT_FALSE(rule.FixWildcardsForDateTime());
  rule.DeleteListFiles();
  EXPECT_TRUE(rule.GetRules().empty());
}

TEST(SystemAppliedRule, PacksTheRuleEncrypted) {
  orvacmn::testing::ScopedTZ tz("UTC");
  OVOSystemAppliedSWScanRule applied;
  applied.SetGUIDMachine("machine");
  applied.SetOVOSWScanAppRules(SampleRule());
  applied.SetLastSeen(1717236000);
  applied.SetInventoryPath("\\\\srv\\inv");
  applied.SetInventoryVersion("3");
  applied.SetConflictedRules("a;b");
  const std::string text = applied.Pack();
  EXPECT_EQ(text.substr(0, 48), "<SystemAppliedSWScanRule><GUIDMachine>machine</G");
  EXPECT_NE(text.find("<LastSeen>20240601100000</LastSeen>"), std::string::npos);
  EXPECT_EQ(text.find("plaintext"), std::string::npos);
  OVOSystemAppliedSWScanRule back(text);
  EXPECT_EQ(back, applied);

  orvacmn::OVOSystemAppliedSWScanRuleList list;
  list.AddTail(new OVOSystemAppliedSWScanRule(text));
  list.AddTail(new OVOSystemAppliedSWScanRule());
  orvacmn::OVOSystemAppliedSWScanRuleList again(list.Pack());
  ASSERT_EQ(again.GetCount(), 2);
  EXPECT_EQ(*again.GetHead(), applied);
}

}  // namespace
