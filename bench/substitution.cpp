// Placeholder expansion on large texts, against two baselines measured in the
// same run: the step-by-step expansion that rescans from the start after
// every replacement, and the same engine on a text of the same size without
// placeholders.
//
// Counters: faster_than_literal = literal time / engine time (goal >= 50 on
// the 1 MB text); of_plain_scan = engine time / placeholder-free time (goal
// <= 3).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "../tests/variables/substitution_reference.h"
#include "orvacmn/variables/ovk_vars.h"

namespace {

using orvacmn::COVKVars;
using orvacmn::CVariableType;
using orvacmn::String;

struct Workload {
  COVKVars vars;
  String text;   // with placeholders
  String plain;  // same size, no braces
  int placeholders = 0;
};

void AddVariables(COVKVars& vars) {
  for (int i = 0; i < 60; ++i) {
    const String name = "Var" + std::to_string(i);
    String value = "value-" + std::to_string(i * 7919) + "-";
    value.append(static_cast<size_t>(i % 5) * 6, 'v');
    vars.AddVar(name, value, false, false, i % 3 ? CVariableType::Runtime : CVariableType::System, false);
  }
  vars.AddVar("Client;Machine", "PC-0042", false, true, CVariableType::Runtime, false);
  vars.AddVar("DIP;KitsServer;Depot", "\\\\dip01\\kits", false, true, CVariableType::Runtime, false);
  vars.AddVar("Domain", "corp.example", false, false, CVariableType::System, false);
  vars.AddVar("Index", "3", false, false, CVariableType::Runtime, false);
  vars.AddVar("Drive3", "D:", false, false, CVariableType::Runtime, false);
}

String WithoutBraces(String text) {
  std::replace(text.begin(), text.end(), '{', '(');
  std::replace(text.begin(), text.end(), '}', ')');
  return text;
}

// 1 MB of prose with 1000 placeholders spread evenly (exactly the number of
// replacements one expansion may make).
Workload Megabyte() {
  Workload w;
  AddVariables(w.vars);
  const size_t size = 1 << 20;
  const int count = 1000;
  const String filler = "The quick brown fox jumps over the lazy dog; 0123456789 (alpha) [beta] <gamma>. ";
  const size_t gap = size / count - 16;
  for (int k = 0; k < count; ++k) {
    const size_t lineEnd = w.text.size() + gap;
    while (w.text.size() < lineEnd) w.text.append(filler, 0, std::min(filler.size(), lineEnd - w.text.size()));
    w.text += "{Var" + std::to_string(k % 60) + "}\n";
    ++w.placeholders;
  }
  while (w.text.size() < size) w.text.append(filler, 0, std::min(filler.size(), size - w.text.size()));
  w.plain = WithoutBraces(w.text);
  return w;
}

// 64 KB of an unattended-setup file: INI sections and key lines, a few
// hundred of them holding placeholders (one nested).
Workload Unattend() {
  Workload w;
  AddVariables(w.vars);
  const size_t size = 64 << 10;
  int line = 0;
  while (w.text.size() < size) {
    if (line % 25 == 0) w.text += "[Section" + std::to_string(line / 25) + "]\r\n";
    const String key = "Setting" + std::to_string(line);
    switch (line % 16) {
      case 0:
        w.text += key + "=\"{DIP}\\drivers\\" + std::to_string(line) + "\"\r\n";
        w.placeholders += 1;
        break;
      case 3:
        w.text += key + "={Client}.{Domain}\r\n";
        w.placeholders += 2;
        break;
      case 5:
        w.text += key + "={Drive{Index}}\\Setup\\{Var" + std::to_string(line % 60) + "}.log\r\n";
        w.placeholders += 3;
        break;
      default:
        w.text += key + "=%SystemRoot%\\system32 ; a setting without placeholders\r\n";
        break;
    }
    ++line;
  }
  w.plain = WithoutBraces(w.text);
  return w;
}

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

String Engine(const Workload& w, const String& input) {
  String text = input;
  bool expression = false;
  return w.vars.PerformSubstitutions(text, expression, COVKVars::SubstitutionDefault,
                                     COVKVars::VBScriptNotSupported);
}

String Literal(const Workload& w, const String& input) {
  String text = input;
  bool expression = false;
  return substitution_reference::PerformSubstitutions(w.vars, text, expression, COVKVars::SubstitutionDefault,
                                                      COVKVars::VBScriptNotSupported);
}

void Run(benchmark::State& state, const Workload& w, int literalRuns) {
  for (auto _ : state) benchmark::DoNotOptimize(Engine(w, w.text));

  // The baseline is the same text with its braces turned into parentheses.
  if (w.plain.size() != w.text.size() || w.plain.find_first_of("{}") != String::npos) {
    state.SkipWithError("the placeholder-free text is not comparable");
    return;
  }
  const String expanded = Engine(w, w.text);
  if (expanded != Literal(w, w.text) || expanded.find('{') != String::npos) {
    state.SkipWithError("the engine and the step-by-step expansion differ");
    return;
  }
  const double engine = Best(20, [&] { benchmark::DoNotOptimize(Engine(w, w.text)); });
  const double plain = Best(20, [&] { benchmark::DoNotOptimize(Engine(w, w.plain)); });
  const double literal = Best(literalRuns, [&] { benchmark::DoNotOptimize(Literal(w, w.text)); });
  state.counters["placeholders"] = w.placeholders;
  state.counters["engine_ms"] = engine * 1e3;
  state.counters["plain_scan_ms"] = plain * 1e3;
  state.counters["literal_ms"] = literal * 1e3;
  state.counters["faster_than_literal"] = literal / engine;
  state.counters["of_plain_scan"] = engine / plain;
}

void BM_Megabyte1000Placeholders(benchmark::State& state) {
  static const Workload w = Megabyte();
  Run(state, w, 1);
}

void BM_Unattend64KB(benchmark::State& state) {
  static const Workload w = Unattend();
  Run(state, w, 3);
}

BENCHMARK(BM_Megabyte1000Placeholders)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Unattend64KB)->Unit(benchmark::kMicrosecond);

}  // namespace
