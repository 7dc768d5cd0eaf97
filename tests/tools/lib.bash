# Shared checks for the ovo CLI tests; source it, then call the checks.
# expect_out EXPECTED_STDOUT EXPECTED_STATUS -- ARGS...   (stdin from $STDIN if set)
OVO=${OVO:?}
fails=0
expect() {
  local want_out=$1 want_rc=$2; shift 3
  local out rc
  if [ -n "${STDIN+x}" ]; then out=$(printf '%s' "$STDIN" | "$OVO" "$@" 2>/tmp/ovo_err.$$); rc=$?
  else out=$("$OVO" "$@" 2>/tmp/ovo_err.$$ </dev/null); rc=$?; fi
  if [ "$out" != "$want_out" ] || [ "$rc" != "$want_rc" ]; then
    echo "FAIL: ovo $*"; echo "  want [$want_rc] $want_out"; echo "  got  [$rc] $out"
    sed 's/^/  stderr: /' /tmp/ovo_err.$$
    fails=$((fails + 1))
  fi
  rm -f /tmp/ovo_err.$$
}
# expect_status STATUS -- ARGS...: only the exit status matters; stderr must be one line when non-zero.
expect_status() {
  local want_rc=$1; shift 2
  local rc lines
  "$OVO" "$@" >/dev/null 2>/tmp/ovo_err.$$ </dev/null; rc=$?
  lines=$(wc -l </tmp/ovo_err.$$)
  if [ "$rc" != "$want_rc" ] || { [ "$rc" != 0 ] && [ "$lines" != 1 ]; }; then
    echo "FAIL: ovo $* -> status $rc (want $want_rc), stderr lines $lines"; fails=$((fails + 1))
  fi
  rm -f /tmp/ovo_err.$$
}
finish() {
  [ "$fails" -eq 0 ] && echo "all checks passed" || { echo "$fails check(s) failed"; exit 1; }
}
