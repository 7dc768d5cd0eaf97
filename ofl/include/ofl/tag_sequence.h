// OFL::TagSequence: the index of a child's tag in a record's fixed list of
// tags, ASCII case ignored. Packed records list their children in the order
// of the list, so the entry after the last one found is tried first and a
// whole record costs one comparison per child; any other order still finds
// every tag. One sequence per record being read; not shared between threads.
#ifndef OFL_TAG_SEQUENCE_H_
#define OFL_TAG_SEQUENCE_H_

#include <cstddef>
#include <span>
#include <string_view>

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

}  // namespace OFL

#endif  // OFL_TAG_SEQUENCE_H_
