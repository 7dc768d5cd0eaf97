# ovo hw display, ovo component autolink and the hardware classes through ovo object.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
HW=$EXAMPLES/hardware

# Display settings: "width height depth frequency result".
expect "1280 1024 8 60 1" 0 -- hw display "$HW/hw_profile.xml"
expect "1920 1080 24 75 1" 0 -- hw display "$HW/installed_component.xml"
STDIN='<HardwareProfile/>' expect "1024 768 16 60 1" 0 -- hw display
STDIN='<HardwareProfile><Properties><PropertyEntry><Param>VideoColorDepth</Param><Value>Millions</Value></PropertyEntry><PropertyEntry><Param>VideoRefreshRate</Param><Value>0</Value></PropertyEntry></Properties></HardwareProfile>' \
  expect "1024 768 0 60 1" 0 -- hw display -
STDIN='<InstalledComponent><Type>MONITOR</Type><Properties><PropertyEntry><Param>VideoResolution</Param><Value>800 x 600</Value></PropertyEntry></Properties></InstalledComponent>' \
  expect "800 600 16 60 1" 0 -- hw display
# Only "VideoResolution" counts for a component, and only for graphics cards and monitors.
STDIN='<InstalledComponent><Type>GFXCARD</Type><Properties><PropertyEntry><Param>MAXRES</Param><Value>1024 x 768</Value></PropertyEntry></Properties></InstalledComponent>' \
  expect "0 0 0 0 0" 0 -- hw display
STDIN='<InstalledComponent><Type>NETCARD</Type><Properties><PropertyEntry><Param>VideoResolution</Param><Value>1x1</Value></PropertyEntry></Properties></InstalledComponent>' \
  expect "0 0 0 0 0" 0 -- hw display
STDIN='<SPV/>' expect "" 1 -- hw display
STDIN='<HardwareProfile>' expect "" 1 -- hw display
STDIN='<hardwareprofile/>' expect "" 1 -- hw display
expect_status 1 -- hw display "$HW/missing.xml"
expect_status 2 -- hw

# Populated examples round-trip exactly.
expect "$(cat "$HW/hw_profile.xml")" 0 -- object OVOHardwareHWProfile "$HW/hw_profile.xml"
expect "$(cat "$HW/installed_component.xml")" 0 -- object OVOHardwareInstalledComponent "$HW/installed_component.xml"
STDIN='<SPV><spventry><param>p</param><os>-1</os></spventry><x/></SPV>' \
  expect '<SPV><SPVEntry><OS>-1</OS><Section></Section><Param>p</Param><Value></Value></SPVEntry></SPV>' 0 -- object OvoSpv
STDIN='<InstalledComponent/>' expect "" 1 -- object OVOHardwareHWProfile
expect "$(cat "$HW/component.xml")" 0 -- object OVOHardwareComponent "$HW/component.xml"
STDIN='<HardwareComponent><type>HDD</type><softwaredriver><guid>d</guid></softwaredriver><x/></HardwareComponent>' \
  expect '<HardwareComponent><GUID></GUID><OrgUnit></OrgUnit><Type>HDD</Type><Vendor></Vendor><Model></Model><Comment></Comment><AutoDetectOS>0</AutoDetectOS><DeviceInfo></DeviceInfo><SoftwareDriver><GUID>d</GUID><Type></Type><Vendor></Vendor><Name></Name><Version></Version><InstallSource></InstallSource><ComponentID></ComponentID><SupportedOS>0</SupportedOS><Options>0</Options><SupportedDevices></SupportedDevices></SoftwareDriver><Properties></Properties><SPV></SPV><Vars><Scope>__COMPONENT__</Scope></Vars><ObjectRights></ObjectRights><PerformAutoLink>0</PerformAutoLink></HardwareComponent>' 0 -- object OVOHardwareComponent
STDIN='<PCIDevice><devicename>Unknown PCI device 0x100E</devicename><deviceid>4110</deviceid><Extra a="1">x</Extra></PCIDevice>' \
  expect '<PCIDevice><VendorID></VendorID><DeviceID>4110</DeviceID><VendorType>0</VendorType><VendorName></VendorName><DeviceName>Unknown PCI device 0x100E</DeviceName><Options>0</Options><Extra a="1">x</Extra></PCIDevice>' 0 -- object OVOPCIDevice
STDIN='<PCIVendor><VendorID>8086</VendorID><VendorType>0</VendorType><VendorName>Intel</VendorName></PCIVendor>' \
  expect '<PCIVendor><VendorID>8086</VendorID><VendorType>0</VendorType><VendorName>Intel</VendorName></PCIVendor>' 0 -- object OVOPCIVendor

# Automatic driver assignment: the OS bits covered, then the drivers taken. The example's first driver serves
# Windows 10 (0xC0000), its second Windows 11 (0x400000); bits the first covers are not asked of the second.
D1=D1000001-0000-4000-8000-000000000001; D2=D1000002-0000-4000-8000-000000000002
AL=$HW/autolink.xml
expect "$(printf '0x4C0000\n%s\n%s' $D1 $D2)" 0 -- component autolink 0xFFFFFFFFFFFFFFFF "$AL"
expect "$(printf '0xC0000\n%s' $D1)" 0 -- component autolink 0x40000 "$AL"
expect "$(printf '0x400000\n%s' $D2)" 0 -- component autolink 4194304 "$AL"
# NT4 and Windows 2000 are not in the automatic table; nothing wanted, nothing taken.
expect "0x0" 0 -- component autolink 0x3 "$AL"
expect "0x0" 0 -- component autolink 0 "$AL"
# The first candidate for Windows 10 wins; other elements are passed over.
COMPONENT=$(cat "$HW/component.xml")
LATE="<SoftwareDriver><GUID>late</GUID><SupportedOS>262144</SupportedOS><SupportedDevices><Device><OS>262144</OS><HardwareID>PCI\\VEN_8086&amp;DEV_100E</HardwareID></Device></SupportedDevices></SoftwareDriver>"
STDIN="<Autolink>$COMPONENT$LATE<other/>$(sed -n 's|.*\(<SoftwareDriver><GUID>D1000001.*</SoftwareDriver>\)<SoftwareDriver>.*|\1|p' "$HW/component.xml")</Autolink>"
expect "$(printf '0x40000\nlate')" 0 -- component autolink 0x40000
expect "$(printf '0xC0000\n%s' $D1)" 0 -- component autolink 0x80000
STDIN="<Autolink>$LATE</Autolink>" expect "" 1 -- component autolink 1
STDIN="<Drivers>$COMPONENT</Drivers>" expect "" 1 -- component autolink 1
STDIN='<Autolink>' expect "" 1 -- component autolink 1
expect_status 2 -- component autolink x "$AL"
expect_status 1 -- component autolink 1 "$HW/missing.xml"
finish
