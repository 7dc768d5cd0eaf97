# ovo client identify, candidates and describe, and the identification examples through `ovo object`.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
TAB=$(printf '\t')
EX=$EXAMPLES/client

# Every example reads back to itself.
for f in new_machine changed_ip renamed_by_mac unknown_machine empty_primary_mac; do
  expect "$(cat "$EX/$f.xml")" 0 -- object OVOClientIdentification "$EX/$f.xml"
done

# Candidates in the order of the default scheme 1,2,6,7,4,3,5.
expect "2${TAB}00:1A:2B:3C:4D:5E;00:1A:2B:3C:4D:5F
7${TAB}pc1.corp.example
4${TAB}CORP\\PC1
4${TAB}PC1
5${TAB}192.168.1.20" 0 -- client candidates "$EX/new_machine.xml"
expect "1${TAB}6B1F2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D
2${TAB}00:1A:2B:3C:4D:5E;00:1A:2B:3C:4D:5F
6${TAB}PC1
7${TAB}pc1.corp.example
4${TAB}CORP\\PC1
4${TAB}PC1
5${TAB}192.168.1.57" 0 -- client candidates "$EX/changed_ip.xml"
expect "5${TAB}10.1.0.10
3${TAB}02:00:4C:4F:4F:50
4${TAB}@WORKGROUP\\LAB-X9
4${TAB}LAB-X9" 0 -- client candidates "$EX/unknown_machine.xml" --scheme 5,0,3,9,4
# Without a primary MAC method 2 asks nothing.
expect "7${TAB}kiosk3.corp.example
4${TAB}CORP\\KIOSK3
4${TAB}KIOSK3
5${TAB}192.168.5.3" 0 -- client candidates "$EX/empty_primary_mac.xml"
STDIN='<ClientIdentification><GUID>not-a-guid</GUID></ClientIdentification>' expect "" 0 -- client candidates
STDIN='garbage' expect "" 0 -- client candidates
expect_status 2 -- client candidates "$EX/new_machine.xml" --scheme 1,x
expect_status 1 -- client candidates "$EX/missing.xml"

# One-line identifiers.
expect "MACs: ;00:1A:2B:00:00:03, IP: 192.168.5.3, HostName: KIOSK3, (LMDomain: CORP)" 0 -- client describe "$EX/empty_primary_mac.xml"
expect "GUID: 6B1F2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D, MACs: 00:1A:2B:3C:4D:5E;00:1A:2B:3C:4D:5F, IP: 192.168.1.57, HostName: PC1, (LMDomain: CORP), DisplayName: PC1" 0 -- client describe "$EX/changed_ip.xml"
STDIN='' expect "<No Identifier>" 0 -- client describe

# This machine: only what holds everywhere. The host name alone cannot fail.
expect_status 0 -- client identify --mask 0x2
OUT=$("$OVO" client identify)
STDIN=$OUT expect "$OUT" 0 -- object OVOClientIdentification
case $OUT in
  "<ClientIdentification><GUID></GUID>"*"</ClientIdentification>") ;;
  *) echo "FAIL: client identify gave: $OUT"; fails=$((fails + 1)) ;;
esac
case $OUT in
  *"<IP>127."* | *";127."*) echo "FAIL: loopback address in: $OUT"; fails=$((fails + 1)) ;;
esac
expect "<ClientIdentification><GUID></GUID><SID></SID><DisplayName></DisplayName><HostName></HostName><LMDomain></LMDomain><FQDN></FQDN><TokenizedIpWithPrefix></TokenizedIpWithPrefix><MAC></MAC><LAA></LAA><IP></IP><NetworkAdapters></NetworkAdapters></ClientIdentification>" 0 -- client identify --mask 0x30
expect_status 2 -- client identify --mask nope
expect_status 2 -- client

# The announce road on a fresh store: a registered client found by host name,
# a new machine created, then found again by its MACs after a change of IP.
DB=$(mktemp -d)/clients.db
"$OVO" store init "$DB"
"$OVO" store put "$DB" 51 1:0A1B2C3D-0000-4000-8000-000000000042 "$EXAMPLES/store/client.xml" >/dev/null
OUT=$("$OVO" client find "$DB" "$EX/pc0042.xml")
case $OUT in
  "4"$'\n'"<Client>"*"<GUID>0A1B2C3D-0000-4000-8000-000000000042</GUID>"*) ;;
  *) echo "FAIL: client find gave: $OUT"; fails=$((fails + 1)) ;;
esac
expect "" 1 -- client find "$DB" "$EX/new_machine.xml"
OUT=$("$OVO" client announce "$DB" "$EX/new_machine.xml")
case $OUT in
  "new	"*$'\n'"saved	"*"	PC1	IP 192.168.1.20	MAC 00:1A:2B:3C:4D:5E;00:1A:2B:3C:4D:5F") ;;
  *) echo "FAIL: announce of a new machine gave: $OUT"; fails=$((fails + 1)) ;;
esac
OUT=$("$OVO" client announce "$DB" "$EX/changed_ip.xml")
case $OUT in
  "found	method 2	"*"	PC1"$'\n'"saved	"*"	PC1	IP 192.168.1.57	"*) ;;
  *) echo "FAIL: announce after a change of IP gave: $OUT"; fails=$((fails + 1)) ;;
esac
expect_status 2 -- client find "$(dirname "$DB")/missing.db" "$EX/new_machine.xml"

# Three announces of one new machine at once make one client, round after round.
for round in 1 2 3 4 5 6 7 8; do
  RACE=$(dirname "$DB")/race$round.db
  "$OVO" store init "$RACE"
  for i in 1 2 3; do "$OVO" client announce "$RACE" "$EX/new_machine.xml" >"$RACE.$i" 2>&1 & done
  wait
  clients=$("$OVO" store list "$RACE" 51 | wc -l)
  news=$(cat "$RACE".? | grep -c '^new')
  saved=$(cat "$RACE".? | grep -c '^saved')
  if [ "$clients/$news/$saved" != 1/1/3 ]; then
    echo "FAIL: round $round: clients/new/saved $clients/$news/$saved"; cat "$RACE".?; fails=$((fails + 1))
  fi
done
rm -rf "$(dirname "$DB")"
finish
