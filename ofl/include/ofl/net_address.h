// OFLMAC and OFLIP: a hardware address and an IPv4 address as values.
//
// Both are small copyable values, empty by default; a text that is not a
// valid address leaves them empty. Pure values: any thread.
#ifndef OFL_NET_ADDRESS_H_
#define OFL_NET_ADDRESS_H_

#include <array>
#include <cstdint>
#include <string_view>

#include "ofl/string.h"

// A 48-bit MAC address.
class OFLMAC {
 public:
  using String = OFL::String;

  OFLMAC() = default;
  explicit OFLMAC(std::string_view text) { Set(text); }

  // Reads twelve hexadecimal digits, either plain or as six pairs separated
  // by one of ':' '-' '.' or blank (the same one throughout). Anything else,
  // and the all-zero address, leaves the address empty; returns !IsEmpty().
  bool Set(std::string_view text);
  void Set(const std::array<uint8_t, 6>& bytes);
  void Clear() { bytes_ = {}; }

  bool IsEmpty() const;
  // Bit 1 of the first byte: an address set by software, not burnt in.
  bool IsLocallyAdministered() const { return (bytes_[0] & 0x02) != 0; }
  const std::array<uint8_t, 6>& GetBytes() const { return bytes_; }
  // Upper-case pairs joined by `separator` ('\0' for none); empty for an
  // empty address.
  String GetString(char separator = ':') const;

  // A pattern of hexadecimal digits and the wildcards '*' and '?' with the
  // separators removed and letters upper-cased, for matching against
  // GetString('\0').
  static String NormalizeWildcardString(std::string_view pattern);
  // Whether GetString('\0') matches `pattern` ("*" any run, "?" one digit,
  // case ignored) once NormalizeWildcardString has removed its separators.
  // The empty address matches nothing.
  bool MatchesWildcard(std::string_view pattern) const;

  friend bool operator==(const OFLMAC&, const OFLMAC&) = default;

 private:
  std::array<uint8_t, 6> bytes_{};
};

// An IPv4 address held as its 32-bit value in host order; 0 is "empty".
class OFLIP {
 public:
  using String = OFL::String;

  OFLIP() = default;
  explicit OFLIP(uint32_t value) : value_(value) {}
  explicit OFLIP(std::string_view text) { Set(text); }

  // Dotted decimal, four parts 0-255 without signs or blanks; anything else
  // leaves the address empty. Returns IsValidIP(text).
  bool Set(std::string_view text);
  void Set(uint32_t value) { value_ = value; }
  void Clear() { value_ = 0; }

  bool IsEmpty() const { return value_ == 0; }
  uint32_t GetValue() const { return value_; }
  // Dotted decimal; empty for an empty address.
  String GetString() const;

  // Contiguous ones from the top (0.0.0.0 and 255.255.255.255 included).
  bool IsNetmask() const;
  // An address a packet can be routed to: not 0.0.0.0/8, loopback,
  // link-local (169.254/16), multicast, reserved or broadcast.
  bool IsValidRoutedAddress() const;
  bool IsLinkLocal() const { return (value_ & 0xFFFF0000u) == 0xA9FE0000u; }
  bool IsLoopback() const { return (value_ >> 24) == 127; }

  static bool IsValidIP(std::string_view text);
  // IsValidIP, the name the callers of a host-or-address text use.
  static bool IsIPAddress(std::string_view text) { return IsValidIP(text); }
  static bool IsNetmask(std::string_view text);

  friend bool operator==(const OFLIP&, const OFLIP&) = default;

 private:
  uint32_t value_ = 0;
};

#endif  // OFL_NET_ADDRESS_H_
