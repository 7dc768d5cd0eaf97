# ovo group, ovo security, and the records the library keeps whole through `ovo object`.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
PROFILE=$EXAMPLES/directory/security_profile.xml

# The WHERE keyword outside literals and sub-selects; the patterns in their fixed order.
expect "16" 0 -- group where "select * from v where (a = 'where x')"
expect "-1" 0 -- group where "select * from (select a from t where b=1) s"
expect "16" 0 -- group where "SELECT A FROM T WHERE B=1"
expect "28" 0 -- group where "$(printf 'select a from t\nwhere\nb = 1 where c')"
expect "-1" 0 -- group where ""
expect_status 2 -- group where

# View names: "vw_" and 26 base32 characters, the same for any spelling of the GUID.
expect "vw_4HHASU6NVJDATOLCTMPXLMR45Y" 0 -- group view-name E1CE0953-CDAA-4609-B962-9B1F75B23CEE
expect "vw_4HHASU6NVJDATOLCTMPXLMR45Y" 0 -- group view-name "{e1ce0953-cdaa-4609-b962-9b1f75b23cee}"
expect_status 1 -- group view-name E1CE0953
expect_status 2 -- group view-name

# Allowed values: the first entry of the name, case ignored; 0 without one.
expect "1" 0 -- security allowed "$PROFILE" JOBS
expect "1" 0 -- security allowed "$PROFILE" remotecontrol
expect "0" 0 -- security allowed "$PROFILE" Licences
expect "0" 0 -- security allowed "$PROFILE" Missing
STDIN='<SecurityProfile><RightEntry><Name>A</Name><Allowed>-7</Allowed></RightEntry></SecurityProfile>' \
  expect "-7" 0 -- security allowed - a
STDIN='<Profile/>' expect "" 1 -- security allowed - a
expect_status 1 -- security allowed /nonexistent/profile.xml a
expect_status 2 -- security allowed "$PROFILE"

# Accounts: the stored text, the type, the domain and the name.
expect '*\*
1
*
*' 0 -- security account '*'
expect 'tenant/dept/alice
3
tenant
alice' 0 -- security account tenant/dept/alice
expect 'CORP\alice
0
CORP
alice' 0 -- security account 'CORP\alice'
expect 'bob@corp.example
0
corp.example
bob' 0 -- security account bob@corp.example
expect '%USERDOMAIN%\%USERNAME%
1
%USERDOMAIN%
%USERNAME%' 0 -- security account '%USERDOMAIN%\%USERNAME%'
expect_status 2 -- security account

# A group another program wrote packs back byte for byte; every record class is known to `ovo object`.
expect "$(cat "$EXAMPLES/directory/foreign_group.xml")" 0 -- object OVOGroup "$EXAMPLES/directory/foreign_group.xml"
STDIN='<Asset a="1"><Custom/><AssetOwner>o</AssetOwner></Asset>' \
  expect '<Asset a="1"><Custom/><AssetOwner>o</AssetOwner></Asset>' 0 -- object OVO::Asset
STDIN='<PTMPatch><GUID>g</GUID></PTMPatch>' expect '<PTMPatch><GUID>g</GUID></PTMPatch>' 0 -- object OVOPTMPatch
STDIN='<Patch/>' expect "" 1 -- object OVOPTMPatch
STDIN='<DynamicGroup><Name>n</Name></DynamicGroup>' expect '<DynamicGroup><GUID></GUID><OrgUnit></OrgUnit><Name>n</Name><Statement></Statement><QueryData></QueryData><SqlViewName></SqlViewName><Comment></Comment><Options>0</Options><ObjectRights></ObjectRights></DynamicGroup>' 0 -- object OVODynamicGroup
finish
