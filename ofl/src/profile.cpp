// Profile (INI) reading with the platform's rules. Texts are scanned once,
// line by line, and never copied whole; a lookup stops at its first match.
#include "ofl/profile.h"

#include <fstream>
#include <string_view>

namespace OFL {
namespace Profile {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Yields the lines of a text. LF, CR LF and a lone CR end a line. A line is a
// C string to the platform, so a NUL byte ends its content.
class LineReader {
 public:
  // `atStart`: the text starts a file, so a byte-order mark is skipped.
  explicit LineReader(std::string_view text, bool atStart = true) : rest_(text) {
    if (atStart && rest_.substr(0, kBom.size()) == kBom) rest_.remove_prefix(kBom.size());
  }
  // What is left to read.
  std::string_view Rest() const { return rest_; }

  bool Next(std::string_view& line) {
    if (rest_.empty()) return false;
    const size_t end = rest_.find_first_of("\r\n");
    line = rest_.substr(0, end);
    if (end == std::string_view::npos) {
      rest_ = {};
    } else {
      const bool crlf = rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n';
      rest_.remove_prefix(end + (crlf ? 2 : 1));
    }
    const size_t nul = line.find('\0');
    if (nul != std::string_view::npos) line = line.substr(0, nul);
    line = TrimBlanks(line);
    return true;
  }

 private:
  std::string_view rest_;
};

bool IsComment(std::string_view line) { return !line.empty() && line.front() == ';'; }

// "[name]" gives name, trimmed. A header without "]" names the rest of the
// line, as the platform reads it.
bool SectionHeader(std::string_view line, std::string_view& name) {
  if (line.empty() || line.front() != '[') return false;
  line.remove_prefix(1);
  name = TrimBlanks(line.substr(0, line.find(']')));
  return true;
}

// Advances `reader` past the header of the first section named `section`.
bool SeekSection(LineReader& reader, std::string_view section) {
  std::string_view line, name;
  while (reader.Next(line)) {
    if (SectionHeader(line, name) && EqualsNoCase(name, section)) return true;
  }
  return false;
}

// Matching single or double quotes around a whole value are not part of it.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

String Cut(std::string_view text, size_t bufferSize) {
  if (bufferSize == 0) return String();
  return String(text.substr(0, bufferSize - 1));
}

// Stream reads report failures through the state bits (a directory, for one,
// fails on its first read), never by throwing.
bool ReadFile(const String& path, String& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  char buf[16384];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) text.append(buf, static_cast<size_t>(in.gcount()));
  return !in.bad();
}

// The lines of the section the reader stands in, up to the next header.
// Lines that fit whole are kept; the first that does not is cut to the room
// left (two bytes stay for its NUL and the final NUL) and ends the list.
String CollectSection(LineReader& reader, size_t bufferSize, bool* cut) {
  String out;
  if (cut) *cut = false;
  std::string_view line, name;
  while (reader.Next(line) && !SectionHeader(line, name)) {
    if (line.empty() || IsComment(line)) continue;
    String entry;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      entry.assign(line);
    } else {
      entry.assign(TrimBlanks(line.substr(0, eq)));
      entry += '=';
      entry.append(TrimBlanks(line.substr(eq + 1)));
    }
    const bool full = bufferSize < out.size() + 3;
    const size_t room = full ? 0 : bufferSize - out.size() - 2;
    if (full || entry.size() > room) {
      if (cut) *cut = true;
      if (full) break;
      entry.resize(room);
      out += entry;
      out += '\0';
      break;
    }
    out += entry;
    out += '\0';
  }
  if (!out.empty()) out += '\0';
  return out;
}

}  // namespace

String GetStringFromText(const String& text, const String& section, const String& key, const String& fallback,
                         size_t bufferSize) {
  LineReader reader(text);
  if (SeekSection(reader, section)) {
    std::string_view line, name;
    while (reader.Next(line) && !SectionHeader(line, name)) {
      if (IsComment(line)) continue;
      const size_t eq = line.find('=');
      if (eq == std::string_view::npos) continue;
      if (EqualsNoCase(TrimBlanks(line.substr(0, eq)), key))
        return Cut(Unquote(TrimBlanks(line.substr(eq + 1))), bufferSize);
    }
  }
  return Cut(fallback, bufferSize);
}

String GetSectionFromText(const String& text, const String& section, size_t bufferSize) {
  LineReader reader(text);
  if (!SeekSection(reader, section)) return String();
  return CollectSection(reader, bufferSize, nullptr);
}

String GetString(const String& path, const String& section, const String& key, const String& fallback,
                 size_t bufferSize) {
  String text;
  if (!ReadFile(path, text)) return Cut(fallback, bufferSize);
  return GetStringFromText(text, section, key, fallback, bufferSize);
}

String GetSection(const String& path, const String& section, size_t bufferSize) {
  String text;
  if (!ReadFile(path, text)) return String();
  return GetSectionFromText(text, section, bufferSize);
}

Index::Index(String text) : text_(std::move(text)) {
  LineReader reader(text_);
  std::string_view line, name;
  while (reader.Next(line)) {
    if (!SectionHeader(line, name)) continue;
    const size_t offset = static_cast<size_t>(reader.Rest().data() - text_.data());
    sections_.try_emplace(String(name), reader.Rest().empty() ? text_.size() : offset);
  }
}

String Index::GetSection(std::string_view section, size_t bufferSize, bool* cut) const {
  if (cut) *cut = false;
  const auto it = sections_.find(section);
  if (it == sections_.end()) return String();
  LineReader reader(std::string_view(text_).substr(it->second), false);
  return CollectSection(reader, bufferSize, cut);
}

}  // namespace Profile
}  // namespace OFL
