// ovo time db|parse, ovo bandwidth, ovo speed: DB time texts, bandwidth
// texts and transmission speeds.
#include <cmath>
#include <cstdlib>
#include <iostream>

#include "orvacmn/common/ovo_helper.h"
#include "ovo.h"

namespace {

using orvacmn::OVOHelper;

// Decimal or 0x hex with an optional leading minus, within 64-bit signed.
bool ParseSigned(const std::string& text, int64_t& value) {
  const bool negative = !text.empty() && text[0] == '-';
  uint64_t magnitude;
  if (!ovo::ParseNumber(negative ? text.substr(1) : text, magnitude)) return false;
  if (magnitude > (negative ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX))) return false;
  value = negative ? int64_t(0 - magnitude) : int64_t(magnitude);
  return true;
}

// What ParseNumber accepts, or a plain decimal fraction such as 1.5e6.
bool ParseRate(const std::string& text, double& value) {
  uint64_t n;
  if (ovo::ParseNumber(text, n)) {
    value = double(n);
    return true;
  }
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.')) return false;
  if (text.find_first_of("xXpP") != std::string::npos) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isfinite(value);
}

struct Args {
  std::string value;
  bool utc = false;
};

void Register(CLI::App& app, int& exitCode) {
  auto a = std::make_shared<Args>();

  auto* time = app.add_subcommand("time", "Convert between seconds since 1970 and DB time texts");
  time->require_subcommand(1);

  auto* db = time->add_subcommand("db", "The YYYYMMDDhhmmss text of a time (local time unless --utc)");
  db->add_option("SECONDS", a->value, "Seconds since 1970-01-01 UTC (decimal or 0x hex, may be negative)")
      ->required()
      ->check(CLI::Validator(
          [](std::string& s) {
            int64_t ignored;
            return ParseSigned(s, ignored) ? std::string() : "not a 64-bit number: " + s;
          },
          "SECONDS"));
  db->add_flag("--utc", a->utc, "Write UTC instead of local time");
  db->callback([a, &exitCode] {
    int64_t t = 0;
    ParseSigned(a->value, t);
    std::cout << (a->utc ? OVOHelper::CTimeToDBTimeUTC(t) : OVOHelper::CTimeToDBTime(t)) << "\n";
    exitCode = 0;
  });

  auto* parse = time->add_subcommand("parse", "Seconds since 1970 of a DB time text (0 for an invalid text)");
  parse->add_option("TEXT", a->value, "YYYYMMDDhhmmss or YYYYMMDD")->required();
  parse->add_flag("--utc", a->utc, "Read the text as UTC instead of local time");
  parse->callback([a, &exitCode] {
    std::cout << (a->utc ? OVOHelper::DBTimeUTCToCTime(a->value) : OVOHelper::DBTimeToCTime(a->value)) << "\n";
    exitCode = 0;
  });

  auto* bandwidth = app.add_subcommand("bandwidth", "Bytes per second of a bandwidth text such as \"512 kbit\"");
  bandwidth->add_option("TEXT", a->value, "Number followed by kbit or mbit")->required();
  bandwidth->callback([a, &exitCode] {
    int64_t bps = 0;
    if (!OVOHelper::BandwidthToBytePerSec(a->value, bps)) {
      exitCode = ovo::Error("not a bandwidth (number followed by kbit or mbit): " + a->value);
      return;
    }
    std::cout << bps << "\n";
    exitCode = 0;
  });

  auto* speed = app.add_subcommand("speed", "Display text of a transmission speed");
  speed->add_option("BITS_PER_SECOND", a->value, "Bits per second (integer, 0x hex or decimal fraction)")
      ->required()
      ->check(CLI::Validator(
          [](std::string& s) {
            double ignored;
            return ParseRate(s, ignored) ? std::string() : "not a number: " + s;
          },
          "RATE"));
  speed->callback([a, &exitCode] {
    double rate = 0;
    ParseRate(a->value, rate);
    std::cout << OVOHelper::TranslateTransmissionSpeed(rate) << "\n";
    exitCode = 0;
  });
}

const ovo::Registration reg(50, Register);

}  // namespace
