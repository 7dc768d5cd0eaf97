#include "orvacmn/jobs/text_entry.h"

#include <memory>
#include <string_view>

#include "ofl/tools.h"

namespace orvacmn {
namespace {

constexpr char kTagLanguage[] = "Language";
constexpr char kTagText[] = "Text";

}  // namespace

OVOTextEntry::OVOTextEntry(const String& text) : OVOXMLSupport(CatalogueEntryFor("OVOTextEntry")) {
  if (!text.empty()) Unpack(text);
}

OVOTextEntry::OVOTextEntry(uint32_t language, const String& text) : OVOTextEntry() {
  language_ = language;
  text_ = text;
}

void OVOTextEntry::Clear() {
  language_ = 0;
  text_.clear();
}

String OVOTextEntry::Pack() const {
  String out;
  AppendFields(out);
  return out;
}

void OVOTextEntry::AppendPack(String& out) const {
  if (!IsExactly<OVOTextEntry>()) out += Pack();
  else AppendFields(out);
}

void OVOTextEntry::AppendFields(String& out) const {
  OFLTools::AppendXMLTag(out, GetObjectName());
  OFLTools::AppendXMLNode(out, kTagLanguage, language_);
  OFLTools::AppendXMLNode(out, kTagText, std::string_view(text_));
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

int OVOTextEntry::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  return UnpackLoaded(parser);
}

int OVOTextEntry::UnpackLoaded(OFLXMLParser& doc) {
  Clear();
  if (!doc.FindElem(GetObjectName().c_str())) return 0;
  ForEachChild(doc, [this](const String& tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, kTagLanguage)) language_ = OFLTools::AToUL(p.GetChildDataView());
    else if (OFL::EqualsNoCase(tag, kTagText)) text_.assign(p.GetChildDataView());
  });
  return 1;
}

// OVOTextEntryList

OVOTextEntryList::OVOTextEntryList(const String& text, bool ownsElements)
    : OVOList<OVOTextEntry>("TextEntryList", String(), ownsElements) {
  // Unpacked here, not by the base, so that this class's InternalUnpack runs.
  if (!text.empty()) {
    try {
      Unpack(text);
    } catch (...) {  // the base destroys the elements only when it owns them
      OVOList<OVOTextEntry>::InternalClear();
      throw;
    }
  }
}

String OVOTextEntryList::GetText(uint32_t language, const String& fallback) const {
  const OVOTextEntry* neutral = nullptr;
  for (const OVOTextEntry* e : *this) {
    if (e == nullptr) continue;
    if (e->GetLanguage() == language) return e->GetText();
    if (neutral == nullptr && e->GetLanguage() == 0) neutral = e;
  }
  return neutral ? neutral->GetText() : fallback;
}

void OVOTextEntryList::InternalUnpack(OFLXMLParser& parser) {
  OFLXMLParser child;  // one for all elements
  while (parser.FindChildElem()) {
    auto element = std::make_unique<OVOTextEntry>();
    child.SetDocFromChild(parser);
    element->UnpackLoaded(child);
    AddTail(element.get());
    element.release();
  }
}

}  // namespace orvacmn
