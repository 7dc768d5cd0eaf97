// ovo os ...: OS type bit sets, names and Windows versions.
#include <iostream>

#include "orvacmn/common/ovo_helper.h"
#include "ovo.h"

namespace {

using orvacmn::OVOHelper;

// A number that fits 32 bits, as the version conversions take them.
const CLI::Validator& Number32Validator() {
  static const CLI::Validator v(
      [](std::string& s) {
        uint64_t n;
        if (!ovo::ParseNumber(s, n) || n > UINT32_MAX) return "not a 32-bit decimal or 0x hexadecimal number: " + s;
        return std::string();
      },
      "NUMBER32");
  return v;
}

uint64_t Num(const std::string& s) {
  uint64_t n = 0;
  ovo::ParseNumber(s, n);  // already checked by the validator
  return n;
}

const char* Bool(bool b) { return b ? "true" : "false"; }

struct Args {
  std::string bits, bits2, text, arch;
  std::string major, minor, build, flags;
};

// One subcommand taking BITS and printing `print(bits)`.
template <class F>
void AddBitsCommand(CLI::App& os, int& exitCode, const std::shared_ptr<Args>& a, const char* name,
                    const char* help, F print) {
  auto* cmd = os.add_subcommand(name, help);
  cmd->add_option("BITS", a->bits, "OS type bit set (decimal or 0x hex)")->required()->check(ovo::NumberValidator());
  cmd->callback([a, &exitCode, print] {
    std::cout << print(Num(a->bits)) << "\n";
    exitCode = 0;
  });
}

void Register(CLI::App& app, int& exitCode) {
  auto a = std::make_shared<Args>();
  auto* os = app.add_subcommand("os", "Convert OS type bit sets, names and Windows versions");
  os->require_subcommand(1);

  AddBitsCommand(*os, exitCode, a, "names", "Short names of the bits (\"Any\" for 0xFFFFFF)",
                 [](uint64_t b) { return OVOHelper::OSType_DWord_to_String(b); });
  AddBitsCommand(*os, exitCode, a, "long", "Long name of a single bit (empty if none)",
                 [](uint64_t b) { return OVOHelper::OSType_DWord_to_StringLong(b); });
  AddBitsCommand(*os, exitCode, a, "hex", "Upper-case hexadecimal without prefix",
                 [](uint64_t b) { return OVOHelper::OSType_DWord_to_HexString(b); });
  AddBitsCommand(*os, exitCode, a, "base", "32-bit counterpart of an x64 bit",
                 [](uint64_t b) { return ovo::Hex(OVOHelper::OSType_GetBase(b)); });
  AddBitsCommand(*os, exitCode, a, "pe", "true for releases deployed from a pre-installation environment",
                 [](uint64_t b) { return std::string(Bool(OVOHelper::OSType_IsPEBased(b))); });

  auto* bits = os->add_subcommand("bits", "Bit set of ','-separated short or long names, or \"Any\"");
  bits->add_option("TEXT", a->text, "Names")->required();
  bits->callback([a, &exitCode] {
    std::cout << ovo::Hex(OVOHelper::OSType_String_to_DWord(a->text)) << "\n";
    exitCode = 0;
  });

  auto* arch = os->add_subcommand("arch", "Bits of 32-bit releases translated to an architecture");
  arch->add_option("BITS", a->bits, "OS type bit set")->required()->check(ovo::NumberValidator());
  arch->add_option("ARCH", a->arch, "x86, x64 or ia64")->required();
  arch->callback([a, &exitCode] {
    std::cout << ovo::Hex(OVOHelper::TranslateOSTypesByArch(Num(a->bits), a->arch)) << "\n";
    exitCode = 0;
  });

  auto* version = os->add_subcommand("version", "OS type bit and sub-type of a Windows version");
  version->add_option("MAJOR", a->major, "Major version")->required()->check(Number32Validator());
  version->add_option("MINOR", a->minor, "Minor version")->required()->check(Number32Validator());
  version->add_option("BUILD", a->build, "Build number")->required()->check(Number32Validator());
  version->add_option("FLAGS", a->flags, "Product flags: 0x80000000 server, 0x40000000 workstation, suite mask")
      ->required()
      ->check(Number32Validator());
  version->add_option("ARCH", a->arch, "Architecture text")->required();
  version->callback([a, &exitCode] {
    const auto ma = uint32_t(Num(a->major)), mi = uint32_t(Num(a->minor)), b = uint32_t(Num(a->build)),
               f = uint32_t(Num(a->flags));
    std::cout << ovo::Hex(OVOHelper::OSType_From_WinVer(ma, mi, b, f, a->arch)) << "\t"
              << OVOHelper::OSSubType_VerToString(ma, mi, b, f, a->arch) << "\n";
    exitCode = 0;
  });

  auto* supported = os->add_subcommand("supported", "true when two bit sets share a bit (bit 63 in both: false)");
  supported->add_option("A", a->bits, "First bit set")->required()->check(ovo::NumberValidator());
  supported->add_option("B", a->bits2, "Second bit set")->required()->check(ovo::NumberValidator());
  supported->callback([a, &exitCode] {
    std::cout << Bool(OVOHelper::IsOSSupported(Num(a->bits), Num(a->bits2))) << "\n";
    exitCode = 0;
  });
}

const ovo::Registration reg(40, Register);

}  // namespace
