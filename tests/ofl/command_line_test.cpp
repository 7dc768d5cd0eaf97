// Windows command lines taken apart: the program's path and the arguments.
#include <gtest/gtest.h>

#include "ofl/command_line.h"

namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, ArgumentsByThePlatformsRules) {
  const struct {
    const char* text;
    Args args;
  } cases[] = {
      {"", {}},
      {"  a\tb  ", {"a", "b"}},
      {"\"a b\" c", {"a b", "c"}},
      {"a\"b c\"d", {"ab cd"}},
      {"\\\\srv\\share", {"\\\\srv\\share"}},
      {"a\\\\\"b c\"", {"a\\b c"}},
      {"a\\\"b", {"a\"b"}},
      {"a\\\\\\\"b", {"a\\\"b"}},
      {"\"a\"\"b\"", {"a\"b"}},
      {"\"\"", {""}},
      {"\"open", {"open"}},
      {"x=\"{DIP}\\My App\\a.msi\"", {"x={DIP}\\My App\\a.msi"}},
  };
  for (const auto& c : cases) EXPECT_EQ(OFLCommandLine::SplitArguments(c.text), c.args) << c.text;
}

TEST(CommandLine, QuotedArgumentsReadBack) {
  for (const std::string arg : {"", "plain", "with blank", "quote\"inside", "trail\\", "tr ail\\\\", "\\\"", "a\tb"}) {
    const std::string quoted = OFLCommandLine::QuoteArgument(arg);
    EXPECT_EQ(OFLCommandLine::SplitArguments(quoted + " next"), (Args{arg, "next"})) << quoted;
  }
  EXPECT_EQ(OFLCommandLine::QuoteArgument("plain"), "plain");
}

TEST(CommandLine, ProgramPath) {
  const struct {
    const char* text;
    bool hasArguments, blanks;
    const char* path;
    Args args;
  } cases[] = {
      {" \"C:\\My Tools\\run.exe\" /q x", true, true, "C:\\My Tools\\run.exe", {"/q", "x"}},
      {"\\\\srv\\kits\\My App\\setup.exe /S /D=C:\\x", true, true, "\\\\srv\\kits\\My App\\setup.exe",
       {"/S", "/D=C:\\x"}},
      {"\\\\srv\\kits\\My App\\setup.exe /S", true, false, "\\\\srv\\kits\\My", {"App\\setup.exe", "/S"}},
      {"{DIP}\\My Folder", true, true, "{DIP}\\My Folder", {}},
      {"{DIP}\\readme.txt -v more", true, true, "{DIP}\\readme.txt", {"-v", "more"}},
      {"/bin/sh -c \"echo hi\"", true, true, "/bin/sh", {"-c", "echo hi"}},
      {"INSTALL.CMD a b", true, true, "INSTALL.CMD", {"a", "b"}},
      {"echo x >out", true, true, "echo", {"x", ">out"}},
      {"msiexec /i {DIP}\\a.msi", true, true, "msiexec", {"/i", "{DIP}\\a.msi"}},
      {"  {DIP}\\x y  ", false, true, "{DIP}\\x y", {}},
      {"\"unclosed path", true, true, "unclosed path", {}},
      {"", true, true, "", {}},
  };
  for (const auto& c : cases) {
    const OFLCommandLine cl(c.text, c.hasArguments, c.blanks);
    EXPECT_EQ(cl.GetFilePath(), c.path) << c.text;
    EXPECT_EQ(cl.GetArguments(), c.args) << c.text;
  }
}

}  // namespace
