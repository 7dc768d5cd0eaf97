// The table of record families and the not-found results of the typed loads.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "orvacmn/directory/dynamic_group.h"
#include "orvacmn/hardware/pci_device.h"
#include "orvacmn/jobs/job.h"
#include "orvacmn/jobs/job_step_kinds.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/persistence/record_families.h"
#include "orvacmn/persistence/typed_load.h"
#include "orvacmn/records/keyed_records.h"

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

// A store that holds nothing: every load comes back empty.
class EmptyStore : public IMocInstance {
 public:
  HRESULT InitRecord(uint32_t, BSTR, BSTR*) override { return E_FAIL; }
  HRESULT LoadRecord(uint32_t type, uint32_t, BSTR key, BSTR, uint32_t, BSTR* result) override {
    lastType = type;
    lastKey = OFL::FromUtf16(std::u16string_view(key ? key : u"", SysStringLen(key)));
    *result = nullptr;
    return S_OK;
  }
  HRESULT SaveRecord(uint32_t, BSTR, BSTR, BSTR, uint32_t*, BSTR*) override { return E_FAIL; }
  HRESULT CreateRecord(uint32_t, BSTR, BSTR*) override { return E_FAIL; }
  HRESULT DeleteRecord(uint32_t, BSTR, uint32_t*, BSTR*) override { return E_FAIL; }
  HRESULT UpdateRecord(uint32_t, BSTR, BSTR, BSTR, uint32_t*, BSTR*) override { return E_FAIL; }
  HRESULT DoAction(uint32_t, BSTR, BSTR, BSTR*) override { return E_FAIL; }
  HRESULT SpecialTask(uint32_t, BSTR, BSTR*) override { return E_FAIL; }
  uint32_t lastType = 0;
  String lastKey;
};

TEST(RecordFamilies, MissingRecordsGiveTheFamilysStatusAndText) {
  auto store = std::make_shared<EmptyStore>();
  CDBAccess db(store);
  String out;
  bool found = true;
  OVOUserProfile profile;
  profile.SetName("kept");
  EXPECT_EQ(db.LoadUserProfile("U1", profile, out, kLoadAllFlags, &found), 1);
  EXPECT_EQ(out, "UserProfile [U1] not found");
  EXPECT_FALSE(found);
  EXPECT_EQ(profile.GetName(), "kept");
  EXPECT_EQ(store->lastType, kRecordTypeUserProfile);

  OVOJob job;
  EXPECT_EQ(db.LoadJob("J1", job, out), E_FAIL);
  EXPECT_EQ(out, "Job [J1] not found");
  OVOJobStepWaitForOSDriveEncryption step;
  EXPECT_EQ(db.LoadJobStep("S1", step, out), kStatusNotFound);
  EXPECT_EQ(out, "JobStep [S1] not found");
  OVODynamicGroup group;
  EXPECT_EQ(db.LoadDynamicGroup("D1", "O1", group, out), 1);
  EXPECT_EQ(out, "Dynamich Group [D1] in [O1] not found");
  EXPECT_EQ(store->lastKey, "2:D12:O1");
  OVOPCIDevice device;
  EXPECT_EQ(db.LoadPCIDevice("8086", 0x1234, device, out), 1);
  EXPECT_EQ(out, "Component device [8086,1234] not found");
  // A family without a not-found text: the store's status, no text.
  OVOSettings settings;
  out = "x";
  EXPECT_EQ(db.LoadSettings("s", settings, out), S_OK);
  EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace orvacmn
