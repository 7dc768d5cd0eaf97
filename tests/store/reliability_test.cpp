// Processes that die in the middle of a save, and processes that write the
// same store at once.
#include <fcntl.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "orvacmn/objects/properties.h"
#include "orvacmn_store/store_key.h"
#include "store_helpers.h"

namespace store_test {
namespace {

using orvacmn::store::kClientType;

std::string GuidFor(uint64_t i) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "5EED0000-0000-4000-8000-%012llX", static_cast<unsigned long long>(i));
  return buf;
}
std::string RecordFor(uint64_t i) {
  // Large enough that a save spans several pages of the file.
  return Client(GuidFor(i), "HOST-" + std::to_string(i), "<Comment>" + std::string(3000 + i % 5000, 'c') + "</Comment>");
}
uint64_t StampOf(const Reply& r) {
  unsigned long long v = 0;
  orvacmn::OVO::Properties(r.text).GetProperty("ObjectTimestamp", v);
  return v;
}
std::string WithStamp(const std::string& record, uint64_t stamp) {
  const std::string hiLo = std::to_string(stamp >> 32) + "." + std::to_string(stamp & 0xFFFFFFFF);
  return "<Client><TimeStamp>" + hiLo + record.substr(record.find("</TimeStamp>"));
}

// Saves records in a loop, reporting (index, stamp) of each save through `fd`.
[[noreturn]] void SaveForever(const std::string& location, uint64_t first, int fd) {
  auto s = Reopen(location);
  for (uint64_t i = first; s; ++i) {
    const Reply r = Save(*s, kClientType, Packed({GuidFor(i), "1"}), RecordFor(i));
    if (FAILED(r.hr)) break;
    const uint64_t report[2] = {i, StampOf(r)};
    if (write(fd, report, sizeof report) != sizeof report) break;
  }
  _exit(3);
}

using StoreReliability = StoreFixture;

TEST_P(StoreReliability, KilledWriterLosesNoReportedSaveAndLeavesNoHalfRecord) {
  store_.reset();  // only the writers have the store open
  std::mt19937 random(20240611);
  std::vector<std::pair<uint64_t, uint64_t>> reported;
  for (int round = 0; round < 6; ++round) {
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(pipeFds[0]);
      SaveForever(location_, uint64_t(round) * 1000000, pipeFds[1]);
    }
    close(pipeFds[1]);
    // Killed in the middle of its saves however slowly a busy machine starts it.
    uint64_t report[2];
    if (read(pipeFds[0], report, sizeof report) == sizeof report) reported.emplace_back(report[0], report[1]);
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 80));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    while (read(pipeFds[0], report, sizeof report) == sizeof report) reported.emplace_back(report[0], report[1]);
    close(pipeFds[0]);
  }
  ASSERT_GT(reported.size(), 6u);
  RecordProperty("saves_checked", int(reported.size()));

  auto s = Reopen(location_);
  ASSERT_TRUE(s);
  for (const auto& [i, stamp] : reported) {
    ASSERT_EQ(First(*s, kClientType, ClientKey(GuidFor(i), 1)), WithStamp(RecordFor(i), stamp)) << i;
    ASSERT_EQ(First(*s, kClientType, ClientKey("host-" + std::to_string(i), 4)), WithStamp(RecordFor(i), stamp));
  }
  if (GetParam() != kSqlite) return;
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(location_.c_str(), &db), SQLITE_OK);
  sqlite3_stmt* check = nullptr;
  sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
  ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
  sqlite3_finalize(check);
  sqlite3_close(db);
}

const std::string kShared = GuidFor(424242);

// Adds one to the counter of a shared client `times` times, loading and
// saving with the loaded stamp and repeating on the documented conflict;
// saves an own record each round. Exits 0 when nothing else failed.
[[noreturn]] void CountAndSave(const std::string& location, int who, int times) {
  auto s = Reopen(location);
  if (!s) _exit(10);
  for (int n = 0; n < times; ++n) {
    for (;;) {
      const std::string shared = First(*s, kClientType, ClientKey(kShared, 1));
      const size_t at = shared.find("<Comment>") + 9;
      const int counter = std::stoi(shared.substr(at));
      const std::string next = shared.substr(0, at) + std::to_string(counter + 1) + shared.substr(shared.find("</Comment>"));
      const Reply r = Save(*s, kClientType, Packed({kShared, "1"}), next);
      if (r.hr == S_OK) break;
      if (r.hr != orvacmn::store::kStatusStale) _exit(11);
    }
    const std::string own = std::to_string(who) + "-" + std::to_string(n);
    if (Save(*s, 40, Packed({own}), "<Job><GUID>" + own + "</GUID></Job>").hr != S_OK) _exit(12);
  }
  _exit(0);
}

TEST_P(StoreReliability, TwoProcessesShareOneStoreWithoutLoss) {
  ASSERT_EQ(Save(*store_, kClientType, Packed({kShared, "1"}), Client(kShared, "shared", "<Comment>0</Comment>")).hr,
            S_OK);
  store_.reset();
  constexpr int kTimes = 60;
  pid_t children[2];
  for (int who = 0; who < 2; ++who) {
    children[who] = fork();
    ASSERT_GE(children[who], 0);
    if (children[who] == 0) CountAndSave(location_, who, kTimes);
  }
  for (pid_t child : children) {
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  auto s = Reopen(location_);
  ASSERT_TRUE(s);
  EXPECT_NE(First(*s, kClientType, ClientKey(kShared, 1)).find("<Comment>" + std::to_string(2 * kTimes) + "</Comment>"),
            std::string::npos);
  OFLTokenizer all;
  all.FromLengthPackedString(Load(*s, 40, Packed({"*"})).text);
  EXPECT_EQ(all.GetCount(), 2 * kTimes);
}

// SQLite gives up at once, without its busy wait, when it cannot switch to
// the write-ahead log because another process holds the writer's lock.
TEST(SqliteReliability, OpenWaitsOutAWriterWhileItSwitchesToTheLog) {
  ScratchDir dir;
  const std::string path = dir.File("s.db");
  std::string error;
  ASSERT_TRUE(SqliteStore::Open(path, true, &error)) << error;
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(writer, "PRAGMA journal_mode = DELETE; BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread done([writer] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr);
  });
  EXPECT_TRUE(SqliteStore::Open(path, false, &error)) << error;
  done.join();
  sqlite3_close(writer);
}

TEST_P(StoreReliability, ProcessesCreatingOneStoreAtOnceAllOpenIt) {
  for (int round = 0; round < 12; ++round) {
    const std::string location = NewLocation();
    EXPECT_TRUE(AllAtOnce(6, [&] { return Reopen(location, true) ? 0 : 1; })) << round;
  }
}

STORE_TEST_ON_EVERY_KIND(StoreReliability);

}  // namespace
}  // namespace store_test
