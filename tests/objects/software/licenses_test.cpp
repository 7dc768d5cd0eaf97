// Licences: filters, totals, reservation with its actions and tie-breaks, find and free, and the three text forms;
// software files and the objects that keep what they do not know.
#include "orvacmn/software/licenses.h"

#include <gtest/gtest.h>

#include <string>

#include "orvacmn/software/nested_objects.h"
#include "orvacmn/software/software_files.h"

namespace {

using orvacmn::_OVOLicenseActions;
using orvacmn::OVOReservedLicense;
using orvacmn::OVOSoftwareFiles;
using orvacmn::OVOSoftwareLicenses;
using orvacmn::String;
namespace OVO = orvacmn::OVO;

OVO::LicenseAction Action(int v) { return static_cast<OVO::LicenseAction>(v); }
OVOReservedLicense For(const String& version) {
  OVOReservedLicense r;
  r.SetSWVersion(version);
  return r;
}

TEST(SoftwareLicenses, FilterRule) {
  const struct {
    const char* filter;
    const char* version;
    bool match;
  } cases[] = {
      {"", "anything", true},   {"*", "", true},           {"1.5", "1.5", true},       {"1.5", "1.5/x64", true},
      {"1.*", "1.5/x64", true}, {"1.5/x64", "1.5/X64", true}, {"1.5/x64", "1.5/x86", false}, {"1.5/*", "1.5", false},
      {"1.5", "1.50", false},   {"1.5", "", false},        {"2.?", "2.1/a/b", true},
  };
  for (const auto& c : cases) {
    OVOSoftwareLicenses::_LicenseEntry e{"K", c.filter, 5, 1, 1};
    EXPECT_EQ(OVOSoftwareLicenses::Matches(e, c.version), c.match) << c.filter << " / " << c.version;
    // An empty version counts every entry.
    const bool counts = c.match || *c.version == '\0';
    EXPECT_EQ(OVOSoftwareLicenses::Availability(e, c.version), counts ? 3 : 0) << c.filter << " / " << c.version;
  }
}

TEST(SoftwareLicenses, TotalsAndMatchingFilter) {
  OVOSoftwareLicenses l;
  l.Insert("A", "1.*", 5, 1, 7);  // over-used: -3
  l.Insert("B", "2.*", 4, 0, 1);
  l.Insert("C", "1.5", 2147483647, 0, -1);  // wraps as 32-bit arithmetic does
  EXPECT_EQ(l.GetTotalCount(), static_cast<int32_t>(0x80000008u));
  EXPECT_EQ(l.GetTotalOffline(), 1);
  EXPECT_EQ(l.GetTotalUsed(), 7);
  EXPECT_EQ(l.GetTotalAvailable("2.0"), 3);
  EXPECT_EQ(l.GetTotalAvailable("1.5"), static_cast<int32_t>(0x7FFFFFFDu));
  EXPECT_EQ(l.GetTotalAvailable(""), static_cast<int32_t>(0x80000000u));
  EXPECT_EQ(l.GetMatchingFilter("1.5/x64"), "1.5");
  EXPECT_EQ(l.GetMatchingFilter("1.6"), "1.*");
  EXPECT_EQ(l.GetMatchingFilter("3.0"), "");
}

TEST(SoftwareLicenses, ReserveUntilOverUse) {
  OVOSoftwareLicenses l, none;
  OVOReservedLicense r = For("1.0");
  EXPECT_FALSE(none.ReserveLicense(r, _OVOLicenseActions()));
  l.Insert("K", "", 5, 0, 4);
  _OVOLicenseActions noActions;
  ASSERT_TRUE(l.ReserveLicense(r, noActions));
  EXPECT_EQ(r.GetRemainingLicenses(), 0);
  EXPECT_EQ(l.Entries()[0]->used, 5);
  ASSERT_TRUE(l.ReserveLicense(r, noActions));
  EXPECT_EQ(l.Entries()[0]->used, 6);
  EXPECT_EQ(r.GetAction(), OVO::eLicenseActionNone);
  EXPECT_NE(r.Pack().find("<RemainingLicenses>4294967295</RemainingLicenses><Action>4294967295</Action>"
                          "<ContinueInstall>1</ContinueInstall></ReservedLicense>"),
            String::npos);
}

TEST(SoftwareLicenses, ReserveActions) {
  // {licences left, actions as (limit, type, continue)...}: result, action, continue, remaining, Used afterwards.
  struct Case {
    int32_t left;
    std::vector<_OVOLicenseActions::_ActionEntry> actions;
    bool ok;
    int action;
    bool cont;
    int32_t remaining;
  };
  const Case cases[] = {
      {2, {{10, Action(1), true}, {2, Action(2), true}}, true, 2, true, 1},   // the later entry overrides
      {2, {{2, Action(2), true}, {10, Action(1), true}}, true, 1, true, 1},
      {3, {{1, Action(4), true}}, true, -1, true, 2},                         // 1 < 3 - 1: no action
      {2, {{1, Action(4), true}}, true, 4, true, 1},                          // limit = total - 1
      {0, {{0, Action(5), false}}, false, 5, false, 0},                       // stops, reports the total
      {1, {{0, Action(5), false}}, true, 5, true, 0},                         // total 1 > limit 0
      {-2, {{-3, Action(6), false}, {-1, Action(7), true}}, true, 7, true, -3},
  };
  for (const Case& c : cases) {
    OVOSoftwareLicenses l;
    l.Insert("K", "", 10, 0, 10 - c.left);
    _OVOLicenseActions actions;
    for (const auto& a : c.actions) actions.Insert(a.limit, a.type, a.continueInstallation);
    OVOReservedLicense r = For("1.0");
    r.SetRemainingLicenses(99);
    EXPECT_EQ(l.ReserveLicense(r, actions), c.ok) << c.left;
    EXPECT_EQ(r.GetAction(), c.action) << c.left;
    EXPECT_EQ(r.GetContinueInstall(), c.cont) << c.left;
    EXPECT_EQ(r.GetRemainingLicenses(), c.remaining) << c.left;
    EXPECT_EQ(l.Entries()[0]->used, 10 - c.left + (c.ok ? 1 : 0)) << c.left;
  }
}

TEST(SoftwareLicenses, ReserveChoosesFromTheEnd) {
  OVOSoftwareLicenses l;
  l.Insert("A", "1.*", 1, 0, 0);
  l.Insert("B", "2.*", 1, 0, 1);
  l.Insert("C", "1.5", 2, 0, 2);
  l.Insert("D", "3.*", 0, 0, 0);
  const struct {
    const char* version;
    bool ok;
    const char* key;
    int32_t remaining;
  } steps[] = {
      {"1.5", true, "A", 0},   // the last with something left
      {"1.5", true, "C", -1},  // nothing left: the last that covers the version
      {"", true, "A", -1},     // no version and nothing left: the first entry
      {"9.0", false, "", 0},   // no entry covers it
  };
  for (const auto& s : steps) {
    OVOReservedLicense r = For(s.version);
    EXPECT_EQ(l.ReserveLicense(r, _OVOLicenseActions()), s.ok) << s.version;
    EXPECT_EQ(r.GetLicenseKey(), s.key) << s.version;
    EXPECT_EQ(r.GetRemainingLicenses(), s.remaining) << s.version;
  }
  OVOReservedLicense r = For("1.5/x64");
  EXPECT_TRUE(l.ReserveLicense(r, _OVOLicenseActions()));
  EXPECT_EQ(r.GetLicenseFilter(), "1.5");
  EXPECT_EQ(l.Pack(), OVOSoftwareLicenses(l.Pack()).Pack());
  // Copies share the entries.
  OVOSoftwareLicenses copy = l;
  copy.FreeLicense("c", "1.5");
  EXPECT_EQ(l.Entries()[2]->used, 3);
}

TEST(SoftwareLicenses, FindAndFree) {
  OVOSoftwareLicenses l;
  l.Insert("K", "1.*", 4, 1, 1);
  l.Insert("K", "2.*", 9, 0, 0);
  l.Insert("k", "1.*", 3, 0, 0);
  OVOReservedLicense r = For("1.2");
  r.SetAction(Action(3));
  r.SetContinueInstall(false);
  ASSERT_TRUE(l.FindLicense(r, "K"));  // first in list order, key case respected
  EXPECT_TRUE(r.GetLicenseKey() == "K" && r.GetLicenseFilter() == "1.*" && r.GetRemainingLicenses() == 2);
  EXPECT_TRUE(r.GetAction() == OVO::eLicenseActionNone && r.GetContinueInstall());
  const String before = r.Pack();
  EXPECT_FALSE(l.FindLicense(r, "X"));
  OVOReservedLicense r3 = For("3.0");
  EXPECT_FALSE(l.FindLicense(r3, "K"));
  EXPECT_EQ(r.Pack(), before);

  l.FreeLicense("K", "1.2");  // from the end, case ignored: the third entry
  l.FreeLicense("K", "2.0");
  l.FreeLicense("K", "3.0");  // nobody holds it for 3.0
  EXPECT_EQ(l.Entries().size(), 4u);
  EXPECT_EQ(l.Entries()[0]->used, 1);
  EXPECT_EQ(l.Entries()[1]->used, -1);
  EXPECT_EQ(l.Entries()[2]->used, -1);
  EXPECT_TRUE(*l.Entries()[3] == (OVOSoftwareLicenses::_LicenseEntry{"K", "3.0", 1, 0, 0}));
}

TEST(SoftwareLicenses, TextForms) {
  OVOSoftwareLicenses l;
  l.Insert("A&B", "1.*", 3, -1, 2);
  EXPECT_EQ(l.Pack(),
            "<SoftwareLicenses><LicenseEntry><License>A&amp;B</License><Filter>1.*</Filter><Count>3</Count>"
            "<Offline>-1</Offline><Used>2</Used></LicenseEntry></SoftwareLicenses>");
  OVOSoftwareLicenses back("<SoftwareLicenses><licenseentry><USED>4</USED><Count>x</Count></licenseentry><Other/>"
                           "<LicenseEntry/></SoftwareLicenses>");
  ASSERT_EQ(back.Entries().size(), 2u);
  EXPECT_TRUE(*back.Entries()[0] == (OVOSoftwareLicenses::_LicenseEntry{"", "", 0, 0, 4}));
  EXPECT_EQ(back.Unpack("<Licenses/>"), 0);
  EXPECT_TRUE(back.IsEmpty());

  _OVOLicenseActions a("<LicenseActions><ActionEntry><Type>2</Type></ActionEntry><ActionEntry><Limit>-4</Limit>"
                       "<ContinueInstallation>0</ContinueInstallation></ActionEntry></LicenseActions>");
  EXPECT_EQ(a.Pack(),
            "<LicenseActions><ActionEntry><Limit>0</Limit><Type>2</Type><ContinueInstallation>1</ContinueInstallation>"
            "</ActionEntry><ActionEntry><Limit>-4</Limit><Type>-1</Type><ContinueInstallation>0"
            "</ContinueInstallation></ActionEntry></LicenseActions>");

  OVOReservedLicense r;
  EXPECT_EQ(r.Pack(),
            "<ReservedLicense><GUIDMachine></GUIDMachine><GUIDSoftware></GUIDSoftware><MachineDisplayName>"
            "</MachineDisplayName><SWVendor></SWVendor><SWName></SWName><SWVersion></SWVersion><Reservation>0"
            "</Reservation><LicenseKey></LicenseKey><RemainingLicenses>0</RemainingLicenses><Action>4294967295"
            "</Action><ContinueInstall>1</ContinueInstall></ReservedLicense>");
  r.SetSWVersion("1.5", "x64");
  EXPECT_EQ(r.GetSWVersion(), "1.5/x64");
  r.SetSWVersion("1.5", "");
  EXPECT_EQ(r.GetSWVersion(), "1.5");
  const String full =
      "<ReservedLicense><GUIDMachine>m</GUIDMachine><GUIDSoftware>s</GUIDSoftware><MachineDisplayName>PC"
      "</MachineDisplayName><SWVendor>v</SWVendor><SWName>n</SWName><SWVersion>1.5/x64</SWVersion><Reservation>"
      "-5000000000</Reservation><LicenseKey>K</LicenseKey><RemainingLicenses>4294967294</RemainingLicenses><Action>7"
      "</Action><ContinueInstall>0</ContinueInstall><LicenseFilter>1.*</LicenseFilter></ReservedLicense>";
  ASSERT_EQ(r.Unpack(full), 1);
  EXPECT_TRUE(r.GetRemainingLicenses() == -2 && r.GetAction() == 7 && !r.GetContinueInstall());
  EXPECT_EQ(r.Pack(), full);
  // Clearing empties the texts only.
  EXPECT_EQ(r.Unpack("<ReservedLicense/>"), 1);
  EXPECT_TRUE(r.GetLicenseKey().empty() && r.GetReservation() == -5000000000 && r.GetRemainingLicenses() == -2);
  EXPECT_EQ(r.Unpack("garbage <"), 0);
}

TEST(SoftwareFiles, UniqueInsertAndTextForm) {
  OVOSoftwareFiles f;
  const auto t0 = OVOSoftwareFiles::EFileSourceType{}, t2 = static_cast<OVOSoftwareFiles::EFileSourceType>(2);
  f.InsertFileEntry("Setup.exe", t0);
  f.InsertFileEntry("SETUP.EXE", t0);
  f.InsertFileEntry("setup.exe", t2);
  OVOSoftwareFiles other;
  other.InsertFileEntry("setup.EXE", t2);
  other.InsertFileEntry("data.cab", t0);
  f.Append(other);
  f.Append(f);
  EXPECT_TRUE(f.HasFileEntry("DATA.cab", t0) && !f.HasFileEntry("data.cab", t2));
  const String packed =
      "<SoftwareFiles><SoftwareFilesFileEntry><FileSource>Setup.exe</FileSource><FileSourceType>0</FileSourceType>"
      "</SoftwareFilesFileEntry><SoftwareFilesFileEntry><FileSource>setup.exe</FileSource><FileSourceType>2"
      "</FileSourceType></SoftwareFilesFileEntry><SoftwareFilesFileEntry><FileSource>data.cab</FileSource>"
      "<FileSourceType>0</FileSourceType></SoftwareFilesFileEntry></SoftwareFiles>";
  EXPECT_EQ(f.Pack(), packed);
  EXPECT_EQ(f.FileEntries().size(), 3u);
  OVOSoftwareFiles back(packed + "");
  EXPECT_TRUE(back == f);
  back.Unpack("<SoftwareFiles><softwarefilesfileentry><FILESOURCE>x</FILESOURCE></softwarefilesfileentry><Other/>"
              "</SoftwareFiles>");
  ASSERT_EQ(back.FileEntries().size(), 1u);
  EXPECT_TRUE(back.HasFileEntry("X", t0));
  back.DeleteListFileEntries();
  EXPECT_TRUE(back.IsEmpty() && !back.HasFileEntry("x", t0));
}

TEST(NestedObjects, KeepUnknownChildren) {
  const String text =
      "<ManagedSoftwareData><Product id=\"7\"><Name>P &amp; Q</Name></Product><eulaurl>u</eulaurl>"
      "<EULAAcceptedDate>d</EULAAcceptedDate><Extra/></ManagedSoftwareData>";
  orvacmn::OVOManagedSoftwareProperties m(text);
  EXPECT_TRUE(m.GetEULAURL() == "u" && m.GetEULAAcceptedDate() == "d" && m.GetChildElements().size() == 2u);
  const String packed = m.Pack();
  EXPECT_EQ(packed.rfind("<ManagedSoftwareData><EULAURL>u</EULAURL><EULAReleaseDate></EULAReleaseDate>", 0), 0u);
  EXPECT_EQ(orvacmn::OVOManagedSoftwareProperties(packed).Pack(), packed);
  orvacmn::OVOInstallEngine e("<InstallEngine><A>1</A>text<B/></InstallEngine>");
  ASSERT_EQ(e.GetChildElements().size(), 2u);
  EXPECT_EQ(orvacmn::OVOInstallEngine(e.Pack()), e);
  EXPECT_EQ(e.Unpack("<Engine/>"), 0);
  EXPECT_EQ(e.Pack(), "<InstallEngine></InstallEngine>");
}

}  // namespace
