# ovo store: init, put, get, delete and list on a scratch store file.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
DIR=$(mktemp -d); trap 'rm -rf "$DIR"' EXIT
DB=$DIR/s.db
GUID=0A1B2C3D-0000-4000-8000-000000000042
CLIENT=$(cat "$EXAMPLES/store/client.xml")

expect "" 0 -- store init "$DB"
expect "" 0 -- store init "$DB"
STAMP=$("$OVO" store put "$DB" 51 "1:$GUID" "$EXAMPLES/store/client.xml")
[[ $STAMP =~ ^[0-9]{18}$ ]] || { echo "FAIL: put printed [$STAMP]"; fails=$((fails + 1)); }
# The record comes back as stored: its TimeStamp is the new stamp, high and low halves.
STORED=${CLIENT/<TimeStamp>0.0</<TimeStamp>$((STAMP >> 32)).$((STAMP & 0xFFFFFFFF))<}
for key in "1:{$GUID}" 2:00-11-22-33-44-66 "2:AA:BB:CC:DD:EE:FF;00:11:22:33:44:55" 3:02:00:00:00:00:01 4:PC-0042 \
    "4:CORP\\pc-0042" 5:192.168.1.42 "6:front desk" 7:pc-0042.corp.example.com "*:PC-0042"; do
  expect "$STORED" 0 -- store get "$DB" 51 "$key"
done
expect "$STORED" 0 -- store get "$DB" 51 "36:${GUID}1:1"
expect "$STORED" 0 -- store get "$DB" 51 4:PC-0042 --newer-than $((STAMP - 1))
expect_status 4 -- store get "$DB" 51 4:PC-0042 --newer-than "$STAMP"
expect_status 1 -- store get "$DB" 51 "4:OTHER\\PC-0042"
expect_status 1 -- store get "$DB" 51 5:10.0.0.4
expect "$STORED" 0 -- store list "$DB" 51
expect "" 0 -- store list "$DB" 40

# A save carrying an older TimeStamp than the stored one is refused.
expect_err() { grep -qF "$1" "$DIR/err" || { echo "FAIL: stderr lacks [$1]: $(cat "$DIR/err")"; fails=$((fails + 1)); }; }
expect_rc() { [ "$1" = "$2" ] || { echo "FAIL: status $1, want $2"; fails=$((fails + 1)); }; }
"$OVO" store put "$DB" 51 "1:$GUID" <<<"${CLIENT/<TimeStamp>0.0</<TimeStamp>1.0<}" 2>"$DIR/err" >/dev/null
expect_rc $? 2
expect_err "was changed by someone else since it was loaded"
expect_status 2 -- store put "$DB" 40 J1  # an empty record
# Other types: keys as length-packed lists or plain texts.
printf '<Job><GUID>J1</GUID></Job>\n' | "$OVO" store put "$DB" 40 J1 >/dev/null
expect_rc $? 0
expect "<Job><GUID>J1</GUID></Job>" 0 -- store get "$DB" 40 "2:j11:*"
expect "<Job><GUID>J1</GUID></Job>" 0 -- store list "$DB" 40
expect "" 0 -- store delete "$DB" 40 J1
expect_status 1 -- store delete "$DB" 40 J1
# A wildcard never deletes.
for key in "4:*" "1:*" "*"; do
  "$OVO" store delete "$DB" 51 "$key" 2>"$DIR/err"
  expect_rc $? 2
  expect_err "A wildcard never deletes"
done
expect_status 2 -- store delete "$DB" 40 "*"
expect "$STORED" 0 -- store list "$DB" 51
# A text that is not UTF-8 is refused, not changed.
printf '<Job><GUID>J\xff</GUID></Job>' | "$OVO" store put "$DB" 40 J2 2>"$DIR/err" >/dev/null
expect_rc $? 2
expect_err "The record is not valid UTF-8 (at byte offset 12)"
# A store this user cannot write is read; a write names the cause.
as_user() { if [ "$(id -u)" = 0 ]; then setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; else "$@"; fi; }
mkdir "$DIR/ro" && cp "$DB" "$DIR/ro/s.db" && chmod 666 "$DIR/ro/s.db" && chmod 755 "$DIR" && chmod 555 "$DIR/ro"
[ "$(as_user "$OVO" store list "$DIR/ro/s.db" 51)" = "$STORED" ] || { echo "FAIL: list of a read-only store"; fails=$((fails + 1)); }
as_user "$OVO" store put "$DIR/ro/s.db" 40 J3 <<<"<Job/>" 2>"$DIR/err" >/dev/null
expect_rc $? 2
expect_err "The folder $DIR/ro of the store file $DIR/ro/s.db is not writable by this user"
chmod 755 "$DIR/ro"
expect "" 0 -- store delete "$DB" 51 4:pc-0042
expect_status 1 -- store get "$DB" 51 "1:$GUID"

# Usage and store errors.
expect_status 2 -- store get "$DB" 51 PC-0042
expect_status 2 -- store get "$DB" 51 8:x
expect_status 2 -- store get "$DB" 70000 x
expect_status 2 -- store get "$DIR/none.db" 51 4:x
expect_status 2 -- store list "$DIR/none.db" 51
echo "not a store" >"$DIR/bad.db"
expect_status 2 -- store get "$DIR/bad.db" 51 4:x
"$OVO" store list "$DIR/none.db" 51 2>"$DIR/err"
expect_err "ovo: The store file $DIR/none.db does not exist"
"$OVO" store list "$DIR/bad.db" 51 2>"$DIR/err"
expect_err "ovo: The store file $DIR/bad.db is damaged or is no store file"
finish
