// An immediate shutdown and restart of the server under a stream of writes:
// every write the store acknowledged is there afterwards. Runs alone (it
// breaks every connection to the server) when ORVACMN_TEST_PG names the
// server, ORVACMN_TEST_PG_DATA its data folder and ORVACMN_TEST_PG_CTL the
// pg_ctl to restart it with.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "orvacmn/persistence/db_access.h"
#include "orvacmn/system/system.h"
#include "orvacmn_store/pg_store.h"
#include "store/store_kinds.h"
#include "common/scratch.h"

namespace store_test {
namespace {

using namespace orvacmn;  // NOLINT
using orvacmn::store::PgStore;

std::string Guid(int i) {
  char text[40];
  std::snprintf(text, sizeof text, "0A1B2C3D-0000-4000-8000-%012d", i);
  return text;
}

TEST(PgRestart, AnImmediateRestartLosesNoAcknowledgedWrite) {
  const char* data = std::getenv("ORVACMN_TEST_PG_DATA");
  const char* ctl = std::getenv("ORVACMN_TEST_PG_CTL");
  if (TestServer().empty() || !data || !ctl) GTEST_SKIP() << "no server of this test's own to restart";
  orvacmn::testing::ScratchDir dir;
  const std::string location = FreshLocation(kPostgres, dir.str());
  String error;
  ASSERT_TRUE(PgStore::Open(location, true, &error)) << error;

  std::mutex mutex;
  std::vector<int> acknowledged;
  std::atomic<bool> stop = false;
  std::atomic<int> count = 0;
  std::string unexpected;
  std::thread writer([&] {
    std::shared_ptr<PgStore> store;
    for (int i = 0; !stop; ++i) {
      if (!store && !(store = PgStore::Open(location, false, nullptr))) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        continue;
      }
      OVOSystem system;
      system.SetGuid(Guid(i));
      system.SetHostName("PC-" + std::to_string(i));
      String out;
      const HRESULT hr = CDBAccess(store).CreateSystem(system, out);
      if (hr == S_OK) {
        std::lock_guard lock(mutex);
        acknowledged.push_back(i);
        ++count;
      } else if (hr != store::kStatusConnection) {
        std::lock_guard lock(mutex);
        unexpected.append("\n").append(std::to_string(i)).append(": ").append(out);
      }
    }
  });
  const auto waitFor = [&](int n) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (count < n && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return count >= n;
  };
  const bool before = waitFor(200);
  const std::string restart = std::string(ctl) + " restart -m immediate -w -D '" + data + "' -l '" + data +
                              "/restart.log' >/dev/null 2>&1";
  const int restarted = std::system(restart.c_str());
  const int at = count;
  const bool after = waitFor(at + 100);
  stop = true;
  writer.join();
  ASSERT_TRUE(before);
  ASSERT_EQ(restarted, 0) << restart;
  EXPECT_TRUE(after) << "no write went through after the restart";
  EXPECT_EQ(unexpected, "");

  auto store = PgStore::Open(location, false, &error);
  ASSERT_TRUE(store) << error;
  CDBAccess db(store);
  int missing = 0;
  for (const int i : acknowledged) {
    OVOSystem system;
    bool found = false;
    String out;
    db.LoadSystem(1, Guid(i), 0, system, out, 0, &found);
    missing += !found;
  }
  EXPECT_EQ(missing, 0) << "of " << acknowledged.size();
}

}  // namespace
}  // namespace store_test
