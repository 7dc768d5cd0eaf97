// NoCaseIndex: a hashed index from names, ASCII case ignored, to records
// that the caller owns.
//
// Names come from outside (packed texts, messages, files), so the index must
// stay fast whatever names it is given: the hash folds exactly what the
// comparison folds (ASCII letters) and is seeded afresh in every process, so
// no set of names that collide can be prepared in advance.
//
// The index keeps a view of each name: the caller keeps the name's bytes alive
// and unchanged while its record is indexed. Used by one thread at a time;
// concurrent Find calls on an unchanging index are safe.
#ifndef OFL_NAME_INDEX_H_
#define OFL_NAME_INDEX_H_

#include <cstddef>
#include <memory>
#include <string_view>
#include <type_traits>

namespace OFL {

// The seeded hash of a name with ASCII letters folded to lower case: names
// that EqualsNoCase calls equal hash alike.
size_t HashNameNoCase(std::string_view name);

class NoCaseIndex {
 public:
  NoCaseIndex();
  ~NoCaseIndex();
  NoCaseIndex(NoCaseIndex&& other) noexcept;
  NoCaseIndex& operator=(NoCaseIndex&& other) noexcept;
  NoCaseIndex(const NoCaseIndex&) = delete;
  NoCaseIndex& operator=(const NoCaseIndex&) = delete;

  // The record indexed under `name`, or null.
  void* Find(std::string_view name) const;
  // Indexes `record` under `name` unless that name is taken; returns the
  // record already indexed under it, or null when `record` was added.
  void* Insert(std::string_view name, void* record);
  // Removes the name; returns its record, or null when it was not indexed.
  void* Erase(std::string_view name);
  void Clear();
  // Room for `count` names without rehashing.
  void Reserve(size_t count);
  size_t Size() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The same over records of one type.
template <class T>
class NoCaseIndexOf {
 public:
  T* Find(std::string_view name) const { return static_cast<T*>(index_.Find(name)); }
  T* Insert(std::string_view name, T* record) {
    return static_cast<T*>(index_.Insert(name, const_cast<std::remove_const_t<T>*>(record)));
  }
  T* Erase(std::string_view name) { return static_cast<T*>(index_.Erase(name)); }
  void Clear() { index_.Clear(); }
  void Reserve(size_t count) { index_.Reserve(count); }
  size_t Size() const { return index_.Size(); }

 private:
  NoCaseIndex index_;
};

}  // namespace OFL

#endif  // OFL_NAME_INDEX_H_
