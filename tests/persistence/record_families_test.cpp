// The table of record families, the keys and the not-found texts of the typed loads.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "orvacmn/persistence/record_families.h"
#include "orvacmn/persistence/typed_load.h"

namespace orvacmn {
namespace {

int Placeholders(std::string_view text) {
  int n = 0;
  for (size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at + 1)) ++n;
  return n;
}

TEST(RecordFamilies, TableIsConsistent) {
  std::set<uint32_t> types;
  std::set<std::string_view> names;
  uint32_t last = 0;
  for (const RecordFamily& f : kRecordFamilies) {
    SCOPED_TRACE(f.family);
    EXPECT_TRUE(types.insert(f.type).second);
    EXPECT_TRUE(names.insert(f.family).second);
    EXPECT_GT(f.type, last);  // ordered, so lookups and listings agree
    last = f.type;
    EXPECT_EQ(FindRecordFamily(f.type), &f);
    EXPECT_EQ(FindRecordFamily(f.family), &f);
    EXPECT_GE(f.KeyFieldCount(), 1);
    if (f.ReportsMissing()) {
      EXPECT_EQ(Placeholders(f.notFoundText), f.keyStrings);
    } else {
      EXPECT_TRUE(f.notFoundText.empty());
    }
    EXPECT_TRUE(f.notFoundStatus == 0 || f.notFoundStatus == 1 || f.notFoundStatus == E_FAIL ||
                f.notFoundStatus == kStatusNotFound);
    if (f.policy == RecordKeyPolicy::kFields) {
      EXPECT_EQ(f.keyStrings, f.KeyFieldCount());
    }
    EXPECT_EQ(f.policy == RecordKeyPolicy::kClientIdentities, f.type == kRecordTypeClient);
  }
  EXPECT_EQ(types.size(), 60u);
  EXPECT_EQ(FindRecordFamily(kRecordTypeJob | 0x1030000u)->family, "Job");  // option word masked off
  EXPECT_EQ(FindRecordFamily(uint32_t{2}), nullptr);
  EXPECT_EQ(FindRecordFamily("job"), nullptr);
}

TEST(RecordFamilies, KeysAndNotFoundTexts) {
  EXPECT_EQ(FamilyKey(FamilyOf<kRecordTypeClient>(), {"pc1", "4"}), "3:pc11:41:*");
  EXPECT_EQ(FamilyKey(FamilyOf<kRecordTypeClient>(), {"g", "1"}, false), "1:g1:1");
  EXPECT_EQ(FamilyKey(FamilyOf<kRecordTypeJob>(), {"g"}), "1:g");
  EXPECT_EQ(FormatNotFound(FamilyOf<kRecordTypePCIDevice>().notFoundText, {"8086", "4660"}),
            "Component device [8086,1234] not found");
  EXPECT_EQ(FormatNotFound(FamilyOf<kRecordTypeMSWProduct>().notFoundText, {"m"}), "MSWProduct [m] in  not found");
  EXPECT_EQ(FormatNotFound(FamilyOf<kRecordTypeInventoryFile>().notFoundText, {"c:", "a.txt", "s", "m"}),
            "Inventory file [c:\\a.txt] in scan [s] on machine [m] not found");
  EXPECT_EQ(FormatNotFound("[%s %s]", {"only"}), "[only ]");  // a short key leaves the rest empty
  EXPECT_EQ(RecordKeyOf(FamilyOf<kRecordTypeDynamicGroup>(),
                        "<DynamicGroup><Name>n</Name><OrgUnit>o</OrgUnit><GUID>g</GUID></DynamicGroup>"),
            "1:g1:o");
  EXPECT_EQ(RecordKeyOf(FamilyOf<kRecordTypeJobTarget>(), "<JobTarget><GUIDJob>j</GUIDJob></JobTarget>"), "0:1:j");
  EXPECT_EQ(RecordKeyOf(FamilyOf<kRecordTypeJob>(), "not xml"), "0:");
}

}  // namespace
}  // namespace orvacmn
