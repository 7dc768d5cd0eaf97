#include "orvacmn/distribution/dependencies.h"

#include "ofl/tokenizer.h"

namespace orvacmn {

int CDependencies::FindEntry(const String& name) const {
  const auto it = index_.find(name);
  return it == index_.end() ? -1 : it->second;
}

int CDependencies::InsertEntry(const String& name) {
  const auto [it, added] = index_.try_emplace(name, static_cast<int>(entries_.size()));
  if (added) entries_.push_back({name, {}});
  return it->second;
}

void CDependencies::SetDependencies(const String& item, const String& dependencies) {
  const int itemIndex = InsertEntry(item);
  for (const String& dependency : OFLTokenizer(dependencies, "#")) {
    if (OFL::EqualsNoCase(dependency, item)) continue;
    const int dependencyIndex = InsertEntry(dependency);
    const uint64_t link = (uint64_t(uint32_t(itemIndex)) << 32) | uint32_t(dependencyIndex);
    if (links_.insert(link).second) entries_[itemIndex].dependencies.push_back(dependencyIndex);
  }
}

String CDependencies::GetEntry(int index) const {
  if (index < 0 || index >= GetCount()) return String();
  String text = entries_[index].name;
  for (int d : entries_[index].dependencies) text += "#" + entries_[d].name;
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
  std::vector<bool> resolved(n), onPath(n);
  std::vector<size_t> next(n);  // each entry's first dependency not yet resolved
  std::vector<int> path;
  size_t first = 0, count = 0;
  while (count < n) {
    if (path.empty()) {
      while (resolved[first]) ++first;
      path.push_back(static_cast<int>(first));
      onPath[first] = true;
    }
    const int current = path.back();
    const std::vector<int>& deps = entries_[current].dependencies;
    while (next[current] < deps.size() && resolved[deps[next[current]]]) ++next[current];
    if (next[current] == deps.size()) {
      if (count++ > 0) order += '#';
      order += entries_[current].name;
      resolved[current] = true;
      onPath[current] = false;
      path.pop_back();
      continue;
    }
    const int dependency = deps[next[current]];
    if (onPath[dependency]) {
      error = "Cyclic dependencies among the items left:";
      for (size_t i = 0, listed = 0; i < n; ++i)
        if (!resolved[i]) error += (listed++ ? ", " : " ") + entries_[i].name;
      return kE_FAIL;
    }
    path.push_back(dependency);
    onPath[dependency] = true;
  }
  return kS_OK;
}

String CDependencies::ResolveDependencies() const {
  String order, error;
  ResolveDependencies(order, error);
  return order;
}

}  // namespace orvacmn
