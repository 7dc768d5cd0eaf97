// Windows paths on this machine: the mapping of shares, drives and CD-ROM
// drives to local folders, and the strict resolution of paths through it.
#include "ofl/path_map.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "ofl/path_nocase.h"
#include "ofl/time_limit.h"

namespace OFL {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The names of `rest` between separators, "." and empty ones dropped.
std::vector<String> Names(std::string_view rest) {
  std::vector<String> names;
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = start;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    const std::string_view name = rest.substr(start, end - start);
    if (!name.empty() && name != ".") names.emplace_back(name);
    start = end + 1;
  }
  return names;
}

// Root token ("\\server" or "X:") followed by the names of the path.
PathMap::Status Split(std::string_view path, std::vector<String>& parts) {
  parts.clear();
  if (path.find('\0') != std::string_view::npos) return PathMap::Status::kInvalid;
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    std::vector<String> names = Names(path.substr(2));
    // A server and a share, the server right after the two separators.
    if (names.size() < 2 || names[0] == ".." || names[1] == ".." || (path.size() > 2 && IsSeparator(path[2])))
      return PathMap::Status::kNotWindowsPath;
    parts.push_back("\\\\" + names[0]);
    parts.insert(parts.end(), std::make_move_iterator(names.begin() + 1), std::make_move_iterator(names.end()));
  } else if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':') {
    parts.push_back({ToUpperAscii(path[0]), ':'});
    std::vector<String> names = Names(path.substr(2));
    parts.insert(parts.end(), std::make_move_iterator(names.begin()), std::make_move_iterator(names.end()));
  } else {
    return PathMap::Status::kNotWindowsPath;
  }
  for (size_t i = 1; i < parts.size(); ++i)
    if (parts[i].find(':') != String::npos) return PathMap::Status::kInvalid;
  return PathMap::Status::kOk;
}

// "\040" and the like, as the mount table writes blanks and backslashes.
String DecodeOctal(std::string_view field) {
  const auto digit = [&](size_t k) { return field[k] >= '0' && field[k] <= '7'; };
  String out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && digit(i + 1) && digit(i + 2) && digit(i + 3)) {
      out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

bool SameNames(const std::vector<String>& a, const std::vector<String>& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](const String& x, const String& y) { return EqualsNoCase(x, y); });
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

String WithoutTrailingSlash(std::string_view dir) {
  String out(dir);
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

bool IsExisting(const String& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

String RealPath(const String& path) {
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
  return real ? String(real.get()) : String();
}

}  // namespace

PathMap PathMap::ForThisMachine() {
  PathMap map;
  std::ifstream in("/proc/mounts");
  const String table((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  map.AddMounts(table);
  return map;
}

std::shared_ptr<const PathMap> PathMap::Machine() {
  static const std::shared_ptr<const PathMap> map = std::make_shared<const PathMap>(ForThisMachine());
  return map;
}

void PathMap::AddMounts(std::string_view table) {
  size_t start = 0;
  while (start < table.size()) {
    size_t end = table.find('\n', start);
    if (end == std::string_view::npos) end = table.size();
    const std::vector<std::string_view> f = Fields(table.substr(start, end - start));
    start = end + 1;
    if (f.size() < 3) continue;
    const String device = DecodeOctal(f[0]), mountPoint = WithoutTrailingSlash(DecodeOctal(f[1]));
    if (mountPoint.empty() || mountPoint.front() != '/') continue;
    if (f[2] == "iso9660" || f[2] == "udf") {
      mountedCdroms_.push_back(mountPoint);
    } else if (f[2] == "cifs" || f[2] == "smb3" || f[2] == "smbfs") {
      std::vector<String> parts;
      if (device.size() > 2 && device[0] == '/' && device[1] == '/' && Split(device, parts) == Status::kOk)
        AddShare(std::move(parts), mountPoint, false);
    }
  }
}

bool PathMap::AddMapping(std::string_view mapping, String* error) {
  const size_t eq = mapping.find('=');
  if (eq == std::string_view::npos) {
    if (error) *error = "expected FROM=TO: " + String(mapping);
    return false;
  }
  return AddMapping(mapping.substr(0, eq), mapping.substr(eq + 1), error);
}

bool PathMap::AddMapping(std::string_view from, std::string_view to, String* error) {
  const String source = Trim(from), target = WithoutTrailingSlash(Trim(to));
  const auto fail = [&](const String& why) {
    if (error) *error = why;
    return false;
  };
  if (target.empty() || target.front() != '/' || target.find('\0') != String::npos)
    return fail("the target of a mapping must be an absolute local folder: " + String(to));
  if (EqualsNoCase(source, "CDROM")) {
    callerCdroms_.push_back(target);
    return true;
  }
  std::vector<String> parts;
  if (Split(source, parts) != Status::kOk || std::find(parts.begin(), parts.end(), "..") != parts.end() ||
      (parts[0].front() == '\\' && parts.size() < 2))
    return fail("a mapping maps \\\\server\\share, a drive X: or CDROM, not: " + String(from));
  AddShare(std::move(parts), target, true);
  return true;
}

void PathMap::AddShare(std::vector<String> from, String to, bool byCaller) {
  for (Mapping& m : mappings_) {
    if (!SameNames(m.from, from)) continue;
    // The caller's mapping replaces the mount table's and its own earlier
    // one; of two mounts of one share the first stays.
    if (byCaller) m = {std::move(from), std::move(to), true};
    return;
  }
  mappings_.push_back({std::move(from), std::move(to), byCaller});
}

std::vector<String> PathMap::CdromRoots() const { return callerCdroms_.empty() ? mountedCdroms_ : callerCdroms_; }

std::vector<PathMap::Drive> PathMap::GetLogicalDrives() const {
  std::vector<Drive> drives;
  bool taken[26] = {};
  for (const Mapping& m : mappings_) {
    if (m.from[0].front() == '\\') continue;
    taken[m.from[0][0] - 'A'] = true;
    if (m.from.size() == 1) drives.push_back({m.from[0], m.to, DriveType::kFixed});
  }
  int letter = 'D' - 'A';
  for (const String& root : CdromRoots()) {
    while (letter < 26 && taken[letter]) ++letter;
    if (letter >= 26) break;
    taken[letter] = true;
    drives.push_back({String{char('A' + letter), ':'}, root, DriveType::kCdrom});
  }
  std::sort(drives.begin(), drives.end(), [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
  return drives;
}

std::vector<String> PathMap::GetCdromDrives() const {
  std::vector<Drive> drives = GetLogicalDrives();
  std::vector<String> letters;
  // In mount order: the order of their roots, which got letters in that order.
  for (const Drive& d : drives)
    if (d.type == DriveType::kCdrom) letters.push_back(d.letter);
  return letters;
}

bool PathMap::IsWindowsPath(std::string_view path) {
  return (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) ||
         (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':');
}

PathMap::Status PathMap::Locate(std::string_view path, Landing& landing) const {
  std::vector<String> parts;
  if (const Status s = Split(path, parts); s != Status::kOk) return s;
  const Mapping* best = nullptr;
  for (const Mapping& m : mappings_) {
    if (m.from.size() > parts.size() || (best && m.from.size() <= best->from.size())) continue;
    bool match = true;
    for (size_t i = 0; i < m.from.size() && match; ++i) match = EqualsNoCase(m.from[i], parts[i]);
    if (match) best = &m;
  }
  size_t used = 0;
  if (best) {
    landing.root = best->to;
    used = best->from.size();
  } else {
    if (parts[0].front() == '\\') return Status::kUnmapped;
    const std::vector<Drive> drives = GetLogicalDrives();
    const auto drive =
        std::find_if(drives.begin(), drives.end(), [&](const Drive& d) { return d.letter == parts[0]; });
    if (drive == drives.end()) return Status::kUnmapped;
    landing.root = drive->root;
    used = 1;
  }
  landing.names.clear();
  for (size_t i = used; i < parts.size(); ++i) {
    if (parts[i] != "..") {
      landing.names.push_back(std::move(parts[i]));
    } else if (landing.names.empty()) {
      return Status::kOutsideRoot;
    } else {
      landing.names.pop_back();
    }
  }
  return Status::kOk;
}

PathMap::Status PathMap::OnDisk(const Landing& landing, String& local) {
  String current = landing.root, existing;
  bool exists = IsExisting(current);
  if (exists) existing = current;
  Files::DirectoryListings listings;
  for (const String& name : landing.names) {
    if (exists) {
      String exact = Files::JoinPath(current, name);
      if (IsExisting(exact)) {
        current = std::move(exact);
      } else if (const String* found = listings.FindNoCase(current, name)) {
        current = Files::JoinPath(current, *found);
      } else {
        exists = false;
        current = std::move(exact);
        continue;
      }
      existing = current;
    } else {
      current = Files::JoinPath(current, name);
    }
  }
  // A link inside the mapped folder may not lead out of it.
  if (!existing.empty() && existing != landing.root) {
    const String root = RealPath(landing.root), real = RealPath(existing);
    if (!real.empty() && !root.empty() && real != root &&
        !(real.compare(0, root.size(), root) == 0 && (root == "/" || real[root.size()] == '/')))
      return Status::kOutsideRoot;
  }
  local = std::move(current);
  return Status::kOk;
}

PathMap::Status PathMap::Resolve(std::string_view path, String& local) const {
  Landing landing;
  if (const Status s = Locate(path, landing); s != Status::kOk) return s;
  return OnDisk(landing, local);
}

bool PathMap::Exists(std::string_view path, std::chrono::milliseconds limit) const {
  Landing landing;
  if (Locate(path, landing) != Status::kOk) return false;
  auto probe = [landing] {
    String local;
    struct stat st;
    return OnDisk(landing, local) == Status::kOk && ::stat(local.c_str(), &st) == 0;
  };
  if (limit.count() <= 0) return probe();
  return RunWithTimeLimit(std::move(probe), limit).value_or(false);
}

String PathMap::StatusText(Status status, std::string_view path) {
  const String p = String("[").append(path).append("]");
  switch (status) {
    case Status::kOk: return String();
    case Status::kNotWindowsPath: return p + " is not a Windows path (\\\\server\\share or a drive letter)";
    case Status::kUnmapped: return p + " lies on no mapped share or drive";
    case Status::kOutsideRoot: return p + " leads outside its mapped folder";
    case Status::kInvalid: return p + " is not a valid path";
  }
  return p;
}

String Tools::GetKeyFolder(std::string_view path) {
  String p = Trim(path);
  if (p.size() >= 2 && p.front() == '"' && p.back() == '"') p = p.substr(1, p.size() - 2);
  const size_t sep = p.rfind('\\');
  return sep == String::npos ? String() : p.substr(0, sep);
}

}  // namespace OFL
