// Property bags: free-form name/value Strings inside objects.
//
// OVOProperties keeps its entries in insertion order; OVO::Properties keeps
// them ordered by name. In both, names are unique without regard to case and
// an entry keeps its name as written when it was first set. Both pack the
// same text, one element per entry:
//   <Properties><PropertyEntry><Param>name</Param><Value>value</Value>
//   </PropertyEntry>...</Properties>
// and both unpack it the same way: every "PropertyEntry" child (case
// ignored) sets the data of its last "Param" and last "Value" child (empty
// when absent); other children are skipped; a later entry of a name replaces
// the value of an earlier one.
//
// OVOProperties (schema 0x50001) also reads the older length-packed form,
// and reports 1 for every text; OVO::Properties (schema 0x50002) reads only
// the XML form and follows the base Unpack.
#ifndef ORVACMN_OBJECTS_PROPERTIES_H_
#define ORVACMN_OBJECTS_PROPERTIES_H_

#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

#include "ofl/name_index.h"
#include "ofl/string.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

// Value texts of the typed SetProperty forms and the conversions of the
// typed GetProperty forms.
namespace property_text {
String Format(long long value);
String Format(unsigned long long value);
// "%g".
String Format(double value);
// "true" for TRUE (any case) or 1, once surrounding white space is removed.
bool ReadBool(const String& value);

// The original platform's long is 32 bits, so long and unsigned long read as
// int and unsigned do: atol and AToUL, saturating at 32 bits. Only long long
// and unsigned long long read 64-bit (_atoi64, AToULL). Types narrower than
// int read as int or unsigned and are then narrowed.
template <class I>
inline constexpr bool kReadsAs32Bit =
    sizeof(I) <= 4 || std::is_same_v<I, long> || std::is_same_v<I, unsigned long>;
template <class I>
I ReadInteger(const String& value) {
  if constexpr (std::is_signed_v<I>)
    return kReadsAs32Bit<I> ? static_cast<I>(OFL::CRT::atol(value)) : static_cast<I>(OFL::CRT::_atoi64(value));
  else
    return kReadsAs32Bit<I> ? static_cast<I>(OFLTools::AToUL(value)) : static_cast<I>(OFLTools::AToULL(value));
}
}  // namespace property_text

// The operations both bags share, written once over the bag's primitives:
// FindValue(name) -> const String* (null when absent), PutValue(name, value)
// (replace or add), DeleteProperty(name) and iteration over name/value pairs.
template <class Bag>
class OVOPropertyBagOps {
 public:
  // Deletes the entry when `value` is empty and `deleteIfEmpty` is set; else
  // replaces the value of the entry with that name (case ignored) or adds one.
  void SetProperty(std::string_view name, const String& value, bool deleteIfEmpty = false) {
    if (deleteIfEmpty && value.empty()) {
      bag().DeleteProperty(name);
      return;
    }
    bag().PutValue(name, value);
  }
  // A null pointer sets the empty value.
  void SetProperty(std::string_view name, const char* value) { SetProperty(name, String(value ? value : "")); }
  void SetProperty(std::string_view name, bool value) { bag().PutValue(name, String(value ? "true" : "false")); }
  void SetProperty(std::string_view name, double value) { bag().PutValue(name, property_text::Format(value)); }
  // Integers of any type in decimal, as held: "%d", "%u", "%ld", "%lu",
  // "%I64d" and "%I64u" give these texts for every value the platform's
  // types hold, and a long beyond 32 bits loses nothing.
  template <class I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, bool>)
  void SetProperty(std::string_view name, I value) {
    if constexpr (std::is_signed_v<I>) bag().PutValue(name, property_text::Format(static_cast<long long>(value)));
    else bag().PutValue(name, property_text::Format(static_cast<unsigned long long>(value)));
  }

  // True and the value when an entry with that name exists (case ignored);
  // else false and `out` = fallback.
  bool GetProperty(std::string_view name, String& out, const String& fallback = String()) const {
    if (const String* v = bag().FindValue(name)) {
      out = *v;
      return true;
    }
    out = fallback;
    return false;
  }
  bool GetProperty(std::string_view name, bool& out, bool fallback = false) const {
    return Read(name, out, fallback, [](const String& v) { return property_text::ReadBool(v); });
  }
  bool GetProperty(std::string_view name, double& out, double fallback = 0) const {
    return Read(name, out, fallback, [](const String& v) { return OFL::CRT::atof(v); });
  }
  // Conversions of the platform's C runtime (see property_text::ReadInteger):
  // int, long, unsigned int and unsigned long are 32-bit and saturate. Here
  // int64_t is long, so a 64-bit value is read into a long long.
  template <class I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, bool>)
  bool GetProperty(std::string_view name, I& out, std::type_identity_t<I> fallback = I()) const {
    return Read(name, out, fallback, [](const String& v) { return property_text::ReadInteger<I>(v); });
  }

  bool HasProperty(std::string_view name) const { return bag().FindValue(name) != nullptr; }

  // Sets, from entry `first` on, each tokenizer entry split at "=" as the
  // tokenizer splits (empty pieces dropped): the first piece is the name, the
  // second the value (empty when missing). A null tokenizer adds nothing.
  void AddPropertiesFromTokenizer(const OFLTokenizer* tokenizer, unsigned first) {
    if (tokenizer == nullptr) return;
    const auto& items = tokenizer->Items();
    for (size_t i = first; i < items.size(); ++i) {
      const OFLTokenizer pieces(items[i], "=");
      SetProperty(pieces.GetAt(0), pieces.GetAt(1), false);
    }
  }

  // "name=value" of each entry in iteration order, joined by "; ".
  String GetReadableForm() const {
    String out;
    bool first = true;
    for (const auto& [name, value] : bag()) {
      if (!first) out.append("; ");
      first = false;
      out.append(name).append("=").append(value);
    }
    return out;
  }

 protected:
  OVOPropertyBagOps() = default;
  ~OVOPropertyBagOps() = default;

 private:
  Bag& bag() { return static_cast<Bag&>(*this); }
  const Bag& bag() const { return static_cast<const Bag&>(*this); }
  template <class T, class Convert>
  bool Read(std::string_view name, T& out, T fallback, Convert convert) const {
    out = fallback;
    const String* v = bag().FindValue(name);
    if (v == nullptr) return false;
    out = convert(*v);
    return true;
  }
};

class OVOProperties : public OVOXMLSupport, public OVOPropertyBagOps<OVOProperties> {
 public:
  struct _PropertyEntry {
    String name;
    String value;
  };

  // Yields const _PropertyEntry& in insertion order.
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = _PropertyEntry;
    using difference_type = std::ptrdiff_t;
    using pointer = const _PropertyEntry*;
    using reference = const _PropertyEntry&;

    const_iterator() = default;
    explicit const_iterator(OVOTypedPtrList<_PropertyEntry>::const_iterator it) : it_(it) {}
    reference operator*() const { return **it_; }
    pointer operator->() const { return *it_; }
    const_iterator& operator++() {
      ++it_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator t = *this;
      ++it_;
      return t;
    }
    bool operator==(const const_iterator& o) const { return it_ == o.it_; }

   private:
    OVOTypedPtrList<_PropertyEntry>::const_iterator it_;
  };

  OVOProperties();
  // Unpacks `text` when it is not empty.
  explicit OVOProperties(const String& text);
  OVOProperties(const OVOProperties& other);
  OVOProperties& operator=(const OVOProperties& other);
  OVOProperties(OVOProperties&& other) noexcept;
  OVOProperties& operator=(OVOProperties&& other) noexcept;
  ~OVOProperties() override;

  // The text of the base Pack, written into one buffer (by a subclass: the
  // base Pack with its InternalPack).
  String Pack() const override;
  void AppendPack(String& out) const override;

  using OVOXMLSupport::Unpack;
  // An empty text returns 1 and leaves the bag as it was. Otherwise clears,
  // reads the "Properties" root when there is one, else reads the text as the
  // older length-packed form (a list of length-packed name/value pairs;
  // missing parts read as empty, a malformed text gives no entries). Always 1.
  int Unpack(const String& text) override;

  bool DeleteProperty(std::string_view name);
  void DeleteEmptyProperties();
  // Removes and destroys every entry.
  void DeletePropertyList();

  int GetCount() const { return entries_.GetCount(); }
  bool IsEmpty() const { return entries_.IsEmpty(); }
  const_iterator begin() const { return const_iterator(entries_.begin()); }
  const_iterator end() const { return const_iterator(entries_.end()); }
  // The entries in insertion order; the bag owns them.
  const OVOTypedPtrList<_PropertyEntry>& GetPropertyList() const { return entries_; }

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  friend class OVOPropertyBagOps<OVOProperties>;
  struct Entry;  // an _PropertyEntry that knows its position

  const String* FindValue(std::string_view name) const;
  void PutValue(std::string_view name, String value);
  void CopyFrom(const OVOProperties& other);
  Entry* NewEntry(String&& name, String&& value);
  void FreeEntry(Entry* entry);

  OVOTypedPtrList<_PropertyEntry> entries_;
  // Entries live in blocks owned by the bag (16, 32, ... up to 4096 each), so
  // the index may view their names; deleted ones wait in a free list.
  std::vector<std::unique_ptr<Entry[]>> blocks_;
  size_t lastBlockUsed_ = 0;
  Entry* free_ = nullptr;
  OFL::NoCaseIndexOf<Entry> index_;
};

namespace OVO {

class Properties : public OVOXMLSupport, public OVOPropertyBagOps<Properties> {
 public:
  using Map = std::map<String, String, OFL::LessNoCase>;

  Properties();
  // Unpacks `text` when it is not empty.
  explicit Properties(const String& text);

  // Empties the map.
  void Clear() override;

  // The text of the base Pack, written into one buffer (by a subclass: the
  // base Pack with its InternalPack).
  String Pack() const override;
  void AppendPack(String& out) const override;

  bool DeleteProperty(std::string_view name);
  void DeleteEmptyProperties();

  int GetCount() const { return static_cast<int>(map_.size()); }
  bool IsEmpty() const { return map_.empty(); }
  Map::const_iterator begin() const { return map_.begin(); }
  Map::const_iterator end() const { return map_.end(); }
  const Map& GetMap() const { return map_; }

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;

 private:
  friend class OVOPropertyBagOps<Properties>;
  const String* FindValue(std::string_view name) const;
  void PutValue(std::string_view name, String value);

  Map map_;
};

}  // namespace OVO

}  // namespace orvacmn

#endif  // ORVACMN_OBJECTS_PROPERTIES_H_
