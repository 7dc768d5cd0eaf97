// Bandwidth texts ("512 kbit", "10 mbit") and transmission-speed display.
#include <cstdio>
#include <stdexcept>

#include <boost/regex.hpp>

#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace {

// The same test as the pattern below, by hand: a digit, blanks, "kbit" or
// "mbit". Used only when the regex engine gives up on a hostile text.
bool HasBandwidthMatch(const String& lower) {
  for (size_t pos = lower.find("bit", 1); pos != String::npos; pos = lower.find("bit", pos + 1)) {
    const char unit = lower[pos - 1];
    if (unit != 'k' && unit != 'm') continue;
    size_t i = pos - 1;
    while (i > 0 && lower[i - 1] == ' ') --i;
    if (i > 0 && lower[i - 1] >= '0' && lower[i - 1] <= '9') return true;
  }
  return false;
}

bool ContainsBandwidth(const String& lower) {
  static const boost::regex pattern("([0-9]+)[ ]*[km]bit");
  try {
    return boost::regex_search(lower, pattern, boost::match_any);
  } catch (const std::runtime_error&) {
    return HasBandwidthMatch(lower);
  }
}

// The number at the start of the text, read like sscanf's "%lu" into a
// 32-bit unsigned: white space, an optional sign, digits. The digits are
// gathered in 64 bits (saturating at 2^64-1) and then cut to 32 bits, as the
// C runtimes do when they store a conversion into a narrower target.
uint32_t ReadLeadingNumber(const String& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint64_t value = 0;
  bool overflow = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const unsigned digit = unsigned(text[i] - '0');
    if (value > (UINT64_MAX - digit) / 10) overflow = true;
    else value = value * 10 + digit;
  }
  // An overflowing number saturates whatever its sign, as strtoul does.
  if (overflow) return UINT32_MAX;
  if (negative) value = 0 - value;
  return static_cast<uint32_t>(value);
}

}  // namespace

bool OVOHelper::BandwidthToBytePerSec(const String& text, int64_t& bytesPerSecond) {
  const String lower = OFL::ToLower(text.c_str());
  if (!ContainsBandwidth(lower)) return false;
  const uint64_t unit = lower.find("mbit") != String::npos ? 1048576 : 1024;
  bytesPerSecond = static_cast<int64_t>((uint64_t(ReadLeadingNumber(lower)) * unit) >> 3);
  return true;
}

String OVOHelper::TranslateTransmissionSpeed(double bitsPerSecond) {
  const char* format;
  double value;
  if (bitsPerSecond > 1000000000.0) {
    format = "%4.1f GBit/s";
    value = bitsPerSecond / 1000000000.0;
  } else if (bitsPerSecond > 1000000.0) {
    format = "%4.1f MBit/s";
    value = bitsPerSecond / 1000000.0;
  } else {
    format = "%4.1f KBit/s";
    value = bitsPerSecond / 1000.0;
  }
  const int n = std::snprintf(nullptr, 0, format, value);
  if (n <= 0) return String();
  String out(size_t(n) + 1, '\0');
  std::snprintf(out.data(), out.size(), format, value);
  out.resize(size_t(n));
  return out;
}

}  // namespace orvacmn
