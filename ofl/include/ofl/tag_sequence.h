// OFL::TagSequence and OFL::TagIndex: the place of a child's tag in a
// record's fixed list of tags, ASCII case ignored.
//
// TagSequence: packed records list their children in the order
// of the list, so the entry after the last one found is tried first and a
// whole record costs one comparison per child; any other order still finds
// every tag. One sequence per record being read; not shared between threads.
#ifndef OFL_TAG_SEQUENCE_H_
#define OFL_TAG_SEQUENCE_H_

#include <cstddef>
#include <span>
#include <string_view>
#include <unordered_map>

#include "ofl/string.h"

namespace OFL {

class TagSequence {
 public:
  explicit TagSequence(std::span<const std::string_view> tags) : tags_(tags) {}

  // The index of `tag`, or -1.
  int Find(std::string_view tag) {
    if (next_ < tags_.size() && EqualsNoCase(tag, tags_[next_])) return static_cast<int>(next_++);
    for (size_t i = 0; i < tags_.size(); ++i)
      if (EqualsNoCase(tag, tags_[i])) {
        next_ = i + 1;
        return static_cast<int>(i);
      }
    return -1;
  }

 private:
  std::span<const std::string_view> tags_;
  size_t next_ = 0;
};

// The record of a tag in a fixed table of records with a `tag` member, ASCII
// case ignored; for tables too long to try in turn. Built once, then only
// read: a static instance may be shared by every thread.
template <class Record>
class TagIndex {
 public:
  explicit TagIndex(std::span<const Record> records) {
    for (const Record& r : records) index_.emplace(std::string_view(r.tag), &r);
  }
  const Record* Find(std::string_view tag) const {
    const auto it = index_.find(tag);
    return it == index_.end() ? nullptr : it->second;
  }

 private:
  std::unordered_map<std::string_view, const Record*, HashNoCase, EqualNoCase> index_;
};

}  // namespace OFL

#endif  // OFL_TAG_SEQUENCE_H_
