// Job steps: the packed text of the base and of every kind, the factory, run locations, dependencies and the
// thread priority.
#include "orvacmn/jobs/job_step.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <typeinfo>
#include <vector>

#include "ofl/tools.h"
#include "orvacmn/energy/policy.h"
#include "orvacmn/jobs/job_step_application.h"
#include "orvacmn/jobs/job_step_kinds.h"
#include "orvacmn/jobs/job_step_list.h"
#include "orvacmn/jobs/job_step_table.h"

namespace {

using namespace orvacmn;  // NOLINT
using Step = OVOJobStep;
using StepPtr = std::unique_ptr<Step>;

const String kEmptyBase = "<GUID></GUID><VirtualStep></VirtualStep><Job></Job><Client></Client><Precondition>"
                          "</Precondition><Sequence>0</Sequence><State>0</State><StateString></StateString><Started>0"
                          "</Started><LastChange>0</LastChange><Options>0</Options><Properties></Properties>";
const String kEmptyTail = "<InsertAfter></InsertAfter><UserContext></UserContext></JobStep>";
const String kBoot = "<JobStep type=\"140\">" + kEmptyBase +
                     "<StepData><BootEnvironment><Name>PE</Name></BootEnvironment></StepData>" + kEmptyTail;

String StepText(uint32_t type, const String& data, const String& base = kEmptyBase, const String& tail = kEmptyTail) {
  return "<JobStep type=\"" + std::to_string(type) + "\">" + base + "<StepData>" + data + "</StepData>" + tail;
}

struct Kind {
  uint32_t type;
  std::function<StepPtr(const String&)> make;  // the class constructed from a text
  String data;                                 // populated "StepData" content, as packed
};

template <class T>
std::function<StepPtr(const String&)> Ctor() {
  return [](const String& t) { return std::make_unique<T>(t); };
}
template <class T>
std::function<StepPtr(const String&)> Ctor(Step::EStepType type) {
  return [type](const String& t) { return std::make_unique<T>(type, t); };
}

std::vector<Kind> AllKinds() {
  const String os = "<SoftwareOS><Name>W</Name></SoftwareOS>";
  const String bools = "<UseUpdateProfileForSettings>1</UseUpdateProfileForSettings><UseWuaForInstallation>1"
                       "</UseWuaForInstallation><PerformFinalUpdateInventory>1</PerformFinalUpdateInventory>"
                       "<DisableDeferQualityUpdatesGPO>1</DisableDeferQualityUpdatesGPO>";
  const String cloning = "<OSCloningBackupOptions><Target>t</Target></OSCloningBackupOptions>" + kBoot;
  const String bitlocker = "<BitLockerProfileData><BitLockerProfile><Pin>1</Pin></BitLockerProfile>"
                           "</BitLockerProfileData>";
  const String removal = "<PackageDeterminationMethod>1</PackageDeterminationMethod><KBNumbers>5001,4294967295"
                         "</KBNumbers><TextFilterPattern>KB*</TextFilterPattern>";
  const String personal = "<BackupFilename>f</BackupFilename><BackupPassword>p</BackupPassword><UsersToProcess>2"
                          "</UsersToProcess><BlacklistedUser>u1</BlacklistedUser><BlacklistedUser>u2</BlacklistedUser>";
  OVOSoftwareApplication app;
  app.SetSecurityContext("__SC__InstallUser__");
  const String application = app.Pack();
  OVO::EnergyManagement::Policy policy;
  policy.SetName("night");
  const String snmp = "<NetworkScanData><SnmpScanProfile><Community>public</Community></SnmpScanProfile>"
                      "</NetworkScanData>";
  return {
      {10, Ctor<OVOJobStepDeployOS>(), os + kBoot + "<TargetDisk>1</TargetDisk><TargetPartition>2</TargetPartition>"},
      {11, Ctor<OVOJobStepPerformPatchUpdate>(),
       bools + "<ScanContext>s</ScanContext><DeployContext>d</DeployContext><BulletinFilter>b</BulletinFilter>"
               "<WuaJobStepSettings><Reboot>0</Reboot></WuaJobStepSettings>"},
      {12, Ctor<OVOJobStepInstallSoftware>(),
       "<Software><Entry type=\"1\" name=\"a &quot;b&quot; &amp;&#x9;c\">x&amp;y</Entry>"
       "<Entry type=\"-2\" name=\"\"></Entry></Software>"},
      {13, Ctor<OVOJobStepPerformManagedSoftwareUpdate>(),
       "<ScanContext>s</ScanContext><DeployContext>d</DeployContext><BulletinFilter>b</BulletinFilter>"
       "<ManagedAppsInFilter>m</ManagedAppsInFilter><ReleaseLevel>400</ReleaseLevel>"},
      {14, Ctor<OVOJobStepOSCloningBackup>(), cloning},
      {15, Ctor<OVOJobStepTurnOnBitLocker>(), bitlocker},
      {16, Ctor<OVOJobStepRemoveMicrosoftUpdates>(),
       removal + "<PerformFinalUpdateInventory>1</PerformFinalUpdateInventory><UpdateInventorySource>2"
                 "</UpdateInventorySource>"},
      {110, Ctor<OVOJobStepInstallApplication>(), application},
      {111, Ctor<OVOJobStepUninstallApplication>(), application},
      {120, Ctor<OVOJobStepPerformInventory>(Step::ePerformInventory),
       "<OVOInventoryTemplate><Hw>1</Hw></OVOInventoryTemplate>"},
      {121, Ctor<OVOJobStepPerformInventory>(Step::ePerformInventoryAlt),
       "<OVOInventoryTemplate></OVOInventoryTemplate>"},
      {130, Ctor<OVOJobStepDeterminePatchState>(),
       bools + "<ScanContext>s</ScanContext><BulletinFilter>b</BulletinFilter><PatchBase>p</PatchBase><ScanCommand>c"
               "</ScanCommand><OutFile>o</OutFile><WuaJobStepSettings></WuaJobStepSettings>"},
      {133, Ctor<OVOJobStepDetermineManagedSoftwareState>(),
       "<ScanContext>s</ScanContext><BulletinFilter>b</BulletinFilter><PackedInvTemplate>t</PackedInvTemplate>"
       "<ReleaseLevel>100</ReleaseLevel><IsScanResultImported>1</IsScanResultImported>"},
      {140, Ctor<OVOJobStepBootImage>(), "<BootEnvironment><Name>PE</Name><Drivers a=\"1\"/></BootEnvironment>"},
      {142, Ctor<OVOJobStepInstallOS>(), os},
      {143, Ctor<OVOJobStepOSCloningBackupImaging>(), cloning},
      {144, Ctor<OVOJobStepOSCloningBackupSysprep>(), cloning + application},
      {145, Ctor<OVOJobStepWipeDisk>(),
       "<Drive>129</Drive><Mode>1</Mode><Passes>7</Passes><Pattern>1</Pattern><LogPath>\\\\l</LogPath>" + kBoot},
      {146, Ctor<OVOJobStepPreOSScript>(), "<Script>s</Script>" + kBoot},
      {150, Ctor<OVOJobStepPersonalBackup>(),
       personal + "<Incremental>1</Incremental><ClearArchiveBit>1</ClearArchiveBit>"},
      {151, Ctor<OVOJobStepPersonalRestore>(),
       personal + "<RedirectToFolder>r</RedirectToFolder><Client>c</Client><DomainUser>d</DomainUser>"
                  "<RecreateCatalogs>1</RecreateCatalogs><RestoreAllNewest>1</RestoreAllNewest><FileReplace>3"
                  "</FileReplace><RegkeyReplace>4</RegkeyReplace>"},
      {152, Ctor<OVOJobStepDesasterBackup>(), "<DesasterBackup><Volume>C</Volume></DesasterBackup>"},
      {153, Ctor<OVOJobStepDesasterRestore>(),
       "<DesasterRestore><RestoreOptions>1</RestoreOptions><Volume>C</Volume></DesasterRestore>" + kBoot},
      {161, Ctor<OVOJobStepLegacyMetaFrame>(Step::eLegacyMetaFrame1), ""},
      {162, Ctor<OVOJobStepLegacyMetaFrame>(Step::eLegacyMetaFrame2), ""},
      {163, Ctor<OVOJobStepLegacyMetaFrame>(Step::eLegacyMetaFrame3), ""},
      {164, Ctor<OVOJobStepLegacyMetaFrame>(Step::eLegacyMetaFrame4), ""},
      {170, Ctor<OVOJobStepApplyEnergyPolicy>(), policy.Pack()},
      {180, Ctor<OVOJobStepServerSideAction>(),
       "<OvdFilename>a.ovd</OvdFilename><SecurityContext>ctx</SecurityContext><OvdTimeout>60</OvdTimeout>"},
      {190, Ctor<OVOJobStepComplianceScan>(),
       "<ScanFilePath>p</ScanFilePath><ConvertXsl>x</ConvertXsl><VariablesCache>v</VariablesCache>"
       "<RelativeBasePathOnInternetDIP>r</RelativeBasePathOnInternetDIP><ScanFileHash>h</ScanFileHash>"
       "<CountActiveRules>-1</CountActiveRules><ComplianceScanProfile><Rule>1</Rule></ComplianceScanProfile>"},
      {200, Ctor<OVOJobStepControlVirtualMachine>(), ""},
      {201, Ctor<OVOJobStepCreateVMFromProfile>(), "<VMProvisioningProfile><Ram>4</Ram></VMProvisioningProfile>"},
      {210, Ctor<OvoJobStepNetworkScan>(Step::eNetworkScan), snmp},
      {211, Ctor<OvoJobStepNetworkScan>(Step::eNetworkScanAlt), snmp},
      {214, Ctor<OVOJobStepEncryptOSDrive>(), bitlocker},
      {215, Ctor<OVOJobStepWaitForOSDriveEncryption>(), ""},
      {216, Ctor<OVOJobStepEncryptDataDrives>(), bitlocker},
      {217, Ctor<OVOJobStepTurnOffBitLocker>(), ""},
      {218, Ctor<OVOJobStepCheckEncryptionAndSetPIN>(), bitlocker},
      {219, Ctor<OVOJobStepTurnOnBitLockerNetworkUnlock>(), "<UnlockCertificate>cert</UnlockCertificate>"},
      {220, Ctor<OVOJobStepTurnOffBitLockerNetworkUnlock>(), ""},
      {231, Ctor<OVOJobStepMicrosoftUpdateInventory>(),
       "<MicrosoftOnline>1</MicrosoftOnline><ovPMFilesPath>p</ovPMFilesPath><UpdateInventorySource>1"
       "</UpdateInventorySource>"},
      {233, Ctor<OvoJobStepUpdateAntivirusDefinitions>(), ""},
      {234, Ctor<OvoJobStepRunMicrosoftDefenderScan>(), "<DefenderScanMode>2</DefenderScanMode>"},
      {235, Ctor<OVOJobStepMicrosoftUpdateUninstallation>(), removal},
  };
}

TEST(JobStep, FreshWipeDiskPacksItsDefaultsAndDescription) {
  const OVOJobStepWipeDisk w;
  const String boot = "<JobStep type=\"140\">" + kEmptyBase + "<StepData><BootEnvironment></BootEnvironment>"
                      "</StepData>" + kEmptyTail;
  EXPECT_EQ(w.Pack(), StepText(145, "<Drive>128</Drive><Mode>4</Mode><Passes>3</Passes><Pattern>0</Pattern>"
                                    "<LogPath>{DIP}\\WipeDisk</LogPath>" + boot));
  EXPECT_EQ(w.GetStepDescription(), "Wipe hard disk [80h] (Mode=4, Passes=3)");
  EXPECT_TRUE(w.GetObjectName() == "JobStep" && w.GetSchema() == 0x50001u);
  EXPECT_EQ(w.GetRunLocation(true), Step::eRunOnBootClient);
}

TEST(JobStep, PopulatedBaseFieldsRoundTripInOrder) {
  const String base = "<GUID>G</GUID><VirtualStep>V</VirtualStep><Job>J</Job><Client>C</Client><Precondition>P"
                      "</Precondition><Sequence>4294967295</Sequence><State>2147484679</State><StateString>a&lt;b"
                      "</StateString><Started>-5</Started><LastChange>9223372036854775807</LastChange><Options>16386"
                      "</Options><Properties><PropertyEntry><Param>Dependencies</Param><Value>X;Y,1</Value>"
                      "</PropertyEntry></Properties>";
  const String text = StepText(233, "", base, "<InsertAfter>I</InsertAfter><UserContext>U</UserContext>"
                                             "<ThreadPriority>-7</ThreadPriority></JobStep>");
  const OvoJobStepUpdateAntivirusDefinitions s(text);
  EXPECT_EQ(s.Pack(), text);
  EXPECT_TRUE(s.GetState() == 7 && s.HasStateFlag(0x400) && s.GetThreadPriority() == -7 && s.HasThreadPriority());
  EXPECT_EQ(s.GetDependencies(), "X;Y,1");
}

TEST(JobStep, EveryKindRoundTripsItsPopulatedTextAndKeepsItsType) {
  for (const Kind& k : AllKinds()) {
    SCOPED_TRACE(k.type);
    const String text = StepText(k.type, k.data);
    const StepPtr made(OVOJobStepList::CreateJobStep(text));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Pack(), text);
    const StepPtr direct = k.make(text);
    const Step &madeStep = *made, &directStep = *direct;
    EXPECT_EQ(typeid(madeStep), typeid(directStep));
    EXPECT_EQ(direct->Pack(), text);

    // The constructor stores its own type, whatever the attribute said; Unpack takes the attribute.
    const StepPtr other = k.make(StepText(999, k.data));
    EXPECT_EQ(other->GetType(), k.type);
    EXPECT_EQ(other->PackStepData(), made->PackStepData());
    EXPECT_EQ(other->Unpack(text), 1);
    EXPECT_EQ(other->Unpack(StepText(7, "")), 1);
    EXPECT_EQ(other->GetType(), 7u);

    // The factory: a fresh step of the type with a new GUID, the source's job and client.
    made->SetJobGUID("J"), made->SetClientGUID("C");
    const StepPtr fresh(OVOJobStepList::CreateJobStep(static_cast<Step::EStepType>(k.type), made.get()));
    ASSERT_NE(fresh, nullptr);
    const Step& freshStep = *fresh;
    EXPECT_EQ(typeid(freshStep), typeid(madeStep));
    EXPECT_TRUE(fresh->GetGUID().size() == 36 && fresh->GetType() == k.type);
    EXPECT_TRUE(fresh->GetJobGUID() == "J" && fresh->GetClientGUID() == "C" && fresh->GetVirtualStep().empty());
    EXPECT_FALSE(fresh->GetStepDescription().empty());
    fresh->SetGUID(""), fresh->SetJobGUID(""), fresh->SetClientGUID("");
    EXPECT_EQ(fresh->Pack(), k.make(String())->Pack()) << "defaults differ between factory and constructor";
  }
}

TEST(JobStep, ClearResetsEveryKindToTheDefaultsOfAFreshOne) {
  const String base = "<GUID>G</GUID><Sequence>3</Sequence><State>1031</State><Options>4</Options>"
                      "<Properties><PropertyEntry><Param>a</Param><Value>b</Value></PropertyEntry></Properties>";
  for (const Kind& k : AllKinds()) {
    SCOPED_TRACE(k.type);
    const StepPtr step = k.make(StepText(k.type, k.data, base, "<ThreadPriority>2</ThreadPriority></JobStep>"));
    const StepPtr fresh = k.make(String());
    step->ClearStep();
    EXPECT_EQ(step->PackStepData(), fresh->PackStepData());
    step->Clear();
    fresh->Clear();
    EXPECT_EQ(step->Pack(), fresh->Pack());
  }
}

TEST(JobStep, KindTableAgreesWithItsKinds) {
  const auto rows = JobStepKindRows();
  const std::vector<Kind> kinds = AllKinds();
  ASSERT_EQ(rows.size(), kinds.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const JobStepKindRow& r = rows[i];
    SCOPED_TRACE(r.type);
    EXPECT_EQ(FindJobStepKind(r.type), &r);
    const StepPtr made = r.make(static_cast<Step::EStepType>(r.type));
    const StepPtr expected = kinds[i].make(String());
    ASSERT_EQ(kinds[i].type, r.type);
    const Step &madeStep = *made, &expectedStep = *expected;
    EXPECT_EQ(typeid(madeStep), typeid(expectedStep));
    EXPECT_EQ(made->GetType(), r.type);

    // The boot-client phase: the steps that run there, and the boot image that starts it.
    const bool runsThere = r.location == Step::eRunOnBootClient;
    EXPECT_EQ(r.bootClient, runsThere || r.type == Step::eBootImage);
    EXPECT_TRUE(r.bootClientOption == 0 || (r.location == Step::eRunOnAgent && !r.bootClient));
    EXPECT_TRUE(r.bootClientListPlace == 0 || made->MayRunOnBootclient(false, false));
    EXPECT_TRUE(!r.expands || made->IsVirtualStep());
    EXPECT_TRUE(r.reinstall == JobStepKindRow::eKeepsSystem || runsThere) << "the system is replaced from there";
  }
  EXPECT_EQ(FindJobStepKind(0), nullptr);
  EXPECT_EQ(FindJobStepKind(141), nullptr);
  EXPECT_EQ(FindJobStepKind(0xFFFFFFFF), nullptr);
}

TEST(JobStep, FactoryCopiesTheSourceAndRefusesUnknownTypes) {
  OVOJobStepWipeDisk source;
  source.SetGUID("S-1"), source.SetJobGUID("J-1"), source.SetClientGUID("C-1");
  const StepPtr s(OVOJobStepList::CreateJobStep(Step::eInstallSoftware, &source));
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(s->GetVirtualStep() == "S-1" && s->GetJobGUID() == "J-1" && s->GetClientGUID() == "C-1");
  EXPECT_NE(s->GetGUID(), StepPtr(OVOJobStepList::CreateJobStep(Step::eInstallSoftware))->GetGUID());
  for (uint32_t t : {0u, 9u, 17u, 99u, 141u, 236u, 300u, 0xFFFFFFFFu})
    EXPECT_EQ(OVOJobStepList::CreateJobStep(static_cast<Step::EStepType>(t)), nullptr) << t;
  for (const char* text : {"", "garbage", "<JobStep type=\"99\"/>", "<JobStep type=\"300\"/>", "<JobStep/>",
                           "<Step type=\"145\"/>", "<JobStep type=\"145\">", "<JobStep type=\" 145x\"/><x/>"})
    EXPECT_EQ(OVOJobStepList::CreateJobStep(String(text)), nullptr) << text;
  const StepPtr spaced(OVOJobStepList::CreateJobStep(String("<JobStep type=\" 145x\"><GUID>g</GUID></JobStep>")));
  ASSERT_NE(spaced, nullptr) << "the attribute is read as atol reads it";
  EXPECT_EQ(Step::GetGUIDFromObject("<JobStep type=\"145\"><GUID>g</GUID></JobStep>"), "g");
  EXPECT_EQ(Step::GetGUIDFromObject("<JobStep type=\"99\"><GUID>g</GUID></JobStep>"), "");
}

TEST(JobStep, UnpackToleratesCaseOrderMissingNodesAndGarbage) {
  OVOJobStepWipeDisk w;
  w.SetPasses(9), w.SetGUID("x");
  EXPECT_EQ(w.Unpack(String("<JobStep type=\"145\"><stepdata><MODE>2</MODE><x/></stepdata><guid>g</guid>"
                            "<state>7</state></JobStep>")), 1);
  EXPECT_TRUE(w.GetMode() == 2 && w.GetPasses() == 3 && w.GetGUID() == "g" && w.GetState() == 7);
  for (const char* bad : {"", "<JobStep", "<Other type=\"145\"/>", "<jobstep type=\"145\"/>"}) {
    w.SetPasses(9);
    EXPECT_EQ(w.Unpack(String(bad)), 0) << bad;
    EXPECT_TRUE(w.GetPasses() == 3 && w.GetType() == 0) << "cleared";
  }
  EXPECT_EQ(w.UnpackStepData("<StepData><Passes>5</Passes></StepData>"), 1);
  EXPECT_EQ(w.GetPasses(), 5u);
  EXPECT_EQ(w.UnpackStepData("<Data><Passes>6</Passes></Data>"), 0);
  EXPECT_EQ(w.GetPasses(), 3u);
}

TEST(JobStep, KindRules) {
  OVOJobStepServerSideAction a(StepText(180, "<OvdFilename>f</OvdFilename>"));
  EXPECT_EQ(a.GetSecurityContext(), "__SC__InstallUser__") << "a text without the word";
  a.Unpack(StepText(180, "<OvdFilename>SecurityContext</OvdFilename>"));
  EXPECT_EQ(a.GetSecurityContext(), "") << "the word anywhere keeps the default";
  a.Unpack(StepText(180, "<SecurityContext>c</SecurityContext>"));
  EXPECT_EQ(a.GetSecurityContext(), "c");

  EXPECT_EQ(OVOJobStepMicrosoftUpdateUninstallation::DeserializeKBNumbers(" kb12;KB3, x 4 "),
            (std::vector<uint32_t>{12, 3, 0, 4}));
  EXPECT_EQ(OVOJobStepMicrosoftUpdateUninstallation::SerializeKBNumbers({12, 0}), "12,0");

  OVOJobStepInstallSoftware sw;
  sw.AddEntry(1, "App A", ""), sw.AddEntry(2, "App B", "");
  EXPECT_EQ(sw.GetAppDisplayName(), "App A, App B");
  const OVOJobStepLegacyMetaFrame m3(Step::eLegacyMetaFrame3, ""), m4(Step::eLegacyMetaFrame4, "");
  EXPECT_TRUE(m3.GetSubType() == 2 && m4.GetSubType() == 0);

  OVOJobStepInstallApplication install(StepText(110, "<SoftwareApplication><Name>N</Name><Vendor>V</Vendor>"
                                                     "<SecurityContext>__sc__installuser__</SecurityContext>"
                                                     "</SoftwareApplication>"));
  EXPECT_EQ(install.GetAppDisplayName(), "V N");
  EXPECT_EQ(install.GetStepDescription(), "Install application: V N");
  const OVOJobStepApplyEnergyPolicy energy(StepText(170, "<EnergyPolicy><Name>Office</Name></EnergyPolicy>"));
  EXPECT_EQ(energy.GetStepDescription(), "Deploy energy profile [Office]");
  OFL::SetResourceLanguage(1031);
  const String german = energy.GetStepDescription();
  OFL::SetResourceLanguage(1033);
  EXPECT_EQ(german, "Energieprofil verteilen [Office]");
  EXPECT_TRUE(install.IsContextLocalInstallUser());
  OVOJobStepPerformInventory inventory;
  inventory.SetUserContext("__SC__InstallUser__");
  EXPECT_TRUE(inventory.IsContextLocalInstallUser() && !OVOJobStepWipeDisk().IsContextLocalInstallUser());

  OVOJobStepDeterminePatchState patch(StepText(130, "<PatchBase>p</PatchBase><ScanCommand>c</ScanCommand>"));
  patch.CleanForOVATransmit();
  EXPECT_TRUE(patch.GetPatchBase().empty() && patch.GetScanCommand() == "c");
  EXPECT_TRUE(OVOJobStepOSCloningBackupSysprep().SchedulerCanResumeJobWhenStepIsCompleted());
  EXPECT_TRUE(OVOJobStepOSCloningBackup().MayRunOnBootclient(false, false));
  EXPECT_FALSE(OVOJobStepOSCloningBackupSysprep().MayRunOnBootclient(true, true));
  EXPECT_TRUE(OVOJobStepDesasterBackup().MayRunOnBootclient(true, true));
  EXPECT_FALSE(OVOJobStepDesasterBackup().MayRunOnBootclient(false, true));
  EXPECT_NE(OVOJobStepDesasterBackup().GetStepStateDescriptionPtr(), nullptr);
  EXPECT_EQ(OVOJobStepWipeDisk().GetStepStateDescriptionPtr(), nullptr);
}

TEST(JobStep, RunLocationTable) {
  struct Row {
    uint32_t type, options, plain, expanded;
  };
  const Row rows[] = {
      {0, 0, 1, 1},       {9, 0, 1, 1},        {236, 0, 1, 1},       {0xFFFFFFFF, 0, 1, 1}, {10, 0, 2, 0},
      {11, 0, 1, 0},      {13, 0, 1, 0},       {15, 0, 1, 0},        {16, 0, 1, 0},         {12, 0, 1, 0},
      {12, 0x20000, 2, 0}, {14, 0, 1, 1},      {110, 0, 1, 1},       {110, 0x40000, 2, 2},  {140, 0, 0, 0},
      {142, 0, 2, 2},     {143, 0, 2, 2},      {145, 0, 2, 2},       {146, 0, 2, 2},        {153, 0, 2, 2},
      {144, 0, 1, 1},     {180, 0, 3, 3},      {200, 0, 3, 3},       {201, 0, 3, 3},        {235, 0x60000, 1, 1},
  };
  for (const Row& r : rows) {
    OvoJobStepUpdateAntivirusDefinitions s;
    s.SetType(r.type), s.SetOptions(r.options);
    EXPECT_EQ(s.GetRunLocation(false), r.plain) << r.type;
    EXPECT_EQ(s.GetRunLocation(true), r.expanded) << r.type;
    EXPECT_EQ(s.MayRunOnBootclient(false, true), r.expanded == 2) << r.type;
  }
}

TEST(JobStep, SkipResumeAndDependencies) {
  OVOJobStepWipeDisk s;
  s.SetStateValue(7);
  EXPECT_TRUE(s.ShouldSkipJobStep());
  s.SetStateValue(0x407);
  EXPECT_FALSE(s.ShouldSkipJobStep()) << "the whole value is compared";
  s.SetOption(0x4000, true);
  EXPECT_TRUE(s.ShouldSkipJobStep() && s.GetOption(0x4001) && !s.GetOption(0x1));
  EXPECT_FALSE(s.SchedulerCanResumeJobWhenStepIsCompleted());
  s.SetOption(0x2, true);
  EXPECT_TRUE(s.SchedulerCanResumeJobWhenStepIsCompleted());
  OVOJobStepDeployOS deploy;
  deploy.SetOption(0x2, true);
  EXPECT_TRUE(deploy.IsVirtualStep() && deploy.ShouldSkipJobStep());
  EXPECT_FALSE(deploy.SchedulerCanResumeJobWhenStepIsCompleted());

  EXPECT_EQ(s.GetDependencies(), "");
  for (const char* entry : {"abc-1", "DEF,1", "ABC-1", "def,1", "def", "A,1", "a"}) s.AddDependency(entry);
  EXPECT_EQ(s.GetDependencies(), "abc-1;DEF,1;def;A,1;a") << "whole entries compared, case ignored";
  s.SetDependencies("x");
  EXPECT_EQ(s.GetDependencies(), "x");
}

TEST(JobStep, ThreadPriorityIsAppliedToOneThreadAndResetOnlyThere) {
  OVOJobStepWipeDisk s;
  EXPECT_EQ(s.ApplyThreadPriority(Step::kCurrentThread), 0u) << "no priority set";
  EXPECT_EQ(s.ResetThreadPriority(), 1444u);
  EXPECT_EQ(s.SetThreadPriority(Step::eThreadPriorityBelowNormal), 0);
  uint32_t applied = 1, again = 1, other = 1, reset = 1;
  int level = 0;
  OFL::Thread::Handle worker = 0;
  std::thread([&] {  // the test's own thread keeps its priority
    worker = OFL::Thread::GetCurrentThreadHandle();
    applied = s.ApplyThreadPriority(Step::kCurrentThread);
    OFL::Thread::GetThreadPriority(Step::kCurrentThread, level);
    again = s.ApplyThreadPriority(worker);
    other = s.ApplyThreadPriority(worker + 1);
    reset = s.ResetThreadPriority();
  }).join();
  EXPECT_TRUE(applied == 0 && again == 0 && level == -1);
  EXPECT_EQ(other, 6u);
  EXPECT_TRUE(reset == 0 || reset == OFL::Thread::kErrorAccessDenied) << "raising back may need privileges";
  EXPECT_EQ(s.ResetThreadPriority(), 1444u) << "forgotten after the reset";

  OVOJobStepWipeDisk t;
  t.SetThreadPriority(Step::eThreadPriorityNormal);
  std::thread([&] { applied = t.ApplyThreadPriority(Step::kCurrentThread); }).join();
  EXPECT_EQ(applied, 0u);
  EXPECT_EQ(t.ResetThreadPriority(), 1444u) << "not the thread that applied it";
  OVOJobStepWipeDisk u;
  u.SetThreadPriority(Step::eThreadPriorityAboveNormal);
  EXPECT_EQ(u.ApplyThreadPriority(0), OFL::Thread::kErrorInvalidHandle);
}

}  // namespace
