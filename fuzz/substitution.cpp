// Placeholder expansion on generated variable sets, texts and policies. On
// small inputs the result is compared with the step-by-step expansion, and
// any difference aborts.
//
// Input: byte 0 = substitution policies, byte 1 = VBScript policy (0..3),
// then NUL-separated parts: the text, then one part per variable: a flags
// byte (bits 0-1 type runtime/system/other, bit 2 password, bit 3 split
// aliases), the name, "\x01", the value.
#include <stdlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "../tests/variables/substitution_reference.h"
#include "orvacmn/variables/ovk_vars.h"

using orvacmn::COVKVars;
using orvacmn::CVariableType;
using orvacmn::String;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("ORVF_A", "{A}", 1);
  setenv("ORVF_B", "b", 1);
  setenv("ORVF_SELF", "{%ORVF_SELF%}", 1);
  unsetenv("ORVF_U");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const auto policies = static_cast<COVKVars::ESubstitutionPolicies>(data[0]);
  const auto vbPolicy = static_cast<COVKVars::VBScriptExecutionPolicy>(data[1] % 4);
  const std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);

  std::vector<std::string_view> parts;
  size_t from = 0;
  for (;;) {
    const size_t nul = rest.find('\0', from);
    parts.push_back(rest.substr(from, nul == std::string_view::npos ? std::string_view::npos : nul - from));
    if (nul == std::string_view::npos) break;
    from = nul + 1;
  }

  COVKVars vars;
  size_t definedBytes = 0, longestValue = 0;
  for (size_t i = 1; i < parts.size() && i <= 16; ++i) {
    const std::string_view part = parts[i];
    if (part.empty()) continue;
    const uint8_t flags = static_cast<uint8_t>(part[0]);
    const std::string_view def = part.substr(1);
    const size_t sep = def.find('\x01');
    const String name(def.substr(0, sep));
    const String value(sep == std::string_view::npos ? std::string_view() : def.substr(sep + 1));
    const int32_t types[] = {0, 1, 5, 0};
    vars.AddVar(name, value, false, (flags & 8) != 0, static_cast<CVariableType::EVariableType>(types[flags & 3]),
                (flags & 4) != 0);
    definedBytes += name.size() + value.size();
    longestValue = std::max(longestValue, value.size());
  }

  const String text(parts[0]);
  String mine = text;
  bool mineExpression = false;
  const String mineOut = vars.PerformSubstitutions(mine, mineExpression, policies, vbPolicy);

  // The step-by-step expansion is quadratic: compare only where it is quick.
  if (text.size() > 256 || longestValue > 64 || definedBytes > 160 || vars.Size() > 8) return 0;
  String ref = text;
  bool refExpression = false;
  const std::optional<String> refOut = substitution_reference::PerformSubstitutionsUpTo(
      vars, ref, refExpression, policies, vbPolicy, size_t{16} << 10);
  if (!refOut) return 0;
  if (mineOut != *refOut || mine != ref || mineExpression != refExpression) {
    std::fprintf(stderr, "expansion differs\ntext [%s]\nmine [%s] / [%s] %d\nref  [%s] / [%s] %d\n", text.c_str(),
                 mineOut.c_str(), mine.c_str(), mineExpression, refOut->c_str(), ref.c_str(), refExpression);
    abort();
  }
  return 0;
}
