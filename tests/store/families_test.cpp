// The typed operations of the record families on the embedded store: keys
// made from the records' own key fields, list conditions, not-found results.
#include <gtest/gtest.h>

#include <memory>

#include "orvacmn/directory/dynamic_group.h"
#include "orvacmn/jobs/user_job_state.h"
#include "orvacmn/objects/object_rights.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/records/keyed_records.h"
#include "store_helpers.h"

namespace store_test {
namespace {

using namespace orvacmn;  // NOLINT

class Families : public StoreFixture {
 protected:
  void SetUp() override {
    StoreFixture::SetUp();
    db_ = std::make_unique<CDBAccess>(store_);
  }
  std::unique_ptr<CDBAccess> db_;
  String out_;
};

// Records without their own key fields are saved under the key given.
TEST_F(Families, ObjectRightsAreSavedUnderTheKeyGiven) {
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

TEST_F(Families, TwoPartKeysAndConditions) {
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

TEST_F(Families, OrgUnitPathsAndUserJobStates) {
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

}  // namespace
}  // namespace store_test
