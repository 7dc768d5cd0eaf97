// A job-step packet with 100 steps of mixed kinds, its job, target and
// variables: packing against pugixml's raw print of the same text, unpacking
// against a bare parse of it, in the same run (ratio.h).
#include <benchmark/benchmark.h>

#include <pugixml.hpp>
#include <string>

#include "orvacmn/jobs/job_step_list.h"
#include "orvacmn/messages/job_step_messages.h"
#include "ratio.h"

namespace {

using orvacmn::MsgDJobStepPacket;
using orvacmn::OVOJobStep;
using orvacmn::OVOJobStepList;
using orvacmn::String;

constexpr int kSteps = 100;
constexpr uint32_t kKinds[] = {10, 11, 12, 13, 14, 15, 16, 110, 111, 120, 121, 130, 133, 140, 142, 143, 144, 145,
                               146, 150, 151, 152, 153, 161, 162, 163, 164, 170, 180, 190, 200, 201, 210, 211};

String Guid(int i) {
  const String n = std::to_string(i);
  return "5A1E8F40-0B4D-4E8A-9C3F-" + String(12 - n.size(), '0') + n;
}

String MakePacketText() {
  MsgDJobStepPacket packet;
  packet.SetJob("3F2504E0-4F89-11D3-9A0C-000000000001", "Roll out office suite & updates");
  packet.GetJobTarget().SetGUIDMachine("B4F6D8A0-2E3C-4B7D-9F1A-000000000042");
  for (int i = 0; i < kSteps; ++i) {
    OVOJobStep* step = OVOJobStepList::CreateJobStep(static_cast<OVOJobStep::EStepType>(kKinds[i % std::size(kKinds)]));
    if (step == nullptr) continue;
    step->SetGUID(Guid(i));
    step->SetSequence(static_cast<uint32_t>(i));
    step->SetStateString("pending <step> " + std::to_string(i));
    step->GetProperties().SetProperty("Dependencies", Guid(i - 1) + ",1");
    packet.AddJobStep(step);
  }
  for (int i = 0; i < 50; ++i)
    packet.GetVars().AddVar("Client.Var" + std::to_string(i), "value " + std::to_string(i), false, false,
                            orvacmn::CVariableType(), false);
  packet.SetNetworkUserAccount("CORP\\svcnet", "secret");
  return packet.Pack();
}

void BM_PacketUnpack(benchmark::State& state) {
  const String text = MakePacketText();
  MsgDJobStepPacket packet;
  bench::Measure(
      state, kSteps, [&] { benchmark::DoNotOptimize(packet.Unpack(text)); }, bench::BareParse(text),
      [&] { packet.Clear(); });
}

void BM_PacketPack(benchmark::State& state) {
  const MsgDJobStepPacket packet(MakePacketText());
  const String text = packet.Pack();
  pugi::xml_document doc;
  doc.load_buffer(text.data(), text.size(), bench::kParseOptions, pugi::encoding_utf8);
  bench::Measure(
      state, kSteps, [&] { benchmark::DoNotOptimize(packet.Pack()); }, bench::RawPrint(doc, text.size()));
}

BENCHMARK(BM_PacketUnpack)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PacketPack)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
