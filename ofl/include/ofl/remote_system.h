// OFLRemoteSystem: the name of another computer and, when asked, its IPv4
// addresses from the system's resolver (getaddrinfo).
//
// A lookup waits at most the time limit: it runs on a worker thread, and when
// the limit passes the caller goes on with no addresses while the worker
// finishes on its own and drops its answer. The fully qualified name is the
// host name when that is an address or already holds a ".", else the host
// name, "." and the domain (the host name alone without a domain).
//
// One thread at a time per object; lookups of different objects may overlap.
#ifndef OFL_REMOTE_SYSTEM_H_
#define OFL_REMOTE_SYSTEM_H_

#include <chrono>
#include <cstdint>
#include <string_view>
#include <vector>

#include "ofl/string.h"

class OFLRemoteSystem {
 public:
  using String = OFL::String;

  // Flags of Set.
  static constexpr uint32_t kResolve = 0x1;  // look the addresses up now
  static constexpr std::chrono::milliseconds kDefaultTimeout{5000};

  OFLRemoteSystem() = default;
  OFLRemoteSystem(std::string_view host, std::string_view domain, uint32_t flags) { Set(host, domain, flags); }

  // Keeps the names and the fully qualified name; with kResolve looks the
  // addresses up (the fully qualified name first, then the host name alone),
  // otherwise leaves them empty. An empty host name resolves nothing.
  void Set(std::string_view host, std::string_view domain, uint32_t flags);
  void Reset();
  void SetTimeout(std::chrono::milliseconds limit) { timeout_ = limit; }

  // True after Set (even when the lookup found nothing).
  bool IsSet() const { return set_; }
  const String& GetHostName() const { return host_; }
  const String& GetDomain() const { return domain_; }
  const String& GetFQDN() const { return fqdn_; }
  // The addresses as dotted text in the resolver's order, without repeats.
  const std::vector<String>& GetAddresses() const { return addresses_; }
  // The first address; empty when there is none.
  String GetAddress() const;
  // The addresses joined by ";".
  String GetAllAddresses() const;

  static String MakeFQDN(std::string_view host, std::string_view domain);
  // The IPv4 addresses of `name` within `limit`; empty on failure or timeout.
  static std::vector<String> Resolve(const String& name, std::chrono::milliseconds limit);

 private:
  String host_;
  String domain_;
  String fqdn_;
  std::vector<String> addresses_;
  std::chrono::milliseconds timeout_ = kDefaultTimeout;
  bool set_ = false;
};

namespace OFL {
namespace Tools {
// A computer name as the platform's name service takes it: 1 to 15 bytes,
// not all digits, no blank, control character or any of \ / : * ? " < > | , .
bool IsValidNetbiosName(std::string_view name);
}  // namespace Tools
}  // namespace OFL

#endif  // OFL_REMOTE_SYSTEM_H_
