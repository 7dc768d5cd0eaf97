// OVOCustomVarDef: the definition of one administrator-defined variable
// (where it lives, its kind, its default), packed as "CustomVarDef".
// OVOCustomVarDefList: an ordered list of shared definitions, packed as
// "CustomVarDefList", that merges the definitions of parent scopes.
#ifndef ORVACMN_VARIABLES_CUSTOM_VAR_DEF_H_
#define ORVACMN_VARIABLES_CUSTOM_VAR_DEF_H_

#include <cstdint>
#include <list>
#include <memory>

#include "ofl/tokenizer.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

class OVOCustomVarDef : public OVOXMLSupport {
 public:
  // The kind of a variable's value. Stored as an unsigned 32-bit number;
  // values outside this table are kept as read and display as eString.
  enum ECustomVarType : uint32_t {
    eString = 0,
    eYesNo = 1,  // "T" or "F"
    eList = 2,   // items separated by "|"
    eFileName = 3,
    eDate = 4,
    eNumber = 5,
    eFolderName = 6,
    eEditableList = 7,  // items separated by "|"
    ePassword = 8,
    eCertificate = 9,
  };

  // Object name "CustomVarDef"; unpacks `xml` when it is not empty.
  explicit OVOCustomVarDef(const String& xml = String());
  OVOCustomVarDef(const OVOCustomVarDef&) = default;
  OVOCustomVarDef& operator=(const OVOCustomVarDef&) = default;
  OVOCustomVarDef(OVOCustomVarDef&& other) noexcept;
  OVOCustomVarDef& operator=(OVOCustomVarDef&& other) noexcept;
  ~OVOCustomVarDef() override = default;

  using OVOXMLSupport::Unpack;

  const String& Guid() const { return guid_; }
  void SetGuid(const String& guid) { guid_ = guid; }
  const String& GetScope() const { return scope_; }
  void SetScope(const String& scope) { scope_ = scope; }
  const String& GetCategory() const { return category_; }
  void SetCategory(const String& category) { category_ = category; }
  const String& GetName() const { return name_; }
  void SetName(const String& name) { name_ = name; }
  ECustomVarType GetType() const { return type_; }
  void SetType(ECustomVarType type) { type_ = type; }
  int32_t GetReadOnly() const { return readOnly_; }
  void SetReadOnly(int32_t readOnly) { readOnly_ = readOnly; }
  int32_t GetInherited() const { return inherited_; }
  void SetInherited(int32_t inherited) { inherited_ = inherited; }
  // The default value; for the list kinds the items separated by "|".
  const String& GetData() const { return data_; }
  void SetData(const String& data) { data_ = data; }
  const String& GetComment() const { return comment_; }
  void SetComment(const String& comment) { comment_ = comment; }
  const String& GetCommentReal() const { return commentReal_; }
  void SetCommentReal(const String& commentReal) { commentReal_ = commentReal; }

  // Category, ":" and Name.
  String GetDisplayName() const;
  // Splits "category:name" at ":". Exactly two parts give 1 and both outputs;
  // otherwise 0 and the outputs are untouched.
  static int SplitDisplayName(const String& displayName, String& category, String& name);

  // Display text of a type in the current resource language; values outside
  // 1..9 give the text of eString.
  static String GetStringTypeFromInt(uint32_t type);
  // The inverse, ignoring case; 0 (eString) when no text matches.
  static uint32_t GetIntTypeFromString(const String& text);
  // Appends the display texts of all types in menu order.
  static void GetTypeList(OFLTokenizer& list);
  // "__MACHINE__" -> "Client", "__JOB__" -> "Job", ...; other codes as given.
  static String GetScopeDisplayName(const String& scope);
  // yes/no: "Yes" when the value is "T" (case ignored), else "No"; date: the
  // short date or the empty text; password: "****"; others unchanged.
  static String FormatValueForDisplay(ECustomVarType type, const String& value);
  String GetDataForDisplay() const;

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  String guid_;
  String scope_;
  String category_;
  String name_;
  ECustomVarType type_ = eString;
  int32_t readOnly_ = 0;
  int32_t inherited_ = 0;
  String data_;
  String comment_;
  String commentReal_;
};

class OVOCustomVarDefList : public OVOXMLSupport {
 public:
  using Container = std::list<std::shared_ptr<OVOCustomVarDef>>;
  // A stable position: it stays valid until its definition is removed.
  using Position = Container::iterator;
  using iterator = Container::iterator;
  using const_iterator = Container::const_iterator;

  // Object name "CustomVarDefList"; unpacks `xml` when it is not empty.
  explicit OVOCustomVarDefList(const String& xml = String());
  // Lists share definitions only through Merge, never by copying.
  OVOCustomVarDefList(const OVOCustomVarDefList&) = delete;
  OVOCustomVarDefList& operator=(const OVOCustomVarDefList&) = delete;
  OVOCustomVarDefList(OVOCustomVarDefList&&) = default;
  OVOCustomVarDefList& operator=(OVOCustomVarDefList&&) = default;
  ~OVOCustomVarDefList() override;

  using OVOXMLSupport::Unpack;

  iterator begin() { return defs_.begin(); }
  iterator end() { return defs_.end(); }
  const_iterator begin() const { return defs_.begin(); }
  const_iterator end() const { return defs_.end(); }
  int32_t GetCount() const { return static_cast<int32_t>(defs_.size()); }
  bool IsEmpty() const { return defs_.empty(); }
  // Appends; a null pointer is ignored. Returns the new position (or end()).
  Position AddTail(std::shared_ptr<OVOCustomVarDef> def);
  // Removes the definition at `pos` from this list (others sharing it keep it).
  void RemoveAt(Position pos) { defs_.erase(pos); }

  // The first definition whose Category and Name equal the arguments (case
  // ignored), and its position when `pos` is given; else an empty pointer.
  std::shared_ptr<OVOCustomVarDef> Find(const String& category, const String& name, Position* pos = nullptr);
  std::shared_ptr<const OVOCustomVarDef> Find(const String& category, const String& name) const;

  // Takes over the definitions of `other`: each is marked inherited (on the
  // shared object itself); one not present here (by Category and Name) is
  // appended and then shared by both lists; a present one is re-read from the
  // other's text when `overwrite` is set, else kept. With `markAllInherited`
  // every definition of this list is marked inherited afterwards.
  void Merge(const OVOCustomVarDefList& other, bool overwrite, bool markAllInherited);

  // Pack(false).
  String Pack() const override;
  // The list element; with `ownOnly` inherited definitions are left out.
  String Pack(bool ownOnly) const;
  // Unpack(text) releases the current definitions, then appends one new
  // definition per "CustomVarDef" child (case ignored); other children are
  // skipped.

  // Releases all definitions (as Clear does).
  void DeleteObjects();

  // The two packed texts are equal (case-sensitive).
  bool operator==(const OVOCustomVarDefList& other) const;
  bool operator!=(const OVOCustomVarDefList& other) const { return !(*this == other); }

 protected:
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  Container defs_;
};

}  // namespace orvacmn

#endif  // ORVACMN_VARIABLES_CUSTOM_VAR_DEF_H_
