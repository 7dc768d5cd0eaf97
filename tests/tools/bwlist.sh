# ovo bwlist check, add and describe.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
EX=$EXAMPLES/server
IPS=$(cat "$EX/ip_list.txt")
MACS=$(cat "$EX/mac_list.txt")

# A white list of networks: admitted (0) with the deciding entry, or refused (1) with an empty line.
expect "0
10.10.0.0/255.255.0.0" 0 -- bwlist check --type 2 --mode 0 "$IPS" 10.10.3.4
expect "0
172.16.*" 0 -- bwlist check --type 2 --mode 0 "$IPS" 172.16.9.9
expect "1" 0 -- bwlist check --type 2 --mode 0 "$IPS" 8.8.8.8
# (the shell drops the empty second line; it is there)
[ "$("$OVO" bwlist check --type 2 --mode 0 "$IPS" 8.8.8.8 | od -c | head -n 1)" = "0000000   1  \n  \n" ] ||
  { echo "FAIL: no empty second line"; fails=$((fails + 1)); }
# A black list with a negated network refuses what lies outside it.
expect "1
!10.0.0.0/8" 0 -- bwlist check --type 2 --mode 1 '!10.0.0.0/8' 192.168.0.1
expect "0" 0 -- bwlist check --type 2 --mode 1 '!10.0.0.0/8' 10.1.2.3
# MAC entries are normalised; a value that is no MAC matches none.
expect "1
00155D*" 0 -- bwlist check --type 1 --mode 1 "$MACS" 00-15-5d-01-02-03
expect "0" 0 -- bwlist check --type 1 --mode 1 "$MACS" RECEPTION01
expect "1" 0 -- bwlist check --type 1 --mode 0 "$MACS" RECEPTION01
expect "1
PC-*" 0 -- bwlist check --type 0 --mode 1 'PC-*;kiosk?' pc-42

# Invalid entries and duplicates are refused, the rest kept.
expect "192.168.1.0/24;10.10.0.0/255.255.0.0;172.16.* (Whitelist mode)" 0 -- bwlist describe --type 2 --mode 0 "$IPS"
expect "00155D*;080027?????? (BlackList mode)" 0 -- bwlist describe --type 1 --mode 1 "$MACS"
expect "0" 0 -- bwlist add --type 2 "$IPS" 300.1.1.1
expect "1" 0 -- bwlist add --type 2 "$IPS" '300.*'
expect "0" 0 -- bwlist add --type 2 "$IPS" 172.16.*
expect "1" 0 -- bwlist add --type 1 "" 00:1a:2b:3c:4d:5e
expect "1" 0 -- bwlist add --type 7 "" anything

expect_status 2 -- bwlist check --type 2 "$IPS" 10.0.0.1
expect_status 2 -- bwlist check --type x --mode 0 "$IPS" 10.0.0.1
expect_status 2 -- bwlist add --type 2 "$IPS"
expect_status 2 -- bwlist describe --mode 0 "$IPS"
expect_status 2 -- bwlist
finish
