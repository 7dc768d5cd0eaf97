// Arbitrary text as a deploy package file, read in a dry run with nothing
// mapped: reading ends, the result lines begin with the package's and name
// each step, and every line splits into a key and a value that hold no
// blanks at their ends.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>

#include "orvacmn/distribution.h"

#include "check.h"

namespace {

// One file per fuzzing process, rewritten for each input.
const std::string& PackagePath() {
  static const std::string path = "/tmp/fuzz-package-" + std::to_string(::getpid()) + ".ini";
  return path;
}

}  // namespace

FUZZ_TEXT(text) {
  {
    std::ofstream out(PackagePath(), std::ios::binary | std::ios::trunc);
    out << text;
  }
  orvacmn::CPackage package(PackagePath());
  package.SetPathMap(std::make_shared<OFL::PathMap>());
  package.SetDIPs("\\\\srv\\kits;{CDROM}");
  package.SetRegistryFolder("/nonexistent/fuzz-registry");
  package.SetDryRun(true);
  package.GetSubstitutionVars().AddVar("Name", "value", false, false, orvacmn::CVariableType::Runtime, false);
  const uint32_t result = package.InstallPackage(1);
  const OFLTokenizer& results = package.GetResults();
  Check(results.GetCount() >= 1 && results[0] == "Reading package " + PackagePath(), "first result line");
  if (result == 0) {
    int steps = 0;
    for (const std::string& line : results) steps += line.rfind("Dry run: ", 0) == 0;
    Check(steps == package.GetActions().GetCount(), "one dry-run line per step");
  } else {
    Check(results[results.GetCount() - 1].rfind("Step: ", 0) == 0, "a failure names its step");
  }

  for (size_t pos = 0; pos < text.size() && pos < 4096;) {
    const size_t end = std::min(text.find('\n', pos), text.size());
    std::string key, value;
    orvacmn::CPackage::AnalyzeLine(text.substr(pos, end - pos), key, value, '=');
    Check(key.find('=') == std::string::npos, "the key holds the separator");
    pos = end + 1;
  }
}
