// OVOList<T>: a packable list of objects.
//
// The packed text is the list's own element (its object name comes from the
// constructor's caller; schema 0x50001) holding each element's Pack() in list
// order. Unpacking appends one new element per child of any tag, in document
// order: each is constructed from the empty String and unpacked from the
// child's markup, and is kept even when the child's tag is not its object
// name (it then stays cleared).
//
// Clear() and Unpack destroy the current elements whatever the owns flag
// says; the destructor destroys them only when the flag is set.
//
// T needs: a constructor from a String (empty for a fresh element), Pack()
// const, Unpack(const String&), operator== and a virtual destructor.
//
// Named lists only pass their object name:
//   class OVOTextEntryList : public OVOList<OVOTextEntry> {
//    public:
//     explicit OVOTextEntryList(const String& text = String(), bool owns = true)
//         : OVOList<OVOTextEntry>("TextEntryList", text, owns) {}
//   };
#ifndef ORVACMN_OBJECTS_OVO_LIST_H_
#define ORVACMN_OBJECTS_OVO_LIST_H_

#include <concepts>
#include <memory>
#include <type_traits>
#include <typeinfo>

#include "ofl/tools.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

// Element types whose unpacking from a child's markup can be done on the
// child in place, without printing and parsing it again: those whose
// Unpack(const String&) and UnpackLoaded are declared by the same class (both
// the base's, or both their own; found out below), and those specialised to
// true_type here. Such an element is unpacked by UnpackLoaded from a parser
// that reads the child where it stands (OFLXMLParser::SetDocFromChild), which
// gives what the child's markup gives.
template <class T>
struct OVOListUnpacksInPlace : std::false_type {};

namespace ovo_list_internal {

template <class C>
C* TextUnpackOwner(int (C::*)(const String&));
template <class C>
C* LoadedUnpackOwner(int (C::*)(OFLXMLParser&));
template <class C>
C* PackOwner(String (C::*)() const);
template <class C>
C* AppendPackOwner(void (C::*)(String&) const);

// The Unpack(const String&) and the UnpackLoaded that T uses are declared by
// one class, so they read alike.
template <class T>
concept UnpacksLoadedAsText = requires {
  { TextUnpackOwner(&T::Unpack) } -> std::same_as<decltype(LoadedUnpackOwner(&T::UnpackLoaded))>;
};
template <class T>
concept UnpacksInPlace =
    std::is_convertible_v<T*, OVOXMLSupport*> && (OVOListUnpacksInPlace<T>::value || UnpacksLoadedAsText<T>);

// Pack and AppendPack of T are the base's: an element of exactly class T
// packs as its tags around InternalPack().
template <class T>
concept KeepsBasePack = std::is_convertible_v<T*, OVOXMLSupport*> && requires {
  { PackOwner(&T::Pack) } -> std::same_as<OVOXMLSupport*>;
  { AppendPackOwner(&T::AppendPack) } -> std::same_as<OVOXMLSupport*>;
};

}  // namespace ovo_list_internal

template <class T>
class OVOList : public OVOTypedPtrList<T>, public OVOXMLSupport {
 public:
  explicit OVOList(const String& objectName, const String& text = String(), bool ownsElements = true)
      : OVOXMLSupport(objectName, kSchema50001) {
    if (!text.empty()) {
      try {
        Unpack(text);
      } catch (...) {  // no destructor runs for a half-built list
        InternalClear();
        throw;
      }
    }
    ownsElements_ = ownsElements;
  }
  OVOList(const OVOList&) = delete;
  OVOList& operator=(const OVOList&) = delete;
  ~OVOList() override {
    if (ownsElements_) Clear();
  }

  using OVOXMLSupport::Unpack;

  bool GetOwnsElements() const { return ownsElements_; }
  void SetOwnsElements(bool owns) { ownsElements_ = owns; }

  // Same count and pairwise equal elements in list order (two null elements
  // are equal, a null and a non-null one are not).
  virtual bool operator==(const OVOList& other) const {
    if (this->GetCount() != other.GetCount()) return false;
    POSITION a = this->GetHeadPosition();
    POSITION b = other.GetHeadPosition();
    while (a) {
      const T* x = this->GetNext(a);
      const T* y = other.GetNext(b);
      if (x == y) continue;
      if (x == nullptr || y == nullptr || !(*x == *y)) return false;
    }
    return true;
  }
  virtual bool operator!=(const OVOList& other) const { return !(*this == other); }

  // The text of the base Pack, written into one buffer (by a subclass: the
  // base Pack with its InternalPack).
  String Pack() const override {
    if (!IsExactly<OVOList>()) return OVOXMLSupport::Pack();
    String out;
    AppendPack(out);
    return out;
  }
  void AppendPack(String& out) const override {
    if (!IsExactly<OVOList>()) {
      out += Pack();
      return;
    }
    OFLTools::AppendXMLTag(out, GetObjectName());
    AppendElements(out);
    OFLTools::AppendXMLTag(out, GetObjectName(), true);
  }

 protected:
  String InternalPack() const override {
    String out;
    AppendElements(out);
    return out;
  }

  void InternalUnpack(OFLXMLParser& parser) override {
    if constexpr (ovo_list_internal::UnpacksInPlace<T>) {
      OFLXMLParser child;  // one for all elements
      while (parser.FindChildElem()) {
        auto element = std::make_unique<T>(String());
        child.SetDocFromChild(parser);
        element->UnpackLoaded(child);
        this->AddTail(element.get());
        element.release();
      }
    } else {
      while (parser.FindChildElem()) {
        auto element = std::make_unique<T>(String());
        element->Unpack(parser.GetChildSubDoc());
        this->AddTail(element.get());
        element.release();
      }
    }
  }

  void InternalClear() override {
    POSITION pos = this->GetHeadPosition();
    while (pos) delete this->GetNext(pos);
    this->RemoveAll();
  }

 private:
  void AppendElements(String& out) const {
    bool sized = false;
    size_t left = static_cast<size_t>(this->GetCount());
    for (const T* e : *this) {
      --left;
      if (e == nullptr) continue;
      const size_t before = out.size();
      AppendElement(out, *e);
      if (sized) continue;
      sized = true;
      // Room for the others, sized like the first, instead of growing step
      // by step through a long list.
      const size_t size = out.size() - before;
      const size_t want = out.size() + (size + size / 8) * left + 64;
      if (left > 0 && want > out.capacity()) out.reserve(want);
    }
  }
  static void AppendElement(String& out, const T& e) {
    if constexpr (ovo_list_internal::KeepsBasePack<T>) {
      if (typeid(e) == typeid(T)) {  // no subclass overrides the packing
        AppendBasePack(out, e);
        return;
      }
    }
    if constexpr (requires { e.AppendPack(out); }) e.AppendPack(out);
    else out += e.Pack();
  }

  bool ownsElements_ = true;
};

}  // namespace orvacmn

#endif  // ORVACMN_OBJECTS_OVO_LIST_H_
