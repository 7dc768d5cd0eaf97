// The engine behind OFLFormat: each directive of the format text is parsed,
// its argument converted to what the directive asks for, and the single
// directive formatted with snprintf from a rebuilt, well-typed directive.
#include "ofl/format.h"

#include <cmath>
#include <cstdio>

#include "ofl/tools.h"

namespace OFL {
namespace {

// Widths and precisions beyond this are capped: no real text needs them and
// they would only let a hostile format text allocate without bound.
constexpr int kMaxField = 4096;

enum class Size { kDefault, kChar, kShort, k64, kNative };

struct Directive {
  bool minus = false, plus = false, space = false, hash = false, zero = false;
  int width = -1;      // -1: none
  int precision = -1;  // -1: none
  Size size = Size::kDefault;
  char conv = 0;
};

class Args {
 public:
  Args(const FormatArg* args, size_t count) : args_(args), count_(count) {}
  // The next argument, or null when the list is used up.
  const FormatArg* Next() { return next_ < count_ ? &args_[next_++] : nullptr; }

 private:
  const FormatArg* args_;
  size_t count_;
  size_t next_ = 0;
};

int64_t DoubleToInt64(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 9223372036854775807.0) return INT64_MAX;
  if (d <= -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(d);
}

int64_t AsInt64(const FormatArg* a) {
  if (a == nullptr) return 0;
  switch (a->kind) {
    case FormatArg::Kind::kSigned: return a->i;
    case FormatArg::Kind::kUnsigned: return static_cast<int64_t>(a->u);
    case FormatArg::Kind::kDouble: return DoubleToInt64(a->d);
    case FormatArg::Kind::kPointer: return static_cast<int64_t>(reinterpret_cast<uintptr_t>(a->p));
    case FormatArg::Kind::kString: return 0;
  }
  return 0;
}

uint64_t AsUInt64(const FormatArg* a) {
  if (a != nullptr && a->kind == FormatArg::Kind::kUnsigned) return a->u;
  if (a != nullptr && a->kind == FormatArg::Kind::kDouble && a->d >= 18446744073709551615.0) return UINT64_MAX;
  if (a != nullptr && a->kind == FormatArg::Kind::kDouble && a->d >= 9223372036854775808.0)
    return static_cast<uint64_t>(a->d);
  return static_cast<uint64_t>(AsInt64(a));
}

double AsDouble(const FormatArg* a) {
  if (a == nullptr) return 0.0;
  switch (a->kind) {
    case FormatArg::Kind::kSigned: return static_cast<double>(a->i);
    case FormatArg::Kind::kUnsigned: return static_cast<double>(a->u);
    case FormatArg::Kind::kDouble: return a->d;
    default: return 0.0;
  }
}

int Clamp(int64_t v) { return v > kMaxField ? kMaxField : static_cast<int>(v); }

// Parses the directive starting after "%" at `pos`; on success `pos` is after
// its conversion character. False when the text ends inside the directive.
// Arguments for "*" widths and precisions are taken here, in text order.
bool Parse(std::string_view f, size_t& pos, Directive& d, Args& args) {
  for (; pos < f.size(); ++pos) {
    const char c = f[pos];
    if (c == '-') d.minus = true;
    else if (c == '+') d.plus = true;
    else if (c == ' ') d.space = true;
    else if (c == '#') d.hash = true;
    else if (c == '0') d.zero = true;
    else break;
  }
  if (pos < f.size() && f[pos] == '*') {
    ++pos;
    const int64_t w = static_cast<int32_t>(AsInt64(args.Next()));
    if (w < 0) d.minus = true;
    d.width = Clamp(w < 0 ? -w : w);
  } else {
    int64_t w = -1;
    for (; pos < f.size() && f[pos] >= '0' && f[pos] <= '9'; ++pos) {
      w = (w < 0 ? 0 : w) * 10 + (f[pos] - '0');
      if (w > kMaxField) w = kMaxField;
    }
    d.width = static_cast<int>(w);
  }
  if (pos < f.size() && f[pos] == '.') {
    ++pos;
    if (pos < f.size() && f[pos] == '*') {
      ++pos;
      const int32_t p = static_cast<int32_t>(AsInt64(args.Next()));
      d.precision = p < 0 ? -1 : p;
    } else {
      int64_t p = 0;
      for (; pos < f.size() && f[pos] >= '0' && f[pos] <= '9'; ++pos) {
        p = p * 10 + (f[pos] - '0');
        if (p > INT32_MAX) p = INT32_MAX;
      }
      d.precision = static_cast<int>(p);
    }
  }
  if (pos >= f.size()) return false;
  switch (f[pos]) {
    case 'h':
      ++pos;
      if (pos < f.size() && f[pos] == 'h') { d.size = Size::kChar; ++pos; }
      else d.size = Size::kShort;
      break;
    case 'l':
      ++pos;
      if (pos < f.size() && f[pos] == 'l') { d.size = Size::k64; ++pos; }  // plain "l" is the 32-bit long
      break;
    case 'L': case 'j': ++pos; d.size = Size::k64; break;
    case 'z': case 't': ++pos; d.size = Size::kNative; break;
    case 'w': ++pos; break;
    case 'I':
      ++pos;
      if (f.substr(pos, 2) == "64") { d.size = Size::k64; pos += 2; }
      else if (f.substr(pos, 2) == "32") pos += 2;
      else d.size = Size::kNative;
      break;
    default: break;
  }
  if (pos >= f.size()) return false;
  d.conv = f[pos++];
  return true;
}

void Pad(String& out, std::string_view body, const Directive& d) {
  const size_t width = d.width > 0 ? static_cast<size_t>(d.width) : 0;
  const size_t fill = width > body.size() ? width - body.size() : 0;
  if (d.minus) {
    out.append(body);
    out.append(fill, ' ');
  } else {
    out.append(fill, d.zero ? '0' : ' ');
    out.append(body);
  }
}

// Builds "%<flags>*.*<length><conv>" for snprintf; width and precision always
// travel as int arguments so no number is pasted into the directive.
String Rebuild(const Directive& d, const char* length, char conv, bool keepHash) {
  String f = "%";
  if (d.minus) f += '-';
  if (d.plus) f += '+';
  if (d.space) f += ' ';
  if (d.hash && keepHash) f += '#';
  if (d.zero) f += '0';
  f += '*';
  if (d.precision >= 0) f += ".*";
  f += length;
  f += conv;
  return f;
}

template <class T>
void AppendPrintf(String& out, const Directive& d, const char* length, bool keepHash, T value) {
  const String f = Rebuild(d, length, d.conv, keepHash);
  const int width = d.width < 0 ? 0 : d.width;
  const int precision = d.precision > kMaxField ? kMaxField : d.precision;
  char buf[256];
  const auto call = [&](char* dst, size_t size) {
    return d.precision >= 0 ? std::snprintf(dst, size, f.c_str(), width, precision, value)
                            : std::snprintf(dst, size, f.c_str(), width, value);
  };
  const int n = call(buf, sizeof buf);
  if (n < 0) return;
  if (static_cast<size_t>(n) < sizeof buf) {
    out.append(buf, static_cast<size_t>(n));
    return;
  }
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(n) + 1);
  call(&out[at], static_cast<size_t>(n) + 1);
  out.resize(at + static_cast<size_t>(n));
}

void FormatSigned(String& out, const Directive& d, const FormatArg* a) {
  int64_t v = AsInt64(a);
  switch (d.size) {
    case Size::kChar: v = static_cast<int8_t>(v); break;
    case Size::kShort: v = static_cast<int16_t>(v); break;
    case Size::kDefault: v = static_cast<int32_t>(v); break;
    case Size::k64: case Size::kNative: break;
  }
  AppendPrintf(out, d, "ll", false, static_cast<long long>(v));
}

void FormatUnsigned(String& out, const Directive& d, const FormatArg* a) {
  uint64_t v = AsUInt64(a);
  switch (d.size) {
    case Size::kChar: v = static_cast<uint8_t>(v); break;
    case Size::kShort: v = static_cast<uint16_t>(v); break;
    case Size::kDefault: v = static_cast<uint32_t>(v); break;
    case Size::k64: case Size::kNative: break;
  }
  AppendPrintf(out, d, "ll", d.conv != 'u', static_cast<unsigned long long>(v));
}

void FormatString(String& out, const Directive& d, const FormatArg* a) {
  std::string_view s;
  if (a != nullptr && a->kind == FormatArg::Kind::kString) s = a->s;
  if (d.precision >= 0 && static_cast<size_t>(d.precision) < s.size()) s = s.substr(0, static_cast<size_t>(d.precision));
  Pad(out, s, d);
}

void FormatChar(String& out, const Directive& d, const FormatArg* a) {
  char c = 0;
  if (a != nullptr && a->kind == FormatArg::Kind::kString) c = a->s.empty() ? 0 : a->s[0];
  else if (a != nullptr) c = static_cast<char>(AsInt64(a));
  // A NUL would cut the text short for every C-string consumer: write none.
  Pad(out, c == 0 ? std::string_view() : std::string_view(&c, 1), d);
}

void FormatPointer(String& out, const Directive& d, const FormatArg* a) {
  uint64_t v = 0;
  if (a != nullptr && a->kind == FormatArg::Kind::kString) v = reinterpret_cast<uintptr_t>(a->s.data());
  else v = AsUInt64(a);
  char buf[32];
  const int n = std::snprintf(buf, sizeof buf, "%0*llX", static_cast<int>(2 * sizeof(void*)),
                              static_cast<unsigned long long>(v));
  Directive plain = d;
  plain.zero = false;
  Pad(out, std::string_view(buf, n > 0 ? static_cast<size_t>(n) : 0), plain);
}

}  // namespace

String FormatArgs(std::string_view format, const FormatArg* args, size_t count) {
  String out;
  out.reserve(format.size() + 16 * count);
  Args list(args, count);
  size_t pos = 0;
  while (pos < format.size()) {
    const size_t percent = format.find('%', pos);
    if (percent == std::string_view::npos) {
      out.append(format.substr(pos));
      break;
    }
    out.append(format.substr(pos, percent - pos));
    pos = percent + 1;
    Directive d;
    if (!Parse(format, pos, d, list)) {
      out.append(format.substr(percent));  // the text ends inside the directive
      break;
    }
    switch (d.conv) {
      case '%': out += '%'; break;
      case 'd': case 'i': FormatSigned(out, d, list.Next()); break;
      case 'u': case 'o': case 'x': case 'X': FormatUnsigned(out, d, list.Next()); break;
      case 'e': case 'E': case 'f': case 'F': case 'g': case 'G': case 'a': case 'A':
        AppendPrintf(out, d, "", true, AsDouble(list.Next()));
        break;
      case 's': case 'S': case 'Z': FormatString(out, d, list.Next()); break;
      case 'c': case 'C': FormatChar(out, d, list.Next()); break;
      case 'p': FormatPointer(out, d, list.Next()); break;
      case 'n': list.Next(); break;
      default: out.append(format.substr(percent, pos - percent)); break;  // unknown: kept as written
    }
  }
  return out;
}

}  // namespace OFL

OFL::String OFLFormat::LoadResource(uint32_t id) { return OFLTools::LoadResString(id); }
