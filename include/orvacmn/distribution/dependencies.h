// CDependencies: items ordered so that each comes after everything it
// depends on (software installed before the software that needs it).
//
// Each entry is an item with its pending dependencies, written
// "name#dep#dep". Names compare without regard to case; every dependency
// gets an entry of its own. Resolving starts at the first entry and follows
// each entry's first pending dependency until it meets an entry without
// one, takes that entry, and starts again from the first entry left; the
// order is the one this walk gives, computed in time linear in the entries
// and dependencies. A dependency cycle ends the walk with an error that
// names the items left.
//
// One thread at a time.
#ifndef ORVACMN_DISTRIBUTION_DEPENDENCIES_H_
#define ORVACMN_DISTRIBUTION_DEPENDENCIES_H_

#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "ofl/string.h"
#include "orvacmn/common/types.h"

namespace orvacmn {

class CDependencies {
 public:
  // Index of the entry named `name` (case ignored), or -1.
  int FindEntry(const String& name) const;
  // The index of the entry named `name`, added when there is none.
  int InsertEntry(const String& name);
  // Gives `item` an entry and adds each "#"-separated dependency (the item
  // itself left out) as an entry of its own and, unless already there, as a
  // pending dependency of the item.
  void SetDependencies(const String& item, const String& dependencies);

  // The names in resolved order joined with "#". On a cycle, the names
  // resolved before it.
  String ResolveDependencies() const;
  // The same; on a cycle E_FAIL with `error` naming the items left.
  HRESULT ResolveDependencies(String& order, String& error) const;

  int GetCount() const { return static_cast<int>(entries_.size()); }
  // "name#dep#dep" of an entry; empty for an index out of range.
  String GetEntry(int index) const;

 private:
  // Dependencies live in one array, each entry's chained in the order they
  // were added, so that resolving a long list reads compact memory.
  struct Entry {
    String name;
    int first = -1, last = -1;  // links_ indexes
  };
  struct Link {
    int dependency;
    int next = -1;
  };

  std::vector<Entry> entries_;
  std::vector<Link> links_;
  std::unordered_map<String, int, OFL::HashNoCase, OFL::EqualNoCase> index_;
  std::unordered_set<uint64_t> linked_;  // item << 32 | dependency
};

}  // namespace orvacmn

#endif  // ORVACMN_DISTRIBUTION_DEPENDENCIES_H_
