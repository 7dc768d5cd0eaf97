// The choice of the distribution point, key files and the files an
// application needs.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/scratch.h"
#include "orvacmn/distribution/dip_locator.h"
#include "orvacmn/software/application.h"
#include "orvacmn/variables/ovk_vars.h"

namespace {

namespace fs = std::filesystem;
using orvacmn::CDIPLocator;
using orvacmn::COVKVars;
using orvacmn::OVOSoftwareApplication;
using Kind = CDIPLocator::EKeyfileType;

// Two shares and a CD-ROM drive in temporary folders; the shares hold
// different files.
class LocatorTest : public ::testing::Test {
 protected:
  LocatorTest() {
    for (const char* f : {"one/Apps/Tool/setup.exe", "two/Apps/Other/setup.exe", "two/Apps/Tool/setup.exe",
                          "cd1/Disk1/setup.exe", "cd2/Disk2/setup.exe", "drive/Apps/Local/setup.exe"})
      orvacmn::testing::WriteFile(root_ / f, "x");
    map_ = std::make_shared<OFL::PathMap>();
    Map("\\\\one\\kits", "one");
    Map("\\\\two\\kits", "two");
    Map("L:", "drive");
    Map("CDROM", "cd1");
    Map("CDROM", "cd2");
  }
  void Map(const std::string& from, const std::string& to) {
    ASSERT_TRUE(map_->AddMapping(from, (root_ / to).string()));
  }
  CDIPLocator Locator(const std::string& dips) {
    CDIPLocator locator(dips);
    locator.SetPathMap(map_);
    return locator;
  }

  const orvacmn::testing::ScratchDir scratch_;
  const fs::path root_ = scratch_.path();
  std::shared_ptr<OFL::PathMap> map_;
};

TEST_F(LocatorTest, ChoosesTheEntryThatHoldsThePath) {
  EXPECT_EQ(Locator("").GetDIP("{DIP}\\x", 0, nullptr), "");
  EXPECT_EQ(Locator("").GetDIP("", 0, nullptr), "");
  EXPECT_EQ(Locator("\\\\one\\kits;\\\\two\\kits").GetDIP("", 0, nullptr), "\\\\one\\kits");
  const CDIPLocator two = Locator("\\\\one\\kits;\\\\two\\kits");
  EXPECT_EQ(two.GetDIP("{DIP}\\Apps\\Tool\\setup.exe", 0, nullptr), "\\\\one\\kits");
  EXPECT_EQ(two.GetDIP(" \"{KitsServer}\\Apps\\Other\\setup.exe /S\" ", 0, nullptr), "\\\\two\\kits");
  EXPECT_EQ(two.GetDIP("$(depot)\\apps\\OTHER", 0, nullptr), "\\\\two\\kits");
  // Found nowhere: the first entry.
  EXPECT_EQ(two.GetDIP("{DIP}\\Apps\\Missing\\setup.exe", 0, nullptr), "\\\\one\\kits");
  // An unmapped share does not exist; a mapped one after it does.
  EXPECT_EQ(Locator("\\\\nobody\\kits;\\\\two\\kits").GetDIP("{DIP}\\Apps\\Tool", 0, nullptr), "\\\\two\\kits");
}

TEST_F(LocatorTest, OneEntryNeedsNoProbe) {
  struct Counting : OFLNetworkShareAuthenticator {
    bool AuthenticateOnDemandByConnecting(const std::string& path) override {
      paths.push_back(path);
      return path.find("two") != std::string::npos;
    }
    std::vector<std::string> paths;
  } auth;
  EXPECT_EQ(Locator("\\\\nobody\\kits").GetDIP("{DIP}\\x", 0, nullptr), "\\\\nobody\\kits");
  EXPECT_EQ(Locator("\\\\one\\kits").GetDIP("{DIP}\\Apps\\Tool", 0, &auth), "\\\\one\\kits");
  ASSERT_EQ(auth.paths.size(), 1u);
  EXPECT_EQ(auth.paths[0], "\\\\one\\kits\\Apps\\Tool");
  // A failed authentication counts as a file that is not there.
  auth.paths.clear();
  EXPECT_EQ(Locator("\\\\one\\kits;\\\\two\\kits").GetDIP("{DIP}\\Apps\\Tool", 0, &auth), "\\\\two\\kits");
  EXPECT_EQ(auth.paths.size(), 2u);
}

TEST_F(LocatorTest, LocalDrivesAndCdroms) {
  // Without withCdrom a drive entry is skipped, and stays the fallback.
  EXPECT_EQ(Locator("L:;\\\\one\\kits").GetDIP("{DIP}\\Apps\\Tool\\setup.exe", 0, nullptr), "\\\\one\\kits");
  EXPECT_EQ(Locator("L:;\\\\one\\kits").GetDIP("{DIP}\\Apps\\Local\\setup.exe", 0, nullptr), "L:");
  EXPECT_EQ(Locator("L:;\\\\one\\kits").GetDIP("{DIP}\\Apps\\Local\\setup.exe", 1, nullptr), "L:");
  // ... even where it holds the path: the first entry stays the choice.
  EXPECT_EQ(Locator("\\\\one\\kits;L:").GetDIP("{DIP}\\Apps\\Local\\setup.exe", 0, nullptr), "\\\\one\\kits");
  EXPECT_EQ(Locator("\\\\one\\kits;L:").GetDIP("{DIP}\\Apps\\Local\\setup.exe", 1, nullptr), "L:");
  // A CDROM entry becomes one entry per drive, in drive order.
  const CDIPLocator cd = Locator("{CDROM}\\;\\\\one\\kits");
  EXPECT_EQ(map_->GetCdromDrives(), (std::vector<std::string>{"D:", "E:"}));
  EXPECT_EQ(cd.GetDIP("{DIP}Disk2\\setup.exe", 1, nullptr), "E:\\");
  EXPECT_EQ(cd.GetDIP("{DIP}Disk1\\setup.exe", 1, nullptr), "D:\\");
  EXPECT_EQ(cd.GetDIP("{DIP}None\\setup.exe", 1, nullptr), "D:\\");
  // Without withCdrom (or without drives) the CDROM entries go.
  EXPECT_EQ(cd.GetDIP("{DIP}Disk1\\setup.exe", 0, nullptr), "\\\\one\\kits");
  CDIPLocator noDrives("$(CDROM)\\kits;{CDROM}");
  noDrives.SetPathMap(std::make_shared<OFL::PathMap>());
  EXPECT_EQ(noDrives.GetDIP("{DIP}\\x", 1, nullptr), "");
}

TEST_F(LocatorTest, FirstEntries) {
  const CDIPLocator l = Locator("c:\\kits;D:\\kits;\\\\two\\kits;\\\\one\\kits;e:\\x");
  EXPECT_EQ(l.GetFirstDIP(""), "c:\\kits");
  EXPECT_EQ(l.GetFirstDIP("cd"), "\\\\two\\kits");
  EXPECT_EQ(l.GetFirstDIP("cd\\"), "e:\\x");
  EXPECT_EQ(Locator("c:\\a;d:\\b").GetFirstDIP("CD"), "");
  EXPECT_EQ(l.GetFirstUncDip(false), "\\\\two\\kits");
  EXPECT_EQ(Locator("\\\\nobody\\kits;\\\\one\\kits").GetFirstUncDip(true), "\\\\one\\kits");
  EXPECT_EQ(Locator("\\\\nobody\\kits").GetFirstUncDip(true), "");
  EXPECT_EQ(Locator("c:\\kits").GetFirstUncDip(false), "");
}

TEST(Locator, BitsEntries) {
  CDIPLocator l("OVBT:https://dip/kits;\\\\srv\\kits;ovbt:http://x");
  EXPECT_TRUE(l.HasBITSDips());
  EXPECT_FALSE(l.HasJustBITSDips());
  EXPECT_EQ(l.RemoveAllBitsDips(), "\\\\srv\\kits");
  EXPECT_EQ(l.GetDIPs(), "OVBT:https://dip/kits;\\\\srv\\kits;ovbt:http://x");
  EXPECT_TRUE(CDIPLocator::HasJustBITSDips(""));
  EXPECT_TRUE(CDIPLocator::HasJustBITSDips("ovbt:a;Ovbt:b"));
  EXPECT_FALSE(CDIPLocator("\\\\srv\\kits").HasBITSDips());
  EXPECT_FALSE(CDIPLocator::IsBITSDip("ovbt"));
  EXPECT_EQ(CDIPLocator::ResolveBitsDip("ovBT:http://x"), "http://x");
  EXPECT_EQ(CDIPLocator::ResolveBitsDip("\\\\srv"), "\\\\srv");
  l.SetBITSDip("ovbt:b");
  EXPECT_EQ(l.GetBITSDip(), "ovbt:b");
}

TEST(Locator, KeyFileTexts) {
  EXPECT_EQ(CDIPLocator::ParseFilenameForKeyfile(" \"{DIP}\\App\\setup.exe\" "), "{DIP}\\App\\setup.exe");
  EXPECT_EQ(CDIPLocator::ParseFilenameForKeyfile("$(KitsServer)\\a.msi"), "$(KitsServer)\\a.msi");
  EXPECT_EQ(CDIPLocator::ParseFilenameForKeyfile("C:\\{DIP}\\a.msi"), "");
  EXPECT_EQ(CDIPLocator::ParseFilenameForKeyfile(""), "");
  EXPECT_EQ(CDIPLocator::ParseCommandLineForKeyfile("/i \"{DIP}\\My App\\a.msi\" /qn"), "{DIP}\\My App\\a.msi");
  EXPECT_EQ(CDIPLocator::ParseCommandLineForKeyfile("/qn TRANSFORMS={Depot}\\t.mst"), "{Depot}\\t.mst");
  EXPECT_EQ(CDIPLocator::ParseCommandLineForKeyfile("/qn C:\\local.msi"), "");
  EXPECT_EQ(CDIPLocator::GetKeyFilePath("{DIP}\\My App\\setup.exe", true), "\"{DIP}\\My App\"");
  EXPECT_EQ(CDIPLocator::GetKeyFilePath("{DIP}\\My App\\setup.exe", false), "{DIP}\\My App");
  EXPECT_EQ(CDIPLocator::GetKeyFilePath("{DIP}\\App\\setup.exe", true), "{DIP}\\App");
}

TEST(Locator, KeyFileKinds) {
  OVOSoftwareApplication app;
  COVKVars vars;
  vars.AddVar("Sub", "Tool", false, false, orvacmn::CVariableType::Runtime, false);
  Kind kind = CDIPLocator::eKeyfileCommand;
  EXPECT_EQ(CDIPLocator::GetKeyFile(app, true, vars, kind, true), "");
  EXPECT_EQ(kind, CDIPLocator::eKeyfileNone);
  app.GetFiles().InsertFileEntry("C:\\local", orvacmn::OVOSoftwareFiles::EFileSourceType(0));
  app.GetFiles().InsertFileEntry("{DIP}\\Files\\a", orvacmn::OVOSoftwareFiles::EFileSourceType(0));
  EXPECT_EQ(CDIPLocator::GetKeyFile(app, true, vars, kind, true), "{DIP}\\Files\\a");
  EXPECT_EQ(kind, CDIPLocator::eKeyfileFile);
  app.GetFiles().DeleteListFileEntries();
  app.GetFiles().InsertFileEntry("{DIP}\\Files\\b", orvacmn::OVOSoftwareFiles::EFileSourceType(2));
  EXPECT_EQ(CDIPLocator::GetKeyFile(app, true, vars, kind, true), "{DIP}\\Files\\b");
  EXPECT_EQ(kind, CDIPLocator::eKeyfileFileType2);
  EXPECT_EQ(CDIPLocator::GetKeyFile(app, true, vars, kind, false), "");
  app.SetOption(CDIPLocator::kOptionNoKeyfileFromFiles, true);
  EXPECT_EQ(CDIPLocator::GetKeyFile(app, true, vars, kind, true), "");
  app.SetInstallEngineFile("{DIP}\\engine.xml");
  EXPECT_EQ(CDIPLocator::GetKeyFile(app, true, vars, kind, true), "{DIP}\\engine.xml");
  EXPECT_EQ(kind, CDIPLocator::eKeyfileEngineFile);
  app.SetInstallResponseFile("\"{DIP}\\{Sub}\\answers.iss\"");
  EXPECT_EQ(CDIPLocator::GetKeyFile(app, true, vars, kind, true), "{DIP}\\Tool\\answers.iss");
  EXPECT_EQ(kind, CDIPLocator::eKeyfileResponseFile);
  app.SetInstallParams("/s /f1\"C:\\x\" {DIP}\\{Sub}\\setup.ini");
  EXPECT_EQ(CDIPLocator::GetKeyFile(app, true, vars, kind, true), "{DIP}\\Tool\\setup.ini");
  EXPECT_EQ(kind, CDIPLocator::eKeyfileParameters);
  app.SetInstallCommand("{DIP}\\{Sub}\\setup.exe");
  EXPECT_EQ(CDIPLocator::GetKeyFile(app, true, vars, kind, true), "{DIP}\\Tool\\setup.exe");
  EXPECT_EQ(kind, CDIPLocator::eKeyfileCommand);
  // The uninstallation has its own fields.
  EXPECT_EQ(CDIPLocator::GetKeyFile(app, false, vars, kind, false), "");
  app.SetUninstallCommand("msiexec");
  app.SetUninstallParams("/x {DIP}\\u.msi");
  EXPECT_EQ(CDIPLocator::GetKeyFile(app, false, vars, kind, false), "{DIP}\\u.msi");
  EXPECT_EQ(kind, CDIPLocator::eKeyfileParameters);
}

TEST(Locator, AutoDetermineFiles) {
  OVOSoftwareApplication app;
  app.GetFiles().InsertFileEntry("stale", orvacmn::OVOSoftwareFiles::EFileSourceType(5));
  app.GetVars().SetVar("Software", "Folder", "Tools", orvacmn::OVOCustomVarDef::ECustomVarType(0));
  app.SetInstallEngineFile("{DIP}\\engines\\install.xml");
  app.SetUninstallEngineFile("{OVSPath}\\remove\\uninstall.xml");
  app.SetInstallCommand("{DIP}\\apps\\tool\\setup.exe");
  app.SetUninstallCommand("C:\\local\\remove.exe");
  app.AutoDetermineFiles();
  const auto files = app.GetFiles().FileEntries();
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].GetFileSource(), "{DIP}\\apps\\tool");
  EXPECT_EQ(files[0].GetFileSourceType(), 0);
  EXPECT_EQ(files[1].GetFileSource(), "{DIP}\\engines\\install.xml");
  EXPECT_EQ(files[1].GetFileSourceType(), 2);
  EXPECT_EQ(files[2].GetFileSource(), "{OVSPath}\\remove\\uninstall.xml");
  // A key file that is the engine file adds no folder; paths off the
  // distribution point and the server are dropped.
  OVOSoftwareApplication engineOnly;
  engineOnly.SetInstallEngineFile("{DIP}\\e\\e.xml");
  engineOnly.SetUninstallEngineFile("C:\\x.xml");
  engineOnly.AutoDetermineFiles();
  ASSERT_EQ(engineOnly.GetFiles().FileEntries().size(), 1u);
  EXPECT_EQ(engineOnly.GetFiles().FileEntries()[0].GetFileSource(), "{DIP}\\e\\e.xml");
}

}  // namespace
