# ovo time, ovo bandwidth, ovo speed.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
export TZ="Europe/Berlin"

expect "20230615123456" 0 -- time db 1686832496 --utc
expect "20230615143456" 0 -- time db 1686832496
expect "19700101010000" 0 -- time db 0
expect "19700101000000" 0 -- time db 0 --utc
expect "99991231235959" 0 -- time db 253402300799 --utc
expect "" 0 -- time db 253402300800 --utc
expect "" 0 -- time db -1
expect "" 0 -- time db -9223372036854775808 --utc
expect "20230615123456" 0 -- time db 0x648B0570 --utc

expect "1686832496" 0 -- time parse 20230615123456 --utc
expect "1686832496" 0 -- time parse 20230615143456
expect "1686780000" 0 -- time parse 20230615
expect "0" 0 -- time parse 19700101235959 --utc
expect "86400" 0 -- time parse 19700102000000 --utc
expect "82800" 0 -- time parse 19700102000000
expect "0" 0 -- time parse 202306151234
expect "0" 0 -- time parse 20231315000000
expect "0" 0 -- time parse ""
expect "1698546600" 0 -- time parse 20231029033000
expect "1698539400" 0 -- time parse 20231029023000  # twice that night: the first
expect "1711848600" 0 -- time parse 20240331023000  # skipped: an hour later

expect "65536" 0 -- bandwidth 512kbit
expect "65536" 0 -- bandwidth "512 kbit"
expect "1310720" 0 -- bandwidth "10 MBit"
expect "0" 0 -- bandwidth "abc 5 kbit"
expect "549755813760" 0 -- bandwidth "4294967295 kbit"
expect "" 1 -- bandwidth kbit
expect "" 1 -- bandwidth "512 kbps"
expect_status 1 -- bandwidth ""

expect " 1.5 MBit/s" 0 -- speed 1500000
expect "1000.0 KBit/s" 0 -- speed 1000000
expect " 1.0 MBit/s" 0 -- speed 1000001
expect "1000.0 MBit/s" 0 -- speed 1000000000
expect " 1.0 GBit/s" 0 -- speed 1000000001
expect " 2.5 GBit/s" 0 -- speed 2.5e9
expect " 0.0 KBit/s" 0 -- speed 0
expect "64.0 KBit/s" 0 -- speed 0xFA00

# Usage errors.
expect_status 2 -- time
expect_status 2 -- time db
expect_status 2 -- time db abc
expect_status 2 -- time db 9223372036854775808
expect_status 2 -- time db -9223372036854775809
expect_status 2 -- time parse
expect_status 2 -- bandwidth
expect_status 2 -- speed
expect_status 2 -- speed abc
expect_status 2 -- speed nan
expect_status 2 -- speed inf
expect_status 2 -- speed 1e999
expect_status 0 -- time --help
finish
