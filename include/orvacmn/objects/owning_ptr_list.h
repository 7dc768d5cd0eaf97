// OVOOwningPtrList<T>: a typed pointer list that owns its elements, for the
// named lists of the object model that have no text form (groups,
// organisational units, patches and the other store families). The
// destructor and DeleteObjects destroy the elements; RemoveAll and the other
// removals only forget them.
//
// No locks: one thread at a time per list.
#ifndef ORVACMN_OBJECTS_OWNING_PTR_LIST_H_
#define ORVACMN_OBJECTS_OWNING_PTR_LIST_H_

#include "orvacmn/objects/ptr_list.h"

namespace orvacmn {

template <class T>
class OVOOwningPtrList : public OVOTypedPtrList<T> {
 public:
  OVOOwningPtrList() = default;
  OVOOwningPtrList(const OVOOwningPtrList&) = delete;
  OVOOwningPtrList& operator=(const OVOOwningPtrList&) = delete;
  ~OVOOwningPtrList() override { DeleteObjects(); }

  // Destroys every element and empties the list.
  void DeleteObjects() {
    for (T* element : *this) delete element;
    this->RemoveAll();
  }
};

}  // namespace orvacmn

#endif  // ORVACMN_OBJECTS_OWNING_PTR_LIST_H_
