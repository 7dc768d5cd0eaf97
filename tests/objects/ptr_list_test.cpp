// The typed pointer list: order, stable positions, misuse, copies.
#include "orvacmn/objects/ptr_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <list>
#include <random>
#include <stdexcept>
#include <vector>

namespace orvacmn {
namespace {

struct Elem {
  int id;
};
using List = OVOTypedPtrList<Elem>;
using Ids = std::vector<int>;

Elem e[10] = {{0}, {1}, {2}, {3}, {4}, {5}, {6}, {7}, {8}, {9}};

List Of(std::initializer_list<int> ids) {
  List l;
  for (int id : ids) l.AddTail(&e[id]);
  return l;
}
// The ids in list order; the backward walk, range-for and the count must agree.
Ids Forward(const List& l) {
  Ids out, back, ranged;
  for (POSITION p = l.GetHeadPosition(); p;) out.push_back(l.GetNext(p)->id);
  for (POSITION p = l.GetTailPosition(); p;) back.insert(back.begin(), l.GetPrev(p)->id);
  for (Elem* x : l) ranged.push_back(x->id);
  EXPECT_TRUE(back == out && ranged == out);
  EXPECT_EQ(l.GetCount(), static_cast<int>(out.size()));
  return out;
}

// Random operations against a std::list model: after every step order, positions, head, tail, Find and FindIndex
// agree. A null, foreign or stale position (its slot maybe reused) is rejected and changes nothing.
TEST(PtrListTest, MatchesAModelUnderRandomOperationsAndRejectsMisuse) {
  std::mt19937 rng(12345);
  List l, other;
  std::list<std::pair<Elem*, POSITION>> model;
  EXPECT_TRUE(l.IsEmpty() && !l.GetHeadPosition() && !l.GetTailPosition() && !l.FindIndex(0) && !l.Find(&e[0]) &&
              l.begin() == l.end());
  EXPECT_THROW(l.GetHead(), std::invalid_argument);
  EXPECT_THROW(l.GetTail(), std::invalid_argument);
  EXPECT_THROW(l.RemoveHead(), std::invalid_argument);
  EXPECT_THROW(l.RemoveTail(), std::invalid_argument);
  std::vector<POSITION> bad = {nullptr, other.AddTail(&e[0])};
  const auto at = [&](auto it) { return it == model.end() ? POSITION{} : it->second; };
  for (int step = 0; step < 20000; ++step) {
    Elem* x = &e[rng() % 10];
    POSITION wrong = bad[rng() % bad.size()], stale = wrong ? wrong : bad[1];
    const std::function<void()> misuse[] = {
        [&] { l.GetNext(wrong); }, [&] { l.GetPrev(wrong); },         [&] { l.GetAt(wrong); },
        [&] { l.SetAt(wrong, x); }, [&] { l.RemoveAt(wrong); },        [&] { l.InsertBefore(stale, x); },
        [&] { l.InsertAfter(stale, x); }, [&] { l.Find(x, stale); }};
    EXPECT_THROW(misuse[rng() % 8](), std::invalid_argument);
    const bool either = rng() % 2;
    const int op = static_cast<int>(rng() % 9);
    if (model.empty() && op > 1) continue;
    auto it = std::next(model.begin(), static_cast<long>(rng() % std::max<size_t>(model.size(), 1)));
    if (op == 5 || op == 6) it = op == 5 ? model.begin() : std::prev(model.end());
    const POSITION here = model.empty() ? nullptr : it->second;
    switch (op) {  // a null position inserts at the head or the tail, as the host framework does
      case 0: model.emplace_front(x, either ? l.TransferAddHead(x) : l.InsertBefore(nullptr, x)); break;
      case 1: model.emplace_back(x, either ? l.AddTail(x) : l.TransferInsertAfter(nullptr, x)); break;
      case 2: model.emplace(it, x, either ? l.InsertBefore(here, x) : l.TransferInsertBefore(here, x)); break;
      case 3: model.emplace(std::next(it), x, either ? l.InsertAfter(here, x) : l.TransferInsertAfter(here, x)); break;
      case 4: l.RemoveAt(here); break;
      case 5: ASSERT_EQ(l.RemoveHead(), it->first); break;
      case 6: ASSERT_EQ(l.RemoveTail(), it->first); break;
      case 7: l.SetAt(here, x); it->first = x; break;
      case 8:
        if (rng() % 50) break;
        l.RemoveAll();
        model.clear();
    }
    if (op >= 4 && op <= 6) {
      bad.push_back(here);
      model.erase(it);
    }
    ASSERT_EQ(l.GetCount(), static_cast<int>(model.size()));
    POSITION pos = l.GetHeadPosition();
    for (const auto& [elem, p] : model) ASSERT_TRUE(pos == p && l.GetNext(pos) == elem);
    ASSERT_EQ(pos, nullptr);
    if (model.empty()) continue;
    ASSERT_TRUE(l.GetHead() == model.front().first && l.GetTail() == model.back().first);
    const int k = static_cast<int>(rng() % model.size());
    ASSERT_EQ(l.FindIndex(k), std::next(model.begin(), k)->second) << k;
    ASSERT_TRUE(l.FindIndex(static_cast<int>(model.size())) == nullptr && l.FindIndex(-1) == nullptr);
    const auto match = [x](const auto& m) { return m.first == x; };
    const auto first = std::find_if(model.begin(), model.end(), match);
    ASSERT_EQ(l.Find(x), at(first));
    if (first != model.end()) {
      ASSERT_EQ(l.Find(x, first->second), at(std::find_if(std::next(first), model.end(), match)));
    }
  }
  Forward(l);
  EXPECT_EQ(other.GetAt(bad[1]), &e[0]);
}

TEST(PtrListTest, WholeListsAddCopyMoveRangeForAndConstElements) {
  List a = Of({2, 3}), b = Of({0, 1}), c = Of({0, 1});
  a.AddHead(b);
  a.AddTail(&b);
  a.AddTail(static_cast<const List*>(nullptr));
  b.AddTail(b);
  c.AddHead(&c);
  EXPECT_EQ(Forward(a), (Ids{0, 1, 2, 3, 0, 1}));
  EXPECT_TRUE(Forward(b) == (Ids{0, 1, 0, 1}) && Forward(c) == Forward(b));

  // Copies hold the same pointers at new positions; moves carry the positions along.
  a = Of({0, 1, 2});
  List copy(a);
  copy.RemoveHead();
  EXPECT_EQ(Forward(a), (Ids{0, 1, 2}));
  a = copy;
  a = *&a;
  EXPECT_EQ(Forward(a), (Ids{1, 2}));
  const POSITION p = a.GetTailPosition();
  List moved(std::move(a));
  EXPECT_TRUE(moved.GetAt(p) == &e[2] && a.IsEmpty());  // NOLINT(bugprone-use-after-move): moved-from lists are empty
  EXPECT_THROW(a.GetAt(p), std::invalid_argument);
  a.AddTail(&e[5]);
  EXPECT_EQ(Forward(a), (Ids{5}));
  c = std::move(moved);
  EXPECT_TRUE(Forward(c) == (Ids{1, 2}) && c.GetAt(p) == &e[2]);

  // Range-for survives removing the current element.
  a = Of({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  for (auto it = a.begin(); it != a.end(); ++it)
    if ((*it)->id % 2 == 0) a.RemoveAt(it.position());
  EXPECT_EQ(Forward(a), (Ids{1, 3, 5, 7, 9}));
  OVOTypedPtrList<const Elem> constList;
  constList.AddTail(&e[4]);
  EXPECT_EQ(constList.Find(&e[4]), constList.GetHeadPosition());
}

}  // namespace
}  // namespace orvacmn
