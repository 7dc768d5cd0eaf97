// Ordering by dependencies: the walk of first pending dependencies, checked
// against the walk done step by step on the entry texts.
#include <gtest/gtest.h>

#include <random>

#include "ofl/tokenizer.h"
#include "orvacmn/distribution/dependencies.h"

namespace {

using orvacmn::CDependencies;

// The walk on "name#dep#dep" texts: restart from the first entry after each
// item taken, delete its name from every other entry.
std::string ReferenceOrder(const CDependencies& deps) {
  std::vector<std::vector<std::string>> entries;
  for (int i = 0; i < deps.GetCount(); ++i) entries.push_back(OFLTokenizer(deps.GetEntry(i), "#").Items());
  std::string order;
  size_t current = 0, steps = 0;
  while (!entries.empty()) {
    if (++steps > 1000000) return "<loop>";
    if (entries[current].size() == 1) {
      const std::string name = entries[current][0];
      order += (order.empty() ? "" : "#") + name;
      entries.erase(entries.begin() + static_cast<long>(current));
      for (auto& e : entries)
        for (size_t k = e.size(); k-- > 1;)
          if (OFL::EqualsNoCase(e[k], name)) e.erase(e.begin() + static_cast<long>(k));
      current = 0;
      continue;
    }
    size_t next = entries.size();
    for (size_t i = entries.size(); i-- > 0;)
      if (OFL::EqualsNoCase(entries[i][0], entries[current][1])) {
        next = i;
        break;
      }
    if (next == entries.size()) return "<missing>";
    current = next;
  }
  return order;
}

TEST(Dependencies, EachItemAfterWhatItNeeds) {
  CDependencies deps;
  deps.SetDependencies("A", "B#C");
  deps.SetDependencies("B", "C");
  EXPECT_EQ(deps.ResolveDependencies(), "C#B#A");
  EXPECT_EQ(deps.GetCount(), 3);
  EXPECT_EQ(deps.GetEntry(0), "A#B#C");
  EXPECT_EQ(deps.GetEntry(3), "");
  EXPECT_EQ(deps.GetEntry(-1), "");
}

TEST(Dependencies, EntriesIgnoreCaseAndRepeats) {
  CDependencies deps;
  EXPECT_EQ(deps.ResolveDependencies(), "");
  deps.SetDependencies("Office", "office#runtime##RUNTIME#Fonts");
  deps.SetDependencies("OFFICE", "Runtime#Viewer");
  deps.SetDependencies("runtime", "");
  EXPECT_EQ(deps.FindEntry("FONTS"), 2);
  EXPECT_EQ(deps.FindEntry("none"), -1);
  EXPECT_EQ(deps.InsertEntry("VIEWER"), 3);
  EXPECT_EQ(deps.InsertEntry("New"), 4);
  EXPECT_EQ(deps.GetEntry(0), "Office#runtime#Fonts#Viewer");
  EXPECT_EQ(deps.ResolveDependencies(), "runtime#Fonts#Viewer#Office#New");
}

TEST(Dependencies, CycleEndsWithTheItemsLeft) {
  CDependencies deps;
  deps.SetDependencies("Base", "");
  deps.SetDependencies("A", "Base#B");
  deps.SetDependencies("B", "C");
  deps.SetDependencies("C", "A");
  deps.SetDependencies("D", "");
  std::string order, error;
  EXPECT_LT(deps.ResolveDependencies(order, error), 0);
  EXPECT_EQ(order, "Base");
  EXPECT_EQ(error, "Cyclic dependencies among the items left: A, B, C, D");
  EXPECT_EQ(deps.ResolveDependencies(), "Base");
  CDependencies self;
  self.SetDependencies("X", "x#X");
  EXPECT_EQ(self.ResolveDependencies(order, error), 0);
  EXPECT_EQ(order, "X");
  EXPECT_EQ(error, "");
}

TEST(Dependencies, SameOrderAsTheStepByStepWalk) {
  std::mt19937 random(20);
  for (int round = 0; round < 200; ++round) {
    CDependencies deps;
    const int items = 1 + static_cast<int>(random() % 40);
    for (int i = 0; i < items; ++i) {
      std::string list;
      const int count = static_cast<int>(random() % 5);
      // Dependencies on later items only, so no cycle; some names in another case.
      for (int k = 0; k < count && i + 1 < items; ++k) {
        const int d = i + 1 + static_cast<int>(random() % (items - i - 1));
        list += (random() % 3 ? "item" : "ITEM") + std::to_string(d) + "#";
      }
      deps.SetDependencies("item" + std::to_string(i), list);
    }
    EXPECT_EQ(deps.ResolveDependencies(), ReferenceOrder(deps)) << round;
  }
}

}  // namespace
