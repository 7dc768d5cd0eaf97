// Reading text files of any of the encodings driver packages use.
#include "ofl/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "ofl/bstr.h"

namespace OFL {
namespace {

// Windows-1252 code points of 0x80..0x9F; the five unassigned bytes keep
// their C1 values, as the platform's conversion does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

String FromWindows1252(std::string_view s) {
  String out;
  out.reserve(s.size() + s.size() / 4);
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
      continue;
    }
    const char16_t cp = c < 0xA0 ? kCp1252High[c - 0x80] : char16_t(c);
    out += FromUtf16(std::u16string_view(&cp, 1));
  }
  return out;
}

String FromUtf16Bytes(std::string_view s, bool bigEndian) {
  std::u16string units(s.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    const auto a = static_cast<unsigned char>(s[2 * i]), b = static_cast<unsigned char>(s[2 * i + 1]);
    units[i] = bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a);
  }
  return FromUtf16(units);
}

}  // namespace

String TextFileReader::Decode(std::string_view bytes, Encoding* encoding) {
  Encoding enc;
  String text;
  const auto b0 = bytes.size() > 0 ? static_cast<unsigned char>(bytes[0]) : 0x100;
  const auto b1 = bytes.size() > 1 ? static_cast<unsigned char>(bytes[1]) : 0x100;
  if (b0 == 0xFF && b1 == 0xFE) {
    enc = Encoding::kUtf16LE;
    text = FromUtf16Bytes(bytes.substr(2), false);
  } else if (b0 == 0xFE && b1 == 0xFF) {
    enc = Encoding::kUtf16BE;
    text = FromUtf16Bytes(bytes.substr(2), true);
  } else if (bytes.starts_with("\xEF\xBB\xBF")) {
    enc = Encoding::kUtf8Bom;
    text = IsValidUtf8(bytes.substr(3)) ? String(bytes.substr(3)) : FromWindows1252(bytes.substr(3));
  } else if (b1 == 0 && b0 != 0) {  // "[\0" of a file written without a mark
    enc = Encoding::kUtf16LE;
    text = FromUtf16Bytes(bytes, false);
  } else if (b0 == 0 && b1 != 0 && b1 != 0x100) {
    enc = Encoding::kUtf16BE;
    text = FromUtf16Bytes(bytes, true);
  } else if (IsValidUtf8(bytes)) {
    enc = Encoding::kUtf8;
    text.assign(bytes);
  } else {
    enc = Encoding::kWindows1252;
    text = FromWindows1252(bytes);
  }
  const size_t eof = text.find('\x1A');
  if (eof != String::npos) text.resize(eof);
  // A text holds no NUL characters; the platform's line reader stops at them.
  if (text.find('\0') != String::npos) std::erase(text, '\0');
  if (encoding != nullptr) *encoding = enc;
  return text;
}

uint32_t TextFileReader::Open(const String& path) {
  text_.clear();
  pos_ = 0;
  byteSize_ = 0;
  if (path.empty() || path.find('\0') != String::npos) return Win32::kPathNotFound;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Win32ErrorFromErrno(errno, path);
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    return Win32ErrorFromErrno(err, path);
  }
  String bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      ::close(fd);
      return Win32ErrorFromErrno(err, path);
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  OpenBytes(bytes);
  return 0;
}

void TextFileReader::OpenBytes(std::string_view bytes) {
  byteSize_ = bytes.size();
  text_ = Decode(bytes, &encoding_);
  pos_ = 0;
}

bool TextFileReader::ReadLine(std::string_view& line) {
  if (pos_ >= text_.size()) return false;
  size_t end = text_.find('\n', pos_);
  const size_t next = end == String::npos ? text_.size() : end + 1;
  if (end == String::npos) end = text_.size();
  if (end > pos_ && text_[end - 1] == '\r') --end;
  line = std::string_view(text_).substr(pos_, end - pos_);
  pos_ = next;
  return true;
}

bool TextFileReader::ReadString(String& line) {
  std::string_view view;
  if (!ReadLine(view)) return false;
  line.assign(view);
  return true;
}

}  // namespace OFL
