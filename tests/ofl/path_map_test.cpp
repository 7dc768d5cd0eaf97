// Windows paths on this machine: mappings from the mount table and the
// caller, strict resolution, case-insensitive names, probes with a limit.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "common/scratch.h"
#include "ofl/path_map.h"
#include "ofl/time_limit.h"

namespace {

namespace fs = std::filesystem;
using OFL::PathMap;
using Status = OFL::PathMap::Status;

using orvacmn::testing::ScratchDir;
using orvacmn::testing::WriteFile;

std::string Resolved(const PathMap& map, std::string_view path) {
  std::string local;
  const Status s = map.Resolve(path, local);
  return s == Status::kOk ? local : "status " + std::to_string(static_cast<int>(s));
}

TEST(PathMap, MountTable) {
  PathMap map;
  map.AddMounts(
      "proc /proc proc rw 0 0\n"
      "//FileSrv/Kits\\040Share /mnt/kits\\040share cifs rw,vers=3.0 0 0\n"
      "//nas/deep/sub /mnt/deep smb3 rw 0 0\n"
      "/dev/sr1 /media/cd1 udf ro 0 0\n"
      "/dev/sr0 /media/cd0/ iso9660 ro 0 0\n"
      "//bad /mnt/bad cifs rw 0 0\n"
      "//rel/share relative cifs rw 0 0\n"
      "short line\n");
  EXPECT_EQ(Resolved(map, "\\\\fileSRV\\kits share\\a.txt"), "/mnt/kits share/a.txt");
  EXPECT_EQ(Resolved(map, "//nas/deep/sub/x"), "/mnt/deep/x");
  EXPECT_EQ(Resolved(map, "\\\\nas\\deep\\x"), "status " + std::to_string(int(Status::kUnmapped)));
  EXPECT_EQ(Resolved(map, "\\\\rel\\share\\x"), "status " + std::to_string(int(Status::kUnmapped)));
  EXPECT_EQ(map.GetCdromDrives(), (std::vector<std::string>{"D:", "E:"}));
  EXPECT_EQ(Resolved(map, "e:\\setup.exe"), "/media/cd0/setup.exe");
}

TEST(PathMap, CallerMappings) {
  PathMap map;
  std::string error;
  EXPECT_FALSE(map.AddMapping("no-equals", &error));
  EXPECT_FALSE(map.AddMapping("\\\\srv=/x", &error));
  EXPECT_FALSE(map.AddMapping("\\\\srv\\kits=relative", &error));
  EXPECT_FALSE(map.AddMapping("\\\\srv\\..\\kits=/x", &error));
  EXPECT_FALSE(map.AddMapping("C=/x", &error));
  EXPECT_FALSE(error.empty());
  map.AddMounts("//srv/kits /mnt/from-table cifs rw 0 0\n/dev/sr0 /media/machine-cd iso9660 ro 0 0\n");
  ASSERT_TRUE(map.AddMapping("\\\\SRV\\Kits=/srv/kits/"));
  ASSERT_TRUE(map.AddMapping("\\\\srv\\kits\\apps\\big=/big"));
  ASSERT_TRUE(map.AddMapping(" d: = /data "));
  ASSERT_TRUE(map.AddMapping("E:\\only\\here=/here"));
  ASSERT_TRUE(map.AddMapping("cdrom=/cd/one"));
  ASSERT_TRUE(map.AddMapping("CDROM=/cd/two"));
  // The caller's mapping replaces the table's; the longest one wins.
  EXPECT_EQ(Resolved(map, "\\\\srv\\kits\\apps\\tool.exe"), "/srv/kits/apps/tool.exe");
  EXPECT_EQ(Resolved(map, "\\\\srv\\kits\\apps\\BIG\\x\\..\\y.msi"), "/big/y.msi");
  EXPECT_EQ(Resolved(map, "D:"), "/data");
  EXPECT_EQ(Resolved(map, "D:rel\\.\\\\file"), "/data/rel/file");
  EXPECT_EQ(Resolved(map, "E:\\only\\here\\x"), "/here/x");
  // Caller CD-ROM drives replace the machine's and take the free letters from D:.
  EXPECT_EQ(map.GetCdromDrives(), (std::vector<std::string>{"F:", "G:"}));
  EXPECT_EQ(Resolved(map, "g:\\x"), "/cd/two/x");
  const auto drives = map.GetLogicalDrives();
  ASSERT_EQ(drives.size(), 3u);
  EXPECT_EQ(drives[0].letter, "D:");
  EXPECT_EQ(drives[0].type, PathMap::DriveType::kFixed);
  EXPECT_EQ(drives[1].type, PathMap::DriveType::kCdrom);
}

TEST(PathMap, RefusesWhatNoMappingCovers) {
  PathMap map;
  ASSERT_TRUE(map.AddMapping("\\\\srv\\kits=/srv/kits"));
  const auto status = [&](std::string_view path) {
    std::string local;
    return map.Resolve(path, local);
  };
  EXPECT_EQ(status("\\\\srv\\kits\\a\\..\\b"), Status::kOk);
  EXPECT_EQ(status("\\\\srv\\kits\\.."), Status::kOutsideRoot);
  EXPECT_EQ(status("\\\\srv\\kits\\a\\..\\..\\..\\etc\\passwd"), Status::kOutsideRoot);
  EXPECT_EQ(status("\\\\srv\\other\\x"), Status::kUnmapped);
  EXPECT_EQ(status("\\\\srv\\..\\kits\\x"), Status::kNotWindowsPath);
  EXPECT_EQ(status("\\\\\\srv\\kits"), Status::kNotWindowsPath);
  EXPECT_EQ(status("\\\\srv"), Status::kNotWindowsPath);
  EXPECT_EQ(status("/srv/kits/x"), Status::kNotWindowsPath);
  EXPECT_EQ(status("relative\\x"), Status::kNotWindowsPath);
  EXPECT_EQ(status("Z:\\x"), Status::kUnmapped);
  EXPECT_EQ(status("\\\\srv\\kits\\a:stream"), Status::kInvalid);
  EXPECT_EQ(status(std::string_view("\\\\srv\\kits\\a\0b", 13)), Status::kInvalid);
  EXPECT_FALSE(map.Exists("\\\\srv\\other"));
  EXPECT_NE(PathMap::StatusText(Status::kOutsideRoot, "p").find("[p]"), std::string::npos);
  EXPECT_TRUE(PathMap::StatusText(Status::kOk, "p").empty());
}

TEST(PathMap, NamesOnDiskIgnoreCase) {
  ScratchDir dir;
  WriteFile(dir.path() / "Apps/Setup.EXE", "x");
  PathMap map;
  ASSERT_TRUE(map.AddMapping("\\\\srv\\kits=" + dir.str()));
  EXPECT_EQ(Resolved(map, "\\\\srv\\kits\\APPS\\setup.exe"), dir.str() + "/Apps/Setup.EXE");
  // Names that do not exist stay as written, also below a missing one.
  EXPECT_EQ(Resolved(map, "\\\\srv\\kits\\apps\\New\\File.txt"), dir.str() + "/Apps/New/File.txt");
  EXPECT_TRUE(map.Exists("\\\\SRV\\KITS\\apps\\SETUP.exe"));
  EXPECT_TRUE(map.Exists("\\\\srv\\kits\\apps", std::chrono::milliseconds(0)));
  EXPECT_FALSE(map.Exists("\\\\srv\\kits\\apps\\missing.exe"));
}

TEST(PathMap, LinksMayNotLeadOut) {
  ScratchDir root, outside;
  WriteFile(outside.path() / "secret.txt", "x");
  fs::create_directory_symlink(outside.path(), root.path() / "escape");
  fs::create_directory_symlink(root.path() / "inner", root.path() / "fine");
  WriteFile(root.path() / "inner/a.txt", "x");
  PathMap map;
  ASSERT_TRUE(map.AddMapping("X:=" + root.str()));
  std::string local;
  EXPECT_EQ(map.Resolve("X:\\escape\\secret.txt", local), Status::kOutsideRoot);
  EXPECT_EQ(map.Resolve("X:\\escape", local), Status::kOutsideRoot);
  EXPECT_FALSE(map.Exists("X:\\escape\\secret.txt"));
  EXPECT_EQ(map.Resolve("X:\\fine\\a.txt", local), Status::kOk);
  EXPECT_TRUE(map.Exists("X:\\fine\\a.txt"));
}

TEST(PathMap, KeyFolder) {
  EXPECT_EQ(OFL::Tools::GetKeyFolder("\\\\srv\\kits\\app\\setup.exe"), "\\\\srv\\kits\\app");
  EXPECT_EQ(OFL::Tools::GetKeyFolder(" \"{DIP}\\My App\\setup.exe\" "), "{DIP}\\My App");
  EXPECT_EQ(OFL::Tools::GetKeyFolder("setup.exe"), "");
  EXPECT_EQ(OFL::Tools::GetKeyFolder("a/b/c"), "");
}

TEST(TimeLimit, TheCallerGoesOnWhenTheLimitPasses) {
  const auto start = std::chrono::steady_clock::now();
  const auto slow = OFL::RunWithTimeLimit(
      [] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        return 1;
      },
      std::chrono::milliseconds(30));
  EXPECT_FALSE(slow.has_value());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_EQ(OFL::RunWithTimeLimit([] { return 7; }, std::chrono::milliseconds(5000)), 7);
}

}  // namespace
