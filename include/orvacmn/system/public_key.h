// OVO::PublicKey: the public key a managed system is pinned to, as Base64
// text. Set when the text is not empty. Packed as "<PublicKey>text</PublicKey>".
//
// Plain value; one thread at a time per object.
#ifndef ORVACMN_SYSTEM_PUBLIC_KEY_H_
#define ORVACMN_SYSTEM_PUBLIC_KEY_H_

#include "ofl/xml_parser.h"
#include "orvacmn/common/types.h"

namespace orvacmn {
namespace OVO {

class PublicKey {
 public:
  static constexpr char kTag[] = "PublicKey";

  PublicKey() = default;
  explicit PublicKey(const String& base64) : key_(base64) {}

  bool IsSet() const { return !key_.empty(); }
  const String& GetKey() const { return key_; }
  void SetKey(const String& base64) { key_ = base64; }
  void Clear() { key_.clear(); }

  String Pack() const;
  void AppendPack(String& out) const;
  // Clears, then 1 and the element's text when the root is "PublicKey"
  // (case ignored), else 0.
  int Unpack(const String& markup);
  // The same on a loaded document (OFLXMLParser::SetDocFromChild).
  int UnpackLoaded(OFLXMLParser& loaded);

  friend bool operator==(const PublicKey&, const PublicKey&) = default;

 private:
  String key_;
};

}  // namespace OVO
}  // namespace orvacmn

#endif  // ORVACMN_SYSTEM_PUBLIC_KEY_H_
