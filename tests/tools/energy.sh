# ovo energy, and the energy classes through ovo object.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
export TZ=UTC
D=$EXAMPLES/energy

# Timeout texts: whole hours from 60 minutes on.
expect "Never" 0 -- energy time 0
expect "1 Minute" 0 -- energy time 1
expect "59 Minutes" 0 -- energy time 59
expect "1 Hour" 0 -- energy time 60
expect "1 Hour" 0 -- energy time 119
expect "2 Hours" 0 -- energy time 0x78
expect "71582788 Hours" 0 -- energy time 4294967295
expect_status 2 -- energy time 4294967296
expect_status 2 -- energy time -1
expect_status 2 -- energy time

# Button-action texts; an unknown action has none.
expect "User defined" 0 -- energy button 0
expect "Nothing" 0 -- energy button 1
expect "Shutdown" 0 -- energy button 4
expect "" 0 -- energy button 5
expect_status 2 -- energy button x

# Power-interface values: ten timeouts in seconds, then six action codes ("-": not set).
NL='
'
expect "2700 600 600 180 0 7200 1800 900 0 0${NL}4 3 2 0 - 2" 0 -- energy power "$D/profile.xml"
expect "2700 600 600 180 0 7200 1800 900 0 0${NL}3 2 1 0 - 1" 0 -- energy power --new-style "$D/profile.xml"
STDIN='<EnergyProfile/>' expect "1200 300 300 120 3600 3600 900 600 0 0${NL}- - - - - -" 0 -- energy power
expect_status 1 -- energy power <(printf '%s' '<Other/>')
expect_status 1 -- energy power "$D/missing.xml"

# Policy validation.
expect "valid" 0 -- energy validate "$D/policy.xml"
out=$(printf '%s' '<EnergyPolicy/>' | "$OVO" energy validate 2>&1)
[ "$out" = 'ovo: No condition available.' ] || { echo "FAIL: no condition message: $out"; fails=$((fails + 1)); }
out=$(printf '%s' '<EnergyPolicy><Conditions><EnergyPolicyProfile><ConditionType>1</ConditionType></EnergyPolicyProfile><EnergyPolicyProfile><ConditionType>7</ConditionType></EnergyPolicyProfile><EnergyPolicyProfile><ConditionType>1</ConditionType></EnergyPolicyProfile></Conditions></EnergyPolicy>' | "$OVO" energy validate 2>&1)
[ "$out" = 'ovo: The condition "user is logged on", "user logged off", "desktop locked" can not be defined more than once.' ] ||
  { echo "FAIL: duplicate condition message: $out"; fails=$((fails + 1)); }
out=$(printf '%s' '<EnergyPolicy><Conditions><EnergyPolicyProfile><ConditionType>3</ConditionType></EnergyPolicyProfile></Conditions></EnergyPolicy>' | "$OVO" energy validate 2>&1)
[ "$out" = 'ovo: Unknown condition type.' ] || { echo "FAIL: unknown condition message: $out"; fails=$((fails + 1)); }
expect_status 2 -- energy

# The populated examples read back to themselves.
for pair in profile:OVO::EnergyManagement::Profile policy:OVO::EnergyManagement::Policy \
            power_settings:OVO::EnergyManagement::PowerSettings; do
  expect "$(cat "$D/${pair%%:*}.xml")" 0 -- object "${pair#*:}" "$D/${pair%%:*}.xml"
done
STDIN='<EnergyPolicyProfile><conditiontype>2</conditiontype></EnergyPolicyProfile>' \
  expect "<EnergyPolicyProfile><ConditionType>2</ConditionType><ConditionParameters></ConditionParameters><EnergyProfile><GUID></GUID><Name></Name><Timestamp>19700101000000</Timestamp><MonitorAC>5</MonitorAC><MonitorDC>2</MonitorDC><StandbyAC>15</StandbyAC><StandbyDC>10</StandbyDC><HibernateAC>60</HibernateAC><HibernateDC>60</HibernateDC><DiskAC>20</DiskAC><DiskDC>5</DiskDC><PowerbuttonActionAC>0</PowerbuttonActionAC><PowerbuttonActionDC>0</PowerbuttonActionDC><SleepbuttonActionAC>0</SleepbuttonActionAC><SleepbuttonActionDC>0</SleepbuttonActionDC><LidcloseActionAC>0</LidcloseActionAC><LidcloseActionDC>0</LidcloseActionDC></EnergyProfile></EnergyPolicyProfile>" 0 -- object OVO::EnergyManagement::Policy::PolicyProfile
STDIN='<OVOPowerSettings><Notebook>1</Notebook></OVOPowerSettings>' \
  expect '<OVOPowerSettings><DiskAC>0</DiskAC><DiskDC>0</DiskDC><MonitorAC>0</MonitorAC><MonitorDC>0</MonitorDC><StandbyAC>0</StandbyAC><StandbyDC>0</StandbyDC><Name></Name><Description></Description><Notebook>1</Notebook></OVOPowerSettings>' 0 -- object OVO::EnergyManagement::PowerSettings
expect_status 1 -- object OVO::EnergyManagement::Profile <(printf '%s' '<EnergyProfile>')
finish
