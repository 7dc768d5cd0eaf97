// Calls on the store with UTF-8 texts, a fresh store of each kind for each
// test, small client records shaped like the packed client, and processes
// started at once.
#ifndef ORVACMN_TESTS_STORE_HELPERS_H_
#define ORVACMN_TESTS_STORE_HELPERS_H_

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/scratch.h"
#include "ofl/tokenizer.h"
#include "orvacmn_store/record_store.h"
#include "orvacmn_store/sqlite_store.h"
#include "store_kinds.h"

namespace store_test {

using orvacmn::store::RecordStore;
using orvacmn::store::SqliteStore;

struct Reply {
  HRESULT hr;
  std::string text;
  bool operator==(const Reply&) const = default;
};

inline std::string Packed(std::initializer_list<std::string_view> entries) {
  OFLTokenizer t;
  for (auto e : entries) t.AddString(e);
  return t.AsLengthPackedString();
}
inline std::string ClientKey(std::string_view value, int kind) {
  return Packed({value, std::to_string(kind), "*"});
}

inline Reply Save(RecordStore& s, uint32_t type, const std::string& key, const std::string& data) {
  OFL::ScopedBstr k(key), d(data), out;
  uint32_t v = 0;
  const HRESULT hr = s.SaveRecord(type, k.Get(), nullptr, d.Get(), &v, out.Out());
  return {hr, out.ToUtf8()};
}
inline Reply Load(RecordStore& s, uint32_t type, const std::string& key, const std::string& options = "",
                  uint32_t limit = 0) {
  OFL::ScopedBstr k(key), o(options), out;
  const HRESULT hr = s.LoadRecord(type, 0, k.Get(), o.Get(), limit, out.Out());
  return {hr, out.ToUtf8()};
}
inline Reply Delete(RecordStore& s, uint32_t type, const std::string& key) {
  OFL::ScopedBstr k(key), out;
  const HRESULT hr = s.DeleteRecord(type, k.Get(), nullptr, out.Out());
  return {hr, out.ToUtf8()};
}
// The first record a load gives, or "" when none.
inline std::string First(RecordStore& s, uint32_t type, const std::string& key) {
  OFLTokenizer t;
  t.FromLengthPackedString(Load(s, type, key).text);
  return t.GetAt(0);
}

inline std::string Client(const std::string& guid, const std::string& host, const std::string& extra = "",
                          const std::string& stamp = "0.0") {
  return "<Client><TimeStamp>" + stamp + "</TimeStamp><GUID>" + guid + "</GUID><OrgUnit></OrgUnit><DisplayName>" +
         "Desk " + host + "</DisplayName><HostName>" + host + "</HostName>" + extra +
         "<Priority>1</Priority><Options>562</Options></Client>";
}

using orvacmn::testing::ScratchDir;

// Another instance on the store at `location`, as another server process
// would open it; null when it cannot be opened.
inline std::shared_ptr<RecordStore> Reopen(const std::string& location, bool create = false) {
  std::string error;
  auto store = orvacmn::store::OpenStore(location, create, &error);
  if (!store) std::fprintf(stderr, "%s: %s\n", location.c_str(), error.c_str());
  return store;
}

// A fresh store of the test's kind for each test, at location_; NewLocation()
// gives further ones. A PostgreSQL test skips itself when ORVACMN_TEST_PG
// names no server.
class StoreFixture : public ::testing::TestWithParam<StoreKind> {
 protected:
  void SetUp() override {
    if (GetParam() == kPostgres && TestServer().empty()) GTEST_SKIP() << "ORVACMN_TEST_PG names no PostgreSQL server";
    location_ = NewLocation();
    ASSERT_FALSE(location_.empty()) << "no schema made on " << TestServer();
    store_ = Reopen(location_, true);
    ASSERT_TRUE(store_);
  }
  std::string NewLocation() const { return FreshLocation(GetParam(), dir_.str()); }
  ScratchDir dir_;
  std::string location_;
  std::shared_ptr<RecordStore> store_;
};

// Runs every test of `fixture` (a StoreFixture) on each kind of store, as
// FIXTURE.Test/Sqlite and FIXTURE.Test/Postgres. Both are always listed: the
// list ctest takes at build time holds the PostgreSQL runs too.
#define STORE_TEST_ON_EVERY_KIND(fixture)                                             \
  INSTANTIATE_TEST_SUITE_P(, fixture, ::testing::Values(kSqlite, kPostgres),          \
                           [](const auto& info) { return std::string(StoreKindName(info.param)); })

// Children that wait at a gate (a pipe the parent closes) and then run
// `child` with their number (0 to count - 1); true when each exited 0.
inline bool AllAtOnce(int count, const std::function<int(int)>& child) {
  int gate[2];
  if (pipe(gate) != 0) return false;
  std::vector<pid_t> children;
  for (int i = 0; i < count; ++i) {
    const pid_t pid = fork();
    if (pid == 0) {
      close(gate[1]);
      char byte;
      _exit(read(gate[0], &byte, 1) == 0 ? child(i) : 20);
    }
    children.push_back(pid);
  }
  close(gate[0]);
  close(gate[1]);
  bool ok = true;
  for (pid_t pid : children) {
    int status = -1;
    waitpid(pid, &status, 0);
    ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  return ok;
}
inline bool AllAtOnce(int count, const std::function<int()>& child) {
  return AllAtOnce(count, [&](int) { return child(); });
}

}  // namespace store_test

#endif  // ORVACMN_TESTS_STORE_HELPERS_H_
