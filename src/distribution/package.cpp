#include "orvacmn/distribution/package.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <thread>
#include <unordered_map>

#include "ofl/error_message.h"
#include "ofl/format.h"
#include "ofl/profile.h"
#include "ofl/text_file.h"
#include "orvacmn/distribution/dip_locator.h"
#include "orvacmn/distribution/package_actions.h"

namespace orvacmn {
namespace {

constexpr uint32_t kBadPathName = 161, kBadNetPath = 53, kInvalidDrive = 15, kInvalidName = 123;

// Values that a dry run must not show.
bool IsSecret(const String& key) { return OFL::EqualsNoCase(key, "Password"); }

String UnquoteLong(const String& text) {
  if (text.size() >= 3 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  return text;
}

OFLTokenizer Lines(const String& section) {
  OFLTokenizer lines;
  lines.AddDoubleNullTerminatedArray(section);
  return lines;
}

}  // namespace

// ---- CPackageAction ----

uint32_t CPackage::CPackageAction::Read(const OFLTokenizer& lines) {
  values_.clear();
  for (const String& line : lines) {
    String key, value;
    AnalyzeLine(line, key, value, '=');
    if (OFL::EqualsNoCase(key, "Description")) description_ = value;
    values_.emplace_back(std::move(key), std::move(value));
  }
  return 0;
}

String CPackage::CPackageAction::Value(std::string_view key, const String& fallback) const {
  for (auto it = values_.rbegin(); it != values_.rend(); ++it)
    if (OFL::EqualsNoCase(it->first, key)) return it->second;
  return fallback;
}

std::vector<String> CPackage::CPackageAction::Values(std::string_view key) const {
  std::vector<String> out;
  for (const auto& [k, v] : values_)
    if (OFL::EqualsNoCase(k, key)) out.push_back(v);
  return out;
}

uint32_t CPackage::CPackageAction::WithDetail(String& logLine, uint32_t code, const String& detail) {
  if (!detail.empty()) logLine += " " + detail;
  return code;
}

// ---- CPackage ----

CPackage::CPackage(const String& packageFile)
    : packageFile_(packageFile),
      map_(OFL::PathMap::Machine()),
      registryFolder_(DefaultRegistryFolder()),
      platform_(std::make_shared<CUnsupportedPackagePlatform>()),
      shortcutFolders_(ShortcutFolders::FromEnvironment()) {
  const size_t sep = packageFile.find_last_of("\\/");
  packagePath_ = sep == String::npos ? String() : packageFile.substr(0, sep);
}

CPackage::~CPackage() { DeleteActions(); }

void CPackage::DeleteActions() {
  actions_.RemoveAll();
  ownedActions_.clear();
}

void CPackage::SetPathMap(std::shared_ptr<const OFL::PathMap> map) {
  map_ = map ? std::move(map) : OFL::PathMap::Machine();
}

void CPackage::SetPlatform(std::shared_ptr<IPackagePlatform> platform) {
  platform_ = platform ? std::move(platform) : std::make_shared<CUnsupportedPackagePlatform>();
}

String CPackage::DefaultRegistryFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  const char* home = std::getenv("HOME");
  const std::filesystem::path base = state && *state ? std::filesystem::path(state)
                                                      : std::filesystem::path(home ? home : "") / ".local/state";
  return (base / "orvacmn/registry").string();
}

void CPackage::AnalyzeLine(const String& line, String& key, String& value, char separator) {
  const size_t pos = line.find(separator);
  key = UnquoteLong(OFL::Trim(std::string_view(line).substr(0, pos)));
  value = pos == String::npos ? String() : UnquoteLong(OFL::Trim(std::string_view(line).substr(pos + 1)));
}

String CPackage::ResolveDip(const String& text) const {
  if (!COVKVars::Find(text, CDIPLocator::kDipVariable)) return text;
  CDIPLocator locator(dips_);
  locator.SetPathMap(map_);
  String resolved = text;
  COVKVars::Replace(resolved, CDIPLocator::kDipVariable, locator.GetDIP(text, 1, nullptr));
  return resolved;
}

uint32_t CPackage::LocalPath(const String& path, String& local, String& why) const {
  const OFL::PathMap::Status status = map_->Resolve(path, local);
  why = OFL::PathMap::StatusText(status, path);
  switch (status) {
    case OFL::PathMap::Status::kOk: return 0;
    case OFL::PathMap::Status::kNotWindowsPath: return kBadPathName;
    case OFL::PathMap::Status::kUnmapped: return path.size() > 1 && path[1] == ':' ? kInvalidDrive : kBadNetPath;
    case OFL::PathMap::Status::kOutsideRoot: return OFL::Win32::kAccessDenied;
    case OFL::PathMap::Status::kInvalid: return kInvalidName;
  }
  return kBadPathName;
}

uint32_t CPackage::Read(const String& file) {
  OFL::TextFileReader reader;
  // A package that is not there (or is no file) has no steps.
  if (reader.Open(file) != 0) return 0;
  const OFL::Profile::Index index(reader.GetText());
  const auto section = [this, &index](const String& name) {
    bool cut = false;
    String lines = index.GetSection(name, kSectionBuffer, &cut);
    if (cut)
      results_ += OFLFormat("Section [%s] is longer than %u bytes: the lines beyond are left out", name,
                            kSectionBuffer)
                      .str();
    return lines;
  };

  std::unordered_map<String, CPackageAction*, OFL::HashNoCase, OFL::EqualNoCase> steps;  // keyword and section
  for (const String& line : Lines(section("Install"))) {
    String keyword, names;
    AnalyzeLine(line, keyword, names, '=');
    if (OFL::EqualsNoCase(keyword, "Description")) {
      description_ = names;
      continue;
    }
    for (const String& name : OFLTokenizer(names, ",")) {
      // A section named again is the step read before: reading stays linear
      // in the package however often its sections are named.
      const auto [known, added] = steps.try_emplace(keyword + "\n" + OFL::Trim(name), nullptr);
      if (!added) {
        if (!known->second) break;  // an unknown keyword
        actions_.AddTail(known->second);
        continue;
      }
      std::unique_ptr<CPackageAction> action = CreatePackageAction(keyword, *this);
      if (!action) break;
      OFLTokenizer lines = Lines(section(OFL::Trim(name)));
      for (int32_t i = 0; i < lines.GetCount(); ++i)
        lines[i] = vars_.PerformSubstitutions(lines[i], COVKVars::SubstitutionDefault);
      if (const uint32_t code = action->Read(lines); code != 0) {
        failedStep_ = action->GetDescription();
        return code;
      }
      known->second = action.get();
      actions_.AddTail(action.get());
      ownedActions_.push_back(std::move(action));
    }
  }
  return 0;
}

void CPackage::AddError(uint32_t code, const String& step) {
  results_ += OFLFormat("Error processing package: %s", OFL::ErrorMessage::TranslateValue(code)).str();
  results_ += OFLFormat("Step: %s", step).str();
}

namespace {

// "Dry run: Keyword: Key=value; Key=value", secrets masked and the
// distribution point chosen.
String DryRunLine(const CPackage& package, const CPackage::CPackageAction& action) {
  String line = OFLFormat("Dry run: %s:", action.GetKeyword());
  bool first = true;
  for (const auto& [key, value] : action.GetValues()) {
    line += first ? " " : "; ";
    first = false;
    line += key + "=" + (IsSecret(key) ? String("****") : package.ResolveDip(value));
  }
  return line;
}

}  // namespace

uint32_t CPackage::InstallPackage(int silent) {
  interactive_ = silent == 0 ? 1 : 0;
  DeleteActions();
  results_.Clear();
  description_.clear();
  failedStep_.clear();

  String file = packageFile_;
  file = ResolveDip(vars_.PerformSubstitutions(file, COVKVars::SubstitutionDefault));
  results_ += OFLFormat("Reading package %s", file).str();
  String local = file, why;
  if (OFL::PathMap::IsWindowsPath(file)) {
    if (const uint32_t code = LocalPath(file, local, why); code != 0) {
      results_ += why;
      AddError(code, String());
      return code;
    }
  }
  if (const uint32_t code = Read(local); code != 0) {
    AddError(code, failedStep_);
    return code;
  }

  const bool showProgress = interactive_ != 0 && progress_ != nullptr;
  if (showProgress)
    progress_->Open("Processing orvalis Deploy Package", OFLFormat("Package: %s", description_), actions_.GetCount());
  uint32_t result = 0;
  std::unordered_map<const CPackageAction*, String> dryRunLines;  // a step named again is logged alike
  for (CPackageAction* action : actions_) {
    if (showProgress) progress_->Step(action->GetDescription());
    if (dryRun_) {
      String& line = dryRunLines[action];
      if (line.empty()) line = DryRunLine(*this, *action);
      results_ += line;
      continue;
    }
    String log;
    result = action->Execute(log);
    if (!log.empty()) results_ += log;
    if (result != 0) {
      AddError(result, action->GetDescription());
      break;
    }
  }
  if (showProgress) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    progress_->Close();
  }
  return result;
}

}  // namespace orvacmn
