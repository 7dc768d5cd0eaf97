# ovo road: one agent's announce road on a fresh store, every message as its text.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
DB=$(mktemp -d)/road.db
trap 'rm -rf "$(dirname "$DB")"' EXIT
"$OVO" store init "$DB"
OUT=$("$OVO" road --now 1717570800 "$DB" "$EXAMPLES/road/job.xml" "$EXAMPLES/client/new_machine.xml")
lines=$(printf '%s\n' "$OUT" | cut -f 1,2 | sed 's/[0-9A-F]\{8\}-[0-9A-F-]\{27\}/GUID/')
want="agent	announce MACs: 00:1A:2B:3C:4D:5E;00:1A:2B:3C:4D:5F, IP: 192.168.1.20, HostName: PC1, (LMDomain: CORP)
server	created GUID PC1
server	job-step packet for Office & tools rollout with 3 steps
agent	confirm step 1: step 1 on PC1 (192.168.1.20) in de-DE
agent	confirm step 2: step 2 on PC1 (192.168.1.20) in de-DE
agent	confirm step 3: step 3 on PC1 (192.168.1.20) in de-DE
server	job result 7"
[ "$lines" = "$want" ] || { echo "FAIL: road gave:"; printf '%s\n' "$lines"; fails=$((fails + 1)); }
# The same machine with another address is found by its MACs; job and target are in the store.
OUT=$("$OVO" road --now 1717570800 "$DB" "$EXAMPLES/road/job.xml" "$EXAMPLES/client/changed_ip.xml")
case $OUT in *"server	found by method 2 "*" PC1"*"step 1 on PC1 (192.168.1.57)"*) ;;
  *) echo "FAIL: second road gave: $OUT"; fails=$((fails + 1)) ;; esac
[ "$("$OVO" store list "$DB" 40 | wc -l)" = 1 ] || { echo "FAIL: job not stored once"; fails=$((fails + 1)); }
[ "$("$OVO" store list "$DB" 42 | wc -l)" = 1 ] || { echo "FAIL: target not stored once"; fails=$((fails + 1)); }
# The agent reports its inventory and state; the server admits its address, merges
# only what changed and stores the state. The same report again changes nothing.
R=(road --now 1717570800 --inventory "$EXAMPLES/road/inventory.xml" --state "$EXAMPLES/road/state.xml"
   --ip-list "10.0.0.0/8;192.168.1.0/24" "$DB" "$EXAMPLES/road/job.xml" "$EXAMPLES/client/changed_ip.xml")
OUT=$("$OVO" "${R[@]}" | cut -f 1,2 | sed 's/[0-9A-F]\{8\}-[0-9A-F-]\{27\}/GUID/' | head -n 6)
want="agent	announce GUID: GUID, MACs: 00:1A:2B:3C:4D:5E;00:1A:2B:3C:4D:5F, IP: 192.168.1.57, HostName: PC1, (LMDomain: CORP), DisplayName: PC1
server	address 192.168.1.57 admitted by 192.168.1.0/24
server	found by method 2 GUID PC1
server	inventory merged: 6 changed (TotalMemory, CPUDesc, OSVersionBuild, LastLoggedOnUser, PrimaryUser, Options)
agent	state changes 0x3
server	state stored: agent state 2, changes 0x3"
[ "$OUT" = "$want" ] || { echo "FAIL: road with inventory gave:"; printf '%s\n' "$OUT"; fails=$((fails + 1)); }
case $("$OVO" "${R[@]}") in *"inventory merged: nothing changed"*) ;;
  *) echo "FAIL: the same inventory again changed something"; fails=$((fails + 1)) ;; esac
case $("$OVO" store get "$DB" 51 4:PC1) in *"<CPUDesc>Intel(R) Core(TM) i5-8500"*"<LastUser>CORP\jdoe</LastUser>"*) ;;
  *) echo "FAIL: inventory not stored"; fails=$((fails + 1)) ;; esac
expect_status 1 -- road --now 1717570800 --ip-list "10.0.0.0/8" "$DB" "$EXAMPLES/road/job.xml" \
  "$EXAMPLES/client/changed_ip.xml"
expect_status 1 -- road --now 1717570800 --ip-list "192.168.1.57" --ip-list-mode 1 "$DB" "$EXAMPLES/road/job.xml" \
  "$EXAMPLES/client/changed_ip.xml"
expect_status 2 -- road "$(dirname "$DB")/missing.db" "$EXAMPLES/road/job.xml" "$EXAMPLES/client/new_machine.xml"
finish
