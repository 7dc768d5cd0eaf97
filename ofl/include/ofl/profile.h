// Profile (INI) files, read the way the platform's profile functions read
// them: sections and keys are matched ignoring case, values are trimmed, the
// first of repeated sections and keys wins, lines starting with ";" are
// comments. Texts longer than a buffer are cut to buffer size minus one.
#ifndef OFL_PROFILE_H_
#define OFL_PROFILE_H_

#include <cstddef>

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

}  // namespace Profile
}  // namespace OFL

#endif  // OFL_PROFILE_H_
