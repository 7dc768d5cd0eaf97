// OFLTools: XML node building, number conversions with the 32-bit semantics
// of the original platform, checksums, string resources and small platform
// services (environment, module path, files, GUIDs).
#ifndef OFL_TOOLS_H_
#define OFL_TOOLS_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <type_traits>

#include "ofl/byte_buffer.h"
#include "ofl/string.h"

class OFLTools {
 public:
  using String = OFL::String;

  // "<name>", or "</name>" when `closing` is true.
  static String MakeXMLTag(std::string_view name, bool closing = false);

  // One element holding `value` as its text: "<tag attrib>value</tag>".
  // `attrib` is inserted verbatim into the start tag (after one blank).
  // `escape`: make the value safe for XML (MakeXMLData); pass false only for
  // text that is already markup-safe. `escapeAll`: additionally write every
  // character outside printable ASCII as a character reference, for texts that
  // must survive any transport code page. Reading the node back with
  // OFLXMLParser::GetChildData returns `value` unchanged, for any value (NUL
  // is written as a character reference, which that parser reads as NUL).
  static String MakeXMLNode(std::string_view tag, std::string_view value, std::string_view attrib = {},
                            bool escape = true, bool escapeAll = false);
  static String MakeXMLNode(std::string_view tag, const char* value, std::string_view attrib = {},
                            bool escape = true, bool escapeAll = false);
  static String MakeXMLNode(std::string_view tag, const String& value, std::string_view attrib = {},
                            bool escape = true, bool escapeAll = false);
  // Integers of any type (bool as 1 or 0, a time as its seconds) in decimal,
  // exactly as held.
  template <class I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, char>)
  static String MakeXMLNode(std::string_view tag, I value, std::string_view attrib = {}) {
    if constexpr (std::is_signed_v<I>) return MakeXMLNumberNode(tag, static_cast<long long>(value), attrib);
    else return MakeXMLNumberNode(tag, static_cast<unsigned long long>(value), attrib);
  }
  // Shortest decimal text that reads back to the same double.
  static String MakeXMLNode(std::string_view tag, double value, std::string_view attrib = {});
  // The character itself, escaped.
  static String MakeXMLNode(std::string_view tag, char value, std::string_view attrib = {});

  // Appending forms of MakeXMLNode (String value, flags true/false) for hot
  // packing loops: no temporary per node.
  static void AppendXMLNode(String& out, std::string_view tag, std::string_view value);
  template <class I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, char>)
  static void AppendXMLNode(String& out, std::string_view tag, I value) {
    if constexpr (std::is_signed_v<I>) AppendXMLNumberNode(out, tag, static_cast<long long>(value));
    else AppendXMLNumberNode(out, tag, static_cast<unsigned long long>(value));
  }
  static void AppendXMLTag(String& out, std::string_view name, bool closing = false);

  // Escapes & < > " ' as entities and CR (and other control characters but
  // tab and LF) as character references, so parsers keep them.
  static String MakeXMLData(std::string_view text);
  static void AppendXMLData(String& out, std::string_view text, bool escapeAll = false);
  // MakeXMLData for an attribute value: tab and LF as references too, since a
  // reader turns white space in an attribute value into blanks.
  static String MakeXMLAttributeData(std::string_view text);
  static void AppendXMLAttributeData(String& out, std::string_view text);
  // "<tag attrib>inner</tag>" with `inner` inserted as markup, unescaped.
  static String MakeXMLElement(std::string_view tag, std::string_view inner, std::string_view attrib = {});

  // CRC-32 (IEEE, as zlib computes it) of a buffer.
  static uint32_t CalculateCRC32(const void* data, size_t length);
  static uint32_t CalculateCRC32(std::string_view data) { return CalculateCRC32(data.data(), data.size()); }

  // Decimal text to number, as the Windows C runtime reads it: leading white
  // space, an optional sign, digits; stops at the first other character. On
  // overflow AToUL gives 0xFFFFFFFF, AToLL gives INT64_MIN/INT64_MAX and
  // AToULL gives UINT64_MAX. A minus sign negates modulo 2^n for the unsigned
  // forms, as strtoul does.
  static uint32_t AToUL(std::string_view text);
  static int64_t AToLL(std::string_view text);
  static uint64_t AToULL(std::string_view text);
  static String ULToA(uint32_t value);
  static String LLToA(int64_t value);
  static String ULLToA(uint64_t value);

  // The bytes of `text` without a terminator, and back: a String of the same
  // length, NUL bytes included.
  static OFL::ByteBuffer ConvertCStringToByteBuffer(std::string_view text);
  static String ConvertByteBufferToString(std::span<const uint8_t> bytes);

  // String resource by id (7006..7317) in the current resource language;
  // empty for an unknown id.
  static String LoadResString(uint32_t id);

  // Expands %NAME% from the process environment in place. A name that is not
  // defined stays as written, or, when `removeUndefined` is true, is removed.
  // Names are matched exactly first, then ignoring case. Returns true when the
  // text changed.
  static bool ExpandEnvironmentStringsA(String& text, bool removeUndefined = false);
  // Directory of the running program, without a trailing separator.
  static String GetModulePath();

 private:
  static String MakeXMLNumberNode(std::string_view tag, long long value, std::string_view attrib);
  static String MakeXMLNumberNode(std::string_view tag, unsigned long long value, std::string_view attrib);
  static void AppendXMLNumberNode(String& out, std::string_view tag, long long value);
  static void AppendXMLNumberNode(String& out, std::string_view tag, unsigned long long value);
};

namespace OFL {

// Language of LoadResString: 1033 (English, the default) or 1031 (German).
// Any other id selects English. Process-wide; set it once at start.
void SetResourceLanguage(uint16_t languageId);
uint16_t GetResourceLanguage();

namespace Tools {
// A new random GUID: 36 characters, upper-case hex, no braces.
String GenerateGuid();
// True for 8-4-4-4-12 hex digits (either case), optionally inside braces.
bool IsGuid(std::string_view text);
// The GUID `guid` (as IsGuid accepts it) as 26 characters that are valid in
// any database object name and unique per GUID even where names are folded to
// one case: the RFC 4648 base32 text (A-Z, 2-7, no padding) of the 16 bytes
// that its 32 hex digits spell in text order, the last character carrying the
// final 3 bits and two zero bits. GUIDs differing only in the case of their
// hex digits are one GUID and give one text. The empty text for anything
// that is not a GUID.
String GuidToCompressedString(std::string_view guid);
// True when `path` names an existing file or directory.
bool FileExists(const String& path);
// True when the whole `text` matches `pattern`: "*" matches any run of
// characters (none included), "?" exactly one character (one UTF-8
// sequence), every other character itself with ASCII case ignored. Time is
// at worst proportional to the product of the two lengths, however many
// stars the pattern holds.
bool MatchPattern(std::string_view text, std::string_view pattern);
}  // namespace Tools

// Conversions with the behaviour of the Windows C runtime, where `long` is
// 32 bits: results saturate instead of wrapping or using 64-bit longs.
namespace CRT {
int32_t atol(const char* text);
int32_t atoi(const char* text);
int64_t _atoi64(const char* text);
uint32_t strtoul(const char* text);  // base 10
double atof(const char* text);
inline int32_t atol(const String& t) { return atol(t.c_str()); }
inline int32_t atoi(const String& t) { return atoi(t.c_str()); }
inline int64_t _atoi64(const String& t) { return _atoi64(t.c_str()); }
inline uint32_t strtoul(const String& t) { return strtoul(t.c_str()); }
inline double atof(const String& t) { return atof(t.c_str()); }
}  // namespace CRT

}  // namespace OFL

#endif  // OFL_TOOLS_H_
