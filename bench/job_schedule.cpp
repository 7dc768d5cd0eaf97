// The next run time of a job scheduled every minute (count 1) whose validity
// window starts far ahead (700 days, inside the 730-day horizon) and which
// runs on one weekday only: the scan walks minute by minute from the window's
// start to that weekday, 1 to 6 days of candidates. The baseline, measured in
// the same run, is one local-time conversion per candidate (the library's own,
// OFL::LocalTimeOf).
//
// Counters: candidates = minutes looked at; ns_per_candidate; of_localtime_scan
// = schedule time / baseline time (goal <= 2, the same at every distance:
// linear in the candidates).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

#include "ofl/local_time.h"
#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/jobs/job.h"

namespace {

using orvacmn::CTime;
using orvacmn::OVOHelper;
using orvacmn::OVOJob;

constexpr CTime kDay = 86400;

double Seconds(const std::function<void()>& fn) {
  const auto t0 = std::chrono::steady_clock::now();
  fn();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double Best(int runs, const std::function<void()>& fn) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) best = std::min(best, Seconds(fn));
  return best;
}

CTime LocalMidnight(int y, int mo, int d) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d%02d%02d", y, mo, d);
  return OVOHelper::DBTimeToCTime(text);
}

// state.range(0): days from the window's start (a Monday) to the one weekday the job runs on.
void BM_EveryMinuteFarWindow(benchmark::State& state) {
  setenv("TZ", "Europe/Berlin", 1);
  const int days = static_cast<int>(state.range(0));
  const CTime now = LocalMidnight(2024, 6, 3);    // a Monday
  const CTime start = LocalMidnight(2026, 5, 4);  // a Monday, 700 days later
  bool weekday[7] = {};  // Monday first
  weekday[days] = true;
  OVOJob job;
  job.SetInterval(OVOHelper::CompressInterval(5, 1, 0, weekday[0], weekday[1], weekday[2], weekday[3],
                                              weekday[4], weekday[5], weekday[6]));
  job.GetValidity().SetStart(start);
  job.GetValidity().SetEnd(now + 2 * OVOJob::kScheduleHorizon);

  const CTime expected = LocalMidnight(2026, 5, 4 + days);
  if (start - now != 700 * kDay || job.CalcNextExecutionTime(0, now) != expected) {
    state.SkipWithError("the schedule does not give the expected run");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(job.CalcNextExecutionTime(0, now));

  const CTime candidates = (expected - start) / 60 + 1;
  const double schedule = Best(20, [&] { benchmark::DoNotOptimize(job.CalcNextExecutionTime(0, now)); });
  const double baseline = Best(20, [&] {
    std::tm tm{};
    int sum = 0;
    for (CTime t = start; t <= expected; t += 60) {
      OFL::LocalTimeOf(t, tm);
      sum += tm.tm_wday;
    }
    benchmark::DoNotOptimize(sum);
  });
  state.counters["candidates"] = static_cast<double>(candidates);
  state.counters["ns_per_candidate"] = schedule * 1e9 / static_cast<double>(candidates);
  state.counters["schedule_us"] = schedule * 1e6;
  state.counters["localtime_scan_us"] = baseline * 1e6;
  state.counters["of_localtime_scan"] = schedule / baseline;
}

BENCHMARK(BM_EveryMinuteFarWindow)->DenseRange(1, 6)->Unit(benchmark::kMicrosecond);

}  // namespace
