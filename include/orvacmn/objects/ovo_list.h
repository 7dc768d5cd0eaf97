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

#include <memory>
#include <type_traits>

#include "ofl/tools.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

// Opt-in for element types whose unpacking from a child's markup can be done
// on the child in place, without printing and reparsing it. Specialise to
// true_type only for a type that keeps the base Unpack(const String&) and
// Unpack(OFLXMLParser&) and whose InternalUnpack reads only the children of
// the element it is given (FindChildElem, GetChild*, nested Unpack(parser))
// and leaves the cursors where it found them. The result is then the same
// object as from the markup: the parser prints and reads markup without loss,
// and the markup's root is found exactly when the child's tag equals the
// object name.
template <class T>
struct OVOListUnpacksInPlace : std::false_type {};

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

  // The text of the base Pack, written into one buffer.
  String Pack() const override {
    String out;
    AppendPack(out);
    return out;
  }
  void AppendPack(String& out) const override {
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
    while (parser.FindChildElem()) {
      auto element = std::make_unique<T>(String());
      if constexpr (OVOListUnpacksInPlace<T>::value) {
        element->Clear();
        if (parser.GetChildTagName() == element->GetObjectName()) element->Unpack(parser);
      } else {
        element->Unpack(parser.GetChildSubDoc());
      }
      this->AddTail(element.get());
      element.release();
    }
  }

  void InternalClear() override {
    POSITION pos = this->GetHeadPosition();
    while (pos) delete this->GetNext(pos);
    this->RemoveAll();
  }

 private:
  void AppendElements(String& out) const {
    for (const T* e : *this) {
      if (e == nullptr) continue;
      if constexpr (requires { e->AppendPack(out); }) e->AppendPack(out);
      else out += e->Pack();
    }
  }

  bool ownsElements_ = true;
};

}  // namespace orvacmn

#endif  // ORVACMN_OBJECTS_OVO_LIST_H_
