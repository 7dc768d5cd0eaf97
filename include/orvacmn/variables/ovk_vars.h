// COVKVars: the run-time variable set and the placeholder expansion engine.
//
// A set is an ordered list of named text values. PerformSubstitutions
// replaces placeholders "{Name}" in a text with the values (names match
// without regard to case); inner placeholders resolve first, so their values
// may build outer names, and inserted values are scanned again. Special
// names: "%NAME%" is an environment variable, a name starting with "$$Dump$$"
// lists the whole set, a name starting with "=" is a VBScript expression,
// which is never evaluated. A name given as "A;B;C" defines each alias.
//
// The set packs to "OVSVars". Expansion only reads the set, so concurrent
// expansions on one unchanging set are safe; anything else is one thread at
// a time.
#ifndef ORVACMN_VARIABLES_OVK_VARS_H_
#define ORVACMN_VARIABLES_OVK_VARS_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <list>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "ofl/string.h"
#include "orvacmn/objects/const_view_iterator.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

class OVOVars;
namespace OVO {
class Properties;
}

// Where a variable comes from; stored as a 32-bit number, and a set read
// from text keeps any number it is given.
class CVariableType {
 public:
  enum EVariableType : int32_t {
    Runtime = 0,
    System = 1,
  };

  CVariableType(EVariableType type = Runtime) : type_(type) {}  // NOLINT: implicit by design

  EVariableType GetVariableType() const { return type_; }
  bool operator==(EVariableType other) const { return type_ == other; }
  bool operator!=(EVariableType other) const { return type_ != other; }
  bool operator==(const CVariableType& other) const { return type_ == other.type_; }
  bool operator!=(const CVariableType& other) const { return type_ != other.type_; }

  // "runtime", "system", or empty text for any other value.
  String ToString() const;
  // String resource 7131 ("Runtime variable") or 7133 ("OVS variable"),
  // or empty text for any other value.
  String GetHumanReadableVariableType() const;

 private:
  EVariableType type_;
};

class COVKVars : public OVOXMLSupport {
 public:
  struct _VarEntry {
    String Name;  // without braces
    String Value;
    bool Custom = false;  // a user-defined variable
    CVariableType Type;
    bool IsPassword = false;  // the dump variable shows "****" instead
  };

  // Longest text an expansion may produce (64 MiB).
  static constexpr size_t kMaxExpandedLength = size_t{64} << 20;

  // Bit set.
  enum ESubstitutionPolicies : uint32_t {
    SubstitutionDefault = 0,
    // Insert values XML-escaped, for texts that are XML documents.
    SubstitutionEscapeXml = 1,
    // Environment placeholders naming an undefined variable expand to nothing.
    SubstitutionRemoveUndefinedEnvironment = 2,
    // Placeholders of unknown names become empty instead of staying.
    SubstitutionUnknownToEmpty = 8,
  };

  enum VBScriptExecutionPolicy : int32_t {
    // Names beginning with "=" are looked up like any other.
    VBScriptLookUp = 0,
    // Names beginning with "=" become "<Expression not supported>".
    VBScriptNotSupported = 1,
    // Any other value makes PerformSubstitutions replace nothing.
  };

 private:
  using List = std::list<std::shared_ptr<_VarEntry>>;

 public:
  // Read-only iteration over the shared entries in list order; dereferences
  // to `std::shared_ptr<const _VarEntry>`.
  using const_iterator = ConstViewIterator<List::const_iterator>;

  // Object name "OVSVars", schema 0x00050001; unpacks `xml`.
  explicit COVKVars(const String& xml = String());
  // Deep copies: the sets never share an entry.
  COVKVars(const COVKVars& other);
  COVKVars& operator=(const COVKVars& other);
  COVKVars(COVKVars&& other) noexcept;
  COVKVars& operator=(COVKVars&& other) noexcept;
  ~COVKVars() override;

  using OVOXMLSupport::Unpack;

  // Adds or updates. Without splitAliases: the first entry of that name and
  // type gets the new value (its Custom and IsPassword stay), otherwise a new
  // entry is appended. With splitAliases: the same for each ";"-separated
  // alias in order.
  void AddVar(const String& name, const String& value, bool custom, bool splitAliases, CVariableType type,
              bool isPassword);
  // Every entry of `vars` (custom false, aliases split, same type and
  // IsPassword); null does nothing.
  void AddVars(const COVKVars* vars);
  // Each object variable as a runtime entry, marked as a password when its
  // kind is the password kind. With fullNames, under
  // OVOVars::GenerateFullName and marked custom; otherwise under its own
  // name. Null does nothing.
  void AddVars(const OVOVars* vars, bool fullNames);
  // As above with the OVOVars packed in `xml`.
  void AddVars(const String& xml, bool fullNames);
  // Each pair as a system entry (custom false, aliases split). Null does
  // nothing.
  void AddVars(const OVO::Properties* properties);
  // Reads the agent's install.ini (an empty path means "install.ini" in the
  // directory of the running program; placeholders in the path are expanded
  // first): the known keys of "Network", "Machine" and "Software", then every
  // line of the sections "Custom" and "OVSVars" as custom variables.
  // 0, or 2 (file not found).
  uint32_t AddVarsFromInstallIni(const String& path, CVariableType type);
  // Each line of a profile section (NUL-terminated lines, then an empty
  // line) as "name=value" (both trimmed) or a bare name with empty value.
  void AddVarsFromIniSection(const String& section, bool custom, CVariableType type);

  // The first runtime entry of `name` wins; otherwise the last system entry.
  // False (and `value` unchanged) when there is neither.
  bool GetVar(const String& name, String& value) const;
  // Any entry of any type with that name.
  bool Find(const String& name) const;
  // Removes every entry named by the ";"-list.
  void RemoveVar(const String& names);
  // Removes every entry whose name begins with one of the ";"-separated
  // prefixes followed by ".".
  void RemoveSubVars(const String& prefixes);
  void DeleteListVars();

  // The value for placeholder `name`: 1 with `value` set when it is to be
  // replaced, 0 (and `value` unchanged) when it stays.
  int ReplaceVariable(const String& name, String& value, const ESubstitutionPolicies& policies) const;
  // Expands the placeholders of `text` in place and returns a copy of the
  // result. After more than 1000 replacements stops and returns string
  // resource 7134 ("<Error: variables recursion>") instead; `text` then holds
  // the edits made so far. A replacement that would make the text grow
  // beyond kMaxExpandedLength (dumps whose separators hold dumps grow
  // exponentially) stops the same way, before it is made. `expressionFound`
  // tells whether a VBScript expression was met.
  String PerformSubstitutions(String& text, bool& expressionFound, ESubstitutionPolicies policies,
                              VBScriptExecutionPolicy vbPolicy) const;
  String PerformSubstitutions(String& text, ESubstitutionPolicies policies) const;
  // Expands a file line by line (each line by itself, written with "\n").
  // 0, or the Win32 code of the failed open (2 file not found, 3 path not
  // found, 5 access denied, 32 when the target is the source itself ...).
  uint32_t PerformSubstitutionsOnFile(const String& source, const String& target, bool& expressionFound,
                                      ESubstitutionPolicies policies, VBScriptExecutionPolicy vbPolicy) const;
  uint32_t PerformSubstitutionsOnFile(const String& source, const String& target, ESubstitutionPolicies policies,
                                      VBScriptExecutionPolicy vbPolicy) const;
  // "Name=Value" plus separator for every entry ("****" for passwords). The
  // separator is "\n", or the rest of the name from a ":" standing right
  // after "$$Dump$$". False for a name that is not a dump name.
  bool ResolveDumpVariable(const String& name, String& out) const;

  String Pack() const override;
  // Empties the set; 0 without an "OVSVars" element, else 1 with the entries
  // added as by AddVar (aliases split). Unpack(OFLXMLParser&) adds the
  // entries of the parser's current child without emptying first; Clear()
  // empties the set.
  int Unpack(const String& xml) override;

  size_t Size() const { return entries_.size(); }
  const_iterator begin() const { return const_iterator(entries_.begin()); }
  const_iterator end() const { return const_iterator(entries_.end()); }

  // Non-empty, starting with "{" and ending with "}".
  static bool IsVar(const String& text);
  // The name in the innermost placeholder around the first "}".
  static bool ContainsVar(const String& text, String& name);
  // "{" + the first alias + "}".
  static String FormatVar(const String& names);
  static bool IsEnvironmentVariable(const String& name);
  static bool IsDumpVariable(const String& name);
  static bool IsVBScriptExpressionVariable_deprecated(const String& name);
  // Replaces every "$(alias)" and "{alias}" (case ignored) of each alias by
  // `value`; values are not scanned again. Returns the count.
  static int Replace(String& text, const String& names, const String& value);
  // Whether any alias occurs in either form.
  static bool Find(const String& text, const String& names);
  // For the aliases in order, the "$(" form then the "{" form: the position
  // of the first one that occurs; -1 if none does.
  static int FindAndGivePos(const String& text, const String& names);

 protected:
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  class Expander;

  // Names (case ignored) to their entries. Open addressing with linear
  // probing in a power-of-two table at most half full. A lookup per
  // placeholder hashes the name, masks the hash and reads one cell, which
  // holds all it needs: the expansion streams the text through the cache,
  // so a hit should not chase pointers. Cells move when the table changes.
  class Index {
   public:
    struct Slot {
      String name;                            // as first added
      std::vector<List::iterator> positions;  // never empty, in list order
      // The value GetVar gives: the first runtime entry's, otherwise the
      // last system entry's; null if none.
      const String* value = nullptr;
    };
    struct Cell {
      uint64_t head = 0;  // Key::head of the name
      size_t size = 0;    // of the name
      // A view of Slot::value, and whether it holds "{" or "}".
      const char* value = nullptr;
      size_t valueSize = 0;
      std::unique_ptr<Slot> slot;  // null in an empty cell
      uint32_t hash = 0;
      bool valueHasBrace = false;
    };

    // A name prepared for lookup: its hash with ASCII case folded (setting
    // bit 5 of every byte folds more coarsely than ToLowerAscii, so names
    // that match hash alike), and its first eight bytes as they are.
    struct Key {
      std::string_view name;
      uint64_t head = 0;
      uint32_t hash = 0;

      explicit Key(std::string_view n) : name(n) {
        const char* p = n.data();
        size_t rest = n.size();
        uint64_t h = kHashSeed ^ rest;
        for (; rest >= 8; p += 8, rest -= 8) {
          const uint64_t word = Load64(p);
          if (p == n.data()) head = word;
          h = HashWord(h, word | kFold);
        }
        if (rest != 0) {
          uint64_t word = 0;
          for (size_t i = 0; i < rest; ++i) word |= uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
          if (p == n.data()) head = word;
          h = HashWord(h, word | (kFold >> (64 - 8 * rest)));
        }
        hash = Finish(h);
      }
      // For a name of 1 to 7 bytes followed by at least 8 - size readable
      // bytes; the same key as above, from one load.
      static Key Short(const char* p, size_t size) {
        const uint64_t mask = ~uint64_t{0} >> (64 - 8 * size);
        Key key;
        key.name = std::string_view(p, size);
        key.head = Load64(p) & mask;
        key.hash = Finish(HashWord(kHashSeed ^ size, key.head | (kFold & mask)));
        return key;
      }

     private:
      Key() = default;
    };

    // Eight bytes in little-endian order.
    static uint64_t Load64(const char* p) {
      uint64_t word;
      std::memcpy(&word, p, sizeof word);
      if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
      return word;
    }

    Index() = default;
    Index(Index&& other) noexcept;
    Index& operator=(Index&& other) noexcept;

    const Cell* Find(const Key& key) const {
      if (count_ == 0) return nullptr;
      for (size_t i = key.hash & mask_;; i = (i + 1) & mask_) {
        const Cell& cell = cells_[i];
        if (cell.slot == nullptr) return nullptr;
        if (cell.hash == key.hash && Matches(cell, key)) return &cell;
      }
    }
    Cell* Find(const Key& key) { return const_cast<Cell*>(std::as_const(*this).Find(key)); }
    // A cell with an empty slot for a name not present.
    Cell& Insert(const Key& key);
    void Erase(Cell& cell);
    void Clear();
    // Finds the value again after the slot's positions or one of its
    // entries' values changed.
    static void Refresh(Cell& cell);
    void RefreshAll();

   private:
    static constexpr uint64_t kHashSeed = 0x243f6a8885a308d3ull;
    static constexpr uint64_t kFold = 0x2020202020202020ull;
    static uint64_t HashWord(uint64_t hash, uint64_t word) { return (hash ^ word) * 0x9e3779b97f4a7c15ull; }
    // The high half of the last product depends on every byte.
    static uint32_t Finish(uint64_t hash) { return static_cast<uint32_t>(hash >> 32); }
    // Names are as a rule written as they were defined: a name of up to
    // eight bytes spelt alike is one comparison of its head.
    static bool Matches(const Cell& cell, const Key& key) {
      const size_t size = key.name.size();
      if (cell.size != size) return false;
      if (cell.head == key.head && (size <= 8 || cell.slot->name.compare(8, size - 8, key.name.substr(8)) == 0))
        return true;
      const String& name = cell.slot->name;
      for (size_t i = 0; i < size; ++i)
        if (name[i] != key.name[i] && OFL::ToLowerAscii(name[i]) != OFL::ToLowerAscii(key.name[i])) return false;
      return true;
    }
    void Place(Cell cell);

    std::vector<Cell> cells_;
    size_t mask_ = 0;  // cells_.size() - 1 once there are cells
    size_t count_ = 0;
  };

  void AddOne(const String& name, const String& value, bool custom, CVariableType type, bool isPassword);
  void Erase(List::iterator it);
  void CopyFrom(const COVKVars& other);
  // The value GetVar would give, without copying; null when unknown.
  const String* Lookup(std::string_view name) const;

  List entries_;
  Index index_;
};

inline COVKVars::ESubstitutionPolicies operator|(COVKVars::ESubstitutionPolicies a,
                                                 COVKVars::ESubstitutionPolicies b) {
  return static_cast<COVKVars::ESubstitutionPolicies>(static_cast<uint32_t>(a) | static_cast<uint32_t>(b));
}

}  // namespace orvacmn

#endif  // ORVACMN_VARIABLES_OVK_VARS_H_
