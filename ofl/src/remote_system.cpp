#include "ofl/remote_system.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>

#include "ofl/net_address.h"
#include "ofl/time_limit.h"

namespace {

std::vector<OFL::String> ResolveNow(const OFL::String& name) {
  std::vector<OFL::String> out;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &list) != 0) return out;
  for (const addrinfo* a = list; a; a = a->ai_next) {
    if (a->ai_family != AF_INET || a->ai_addrlen < sizeof(sockaddr_in)) continue;
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
    if (!inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) continue;
    if (std::find(out.begin(), out.end(), text) == out.end()) out.emplace_back(text);
  }
  freeaddrinfo(list);
  return out;
}

}  // namespace

std::vector<OFL::String> OFLRemoteSystem::Resolve(const String& name, std::chrono::milliseconds limit) {
  if (name.empty() || name.find('\0') != String::npos) return {};
  // An address needs no resolver and no thread.
  if (OFLIP::IsIPAddress(name)) return {OFLIP(name).GetString()};
  return OFL::RunWithTimeLimit([name] { return ResolveNow(name); }, limit).value_or(std::vector<OFL::String>());
}

OFL::String OFLRemoteSystem::MakeFQDN(std::string_view host, std::string_view domain) {
  String fqdn(host);
  if (host.empty() || domain.empty() || host.find('.') != std::string_view::npos || OFLIP::IsIPAddress(host))
    return fqdn;
  fqdn += '.';
  fqdn += domain;
  return fqdn;
}

void OFLRemoteSystem::Set(std::string_view host, std::string_view domain, uint32_t flags) {
  Reset();
  host_.assign(host);
  domain_.assign(domain);
  fqdn_ = MakeFQDN(host, domain);
  set_ = true;
  if (!(flags & kResolve) || host_.empty()) return;
  addresses_ = Resolve(fqdn_, timeout_);
  if (addresses_.empty() && fqdn_ != host_) addresses_ = Resolve(host_, timeout_);
}

void OFLRemoteSystem::Reset() {
  host_.clear();
  domain_.clear();
  fqdn_.clear();
  addresses_.clear();
  set_ = false;
}

OFL::String OFLRemoteSystem::GetAddress() const { return addresses_.empty() ? String() : addresses_.front(); }

OFL::String OFLRemoteSystem::GetAllAddresses() const {
  String all;
  for (const String& a : addresses_) {
    if (!all.empty()) all += ';';
    all += a;
  }
  return all;
}

bool OFL::Tools::IsValidNetbiosName(std::string_view name) {
  if (name.empty() || name.size() > 15) return false;
  bool digitsOnly = true;
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u == 0x7F || std::string_view("\\/:*?\"<>|,.").find(c) != std::string_view::npos) return false;
    if (c < '0' || c > '9') digitsOnly = false;
  }
  return !digitsOnly;
}
