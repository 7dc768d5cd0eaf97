// Deploy packages: reading the file, each step kind on this machine, the
// result lines, and what a package may not reach.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/scratch.h"
#include "ofl/registry.h"
#include "orvacmn/distribution/package.h"
#include "orvacmn/distribution/package_actions.h"

namespace {

namespace fs = std::filesystem;
using orvacmn::CPackage;
using orvacmn::IPackagePlatform;

using orvacmn::testing::ReadFile;

class PackageTest : public ::testing::Test {
 protected:
  PackageTest() {
    Write("dip/app/bin/tool.txt", "tool");
    Write("dip/app/doc/Read Me.txt", "readme");
    Write("dip/app/doc/notes.md", "notes");
    Write("other/secret.txt", "secret");
    fs::create_directories(root_ / "target");
    map_ = std::make_shared<OFL::PathMap>();
    EXPECT_TRUE(map_->AddMapping("\\\\srv\\kits", (root_ / "dip").string()));
    EXPECT_TRUE(map_->AddMapping("T:", (root_ / "target").string()));
  }
  void Write(const std::string& rel, const std::string& text) { orvacmn::testing::WriteFile(root_ / rel, text); }
  // A package file in the share; its path as a local path.
  std::string Package(const std::string& text) {
    Write("dip/pkg/package.ini", text);
    return (root_ / "dip/pkg/package.ini").string();
  }
  void Prepare(CPackage& p) {
    p.SetPathMap(map_);
    p.SetRegistryFolder((root_ / "registry").string());
    p.SetShortcutFolders({(root_ / "desk").string(), (root_ / "menu").string(), (root_ / "prog").string(),
                          (root_ / "start").string()});
    p.SetDIPs("\\\\srv\\kits");
  }
  // Runs the package text; the result lines after "Reading package".
  std::vector<std::string> Run(const std::string& text, uint32_t* code = nullptr, bool dryRun = false) {
    CPackage p(Package(text));
    Prepare(p);
    p.SetDryRun(dryRun);
    const uint32_t result = p.InstallPackage(1);
    if (code) *code = result;
    std::vector<std::string> lines = p.GetResults().Items();
    EXPECT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("Reading package ", 0), 0u);
    lines.erase(lines.begin());
    return lines;
  }
  static std::vector<std::string> Failed(const std::vector<std::string>& head, const std::string& error,
                                         const std::string& step) {
    std::vector<std::string> lines = head;
    lines.push_back("Error processing package: " + error);
    lines.push_back("Step: " + step);
    return lines;
  }

  const orvacmn::testing::ScratchDir scratch_;
  const fs::path root_ = scratch_.path();
  std::shared_ptr<OFL::PathMap> map_;
};

TEST(PackageLines, AnalyzeLine) {
  const struct {
    const char* line;
    char sep;
    const char* key;
    const char* value;
  } cases[] = {
      {" Key = Value ", '=', "Key", "Value"},
      {"\"Quoted Key\"=\"a=b\"", '=', "Quoted Key", "a=b"},
      {"k=x=y", '=', "k", "x=y"},
      {"k=\"\"", '=', "k", "\"\""},
      {"k=\"a\"", '=', "k", "a"},
      {"lonely", '=', "lonely", ""},
      {"=v", '=', "", "v"},
      {"Name, a,b ", ',', "Name", "a,b"},
      {"k=\"open", '=', "k", "\"open"},
  };
  for (const auto& c : cases) {
    std::string key = "stale", value = "stale";
    CPackage::AnalyzeLine(c.line, key, value, c.sep);
    EXPECT_EQ(key, c.key) << c.line;
    EXPECT_EQ(value, c.value) << c.line;
  }
  EXPECT_EQ(CPackage("\\\\srv\\kits\\pkg\\a.ini").GetPackagePath(), "\\\\srv\\kits\\pkg");
  EXPECT_EQ(CPackage("a.ini").GetPackagePath(), "");
}

TEST_F(PackageTest, ReadsStepsInFileOrder) {
  CPackage p(Package("[Install]\nDescription=Demo 1.0\nCopyFiles = First , Second\nUnknownStep=First\n"
                     "execute=Run\n[First]\nDescription=copy {Name}\nSource=a\n[Second]\nSource=b\n[Run]\n"
                     "Program=true\n"));
  Prepare(p);
  p.GetSubstitutionVars().AddVar("Name", "one", false, false, orvacmn::CVariableType::Runtime, false);
  p.SetDryRun(true);
  EXPECT_EQ(p.InstallPackage(1), 0u);
  EXPECT_EQ(p.GetDescription(), "Demo 1.0");
  ASSERT_EQ(p.GetActions().GetCount(), 3);
  std::vector<std::string> kinds, descriptions;
  for (const auto* a : p.GetActions()) {
    kinds.push_back(a->GetKeyword());
    descriptions.push_back(a->GetDescription());
  }
  EXPECT_EQ(kinds, (std::vector<std::string>{"CopyFiles", "CopyFiles", "Execute"}));
  EXPECT_EQ(descriptions, (std::vector<std::string>{"copy one", "", ""}));
  EXPECT_EQ(p.GetResults().Items(),
            (std::vector<std::string>{"Reading package " + (root_ / "dip/pkg/package.ini").string(),
                                      "Dry run: CopyFiles: Description=copy one; Source=a",
                                      "Dry run: CopyFiles: Source=b", "Dry run: Execute: Program=true"}));
  EXPECT_EQ(p.GetInteractiveExecution(), 0);
}

// A package file that is missing, or a folder, has no steps.
TEST_F(PackageTest, NoFileNoSteps) {
  for (const fs::path& path : {root_ / "missing.ini", root_}) {
    CPackage p(path.string());
    Prepare(p);
    EXPECT_EQ(p.InstallPackage(1), 0u) << path;
    EXPECT_EQ(p.GetActions().GetCount(), 0) << path;
    EXPECT_EQ(p.GetResults().Items(), std::vector<std::string>{"Reading package " + path.string()});
  }
}

TEST_F(PackageTest, SectionsNamedAgainAreTheSameStep) {
  CPackage p(Package("[Install]\nCopyFiles=A,b,a\nExecute=A\nCopyFiles=Install\n[a]\nSource=x\n[B]\nSource=y\n"));
  Prepare(p);
  p.SetDryRun(true);
  EXPECT_EQ(p.InstallPackage(1), 0u);
  std::vector<const CPackage::CPackageAction*> steps(p.GetActions().begin(), p.GetActions().end());
  ASSERT_EQ(steps.size(), 5u);
  EXPECT_EQ(steps[0], steps[2]);
  EXPECT_NE(steps[0], steps[1]);
  EXPECT_NE(steps[0], steps[3]);  // another keyword, another step
  EXPECT_EQ(std::string(steps[3]->GetKeyword()), "Execute");
  const auto& lines = p.GetResults().Items();
  EXPECT_EQ(lines[1], lines[3]);
  EXPECT_EQ(lines[5], "Dry run: CopyFiles: CopyFiles=A,b,a; Execute=A; CopyFiles=Install");
}

TEST_F(PackageTest, PackageFileOnTheDistributionPoint) {
  Package("[Install]\nDescription=on the share\n");
  CPackage p("{DIP}\\pkg\\package.ini");
  Prepare(p);
  p.SetDIPs("\\\\nobody\\kits;\\\\srv\\kits");
  EXPECT_EQ(p.InstallPackage(1), 0u);
  EXPECT_EQ(p.GetResults().Items(), (std::vector<std::string>{"Reading package \\\\srv\\kits\\pkg\\package.ini"}));
  EXPECT_EQ(p.GetDescription(), "on the share");
  // A package file nobody mapped is refused.
  CPackage unmapped("\\\\elsewhere\\kits\\package.ini");
  Prepare(unmapped);
  EXPECT_EQ(unmapped.InstallPackage(1), 53u);
  EXPECT_EQ(unmapped.GetResults().GetAt(1), "[\\\\elsewhere\\kits\\package.ini] lies on no mapped share or drive");
  EXPECT_EQ(unmapped.GetResults().GetAt(2), "Error processing package: The network path was not found.");
}

TEST_F(PackageTest, CopiesFoldersFilesAndPatterns) {
  uint32_t code = 1;
  EXPECT_EQ(Run("[Install]\nCopyFiles=All,One,Pattern\n[All]\nSource={DIP}\\APP\nDestination=T:\\Program\\App\n"
                "[One]\nSource=\\\\srv\\kits\\app\\bin\\TOOL.TXT\nDestination=T:\\single\n"
                "[Pattern]\nSource={DIP}\\app\\doc\\*.TXT\nDestination=T:\\docs\n",
                &code),
            (std::vector<std::string>{
                "Copying files from [\\\\srv\\kits\\APP] to [T:\\Program\\App]...",
                "Copying files from [\\\\srv\\kits\\app\\bin\\TOOL.TXT] to [T:\\single]...",
                "Copying files from [\\\\srv\\kits\\app\\doc\\*.TXT] to [T:\\docs]..."}));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReadFile(root_ / "target/Program/App/bin/tool.txt"), "tool");
  EXPECT_EQ(ReadFile(root_ / "target/Program/App/doc/Read Me.txt"), "readme");
  EXPECT_EQ(ReadFile(root_ / "target/single/tool.txt"), "tool");
  EXPECT_TRUE(fs::exists(root_ / "target/docs/Read Me.txt"));
  EXPECT_FALSE(fs::exists(root_ / "target/docs/notes.md"));
  // Copied again: overwritten, no error.
  EXPECT_EQ(Run("[Install]\nCopyFiles=One\n[One]\nSource={DIP}\\app\\bin\nDestination=T:\\single\n", &code).size(), 1u);
  EXPECT_EQ(code, 0u);
}

TEST_F(PackageTest, NothingEscapesTheMappedFolders) {
  uint32_t code = 0;
  EXPECT_EQ(Run("[Install]\nCopyFiles=Up\n[Up]\nDescription=climb\nSource={DIP}\\..\\other\\secret.txt\n"
                "Destination=T:\\x\n",
                &code),
            Failed({"Copying files from [\\\\srv\\kits\\..\\other\\secret.txt] to [T:\\x]... "
                    "[\\\\srv\\kits\\..\\other\\secret.txt] leads outside its mapped folder"},
                   "Access is denied.", "climb"));
  EXPECT_EQ(code, 5u);
  EXPECT_EQ(Run("[Install]\nCopyFiles=Out\n[Out]\nSource={DIP}\\app\nDestination=T:\\a\\..\\..\\etc\n", &code).back(),
            "Step: ");
  EXPECT_EQ(code, 5u);
  for (const auto& [copy, error] : std::vector<std::pair<std::string, std::string>>{
           {"Source=\\\\other\\share\\x\nDestination=T:\\x", "The network path was not found."},
           {"Source={DIP}\\app\nDestination=Q:\\x", "The system cannot find the drive specified."},
           {"Source=/etc/passwd\nDestination=T:\\x", "The specified path is invalid."},
           {"Source={DIP}\\none\nDestination=T:\\x", "The system cannot find the file specified."},
           {"Source=T:\\\nDestination=T:\\inside", "The parameter is incorrect."}})
    EXPECT_EQ(Run("[Install]\nCopyFiles=C\n[C]\n" + copy + "\n", &code)[1], "Error processing package: " + error);
  // A link in the target may not lead a copy out.
  fs::create_directory_symlink(root_ / "other", root_ / "target/link");
  Run("[Install]\nCopyFiles=Link\n[Link]\nSource={DIP}\\app\\bin\nDestination=T:\\link\n", &code);
  EXPECT_EQ(code, 5u);
  EXPECT_FALSE(fs::exists(root_ / "other/tool.txt"));
  EXPECT_FALSE(fs::exists(root_ / "target/x"));
}

TEST_F(PackageTest, RegistrySteps) {
  uint32_t code = 1;
  EXPECT_EQ(Run("[Install]\nModifyRegistry=Machine,Users\n"
                "[Machine]\nKey=Software\\Demo\nCreateSubKey=App\nCreateSubKey=App\\Settings\n"
                "SetStringValue=Path, C:\\Demo, with comma\nSetStringValue=, ignored\nSetDWordValue=Count,42\n"
                "[Users]\nRoot=hku\nKey=S-1-5-21\\Software\nCreateSubKey=Demo\n",
                &code),
            (std::vector<std::string>{"Modifying registry key [Software\\Demo]",
                                      "Modifying registry key [S-1-5-21\\Software]"}));
  EXPECT_EQ(code, 0u);
  OFLRegistry registry((root_ / "registry").string());
  OFLRegistry::Hive hklm, hku;
  ASSERT_EQ(registry.Read(OFLRegistry::kHKLM, hklm), 0u);
  ASSERT_EQ(registry.Read(OFLRegistry::kHKU, hku), 0u);
  EXPECT_EQ(hklm.GetValue("Software\\Demo", "Path")->text, "C:\\Demo, with comma");
  EXPECT_EQ(hklm.GetValue("Software\\Demo", "Count")->dword, 42u);
  EXPECT_EQ(hklm.GetValues("Software\\Demo").size(), 2u);
  EXPECT_TRUE(hklm.HasKey("software\\demo\\app\\settings"));
  EXPECT_TRUE(hku.HasKey("S-1-5-21\\Software\\Demo"));
  EXPECT_FALSE(hklm.HasKey("S-1-5-21"));
  // A key that does not exist cannot be opened for its values.
  EXPECT_EQ(
      Run("[Install]\nModifyRegistry=R\n[R]\nDescription=values\nKey=Software\\None\nSetDWordValue=a,1\n", &code),
      Failed({"Modifying registry key [Software\\None]"}, "The system cannot find the file specified.", "values"));
  // A root outside the five fails the read, before any step runs.
  EXPECT_EQ(Run("[Install]\nCopyFiles=C\nModifyRegistry=Bad\n[C]\nSource={DIP}\\app\nDestination=T:\\never\n"
                "[Bad]\nDescription=bad root\nRoot=HKEY_LOCAL_MACHINE\nKey=x\n",
                &code),
            Failed({}, "Unknown error 0xFFFFFFFF", "bad root"));
  EXPECT_EQ(code, 0xFFFFFFFFu);
  EXPECT_FALSE(fs::exists(root_ / "target/never"));
}

TEST_F(PackageTest, ProgramsRunWithoutAShell) {
  uint32_t code = 1;
  const std::string marker = (root_ / "target/marker").string();
  EXPECT_EQ(Run("[Install]\nExecute=Ok,Three,Shell\n[Ok]\nProgram=true\n[Three]\nProgram=sh -c \"exit 3\"\nComment=3\n"
                "[Shell]\nProgram=cmd.exe /c echo shell > " + marker + "\n",
                &code),
            (std::vector<std::string>{"Executing program true...", "Executing program sh -c \"exit 3\"...",
                                      "Executing program cmd.exe /c echo shell > " + marker + "..."}));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReadFile(marker), "shell\n");
  // Without a shell, ">" is an argument like any other.
  fs::remove(marker);
  Run("[Install]\nExecute=Echo\n[Echo]\nProgram=echo x >" + marker + "\n", &code);
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(fs::exists(marker));
  EXPECT_EQ(Run("[Install]\nExecute=Bad\n[Bad]\nDescription=fails\nProgram=false\n", &code),
            Failed({"Executing program false... exit code 1, expected 0"}, "Unknown error 0xFFFFFFFF", "fails"));
  EXPECT_EQ(code, 0xFFFFFFFFu);
  // Not waited for, the exit code counts as -1.
  EXPECT_EQ(Run("[Install]\nExecute=Bg\n[Bg]\nProgram=true\nWait=0\n", &code)[0],
            "Executing program true... exit code -1, expected 0");
  Run("[Install]\nExecute=Bg\n[Bg]\nProgram=true\nWait=0\nComment=-1\n", &code);
  EXPECT_EQ(code, 0u);
  // A process a signal ended reports 128 and the signal's number.
  Run("[Install]\nExecute=Killed\n[Killed]\nProgram=sh -c \"kill -9 $$\"\nComment=137\n", &code);
  EXPECT_EQ(code, 0u);
  // A program on the distribution point runs from its mapped folder, and a
  // mapped path among its arguments is passed as the local path.
  Write("dip/app/run.sh", "#!/bin/sh\necho \"$1\" > \"$2\"\n");
  fs::permissions(root_ / "dip/app/run.sh", fs::perms::owner_all);
  Run("[Install]\nExecute=Dip\n[Dip]\nProgram={DIP}\\app\\run.sh hello T:\\out.txt\n", &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReadFile(root_ / "target/out.txt"), "hello\n");
  for (const auto& [program, error] : std::vector<std::pair<std::string, std::string>>{
           {"no-such-program-here", "The system cannot find the file specified."},
           {"/bin/true", "The specified path is invalid."},
           {"{DIP}\\..\\run.sh", "Access is denied."}})
    EXPECT_EQ(Run("[Install]\nExecute=P\n[P]\nProgram=" + program + "\n", &code)[1],
              "Error processing package: " + error);
}

TEST_F(PackageTest, ShortcutsAreDesktopEntries) {
  uint32_t code = 1;
  EXPECT_EQ(Run("[Install]\nCreateShortcuts=Desk,Menu,Start,Bad,Name\n"
                "[Desk]\nLocation=desk\nName=Demo Tool\nFilename=T:\\Program\\tool.sh\n"
                "Arguments=--open \"a b\" T:\\data 100%\nDescription=The demo\nWorkingDir=T:\\Program\n"
                "[Menu]\nLocation=PROG\nName=Tool\nRelPath=Vendor\\Demo\nFilename=xdg-open\n"
                "[Start]\nLocation=START\nName=Auto\nRelPath=Ignored\nFilename=true\n"
                "[Bad]\nLocation=QUICK\nName=x\n",
                &code),
            Failed({"Creating shortcut Demo Tool...", "Creating shortcut Tool...", "Creating shortcut Auto...",
                    "Creating shortcut x... unknown location [QUICK]"},
                   "The parameter is incorrect.", ""));
  const std::string target = (root_ / "target").string();
  EXPECT_EQ(ReadFile(root_ / "desk/Demo Tool.desktop"),
            "[Desktop Entry]\nType=Application\nVersion=1.0\nName=Demo Tool\nComment=The demo\nExec=" + target +
                "/Program/tool.sh --open \"a b\" " + target + "/data 100%%\nPath=" + target +
                "/Program\nTerminal=false\n");
  EXPECT_TRUE(fs::exists(root_ / "prog/Vendor/Demo/Tool.desktop"));
  EXPECT_TRUE(fs::exists(root_ / "start/Auto.desktop"));
  EXPECT_EQ(Run("[Install]\nCreateShortcuts=Name\n[Name]\nLocation=DESK\nName=..\\evil\n", &code)[0],
            "Creating shortcut ..\\evil... [..\\evil] is no file name");
  EXPECT_EQ(Run("[Install]\nCreateShortcuts=Rel\n[Rel]\nLocation=MENU\nName=n\nRelPath=a\\..\\..\\x\n", &code)[0],
            "Creating shortcut n... [a\\..\\..\\x] is no folder below the location");
  EXPECT_EQ(code, 123u);
}

TEST_F(PackageTest, PlatformStepsAreRefusedHereAndGoToAPluggedPlatform) {
  uint32_t code = 0;
  EXPECT_EQ(Run("[Install]\nCreateUsers=U\n[U]\nDescription=user\nName=bob\n", &code),
            Failed({"Creating user bob... not supported on this platform"}, "The request is not supported.", "user"));
  EXPECT_EQ(code, 50u);
  for (const char* step : {"LocalGroup=G\n[G]\nName=g\n", "GlobalGroup=G\n[G]\nName=g\n",
                           "CreateShares=S\n[S]\nName=s\n", "SetDisplayMode=D\n[D]\nXResolution=800\n"}) {
    Run(std::string("[Install]\n") + step, &code);
    EXPECT_EQ(code, 50u) << step;
  }

  struct Recorder : IPackagePlatform {
    uint32_t CreateUser(const User& u, std::string&) override {
      user = u;
      return 0;
    }
    uint32_t CreateGroup(const Group& g, std::string& detail) override {
      groups.push_back(g);
      detail = "(recorded)";
      return 0;
    }
    uint32_t CreateShare(const Share& s, std::string&) override {
      share = s;
      return 0;
    }
    uint32_t SetDisplayMode(const DisplayMode& m, std::string&) override {
      mode = m;
      return 0;
    }
    User user;
    std::vector<Group> groups;
    Share share;
    DisplayMode mode;
  };
  auto recorder = std::make_shared<Recorder>();
  CPackage p(Package("[Install]\nCreateUsers=U\nLocalGroup=L\nGlobalGroup=G\nCreateShares=S\nSetDisplayMode=D\n"
                     "[U]\nTarget=PC1\nName=bob\nFullName=Bob B\nPassword={Pw}\nFlags=66049\nPasswordNeverExpires=1\n"
                     "LogonHoursMo=000000001111111111000000\nLogonHoursSa=1\n"
                     "[L]\nName=Admins\nComment=c\nAddMembers=bob,alice\n[G]\nName=Domain Users\n"
                     "[S]\nName=Share\nPath=T:\\data\nMaxUses=5\n"
                     "[D]\nXResolution=1920\nYResolution=1080\nColorDepth=32\nFrequency=60\n"));
  Prepare(p);
  p.SetPlatform(recorder);
  p.GetSubstitutionVars().AddVar("Pw", "s3cret", false, false, orvacmn::CVariableType::Runtime, true);
  EXPECT_EQ(p.InstallPackage(1), 0u);
  EXPECT_EQ(recorder->user.password, "s3cret");
  EXPECT_EQ(recorder->user.flags, 66049u);
  EXPECT_TRUE(recorder->user.passwordNeverExpires && !recorder->user.cannotChangePassword);
  const std::string all(24, '1');
  EXPECT_EQ(recorder->user.logonHours,
            all + "000000001111111111000000" + all + all + all + all + std::string(23, ' ') + "1");
  ASSERT_EQ(recorder->groups.size(), 2u);
  EXPECT_TRUE(!recorder->groups[0].global && recorder->groups[1].global);
  EXPECT_EQ(recorder->groups[0].members, "bob,alice");
  EXPECT_EQ(recorder->share.maxUses, 5u);
  EXPECT_EQ(recorder->mode.frequency, 60u);
  EXPECT_EQ(p.GetResults().GetAt(3), "Creating global group Domain Users... (recorded)");
  EXPECT_EQ(p.GetResults().GetAt(5), "Setting display mode...");
}

TEST_F(PackageTest, InteractiveRunsShowTheirProgress) {
  struct Recorder : orvacmn::IPackageProgress {
    void Open(const std::string& title, const std::string& line, int steps) override {
      events.push_back(title + "|" + line + "|" + std::to_string(steps));
    }
    void Step(const std::string& description) override { events.push_back("step " + description); }
    void Close() override { events.push_back("close"); }
    std::vector<std::string> events;
  } progress;
  CPackage p(Package("[Install]\nDescription=Demo\nExecute=A,B\n[A]\nDescription=first\nProgram=true\n"
                     "[B]\nDescription=second\nProgram=false\n"));
  Prepare(p);
  p.SetProgress(&progress);
  EXPECT_EQ(p.InstallPackage(0), 0xFFFFFFFFu);
  EXPECT_EQ(p.GetInteractiveExecution(), 1);
  EXPECT_EQ(progress.events, (std::vector<std::string>{"Processing orvalis Deploy Package|Package: Demo|2",
                                                       "step first", "step second", "close"}));
  progress.events.clear();
  p.InstallPackage(1);
  EXPECT_TRUE(progress.events.empty());
  EXPECT_EQ(p.GetInteractiveExecution(), 0);
}

TEST_F(PackageTest, DryRunChangesNothing) {
  uint32_t code = 1;
  const auto lines = Run("[Install]\nCopyFiles=C\nModifyRegistry=R\nCreateUsers=U\nExecute=E\n"
                         "[C]\nSource={DIP}\\app\nDestination=T:\\dry\n[R]\nKey=Software\\Dry\nCreateSubKey=x\n"
                         "[U]\nName=bob\nPassword=hidden\n[E]\nProgram={DIP}\\app\\run.sh\n",
                         &code, true);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(lines, (std::vector<std::string>{"Dry run: CopyFiles: Source=\\\\srv\\kits\\app; Destination=T:\\dry",
                                             "Dry run: ModifyRegistry: Key=Software\\Dry; CreateSubKey=x",
                                             "Dry run: CreateUsers: Name=bob; Password=****",
                                             "Dry run: Execute: Program=\\\\srv\\kits\\app\\run.sh"}));
  EXPECT_FALSE(fs::exists(root_ / "target/dry"));
  EXPECT_FALSE(fs::exists(root_ / "registry"));
}

TEST_F(PackageTest, LongSectionsAreCutAndSaySo) {
  std::string install = "[Install]\n";
  for (int i = 0; i < 700; ++i) install += "CopyFiles=Section" + std::to_string(i) + "\n";
  uint32_t code = 1;
  const auto lines = Run(install + "[Section0]\nSource=" + std::string(5000, 'x') + "\n", &code, true);
  EXPECT_EQ(code, 0u);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Section [Install] is longer than 4095 bytes: the lines beyond are left out");
  EXPECT_EQ(lines[1], "Section [Section0] is longer than 4095 bytes: the lines beyond are left out");
  EXPECT_EQ(lines[2], "Dry run: CopyFiles: Source=" + std::string(4086, 'x'));
  EXPECT_LT(lines.size(), 700u);
}

}  // namespace
