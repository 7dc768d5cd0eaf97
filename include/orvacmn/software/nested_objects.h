// Objects that a software application nests but whose fields the library
// does not interpret: the install engine, the usage-tracking detect rules
// and the managed-software data. Each keeps the child elements it does not
// read, in document order, and packs them back unchanged, so a stored
// application loses nothing on its way through the library. The managed-software data
// also reads the three EULA texts that a derived application inherits.
//
// Objects carry no locks: callers serialise access.
#ifndef ORVACMN_SOFTWARE_NESTED_OBJECTS_H_
#define ORVACMN_SOFTWARE_NESTED_OBJECTS_H_

#include <vector>

#include "orvacmn/records/kept_children_object.h"

namespace orvacmn {

// OVOKeptChildrenObject under the names its software and hardware classes
// use.
class OVOPassThroughObject : public OVOKeptChildrenObject {
 public:
  // Markup of each kept child element, in document order.
  const std::vector<String>& GetChildElements() const { return GetChildren(); }
  // Appends one element's markup; it is packed as given.
  void AddChildElement(const String& markup) { AddChild(markup); }

 protected:
  explicit OVOPassThroughObject(const CatalogueEntry& entry) : OVOKeptChildrenObject(entry) {}

  virtual void PackKnownChildren(String& /*out*/) const {}
  // True when `tag` is a field of the class, read from the parser's child.
  virtual bool UnpackKnownChild(const String& /*tag*/, OFLXMLParser& /*parser*/) { return false; }

 private:
  void PackKnown(String& out) const final { PackKnownChildren(out); }
  bool ReadKnown(std::string_view tag, OFLXMLParser& parser) final;
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
