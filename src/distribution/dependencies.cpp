#include "orvacmn/distribution/dependencies.h"

#include "ofl/tokenizer.h"

namespace orvacmn {

int CDependencies::FindEntry(const String& name) const {
  const auto it = index_.find(name);
  return it == index_.end() ? -1 : it->second;
}

int CDependencies::InsertEntry(const String& name) {
  const auto [it, added] = index_.try_emplace(name, static_cast<int>(entries_.size()));
  if (added) entries_.push_back({name});
  return it->second;
}

void CDependencies::SetDependencies(const String& item, const String& dependencies) {
  const int itemIndex = InsertEntry(item);
  for (const String& dependency : OFLTokenizer(dependencies, "#")) {
    if (OFL::EqualsNoCase(dependency, item)) continue;
    const int dependencyIndex = InsertEntry(dependency);
    if (!linked_.insert((uint64_t(uint32_t(itemIndex)) << 32) | uint32_t(dependencyIndex)).second) continue;
    const int link = static_cast<int>(links_.size());
    links_.push_back({dependencyIndex});
    Entry& entry = entries_[itemIndex];
    (entry.last < 0 ? entry.first : links_[entry.last].next) = link;
    entry.last = link;
  }
}

String CDependencies::GetEntry(int index) const {
  if (index < 0 || index >= GetCount()) return String();
  String text = entries_[index].name;
  for (int l = entries_[index].first; l >= 0; l = links_[l].next) text += "#" + entries_[links_[l].dependency].name;
  return text;
}

HRESULT CDependencies::ResolveDependencies(String& order, String& error) const {
  order.clear();
  error.clear();
  const size_t n = entries_.size();
  // The walk keeps its path as a stack: after the entry on top is taken,
  // the path below it is what a new walk from the first entry left would
  // follow again, since the first entry left is the bottom of the path and
  // only the entry below the top pointed at the one taken.
  enum : uint8_t { kOpen, kOnPath, kResolved };
  std::vector<uint8_t> state(n, kOpen);
  std::vector<int> pending(n);  // each entry's first link to a dependency not yet resolved
  size_t length = 0;
  for (size_t i = 0; i < n; ++i) {
    pending[i] = entries_[i].first;
    length += entries_[i].name.size() + 1;
  }
  order.reserve(length);
  std::vector<int> path;
  size_t first = 0, count = 0;
  while (count < n) {
    if (path.empty()) {
      while (state[first] == kResolved) ++first;
      path.push_back(static_cast<int>(first));
      state[first] = kOnPath;
    }
    const int current = path.back();
    int& link = pending[current];
    while (link >= 0 && state[links_[link].dependency] == kResolved) link = links_[link].next;
    if (link < 0) {
      if (count++ > 0) order += '#';
      order += entries_[current].name;
      state[current] = kResolved;
      path.pop_back();
      continue;
    }
    const int dependency = links_[link].dependency;
    if (state[dependency] == kOnPath) {
      error = "Cyclic dependencies among the items left:";
      for (size_t i = 0, listed = 0; i < n; ++i)
        if (state[i] != kResolved) error.append(listed++ ? ", " : " ").append(entries_[i].name);
      return kE_FAIL;
    }
    path.push_back(dependency);
    state[dependency] = kOnPath;
  }
  return kS_OK;
}

String CDependencies::ResolveDependencies() const {
  String order, error;
  ResolveDependencies(order, error);
  return order;
}

}  // namespace orvacmn
