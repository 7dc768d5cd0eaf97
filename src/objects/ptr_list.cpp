#include "orvacmn/objects/ptr_list.h"

#include <atomic>
#include <climits>
#include <stdexcept>
#include <utility>

namespace orvacmn {
namespace {

static_assert(sizeof(uintptr_t) >= 8, "a position packs a 32-bit slot and a 32-bit generation");

// Each list starts its slots at another generation, so a position of one list
// is (almost always) rejected by another.
uint32_t NextSeed() {
  static std::atomic<uint32_t> counter{0x2545F491u};
  return counter.fetch_add(0x9E3779B9u, std::memory_order_relaxed);
}

[[noreturn]] void Throw(const char* what) { throw std::invalid_argument(what); }

}  // namespace

OVOPtrList::OVOPtrList() : seed_(NextSeed()) {}

OVOPtrList::OVOPtrList(const OVOPtrList& other) : OVOPtrList() { AddTail(other); }

OVOPtrList& OVOPtrList::operator=(const OVOPtrList& other) {
  if (this != &other) {
    RemoveAll();
    AddTail(other);
  }
  return *this;
}

OVOPtrList::OVOPtrList(OVOPtrList&& other) noexcept
    : nodes_(std::move(other.nodes_)),
      head_(std::exchange(other.head_, kNil)),
      tail_(std::exchange(other.tail_, kNil)),
      free_(std::exchange(other.free_, kNil)),
      count_(std::exchange(other.count_, 0)),
      seed_(std::exchange(other.seed_, NextSeed())) {
  other.nodes_.clear();
}

OVOPtrList& OVOPtrList::operator=(OVOPtrList&& other) noexcept {
  if (this != &other) {
    nodes_ = std::move(other.nodes_);
    other.nodes_.clear();
    head_ = std::exchange(other.head_, kNil);
    tail_ = std::exchange(other.tail_, kNil);
    free_ = std::exchange(other.free_, kNil);
    count_ = std::exchange(other.count_, 0);
    seed_ = std::exchange(other.seed_, NextSeed());
  }
  return *this;
}

OVOPtrList::~OVOPtrList() = default;

POSITION OVOPtrList::Encode(uint32_t index) const {
  if (index == kNil) return nullptr;
  const uintptr_t v = (static_cast<uintptr_t>(nodes_[index].gen) << 32) | (uintptr_t(index) + 1);
  return reinterpret_cast<POSITION>(v);
}

uint32_t OVOPtrList::Decode(POSITION pos) const {
  if (pos == nullptr) Throw("OVOTypedPtrList: null position");
  const uintptr_t v = reinterpret_cast<uintptr_t>(pos);
  const uintptr_t slot = v & 0xFFFFFFFFu;
  const uint32_t gen = static_cast<uint32_t>(v >> 32);
  if (slot == 0 || slot > nodes_.size()) Throw("OVOTypedPtrList: position not in this list");
  const uint32_t index = static_cast<uint32_t>(slot - 1);
  const Node& n = nodes_[index];
  if (!n.used || n.gen != gen) Throw("OVOTypedPtrList: position not in this list");
  return index;
}

uint32_t OVOPtrList::Allocate(void* element) {
  uint32_t index;
  if (free_ != kNil) {
    index = free_;
    free_ = nodes_[index].next;
  } else {
    if (nodes_.size() >= static_cast<size_t>(INT_MAX)) throw std::length_error("OVOTypedPtrList: too many nodes");
    index = static_cast<uint32_t>(nodes_.size());
    nodes_.push_back(Node{nullptr, kNil, kNil, seed_, false});
  }
  Node& n = nodes_[index];
  n.data = element;
  n.prev = n.next = kNil;
  n.used = true;
  return index;
}

void OVOPtrList::Release(uint32_t index) {
  Node& n = nodes_[index];
  n.data = nullptr;
  n.used = false;
  ++n.gen;
  n.prev = kNil;
  n.next = free_;
  free_ = index;
}

void OVOPtrList::Unlink(uint32_t index) {
  Node& n = nodes_[index];
  if (n.prev != kNil) nodes_[n.prev].next = n.next;
  else head_ = n.next;
  if (n.next != kNil) nodes_[n.next].prev = n.prev;
  else tail_ = n.prev;
  --count_;
}

void OVOPtrList::LinkBefore(uint32_t index, uint32_t before) {
  Node& n = nodes_[index];
  if (before == kNil) {  // at the tail
    n.prev = tail_;
    n.next = kNil;
    if (tail_ != kNil) nodes_[tail_].next = index;
    else head_ = index;
    tail_ = index;
  } else {
    Node& b = nodes_[before];
    n.prev = b.prev;
    n.next = before;
    if (b.prev != kNil) nodes_[b.prev].next = index;
    else head_ = index;
    b.prev = index;
  }
  ++count_;
}

void OVOPtrList::LinkAfter(uint32_t index, uint32_t after) {
  if (after == kNil) {
    LinkBefore(index, head_);
  } else {
    LinkBefore(index, nodes_[after].next);
  }
}

void* OVOPtrList::GetHead() const {
  if (head_ == kNil) Throw("OVOTypedPtrList: GetHead on an empty list");
  return nodes_[head_].data;
}

void* OVOPtrList::GetTail() const {
  if (tail_ == kNil) Throw("OVOTypedPtrList: GetTail on an empty list");
  return nodes_[tail_].data;
}

POSITION OVOPtrList::AddHead(void* element) {
  const uint32_t i = Allocate(element);
  LinkBefore(i, head_);
  return Encode(i);
}

POSITION OVOPtrList::AddTail(void* element) {
  const uint32_t i = Allocate(element);
  LinkBefore(i, kNil);
  return Encode(i);
}

void OVOPtrList::AddHead(const OVOPtrList& other) {
  // Walks back from the old tail of `other` for its old count, so adding a
  // list to itself stops at the nodes it has just added.
  uint32_t at = other.tail_;
  for (int n = other.count_; n > 0; --n) {
    const uint32_t prev = other.nodes_[at].prev;
    const uint32_t i = Allocate(other.nodes_[at].data);  // may reallocate other.nodes_ when other == this
    LinkBefore(i, head_);
    at = prev;
  }
}

void OVOPtrList::AddTail(const OVOPtrList& other) {
  if (this != &other) nodes_.reserve(nodes_.size() + static_cast<size_t>(other.count_));
  uint32_t at = other.head_;
  for (int n = other.count_; n > 0; --n) {
    const uint32_t next = other.nodes_[at].next;
    const uint32_t i = Allocate(other.nodes_[at].data);
    LinkBefore(i, kNil);
    at = next;
  }
}

POSITION OVOPtrList::InsertBefore(POSITION pos, void* element) {
  if (pos == nullptr) return AddHead(element);
  const uint32_t before = Decode(pos);
  const uint32_t i = Allocate(element);
  LinkBefore(i, before);
  return Encode(i);
}

POSITION OVOPtrList::InsertAfter(POSITION pos, void* element) {
  if (pos == nullptr) return AddTail(element);
  const uint32_t after = Decode(pos);
  const uint32_t i = Allocate(element);
  LinkAfter(i, after);
  return Encode(i);
}

void* OVOPtrList::RemoveHead() {
  if (head_ == kNil) Throw("OVOTypedPtrList: RemoveHead on an empty list");
  const uint32_t i = head_;
  void* data = nodes_[i].data;
  Unlink(i);
  Release(i);
  return data;
}

void* OVOPtrList::RemoveTail() {
  if (tail_ == kNil) Throw("OVOTypedPtrList: RemoveTail on an empty list");
  const uint32_t i = tail_;
  void* data = nodes_[i].data;
  Unlink(i);
  Release(i);
  return data;
}

void OVOPtrList::RemoveAt(POSITION pos) {
  const uint32_t i = Decode(pos);
  Unlink(i);
  Release(i);
}

void OVOPtrList::RemoveAll() {
  std::vector<Node>().swap(nodes_);
  head_ = tail_ = free_ = kNil;
  count_ = 0;
  seed_ = NextSeed();  // positions from before do not match the fresh slots
}

void* OVOPtrList::GetNext(POSITION& pos) const {
  const Node& n = nodes_[Decode(pos)];
  pos = Encode(n.next);
  return n.data;
}

void* OVOPtrList::GetPrev(POSITION& pos) const {
  const Node& n = nodes_[Decode(pos)];
  pos = Encode(n.prev);
  return n.data;
}

void* OVOPtrList::GetAt(POSITION pos) const { return nodes_[Decode(pos)].data; }

void OVOPtrList::SetAt(POSITION pos, void* element) { nodes_[Decode(pos)].data = element; }

POSITION OVOPtrList::Find(const void* element, POSITION startAfter) const {
  uint32_t i = startAfter == nullptr ? head_ : nodes_[Decode(startAfter)].next;
  for (; i != kNil; i = nodes_[i].next)
    if (nodes_[i].data == element) return Encode(i);
  return nullptr;
}

POSITION OVOPtrList::FindIndex(int index) const {
  if (index < 0 || index >= count_) return nullptr;
  uint32_t i;
  if (index <= count_ / 2) {
    i = head_;
    for (int k = 0; k < index; ++k) i = nodes_[i].next;
  } else {
    i = tail_;
    for (int k = count_ - 1; k > index; --k) i = nodes_[i].prev;
  }
  return Encode(i);
}

}  // namespace orvacmn
