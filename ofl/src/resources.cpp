// String resources of the library in English and German, looked up by id.
#include <algorithm>
#include <atomic>
#include <iterator>
#include <string_view>

#include "ofl/tools.h"

namespace {

constexpr uint16_t kEnglish = 1033;
constexpr uint16_t kGerman = 1031;

struct ResourceText {
  uint32_t id;
  std::string_view en;
  std::string_view de;
};

constexpr ResourceText kResources[] = {
#include "resource_table.inc"
};

constexpr bool SortedAndComplete() {
  for (size_t i = 0; i < std::size(kResources); ++i) {
    if (kResources[i].en.empty() || kResources[i].de.empty()) return false;
    if (i > 0 && kResources[i - 1].id >= kResources[i].id) return false;
  }
  return true;
}
static_assert(SortedAndComplete(), "resource table must be sorted by id, unique, and hold both languages");

std::atomic<uint16_t> g_language{kEnglish};

}  // namespace

OFL::String OFLTools::LoadResString(uint32_t id) {
  const auto it = std::lower_bound(std::begin(kResources), std::end(kResources), id,
                                   [](const ResourceText& r, uint32_t key) { return r.id < key; });
  if (it == std::end(kResources) || it->id != id) return String();
  const std::string_view text = g_language.load(std::memory_order_relaxed) == kGerman ? it->de : it->en;
  return String(text);
}

namespace OFL {

void SetResourceLanguage(uint16_t languageId) {
  g_language.store(languageId == kGerman ? kGerman : kEnglish, std::memory_order_relaxed);
}

uint16_t GetResourceLanguage() { return g_language.load(std::memory_order_relaxed); }

}  // namespace OFL
