// CInfFileReader: a setup-information (INF) file in memory, as lines with an
// index of its sections, answering key and section queries.
//
// Load reads the file in any encoding (see OFL::TextFileReader), joins
// continued lines, can drop empty and comment lines and can replace %name%
// tokens from the [Strings] section. Sections and keys compare ignoring case;
// when a section occurs twice, lookups reach the last one. The reader keeps
// the state of its last Load until the next one.
//
// One thread at a time.
#ifndef ORVACMN_DRIVERS_INF_FILE_READER_H_
#define ORVACMN_DRIVERS_INF_FILE_READER_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ofl/string.h"
#include "ofl/text_file.h"
#include "ofl/tokenizer.h"
#include "orvacmn/common/types.h"

namespace orvacmn {

class CInfFileReader {
 public:
  // Load flags.
  static constexpr uint32_t kDropEmptyLines = 0x1;
  static constexpr uint32_t kDropComments = 0x2;
  static constexpr uint32_t kSubstituteStrings = 0x4;
  static constexpr uint32_t kAllFlags = 0x7;
  // The code of a file too short to be an INF file.
  static constexpr uint32_t kErrorInvalidFile = 0xFFFFFFFF;
  // Most %name% passes made on one line.
  static constexpr int kMaxSubstitutionPasses = 32000;

  CInfFileReader();
  virtual ~CInfFileReader();

  // 0 on success; otherwise the open failure's Win32 code ("Unable to open
  // [path]: text") or kErrorInvalidFile for fewer than 3 bytes ("Invalid INF
  // file [path]"), with `error` set.
  uint32_t Load(const String& path, String& error, uint32_t flags);
  // Empties lines and index.
  void Reset();

  // 1 with `value` set when the section holds a "key = value" line for
  // `key` (the first one); the value loses a trailing comment and its
  // double quotes at both ends. 0 otherwise.
  int GetValue(const String& section, const String& key, String& value) const;
  int SectionExists(const String& section) const;
  // Replaces the tokenizer's entries with the lines of the section (up to
  // the next section header); 0 when the section is unknown.
  int ReadCompleteSection(const String& section, OFLTokenizer& lines) const;
  // The same lines in place, valid until the next Load or Reset; false when
  // the section is unknown.
  bool GetSectionLines(const String& section, std::span<const std::string_view>& lines) const;

  // Every accepted line, in file order, valid until the next Load or Reset.
  const std::vector<std::string_view>& GetLines() const { return lines_; }

 protected:
  int SectionExists(const String& section, size_t& position) const;
  // True when the trimmed line holds "[" and a later "]"; `name` is the text
  // between the first "[" and the next "]".
  static int IsSection(const String& line, String& name);
  // Cuts the line at the first ";" outside double quotes and removes the
  // white space before it.
  static void StripComment(String& line);
  // Replaces %name% tokens by their [Strings] values (an unknown name by
  // itself, "%%" by nothing); returns the number of passes made. Each pass
  // replaces every occurrence of the first token; a line makes at most
  // kMaxSubstitutionPasses passes, and stops early only where its work would
  // pass a bound proportional to its own length, which real files never
  // reach (a value that holds its own token, say), keeping what it has.
  int PerformSubstitutions(String& line);

 private:
  class StringsIndex;

  // `line` stays valid until the next Load or Reset.
  void AddLine(std::string_view line, uint32_t flags);
  // A copy of `text` that stays valid until the next Load or Reset.
  std::string_view Keep(std::string_view text);
  static bool SectionName(std::string_view line, String& name);
  // The line of the next header after `header`, or the line count.
  size_t SectionEnd(size_t header) const;

  OFL::TextFileReader file_;  // the decoded text, which most lines view
  std::vector<String> blocks_;  // texts made by joining and substitution
  std::vector<std::string_view> lines_;
  std::vector<char> header_;        // per line: a section header
  std::vector<size_t> tokenLines_;  // lines with a "%" and a "="
  // Section name (any case) -> its last header line.
  std::unordered_map<String, size_t, OFL::HashNoCase, OFL::EqualNoCase> sections_;
};

}  // namespace orvacmn

#endif  // ORVACMN_DRIVERS_INF_FILE_READER_H_
