// OFLFormat: printf-style formatting that is safe for any argument list.
//
// The format text (or the string resource it names) is read directive by
// directive and each argument is converted to what its directive asks for, so
// a mismatch never reads garbage. Directives follow the Windows C runtime:
// "%d"/"%ld"/"%u"/"%lu"/"%x" are 32-bit ("long" is 32 bits there), "%I64d",
// "%I64u", "%I64x", "%lld" and "%llu" are 64-bit, "%I32d" is 32-bit, "%#d"
// drops nothing (the "#" only matters for o, x and floating point), "%s"
// takes any string, "%c" a character, "%f"/"%g"/"%e" a double. "%n" writes
// nothing. A missing argument formats as 0 or the empty text; an argument of
// the wrong kind is converted (a number for "%s" gives the empty text, a text
// for "%d" gives 0, a null C string gives "(null)"). "%I", "%z" and "%t" take
// the full 64-bit value. Widths and numeric precisions are capped at 4096. A
// directive with an unknown conversion is copied as written; "%c" of 0 writes
// no character.
#ifndef OFL_FORMAT_H_
#define OFL_FORMAT_H_

#include <cstdint>
#include <string_view>
#include <type_traits>

#include "ofl/string.h"

namespace OFL {

// One argument of OFLFormat, captured by value or by view.
struct FormatArg {
  enum class Kind { kSigned, kUnsigned, kDouble, kString, kPointer };
  Kind kind;
  int64_t i = 0;
  uint64_t u = 0;
  double d = 0;
  std::string_view s;
  const void* p = nullptr;

  template <class T>
  static FormatArg From(const T& v) {
    FormatArg a{};
    using D = std::decay_t<T>;
    if constexpr (std::is_same_v<D, bool>) {
      a.kind = Kind::kSigned; a.i = v ? 1 : 0;
    } else if constexpr (std::is_enum_v<D>) {
      a.kind = Kind::kSigned; a.i = static_cast<int64_t>(v);
    } else if constexpr (std::is_integral_v<D> && std::is_signed_v<D>) {
      a.kind = Kind::kSigned; a.i = v;
    } else if constexpr (std::is_integral_v<D>) {
      a.kind = Kind::kUnsigned; a.u = v;
    } else if constexpr (std::is_floating_point_v<D>) {
      a.kind = Kind::kDouble; a.d = v;
    } else if constexpr (std::is_same_v<D, const char*> || std::is_same_v<D, char*>) {
      const char* p = v;
      a.kind = Kind::kString; a.s = p ? std::string_view(p) : std::string_view("(null)");
    } else if constexpr (std::is_null_pointer_v<D>) {
      a.kind = Kind::kPointer;
    } else if constexpr (std::is_convertible_v<const T&, std::string_view>) {
      a.kind = Kind::kString; a.s = std::string_view(v);
    } else if constexpr (std::is_pointer_v<D>) {
      a.kind = Kind::kPointer; a.p = v;
    } else {
      static_assert(std::is_pointer_v<D>, "unsupported OFLFormat argument type");
    }
    return a;
  }
};

// Formats `format` with `args`; the engine behind OFLFormat.
String FormatArgs(std::string_view format, const FormatArg* args, size_t count);

}  // namespace OFL

class OFLFormat {
 public:
  using String = OFL::String;

  template <class... Args>
  explicit OFLFormat(const char* format, const Args&... args) {
    const OFL::FormatArg list[] = {OFL::FormatArg::From(args)..., OFL::FormatArg{}};
    text_ = OFL::FormatArgs(format ? format : "", list, sizeof...(Args));
  }
  template <class... Args>
  explicit OFLFormat(const String& format, const Args&... args) : OFLFormat(format.c_str(), args...) {}
  // Formats the string resource `resourceId` (see OFLTools::LoadResString).
  template <class... Args>
  explicit OFLFormat(uint32_t resourceId, const Args&... args) {
    const OFL::FormatArg list[] = {OFL::FormatArg::From(args)..., OFL::FormatArg{}};
    text_ = OFL::FormatArgs(LoadResource(resourceId), list, sizeof...(Args));
  }

  operator const String&() const { return text_; }
  const String& str() const { return text_; }

 private:
  static String LoadResource(uint32_t id);
  String text_;
};

#endif  // OFL_FORMAT_H_
