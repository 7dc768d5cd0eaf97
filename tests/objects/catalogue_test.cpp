// The catalogue: one entry per class, exact names, the two bags apart.
#include "orvacmn/objects/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "orvacmn/objects/xml_support.h"

namespace orvacmn {
namespace {

TEST(CatalogueTest, EveryClassOnceEveryLookupFindsItselfSchemasAndSharedNames) {
  const std::set<std::string_view> schema0 = {
      "OVO::AssetEnergyDay", "OVO::AssetEnergyWeek", "OVO::EnergyManagement::TimeTracking",
      "OVO::EnergyManagement::TimeTracking::CComputer", "OVO::EnergyManagement::TimeTracking::CMonitor",
      "OVO::EnergyManagement::PowerSettings", "OVOSoftwareApplication::DependencyEntry"};
  std::set<std::string_view> classes;
  std::map<std::string_view, int> uses;
  for (const CatalogueEntry& e : Catalogue()) {
    EXPECT_TRUE(classes.insert(e.className).second) << e.className;
    EXPECT_FALSE(e.objectName.empty()) << e.className;
    ++uses[e.objectName];
    EXPECT_EQ(FindCatalogueEntry(e.className), &e);
    const CatalogueEntries named = FindCatalogueEntriesByObjectName(e.objectName);
    EXPECT_TRUE(std::any_of(named.begin(), named.end(), [&](const CatalogueEntry& n) { return &n == &e; }));
    const uint32_t schema = schema0.count(e.className) ? 0u : e.className == "OVO::Properties" ? 0x50002u : 0x50001u;
    EXPECT_EQ(e.schema, schema) << e.className;
  }
  EXPECT_EQ(kCatalogueSize, 122u);
  EXPECT_EQ(classes.size(), kCatalogueSize);
  for (const auto& [name, n] : uses) EXPECT_EQ(n, name == "Properties" ? 2 : 1) << name;
  const CatalogueEntries both = FindCatalogueEntriesByObjectName("Properties");
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(String(both[0].className) + "," + String(both[1].className), "OVO::Properties,OVOProperties");
}

TEST(CatalogueTest, RuleGroupThenExceptionsLetterForLetterLookupsExactConstruction) {
  EXPECT_EQ(kCatalogue[0].className, "OVO::Asset");
  EXPECT_EQ(kCatalogue[kCatalogueRuleCount - 1].className, "OVOVars");
  EXPECT_EQ(kCatalogue[kCatalogueRuleCount].className, "OVOSystem");
  EXPECT_EQ(kCatalogue[kCatalogueSize - 1].className, "CVMProvisioningProfile");
  // Names that do not follow the rule (the rule group is checked when compiling).
  const std::map<std::string_view, std::string_view> exceptions = {
      {"OVOSystem", "Client"}, {"OVOGroup", "LogicalGroup"}, {"OVO::InventoryTemplate", "OVOInventoryTemplate"},
      {"OVO::EnergyManagement::TimeTracking::CComputer", "Computer"}, {"OVOAUTWhiteList", "AUTWhitelist"},
      {"OVO::EnergyManagement::PowerSettings", "OVOPowerSettings"}, {"OvoSpv", "SPV"}, {"OVO::Dip", "DIP"},
      {"OvoSqlCondition", "SQLCondition"}, {"COVKVars", "OVSVars"}, {"_OVOLicenseActions", "LicenseActions"},
      {"OVOPTMShortMachinePatchState::_StrongestBaseline", "StrongestBaseline"}};
  for (const auto& [cls, name] : exceptions) {
    const CatalogueEntry* e = FindCatalogueEntry(cls);
    ASSERT_NE(e, nullptr) << cls;
    EXPECT_EQ(e->objectName, name) << cls;
  }
  for (const char* name : {"ovosystem", "OVOList", "", "OVO::Properties "})
    EXPECT_EQ(FindCatalogueEntry(name), nullptr) << name;
  EXPECT_TRUE(FindCatalogueEntriesByObjectName("client").empty());
  EXPECT_TRUE(FindCatalogueEntriesByObjectName("System").empty());
  const CatalogueEntries client = FindCatalogueEntriesByObjectName("Client");
  ASSERT_EQ(client.size(), 1u);
  EXPECT_EQ(client.begin()->className, "OVOSystem");

  static_assert(CatalogueEntryFor("OVOSystem").objectName == "Client");
  static_assert(CatalogueEntryFor("OVO::Properties").schema == kSchema50002);
  OVOXMLSupport s(CatalogueEntryFor("OVOSystem"));
  EXPECT_EQ(s.GetSchema(), 0x50001u);
  EXPECT_EQ(s.Unpack("<Client></Client>"), 1);
  EXPECT_EQ(s.Unpack("<System></System>"), 0) << "a \"System\" text is not its own";
  OFLXMLParser p;
  ASSERT_TRUE(p.SetDoc("<Holder><client/></Holder>"));
  ASSERT_TRUE(p.FindChildElem());
  EXPECT_EQ(s.Unpack(p), 1);
}

}  // namespace
}  // namespace orvacmn
