// Reading and patching record texts inside the store: the "TimeStamp" of a
// packed object, the identifying fields of a client, filter conditions and
// the small property bags of options and results. Any thread.
#ifndef ORVACMN_STORE_RECORD_TEXT_H_
#define ORVACMN_STORE_RECORD_TEXT_H_

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

#include "orvacmn_store/store_key.h"

namespace orvacmn::store {

// Where the root element's direct child `tag` (ASCII case ignored) stands in
// a well-formed XML text.
struct ChildSpan {
  bool found = false;
  bool selfClosing = false;
  size_t tagBegin = 0, tagEnd = 0;          // the whole element
  size_t contentBegin = 0, contentEnd = 0;  // its content
  // Where a new first child of the root would go; npos when the root is
  // self-closing, then `rootName` is what it must be reopened with.
  size_t rootContentBegin = 0;
  String rootName;
};
// False when the text holds no root element.
bool FindRootChild(std::string_view text, std::string_view tag, ChildSpan& span);

// A change stamp as a record carries it: "%lu.%lu", high then low 32 bits;
// a text without "." reads as 0.
uint64_t ReadStamp(std::string_view text);
String FormatStamp(uint64_t stamp);
// The record's "TimeStamp" (0 when it has none).
uint64_t RecordStamp(std::string_view text);
// The text with its "TimeStamp" set to `stamp`; a record without one gets it
// as the root's first child.
String WithStamp(std::string_view text, uint64_t stamp);

// The fields a client record is indexed by. False with a readable text for a
// record that is not well-formed XML or whose root is not "Client".
bool ReadClientFields(const String& text, ClientFields& fields, String& error);

// Name/value pairs of a packed property bag (root "Properties", entries
// "PropertyEntry" with "Param" and "Value", tags without regard to case).
// False when the text is no such bag.
bool ReadBag(const String& text, std::vector<std::pair<String, String>>& entries);
// The packed bag of these entries, in order.
String PackBag(std::initializer_list<std::pair<std::string_view, std::string_view>> entries);

// True when every condition names a direct child of the record's root whose
// text equals the value without regard to case.
bool MatchesConditions(const String& text, const std::vector<std::pair<String, String>>& conditions);

// The entries the condition index keeps for a record: for each of `names`
// (ASCII lower case) that the record's root has as a direct child, the name
// and the text of the last such child in ASCII lower case. A filter value
// lower-cased alike meets an entry exactly when MatchesConditions would
// accept the record for that condition.
std::vector<std::pair<String, String>> ConditionEntries(const String& text, const std::vector<String>& names);

}  // namespace orvacmn::store

#endif  // ORVACMN_STORE_RECORD_TEXT_H_
