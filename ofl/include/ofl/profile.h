// Profile (INI) files, read the way the platform's profile functions read
// them: sections and keys are matched ignoring case, values are trimmed, the
// first of repeated sections and keys wins, lines starting with ";" are
// comments. Texts longer than a buffer are cut to buffer size minus one.
#ifndef OFL_PROFILE_H_
#define OFL_PROFILE_H_

#include <cstddef>
#include <string_view>
#include <unordered_map>

#include "ofl/string.h"

namespace OFL {
namespace Profile {

// Value of `key` in `section` of the file at `path`; `fallback` when the file,
// section or key is absent.
String GetString(const String& path, const String& section, const String& key,
                 const String& fallback = String(), size_t bufferSize = 65536);
// The lines of `section` ("key=value" as written, comments left out) as a
// double-NUL-terminated list: each line followed by NUL, then one more NUL.
// Empty when the file or section is absent or the section has no lines.
String GetSection(const String& path, const String& section, size_t bufferSize = 65536);

// The same over a text already in memory.
String GetStringFromText(const String& text, const String& section, const String& key,
                         const String& fallback = String(), size_t bufferSize = 65536);
String GetSectionFromText(const String& text, const String& section, size_t bufferSize = 65536);

// The sections of one profile text, found in one pass, for callers that
// take many sections from a text (a package of thousands of steps): each
// lookup then reads only its own lines. GetSection gives what
// GetSectionFromText gives; `cut`, when given, tells whether lines were
// left out or cut for want of room. Keeps its own copy of the text; const
// operations may run on several threads at once.
class Index {
 public:
  explicit Index(String text);
  String GetSection(std::string_view section, size_t bufferSize = 65536, bool* cut = nullptr) const;
  bool HasSection(std::string_view section) const { return sections_.count(section) != 0; }

 private:
  String text_;
  // The first section of each name (case ignored): where its lines begin.
  std::unordered_map<String, size_t, HashNoCase, EqualNoCase> sections_;
};

}  // namespace Profile
}  // namespace OFL

#endif  // OFL_PROFILE_H_
