#include "orvacmn/objects/catalogue.h"

#include <algorithm>
#include <array>

namespace orvacmn {
namespace {

constexpr size_t N = kCatalogueSize;
static_assert(N < 65536, "indices are 16-bit");

// Object name by the rule: without namespace, without a leading OVO or Ovo.
constexpr std::string_view RuleName(std::string_view className) {
  const size_t colon = className.rfind("::");
  std::string_view name = colon == std::string_view::npos ? className : className.substr(colon + 2);
  if (name.starts_with("OVO") || name.starts_with("Ovo")) name.remove_prefix(3);
  return name;
}

constexpr bool RuleHoldsExactlyForTheFirstGroup() {
  for (size_t i = 0; i < N; ++i) {
    const bool follows = RuleName(kCatalogue[i].className) == kCatalogue[i].objectName;
    if (follows != (i < kCatalogueRuleCount)) return false;
  }
  return true;
}
static_assert(RuleHoldsExactlyForTheFirstGroup(), "the rule group and the exceptions are out of step");

// Index arrays sorted by a key (stable: catalogue order among equal keys).
template <class Key>
constexpr std::array<uint16_t, N> SortedBy(Key key) {
  std::array<uint16_t, N> idx{};
  for (size_t i = 0; i < N; ++i) idx[i] = static_cast<uint16_t>(i);
  for (size_t i = 1; i < N; ++i) {
    const uint16_t v = idx[i];
    size_t j = i;
    for (; j > 0 && key(kCatalogue[v]) < key(kCatalogue[idx[j - 1]]); --j) idx[j] = idx[j - 1];
    idx[j] = v;
  }
  return idx;
}

constexpr auto kByClassName = SortedBy([](const CatalogueEntry& e) { return e.className; });
constexpr auto kByObjectName = SortedBy([](const CatalogueEntry& e) { return e.objectName; });

constexpr bool ClassNamesUnique() {
  for (size_t i = 1; i < N; ++i)
    if (kCatalogue[kByClassName[i]].className == kCatalogue[kByClassName[i - 1]].className) return false;
  return true;
}
static_assert(ClassNamesUnique(), "a class is catalogued twice");

constexpr bool SchemasKnown() {
  for (const CatalogueEntry& e : kCatalogue)
    if (e.schema != kSchema0 && e.schema != kSchema50001 && e.schema != kSchema50002) return false;
  return true;
}
static_assert(SchemasKnown());

}  // namespace

const CatalogueEntry* FindCatalogueEntry(std::string_view className) {
  const auto it = std::lower_bound(kByClassName.begin(), kByClassName.end(), className,
                                   [](uint16_t i, std::string_view k) { return kCatalogue[i].className < k; });
  if (it == kByClassName.end() || kCatalogue[*it].className != className) return nullptr;
  return &kCatalogue[*it];
}

CatalogueEntries FindCatalogueEntriesByObjectName(std::string_view objectName) {
  const auto [first, last] = std::equal_range(
      kByObjectName.begin(), kByObjectName.end(), objectName,
      [](const auto& a, const auto& b) {
        auto key = [](const auto& x) -> std::string_view {
          if constexpr (std::is_same_v<std::decay_t<decltype(x)>, uint16_t>) return kCatalogue[x].objectName;
          else return x;
        };
        return key(a) < key(b);
      });
  return CatalogueEntries(kByObjectName.data() + (first - kByObjectName.begin()),
                          kByObjectName.data() + (last - kByObjectName.begin()));
}

}  // namespace orvacmn
