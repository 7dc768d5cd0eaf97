// Objects that a software application nests but whose fields the library
// does not interpret: the install engine, the usage-tracking detect rules
// and the managed-software data. Each keeps the child elements it receives,
// in document order, and packs them back unchanged, so a stored application
// loses nothing on its way through the library. The managed-software data
// also reads the three EULA texts that a derived application inherits.
//
// Objects carry no locks: callers serialise access.
#ifndef ORVACMN_SOFTWARE_NESTED_OBJECTS_H_
#define ORVACMN_SOFTWARE_NESTED_OBJECTS_H_

#include <vector>

#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

class OVOPassThroughObject : public OVOXMLSupport {
 public:
  // Markup of each kept child element, in document order.
  const std::vector<String>& GetChildElements() const { return children_; }
  // Appends one element's markup; it is packed as given.
  void AddChildElement(const String& markup) { children_.push_back(markup); }

 protected:
  explicit OVOPassThroughObject(const CatalogueEntry& entry) : OVOXMLSupport(entry) {}
  bool ChildrenEqual(const OVOPassThroughObject& other) const { return children_ == other.children_; }

  // The known fields' nodes, then the kept elements.
  String InternalPack() const override;
  // Offers each child to UnpackKnownChild and keeps it when that declines.
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override { children_.clear(); }

  virtual void PackKnownChildren(String& /*out*/) const {}
  // True when `tag` is a field of the class, read from the parser's child.
  virtual bool UnpackKnownChild(const String& /*tag*/, OFLXMLParser& /*parser*/) { return false; }

 private:
  std::vector<String> children_;
};

class OVOInstallEngine : public OVOPassThroughObject {
 public:
  OVOInstallEngine();
  explicit OVOInstallEngine(const String& text);
  bool operator==(const OVOInstallEngine& other) const { return ChildrenEqual(other); }
  bool operator!=(const OVOInstallEngine& other) const { return !(*this == other); }
};

class OVOAUTApplicationDetectRules : public OVOPassThroughObject {
 public:
  OVOAUTApplicationDetectRules();
  explicit OVOAUTApplicationDetectRules(const String& text);
  bool operator==(const OVOAUTApplicationDetectRules& other) const { return ChildrenEqual(other); }
  bool operator!=(const OVOAUTApplicationDetectRules& other) const { return !(*this == other); }
};

// "ManagedSoftwareData": "EULAURL", "EULAReleaseDate" and "EULAAcceptedDate"
// (Strings, always written first), then the kept elements.
class OVOManagedSoftwareProperties : public OVOPassThroughObject {
 public:
  OVOManagedSoftwareProperties();
  explicit OVOManagedSoftwareProperties(const String& text);
  bool operator==(const OVOManagedSoftwareProperties& other) const;
  bool operator!=(const OVOManagedSoftwareProperties& other) const { return !(*this == other); }

  const String& GetEULAURL() const { return eulaUrl_; }
  void SetEULAURL(const String& v) { eulaUrl_ = v; }
  const String& GetEULAReleaseDate() const { return eulaReleaseDate_; }
  void SetEULAReleaseDate(const String& v) { eulaReleaseDate_ = v; }
  const String& GetEULAAcceptedDate() const { return eulaAcceptedDate_; }
  void SetEULAAcceptedDate(const String& v) { eulaAcceptedDate_ = v; }

 protected:
  void PackKnownChildren(String& out) const override;
  bool UnpackKnownChild(const String& tag, OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  String eulaUrl_, eulaReleaseDate_, eulaAcceptedDate_;
};

}  // namespace orvacmn

#endif  // ORVACMN_SOFTWARE_NESTED_OBJECTS_H_
