#include "orvacmn/distribution/dip_locator.h"

#include <vector>

#include "ofl/command_line.h"
#include "ofl/tokenizer.h"
#include "orvacmn/software/application.h"
#include "orvacmn/variables/ovk_vars.h"

namespace orvacmn {
namespace {

constexpr std::string_view kBitsPrefix = "ovbt:";

std::vector<String> Entries(const String& dips) {
  const OFLTokenizer tokens(dips, ";");
  return tokens.Items();
}

// `text` without blanks and double quotes at either end.
String TrimBlanksAndQuotes(const String& text) {
  size_t start = 0, end = text.size();
  while (start < end && (text[start] == ' ' || text[start] == '"')) ++start;
  while (end > start && (text[end - 1] == ' ' || text[end - 1] == '"')) --end;
  return text.substr(start, end - start);
}

bool StartsWithDip(const String& text) { return COVKVars::FindAndGivePos(text, CDIPLocator::kDipVariable) == 0; }

}  // namespace

CDIPLocator::CDIPLocator() : map_(OFL::PathMap::Machine()) {}

CDIPLocator::CDIPLocator(const String& dips) : dips_(dips), map_(OFL::PathMap::Machine()) {}

void CDIPLocator::SetPathMap(std::shared_ptr<const OFL::PathMap> map) {
  map_ = map ? std::move(map) : OFL::PathMap::Machine();
}

String CDIPLocator::GetDIP(const String& path, int withCdrom, OFLNetworkShareAuthenticator* auth) const {
  const std::vector<String> entries = Entries(dips_);
  if (path.empty()) return entries.empty() ? String() : entries.front();
  const String trimmed = TrimBlanksAndQuotes(path);

  std::vector<String> drives;
  if (withCdrom != 0) {
    for (const String& e : entries) {
      if (!COVKVars::Find(e, kCdromVariable)) continue;
      drives = map_->GetCdromDrives();
      if (!drives.empty()) break;
    }
  }
  // CDROM entries become one entry per drive, in place, or go.
  std::vector<String> remaining;
  for (const String& e : entries) {
    if (!COVKVars::Find(e, kCdromVariable)) {
      remaining.push_back(e);
      continue;
    }
    for (const String& drive : drives) {
      String entry = e;
      COVKVars::Replace(entry, kCdromVariable, drive);
      remaining.push_back(std::move(entry));
    }
  }

  if (remaining.size() >= 2 || (remaining.size() == 1 && auth != nullptr)) {
    for (const String& e : remaining) {
      if (withCdrom == 0 && e.size() >= 2 && e[1] == ':') continue;
      String candidate = trimmed;
      COVKVars::Replace(candidate, kDipVariable, e);
      const String file = OFLCommandLine(candidate, true, true).GetFilePath();
      if (auth != nullptr && !auth->AuthenticateOnDemandByConnecting(file)) continue;
      if (map_->Exists(file)) return e;
    }
  }
  return remaining.empty() ? String() : remaining.front();
}

String CDIPLocator::GetFirstDIP(const String& excluded) const {
  const std::vector<String> entries = Entries(dips_);
  if (excluded.empty()) return entries.empty() ? String() : entries.front();
  const String upper = OFL::ToUpper(excluded);
  for (const String& e : entries)
    if (upper.find(OFL::ToUpperAscii(e.front())) == String::npos) return e;
  return String();
}

String CDIPLocator::GetFirstUncDip(bool mustExist) const {
  for (const String& e : Entries(dips_))
    if (e.starts_with("\\\\") && (!mustExist || map_->Exists(e))) return e;
  return String();
}

bool CDIPLocator::IsBITSDip(const String& entry) { return OFL::StartsWithNoCase(entry, kBitsPrefix); }

String CDIPLocator::ResolveBitsDip(const String& entry) {
  return IsBITSDip(entry) ? entry.substr(kBitsPrefix.size()) : entry;
}

bool CDIPLocator::HasBITSDips() const {
  for (const String& e : Entries(dips_))
    if (IsBITSDip(e)) return true;
  return false;
}

bool CDIPLocator::HasJustBITSDips(const String& dips) {
  for (const String& e : Entries(dips))
    if (!IsBITSDip(e)) return false;
  return true;
}

String CDIPLocator::RemoveAllBitsDips() const {
  OFLTokenizer kept;
  for (const String& e : Entries(dips_))
    if (!IsBITSDip(e)) kept.AddString(e);
  return kept.AsString(";");
}

String CDIPLocator::ParseFilenameForKeyfile(const String& name) {
  String file = OFL::Trim(name);
  if (file.size() >= 2 && file.front() == '"' && file.back() == '"') file = file.substr(1, file.size() - 2);
  return StartsWithDip(file) ? file : String();
}

String CDIPLocator::ParseCommandLineForKeyfile(const String& commandLine) {
  for (const String& arg : OFLCommandLine::SplitArguments(commandLine)) {
    if (StartsWithDip(arg)) return arg;
    const size_t eq = arg.find('=');
    if (eq != String::npos && StartsWithDip(arg.substr(eq + 1))) return arg.substr(eq + 1);
  }
  return String();
}

String CDIPLocator::GetKeyFilePath(const String& path, bool quote) {
  const String folder = OFL::Tools::GetKeyFolder(path);
  return quote && folder.find(' ') != String::npos ? "\"" + folder + "\"" : folder;
}

String CDIPLocator::GetKeyFile(const OVOSoftwareApplication& app, bool install, const COVKVars& vars,
                               EKeyfileType& kind, bool withFiles) {
  struct Candidate {
    const String& text;
    bool isCommandLine;
    EKeyfileType kind;
  };
  const Candidate candidates[] = {
      {install ? app.GetInstallCommand() : app.GetUninstallCommand(), false, eKeyfileCommand},
      {install ? app.GetInstallParams() : app.GetUninstallParams(), true, eKeyfileParameters},
      {install ? app.GetInstallResponseFile() : app.GetUninstallResponseFile(), false, eKeyfileResponseFile},
      {install ? app.GetInstallEngineFile() : app.GetUninstallEngineFile(), false, eKeyfileEngineFile},
  };
  for (const Candidate& c : candidates) {
    String text = c.text;
    vars.PerformSubstitutions(text, COVKVars::SubstitutionDefault);
    const String key = c.isCommandLine ? ParseCommandLineForKeyfile(text) : ParseFilenameForKeyfile(text);
    if (!key.empty()) {
      kind = c.kind;
      return key;
    }
  }
  kind = eKeyfileNone;
  if (!withFiles || app.GetOption(kOptionNoKeyfileFromFiles)) return String();
  for (const OVOSoftwareFiles::FileEntry& entry : app.GetFiles().FileEntries()) {
    String key = ParseFilenameForKeyfile(entry.GetFileSource());
    if (key.empty()) continue;
    kind = entry.GetFileSourceType() == 2 ? eKeyfileFileType2 : eKeyfileFile;
    return key;
  }
  return String();
}

}  // namespace orvacmn
