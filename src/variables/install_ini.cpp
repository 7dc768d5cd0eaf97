// Variables from the agent's install.ini.
#include "ofl/profile.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/variables/ovk_vars.h"

namespace orvacmn {

namespace {

constexpr uint32_t kErrorFileNotFound = 2;
constexpr size_t kProfileBufferSize = 65536;

struct IniKey {
  const char* section;
  const char* key;
  const char* names;
};

constexpr IniKey kInstallIniKeys[] = {
    {"Network", "Server", "Server"},
    {"Network", "DIP", "DIP;KitsServer;Depot"},
    {"Network", "Domain", "Domain"},
    {"Machine", "ComputerName", "Client;Machine"},
    {"Machine", "GroupName", "Group"},
    {"Software", "DestinationPath", "InstallTargetPath"},
    {"Software", "License", "License;Licence"},
};

constexpr const char* kVariableSections[] = {"Custom", "OVSVars"};

}  // namespace

uint32_t COVKVars::AddVarsFromInstallIni(const String& path, CVariableType type) {
  // The module path is a directory of this platform, joined with "/".
  String file = path.empty() ? OFLTools::GetModulePath() + "/install.ini" : path;
  PerformSubstitutions(file, SubstitutionDefault);
  if (!OFL::Tools::FileExists(file)) return kErrorFileNotFound;

  for (const IniKey& k : kInstallIniKeys) {
    const String value = OFL::Profile::GetString(file, k.section, k.key, String(), kProfileBufferSize);
    if (!value.empty()) AddVar(k.names, value, false, true, type, false);
  }
  for (const char* section : kVariableSections) {
    const String lines = OFL::Profile::GetSection(file, section, kProfileBufferSize);
    if (!lines.empty()) AddVarsFromIniSection(lines, true, type);
  }
  return 0;
}

void COVKVars::AddVarsFromIniSection(const String& section, bool custom, CVariableType type) {
  OFLTokenizer lines;
  lines.AddDoubleNullTerminatedArray(section);
  for (const String& line : lines) {
    const size_t eq = line.find('=');
    if (eq == String::npos)
      AddVar(OFL::Trim(line), String(), custom, true, type, false);
    else
      AddVar(OFL::Trim(std::string_view(line).substr(0, eq)), OFL::Trim(std::string_view(line).substr(eq + 1)),
             custom, true, type, false);
  }
}

}  // namespace orvacmn
