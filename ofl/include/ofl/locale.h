// Locale information by locale id, standing in for the platform's locale
// database: a fixed table of common locales and a process-wide system default.
#ifndef OFL_LOCALE_H_
#define OFL_LOCALE_H_

#include <cstdint>

#include "ofl/string.h"

namespace OFL {
namespace Locale {

using LCID = uint32_t;
using LCTYPE = uint32_t;

// Information types, with the platform's values.
constexpr LCTYPE LOCALE_ILANGUAGE = 0x1;          // language id, 4 hex digits ("0409")
constexpr LCTYPE LOCALE_SLANGUAGE = 0x2;          // "English (United States)"
constexpr LCTYPE LOCALE_SABBREVLANGNAME = 0x3;    // "ENU"
constexpr LCTYPE LOCALE_SNATIVELANGNAME = 0x4;    // "Deutsch"
constexpr LCTYPE LOCALE_SNATIVECTRYNAME = 0x8;    // "Deutschland"
constexpr LCTYPE LOCALE_SSHORTDATE = 0x1F;        // "M/d/yyyy"
constexpr LCTYPE LOCALE_SISO639LANGNAME = 0x59;   // "en"
constexpr LCTYPE LOCALE_SISO3166CTRYNAME = 0x5A;  // "US"
constexpr LCTYPE LOCALE_SNAME = 0x5C;             // "en-US"
constexpr LCTYPE LOCALE_SENGLANGUAGE = 0x1001;    // "English"
constexpr LCTYPE LOCALE_SENGCOUNTRY = 0x1002;     // "United States"
constexpr LCTYPE LOCALE_STIMEFORMAT = 0x1003;     // "h:mm:ss tt"
// Modifier bits of an information type; they do not change the answer here.
constexpr LCTYPE LOCALE_NOUSEROVERRIDE = 0x80000000;
constexpr LCTYPE LOCALE_USE_CP_ACP = 0x40000000;

// Pseudo locale ids that stand for the system default locale.
constexpr LCID LOCALE_USER_DEFAULT = 0x400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x800;

// The information of `type` for `lcid` (UTF-8); empty for an unknown locale
// or an unsupported type.
String GetLocaleInfo(LCID lcid, LCTYPE type);

// True when the table knows `lcid`.
bool IsKnownLCID(LCID lcid);

// The process-wide system default locale; 1033 until changed. Setting an
// unknown id is allowed: lookups through it then give nothing.
LCID GetSystemDefaultLCID();
void SetSystemDefaultLCID(LCID lcid);

}  // namespace Locale
}  // namespace OFL

#endif  // OFL_LOCALE_H_
