# ovo version, help and usage errors.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
expect_status 0 -- version
expect_status 0 -- --help
expect_status 2 -- no-such-command
expect_status 2 --
expect_status 2 -- object
expect_status 2 -- object NoSuchClass /dev/null
STDIN='abc<Properties/>' expect "" 1 -- object OVO::Properties
STDIN='<Properties/>' expect "<Properties></Properties>" 0 -- object OVO::Properties

# Every command that reads a file answers a folder or a missing file with "cannot read" and 1.
TMP=$(mktemp -d); trap 'rm -rf "$TMP"' EXIT
: > "$TMP/db"
for args in "message MsgToTempOFLRX" "message InternetRequest" "internet pack" "internet unpack request" \
            "object OVO::Properties" "client describe" "client candidates" "client find $TMP/db" \
            "client announce $TMP/db" "component autolink 1" "energy power" "energy validate" "hw display" \
            "job next-run" "job assign g h d i" "job sort 0 asc" "packet timeout" "packet skip g" \
            "licence reserve 1" "licence free k 1" "steps result" "steps next-boot" "store put $TMP/db 51 1:g" \
            "system small" "tokens unpack" "vardefs names" "vardefs merge $EXAMPLES/custom_var_defs.xml" \
            "road $TMP/db" "catalog os" "expand --out $TMP/out --in" "expand x --vars" "expand x --install-ini" \
            "merge $EXAMPLES/server/client.xml" "state update $EXAMPLES/server/state_stored.xml" \
            "system options --connection 1 --auto-roaming 0" "software keyfile" "software files" "package run"; do
  for file in "$EXAMPLES" "$TMP/missing"; do
    # shellcheck disable=SC2086
    err=$("$OVO" $args "$file" 2>&1 >/dev/null </dev/null); rc=$?
    case "$err" in "ovo: cannot read $file: "*) [ "$rc" = 1 ] ;; *) false ;; esac ||
      { echo "FAIL: ovo $args $file -> [$rc] $err"; fails=$((fails + 1)); }
  done
done
# The INF and catalog readers answer with texts of their own, and 1 all the same.
for args in "catalog attrs %s" "inf parse %s" "inf devices %s" "inf section %s S" "inf value %s S K"; do
  for file in "$EXAMPLES" "$TMP/missing"; do
    # shellcheck disable=SC2046
    "$OVO" $(printf "$args" "$file") >/dev/null 2>&1; rc=$?
    [ "$rc" = 1 ] || { echo "FAIL: ovo $args $file -> [$rc]"; fails=$((fails + 1)); }
  done
done
err=$("$OVO" object OVO::Properties 2>&1 >/dev/null < "$EXAMPLES"); rc=$?
[ "$rc/$err" = "1/ovo: cannot read standard input: Is a directory" ] || { echo "FAIL: stdin folder: [$rc] $err"; fails=$((fails + 1)); }
finish
