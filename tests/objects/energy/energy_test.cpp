// Energy profiles, policies and power settings: packed texts, display texts, power values and validation.
#include "orvacmn/energy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>

#include "common/tz.h"
#include "ofl/tools.h"

namespace {

using namespace orvacmn::OVO::EnergyManagement;
using orvacmn::CTime;
using orvacmn::String;
using V = PowerSettingValues;

constexpr char kDefaultProfileBody[] =
    "<GUID></GUID><Name></Name><Timestamp>19700101000000</Timestamp><MonitorAC>5</MonitorAC><MonitorDC>2</MonitorDC>"
    "<StandbyAC>15</StandbyAC><StandbyDC>10</StandbyDC><HibernateAC>60</HibernateAC><HibernateDC>60</HibernateDC>"
    "<DiskAC>20</DiskAC><DiskDC>5</DiskDC><PowerbuttonActionAC>0</PowerbuttonActionAC>"
    "<PowerbuttonActionDC>0</PowerbuttonActionDC><SleepbuttonActionAC>0</SleepbuttonActionAC>"
    "<SleepbuttonActionDC>0</SleepbuttonActionDC><LidcloseActionAC>0</LidcloseActionAC>"
    "<LidcloseActionDC>0</LidcloseActionDC>";

Profile Populated() {
  Profile p;
  p.SetGUID("A1B2C3D4-0000-1111-2222-333344445555");
  p.SetName("Office <night> & day");
  p.SetTimestamp(1710504000);  // 2024-03-15 12:00:00 UTC
  p.SetMonitorTimeoutAC(10), p.SetMonitorTimeoutDC(0), p.SetStandbyTimeoutAC(30), p.SetStandbyTimeoutDC(1);
  p.SetHibernateTimeoutAC(0xFFFFFFFF), p.SetHibernateTimeoutDC(120), p.SetDiskTimeoutAC(45), p.SetDiskTimeoutDC(3);
  p.SetPowerButtonActionAC(eShutdown), p.SetPowerButtonActionDC(eHibernate), p.SetSleepButtonActionAC(eStandby);
  p.SetSleepButtonActionDC(eNothing), p.SetLidCloseActionAC(eUserDefined), p.SetLidCloseActionDC(EButtonAction(9));
  return p;
}

TEST(EnergyProfile, CatalogueDefaultAndPopulatedTextsRoundTripAndTolerance) {
  orvacmn::testing::ScopedTZ tz("UTC");
  EXPECT_TRUE(Profile().GetObjectName() == "EnergyProfile" && Profile().GetSchema() == 0x50001u);
  EXPECT_TRUE(Policy().GetObjectName() == "EnergyPolicy" && Policy().GetSchema() == 0x50001u);
  EXPECT_TRUE(Policy::PolicyProfile().GetObjectName() == "EnergyPolicyProfile");
  EXPECT_TRUE(PowerSettings().GetObjectName() == "OVOPowerSettings" && PowerSettings().GetSchema() == 0u);

  EXPECT_EQ(Profile().Pack(), String("<EnergyProfile>") + kDefaultProfileBody + "</EnergyProfile>");
  const Profile full = Populated();
  const String packed = full.Pack();
  EXPECT_EQ(packed,
            "<EnergyProfile><GUID>A1B2C3D4-0000-1111-2222-333344445555</GUID><Name>Office &lt;night&gt; &amp; day</Name>"
            "<Timestamp>20240315120000</Timestamp><MonitorAC>10</MonitorAC><MonitorDC>0</MonitorDC>"
            "<StandbyAC>30</StandbyAC><StandbyDC>1</StandbyDC><HibernateAC>4294967295</HibernateAC>"
            "<HibernateDC>120</HibernateDC><DiskAC>45</DiskAC><DiskDC>3</DiskDC>"
            "<PowerbuttonActionAC>4</PowerbuttonActionAC><PowerbuttonActionDC>3</PowerbuttonActionDC>"
            "<SleepbuttonActionAC>2</SleepbuttonActionAC><SleepbuttonActionDC>1</SleepbuttonActionDC>"
            "<LidcloseActionAC>0</LidcloseActionAC><LidcloseActionDC>9</LidcloseActionDC></EnergyProfile>");
  Profile back(packed);
  EXPECT_TRUE(back == full);

  // Tags in any case and order, unknown nodes skipped, the later duplicate wins, 32-bit saturation.
  back.Unpack("<EnergyProfile><x/><diskdc>7</diskdc><MONITORAC>1</MONITORAC><DiskDC>8</DiskDC>"
              "<StandbyAC>99999999999</StandbyAC><guid>g</guid></EnergyProfile>");
  EXPECT_TRUE(back.GetDiskTimeoutDC() == 8 && back.GetMonitorTimeoutAC() == 1 && back.GetGuid() == "g" &&
              back.GetStandbyTimeoutAC() == 0xFFFFFFFFu && back.GetDiskTimeoutAC() == 20);
  Profile g("<EnergyProfile><GUID>G</GUID></EnergyProfile>");
  EXPECT_TRUE(back != g && Profile("<EnergyProfile><GUID>g</GUID></EnergyProfile>") == g);
  for (const char* bad : {"", "<energyprofile><GUID>x</GUID></energyprofile>", "<EnergyProfile><GUID>", "junk"}) {
    EXPECT_EQ(back.Unpack(bad), 0) << bad;
    EXPECT_TRUE(back == Profile()) << bad;
  }
}

TEST(EnergyProfile, TimeAndButtonTextsAtTheirBoundaries) {
  const std::pair<uint32_t, const char*> times[] = {
      {0, "Never"},       {1, "1 Minute"},   {2, "2 Minutes"}, {59, "59 Minutes"},
      {60, "1 Hour"},     {90, "1 Hour"},    {119, "1 Hour"},  {120, "2 Hours"},
      {0xFFFFFFFF, "71582788 Hours"}};
  for (const auto& [minutes, text] : times) EXPECT_EQ(Profile::GetTimeString(minutes), text) << minutes;
  const char* actions[] = {"User defined", "Nothing", "Standby", "Hibernate", "Shutdown", "", ""};
  for (uint32_t a = 0; a < 6; ++a) EXPECT_EQ(Profile::GetButtonAction(a), actions[a]) << a;
  EXPECT_EQ(Profile::GetButtonAction(0xFFFFFFFF), "");
  OFL::SetResourceLanguage(1031);
  EXPECT_TRUE(Profile::GetTimeString(2) == "2 Minuten" && Profile::GetButtonAction(3) == "Ruhezustand");
  OFL::SetResourceLanguage(1033);
}

TEST(EnergyProfile, PowerValuesOrderSecondsAndActionCodesOfBothInterfaces) {
  const V defaults = Profile().GetOFLPowerSettingsValues(true);
  EXPECT_EQ(defaults.timeouts, (std::array<uint32_t, 10>{1200, 300, 300, 120, 3600, 3600, 900, 600, 0, 0}));
  EXPECT_EQ(defaults.set, (std::array<bool, 6>{}));
  EXPECT_EQ(defaults.actions, (std::array<uint32_t, 6>{}));

  const Profile full = Populated();
  const V older = full.GetOFLPowerSettingsValues(false), newer = full.GetOFLPowerSettingsValues(true);
  EXPECT_EQ(newer.timeouts, (std::array<uint32_t, 10>{2700, 180, 600, 0, 0xFFFFFFFF, 7200, 1800, 60, 0, 0}));
  EXPECT_EQ(older.timeouts, newer.timeouts);
  // Power AC shut down, DC hibernate, sleep AC standby, DC nothing, lid AC user defined, DC unknown 9.
  EXPECT_EQ(newer.set, (std::array<bool, 6>{true, true, true, true, false, false}));
  EXPECT_EQ(newer.actions, (std::array<uint32_t, 6>{3, 2, 1, 0, 0, 0}));
  EXPECT_EQ(older.set, newer.set);
  EXPECT_EQ(older.actions, (std::array<uint32_t, 6>{4, 3, 2, 0, 0, 0}));
}

Policy::PolicyProfile* AddCondition(Policy& policy, uint32_t type, CTime profileTime = 0) {
  auto* c = policy.AddEnergyPolicyProfile(std::make_unique<Policy::PolicyProfile>());
  c->SetEnergyPolicyConditionType(EnergyPolicyProfileConditionType(type));
  c->GetEnergyProfile().SetTimestamp(profileTime);
  return c;
}

TEST(EnergyPolicy, TextsRoundTripCopiesAndTimestamps) {
  orvacmn::testing::ScopedTZ tz("UTC");
  Policy policy;
  EXPECT_EQ(policy.Pack(),
            "<EnergyPolicy><GUID></GUID><Name></Name><Comment></Comment><Force>0</Force><Conditions></Conditions>"
            "<Timestamp>19700101000000</Timestamp></EnergyPolicy>");
  policy.SetGUID("P"), policy.SetName("N"), policy.SetComment("C"), policy.SetForce(true), policy.SetTimestamp(86400);
  AddCondition(policy, 2)->SetConditionParameters("a;b");
  AddCondition(policy, 1, 1710504000)->SetEnergyProfile(Populated());
  EXPECT_EQ(policy.AddEnergyPolicyProfile(nullptr), nullptr);
  const String packed = policy.Pack();
  EXPECT_EQ(packed, "<EnergyPolicy><GUID>P</GUID><Name>N</Name><Comment>C</Comment><Force>1</Force><Conditions>"
                    "<EnergyPolicyProfile><ConditionType>2</ConditionType><ConditionParameters>a;b"
                    "</ConditionParameters><EnergyProfile>" + String(kDefaultProfileBody) +
                    "</EnergyProfile></EnergyPolicyProfile>"
                    "<EnergyPolicyProfile><ConditionType>1</ConditionType><ConditionParameters></ConditionParameters>" +
                    Populated().Pack() + "</EnergyPolicyProfile></Conditions>"
                    "<Timestamp>19700102000000</Timestamp></EnergyPolicy>");
  const Policy back(packed);
  EXPECT_TRUE(back == policy);
  EXPECT_TRUE(back.GetTimestampOfPolicy() == 86400 && back.GetTimestamp() == 1710504000);

  Policy copy(back);
  copy.GetEnergyPolicyProfiles()[0]->SetConditionParameters("changed");
  EXPECT_TRUE(copy != back && back.GetEnergyPolicyProfiles()[0]->GetConditionParameters() == "a;b");
  copy = back;
  EXPECT_TRUE(copy == back);

  // Foreign children of Conditions are skipped; a condition root in another case adds a cleared condition;
  // a second Conditions element adds to the first; the later nested profile wins.
  const Policy odd("<EnergyPolicy><conditions><x/><energypolicyprofile><ConditionType>2</ConditionType>"
                   "</energypolicyprofile></conditions><Conditions><EnergyPolicyProfile><EnergyProfile><DiskAC>1"
                   "</DiskAC></EnergyProfile><energyprofile><DiskDC>1</DiskDC></energyprofile><ConditionType>-1"
                   "</ConditionType></EnergyPolicyProfile></Conditions></EnergyPolicy>");
  ASSERT_EQ(odd.GetEnergyPolicyProfiles().size(), 2u);
  EXPECT_TRUE(*odd.GetEnergyPolicyProfiles()[0] == Policy::PolicyProfile());
  EXPECT_EQ(odd.GetEnergyPolicyProfiles()[1]->GetEnergyPolicyConditionType(), 0xFFFFFFFFu);
  EXPECT_TRUE(odd.GetEnergyPolicyProfiles()[1]->GetEnergyProfile() == Profile());
}

TEST(EnergyPolicy, ValidationCountsTypesAndReportsDuplicatesFirst) {
  const char* kDup = "The condition \"user is logged on\", \"user logged off\", \"desktop locked\" can not be defined "
                     "more than once.";
  const struct {
    std::initializer_list<uint32_t> types;
    const char* error;  // null: valid
  } cases[] = {{{}, "No condition available."}, {{0, 1, 2}, nullptr},         {{2}, nullptr},
               {{1, 7, 1}, kDup},               {{2, 2}, kDup},                {{0, 7}, "Unknown condition type."},
               {{3}, "Unknown condition type."}, {{0xFFFFFFFF}, "Unknown condition type."}};
  for (const auto& c : cases) {
    Policy policy;
    for (uint32_t t : c.types) AddCondition(policy, t);
    String error = "untouched";
    EXPECT_EQ(policy.ValidateEnergyPolicy(error), c.error == nullptr) << c.types.size();
    EXPECT_EQ(error, c.error ? c.error : "untouched");
  }
}

TEST(EnergyPowerSettings, ConstructorOrderTextAndRoundTrip) {
  EXPECT_EQ(PowerSettings().Pack(),
            "<OVOPowerSettings><DiskAC>0</DiskAC><DiskDC>0</DiskDC><MonitorAC>0</MonitorAC><MonitorDC>0</MonitorDC>"
            "<StandbyAC>0</StandbyAC><StandbyDC>0</StandbyDC><Name></Name><Description></Description>"
            "<Notebook>0</Notebook></OVOPowerSettings>");
  const PowerSettings s("Balanced", "Mains & battery", 1, 2, 3, 4, 5, 6, true);
  const String packed = s.Pack();
  EXPECT_EQ(packed, "<OVOPowerSettings><DiskAC>5</DiskAC><DiskDC>6</DiskDC><MonitorAC>1</MonitorAC>"
                    "<MonitorDC>2</MonitorDC><StandbyAC>3</StandbyAC><StandbyDC>4</StandbyDC><Name>Balanced</Name>"
                    "<Description>Mains &amp; battery</Description><Notebook>1</Notebook></OVOPowerSettings>");
  PowerSettings back(packed);
  EXPECT_TRUE(back == s && back.GetSchemName() == "Balanced" && back.IsNotebook());
  EXPECT_EQ(back.Unpack("<OVOPowerSettings><notebook>7</notebook></OVOPowerSettings>"), 1);
  EXPECT_TRUE(back.IsNotebook() && back.GetSchemDescription().empty());
  EXPECT_EQ(back.Unpack("<EnergyProfile/>"), 0);
  EXPECT_TRUE(back == PowerSettings());
}

TEST(EnergyLists, DeleteObjectsEmptiesAndDestroys) {
  ProfileList profiles;
  profiles.AddTail(new Profile());
  profiles.AddTail(new Profile());
  profiles.DeleteObjects();
  EXPECT_TRUE(profiles.IsEmpty());
  profiles.AddTail(new Profile());  // destroyed with the list
  PolicyList policies;
  policies.AddTail(new Policy());
}

}  // namespace
