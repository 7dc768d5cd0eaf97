// Number conversions with the semantics of the Windows C runtime, where
// `long` is 32 bits: results saturate on overflow instead of wrapping.
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "ofl/tools.h"

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The decimal number at the start of `text` after white space and an optional
// sign. `magnitude` saturates at `limit` + 1 so callers can tell overflow.
struct Scanned {
  bool negative = false;
  bool overflow = false;
  uint64_t magnitude = 0;
};

Scanned Scan(std::string_view text, uint64_t limit) {
  Scanned r;
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    r.negative = text[i] == '-';
    ++i;
  }
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const uint64_t digit = static_cast<uint64_t>(text[i] - '0');
    if (r.overflow) continue;
    if (r.magnitude > (limit - digit) / 10) r.overflow = true;
    else r.magnitude = r.magnitude * 10 + digit;
  }
  return r;
}

// strtoul-style reading into an unsigned type of `max`: a minus sign negates
// modulo 2^n, any overflow (of either sign) gives `max`.
uint64_t ReadUnsigned(std::string_view text, uint64_t max) {
  const Scanned s = Scan(text, max);
  if (s.overflow) return max;
  return s.negative ? (0 - s.magnitude) & max : s.magnitude;
}

// strtol-style reading into a signed type with limits -(max+1)..max.
int64_t ReadSigned(std::string_view text, int64_t max) {
  const uint64_t umax = static_cast<uint64_t>(max);
  const Scanned s = Scan(text, umax + 1);
  if (s.negative) {
    if (s.overflow) return -max - 1;
    if (s.magnitude == umax + 1) return -max - 1;
    return -static_cast<int64_t>(s.magnitude);
  }
  if (s.overflow || s.magnitude > umax) return max;
  return static_cast<int64_t>(s.magnitude);
}

std::string_view View(const char* text) { return text ? std::string_view(text) : std::string_view(); }

template <class T>
OFL::String Decimal(T value) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  return OFL::String(buf, r.ptr);
}

}  // namespace

uint32_t OFLTools::AToUL(std::string_view text) { return static_cast<uint32_t>(ReadUnsigned(text, UINT32_MAX)); }

int64_t OFLTools::AToLL(std::string_view text) { return ReadSigned(text, INT64_MAX); }

uint64_t OFLTools::AToULL(std::string_view text) { return ReadUnsigned(text, UINT64_MAX); }

OFL::String OFLTools::ULToA(uint32_t value) { return Decimal(value); }

OFL::String OFLTools::LLToA(int64_t value) { return Decimal(value); }

OFL::String OFLTools::ULLToA(uint64_t value) { return Decimal(value); }

namespace OFL {
namespace CRT {

int32_t atol(const char* text) { return static_cast<int32_t>(ReadSigned(View(text), INT32_MAX)); }

int32_t atoi(const char* text) { return atol(text); }

int64_t _atoi64(const char* text) { return ReadSigned(View(text), INT64_MAX); }

uint32_t strtoul(const char* text) { return static_cast<uint32_t>(ReadUnsigned(View(text), UINT32_MAX)); }

double atof(const char* text) {
  if (text == nullptr) return 0.0;
  return std::strtod(text, nullptr);
}

}  // namespace CRT
}  // namespace OFL
