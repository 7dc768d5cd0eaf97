// Placeholder expansion on generated variable sets, texts and policies equals the step-by-step one on small inputs.
// Input: byte 0 = substitution policies, byte 1 = VBScript policy (0..3), then NUL-separated parts: the text, then
// per variable a flags byte (bits 0-1 type runtime/system/other, bit 2 password, bit 3 split aliases), the name,
// "\x01", the value.
#include <algorithm>
#include <optional>

#include "../tests/variables/substitution_reference.h"
#include "orvacmn/variables/ovk_vars.h"

#include "check.h"

using orvacmn::COVKVars;
using orvacmn::String;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("ORVF_A", "{A}", 1);
  setenv("ORVF_B", "b", 1);
  setenv("ORVF_SELF", "{%ORVF_SELF%}", 1);
  unsetenv("ORVF_U");
  return 0;
}

FUZZ_TEXT(input) {
  if (input.size() < 2) return;
  const auto policies = static_cast<COVKVars::ESubstitutionPolicies>(uint8_t(input[0]));
  const auto vbPolicy = static_cast<COVKVars::VBScriptExecutionPolicy>(uint8_t(input[1]) % 4);
  const std::string_view rest = std::string_view(input).substr(2);
  const String text(rest.substr(0, rest.find('\0')));
  COVKVars vars;
  size_t definedBytes = 0, longestValue = 0;
  for (size_t from = text.size() + 1, end, i = 1; from <= rest.size() && i <= 16; from = end + 1, ++i) {
    end = std::min(rest.find('\0', from), rest.size());
    if (end == from) continue;
    const uint8_t flags = static_cast<uint8_t>(rest[from]);
    const std::string_view def = rest.substr(from + 1, end - from - 1);
    const size_t sep = def.find('\x01');
    const String name(def.substr(0, sep)), value(sep == def.npos ? std::string_view() : def.substr(sep + 1));
    const int32_t types[] = {0, 1, 5, 0};
    vars.AddVar(name, value, false, (flags & 8) != 0,
                static_cast<orvacmn::CVariableType::EVariableType>(types[flags & 3]), (flags & 4) != 0);
    definedBytes += name.size() + value.size();
    longestValue = std::max(longestValue, value.size());
  }

  String mine = text, ref = text;
  bool mineExpression = false, refExpression = false;
  const String mineOut = vars.PerformSubstitutions(mine, mineExpression, policies, vbPolicy);
  // The step-by-step expansion is quadratic: compare only where it is quick.
  if (text.size() > 256 || longestValue > 64 || definedBytes > 160 || vars.Size() > 8) return;
  const std::optional<String> refOut = substitution_reference::PerformSubstitutionsUpTo(
      vars, ref, refExpression, policies, vbPolicy, size_t{16} << 10);
  if (!refOut || (mineOut == *refOut && mine == ref && mineExpression == refExpression)) return;
  std::fprintf(stderr, "expansion differs\ntext [%s]\nmine [%s] / [%s] %d\nref  [%s] / [%s] %d\n", text.c_str(),
               mineOut.c_str(), mine.c_str(), mineExpression, refOut->c_str(), ref.c_str(), refExpression);
  std::abort();
}
