// The pieces every keyed record class is made of: the kinds of its declared
// fields and the macro that writes a class from its field list.
//
// A field list is an X-macro: F(Name, Kind, key) for each field, with Name
// its tag, Kind one of the structs in record_fields below and key kKeyField
// or kDataField. ORVACMN_RECORD_BODY(Class, Base, "Catalogued class", FIELDS)
// then gives the class its catalogue pair, the field table kFields, an index
// eName per field, a default constructor, a constructor from a packed text,
// and GetName()/SetName() per field in the kind's type. Values are held as
// their text, so a field the record did not change is written back as it
// came (OVOKeptChildrenObject).
#ifndef ORVACMN_RECORDS_RECORD_FIELDS_H_
#define ORVACMN_RECORDS_RECORD_FIELDS_H_

#include <cstdint>

#include "ofl/tools.h"
#include "orvacmn/records/kept_children_object.h"
#include "orvacmn/objects/object_rights.h"
#include "orvacmn/objects/release_level.h"

namespace orvacmn {

inline constexpr bool kKeyField = true;
inline constexpr bool kDataField = false;

// Reads `markup`, one element whose tag is the object's name in any case,
// into a cleared `object` the way a container reads a nested object. 1 when
// it did, else 0 (object cleared).
int UnpackNestedMarkup(OVOXMLSupport& object, const String& markup);

namespace record_fields {

// A String, as it stands.
struct Text {
  static constexpr KeptField::Kind kKind = KeptField::kText;
  using Param = const String&;
  static const String& Get(const String& text) { return text; }
  static const String& Put(const String& value) { return value; }
};

// A nested element, as its markup.
struct Markup {
  static constexpr KeptField::Kind kKind = KeptField::kElement;
  using Param = const String&;
  static const String& Get(const String& markup) { return markup; }
  static const String& Put(const String& markup) { return markup; }
};

// An unsigned 32-bit number in decimal (read as the Windows C runtime's
// strtoul does, saturating).
struct UInt32 {
  static constexpr KeptField::Kind kKind = KeptField::kText;
  using Param = uint32_t;
  static uint32_t Get(const String& text) { return OFLTools::AToUL(text); }
  static String Put(uint32_t value) { return OFLTools::ULToA(value); }
};

// A release level as its decimal value; a missing or foreign value reads as
// "not specified".
struct Level {
  static constexpr KeptField::Kind kKind = KeptField::kText;
  using Param = OVOReleaseLevel;
  static OVOReleaseLevel Get(const String& text) { return OVOReleaseLevel(OFL::CRT::atoi(text)); }
  static String Put(OVOReleaseLevel value) { return value.ToString(); }
};

// The record's access list, a nested "ObjectRights" element.
struct Rights {
  static constexpr KeptField::Kind kKind = KeptField::kElement;
  using Param = const OVOObjectRights&;
  static OVOObjectRights Get(const String& markup) {
    OVOObjectRights rights;
    if (!markup.empty()) UnpackNestedMarkup(rights, markup);
    return rights;
  }
  static String Put(const OVOObjectRights& rights) { return rights.Pack(); }
};

}  // namespace record_fields
}  // namespace orvacmn

#define ORVACMN_RECORD_FIELD_INDEX(Name, Kind, Key) e##Name,
#define ORVACMN_RECORD_FIELD_SPEC(Name, Kind, Key) \
  ::orvacmn::KeptField{#Name, ::orvacmn::record_fields::Kind::kKind, Key},
#define ORVACMN_RECORD_FIELD_ACCESSORS(Name, Kind, Key)                                                    \
  decltype(auto) Get##Name() const { return ::orvacmn::record_fields::Kind::Get(FieldText(e##Name)); } \
  void Set##Name(::orvacmn::record_fields::Kind::Param value) {                                        \
    SetFieldText(e##Name, ::orvacmn::record_fields::Kind::Put(value));                                 \
  }

// The public part of a record class deriving from `Base`, an
// OVOKeptChildrenObject whose constructor takes the catalogue entry and the
// field table.
#define ORVACMN_RECORD_BODY(Class, Base, Catalogued, FIELDS)                                  \
 public:                                                                                       \
  enum EField : size_t { FIELDS(ORVACMN_RECORD_FIELD_INDEX) eFieldCount };                     \
  static constexpr ::orvacmn::KeptField kFields[] = {FIELDS(ORVACMN_RECORD_FIELD_SPEC)};       \
  static constexpr ::std::string_view kClassName = Catalogued;                                 \
  Class() : Base(::orvacmn::CatalogueEntryFor(Catalogued), kFields) {}                         \
  /* Unpacks `text` when it is not empty. */                                                   \
  explicit Class(const ::orvacmn::String& text) : Class() {                                    \
    if (!text.empty()) Unpack(text);                                                           \
  }                                                                                            \
  FIELDS(ORVACMN_RECORD_FIELD_ACCESSORS)

#endif  // ORVACMN_RECORDS_RECORD_FIELDS_H_
