# ovo system and the managed-system classes through ovo object.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
SYS=$EXAMPLES/system
# Times are local DB times; fix the zone so that the texts are known.
export TZ=UTC

# The populated client round-trips exactly.
expect "$(cat "$SYS/client.xml")" 0 -- object OVOSystem "$SYS/client.xml"

# Overview text: the fixed fields, then only what is set.
expect '<Client><TimeStamp>31095123.2750412800</TimeStamp><GUID>3F2504E0-4F89-41D3-9A0C-0305E82C3301</GUID><OrgUnit>A1B2C3D4-0000-4000-8000-000000000001</OrgUnit><DisplayName>Reception PC &amp; printer</DisplayName><HostName>RECEPTION01</HostName><WOLSent>20240601120000</WOLSent><LastBoot>20240601081530</LastBoot><Domain>EXAMPLE</Domain><Comment>ground floor, ünd desk 3</Comment><LastSeen>1717250000</LastSeen><AgentVersion>12.1.3.4567</AgentVersion><LastUser>EXAMPLE\mhuber</LastUser><CurrentUserSID>S-1-5-21-1-2-3-1104</CurrentUserSID></Client>' \
  0 -- system small "$SYS/client.xml"
STDIN='<Client><timestamp>1.2</timestamp><hostname>PC1</hostname><lastseen>0</lastseen></Client>' \
  expect '<Client><TimeStamp>1.2</TimeStamp><GUID></GUID><OrgUnit></OrgUnit><DisplayName></DisplayName><HostName>PC1</HostName><WOLSent>19700101000000</WOLSent><LastBoot>19700101000000</LastBoot></Client>' 0 -- system small
STDIN='<client/>' expect "" 1 -- system small
expect_status 2 -- system

# Operating-system names.
expect "0x80000 10 0" 0 -- system ostype "Microsoft Windows 10 Pro x64"
expect "0x40000 10 0" 0 -- system ostype "windows 10 enterprise"
expect "0x20000 6 3" 0 -- system ostype "Windows Server 2012 R2 Standard"
expect "0x100 5 2" 0 -- system ostype "Windows XP Professional x64 Edition"
expect "0x400000 10 0" 0 -- system ostype "Windows 11 Pro"
expect_status 1 -- system ostype "Linux"
expect_status 2 -- system ostype

# Field rules through ovo object: lists always, drives and versions in groups, times and the stamp.
STDIN='<Client><TimeStamp>7</TimeStamp><OSVerMinor>1</OSVerMinor><DriveESize>0</DriveESize><DriveEFree>9</DriveEFree><Modified>-2</Modified><WOLSent>19700101</WOLSent><PrimarySubnetMask>255.0.0.0</PrimarySubnetMask></Client>' \
  expect '<Client><TimeStamp>0.0</TimeStamp><GUID></GUID><OrgUnit></OrgUnit><DisplayName></DisplayName><HostName></HostName><MACList></MACList><LAAList></LAAList><IPList></IPList><PrimarySubnetMask>255.0.0.0</PrimarySubnetMask><Priority>1</Priority><Options>562</Options><OSVerMajor>0</OSVerMajor><OSVerMinor>1</OSVerMinor><OSVerBuild>0</OSVerBuild><FeatureUpdateDelayDays>4294967295</FeatureUpdateDelayDays><ObjectRights></ObjectRights><ClientAgentState>0</ClientAgentState><LastActivityChange>0</LastActivityChange><Modified>1</Modified><SaveOptions>0</SaveOptions><WOLSent>19700101000000</WOLSent><LastBoot>19700101000000</LastBoot><TimezoneOffset>0</TimezoneOffset><DoNotDisturbUntil>19700101000000</DoNotDisturbUntil></Client>' \
  0 -- object OVOSystem
STDIN='<Clients/>' expect_status 1 -- object OVOSystem

# The directory object.
STDIN='<ADObject><displayname>Maria</displayname><x/></ADObject>' \
  expect '<ADObject><GUID></GUID><Name></Name><DisplayName>Maria</DisplayName><Vars><Scope>__ADOBJECT__</Scope></Vars></ADObject>' 0 -- object OVOADObject
finish
