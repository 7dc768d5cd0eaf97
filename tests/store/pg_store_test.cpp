// What only a store on a server has: opening a database that is no store,
// a connection that breaks under a call, and writers in several processes
// that meet on one client. Runs when ORVACMN_TEST_PG names a server.
#include <gmock/gmock.h>
#include <libpq-fe.h>
#include <sys/mman.h>

#include <atomic>

#include "orvacmn/persistence/db_access.h"
#include "orvacmn/system/client_identification.h"
#include "orvacmn/system/system.h"
#include "orvacmn_store/pg_store.h"
#include "store_helpers.h"
#include "store_kinds.h"

namespace store_test {
namespace {

using namespace orvacmn;  // NOLINT
using orvacmn::store::PgStore;
using ::testing::HasSubstr;
using ::testing::Not;

// Runs `sql` on the test server's database in `location`; false when it fails.
bool Sql(const std::string& location, const std::string& sql) {
  PGconn* conn = PQconnectdb(location.c_str());
  PGresult* r = PQexec(conn, sql.c_str());
  const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
  PQclear(r);
  PQfinish(conn);
  return ok;
}

class PgStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TestServer().empty()) GTEST_SKIP() << "ORVACMN_TEST_PG names no PostgreSQL server";
    location_ = FreshLocation(kPostgres, dir_.str());
    ASSERT_FALSE(location_.empty()) << "no schema made on " << TestServer();
  }
  std::shared_ptr<PgStore> Open(bool create = false) {
    String error;
    auto store = PgStore::Open(location_, create, &error);
    EXPECT_TRUE(store) << error;
    return store;
  }
  // The number of clients stored.
  static int Clients(store::RecordStore& store) {
    OFLTokenizer all;
    OFL::ScopedBstr key(Packed({"*"})), none, out;
    EXPECT_EQ(store.LoadRecord(kRecordTypeClient, 0, key.Get(), none.Get(), 0, out.Out()), S_OK);
    all.FromLengthPackedString(out.ToUtf8());
    return all.GetCount();
  }

  ScratchDir dir_;
  std::string location_;
};

TEST_F(PgStoreTest, OpensOnlyAStoreItCanReadAndSaysWhy) {
  String error;
  HRESULT status = S_OK;
  EXPECT_FALSE(PgStore::Open(location_, false, &error, {}, &status));
  EXPECT_EQ(status, store::kStatusNotAStore);
  EXPECT_THAT(error, HasSubstr("holds no store (create it as a store first)"));
  EXPECT_THAT(error, Not(HasSubstr("password")));

  ASSERT_TRUE(Open(true));
  auto store = Open();
  ASSERT_TRUE(store);
  EXPECT_TRUE(PgStore::Open(store->GetLocation(), false, &error)) << error;  // the location it names opens it
  ASSERT_TRUE(Sql(location_, "UPDATE meta SET version = version + 1"));
  EXPECT_FALSE(PgStore::Open(location_, false, &error, {}, &status));
  EXPECT_EQ(status, store::kStatusSchemaTooNew);
  EXPECT_THAT(error, HasSubstr("has schema version 2; this program reads version 1 at most"));

  EXPECT_FALSE(PgStore::Open("host=/no/such user=nobody password=secret", false, &error, {}, &status));
  EXPECT_EQ(status, store::kStatusConnection);
  EXPECT_THAT(error, HasSubstr("Cannot connect to the store server postgresql://nobody@%2Fno%2Fsuch:"));
  EXPECT_THAT(error, Not(HasSubstr("secret")));
}

// As a process reads a file it may not write: loads work, writes fail at
// once naming the cause.
TEST_F(PgStoreTest, AUserWhoMayOnlyReadReadsTheStore) {
  auto store = Open(true);
  ASSERT_TRUE(store);
  String out;
  OVOSystem system;
  system.SetGuid("0A1B2C3D-0000-4000-8000-00000000E003");
  system.SetHostName("PC-READ");
  ASSERT_EQ(CDBAccess(store).CreateSystem(system, out), S_OK) << out;
  const std::string reader = "orvacmn_reader_" + std::to_string(getpid());
  ASSERT_TRUE(Sql(location_, "CREATE ROLE " + reader + " LOGIN; DO $$ BEGIN"
                             " EXECUTE format('GRANT USAGE ON SCHEMA %I TO " + reader + "', current_schema());"
                             " EXECUTE format('GRANT SELECT ON ALL TABLES IN SCHEMA %I TO " + reader + "', current_schema());"
                             " END $$"));
  location_ = WithSetting(location_, "user", reader);
  auto readOnly = Open();
  ASSERT_TRUE(readOnly);
  CDBAccess db(readOnly);
  OVOSystem loaded;
  ASSERT_EQ(db.LoadSystem(4, "PC-READ", 0, loaded, out), S_OK) << out;
  EXPECT_EQ(loaded.GetHostName(), "PC-READ");
  EXPECT_EQ(db.SaveSystem(loaded, out), store::kStatusAccessDenied);
  EXPECT_THAT(out, HasSubstr("The user " + reader + " may only read the store postgresql://" + reader + "@"));
  Sql(TestServer(), "DROP OWNED BY " + reader + "; DROP ROLE " + reader);
}

// The call that meets a broken connection fails with a status and text that
// say so; the call after it connects again and works.
TEST_F(PgStoreTest, ACallOnABrokenConnectionFailsAndTheNextConnectsAgain) {
  const std::string name = "orvacmn_loss_" + std::to_string(getpid());
  location_ = WithSetting(location_, "application_name", name);
  auto store = Open(true);
  ASSERT_TRUE(store);
  CDBAccess db(store);
  OVOSystem system;
  system.SetGuid("0A1B2C3D-0000-4000-8000-00000000E001");
  system.SetHostName("PC-LOSS");
  String out;
  ASSERT_EQ(db.CreateSystem(system, out), S_OK) << out;
  ASSERT_TRUE(Sql(TestServer(),
                  "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE application_name = '" + name + "'"));

  OVOSystem loaded;
  EXPECT_EQ(db.LoadSystem(4, "PC-LOSS", 0, loaded, out), store::kStatusConnection);
  EXPECT_THAT(out, HasSubstr("The connection to the store server postgresql://"));
  EXPECT_THAT(out, HasSubstr("was lost (terminating connection due to administrator command)"));
  EXPECT_EQ(db.LoadSystem(4, "PC-LOSS", 0, loaded, out), S_OK) << out;
  EXPECT_EQ(loaded.GetHostName(), "PC-LOSS");
  loaded.SetHostName("PC-BACK");
  EXPECT_EQ(db.SaveSystem(loaded, out), S_OK) << out;
}

// Processes announcing one new machine at once make one client: the
// serializable transactions of the losers run again and find the winner's.
TEST_F(PgStoreTest, AnnouncesOfOneNewMachineFromProcessesMakeOneClient) {
  ASSERT_TRUE(Open(true));
  for (int round = 0; round < 3; ++round) {
    const std::string host = "NEW-PC-" + std::to_string(round);
    ASSERT_TRUE(AllAtOnce(6, [&] {
      auto store = PgStore::Open(location_, false, nullptr);
      if (!store) return 1;
      CDBAccess db(store);
      OVOClientIdentification id;
      id.SetHostname(host);
      OVOSystem system;
      system.SetHostName(host);
      String out;
      bool created = false;
      return SUCCEEDED(db.FindOrCreateSystem(id, 0, system, out, &created)) && system.GetHostName() == host ? 0 : 2;
    }));
    EXPECT_EQ(Clients(*Open()), round + 1);
  }
}

// Two processes saving the copy of one client that they loaded: one save
// goes through, the other is refused as stale, and what is stored is the
// change of the one that went through.
TEST_F(PgStoreTest, TwoProcessesSavingOneCopyLoseNoUpdate) {
  auto store = Open(true);
  ASSERT_TRUE(store);
  CDBAccess db(store);
  OVOSystem system;
  system.SetGuid("0A1B2C3D-0000-4000-8000-00000000E002");
  system.SetHostName("PC-0");
  String out;
  ASSERT_EQ(db.CreateSystem(system, out), S_OK) << out;
  for (int round = 0; round < 3; ++round) {
    OVOSystem copy;
    ASSERT_EQ(db.LoadSystem(4, "PC-" + std::to_string(round), 0, copy, out), S_OK) << out;
    auto* results = static_cast<std::atomic<int>*>(
        mmap(nullptr, 2 * sizeof(std::atomic<int>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(results, MAP_FAILED);  // zero-filled
    ASSERT_TRUE(AllAtOnce(2, [&](int child) {
      auto mine = PgStore::Open(location_, false, nullptr);
      if (!mine) return 1;
      CDBAccess access(mine);
      OVOSystem changed = copy;
      changed.SetHostName("PC-" + std::to_string(round + 1) + (child ? "B" : "A"));
      String text;
      const HRESULT hr = access.SaveSystem(changed, text);
      if (hr == S_OK) ++results[0];
      else if (hr == store::kStatusStale) ++results[1];
      return 0;
    }));
    EXPECT_EQ(results[0], 1);
    EXPECT_EQ(results[1], 1);
    munmap(results, 2 * sizeof(std::atomic<int>));
    OVOSystem stored;
    bool a = false, b = false;
    EXPECT_EQ(db.LoadSystem(4, "PC-" + std::to_string(round + 1) + "A", 0, stored, out, 0, &a), S_OK);
    EXPECT_EQ(db.LoadSystem(4, "PC-" + std::to_string(round + 1) + "B", 0, stored, out, 0, &b), S_OK);
    ASSERT_NE(a, b);
    ASSERT_EQ(db.LoadSystem(4, "PC-" + std::to_string(round + 1) + (a ? "A" : "B"), 0, stored, out), S_OK);
    stored.SetHostName("PC-" + std::to_string(round + 1));  // the next round's copy
    ASSERT_EQ(db.SaveSystem(stored, out), S_OK) << out;
  }
}

}  // namespace
}  // namespace store_test
