// Expanding files, and the variables of install.ini.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "ofl/tools.h"
#include "orvacmn/variables/ovk_vars.h"

namespace orvacmn {
namespace {

using V = COVKVars;
constexpr auto kRuntime = CVariableType::Runtime;
constexpr auto kSystem = CVariableType::System;

class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/ovkvars_test_XXXXXX";
    path_ = ::mkdtemp(tmpl);
  }
  ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  String operator/(const String& name) const { return path_ + "/" + name; }
  const String& path() const { return path_; }

 private:
  String path_;
};

void Write(const String& path, const String& content) {
  std::ofstream(path, std::ios::binary) << content;
}

String Read(const String& path) {
  std::ifstream in(path, std::ios::binary);
  return String(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Flat {
  String name, value;
  bool custom;
  int32_t type;
  bool operator==(const Flat&) const = default;
};

std::vector<Flat> Entries(const COVKVars& vars) {
  std::vector<Flat> out;
  for (const auto& e : vars) out.push_back({e->Name, e->Value, e->Custom, e->Type.GetVariableType()});
  return out;
}

class SubstitutionFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vars_.AddVar("A", "x", false, false, kRuntime, false);
    vars_.AddVar("Self", "{Self}", false, false, kRuntime, false);
  }
  TempDir dir_;
  COVKVars vars_;
};

TEST_F(SubstitutionFileTest, ExpandsLineByLine) {
  Write(dir_ / "in.txt", "a={A}\r\nb={=1}\n{A\n}\nlast {A}");
  bool expression = false;
  EXPECT_EQ(vars_.PerformSubstitutionsOnFile(dir_ / "in.txt", dir_ / "out.txt", expression,
                                             V::SubstitutionDefault, V::VBScriptNotSupported),
            0u);
  EXPECT_EQ(Read(dir_ / "out.txt"), "a=x\nb=<Expression not supported>\n{A\n}\nlast x\n");
  EXPECT_TRUE(expression);

  // The flag is the OR over the lines; it is reset when no line has one.
  Write(dir_ / "plain.txt", "{A}\n\n\r\n");
  EXPECT_EQ(vars_.PerformSubstitutionsOnFile(dir_ / "plain.txt", dir_ / "out.txt", expression,
                                             V::SubstitutionDefault, V::VBScriptNotSupported),
            0u);
  EXPECT_FALSE(expression);
  EXPECT_EQ(Read(dir_ / "out.txt"), "x\n\n\n");
}

TEST_F(SubstitutionFileTest, RecursionLimitHoldsPerLine) {
  String text;
  for (int i = 0; i < 600; ++i) text += "{A}";
  Write(dir_ / "in.txt", text + "\n" + text + "\n{Self}\nlone\r");
  EXPECT_EQ(vars_.PerformSubstitutionsOnFile(dir_ / "in.txt", dir_ / "out.txt", V::SubstitutionDefault,
                                             V::VBScriptNotSupported),
            0u);
  const String x600(600, 'x');
  EXPECT_EQ(Read(dir_ / "out.txt"), x600 + "\n" + x600 + "\n<Error: variables recursion>\nlone\r\n");
}

TEST_F(SubstitutionFileTest, EmptySourceGivesEmptyTargetAndTruncates) {
  Write(dir_ / "empty.txt", "");
  Write(dir_ / "out.txt", "old content");
  EXPECT_EQ(vars_.PerformSubstitutionsOnFile(dir_ / "empty.txt", dir_ / "out.txt", V::SubstitutionDefault,
                                             V::VBScriptNotSupported),
            0u);
  EXPECT_EQ(Read(dir_ / "out.txt"), "");
}

TEST_F(SubstitutionFileTest, OpenFailuresGiveWin32Codes) {
  Write(dir_ / "in.txt", "{A}\n");
  ::mkdir((dir_ / "sub").c_str(), 0755);
  bool expression = true;
  auto run = [&](const String& src, const String& dst) {
    return vars_.PerformSubstitutionsOnFile(src, dst, expression, V::SubstitutionDefault, V::VBScriptNotSupported);
  };
  EXPECT_EQ(run(dir_ / "missing.txt", dir_ / "out.txt"), 2u);
  EXPECT_EQ(run(dir_ / "nodir/missing.txt", dir_ / "out.txt"), 3u);
  EXPECT_EQ(run(dir_ / "in.txt/x", dir_ / "out.txt"), 3u);
  EXPECT_EQ(run("", dir_ / "out.txt"), 3u);
  EXPECT_EQ(run(dir_ / "sub", dir_ / "out.txt"), 5u);
  EXPECT_EQ(run(dir_ / "in.txt", dir_ / "nodir/out.txt"), 3u);
  EXPECT_EQ(run(dir_ / "in.txt", dir_ / "sub"), 5u);
  EXPECT_EQ(run(dir_ / "in.txt", ""), 3u);
  EXPECT_TRUE(expression);  // untouched when nothing was expanded
  EXPECT_EQ(::access((dir_ / "out.txt").c_str(), F_OK), -1);  // no target made on a source failure

  // The source cannot be its own target: it stays as it was.
  EXPECT_EQ(run(dir_ / "in.txt", dir_ / "in.txt"), 32u);
  ::symlink((dir_ / "in.txt").c_str(), (dir_ / "link.txt").c_str());
  EXPECT_EQ(run(dir_ / "in.txt", dir_ / "link.txt"), 32u);
  EXPECT_EQ(Read(dir_ / "in.txt"), "{A}\n");

  if (::geteuid() != 0) {
    Write(dir_ / "locked.txt", "x");
    ::chmod((dir_ / "locked.txt").c_str(), 0);
    EXPECT_EQ(run(dir_ / "locked.txt", dir_ / "out.txt"), 5u);
  }
}

TEST(InstallIniTest, ReadsKnownKeysAndVariableSections) {
  TempDir dir;
  Write(dir / "install.ini",
        "[Network]\r\nServer = srv01 \r\nDIP=\\\\dip\\kits\r\nDomain=\r\n"
        "[Machine]\nComputerName=PC1\nGroupName=Lab\n"
        "[Software]\nDestinationPath=C:\\Apps\nLicense=ABC-123\n"
        "[Custom]\n; comment\n Room = 12 \nFlag\nA;B=ab\n=novalue\nEq=x=y\n"
        "[OVSVars]\nRoom=13\n");
  COVKVars vars;
  EXPECT_EQ(vars.AddVarsFromInstallIni(dir / "install.ini", kSystem), 0u);
  EXPECT_EQ(Entries(vars), (std::vector<Flat>{{"Server", "srv01", false, 1},
                                              {"DIP", "\\\\dip\\kits", false, 1},
                                              {"KitsServer", "\\\\dip\\kits", false, 1},
                                              {"Depot", "\\\\dip\\kits", false, 1},
                                              {"Client", "PC1", false, 1},
                                              {"Machine", "PC1", false, 1},
                                              {"Group", "Lab", false, 1},
                                              {"InstallTargetPath", "C:\\Apps", false, 1},
                                              {"License", "ABC-123", false, 1},
                                              {"Licence", "ABC-123", false, 1},
                                              {"Room", "13", true, 1},
                                              {"Flag", "", true, 1},
                                              {"A", "ab", true, 1},
                                              {"B", "ab", true, 1},
                                              {"Eq", "x=y", true, 1}}));
}

TEST(InstallIniTest, PathIsExpandedFirstAndMissingFileGivesTwo) {
  TempDir dir;
  Write(dir / "agent.ini", "[Machine]\nComputerName=PC2\n");
  COVKVars vars;
  vars.AddVar("IniDir", dir.path(), false, false, kRuntime, false);
  EXPECT_EQ(vars.AddVarsFromInstallIni("{inidir}/agent.ini", kRuntime), 0u);
  String value;
  ASSERT_TRUE(vars.GetVar("machine", value));
  EXPECT_EQ(value, "PC2");
  EXPECT_EQ(vars.Size(), 3u);

  EXPECT_EQ(vars.AddVarsFromInstallIni(dir / "none.ini", kRuntime), 2u);
  EXPECT_EQ(vars.AddVarsFromInstallIni("{Unknown}/install.ini", kRuntime), 2u);
  EXPECT_EQ(vars.Size(), 3u);
}

TEST(InstallIniTest, EmptyPathMeansTheProgramDirectory) {
  const String path = OFLTools::GetModulePath() + "/install.ini";
  ASSERT_NE(::access(path.c_str(), F_OK), 0) << "leftover " << path;
  COVKVars vars;
  EXPECT_EQ(vars.AddVarsFromInstallIni("", kRuntime), 2u);
  Write(path, "[Network]\nServer=here\n");
  EXPECT_EQ(vars.AddVarsFromInstallIni("", kRuntime), 0u);
  ::unlink(path.c_str());
  EXPECT_EQ(Entries(vars), (std::vector<Flat>{{"Server", "here", false, 0}}));
}

TEST(InstallIniTest, SectionLines) {
  COVKVars vars;
  vars.AddVarsFromIniSection(String(" a = 1 \0b\0 c;d = x = y \0=v\0\0ignored\0\0", 37), false, kRuntime);
  EXPECT_EQ(Entries(vars), (std::vector<Flat>{{"a", "1", false, 0},
                                              {"b", "", false, 0},
                                              {"c", "x = y", false, 0},
                                              {"d", "x = y", false, 0}}));
  vars.AddVarsFromIniSection(String(), true, kRuntime);
  EXPECT_EQ(vars.Size(), 4u);
}

}  // namespace
}  // namespace orvacmn
