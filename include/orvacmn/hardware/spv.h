// OvoSpv: settings by operating system, carried by managed systems, hardware
// objects and the job-step packet (data for the install ini).
//
// Each entry is an OS type bit set (the operating systems it applies to), a
// section, a parameter name and a value. Entries are kept in insertion order
// and never merged: the same section and parameter may occur twice.
//
// Packed form: "<SPV>", per entry "<SPVEntry>" with "OS" (64-bit decimal),
// "Section", "Param" and "Value", then "</SPV>". Unpack empties the list
// first, reads every "SPVEntry" child (tags case ignored; missing fields 0 or
// empty) and skips other children.
//
// One thread at a time per object.
#ifndef ORVACMN_HARDWARE_SPV_H_
#define ORVACMN_HARDWARE_SPV_H_

#include <cstdint>

#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

class OvoSpv : public OVOXMLSupport {
 public:
  struct _SPVEntry {
    int64_t os = 0;
    String section;
    String param;
    String value;
    bool operator==(const _SPVEntry&) const = default;
  };

  OvoSpv();
  // Unpacks `text` when it is not empty.
  explicit OvoSpv(const String& text);
  // Deep copies.
  OvoSpv(const OvoSpv& other);
  OvoSpv& operator=(const OvoSpv& other);
  ~OvoSpv() override;

  // The same entries in the same order.
  bool operator==(const OvoSpv& other) const;
  bool operator!=(const OvoSpv& other) const { return !(*this == other); }

  String Pack() const override;
  void AppendPack(String& out) const override;
  using OVOXMLSupport::Unpack;
  // Deletes the entries.
  void Clear() override;

  // Appends a new entry (the list owns it) and returns it.
  _SPVEntry* Insert(int64_t os, const String& section, const String& param, const String& value);
  // Frees every entry and empties the list.
  void DeleteList();

  // The first entry whose OS set shares a system with `os`
  // (OVOHelper::IsOSSupported) and whose section and parameter equal the
  // given ones (case ignored); null if none.
  const _SPVEntry* Find(int64_t os, const String& section, const String& param) const;

  int GetCount() const { return entries_.GetCount(); }
  bool IsEmpty() const { return entries_.IsEmpty(); }
  // The entries in list order; the object owns them.
  const OVOTypedPtrList<_SPVEntry>& GetList() const { return entries_; }

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;

 private:
  void AppendEntries(String& out) const;

  OVOTypedPtrList<_SPVEntry> entries_;
};

}  // namespace orvacmn

#endif  // ORVACMN_HARDWARE_SPV_H_
