#include "orvacmn/software/software_driver.h"

#include <gtest/gtest.h>

namespace orvacmn {
namespace {

TEST(SoftwareDriver, PacksEveryFieldAndKeepsUnknownElements) {
  EXPECT_EQ(OVOSoftwareDriver().Pack(),
            "<SoftwareDriver><GUID></GUID><Type></Type><Vendor></Vendor><Name></Name><Version></Version>"
            "<InstallSource></InstallSource><ComponentID></ComponentID><SupportedOS>0</SupportedOS><Options>0"
            "</Options><SupportedDevices></SupportedDevices></SoftwareDriver>");
  OVOSoftwareDriver d;
  d.SetGUID("G");
  d.SetType("Net");
  d.SetVendor("A & B");
  d.SetName("NIC");
  d.SetVersion("1.2");
  d.SetInstallSource("\\\\srv\\drv");
  d.SetComponentID("C");
  d.SetSupportedOS(0xFFFFFFFFFFFFFFFFull);
  d.SetOptions(OVOSoftwareDriver::kOptionExclusive);
  d.AddSupportedDevice(0xFFFFFF, "PCI\\VEN_8086&DEV_100E", "Gigabit <1>", "", 0);
  d.AddSupportedDevice(1, "USB\\VID_0BDA&PID_8153", "USB", "t", 7);
  d.AddChildElement("<Extra a=\"1\">x</Extra>");
  const String text = d.Pack();
  OVOSoftwareDriver back(text);
  EXPECT_TRUE(back == d);
  EXPECT_EQ(back.Pack(), text);
  back.Clear();
  EXPECT_EQ(back.Pack(), OVOSoftwareDriver().Pack());
}

TEST(SoftwareDriver, FindsTheFirstEntryWhoseIdCoversTheDeviceOnTheOS) {
  OVOSoftwareDriver d;
  d.AddSupportedDevice(0x1, "PCI\\VEN_8086&DEV_100E", "xp", "", 0);
  d.AddSupportedDevice(0x6, "PCI\\VEN_8086&DEV_100E", "vista", "", 0);
  d.AddSupportedDevice(0x6, "PCI\\VEN_8086&DEV_100E&SUBSYS_00000000", "exact", "", 0);
  d.AddSupportedDevice(0x6, "garbage", "bad", "", 0);
  const OFLDeviceInfo device("PCI\\VEN_8086&DEV_100E&SUBSYS_001E8086&REV_02");
  EXPECT_EQ(d.FindSupportedDevice(0x1, &device)->description, "xp");
  EXPECT_EQ(d.FindSupportedDevice(0x4, &device)->description, "vista");
  EXPECT_EQ(d.FindSupportedDevice(0x4, &device, 2), nullptr);  // SUBSYS differs
  EXPECT_EQ(d.FindSupportedDevice(0x8, &device), nullptr);
  EXPECT_EQ(d.FindSupportedDevice(0x4, nullptr), nullptr);
  const OFLDeviceInfo other("PCI\\VEN_8086&DEV_100F");
  EXPECT_EQ(d.FindSupportedDevice(0xFF, &other), nullptr);
  OVOSoftwareDriverList list;
  list.AddTail(new OVOSoftwareDriver(d.Pack()));
  list.GetHead()->SetGUID("abc");
  EXPECT_EQ(list.FindEntryByGUID("ABC"), list.GetHead());
  EXPECT_EQ(list.FindEntryByGUID("x"), nullptr);
}

}  // namespace
}  // namespace orvacmn
