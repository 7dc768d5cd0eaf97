#include "ofl/name_index.h"

#include <absl/container/flat_hash_set.h>
#include <absl/hash/hash.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
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

// Eight bytes with the ASCII capitals among them made small, as ToLowerAscii
// does byte by byte: bit 5 is set where a byte lies in "A".."Z".
inline uint64_t FoldWord(uint64_t w) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  const uint64_t low7 = w & (0x7F * kOnes);
  const uint64_t atLeastA = low7 + (0x80 - 'A') * kOnes;
  const uint64_t aboveZ = low7 + (0x80 - 'Z' - 1) * kOnes;
  const uint64_t capital = atLeastA & ~aboveZ & ~w & (0x80 * kOnes);
  return w | (capital >> 2);
}

// The 1 to 7 bytes at `p`, read without a call; which bytes land where is
// fixed by the count, which the hash includes.
inline uint64_t ReadShort(const char* p, size_t n) {
  if (n >= 4) {
    uint32_t lo, hi;
    std::memcpy(&lo, p, 4);
    std::memcpy(&hi, p + n - 4, 4);
    return uint64_t{lo} | uint64_t{hi} << 32;
  }
  const auto byte = [p](size_t i) { return uint64_t{static_cast<unsigned char>(p[i])}; };
  return byte(0) | byte(n / 2) << 8 | byte(n - 1) << 16;
}

// A name as the comparison sees it: its length with the process's seed, then
// its bytes with ASCII letters in lower case, eight at a time.
struct FoldedName {
  std::string_view name;

  template <class H>
  friend H AbslHashValue(H state, const FoldedName& f) {
    const char* p = f.name.data();
    size_t rest = f.name.size();
    state = H::combine(std::move(state), ProcessSeed() ^ rest);
    for (; rest >= 8; p += 8, rest -= 8) {
      uint64_t word;
      std::memcpy(&word, p, sizeof word);
      state = H::combine(std::move(state), FoldWord(word));
    }
    if (rest > 0) state = H::combine(std::move(state), FoldWord(ReadShort(p, rest)));
    return state;
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
// Empty bags are common (every object carries a few): the table comes with
// the first name.
NoCaseIndex::NoCaseIndex() = default;
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
