// OVOGroupNetSettings: the network settings a group hands to the network
// cards of its clients (OVOHardwareInstalledComponent::SetNetSettingsFromGroup).
// A group object provides them by deriving from this class or by filling one.
//
// Plain values; one thread at a time.
#ifndef ORVACMN_HARDWARE_GROUP_NET_SETTINGS_H_
#define ORVACMN_HARDWARE_GROUP_NET_SETTINGS_H_

#include "orvacmn/common/types.h"

namespace orvacmn {

class OVOGroupNetSettings {
 public:
  OVOGroupNetSettings() = default;
  OVOGroupNetSettings(const OVOGroupNetSettings&) = default;
  OVOGroupNetSettings& operator=(const OVOGroupNetSettings&) = default;
  virtual ~OVOGroupNetSettings() = default;

  // "DHCP" when the cards take their address by DHCP; otherwise an address.
  const String& GetIP() const { return ip_; }
  const String& GetNetmask() const { return netmask_; }
  const String& GetDefGateway() const { return defGateway_; }
  const String& GetDNS1() const { return dns1_; }
  const String& GetDNS2() const { return dns2_; }
  const String& GetDNSDomain() const { return dnsDomain_; }
  const String& GetWINS1() const { return wins1_; }
  const String& GetWINS2() const { return wins2_; }

  void SetIP(const String& v) { ip_ = v; }
  void SetNetmask(const String& v) { netmask_ = v; }
  void SetDefGateway(const String& v) { defGateway_ = v; }
  void SetDNS1(const String& v) { dns1_ = v; }
  void SetDNS2(const String& v) { dns2_ = v; }
  void SetDNSDomain(const String& v) { dnsDomain_ = v; }
  void SetWINS1(const String& v) { wins1_ = v; }
  void SetWINS2(const String& v) { wins2_ = v; }

 private:
  String ip_, netmask_, defGateway_, dns1_, dns2_, dnsDomain_, wins1_, wins2_;
};

}  // namespace orvacmn

#endif  // ORVACMN_HARDWARE_GROUP_NET_SETTINGS_H_
