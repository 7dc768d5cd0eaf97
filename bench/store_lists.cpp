// Typed list and key loads through the facade and the embedded store, each
// against a baseline in the same run:
// - the 100,000 jobs of LoadJobs, and the 100,000 targets of one job of
//   LoadJobTargets (a condition of the index), against raw SQLite selecting
//   the same texts plus a bare pugixml parse of each;
// - LoadJob by key in a store of 1,000,000 records against the same in a
//   store of 10,000;
// - LoadDynamicGroups of one unit among 100,000 groups in 1,000 units
//   against the unfiltered list of a store holding just those 100 groups.
// The stores are laid out by raw inserts of what the store writes (a file of
// the previous schema version, whose upgrade fills the condition index).
#include <sqlite3.h>

#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ofl/tokenizer.h"
#include "orvacmn/directory/dynamic_group.h"
#include "orvacmn/jobs/job.h"
#include "orvacmn/jobs/job_target.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/persistence/typed_load.h"
#include "orvacmn_store/sqlite_store.h"
#include "orvacmn_store/store_key.h"
#include "clients.h"
#include "ratio.h"

namespace {

using orvacmn::store::SqliteStore;

std::string Id(const char* kind, int i) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%s0000-0000-4000-8000-%012X", kind, i);
  return buf;
}

std::string JobText(int i, bool small) {
  orvacmn::OVOJob job;
  job.SetGUID(Id("B70B", i));
  job.SetName("Job " + std::to_string(i));
  if (!small) {
    job.SetComment("Rolls out the quarterly update to the sales department");
    job.SetCreator("CORP\\admin");
    job.SetPriority(3);
  }
  return job.Pack();
}
std::string TargetText(int i, const std::string& job) {
  orvacmn::OVOJobTarget target;
  target.SetGUIDMachine(bench::Guid(i));
  target.SetGUIDJob(job);
  target.SetJobName("Job 0");
  target.SetHostName(bench::Host(i));
  target.SetDisplayName("Desk " + std::to_string(i));
  return target.Pack();
}
std::string GroupText(int i) {
  orvacmn::OVODynamicGroup group;
  group.SetGUID(Id("D7A6", i));
  group.SetOrgUnit(Id("0A17", i % 1000));
  group.SetName("Group " + std::to_string(i));
  return group.Pack();
}

// A store file of `count` records of `type` made by `text`, keyed by the
// family's key fields as the store keys them; opened as a store.
struct Fixture {
  std::shared_ptr<SqliteStore> store;
  sqlite3* raw = nullptr;
  ~Fixture() { sqlite3_close(raw); }
};
std::unique_ptr<Fixture> Make(const std::string& name, uint32_t type, int count,
                              const std::function<std::string(int)>& text) {
  const std::string path = bench::Dir() + "/" + name + ".db";
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db,
               "PRAGMA journal_mode = WAL; CREATE TABLE records(id INTEGER PRIMARY KEY, type INTEGER NOT NULL,"
               " key BLOB NOT NULL, stamp INTEGER NOT NULL, data TEXT NOT NULL, UNIQUE(type, key));"
               "CREATE TABLE client_keys(kind INTEGER NOT NULL, value TEXT NOT NULL, id INTEGER NOT NULL,"
               " PRIMARY KEY(kind, value, id)) WITHOUT ROWID; CREATE INDEX client_keys_by_record ON client_keys(id);"
               "CREATE TABLE deleted(type INTEGER NOT NULL, key BLOB NOT NULL, stamp INTEGER NOT NULL,"
               " PRIMARY KEY(type, key)) WITHOUT ROWID; PRAGMA user_version = 2; BEGIN;",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO records(type, key, stamp, data) VALUES(?1, ?2, ?3, ?4)", -1, &insert, nullptr);
  const orvacmn::RecordFamily& family = orvacmn::StoreFamilyOf(type);
  for (int i = 0; i < count; ++i) {
    const std::string data = text(i);
    orvacmn::store::GenericKey key;
    std::string error;
    orvacmn::store::ParseGenericKey(orvacmn::RecordKeyOf(family, data), key, error);
    sqlite3_bind_int64(insert, 1, type);
    sqlite3_bind_blob(insert, 2, key.prefix.data(), int(key.prefix.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(insert, 3, 1);
    sqlite3_bind_text(insert, 4, data.data(), int(data.size()), SQLITE_TRANSIENT);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  auto f = std::make_unique<Fixture>();
  f->raw = db;
  std::string error;
  f->store = SqliteStore::Open(path, false, &error);
  if (!f->store) std::fprintf(stderr, "%s\n", error.c_str());
  return f;
}

// Raw SQLite: the texts of a type, each given a bare parse.
void RawList(sqlite3* db, uint32_t type) {
  static std::map<sqlite3*, sqlite3_stmt*> prepared;
  sqlite3_stmt*& s = prepared[db];
  if (!s)
    sqlite3_prepare_v2(db, "SELECT data FROM records WHERE type = ?1 ORDER BY key", -1, &s, nullptr);
  sqlite3_bind_int64(s, 1, type);
  while (sqlite3_step(s) == SQLITE_ROW) {
    pugi::xml_document doc;
    benchmark::DoNotOptimize(doc.load_buffer(sqlite3_column_text(s, 0), size_t(sqlite3_column_bytes(s, 0)),
                                             bench::kParseOptions, pugi::encoding_utf8));
  }
  sqlite3_reset(s);
}

constexpr int kList = 100000;

// The typed list `load` of the kList records of `type` in `f` against the
// raw list of the same texts.
template <class List, class Load>
void ListAgainstRaw(benchmark::State& state, Fixture& f, uint32_t type, Load load) {
  orvacmn::CDBAccess db(f.store);
  bench::Measure(
      state, kList,
      [&] {
        List list;
        std::string out;
        if (FAILED(load(db, list, out)) || list.GetCount() != kList) state.SkipWithError("records missing");
      },
      [&] { RawList(f.raw, type); });
}

void BM_LoadJobs(benchmark::State& state) {
  static auto f = Make("jobs", orvacmn::kRecordTypeJob, kList, [](int i) { return JobText(i, false); });
  ListAgainstRaw<orvacmn::OVOJobList>(state, *f, orvacmn::kRecordTypeJob,
                                      [](orvacmn::CDBAccess& db, auto& list, std::string& out) {
                                        return db.LoadJobs(list, out);
                                      });
}
BENCHMARK(BM_LoadJobs)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

void BM_LoadJobTargets(benchmark::State& state) {
  static const std::string job = Id("B70B", 0);
  static auto f = Make("targets", orvacmn::kRecordTypeJobTarget, kList, [](int i) { return TargetText(i, job); });
  ListAgainstRaw<orvacmn::OVOJobTargetList>(state, *f, orvacmn::kRecordTypeJobTarget,
                                            [](orvacmn::CDBAccess& db, auto& list, std::string& out) {
                                              return db.LoadJobTargets(job, list, out);
                                            });
}
BENCHMARK(BM_LoadJobTargets)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

// Grows with the depth of the index only: the ratio stays near 1.
void BM_LoadJobByKeyMillionVsTenThousand(benchmark::State& state) {
  static auto large = Make("million", orvacmn::kRecordTypeJob, 1000000, [](int i) { return JobText(i, true); });
  static auto small = Make("tenthousand", orvacmn::kRecordTypeJob, 10000, [](int i) { return JobText(i, true); });
  orvacmn::CDBAccess dbLarge(large->store), dbSmall(small->store);
  std::mt19937 random(5);
  orvacmn::OVOJob job;
  std::string out;
  bench::Measure(
      state, 1,
      [&] {
        if (FAILED(dbLarge.LoadJob(Id("B70B", int(random() % 1000000u)), job, out)))
          state.SkipWithError(out.c_str());
      },
      [&] {
        if (FAILED(dbSmall.LoadJob(Id("B70B", int(random() % 10000u)), job, out))) state.SkipWithError(out.c_str());
      });
}
BENCHMARK(BM_LoadJobByKeyMillionVsTenThousand)->UseManualTime();

// The index finds the 100 groups of a unit as fast as a store holding no more.
void BM_DynamicGroupsOfOneUnit(benchmark::State& state) {
  static auto all = Make("groups", orvacmn::kRecordTypeDynamicGroup, kList, GroupText);
  static auto unit = Make("unitgroups", orvacmn::kRecordTypeDynamicGroup, 100, [](int i) { return GroupText(i * 1000 + 7); });
  orvacmn::CDBAccess dbAll(all->store), dbUnit(unit->store);
  const std::string ou = Id("0A17", 7);
  bench::Measure(
      state, 100,
      [&] {
        orvacmn::OVODynamicGroupList groups;
        std::string out;
        if (FAILED(dbAll.LoadDynamicGroups(ou, groups, out)) || groups.GetCount() != 100)
          state.SkipWithError("groups missing");
      },
      [&] {
        orvacmn::OVODynamicGroupList groups;
        std::string out;
        if (FAILED(dbUnit.LoadDynamicGroups(groups, out)) || groups.GetCount() != 100)
          state.SkipWithError("groups missing");
      });
}
BENCHMARK(BM_DynamicGroupsOfOneUnit)->UseManualTime();

}  // namespace
