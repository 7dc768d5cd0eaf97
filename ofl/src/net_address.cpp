#include "ofl/net_address.h"

#include <optional>

#include "ofl/tools.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsSeparator(char c) { return c == ':' || c == '-' || c == '.' || c == ' '; }

std::optional<uint32_t> ParseIPv4(std::string_view text) {
  uint32_t value = 0;
  int parts = 0;
  size_t i = 0;
  while (parts < 4) {
    size_t digits = 0;
    uint32_t part = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 3) {
      part = part * 10 + uint32_t(text[i] - '0');
      ++i, ++digits;
    }
    if (digits == 0 || part > 255) return std::nullopt;
    value = value << 8 | part;
    if (++parts < 4) {
      if (i >= text.size() || text[i] != '.') return std::nullopt;
      ++i;
    }
  }
  if (i != text.size()) return std::nullopt;
  return value;
}

bool Contiguous(uint32_t mask) { return (~mask & (~mask + 1)) == 0; }

}  // namespace

bool OFLMAC::Set(std::string_view text) {
  Clear();
  std::array<uint8_t, 6> bytes{};
  size_t i = 0;
  char separator = 0;
  for (size_t b = 0; b < 6; ++b) {
    if (b > 0 && i < text.size() && IsSeparator(text[i])) {
      if (b == 1) separator = text[i];
      if (text[i] != separator) return false;
      ++i;
    } else if (b > 0 && separator != 0) {
      return false;
    }
    if (i + 2 > text.size()) return false;
    const int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes[b] = uint8_t(hi << 4 | lo);
    i += 2;
  }
  if (i != text.size()) return false;
  bytes_ = bytes;
  return !IsEmpty();
}

void OFLMAC::Set(const std::array<uint8_t, 6>& bytes) { bytes_ = bytes; }

bool OFLMAC::IsEmpty() const {
  for (uint8_t b : bytes_)
    if (b != 0) return false;
  return true;
}

OFL::String OFLMAC::GetString(char separator) const {
  if (IsEmpty()) return String();
  static constexpr char kHex[] = "0123456789ABCDEF";
  String out;
  out.reserve(18);
  for (size_t b = 0; b < 6; ++b) {
    if (b > 0 && separator != '\0') out += separator;
    out += kHex[bytes_[b] >> 4];
    out += kHex[bytes_[b] & 15];
  }
  return out;
}

OFL::String OFLMAC::NormalizeWildcardString(std::string_view pattern) {
  String out;
  for (char c : pattern) {
    if (IsSeparator(c)) continue;
    out += OFL::ToUpperAscii(c);
  }
  return out;
}

bool OFLMAC::MatchesWildcard(std::string_view pattern) const {
  if (IsEmpty()) return false;
  static constexpr char kHex[] = "0123456789ABCDEF";
  char digits[12];
  for (size_t b = 0; b < 6; ++b) {
    digits[2 * b] = kHex[bytes_[b] >> 4];
    digits[2 * b + 1] = kHex[bytes_[b] & 15];
  }
  const std::string_view text(digits, sizeof digits);
  // Patterns are usually kept normalised; only others pay for a copy.
  for (char c : pattern)
    if (IsSeparator(c)) return OFL::Tools::MatchPattern(text, NormalizeWildcardString(pattern));
  return OFL::Tools::MatchPattern(text, pattern);
}

bool OFLIP::Set(std::string_view text) {
  const auto v = ParseIPv4(text);
  value_ = v.value_or(0);
  return v.has_value();
}

OFL::String OFLIP::GetString() const {
  if (IsEmpty()) return String();
  return std::to_string(value_ >> 24) + '.' + std::to_string(value_ >> 16 & 255) + '.' +
         std::to_string(value_ >> 8 & 255) + '.' + std::to_string(value_ & 255);
}

bool OFLIP::IsNetmask() const { return Contiguous(value_); }

bool OFLIP::IsValidRoutedAddress() const {
  const uint32_t first = value_ >> 24;
  return first != 0 && !IsLoopback() && !IsLinkLocal() && first < 224 && value_ != 0xFFFFFFFFu;
}

bool OFLIP::IsValidIP(std::string_view text) { return ParseIPv4(text).has_value(); }

bool OFLIP::IsNetmask(std::string_view text) {
  const auto v = ParseIPv4(text);
  return v && Contiguous(*v);
}
