# ovo store copy: records, their keys and stamps survive a copy from file to
# file, and from file to a PostgreSQL server and back when ORVACMN_TEST_PG
# names one. Batches of 4 records, so that a copy resumes where a batch
# ended, also after a full last batch.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
DIR=$(mktemp -d)
SERVER_DB=""
cleanup() {
  [ -n "$SERVER_DB" ] && psql -q -d "$ORVACMN_TEST_PG" -c "DROP DATABASE IF EXISTS $SERVER_DB" >/dev/null 2>&1
  rm -rf "$DIR"
}
trap cleanup EXIT
A=$DIR/a.db
GUID=0A1B2C3D-0000-4000-8000-000000000042
"$OVO" store init "$A"
STAMP=$("$OVO" store put "$A" 51 "1:$GUID" "$EXAMPLES/store/client.xml")
for i in $(seq 1 10); do
  printf '<Job><GUID>J%d</GUID></Job>' "$i" | "$OVO" store put "$A" 40 "J$i" >/dev/null || echo "put J$i failed"
done
printf '<Job><GUID>J7</GUID><Name>changed</Name></Job>' | "$OVO" store put "$A" 40 J7 >/dev/null
printf '<Job><GUID>J11</GUID></Job>' | "$OVO" store put "$A" 40 J11 >/dev/null  # 12 records: 3 full batches
"$OVO" store list "$A" 51 >"$DIR/a51"
OLDER=$(sed 's|<TimeStamp>[^<]*<|<TimeStamp>1.0<|' "$DIR/a51")
expect_rc() { [ "$1" = "$2" ] || { echo "FAIL: status $1, want $2"; fails=$((fails + 1)); }; }
"$OVO" store list "$A" 40 >"$DIR/a40"
[ "$(wc -l <"$DIR/a40")" = 11 ] || { echo "FAIL: $(wc -l <"$DIR/a40") jobs stored"; fails=$((fails + 1)); }

# copy_to FROM TO: the copy succeeds silently on stdout and tells its count on stderr.
copy_to() {
  "$OVO" store copy --batch 4 "$1" "$2" >"$DIR/out" 2>"$DIR/err"
  local rc=$?
  if [ "$rc" != 0 ] || [ -s "$DIR/out" ] || ! tail -n 1 "$DIR/err" | grep -qE '^copied 12 records in [0-9.]+ s \([0-9]+ records/s\)$'; then
    echo "FAIL: store copy $1 $2 -> $rc"; sed 's/^/  /' "$DIR/out" "$DIR/err"; fails=$((fails + 1))
  fi
}
# same_as_a STORE: every record as in a.db, found by its keys, stamps kept and still guarding saves.
same_as_a() {
  "$OVO" store list "$1" 51 | cmp -s - "$DIR/a51" || { echo "FAIL: clients differ in $1"; fails=$((fails + 1)); }
  "$OVO" store list "$1" 40 | cmp -s - "$DIR/a40" || { echo "FAIL: jobs differ in $1"; fails=$((fails + 1)); }
  for key in 4:PC-0042 2:00-11-22-33-44-66 "6:front desk" "*:pc-0042.corp.example.com"; do
    expect "$(cat "$DIR/a51")" 0 -- store get "$1" 51 "$key"
  done
  expect "<Job><GUID>J7</GUID><Name>changed</Name></Job>" 0 -- store get "$1" 40 J7
  expect_status 4 -- store get "$1" 51 4:PC-0042 --newer-than "$STAMP"
  "$OVO" store put "$1" 51 "1:$GUID" <<<"$OLDER" >/dev/null 2>&1
  expect_rc $? 2  # older than the copied stamp
}
B=$DIR/b.db
copy_to "$A" "$B"
same_as_a "$B"
copy_to "$A" "$B"  # again into the existing store: the same records replaced
same_as_a "$B"
[ "$("$OVO" store put "$B" 40 J1 <<<"<Job/>")" -gt "$STAMP" ] || { echo "FAIL: stamp after a copy"; fails=$((fails + 1)); }

if [ -n "${ORVACMN_TEST_PG:-}" ]; then
  SERVER_DB=ovo_copy_$$
  psql -q -d "$ORVACMN_TEST_PG" -c "CREATE DATABASE $SERVER_DB" >/dev/null || fails=$((fails + 1))
  case $ORVACMN_TEST_PG in
    postgres://* | postgresql://*) SERVER=$(sed -E "s|^(postgres(ql)?://[^/?]*)(/[^?]*)?|\1/$SERVER_DB|" <<<"$ORVACMN_TEST_PG") ;;
    *) SERVER="$ORVACMN_TEST_PG dbname=$SERVER_DB" ;;
  esac
  copy_to "$A" "$SERVER"
  same_as_a "$SERVER"
  C=$DIR/c.db
  copy_to "$SERVER" "$C"
  same_as_a "$C"
fi

# Store errors: their text, status 2.
expect_status 2 -- store copy "$DIR/none.db" "$DIR/d.db"
expect_status 2 -- store copy "$A" "$DIR/no/such/folder/d.db"
echo "not a store" >"$DIR/bad.db"
expect_status 2 -- store copy "$A" "$DIR/bad.db"
expect_status 2 -- store copy "$A"
finish
