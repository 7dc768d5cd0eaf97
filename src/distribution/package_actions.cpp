// The steps of a deploy package that go to the registry stand-in, to a
// program, or to the package's platform.
#include "orvacmn/distribution/package_actions.h"

#include "ofl/command_line.h"
#include "ofl/error_message.h"
#include "ofl/format.h"
#include "ofl/process.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace {

constexpr uint32_t kStepFailed = 0xFFFFFFFF;
constexpr char kAlwaysAllowed[] = "111111111111111111111111";

uint32_t Number(const String& text) { return OFLTools::AToUL(text); }

// A step the package's platform does: its result line, then the platform's
// detail when it gave one.
template <class Call>
uint32_t PlatformStep(String& logLine, const String& line, Call call) {
  logLine = line;
  String detail;
  const uint32_t code = call(detail);
  if (!detail.empty()) logLine += " " + detail;
  return code;
}

// "cmd /c ..." and "cmd.exe /k ...": the text after the switch, for a shell.
bool ShellCommand(const String& commandLine, const OFLCommandLine& parsed, String& command) {
  const String& program = parsed.GetFilePath();
  const size_t sep = program.find_last_of("\\/");
  const String name = program.substr(sep == String::npos ? 0 : sep + 1);
  const auto& args = parsed.GetArguments();
  if (!(OFL::EqualsNoCase(name, "cmd") || OFL::EqualsNoCase(name, "cmd.exe")) || args.empty() ||
      !(OFL::EqualsNoCase(args[0], "/c") || OFL::EqualsNoCase(args[0], "/k")))
    return false;
  const size_t at = OFL::FindNoCase(commandLine, args[0], commandLine.find(name) + name.size());
  command = OFL::Trim(std::string_view(commandLine).substr(at + 2));
  return true;
}

}  // namespace

std::unique_ptr<CPackageAction> CreatePackageAction(std::string_view keyword, CPackage& package) {
  const auto is = [keyword](const char* name) { return OFL::EqualsNoCase(keyword, name); };
  if (is("CopyFiles")) return std::make_unique<CPackageActionCopyFiles>(package);
  if (is("ModifyRegistry")) return std::make_unique<CPackageActionModifyRegistry>(package);
  if (is("CreateShortcuts")) return std::make_unique<CPackageActionCreateShortcut>(package);
  if (is("CreateUsers")) return std::make_unique<CPackageActionCreateUser>(package);
  if (is("LocalGroup")) return std::make_unique<CPackageActionLocalGroup>(package);
  if (is("GlobalGroup")) return std::make_unique<CPackageActionGlobalGroup>(package);
  if (is("Execute")) return std::make_unique<CPackageActionExecute>(package);
  if (is("SetDisplayMode")) return std::make_unique<CPackageActionSetDisplayMode>(package);
  if (is("CreateShares")) return std::make_unique<CPackageActionCreateShare>(package);
  return nullptr;
}

// ---- ModifyRegistry ----

uint32_t CPackageActionModifyRegistry::Read(const OFLTokenizer& lines) {
  CPackageAction::Read(lines);
  const String root = Value("Root", "HKLM");
  if (!OFLRegistry::ParseRoot(root, root_) || !OFL::EqualsNoCase(root, OFLRegistry::RootName(root_)))
    return kStepFailed;
  key_ = Value("Key");
  subKeys_ = Values("CreateSubKey");
  stringValues_ = Values("SetStringValue");
  dwordValues_ = Values("SetDWordValue");
  return 0;
}

uint32_t CPackageActionModifyRegistry::Execute(String& logLine) {
  logLine = OFLFormat("Modifying registry key [%s]", key_);
  OFLRegistry registry(package_.GetRegistryFolder());
  return registry.Update(root_, [this](OFLRegistry::Hive& hive) -> uint32_t {
    for (const String& sub : subKeys_)
      if (const uint32_t code = hive.CreateKey(key_ + "\\" + sub); code != 0) return code;
    if (!hive.HasKey(key_)) return OFL::Win32::kFileNotFound;
    String name, value;
    for (const String& entry : stringValues_) {
      CPackage::AnalyzeLine(entry, name, value, ',');
      if (!name.empty())
        if (const uint32_t code = hive.SetStringValue(key_, name, value); code != 0) return code;
    }
    for (const String& entry : dwordValues_) {
      CPackage::AnalyzeLine(entry, name, value, ',');
      if (!name.empty())
        if (const uint32_t code = hive.SetDWordValue(key_, name, Number(value)); code != 0) return code;
    }
    return 0;
  });
}

// ---- Execute ----

uint32_t CPackageActionExecute::Read(const OFLTokenizer& lines) {
  CPackageAction::Read(lines);
  program_ = package_.ResolveDip(Value("Program"));
  wait_ = OFL::CRT::atoi(Value("Wait", "1"));
  expected_ = OFL::CRT::atoi(Value("Comment", "0"));
  return 0;
}

uint32_t CPackageActionExecute::Execute(String& logLine) {
  logLine = OFLFormat("Executing program %s...", program_);
  const OFLCommandLine parsed(program_, true, true);
  String program = parsed.GetFilePath(), why;
  std::vector<String> args = parsed.GetArguments();
  String command;
  if (ShellCommand(program_, parsed, command)) {
    program = "/bin/sh";
    args = {"-c", command};
  } else if (OFL::PathMap::IsWindowsPath(program)) {
    String local;
    if (const uint32_t code = package_.LocalPath(program, local, why); code != 0)
      return WithDetail(logLine, code, why);
    program = local;
  } else if (program.find_first_of("\\/") != String::npos) {
    // A program by name is looked up; any other path must be a mapped one.
    String local;
    return WithDetail(logLine, package_.LocalPath(program, local, why), why);
  }
  for (String& arg : args) {
    String local;
    if (OFL::PathMap::IsWindowsPath(arg) && package_.GetPathMap().Resolve(arg, local) == OFL::PathMap::Status::kOk)
      arg = local;
  }

  OFLProcess process;
  if (const uint32_t code = process.Start(program, args); code != 0) return code;
  int32_t exitCode = -1;
  if (wait_ == 0) process.Detach();
  else if (!process.Wait(exitCode)) exitCode = 0;
  if (exitCode == expected_) return 0;
  logLine += OFLFormat(" exit code %d, expected %d", exitCode, expected_);
  return kStepFailed;
}

// ---- the platform's steps ----

uint32_t CPackageActionCreateUser::Read(const OFLTokenizer& lines) {
  CPackageAction::Read(lines);
  IPackagePlatform::User& u = user_;
  u.target = Value("Target");
  u.name = Value("Name");
  u.fullName = Value("FullName");
  u.comment = Value("Comment");
  u.password = Value("Password");
  u.homeDir = Value("HomeDir");
  u.scriptPath = Value("ScriptPath");
  u.localGroups = Value("LocalGroups");
  u.globalGroups = Value("GlobalGroups");
  u.flags = Number(Value("Flags"));
  u.passwordNeverExpires = OFL::CRT::atoi(Value("PasswordNeverExpires")) != 0;
  u.cannotChangePassword = OFL::CRT::atoi(Value("CannotChangePassword")) != 0;
  u.changePasswordAtNextLogon = OFL::CRT::atoi(Value("ChangePasswordAtNextLogon")) != 0;
  u.logonHours = OFLFormat("%24s%24s%24s%24s%24s%24s%24s", Value("LogonHoursSu", kAlwaysAllowed),
                           Value("LogonHoursMo", kAlwaysAllowed), Value("LogonHoursTu", kAlwaysAllowed),
                           Value("LogonHoursWe", kAlwaysAllowed), Value("LogonHoursTh", kAlwaysAllowed),
                           Value("LogonHoursFr", kAlwaysAllowed), Value("LogonHoursSa", kAlwaysAllowed));
  return 0;
}

uint32_t CPackageActionCreateUser::Execute(String& logLine) {
  return PlatformStep(logLine, OFLFormat("Creating user %s...", user_.name),
                      [this](String& detail) { return package_.GetPlatform().CreateUser(user_, detail); });
}

uint32_t CPackageActionLocalGroup::Read(const OFLTokenizer& lines) {
  CPackageAction::Read(lines);
  group_.global = false;
  group_.name = Value("Name");
  group_.comment = Value("Comment");
  group_.members = Value("AddMembers");
  return 0;
}

uint32_t CPackageActionGlobalGroup::Read(const OFLTokenizer& lines) {
  CPackageActionLocalGroup::Read(lines);
  group_.global = true;
  return 0;
}

uint32_t CPackageActionLocalGroup::Execute(String& logLine) {
  return PlatformStep(
      logLine, OFLFormat(group_.global ? "Creating global group %s..." : "Creating local group %s...", group_.name),
      [this](String& detail) { return package_.GetPlatform().CreateGroup(group_, detail); });
}

uint32_t CPackageActionSetDisplayMode::Read(const OFLTokenizer& lines) {
  CPackageAction::Read(lines);
  mode_.xResolution = Number(Value("XResolution"));
  mode_.yResolution = Number(Value("YResolution"));
  mode_.colorDepth = Number(Value("ColorDepth"));
  mode_.frequency = Number(Value("Frequency"));
  return 0;
}

uint32_t CPackageActionSetDisplayMode::Execute(String& logLine) {
  return PlatformStep(logLine, "Setting display mode...",
                      [this](String& detail) { return package_.GetPlatform().SetDisplayMode(mode_, detail); });
}

uint32_t CPackageActionCreateShare::Read(const OFLTokenizer& lines) {
  CPackageAction::Read(lines);
  share_.name = Value("Name");
  share_.path = Value("Path");
  share_.comment = Value("Comment");
  share_.maxUses = Number(Value("MaxUses"));
  return 0;
}

uint32_t CPackageActionCreateShare::Execute(String& logLine) {
  return PlatformStep(logLine, OFLFormat("Creating share %s...", share_.name),
                      [this](String& detail) { return package_.GetPlatform().CreateShare(share_, detail); });
}

}  // namespace orvacmn
