# ovo rights and ovo release.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
NOAUT=E1CE0953-CDAA-4609-B962-9B1F75B23CEE

# Short names of a mask.
expect "F,Job:AssignTrg" 0 -- rights names 5 0x101
expect "Job:AssignTrg" 0 -- rights names 5 257 --special-only
expect "AssignTrg,Control,EdAutoAss" 0 -- rights names 40 0x700
expect "F,R,W,X" 0 -- rights names 0 0xFFFFFFFF
expect "" 0 -- rights names 0 0xFFFFFFFF --special-only
expect "AUTConfig,AUTView,LicMgmt" 0 -- rights names 0x21 0x70000
expect "CrOrgUnit,CrObject,LicMgmt,SyncSentra" 0 -- rights names 5 0x1400C0 --special-only
expect_status 2 -- rights names 5
expect_status 2 -- rights names 5 0x100000000
expect_status 2 -- rights names x 1
expect_status 2 -- rights names 5 -1
expect_status 2 -- rights

# Masks of short-name texts.
expect "0x101" 0 -- rights mask "F,Job:AssignTrg"
expect "0x0" 0 -- rights mask SyncSentra
expect "0x100000" 0 -- rights mask SentraCockpit
expect "0x40006" 0 -- rights mask "r,w,App/OS:LicMgmt"
expect "0x0" 0 -- rights mask ""
expect_status 2 -- rights mask

# Supported special rights.
expect "0xC0" 0 -- rights supported 5
expect "0x7C0" 0 -- rights supported 5 --unit-mask 0x10002 --guid $NOAUT
expect "0x707C0" 0 -- rights supported 5 --unit-mask 0x10002 --guid 11111111-2222-3333-4444-555555555555
expect "0x0" 0 -- rights supported 33
expect "0x70000" 0 -- rights supported 33 --guid 11111111-2222-3333-4444-555555555555
expect "0x0" 0 -- rights supported 33 --guid $NOAUT
expect "0x40000" 0 -- rights supported 32
expect "0x700" 0 -- rights supported 40
expect "0x3F0C0" 0 -- rights supported 50
expect "0x3F000" 0 -- rights supported 0x33
expect "0x1000" 0 -- rights supported 55
expect "0x0" 0 -- rights supported 56
expect_status 2 -- rights supported
expect_status 2 -- rights supported 5 --unit-mask nope

# Release levels.
TAB=$(printf '\t')
expect "500${TAB}released" 0 -- release 500
expect "500${TAB}released" 0 -- release Released
expect "400${TAB}released for test" 0 -- release "RELEASED FOR TEST"
expect "300${TAB}not released" 0 -- release "not released"
expect "200${TAB}not specified" 0 -- release "Not Specified"
expect "100${TAB}cancelled" 0 -- release cancelled
expect "100${TAB}cancelled" 0 -- release 0x64
expect "250${TAB}not specified" 0 -- release 250
expect "200${TAB}not specified" 0 -- release 42
expect "200${TAB}not specified" 0 -- release 501
expect "200${TAB}not specified" 0 -- release 4294967396
expect "200${TAB}not specified" 0 -- release -- -300
expect_status 1 -- release freigegeben
expect_status 1 -- release "released "
expect_status 1 -- release ""
expect_status 2 -- release

# The access list through `ovo object`.
STDIN='<ObjectRights><accessentry><rights>3</rights><securityprofile>p</securityprofile></accessentry><Inherited>0</Inherited></ObjectRights>' \
  expect '<ObjectRights><Inherited>0</Inherited><Effective>15</Effective><AccessEntry><SecurityProfile>p</SecurityProfile><Rights>2147483647</Rights></AccessEntry></ObjectRights>' 0 -- object OVOObjectRights
STDIN='<ObjectRights><Inherited>0</Inherited></ObjectRights>' expect '<ObjectRights></ObjectRights>' 0 -- object OVOObjectRights
STDIN='<Other/>' expect_status 1 -- object OVOObjectRights
finish
