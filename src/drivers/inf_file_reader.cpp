// Loading INF files into lines with a section index, and the key, section
// and %token% lookups on them.
#include "orvacmn/drivers/inf_file_reader.h"

#include <algorithm>
#include <deque>
#include <set>
#include <string_view>

#include "inf_substitution.h"
#include "inf_text.h"
#include "ofl/error_message.h"
#include "ofl/format.h"
#include "ofl/name_index.h"
#include "ofl/tools.h"

namespace orvacmn {

namespace {

constexpr size_t kIndexBuckets = 77;
// Size of the blocks that hold the lines made by joining and substitution.
constexpr size_t kBlockSize = 64 * 1024;

// "\\" or "\"\\" at the end continues the line.
bool Continues(std::string_view line) {
  const size_t n = line.size();
  return n >= 2 && line[n - 1] == '\\' && (line[n - 2] == '\\' || line[n - 2] == '"');
}

bool IsHeaderLine(std::string_view line) {
  const size_t open = inf::Find<'['>(line);
  return open != std::string_view::npos && inf::Find<']'>(line, open + 1) != std::string_view::npos;
}

}  // namespace

namespace inf {

bool SplitKeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
  const size_t equals = FindUnquoted<'='>(line);
  if (equals == std::string_view::npos) return false;
  key = TrimView(line.substr(0, equals));
  value = TrimView(line.substr(equals + 1));
  return true;
}

String TrimQuotesAndBlanks(std::string_view s) { return String(TrimQuotesAndBlanksView(s)); }

size_t CommentEnd(std::string_view line) {
  const size_t semicolon = FindUnquoted<';'>(line);
  return semicolon == std::string_view::npos ? line.size() : TrimRightView(line.substr(0, semicolon)).size();
}

void CutComment(String& line) { line.resize(CommentEnd(line)); }

String ValueText(std::string_view rest) {
  const std::string_view value = rest.substr(0, CommentEnd(rest));
  const size_t first = value.find_first_not_of('"');
  if (first == std::string_view::npos) return String();
  return String(value.substr(first, value.find_last_not_of('"') - first + 1));
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
// of the section per token, each value computed once. Substitution may change
// the lines of the section; each change updates the index where it stands
// (a changed key moves its line, a line that turns into a header ends the
// section, the end's header turned into a plain line extends it), so answers
// stay those of GetValue and no change costs more than its own line.
class CInfFileReader::StringsIndex {
 public:
  explicit StringsIndex(const CInfFileReader& reader) : reader_(reader) {
    present_ = reader.SectionExists("Strings", start_) != 0;
    scanned_ = start_ + 1;
    end_ = present_ ? reader.SectionEnd(start_) : scanned_;
  }

  // The value of `name` with its environment variables expanded, or null.
  const String* Lookup(std::string_view name) {
    if (!present_) return nullptr;
    for (; scanned_ < end_; ++scanned_) Index(scanned_, reader_.lines_[scanned_], true);
    Key* key = keys_.Find(name);
    if (key == nullptr || key->lines.empty() || *key->lines.begin() >= end_) return nullptr;
    const size_t line = *key->lines.begin();
    if (key->valueLine != line) {
      std::string_view k, rest;
      inf::SplitKeyValue(reader_.lines_[line], k, rest);
      key->value = inf::ValueText(rest);
      OFLTools::ExpandEnvironmentStringsA(key->value, false);
      key->valueLine = line;
    }
    return &key->value;
  }

  // Whether lookups may read line `i`: lines before the section's header
  // never join it.
  bool MayRead(size_t i) const { return present_ && i > start_; }

  // Line `i` was `before` and has just been replaced.
  void Changed(size_t i, std::string_view before) {
    if (!present_ || i <= start_) return;
    if (i < scanned_) {
      Index(i, before, false);
      Index(i, reader_.lines_[i], true);
    }
    if (reader_.header_[i] && i < end_) end_ = i;
    else if (!reader_.header_[i] && i == end_) end_ = reader_.SectionEnd(i);
  }

 private:
  struct Key {
    String name;             // owned: the line may be replaced while its key stays
    std::set<size_t> lines;  // of the section's lines with that key
    String value;            // of the line `valueLine`
    size_t valueLine = SIZE_MAX;
  };

  void Index(size_t i, std::string_view line, bool add) {
    std::string_view name, value;
    if (!inf::SplitKeyValue(line, name, value)) return;
    Key* key = keys_.Find(name);
    if (key == nullptr) {
      if (!add) return;
      key = &storage_.emplace_back(Key{String(name), {}, String()});
      keys_.Insert(key->name, key);
    }
    if (key->valueLine == i) key->valueLine = SIZE_MAX;
    add ? (void)key->lines.insert(i) : (void)key->lines.erase(i);
  }

  const CInfFileReader& reader_;
  bool present_ = false;
  size_t start_ = 0, end_ = 0;
  size_t scanned_ = 0;  // lines before it are indexed
  std::deque<Key> storage_;  // stable, for the index's views of the names
  // Key (any case) -> its lines; seeded hashing, as keys come from outside.
  OFL::NoCaseIndexOf<Key> keys_;
};

CInfFileReader::CInfFileReader() { Reset(); }

CInfFileReader::~CInfFileReader() = default;

void CInfFileReader::Reset() {
  file_ = OFL::TextFileReader();
  blocks_.clear();
  lines_.clear();
  header_.clear();
  tokenLines_.clear();
  sections_.clear();
  sections_.reserve(kIndexBuckets);
}

std::string_view CInfFileReader::Keep(std::string_view text) {
  if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < text.size()) {
    blocks_.emplace_back().reserve(std::max(kBlockSize, text.size()));
  }
  // Within its capacity a block never moves, so the views stay valid.
  String& block = blocks_.back();
  const size_t at = block.size();
  block.append(text);
  return std::string_view(block).substr(at);
}

uint32_t CInfFileReader::Load(const String& path, String& error, uint32_t flags) {
  Reset();
  const uint32_t rc = file_.Open(path);
  if (rc != 0) {
    error = OFLFormat("Unable to open [%s]: %s", path, OFL::ErrorMessage::TranslateValue(rc)).str();
    return rc;
  }
  if (file_.GetByteSize() < 3) {
    error = OFLFormat("Invalid INF file [%s]", path).str();
    return kErrorInvalidFile;
  }

  // Lines are views into the decoded text; only joined and substituted ones
  // are copied, into the blocks.
  std::string_view raw;
  String pending;
  while (file_.ReadLine(raw)) {
    size_t lead = 0;  // a loop: find_first_not_of searches its set per byte
    while (lead < raw.size() && (raw[lead] == ' ' || raw[lead] == '\t')) ++lead;
    const std::string_view line = raw.substr(lead);
    if (line.empty() && (flags & kDropEmptyLines)) continue;
    if (Continues(line)) {
      pending.append(line.substr(0, line.size() - 1));
      continue;
    }
    if (pending.empty()) {
      AddLine(line, flags);
    } else {
      pending.append(line);
      AddLine(Keep(pending), flags);
      pending.clear();
    }
  }
  // A file that ends inside a continued line still keeps that line.
  if (!pending.empty()) AddLine(Keep(pending), flags);

  if (flags & kSubstituteStrings) {
    StringsIndex strings(*this);
    const inf::TokenLookup lookup = [&strings](std::string_view name) { return strings.Lookup(name); };
    String line;
    for (const size_t i : tokenLines_) {
      // The lookups of its own passes read the line as it was.
      line.assign(lines_[i]);
      if (inf::SubstituteTokens(line, lookup, kMaxSubstitutionPasses) > 0) {
        const std::string_view before = lines_[i];
        lines_[i] = Keep(line);
        header_[i] = IsHeaderLine(lines_[i]);
        strings.Changed(i, before);
      }
    }
  }
  return 0;
}

void CInfFileReader::AddLine(std::string_view line, uint32_t flags) {
  // What the line holds, in one pass: most lines need nothing more.
  const auto [semicolon, quote, percent, equals, open] = inf::FirstOf<';', '"', '%', '=', '['>(line);
  if ((flags & kDropComments) && semicolon != std::string_view::npos) {
    if (semicolon == 0) return;
    line = line.substr(0, quote < semicolon ? inf::CommentEnd(line) : inf::TrimRightView(line.substr(0, semicolon)).size());
  }
  // Only "key = value" lines are substituted.
  if ((flags & kSubstituteStrings) && percent < line.size() && equals < line.size())
    tokenLines_.push_back(lines_.size());
  lines_.push_back(line);
  const bool header = open < line.size() && inf::Find<']'>(line, open + 1) != std::string_view::npos;
  header_.push_back(header);
  String name;
  if (header && SectionName(line, name)) sections_[std::move(name)] = lines_.size() - 1;
}

size_t CInfFileReader::SectionEnd(size_t header) const {
  size_t end = header + 1;
  while (end < lines_.size() && !header_[end]) ++end;
  return end;
}

int CInfFileReader::SectionExists(const String& section) const {
  size_t position;
  return SectionExists(section, position);
}

int CInfFileReader::SectionExists(const String& section, size_t& position) const {
  const auto it = sections_.find(std::string_view(section));
  if (it == sections_.end()) return 0;
  position = it->second;
  return 1;
}

bool CInfFileReader::GetSectionLines(const String& section, std::span<const std::string_view>& lines) const {
  size_t position;
  if (!SectionExists(section, position)) return false;
  lines = std::span<const std::string_view>(lines_).subspan(position + 1, SectionEnd(position) - position - 1);
  return true;
}

int CInfFileReader::GetValue(const String& section, const String& key, String& value) const {
  size_t position;
  if (!SectionExists(section, position)) return 0;
  for (size_t i = position + 1, end = SectionEnd(position); i < end; ++i) {
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
  std::span<const std::string_view> found;
  if (!GetSectionLines(section, found)) return 0;
  for (const std::string_view line : found) lines.AddString(line);
  return 1;
}

int CInfFileReader::IsSection(const String& line, String& name) { return SectionName(line, name) ? 1 : 0; }

bool CInfFileReader::SectionName(std::string_view line, String& name) {
  const std::string_view trimmed = inf::TrimView(line);
  const size_t open = trimmed.find('[');
  if (open == std::string_view::npos) return false;
  const size_t close = trimmed.find(']', open + 1);
  if (close == std::string_view::npos) return false;
  name.assign(trimmed.substr(open + 1, close - open - 1));
  return true;
}

void CInfFileReader::StripComment(String& line) { inf::CutComment(line); }

int CInfFileReader::PerformSubstitutions(String& line) {
  String value;
  return inf::SubstituteTokens(
      line,
      [this, &value](std::string_view name) -> const String* {
        if (!GetValue("Strings", String(name), value)) return nullptr;
        OFLTools::ExpandEnvironmentStringsA(value, false);
        return &value;
      },
      kMaxSubstitutionPasses);
}

}  // namespace orvacmn
