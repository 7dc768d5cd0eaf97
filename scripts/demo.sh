#!/usr/bin/env bash
# The main job: runs the ovo tool over the shipped example records.
set -uo pipefail
OVO=${1:-build/release/tools/ovo}
EX=$(cd "$(dirname "$0")/../examples" && pwd)
step() { printf '\n\033[1m$ ovo %s\033[0m\n' "$*"; "$OVO" "$@"; }
# The same with the output through a filter, for long outputs: stepf FILTER ARGS...
stepf() { local filter=$1; shift; printf '\n\033[1m$ ovo %s | %s\033[0m\n' "$*" "$filter"; "$OVO" "$@" | eval "$filter"; }

step version
echo; echo "# The object catalogue (first lines of $("$OVO" catalogue | wc -l))"
"$OVO" catalogue | head -n 8
echo; echo "# Stored records, validated and normalised (tags fixed, unknown nodes dropped, duplicates merged)"
step object 'OVO::Properties' "$EX/properties.xml"
step object OVOObjectRights "$EX/object_rights.xml"
step object OVOVars "$EX/vars.xml"
step object OVOCustomVarDefList "$EX/custom_var_defs.xml"
step object COVKVars "$EX/ovsvars.xml"
echo; echo "# Texts that are not one XML document are refused; the older length-packed bag is read as such"
printf '%s' 'abc<Properties/>' | step object 'OVO::Properties'
nested=$("$OVO" object OVOProperties "$EX/properties.xml")
legacy=$("$OVO" tokens pack "$("$OVO" tokens pack Name PC1)" "$("$OVO" tokens pack Nested "$nested")")
printf '%s' "$legacy" | step object OVOProperties
echo; echo "# Length-packed lists"
packed=$("$OVO" tokens pack 'DIP;KitsServer' '' 'a:b')
step tokens pack 'DIP;KitsServer' '' 'a:b'
printf '%s' "$packed" | step tokens unpack
echo; echo "# Operating-system types"
step os names 0x441000
step os bits 'Win7,Windows 10'
step os version 10 0 22631 0x40000000 x64
step os arch 0x44 x64
echo; echo "# Times and bandwidths"
TZ=UTC step time db 1700000000
TZ=UTC step time parse 20231114221320
step bandwidth '10 mbit'
step speed 1500000
echo; echo "# Rights and release levels"
step rights names 5 0x101
step rights mask 'F,Job:AssignTrg'
step release 400
echo; echo "# Directory: a group another console wrote comes back byte for byte; dynamic groups and console security"
step object OVOGroup "$EX/directory/foreign_group.xml"
step group where "select * from v where (a = 'where x')"
step group view-name E1CE0953-CDAA-4609-B962-9B1F75B23CEE
step security allowed "$EX/directory/security_profile.xml" JOBS
step security account 'tenant/dept/alice'
echo; echo "# Variable expansion of an unattended-setup file"
step expand --vars "$EX/ovsvars.xml" --vars "$EX/vars.xml" --var 'Client.Inventory.Room=overridden' \
  "Install from {DIP} on {Machine} in {Domain}, drive {Drive{Index}}"
out=$(mktemp)
step expand --vars "$EX/ovsvars.xml" --vars "$EX/vars.xml" --in "$EX/unattend.ini" --out "$out"
cat "$out"; rm -f "$out"
echo; echo "# Jobs: steps of every kind, targets, schedules (local time of TZ)"
stepf "cut -c 1-300" object OVOJobStepList "$EX/steps/step_list.xml"
step steps result "$EX/steps/step_list.xml"
step steps next-boot "$EX/steps/step_list.xml"
TZ=Europe/Berlin step job next-run --now 1700000000 "$EX/jobs/job.xml"
TZ=UTC stepf "sed -e 's/.*\\(<JobTarget>\\)/\\1/' -e 's/\\(<\\/JobTarget>\\).*/\\1/'" job assign \
  0D2B7C41-5E3A-4F19-8B6D-9A1C3E5F7B20 pc42.corp.example "PC 42" admin --now 1700000000 "$EX/jobs/job.xml"
step job sort 1 desc "$EX/jobs/job_list.xml"
echo; echo "# Software: a licence reserved (result and reservation record; the application follows)"
stepf "head -n 2" licence reserve 2.10.3 "$EX/software/application.xml"
echo; echo "# Hardware and energy"
step hw display "$EX/hardware/hw_profile.xml"
step energy power "$EX/energy/profile.xml"
step energy validate "$EX/energy/policy.xml"
echo; echo "# Managed systems: a client record, and this machine's identification"
stepf "cut -c 1-300" object OVOSystem "$EX/system/client.xml"
stepf "cut -c 1-300" client identify
echo; echo "# The announce road on an object store in a temporary folder"
store_dir=$(mktemp -d)
db="$store_dir/clients.db"
step store init "$db"
step store put "$db" 51 1:0A1B2C3D-0000-4000-8000-000000000042 "$EX/store/client.xml"
step client find "$db" "$EX/client/pc0042.xml"
for announce in new_machine changed_ip renamed_by_mac unknown_machine; do
  echo; echo "## announce: $announce"
  step client candidates "$EX/client/$announce.xml"
  step client announce "$db" "$EX/client/$announce.xml"
done
stepf "cut -c 1-200" store get "$db" 51 4:SALES-07
stepf "wc -l" store list "$db" 51
echo; echo "# The whole road: announce, client found, job assigned and stored, packet sent, steps confirmed"
step road --now 1717570800 "$db" "$EX/road/job.xml" "$EX/client/changed_ip.xml"
echo; echo "# The road grown: the announce carries the inventory, the address is checked against the server's list,"
echo "# the store merges only what changed (the second time nothing), and the reported state is stored"
road=(road --now 1717570800 --inventory "$EX/road/inventory.xml" --state "$EX/road/state.xml"
      --ip-list "10.0.0.0/8;192.168.1.0/24" "$db" "$EX/road/job.xml" "$EX/client/changed_ip.xml")
step "${road[@]}"
stepf "head -n 4" "${road[@]}"
stepf "grep -o '<\(CPUDesc\|TotalMemory\|LastUser\|Username\)>[^<]*<'" store get "$db" 51 4:PC1
step road --now 1717570800 --ip-list "10.0.0.0/8" "$db" "$EX/road/job.xml" "$EX/client/changed_ip.xml"
stepf "cut -c 1-160" store list "$db" 42
echo; echo "# The same store on a PostgreSQL server: the file store copied into it, the road on the server, and back"
pg_demo() {
  local server=$1
  step store copy "$db" "$server"
  step road --now 1717570800 --inventory "$EX/road/inventory.xml" --state "$EX/road/state.xml" \
    --ip-list "10.0.0.0/8;192.168.1.0/24" "$server" "$EX/road/job.xml" "$EX/client/changed_ip.xml"
  step client announce "$server" "$EX/client/new_machine.xml"
  stepf "cut -c 1-200" store get "$server" 51 4:PC1
  step store copy "$server" "$store_dir/back.db"
  stepf "wc -l" store list "$store_dir/back.db" 51
}
pg_dir=""
if [ -n "${ORVACMN_TEST_PG:-}" ] || { [ -x "$(dirname "$0")/pg-cluster.sh" ] &&
    { ls /usr/lib/postgresql/*/bin/initdb || command -v initdb; } >/dev/null 2>&1; }; then
  if [ -z "${ORVACMN_TEST_PG:-}" ]; then
    # A throwaway cluster of our own, stopped however the demo ends.
    pg_dir=$(mktemp -d /tmp/ovodemo.XXXXXX)
    trap '"$(dirname "$0")/pg-cluster.sh" stop "$pg_dir"' EXIT
    pg_env=$("$(dirname "$0")/pg-cluster.sh" start "$pg_dir") && eval "$pg_env"
  fi
  if [ -n "${ORVACMN_TEST_PG:-}" ] && psql -q -d "$ORVACMN_TEST_PG" -c "DROP DATABASE IF EXISTS ovo_demo" \
      -c "CREATE DATABASE ovo_demo" >/dev/null 2>&1; then
    pg_demo "$(sed -E 's/(^| )dbname=[^ ]*//' <<<"$ORVACMN_TEST_PG") dbname=ovo_demo"
    psql -q -d "$ORVACMN_TEST_PG" -c "DROP DATABASE ovo_demo" >/dev/null 2>&1
  else
    echo "(no PostgreSQL server could be started: the server part is skipped)"
  fi
  [ -n "$pg_dir" ] && { "$(dirname "$0")/pg-cluster.sh" stop "$pg_dir"; trap - EXIT; }
else
  echo "(PostgreSQL is not installed: the server part is skipped)"
fi
echo; echo "# Hardware matching: the client's device report picks the best hardware profile; new network and graphics"
echo "# cards become components (the profile's own card and the bridge do not), their records created in the store"
step store put "$db" 10 0C9F2A8E-7B61-4D3A-8E5F-112233445566 "$EX/hardware/hw_profile.xml"
step hw update "$db" 0A1B2C3D-0000-4000-8000-000000000042 "$EX/hardware/device_report.txt"
rm -rf "$store_dir"
echo; echo "# Patch release levels carried from one store to another through a patch state file"
patches=$(mktemp -d)
for s in a b; do "$OVO" store init "$patches/$s.db" >/dev/null; done
for g in KB5001 KB5002; do
  printf '<PTMPatch><GUID>%s</GUID><GUIDBulletin>MS24-01</GUIDBulletin><Name>Update %s</Name><Bulletin>MS24-01</Bulletin><ReleaseLevel>300</ReleaseLevel></PTMPatch>\n' \
    "$g" "$g" >"$patches/$g.xml"
  for s in a b; do "$OVO" db create "$patches/$s.db" PTMPatch "$patches/$g.xml" >/dev/null; done
done
sed 's/>300</>500</' "$patches/KB5001.xml" | "$OVO" db save "$patches/a.db" PTMPatch  # released in store a only
step patch export "$patches/a.db" "$patches/states.xml"
cat "$patches/states.xml"
step patch import "$patches/b.db" "$patches/states.xml"
stepf "grep -o '<ReleaseLevel>[^<]*<'" db load "$patches/b.db" PTMPatch KB5001
rm -rf "$patches"
echo; echo "# Server side: an agent's report merged into its stored client (only what changed, unknown values left out),"
echo "# the Options after its last connection, its state updated by change groups, addresses checked against lists"
TZ=UTC step merge --now 1717257600 --ip-update-mode 1 --domain "$EX/server/domain.xml" "$EX/server/client.xml" \
  "$EX/server/report.xml"
step system options "$EX/server/client.xml" --connection 1 --auto-roaming 1
step state update "$EX/server/state_stored.xml" "$EX/server/state_update.xml"
ips=$(cat "$EX/server/ip_list.txt")
step bwlist describe --type 2 --mode 0 "$ips"
step bwlist check --type 2 --mode 0 "$ips" 10.10.3.4
step bwlist check --type 2 --mode 0 "$ips" 8.8.8.8
step bwlist check --type 1 --mode 1 "$(cat "$EX/server/mac_list.txt")" 00-15-5d-01-02-03
echo; echo "# Drivers: a UTF-16 INF package, its security catalog, a real package's devices, the search for a device's driver"
step catalog attrs "$EX/drivers/netkvm/NetKvm.cat"
stepf "cut -c 1-400" inf parse "$EX/drivers/netkvm/netkvm.inf"
step inf devices "$EX/drivers/Display/Gfx.INF"
step inf devices "$EX/drivers/qemu-serial/qemupciserial.inf"
step inf value "$EX/drivers/netkvm/netkvm.inf" Version DriverVer
step inf find --device 'PCI\VEN_1AF4&DEV_1000&SUBSYS_00011AF4&REV_00' "$EX/drivers"
step inf find --device 'PCI\VEN_1B36&DEV_0004&SUBSYS_11001AF4&REV_01' "$EX/drivers"
echo; echo "# Hardware components: which of a component's candidate drivers serve which OS"
step component autolink 0xFFFFFFFFFFFFFFFF "$EX/hardware/autolink.xml"
echo; echo "# Messages: every one crosses as its text; content of 512 bytes and more travels compressed"
stepf "cut -c 1-200" message MsgClientToServer "$EX/messages/client_to_server.xml"
payload=$(mktemp)
seq 1 400 > "$payload"
stepf "cut -c 1-120" internet pack "$payload"
printf '\n\033[1m$ ovo internet pack FILE | ovo internet unpack request | tail -n 2\033[0m\n'
"$OVO" internet pack "$payload" | "$OVO" internet unpack request | tail -n 2
rm -f "$payload"
step packet timeout --now 1700000000 "$EX/messages/job_step_packet.xml"
stepf "cut -c 1-300" packet skip AAAAAAAA-0000-4000-8000-000000000001 "$EX/messages/job_step_packet.xml"
stepf "head -n 5" message --list
step message AgentUpdateRequest "$EX/messages/agent/agent_update_request.xml"
echo; echo "# Distribution: a deploy package run from the distribution point the locator chose"
dist=$(mktemp -d)
maps=(--map "\\\\dip01\\kits=$EX/distribution/dip01" --map "\\\\dip02\\kits=$EX/distribution/dip02"
      --map "C:=$dist/c")
dips='\\dip02\kits;\\dip01\kits'
step dip locate "${maps[@]}" "$dips" '{DIP}\pkgs\demo\package.ini'
step dip bits "ovbt:https://dip03.corp.example/kits;$dips"
step object 'OVO::Dip' "$EX/distribution/dip.xml"
step deps resolve 'Office=Runtime#Fonts' 'Runtime=' 'Viewer=Office#Runtime'
step software keyfile "$EX/distribution/application.xml"
stepf "grep -o '<SoftwareFiles>.*</SoftwareFiles>'" software files "$EX/distribution/application.xml"
step package run --dry-run --dips "$dips" --vars "$EX/distribution/vars.xml" "${maps[@]}" \
  --registry "$dist/registry" '{DIP}\pkgs\demo\package.ini'
XDG_DATA_HOME="$dist/xdg" step package run --dips "$dips" --vars "$EX/distribution/vars.xml" "${maps[@]}" \
  --registry "$dist/registry" '{DIP}\pkgs\demo\package.ini'
printf '\n\033[1m$ find C: (%s)\033[0m\n' "$dist/c"
(cd "$dist/c" && find . -type f | sort)
cat "$dist/c/Program Files/Demo/first-run.log"
step registry get --registry "$dist/registry" HKLM 'SOFTWARE\Demo'
step registry get --registry "$dist/registry" HKLM 'software\demo' version
printf '\n\033[1m$ cat %s\033[0m\n' "applications/Demo Tool.desktop"
cat "$dist/xdg/applications/Demo Tool.desktop"
rm -rf "$dist"
