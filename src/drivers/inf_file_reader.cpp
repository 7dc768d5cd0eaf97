// Loading INF files into lines with a section index, and the key, section
// and %token% lookups on them.
#include "orvacmn/drivers/inf_file_reader.h"

#include <string_view>

#include "inf_text.h"
#include "ofl/error_message.h"
#include "ofl/format.h"
#include "ofl/text_file.h"
#include "ofl/tools.h"

namespace orvacmn {

namespace {

constexpr size_t kIndexBuckets = 77;
// Work allowed to the substitutions of one Load: a base plus a multiple of
// the text, far above what any real file needs.
constexpr uint64_t kBaseBudget = 1u << 20;
constexpr uint64_t kBudgetPerByte = 16;
// What one pass costs besides the characters it moves.
constexpr uint64_t kPassCost = 64;
// Passes made before a line's texts are remembered to find a cycle.
constexpr int kCycleCheckAfter = 8;

// "\\" or "\"\\" at the end continues the line.
bool Continues(std::string_view line) {
  const size_t n = line.size();
  return n >= 2 && line[n - 1] == '\\' && (line[n - 2] == '\\' || line[n - 2] == '"');
}

bool IsHeaderLine(std::string_view line) {
  const size_t open = line.find('[');
  return open != std::string_view::npos && line.find(']', open + 1) != std::string_view::npos;
}

}  // namespace

namespace inf {

bool SplitKeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    else if (line[i] == '=' && !quoted) {
      key = TrimView(line.substr(0, i));
      value = TrimView(line.substr(i + 1));
      return true;
    }
  }
  return false;
}

std::string_view TrimView(std::string_view s) {
  constexpr std::string_view kWhite = " \t\r\n\v\f";
  const size_t first = s.find_first_not_of(kWhite);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kWhite) - first + 1);
}

std::string_view TrimRightView(std::string_view s) {
  const size_t last = s.find_last_not_of(" \t\r\n\v\f");
  return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

String TrimQuotesAndBlanks(std::string_view s) {
  const size_t first = s.find_first_not_of("\" \t");
  if (first == std::string_view::npos) return String();
  return String(s.substr(first, s.find_last_not_of("\" \t") - first + 1));
}

void CutComment(String& line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') {
      quoted = !quoted;
    } else if (line[i] == ';' && !quoted) {
      line.resize(TrimRightView(std::string_view(line).substr(0, i)).size());
      return;
    }
  }
}

String ValueText(std::string_view rest) {
  String value(rest);
  CutComment(value);
  const size_t first = value.find_first_not_of('"');
  if (first == String::npos) return String();
  return value.substr(first, value.find_last_not_of('"') - first + 1);
}

std::vector<String> Split(std::string_view text, char separator) {
  std::vector<String> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    parts.emplace_back(TrimView(text.substr(start, end == std::string_view::npos ? end : end - start)));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

}  // namespace inf

// The [Strings] lookups of the substitution step, by key instead of by a walk
// of the section per token. Substitution may change the keys or the headers
// in the section; the index is then rebuilt before its next use, so answers
// stay those of GetValue.
class CInfFileReader::StringsIndex {
 public:
  StringsIndex(const CInfFileReader& reader, uint64_t& budget) : reader_(reader), budget_(budget) {
    present_ = reader.SectionExists("Strings", start_) != 0;
    Build();
  }

  bool Lookup(const String& name, String& value) {
    if (!present_) return false;
    if (dirty_) Build();
    const auto it = keys_.find(OFL::ToLower(name));
    if (it == keys_.end()) return false;
    std::string_view key, rest;
    inf::SplitKeyValue(reader_.lines_[it->second], key, rest);
    value = inf::ValueText(rest);
    return true;
  }

  // Line `i` was `before` and has just been replaced.
  void Changed(size_t i, const String& before) {
    if (!present_ || dirty_ || i <= start_ || i > end_) return;
    const String& after = reader_.lines_[i];
    std::string_view k1, v1, k2, v2;
    const bool e1 = inf::SplitKeyValue(before, k1, v1), e2 = inf::SplitKeyValue(after, k2, v2);
    if (IsHeaderLine(before) != IsHeaderLine(after) || e1 != e2 || !OFL::EqualsNoCase(k1, k2)) dirty_ = true;
  }

 private:
  void Build() {
    dirty_ = false;
    keys_.clear();
    const std::vector<String>& lines = reader_.lines_;
    for (end_ = start_ + 1; end_ < lines.size() && !IsHeaderLine(lines[end_]); ++end_) {
      std::string_view key, value;
      if (inf::SplitKeyValue(lines[end_], key, value)) keys_.emplace(OFL::ToLower(key), end_);
      budget_ -= std::min<uint64_t>(budget_, lines[end_].size() + 1);
    }
  }

  const CInfFileReader& reader_;
  uint64_t& budget_;
  bool present_ = false, dirty_ = false;
  size_t start_ = 0, end_ = 0;
  std::unordered_map<String, size_t> keys_;  // lower-cased key -> its first line
};

CInfFileReader::CInfFileReader() { Reset(); }

CInfFileReader::~CInfFileReader() = default;

void CInfFileReader::Reset() {
  lines_.clear();
  sections_.clear();
  sections_.reserve(kIndexBuckets);
  substitutionBudget_ = kBaseBudget;
}

uint32_t CInfFileReader::Load(const String& path, String& error, uint32_t flags) {
  Reset();
  OFL::TextFileReader file;
  const uint32_t rc = file.Open(path);
  if (rc != 0) {
    error = OFLFormat("Unable to open [%s]: %s", path, OFL::ErrorMessage::TranslateValue(rc)).str();
    return rc;
  }
  if (file.GetByteSize() < 3) {
    error = OFLFormat("Invalid INF file [%s]", path).str();
    return kErrorInvalidFile;
  }
  substitutionBudget_ += kBudgetPerByte * file.GetByteSize();

  String raw, pending;
  while (file.ReadString(raw)) {
    const size_t lead = raw.find_first_not_of(" \t");
    String line = lead == String::npos ? String() : raw.substr(lead);
    if (line.empty() && (flags & kDropEmptyLines)) continue;
    if (Continues(line)) {
      pending.append(line, 0, line.size() - 1);
      continue;
    }
    if (!pending.empty()) {
      line.insert(0, pending);
      pending.clear();
    }
    AddLine(std::move(line), flags);
  }
  // A file that ends inside a continued line still keeps that line.
  if (!pending.empty()) AddLine(std::move(pending), flags);

  if (flags & kSubstituteStrings) {
    StringsIndex strings(*this, substitutionBudget_);
    String line, before;
    for (size_t i = 0; i < lines_.size(); ++i) {
      if (lines_[i].find('=') == String::npos) continue;
      line = lines_[i];
      if (Substitute(line, &strings) > 0) {
        before.swap(lines_[i]);
        lines_[i].swap(line);
        strings.Changed(i, before);
      }
    }
  }
  return 0;
}

void CInfFileReader::AddLine(String line, uint32_t flags) {
  if (flags & kDropComments) {
    if (!line.empty() && line[0] == ';') return;
    StripComment(line);
  }
  lines_.push_back(std::move(line));
  String name;
  if (!lines_.back().empty() && IsSection(lines_.back(), name)) {
    OFL::MakeLower(name);
    sections_[name] = lines_.size() - 1;
  }
}

int CInfFileReader::SectionExists(const String& section) const {
  size_t position;
  return SectionExists(section, position);
}

int CInfFileReader::SectionExists(const String& section, size_t& position) const {
  const auto it = sections_.find(OFL::ToLower(section));
  if (it == sections_.end()) return 0;
  position = it->second;
  return 1;
}

int CInfFileReader::GetValue(const String& section, const String& key, String& value) const {
  size_t position;
  if (!SectionExists(section, position)) return 0;
  for (size_t i = position + 1; i < lines_.size() && !IsHeaderLine(lines_[i]); ++i) {
    std::string_view k, v;
    if (inf::SplitKeyValue(lines_[i], k, v) && OFL::EqualsNoCase(k, key)) {
      value = inf::ValueText(v);
      return 1;
    }
  }
  return 0;
}

int CInfFileReader::ReadCompleteSection(const String& section, OFLTokenizer& lines) const {
  lines.Clear();
  size_t position;
  if (!SectionExists(section, position)) return 0;
  for (size_t i = position + 1; i < lines_.size() && !IsHeaderLine(lines_[i]); ++i) lines.AddString(lines_[i]);
  return 1;
}

int CInfFileReader::IsSection(const String& line, String& name) {
  const std::string_view trimmed = inf::TrimView(line);
  const size_t open = trimmed.find('[');
  if (open == std::string_view::npos) return 0;
  const size_t close = trimmed.find(']', open + 1);
  if (close == std::string_view::npos) return 0;
  name.assign(trimmed.substr(open + 1, close - open - 1));
  return 1;
}

void CInfFileReader::StripComment(String& line) { inf::CutComment(line); }

int CInfFileReader::PerformSubstitutions(String& line) { return Substitute(line, nullptr); }

int CInfFileReader::Substitute(String& line, StringsIndex* strings) {
  // A line that comes back to an earlier text repeats its passes until the
  // limit; the text at the limit follows from the cycle without making them.
  std::unordered_map<String, int> seen;
  std::vector<String> history;
  int passes = 0;
  while (passes < kMaxSubstitutionPasses && substitutionBudget_ > 0) {
    const size_t open = line.find('%');
    if (open == String::npos) break;
    const size_t close = line.find('%', open + 1);
    if (close == String::npos) break;
    if (passes >= kCycleCheckAfter) {
      const auto [it, added] = seen.emplace(line, passes);
      if (!added) {
        const int period = passes - it->second;
        line = history[it->second - kCycleCheckAfter + (kMaxSubstitutionPasses - passes) % period];
        return kMaxSubstitutionPasses;
      }
      history.push_back(line);
      substitutionBudget_ -= std::min<uint64_t>(substitutionBudget_, 2 * line.size());
    }
    ++passes;
    const String name = line.substr(open + 1, close - open - 1);
    String value;
    const bool found = strings ? strings->Lookup(name, value) : GetValue("Strings", name, value) != 0;
    if (!found) value = name;
    OFLTools::ExpandEnvironmentStringsA(value, false);
    OFL::ReplaceAll(line, "%" + name + "%", value);
    substitutionBudget_ -= std::min<uint64_t>(substitutionBudget_, line.size() + 2 * value.size() + kPassCost);
  }
  return passes;
}

}  // namespace orvacmn
