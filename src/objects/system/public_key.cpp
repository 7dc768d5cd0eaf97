#include "orvacmn/system/public_key.h"

#include "ofl/tools.h"

namespace orvacmn::OVO {

String PublicKey::Pack() const {
  String out;
  AppendPack(out);
  return out;
}

void PublicKey::AppendPack(String& out) const { OFLTools::AppendXMLNode(out, kTag, key_); }

int PublicKey::Unpack(const String& markup) {
  OFLXMLParser parser;
  parser.SetDoc(markup);
  return UnpackLoaded(parser);
}

int PublicKey::UnpackLoaded(OFLXMLParser& loaded) {
  Clear();
  loaded.ResetPos();
  if (!loaded.FindElem() || !OFL::EqualsNoCase(loaded.GetTagNameView(), kTag)) return 0;
  key_.assign(loaded.GetDataView());
  return 1;
}

}  // namespace orvacmn::OVO
