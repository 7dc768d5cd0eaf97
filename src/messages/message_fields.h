// The field machinery of the XML messages. Each message lists its child
// nodes once, in packing order, in a private static function template
//   template <class S, class V> static void Fields(S& self, V& v);
// (declared by ORVACMN_MESSAGE_FIELDS) that calls v(tag, member) or
// v(tag, member, converter) for each node. Pack and Unpack run that one
// list, so a tag can never be written for one member and read into another.
//
// A converter gives the wire form of a member: Put(out, tag, member) writes
// its node, Get(parser, member) reads the child the parser stands on. Without
// one, the member's type chooses (see Default). Tags must be literals: the
// list of them is collected once per message class and kept.
#ifndef ORVACMN_SRC_MESSAGES_MESSAGE_FIELDS_H_
#define ORVACMN_SRC_MESSAGES_MESSAGE_FIELDS_H_

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "ofl/string.h"
#include "ofl/tag_sequence.h"
#include "ofl/tools.h"
#include "ofl/user_account.h"
#include "ofl/xml_parser.h"
#include "orvacmn/messages/basic_message.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn::msg_fields {

// A String as escaped element text.
struct Text {
  static void Put(String& out, std::string_view tag, std::string_view m) { OFLTools::AppendXMLNode(out, tag, m); }
  static void Get(OFLXMLParser& p, String& m) { m.assign(p.GetChildDataView()); }
};

// Numbers in decimal, read as the Windows C runtime reads them: unsigned
// 32-bit saturating at 0xFFFFFFFF, signed 32-bit at INT32_MIN/INT32_MAX,
// 64-bit at INT64_MIN/INT64_MAX.
struct Unsigned32 {
  static void Put(String& out, std::string_view tag, uint32_t m) { OFLTools::AppendXMLNode(out, tag, m); }
  static void Get(OFLXMLParser& p, uint32_t& m) { m = OFLTools::AToUL(p.GetChildDataView()); }
};
struct Signed32 {
  static void Put(String& out, std::string_view tag, int32_t m) { OFLTools::AppendXMLNode(out, tag, m); }
  static void Get(OFLXMLParser& p, int32_t& m) { m = OFL::CRT::atol(String(p.GetChildDataView())); }
};
struct Signed64 {
  static void Put(String& out, std::string_view tag, int64_t m) { OFLTools::AppendXMLNode(out, tag, m); }
  static void Get(OFLXMLParser& p, int64_t& m) { m = OFLTools::AToLL(p.GetChildDataView()); }
};
// A 64-bit time that travels as its low 32 bits, unsigned.
struct Time32 {
  static void Put(String& out, std::string_view tag, int64_t m) {
    OFLTools::AppendXMLNode(out, tag, static_cast<uint32_t>(m));
  }
  static void Get(OFLXMLParser& p, int64_t& m) { m = OFLTools::AToUL(p.GetChildDataView()); }
};
// An enumeration as its 32-bit value, signed or not as its underlying type.
struct Enum32 {
  template <class E>
  static void Put(String& out, std::string_view tag, E m) {
    Number<E>::Put(out, tag, static_cast<typename Number<E>::Type>(m));
  }
  template <class E>
  static void Get(OFLXMLParser& p, E& m) {
    typename Number<E>::Type n = 0;
    Number<E>::Get(p, n);
    m = static_cast<E>(n);
  }

 private:
  template <class E>
  struct Number : std::conditional_t<std::is_signed_v<std::underlying_type_t<E>>, Signed32, Unsigned32> {
    using Type = std::conditional_t<std::is_signed_v<std::underlying_type_t<E>>, int32_t, uint32_t>;
  };
};

// Booleans: "1"/"0", read true from any non-zero number ...
struct BoolNumber {
  static void Put(String& out, std::string_view tag, bool m) { OFLTools::AppendXMLNode(out, tag, int32_t{m ? 1 : 0}); }
  static void Get(OFLXMLParser& p, bool& m) { m = OFLTools::AToUL(p.GetChildDataView()) != 0; }
};
// ... or only from exactly "1";
struct BoolOne : BoolNumber {
  static void Get(OFLXMLParser& p, bool& m) { m = p.GetChildDataView() == "1"; }
};
// "T"/"F", read true from "T" in either case;
struct BoolTF {
  static void Put(String& out, std::string_view tag, bool m) { Text::Put(out, tag, m ? "T" : "F"); }
  static void Get(OFLXMLParser& p, bool& m) { m = OFL::EqualsNoCase(p.GetChildDataView(), "T"); }
};
// "true"/"false", read true from "true" in any case, or only as written.
template <bool kIgnoreCase = true>
struct BoolWord {
  static void Put(String& out, std::string_view tag, bool m) { Text::Put(out, tag, m ? "true" : "false"); }
  static void Get(OFLXMLParser& p, bool& m) {
    const std::string_view v = p.GetChildDataView();
    m = kIgnoreCase ? OFL::EqualsNoCase(v, "true") : v == "true";
  }
};

// A path as its text.
struct PathText {
  static void Put(String& out, std::string_view tag, const std::filesystem::path& m) {
    Text::Put(out, tag, m.string());
  }
  static void Get(OFLXMLParser& p, std::filesystem::path& m) { m = std::filesystem::path(p.GetChildDataView()); }
};

// A user account as its packed text.
struct Account {
  static void Put(String& out, std::string_view tag, const OFLUserAccount& m) { Text::Put(out, tag, m.Pack()); }
  static void Get(OFLXMLParser& p, OFLUserAccount& m) { m.Unpack(p.GetChildDataView()); }
};

// A packed object that writes its own element (whose name is the tag); a
// later occurrence replaces an earlier one.
struct Object {
  template <class O>
  static void Put(String& out, std::string_view, const O& m) {
    m.AppendPack(out);
  }
  template <class O>
  static void Get(OFLXMLParser& p, O& m) {
    m.Clear();
    m.Unpack(p);
  }
};

// A packed object that writes its own element, read where it stands through
// a parser of the child's markup that one whole reading shares.
struct InPlace : Object {
  template <class O>
  static void Get(OFLXMLParser& p, O& m, OFLXMLParser& scratch) {
    scratch.SetDocFromChild(p);
    m.UnpackLoaded(scratch);
  }
};

// Markup inserted as it stands, in place of a node; read back as the whole
// child element's markup.
struct Markup {
  static void Put(String& out, std::string_view, const String& m) { out += m; }
  static void Get(OFLXMLParser& p, String& m) { m = p.GetChildSubDoc(); }
};

// Markup inserted between the tags of its node; read back as exactly what
// stands between them.
struct InnerMarkup {
  static void Put(String& out, std::string_view tag, const String& m) { out += OFLTools::MakeXMLElement(tag, m); }
  static void Get(OFLXMLParser& p, String& m);
};

// One node per element of a vector, in order; each one read is appended.
template <class Element>
struct Repeated {
  template <class T>
  static void Put(String& out, std::string_view tag, const std::vector<T>& m) {
    for (const T& e : m) Element::Put(out, tag, e);
  }
  template <class T>
  static void Get(OFLXMLParser& p, std::vector<T>& m) {
    Element::Get(p, m.emplace_back());
  }
};

// The converter a member's type chooses when the field names none.
template <class M>
auto DefaultFor() {
  if constexpr (std::is_same_v<M, String>) return Text{};
  else if constexpr (std::is_same_v<M, bool>) return BoolNumber{};
  else if constexpr (std::is_same_v<M, uint32_t>) return Unsigned32{};
  else if constexpr (std::is_same_v<M, int32_t>) return Signed32{};
  else if constexpr (std::is_same_v<M, int64_t>) return Signed64{};
  else if constexpr (std::is_enum_v<M>) return Enum32{};
  else if constexpr (std::is_same_v<M, std::filesystem::path>) return PathText{};
  else if constexpr (std::is_same_v<M, OFLUserAccount>) return Account{};
  else return Object{};
}
template <class M>
using Default = decltype(DefaultFor<std::remove_const_t<M>>());

// Reaches the private field list of a message.
struct Access {
  template <class T, class V>
  static void Fields(T& self, V& v) {
    std::remove_const_t<T>::Fields(self, v);
  }
};

struct Packer {
  String& out;
  template <class M, class C = Default<M>>
  void operator()(std::string_view tag, const M& m, const C& c = C{}) {
    c.Put(out, tag, m);
  }
};

struct TagCollector {
  std::vector<std::string_view> tags;
  template <class M, class C = int>
  void operator()(std::string_view tag, const M&, const C& = C{}) {
    tags.push_back(tag);
  }
};

// Reads the child the parser stands on into the field of the given place.
class Reader {
 public:
  Reader(OFLXMLParser& parser, int index, std::unique_ptr<OFLXMLParser>& scratch)
      : parser_(parser), index_(index), scratch_(scratch) {}
  template <class M, class C = Default<M>>
  void operator()(std::string_view, M& m, const C& c = C{}) {
    if (at_++ != index_) return;
    if constexpr (requires { c.Get(parser_, m, parser_); }) {
      if (!scratch_) scratch_ = std::make_unique<OFLXMLParser>();
      c.Get(parser_, m, *scratch_);
    } else {
      c.Get(parser_, m);
    }
  }

 private:
  OFLXMLParser& parser_;
  int index_;
  int at_ = 0;
  std::unique_ptr<OFLXMLParser>& scratch_;
};

// The nodes of `self`, in packing order, appended to `out`.
template <class T>
void PackChildren(String& out, const T& self) {
  Packer p{out};
  Access::Fields(self, p);
}

// One element named `root` holding the nodes of `self`.
template <class T>
String Pack(std::string_view root, const T& self) {
  String out;
  OFLTools::AppendXMLTag(out, root);
  PackChildren(out, self);
  OFLTools::AppendXMLTag(out, root, true);
  return out;
}

// Reads every child of the parser's current element whose tag (case
// ignored) is one of `self`'s; the others are skipped, a later one wins.
template <class T>
void ReadChildren(OFLXMLParser& parser, T& self) {
  static const std::vector<std::string_view> kTags = [&] {
    TagCollector c;
    Access::Fields(std::as_const(self), c);
    return std::move(c.tags);
  }();
  OFL::TagSequence sequence(kTags);
  std::unique_ptr<OFLXMLParser> scratch;
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    const int index = sequence.Find(tag);
    if (index < 0) return;
    Reader r(p, index, scratch);
    Access::Fields(self, r);
  });
}

// Reads `self` from the first top-level element named `root` of `text`, or
// from the first top-level element whatever its name when `root` is null;
// false when there is none.
template <class T>
bool Read(const String& text, const char* root, T& self) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  if (!parser.FindElem(root)) return false;
  ReadChildren(parser, self);
  return true;
}

// Unpack of a strict message: 1, or 0 when `text` has no root of its name.
template <class T>
int Unpack(const String& text, T& self) {
  return Read(text, self.GetObjectName().c_str(), self) ? 1 : 0;
}

// Deserialize of a plain validating message: without its root element the
// message is invalid with the empty reason.
template <class T>
bool Deserialize(const String& text, T& self) {
  if (Unpack(text, self) == 0) self.Invalidate(String());
  return self.IsValid();
}

// The name of `value` in a table of names indexed by value, or `outside`.
template <class E, size_t N>
std::string_view NameOf(const std::string_view (&names)[N], E value, std::string_view outside) {
  const auto i = static_cast<size_t>(value);
  return i < N ? names[i] : outside;
}

// The value whose name is `text` (ASCII case ignored when asked); false,
// `value` untouched, when there is none.
template <class E, size_t N>
bool ValueOf(const std::string_view (&names)[N], std::string_view text, E& value, bool ignoreCase = true) {
  for (size_t i = 0; i < N; ++i)
    if (ignoreCase ? OFL::EqualsNoCase(text, names[i]) : text == names[i]) {
      value = static_cast<E>(i);
      return true;
    }
  return false;
}

}  // namespace orvacmn::msg_fields

#endif  // ORVACMN_SRC_MESSAGES_MESSAGE_FIELDS_H_
