# ovo db: the record families, typed load, list, create, save and delete.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
DIR=$(mktemp -d); trap 'rm -rf "$DIR"' EXIT
DB=$DIR/s.db
"$OVO" store init "$DB"

[ "$("$OVO" db families | grep -c .)" = 60 ] || { echo "FAIL: families count"; fails=$((fails + 1)); }
[ "$("$OVO" db families | grep -P '^51\t')" = "$(printf '51\tSystem')" ] || { echo "FAIL: 51"; fails=$((fails + 1)); }

expect "$(printf '0x80004005\tBundle [B1] not found')" 1 -- db load "$DB" Bundle B1
expect "$(printf '0x00000001\tUserProfile [U1] not found')" 1 -- db load "$DB" UserProfile U1
expect "$(printf '0x00000001\tDynamich Group [D1] in [O1] not found')" 1 -- db load "$DB" DynamicGroup D1 O1
expect_status 2 -- db load "$DB" NoSuchFamily x
expect_status 2 -- db load "$DIR/missing.db" Bundle B1

printf '<DynamicGroup><GUID>D1</GUID><OrgUnit>O1</OrgUnit><Name>one</Name></DynamicGroup>\n' >"$DIR/d1"
printf '<DynamicGroup><GUID>D2</GUID><OrgUnit>O2</OrgUnit><Name>two</Name></DynamicGroup>\n' >"$DIR/d2"
expect_status 0 -- db create "$DB" DynamicGroup "$DIR/d1"
expect_status 0 -- db create "$DB" DynamicGroup "$DIR/d2"
expect_status 2 -- db create "$DB" DynamicGroup "$DIR/d2"
ONE=$("$OVO" db load "$DB" DynamicGroup D1 O1)
case $ONE in *"<Name>one</Name>"*) ;; *) echo "FAIL: load gave [$ONE]"; fails=$((fails + 1)) ;; esac
[ "$("$OVO" db list "$DB" DynamicGroup | grep -c .)" = 2 ] || { echo "FAIL: list all"; fails=$((fails + 1)); }
LISTED=$("$OVO" db list "$DB" DynamicGroup --where OrgUnit=O2)
case $LISTED in *"<Name>two</Name>"*) ;; *) echo "FAIL: list --where gave [$LISTED]"; fails=$((fails + 1)) ;; esac
[ "$(printf '%s\n' "$LISTED" | grep -c .)" = 1 ] || { echo "FAIL: list --where count"; fails=$((fails + 1)); }
expect_status 2 -- db list "$DB" DynamicGroup --where OrgUnit
# A key value "*" names no record; a record under another family's root is not written.
expect "$(printf '0x00000001\tDynamich Group [*] in [O1] not found')" 1 -- db load "$DB" DynamicGroup '*' O1
expect_status 2 -- db delete "$DB" DynamicGroup '*'
printf '<Job><GUID>D3</GUID><OrgUnit>O1</OrgUnit></Job>\n' >"$DIR/wrong"
expect_status 2 -- db create "$DB" DynamicGroup "$DIR/wrong"
[ "$("$OVO" db list "$DB" DynamicGroup | grep -c .)" = 2 ] || { echo "FAIL: wrong root written"; fails=$((fails + 1)); }

sed 's/one/renamed/' "$DIR/d1" >"$DIR/d1b"
expect "" 0 -- db save "$DB" DynamicGroup "$DIR/d1b"
case $("$OVO" db load "$DB" DynamicGroup D1 O1) in *"<Name>renamed</Name>"*) ;; *) echo "FAIL: save"; fails=$((fails + 1)) ;; esac
expect "" 0 -- db delete "$DB" DynamicGroup D1
expect_status 1 -- db delete "$DB" DynamicGroup D1
expect "$(printf '0x00000001\tDynamich Group [D1] in [O1] not found')" 1 -- db load "$DB" DynamicGroup D1 O1
finish
