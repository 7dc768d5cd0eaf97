# ovo merge and ovo system options over the stored client and report examples.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
EX=$EXAMPLES/server
TAB=$(printf '\t')
export TZ=UTC0
NOW=1717257600  # 2024-06-01 16:00:00

# Only what changed, in merge order; unknown names, "unknown" values (0,
# 4294967295, a text that is no number) and a do-not-disturb time 30 s away
# are left out. The subnet mask only with --ip-update-mode 1.
expect "TotalMemory${TAB}16384
SerialNumber${TAB}CZC1234XYZ
OVAVersion${TAB}12.2.0.100
OSVersionBuild${TAB}22631
OSDisplayVersion${TAB}23H2
IPWithPrefixes${TAB}255.255.255.0
SystemLastBoot${TAB}20240601150000
LastLoggedOnUser${TAB}EXAMPLE\\jdoe
PrimaryUser${TAB}EXAMPLE\\jdoe
Options${TAB}574
CurrentUserSID${TAB}S-1-5-21-1-2-3-1105
TimeZone${TAB}-60" 0 -- merge "$EX/client.xml" "$EX/report.xml" --now $NOW --ip-update-mode 1 --connection-mode 2
expect "OVAVersion${TAB}12.2.0.100" 0 -- merge "$EX/client.xml" <(echo '<Properties><PropertyEntry><Param>ovaversion</Param><Value>12.2.0.100</Value></PropertyEntry></Properties>')
# A service account of the client's domain is the last user, never the main user.
report='<Properties><PropertyEntry><Param>LastLoggedOnUser</Param><Value>EXAMPLE\ovs-install</Value></PropertyEntry></Properties>'
STDIN=$report expect "LastLoggedOnUser${TAB}EXAMPLE\\ovs-install" 0 -- merge "$EX/client.xml" - --domain "$EX/domain.xml"
STDIN=$report expect "LastLoggedOnUser${TAB}EXAMPLE\\ovs-install
PrimaryUser${TAB}EXAMPLE\\ovs-install
Options${TAB}574" 0 -- merge "$EX/client.xml" -
# Nothing changes: nothing is printed. A report in no known form is an empty bag.
STDIN='<Properties><PropertyEntry><Param>TotalMemory</Param><Value>8192</Value></PropertyEntry></Properties>' \
  expect "" 0 -- merge "$EX/client.xml" -
STDIN='garbage' expect "" 0 -- merge "$EX/client.xml" -
STDIN='<Clients/>' expect_status 1 -- merge - "$EX/report.xml"
STDIN='<Domains/>' expect_status 1 -- merge "$EX/client.xml" "$EX/report.xml" --domain -
expect_status 1 -- merge "$EX/client.xml" "$EX/missing.xml"
expect_status 2 -- merge "$EX/client.xml" "$EX/report.xml" --now soon
expect_status 2 -- merge "$EX/client.xml"

# Options 562: the Internet-channel flag 0x400 and the roaming flag 0x2000.
expect 562 0 -- system options "$EX/client.xml" --connection 0 --auto-roaming 0
expect 1586 0 -- system options "$EX/client.xml" --connection 1 --auto-roaming 0
expect 8754 0 -- system options "$EX/client.xml" --connection 2 --auto-roaming 1
STDIN="$(sed 's/<Options>562/<Options>9778/' "$EX/client.xml")" expect 562 0 -- system options - --connection 0 --auto-roaming 0
expect_status 2 -- system options "$EX/client.xml" --connection 1 --auto-roaming 2
expect_status 2 -- system options "$EX/client.xml" --connection 1
finish
