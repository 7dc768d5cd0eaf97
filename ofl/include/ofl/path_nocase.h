// Windows paths inside driver packages, found on a case-sensitive file
// system: a package names "NETKVM.CAT" and ships "netkvm.cat", and a search
// for "*.inf" must find "SETUP.INF". Names are compared ignoring ASCII case;
// an exact match is preferred when a directory holds several candidates.
//
// Stateless; any thread.
#ifndef OFL_PATH_NOCASE_H_
#define OFL_PATH_NOCASE_H_

#include <string_view>
#include <unordered_map>
#include <vector>

#include "ofl/string.h"

namespace OFL {
namespace Files {

// Directory listings kept by a caller that resolves many names under the
// same few directories (a search over a package tree), so that each
// directory is read once instead of once per name. Never refreshed: use one
// per search. One thread at a time.
class DirectoryListings {
 public:
  // The entry of `dir` that equals `name` ignoring case (of several, the
  // smallest), or null.
  const String* FindNoCase(const String& dir, std::string_view name);

 private:
  std::unordered_map<String, std::unordered_map<String, String, HashNoCase, EqualNoCase>> dirs_;
};

// The existing path that `relative` (separators "\" or "/", "." and ".."
// allowed) names under the directory `dir`, each component matched ignoring
// case. Empty when a component cannot be found, or `relative` is empty,
// absolute or names a drive. `listings`, when given, answers for the
// directories it has read.
String ResolvePathNoCase(const String& dir, std::string_view relative, DirectoryListings* listings = nullptr);

// Names of the regular files (links followed) directly in `dir` whose names
// match `pattern` (Tools::MatchPattern: "*" and "?", case ignored), sorted
// ignoring case. Empty when `dir` cannot be read.
std::vector<String> FindFiles(const String& dir, std::string_view pattern);
// Names of the sub-directories of `dir` ("." and ".." left out), sorted the
// same way.
std::vector<String> FindDirectories(const String& dir);

// `dir` and `name` joined with one "/".
String JoinPath(std::string_view dir, std::string_view name);
// The directory part of a path ("/" and "\" both separate); empty for a
// bare name.
String DirectoryOf(std::string_view path);

}  // namespace Files
}  // namespace OFL

#endif  // OFL_PATH_NOCASE_H_
