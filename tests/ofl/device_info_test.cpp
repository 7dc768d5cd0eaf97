// Hardware ids: parsing into parts, generic matching, class codes and the generic builders.
#include "ofl/device_info.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using D = OFLDeviceInfo;

// "bus vendor device [s=subsys] [r=rev] [c=class/progif] [f=func] [m=mi]" in hex, or "invalid".
std::string Parts(const D& d) {
  if (!d.IsValid()) return "invalid";
  std::ostringstream o;
  o << std::hex << std::uppercase << D::GetBusName(d.GetBus()) << " " << d.GetVendor() << " " << d.GetDevice();
  if (d.HasSubsystem()) o << " s=" << d.GetSubsystem();
  if (d.HasRevision()) o << " r=" << d.GetRevision();
  if (d.HasClassCode()) o << " c=" << d.GetClassCode();
  if (d.HasProgIf()) o << "/" << d.GetProgIf();
  if (d.HasFunction()) o << " f=" << d.GetFunction();
  if (d.HasInterface()) o << " m=" << d.GetInterface();
  return o.str();
}

TEST(DeviceInfo, ParsesEveryBusFormAndRejectsMalformedIds) {
  const struct {
    const char* id;
    const char* parts;
  } cases[] = {
      {"PCI\\VEN_8086&DEV_100E&SUBSYS_001E8086&REV_02", "PCI 8086 100E s=1E8086 r=2"},
      {"pci\\ven_10de&dev_0a65&cc_030000", "PCI 10DE A65 c=300/0"},
      {"PCI\\DEV_100E&VEN_8086&CC_0200", "PCI 8086 100E c=200"},
      {"  PCI\\VEN_8086&DEV_100E\\3&267A616A&0&18 ", "PCI 8086 100E"},
      {"PCI\\CC_0300", "PCI  0 c=300"},
      {"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0888&SUBSYS_103C2A4F&REV_1000", "HDAUDIO 10EC 888 s=103C2A4F r=1000 f=1"},
      {"USB\\VID_046D&PID_C52B&REV_1201&MI_00", "USB 046D C52B r=1201 m=0"},
      {"ACPI\\PNP0A03", "ACPI PNP A03"},
      {"acpi\\msft0101", "ACPI MSFT 101"},
      {"ACPI\\VEN_INT&DEV_33A0", "ACPI INT 33A0"},
      // Malformed: unknown bus, missing parts, wrong widths, keys of another bus, duplicates, stray text.
      {"", "invalid"},
      {"VEN_8086&DEV_100E", "invalid"},
      {"HID\\VID_046D&PID_C52B", "invalid"},
      {"PCI\\VEN_8086", "invalid"},
      {"PCI\\VEN_8086&DEV_100E&", "invalid"},
      {"PCI\\VEN_808&DEV_100E", "invalid"},
      {"PCI\\VEN_8086&DEV_100E&REV_0002", "invalid"},
      {"PCI\\VEN_8086&DEV_100E&SUBSYS_001E808", "invalid"},
      {"PCI\\VEN_8086&DEV_100G", "invalid"},
      {"PCI\\VEN_8086&DEV_100E&DEV_100F", "invalid"},
      {"PCI\\VEN_8086&DEV_100E&MI_00", "invalid"},
      {"PCI\\VEN_8086&DEV_100E&XYZ", "invalid"},
      {"PCI\\CC_03", "invalid"},
      {"PCI\\CC_0300&SUBSYS_001E8086", "invalid"},
      {"USB\\VEN_046D&DEV_C52B", "invalid"},
      {"ACPI\\PNP0A0", "invalid"},
      {"ACPI\\PN-0A03", "invalid"},
      {"ACPI\\PNPXX0A03", "invalid"},
      {"HDAUDIO\\VEN_10EC&DEV_0888&CC_0403", "invalid"},
  };
  for (const auto& c : cases) {
    const D d(c.id);
    EXPECT_EQ(Parts(d), c.parts) << c.id;
    EXPECT_EQ(d.GetDeviceString(), c.id) << "the text is kept as given";
  }
  D d("PCI\\VEN_8086&DEV_100E");
  d.SetDeviceString(d.GetDeviceString());
  EXPECT_EQ(Parts(d), "PCI 8086 100E");
  d.Reset();
  EXPECT_TRUE(!d.IsValid() && d.GetDeviceString().empty() && d.GetBus() == D::eBusUnknown);
  EXPECT_EQ(D("PCI\\VEN_80aB&DEV_0001").GetVendorId(), 0x80ABu);
  EXPECT_EQ(D("ACPI\\ABCD0001").GetVendorId(), 0u) << "an ACPI vendor is not a number";
}

TEST(DeviceInfo, GenericIdsMatchSpecificOnesOfTheSameVendorAndDeviceOnly) {
  const char* full = "PCI\\VEN_8086&DEV_100E&SUBSYS_001E8086&REV_02";
  const struct {
    const char* pattern;
    const char* other;
    bool matches;
  } cases[] = {
      {"PCI\\VEN_8086&DEV_100E", full, true},
      {"pci\\ven_8086&dev_100e&subsys_001e8086", full, true},
      {full, full, true},
      {full, "PCI\\VEN_8086&DEV_100E", false},
      {"PCI\\VEN_8086&DEV_100E&REV_03", full, false},
      {"PCI\\VEN_8086&DEV_100F", full, false},
      {"PCI\\VEN_8087&DEV_100E", full, false},
      {"USB\\VID_8086&PID_100E", "USB\\VID_8086&PID_100E&REV_0001", true},
      {"HDAUDIO\\VEN_8086&DEV_100E", "PCI\\VEN_8086&DEV_100E", false},
      {"PCI\\CC_0300", "PCI\\VEN_10DE&DEV_0A65&CC_030000", true},
      {"PCI\\CC_030001", "PCI\\VEN_10DE&DEV_0A65&CC_030000", false},
      {"PCI\\CC_0300", "PCI\\VEN_10DE&DEV_0A65", false},
      {"ACPI\\PNP0A03", "ACPI\\VEN_PNP&DEV_0A03", true},
      {"ACPI\\VEN_PNP&DEV_0A03", "acpi\\pnp0a03", true},
      {"HDAUDIO\\VEN_10EC&DEV_0888", "HDAUDIO\\FUNC_01&VEN_10EC&DEV_0888&SUBSYS_103C2A4F&REV_1000", true},
      {"HDAUDIO\\FUNC_02&VEN_10EC&DEV_0888", "HDAUDIO\\FUNC_01&VEN_10EC&DEV_0888", false},
      {"PCI\\VEN_8086&DEV_100E&XYZ", "PCI\\VEN_8086&DEV_100E&XYZ", false},
      {"", "", false},
  };
  for (const auto& c : cases) EXPECT_EQ(D(c.pattern).Matches(D(c.other)), c.matches) << c.pattern << " / " << c.other;
}

TEST(DeviceInfo, PciClassGenericPartsAndBuilders) {
  EXPECT_EQ(D("PCI\\VEN_8086&DEV_100E&CC_020000").GetDevInfoPCIClass(), 0x0002u);
  EXPECT_EQ(D("PCI\\VEN_10DE&DEV_0A65&CC_0380").GetDevInfoPCIClass(), 0x8003u);
  EXPECT_EQ(D("PCI\\VEN_8086&DEV_100E").GetDevInfoPCIClass(), 0u);

  const struct {
    const char* id;
    const char* generic;
  } cases[] = {
      {"PCI\\VEN_8086&DEV_100E&SUBSYS_001E8086&REV_02", "PCI\\VEN_8086&DEV_100E"},
      {"usb\\vid_046d&pid_c52b&mi_01", "USB\\VID_046D&PID_C52B"},
      {"PCI\\VEN_8086&DEV_0001", "PCI\\VEN_8086&DEV_0001"},
      {"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0888&REV_1000", "HDAUDIO\\VEN_10EC&DEV_0888"},
      {"ACPI\\VEN_msft&DEV_0101", "ACPI\\MSFT0101"},
      {"PCI\\CC_0300", ""},
      {"PCI\\VEN_8086", ""},
  };
  for (const auto& c : cases) {
    const D d(c.id);
    std::string generic, exact;
    d.GetDeviceStringParts(generic, exact);
    EXPECT_EQ(generic, c.generic) << c.id;
    EXPECT_EQ(exact, d.IsValid() ? c.id : "") << c.id;
    if (!generic.empty()) {
      EXPECT_TRUE(D(generic).Matches(d)) << c.id;
    }
  }
  EXPECT_EQ(D::CreateACPIDevice("pnp", 0xA03).GetDeviceString(), "ACPI\\PNP0A03");
  EXPECT_FALSE(D::CreateACPIDevice("PN", 1).IsValid());
  EXPECT_TRUE(D("PCI\\VEN_8086&DEV_100E").SameParts(D("pci\\dev_100e&ven_8086")));
  EXPECT_FALSE(D("PCI\\VEN_8086&DEV_100E").SameParts(D("PCI\\VEN_8086&DEV_100E&REV_01")));
}

}  // namespace
