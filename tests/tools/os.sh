# ovo os: OS type bit sets, names and Windows versions.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
ALL=W2000,XP,XP_x64,W2003,W2003_x64,Vista,Vista_x64,W2008,W2008_x64,Win7,Win7_x64,W2008R2_x64,Win8,Win8_x64,W2012_x64,Win10,Win10_x64,W2016_x64,W2019_x64,Win11_x64,W2022_x64,NT4
TAB=$(printf '\t')

expect "Any" 0 -- os names 0xFFFFFF
expect "Any" 0 -- os names 16777215
expect "$ALL" 0 -- os names 0x1FFFFFF
expect "" 0 -- os names 0x80
expect "W2000,XP_x64,NT4" 0 -- os names 0x103
expect "Windows 10 (x64)" 0 -- os long 0x80000
expect "" 0 -- os long 0x104

expect "0x40040" 0 -- os bits "Win7,Windows 10"
expect "0xFFFFFF" 0 -- os bits Any
expect "0x0" 0 -- os bits any
expect "0x0" 0 -- os bits ""
expect "0xC00001" 0 -- os bits "Windows 11,NT4,W2022_x64"

expect "FFFFFF" 0 -- os hex 0xffffff
expect "FEDCBA9876543210" 0 -- os hex 0xFEDCBA9876543210
expect "0" 0 -- os hex 0

expect "0x40" 0 -- os base 0x1000
expect "0x800000" 0 -- os base 0x800000
expect "0x1100" 0 -- os base 0x1100
expect "true" 0 -- os pe 0x80000
expect "false" 0 -- os pe 0x4
expect "true" 0 -- os pe 0x2000

expect "0x1100" 0 -- os arch 0x44 X64
expect "0x0" 0 -- os arch 0x44 ia64
expect "0x44" 0 -- os arch 0x44 x86
expect "0x1" 0 -- os arch 0x3 x64

expect "0x80000${TAB}WIN10CLIENT_X64" 0 -- os version 10 0 19045 0x40000000 x64
expect "0x40000${TAB}WIN10CLIENT" 0 -- os version 10 0 19045 0x40000000 AMD64
expect "0x80000${TAB}WIN10CLIENT_X64" 0 -- os version 10 0 21999 0x40000000 x64
expect "0x400000${TAB}WIN11CLIENT_X64" 0 -- os version 10 0 22000 0x40000000 x64
expect "0x100000${TAB}WIN10SERVER_X64" 0 -- os version 10 0 17762 0x80000000 x64
expect "0x200000${TAB}WINSRV2019_X64" 0 -- os version 10 0 17763 0x80000000 x64
expect "0x800000${TAB}WINSRV2022_X64" 0 -- os version 10 0 20348 0x80000000 x64
expect "0x200${TAB}W2K3SRVENT_X64" 0 -- os version 5 2 3790 0x80000002 x64
expect "0x8${TAB}W2K3SRVWEB" 0 -- os version 5 2 3790 0x80000400 x86
expect "0x8${TAB}" 0 -- os version 5 2 3790 0x40000000 x86
expect "0x80${TAB}WIN7SERVER" 0 -- os version 6 1 7601 0x80000000 x86
expect "0x0${TAB}" 0 -- os version 11 0 1 0 x64

expect "true" 0 -- os supported 0x44 0x40
expect "false" 0 -- os supported 0x4 0x8
expect "false" 0 -- os supported 0x8000000000000004 0x8000000000000004
expect "true" 0 -- os supported 0x8000000000000004 4

# Usage errors: bad numbers, missing arguments, no subcommand.
expect_status 2 -- os
expect_status 2 -- os names
expect_status 2 -- os names xyz
expect_status 2 -- os names 0x
expect_status 2 -- os names -1
expect_status 2 -- os names 0x10000000000000000
expect_status 2 -- os names 18446744073709551616
expect_status 2 -- os version 10 0 19045 0x40000000
expect_status 2 -- os version 4294967296 0 0 0 x64
expect_status 2 -- os version 10 0 1.5 0 x64
expect_status 2 -- os supported 1
expect_status 0 -- os --help
expect_status 0 -- os version --help
finish
