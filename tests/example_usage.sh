# The usage example of the README: it runs on a fresh store and prints what it
# found and merged, and the README holds the same code as examples/usage.cpp.
EXAMPLE=$1; SOURCE=$2
DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT
OUT=$("$EXAMPLE" "$DIR/objects.db") || { echo "FAIL: the example failed: $OUT"; exit 1; }
printf '%s\n' "$OUT"
case $OUT in *"found PC1 by method 2"*"changed TotalMemory = 16384"*) ;; *) echo "FAIL: unexpected output"; exit 1 ;; esac
case $OUT in *OSVersionMajor*) echo "FAIL: a neutral value was merged"; exit 1 ;; esac
sed -n '/^<!-- examples\/usage.cpp -->$/,/^```$/p' "$SOURCE/README.md" | sed '1,2d;$d' >"$DIR/readme.cpp"
diff "$DIR/readme.cpp" "$SOURCE/examples/usage.cpp" || { echo "FAIL: README and examples/usage.cpp differ"; exit 1; }
echo "example ok"
