// The typed pointer list: order, stable positions, misuse, copies.
#include "orvacmn/objects/ptr_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <list>
#include <memory>
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
  EXPECT_EQ(back, out);
  EXPECT_EQ(ranged, out);
  EXPECT_EQ(l.GetCount(), static_cast<int>(out.size()));
  return out;
}

TEST(PtrListTest, InsertsRemovesAndFindsKeepOrder) {
  List l;
  EXPECT_TRUE(l.IsEmpty() && !l.GetHeadPosition() && !l.GetTailPosition() && !l.FindIndex(0) && !l.Find(&e[0]) &&
              l.begin() == l.end());
  const POSITION p2 = l.TransferAddTail(&e[2]);
  EXPECT_EQ(Forward(l), (Ids{2}));
  const POSITION p4 = l.InsertAfter(p2, &e[4]);
  l.InsertBefore(p4, &e[3]);
  l.TransferInsertBefore(p2, &e[1]);
  l.TransferInsertAfter(p4, &e[5]);
  EXPECT_EQ(Forward(l), (Ids{1, 2, 3, 4, 5}));
  // A null position inserts at the head or the tail, as the host framework does.
  l.InsertBefore(nullptr, &e[0]);
  l.InsertAfter(nullptr, &e[6]);
  l.TransferInsertAfter(nullptr, &e[7]);
  l.TransferAddHead(&e[9]);
  l.SetAt(p4, &e[8]);
  EXPECT_EQ(Forward(l), (Ids{9, 0, 1, 2, 3, 8, 5, 6, 7}));
  EXPECT_EQ(l.GetHead(), &e[9]);
  EXPECT_EQ(l.GetTail(), &e[7]);
  EXPECT_EQ(l.RemoveHead(), &e[9]);
  EXPECT_EQ(l.RemoveTail(), &e[7]);
  l.RemoveAt(p2);
  EXPECT_EQ(Forward(l), (Ids{0, 1, 3, 8, 5, 6}));
  while (!l.IsEmpty()) l.RemoveAt(l.GetCount() % 2 ? l.GetHeadPosition() : l.GetTailPosition());
  EXPECT_EQ(l.GetHeadPosition(), nullptr);
  l.AddTail(&e[7]);
  EXPECT_EQ(Forward(l), (Ids{7}));

  // Find and FindIndex, a null element included.
  l = Of({1, 2, 1});
  l.AddTail(nullptr);
  const POSITION second = l.FindIndex(1), third = l.FindIndex(2);
  EXPECT_TRUE(l.GetAt(second) == &e[2] && l.GetAt(third) == &e[1]);
  EXPECT_EQ(l.Find(&e[1]), l.GetHeadPosition());
  EXPECT_EQ(l.Find(&e[1], l.GetHeadPosition()), third);
  EXPECT_TRUE(l.Find(&e[1], third) == nullptr && l.Find(&e[5]) == nullptr);
  EXPECT_EQ(l.Find(nullptr), l.GetTailPosition());
  EXPECT_EQ(l.FindIndex(3), l.GetTailPosition());
  EXPECT_TRUE(l.FindIndex(4) == nullptr && l.FindIndex(-1) == nullptr);
}

TEST(PtrListTest, WholeListsAddCopyAndMove) {
  List a = Of({2, 3}), b = Of({0, 1});
  a.AddHead(b);
  EXPECT_EQ(Forward(a), (Ids{0, 1, 2, 3}));
  a.AddTail(&b);
  a.AddTail(static_cast<const List*>(nullptr));
  EXPECT_EQ(Forward(a), (Ids{0, 1, 2, 3, 0, 1}));
  EXPECT_EQ(Forward(b), (Ids{0, 1}));
  b.AddTail(b);
  EXPECT_EQ(Forward(b), (Ids{0, 1, 0, 1}));
  List c = Of({0, 1});
  c.AddHead(&c);
  EXPECT_EQ(Forward(c), (Ids{0, 1, 0, 1}));

  // Copies hold the same pointers at new positions; moves carry the positions along.
  a = Of({0, 1, 2});
  List copy(a);
  copy.RemoveHead();
  EXPECT_EQ(Forward(a), (Ids{0, 1, 2}));
  EXPECT_EQ(copy.GetHead(), &e[1]);
  a = copy;
  a = *&a;
  EXPECT_EQ(Forward(a), (Ids{1, 2}));
  const POSITION p = a.GetTailPosition();
  List moved(std::move(a));
  EXPECT_EQ(moved.GetAt(p), &e[2]);
  EXPECT_TRUE(a.IsEmpty());  // NOLINT(bugprone-use-after-move): moved-from lists are empty
  EXPECT_THROW(a.GetAt(p), std::invalid_argument);
  a.AddTail(&e[5]);
  EXPECT_EQ(Forward(a), (Ids{5}));
  c = std::move(moved);
  EXPECT_EQ(Forward(c), (Ids{1, 2}));
  EXPECT_EQ(c.GetAt(p), &e[2]);
}

TEST(PtrListTest, MisuseThrowsInvalidArgumentAndChangesNothing) {
  List l, other;
  POSITION none = nullptr;
  const std::function<void()> onEmpty[] = {
      [&] { l.GetHead(); },     [&] { l.GetTail(); },     [&] { l.RemoveHead(); },  [&] { l.RemoveTail(); },
      [&] { l.GetNext(none); }, [&] { l.GetPrev(none); }, [&] { l.GetAt(nullptr); }, [&] { l.RemoveAt(nullptr); },
      [&] { l.SetAt(nullptr, &e[0]); }};
  for (const auto& f : onEmpty) EXPECT_THROW(f(), std::invalid_argument);

  const POSITION p = l.AddTail(&e[0]);
  l.AddTail(&e[1]);
  l.RemoveAt(p);
  POSITION stale = p;
  const POSITION foreign = other.AddTail(&e[4]);
  const std::function<void()> withStale[] = {
      [&] { l.GetNext(stale); },        [&] { l.RemoveAt(p); },     [&] { l.InsertBefore(p, &e[2]); },
      [&] { l.InsertAfter(p, &e[2]); }, [&] { l.Find(&e[1], p); }, [&] { l.GetAt(foreign); },
      [&] { l.RemoveAt(foreign); }};
  for (const auto& f : withStale) EXPECT_THROW(f(), std::invalid_argument);
  EXPECT_EQ(Forward(l), (Ids{1}));
  EXPECT_EQ(other.GetAt(foreign), &e[4]);
  const POSITION q = l.GetHeadPosition();
  l.RemoveAll();
  l.AddTail(&e[3]);
  EXPECT_THROW(l.GetAt(q), std::invalid_argument) << "the slot is new, the position old";
}

struct Counted {
  ~Counted() { ++destroyed; }
  static inline int destroyed = 0;
};

TEST(PtrListTest, RangeForSurvivesRemovingTheCurrentElementConstAndOwnedElements) {
  List l = Of({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  for (auto it = l.begin(); it != l.end(); ++it)
    if ((*it)->id % 2 == 0) l.RemoveAt(it.position());
  EXPECT_EQ(Forward(l), (Ids{1, 3, 5, 7, 9}));
  OVOTypedPtrList<const Elem> constList;
  const Elem& ce = e[4];
  constList.AddTail(&ce);
  EXPECT_EQ(constList.GetHead()->id, 4);
  EXPECT_EQ(constList.Find(&ce), constList.GetHeadPosition());

  Counted counted[2];
  auto owner = std::make_unique<OVOTypedPtrList<Counted>>();
  for (Counted& x : counted) owner->AddTail(&x);
  owner->RemoveHead();
  owner->RemoveAll();
  owner->AddTail(&counted[0]);
  owner.reset();
  EXPECT_EQ(Counted::destroyed, 0) << "the list never destroys its elements";
}

// Random operations against a std::list model: order, counts and positions agree, and
// positions of removed nodes stay invalid though their slots are reused.
TEST(PtrListTest, MatchesAModelUnderRandomOperations) {
  std::mt19937 rng(12345);
  std::vector<Elem> pool(64);
  for (int i = 0; i < 64; ++i) pool[i].id = i;
  List l;
  std::list<std::pair<Elem*, POSITION>> model;
  std::vector<POSITION> removed;
  for (int step = 0; step < 20000; ++step) {
    Elem* x = &pool[rng() % pool.size()];
    const int op = static_cast<int>(rng() % 9);
    if (op == 0) {
      model.emplace_front(x, l.AddHead(x));
    } else if (op == 1) {
      model.emplace_back(x, l.AddTail(x));
    } else if (op == 8 && rng() % 50 == 0) {
      l.RemoveAll();
      model.clear();
    } else if (!model.empty() && op < 8) {
      auto it = std::next(model.begin(), static_cast<long>(rng() % model.size()));
      switch (op) {
        case 2: model.emplace(it, x, l.InsertBefore(it->second, x)); break;
        case 3: model.emplace(std::next(it), x, l.InsertAfter(it->second, x)); break;
        case 4: l.RemoveAt(it->second); removed.push_back(it->second); model.erase(it); break;
        case 5: EXPECT_EQ(l.RemoveHead(), model.front().first); model.pop_front(); break;
        case 6: EXPECT_EQ(l.RemoveTail(), model.back().first); model.pop_back(); break;
        case 7: l.SetAt(it->second, x); it->first = x; break;
      }
    }
    ASSERT_EQ(l.GetCount(), static_cast<int>(model.size()));
  }
  POSITION pos = l.GetHeadPosition();
  for (const auto& [elem, p] : model) {
    ASSERT_EQ(pos, p);
    ASSERT_EQ(l.GetNext(pos), elem);
  }
  EXPECT_EQ(pos, nullptr);
  Forward(l);
  for (POSITION p : removed) EXPECT_THROW(l.GetAt(p), std::invalid_argument);
}

}  // namespace
}  // namespace orvacmn
