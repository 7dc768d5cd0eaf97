// The registry stand-in: hives as text files, changed under a lock and
// replaced by a rename.
#include "ofl/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ofl/error_message.h"
#include "ofl/tools.h"

namespace {

using OFL::String;

constexpr uint32_t kBadDatabase = 1009, kCannotWrite = 1013;
constexpr std::string_view kHeader = "orvacmn-registry 1";

struct RootName {
  const char* shortName;
  const char* longName;
};
constexpr RootName kRoots[] = {{"HKLM", "HKEY_LOCAL_MACHINE"},
                               {"HKCU", "HKEY_CURRENT_USER"},
                               {"HKU", "HKEY_USERS"},
                               {"HKCR", "HKEY_CLASSES_ROOT"},
                               {"HKCC", "HKEY_CURRENT_CONFIG"}};

// The lower-case key of a path; false for an empty name inside it.
bool NormalizedKey(std::string_view path, String& key, String* written = nullptr) {
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  if (path.find("\\\\") != std::string_view::npos || path.find('\0') != std::string_view::npos) return false;
  key = OFL::ToLower(path);
  if (written) written->assign(path);
  return true;
}

// "%", tab, line ends and NUL as "%XX", so every line holds one record.
String Escape(std::string_view text) {
  String out;
  for (char c : text) {
    if (c == '%' || c == '\t' || c == '\n' || c == '\r' || c == '\0') {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", static_cast<unsigned char>(c));
      out += buf;
    } else {
      out += c;
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Unescape(std::string_view text, String& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    const int high = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1, low = high >= 0 ? HexDigit(text[i + 2]) : -1;
    if (low < 0) return false;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (true) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

// An flock held for the lifetime of the object; not held when the lock file
// cannot be opened.
class FileLock {
 public:
  FileLock(const String& path, int operation) : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
    if (fd_ >= 0) {
      while (::flock(fd_, operation) != 0 && errno == EINTR) {
      }
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_;
};

uint32_t ReadHive(const String& path, OFLRegistry::Hive& hive) {
  hive = OFLRegistry::Hive();
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? kBadDatabase : 0;
  }
  // Stream reads, unlike a stream buffer iterator, report a failed read (a
  // folder in the hive's place) through the state bits instead of throwing.
  String text;
  char buf[16384];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) text.append(buf, static_cast<size_t>(in.gcount()));
  return !in.bad() && hive.Parse(text) ? 0 : kBadDatabase;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

uint32_t WriteHive(const String& path, const OFLRegistry::Hive& hive) {
  const String temp = path + ".tmp." + std::to_string(::getpid());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return kCannotWrite;
  const bool written = WriteAll(fd, hive.Serialize()) && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !written || ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return kCannotWrite;
  }
  return 0;
}

}  // namespace

String OFLRegistry::Value::GetDataText() const { return type == kDWord ? OFLTools::ULToA(dword) : text; }

uint32_t OFLRegistry::Hive::CreateKey(std::string_view path) {
  String key, written;
  if (!NormalizedKey(path, key, &written)) return OFL::Win32::kInvalidParameter;
  // Every key above it, from the top; each keeps the case it first had.
  for (size_t end = 0; end != String::npos;) {
    end = key.find('\\', end + 1);
    const String part = key.substr(0, end);
    if (keys_.find(part) == keys_.end()) {
      keys_.emplace(part, Key{written.substr(0, end), {}});
      modified_ = true;
    }
  }
  return 0;
}

bool OFLRegistry::Hive::HasKey(std::string_view path) const {
  String key;
  return NormalizedKey(path, key) && (key.empty() || keys_.count(key) != 0);
}

OFLRegistry::Value* OFLRegistry::Hive::FindValue(std::string_view path, std::string_view name, uint32_t& status) {
  String key;
  status = OFL::Win32::kFileNotFound;
  if (!NormalizedKey(path, key)) return nullptr;
  auto it = keys_.find(key);
  if (it == keys_.end()) {
    if (!key.empty()) return nullptr;
    it = keys_.emplace(key, Key{}).first;
  }
  status = 0;
  auto& values = it->second.values;
  auto v = std::find_if(values.begin(), values.end(), [&](const Value& x) { return OFL::EqualsNoCase(x.name, name); });
  if (v != values.end()) return &*v;
  values.emplace_back().name.assign(name);
  return &values.back();
}

uint32_t OFLRegistry::Hive::SetStringValue(std::string_view key, std::string_view name, std::string_view value) {
  uint32_t status;
  Value* v = FindValue(key, name, status);
  if (!v) return status;
  v->type = kString;
  v->text.assign(value);
  v->dword = 0;
  modified_ = true;
  return 0;
}

uint32_t OFLRegistry::Hive::SetDWordValue(std::string_view key, std::string_view name, uint32_t value) {
  uint32_t status;
  Value* v = FindValue(key, name, status);
  if (!v) return status;
  v->type = kDWord;
  v->text.clear();
  v->dword = value;
  modified_ = true;
  return 0;
}

const OFLRegistry::Value* OFLRegistry::Hive::GetValue(std::string_view path, std::string_view name) const {
  String key;
  if (!NormalizedKey(path, key)) return nullptr;
  const auto it = keys_.find(key);
  if (it == keys_.end()) return nullptr;
  for (const Value& v : it->second.values)
    if (OFL::EqualsNoCase(v.name, name)) return &v;
  return nullptr;
}

std::vector<OFLRegistry::Value> OFLRegistry::Hive::GetValues(std::string_view path) const {
  String key;
  if (!NormalizedKey(path, key)) return {};
  const auto it = keys_.find(key);
  return it == keys_.end() ? std::vector<Value>() : it->second.values;
}

std::vector<String> OFLRegistry::Hive::GetSubKeys(std::string_view path) const {
  String key;
  std::vector<String> names;
  if (!NormalizedKey(path, key)) return names;
  const String prefix = key.empty() ? key : key + '\\';
  for (auto it = keys_.lower_bound(prefix); it != keys_.end() && it->first.starts_with(prefix); ++it) {
    if (it->first.size() == prefix.size() || it->first.find('\\', prefix.size()) != String::npos) continue;
    names.push_back(it->second.path.substr(prefix.size()));
  }
  return names;
}

String OFLRegistry::Hive::Serialize() const {
  String out(kHeader);
  out += '\n';
  for (const auto& [lower, key] : keys_) {
    out += "K\t" + Escape(key.path) + '\n';
    for (const Value& v : key.values) {
      out +=
          "V\t" + Escape(v.name) + (v.type == kDWord ? "\tD\t" + OFLTools::ULToA(v.dword) : "\tS\t" + Escape(v.text));
      out += '\n';
    }
  }
  return out;
}

bool OFLRegistry::Hive::Parse(std::string_view text) {
  keys_.clear();
  modified_ = false;
  if (!text.starts_with(kHeader) || (text.size() > kHeader.size() && text[kHeader.size()] != '\n')) return false;
  text.remove_prefix(std::min(text.size(), kHeader.size() + 1));
  const Key* current = nullptr;
  String lowerKey;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    const std::vector<std::string_view> f = SplitTabs(line);
    String first, second;
    if (f.size() == 2 && f[0] == "K") {
      if (!Unescape(f[1], first) || !NormalizedKey(first, lowerKey, &second)) return false;
      current = &keys_.try_emplace(lowerKey, Key{second, {}}).first->second;
    } else if (f.size() == 4 && f[0] == "V" && current && (f[2] == "S" || f[2] == "D")) {
      if (!Unescape(f[1], first) || !Unescape(f[3], second)) return false;
      Key& key = keys_[lowerKey];
      Value v;
      v.name = std::move(first);
      if (f[2] == "D") {
        v.type = kDWord;
        v.dword = OFLTools::AToUL(second);
      } else {
        v.text = std::move(second);
      }
      key.values.push_back(std::move(v));
    } else {
      return false;
    }
  }
  return true;
}

bool OFLRegistry::ParseRoot(std::string_view name, ERoot& root) {
  for (size_t i = 0; i < std::size(kRoots); ++i) {
    if (OFL::EqualsNoCase(name, kRoots[i].shortName) || OFL::EqualsNoCase(name, kRoots[i].longName)) {
      root = static_cast<ERoot>(i);
      return true;
    }
  }
  return false;
}

const char* OFLRegistry::RootName(ERoot root) {
  return root >= kHKLM && root <= kHKCC ? kRoots[root].shortName : "";
}

OFL::String OFLRegistry::GetFilePath(ERoot root) const {
  return (std::filesystem::path(folder_) / (String(RootName(root)) + ".reg")).string();
}

uint32_t OFLRegistry::Update(ERoot root, const std::function<uint32_t(Hive&)>& change) {
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  const String path = GetFilePath(root);
  const FileLock lock(path.substr(0, path.size() - 4) + ".lock", LOCK_EX);
  if (!lock.Held()) return kCannotWrite;
  Hive hive;
  if (const uint32_t read = ReadHive(path, hive); read != 0) return read;
  const uint32_t result = change(hive);
  if (hive.IsModified())
    if (const uint32_t written = WriteHive(path, hive); written != 0) return written;
  return result;
}

uint32_t OFLRegistry::Read(ERoot root, Hive& hive) const {
  const String path = GetFilePath(root);
  const FileLock lock(path.substr(0, path.size() - 4) + ".lock", LOCK_SH);
  return ReadHive(path, hive);
}
