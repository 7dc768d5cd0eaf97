// Checksums, GUIDs and small platform services of OFLTools.
#include <openssl/rand.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "ofl/tools.h"

extern char** environ;

namespace {

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The value of environment variable `name`, matched exactly first and then
// ignoring case; false when it is not defined.
bool LookupEnvironment(std::string_view name, OFL::String& value) {
  if (name.empty() || name.find('=') != std::string_view::npos || name.find('\0') != std::string_view::npos)
    return false;
  const OFL::String key(name);
  if (const char* v = std::getenv(key.c_str())) {
    value = v;
    return true;
  }
  for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
    const std::string_view entry(*e);
    const size_t eq = entry.find('=');
    if (eq == std::string_view::npos) continue;
    if (OFL::EqualsNoCase(entry.substr(0, eq), name)) {
      value = OFL::String(entry.substr(eq + 1));
      return true;
    }
  }
  return false;
}

}  // namespace

uint32_t OFLTools::CalculateCRC32(const void* data, size_t length) {
  uLong crc = crc32(0L, Z_NULL, 0);
  const Bytef* p = static_cast<const Bytef*>(data);
  while (length > 0) {
    const uInt chunk = length > 0x40000000u ? 0x40000000u : static_cast<uInt>(length);
    crc = crc32(crc, p, chunk);
    p += chunk;
    length -= chunk;
  }
  return static_cast<uint32_t>(crc);
}

// Like the platform's expansion: a reference is "%" NAME "%". When NAME is not
// defined (and is kept), its closing "%" may open the next reference, so in
// "%UNDEF%PATH%" PATH is still expanded. A lone "%" stays as written.
bool OFLTools::ExpandEnvironmentStringsA(String& text, bool removeUndefined) {
  if (text.find('%') == String::npos) return false;
  String out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const size_t open = text.find('%', i);
    if (open == String::npos) {
      out.append(text, i, String::npos);
      break;
    }
    out.append(text, i, open - i);
    const size_t close = text.find('%', open + 1);
    if (close == String::npos) {
      out.append(text, open, String::npos);
      break;
    }
    const std::string_view name(text.data() + open + 1, close - open - 1);
    String value;
    if (LookupEnvironment(name, value)) {
      out.append(value);
      i = close + 1;
    } else if (removeUndefined && !name.empty()) {
      i = close + 1;
    } else {
      out.append(text, open, close - open);
      i = close;
    }
  }
  if (out == text) return false;
  text.swap(out);
  return true;
}

OFL::String OFLTools::GetModulePath() {
  String path(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<size_t>(n) >= path.size()) return String();
  path.resize(static_cast<size_t>(n));
  const size_t slash = path.rfind('/');
  if (slash == String::npos) return String();
  path.resize(slash == 0 ? 1 : slash);
  return path;
}

namespace OFL {
namespace Tools {

String GenerateGuid() {
  unsigned char b[16];
  if (RAND_bytes(b, sizeof b) != 1) {
    std::random_device rd;
    for (unsigned char& c : b) c = static_cast<unsigned char>(rd());
  }
  b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x40);  // version 4
  b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80);  // RFC 4122 variant
  char text[37];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", b[0], b[1],
                b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
  return String(text, 36);
}

bool IsGuid(std::string_view text) {
  if (text.size() == 38) {
    if (text.front() != '{' || text.back() != '}') return false;
    text = text.substr(1, 36);
  }
  if (text.size() != 36) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? text[i] != '-' : !IsHex(text[i])) return false;
  }
  return true;
}

bool FileExists(const String& path) {
  if (path.empty() || path.find('\0') != String::npos) return false;
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace Tools
}  // namespace OFL
