// OVOSoftwareApplication::AutoDetermineFiles lives with the locator, on
// whose key files it rests.
#include <map>

#include "ofl/path_map.h"
#include "orvacmn/distribution/dip_locator.h"
#include "orvacmn/software/application.h"
#include "orvacmn/variables/ovk_vars.h"

namespace orvacmn {

void OVOSoftwareApplication::AutoDetermineFiles() {
  files_.DeleteListFileEntries();
  COVKVars vars;
  vars.AddVars(&vars_, true);

  // A path collected twice is held once, with the type of its last collection.
  std::map<String, OVOSoftwareFiles::EFileSourceType> candidates;
  const auto engineFile = [&](const String& file) {
    if (file.empty()) return;
    String path = file;
    vars.PerformSubstitutions(path, COVKVars::SubstitutionDefault);
    candidates[path] = static_cast<OVOSoftwareFiles::EFileSourceType>(2);
  };
  engineFile(GetInstallEngineFile());
  engineFile(GetUninstallEngineFile());
  for (const bool install : {true, false}) {
    CDIPLocator::EKeyfileType kind;
    const String folder = OFL::Tools::GetKeyFolder(CDIPLocator::GetKeyFile(*this, install, vars, kind, false));
    if (!folder.empty() && kind != CDIPLocator::eKeyfileEngineFile)
      candidates[folder] = static_cast<OVOSoftwareFiles::EFileSourceType>(0);
  }

  // Only paths on the distribution point or the server.
  for (const auto& [path, type] : candidates) {
    if (COVKVars::FindAndGivePos(path, CDIPLocator::kDipVariable) == 0 ||
        COVKVars::FindAndGivePos(path, "OVSPath;OrvalisPath;OVPPath") == 0 ||
        COVKVars::FindAndGivePos(path, "Server") == 0)
      files_.InsertFileEntry(path, type);
  }
}

}  // namespace orvacmn
