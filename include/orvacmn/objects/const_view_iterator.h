// ConstViewIterator: read-only iteration over a list of owning pointers.
//
// Containers that own their elements through unique_ptr or shared_ptr hand
// out a const view of each element: `const T*` for unique_ptr<T>, and
// shared_ptr<const T> for shared_ptr<T>, so callers can neither change an
// element nor take over its ownership.
#ifndef ORVACMN_OBJECTS_CONST_VIEW_ITERATOR_H_
#define ORVACMN_OBJECTS_CONST_VIEW_ITERATOR_H_

#include <cstddef>
#include <iterator>
#include <memory>

namespace orvacmn {

namespace internal {
template <class T>
const T* ConstView(const std::unique_ptr<T>& p) { return p.get(); }
template <class T>
std::shared_ptr<const T> ConstView(const std::shared_ptr<T>& p) { return p; }
}  // namespace internal

template <class ListIterator>
class ConstViewIterator {
  using Stored = typename std::iterator_traits<ListIterator>::value_type;

 public:
  using iterator_category = std::bidirectional_iterator_tag;
  using value_type = decltype(internal::ConstView(std::declval<const Stored&>()));
  using difference_type = std::ptrdiff_t;
  using pointer = const typename Stored::element_type*;
  using reference = value_type;

  ConstViewIterator() = default;
  explicit ConstViewIterator(ListIterator it) : it_(it) {}

  value_type operator*() const { return internal::ConstView(*it_); }
  pointer operator->() const { return it_->get(); }
  ConstViewIterator& operator++() { ++it_; return *this; }
  ConstViewIterator operator++(int) { ConstViewIterator t = *this; ++it_; return t; }
  ConstViewIterator& operator--() { --it_; return *this; }
  ConstViewIterator operator--(int) { ConstViewIterator t = *this; --it_; return t; }
  bool operator==(const ConstViewIterator& o) const { return it_ == o.it_; }
  bool operator!=(const ConstViewIterator& o) const { return it_ != o.it_; }

 private:
  ListIterator it_;
};

}  // namespace orvacmn

#endif  // ORVACMN_OBJECTS_CONST_VIEW_ITERATOR_H_
