// OFLNetworkAdapter: one network adapter of a computer as the agent reports
// it: its interface name, its hardware address and its IPv4 addresses.
//
// Text form (GetAsString): "name;MAC;ip,ip,..." with the MAC as six
// upper-case pairs joined by ':' (empty when unknown). In the name, '%', the
// list separators ';' ',' '|', blanks, control characters and every byte from
// DEL on are written as "%XX", so the text is printable ASCII without blanks
// or '|' and can be joined into lists. SetFromString reads that form back; a '%' not followed by two hex
// digits stands for itself, an invalid MAC leaves the MAC empty and invalid
// or empty addresses are skipped, so GetAsString of what it read is a fixed
// point. Plain value type; any thread.
#ifndef OFL_NETWORK_ADAPTER_H_
#define OFL_NETWORK_ADAPTER_H_

#include <string_view>
#include <vector>

#include "ofl/net_address.h"
#include "ofl/string.h"

class OFLNetworkAdapter {
 public:
  using String = OFL::String;

  OFLNetworkAdapter() = default;
  explicit OFLNetworkAdapter(std::string_view text) { SetFromString(text); }

  const String& GetName() const { return name_; }
  void SetName(std::string_view name) { name_.assign(name); }
  const OFLMAC& GetMAC() const { return mac_; }
  void SetMAC(const OFLMAC& mac) { mac_ = mac; }
  // The non-empty addresses in the order they were added.
  const std::vector<OFLIP>& GetIPs() const { return ips_; }
  // Appends a non-empty address that is not held yet.
  void AddIP(const OFLIP& ip);
  // Drops the automatic-configuration (169.254/16) addresses.
  void RemoveLinkLocalIPs();

  // No name, no MAC and no address.
  bool IsEmpty() const { return name_.empty() && mac_.IsEmpty() && ips_.empty(); }
  void Clear() { *this = OFLNetworkAdapter(); }

  String GetAsString() const;
  // Replaces the adapter with the one the text describes; false (and the
  // adapter empty) when the text describes an empty adapter.
  bool SetFromString(std::string_view text);

  friend bool operator==(const OFLNetworkAdapter&, const OFLNetworkAdapter&) = default;

 private:
  String name_;
  OFLMAC mac_;
  std::vector<OFLIP> ips_;
};

#endif  // OFL_NETWORK_ADAPTER_H_
