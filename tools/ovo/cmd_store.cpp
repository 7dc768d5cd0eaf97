// ovo store init DB
// ovo store put DB TYPE KEY [FILE]            prints the new "ObjectTimestamp"
// ovo store get DB TYPE KEY [--newer-than STAMP]
// ovo store delete DB TYPE KEY
// ovo store list DB TYPE                      one record a line
// ovo store copy FROM TO [--batch N]          every record with its stamp
//
// DB, FROM and TO are store files or PostgreSQL servers ("postgresql://..."
// URLs or libpq connection strings). KEY is a length-packed key or, for
// clients (TYPE 51), KIND:VALUE. A copy creates TO when missing and replaces
// its records under the keys of FROM; its progress goes to stderr. Exit
// status: 0 done; 1 not found (get, delete); 4 not newer than STAMP (get);
// 2 usage errors and every store error, with its text on stderr.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <vector>

#include "ofl/bstr.h"
#include "ofl/tokenizer.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/persistence/moc_instance.h"
#include "orvacmn_store/store_key.h"
#include "ovo.h"
#include "store_location.h"

namespace {

using ovo::OpenStore;

struct StoreArgs {
  std::string db, type, key, file, newerThan;
};

bool ParseType(const std::string& text, uint32_t& type) {
  uint64_t v = 0;
  if (!ovo::ParseNumber(text, v) || v > orvacmn::kRecordTypeMask) {
    ovo::Error("TYPE must be a record type from 0 to 65535: " + text, 2);
    return false;
  }
  type = static_cast<uint32_t>(v);
  return true;
}

// A text that is not UTF-8 is refused: the store's interface carries UTF-16,
// and a replacement character would change it without a word.
bool CheckUtf8(const char* what, const std::string& text) {
  size_t bad = 0;
  if (OFL::IsValidUtf8(text, &bad)) return true;
  ovo::Error(std::string(what) + " is not valid UTF-8 (at byte offset " + std::to_string(bad) + ")", 2);
  return false;
}

bool ParseKey(uint32_t type, const std::string& text, std::string& packed) {
  std::string error;
  if (!CheckUtf8("KEY", text)) return false;
  if (orvacmn::store::KeyFromCommandLine(type, text, packed, error)) return true;
  ovo::Error(error, 2);
  return false;
}

int StoreFailure(HRESULT hr, const OFL::ScopedBstr& text) {
  const std::string message = text.ToUtf8();
  return ovo::Error(message.empty() ? "store error " + ovo::Hex(static_cast<uint32_t>(hr)) : message, 2);
}

int RunInit(const StoreArgs& a) { return OpenStore(a.db, true) ? 0 : 2; }

int RunPut(const StoreArgs& a) {
  uint32_t type;
  std::string key, data;
  if (!ParseType(a.type, type) || !ParseKey(type, a.key, key)) return 2;
  if (!ovo::ReadInput(a.file, data)) return 1;
  // A file's final line end is not part of the record.
  while (!data.empty() && (data.back() == '\n' || data.back() == '\r')) data.pop_back();
  if (!CheckUtf8("The record", data)) return 2;
  auto store = OpenStore(a.db, false);
  if (!store) return 2;
  const OFL::ScopedBstr keyText(key), dataText(data);
  OFL::ScopedBstr result;
  uint32_t ignored = 0;
  const HRESULT hr = store->SaveRecord(type, keyText.Get(), nullptr, dataText.Get(), &ignored, result.Out());
  if (FAILED(hr)) return StoreFailure(hr, result);
  std::string stamp;
  orvacmn::OVO::Properties(result.ToUtf8()).GetProperty(orvacmn::kPropertyObjectTimestamp, stamp);
  std::cout << stamp << "\n";
  return 0;
}

int RunGet(const StoreArgs& a) {
  uint32_t type;
  std::string key;
  if (!ParseType(a.type, type) || !ParseKey(type, a.key, key)) return 2;
  uint64_t newerThan = 0;
  if (!a.newerThan.empty() && !ovo::ParseNumber(a.newerThan, newerThan))
    return ovo::Error("--newer-than takes a stamp as put prints it: " + a.newerThan, 2);
  auto store = OpenStore(a.db, false);
  if (!store) return 2;
  const OFL::ScopedBstr keyText(key);
  OFL::ScopedBstr options;
  if (newerThan) {
    orvacmn::OVO::Properties bag;
    bag.SetProperty(orvacmn::kOptionIfTimestampIsNewer, static_cast<unsigned long long>(newerThan));
    options = OFL::ScopedBstr(bag.Pack());
  }
  OFL::ScopedBstr result;
  const HRESULT hr = store->LoadRecord(type, 0, keyText.Get(), options.Get(), 0, result.Out());
  if (FAILED(hr)) return StoreFailure(hr, result);
  if (hr == orvacmn::kStatusNotNewer) return ovo::Error("not newer than " + a.newerThan, 4);
  OFLTokenizer records;
  records.FromLengthPackedString(result.ToUtf8());
  if (records.IsEmpty()) return ovo::Error("not found: " + a.key, 1);
  std::cout << records[0] << "\n";
  return 0;
}

int RunDelete(const StoreArgs& a) {
  uint32_t type;
  std::string key;
  if (!ParseType(a.type, type) || !ParseKey(type, a.key, key)) return 2;
  auto store = OpenStore(a.db, false);
  if (!store) return 2;
  const OFL::ScopedBstr keyText(key);
  OFL::ScopedBstr result;
  uint32_t ignored = 0;
  const HRESULT hr = store->DeleteRecord(type, keyText.Get(), &ignored, result.Out());
  if (FAILED(hr)) return StoreFailure(hr, result);
  if (hr == orvacmn::store::kStatusNothingDeleted) return ovo::Error("not found: " + a.key, 1);
  return 0;
}

int RunList(const StoreArgs& a) {
  uint32_t type;
  if (!ParseType(a.type, type)) return 2;
  auto store = OpenStore(a.db, false);
  if (!store) return 2;
  const OFL::ScopedBstr keys(orvacmn::MakeRecordKey({orvacmn::kKeyWildcard}));
  OFL::ScopedBstr result;
  const HRESULT hr = store->LoadRecord(type, 0, nullptr, keys.Get(), 0, result.Out());
  if (FAILED(hr)) return StoreFailure(hr, result);
  OFLTokenizer records;
  records.FromLengthPackedString(result.ToUtf8());
  for (const std::string& record : records) std::cout << record << "\n";
  return 0;
}

// One transaction per batch: a large store never holds one long write, and
// a copy that stops leaves whole batches behind (run again, it replaces them).
struct CopyArgs {
  std::string from, to;
  uint32_t batch = 1000;
};
constexpr uint32_t kCopyProgressBatches = 25;

int RunCopy(const CopyArgs& a) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  auto from = OpenStore(a.from, false);
  if (!from) return 2;
  auto to = OpenStore(a.to, true);
  if (!to) return 2;
  std::vector<orvacmn::store::StoredRecord> batch;
  uint32_t afterType = 0;
  std::string afterKey, error;
  uint64_t copied = 0, batches = 0;
  for (;;) {
    batch.clear();
    if (FAILED(from->ReadRecords(afterType, afterKey, a.batch, batch, error))) return ovo::Error(error, 2);
    if (batch.empty()) break;
    if (FAILED(to->WriteRecords(batch, error))) return ovo::Error(error, 2);
    copied += batch.size();
    afterType = batch.back().type;
    afterKey = batch.back().key;
    if (++batches % kCopyProgressBatches == 0) std::cerr << "copied " << copied << " records" << std::endl;
    if (batch.size() < a.batch) break;
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  char line[128];
  std::snprintf(line, sizeof line, "copied %llu records in %.1f s (%.0f records/s)",
                static_cast<unsigned long long>(copied), seconds, seconds > 0 ? double(copied) / seconds : 0.0);
  std::cerr << line << std::endl;
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* store = app.add_subcommand("store", "The object store: a file, or a PostgreSQL database");
  store->require_subcommand(1);
  const auto add = [&](const char* name, const char* help, int (*run)(const StoreArgs&), bool withType,
                       bool withKey) {
    auto args = std::make_shared<StoreArgs>();
    auto* cmd = store->add_subcommand(name, help);
    cmd->add_option("DB", args->db, ovo::kStoreHelp)->required();
    if (withType) cmd->add_option("TYPE", args->type, "Record type (51 for clients)")->required();
    if (withKey)
      cmd->add_option("KEY", args->key, "Length-packed key, or for clients KIND:VALUE (1:GUID, 4:HOST, ...)")
          ->required();
    cmd->callback([args, run, &exitCode] { exitCode = run(*args); });
    return std::make_pair(cmd, args);
  };
  add("init", "Create the store (or check an existing one)", RunInit, false, false);
  auto [put, putArgs] = add("put", "Save a record from FILE (or stdin); prints its new stamp", RunPut, true, true);
  put->add_option("FILE", putArgs->file, "Record text; stdin when absent or -");
  auto [get, getArgs] = add("get", "Print the record a key finds", RunGet, true, true);
  get->add_option("--newer-than", getArgs->newerThan, "Only a record whose stamp is newer than STAMP")
      ->check(ovo::NumberValidator());
  add("delete", "Delete the records a key finds", RunDelete, true, true);
  add("list", "Print every record of a type, one a line", RunList, true, false);
  auto copy = std::make_shared<CopyArgs>();
  auto* cmd = store->add_subcommand("copy", "Copy every record with its stamp into another store (created when missing)");
  cmd->add_option("FROM", copy->from, ovo::kStoreHelp)->required();
  cmd->add_option("TO", copy->to, ovo::kStoreHelp)->required();
  cmd->add_option("--batch", copy->batch, "Records per transaction (default 1000)")->check(CLI::Range(1, 1000000));
  cmd->callback([copy, &exitCode] { exitCode = RunCopy(*copy); });
}

const ovo::Registration reg(120, Register);

}  // namespace
