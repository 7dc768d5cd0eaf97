// ovo expand [OPTIONS] TEXT
// ovo expand [OPTIONS] --in SRC --out DST
// Expands the placeholders of TEXT (printed) or of the file SRC (written to
// DST line by line, nothing printed). The variable set is built from the
// options in command-line order, so a later option overrides an earlier one
// across option kinds. Exit 3 when the expansion ends in the recursion error.
// Class for `ovo object`: COVKVars.
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ofl/error_message.h"
#include "ofl/tools.h"
#include "orvacmn/variables.h"
#include "ovo.h"

namespace {

using orvacmn::COVKVars;
using orvacmn::CVariableType;

const ovo::ObjectClass kOVKVars("COVKVars", [] { return std::make_unique<COVKVars>(); });

constexpr int kExitRecursion = 3;

struct Args {
  std::vector<std::string> vars, systemVars, secretVars, varFiles, iniFiles;
  std::string text, in, out;
  std::string policy = "0", vbscript = "1";
  CLI::Option *var = nullptr, *systemVar = nullptr, *secretVar = nullptr, *varFile = nullptr, *iniFile = nullptr,
              *textOpt = nullptr, *inOpt = nullptr;
};

const CLI::Validator& NameValueValidator() {
  static const CLI::Validator v(
      [](std::string& s) { return s.find('=') == std::string::npos ? "expected NAME=VALUE: " + s : std::string(); },
      "");
  return v;
}

// NAME=VALUE, split at the first "="; ";" in NAME defines aliases.
void AddNameValue(COVKVars& vars, const std::string& arg, CVariableType type, bool isPassword) {
  const size_t eq = arg.find('=');
  vars.AddVar(arg.substr(0, eq), arg.substr(eq + 1), false, true, type, isPassword);
}

// Walks the options in the order they were given.
bool BuildVars(const CLI::App& cmd, const Args& a, COVKVars& vars) {
  std::map<const CLI::Option*, size_t> used;
  for (const CLI::Option* opt : cmd.parse_order()) {
    const size_t i = used[opt]++;
    if (i >= opt->results().size()) continue;
    const std::string& value = opt->results()[i];
    if (opt == a.var) {
      AddNameValue(vars, value, CVariableType::Runtime, false);
    } else if (opt == a.systemVar) {
      AddNameValue(vars, value, CVariableType::System, false);
    } else if (opt == a.secretVar) {
      AddNameValue(vars, value, CVariableType::Runtime, true);
    } else if (opt == a.varFile) {
      if (!ovo::AddVarsFile(vars, value)) return false;
    } else if (opt == a.iniFile) {
      std::string readable;  // a folder reads as an empty profile: refused here as any unreadable file
      if (!ovo::ReadInput(value, readable)) return false;
      const uint32_t code = vars.AddVarsFromInstallIni(value, CVariableType::Runtime);
      if (code != 0) {
        ovo::Error("cannot read " + value + ": " + OFL::ErrorMessage::TranslateValue(code));
        return false;
      }
    }
  }
  return true;
}

int Run(const CLI::App& cmd, const Args& a) {
  uint64_t policy = 0, vbscript = 0;
  if (!ovo::ParseNumber(a.policy, policy) || policy > UINT32_MAX)
    return ovo::Error("--policy: not a 32-bit number: " + a.policy, 2);
  if (!ovo::ParseNumber(a.vbscript, vbscript) || vbscript > INT32_MAX)
    return ovo::Error("--vbscript: not a number: " + a.vbscript, 2);
  const bool fileMode = a.inOpt->count() > 0;
  if (fileMode == (a.textOpt->count() > 0)) return ovo::Error("give either TEXT or --in and --out", 2);

  COVKVars vars;
  if (!BuildVars(cmd, a, vars)) return 1;
  const auto policies = static_cast<COVKVars::ESubstitutionPolicies>(policy);
  const auto vbPolicy = static_cast<COVKVars::VBScriptExecutionPolicy>(vbscript);

  std::string readable;
  if (fileMode && !ovo::ReadInput(a.in, readable)) return 1;
  if (fileMode) {
    const uint32_t code = vars.PerformSubstitutionsOnFile(a.in, a.out, policies, vbPolicy);
    if (code != 0)
      return ovo::Error("cannot expand " + a.in + " into " + a.out + ": " + OFL::ErrorMessage::TranslateValue(code));
    return 0;
  }
  std::string text = a.text;
  bool expressionFound = false;
  const std::string result = vars.PerformSubstitutions(text, expressionFound, policies, vbPolicy);
  std::cout << result << "\n";
  // Only a stopped expansion returns something other than the edited text.
  if (result != text) return ovo::Error("more than 1000 replacements: variables recursion", kExitRecursion);
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto a = std::make_shared<Args>();
  auto* cmd = app.add_subcommand(
      "expand",
      "Expand {NAME} placeholders in TEXT, or in file SRC into DST line by line; variables are added in "
      "command-line order (exit 3 on variables recursion)");
  a->textOpt = cmd->add_option("TEXT", a->text, "Text to expand (printed followed by a newline)");
  auto* in = a->inOpt = cmd->add_option("--in", a->in, "Source file to expand")->type_name("SRC");
  auto* out = cmd->add_option("--out", a->out, "Target file, created or truncated")->type_name("DST");
  in->needs(out);
  out->needs(in);
  a->textOpt->excludes(in)->excludes(out);
  a->var = cmd->add_option("--var", a->vars, "Runtime variable (\";\" in NAME gives aliases)")
               ->type_name("NAME=VALUE")
               ->allow_extra_args(false)
               ->check(NameValueValidator());
  a->systemVar = cmd->add_option("--system-var", a->systemVars, "System variable (\";\" in NAME gives aliases)")
                     ->type_name("NAME=VALUE")
                     ->allow_extra_args(false)
                     ->check(NameValueValidator());
  a->secretVar = cmd->add_option("--secret-var", a->secretVars, "Runtime password variable (dumped as ****)")
                     ->type_name("NAME=VALUE")
                     ->allow_extra_args(false)
                     ->check(NameValueValidator());
  a->varFile = cmd->add_option("--vars", a->varFiles,
                               "Packed <OVSVars> set, or packed <Vars> set added under full names (\"-\": stdin)")
                   ->type_name("FILE")
                   ->allow_extra_args(false);
  a->iniFile = cmd->add_option("--install-ini", a->iniFiles,
                               "Agent install.ini whose variables are added as runtime variables (\"\": the one "
                               "beside ovo)")
                   ->type_name("FILE")
                   ->allow_extra_args(false);
  cmd->add_option("--policy", a->policy,
                  "Substitution policies: 1 XML-escape values, 2 drop undefined environment names, 8 unknown "
                  "names become empty (default 0)")
      ->type_name("N")
      ->check(ovo::NumberValidator());
  cmd->add_option("--vbscript", a->vbscript,
                  "VBScript policy: 0 look \"=\" names up, 1 \"<Expression not supported>\", other: replace "
                  "nothing (default 1)")
      ->type_name("N")
      ->check(ovo::NumberValidator());
  cmd->callback([a, cmd, &exitCode] { exitCode = Run(*cmd, *a); });
}

const ovo::Registration reg(70, Register);

}  // namespace
