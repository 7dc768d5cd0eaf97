# ovo hw update: a stored client's device report turned into a hardware profile and components.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
TAB=$(printf '\t')
DIR=$(mktemp -d); trap 'rm -rf "$DIR"' EXIT
DB=$DIR/s.db
CLIENT=0A1B2C3D-0000-4000-8000-000000000042
PROFILE=0C9F2A8E-7B61-4D3A-8E5F-112233445566
REPORT=$EXAMPLES/hardware/device_report.txt
"$OVO" store init "$DB" >/dev/null
"$OVO" store put "$DB" 51 "1:$CLIENT" "$EXAMPLES/store/client.xml" >/dev/null
"$OVO" store put "$DB" 10 "$PROFILE" "$EXAMPLES/hardware/hw_profile.xml" >/dev/null

# The profile's own network card and the bridge are skipped; the USB device is not managed by the profile.
NET2='PCI\VEN_10EC&DEV_8139&SUBSYS_11001AF4&REV_20&CC_020000'
GFX='PCI\VEN_1234&DEV_1111&SUBSYS_00011AF4&REV_02&CC_030000'
expect "0
PROFILE${TAB}${PROFILE}${TAB}Office desktop
NETCARD${TAB}1${TAB}2${TAB}${NET2}
GFXCARD${TAB}1${TAB}2${TAB}${GFX}" 0 -- hw update "$DB" "$CLIENT" "$REPORT"
LOG=$("$OVO" hw update "$DB" "$CLIENT" "$REPORT" 2>&1 >/dev/null)
[ -z "$LOG" ] || { echo "FAIL: the same report again logged [$LOG]"; fails=$((fails + 1)); }
STORED=$("$OVO" store get "$DB" 51 "1:$CLIENT")
case $STORED in *"<GUIDHWProfile>$PROFILE<"*) ;; *) echo "FAIL: profile not saved"; fails=$((fails + 1)) ;; esac
[ "$(printf '%s' "$STORED" | grep -o AutoDetected | wc -l)" = 2 ] || { echo "FAIL: components not saved"; fails=$((fails + 1)); }
[ "$("$OVO" store list "$DB" 11 | grep -c .)" = 2 ] || { echo "FAIL: component records"; fails=$((fails + 1)); }

# The Realtek card replaced by another: the new one takes the first instance and the old one's settings.
NET3='PCI\VEN_8086&DEV_10D3&SUBSYS_00008086&CC_020000'
printf '%s\n' 'PCI\VEN_8086&DEV_100E&SUBSYS_001E8086&REV_02&CC_020000' 'PCI\VEN_10DE&DEV_0A65&CC_030000' "$NET3" "$GFX" >"$DIR/replaced.txt"
OUT=$("$OVO" hw update "$DB" "$CLIENT" "$DIR/replaced.txt" 2>"$DIR/log")
[ "$OUT" = "0
PROFILE${TAB}${PROFILE}${TAB}Office desktop
GFXCARD${TAB}1${TAB}1${TAB}${GFX}
NETCARD${TAB}1${TAB}2${TAB}${NET3}" ] || { echo "FAIL: replaced card gave [$OUT]"; fails=$((fails + 1)); }
grep -q "^0x100${TAB}Performing dynamic hardware update for client \[Front Desk\]\.$" "$DIR/log" ||
  { echo "FAIL: log"; cat "$DIR/log"; fails=$((fails + 1)); }
grep -q "^0x4${TAB}1 new hardware components were created without automatic driver assignment: " "$DIR/log" ||
  { echo "FAIL: driver assignment not reported"; fails=$((fails + 1)); }

expect_status 1 -- hw update "$DB" 0A1B2C3D-0000-4000-8000-0000000000FF "$REPORT"
expect_status 1 -- hw update "$DB" "$CLIENT" "$DIR/missing.txt"
expect_status 2 -- hw update "$DIR/missing.db" "$CLIENT" "$REPORT"
expect_status 2 -- hw update "$DB" "$CLIENT"
finish
