# ovo patch: export and import of patch release levels through a patch state file.
OVO=$1
. "$(dirname "$0")/lib.bash"
DIR=$(mktemp -d); trap 'rm -rf "$DIR"' EXIT
A=$DIR/a.db; B=$DIR/b.db
"$OVO" store init "$A"; "$OVO" store init "$B"

expect "" 0 -- patch export "$A" "$DIR/empty.xml"
[ "$(cat "$DIR/empty.xml")" = '<OVSSpecialImport><PTMPatchStates version="1.0" count="0"/></OVSSpecialImport>' ] ||
  { echo "FAIL: empty export [$(cat "$DIR/empty.xml")]"; fails=$((fails + 1)); }

patch() { printf '<PTMPatch><GUID>%s</GUID><GUIDBulletin>B</GUIDBulletin><Name>%s</Name><Bulletin>MS-1</Bulletin><ReleaseLevel>%s</ReleaseLevel></PTMPatch>\n' "$1" "$2" "$3"; }
for db in "$A" "$B"; do
  patch P1 'one &amp; two' 500 >"$DIR/p"; "$OVO" db create "$db" PTMPatch "$DIR/p" >/dev/null
  patch P2 two 300 >"$DIR/p"; "$OVO" db create "$db" PTMPatch "$DIR/p" >/dev/null
done
patch P1 'one &amp; two' 100 >"$DIR/p"; "$OVO" db save "$B" PTMPatch "$DIR/p"

expect "" 0 -- patch export "$A" "$DIR/a.xml"
grep -q '<Patch name="one &amp; two" guid="P1" guid_bulletin="B" bulletin="MS-1" state="500"/>' "$DIR/a.xml" ||
  { echo "FAIL: export [$(cat "$DIR/a.xml")]"; fails=$((fails + 1)); }
expect "Patch state import succeeded. 2 patch states were read, 0 skipped and 1 valued changed." 0 -- \
  patch import "$B" "$DIR/a.xml"
case $("$OVO" db load "$B" PTMPatch P1) in *"<ReleaseLevel>500</ReleaseLevel>"*) ;; *) echo "FAIL: level"; fails=$((fails + 1)) ;; esac

sed 's/guid="P2"/guid="P9"/' "$DIR/a.xml" >"$DIR/unknown.xml"
expect "Patch state import failed. 1 patch states were read, 1 skipped and 0 valued changed. Error: Patch [P9] not found" 1 -- \
  patch import "$B" "$DIR/unknown.xml"
expect "$(printf '0x00000001\tPatch [P9] not found')" 1 -- db load "$B" PTMPatch P9
sed 's/version="1.0"/version="1.1"/' "$DIR/a.xml" >"$DIR/v11.xml"
expect "Incompatible version of patch state import file (1.1, expected: <=1.0)" 1 -- patch import "$B" "$DIR/v11.xml"
printf '<Other/>' >"$DIR/other.xml"
expect "Error reading patch state import file. Root tag <OVSSpecialImport> not found!" 1 -- patch import "$B" "$DIR/other.xml"
printf '<OVSSpecialImport/>' >"$DIR/bare.xml"
expect "Error reading patch state import file. Tag <PTMPatchStates> not found!" 1 -- patch import "$B" "$DIR/bare.xml"
expect "Error reading patch state import file [$DIR/missing.xml]: The system cannot find the file specified." 1 -- \
  patch import "$B" "$DIR/missing.xml"
OUT=$("$OVO" patch export "$A" "$DIR/no/such/dir/x.xml"); RC=$?
case "$RC $OUT" in "1 Error saving patch state file [$DIR/no/such/dir/x.xml]: "?*) ;; *) echo "FAIL: export to missing folder [$RC $OUT]"; fails=$((fails + 1)) ;; esac
expect_status 1 -- patch import "$DIR/nostore.db" "$DIR/a.xml"
finish
