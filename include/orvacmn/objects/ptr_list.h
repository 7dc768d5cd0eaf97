// OVOTypedPtrList<T>: an ordered, doubly linked list of T* with opaque
// positions.
//
// A POSITION designates one node. It stays valid until that node is removed
// (inserting or removing other nodes does not disturb it) and is null past
// either end. The list never destroys the elements it points to: their owner
// does. Node storage belongs to the list and is released with it.
//
// Misuse throws std::invalid_argument: a null, removed or foreign position
// given to GetNext, GetPrev, GetAt, SetAt or RemoveAt, and GetHead, GetTail,
// RemoveHead or RemoveTail on an empty list. As in the host framework,
// InsertBefore with a null position inserts at the head and InsertAfter with
// a null position at the tail. A stale position is recognised as long as its
// slot has not been reused for more than 2^32 removals; a position is never
// followed into freed memory.
//
// The Transfer forms insert exactly like the plain ones; their name marks at
// the call site that the list's owner takes over the element.
//
// Iteration:
//   POSITION pos = list.GetHeadPosition();
//   while (pos) { T* e = list.GetNext(pos); ... }
// or `for (T* e : list)`.
#ifndef ORVACMN_OBJECTS_PTR_LIST_H_
#define ORVACMN_OBJECTS_PTR_LIST_H_

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <type_traits>
#include <vector>

namespace orvacmn {

struct OVOListNodeTag;  // never defined
using POSITION = OVOListNodeTag*;

// The untyped list behind every OVOTypedPtrList.
class OVOPtrList {
 public:
  OVOPtrList();
  // Copies hold the same pointers in the same order, at new positions.
  OVOPtrList(const OVOPtrList& other);
  OVOPtrList& operator=(const OVOPtrList& other);
  // The moved-from list is empty; positions move with their nodes.
  OVOPtrList(OVOPtrList&& other) noexcept;
  OVOPtrList& operator=(OVOPtrList&& other) noexcept;
  ~OVOPtrList();

  int GetCount() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }

  void* GetHead() const;
  void* GetTail() const;
  POSITION GetHeadPosition() const { return Encode(head_); }
  POSITION GetTailPosition() const { return Encode(tail_); }

  POSITION AddHead(void* element);
  POSITION AddTail(void* element);
  // Adds the elements of `other` (which may be this list) keeping their order.
  void AddHead(const OVOPtrList& other);
  void AddTail(const OVOPtrList& other);
  POSITION InsertBefore(POSITION pos, void* element);
  POSITION InsertAfter(POSITION pos, void* element);

  void* RemoveHead();
  void* RemoveTail();
  void RemoveAt(POSITION pos);
  void RemoveAll();

  // The element at `pos`; `pos` moves to the next (previous) node or null.
  void* GetNext(POSITION& pos) const;
  void* GetPrev(POSITION& pos) const;
  void* GetAt(POSITION pos) const;
  void SetAt(POSITION pos, void* element);

  // First node holding `element` after `startAfter` (from the head for null).
  POSITION Find(const void* element, POSITION startAfter = nullptr) const;
  // The node at a zero-based index, or null when out of range.
  POSITION FindIndex(int index) const;

 private:
  static constexpr uint32_t kNil = 0xFFFFFFFFu;
  struct Node {
    void* data;
    uint32_t prev;
    uint32_t next;
    uint32_t gen;  // bumped on release, so stale positions no longer match
    bool used;
  };

  POSITION Encode(uint32_t index) const;
  uint32_t Decode(POSITION pos) const;  // throws for a position not in use here
  uint32_t Allocate(void* element);
  void Release(uint32_t index);
  void Unlink(uint32_t index);
  void LinkBefore(uint32_t index, uint32_t before);
  void LinkAfter(uint32_t index, uint32_t after);

  std::vector<Node> nodes_;
  uint32_t head_ = kNil;
  uint32_t tail_ = kNil;
  uint32_t free_ = kNil;
  int count_ = 0;
  uint32_t seed_;  // first generation of fresh slots; differs between lists
};

template <class T>
class OVOTypedPtrList {
 public:
  using value_type = T*;

  // Reads each node once: the iterator holds the element and the position of
  // the next node, so removing the current node does not disturb it.
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T*;
    using difference_type = std::ptrdiff_t;
    using pointer = T* const*;
    using reference = T*;

    const_iterator() = default;
    const_iterator(const OVOPtrList* list, POSITION pos) : list_(list), pos_(pos), next_(pos) { Load(); }
    T* operator*() const { return element_; }
    const_iterator& operator++() {
      pos_ = next_;
      Load();
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator t = *this;
      ++*this;
      return t;
    }
    bool operator==(const const_iterator& o) const { return pos_ == o.pos_; }
    POSITION position() const { return pos_; }

   private:
    void Load() {
      if (pos_) element_ = static_cast<T*>(list_->GetNext(next_));
    }
    const OVOPtrList* list_ = nullptr;
    POSITION pos_ = nullptr;
    POSITION next_ = nullptr;
    T* element_ = nullptr;
  };
  using iterator = const_iterator;

  OVOTypedPtrList() = default;
  OVOTypedPtrList(const OVOTypedPtrList&) = default;
  OVOTypedPtrList& operator=(const OVOTypedPtrList&) = default;
  OVOTypedPtrList(OVOTypedPtrList&&) noexcept = default;
  OVOTypedPtrList& operator=(OVOTypedPtrList&&) noexcept = default;
  virtual ~OVOTypedPtrList() = default;

  int GetCount() const { return list_.GetCount(); }
  bool IsEmpty() const { return list_.IsEmpty(); }

  T* GetHead() const { return Typed(list_.GetHead()); }
  T* GetTail() const { return Typed(list_.GetTail()); }
  POSITION GetHeadPosition() const { return list_.GetHeadPosition(); }
  POSITION GetTailPosition() const { return list_.GetTailPosition(); }

  POSITION AddHead(T* element) { return list_.AddHead(Untyped(element)); }
  POSITION AddTail(T* element) { return list_.AddTail(Untyped(element)); }
  void AddHead(const OVOTypedPtrList& other) { list_.AddHead(other.list_); }
  void AddTail(const OVOTypedPtrList& other) { list_.AddTail(other.list_); }
  // The host framework's pointer forms; a null list adds nothing. (Templates,
  // so that AddTail(nullptr) adds a null element.)
  template <class List>
    requires std::is_base_of_v<OVOTypedPtrList, List>
  void AddHead(const List* other) {
    if (other) AddHead(*other);
  }
  template <class List>
    requires std::is_base_of_v<OVOTypedPtrList, List>
  void AddTail(const List* other) {
    if (other) AddTail(*other);
  }
  POSITION InsertBefore(POSITION pos, T* element) { return list_.InsertBefore(pos, Untyped(element)); }
  POSITION InsertAfter(POSITION pos, T* element) { return list_.InsertAfter(pos, Untyped(element)); }

  POSITION TransferAddHead(T* element) { return AddHead(element); }
  POSITION TransferAddTail(T* element) { return AddTail(element); }
  POSITION TransferInsertBefore(POSITION pos, T* element) { return InsertBefore(pos, element); }
  POSITION TransferInsertAfter(POSITION pos, T* element) { return InsertAfter(pos, element); }

  T* RemoveHead() { return Typed(list_.RemoveHead()); }
  T* RemoveTail() { return Typed(list_.RemoveTail()); }
  void RemoveAt(POSITION pos) { list_.RemoveAt(pos); }
  void RemoveAll() { list_.RemoveAll(); }

  T* GetNext(POSITION& pos) const { return Typed(list_.GetNext(pos)); }
  T* GetPrev(POSITION& pos) const { return Typed(list_.GetPrev(pos)); }
  T* GetAt(POSITION pos) const { return Typed(list_.GetAt(pos)); }
  void SetAt(POSITION pos, T* element) { list_.SetAt(pos, Untyped(element)); }

  POSITION Find(const T* element, POSITION startAfter = nullptr) const {
    return list_.Find(static_cast<const void*>(element), startAfter);
  }
  POSITION FindIndex(int index) const { return list_.FindIndex(index); }

  const_iterator begin() const { return const_iterator(&list_, list_.GetHeadPosition()); }
  const_iterator end() const { return const_iterator(&list_, nullptr); }

 private:
  static T* Typed(void* p) { return static_cast<T*>(p); }
  static void* Untyped(T* p) { return const_cast<void*>(static_cast<const void*>(p)); }

  OVOPtrList list_;
};

}  // namespace orvacmn

#endif  // ORVACMN_OBJECTS_PTR_LIST_H_
