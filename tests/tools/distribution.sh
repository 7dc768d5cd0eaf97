# ovo dip, syncjob, deps, software keyfile/files, package run and registry get.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
mkdir -p "$TMP/one/Apps/Tool" "$TMP/two/Apps/Other" "$TMP/cd1/Disk1" "$TMP/cd2/Disk2" "$TMP/c"
touch "$TMP/one/Apps/Tool/setup.exe" "$TMP/two/Apps/Other/setup.exe" "$TMP/cd2/Disk2/setup.exe"
MAPS=(--map "\\\\one\\kits=$TMP/one" --map "\\\\two\\kits=$TMP/two")

# The entry that holds the path; the first one when none does or when the path is empty.
expect '\\two\kits' 0 -- dip locate "${MAPS[@]}" '\\one\kits;\\two\kits' '{DIP}\apps\OTHER\setup.exe /S'
expect '\\one\kits' 0 -- dip locate "${MAPS[@]}" '\\one\kits;\\two\kits' '{DIP}\apps\none'
expect '\\one\kits' 0 -- dip locate '\\one\kits;\\two\kits' ''
expect '' 0 -- dip locate "${MAPS[@]}" '' '{DIP}\x'
# Shares nobody mapped do not exist.
expect '\\two\kits' 0 -- dip locate "${MAPS[@]}" '\\nobody\kits;\\two\kits' '$(Depot)\Apps\Other'
# CD-ROM drives: the caller's replace this machine's.
expect 'E:\' 0 -- dip locate --cdrom --map "CDROM=$TMP/cd1" --map "CDROM=$TMP/cd2" '{CDROM}\;\\one\kits' '{DIP}Disk2\setup.exe'
expect '\\one\kits' 0 -- dip locate --map "CDROM=$TMP/cd1" '{CDROM}\;\\one\kits' '{DIP}Disk2\setup.exe'
expect_status 2 -- dip locate --map 'relative=x' 'a' 'b'
expect_status 2 -- dip locate --map '\\srv=/x' 'a' 'b'
# A relative folder is one below the current folder.
out=$(cd "$TMP" && "$OVO" dip locate --map '\\one\kits=one' '\\two\kits;\\one\kits' '{DIP}\Apps\Tool')
[ "$out" = '\\one\kits' ] || { echo "FAIL: relative mapping: $out"; fails=$((fails + 1)); }

expect '\\srv\kits' 0 -- dip first --exclude cd 'C:\kits;d:\kits;\\srv\kits'
expect 'C:\kits' 0 -- dip first 'C:\kits;\\srv\kits'
expect '' 0 -- dip first --exclude 'C' 'c:\a'
expect "1
0
\\\\srv\\kits;e:\\kits" 0 -- dip bits 'OVBT:https://dip/kits;\\srv\kits;ovbt:x;e:\kits'
expect "0
1" 0 -- dip bits ''
expect "Idle" 0 -- dip state 1
expect "Checking sync state..." 0 -- dip state 9
expect "Unknown" 0 -- dip state 42
expect_status 2 -- dip state x
expect "Finished. 4 errors were ignored" 0 -- syncjob state 12 --skipped 4
expect "Job start pending..." 0 -- syncjob state 1
expect "-" 0 -- syncjob state 99

expect "C#B#A" 0 -- deps resolve 'A=B#C' 'B=C'
expect "runtime#FONTS#Office" 0 -- deps resolve 'Office=runtime#FONTS' 'RUNTIME' 'fonts='
expect "" 1 -- deps resolve 'A=B' 'B=A'
out=$("$OVO" deps resolve 'A=B' 'B=A' 2>&1 >/dev/null)
[ "$out" = "ovo: Cyclic dependencies among the items left: A, B" ] || { echo "FAIL: cycle error: $out"; fails=$((fails + 1)); }

APP="$EXAMPLES/distribution/application.xml"
expect "1
{DIP}\\apps\\demo\\bin\\hello.sh" 0 -- software keyfile "$APP"
expect "2
{DIP}\\logs\\uninstall.txt" 0 -- software keyfile --uninstall "$APP"
printf '%s' '<OVSVars><VarEntry><Name>DIP</Name><Value>\\srv\kits</Value></VarEntry></OVSVars>' >"$TMP/dip.xml"
expect "0" 0 -- software keyfile --vars "$TMP/dip.xml" "$APP"
files=$("$OVO" software files "$APP" | grep -o '<SoftwareFiles>.*</SoftwareFiles>')
want='<SoftwareFiles><SoftwareFilesFileEntry><FileSource>{DIP}\apps\demo\bin</FileSource><FileSourceType>0</FileSourceType></SoftwareFilesFileEntry><SoftwareFilesFileEntry><FileSource>{DIP}\engines\demo.xml</FileSource><FileSourceType>2</FileSourceType></SoftwareFilesFileEntry><SoftwareFilesFileEntry><FileSource>{DIP}\logs</FileSource><FileSourceType>0</FileSourceType></SoftwareFilesFileEntry></SoftwareFiles>'
[ "$files" = "$want" ] || { echo "FAIL: software files: $files"; fails=$((fails + 1)); }
expect_status 1 -- software files "$TMP/dip.xml"

# The demo package from the distribution point that holds it.
DIST="$EXAMPLES/distribution"
PMAPS=(--map "\\\\dip01\\kits=$DIST/dip01" --map "\\\\dip02\\kits=$DIST/dip02" --map "C:=$TMP/c")
export XDG_DATA_HOME="$TMP/xdg"
expect "Reading package \\\\dip01\\kits\\pkgs\\demo\\package.ini
Copying files from [\\\\dip01\\kits\\apps\\demo] to [C:\\Program Files\\Demo]...
Modifying registry key [SOFTWARE\\Demo]
Executing program \"C:\\Program Files\\Demo\\bin\\hello.sh\" \"C:\\Program Files\\Demo\\first-run.log\" PC-0042...
Creating shortcut Demo Tool..." 0 -- package run --dips '\\dip02\kits;\\dip01\kits' --vars "$DIST/vars.xml" "${PMAPS[@]}" \
  --registry "$TMP/reg" '{DIP}\pkgs\demo\package.ini'
[ "$(cat "$TMP/c/Program Files/Demo/first-run.log")" = "Hello from the demo tool on PC-0042" ] ||
  { echo "FAIL: the program did not run"; fails=$((fails + 1)); }
[ -f "$TMP/xdg/applications/Demo Tool.desktop" ] || { echo "FAIL: no menu entry"; fails=$((fails + 1)); }
expect "InstallDir=C:\\Program Files\\Demo
InstalledOn=PC-0042
Version=100
Tool\\" 0 -- registry get --registry "$TMP/reg" HKLM 'SOFTWARE\Demo'
expect "100" 0 -- registry get --registry "$TMP/reg" hkey_local_machine 'software\demo' VERSION
expect_status 1 -- registry get --registry "$TMP/reg" HKLM 'SOFTWARE\Demo' Missing
expect_status 1 -- registry get --registry "$TMP/reg" HKCU 'SOFTWARE\Demo'
expect_status 2 -- registry get --registry "$TMP/reg" HKXX 'x'

# A dry run changes nothing; a package that fails exits 1 with its two lines.
rm -rf "$TMP/c"/* "$TMP/reg"
out=$("$OVO" package run --dry-run --dips '\\dip01\kits' "${PMAPS[@]}" --registry "$TMP/reg" \
  "$DIST/dip01/pkgs/demo/package.ini" | head -n 2)
[ "$out" = "Reading package $DIST/dip01/pkgs/demo/package.ini
Dry run: CopyFiles: Description=Copy the program; Source=\\\\dip01\\kits\\apps\\demo; Destination=C:\\Program Files\\Demo" ] ||
  { echo "FAIL: dry run: $out"; fails=$((fails + 1)); }
[ -z "$(ls "$TMP/c")" ] && [ ! -e "$TMP/reg" ] || { echo "FAIL: the dry run changed something"; fails=$((fails + 1)); }
printf '[Install]\nCreateUsers=U\n[U]\nDescription=an account\nName=bob\n' >"$TMP/user.ini"
expect "Reading package $TMP/user.ini
Creating user bob... not supported on this platform
Error processing package: The request is not supported.
Step: an account" 1 -- package run "$TMP/user.ini"
printf '[Install]\nCopyFiles=Up\n[Up]\nSource=C:\\..\\etc\nDestination=C:\\x\n' >"$TMP/up.ini"
expect "Reading package $TMP/up.ini
Copying files from [C:\\..\\etc] to [C:\\x]... [C:\\..\\etc] leads outside its mapped folder
Error processing package: Access is denied.
Step: " 1 -- package run --map "C:=$TMP/c" "$TMP/up.ini"
expect "Reading package \\\\nobody\\kits\\p.ini
[\\\\nobody\\kits\\p.ini] lies on no mapped share or drive
Error processing package: The network path was not found.
Step: " 1 -- package run '\\nobody\kits\p.ini'
# A local package file that cannot be read is refused like any input file.
expect "" 1 -- package run "$TMP/none.ini"
expect_status 1 -- package run --vars "$TMP/none.xml" "$TMP/user.ini"
finish
