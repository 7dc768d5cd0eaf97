#include "ofl/network_adapter.h"

#include <algorithm>

namespace {

bool NeedsEscape(unsigned char c) {
  return c <= 0x20 || c >= 0x7F || c == '%' || c == ';' || c == ',' || c == '|';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = OFL::ToUpperAscii(c);
  return (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
}

OFL::String Unescape(std::string_view text) {
  OFL::String out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) << 4 | HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

void OFLNetworkAdapter::AddIP(const OFLIP& ip) {
  if (!ip.IsEmpty() && std::find(ips_.begin(), ips_.end(), ip) == ips_.end()) ips_.push_back(ip);
}

void OFLNetworkAdapter::RemoveLinkLocalIPs() {
  std::erase_if(ips_, [](const OFLIP& ip) { return ip.IsLinkLocal(); });
}

OFL::String OFLNetworkAdapter::GetAsString() const {
  static constexpr char kHex[] = "0123456789ABCDEF";
  String out;
  out.reserve(name_.size() + 20 + 16 * ips_.size());
  for (const char ch : name_) {
    const auto c = static_cast<unsigned char>(ch);
    if (NeedsEscape(c)) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += ch;
    }
  }
  out += ';';
  out += mac_.GetString(':');
  out += ';';
  for (size_t i = 0; i < ips_.size(); ++i) {
    if (i) out += ',';
    out += ips_[i].GetString();
  }
  return out;
}

bool OFLNetworkAdapter::SetFromString(std::string_view text) {
  Clear();
  const size_t first = text.find(';');
  name_ = Unescape(text.substr(0, first));
  if (first != std::string_view::npos) {
    text.remove_prefix(first + 1);
    const size_t second = text.find(';');
    mac_.Set(text.substr(0, second));
    if (second != std::string_view::npos) {
      text.remove_prefix(second + 1);
      while (!text.empty()) {
        const size_t comma = text.find(',');
        AddIP(OFLIP(text.substr(0, comma)));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
      }
    }
  }
  return !IsEmpty();
}
