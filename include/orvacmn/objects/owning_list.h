// OVOOwningList<Derived, T>: the older list pattern for whole-object
// elements, shared by the job, job-target and job-step lists.
//
// A typed pointer list of T that owns its elements (the destructor, Clear and
// DeleteObjects free them) and packs as its object name around each
// element's text. Unpack forgets rather than frees the current pointers, as
// their owner may hold them elsewhere, then reads every child where it
// stands: Derived::ReadElement(parser, child) makes the element for the
// parser's current child (null: the child is skipped); `child` is a scratch
// parser it may load the child into.
//
// No locks: one thread at a time per list.
#ifndef ORVACMN_OBJECTS_OWNING_LIST_H_
#define ORVACMN_OBJECTS_OWNING_LIST_H_

#include <memory>

#include "ofl/tools.h"
#include "orvacmn/objects/catalogue.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

template <class Derived, class T>
class OVOOwningList : public OVOTypedPtrList<T>, public OVOXMLSupport {
 public:
  OVOOwningList(const OVOOwningList&) = delete;
  OVOOwningList& operator=(const OVOOwningList&) = delete;
  ~OVOOwningList() override { DeleteObjects(); }

  String Pack() const override {
    String out;
    AppendElements(out);
    return out;
  }
  void AppendPack(String& out) const override {
    if (!IsExactly<Derived>()) out += Pack();
    else AppendElements(out);
  }
  using OVOXMLSupport::Unpack;
  // 1 when the text holds a root of the object name, else 0.
  int Unpack(const String& text) override {
    OFLXMLParser parser;
    parser.SetDoc(text);
    return UnpackLoaded(parser);
  }
  // The same on the element a loaded parser holds, read in place.
  int UnpackLoaded(OFLXMLParser& loaded) override {
    this->RemoveAll();
    if (!loaded.FindElem(GetObjectName().c_str())) return 0;
    OFLXMLParser child;  // one for all elements
    while (loaded.FindChildElem()) {
      std::unique_ptr<T> element = Derived::ReadElement(loaded, child);
      if (!element) continue;
      this->AddTail(element.get());
      element.release();
    }
    return 1;
  }
  void Clear() override { DeleteObjects(); }
  // Destroys every element and empties the list.
  void DeleteObjects() {
    for (T* e : *this) delete e;
    this->RemoveAll();
  }

 protected:
  // Unpacks `text` when it is not empty.
  OVOOwningList(const CatalogueEntry& entry, const String& text) : OVOXMLSupport(entry) {
    if (text.empty()) return;
    try {
      Unpack(text);
    } catch (...) {  // no destructor runs for a half-built list
      DeleteObjects();
      throw;
    }
  }

 private:
  void AppendElements(String& out) const {
    OFLTools::AppendXMLTag(out, GetObjectName());
    for (const T* e : *this)
      if (e) e->AppendPack(out);
    OFLTools::AppendXMLTag(out, GetObjectName(), true);
  }
};

}  // namespace orvacmn

#endif  // ORVACMN_OBJECTS_OWNING_LIST_H_
