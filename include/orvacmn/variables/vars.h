// OVOVars: the administrator-defined variable values of one object (a
// managed system, a job, a directory object ...), packed as "Vars".
//
// A set has a scope code (see OVOCustomVarDef::GetScopeDisplayName) and an
// owned list of variables in insertion order. A variable is identified by
// (Category, Name), compared without regard to case; no two variables of a
// set share that pair. Lookups, SetVar and RemoveVar go through an index on
// that pair, so they are logarithmic in the size of the set.
#ifndef ORVACMN_VARIABLES_VARS_H_
#define ORVACMN_VARIABLES_VARS_H_

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <list>
#include <memory>
#include <set>
#include <string_view>

#include "orvacmn/common/types.h"
#include "orvacmn/objects/const_view_iterator.h"
#include "orvacmn/objects/xml_support.h"
#include "orvacmn/variables/custom_var_def.h"

namespace orvacmn {

class OVOVars : public OVOXMLSupport {
 public:
  // One variable value. Category and Name are fixed by the owning set (they
  // are its index key); Value and TypeForDisplay may be changed in place.
  class Variable {
   public:
    Variable(const String& category, const String& name, const String& value,
             OVOCustomVarDef::ECustomVarType typeForDisplay)
        : category_(category), name_(name), value_(value), typeForDisplay_(typeForDisplay) {}

    const String& GetCategory() const { return category_; }
    const String& GetName() const { return name_; }
    const String& GetValue() const { return value_; }
    OVOCustomVarDef::ECustomVarType GetTypeForDisplay() const { return typeForDisplay_; }

    void SetValue(const String& value) { value_ = value; }
    void SetTypeForDisplay(OVOCustomVarDef::ECustomVarType type) { typeForDisplay_ = type; }

   private:
    friend class OVOVars;
    String category_;
    String name_;
    String value_;
    OVOCustomVarDef::ECustomVarType typeForDisplay_;
  };

 private:
  using List = std::list<std::unique_ptr<Variable>>;

 public:
  // Read-only iteration in list order; dereferences to `const Variable*`.
  using const_iterator = ConstViewIterator<List::const_iterator>;

  // Object name "Vars"; unpacks `xml` when it is not empty.
  explicit OVOVars(const String& xml = String());
  // Deep copies: the scope and a new copy of every variable.
  OVOVars(const OVOVars& other);
  OVOVars& operator=(const OVOVars& other);
  OVOVars(OVOVars&& other) noexcept;
  OVOVars& operator=(OVOVars&& other) noexcept;
  ~OVOVars() override;

  using OVOXMLSupport::Unpack;

  // The two packed texts are equal (case-sensitive).
  bool operator==(const OVOVars& other) const;
  bool operator!=(const OVOVars& other) const { return !(*this == other); }

  const String& GetScope() const { return scope_; }
  void SetScope(const String& scope) { scope_ = scope; }

  const_iterator begin() const { return const_iterator(vars_.begin()); }
  const_iterator end() const { return const_iterator(vars_.end()); }
  int32_t GetCount() const { return static_cast<int32_t>(vars_.size()); }
  bool IsEmpty() const { return vars_.empty(); }

  // Replaces all four fields of the variable (category, name) -- its letter
  // case included -- or appends a new variable.
  void SetVar(const String& category, const String& name, const String& value,
              OVOCustomVarDef::ECustomVarType type);
  // The variable (category, name), or null.
  Variable* GetVar(const String& category, const String& name);
  const Variable* GetVar(const String& category, const String& name) const;
  // 1 and its value if the variable exists; else 0 and `value` unchanged.
  int GetVar(const String& category, const String& name, String& value) const;
  // As GetVar, the value formatted by OVOCustomVarDef::FormatValueForDisplay
  // with the variable's TypeForDisplay.
  int GetVarForDisplay(const String& category, const String& name, String& text) const;
  // Removes and frees the variable; 1 if one was removed.
  int RemoveVar(const String& category, const String& name);

  // Sets the definition's variable to the definition's default value.
  void SetVarToDefaultValue(const OVOCustomVarDef& def);
  // As above with the definition (category, name) of `defs`; without one the
  // variable is set to the empty text and type 0.
  void SetVarToDefaultValue(const String& category, const String& name, const OVOCustomVarDefList& defs);

  // The scope display name (when the scope is set), the category (when not
  // empty) and the name, joined with ".": e.g. Client.Inventory.Room.
  String GenerateFullName(const Variable* var) const;
  // The distinct categories (case ignored, first spelling kept) in list
  // order, as a length-packed String.
  String GetCategories() const;

  // Frees every variable.
  void DeleteListVars();
  // Removes and frees every variable whose value is empty.
  void RemoveEmptyVars();

  // 1 to 254 characters, none of tab, CR, LF, "=", "{", "}", and at least one
  // character other than a blank.
  static bool IsValidVarName(const String& name);
  // Reads a date: "d.m.y", "m/d/y", "d-m-y", or an 8- or 14-digit DB time
  // text. The separated forms give local midnight of that day. False for any
  // other text and for impossible or unrepresentable dates (each part must be
  // decimal digits with optional blanks around them; month 1-12, a day that
  // exists in that month, year 1970-3000, and a time not before the epoch);
  // `time` is then unchanged.
  static bool CTimeFromStringValue(const String& text, CTime& time);
  // CTimeFromStringValue, then the date in the system's default short form.
  static bool ShortDateStringFromValue(const String& text, String& out);

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  struct Key {
    std::string_view category;
    std::string_view name;
  };
  // Orders list positions by their variable's (Category, Name), case ignored.
  struct IndexLess {
    using is_transparent = void;
    static int Compare(const Key& a, const Key& b);
    static Key KeyOf(List::const_iterator it) { return Key{(*it)->category_, (*it)->name_}; }
    bool operator()(List::const_iterator a, List::const_iterator b) const { return Compare(KeyOf(a), KeyOf(b)) < 0; }
    bool operator()(List::const_iterator a, const Key& b) const { return Compare(KeyOf(a), b) < 0; }
    bool operator()(const Key& a, List::const_iterator b) const { return Compare(a, KeyOf(b)) < 0; }
  };
  using Index = std::set<List::const_iterator, IndexLess>;

  List::const_iterator FindPos(const String& category, const String& name) const;
  void CopyFrom(const OVOVars& other);

  String scope_;
  List vars_;
  Index index_;
};

}  // namespace orvacmn

#endif  // ORVACMN_VARIABLES_VARS_H_
