// Filtered lists go through the index of conditions: they answer what a check
// of each record would, across saves, updates and deletes, and a file of the
// previous version is brought up to it once, however many processes open it.
#include <sqlite3.h>

#include <string>

#include "orvacmn/objects/properties.h"
#include "store_helpers.h"

namespace store_test {
namespace {

std::string Filter(std::initializer_list<std::pair<const char*, const char*>> conditions) {
  orvacmn::OVO::Properties bag;
  for (const auto& [name, value] : conditions) bag.SetProperty(name, value);
  return bag.Pack();
}
std::string List(RecordStore& s, uint32_t type, const std::string& filter, const std::string& keys = Packed({"*"}),
                 uint32_t limit = 0) {
  return Load(s, type, filter, keys, limit).text;
}
std::string Driver(const std::string& guid, const std::string& children) {
  return "<Driver><GUID>" + guid + "</GUID>" + children + "</Driver>";
}

using ConditionIndex = StoreFixture;

TEST_P(ConditionIndex, ListsAnswerAsACheckOfEachRecordWouldAcrossWrites) {
  const std::string d1 = Driver("D1", "<OSType>Win10</OSType>"), d5 = Driver("D5", "<OSType>win10</OSType>");
  const std::string d2 = Driver("D2", "<OSType>win10</OSType><Name>b</Name><OSType>XP</OSType>");  // the last counts
  const std::string d3 = Driver("D3", "<OSType/>"), d4 = Driver("D4", "<Name>b</Name>");
  for (const std::string* d : {&d5, &d3, &d1, &d4, &d2}) ASSERT_EQ(Save(*store_, 34, Packed({d->substr(14, 2)}), *d).hr, S_OK);

  EXPECT_EQ(List(*store_, 34, Filter({{"ostype", "WIN10"}})), Packed({d1, d5}));  // key order, case ignored
  EXPECT_EQ(List(*store_, 34, Filter({{"OSType", "win10"}}), Packed({"*"}), 1), Packed({d1}));
  EXPECT_EQ(List(*store_, 34, Filter({{"OSType", ""}})), Packed({d3}));
  EXPECT_EQ(List(*store_, 34, Filter({{"OSType", "xp"}, {"Name", "B"}})), Packed({d2}));  // Name is checked per record
  EXPECT_EQ(List(*store_, 34, Filter({{"OSType", "xp"}}), Packed({"d1", "*"})), "");      // within the key prefix
  EXPECT_EQ(List(*store_, 34, Filter({{"OSType", "win10"}}), Packed({"d5"})), Packed({d5}));

  const std::string moved = Driver("D1", "<OSType>XP</OSType>");
  ASSERT_EQ(Save(*store_, 34, Packed({"D1"}), moved).hr, S_OK);
  ASSERT_EQ(Delete(*store_, 34, Packed({"D5"})).hr, S_OK);
  EXPECT_EQ(List(*store_, 34, Filter({{"OSType", "win10"}})), "");
  EXPECT_EQ(List(*store_, 34, Filter({{"OSType", "xp"}})), Packed({moved, d2}));
  std::string many = "<Properties>";  // more conditions than the index meets at once
  for (const char* v : {"xp", "XP", "xP", "Xp", "xp"})
    many += std::string("<PropertyEntry><Param>OSType</Param><Value>") + v + "</Value></PropertyEntry>";
  EXPECT_EQ(List(*store_, 34, many + "</Properties>"), Packed({moved, d2}));

  // Two conditions meet on the same record; a key prefix narrows them.
  const auto target = [](const char* machine, const char* job, const char* state) {
    return std::string("<JobTarget><GUIDMachine>") + machine + "</GUIDMachine><GUIDJob>" + job +
           "</GUIDJob><JobTargetBaseState>" + state + "</JobTargetBaseState></JobTarget>";
  };
  for (const std::string& t : {target("m1", "j1", "5"), target("m2", "j1", "3"), target("m1", "j2", "5")}) {
    OFL::ScopedBstr data(t), out;
    ASSERT_EQ(store_->CreateRecord(42, data.Get(), out.Out()), S_OK) << out.ToUtf8();
  }
  EXPECT_EQ(List(*store_, 42, Filter({{"GUIDJob", "j1"}, {"JobTargetBaseState", "5"}})),
            Packed({target("m1", "j1", "5")}));
  EXPECT_EQ(List(*store_, 42, Filter({{"JobTargetBaseState", "5"}}), Packed({"M1", "*"})),
            Packed({target("m1", "j1", "5"), target("m1", "j2", "5")}));
}

STORE_TEST_ON_EVERY_KIND(ConditionIndex);

void Sql(const std::string& path, const std::string& statements) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, statements.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}
int64_t Count(const std::string& path, const std::string& query) {
  sqlite3* db = nullptr;
  sqlite3_stmt* s = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_prepare_v2(db, query.c_str(), -1, &s, nullptr);
  const int64_t n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
  sqlite3_finalize(s);
  sqlite3_close(db);
  return n;
}

TEST(ConditionIndexUpgrade, AVersion2FileIsFilledOnceByProcessesOpeningItAtOnce) {
  ScratchDir dir;
  const std::string path = dir.File("v2.db");
  // The layout of version 2, with more drivers than one batch of the fill.
  std::string sql =
      "CREATE TABLE records(id INTEGER PRIMARY KEY, type INTEGER NOT NULL, key BLOB NOT NULL, stamp INTEGER NOT NULL,"
      " data TEXT NOT NULL, UNIQUE(type, key)); CREATE TABLE client_keys(kind INTEGER NOT NULL, value TEXT NOT NULL,"
      " id INTEGER NOT NULL, PRIMARY KEY(kind, value, id)) WITHOUT ROWID; CREATE TABLE deleted(type INTEGER NOT NULL,"
      " key BLOB NOT NULL, stamp INTEGER NOT NULL, PRIMARY KEY(type, key)) WITHOUT ROWID; PRAGMA user_version = 2;"
      "BEGIN;";
  constexpr int kDrivers = 2500;
  for (int i = 0; i < kDrivers; ++i) {
    const std::string guid = std::string("g") + std::to_string(i);
    sql += "INSERT INTO records(type, key, stamp, data) VALUES(34, CAST('" + Packed({guid}) + "' AS BLOB), 1, '" +
           Driver(guid, "<OSType>os" + std::to_string(i % 3) + "</OSType>") + "');";
  }
  Sql(path, sql + "COMMIT;");

  const auto countOs1 = [&] {
    std::string error;
    auto s = SqliteStore::Open(path, false, &error);
    OFLTokenizer found;
    if (s) found.FromLengthPackedString(List(*s, 34, Filter({{"OSType", "OS1"}})));
    return s ? found.GetCount() : -1;
  };
  EXPECT_TRUE(AllAtOnce(3, [&]() -> int { return countOs1() == kDrivers / 3 ? 0 : 1; }));
  EXPECT_EQ(Count(path, "PRAGMA user_version"), 3);
  EXPECT_EQ(Count(path, "SELECT count(*) FROM record_conditions"), kDrivers);

  // A condition the families gained is filled, one they lost is dropped,
  // when a writer next opens the file.
  Sql(path,
      "DELETE FROM record_conditions WHERE type = 34; DELETE FROM indexed_conditions WHERE type = 34;"
      "INSERT INTO indexed_conditions VALUES(34, 'gone'), (40, 'gone');"
      "INSERT INTO record_conditions VALUES(40, 'gone', 'x', CAST('x' AS BLOB), 1);");
  EXPECT_EQ(countOs1(), kDrivers / 3);
  EXPECT_EQ(Count(path, "SELECT count(*) FROM record_conditions"), kDrivers);
  EXPECT_EQ(Count(path, "SELECT count(*) FROM indexed_conditions WHERE name = 'gone'"), 0);
}

}  // namespace
}  // namespace store_test
