// OVODomain: a Windows domain the suite manages, with the accounts under
// which the suite's own services and installations run there (its service
// accounts). The server uses the domains to tell a service account's logon
// from a user's (ClientMgmtHelper::IsOVSAccount). OVODomainList: an owning
// list of domains (no text form).
//
// Packed as "Domain" (whole-object style): "GUID" (the record's key), "Name"
// (the NetBIOS name), "DNSName" and "ServiceAccounts" (account names joined
// by ";"), always; then every child element this class does not know, as it
// came, so that a record written by another program survives a load and a
// save. Unpack reads known tags without regard to case (a later element
// wins).
//
// Objects carry no locks; use each from one thread at a time.
#ifndef ORVACMN_SYSTEM_DOMAIN_H_
#define ORVACMN_SYSTEM_DOMAIN_H_

#include <string_view>
#include <vector>

#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

class OVODomain : public OVOXMLSupport {
 public:
  // Object name "Domain"; unpacks `text` when it is not empty.
  explicit OVODomain(const String& text = String());
  OVODomain(const OVODomain&) = default;
  OVODomain& operator=(const OVODomain&) = default;
  ~OVODomain() override = default;

  String Pack() const override;
  using OVOXMLSupport::Unpack;
  // Clears; 1 when the text's root is "Domain", else 0.
  int Unpack(const String& text) override;
  int UnpackLoaded(OFLXMLParser& loaded) override;
  // Empty fields, no foreign elements.
  void Clear() override;

  // Every field and foreign element equal.
  bool operator==(const OVODomain& other) const;

  const String& GetGuid() const { return guid_; }
  void SetGuid(const String& v) { guid_ = v; }
  const String& GetName() const { return name_; }
  void SetName(const String& v) { name_ = v; }
  const String& GetDNSName() const { return dnsName_; }
  void SetDNSName(const String& v) { dnsName_ = v; }
  const String& GetServiceAccounts() const { return serviceAccounts_; }
  void SetServiceAccounts(const String& v) { serviceAccounts_ = v; }
  // The markup of the child elements kept as they came, in document order.
  const std::vector<String>& GetForeignElements() const { return foreign_; }

  // True when `domain` is this domain's NetBIOS or DNS name (case ignored,
  // trailing dots of a DNS name dropped). The empty text names no domain.
  bool IsNamed(std::string_view domain) const;
  // True when `account` (a name without domain) is one of the service
  // accounts (case ignored); a listed "DOMAIN\name" or "name@domain" counts
  // by its name.
  bool HasServiceAccount(std::string_view account) const;

 private:
  String guid_;
  String name_;
  String dnsName_;
  String serviceAccounts_;
  std::vector<String> foreign_;
};

// Owns its domains: the destructor and DeleteObjects delete them.
class OVODomainList : public OVOTypedPtrList<OVODomain> {
 public:
  OVODomainList() = default;
  OVODomainList(const OVODomainList&) = delete;
  OVODomainList& operator=(const OVODomainList&) = delete;
  ~OVODomainList() override;
  void DeleteObjects();
};

// The name part of an account text: "DOMAIN\name" and "name@domain" give
// name; a text without either is the name.
std::string_view AccountName(std::string_view account);
// The domain part: DOMAIN, domain, or the empty text.
std::string_view AccountDomain(std::string_view account);

}  // namespace orvacmn

#endif  // ORVACMN_SYSTEM_DOMAIN_H_
