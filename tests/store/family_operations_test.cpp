// Every named operation of the family table on either store: one
// record of each family created, loaded, listed, saved, updated and deleted
// through the operations CDBAccess declares from the table, the not-found
// results, the operations of several forms and the composite ones, and
// hostile key values.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "orvacmn/directory.h"
#include "orvacmn/distribution.h"
#include "orvacmn/energy.h"
#include "orvacmn/hardware.h"
#include "orvacmn/jobs.h"
#include "orvacmn/objects/object_rights.h"
#include "orvacmn/persistence.h"
#include "orvacmn/records.h"
#include "orvacmn/software.h"
#include "orvacmn/system.h"
#include "orvacmn/variables.h"
#include "store_helpers.h"

namespace store_test {
namespace {

using namespace orvacmn;  // NOLINT
using Keys = std::vector<String>;

// The kind the tests construct for a family whose class is abstract.
template <class C>
struct Concrete {
  using type = C;
};
template <>
struct Concrete<OVOJobStep> {
  using type = OVOJobStepWaitForOSDriveEncryption;
};

// The named operations of one row of the operation table, as it declares them.
struct FamilyOps {
  const RecordFamily* family = nullptr;
  std::function<HRESULT(CDBAccess&, const Keys&, String&, String&)> load;  // keys, record, out
  std::function<HRESULT(CDBAccess&, int&, String&)> list;
  std::function<HRESULT(CDBAccess&, const String&, String&)> create, save;
  std::function<HRESULT(CDBAccess&, const Keys&, const String&, String&)> update;
  std::function<HRESULT(CDBAccess&, const Keys&, String&)> remove;
};

#define OPS__(F, P, C, L)
#define OPS_LOAD_WITH(F, C, ...)                                                           \
  ops.load = [](CDBAccess& db, const Keys& k, String& record, String& out) {              \
    Concrete<C>::type object;                                                             \
    const HRESULT hr = db.Load##F(__VA_ARGS__, object, out);                              \
    record = object.Pack();                                                               \
    return hr;                                                                            \
  };
#define OPS_LOAD1(F, P, C, L) OPS_LOAD_WITH(F, C, k[0])
#define OPS_LOAD2(F, P, C, L) OPS_LOAD_WITH(F, C, k[0], k[1])
// Some lists of the table do not own their elements: each is freed here.
#define OPS_LIST(F, P, C, L)                                  \
  ops.list = [](CDBAccess& db, int& count, String& out) {     \
    L list;                                                   \
    const HRESULT hr = db.Load##P(list, out);                 \
    count = list.GetCount();                                  \
    for (auto* o : list) delete o;                            \
    list.RemoveAll();                                         \
    return hr;                                                \
  };
#define OPS_WRITE(F, C, op, Op) \
  ops.op = [](CDBAccess& db, const String& text, String& out) { return db.Op##F(Concrete<C>::type(text), out); };
#define OPS_CREATE(F, P, C, L) OPS_WRITE(F, C, create, Create)
#define OPS_SAVE(F, P, C, L) OPS_WRITE(F, C, save, Save)
#define OPS_UPDATE1(F, P, C, L) \
  ops.update = [](CDBAccess& db, const Keys& k, const String& text, String& out) { return db.Update##F(k[0], text, out); };
#define OPS_UPDATE2(F, P, C, L)                                                           \
  ops.update = [](CDBAccess& db, const Keys& k, const String& text, String& out) {        \
    return db.Update##F(k[0], k[1], text, out);                                           \
  };
#define OPS_DELETE1(F, P, C, L) \
  ops.remove = [](CDBAccess& db, const Keys& k, String& out) { return db.Delete##F(k[0], out); };
#define OPS_DELETE2(F, P, C, L) \
  ops.remove = [](CDBAccess& db, const Keys& k, String& out) { return db.Delete##F(k[0], k[1], out); };
#define OPS_ROW(F, P, C, L, load, list, create, save, update, del)                                       \
  {                                                                                                        \
    FamilyOps ops;                                                                                         \
    ops.family = &FamilyOf<kRecordType##F>();                                                             \
    OPS_##load(F, P, C, L) OPS_##list(F, P, C, L) OPS_##create(F, P, C, L) OPS_##save(F, P, C, L)         \
        OPS_##update(F, P, C, L) OPS_##del(F, P, C, L) all.push_back(std::move(ops));                      \
  }

std::vector<FamilyOps> AllFamilyOps() {
  std::vector<FamilyOps> all;
  ORVACMN_ALL_FAMILY_OPERATIONS(OPS_ROW)
  return all;
}

// A record of `family` holding `keys` in its key fields, under its root.
String RecordOf(const RecordFamily& family, const Keys& keys) {
  const CatalogueEntry* entry = FindCatalogueEntry(family.className);
  const String root = entry != nullptr ? String(entry->objectName) : String(family.family);
  String text = "<" + root + ">";
  for (int i = 0; i < family.KeyFieldCount(); ++i) {
    // "Outer/Inner" as <Outer><Inner>value</Inner></Outer>.
    OFLTokenizer path(family.keyFields[size_t(i)], "/");
    String value = keys[size_t(i)];
    for (int32_t at = path.GetCount() - 1; at >= 0; --at) value = "<" + path[at] + ">" + value + "</" + path[at] + ">";
    text += value;
  }
  return text + "</" + root + ">";
}

class FamilyOperations : public StoreFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(StoreFixture::SetUp());
    if (IsSkipped()) return;
    db_ = std::make_unique<CDBAccess>(store_);
  }
  std::unique_ptr<CDBAccess> db_;
  String out_;
};

// What a single load of a missing record gives, family by family.
struct Missing {
  std::string_view family;
  HRESULT status;
  const char* text;  // with the key strings "m1", "m2", ...
};
constexpr Missing kMissing[] = {
    {"OrgUnit", E_FAIL, "OrgUnit [m1] not found"},
    {"ObjectRights", E_FAIL, "ObjectRights for [m1] not found"},
    {"Group", E_FAIL, "Group [m1] not found"},
    {"Bundle", E_FAIL, "Bundle [m1] not found"},
    {"SoftwareApplication", E_FAIL, "Application [m1] not found"},
    {"FileDownloadState", E_FAIL, "FileDownloadState [m1] not found"},
    {"SoftwareOS", E_FAIL, "OS [m1] not found"},
    {"SoftwareDriver", E_FAIL, "Driver [m1] not found"},
    {"HardwareProfile", E_FAIL, "Hardware profile [m1] not found"},
    {"PCIVendor", 1, "Component vendor [m1] not found"},
    {"Job", E_FAIL, "Job [m1] not found"},
    {"JobTarget", E_FAIL, "JobTarget [m1] in Job [m2] not found"},
    {"JobStep", HRESULT(0x80830001), "JobStep [m1] not found"},
    {"DBMaintenanceJob", E_FAIL, "Database maintenance job [m1] not found"},
    {"DownloadJob", E_FAIL, "Download job [m1] not found"},
    {"DipSyncJob", E_FAIL, "DipSyncJob [m1] not found"},
    {"Dip", E_FAIL, "DIP [m1] not found"},
    {"MSWProduct", E_FAIL, "MSWProduct [m1] in  not found"},
    {"PTMProduct", 1, "Bulletin [m1, m2] not found"},
    {"PTMBulletin", 1, "Bulletin [m1] not found"},
    {"PTMPatch", 1, "Patch [m1] not found"},
    {"PTMMachinePatchState", 1, "MachinePatchState [m1, m2] not found"},
    {"UserProfile", 1, "UserProfile [m1] not found"},
    {"DynamicGroup", 1, "Dynamich Group [m1] in [m2] not found"},
    {"InventoryTemplate", 1, "InventoryTemplate [m1] not found"},
    {"SecurityProfile", 1, "SecurityProfile [m1] not found"},
    {"SecurityUserOrGroup", 1, "SecurityUserOrGroup [m1] not found"},
    {"EnergyProfile", E_FAIL, "EnergyProfile [m1] not found"},
    {"EnergyPolicy", E_FAIL, "EnergyPolicy [m1] not found"},
    {"VMProvisioningProfile", E_FAIL, "VMProvisioningProfile [m1] not found"},
    {"SnmpScanProfile", E_FAIL, "SNMP Scan Profile [m1] not found"},
};

TEST_P(FamilyOperations, EveryFamilyRoundTripsAndReportsMissingRecords) {
  int created = 0, missingChecked = 0;
  for (const FamilyOps& ops : AllFamilyOps()) {
    const RecordFamily& family = *ops.family;
    SCOPED_TRACE(std::string(family.family));
    Keys keys, missingKeys;
    for (int i = 1; i <= family.KeyFieldCount(); ++i) {
      keys.push_back(String(family.family) + "-k" + std::to_string(i));
      missingKeys.push_back(std::string("m") + std::to_string(i));
    }
    String record;
    if (ops.load) {
      const Missing* want = nullptr;
      for (const Missing& m : kMissing)
        if (m.family == family.family) want = &m;
      out_ = "x";
      const HRESULT hr = ops.load(*db_, missingKeys, record, out_);
      EXPECT_EQ(hr, want ? want->status : S_OK);
      EXPECT_EQ(out_, want ? want->text : "");
      missingChecked += want != nullptr;
    }
    if (!ops.create) continue;
    const String text = RecordOf(family, keys);
    ASSERT_EQ(ops.create(*db_, text, out_), S_OK) << out_;
    ++created;
    EXPECT_LT(ops.create(*db_, text, out_), 0);  // one record per key
    Keys lower;  // keys ignore case
    for (const String& k : keys) lower.push_back(OFL::ToLower(k));
    const auto expectStored = [&](const char* step) {
      if (!ops.load) return;
      ASSERT_EQ(ops.load(*db_, lower, record, out_), S_OK) << step << ": " << out_;
      EXPECT_NE(record.find(keys.back()), String::npos) << step << ": " << record;
    };
    expectStored("create");
    int count = 0;
    if (ops.list) {
      ASSERT_EQ(ops.list(*db_, count, out_), S_OK) << out_;
      EXPECT_EQ(count, 1);
    }
    if (ops.save) {
      ASSERT_EQ(ops.save(*db_, text, out_), S_OK) << out_;
      expectStored("save");
    }
    if (ops.update) {
      ASSERT_EQ(ops.update(*db_, keys, text, out_), S_OK) << out_;
      expectStored("update");
    }
    if (ops.remove) {
      EXPECT_EQ(ops.remove(*db_, keys, out_), S_OK) << out_;
      EXPECT_EQ(ops.remove(*db_, keys, out_), store::kStatusNothingDeleted);
      if (ops.load) {
        EXPECT_EQ(ops.load(*db_, keys, record, out_) == S_OK, !family.ReportsMissing());
      }
      EXPECT_EQ(First(*store_, family.type, Packed({"*"})), "");
    }
  }
  EXPECT_EQ(created, 37);  // the rows with a create
  EXPECT_EQ(missingChecked, int(std::size(kMissing)));
  OVOPCIDevice device;
  EXPECT_EQ(db_->LoadPCIDevice("8086", 0x1234, device, out_), 1);
  EXPECT_EQ(out_, "Component device [8086,1234] not found");
  // By vendor type: a USB record is no PCI device of the same numbers.
  device.SetVendorID("8086");
  device.SetDeviceID(0x1234);
  device.SetVendorType(OVOPCIDevice::kVendorTypeUSB);
  device.SetDeviceName("Hub");
  ASSERT_EQ(db_->CreatePCIDevice(device, out_), S_OK) << out_;
  OVOPCIDevice loaded;
  bool found = false;
  ASSERT_EQ(db_->LoadPCIDevice("8086", 0x1234, OVOPCIDevice::kVendorTypeUSB, loaded, out_, &found), S_OK) << out_;
  EXPECT_TRUE(found);
  EXPECT_EQ(loaded.GetDeviceName(), "Hub");
  EXPECT_EQ(db_->LoadPCIDevice("8086", 0x1234, OVOPCIDevice::kVendorTypePCI, loaded, out_, &found), 1);
  EXPECT_FALSE(found);
  EXPECT_EQ(out_, "Component device [8086,1234] not found");
}

TEST_P(FamilyOperations, FormsWithConditionsAndSeveralKeys) {
  // Scan rules: by key, by GUID, in place; deleted by GUID, key, or every version.
  OVOSWScanAppRule rule;
  rule.SetVendor("V");
  rule.SetName("App");
  for (const char* version : {"1", "2", "3"}) {
    rule.SetVersion(version);
    rule.SetGUID(String("R") + version);
    ASSERT_EQ(db_->CreateSWScanRule(rule, out_), S_OK) << out_;
  }
  OVOSWScanAppRule loaded;
  ASSERT_EQ(db_->LoadSWScanRule("V", "App", "2", loaded, out_), S_OK) << out_;
  EXPECT_EQ(loaded.GetGUID(), "R2");
  ASSERT_EQ(db_->LoadSWScanRule("R3", loaded, out_), S_OK) << out_;
  EXPECT_EQ(loaded.GetVersion(), "3");
  loaded.SetComment("local change");
  ASSERT_EQ(db_->LoadSWScanRule(loaded, out_), S_OK);
  EXPECT_EQ(loaded.GetComment(), "");
  EXPECT_EQ(db_->LoadSWScanRule("V", "App", "9", loaded, out_), 1);
  EXPECT_EQ(out_, "SWScanRules [V, App, 9] not found");
  EXPECT_EQ(loaded.GetGUID(), "R3");  // left as it was
  EXPECT_EQ(db_->LoadSWScanRule("R9", loaded, out_), 1);
  EXPECT_EQ(out_, "SWScanRules [R9, , ] not found");
  ASSERT_EQ(db_->DeleteSWScanRule("R1", out_), S_OK) << out_;
  EXPECT_EQ(db_->LoadSWScanRule("R1", loaded, out_), 1);
  ASSERT_EQ(db_->DeleteSWScanRule("V", "App", "2", out_), S_OK);
  ASSERT_EQ(db_->LoadSWScanRule("R3", loaded, out_), S_OK);
  ASSERT_EQ(db_->DeleteSWScanRule("V", "App", out_), S_OK);
  EXPECT_EQ(First(*store_, kRecordTypeSWScanRule, Packed({"*"})), "");

  // Rules applied to clients are keyed by the client and the embedded rule's GUID.
  OVOSystemAppliedSWScanRule applied;
  applied.SetGUIDMachine("M");
  for (const char* guid : {"R1", "R2"}) {
    rule.SetGUID(guid);
    applied.SetOVOSWScanAppRules(rule);
    ASSERT_EQ(db_->CreateSystemAppliedSWScanRule(applied, out_), S_OK) << out_;
  }
  applied.SetInventoryPath("C:\\");
  ASSERT_EQ(db_->SaveSystemAppliedSWScanRule(applied, out_), S_OK) << out_;
  ASSERT_EQ(db_->DeleteSystemAppliedSWScanRule("M", "R1", out_), S_OK) << out_;
  EXPECT_NE(First(*store_, kRecordTypeSystemAppliedSWScanRule, Packed({"m", "r2"})).find("C:\\"), String::npos);

  // Directory objects by GUID, or by their own name.
  OVOADObject user;
  user.SetGUID("U1");
  user.SetName("alice");
  user.SetDisplayName("Alice");
  ASSERT_EQ(db_->CreateADObject(user, out_), S_OK) << out_;
  OVOADObject byName;
  byName.SetName("ALICE");
  bool found = false;
  ASSERT_EQ(db_->LoadADObject(byName, out_, kLoadAllFlags, &found), S_OK);
  EXPECT_TRUE(found);
  EXPECT_EQ(byName.GetDisplayName(), "Alice");
  byName.SetName("bob");
  EXPECT_EQ(db_->LoadADObject(byName, out_, kLoadAllFlags, &found), S_OK);
  EXPECT_FALSE(found);

  // Assets by owner and type; references of an asset one by one or all.
  OVO::Asset asset;
  for (const char* id : {"A1", "A2", "A3"}) {
    asset.SetGUID(id);
    asset.SetAssetOwner(id[1] == '3' ? "bob" : "alice");
    asset.SetAssetType(id[1] == '1' ? "laptop" : "phone");
    ASSERT_EQ(db_->CreateAsset(asset, out_), S_OK) << out_;
  }
  OVO::AssetList assets;
  ASSERT_EQ(db_->LoadAsset("alice", "phone", assets, out_), S_OK);
  ASSERT_EQ(assets.GetCount(), 1);
  EXPECT_EQ(assets.GetHead()->GetGUID(), "A2");
  OVO::AssetList ofAlice;
  ASSERT_EQ(db_->LoadAsset("alice", "", ofAlice, out_), S_OK);
  EXPECT_EQ(ofAlice.GetCount(), 2);
  ASSERT_EQ(db_->MoveAssetReference("A1", "T1", 1, out_), S_OK) << out_;
  OVO::AssetReference reference;
  reference.SetGUIDAsset("A1");
  reference.SetGUIDTarget("T2");
  reference.SetTargetType(2);
  ASSERT_EQ(db_->CreateAssetReference(reference, out_), S_OK) << out_;
  ASSERT_EQ(db_->DeleteAssetReference("A1", "T1", 1, out_), S_OK);
  EXPECT_EQ(db_->DeleteAssetReference("A1", "T1", 1, out_), store::kStatusNothingDeleted);
  EXPECT_NE(First(*store_, kRecordTypeAssetReference, Packed({"a1", "*"})), "");
  ASSERT_EQ(db_->DeleteAssetReference("A1", out_), S_OK);
  EXPECT_EQ(First(*store_, kRecordTypeAssetReference, Packed({"a1", "*"})), "");
}

TEST_P(FamilyOperations, StepsAndUserStatesOfOneJob) {
  for (const char* job : {"J1", "J2"}) {
    for (const char* n : {"a", "b"}) {
      OVOJobStepWaitForOSDriveEncryption step;
      step.SetGUID(String(job) + n);
      step.SetJobGUID(job);
      ASSERT_EQ(db_->CreateJobStep(step, out_), S_OK) << out_;
      OVOUserJobState state;
      state.SetGUIDJob(job);
      state.SetGUIDSystem(String("S") + n);
      ASSERT_EQ(db_->CreateUserJobState(state, out_), S_OK) << out_;
    }
  }
  OVOJobStepList steps;
  ASSERT_EQ(db_->LoadJobSteps("J1", steps, out_), S_OK);
  ASSERT_EQ(steps.GetCount(), 2);
  EXPECT_EQ(steps.GetHead()->GetJobGUID(), "J1");
  ASSERT_EQ(db_->DeleteJobSteps("J1", out_), S_OK) << out_;
  OVOJobStepList left;
  ASSERT_EQ(db_->LoadJobSteps("J2", left, out_), S_OK);
  EXPECT_EQ(left.GetCount(), 2);
  OVOJobStepWaitForOSDriveEncryption gone;
  EXPECT_EQ(db_->LoadJobStep("J1a", gone, out_), HRESULT(0x80830001));

  OVOUserJobStateList states;
  ASSERT_EQ(db_->LoadUserJobStates("J1", states, out_), S_OK);
  ASSERT_EQ(states.GetCount(), 2);
  OVOUserJobState changed(states.GetHead()->Pack());
  changed.SetJobName("renamed");
  ASSERT_EQ(db_->UpdateUserJobState("J1", changed.GetGUIDSystem(), "", changed.Pack(), out_), S_OK) << out_;
  ASSERT_EQ(db_->DeleteUserJobStates("J1", out_), S_OK);
  OVOUserJobStateList none, other;
  ASSERT_EQ(db_->LoadUserJobStates("J1", none, out_), S_OK);
  EXPECT_EQ(none.GetCount(), 0);
  ASSERT_EQ(db_->LoadUserJobStates("J2", other, out_), S_OK);
  EXPECT_EQ(other.GetCount(), 2);

  // Maps by GUID.
  OVOJob job;
  job.SetGUID("J1");
  ASSERT_EQ(db_->CreateJob(job, out_), S_OK) << out_;
  OVOObjectMap<OVOJob> jobs;
  ASSERT_EQ(db_->LoadJobs(jobs, out_), S_OK);
  ASSERT_EQ(jobs.count("J1"), 1u);
  EXPECT_EQ(jobs["J1"]->GetGUID(), "J1");
}

// A key value "*" would reach every record: it finds nothing and changes
// nothing. ";" and a "*" inside a value are plain characters of one key.
TEST_P(FamilyOperations, HostileKeyValuesAndRecordTexts) {
  for (const char* id : {"J1", "J2", "J;", "J*"}) {
    OVOJob job;
    job.SetGUID(id);
    ASSERT_EQ(db_->CreateJob(job, out_), S_OK) << out_;
  }
  OVOJob job;
  bool found = true;
  EXPECT_EQ(db_->LoadJob("*", job, out_, kLoadAllFlags, &found), E_FAIL);
  EXPECT_FALSE(found);
  EXPECT_EQ(out_, "Job [*] not found");
  EXPECT_EQ(db_->DeleteJob("*", out_), E_INVALIDARG);
  EXPECT_EQ(out_, "The key of Job holds the value \"*\", which the store reads as any record; a typed operation "
                  "names its records");
  EXPECT_EQ(db_->UpdateJobStep("*", "<JobStep/>", out_), E_INVALIDARG);
  OVOUserJobStateList states;
  EXPECT_EQ(db_->LoadUserJobStates("*", states, out_), E_INVALIDARG);
  ASSERT_EQ(db_->LoadJob("J;", job, out_), S_OK);
  EXPECT_EQ(job.GetGUID(), "J;");
  ASSERT_EQ(db_->DeleteJob("J*", out_), S_OK);
  OVOJobList jobs;
  ASSERT_EQ(db_->LoadJobs(jobs, out_), S_OK);
  EXPECT_EQ(jobs.GetCount(), 3);

  // A record whose key field is "*", or whose root is another family's.
  job.SetGUID("*");
  EXPECT_EQ(db_->CreateJob(job, out_), E_INVALIDARG);
  EXPECT_EQ(db_->SaveJob(job, out_), E_INVALIDARG);
  EXPECT_EQ(db_->UpdateDip("D1", "<Job><GUID>D1</GUID></Job>", out_), E_INVALIDARG);
  EXPECT_EQ(out_, "The record text of Dip has the root <Job>, not <DIP>");
  EXPECT_EQ(CreateOne(*db_, FamilyOf<kRecordTypeBundle>(), CRecordText{"<Job><GUID>B</GUID></Job>"}, out_),
            E_INVALIDARG);
  EXPECT_EQ(First(*store_, kRecordTypeBundle, Packed({"*"})), "");
  EXPECT_EQ(First(*store_, kRecordTypeDip, Packed({"*"})), "");
}

TEST_P(FamilyOperations, HierarchiesMapsTextsAndDefinitions) {
  // Top > (Sub > Leaf, Other); "Loop" is its own parent.
  const char* groups[][3] = {{"T", "", "Top"}, {"S", "T", "Sub"}, {"L", "S", "Leaf"}, {"O", "T", "Other"},
                             {"X", "X", "Loop"}};
  for (const auto& [guid, parent, name] : groups) {
    OVOGroup group;
    group.SetGUID(guid);
    group.SetGUIDParent(parent);
    group.SetName(name);
    ASSERT_EQ(db_->CreateGroup(group, out_), S_OK) << out_;
  }
  const auto guids = [](const OVOGroupList& list) {
    String all;
    for (const OVOGroup* g : list) all += g->GetGUID();
    return all;
  };
  OVOGroupList below, tree, loop;
  ASSERT_EQ(db_->LoadGroupChildrenRecursive("t", below, out_), S_OK);
  EXPECT_EQ(guids(below), "OSL");  // level by level
  ASSERT_EQ(db_->LoadGroupTree("S", tree, out_), S_OK);
  EXPECT_EQ(guids(tree), "SL");
  ASSERT_EQ(db_->LoadGroupChildrenRecursive("X", loop, out_), S_OK);
  EXPECT_EQ(guids(loop), "");
  OVOGroup found;
  ASSERT_EQ(db_->ResolveGroup("top\\SUB\\leaf", found, out_), S_OK);
  EXPECT_EQ(found.GetGUID(), "L");
  EXPECT_EQ(db_->ResolveGroup("Top\\Leaf", found, out_), E_FAIL);
  EXPECT_EQ(out_, "Group [Top\\Leaf] not found");

  // Inventory files are texts keyed by path, name, scan and machine.
  const String file = "<InventoryFile><Path>C:\\x</Path><Name>a.exe</Name><GUIDScan>S</GUIDScan>"
                      "<GUIDMachine>M</GUIDMachine><Size>1</Size></InventoryFile>";
  ASSERT_EQ(db_->CreateInventoryFile(file, out_), S_OK) << out_;
  String record;
  ASSERT_EQ(db_->LoadInventoryFile("C:\\x", "a.exe", "S", "M", record, out_), S_OK);
  EXPECT_EQ(record, file);
  EXPECT_EQ(db_->LoadInventoryFile("C:\\x", "b.exe", "S", "M", record, out_), 1);
  EXPECT_EQ(out_, "Inventory file [C:\\x\\b.exe] in scan [S] on machine [M] not found");
  EXPECT_EQ(record, file);

  OVOFileDownloadState state;
  state.SetGUID("F1");
  ASSERT_EQ(db_->CreateFileDownloadState(state, out_), S_OK) << out_;
  OVOObjectMap<OVOFileDownloadState> states;
  ASSERT_EQ(db_->LoadFileDownloadStatesAsMap(states, out_), S_OK);
  EXPECT_EQ(states.count("F1"), 1u);
  ASSERT_EQ(Save(*store_, kRecordTypeSoftwareApplication, Packed({"A1"}),
                 "<SoftwareApplication><GUID>A1</GUID><Patchable>1</Patchable></SoftwareApplication>")
                .hr,
            S_OK);
  ASSERT_EQ(Save(*store_, kRecordTypeSoftwareApplication, Packed({"A2"}), "<SoftwareApplication><GUID>A2</GUID>"
                 "</SoftwareApplication>").hr, S_OK);
  OVOSoftwareApplicationList patchable;
  ASSERT_EQ(db_->LoadPatchableSoftwareApplications(patchable, out_), S_OK);
  ASSERT_EQ(patchable.GetCount(), 1);
  EXPECT_EQ(patchable.GetHead()->GetGUID(), "A1");

  OVOCustomVarDef def;
  def.SetName("Site");
  ASSERT_EQ(CreateOne(*db_, FamilyOf<kRecordTypeCustomVarDef>(), def, out_), S_OK) << out_;
  OVOCustomVarDefList defs;
  ASSERT_EQ(db_->LoadCustomVarDefs(defs, out_), S_OK);
  ASSERT_EQ(defs.GetCount(), 1);
}

// Records without their own key fields are saved under the key given.
TEST_P(FamilyOperations, ObjectRightsAreSavedUnderTheKeyGiven) {
  OVOObjectRights rights;
  rights.SetRights("p", 4);
  ASSERT_EQ(db_->SaveObjectRights("B2", rights, out_), S_OK) << out_;
  OVOObjectRights stored;
  ASSERT_EQ(db_->LoadObjectRights("B2", stored, out_), S_OK);
  EXPECT_EQ(stored, rights);
  EXPECT_EQ(db_->DeleteObjectRights("B2", out_), S_OK);
  EXPECT_EQ(db_->LoadObjectRights("B2", stored, out_), E_FAIL);
  EXPECT_EQ(out_, "ObjectRights for [B2] not found");
}

TEST_P(FamilyOperations, TwoPartKeysAndConditions) {
  OVODynamicGroup group;
  for (const char* id : {"D1", "D2", "D3"}) {
    group.SetGUID(id);
    group.SetOrgUnit(id[1] == '3' ? "OU2" : "OU1");
    group.SetName(String("group ") + id);
    ASSERT_EQ(db_->CreateDynamicGroup(group, out_), S_OK) << out_;
  }
  OVODynamicGroup loaded;
  ASSERT_EQ(db_->LoadDynamicGroup("D3", "OU2", loaded, out_), S_OK);
  EXPECT_EQ(loaded.GetName(), "group D3");
  EXPECT_EQ(db_->LoadDynamicGroup("D3", "OU1", loaded, out_), 1);
  EXPECT_EQ(out_, "Dynamich Group [D3] in [OU1] not found");

  OVODynamicGroupList inUnit;
  ASSERT_EQ(db_->LoadDynamicGroups("ou1", inUnit, out_), S_OK);
  EXPECT_EQ(inUnit.GetCount(), 2);

  // A save finds the record by both key fields; a delete by the first.
  loaded.SetName("moved");
  ASSERT_EQ(db_->SaveDynamicGroup(loaded, out_), S_OK) << out_;
  ASSERT_EQ(db_->LoadDynamicGroup("D3", "OU2", loaded, out_), S_OK);
  EXPECT_EQ(loaded.GetName(), "moved");
  EXPECT_EQ(db_->DeleteDynamicGroup("D3", out_), S_OK);
  EXPECT_EQ(db_->LoadDynamicGroup("D3", "OU2", loaded, out_), 1);
}

TEST_P(FamilyOperations, OrgUnitPathsAndUserJobStates) {
  OVOOrgUnit unit;
  for (const auto& [id, parent] : {std::pair{"R", ""}, {"A", "R"}, {"B", "A"}, {"X", "Y"}, {"Y", "X"}}) {
    unit.SetGUID(id);
    unit.SetGUIDParent(parent);
    ASSERT_EQ(db_->CreateOrgUnit(unit, out_), S_OK) << out_;
  }
  OVOOrgUnitList path;
  ASSERT_EQ(db_->GetOrgUnitPath("B", path, out_), S_OK) << out_;
  String names;
  for (const OVOOrgUnit* u : path) names += u->GetGUID();
  EXPECT_EQ(names, "RAB");
  OVOOrgUnitList cycle;
  EXPECT_EQ(db_->GetOrgUnitPath("X", cycle, out_), E_INVALIDARG);
  EXPECT_EQ(cycle.GetCount(), 0);
  OVOOrgUnitList orphan;
  unit.SetGUID("C");
  unit.SetGUIDParent("gone");
  ASSERT_EQ(db_->CreateOrgUnit(unit, out_), S_OK);
  EXPECT_EQ(db_->GetOrgUnitPath("C", orphan, out_), E_FAIL);
  EXPECT_EQ(out_, "OrgUnit [gone] not found");

  ASSERT_EQ(db_->SetObjectSecurityforProfileList("R;;A", Packed({"p1", "p2"}), out_), S_OK) << out_;
  ASSERT_EQ(db_->LoadOrgUnit("A", unit, out_), S_OK);
  EXPECT_FALSE(unit.GetObjectRights().GetInheritedFlag());
  EXPECT_EQ(unit.GetObjectRights().GetRights("p2"), 0x7FFFFFFFu);
  EXPECT_EQ(db_->SetFullAccessForSecurableRootOrgUnits("B;Z", "admin", out_), E_FAIL);
  EXPECT_EQ(out_, "OrgUnit [Z] not found");
  ASSERT_EQ(db_->LoadOrgUnit("B", unit, out_), S_OK);
  EXPECT_EQ(unit.GetObjectRights().GetRights("admin"), 0x7FFFFFFFu);

  // One state per job, client and directory object: the second replaces it.
  OVOUserJobState state;
  state.SetGUIDJob("J");
  state.SetGUIDSystem("S");
  state.SetJobName("first");
  ASSERT_EQ(db_->CreateOrUpdateUserJobState(state, out_), S_OK) << out_;
  state.SetJobName("second");
  ASSERT_EQ(db_->CreateOrUpdateUserJobState(state, out_), S_OK) << out_;
  const std::string all = Load(*store_, kRecordTypeUserJobState, "", Packed({"*"})).text;
  EXPECT_EQ(all.find("first"), std::string::npos);
  EXPECT_NE(all.find("second"), std::string::npos);
}

STORE_TEST_ON_EVERY_KIND(FamilyOperations);

}  // namespace
}  // namespace store_test
