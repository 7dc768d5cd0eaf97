// CBlackWhiteList: admits or refuses a computer by its MAC address, its IPv4
// address or a name, according to a list an administrator writes as one text
// of entries separated by ";". Says whether a value is refused and which
// entry decided.
//
// Entries, each optionally preceded by "!" (negated), blanks around ignored:
// - MAC lists (type 1): a MAC address, or a pattern of hex digits with "*"
//   (any run) and "?" (one digit); separators ":", "-", "." and blanks are
//   dropped and letters upper-cased (OFLMAC::NormalizeWildcardString), and
//   the entry is kept in that form. A pattern without wildcards must be a
//   MAC address; one with wildcards may hold nothing but hex digits and at
//   most twelve digits and "?".
// - IP lists (type 2): a dotted IPv4 address; a network ADDRESS/PREFIX
//   (0 to 32) or ADDRESS/DOTTED-MASK; or a pattern with "*" and "?" matched
//   against the value's dotted text. A network entry is kept as written; one
//   whose address or mask cannot be read never matches.
// - Text lists (any other type): a text with "*" and "?" (ASCII case
//   ignored).
// Empty entries, entries invalid for the type and duplicates (the same kept
// text) are refused; the others are kept in the order added.
//
// Check walks the entries once, in order: a plain entry decides when it
// matches the value, a negated one when it does not. The first deciding
// entry gives the result: the mode (non-zero for a black list, 0 for a white
// list). When none decides: 1 for a white list, 0 for a black list. So the
// result is non-zero exactly when the value is refused. Entries are read
// when added, so a check costs one pass over them and nothing more; adding
// checks for a duplicate in constant time.
//
// A list carries no locks: Check may run from several threads at once while
// nobody changes the list.
#ifndef ORVACMN_SERVER_BLACK_WHITE_LIST_H_
#define ORVACMN_SERVER_BLACK_WHITE_LIST_H_

#include <cstdint>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "ofl/string.h"

namespace orvacmn {

using String = OFL::String;

enum EBlackWhiteListType : int32_t {
  eBlackWhiteListText = 0,  // like every other value but 1 and 2
  eBlackWhiteListMAC = 1,
  eBlackWhiteListIP = 2,
};

class CBlackWhiteList {
 public:
  static constexpr int kWhiteList = 0;
  static constexpr int kBlackList = 1;

  // An empty white list of texts.
  CBlackWhiteList() = default;
  // Set(text, type, mode).
  CBlackWhiteList(const String& text, EBlackWhiteListType type, int mode);

  // Empties the list, takes type and mode, and adds each ";"-separated part
  // of `text`. Returns the number of entries added.
  int Set(const String& text, EBlackWhiteListType type, int mode);
  // Empties the list; type and mode stay.
  void Clear();
  // 1 when the entry was added, 0 when it was refused or is already listed.
  int Add(std::string_view entry);
  // Non-zero when `value` is refused (see above); `matched`, when given,
  // receives the deciding entry as kept, or the empty text.
  int Check(std::string_view value, String* matched = nullptr) const;
  // The entries joined by ";", then " (Whitelist mode)" or " (BlackList
  // mode)".
  String Describe() const;

  EBlackWhiteListType GetType() const { return type_; }
  int GetMode() const { return mode_; }
  int GetCount() const { return static_cast<int>(texts_.size()); }
  // The kept text of entry `index` (0 to GetCount() - 1).
  const String& GetEntry(int index) const { return texts_[static_cast<size_t>(index)]; }

 private:
  enum class Kind : uint8_t { kMAC, kAddress, kNetwork, kAddressPattern, kText };
  // What a check needs of an entry, kept small so that a walk over many
  // network entries stays in cache; patterns are read from the entry's text.
  struct Rule {
    uint32_t address;
    uint32_t mask;
    Kind kind;
    bool negated;
    bool usable;  // networks: address and mask could be read
  };
  struct Value;

  bool Matches(const Rule& rule, size_t index, const Value& value) const;
  // The entry's text without "!".
  std::string_view Pattern(size_t index) const;

  EBlackWhiteListType type_ = eBlackWhiteListText;
  int mode_ = kWhiteList;
  std::vector<Rule> rules_;
  std::vector<String> texts_;  // as kept, "!" included; by rule
  std::unordered_set<String> kept_;
};

}  // namespace orvacmn

#endif  // ORVACMN_SERVER_BLACK_WHITE_LIST_H_
