// INF files from public driver trees, as their packages ship them, and the
// same driver package re-encoded the ways packages come.
#include <gtest/gtest.h>

#include <filesystem>

#include "drivers/inf_test_util.h"
#include "ofl/bstr.h"
#include "ofl/device_info.h"
#include "orvacmn/drivers/inf_file_parser.h"

namespace orvacmn {
namespace {

using test::InfData;

std::string Devices(const OVOSoftwareDriver& driver) {
  std::string out;
  for (const auto& d : driver.GetSupportedDevices()) out += d.hardwareId + "=" + d.description + "\n";
  return out;
}

TEST(PublicInf, DriverPackageParsesInEveryEncodingAndIsFoundIgnoringCase) {
  const std::string kDevices =
      "PCI\\VEN_1B36&DEV_0002=1x QEMU PCI Serial Card\nPCI\\VEN_1B36&DEV_0003=2x QEMU PCI Serial Card\n"
      "PCI\\VEN_1B36&DEV_0004=4x QEMU PCI Serial Card\n";
  const std::u16string utf16 = OFL::ToUtf16(testing::ReadFile(InfData("public/qemupciserial.inf")));
  std::string le = "\xFF\xFE";
  for (char16_t c : utf16) le += char(c & 0xFF), le += char(c >> 8);
  test::ScratchFile copy(le, "QEMUPCISERIAL.INF");

  CInfFileParser parser;
  for (const std::string& path : {InfData("public/qemupciserial.inf"), copy.path()}) {
    SCOPED_TRACE(path);
    OVOSoftwareDriver driver;
    String error;
    ASSERT_EQ(parser.ParseInfFile(path, &driver, error), 0u) << error;
    EXPECT_EQ(driver.GetType(), "OTHER");  // Class=MultiFunction
    EXPECT_EQ(driver.GetVendor(), "QEMU");
    EXPECT_EQ(driver.GetName(), "1x QEMU PCI Serial Card");
    EXPECT_EQ(driver.GetVersion(), "1.3.0");
    EXPECT_EQ(Devices(driver), kDevices + kDevices);  // NTx86, then NTAMD64
  }
  const OFLDeviceInfo card("PCI\\VEN_1B36&DEV_0004&SUBSYS_11001AF4&REV_01");
  String found;
  parser.FindDriver(~0ull, &card, copy.dir(), 0, found, nullptr);
  EXPECT_EQ(found, copy.path());
}

TEST(PublicInf, LargeSetupFileKeepsQuotedSemicolonsAndSingleBackslashes) {
  CInfFileReader reader;
  String error, value;
  ASSERT_EQ(reader.Load(InfData("public/wine.inf"), error, CInfFileReader::kAllFlags), 0u) << error;
  ASSERT_EQ(reader.GetValue("version", "signature", value), 1);
  EXPECT_EQ(value, "$CHICAGO$");
  OFLTokenizer lines;
  ASSERT_EQ(reader.ReadCompleteSection("Debugger", lines), 1);
  ASSERT_GE(lines.GetCount(), 4);
  EXPECT_EQ(lines.GetAt(3),
            "HKCU,Software\\Wine\\Debug,\"RelayFromExclude\",2,\"winex11.drv;winemac.drv;user32;gdi32;advapi32;"
            "kernel32\"");
  // A single backslash after other text does not continue the line.
  ASSERT_EQ(reader.ReadCompleteSection("DefaultInstall", lines), 1);
  EXPECT_EQ(lines.FindString("AddReg=\\"), 4);
  EXPECT_EQ(lines.FindString("Classes,\\"), 5);

  CInfFileParser parser;
  OVOSoftwareDriver driver;
  EXPECT_EQ(parser.ParseInfFile(InfData("public/wine.inf"), &driver, error), CInfFileParser::kErrorFailed);
  EXPECT_EQ(error, "Invalid INF file format");
}

}  // namespace
}  // namespace orvacmn
