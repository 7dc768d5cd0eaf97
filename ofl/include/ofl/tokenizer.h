// OFLTokenizer: an ordered list of Strings, split from a text or built by
// appending, with a length-packed form that holds any list in one String.
#ifndef OFL_TOKENIZER_H_
#define OFL_TOKENIZER_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "ofl/string.h"

class OFLTokenizer {
 public:
  using String = OFL::String;

  OFLTokenizer() = default;
  // Splits `text` at any of the characters of `separators`. Empty pieces
  // (between two separators, or at either end) are dropped.
  OFLTokenizer(std::string_view text, std::string_view separators);

  void AddString(std::string_view s);
  OFLTokenizer& operator+=(std::string_view s) { AddString(s); return *this; }
  void AddDWord(uint32_t value);  // decimal
  void AddQWord(uint64_t value);  // decimal
  // Splits like the constructor and appends the pieces.
  void AddMultipleStrings(std::string_view text, std::string_view separators);
  // Appends the lines of a platform section buffer: NUL-terminated lines
  // ended by an empty line (or by the end of the buffer).
  void AddDoubleNullTerminatedArray(std::string_view buffer);
  // Appends the entries of `other`; with `unique`, entries already present
  // (ignoring case) are skipped.
  void AppendTokenizer(const OFLTokenizer& other, bool unique);

  int32_t GetCount() const { return static_cast<int32_t>(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }
  // Index access; an index out of range throws std::invalid_argument.
  const String& operator[](int32_t index) const;
  String& operator[](int32_t index);
  // The entry, or `fallback` for an index out of range.
  String GetAt(int32_t index, const String& fallback = String()) const;
  uint32_t AsDWord(int32_t index) const;  // AToUL of the entry; 0 if absent
  uint64_t AsQWord(int32_t index) const;  // AToULL of the entry; 0 if absent

  // SetAt and RemoveAt ignore an index out of range; InsertAt clamps it.
  void SetAt(int32_t index, std::string_view s);
  void InsertAt(int32_t index, std::string_view s);
  void RemoveAt(int32_t index);
  void Clear() { items_.clear(); }

  // Index of the first entry equal to `s` (ignoring case unless
  // `caseSensitive`), or -1.
  int32_t FindString(std::string_view s, bool caseSensitive = false) const;
  // Entries from `first` joined by `separator`; `count` 0 means to the end.
  String AsString(std::string_view separator, int32_t first = 0, int32_t count = 0) const;

  // One String holding every entry in order, empty entries and separator
  // characters included: each entry as its byte length in decimal, ":", and
  // its bytes. The empty list gives the empty String.
  String AsLengthPackedString() const;
  // Replaces the entries with those of a length-packed String. On malformed
  // input returns false and leaves the list empty.
  bool FromLengthPackedString(std::string_view packed);
  // Appends the entries of a length-packed String; on malformed input returns
  // false and leaves the list as it was.
  bool AddLengthPackedStrings(std::string_view packed);

  std::vector<String>::const_iterator begin() const { return items_.begin(); }
  std::vector<String>::const_iterator end() const { return items_.end(); }
  const std::vector<String>& Items() const { return items_; }

 private:
  std::vector<String> items_;
};

#endif  // OFL_TOKENIZER_H_
