// OVOSoftwareApplicationList: a typed pointer list of software applications
// that packs as "SoftwareApplications" (one packed application per element,
// in list order).
//
// The list follows the older named-list pattern: Unpack and Clear forget the
// current pointers without destroying the applications (callers that own
// them call DeleteObjects first); Unpack appends one new application per
// "SoftwareApplication" child (tag case ignored), read where it stands, and
// skips other children. The destructor destroys the elements.
//
// Objects carry no locks: callers serialise access.
#ifndef ORVACMN_SOFTWARE_APPLICATION_LIST_H_
#define ORVACMN_SOFTWARE_APPLICATION_LIST_H_

#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"
#include "orvacmn/software/application.h"

namespace orvacmn {

class OVOSoftwareApplicationList : public OVOTypedPtrList<OVOSoftwareApplication>, public OVOXMLSupport {
 public:
  OVOSoftwareApplicationList();
  // Unpacks `text` when it is not empty.
  explicit OVOSoftwareApplicationList(const String& text);
  OVOSoftwareApplicationList(const OVOSoftwareApplicationList&) = delete;
  OVOSoftwareApplicationList& operator=(const OVOSoftwareApplicationList&) = delete;
  ~OVOSoftwareApplicationList() override;

  String Pack() const override;
  void AppendPack(String& out) const override;
  using OVOXMLSupport::Unpack;
  int Unpack(const String& text) override;
  // Forgets the pointers; the applications are not destroyed.
  void Clear() override { RemoveAll(); }

  // Destroys every application and empties the list.
  void DeleteObjects();
};

}  // namespace orvacmn

#endif  // ORVACMN_SOFTWARE_APPLICATION_LIST_H_
