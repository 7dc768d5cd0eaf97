// OVOHelper: conversions shared by the whole library.
//
// OS types: a 64-bit bit set with one bit per Windows release and
// architecture; a set with several bits means any of them. The tables name the
// bits and the editions (sub-types). DB time: "YYYYMMDDhhmmss" (or the 8-digit
// date "YYYYMMDD") in local time or UTC. Bandwidth texts: a number followed by
// kbit or mbit. Schedule intervals: the packed 32-bit form used by jobs.
//
// All members are static; none throws.
#ifndef ORVACMN_COMMON_OVO_HELPER_H_
#define ORVACMN_COMMON_OVO_HELPER_H_

#include <cstdint>

#include "ofl/os_version.h"
#include "orvacmn/common/types.h"

namespace orvacmn {

// One row of the OS type table. The table ends with a row whose shortName is
// null. `flag` is published for callers and not used by the library.
struct OS_TYPE {
  const char* shortName;
  const char* longName;
  uint64_t type;
  uint32_t flag;
};

// One row of the OS sub-type (edition) table, ended like OS_TYPE. The flags
// are published for callers and not used by the library.
struct OS_SUB_TYPE {
  const char* shortName;
  const char* longName;
  uint64_t type;
  uint32_t flag1;
  uint32_t flag2;
};

class OVOHelper {
 public:
  OVOHelper() = delete;

  // ---- OS types ----

  // The value written "Any": every one of the 24 low bits.
  static constexpr uint64_t kOSTypeAny = 0xFFFFFF;
  // Product flags of the version conversions; the low bits are the suite mask.
  static constexpr uint32_t kProductServer = 0x80000000;
  static constexpr uint32_t kProductWorkstation = 0x40000000;
  static constexpr uint32_t kSuiteEnterprise = 0x2;
  static constexpr uint32_t kSuiteWebEdition = 0x400;

  // The tables, in their fixed order, each ended by a null-short-name row.
  static const OS_TYPE* GetOSTypesPtr();
  static const OS_SUB_TYPE* GetOSSubTypesPtr();

  // "Any" for exactly kOSTypeAny; otherwise the short names of all rows whose
  // bit intersects `type`, in table order, joined by ","; empty if none.
  static String OSType_DWord_to_String(uint64_t type);
  // The long name of the row whose bit equals `type`; empty if none.
  static String OSType_DWord_to_StringLong(uint64_t type);
  // Upper-case hexadecimal without prefix.
  static String OSType_DWord_to_HexString(uint64_t type);
  // kOSTypeAny for exactly "Any"; otherwise the OR of the bits of all rows
  // whose short name, or else long name, is one of the ","-separated parts.
  // Names compare exactly (case and blanks count).
  static uint64_t OSType_String_to_DWord(const String& text);
  // The 32-bit counterpart of a single x64 bit (0x1000 -> 0x40); x64-only
  // releases map to themselves; every other value is returned unchanged.
  static uint64_t OSType_GetBase(uint64_t type);
  // True for Vista and later, whose deployment runs from a pre-installation
  // environment (judged on OSType_GetBase).
  static bool OSType_IsPEBased(uint64_t type);
  // The OS type bit of a Windows version; 0 for an unknown version. Only the
  // architecture text "x64" (any case) counts as x64; use
  // TranslateArchitecture first to accept "AMD64".
  static uint64_t OSType_From_WinVer(uint32_t major, uint32_t minor, uint32_t build, uint32_t productFlags,
                                     const String& architecture);
  // OSType_From_WinVer with the version's numbers, kProductWorkstation for
  // type 1 and kProductServer otherwise, and its architecture.
  static uint64_t OSType_From_OSVersion(const OFLOSVersion& version);

  // The other name of the first sub-type row whose short (long) name equals
  // the argument, ignoring case; empty if none.
  static String OSSubType_ShortToLong(const String& shortName);
  static String OSSubType_LongToShort(const String& longName);
  // The OS type bit of the first sub-type row with that short name (ignoring
  // case); 0 if none.
  static uint64_t OSSubTypeShortStringToOSType(const String& shortName);
  // The sub-type short name of a Windows version; empty for an unknown one.
  // Some results (the 32-bit server editions of 6.1 to 6.3) name no table row.
  static String OSSubType_VerToString(uint32_t major, uint32_t minor, uint32_t build, uint32_t productFlags,
                                      const String& architecture);
  // The same with kProductWorkstation for type 1, kProductServer otherwise,
  // ORed with the version's suite mask.
  static String OSSubType_VerToString(const OFLOSVersion& version);

  // The bits of `types` (given as 32-bit releases) for `architecture`: "x64"
  // maps each release to its x64 bit, "ia64" drops them, anything else keeps
  // the 32-bit bits. NT4 is kept always, Windows 2000 except on x64/ia64, and
  // the x64-only releases only on x64. Comparisons ignore case.
  static uint64_t TranslateOSTypesByArch(uint64_t types, const String& architecture);
  // "x86" for "x86"; "x64" for "x64" or "amd64" (ignoring case); otherwise
  // the text unchanged.
  static String TranslateArchitecture(const String& text);
  // False when both types have bit 63 set; otherwise true when they share a
  // bit.
  static bool IsOSSupported(uint64_t a, uint64_t b);

  // ---- DB time ----

  // "YYYYMMDDhhmmss" of the local (UTC) broken-down time. Empty for a
  // negative time, and for a time whose year has more than four digits.
  static String CTimeToDBTime(CTime t);
  static String CTimeToDBTimeUTC(CTime t);
  // Reads a 14-digit DB time, or an 8-digit date at 00:00:00, as local time
  // (daylight saving decided by the C library) or as UTC. Gives 0 for: a
  // 14-character text that sorts before "19700102000000"; any other length;
  // a field that is not all digits; a field out of its range (month 1-12,
  // day 1-31, hour 0-23, minute and second 0-59); a year before 1900; and a
  // result before 1970. A day beyond the month's end rolls into the next
  // month ("20230231" is 3 March), as the C library normalises it.
  static CTime DBTimeToCTime(const String& text);
  static CTime DBTimeUTCToCTime(const String& text);

  // ---- Bandwidth and speed ----

  // Accepts a text (case ignored) holding a number, optional blanks and
  // "kbit" or "mbit" anywhere. The number read is the one at the start of
  // the text, like "%lu" into a 32-bit unsigned: leading white space and a
  // sign are allowed, a minus negates modulo 2^32, digits beyond 2^64-1
  // saturate to 0xFFFFFFFF and smaller values wrap modulo 2^32; a text that
  // does not start with a number reads 0. Result: number * 1024 (or 1048576
  // when the text contains "mbit") / 8, computed in 64 bits. False, with
  // `bytesPerSecond` unchanged, when the text holds no such match. The text
  // ends at its first NUL character.
  static bool BandwidthToBytePerSec(const String& text, int64_t& bytesPerSecond);
  // "%4.1f GBit/s" above 1e9 bits per second, "%4.1f MBit/s" above 1e6,
  // otherwise "%4.1f KBit/s" (powers of 1000).
  static String TranslateTransmissionSpeed(double bitsPerSecond);

  // ---- Locale ----

  // Empty for lcid 0; otherwise the locale information of `type` for the
  // lcid, or, when there is none, the lcid in decimal ("%d").
  static String LCIDToText(uint32_t lcid, uint32_t type);
  // The local date of `t` in the system default locale's short-date picture;
  // with `withTime`, followed by `separator` and the local time in the
  // locale's time picture (without an AM/PM designator). Empty for a
  // negative time.
  static String CTimeToSystemDefaultShortDateString(CTime t, bool withTime = false,
                                                    const String& separator = " ");

  // ---- Schedule interval ----
  //
  // Bits 0-10 minutes after midnight, 12-15 kind, 16-23 count, 24-30 the
  // weekdays Monday to Sunday; bits 11 and 31 are 0.

  struct IntervalParts {
    uint32_t kind = 0;
    uint32_t count = 0;
    uint32_t minutes = 0;
    bool monday = false, tuesday = false, wednesday = false, thursday = false, friday = false,
         saturday = false, sunday = false;
    bool operator==(const IntervalParts&) const = default;
  };

  // Packs the parts; kind is truncated to 4 bits, count to 8, minutes to 11.
  // Kinds 1 and 2 (monthly) set all weekday bits whatever is passed.
  static uint32_t CompressInterval(uint32_t kind, uint32_t count, uint32_t minutes, bool monday, bool tuesday,
                                   bool wednesday, bool thursday, bool friday, bool saturday, bool sunday);
  static uint32_t CompressInterval(const IntervalParts& parts);
  static void ExpandInterval(uint32_t interval, uint32_t& kind, uint32_t& count, uint32_t& minutes, bool& monday,
                             bool& tuesday, bool& wednesday, bool& thursday, bool& friday, bool& saturday,
                             bool& sunday);
  static IntervalParts ExpandInterval(uint32_t interval);
};

}  // namespace orvacmn

#endif  // ORVACMN_COMMON_OVO_HELPER_H_
