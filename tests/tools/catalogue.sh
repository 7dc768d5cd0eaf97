# ovo catalogue, and ovo object with the two property bags.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
TAB=$(printf '\t')

# One line per catalogued class, in catalogue order.
lines=$("$OVO" catalogue | wc -l)
if [ "$lines" != 122 ]; then echo "FAIL: ovo catalogue gave $lines lines, want 122"; fails=$((fails + 1)); fi
first=$("$OVO" catalogue | head -1)
last=$("$OVO" catalogue | tail -1)
[ "$first" = "OVO::Asset${TAB}Asset${TAB}0x50001" ] || { echo "FAIL: first line [$first]"; fails=$((fails + 1)); }
[ "$last" = "CVMProvisioningProfile${TAB}VMProvisioningProfile${TAB}0x50001" ] ||
  { echo "FAIL: last line [$last]"; fails=$((fails + 1)); }
for want in "OVOSystem${TAB}Client${TAB}0x50001" \
            "OVO::Properties${TAB}Properties${TAB}0x50002" \
            "OVOProperties${TAB}Properties${TAB}0x50001" \
            "OVO::EnergyManagement::TimeTracking::CComputer${TAB}Computer${TAB}0x0" \
            "OVOSoftwareApplication::DependencyEntry${TAB}Dependencies${TAB}0x0"; do
  n=$("$OVO" catalogue | grep -cxF "$want")
  [ "$n" = 1 ] || { echo "FAIL: catalogue line [$want] found $n times"; fails=$((fails + 1)); }
done
dups=$("$OVO" catalogue | cut -f1 | sort | uniq -d)
[ -z "$dups" ] || { echo "FAIL: classes listed twice: $dups"; fails=$((fails + 1)); }
expect_status 0 -- catalogue --help
expect_status 2 -- catalogue extra

# The property bags through ovo object: unknown nodes dropped, names as first
# written, OVOProperties in insertion order, OVO::Properties ordered by name.
IN='<Properties><PropertyEntry><Param>b</Param><Value>2</Value></PropertyEntry><x/><propertyentry><param>A</param><value>&lt;1&gt;</value></propertyentry><PropertyEntry><Param>B</Param><Value>3</Value></PropertyEntry></Properties>'
STDIN=$IN expect '<Properties><PropertyEntry><Param>b</Param><Value>3</Value></PropertyEntry><PropertyEntry><Param>A</Param><Value>&lt;1&gt;</Value></PropertyEntry></Properties>' 0 -- object OVOProperties
STDIN=$IN expect '<Properties><PropertyEntry><Param>A</Param><Value>&lt;1&gt;</Value></PropertyEntry><PropertyEntry><Param>b</Param><Value>3</Value></PropertyEntry></Properties>' 0 -- object OVO::Properties
# Without a root: OVO::Properties fails; OVOProperties reads the older
# length-packed form and reports success for any text.
STDIN='not a properties text' expect '' 1 -- object OVO::Properties
STDIN='<Other/>' expect '' 1 -- object OVO::Properties
STDIN='not a properties text' expect '<Properties></Properties>' 0 -- object OVOProperties
STDIN='11:4:Name3:val' expect '<Properties><PropertyEntry><Param>Name</Param><Value>val</Value></PropertyEntry></Properties>' 0 -- object OVOProperties
finish
