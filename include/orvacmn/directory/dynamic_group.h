// Dynamic groups and SQL conditions.
//
// A dynamic group selects its managed systems by a database statement that
// the console builds; the object store realises each group as a database
// view. OVODynamicGroup holds the statement with the console's editor data,
// its organisational unit and its access list; OvoSqlCondition is the same
// statement-plus-editor-data pair used on its own wherever a selection
// condition is stored.
//
// "DynamicGroup": "GUID", "OrgUnit", "Name", "Statement", "QueryData",
// "SqlViewName", "Comment" (Strings), "Options" (unsigned decimal: bits 0 to
// 2 the icon mode), then the nested "ObjectRights"; always all of them. A
// second "ObjectRights" is read into the same rights, as a nested object
// read in place is not cleared first.
// "SQLCondition": "Managed" (signed decimal, default 1), "QueryData",
// "Statement".
//
// Objects carry no locks; one thread at a time per object.
#ifndef ORVACMN_DIRECTORY_DYNAMIC_GROUP_H_
#define ORVACMN_DIRECTORY_DYNAMIC_GROUP_H_

#include <cstdint>

#include "orvacmn/objects/object_rights.h"
#include "orvacmn/objects/owning_ptr_list.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

// The position of a statement's WHERE keyword, outside string literals and
// parentheses, or -1.
int FindWhereKeyword(const String& statement);

class OVODynamicGroup : public OVOXMLSupport {
 public:
  static constexpr uint32_t kIconModeMask = 0x7;

  OVODynamicGroup();
  // Unpacks `text` when it is not empty.
  explicit OVODynamicGroup(const String& text);
  bool operator==(const OVODynamicGroup& other) const;
  bool operator!=(const OVODynamicGroup& other) const { return !(*this == other); }

  const String& GetGUID() const { return guid_; }
  void SetGUID(const String& v) { guid_ = v; }
  const String& GetOrgUnit() const { return orgUnit_; }
  void SetOrgUnit(const String& v) { orgUnit_ = v; }
  const String& GetName() const { return name_; }
  void SetName(const String& v) { name_ = v; }
  const String& GetStatement() const { return statement_; }
  void SetStatement(const String& v) { statement_ = v; }
  const String& GetQueryData() const { return queryData_; }
  void SetQueryData(const String& v) { queryData_ = v; }
  const String& GetSqlViewName() const { return sqlViewName_; }
  void SetSqlViewName(const String& v) { sqlViewName_ = v; }
  const String& GetComment() const { return comment_; }
  void SetComment(const String& v) { comment_ = v; }
  uint32_t GetOptions() const { return options_; }
  void SetOptions(uint32_t v) { options_ = v; }
  OVOObjectRights& GetObjectRights() { return rights_; }
  const OVOObjectRights& GetObjectRights() const { return rights_; }

  // Options AND 7.
  uint32_t GetIconMode() const { return options_ & kIconModeMask; }
  // Replaces bits 0 to 2 with `mode`, which is not masked: higher bits of it
  // are set too.
  void SetIconMode(uint32_t mode) { options_ = (options_ & ~kIconModeMask) | mode; }
  // True when any of `bits` is set.
  bool GetOption(uint32_t bits) const { return (options_ & bits) != 0; }
  void SetOption(uint32_t bits, bool on) { options_ = on ? (options_ | bits) : (options_ & ~bits); }

  // "vw_" and the compressed text of the GUID (OFL::Tools::GuidToCompressedString):
  // 29 characters, letters, digits and "_", a valid database object name
  // however the database folds case. "vw_" alone for a text that is no GUID.
  static String GenerateViewName(const String& guid);

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  struct TextField;
  static const TextField kTextFields[];

  String guid_, orgUnit_, name_, statement_, queryData_, sqlViewName_, comment_;
  uint32_t options_ = 0;
  OVOObjectRights rights_;
};

class OvoSqlCondition : public OVOXMLSupport {
 public:
  OvoSqlCondition();
  // Unpacks `text` when it is not empty.
  explicit OvoSqlCondition(const String& text);
  bool operator==(const OvoSqlCondition& other) const {
    return managed_ == other.managed_ && queryData_ == other.queryData_ && statement_ == other.statement_;
  }
  bool operator!=(const OvoSqlCondition& other) const { return !(*this == other); }

  int32_t GetManaged() const { return managed_; }
  void SetManaged(int32_t v) { managed_ = v; }
  const String& GetQueryData() const { return queryData_; }
  void SetQueryData(const String& v) { queryData_ = v; }
  const String& GetStatement() const { return statement_; }
  void SetStatement(const String& v) { statement_ = v; }

  // FindWhereKeyword of the statement.
  int FindWhereClause() const { return FindWhereKeyword(statement_); }

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  int32_t managed_ = 1;
  String queryData_;
  String statement_;
};

// Owns its groups.
class OVODynamicGroupList : public OVOOwningPtrList<OVODynamicGroup> {
 public:
  using OVOOwningPtrList<OVODynamicGroup>::Find;
  // The first group whose name equals `name` (case respected) and its
  // position; null (and `position` null) when there is none.
  OVODynamicGroup* Find(const String& name, POSITION& position) const;
};

}  // namespace orvacmn

#endif  // ORVACMN_DIRECTORY_DYNAMIC_GROUP_H_
