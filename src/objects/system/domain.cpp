#include "orvacmn/system/domain.h"

#include <iterator>

#include "ofl/tag_sequence.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace {

enum Field { kGUID, kName, kDNSName, kServiceAccounts };
constexpr std::string_view kTags[] = {"GUID", "Name", "DNSName", "ServiceAccounts"};

std::string_view WithoutTrailingDots(std::string_view name) {
  while (!name.empty() && name.back() == '.') name.remove_suffix(1);
  return name;
}

}  // namespace

std::string_view AccountName(std::string_view account) {
  if (const size_t slash = account.find('\\'); slash != std::string_view::npos) return account.substr(slash + 1);
  if (const size_t at = account.rfind('@'); at != std::string_view::npos) return account.substr(0, at);
  return account;
}

std::string_view AccountDomain(std::string_view account) {
  if (const size_t slash = account.find('\\'); slash != std::string_view::npos) return account.substr(0, slash);
  if (const size_t at = account.rfind('@'); at != std::string_view::npos) return account.substr(at + 1);
  return {};
}

OVODomain::OVODomain(const String& text) : OVOXMLSupport(CatalogueEntryFor("OVODomain")) {
  if (!text.empty()) Unpack(text);
}

void OVODomain::Clear() {
  guid_.clear();
  name_.clear();
  dnsName_.clear();
  serviceAccounts_.clear();
  foreign_.clear();
}

bool OVODomain::operator==(const OVODomain& o) const {
  return guid_ == o.guid_ && name_ == o.name_ && dnsName_ == o.dnsName_ && serviceAccounts_ == o.serviceAccounts_ &&
         foreign_ == o.foreign_;
}

String OVODomain::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  OFLTools::AppendXMLNode(out, kTags[kGUID], guid_);
  OFLTools::AppendXMLNode(out, kTags[kName], name_);
  OFLTools::AppendXMLNode(out, kTags[kDNSName], dnsName_);
  OFLTools::AppendXMLNode(out, kTags[kServiceAccounts], serviceAccounts_);
  for (const String& markup : foreign_) out += markup;
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int OVODomain::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  return UnpackLoaded(parser);
}

int OVODomain::UnpackLoaded(OFLXMLParser& doc) {
  Clear();
  if (!doc.FindElem(GetObjectName().c_str())) return 0;
  OFL::TagSequence fields(kTags);
  ForEachChild(doc, [this, &fields](std::string_view tag, OFLXMLParser& p) {
    switch (fields.Find(tag)) {
      case kGUID: guid_.assign(p.GetChildDataView()); break;
      case kName: name_.assign(p.GetChildDataView()); break;
      case kDNSName: dnsName_.assign(p.GetChildDataView()); break;
      case kServiceAccounts: serviceAccounts_.assign(p.GetChildDataView()); break;
      default: foreign_.push_back(p.GetChildSubDoc()); break;
    }
  });
  return 1;
}

bool OVODomain::IsNamed(std::string_view domain) const {
  domain = WithoutTrailingDots(domain);
  if (domain.empty()) return false;
  return OFL::EqualsNoCase(domain, name_) || OFL::EqualsNoCase(domain, WithoutTrailingDots(dnsName_));
}

bool OVODomain::HasServiceAccount(std::string_view account) const {
  if (account.empty()) return false;
  std::string_view rest = serviceAccounts_;
  while (!rest.empty()) {
    const size_t end = rest.find(';');
    const String entry = OFL::Trim(rest.substr(0, end));
    if (OFL::EqualsNoCase(AccountName(entry), account)) return true;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return false;
}

OVODomainList::~OVODomainList() { DeleteObjects(); }

void OVODomainList::DeleteObjects() {
  for (OVODomain* d : *this) delete d;
  RemoveAll();
}

}  // namespace orvacmn
