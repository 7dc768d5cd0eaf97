// Arbitrary text as a profile, asked for the sections and keys it names itself: GetSection and GetString agree
// with each other, and every buffer size gives a cut-down form of the full result.
#include <algorithm>
#include <set>
#include <vector>

#include "ofl/profile.h"
#include "ofl/string.h"

#include "check.h"

namespace {

using OFL::String;

// A section list: lines, each ended by a NUL, none empty, and one more NUL.
std::vector<String> SplitList(const String& list) {
  Check(list.empty() || list.ends_with(String(2, '\0')));
  std::vector<String> lines;
  for (size_t pos = 0, nul; pos + 1 < list.size(); pos = nul + 1) {
    nul = list.find('\0', pos);
    Check(nul > pos);
    lines.push_back(list.substr(pos, nul - pos));
  }
  return lines;
}

}  // namespace

FUZZ_TEXT(text) {
  // The empty name and up to four section and key names as the text writes them.
  std::vector<String> sections{""}, keys{""};
  for (size_t pos = 0, end; pos < text.size() && (sections.size() < 5 || keys.size() < 5); pos = end + 1) {
    end = std::min(text.find('\n', pos), text.size());
    const std::string_view line = std::string_view(text).substr(pos, end - pos);
    const size_t open = line.find('['), eq = line.find('=');
    if (open != line.npos && sections.size() < 5)
      sections.push_back(OFL::Trim(line.substr(open + 1, line.find(']', open) - open - 1)));
    else if (eq != line.npos && keys.size() < 5)
      keys.push_back(OFL::Trim(line.substr(0, eq)));
  }
  const String fallback = "\x01-fallback";
  const size_t small = text.empty() ? 5 : uint8_t(text[0]) % 40;

  for (const String& section : sections) {
    const String list = OFL::Profile::GetSectionFromText(text, section, text.size() + 2);
    // Every "key=value" line is what GetString gives, unquoted, for the first key of that name; later lines with
    // the same key are shadowed.
    std::set<String, OFL::LessNoCase> seen;
    for (const String& line : SplitList(list)) {
      const size_t eq = line.find('=');
      if (eq == String::npos || !seen.insert(line.substr(0, eq)).second) continue;
      const std::string_view v = std::string_view(line).substr(eq + 1);
      const bool quoted = v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0];
      Check(OFL::Profile::GetStringFromText(text, section, line.substr(0, eq), fallback, text.size() + 2) ==
            (quoted ? v.substr(1, v.size() - 2) : v));
    }
    for (const String& key : keys) {
      const String full = OFL::Profile::GetStringFromText(text, section, key, fallback, text.size() + 16);
      Check(full == fallback || seen.contains(key));
      for (size_t bufferSize : {size_t(0), size_t(1), size_t(2), small})
        Check(OFL::Profile::GetStringFromText(text, section, key, fallback, bufferSize) ==
              full.substr(0, std::max<size_t>(bufferSize, 1) - 1));
      (void)OFL::Profile::GetStringFromText(text, section, key);
    }
    // A smaller buffer keeps whole lines, then perhaps a cut one.
    for (size_t bufferSize : {size_t(0), size_t(2), size_t(3), small, size_t(65536)}) {
      const String cut = OFL::Profile::GetSectionFromText(text, section, bufferSize);
      SplitList(cut);
      Check(cut.size() <= bufferSize && (cut.empty() || list.compare(0, cut.size() - 2, cut, 0, cut.size() - 2) == 0));
    }
  }
}
