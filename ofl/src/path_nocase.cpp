// Case-insensitive lookups of Windows-style names on the local file system.
#include "ofl/path_nocase.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "ofl/tools.h"

namespace OFL {
namespace Files {
namespace {

struct DirCloser {
  void operator()(DIR* d) const { ::closedir(d); }
};

enum class Kind { kFile, kDirectory, kOther };

Kind KindOf(const String& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return Kind::kOther;
  if (S_ISREG(st.st_mode)) return Kind::kFile;
  return S_ISDIR(st.st_mode) ? Kind::kDirectory : Kind::kOther;
}

// Every entry name of `dir` but "." and "..".
std::vector<String> Entries(const String& dir) {
  std::vector<String> names;
  std::unique_ptr<DIR, DirCloser> d(::opendir(dir.empty() ? "." : dir.c_str()));
  if (!d) return names;
  while (const dirent* e = ::readdir(d.get())) {
    const std::string_view name(e->d_name);
    if (name != "." && name != "..") names.emplace_back(name);
  }
  return names;
}

void SortNames(std::vector<String>& names) {
  std::sort(names.begin(), names.end(), [](const String& a, const String& b) {
    const int c = CompareNoCase(a, b);
    return c != 0 ? c < 0 : a < b;
  });
}

}  // namespace

String JoinPath(std::string_view dir, std::string_view name) {
  String out(dir);
  if (!out.empty() && out.back() != '/') out += '/';
  out.append(name);
  return out;
}

String DirectoryOf(std::string_view path) {
  const size_t sep = path.find_last_of("/\\");
  if (sep == std::string_view::npos) return String();
  return String(path.substr(0, sep == 0 ? 1 : sep));
}

const String* DirectoryListings::FindNoCase(const String& dir, std::string_view name) {
  auto [it, added] = dirs_.try_emplace(dir);
  if (added)
    for (String& entry : Entries(dir)) {
      const auto [slot, fresh] = it->second.try_emplace(entry, entry);
      if (!fresh && entry < slot->second) slot->second = std::move(entry);
    }
  const auto found = it->second.find(name);
  return found == it->second.end() ? nullptr : &found->second;
}

String ResolvePathNoCase(const String& dir, std::string_view relative, DirectoryListings* listings) {
  if (relative.empty() || relative.front() == '/' || relative.front() == '\\' ||
      (relative.size() >= 2 && relative[1] == ':') || relative.find('\0') != std::string_view::npos)
    return String();
  String current = dir.empty() ? String(".") : dir;
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = relative.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = relative.size();
    const std::string_view part = relative.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    if (part == "." || part == "..") {
      current = JoinPath(current, part);
      continue;
    }
    String exact = JoinPath(current, part);
    if (KindOf(exact) != Kind::kOther) {
      current = std::move(exact);
      continue;
    }
    String found;
    if (listings != nullptr) {
      if (const String* name = listings->FindNoCase(current, part)) found = *name;
    } else if (std::unique_ptr<DIR, DirCloser> d(::opendir(current.c_str())); d) {
      while (const dirent* e = ::readdir(d.get())) {
        const std::string_view name(e->d_name);
        if (EqualsNoCase(name, part) && (found.empty() || name < found)) found = name;
      }
    }
    if (found.empty()) return String();
    current = JoinPath(current, found);
  }
  return KindOf(current) == Kind::kOther ? String() : current;
}

std::vector<String> FindFiles(const String& dir, std::string_view pattern) {
  std::vector<String> names;
  for (String& name : Entries(dir))
    if (Tools::MatchPattern(name, pattern) && KindOf(JoinPath(dir, name)) == Kind::kFile)
      names.push_back(std::move(name));
  SortNames(names);
  return names;
}

std::vector<String> FindDirectories(const String& dir) {
  std::vector<String> names;
  for (String& name : Entries(dir))
    if (KindOf(JoinPath(dir, name)) == Kind::kDirectory) names.push_back(std::move(name));
  SortNames(names);
  return names;
}

}  // namespace Files
}  // namespace OFL
