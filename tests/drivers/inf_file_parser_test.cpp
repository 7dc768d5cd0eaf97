#include "orvacmn/drivers/inf_file_parser.h"

#include <gtest/gtest.h>

#include <vector>

#include "drivers/inf_test_util.h"
#include "ofl/path_nocase.h"

namespace orvacmn {
namespace {

using test::InfData;
using test::ScratchFile;

// Stands in for the catalog reader: every catalog reads as `mask`.
class FixedCatalogParser : public CInfFileParser {
 public:
  uint64_t mask = 0;
  mutable std::vector<String> read;

 private:
  uint64_t GetSupportedOSs(const String& catalog, uint64_t& out) const override {
    read.push_back(catalog);
    return out = mask;
  }
};

String Device(const char* id, const char* description) {
  return String("<Device><OS>16777215</OS><HardwareID>") + id + "</HardwareID><Description>" + description +
         "</Description><Text></Text><Flags>0</Flags></Device>";
}

String NetKvm(const String& path, const char* version, const char* os) {
  const char* desc = "Contoso VirtIO Ethernet Adapter";
  return "<SoftwareDriver><GUID></GUID><Type>NETCARD</Type><Vendor>Contoso; Virtual Devices</Vendor><Name>" +
         String(desc) + "</Name><Version>" + version + "</Version><InstallSource>" + path +
         "</InstallSource><ComponentID>*</ComponentID><SupportedOS>" + os +
         "</SupportedOS><Options>0</Options><SupportedDevices>" +
         Device("PCI\\VEN_1AF4&amp;DEV_1000&amp;SUBSYS_00011AF4&amp;REV_00", desc) +
         Device("PCI\\VEN_1AF4&amp;DEV_1041&amp;SUBSYS_11001AF4&amp;REV_01", desc) +
         Device("PCI\\VEN_1AF4&amp;DEV_1000&amp;SUBSYS_00011AF4&amp;REV_00", desc) +
         "</SupportedDevices></SoftwareDriver>";
}

TEST(InfFileParser, ParsesTheDecoratedUtf16Package) {
  CInfFileParser parser;
  OVOSoftwareDriver driver;
  String error;
  const String path = InfData("pkg/netkvm.inf");
  ASSERT_EQ(parser.ParseInfFile(path, &driver, error), 0u) << error;
  // The package's catalog says 2:6.1,2:10.0; each architecture gets its translation.
  EXPECT_EQ(driver.Pack(), NetKvm(path, "100.92.104.22900 (FC30C0)", "16527552"));
  EXPECT_EQ(parser.GetCopyFiles(), (std::vector<String>{"netkvm.sys", "netkvmco.dll", "kvminstaller.dll"}));
  for (const char* copy : {"utf16be.inf", "utf8bom.inf"}) {
    OVOSoftwareDriver other;
    ASSERT_EQ(parser.ParseInfFile(InfData(copy), &other, error), 0u);
    EXPECT_EQ(other.Pack(), NetKvm(InfData(copy), "100.92.104.22900", "0"));
  }
}

TEST(InfFileParser, TranslatesTheCatalogMaskForEachArchitecture) {
  FixedCatalogParser parser;
  parser.mask = 0xC0 | 0xF40000;
  OVOSoftwareDriver driver;
  String error;
  const String path = InfData("pkg/netkvm.inf");
  ASSERT_EQ(parser.ParseInfFile(path, &driver, error), 0u);
  // amd64 gives the x64 bits of 6.1 and 10.0, x86 the 32-bit ones.
  EXPECT_EQ(driver.Pack(), NetKvm(path, "100.92.104.22900 (FC30C0)", "16527552"));
  // "NETKVM.CAT" sorts before "netkvmx86.cat" and is found as netkvm.cat.
  EXPECT_EQ(parser.read, std::vector<String>{InfData("pkg/netkvm.cat")});

  parser.EnableCatalogValidation(false);
  driver.Clear();
  ASSERT_EQ(parser.ParseInfFile(path, &driver, error), 0u);
  EXPECT_EQ(driver.Pack(), NetKvm(path, "100.92.104.22900", "0"));

  // An undecorated models section counts as x86, even with a name like a decoration; a package without its
  // catalog gets no mask.
  ScratchFile undecorated(
      "[Version]\nSignature=$Chicago$\nCatalogFile=c.cat\n[Manufacturer]\nM=NTModels\n[NTModels]\nD=I,PCI\\VEN_1&DEV_2\n"
      "[I.NTx86]\n",
      "C.CAT");
  parser.EnableCatalogValidation(true);
  driver.Clear();
  ASSERT_EQ(parser.ParseInfFile(undecorated.path(), &driver, error), 0u);
  EXPECT_EQ(driver.GetSupportedDevices().size(), 1u);  // installed from [I.NTx86]
  EXPECT_EQ(driver.GetSupportedOS(), 0x400C0u);
  EXPECT_EQ(driver.GetVersion(), "Unknown (400C0)");
  ASSERT_EQ(parser.ParseInfFile(InfData("pkg/Sub/GFX.INF"), &driver, error), 0u);
  EXPECT_EQ(driver.GetSupportedOS(), 0u);
  EXPECT_EQ(driver.GetVersion(), "");  // DriverVer with a date only
}

// A models line of 100,000 distinct decorations, each with its section, takes time in proportion; architectures
// differing only in case count once.
TEST(InfFileParser, ManyDecorationsStayLinear) {
  String inf = "[Version]\nSignature=$Chicago$\nCatalogFile=c.cat\n[Manufacturer]\nM=Models,NTamd64,ntAMD64.6",
         sections = "[Models.NTamd64]\nD=I,X\n[Models.ntAMD64.6]\nD=I,Y\n[I]\n";
  for (int i = 0; i < 100000; ++i) {
    inf += ",NTa" + std::to_string(i);
    sections += "[Models.NTa" + std::to_string(i) + "]\nD=I,PCI\\" + std::to_string(i) + "\n";
  }
  ScratchFile file(inf + "\n" + sections, "C.CAT");
  FixedCatalogParser parser;
  parser.mask = 0x4;  // x86 XP: its x64 bit is 0x100
  OVOSoftwareDriver driver;
  String error;
  ASSERT_EQ(parser.ParseInfFile(file.path(), &driver, error), 0u) << error;
  EXPECT_EQ(driver.GetSupportedDevices().size(), 100002u);
  EXPECT_EQ(driver.GetSupportedOS(), 0x104u) << "x64 for amd64, the unknown architectures as given";
}

TEST(InfFileParser, ReportsEveryFailureWithItsCodeAndText) {
  struct Case {
    std::string content;
    uint32_t code;
    const char* error;
  } cases[] = {
      {"[V", 0xFFFFFFFF, "Error loading INF File [%]"},
      {"[Version]\nClass=Net\n", 0xFFFFFFFF,
       "Invalid signature []. Only Windows NT and later based inf files supported."},
      {"[Version]\nSignature=\"$Windows 95$\"\n[Manufacturer]\nM=M\n", 0xFFFFFFFF,
       "Invalid signature [$Windows 95$]. Only Windows NT and later based inf files supported."},
      {"[Version]\nSignature=$windows nt$\n", 0xFFFFFFFF, "Invalid INF file format"},
      {"[Version]\nSignature=$Windows NT$\n[Manufacturer]\n; none\n[Next]\n", 0xFFFFFFFF,
       "Invalid INF file format"},
  };
  CInfFileParser parser;
  for (const Case& c : cases) {
    ScratchFile file(c.content);
    OVOSoftwareDriver driver;
    String error, want = c.error;
    OFL::ReplaceAll(want, "%", file.path());
    EXPECT_EQ(parser.ParseInfFile(file.path(), &driver, error), c.code) << c.content;
    EXPECT_EQ(error, want);
  }
  String error;
  EXPECT_EQ(parser.ParseInfFile(InfData("missing.inf"), nullptr, error), 2u);
  EXPECT_EQ(error, "Error loading INF File [" + InfData("missing.inf") + "]");
}

TEST(InfFileParser, ReadsTheSupportedOSOfCatalogAttributes) {
  CInfFileParser parser;
  struct Case {
    const char* attr;
    uint64_t mask;
  } attrs[] = {
      {"2:6.1,2:10.0", 0xC0 | 0xF40000}, {"2:5.00", 0x2}, {"2:6.3, 2:6.2", 0xC000}, {"2:4.0,6.1,x:5.1", 0x5},
      {"2:7.0", 0},                      {"", 0},
  };
  for (const Case& c : attrs) EXPECT_EQ(parser.GetSupportedOSsByOSAttr(c.attr), c.mask) << c.attr;

  const std::pair<const char*, const char*> names[] = {
      {"XPX86,xp_x64,7X64,Bogus,_V100,10X64", "2:5.1,2:6.1,2:10.0"},
      {"2000,Server2003X86,VistaX64,8X86,SERVER6_3_X64", "2:5.00,2:5.2,2:6.0,2:6.2,2:6.3"},
      {"Bogus", ""},
  };
  for (const auto& [value, attr] : names) {
    String out = "x";
    CInfFileParser::ConvertOSValueToOSAttrValue(value, out);
    EXPECT_EQ(out, attr) << value;
  }

  using Attrs = std::vector<std::pair<String, String>>;
  const std::vector<OFLSecurityCatalog::Member> members = {
      {"m1", {{"File", "NETKVM.INF"}, {"OSAttr", "2:6.2"}}},
      {"m2", {{"file", "netkvm.sys"}, {"osattr", "2:5.1"}}},
  };
  EXPECT_EQ(parser.GetSupportedOSsFromCatalog(Attrs{{"osattr", "2:6.1"}}, members), 0xC0u | 0xC000u);
  EXPECT_EQ(parser.GetSupportedOSsFromCatalog(Attrs{{"OS", "XPX86,7X64"}}, {}), 0x4u | 0xC0u);
  EXPECT_EQ(parser.GetSupportedOSsFromCatalog(Attrs{{"OS", "XPX86"}}, members), 0xC000u);  // OS only as fallback
}

TEST(InfFileParser, FindsTheDriverInTheTreeWithProgressAndCancel) {
  CInfFileParser parser;
  std::vector<std::pair<uint32_t, String>> events;
  parser.SetCallback([&](uint32_t code, const String& text) { events.emplace_back(code, text); });
  const String root = InfData("pkg");
  const OFLDeviceInfo gfx("PCI\\VEN_ABCD&DEV_0001&SUBSYS_00000000");
  String found = "stale";
  EXPECT_EQ(parser.FindDriver(0xFFFFFF, &gfx, root, 1, found, nullptr), 0u);
  EXPECT_EQ(found, root + "/Sub/GFX.INF");
  const std::vector<std::pair<uint32_t, String>> want = {
      {0, root}, {0, root + "/netkvm.inf"}, {0, root + "/Sub"}, {1, root + "/Sub/broken.inf"}, {0, found}};
  EXPECT_EQ(events, want);

  parser.FindDriver(0xFFFFFF, &gfx, root, 0, found, nullptr);
  EXPECT_EQ(found, "");
  const OFLDeviceInfo net("PCI\\VEN_1AF4&DEV_1041&SUBSYS_11001AF4&REV_01");
  parser.FindDriver(0x80000, &net, InfData(""), 1, found, nullptr);
  EXPECT_EQ(found, InfData("utf16be.inf"));  // a folder's files before its sub-folders
  events.clear();
  const int cancel = 1;
  parser.FindDriver(0xFFFFFF, &net, root, 1, found, &cancel);
  EXPECT_EQ(found, "");
  EXPECT_EQ(events.size(), 1u);
}

TEST(PathNoCase, ResolvesWindowsNamesAndPatterns) {
  const String root = InfData("pkg");
  EXPECT_EQ(OFL::Files::ResolvePathNoCase(root, "NETKVM.CAT"), root + "/netkvm.cat");
  EXPECT_EQ(OFL::Files::ResolvePathNoCase(root, "sub\\gfx.inf"), root + "/Sub/GFX.INF");
  EXPECT_EQ(OFL::Files::ResolvePathNoCase(root, "missing.cat"), "");
  EXPECT_EQ(OFL::Files::ResolvePathNoCase(root, "C:\\netkvm.cat"), "");
  EXPECT_EQ(OFL::Files::FindFiles(root + "/Sub", "*.inf"), (std::vector<String>{"broken.inf", "GFX.INF"}));
  OFL::Files::DirectoryListings listings;
  for (int pass = 0; pass < 2; ++pass) {  // the second from the kept listings
    EXPECT_EQ(OFL::Files::ResolvePathNoCase(root, "NETKVM.CAT", &listings), root + "/netkvm.cat");
    EXPECT_EQ(OFL::Files::ResolvePathNoCase(root, "sub\\gfx.inf", &listings), root + "/Sub/GFX.INF");
    EXPECT_EQ(OFL::Files::ResolvePathNoCase(root, "Missing.cat", &listings), "");
  }
}

}  // namespace
}  // namespace orvacmn
