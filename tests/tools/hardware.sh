# ovo hw display and the hardware classes through ovo object.
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
finish
