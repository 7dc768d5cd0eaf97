// The server's announce road (road.h) with 1, 2, 4 and 8 writer processes on
// a store of 100,000 clients, file and PostgreSQL server, against the same
// work by hand (raw SQLite for the file, raw libpq for the server) with as
// many processes, in the same run. Every writer is a process with its own
// connections; in one iteration all writers make kPerWriter announces at
// once by hand, then all through the store. Counters: "ratio" (store / by
// hand) and "announces_per_s" of all writers together.
//
// The file store commits without waiting for the disk (synchronous NORMAL),
// and so do the server runs with durable:0 (synchronous_commit off, on both
// sides), which show what the store itself costs. With durable:1 every
// commit waits for the server's disk, which then sets the pace; the writers
// share its flushes, so the rate rises with them.
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "clients.h"
#include "ratio.h"
#include "road.h"
#include "server.h"

namespace {

constexpr int kClients = 100000;
constexpr int kPerWriter = 100;

struct Locations {
  std::string store, raw;
};

// The stores of kClients clients, made once per program.
const Locations& FileStores() {
  static const Locations made = [] {
    Locations l{bench::Dir() + "/road.db", bench::Dir() + "/raw.db"};
    bench::FillClients(*bench::Open(l.store, true), kClients, bench::Record);
    bench::RawSqlite(l.raw).Fill(kClients);
    return l;
  }();
  return made;
}

const Locations& ServerStores() {
  static const Locations made = [] {
    Locations l{bench::ScratchDatabase("road"), bench::ScratchDatabase("road_raw")};
    bench::FillClients(*bench::Open(l.store, true), kClients, bench::Record);
    bench::RawPg(l.raw).Fill(kClients);
    return l;
  }();
  return made;
}

// Writer processes, each running the road on its own connections when told:
// 's' through the store, 'r' by hand, 'q' to end.
template <class Raw>
class Writers {
 public:
  Writers(int count, const Locations& l) {
    for (int k = 0; k < count; ++k) {
      int order[2], answer[2];
      if (pipe(order) != 0 || pipe(answer) != 0) std::exit(2);
      const pid_t pid = fork();
      if (pid == 0) {
        close(order[1]);
        close(answer[0]);
        Serve(l, unsigned(k + 1), order[0], answer[1]);
      }
      close(order[0]);
      close(answer[1]);
      writers_.push_back({pid, order[1], answer[0]});
    }
    Wait();  // every writer connected and ready
  }
  ~Writers() {
    Tell('q');
    for (const Writer& w : writers_) {
      close(w.order);
      close(w.answer);
      waitpid(w.pid, nullptr, 0);
    }
  }
  // Every writer makes its announces at once; false when one failed.
  bool Run(char what) {
    Tell(what);
    return Wait();
  }

 private:
  struct Writer {
    pid_t pid;
    int order, answer;
  };
  [[noreturn]] static void Serve(const Locations& l, unsigned seed, int order, int answer) {
    bench::Road<Raw> road(l.store, l.raw, kClients, seed);
    char what = '1';
    if (write(answer, &what, 1) != 1) _exit(1);
    while (read(order, &what, 1) == 1 && what != 'q') {
      bool ok = true;
      for (int i = 0; i < kPerWriter; ++i) {
        if (what == 's')
          ok = road.Announce() && ok;
        else
          road.Baseline();
      }
      const char done = ok ? '1' : '0';
      if (write(answer, &done, 1) != 1) break;
    }
    _exit(0);
  }
  void Tell(char what) {
    for (const Writer& w : writers_)
      if (write(w.order, &what, 1) != 1) std::exit(2);
  }
  bool Wait() {
    bool ok = true;
    for (const Writer& w : writers_) {
      char done = '0';
      ok = read(w.answer, &done, 1) == 1 && done == '1' && ok;
    }
    return ok;
  }
  std::vector<Writer> writers_;
};

template <class Raw>
void Run(benchmark::State& state, const Locations& l) {
  const int count = int(state.range(0));
  Writers<Raw> writers(count, l);
  bench::Measure(
      state, count * kPerWriter,
      [&] {
        if (!writers.Run('s')) state.SkipWithError("announce failed");
      },
      [&] { writers.Run('r'); });
  state.counters["announces_per_s"] = 1e9 / state.counters["ns_entry"];
}

void BM_AnnounceRoadFile(benchmark::State& state) { Run<bench::RawSqlite>(state, FileStores()); }
BENCHMARK(BM_AnnounceRoadFile)->ArgName("writers")->Arg(1)->Arg(2)->Arg(4)->Arg(8)->UseManualTime();

void BM_AnnounceRoadServer(benchmark::State& state) {
  Locations l = ServerStores();
  if (state.range(1) == 0)
    for (std::string* location : {&l.store, &l.raw}) *location += " options='-csynchronous_commit=off'";
  Run<bench::RawPg>(state, l);
}
[[maybe_unused]] const bool registered = [] {
  if (!bench::Server().empty())
    benchmark::RegisterBenchmark("BM_AnnounceRoadServer", BM_AnnounceRoadServer)
        ->ArgNames({"writers", "durable"})
        ->Args({1, 0})
        ->Args({2, 0})
        ->Args({4, 0})
        ->Args({8, 0})
        ->Args({1, 1})
        ->Args({8, 1})
        ->UseManualTime();
  return true;
}();

}  // namespace
