// The typed pointer list: order, stable positions, misuse, copies.
#include "orvacmn/objects/ptr_list.h"

#include <gtest/gtest.h>

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

std::vector<int> Ids(const List& l) {
  std::vector<int> out;
  POSITION pos = l.GetHeadPosition();
  while (pos) out.push_back(l.GetNext(pos)->id);
  return out;
}

std::vector<int> IdsBackwards(const List& l) {
  std::vector<int> out;
  POSITION pos = l.GetTailPosition();
  while (pos) out.push_back(l.GetPrev(pos)->id);
  return out;
}

class PtrListTest : public ::testing::Test {
 protected:
  Elem e[10] = {{0}, {1}, {2}, {3}, {4}, {5}, {6}, {7}, {8}, {9}};
};

TEST_F(PtrListTest, EmptyList) {
  List l;
  EXPECT_TRUE(l.IsEmpty());
  EXPECT_EQ(l.GetCount(), 0);
  EXPECT_EQ(l.GetHeadPosition(), nullptr);
  EXPECT_EQ(l.GetTailPosition(), nullptr);
  EXPECT_EQ(l.FindIndex(0), nullptr);
  EXPECT_EQ(l.Find(&e[0]), nullptr);
  EXPECT_EQ(l.begin(), l.end());
}

TEST_F(PtrListTest, AddHeadAndTailOrder) {
  List l;
  l.AddTail(&e[1]);
  l.AddTail(&e[2]);
  l.AddHead(&e[0]);
  EXPECT_EQ(Ids(l), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(IdsBackwards(l), (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(l.GetHead(), &e[0]);
  EXPECT_EQ(l.GetTail(), &e[2]);
  EXPECT_EQ(l.GetCount(), 3);
  std::vector<int> ranged;
  for (Elem* p : l) ranged.push_back(p->id);
  EXPECT_EQ(ranged, (std::vector<int>{0, 1, 2}));
}

TEST_F(PtrListTest, InsertBeforeAndAfter) {
  List l;
  const POSITION p2 = l.AddTail(&e[2]);
  const POSITION p4 = l.InsertAfter(p2, &e[4]);
  l.InsertBefore(p4, &e[3]);
  l.InsertBefore(p2, &e[1]);
  l.InsertAfter(p4, &e[5]);
  EXPECT_EQ(Ids(l), (std::vector<int>{1, 2, 3, 4, 5}));
  // A null position inserts at the head or the tail, as the host framework does.
  l.InsertBefore(nullptr, &e[0]);
  l.InsertAfter(nullptr, &e[6]);
  EXPECT_EQ(Ids(l), (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(IdsBackwards(l), (std::vector<int>{6, 5, 4, 3, 2, 1, 0}));
}

TEST_F(PtrListTest, PositionsStayValidAcrossInsertsAndRemoves) {
  List l;
  std::vector<POSITION> pos;
  for (auto& x : e) pos.push_back(l.AddTail(&x));
  // Many more nodes force the storage to grow; old positions still hold.
  std::vector<Elem> more(1000, Elem{100});
  for (auto& m : more) l.AddHead(&m);
  l.RemoveAt(pos[3]);
  l.RemoveAt(pos[7]);
  for (int i = 0; i < 10; ++i) {
    if (i == 3 || i == 7) continue;
    EXPECT_EQ(l.GetAt(pos[i]), &e[i]);
  }
  POSITION p = pos[2];
  l.GetNext(p);
  EXPECT_EQ(p, pos[4]);
  p = pos[8];
  l.GetPrev(p);
  EXPECT_EQ(p, pos[6]);
  // Reused slots get new positions; the removed ones stay invalid.
  const POSITION fresh = l.InsertAfter(pos[2], &e[3]);
  EXPECT_NE(fresh, pos[3]);
  EXPECT_NE(fresh, pos[7]);
  EXPECT_THROW(l.GetAt(pos[3]), std::invalid_argument);
  EXPECT_THROW(l.GetAt(pos[7]), std::invalid_argument);
  EXPECT_EQ(l.GetCount(), 1000 + 9);
}

TEST_F(PtrListTest, GetNextAndGetPrevStopAtTheEnds) {
  List l;
  const POSITION a = l.AddTail(&e[0]);
  POSITION p = a;
  EXPECT_EQ(l.GetNext(p), &e[0]);
  EXPECT_EQ(p, nullptr);
  p = a;
  EXPECT_EQ(l.GetPrev(p), &e[0]);
  EXPECT_EQ(p, nullptr);
}

TEST_F(PtrListTest, SetAtReplacesOnlyThatNode) {
  List l;
  l.AddTail(&e[0]);
  const POSITION p = l.AddTail(&e[1]);
  l.AddTail(&e[2]);
  l.SetAt(p, &e[9]);
  EXPECT_EQ(Ids(l), (std::vector<int>{0, 9, 2}));
}

TEST_F(PtrListTest, RemoveHeadTailAndAt) {
  List l;
  for (int i = 0; i < 5; ++i) l.AddTail(&e[i]);
  EXPECT_EQ(l.RemoveHead(), &e[0]);
  EXPECT_EQ(l.RemoveTail(), &e[4]);
  l.RemoveAt(l.Find(&e[2]));
  EXPECT_EQ(Ids(l), (std::vector<int>{1, 3}));
  EXPECT_EQ(IdsBackwards(l), (std::vector<int>{3, 1}));
  l.RemoveAt(l.GetHeadPosition());
  l.RemoveAt(l.GetTailPosition());
  EXPECT_TRUE(l.IsEmpty());
  EXPECT_EQ(l.GetHeadPosition(), nullptr);
  l.AddTail(&e[7]);
  EXPECT_EQ(Ids(l), (std::vector<int>{7}));
}

TEST_F(PtrListTest, FindAndFindIndex) {
  List l;
  l.AddTail(&e[1]);
  const POSITION second = l.AddTail(&e[2]);
  const POSITION third = l.AddTail(&e[1]);
  l.AddTail(nullptr);
  EXPECT_EQ(l.Find(&e[1]), l.GetHeadPosition());
  EXPECT_EQ(l.Find(&e[1], l.GetHeadPosition()), third);
  EXPECT_EQ(l.Find(&e[1], third), nullptr);
  EXPECT_EQ(l.Find(&e[5]), nullptr);
  EXPECT_EQ(l.Find(nullptr), l.GetTailPosition());
  EXPECT_EQ(l.FindIndex(0), l.GetHeadPosition());
  EXPECT_EQ(l.FindIndex(1), second);
  EXPECT_EQ(l.FindIndex(2), third);
  EXPECT_EQ(l.FindIndex(3), l.GetTailPosition());
  EXPECT_EQ(l.FindIndex(4), nullptr);
  EXPECT_EQ(l.FindIndex(-1), nullptr);
}

TEST_F(PtrListTest, AddWholeLists) {
  List a, b;
  a.AddTail(&e[2]);
  a.AddTail(&e[3]);
  b.AddTail(&e[0]);
  b.AddTail(&e[1]);
  a.AddHead(b);
  EXPECT_EQ(Ids(a), (std::vector<int>{0, 1, 2, 3}));
  a.AddTail(&b);
  EXPECT_EQ(Ids(a), (std::vector<int>{0, 1, 2, 3, 0, 1}));
  a.AddTail(static_cast<const List*>(nullptr));
  EXPECT_EQ(a.GetCount(), 6);
  EXPECT_EQ(Ids(b), (std::vector<int>{0, 1}));
}

TEST_F(PtrListTest, AddListToItself) {
  List l;
  l.AddTail(&e[0]);
  l.AddTail(&e[1]);
  l.AddTail(l);
  EXPECT_EQ(Ids(l), (std::vector<int>{0, 1, 0, 1}));
  l.RemoveAll();
  l.AddTail(&e[0]);
  l.AddTail(&e[1]);
  l.AddHead(&l);
  EXPECT_EQ(Ids(l), (std::vector<int>{0, 1, 0, 1}));
  EXPECT_EQ(IdsBackwards(l), (std::vector<int>{1, 0, 1, 0}));
}

TEST_F(PtrListTest, TransferFormsInsertLikeThePlainOnes) {
  List l;
  const POSITION mid = l.TransferAddTail(&e[2]);
  l.TransferAddHead(&e[0]);
  l.TransferInsertBefore(mid, &e[1]);
  l.TransferInsertAfter(mid, &e[3]);
  l.TransferInsertAfter(nullptr, &e[4]);
  EXPECT_EQ(Ids(l), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(PtrListTest, MisuseThrowsInvalidArgument) {
  List l;
  EXPECT_THROW(l.GetHead(), std::invalid_argument);
  EXPECT_THROW(l.GetTail(), std::invalid_argument);
  EXPECT_THROW(l.RemoveHead(), std::invalid_argument);
  EXPECT_THROW(l.RemoveTail(), std::invalid_argument);
  POSITION none = nullptr;
  EXPECT_THROW(l.GetNext(none), std::invalid_argument);
  EXPECT_THROW(l.GetPrev(none), std::invalid_argument);
  EXPECT_THROW(l.GetAt(nullptr), std::invalid_argument);
  EXPECT_THROW(l.SetAt(nullptr, &e[0]), std::invalid_argument);
  EXPECT_THROW(l.RemoveAt(nullptr), std::invalid_argument);

  const POSITION p = l.AddTail(&e[0]);
  l.AddTail(&e[1]);
  l.RemoveAt(p);
  POSITION stale = p;
  EXPECT_THROW(l.GetNext(stale), std::invalid_argument);
  EXPECT_THROW(l.RemoveAt(p), std::invalid_argument);
  EXPECT_THROW(l.InsertBefore(p, &e[2]), std::invalid_argument);
  EXPECT_THROW(l.InsertAfter(p, &e[2]), std::invalid_argument);
  EXPECT_THROW(l.Find(&e[1], p), std::invalid_argument);
  EXPECT_EQ(Ids(l), (std::vector<int>{1}));  // nothing changed by the failed calls

  const POSITION q = l.GetHeadPosition();
  l.RemoveAll();
  EXPECT_THROW(l.GetAt(q), std::invalid_argument);
  l.AddTail(&e[3]);
  EXPECT_THROW(l.GetAt(q), std::invalid_argument);  // the slot is new, the position old

  List other;
  const POSITION foreign = other.AddTail(&e[4]);
  EXPECT_THROW(l.GetAt(foreign), std::invalid_argument);
  EXPECT_THROW(l.RemoveAt(foreign), std::invalid_argument);
  EXPECT_EQ(other.GetAt(foreign), &e[4]);
}

struct Counted {
  ~Counted() { ++destroyed; }
  static inline int destroyed = 0;
};

TEST_F(PtrListTest, NeverDestroysElements) {
  Counted c1, c2;
  {
    OVOTypedPtrList<Counted> l;
    l.AddTail(&c1);
    l.AddTail(&c2);
    l.RemoveHead();
    l.RemoveAll();
    l.AddTail(&c1);
  }
  EXPECT_EQ(Counted::destroyed, 0);
}

TEST_F(PtrListTest, CopiesAreShallowAndIndependent) {
  List a;
  for (int i = 0; i < 3; ++i) a.AddTail(&e[i]);
  List b(a);
  b.RemoveHead();
  EXPECT_EQ(Ids(a), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Ids(b), (std::vector<int>{1, 2}));
  EXPECT_EQ(b.GetHead(), &e[1]);  // same pointers
  a = b;
  EXPECT_EQ(Ids(a), (std::vector<int>{1, 2}));
  const List& alias = a;
  a = alias;
  EXPECT_EQ(Ids(a), (std::vector<int>{1, 2}));
}

TEST_F(PtrListTest, MovesCarryPositionsAlong) {
  List a;
  a.AddTail(&e[0]);
  const POSITION p = a.AddTail(&e[1]);
  List b(std::move(a));
  EXPECT_EQ(b.GetAt(p), &e[1]);
  EXPECT_TRUE(a.IsEmpty());  // NOLINT(bugprone-use-after-move): moved-from lists are empty
  EXPECT_THROW(a.GetAt(p), std::invalid_argument);
  a.AddTail(&e[5]);
  EXPECT_EQ(Ids(a), (std::vector<int>{5}));
  List c;
  c = std::move(b);
  EXPECT_EQ(Ids(c), (std::vector<int>{0, 1}));
  EXPECT_EQ(c.GetAt(p), &e[1]);
}

TEST_F(PtrListTest, RangeForSurvivesRemovingTheCurrentElement) {
  List l;
  for (auto& x : e) l.AddTail(&x);
  for (auto it = l.begin(); it != l.end(); ++it)
    if ((*it)->id % 2 == 0) l.RemoveAt(it.position());
  EXPECT_EQ(Ids(l), (std::vector<int>{1, 3, 5, 7, 9}));
}

TEST_F(PtrListTest, ConstElementType) {
  OVOTypedPtrList<const Elem> l;
  const Elem& ce = e[4];
  l.AddTail(&ce);
  EXPECT_EQ(l.GetHead()->id, 4);
  EXPECT_EQ(l.Find(&ce), l.GetHeadPosition());
}

// Random operations against a std::list model: order, counts and positions
// agree after every step.
TEST_F(PtrListTest, MatchesAModelUnderRandomOperations) {
  std::mt19937 rng(12345);
  std::vector<Elem> pool(64);
  for (int i = 0; i < 64; ++i) pool[i].id = i;
  List l;
  std::list<std::pair<Elem*, POSITION>> model;
  for (int step = 0; step < 20000; ++step) {
    const int op = static_cast<int>(rng() % 8);
    Elem* x = &pool[rng() % pool.size()];
    auto pick = [&]() {
      auto it = model.begin();
      std::advance(it, static_cast<long>(rng() % model.size()));
      return it;
    };
    switch (op) {
      case 0: model.emplace_front(x, l.AddHead(x)); break;
      case 1: model.emplace_back(x, l.AddTail(x)); break;
      case 2:
        if (!model.empty()) {
          auto it = pick();
          model.emplace(it, x, l.InsertBefore(it->second, x));
        }
        break;
      case 3:
        if (!model.empty()) {
          auto it = pick();
          model.emplace(std::next(it), x, l.InsertAfter(it->second, x));
        }
        break;
      case 4:
        if (!model.empty()) {
          auto it = pick();
          l.RemoveAt(it->second);
          model.erase(it);
        }
        break;
      case 5:
        if (!model.empty()) {
          EXPECT_EQ(l.RemoveHead(), model.front().first);
          model.pop_front();
        }
        break;
      case 6:
        if (!model.empty()) {
          auto it = pick();
          l.SetAt(it->second, x);
          it->first = x;
        }
        break;
      case 7:
        if (rng() % 50 == 0) {
          l.RemoveAll();
          model.clear();
        }
        break;
    }
    ASSERT_EQ(l.GetCount(), static_cast<int>(model.size()));
  }
  POSITION pos = l.GetHeadPosition();
  for (const auto& [elem, p] : model) {
    ASSERT_EQ(pos, p);
    ASSERT_EQ(l.GetNext(pos), elem);
  }
  EXPECT_EQ(pos, nullptr);
}

}  // namespace
}  // namespace orvacmn
