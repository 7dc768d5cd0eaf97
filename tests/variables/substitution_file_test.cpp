// Expanding files, and the variables of install.ini.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>
#include <vector>

#include "ofl/tools.h"
#include "orvacmn/variables/ovk_vars.h"

namespace orvacmn {
namespace {

using V = COVKVars;
constexpr auto kRuntime = CVariableType::Runtime;

struct TempDir {
  String path_ = [] { char t[] = "/tmp/ovkvars_test_XXXXXX"; return String(::mkdtemp(t)); }();
  ~TempDir() { std::filesystem::remove_all(path_); }
  String operator/(const String& name) const { return path_ + "/" + name; }
};

void Write(const String& path, const String& content) { std::ofstream(path, std::ios::binary) << content; }
String Read(const String& path) {
  std::ifstream in(path, std::ios::binary);
  return String(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using Names = std::vector<String>;
// "name=value:type", marked "*" when custom.
Names Entries(const COVKVars& vars) {
  Names out;
  for (const auto& e : vars)
    out.push_back((e->Custom ? "*" : "") + e->Name + "=" + e->Value + ":" + std::to_string(e->Type.GetVariableType()));
  return out;
}

TEST(SubstitutionFileTest, ExpandsLineByLineAndGivesWin32CodesForOpenFailures) {
  TempDir dir;
  COVKVars vars;
  vars.AddVar("A", "x", false, false, kRuntime, false);
  vars.AddVar("Self", "{Self}", false, false, kRuntime, false);
  const auto run = [&](const String& src, const String& dst, bool& expression) {
    return vars.PerformSubstitutionsOnFile(src, dst, expression, V::SubstitutionDefault, V::VBScriptNotSupported);
  };
  String many;
  for (int i = 0; i < 600; ++i) many += "{A}";
  const String x600(600, 'x');
  // The expression flag is the OR over the lines; it is reset when no line has one.
  const std::tuple<String, String, bool> cases[] = {
      {"a={A}\r\nb={=1}\n{A\n}\nlast {A}", "a=x\nb=<Expression not supported>\n{A\n}\nlast x\n", true},
      {"{A}\n\n\r\n", "x\n\n\n", false},
      {many + "\n" + many + "\n{Self}\nlone\r", x600 + "\n" + x600 + "\n<Error: variables recursion>\nlone\r\n", false},
      {"", "", false},  // the target is truncated
  };
  Write(dir / "out.txt", "old content");
  for (const auto& [in, out, expression] : cases) {
    Write(dir / "in.txt", in);
    bool found = !expression;
    EXPECT_EQ(run(dir / "in.txt", dir / "out.txt", found), 0u);
    EXPECT_EQ(Read(dir / "out.txt"), out);
    EXPECT_EQ(found, expression) << in;
  }

  ::unlink((dir / "out.txt").c_str());
  Write(dir / "in.txt", "{A}\n");
  ::mkdir((dir / "sub").c_str(), 0755);
  ::symlink((dir / "in.txt").c_str(), (dir / "link.txt").c_str());
  const std::tuple<String, String, uint32_t> failures[] = {
      {dir / "missing.txt", dir / "out.txt", 2}, {dir / "nodir/missing.txt", dir / "out.txt", 3},
      {dir / "in.txt/x", dir / "out.txt", 3},    {"", dir / "out.txt", 3},
      {dir / "sub", dir / "out.txt", 5},         {dir / "in.txt", dir / "nodir/out.txt", 3},
      {dir / "in.txt", dir / "sub", 5},          {dir / "in.txt", "", 3},
      {dir / "in.txt", dir / "in.txt", 32},      {dir / "in.txt", dir / "link.txt", 32},  // its own target
  };
  for (const auto& [src, dst, code] : failures) {
    bool expression = true;
    EXPECT_EQ(run(src, dst, expression), code) << src << " -> " << dst;
    EXPECT_TRUE(expression) << "untouched when nothing was expanded";
  }
  EXPECT_EQ(::access((dir / "out.txt").c_str(), F_OK), -1) << "no target made on a source failure";
  EXPECT_EQ(Read(dir / "in.txt"), "{A}\n");
  Write(dir / "locked.txt", "x");
  ::chmod((dir / "locked.txt").c_str(), 0);
  if (::geteuid() == 0) return;  // root reads it anyway
  EXPECT_EQ(vars.PerformSubstitutionsOnFile(dir / "locked.txt", dir / "out.txt", V::SubstitutionDefault,
                                            V::VBScriptNotSupported),
            5u);
}

TEST(InstallIniTest, ReadsKnownKeysVariableSectionsAndSectionLinesPathExpandedFirst) {
  TempDir dir;
  Write(dir / "install.ini",
        "[Network]\r\nServer = srv01 \r\nDIP=\\\\dip\\kits\r\nDomain=\r\n"
        "[Machine]\nComputerName=PC1\nGroupName=Lab\n"
        "[Software]\nDestinationPath=C:\\Apps\nLicense=ABC-123\n"
        "[Custom]\n; comment\n Room = 12 \nFlag\nA;B=ab\n=novalue\nEq=x=y\n"
        "[OVSVars]\nRoom=13\n");
  COVKVars vars;
  EXPECT_EQ(vars.AddVarsFromInstallIni(dir / "install.ini", CVariableType::System), 0u);
  EXPECT_EQ(Entries(vars), (Names{"Server=srv01:1", "DIP=\\\\dip\\kits:1", "KitsServer=\\\\dip\\kits:1",
                                  "Depot=\\\\dip\\kits:1", "Client=PC1:1", "Machine=PC1:1", "Group=Lab:1",
                                  "InstallTargetPath=C:\\Apps:1", "License=ABC-123:1", "Licence=ABC-123:1",
                                  "*Room=13:1", "*Flag=:1", "*A=ab:1", "*B=ab:1", "*Eq=x=y:1"}));

  // The path is expanded first; a missing file gives 2.
  Write(dir / "agent.ini", "[Machine]\nComputerName=PC2\n");
  COVKVars expanded;
  expanded.AddVar("IniDir", dir.path_, false, false, kRuntime, false);
  EXPECT_EQ(expanded.AddVarsFromInstallIni("{inidir}/agent.ini", kRuntime), 0u);
  EXPECT_EQ(expanded.AddVarsFromInstallIni(dir / "none.ini", kRuntime), 2u);
  EXPECT_EQ(expanded.AddVarsFromInstallIni("{Unknown}/install.ini", kRuntime), 2u);
  EXPECT_EQ(Entries(expanded), (Names{"IniDir=" + dir.path_ + ":0", "Client=PC2:0", "Machine=PC2:0"}));
  expanded.AddVarsFromIniSection(String(" a = 1 \0b\0 c;d = x = y \0=v\0\0ignored\0\0", 37), false, kRuntime);
  expanded.AddVarsFromIniSection(String(), true, kRuntime);
  EXPECT_EQ(Entries(expanded), (Names{"IniDir=" + dir.path_ + ":0", "Client=PC2:0", "Machine=PC2:0", "a=1:0", "b=:0",
                                  "c=x = y:0", "d=x = y:0"}));

  // An empty path means the program's directory.
  const String path = OFLTools::GetModulePath() + "/install.ini";
  ASSERT_NE(::access(path.c_str(), F_OK), 0) << "leftover " << path;
  COVKVars here;
  EXPECT_EQ(here.AddVarsFromInstallIni("", kRuntime), 2u);
  Write(path, "[Network]\nServer=here\n");
  EXPECT_EQ(here.AddVarsFromInstallIni("", kRuntime), 0u);
  ::unlink(path.c_str());
  EXPECT_EQ(Entries(here), (Names{"Server=here:0"}));
}

}  // namespace
}  // namespace orvacmn
