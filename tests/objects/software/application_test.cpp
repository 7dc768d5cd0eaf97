// Software applications: the packed form with its defaults and conditional parts, the strict dependency entries,
// the operations on options, dependencies and parents, the comparators, and the list.
#include "orvacmn/software/application.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ofl/tokenizer.h"
#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/software/application_list.h"

namespace {

using orvacmn::OVOSoftwareApplication;
using orvacmn::String;
using App = OVOSoftwareApplication;
using Dep = App::DependencyEntry;

App::EDependencyType DepType(int v) { return static_cast<App::EDependencyType>(v); }

String Between(const String& text, const String& from, const String& to) {
  const size_t a = text.find(from), b = text.find(to, a);
  return a == String::npos || b == String::npos ? "<missing>" : text.substr(a, b + to.size() - a);
}

App Populated() {
  App a;
  a.SetGUID("3F2504E0-4F89-11D3-9A0C-0305E82C3301");
  a.SetVendor("V & W");
  a.SetName("Tool");
  a.SetVersion("2.10");
  a.SetPrice(-3);
  a.SetSubType("msw");
  a.SetSupportedOS(-2);
  a.SetOptions(0xFFFFFFFF);
  a.SetReleaseLevel(orvacmn::OVOReleaseLevel::eReleased);
  a.SetIsSupported(false);
  a.SetFullyLoaded(true);
  a.SetSortOrder("b");
  a.SetManagedSWType(App::eMSWVersion);
  a.GetInstallEngine().AddChildElement("<Step>1</Step>");
  a.AddSoftwareDependency(Dep(DepType(6), 1LL << 40, "G", "Ven", "Nam", ""));
  a.GetVars().SetVar("Cat", "Lang", "de", orvacmn::OVOCustomVarDef::ECustomVarType{});
  a.GetProperties().SetProperty("P", "1");
  a.GetObjectRights().SetRights("profile", 2);
  a.GetLicenses().Insert("K", "2.*", 3, 0, 1);
  a.GetLicenseActions().Insert(1, orvacmn::OVO::LicenseAction{}, false);
  a.GetFiles().InsertFileEntry("setup.exe", {});
  a.GetDetectRules().AddChildElement("<Rule/>");
  a.GetAutSummaryData().noAUT = 4294967295u;
  a.GetAutData().push_back({"M", "PC", 1700000000, 0, 1700003600, 86400 * 2, -1, 4294967295u, true});
  a.GetManagedSoftwareData().SetEULAURL("u");
  auto stats = std::make_unique<App::StatisticsData>();
  stats->counts[App::StatisticsData::eReleasedForTestBlocked] = 4294967295u;
  a.SetStatisticsData(std::move(stats));
  return a;
}

TEST(SoftwareApplication, DefaultPackAndClear) {
  App a;
  const String packed = a.Pack();
  EXPECT_EQ(packed.size(), 2626u);
  EXPECT_EQ(packed.substr(0, 60), "<SoftwareApplication><GUID></GUID><OrgUnit></OrgUnit><Vendor");
  EXPECT_EQ(Between(packed, "<InstallEngine>", "</UninstallEngine>"),
            "<InstallEngine><InstallEngine></InstallEngine></InstallEngine><UninstallEngine><InstallEngine>"
            "</InstallEngine></UninstallEngine>");
  EXPECT_EQ(Between(packed, "<SupportedOS>", "</AdditionalHashGuid>"),
            "<SupportedOS>16777215</SupportedOS><Options>0</Options><SecurityContext>__SC__LocalAdmin__"
            "</SecurityContext><GUIDParentSW></GUIDParentSW><ReleaseLevel>200</ReleaseLevel><IsLatestVersion>0"
            "</IsLatestVersion><IsSupported>1</IsSupported><AdditionalHashGuid></AdditionalHashGuid>");
  EXPECT_EQ(Between(packed, "<ConsistencyChecks>", "</SortOrder></SoftwareApplication>"),
            "<ConsistencyChecks></ConsistencyChecks><Vars><Scope>__SOFTWARE__</Scope></Vars><Properties></Properties>"
            "<ObjectRights></ObjectRights><SoftwareLicenses></SoftwareLicenses><LicenseActions></LicenseActions>"
            "<ReservedLicense></ReservedLicense><FullyLoaded>0</FullyLoaded><IsDeinstall>0</IsDeinstall>"
            "<IsReinstallation>0</IsReinstallation><SoftwareFiles></SoftwareFiles><ManagedSWType>0</ManagedSWType>"
            "<AUTApplicationDetectRules></AUTApplicationDetectRules><AutSummaryData><Installed>0</Installed>"
            "<Frequently>0</Frequently><Occasionally>0</Occasionally><Never>0</Never><Unknown>0</Unknown><NoAUT>0"
            "</NoAUT></AutSummaryData><AutData></AutData><SortOrder></SortOrder></SoftwareApplication>");
  EXPECT_EQ(a.GetStatisticsData(), nullptr);

  App p = Populated();
  p.Clear();
  EXPECT_FALSE(p.GetIsSupported()) << "Clear keeps IsSupported";
  p.SetIsSupported(true);
  EXPECT_EQ(p.Pack(), packed);
  EXPECT_EQ(p.Unpack("<SoftwareApplication"), 0);
  EXPECT_EQ(p.Unpack("<softwareapplication><Name>x</Name></softwareapplication>"), 0);
  EXPECT_EQ(p.Pack(), packed);
}

TEST(SoftwareApplication, PopulatedRoundTrip) {
  const App a = Populated();
  const String packed = a.Pack();
  App b(packed);
  EXPECT_TRUE(b == a);
  EXPECT_EQ(b.Pack(), packed);
  EXPECT_EQ(Between(packed, "<Price>", "</Price>"), "<Price>-3</Price>");
  EXPECT_EQ(Between(packed, "<SupportedOS>", "</Options>"),
            "<SupportedOS>-2</SupportedOS><Options>4294967295</Options>");
  EXPECT_EQ(Between(packed, "<ReleasedForTestBlockedCount>", "<ConsistencyChecks>"),
            "<ReleasedForTestBlockedCount>4294967295</ReleasedForTestBlockedCount><Dependencies><Type>6</Type><OS>"
            "1099511627776</OS><GUID>G</GUID><Vendor>Ven</Vendor><Name>Nam</Name><Version></Version></Dependencies>"
            "<ConsistencyChecks>");
  EXPECT_EQ(Between(packed, "<NoAUT>", "</AutData>"),
            "<NoAUT>4294967295</NoAUT></AutSummaryData><AutData><AutDataEntry><MachineGUID>M</MachineGUID>"
            "<MachineName>PC</MachineName><InstallDate>" + orvacmn::OVOHelper::CTimeToDBTime(1700000000) +
            "</InstallDate><FirstUsed>" + orvacmn::OVOHelper::CTimeToDBTime(0) + "</FirstUsed><LastUsed>" +
            orvacmn::OVOHelper::CTimeToDBTime(1700003600) + "</LastUsed><LastData>" +
            orvacmn::OVOHelper::CTimeToDBTime(86400 * 2) + "</LastData><Usage>-1</Usage><DaysSinceLastUsage>"
            "4294967295</DaysSinceLastUsage><AUTactive>true</AUTactive></AutDataEntry></AutData>");
  EXPECT_EQ(Between(packed, "<SortOrder>", "</SoftwareApplication>"),
            "<SortOrder>b</SortOrder><ManagedSoftwareData><EULAURL>u</EULAURL><EULAReleaseDate></EULAReleaseDate>"
            "<EULAAcceptedDate></EULAAcceptedDate></ManagedSoftwareData></SoftwareApplication>");

  // Tags in any case and order; the later scalar wins; counts read back into a record.
  App c("<SoftwareApplication><name>x</name><NAME>y</NAME><totalinstallcount>7</totalinstallcount>"
        "<SubType>APP</SubType><ManagedSoftwareData><EULAURL>u</EULAURL></ManagedSoftwareData><ReleaseLevel>42"
        "</ReleaseLevel><AutSummaryData><Never>99999999999</Never></AutSummaryData><AutData><AutDataEntry>"
        "<AUTactive>TRUE</AUTactive><FirstUsed>junk</FirstUsed></AutDataEntry><Other/></AutData>"
        "<UninstallEngine><Other/><InstallEngine><X/></InstallEngine></UninstallEngine></SoftwareApplication>");
  EXPECT_EQ(c.GetName(), "y");
  ASSERT_NE(c.GetStatisticsData(), nullptr);
  EXPECT_EQ(c.GetStatisticsData()->counts[0], 7u);
  EXPECT_EQ(c.GetReleaseLevel().ToInt(), 200);
  EXPECT_EQ(c.GetAutSummaryData().never, 4294967295u);
  ASSERT_EQ(c.GetAutData().size(), 1u);
  EXPECT_TRUE(!c.GetAutData()[0].autActive && c.GetAutData()[0].firstUsed == 0);
  EXPECT_EQ(c.GetUninstallEngine().Pack(), "<InstallEngine><X/></InstallEngine>");
  EXPECT_EQ(c.GetManagedSoftwareData().GetEULAURL(), "u");
  EXPECT_EQ(c.Pack().find("ManagedSoftwareData"), String::npos) << "only managed software writes it";
  EXPECT_NE(c.Pack().find("<TotalInstallCount>7</TotalInstallCount>"), String::npos);
}

TEST(SoftwareApplication, DependencyEntries) {
  const String order = "<Type>9</Type><OS>-1</OS><GUID>g</GUID><Vendor>v</Vendor><Name>n</Name><Version>1</Version>";
  Dep d;
  EXPECT_EQ(d.Unpack("<Dependencies>" + order + "</Dependencies>"), 1);
  EXPECT_TRUE(d == Dep(DepType(1), -1, "g", "v", "n", "1"));
  EXPECT_EQ(d.Unpack("<Dependencies><Type>7</Type><OS>2</OS><Vendor>v</Vendor><GUID>g</GUID><Name>n</Name>"
                     "<Version>1</Version></Dependencies>"),
            0);
  EXPECT_TRUE(d.GetType() == 1 && d.GetOS() == 2 && d.GetVendor().empty()) << "stops at the first missing one";
  EXPECT_EQ(d.Unpack("<Dependencies><type>6</type>" + order.substr(14) + "</Dependencies>"), 0);
  EXPECT_EQ(d.Unpack("<Dependencies><Type>6</Type><X/><OS>3</OS><GUID/><Vendor/><Name/><Version/></Dependencies>"), 1);
  EXPECT_TRUE(d.GetType() == 6 && d.GetOS() == 3);
  EXPECT_EQ(d.Pack(), "<Dependencies><Type>6</Type><OS>3</OS><GUID></GUID><Vendor></Vendor><Name></Name><Version>"
                      "</Version></Dependencies>");
  EXPECT_EQ(Dep(DepType(0), 0, "", "Ven", "Nam", "").GetDisplayName(), "Nam Ven");
  EXPECT_EQ(Dep(DepType(0), 0, "", "Ven", "Nam", "2").GetDisplayName(), "Nam Ven 2");

  App a("<SoftwareApplication><Dependencies>" + order + "</Dependencies><dependencies>" + order +
        "</dependencies><Dependencies><Type>2</Type><OS>0</OS><GUID>ABC</GUID><Vendor/><Name/><Version/>"
        "</Dependencies></SoftwareApplication>");
  ASSERT_EQ(a.GetDependencyCount(), 3);
  EXPECT_TRUE(*a.GetDependencyEntry(1) == Dep()) << "a wrongly cased root gives a cleared entry";
  EXPECT_EQ(a.GetDependencyEntry(3), nullptr);
  EXPECT_EQ(a.GetDependencyEntry(-1), nullptr);
  EXPECT_EQ(a.GetDependencyPos(DepType(1), "G"), 0);
  EXPECT_EQ(a.GetDependencyPos(DepType(2), "abc"), 2);
  EXPECT_EQ(a.GetDependencyPos(DepType(2), "G"), -1);
  Dep found;
  EXPECT_TRUE(a.FindDependency(DepType(2), "Abc", found) && found.GetGUID() == "ABC");
  EXPECT_FALSE(a.FindDependency(DepType(3), "Abc", found));
  found.FromSoftwareApplicationWithSameOrder(Populated());
  EXPECT_EQ(found.GetDisplayName(), "Tool V & W 2.10");
  EXPECT_EQ(found.GetType(), 2);
  a.DeleteListSoftwareDependencies();
  EXPECT_EQ(a.GetDependencyCount(), 0);
}

TEST(SoftwareApplication, OptionsAndSimpleOperations) {
  App a;
  a.SetOption(0x1, true);
  EXPECT_TRUE(a.GetOption(0x1) && !a.GetOption(0x3));
  a.SetOption(0x3, true);
  a.SetOption(0x1, false);
  EXPECT_EQ(a.GetOptions(), 0x2u);
  const struct {
    uint32_t options;
    bool install, conditional, silent;
  } silent[] = {
      {0x10000, true, false, false}, {0x80, true, false, true},     {0x80, true, true, false},
      {0x80, false, true, true},     {0x100, false, true, false},   {0x20000, false, false, false},
      {0x20000, true, true, true},   {0x10000, false, false, true}, {0x100, true, true, true},
  };
  for (const auto& s : silent) {
    a.SetOptions(s.options);
    EXPECT_EQ(a.GetSilentExecution(s.install, s.conditional), s.silent) << std::hex << s.options;
  }
  EXPECT_FALSE(a.GetCanInstall() || a.GetCanUninstall());
  a.SetInstallEngineFile("e.xml");
  a.SetUninstallCommand("u.exe");
  EXPECT_TRUE(a.GetCanInstall() && a.GetCanUninstall() && !a.HasUninstallEngineConfigured());

  a.SetVendor("V");
  a.SetName("N");
  a.SetVersion("{3F2504E0-4F89-11D3-9A0C-0305E82C3301}");
  EXPECT_EQ(a.GetDisplayName(), "V N");
  a.SetVersion("1");
  EXPECT_EQ(a.GetDisplayName(), "V N 1");
  a.SetGUIDScanRule("g");
  a.SetScanRule("r");
  a.ClearSWScanRule();
  EXPECT_TRUE(a.GetGUIDScanRule().empty() && a.GetScanRule().empty());
  a.SetGUID("G;1");
  OFLTokenizer key;
  EXPECT_TRUE(key.FromLengthPackedString(a.GetKey()) && key.GetCount() == 1 && key[0] == "G;1");

  for (const char* sub : {"MSW", "msw", "mSw"}) {
    a.SetSubType(sub);
    EXPECT_TRUE(a.IsManagedSW());
  }
  a.SetSubType("MSWX");
  EXPECT_FALSE(a.IsManagedSW());

  EXPECT_FALSE(a.HasConfigurableParameters());
  a.GetProperties().SetProperty("Parameters", "<CustomVarDefList></CustomVarDefList>");
  EXPECT_FALSE(a.HasConfigurableParameters());
  a.GetProperties().SetProperty("parameters",
                                "<CustomVarDefList><CustomVarDef><Name>X</Name></CustomVarDef></CustomVarDefList>");
  EXPECT_TRUE(a.HasConfigurableParameters());

  orvacmn::OVOProperties filter;
  App::CreateFilterForApplicationType(filter, 0);
  EXPECT_EQ(filter.GetReadableForm(), "CombinedSWTypes=0; CombinedSWSubTypes=APP");
  orvacmn::OVO::Properties sorted;
  App::CreateFilterForApplicationType(sorted, -2);
  EXPECT_EQ(sorted.GetReadableForm(), "CombinedSWSubTypes=MSW; CombinedSWTypes=-2");
}

TEST(SoftwareApplication, DeriveFromParentAndCleanForAgent) {
  const App parent = Populated();
  for (auto type : {App::eNotManaged, App::eMSWProduct, App::eMSWProductLine, App::eMSWVersion}) {
    App child;
    child.SetManagedSWType(type);
    child.SetOptions(0x6);
    const String before = child.Pack();
    child.DeriveFromParent(parent);
    const bool line = type >= App::eMSWProductLine, version = type == App::eMSWVersion;
    if (!line) {
      EXPECT_EQ(child.Pack(), before) << type;
    }
    EXPECT_EQ(child.GetName(), line ? "Tool" : "") << type;
    EXPECT_EQ(child.GetVendor(), line ? "V & W" : "") << type;
    EXPECT_EQ(child.GetOptions(), line ? 0x7u : 0x6u) << type;
    EXPECT_EQ(child.GetSupportedOS(), version ? -2 : 0xFFFFFF) << type;
    EXPECT_EQ(child.GetVars().GetCount(), version ? 1 : 0) << type;
    EXPECT_EQ(child.GetManagedSoftwareData().GetEULAURL(), version ? "u" : "") << type;
    EXPECT_EQ(child.GetVersion(), "") << type;
  }
  App cleared;
  cleared.SetManagedSWType(App::eMSWProductLine);
  cleared.SetOptions(0x1);
  cleared.DeriveFromParent(App());
  EXPECT_EQ(cleared.GetOptions(), 0u);

  for (const char* guid : {App::kKeepFilesGuid, "5c99c076-bab4-4ccf-8e55-a04cb2d61351"}) {
    App a = Populated();
    a.SetGUID(guid);
    a.CleanForOVAUse();
    EXPECT_EQ(a.GetDependencyCount(), 0);
    EXPECT_TRUE(a.GetObjectRights().IsEmpty() && a.GetLicenseActions().IsEmpty() && !a.GetLicenses().IsEmpty());
    EXPECT_EQ(a.GetFiles().IsEmpty(), guid != App::kKeepFilesGuid);
  }
}

TEST(SoftwareApplication, Comparators) {
  const char* natural[] = {"", "1.2", "1.9", "1.10", "1.010a", "1.10B", "2", "a", "B", "b1", "b01x"};
  std::vector<App::Ptr> apps;
  for (const char* v : natural) {
    apps.push_back(std::make_shared<App>());
    apps.back()->SetVersion(v);
  }
  for (size_t i = 0; i + 1 < apps.size(); ++i)
    EXPECT_TRUE(App::NaturalCompareByVersion(apps[i], apps[i + 1])) << natural[i] << " < " << natural[i + 1];
  App a, b;
  a.SetVersion("1.010");
  b.SetVersion("1.10");
  EXPECT_FALSE(App::NaturalCompareByVersion(a, b) || App::NaturalCompareByVersion(b, a));
  a.SetSortOrder("B");
  b.SetSortOrder("a");
  EXPECT_TRUE(App::CompareBySortOrderAscending(a, b) && !App::CompareBySortOrderAscending(b, a));
  EXPECT_TRUE(App::CompareBySortOrderDescending(b, a) && !App::CompareBySortOrderDescending(a, a));
}

TEST(SoftwareApplicationList, PackUnpackAndForeignChildren) {
  const String one = Populated().Pack();
  orvacmn::OVOSoftwareApplicationList list("<SoftwareApplications>" + one +
                                           "<Other/><softwareapplication><Name>x</Name></softwareapplication>" + one +
                                           "</SoftwareApplications>");
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_TRUE(*list.GetHead() == Populated() && *list.GetTail() == Populated());
  EXPECT_EQ(list.Pack(), "<SoftwareApplications>" + one + App().Pack() + one + "</SoftwareApplications>");
  std::vector<App*> kept(list.begin(), list.end());
  EXPECT_EQ(list.Unpack("<Other/>"), 0);
  EXPECT_TRUE(list.IsEmpty());
  for (App* app : kept) delete app;  // the list forgot them without destroying them
  EXPECT_EQ(list.Unpack("<SoftwareApplications></SoftwareApplications>"), 1);
  EXPECT_EQ(list.Pack(), "<SoftwareApplications></SoftwareApplications>");
}

}  // namespace
