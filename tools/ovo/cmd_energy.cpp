// ovo energy time MINUTES
// ovo energy button ACTION
// ovo energy power [FILE] [--new-style]
// ovo energy validate [FILE]
#include <iostream>
#include <limits>
#include <memory>

#include "orvacmn/energy.h"
#include "ovo.h"

namespace {

namespace EM = orvacmn::OVO::EnergyManagement;

const ovo::ObjectClass kProfile("OVO::EnergyManagement::Profile", [] { return std::make_unique<EM::Profile>(); });
const ovo::ObjectClass kPolicy("OVO::EnergyManagement::Policy", [] { return std::make_unique<EM::Policy>(); });
const ovo::ObjectClass kPolicyProfile("OVO::EnergyManagement::Policy::PolicyProfile",
                                      [] { return std::make_unique<EM::Policy::PolicyProfile>(); });
const ovo::ObjectClass kPowerSettings("OVO::EnergyManagement::PowerSettings",
                                      [] { return std::make_unique<EM::PowerSettings>(); });

// A 32-bit argument; the validator has already accepted the text.
bool ParseUInt32(const std::string& text, const char* what, uint32_t& value) {
  uint64_t v = 0;
  if (!ovo::ParseNumber(text, v) || v > std::numeric_limits<uint32_t>::max()) {
    ovo::Error(std::string(what) + " does not fit in 32 bits: " + text, 2);
    return false;
  }
  value = static_cast<uint32_t>(v);
  return true;
}


struct PowerArgs {
  std::string file;
  bool newStyle = false;
};

// Two lines: the ten timeouts in seconds; the six button actions (power AC,
// DC, sleep AC, DC, lid AC, DC), each its action code or "-" when not set.
int RunPower(const PowerArgs& a) {
  EM::Profile profile;
  if (!ovo::ReadObject(a.file, profile)) return 1;
  const EM::PowerSettingValues v = profile.GetOFLPowerSettingsValues(a.newStyle);
  const char* sep = "";
  for (uint32_t t : v.timeouts) {
    std::cout << sep << t;
    sep = " ";
  }
  std::cout << "\n";
  sep = "";
  for (size_t i = 0; i < v.set.size(); ++i) {
    std::cout << sep;
    if (v.set[i]) std::cout << v.actions[i];
    else std::cout << "-";
    sep = " ";
  }
  std::cout << "\n";
  return 0;
}

int RunValidate(const std::string& file) {
  EM::Policy policy;
  if (!ovo::ReadObject(file, policy)) return 1;
  orvacmn::String error;
  if (!policy.ValidateEnergyPolicy(error)) return ovo::Error(error);
  std::cout << "valid\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* energy = app.add_subcommand("energy", "Energy profile texts, power values and policy validation");
  energy->require_subcommand(1);

  auto minutes = std::make_shared<std::string>();
  auto* cmd = energy->add_subcommand("time", "Display text of a timeout in minutes");
  cmd->add_option("MINUTES", *minutes, "Minutes, 0 for never")->required()->check(ovo::NumberValidator());
  cmd->callback([minutes, &exitCode] {
    uint32_t m;
    if (!ParseUInt32(*minutes, "MINUTES", m)) {
      exitCode = 2;
      return;
    }
    std::cout << EM::Profile::GetTimeString(m) << "\n";
    exitCode = 0;
  });

  auto action = std::make_shared<std::string>();
  cmd = energy->add_subcommand("button", "Display text of a button action (empty for an unknown one)");
  cmd->add_option("ACTION", *action, "0 user defined, 1 nothing, 2 standby, 3 hibernate, 4 shut down")
      ->required()
      ->check(ovo::NumberValidator());
  cmd->callback([action, &exitCode] {
    uint32_t a;
    if (!ParseUInt32(*action, "ACTION", a)) {
      exitCode = 2;
      return;
    }
    std::cout << EM::Profile::GetButtonAction(a) << "\n";
    exitCode = 0;
  });

  auto power = std::make_shared<PowerArgs>();
  cmd = energy->add_subcommand("power", "Power-interface values of a packed energy profile");
  cmd->add_option("FILE", power->file, "Packed EnergyProfile (default: stdin)");
  cmd->add_flag("--new-style", power->newStyle, "Action codes of the newer power interface");
  cmd->callback([power, &exitCode] { exitCode = RunPower(*power); });

  auto file = std::make_shared<std::string>();
  cmd = energy->add_subcommand("validate", "Validate a packed energy policy");
  cmd->add_option("FILE", *file, "Packed EnergyPolicy (default: stdin)");
  cmd->callback([file, &exitCode] { exitCode = RunValidate(*file); });
}

const ovo::Registration reg(60, Register);

}  // namespace
