// The shortcut step of a deploy package: a desktop entry in the folder of
// the chosen location.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ofl/command_line.h"
#include "ofl/error_message.h"
#include "ofl/format.h"
#include "orvacmn/distribution/package_actions.h"

namespace orvacmn {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kInvalidName = 123;

String Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? String(v) : String();
}

// XDG_DESKTOP_DIR of user-dirs.dirs ("$HOME/Desktop" and the like).
String DesktopFromUserDirs(const String& configHome, const String& home) {
  std::ifstream in(configHome + "/user-dirs.dirs");
  String line;
  while (std::getline(in, line)) {
    const String t = OFL::Trim(line);
    if (!t.starts_with("XDG_DESKTOP_DIR=")) continue;
    String value = t.substr(16);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (value.starts_with("$HOME")) value = home + value.substr(5);
    return value;
  }
  return String();
}

// A value of a desktop entry: backslashes and control characters escaped.
String EntryValue(std::string_view text) {
  String out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out;
}

// One argument of an Exec line: quoted when it holds a reserved character,
// "%" doubled so that it is no field code.
String ExecArgument(std::string_view arg) {
  String out;
  const bool quote = arg.empty() || arg.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string_view::npos;
  for (char c : arg) {
    if (c == '%') out += '%';
    else if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
    out += c;
  }
  return quote ? "\"" + out + "\"" : out;
}

bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

}  // namespace

CPackage::ShortcutFolders CPackage::ShortcutFolders::FromEnvironment() {
  const String home = Env("HOME");
  const String config = Env("XDG_CONFIG_HOME").empty() ? home + "/.config" : Env("XDG_CONFIG_HOME");
  const String data = Env("XDG_DATA_HOME").empty() ? home + "/.local/share" : Env("XDG_DATA_HOME");
  ShortcutFolders f;
  f.desktop = Env("XDG_DESKTOP_DIR");
  if (f.desktop.empty()) f.desktop = DesktopFromUserDirs(config, home);
  if (f.desktop.empty()) f.desktop = home + "/Desktop";
  f.menu = f.programs = data + "/applications";
  f.startup = config + "/autostart";
  return f;
}

uint32_t CPackageActionCreateShortcut::Read(const OFLTokenizer& lines) {
  CPackageAction::Read(lines);
  location_ = Value("Location");
  name_ = Value("Name");
  filename_ = Value("Filename");
  arguments_ = Value("Arguments");
  comment_ = Value("Description");
  workingDir_ = Value("WorkingDir");
  relPath_ = Value("RelPath");
  return 0;
}

uint32_t CPackageActionCreateShortcut::Execute(String& logLine) {
  logLine = OFLFormat("Creating shortcut %s...", name_);
  const CPackage::ShortcutFolders& folders = package_.GetShortcutFolders();
  const struct {
    const char* location;
    const String& folder;
  } kLocations[] = {{"DESK", folders.desktop}, {"MENU", folders.menu}, {"PROG", folders.programs},
                    {"START", folders.startup}};
  fs::path folder;
  bool startup = false;
  for (const auto& l : kLocations) {
    if (!OFL::EqualsNoCase(location_, l.location)) continue;
    folder = l.folder;
    startup = OFL::EqualsNoCase(location_, "START");
  }
  if (folder.empty())
    return WithDetail(logLine, OFL::Win32::kInvalidParameter, OFLFormat("unknown location [%s]", location_));
  if (!IsPlainName(name_)) return WithDetail(logLine, kInvalidName, OFLFormat("[%s] is no file name", name_));
  if (!startup) {
    for (const String& part : OFLTokenizer(relPath_, "\\/")) {
      if (part == ".") continue;
      if (!IsPlainName(part))
        return WithDetail(logLine, kInvalidName, OFLFormat("[%s] is no folder below the location", relPath_));
      folder /= part;
    }
  }

  // Windows paths of the target and its folder are the mapped local ones.
  String why;
  const auto local = [&](const String& path, String& out) -> uint32_t {
    out = path;
    return OFL::PathMap::IsWindowsPath(path) ? package_.LocalPath(path, out, why) : 0;
  };
  String target, workingDir;
  if (const uint32_t code = local(filename_, target); code != 0) return WithDetail(logLine, code, why);
  if (const uint32_t code = local(workingDir_, workingDir); code != 0) return WithDetail(logLine, code, why);
  String exec = ExecArgument(target);
  for (String arg : OFLCommandLine::SplitArguments(arguments_)) {
    String mapped;
    if (OFL::PathMap::IsWindowsPath(arg) && local(arg, mapped) == 0) arg = mapped;
    exec.append(" ").append(ExecArgument(arg));
  }

  String entry = "[Desktop Entry]\nType=Application\nVersion=1.0\nName=" + EntryValue(name_) + "\n";
  if (!comment_.empty()) entry += "Comment=" + EntryValue(comment_) + "\n";
  entry += "Exec=" + EntryValue(exec) + "\n";
  if (!workingDir.empty()) entry += "Path=" + EntryValue(workingDir) + "\n";
  entry += "Terminal=false\n";

  std::error_code ec;
  fs::create_directories(folder, ec);
  const fs::path file = folder / (name_ + ".desktop");
  const fs::path temp = folder / ("." + name_ + ".desktop." + std::to_string(::getpid()));
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << entry;
    if (!out.flush())
      return WithDetail(logLine, OFL::Win32ErrorFromErrno(errno, temp.string()),
                        OFLFormat("[%s] cannot be written", temp.string()));
  }
  fs::permissions(temp, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec, ec);
  fs::rename(temp, file, ec);
  if (ec) {
    fs::remove(temp, ec);
    return WithDetail(logLine, OFL::Win32::kAccessDenied, OFLFormat("[%s] cannot be written", file.string()));
  }
  return 0;
}

}  // namespace orvacmn
