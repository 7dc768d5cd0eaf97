// The catalogue: one entry per class, exact names, the two bags apart.
#include "orvacmn/objects/catalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "orvacmn/objects/xml_support.h"

namespace orvacmn {
namespace {

TEST(CatalogueTest, EveryClassOnceAndEveryLookupFindsItself) {
  std::set<std::string_view> classes;
  for (const CatalogueEntry& e : Catalogue()) {
    EXPECT_TRUE(classes.insert(e.className).second) << e.className;
    EXPECT_FALSE(e.objectName.empty()) << e.className;
    EXPECT_EQ(FindCatalogueEntry(e.className), &e);
    const CatalogueEntries named = FindCatalogueEntriesByObjectName(e.objectName);
    EXPECT_NE(std::find_if(named.begin(), named.end(), [&](const CatalogueEntry& n) { return &n == &e; }),
              named.end());
  }
  EXPECT_EQ(classes.size(), kCatalogueSize);
  EXPECT_EQ(kCatalogueSize, 122u);
}

TEST(CatalogueTest, OnlyPropertiesSharesAnObjectName) {
  std::map<std::string_view, int> uses;
  for (const CatalogueEntry& e : Catalogue()) ++uses[e.objectName];
  for (const auto& [name, n] : uses) EXPECT_EQ(n, name == "Properties" ? 2 : 1) << name;
}

TEST(CatalogueTest, OrderFollowsTheRuleGroupThenTheExceptions) {
  EXPECT_EQ(kCatalogue[0].className, "OVO::Asset");
  EXPECT_EQ(kCatalogue[kCatalogueRuleCount - 1].className, "OVOVars");
  EXPECT_EQ(kCatalogue[kCatalogueRuleCount].className, "OVOSystem");
  EXPECT_EQ(kCatalogue[kCatalogueSize - 1].className, "CVMProvisioningProfile");
}

TEST(CatalogueTest, SampleObjectNamesLetterForLetter) {
  const std::map<std::string_view, std::string_view> sample = {
      {"OVOSystem", "Client"},
      {"OVOGroup", "LogicalGroup"},
      {"OVOJob", "Job"},
      {"OVOJobStepList", "JobStepList"},
      {"OVOObjectRights", "ObjectRights"},
      {"OVOOSCloningBackupOptions", "OSCloningBackupOptions"},
      {"HashObject", "HashObject"},
      {"OVO::OVOWellKnownCategory", "WellKnownCategory"},
      {"OVO::EnergyManagement::TimeTracking", "TimeTracking"},
      {"OVO::EnergyManagement::TimeTracking::CComputer", "Computer"},
      {"OVO::EnergyManagement::PowerSettings", "OVOPowerSettings"},
      {"OVO::InventoryTemplate", "OVOInventoryTemplate"},
      {"OVOAUTWhiteList", "AUTWhitelist"},
      {"OvoSpv", "SPV"},
      {"OvoSqlCondition", "SQLCondition"},
      {"OVO::Dip", "DIP"},
      {"_OVOLicenseActions", "LicenseActions"},
      {"OVOPTMShortMachinePatchState::_StrongestBaseline", "StrongestBaseline"},
      {"COVKVars", "OVSVars"},
      {"OVOVars", "Vars"},
  };
  for (const auto& [cls, name] : sample) {
    const CatalogueEntry* e = FindCatalogueEntry(cls);
    ASSERT_NE(e, nullptr) << cls;
    EXPECT_EQ(e->objectName, name) << cls;
  }
}

TEST(CatalogueTest, SchemaNumbers) {
  const std::set<std::string_view> zero = {
      "OVO::AssetEnergyDay",
      "OVO::AssetEnergyWeek",
      "OVO::EnergyManagement::TimeTracking",
      "OVO::EnergyManagement::TimeTracking::CComputer",
      "OVO::EnergyManagement::TimeTracking::CMonitor",
      "OVO::EnergyManagement::PowerSettings",
      "OVOSoftwareApplication::DependencyEntry",
  };
  for (const CatalogueEntry& e : Catalogue()) {
    const uint32_t want = zero.count(e.className) ? 0u : e.className == "OVO::Properties" ? 0x50002u : 0x50001u;
    EXPECT_EQ(e.schema, want) << e.className;
  }
}

TEST(CatalogueTest, PropertiesByObjectNameGivesBothApartBySchema) {
  const CatalogueEntries both = FindCatalogueEntriesByObjectName("Properties");
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[0].className, "OVO::Properties");
  EXPECT_EQ(both[0].schema, 0x50002u);
  EXPECT_EQ(both[1].className, "OVOProperties");
  EXPECT_EQ(both[1].schema, 0x50001u);
}

TEST(CatalogueTest, LookupsAreExact) {
  EXPECT_EQ(FindCatalogueEntry("ovosystem"), nullptr);
  EXPECT_EQ(FindCatalogueEntry("OVOList"), nullptr);
  EXPECT_EQ(FindCatalogueEntry(""), nullptr);
  EXPECT_EQ(FindCatalogueEntry("OVO::Properties "), nullptr);
  EXPECT_TRUE(FindCatalogueEntriesByObjectName("client").empty());
  EXPECT_TRUE(FindCatalogueEntriesByObjectName("System").empty());
  const CatalogueEntries client = FindCatalogueEntriesByObjectName("Client");
  ASSERT_EQ(client.size(), 1u);
  EXPECT_EQ(client.begin()->className, "OVOSystem");
}

TEST(CatalogueTest, ConstructionFromTheCatalogue) {
  static_assert(CatalogueEntryFor("OVOSystem").objectName == "Client");
  static_assert(CatalogueEntryFor("OVO::Properties").schema == kSchema50002);
  const OVOXMLSupport system(CatalogueEntryFor("OVOSystem"));
  EXPECT_EQ(system.GetObjectName(), "Client");
  EXPECT_EQ(system.GetSchema(), 0x50001u);
  // A "Client" text is its own; a "System" text is not.
  OVOXMLSupport s(CatalogueEntryFor("OVOSystem"));
  EXPECT_EQ(s.Unpack("<Client></Client>"), 1);
  EXPECT_EQ(s.Unpack("<System></System>"), 0);
  OFLXMLParser p;
  ASSERT_TRUE(p.SetDoc("<Holder><client/></Holder>"));
  ASSERT_TRUE(p.FindChildElem());
  EXPECT_EQ(s.Unpack(p), 1);
}

}  // namespace
}  // namespace orvacmn
