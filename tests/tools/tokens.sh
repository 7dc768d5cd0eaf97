# ovo tokens: length-packed lists of strings.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT

expect_status 0 -- tokens --help
expect_status 0 -- tokens unpack --help
expect_status 2 -- tokens
expect_status 2 -- tokens nosuch

expect '1:a1:b' 0 -- tokens pack a b
expect '' 0 -- tokens pack
expect '0:0:' 0 -- tokens pack '' ''
expect '3:a;b3:x:y5:12:ab' 0 -- tokens pack 'a;b' 'x:y' '12:ab'
expect '2:-x' 0 -- tokens pack -- -x
expect '2:ü' 0 -- tokens pack 'ü'

STDIN='1:a0:3:b"c' expect '["a","","b\"c"]' 0 -- tokens unpack
STDIN='' expect '[]' 0 -- tokens unpack -
STDIN='2:\	' expect '["\\\u0009"]' 0 -- tokens unpack
STDIN='2:ü' expect '["ü"]' 0 -- tokens unpack
STDIN=$'1:a\n' expect '' 1 -- tokens unpack          # the trailing newline is part of the input
STDIN='01:a' expect '' 1 -- tokens unpack
STDIN='3:ab' expect '' 1 -- tokens unpack
STDIN='4294967296:' expect '' 1 -- tokens unpack
expect_status 1 -- tokens unpack "$tmp/missing"

# Bytes that a shell argument cannot carry, from a file.
printf '3:\000\001\0371:\177' >"$tmp/bytes"
expect $'["\\u0000\\u0001\\u001f","\x7f"]' 0 -- tokens unpack "$tmp/bytes"   # DEL is not escaped
printf 'x' >"$tmp/bad"
expect_status 1 -- tokens unpack "$tmp/bad"

# Round trip through both commands.
"$OVO" tokens pack 'one' '' 'two words' '%d;{x}' | head -c -1 >"$tmp/packed"
expect '["one","","two words","%d;{x}"]' 0 -- tokens unpack "$tmp/packed"
finish
