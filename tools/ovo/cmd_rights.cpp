// ovo rights names TYPE MASK [--special-only]
// ovo rights mask TEXT
// ovo rights supported TYPE [--unit-mask MASK] [--guid GUID]
// ovo release TEXT-OR-NUMBER
#include <iostream>
#include <limits>
#include <memory>

#include "orvacmn/objects/object_rights.h"
#include "orvacmn/objects/release_level.h"
#include "ovo.h"

namespace {

using orvacmn::OVOObjectRights;
using orvacmn::OVOReleaseLevel;

const ovo::ObjectClass kObjectRights("OVOObjectRights", [] { return std::make_unique<OVOObjectRights>(); });

// A 32-bit TYPE or MASK argument; the validator has already accepted the text.
bool ParseUInt32(const std::string& text, const char* what, uint32_t& value) {
  uint64_t v = 0;
  if (!ovo::ParseNumber(text, v) || v > std::numeric_limits<uint32_t>::max()) {
    ovo::Error(std::string(what) + " does not fit in 32 bits: " + text, 2);
    return false;
  }
  value = static_cast<uint32_t>(v);
  return true;
}

struct NamesArgs {
  std::string type, mask;
  bool specialOnly = false;
};

int RunNames(const NamesArgs& a) {
  uint32_t type, mask;
  if (!ParseUInt32(a.type, "TYPE", type) || !ParseUInt32(a.mask, "MASK", mask)) return 2;
  std::cout << OVOObjectRights::GetShortRightNames(type, mask, a.specialOnly) << "\n";
  return 0;
}

struct SupportedArgs {
  std::string type, unitMask, guid;
};

int RunSupported(const SupportedArgs& a) {
  uint32_t type;
  if (!ParseUInt32(a.type, "TYPE", type)) return 2;
  const bool withObject = !a.unitMask.empty() || !a.guid.empty();
  orvacmn::SecurableObjectInfo object{a.guid, 0};
  if (!a.unitMask.empty() && !ParseUInt32(a.unitMask, "--unit-mask", object.supportedObjects)) return 2;
  std::cout << ovo::Hex(OVOObjectRights::GetSupportedSpecialRights(type, withObject ? &object : nullptr)) << "\n";
  return 0;
}

// A number (optionally negative) goes through the range rule; a text must be
// one of the level texts, case ignored.
int RunRelease(const std::string& arg) {
  static constexpr OVOReleaseLevel::EReleaseLevel kLevels[] = {
      OVOReleaseLevel::eCancelled, OVOReleaseLevel::eNotSpecified, OVOReleaseLevel::eNotReleased,
      OVOReleaseLevel::eReleasedForTest, OVOReleaseLevel::eReleased};
  OVOReleaseLevel level;
  uint64_t number = 0;
  const bool negative = arg.size() > 1 && arg[0] == '-';
  if (ovo::ParseNumber(negative ? arg.substr(1) : arg, number)) {
    // Anything beyond 32 bits is out of range as well.
    level = (negative || number > 500) ? 0 : static_cast<int>(number);
  } else {
    bool found = false;
    for (OVOReleaseLevel::EReleaseLevel l : kLevels) {
      if (OFL::EqualsNoCase(arg, OVOReleaseLevel::GetTextualDescription(l))) {
        level = l;
        found = true;
        break;
      }
    }
    if (!found) return ovo::Error("unknown release level: " + arg);
  }
  std::cout << level.ToString() << "\t" << OVOReleaseLevel::GetTextualDescription(level.Value()) << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* rights = app.add_subcommand("rights", "Rights short names, masks and supported special rights");
  rights->require_subcommand(1);

  auto names = std::make_shared<NamesArgs>();
  auto* cmd = rights->add_subcommand("names", "Short names of the rights in MASK for object type TYPE");
  cmd->add_option("TYPE", names->type, "Object type (5 unit, 32 OS, 33 application, 40 job, 50 group, ...)")
      ->required()
      ->check(ovo::NumberValidator());
  cmd->add_option("MASK", names->mask, "Rights mask")->required()->check(ovo::NumberValidator());
  cmd->add_flag("--special-only", names->specialOnly, "Leave out F, R, W and X");
  cmd->callback([names, &exitCode] { exitCode = RunNames(*names); });

  auto text = std::make_shared<std::string>();
  cmd = rights->add_subcommand("mask", "Rights mask (hex) of a short-name text such as F,Job:AssignTrg");
  cmd->add_option("TEXT", *text, "Short names separated by ','")->required();
  cmd->callback([text, &exitCode] {
    std::cout << ovo::Hex(OVOObjectRights::GetRightsFromNames(0, *text)) << "\n";
    exitCode = 0;
  });

  auto supported = std::make_shared<SupportedArgs>();
  cmd = rights->add_subcommand("supported", "Special rights (hex) that object type TYPE supports");
  cmd->add_option("TYPE", supported->type, "Object type")->required()->check(ovo::NumberValidator());
  cmd->add_option("--unit-mask", supported->unitMask, "SupportedObjects mask of a concrete unit")
      ->check(ovo::NumberValidator());
  cmd->add_option("--guid", supported->guid, "GUID of a concrete unit or application");
  cmd->callback([supported, &exitCode] { exitCode = RunSupported(*supported); });

  auto level = std::make_shared<std::string>();
  cmd = app.add_subcommand("release", "Release level of a number or an English level text");
  cmd->add_option("LEVEL", *level, "100..500, or a text such as \"released for test\"")->required();
  cmd->callback([level, &exitCode] { exitCode = RunRelease(*level); });
}

const ovo::Registration reg(80, Register);

}  // namespace
