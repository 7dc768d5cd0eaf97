#include <gtest/gtest.h>

#include <random>
#include <utility>

#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace {

using H = OVOHelper;

// The rows' short names and bits in table order (NT4 last although its bit is the lowest).
constexpr const char* kAllShortNames =
    "W2000,XP,XP_x64,W2003,W2003_x64,Vista,Vista_x64,W2008,W2008_x64,Win7,Win7_x64,W2008R2_x64,Win8,Win8_x64,"
    "W2012_x64,Win10,Win10_x64,W2016_x64,W2019_x64,Win11_x64,W2022_x64,NT4";
constexpr uint64_t kBitsInOrder[] = {0x2,     0x4,     0x100,   0x8,      0x200,    0x10,     0x400,    0x20,
                                     0x800,   0x40,    0x1000,  0x2000,   0x4000,   0x10000,  0x20000,  0x40000,
                                     0x80000, 0x100000, 0x200000, 0x400000, 0x800000, 0x1};
constexpr uint64_t kNamedBits = 0xFF7F7F;  // the 24 low bits but 0x80 and 0x8000
// (32-bit release, its x64 counterpart).
constexpr std::pair<uint64_t, uint64_t> kArchPairs[] = {{0x4, 0x100},  {0x8, 0x200},   {0x10, 0x400},
                                                        {0x20, 0x800}, {0x40, 0x1000}, {0x80, 0x2000},
                                                        {0x4000, 0x10000}, {0x8000, 0x20000}, {0x40000, 0x80000}};

TEST(OSTypeTable, RowsNamesAndBits) {
  const OS_TYPE* rows = H::GetOSTypesPtr();
  size_t n = 0;
  for (; rows[n].shortName; ++n) {
    const OS_TYPE& r = rows[n];
    SCOPED_TRACE(r.shortName);
    ASSERT_LT(n, std::size(kBitsInOrder));
    EXPECT_EQ(r.type, kBitsInOrder[n]);
    EXPECT_EQ(r.flag, r.type > 0x2 ? 1u : 0u);  // 0 for NT4 and Windows 2000 only
    EXPECT_EQ(H::OSType_DWord_to_StringLong(r.type), r.longName);
    EXPECT_EQ(H::OSType_String_to_DWord(r.shortName), r.type);
    EXPECT_EQ(H::OSType_String_to_DWord(r.longName), r.type);
  }
  EXPECT_EQ(n, std::size(kBitsInOrder));
  EXPECT_EQ(rows[n].longName, nullptr);
  EXPECT_EQ(rows[n].type, 0u);
  EXPECT_EQ(H::OSType_DWord_to_String(kNamedBits), kAllShortNames);
  for (auto [bit, name] : {std::pair<uint64_t, const char*>{0x1, "Windows NT4"}, {0x100, "Windows XP (x64)"},
                           {0x2000, "Windows Server 2008 R2"}, {0x400000, "Windows 11"}})
    EXPECT_EQ(H::OSType_DWord_to_StringLong(bit), name);
}

TEST(OSSubTypeTable, RowsAndNames) {
  size_t n = 0;
  for (const OS_SUB_TYPE* r = H::GetOSSubTypesPtr(); r->shortName; ++r, ++n) {
    SCOPED_TRACE(r->shortName);
    EXPECT_EQ(r->flag2, r->type > 0x2 ? 1u : 0u);
    EXPECT_EQ(r->flag1, r->type > 0x2 && String(r->shortName) != "WEPOS" ? 1u : 0u);
    // Long names are unique, so each short name comes back; names ignore case.
    EXPECT_EQ(H::OSSubType_LongToShort(r->longName), r->shortName);
    EXPECT_EQ(H::OSSubType_ShortToLong(OFL::ToLower(r->shortName)), r->longName);
    EXPECT_EQ(H::OSSubTypeShortStringToOSType(OFL::ToLower(r->shortName)), r->type);
    EXPECT_NE(H::OSType_DWord_to_StringLong(r->type), "");
  }
  EXPECT_EQ(n, 33u);
  EXPECT_EQ(H::OSSubType_LongToShort("windows server 2003, web edition (X64)"), "W2K3SRVWEB_X64");
  EXPECT_EQ(H::OSSubType_ShortToLong("XPTABLET"), "Windows XP Tablet PC Edition");
  EXPECT_EQ(H::OSSubType_ShortToLong("WEPOS"), "Windows Embedded Point of Service (XP)");
  for (const char* name : {"NT4", "", "WIN7SERVER", "XPPRO "}) {
    EXPECT_EQ(H::OSSubType_ShortToLong(name), "") << name;
    EXPECT_EQ(H::OSSubTypeShortStringToOSType(name), 0u) << name;
  }
  EXPECT_EQ(H::OSSubType_LongToShort("Windows XP"), "");
}

TEST(OSTypeToString, ShortLongAndHex) {
  const String all = kAllShortNames;
  const std::pair<uint64_t, String> shortCases[] = {
      {0xFFFFFF, "Any"}, {0x1FFFFFF, all}, {~0ull, all}, {0xFFFFFF | (1ull << 40), all},  // only exactly 0xFFFFFF
      {0, ""}, {0x80, ""}, {0x8000, ""}, {0x8080, ""}, {0x1000000, ""}, {0xFFFFFFFF00000000ull, ""},
      {0x10B, "W2000,XP_x64,W2003,NT4"}, {0xC0080, "Win10,Win10_x64"},  // table order, not bit order
  };
  for (const auto& [v, text] : shortCases) EXPECT_EQ(H::OSType_DWord_to_String(v), text) << std::hex << v;
  for (uint64_t v : {0x104ull, 0x80ull, 0ull, 0xFFFFFFull, 0x4 | (1ull << 32)})  // exactly one row, or nothing
    EXPECT_EQ(H::OSType_DWord_to_StringLong(v), "") << std::hex << v;
  EXPECT_EQ(H::OSType_DWord_to_HexString(0), "0");
  EXPECT_EQ(H::OSType_DWord_to_HexString(0xabc), "ABC");
  EXPECT_EQ(H::OSType_DWord_to_HexString(0xFEDCBA9876543210ull), "FEDCBA9876543210");
}

TEST(OSTypeFromString, NamesCompareExactlyAndRoundTrip) {
  const std::pair<String, uint64_t> cases[] = {
      {"Win7,Windows 10", 0x40040}, {"Windows 11,NT4,W2022_x64", 0xC00001}, {"XP,XP,Windows XP", 0x4},
      {",XP,,Vista,", 0x14}, {"Any", 0xFFFFFF}, {"any", 0}, {"Any,XP", 0x4}, {"xp", 0}, {"windows 7", 0},
      {"Win7, Win8", 0x40}, {"", 0}, {",", 0}, {"Win", 0}, {"Win7;Win8", 0}, {String("Win7\0", 5), 0},
  };
  for (const auto& [text, v] : cases) EXPECT_EQ(H::OSType_String_to_DWord(text), v) << text;
  // Random bit sets round-trip through their short names.
  std::mt19937_64 rng(20240611);
  for (int i = 0; i < 2000; ++i) {
    const uint64_t v = i == 0 ? 0xFFFFFF : rng(), low = v & 0xFFFFFF;
    EXPECT_EQ(H::OSType_String_to_DWord(H::OSType_DWord_to_String(v)), v == 0xFFFFFF ? v : v & kNamedBits)
        << std::hex << v;
    EXPECT_EQ(H::OSType_String_to_DWord(H::OSType_DWord_to_String(low)), low == 0xFFFFFF ? low : low & kNamedBits);
  }
}

TEST(OSTypeBase, X64BitsMapToTheir32BitCounterpartsAndPEFollowsTheBase) {
  for (auto [base, x64] : kArchPairs) {
    EXPECT_EQ(H::OSType_GetBase(x64), base) << std::hex << x64;
    EXPECT_EQ(H::TranslateOSTypesByArch(base, "x64"), x64);
    EXPECT_EQ(H::TranslateOSTypesByArch(base, "X86"), base);
  }
  for (uint64_t v : {0x0ull, 0x1ull, 0x4ull, 0x80ull, 0x8000ull, 0x100000ull, 0x800000ull, 0x1100ull, 0x300ull,
                     0x1000000ull, 0x100000100ull, 0xFFFFFFull, ~0ull})
    EXPECT_EQ(H::OSType_GetBase(v), v) << std::hex << v;
  // Vista and later boot a pre-installation environment, judged on the base.
  const uint64_t pe = 0xFFFCF0;  // every bit from Vista on: not NT4, 2000, XP, 2003 nor their x64 bits
  for (int bit = 0; bit < 64; ++bit) {
    const uint64_t v = 1ull << bit;
    EXPECT_EQ(H::OSType_IsPEBased(v), (pe & v) != 0) << std::hex << v;
  }
  for (uint64_t v : {0x0ull, 0x50ull, 0xFFFFFFull}) EXPECT_FALSE(H::OSType_IsPEBased(v)) << std::hex << v;
}

struct VersionCase {
  uint32_t major, minor, build, flags;
  const char* arch;
  uint64_t type;
  const char* subType;
};

constexpr uint32_t W = H::kProductWorkstation;
constexpr uint32_t S = H::kProductServer;

const VersionCase kVersionCases[] = {
    {4, 0, 1381, S, "x86", 0x1, "NT4SRV"}, {4, 0, 1381, 0, "x86", 0x1, "NT4WKS"},
    {5, 0, 2195, W, "x86", 0x2, "W2000WKS"}, {5, 0, 2195, S, "x86", 0x2, "W2000SRV"},
    {5, 0, 2195, S | 0x2, "x86", 0x2, "W2000ASV"}, {5, 0, 2195, W | 0x2, "x86", 0x2, "W2000ASV"},
    {5, 1, 2600, S, "x64", 0x4, "XPPRO"}, {5, 2, 3790, W, "x86", 0x8, ""}, {5, 2, 3790, W, "x64", 0x100, "XPPRO_X64"},
    {5, 2, 3790, S, "x86", 0x8, "W2K3SRVSTD"}, {5, 2, 3790, S, "x64", 0x200, "W2K3SRVSTD_X64"},
    {5, 2, 3790, S | 0x2, "x86", 0x8, "W2K3SRVENT"}, {5, 2, 3790, S | 0x2, "X64", 0x200, "W2K3SRVENT_X64"},
    {5, 2, 3790, S | 0x400, "x86", 0x8, "W2K3SRVWEB"}, {5, 2, 3790, S | 0x402, "x86", 0x8, "W2K3SRVENT"},
    {5, 2, 3790, 0, "x64", 0x200, ""}, {6, 0, 6002, W, "x86", 0x10, "VISTABUSINESS"},
    {6, 0, 6002, W, "x64", 0x400, "VISTABUSINESS_X64"}, {6, 0, 6002, S, "x86", 0x20, "W2K8SRV"},
    {6, 0, 6002, S, "x64", 0x800, "W2K8SRV_X64"}, {6, 1, 7601, W, "x86", 0x40, "WIN7CLIENT"},
    {6, 1, 7601, W, "x64", 0x1000, "WIN7CLIENT_X64"}, {6, 1, 7601, S, "x86", 0x80, "WIN7SERVER"},
    {6, 1, 7601, S, "x64", 0x2000, "WIN7SERVER_X64"}, {6, 2, 9200, W, "x86", 0x4000, "WIN8CLIENT"},
    {6, 2, 9200, W, "x64", 0x10000, "WIN8CLIENT_X64"}, {6, 2, 9200, S, "x86", 0x8000, "WIN8SERVER"},
    {6, 2, 9200, S, "x64", 0x20000, "WIN8SERVER_X64"}, {6, 3, 9600, W, "x86", 0x4000, "WIN8CLIENT"},
    {6, 4, 9841, W, "x86", 0x40000, "WIN10CLIENT"}, {6, 4, 9841, S, "x64", 0x100000, "WIN10SERVER_X64"},
    {10, 0, 19045, W, "x86", 0x40000, "WIN10CLIENT"}, {10, 0, 19045, W, "x64", 0x80000, "WIN10CLIENT_X64"},
    {10, 0, 19045, W, "AMD64", 0x40000, "WIN10CLIENT"}, {10, 0, 21999, W, "x64", 0x80000, "WIN10CLIENT_X64"},
    {10, 0, 22000, W, "x64", 0x400000, "WIN11CLIENT_X64"}, {10, 0, 22000, W, "x86", 0x400000, "WIN11CLIENT_X64"},
    {10, 0, 14393, S, "x64", 0x100000, "WIN10SERVER_X64"}, {10, 0, 14393, S, "x86", 0x100000, "WIN10SERVER"},
    {10, 0, 17762, S, "x64", 0x100000, "WIN10SERVER_X64"}, {10, 0, 17763, S, "x64", 0x200000, "WINSRV2019_X64"},
    {10, 0, 17763, S, "x86", 0x200000, "WINSRV2019_X64"}, {10, 0, 20347, S, "x64", 0x200000, "WINSRV2019_X64"},
    {10, 0, 20348, S, "x64", 0x800000, "WINSRV2022_X64"}, {10, 0, 26100, 0, "x64", 0x800000, "WINSRV2022_X64"},
    {10, 0, 19045, W | S, "x64", 0x80000, "WIN10CLIENT_X64"},  // the workstation bit wins
    {3, 51, 1057, W, "x86", 0, ""}, {4, 1, 0, W, "x86", 0, ""}, {5, 3, 0, S, "x86", 0, ""}, {6, 5, 0, W, "x64", 0, ""},
    {10, 1, 22000, W, "x64", 0, ""}, {11, 0, 22000, W, "x64", 0, ""}, {0, 0, 0, 0, "", 0, ""},
};

TEST(OSTypeFromVersion, EveryVersionRow) {
  for (const VersionCase& c : kVersionCases) {
    SCOPED_TRACE(::testing::Message() << c.major << "." << c.minor << "." << c.build << " flags " << std::hex
                                      << c.flags << " " << c.arch);
    EXPECT_EQ(H::OSType_From_WinVer(c.major, c.minor, c.build, c.flags, c.arch), c.type);
    EXPECT_EQ(H::OSSubType_VerToString(c.major, c.minor, c.build, c.flags, c.arch), c.subType);
    // Where the sub-type has a row, its bit is the version's type.
    if (const uint64_t bit = H::OSSubTypeShortStringToOSType(c.subType)) {
      EXPECT_EQ(bit, c.type);
    }
  }
  // The caller's road for reported architectures.
  EXPECT_EQ(H::OSType_From_WinVer(10, 0, 19045, W, H::TranslateArchitecture("AMD64")), 0x80000u);
}

TEST(OSTypeFromVersion, VersionObjectUsesTypeAndSuiteMask) {
  const std::pair<OFLOSVersion, uint64_t> types[] = {
      {{10, 0, 19045, 1, "x64"}, 0x80000}, {{10, 0, 14393, 3, "x64"}, 0x100000}, {{10, 0, 20348, 2, "x64"}, 0x800000},
      {{6, 1, 7601, 0, "x86"}, 0x80}, {{10, 0, 22000, 1, "AMD64"}, 0x400000}, {{}, 0}};
  for (const auto& [v, type] : types) EXPECT_EQ(H::OSType_From_OSVersion(v), type) << v.GetBuildNumber();
  const std::pair<OFLOSVersion, const char*> subTypes[] = {
      {{5, 2, 3790, 3, "x64", 0x2}, "W2K3SRVENT_X64"}, {{5, 2, 3790, 2, "x86", 0x400}, "W2K3SRVWEB"},
      {{5, 2, 3790, 1, "x64", 0x2}, "XPPRO_X64"}, {{5, 0, 2195, 1, "x86", 0x2}, "W2000ASV"},
      {{4, 0, 1381, 3, "x86"}, "NT4SRV"}, {{10, 0, 17763, 3, "x64"}, "WINSRV2019_X64"},
      // The suite mask is ORed in unfiltered: 0x40000000 in it turns a server into a workstation.
      {{10, 0, 19045, 3, "x64", 0x40000000}, "WIN10CLIENT_X64"}};
  for (const auto& [v, sub] : subTypes) EXPECT_EQ(H::OSSubType_VerToString(v), sub) << v.GetBuildNumber();
}

TEST(TranslateByArch, Architectures) {
  struct Case { uint64_t types; const char* arch; uint64_t want; } const cases[] = {
      {0x44, "X64", 0x1100}, {0x44, "ia64", 0}, {0x44, "IA64", 0}, {0x44, "x86", 0x44}, {0x44, "", 0x44},
      {0x44, "amd64", 0x44},  // only the text x64 counts
      // NT4 always, Windows 2000 not on x64/ia64, x64-only releases only on x64; x64 input bits are not carried.
      {0x3, "x64", 0x1}, {0x3, "ia64", 0x1}, {0x3, "x86", 0x3}, {0xF00000, "x64", 0xF00000}, {0xF00000, "x86", 0},
      {0xF00000, "ia64", 0}, {0x100, "x86", 0}, {0x100, "x64", 0}, {1ull << 40, "x64", 0}, {~0ull, "ia64", 0x1},
      {~0ull, "x64", 0x1 | 0x100 | 0x200 | 0x400 | 0x800 | 0x1000 | 0x2000 | 0x10000 | 0x20000 | 0x80000 | 0xF00000},
      {~0ull, "x86", 0x1 | 0x2 | 0x4 | 0x8 | 0x10 | 0x20 | 0x40 | 0x80 | 0x4000 | 0x8000 | 0x40000},
  };
  for (const Case& c : cases)
    EXPECT_EQ(H::TranslateOSTypesByArch(c.types, c.arch), c.want) << std::hex << c.types << " " << c.arch;
  for (auto [in, out] : {std::pair<const char*, const char*>{"x86", "x86"}, {"X86", "x86"}, {"AMD64", "x64"},
                         {"amd64", "x64"}, {"X64", "x64"}, {"ia64", "ia64"}, {"Arm64", "Arm64"}, {"", ""},
                         {" x86", " x86"}})
    EXPECT_EQ(H::TranslateArchitecture(in), out) << in;
}

TEST(IsOSSupported, SharedBitsAndTheBit63Rule) {
  const uint64_t top = 1ull << 63;
  struct Case { uint64_t a, b; bool want; } const cases[] = {
      {0x44, 0x40, true}, {0x4, 0x8, false}, {0, 0, false}, {0xFFFFFF, 0x800000, true}, {1ull << 40, 1ull << 40, true},
      {top | 0x4, top | 0x4, false}, {top, top, false}, {~0ull, ~0ull, false}, {top | 0x4, 0x4, true},
      {0x80000000u, 0x80000000u, true}, {(1ull << 62) | 0x4, (1ull << 62) | 0x4, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(H::IsOSSupported(c.a, c.b), c.want) << std::hex << c.a << " " << c.b;
    EXPECT_EQ(H::IsOSSupported(c.b, c.a), c.want) << std::hex << c.a << " " << c.b;
  }
}

}  // namespace
}  // namespace orvacmn
