// Unpacking and packing a job with 100 steps of mixed kinds and 1,000 targets,
// against pugixml on the same text in the same run (ratio.h). Unpacking goes
// into one job again and again, so it includes destroying the previous steps
// and targets.
#include <benchmark/benchmark.h>

#include <pugixml.hpp>
#include <string>

#include "orvacmn/jobs/job.h"
#include "orvacmn/jobs/job_step_list.h"
#include "ratio.h"

namespace {

using orvacmn::OVOJob;
using orvacmn::OVOJobStep;
using orvacmn::OVOJobStepList;
using orvacmn::String;

constexpr int kSteps = 100, kTargets = 1000;

// Every kind the factory knows, in turn.
constexpr uint32_t kKinds[] = {10,  11,  12,  13,  14,  15,  16,  110, 111, 120, 121, 130, 133, 140, 142, 143,
                               144, 145, 146, 150, 151, 152, 153, 161, 162, 163, 164, 170, 180, 190, 200, 201,
                               210, 211, 214, 215, 216, 217, 218, 219, 220, 231, 233, 234, 235};

String Guid(int i, const char* prefix) {
  const String n = std::to_string(i);
  return String(prefix) + String(12 - n.size(), '0') + n;
}

String MakeJobText() {
  OVOJob job;
  job.SetGUID(Guid(1, "3F2504E0-4F89-11D3-9A0C-"));
  job.SetName("Roll out office suite & updates");
  for (int i = 0; i < kSteps; ++i) {
    const auto type = static_cast<OVOJobStep::EStepType>(kKinds[i % std::size(kKinds)]);
    OVOJobStep* step = OVOJobStepList::CreateJobStep(type);
    if (step == nullptr) continue;
    step->SetGUID(Guid(i, "5A1E8F40-0B4D-4E8A-9C3F-"));
    step->SetSequence(static_cast<uint32_t>(i));
    step->SetStateString("pending <step> " + std::to_string(i));
    step->GetProperties().SetProperty("Dependencies", Guid(i - 1, "5A1E8F40-0B4D-4E8A-9C3F-") + ",1");
    job.GetJobSteps().AddTail(step);
  }
  for (int i = 0; i < kTargets; ++i)
    job.AssignClient(Guid(i, "B4F6D8A0-2E3C-4B7D-9F1A-"), "pc" + std::to_string(i) + ".corp.example",
                     "PC " + std::to_string(i), "admin", nullptr, 1700000000);
  return job.Pack();
}

void BM_JobUnpack(benchmark::State& state) {
  const String text = MakeJobText();
  OVOJob job;
  // Freeing the previous steps and targets is not part of unpacking.
  bench::Measure(
      state, kSteps + kTargets, [&] { benchmark::DoNotOptimize(job.Unpack(text)); }, bench::BareParse(text),
      [&] { job.Clear(); });
}

void BM_JobPack(benchmark::State& state) {
  const OVOJob job(MakeJobText());
  const String text = job.Pack();
  pugi::xml_document doc;
  doc.load_buffer(text.data(), text.size(), bench::kParseOptions, pugi::encoding_utf8);
  bench::Measure(
      state, kSteps + kTargets, [&] { benchmark::DoNotOptimize(job.Pack()); }, bench::RawPrint(doc, text.size()));
}

BENCHMARK(BM_JobUnpack)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JobPack)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
