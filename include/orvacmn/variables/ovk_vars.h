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

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <list>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "ofl/name_index.h"
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

  // The entries of one name (case ignored) and the value GetVar gives for it,
  // kept up to date, so that an expansion needs one lookup per placeholder.
  struct NameSlot {
    String name;                            // as first added; the index views it
    std::vector<List::iterator> positions;  // never empty, in list order
    // The first runtime entry's value, otherwise the last system entry's;
    // null if none.
    const String* value = nullptr;
    bool valueHasBrace = false;
    std::list<NameSlot>::iterator self;
  };
  // Finds the value again after the slot's positions or one of its entries'
  // values changed.
  static void Refresh(NameSlot& slot);
  NameSlot& SlotFor(std::string_view name);  // found or added
  void EraseSlot(NameSlot& slot);

  void AddOne(const String& name, const String& value, bool custom, CVariableType type, bool isPassword);
  void Erase(List::iterator it);
  void CopyFrom(const COVKVars& other);
  // The value GetVar would give, without copying; null when unknown.
  const String* Lookup(std::string_view name) const;

  List entries_;
  std::list<NameSlot> slots_;
  OFL::NoCaseIndexOf<NameSlot> index_;
};

inline COVKVars::ESubstitutionPolicies operator|(COVKVars::ESubstitutionPolicies a,
                                                 COVKVars::ESubstitutionPolicies b) {
  return static_cast<COVKVars::ESubstitutionPolicies>(static_cast<uint32_t>(a) | static_cast<uint32_t>(b));
}

}  // namespace orvacmn

#endif  // ORVACMN_VARIABLES_OVK_VARS_H_
