// Reads arbitrary text as a profile, asking for the sections and keys that
// the text itself names. GetSection and GetString must agree with each other,
// and every buffer size must give a cut-down form of the full result.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "ofl/profile.h"
#include "ofl/string.h"

#include "check.h"

namespace {

using OFL::String;

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

std::vector<String> SplitList(const String& list) {
  std::vector<String> lines;
  if (list.empty()) return lines;
  Check(list.size() >= 2 && list[list.size() - 1] == '\0' && list[list.size() - 2] == '\0');
  size_t pos = 0;
  while (pos + 1 < list.size()) {
    const size_t nul = list.find('\0', pos);
    Check(nul > pos);  // no empty lines
    lines.push_back(list.substr(pos, nul - pos));
    pos = nul + 1;
  }
  return lines;
}

// Section and key names as the text writes them, a few of each.
void CollectNames(std::string_view text, std::vector<String>& sections, std::vector<String>& keys) {
  size_t pos = 0;
  while (pos < text.size() && (sections.size() < 4 || keys.size() < 4)) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    const size_t open = line.find('[');
    const size_t eq = line.find('=');
    if (open != std::string_view::npos && sections.size() < 4) {
      sections.emplace_back(OFL::Trim(line.substr(open + 1, line.find(']', open) - open - 1)));
    } else if (eq != std::string_view::npos && keys.size() < 4) {
      keys.emplace_back(OFL::Trim(line.substr(0, eq)));
    }
    pos = end + 1;
  }
  sections.emplace_back("");
  keys.emplace_back("");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const String text(reinterpret_cast<const char*>(data), size);
  std::vector<String> sections, keys;
  CollectNames(text, sections, keys);
  const String fallback = "\x01-fallback";
  const size_t small = size > 0 ? data[0] % 40 : 5;

  for (const String& section : sections) {
    const String list = OFL::Profile::GetSectionFromText(text, section, text.size() + 2);
    const std::vector<String> lines = SplitList(list);

    // Every "key=value" line is what GetString gives for the first key of
    // that name; later lines with the same key are shadowed.
    std::vector<String> seen;
    for (const String& line : lines) {
      const size_t eq = line.find('=');
      if (eq == String::npos) continue;
      const String key = line.substr(0, eq);
      bool shadowed = false;
      for (const String& s : seen) shadowed = shadowed || OFL::EqualsNoCase(s, key);
      if (shadowed) continue;
      seen.push_back(key);
      const String value = OFL::Profile::GetStringFromText(text, section, key, fallback, text.size() + 2);
      Check(value == Unquote(std::string_view(line).substr(eq + 1)));
    }

    for (const String& key : keys) {
      const String full = OFL::Profile::GetStringFromText(text, section, key, fallback, text.size() + 16);
      bool listed = false;
      for (const String& s : seen) listed = listed || OFL::EqualsNoCase(s, key);
      if (!listed) Check(full == fallback);
      for (size_t bufferSize : {size_t(0), size_t(1), size_t(2), small}) {
        const String cut = OFL::Profile::GetStringFromText(text, section, key, fallback, bufferSize);
        Check(cut == full.substr(0, bufferSize == 0 ? 0 : bufferSize - 1));
      }
      (void)OFL::Profile::GetStringFromText(text, section, key);
    }

    // A smaller buffer keeps whole lines, then perhaps a cut one.
    for (size_t bufferSize : {size_t(0), size_t(2), size_t(3), small, size_t(65536)}) {
      const String cut = OFL::Profile::GetSectionFromText(text, section, bufferSize);
      Check(cut.size() <= bufferSize);
      if (cut.empty()) continue;
      SplitList(cut);
      Check(list.compare(0, cut.size() - 2, cut, 0, cut.size() - 2) == 0);
    }
  }
  return 0;
}
