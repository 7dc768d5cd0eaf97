#include "ofl/name_index.h"

#include <absl/container/flat_hash_set.h>
#include <absl/hash/hash.h>

#include <algorithm>
#include <cstdint>
#include <random>

#include "ofl/string.h"

namespace OFL {

namespace {

// Drawn once per process from the system's random source.
uint64_t ProcessSeed() {
  static const uint64_t seed = [] {
    std::random_device source;
    return (uint64_t{source()} << 32) ^ source();
  }();
  return seed;
}

// A name as the comparison sees it: hashed with ASCII letters in lower case.
struct FoldedName {
  std::string_view name;

  template <class H>
  friend H AbslHashValue(H state, const FoldedName& f) {
    char folded[64];
    for (size_t at = 0; at < f.name.size(); at += sizeof folded) {
      const size_t n = std::min(sizeof folded, f.name.size() - at);
      for (size_t i = 0; i < n; ++i) folded[i] = ToLowerAscii(f.name[at + i]);
      state = H::combine_contiguous(std::move(state), folded, n);
    }
    return H::combine(std::move(state), f.name.size(), ProcessSeed());
  }
};

struct Element {
  std::string_view name;
  void* record;
};

struct ElementHash {
  using is_transparent = void;
  size_t operator()(std::string_view name) const { return HashNameNoCase(name); }
  size_t operator()(const Element& e) const { return HashNameNoCase(e.name); }
};

struct ElementEq {
  using is_transparent = void;
  static std::string_view NameOf(std::string_view name) { return name; }
  static std::string_view NameOf(const Element& e) { return e.name; }
  template <class A, class B>
  bool operator()(const A& a, const B& b) const {
    return EqualsNoCase(NameOf(a), NameOf(b));
  }
};

}  // namespace

size_t HashNameNoCase(std::string_view name) { return absl::Hash<FoldedName>{}(FoldedName{name}); }

struct NoCaseIndex::Impl {
  absl::flat_hash_set<Element, ElementHash, ElementEq> set;
};

// A moved-from index has no set and behaves as an empty one.
NoCaseIndex::NoCaseIndex() : impl_(std::make_unique<Impl>()) {}
NoCaseIndex::~NoCaseIndex() = default;
NoCaseIndex::NoCaseIndex(NoCaseIndex&& other) noexcept = default;
NoCaseIndex& NoCaseIndex::operator=(NoCaseIndex&& other) noexcept = default;

void* NoCaseIndex::Find(std::string_view name) const {
  if (!impl_) return nullptr;
  const auto it = impl_->set.find(name);
  return it == impl_->set.end() ? nullptr : it->record;
}

void* NoCaseIndex::Insert(std::string_view name, void* record) {
  if (!impl_) impl_ = std::make_unique<Impl>();
  const auto [it, added] = impl_->set.insert(Element{name, record});
  return added ? nullptr : it->record;
}

void* NoCaseIndex::Erase(std::string_view name) {
  if (!impl_) return nullptr;
  const auto it = impl_->set.find(name);
  if (it == impl_->set.end()) return nullptr;
  void* record = it->record;
  impl_->set.erase(it);
  return record;
}

void NoCaseIndex::Clear() {
  if (impl_) impl_->set.clear();
}
void NoCaseIndex::Reserve(size_t count) {
  if (!impl_) impl_ = std::make_unique<Impl>();
  impl_->set.reserve(count);
}
size_t NoCaseIndex::Size() const { return impl_ ? impl_->set.size() : 0; }

}  // namespace OFL
