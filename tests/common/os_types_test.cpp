#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace {

struct TypeRow {
  const char* shortName;
  const char* longName;
  uint64_t bit;
  uint32_t flag;
};

const std::vector<TypeRow> kExpectedTypes = {
    {"W2000", "Windows 2000", 0x2, 0},
    {"XP", "Windows XP", 0x4, 1},
    {"XP_x64", "Windows XP (x64)", 0x100, 1},
    {"W2003", "Windows Server 2003", 0x8, 1},
    {"W2003_x64", "Windows Server 2003 (x64)", 0x200, 1},
    {"Vista", "Windows Vista", 0x10, 1},
    {"Vista_x64", "Windows Vista (x64)", 0x400, 1},
    {"W2008", "Windows Server 2008", 0x20, 1},
    {"W2008_x64", "Windows Server 2008 (x64)", 0x800, 1},
    {"Win7", "Windows 7", 0x40, 1},
    {"Win7_x64", "Windows 7 (x64)", 0x1000, 1},
    {"W2008R2_x64", "Windows Server 2008 R2", 0x2000, 1},
    {"Win8", "Windows 8", 0x4000, 1},
    {"Win8_x64", "Windows 8 (x64)", 0x10000, 1},
    {"W2012_x64", "Windows Server 2012", 0x20000, 1},
    {"Win10", "Windows 10", 0x40000, 1},
    {"Win10_x64", "Windows 10 (x64)", 0x80000, 1},
    {"W2016_x64", "Windows Server 2016", 0x100000, 1},
    {"W2019_x64", "Windows Server 2019", 0x200000, 1},
    {"Win11_x64", "Windows 11", 0x400000, 1},
    {"W2022_x64", "Windows Server 2022", 0x800000, 1},
    {"NT4", "Windows NT4", 0x1, 0},
};

struct SubTypeRow {
  const char* shortName;
  const char* longName;
  uint64_t bit;
  uint32_t flag1, flag2;
};

const std::vector<SubTypeRow> kExpectedSubTypes = {
    {"NT4WKS", "Windows NT4 Workstation", 0x1, 0, 0},
    {"NT4SRV", "Windows NT4 Server", 0x1, 0, 0},
    {"NT4PDC", "Windows NT4 PDC", 0x1, 0, 0},
    {"NT4BDC", "Windows NT4 BDC", 0x1, 0, 0},
    {"W2000WKS", "Windows 2000 Professional", 0x2, 0, 0},
    {"W2000SRV", "Windows 2000 Server", 0x2, 0, 0},
    {"W2000ASV", "Windows 2000 Advanced Server", 0x2, 0, 0},
    {"XPPRO", "Windows XP Professional", 0x4, 1, 1},
    {"XPPRO_X64", "Windows XP Professional (x64)", 0x100, 1, 1},
    {"XPTABLET", "Windows XP Tablet PC Edition", 0x4, 1, 1},
    {"WEPOS", "Windows Embedded Point of Service (XP)", 0x4, 0, 1},
    {"W2K3SRVSTD", "Windows Server 2003, Standard Edition", 0x8, 1, 1},
    {"W2K3SRVENT", "Windows Server 2003, Enterprise Edition", 0x8, 1, 1},
    {"W2K3SRVWEB", "Windows Server 2003, Web Edition", 0x8, 1, 1},
    {"W2K3SRVSTD_X64", "Windows Server 2003, Standard Edition (x64)", 0x200, 1, 1},
    {"W2K3SRVENT_X64", "Windows Server 2003, Enterprise Edition (x64)", 0x200, 1, 1},
    {"W2K3SRVWEB_X64", "Windows Server 2003, Web Edition (x64)", 0x200, 1, 1},
    {"VISTABUSINESS", "Windows Vista", 0x10, 1, 1},
    {"VISTABUSINESS_X64", "Windows Vista (x64)", 0x400, 1, 1},
    {"W2K8SRV", "Windows Server 2008", 0x20, 1, 1},
    {"W2K8SRV_X64", "Windows Server 2008 (x64)", 0x800, 1, 1},
    {"WIN7CLIENT", "Windows 7", 0x40, 1, 1},
    {"WIN7CLIENT_X64", "Windows 7 (x64)", 0x1000, 1, 1},
    {"WIN7SERVER_X64", "Windows Server 2008 R2", 0x2000, 1, 1},
    {"WIN8CLIENT", "Windows 8", 0x4000, 1, 1},
    {"WIN8CLIENT_X64", "Windows 8 (x64)", 0x10000, 1, 1},
    {"WIN8SERVER_X64", "Windows Server 2012", 0x20000, 1, 1},
    {"WIN10CLIENT", "Windows 10", 0x40000, 1, 1},
    {"WIN10CLIENT_X64", "Windows 10 (x64)", 0x80000, 1, 1},
    {"WIN10SERVER_X64", "Windows Server 2016", 0x100000, 1, 1},
    {"WINSRV2019_X64", "Windows Server 2019", 0x200000, 1, 1},
    {"WIN11CLIENT_X64", "Windows 11", 0x400000, 1, 1},
    {"WINSRV2022_X64", "Windows Server 2022", 0x800000, 1, 1},
};

// The bits that have a row: the 24 low bits except 0x80 and 0x8000.
constexpr uint64_t kNamedBits = 0xFF7F7F;

TEST(OSTypeTable, RowsAreCompleteAndInOrder) {
  const OS_TYPE* rows = OVOHelper::GetOSTypesPtr();
  size_t n = 0;
  for (; rows[n].shortName != nullptr; ++n) {
    ASSERT_LT(n, kExpectedTypes.size());
    EXPECT_STREQ(rows[n].shortName, kExpectedTypes[n].shortName) << n;
    EXPECT_STREQ(rows[n].longName, kExpectedTypes[n].longName) << n;
    EXPECT_EQ(rows[n].type, kExpectedTypes[n].bit) << n;
    EXPECT_EQ(rows[n].flag, kExpectedTypes[n].flag) << n;
  }
  EXPECT_EQ(n, 22u);
  EXPECT_EQ(rows[n].longName, nullptr);
  EXPECT_EQ(rows[n].type, 0u);
  EXPECT_EQ(OVOHelper::GetOSTypesPtr(), rows);
}

TEST(OSTypeTable, BitsAreDistinctSingleBitsCoveringTheNamedMask) {
  uint64_t all = 0;
  for (const OS_TYPE* r = OVOHelper::GetOSTypesPtr(); r->shortName; ++r) {
    EXPECT_EQ(r->type & (r->type - 1), 0u) << r->shortName;
    EXPECT_EQ(all & r->type, 0u) << r->shortName;
    all |= r->type;
  }
  EXPECT_EQ(all, kNamedBits);
}

TEST(OSSubTypeTable, RowsAreCompleteAndInOrder) {
  const OS_SUB_TYPE* rows = OVOHelper::GetOSSubTypesPtr();
  size_t n = 0;
  for (; rows[n].shortName != nullptr; ++n) {
    ASSERT_LT(n, kExpectedSubTypes.size());
    EXPECT_STREQ(rows[n].shortName, kExpectedSubTypes[n].shortName) << n;
    EXPECT_STREQ(rows[n].longName, kExpectedSubTypes[n].longName) << n;
    EXPECT_EQ(rows[n].type, kExpectedSubTypes[n].bit) << n;
    EXPECT_EQ(rows[n].flag1, kExpectedSubTypes[n].flag1) << n;
    EXPECT_EQ(rows[n].flag2, kExpectedSubTypes[n].flag2) << n;
  }
  EXPECT_EQ(n, 33u);
  EXPECT_EQ(rows[n].longName, nullptr);
}

TEST(OSTypeToString, AnyAndAllNames) {
  EXPECT_EQ(OVOHelper::OSType_DWord_to_String(0xFFFFFF), "Any");
  String all;
  for (const TypeRow& r : kExpectedTypes) all += (all.empty() ? "" : ",") + String(r.shortName);
  EXPECT_EQ(OVOHelper::OSType_DWord_to_String(0x1FFFFFF), all);
  EXPECT_EQ(OVOHelper::OSType_DWord_to_String(0xFFFFFFFFFFFFFFFFull), all);
  // Only the exact value is "Any"; the unnamed bits alone name nothing.
  EXPECT_EQ(OVOHelper::OSType_DWord_to_String(kNamedBits), all);
  EXPECT_EQ(OVOHelper::OSType_DWord_to_String(0xFFFFFF | (1ull << 40)), all);
}

TEST(OSTypeToString, UnnamedBitsGiveEmptyText) {
  EXPECT_EQ(OVOHelper::OSType_DWord_to_String(0), "");
  EXPECT_EQ(OVOHelper::OSType_DWord_to_String(0x80), "");
  EXPECT_EQ(OVOHelper::OSType_DWord_to_String(0x8000), "");
  EXPECT_EQ(OVOHelper::OSType_DWord_to_String(0x8080), "");
  EXPECT_EQ(OVOHelper::OSType_DWord_to_String(0x1000000), "");
  EXPECT_EQ(OVOHelper::OSType_DWord_to_String(0xFFFFFFFF00000000ull), "");
}

TEST(OSTypeToString, TableOrderNotBitOrder) {
  // NT4 is the last row although its bit is the lowest.
  EXPECT_EQ(OVOHelper::OSType_DWord_to_String(0x1 | 0x2 | 0x100 | 0x8), "W2000,XP_x64,W2003,NT4");
  EXPECT_EQ(OVOHelper::OSType_DWord_to_String(0x80000 | 0x40000 | 0x80), "Win10,Win10_x64");
}

TEST(OSTypeToString, LongNameOnlyForExactlyOneRow) {
  for (const TypeRow& r : kExpectedTypes) EXPECT_EQ(OVOHelper::OSType_DWord_to_StringLong(r.bit), r.longName);
  EXPECT_EQ(OVOHelper::OSType_DWord_to_StringLong(0x104), "");
  EXPECT_EQ(OVOHelper::OSType_DWord_to_StringLong(0x80), "");
  EXPECT_EQ(OVOHelper::OSType_DWord_to_StringLong(0), "");
  EXPECT_EQ(OVOHelper::OSType_DWord_to_StringLong(0xFFFFFF), "");
  EXPECT_EQ(OVOHelper::OSType_DWord_to_StringLong(0x4 | (1ull << 32)), "");
}

TEST(OSTypeToString, HexUpperCaseWithoutPrefix) {
  EXPECT_EQ(OVOHelper::OSType_DWord_to_HexString(0), "0");
  EXPECT_EQ(OVOHelper::OSType_DWord_to_HexString(0xFFFFFF), "FFFFFF");
  EXPECT_EQ(OVOHelper::OSType_DWord_to_HexString(0xabc), "ABC");
  EXPECT_EQ(OVOHelper::OSType_DWord_to_HexString(0xFEDCBA9876543210ull), "FEDCBA9876543210");
}

TEST(OSTypeFromString, SingleNamesRoundTrip) {
  for (const TypeRow& r : kExpectedTypes) {
    EXPECT_EQ(OVOHelper::OSType_String_to_DWord(r.shortName), r.bit) << r.shortName;
    EXPECT_EQ(OVOHelper::OSType_String_to_DWord(r.longName), r.bit) << r.longName;
    EXPECT_EQ(OVOHelper::OSType_String_to_DWord(OVOHelper::OSType_DWord_to_String(r.bit)), r.bit);
    EXPECT_EQ(OVOHelper::OSType_String_to_DWord(OVOHelper::OSType_DWord_to_StringLong(r.bit)), r.bit);
  }
}

TEST(OSTypeFromString, RandomBitSetsRoundTripThroughShortNames) {
  std::mt19937_64 rng(20240611);
  for (int i = 0; i < 2000; ++i) {
    const uint64_t v = rng();
    const uint64_t low = v & 0xFFFFFF;
    const uint64_t expected = low == 0xFFFFFF && v == low ? 0xFFFFFF : v & kNamedBits;
    EXPECT_EQ(OVOHelper::OSType_String_to_DWord(OVOHelper::OSType_DWord_to_String(v)), expected) << std::hex << v;
    EXPECT_EQ(OVOHelper::OSType_String_to_DWord(OVOHelper::OSType_DWord_to_String(low)),
              low == 0xFFFFFF ? 0xFFFFFF : low & kNamedBits);
  }
}

TEST(OSTypeFromString, MixedShortAndLongNames) {
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord("Win7,Windows 10"), 0x40040u);
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord("Windows 11,NT4,W2022_x64"), 0xC00001u);
  // Repeats count once.
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord("XP,XP,Windows XP"), 0x4u);
  // Empty parts are ignored.
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord(",XP,,Vista,"), 0x14u);
}

TEST(OSTypeFromString, NamesCompareExactly) {
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord("Any"), 0xFFFFFFu);
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord("any"), 0u);
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord("ANY"), 0u);
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord("Any,XP"), 0x4u);  // "Any" only as the whole text
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord("xp"), 0u);
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord("windows 7"), 0u);
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord("Win7, Win8"), 0x40u);
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord(""), 0u);
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord(","), 0u);
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord("Win"), 0u);
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord("Win7;Win8"), 0u);
  EXPECT_EQ(OVOHelper::OSType_String_to_DWord(String("Win7\0", 5)), 0u);
}

TEST(OSTypeBase, X64BitsMapToTheir32BitCounterparts) {
  const std::pair<uint64_t, uint64_t> pairs[] = {
      {0x100, 0x4},     {0x200, 0x8},       {0x400, 0x10},      {0x800, 0x20},       {0x1000, 0x40},
      {0x2000, 0x80},   {0x10000, 0x4000},  {0x20000, 0x8000},  {0x80000, 0x40000},  {0x100000, 0x100000},
      {0x200000, 0x200000}, {0x400000, 0x400000}, {0x800000, 0x800000}};
  for (auto [x64, base] : pairs) EXPECT_EQ(OVOHelper::OSType_GetBase(x64), base) << std::hex << x64;
}

TEST(OSTypeBase, EverythingElseUnchanged) {
  for (uint64_t v : {0x0ull, 0x1ull, 0x2ull, 0x4ull, 0x8ull, 0x10ull, 0x80ull, 0x4000ull, 0x8000ull, 0x40000ull,
                     0x1100ull, 0x300ull, 0x1000000ull, 0x100000000ull, 0x100000100ull, 0xFFFFFFull,
                     0xFFFFFFFFFFFFFFFFull})
    EXPECT_EQ(OVOHelper::OSType_GetBase(v), v) << std::hex << v;
}

TEST(OSTypePE, VistaAndLaterOnly) {
  const std::set<uint64_t> pe = {0x10,    0x400,   0x20,     0x800,    0x40,     0x1000,  0x2000,  0x80,
                                 0x4000,  0x10000, 0x8000,   0x20000,  0x40000,  0x80000, 0x100000, 0x200000,
                                 0x400000, 0x800000};
  for (int bit = 0; bit < 64; ++bit) {
    const uint64_t v = 1ull << bit;
    EXPECT_EQ(OVOHelper::OSType_IsPEBased(v), pe.count(v) == 1) << std::hex << v;
  }
  EXPECT_TRUE(OVOHelper::OSType_IsPEBased(0x80000));
  EXPECT_FALSE(OVOHelper::OSType_IsPEBased(0x4));
  EXPECT_FALSE(OVOHelper::OSType_IsPEBased(0x0));
  EXPECT_FALSE(OVOHelper::OSType_IsPEBased(0x50));  // two bits: no single base
  EXPECT_FALSE(OVOHelper::OSType_IsPEBased(0xFFFFFF));
}

struct VersionCase {
  uint32_t major, minor, build, flags;
  const char* arch;
  uint64_t type;
  const char* subType;
};

constexpr uint32_t W = OVOHelper::kProductWorkstation;
constexpr uint32_t S = OVOHelper::kProductServer;

const VersionCase kVersionCases[] = {
    {4, 0, 1381, W, "x86", 0x1, "NT4WKS"},
    {4, 0, 1381, S, "x86", 0x1, "NT4SRV"},
    {4, 0, 1381, 0, "x86", 0x1, "NT4WKS"},
    {5, 0, 2195, W, "x86", 0x2, "W2000WKS"},
    {5, 0, 2195, S, "x86", 0x2, "W2000SRV"},
    {5, 0, 2195, S | 0x2, "x86", 0x2, "W2000ASV"},
    {5, 0, 2195, W | 0x2, "x86", 0x2, "W2000ASV"},
    {5, 1, 2600, W, "x86", 0x4, "XPPRO"},
    {5, 1, 2600, S, "x64", 0x4, "XPPRO"},
    {5, 2, 3790, W, "x86", 0x8, ""},
    {5, 2, 3790, W, "x64", 0x100, "XPPRO_X64"},
    {5, 2, 3790, S, "x86", 0x8, "W2K3SRVSTD"},
    {5, 2, 3790, S, "x64", 0x200, "W2K3SRVSTD_X64"},
    {5, 2, 3790, S | 0x2, "x86", 0x8, "W2K3SRVENT"},
    {5, 2, 3790, S | 0x2, "X64", 0x200, "W2K3SRVENT_X64"},
    {5, 2, 3790, S | 0x400, "x86", 0x8, "W2K3SRVWEB"},
    {5, 2, 3790, S | 0x400, "x64", 0x200, "W2K3SRVWEB_X64"},
    {5, 2, 3790, S | 0x402, "x86", 0x8, "W2K3SRVENT"},
    {5, 2, 3790, 0, "x64", 0x200, ""},
    {6, 0, 6002, W, "x86", 0x10, "VISTABUSINESS"},
    {6, 0, 6002, W, "x64", 0x400, "VISTABUSINESS_X64"},
    {6, 0, 6002, S, "x86", 0x20, "W2K8SRV"},
    {6, 0, 6002, S, "x64", 0x800, "W2K8SRV_X64"},
    {6, 1, 7601, W, "x86", 0x40, "WIN7CLIENT"},
    {6, 1, 7601, W, "x64", 0x1000, "WIN7CLIENT_X64"},
    {6, 1, 7601, S, "x86", 0x80, "WIN7SERVER"},
    {6, 1, 7601, S, "x64", 0x2000, "WIN7SERVER_X64"},
    {6, 2, 9200, W, "x86", 0x4000, "WIN8CLIENT"},
    {6, 2, 9200, W, "x64", 0x10000, "WIN8CLIENT_X64"},
    {6, 2, 9200, S, "x86", 0x8000, "WIN8SERVER"},
    {6, 2, 9200, S, "x64", 0x20000, "WIN8SERVER_X64"},
    {6, 3, 9600, W, "x86", 0x4000, "WIN8CLIENT"},
    {6, 3, 9600, S, "x64", 0x20000, "WIN8SERVER_X64"},
    {6, 4, 9841, W, "x86", 0x40000, "WIN10CLIENT"},
    {6, 4, 9841, S, "x64", 0x100000, "WIN10SERVER_X64"},
    {10, 0, 19045, W, "x86", 0x40000, "WIN10CLIENT"},
    {10, 0, 19045, W, "x64", 0x80000, "WIN10CLIENT_X64"},
    {10, 0, 19045, W, "AMD64", 0x40000, "WIN10CLIENT"},
    {10, 0, 21999, W, "x64", 0x80000, "WIN10CLIENT_X64"},
    {10, 0, 22000, W, "x64", 0x400000, "WIN11CLIENT_X64"},
    {10, 0, 22000, W, "x86", 0x400000, "WIN11CLIENT_X64"},
    {10, 0, 22631, W, "arm64", 0x400000, "WIN11CLIENT_X64"},
    {10, 0, 14393, S, "x64", 0x100000, "WIN10SERVER_X64"},
    {10, 0, 14393, S, "x86", 0x100000, "WIN10SERVER"},
    {10, 0, 17762, S, "x64", 0x100000, "WIN10SERVER_X64"},
    {10, 0, 17763, S, "x64", 0x200000, "WINSRV2019_X64"},
    {10, 0, 17763, S, "x86", 0x200000, "WINSRV2019_X64"},
    {10, 0, 20347, S, "x64", 0x200000, "WINSRV2019_X64"},
    {10, 0, 20348, S, "x64", 0x800000, "WINSRV2022_X64"},
    {10, 0, 26100, 0, "x64", 0x800000, "WINSRV2022_X64"},
    // A workstation bit wins over a server bit where both are set.
    {10, 0, 19045, W | S, "x64", 0x80000, "WIN10CLIENT_X64"},
    {3, 51, 1057, W, "x86", 0, ""},
    {4, 1, 0, W, "x86", 0, ""},
    {5, 3, 0, S, "x86", 0, ""},
    {6, 5, 0, W, "x64", 0, ""},
    {10, 1, 22000, W, "x64", 0, ""},
    {11, 0, 22000, W, "x64", 0, ""},
    {0, 0, 0, 0, "", 0, ""},
};

TEST(OSTypeFromVersion, EveryVersionRow) {
  for (const VersionCase& c : kVersionCases) {
    SCOPED_TRACE(::testing::Message() << c.major << "." << c.minor << "." << c.build << " flags " << std::hex
                                    << c.flags << " " << c.arch);
    EXPECT_EQ(OVOHelper::OSType_From_WinVer(c.major, c.minor, c.build, c.flags, c.arch), c.type);
    EXPECT_EQ(OVOHelper::OSSubType_VerToString(c.major, c.minor, c.build, c.flags, c.arch), c.subType);
  }
}

TEST(OSTypeFromVersion, SubTypeAndTypeAgreeWhereTheSubTypeHasARow) {
  for (const VersionCase& c : kVersionCases) {
    const uint64_t bit = OVOHelper::OSSubTypeShortStringToOSType(c.subType);
    if (bit == 0) continue;
    EXPECT_EQ(bit, c.type) << c.subType;
  }
}

TEST(OSTypeFromVersion, VersionObjectUsesTypeAndSuiteMask) {
  EXPECT_EQ(OVOHelper::OSType_From_OSVersion(OFLOSVersion(10, 0, 19045, 1, "x64")), 0x80000u);
  EXPECT_EQ(OVOHelper::OSType_From_OSVersion(OFLOSVersion(10, 0, 14393, 3, "x64")), 0x100000u);
  EXPECT_EQ(OVOHelper::OSType_From_OSVersion(OFLOSVersion(10, 0, 20348, 2, "x64")), 0x800000u);
  EXPECT_EQ(OVOHelper::OSType_From_OSVersion(OFLOSVersion(6, 1, 7601, 0, "x86")), 0x80u);
  EXPECT_EQ(OVOHelper::OSType_From_OSVersion(OFLOSVersion(10, 0, 22000, 1, "AMD64")), 0x400000u);
  EXPECT_EQ(OVOHelper::OSType_From_OSVersion(OFLOSVersion()), 0u);

  EXPECT_EQ(OVOHelper::OSSubType_VerToString(OFLOSVersion(5, 2, 3790, 3, "x64", 0x2)), "W2K3SRVENT_X64");
  EXPECT_EQ(OVOHelper::OSSubType_VerToString(OFLOSVersion(5, 2, 3790, 2, "x86", 0x400)), "W2K3SRVWEB");
  EXPECT_EQ(OVOHelper::OSSubType_VerToString(OFLOSVersion(5, 2, 3790, 1, "x64", 0x2)), "XPPRO_X64");
  EXPECT_EQ(OVOHelper::OSSubType_VerToString(OFLOSVersion(5, 0, 2195, 1, "x86", 0x2)), "W2000ASV");
  EXPECT_EQ(OVOHelper::OSSubType_VerToString(OFLOSVersion(4, 0, 1381, 3, "x86")), "NT4SRV");
  // The suite mask is ORed in unfiltered: a mask holding 0x40000000 turns a
  // server into a workstation.
  EXPECT_EQ(OVOHelper::OSSubType_VerToString(OFLOSVersion(10, 0, 19045, 3, "x64", 0x40000000)),
            "WIN10CLIENT_X64");
  EXPECT_EQ(OVOHelper::OSSubType_VerToString(OFLOSVersion(10, 0, 17763, 3, "x64")), "WINSRV2019_X64");
}

TEST(OSSubTypeNames, ShortAndLongConvertIgnoringCase) {
  for (const SubTypeRow& r : kExpectedSubTypes) {
    EXPECT_EQ(OVOHelper::OSSubType_ShortToLong(r.shortName), r.longName);
    EXPECT_EQ(OVOHelper::OSSubType_ShortToLong(OFL::ToLower(r.shortName)), r.longName);
    EXPECT_EQ(OVOHelper::OSSubTypeShortStringToOSType(OFL::ToLower(r.shortName)), r.bit);
  }
  EXPECT_EQ(OVOHelper::OSSubType_LongToShort("windows server 2003, web edition (X64)"), "W2K3SRVWEB_X64");
  EXPECT_EQ(OVOHelper::OSSubType_LongToShort("Windows 2000 Professional"), "W2000WKS");
  EXPECT_EQ(OVOHelper::OSSubType_ShortToLong("NT4"), "");
  EXPECT_EQ(OVOHelper::OSSubType_ShortToLong(""), "");
  EXPECT_EQ(OVOHelper::OSSubType_LongToShort("Windows XP"), "");
  EXPECT_EQ(OVOHelper::OSSubTypeShortStringToOSType("WIN7SERVER"), 0u);
  EXPECT_EQ(OVOHelper::OSSubTypeShortStringToOSType("XPPRO "), 0u);
}

TEST(OSSubTypeNames, FirstRowWinsForSharedLongNames) {
  // Every long name is unique in the table, so each short name comes back.
  for (const SubTypeRow& r : kExpectedSubTypes) EXPECT_EQ(OVOHelper::OSSubType_LongToShort(r.longName), r.shortName);
}

TEST(TranslateByArch, PairsFollowTheArchitecture) {
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0x44, "X64"), 0x1100u);
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0x44, "ia64"), 0u);
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0x44, "IA64"), 0u);
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0x44, "x86"), 0x44u);
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0x44, ""), 0x44u);
  // Only the text x64 counts, not amd64.
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0x44, "amd64"), 0x44u);
}

TEST(TranslateByArch, NT4Windows2000AndX64OnlyReleases) {
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0x3, "x64"), 0x1u);
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0x3, "ia64"), 0x1u);
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0x3, "x86"), 0x3u);
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0xF00000, "x64"), 0xF00000u);
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0xF00000, "x86"), 0u);
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0xF00000, "ia64"), 0u);
}

TEST(TranslateByArch, X64InputBitsAreNotCarried) {
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0x100, "x86"), 0u);
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0x100, "x64"), 0u);
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0x1ull << 40, "x64"), 0u);
}

TEST(TranslateByArch, AllBits) {
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0xFFFFFFFFFFFFFFFFull, "x64"),
            0x1u | 0x100 | 0x200 | 0x400 | 0x800 | 0x1000 | 0x2000 | 0x10000 | 0x20000 | 0x80000 | 0xF00000);
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0xFFFFFFFFFFFFFFFFull, "x86"),
            0x1u | 0x2 | 0x4 | 0x8 | 0x10 | 0x20 | 0x40 | 0x80 | 0x4000 | 0x8000 | 0x40000);
  EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(0xFFFFFFFFFFFFFFFFull, "ia64"), 0x1u);
}

TEST(TranslateByArch, EachPair) {
  const std::pair<uint64_t, uint64_t> pairs[] = {{0x4, 0x100},    {0x8, 0x200},      {0x10, 0x400},
                                                 {0x20, 0x800},   {0x40, 0x1000},    {0x80, 0x2000},
                                                 {0x4000, 0x10000}, {0x8000, 0x20000}, {0x40000, 0x80000}};
  for (auto [base, x64] : pairs) {
    EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(base, "x64"), x64);
    EXPECT_EQ(OVOHelper::TranslateOSTypesByArch(base, "X86"), base);
    EXPECT_EQ(OVOHelper::OSType_GetBase(OVOHelper::TranslateOSTypesByArch(base, "x64")), base);
  }
}

TEST(TranslateArchitecture, KnownSpellings) {
  EXPECT_EQ(OVOHelper::TranslateArchitecture("x86"), "x86");
  EXPECT_EQ(OVOHelper::TranslateArchitecture("X86"), "x86");
  EXPECT_EQ(OVOHelper::TranslateArchitecture("AMD64"), "x64");
  EXPECT_EQ(OVOHelper::TranslateArchitecture("amd64"), "x64");
  EXPECT_EQ(OVOHelper::TranslateArchitecture("X64"), "x64");
  EXPECT_EQ(OVOHelper::TranslateArchitecture("ia64"), "ia64");
  EXPECT_EQ(OVOHelper::TranslateArchitecture("Arm64"), "Arm64");
  EXPECT_EQ(OVOHelper::TranslateArchitecture(""), "");
  EXPECT_EQ(OVOHelper::TranslateArchitecture(" x86"), " x86");
  // The caller's road for reported architectures.
  EXPECT_EQ(OVOHelper::OSType_From_WinVer(10, 0, 19045, W, OVOHelper::TranslateArchitecture("AMD64")), 0x80000u);
}

TEST(IsOSSupported, SharedBitsAndTheBit63Rule) {
  EXPECT_TRUE(OVOHelper::IsOSSupported(0x44, 0x40));
  EXPECT_FALSE(OVOHelper::IsOSSupported(0x4, 0x8));
  EXPECT_FALSE(OVOHelper::IsOSSupported(0, 0));
  EXPECT_TRUE(OVOHelper::IsOSSupported(0xFFFFFF, 0x800000));
  EXPECT_TRUE(OVOHelper::IsOSSupported(1ull << 40, 1ull << 40));
  const uint64_t top = 1ull << 63;
  EXPECT_FALSE(OVOHelper::IsOSSupported(top | 0x4, top | 0x4));
  EXPECT_FALSE(OVOHelper::IsOSSupported(top, top));
  EXPECT_FALSE(OVOHelper::IsOSSupported(~0ull, ~0ull));
  EXPECT_TRUE(OVOHelper::IsOSSupported(top | 0x4, 0x4));
  EXPECT_TRUE(OVOHelper::IsOSSupported(0x4, top | 0x4));
  // Bit 31 of the low half is an ordinary bit.
  EXPECT_TRUE(OVOHelper::IsOSSupported(0x80000000u, 0x80000000u));
  EXPECT_TRUE(OVOHelper::IsOSSupported((1ull << 62) | 0x4, (1ull << 62) | 0x4));
  // Symmetric.
  std::mt19937_64 rng(7);
  for (int i = 0; i < 500; ++i) {
    const uint64_t a = rng(), b = rng();
    EXPECT_EQ(OVOHelper::IsOSSupported(a, b), OVOHelper::IsOSSupported(b, a));
  }
}

}  // namespace
}  // namespace orvacmn
