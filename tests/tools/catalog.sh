# ovo catalog: attributes of a driver security catalog.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
CAT=$EXAMPLES/drivers/sample.cat
TMP=$(mktemp -d); trap 'rm -rf "$TMP"' EXIT

expect "OSAttr=2:6.1,2:10.0
OS=XPX86,VistaX64,_v100
Name=Grüß
member 0A1B2C3D4E5F60718293A4B5C6D7E8F901234567
  File=sample.inf
  OSAttr=2:10.0
member sample.sys
  File=sample.sys
member 01FF" 0 -- catalog attrs "$CAT"
STDIN=$(head -c 600 "$CAT" | base64) expect "" 1 -- catalog attrs -

# Unreadable files: one line on stderr naming the reason, exit 1.
head -c 300 "$CAT" >"$TMP/truncated.cat"
: >"$TMP/empty.cat"
{ echo "-----BEGIN PKCS7-----"; base64 "$CAT"; echo "-----END PKCS7-----"; } >"$TMP/pem.cat"
check_error() {
  local err rc
  err=$("$OVO" catalog attrs "$1" 2>&1 >/dev/null); rc=$?
  if [ "$rc" != 1 ] || [ "$err" != "ovo: $2" ]; then
    echo "FAIL: catalog attrs $1"; echo "  want [1] ovo: $2"; echo "  got  [$rc] $err"; fails=$((fails + 1))
  fi
}
check_error "$TMP/truncated.cat" "Damaged security catalog: unreadable PKCS #7 structure [$TMP/truncated.cat]"
check_error "$TMP/empty.cat" "Empty security catalog [$TMP/empty.cat]"
check_error "$TMP/pem.cat" "PEM text is not accepted; the security catalog must be DER [$TMP/pem.cat]"
check_error "$TMP/none.cat" "Unable to open [$TMP/none.cat]: No such file or directory"
check_error "$EXAMPLES/drivers" "Unable to open [$EXAMPLES/drivers]: Is a directory"
expect_status 1 -- catalog attrs "$TMP/truncated.cat"
expect_status 2 -- catalog attrs
expect_status 2 -- catalog
expect_status 0 -- catalog attrs --help

# The supported OSs: the catalog's OSAttr 2:6.1,2:10.0 and the INF member's 2:10.0; a damaged file signs for none.
expect "0xF400C0" 0 -- catalog os "$CAT"
expect "0x0" 0 -- catalog os "$TMP/truncated.cat"
finish
