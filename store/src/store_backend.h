// StoreBackend: the SQL and the connection of one kind of store, below the
// rules of RecordStore. The engine calls it under its own mutex, so a
// backend serves one call at a time.
//
// Results are the backend's own codes: kRcOk, kRcRefused (the engine's
// rules refused a write; it leaves no text of the backend) or any other code
// the backend turns into a status and text in Fail. Reads append rows;
// writes run inside BeginWrite ... Finish, reads of several statements
// inside BeginRead ... Finish.
#ifndef ORVACMN_STORE_STORE_BACKEND_H_
#define ORVACMN_STORE_STORE_BACKEND_H_

#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "orvacmn_store/record_store.h"

namespace orvacmn::store {

inline constexpr int kRcOk = 0;
inline constexpr int kRcRefused = 4;

// The condition names an index holds, ASCII lower case and sorted, by type.
using ConditionNames = std::map<uint32_t, std::vector<String>>;
// The condition names of the families' rows: what a writable store indexes.
ConditionNames WantedConditions();
// Brings an index that holds `have` to the families' conditions: `drop` for
// each name no family has any more, then `add` with the names each type
// gained (the backend fills them from the stored records and records them
// as held). Stops at the first result that is not kRcOk and gives it.
int SyncConditionNames(const ConditionNames& have, const std::function<int(uint32_t, const String&)>& drop,
                       const std::function<int(uint32_t, const std::vector<String>&)>& add);
// Conditions of one list met through the index (a family names at most
// three); any more are checked on each record found.
inline constexpr size_t kMaxIndexedConditions = 3;

struct Row {
  int64_t id;
  uint64_t stamp;
  String data;
};

// The row a write finds under its key.
struct Stored {
  bool exists = false;
  int64_t id = 0;
  uint64_t stamp = 0;
  uint64_t deleted = 0;  // no row: the last stamp of a client deleted under the key, or 0
};

using KeyEntry = std::pair<int, String>;           // (client key kind, normalised value)
using ConditionEntry = std::pair<String, String>;  // (name, value), ASCII lower case

class StoreBackend {
 public:
  virtual ~StoreBackend() = default;

  // The file path, or the connection text without its password.
  virtual const String& Location() const = 0;
  // The conditions this store's index holds (empty for a store opened for
  // reading that predates the index: every condition is then checked on
  // each record).
  virtual const ConditionNames& Indexed() const = 0;
  // S_OK, or the status and text of why this store cannot be written.
  virtual HRESULT Writable(String& error) const = 0;
  // The status and readable text of a failed result (not kRcRefused).
  virtual HRESULT Fail(int rc, String& error) = 0;
  // True when a transaction that ended with `rc` lost a race with another
  // writer and is to be run again from its start.
  virtual bool Retry(int /*rc*/) const { return false; }

  virtual int BeginRead() = 0;
  virtual int BeginWrite() = 0;
  // Commits when `rc` is kRcOk, else rolls back; the result of the whole.
  virtual int Finish(int rc) = 0;

  // Reads; rows are (id, stamp, text), appended in key order.
  virtual int LoadExact(uint32_t type, const String& key, std::vector<Row>& rows) = 0;
  // The records whose key is `prefix` or begins with its entries; `limit` 0
  // for all.
  virtual int LoadRange(uint32_t type, const String& prefix, uint32_t limit, std::vector<Row>& rows) = 0;
  // The clients with index entry (kind, value).
  virtual int LoadByIndex(int kind, const String& value, std::vector<Row>& rows) = 0;
  // The records whose key begins with `prefix` and that meet every one of
  // `conditions` (at most kMaxIndexedConditions, names the index holds).
  virtual int LoadFiltered(uint32_t type, const String& prefix, const std::vector<ConditionEntry>& conditions,
                           uint32_t limit, std::vector<Row>& rows) = 0;
  // Up to `count` records after (afterType, afterKey) in (type, key) order.
  virtual int Scan(uint32_t afterType, const String& afterKey, uint32_t count, std::vector<StoredRecord>& records) = 0;

  // Inside a write transaction. The row under (type, key), held against
  // other writers until Finish where the backend needs that; `deleted` is
  // read only when asked for and no row exists.
  virtual int FindForWrite(uint32_t type, const String& key, bool wantDeleted, Stored& row) = 0;
  virtual int Insert(uint32_t type, const String& key, uint64_t stamp, const String& data, int64_t& id) = 0;
  virtual int Update(int64_t id, uint64_t stamp, const String& data) = 0;
  // Forgets the deletion stamp under (type, key).
  virtual int DropDeleted(uint32_t type, const String& key) = 0;
  // Deletes record `id` with its index entries; gives its type, key and stamp.
  virtual int Delete(int64_t id, uint32_t& type, String& key, uint64_t& stamp) = 0;
  virtual int PutDeleted(uint32_t type, const String& key, uint64_t stamp) = 0;

  // The client index entries of record `id`, and changes to them.
  virtual int ReadKeys(int64_t id, std::vector<KeyEntry>& entries) = 0;
  virtual int ChangeKeys(int64_t id, const std::vector<KeyEntry>& remove, const std::vector<KeyEntry>& add) = 0;
  // The condition index entries of record `id` (of `type` under `key`).
  virtual int ReadConditions(int64_t id, std::vector<ConditionEntry>& entries) = 0;
  virtual int ChangeConditions(uint32_t type, const String& key, int64_t id, const std::vector<ConditionEntry>& remove,
                               const std::vector<ConditionEntry>& add) = 0;
};

}  // namespace orvacmn::store

#endif  // ORVACMN_STORE_STORE_BACKEND_H_
