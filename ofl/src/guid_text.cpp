#include <cstdint>

#include "ofl/tools.h"

namespace OFL::Tools {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return ToLowerAscii(c) - 'a' + 10;  // IsGuid has checked the digit
}

}  // namespace

String GuidToCompressedString(std::string_view guid) {
  if (!IsGuid(guid)) return String();
  if (guid.size() == 38) guid = guid.substr(1, 36);
  // Upper-case base32: letters and digits only, and no two of its characters
  // differ by case alone, so a database that folds names keeps them apart.
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
  String out;
  out.reserve(26);
  uint32_t bits = 0;
  int count = 0;
  for (const char c : guid) {
    if (c == '-') continue;
    bits = (bits << 4) | static_cast<uint32_t>(HexValue(c));
    count += 4;
    if (count >= 5) {
      count -= 5;
      out += kAlphabet[(bits >> count) & 31];
    }
  }
  out += kAlphabet[(bits << (5 - count)) & 31];  // 128 = 25 * 5 + 3
  return out;
}

}  // namespace OFL::Tools
