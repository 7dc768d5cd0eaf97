// Arbitrary text as a distribution-point list (first line), a path (second
// line) and dependency items (the other lines, "ITEM=DEP#DEP"): the choice
// is one of the entries (or empty), the BITS views agree with each other,
// and dependencies resolve to each item once, after what it needs, or name
// a cycle.
#include <map>
#include <memory>
#include <set>

#include "ofl/tokenizer.h"
#include "orvacmn/distribution.h"

#include "check.h"

FUZZ_TEXT(text) {
  const size_t first = std::min(text.find('\n'), text.size());
  const size_t second = std::min(text.find('\n', first + 1), text.size());
  const std::string dips = text.substr(0, first);
  const std::string path = first < text.size() ? text.substr(first + 1, second - first - 1) : std::string();

  auto map = std::make_shared<OFL::PathMap>();
  map->AddMapping("\\\\srv\\kits=/nonexistent/kits");
  map->AddMapping("CDROM=/nonexistent/cd");
  map->SetProbeLimit(std::chrono::milliseconds(0));
  orvacmn::CDIPLocator locator(dips);
  locator.SetPathMap(map);
  const OFLTokenizer entries(dips, ";");
  // The entries, and those with the one CD-ROM drive put in.
  std::set<std::string> allowed{""};
  for (const std::string& e : entries) {
    std::string drive = e;
    orvacmn::COVKVars::Replace(drive, orvacmn::CDIPLocator::kCdromVariable, "D:");
    allowed.insert(e);
    allowed.insert(drive);
  }
  for (int cdrom : {0, 1}) Check(allowed.count(locator.GetDIP(path, cdrom, nullptr)) == 1, "the choice is no entry");
  const std::string kept = locator.RemoveAllBitsDips();
  Check(locator.HasJustBITSDips() == kept.empty(), "only BITS entries, yet some kept");
  Check(locator.HasBITSDips() == (OFLTokenizer(kept, ";").GetCount() < entries.GetCount()), "BITS entries counted");
  const std::string firstDip = locator.GetFirstDIP(path);
  Check(firstDip.empty() || entries.FindString(firstDip, true) >= 0, "first entry is no entry");

  orvacmn::CDependencies deps;
  // An item named with the separator "#", or with no name, cannot be told
  // from its dependencies once its entry is split again.
  bool ambiguous = false;
  for (size_t pos = second + 1; pos < text.size();) {
    const size_t end = std::min(text.find('\n', pos), text.size());
    const std::string line = text.substr(pos, end - pos);
    const size_t eq = line.find('=');
    const std::string item = line.substr(0, eq);
    ambiguous = ambiguous || item.empty() || item.find('#') != std::string::npos;
    deps.SetDependencies(item, eq == std::string::npos ? std::string() : line.substr(eq + 1));
    pos = end + 1;
  }
  std::string order, error;
  if (deps.ResolveDependencies(order, error) < 0) {
    Check(!error.empty(), "a cycle without its error");
    return;
  }
  Check(error.empty(), "an error without a cycle");
  if (deps.GetCount() == 0 || ambiguous) return;
  std::map<std::string, int, OFL::LessNoCase> position;
  const OFLTokenizer resolved(order, "#");  // a range over a temporary's member would dangle
  for (const std::string& name : resolved.Items()) position.emplace(name, int(position.size()));
  for (int i = 0; i < deps.GetCount(); ++i) {
    const OFLTokenizer entry(deps.GetEntry(i), "#");
    if (entry.GetCount() == 0) continue;
    for (int k = 1; k < entry.GetCount(); ++k)
      if (position.count(entry[0]) && position.count(entry[k]))
        Check(position[entry[k]] < position[entry[0]], "an item before what it needs");
  }
}
