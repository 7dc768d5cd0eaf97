// OVOClientIdentification: what a client computer tells about itself so that
// the server can find its record: GUID, workstation SID, names, domain, up to
// twelve MACs, twelve locally administered addresses (LAAs) and twelve IPv4
// addresses, the IP-with-netmask list and its network adapters.
//
// The agent fills it from its own machine (Init); the server asks the record
// store for the candidate values of each identification method
// (GetCandidates) in the order of its identification scheme.
//
// Packed as "ClientIdentification" in the whole-object style: every field is
// always written, in a fixed order. Reading is tolerant: Unpack clears, reads
// the first root element whatever its name, ignores unknown children, leaves
// a slot empty for a text that is no valid address, cuts lists at twelve,
// and reports 1 in every case.
//
// Objects carry no locks: callers serialise access. Init reads the machine
// on the calling thread.
#ifndef ORVACMN_SYSTEM_CLIENT_IDENTIFICATION_H_
#define ORVACMN_SYSTEM_CLIENT_IDENTIFICATION_H_

#include <array>
#include <cstdint>
#include <vector>

#include "ofl/net_address.h"
#include "ofl/network_adapter.h"
#include "ofl/tokenizer.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

class OVOClientIdentification : public OVOXMLSupport {
 public:
  static constexpr int32_t kSlotCount = 12;

  // Parts of Init.
  static constexpr uint32_t kInitMacs = 0x01;      // MACs, LAAs (and adapters)
  static constexpr uint32_t kInitHostName = 0x02;
  static constexpr uint32_t kInitIps = 0x04;       // IPs (and adapters)
  static constexpr uint32_t kInitDomain = 0x08;    // LMDomain; enables the two below
  static constexpr uint32_t kInitSid = 0x10;
  static constexpr uint32_t kInitFqdn = 0x20;      // FQDN and IP-with-prefix list
  static constexpr uint32_t kInitAll = 0x3F;

  // Identification methods, the numbers of an identification scheme.
  enum EIdentificationMethod : uint32_t {
    eByGuid = 1,
    eByMacList = 2,
    eByLaa = 3,
    eByHostName = 4,
    eByIp = 5,
    eByDisplayName = 6,
    eByFqdn = 7,
  };
  static constexpr std::array<uint32_t, 7> kDefaultIdentificationScheme = {1, 2, 6, 7, 4, 3, 5};

  using MacSlots = std::array<OFLMAC, kSlotCount>;
  using IpSlots = std::array<OFLIP, kSlotCount>;

  // Unpacks `text` unless it is empty.
  explicit OVOClientIdentification(const String& text = String());
  OVOClientIdentification(const OVOClientIdentification&) = default;
  OVOClientIdentification& operator=(const OVOClientIdentification&) = default;

  String Pack() const override;
  void AppendPack(String& out) const override;
  using OVOXMLSupport::Unpack;
  int Unpack(const String& text) override;
  int UnpackLoaded(OFLXMLParser& loaded) override;
  void Clear() override;

  // Fills the object from this machine: the parts of `mask` (kInit*), after
  // clearing it unless `keep`. `includeDownInterfaces` goes to the IP-with-
  // prefix lookup. Every part is tried; returns 0 or the errno value of the
  // first part that failed.
  int32_t Init(uint32_t mask = kInitAll, bool keep = false, bool includeDownInterfaces = false);

  // GUID non-empty, a MAC or IP set, or HostName or FQDN non-empty.
  bool IsValid() const;
  // True for "", for an IP text found in GetIPList() (substring search), or
  // for FQDN or HostName (case ignored).
  bool IsMatching(const String& text) const;
  // One line for messages; "<No Identifier>" when nothing is set.
  String GetIdentifier() const;
  // The values the store is asked for under `method` (1 to 7), in order;
  // nothing for another number or when the method's field is not set.
  std::vector<String> GetCandidates(uint32_t method) const;

  // Address lists joined by ";". GetMACList: `separator` between the bytes
  // ('\0' for none); an empty slot before the first MAC gives an empty entry
  // unless `skipLeadingEmpty`.
  String GetMACList(char separator = ':', bool skipLeadingEmpty = false) const;
  String GetLAAList() const;
  String GetIPList() const;

  int32_t GetMACCount() const;
  int32_t GetLAACount() const;
  int32_t GetIPCount() const;
  const OFLMAC& GetPrimaryMAC() const { return macs_[0]; }
  const OFLMAC& GetPrimaryLAA() const { return laas_[0]; }
  const OFLIP& GetPrimaryIP() const { return ips_[0]; }
  const MacSlots& GetMACs() const { return macs_; }
  const MacSlots& GetLAAs() const { return laas_; }
  const IpSlots& GetIPs() const { return ips_; }
  // Text of the first IP that can be routed; empty when none.
  String GetValidRoutedIPAddress() const;
  // The netmask paired with the primary IP in the IP-with-prefix list; the
  // empty address when the primary IP is not listed.
  OFLIP GetPrimarySubnetMask() const;

  // Whether a slot holds the value; an empty address is never found.
  bool FindMAC(const OFLMAC& mac) const;
  bool FindMAC(const String& text) const { return FindMAC(OFLMAC(text)); }
  bool FindLAA(const OFLMAC& mac) const;
  bool FindIP(uint32_t ip) const;
  bool FindIP(const String& text) const { return FindIP(OFLIP(text).GetValue()); }
  // Index of this object's first non-empty slot whose value `other` holds, or -1.
  int32_t FindMatchingMAC(const OVOClientIdentification& other) const;
  int32_t FindMatchingLAA(const OVOClientIdentification& other) const;
  int32_t FindMatchingIP(const OVOClientIdentification& other) const;

  // The list setters fill slot i from the i-th ";"-separated entry (an empty
  // or invalid entry leaves that slot empty); entries beyond twelve are
  // dropped. The plain forms empty all slots first.
  void SetMACList(const String& text);
  void SetMACListNoReset(const String& text);
  void SetLAAList(const String& text);
  void SetIPList(const String& text);
  void SetIPListNoReset(const String& text);
  // Moves the address to the front of its list (inserting it when absent);
  // an empty address changes nothing.
  void SetPrimaryMAC(const OFLMAC& mac);
  void SetPrimaryIP(const OFLIP& ip);
  void SetPrimaryIP(const String& text) { SetPrimaryIP(OFLIP(text)); }
  void SetPrimaryLAA(const OFLMAC& mac) { laas_[0] = mac; }

  const String& GetGuid() const { return guid_; }
  void SetGuid(const String& guid) { guid_ = guid; }
  const String& GetSid() const { return sid_; }
  void SetSid(const String& sid) { sid_ = sid; }
  const String& GetDisplayName() const { return displayName_; }
  void SetDisplayName(const String& name) { displayName_ = name; }
  const String& GetHostname() const { return hostName_; }
  void SetHostname(const String& name) { hostName_ = name; }
  const String& GetLMDomain() const { return lmDomain_; }
  void SetLMDomain(const String& domain) { lmDomain_ = domain; }
  const String& GetFQDN() const { return fqdn_; }
  void SetFQDN(const String& fqdn) { fqdn_ = fqdn; }
  // Decimal (address, netmask) values joined by "#".
  const String& GetIpWithPrefixList() const { return ipWithPrefix_; }
  void SetIpWithPrefixList(const String& list) { ipWithPrefix_ = list; }
  const std::vector<OFLNetworkAdapter>& GetNetworkAdapters() const { return adapters_; }
  // Keeps the first twelve non-empty adapters.
  void SetNetworkAdapters(const std::vector<OFLNetworkAdapter>& adapters);

  // Every field of `other`, except that a GUID this object has is kept, and
  // so is its SID when `other` has none.
  void Update(const OVOClientIdentification& other);

  // Drops every MAC whose text without separators matches one of
  // `macPatterns` (separators in a pattern are ignored) and every IP whose
  // dotted text matches one of `ipPatterns`; the rest move up in order.
  void RemoveBlacklistedIds(const OFLTokenizer& macPatterns, const OFLTokenizer& ipPatterns);
  // The same on a ";"-separated IP list, written back in place.
  static void RemoveBlacklistedIPs(String& ipList, const OFLTokenizer& ipPatterns);

  bool operator==(const OVOClientIdentification& other) const;

 protected:
  // Reads the fields when the object is unpacked through a container's parser.
  void InternalUnpack(OFLXMLParser& parser) override;

 private:
  void ReadFields(OFLXMLParser& parser);
  void AppendFields(String& out) const;
  void SetAdaptersFromText(std::string_view text);

  String sid_;
  String ipWithPrefix_;
  String guid_;
  String displayName_;
  String hostName_;
  String lmDomain_;
  String fqdn_;
  MacSlots macs_{};
  MacSlots laas_{};
  IpSlots ips_{};
  std::vector<OFLNetworkAdapter> adapters_;
};

}  // namespace orvacmn

#endif  // ORVACMN_SYSTEM_CLIENT_IDENTIFICATION_H_
