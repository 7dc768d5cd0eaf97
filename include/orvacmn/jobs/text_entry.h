// OVOTextEntry: one text in one language (a language id such as 1033 or
// 1031; 0 for a text without a language). OVOTextEntryList: an OVOList of
// them ("TextEntryList").
//
// Packs as "TextEntry" (whole-object style) with "Language" (decimal) and
// "Text", both always written; Clear gives language 0 and the empty text.
//
// Objects carry no locks; use each from one thread at a time.
#ifndef ORVACMN_JOBS_TEXT_ENTRY_H_
#define ORVACMN_JOBS_TEXT_ENTRY_H_

#include <cstdint>

#include "orvacmn/common/types.h"
#include "orvacmn/objects/ovo_list.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

class OVOTextEntryList;

class OVOTextEntry : public OVOXMLSupport {
 public:
  // Object name "TextEntry"; unpacks `text` when it is not empty.
  explicit OVOTextEntry(const String& text = String());
  OVOTextEntry(uint32_t language, const String& text);
  OVOTextEntry(const OVOTextEntry&) = default;
  OVOTextEntry& operator=(const OVOTextEntry&) = default;
  ~OVOTextEntry() override = default;

  String Pack() const override;
  void AppendPack(String& out) const override;
  using OVOXMLSupport::Unpack;
  // 1 when the text holds a "TextEntry" root, else 0; clears first.
  int Unpack(const String& text) override;
  // The same on the element a loaded parser holds, read in place.
  int UnpackLoaded(OFLXMLParser& loaded) override;
  void Clear() override;

  bool operator==(const OVOTextEntry& other) const {
    return language_ == other.language_ && text_ == other.text_;
  }
  bool operator!=(const OVOTextEntry& other) const { return !(*this == other); }

  uint32_t GetLanguage() const { return language_; }
  void SetLanguage(uint32_t language) { language_ = language; }
  const String& GetText() const { return text_; }
  void SetText(const String& text) { text_ = text; }

 private:
  void AppendFields(String& out) const;

  uint32_t language_ = 0;
  String text_;
};

class OVOTextEntryList : public OVOList<OVOTextEntry> {
 public:
  explicit OVOTextEntryList(const String& text = String(), bool ownsElements = true);

  // The text of the first entry in `language`, else of the first entry
  // without a language, else `fallback`.
  String GetText(uint32_t language, const String& fallback = String()) const;

 protected:
  // As the list's rule, each entry read from the child where it stands.
  void InternalUnpack(OFLXMLParser& parser) override;
};

}  // namespace orvacmn

#endif  // ORVACMN_JOBS_TEXT_ENTRY_H_
