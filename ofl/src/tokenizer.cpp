#include "ofl/tokenizer.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <unordered_set>

#include "ofl/tools.h"

namespace {

// Appends the non-empty pieces of `text` split at any of `separators`.
void Split(std::vector<OFL::String>& out, std::string_view text, std::string_view separators) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = separators.empty() ? std::string_view::npos : text.find_first_of(separators, start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) out.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
}

template <class T>
OFL::String Decimal(T value) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  return OFL::String(buf, r.ptr);
}

// Reads the entries of a length-packed text into `out`. Only the canonical
// form is accepted (plain decimal lengths without leading zeros, each length
// within the text), so that every accepted text is exactly what
// AsLengthPackedString writes for the entries read.
bool ParsePacked(std::string_view packed, std::vector<OFL::String>& out) {
  size_t pos = 0;
  while (pos < packed.size()) {
    const size_t digitsStart = pos;
    uint64_t length = 0;
    while (pos < packed.size() && packed[pos] >= '0' && packed[pos] <= '9') {
      length = length * 10 + static_cast<uint64_t>(packed[pos] - '0');
      if (length > UINT32_MAX) return false;
      ++pos;
    }
    const size_t digits = pos - digitsStart;
    if (digits == 0 || (digits > 1 && packed[digitsStart] == '0')) return false;
    if (pos >= packed.size() || packed[pos] != ':') return false;
    ++pos;
    if (length > packed.size() - pos) return false;
    out.emplace_back(packed.substr(pos, static_cast<size_t>(length)));
    pos += static_cast<size_t>(length);
  }
  return true;
}

}  // namespace

OFLTokenizer::OFLTokenizer(std::string_view text, std::string_view separators) {
  Split(items_, text, separators);
}

void OFLTokenizer::AddString(std::string_view s) { items_.emplace_back(s); }

void OFLTokenizer::AddDWord(uint32_t value) { items_.push_back(Decimal(value)); }

void OFLTokenizer::AddQWord(uint64_t value) { items_.push_back(Decimal(value)); }

void OFLTokenizer::AddMultipleStrings(std::string_view text, std::string_view separators) {
  Split(items_, text, separators);
}

void OFLTokenizer::AddDoubleNullTerminatedArray(std::string_view buffer) {
  size_t start = 0;
  while (start < buffer.size()) {
    size_t end = buffer.find('\0', start);
    if (end == std::string_view::npos) end = buffer.size();
    if (end == start) break;  // the empty line ends the list
    items_.emplace_back(buffer.substr(start, end - start));
    start = end + 1;
  }
}

void OFLTokenizer::AppendTokenizer(const OFLTokenizer& other, bool unique) {
  if (!unique) {
    items_.insert(items_.end(), other.items_.begin(), other.items_.end());
    return;
  }
  // The views below point into items_, so it must not reallocate meanwhile.
  items_.reserve(items_.size() + other.items_.size());
  std::unordered_set<std::string_view, OFL::HashNoCase, OFL::EqualNoCase> present(items_.begin(), items_.end());
  for (const String& s : other.items_) {
    if (present.count(s) != 0) continue;
    items_.push_back(s);
    present.insert(items_.back());
  }
}

namespace {
// Misused positions raise the framework's invalid-argument exception, as the
// typed pointer list does.
[[noreturn]] void ThrowBadIndex() { throw std::invalid_argument("OFLTokenizer: index out of range"); }
}  // namespace

const OFL::String& OFLTokenizer::operator[](int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= items_.size()) ThrowBadIndex();
  return items_[static_cast<size_t>(index)];
}

OFL::String& OFLTokenizer::operator[](int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= items_.size()) ThrowBadIndex();
  return items_[static_cast<size_t>(index)];
}

OFL::String OFLTokenizer::GetAt(int32_t index, const String& fallback) const {
  if (index < 0 || static_cast<size_t>(index) >= items_.size()) return fallback;
  return items_[static_cast<size_t>(index)];
}

uint32_t OFLTokenizer::AsDWord(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= items_.size()) return 0;
  return OFLTools::AToUL(items_[static_cast<size_t>(index)]);
}

uint64_t OFLTokenizer::AsQWord(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= items_.size()) return 0;
  return OFLTools::AToULL(items_[static_cast<size_t>(index)]);
}

void OFLTokenizer::SetAt(int32_t index, std::string_view s) {
  if (index < 0 || static_cast<size_t>(index) >= items_.size()) return;
  items_[static_cast<size_t>(index)] = String(s);
}

void OFLTokenizer::InsertAt(int32_t index, std::string_view s) {
  const size_t at = index < 0 ? 0 : std::min(static_cast<size_t>(index), items_.size());
  items_.emplace(items_.begin() + static_cast<std::ptrdiff_t>(at), s);
}

void OFLTokenizer::RemoveAt(int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= items_.size()) return;
  items_.erase(items_.begin() + index);
}

int32_t OFLTokenizer::FindString(std::string_view s, bool caseSensitive) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (caseSensitive ? items_[i] == s : OFL::EqualsNoCase(items_[i], s)) return static_cast<int32_t>(i);
  }
  return -1;
}

OFL::String OFLTokenizer::AsString(std::string_view separator, int32_t first, int32_t count) const {
  const size_t begin = first < 0 ? 0 : static_cast<size_t>(first);
  if (begin >= items_.size()) return String();
  size_t end = items_.size();
  if (count > 0) end = std::min(end, begin + static_cast<size_t>(count));
  String out;
  for (size_t i = begin; i < end; ++i) {
    if (i != begin) out.append(separator);
    out.append(items_[i]);
  }
  return out;
}

OFL::String OFLTokenizer::AsLengthPackedString() const {
  size_t total = 0;
  for (const String& s : items_) total += s.size() + 12;
  String out;
  out.reserve(total);
  char buf[24];
  for (const String& s : items_) {
    const auto r = std::to_chars(buf, buf + sizeof buf, s.size());
    out.append(buf, r.ptr);
    out.push_back(':');
    out.append(s);
  }
  return out;
}

bool OFLTokenizer::FromLengthPackedString(std::string_view packed) {
  std::vector<String> parsed;
  const bool ok = ParsePacked(packed, parsed);
  if (ok) items_ = std::move(parsed);
  else items_.clear();
  return ok;
}

bool OFLTokenizer::AddLengthPackedStrings(std::string_view packed) {
  std::vector<String> parsed;
  if (!ParsePacked(packed, parsed)) return false;
  items_.insert(items_.end(), std::make_move_iterator(parsed.begin()), std::make_move_iterator(parsed.end()));
  return true;
}
