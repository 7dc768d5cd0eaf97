# ovo expand and COVKVars in ovo object.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
export ORVT_SET=env-value
unset ORVT_UNDEF

# Plain, aliased, nested and lower-case placeholders.
expect "copy \\\\srv\\kits\\setup.exe" 0 -- expand --var 'DIP;KitsServer;Depot=\\srv\kits' 'copy {kitsserver}\setup.exe'
expect "y" 0 -- expand --var A=x --var Bx=y '{B{A}}'
expect "a=b=c" 0 -- expand --var 'A=b=c' 'a={A}'
expect "" 0 -- expand --var A= '{A}'
expect "" 0 -- expand ''
expect "}{x{" 0 -- expand --var A=x '}{{A}{'

# Unknown and empty names stay, or go with policy 8.
expect "[{Nope}{}]" 0 -- expand '[{Nope}{}]'
expect "[]" 0 -- expand --policy 8 '[{Nope}{}]'
expect "[]" 0 -- expand --policy 0x8 '[{Nope}{}]'

# Environment placeholders.
expect "[env-value]" 0 -- expand '[{%ORVT_SET%}]'
expect "[%ORVT_UNDEF%]" 0 -- expand '[{%ORVT_UNDEF%}]'
expect "[]" 0 -- expand --policy 2 '[{%ORVT_UNDEF%}]'

# XML escaping of values.
expect "<v>a&lt;b&amp;c</v>" 0 -- expand --policy 1 --var 'X=a<b&c' '<v>{X}</v>'

# Variables are added in command-line order across option kinds: the dump
# lists them in that order, and a later value of the same name and type wins.
expect "S=1:;R=2:;P=****:;Q=4:;" 0 -- expand --system-var S=1 --var R=2 --secret-var P=3 --var Q=4 '{$$Dump$$:;}'
expect "R=2:;S=1:;" 0 -- expand --var R=2 --system-var S=1 '{$$dump$$:;}'
printf '%s' '<OVSVars><VarEntry><Name>A</Name><Value>from-file</Value><Type>0</Type></VarEntry><VarEntry><Name>Pw</Name><Value>s</Value><IsPassword>1</IsPassword></VarEntry></OVSVars>' >"$TMP/set.xml"
expect "from-file" 0 -- expand --var A=cmd --vars "$TMP/set.xml" '{A}'
expect "cmd" 0 -- expand --vars "$TMP/set.xml" --var A=cmd '{A}'
expect "A=from-file
Pw=****
B=b" 0 -- expand --vars "$TMP/set.xml" --var B=b '{$$Dump$$}'
# Runtime wins over system whatever the order.
expect "run" 0 -- expand --var N=run --system-var N=sys '{N}'
expect "run" 0 -- expand --system-var N=sys --var N=run '{N}'

# A packed Vars set is added under full names.
printf '%s' '<Vars><Scope>__MACHINE__</Scope><VarEntry><Category>Inventory</Category><Name>Room</Name><Value>12</Value></VarEntry></Vars>' >"$TMP/vars.xml"
expect "room 12" 0 -- expand --vars "$TMP/vars.xml" 'room {client.inventory.room}'
STDIN='<OVSVars><VarEntry><Name>In</Name><Value>stdin</Value></VarEntry></OVSVars>' expect "stdin" 0 -- expand --vars - '{In}'
unset STDIN
expect_status 1 -- expand --vars "$TMP/missing.xml" '{A}'
printf 'junk' >"$TMP/junk.xml"
expect_status 1 -- expand --vars "$TMP/junk.xml" '{A}'

# install.ini: known keys and the Custom section.
printf '[Network]\nDIP=\\\\dip\\kits\n[Machine]\nComputerName=PC1\n[Custom]\nRoom = 7\n' >"$TMP/install.ini"
expect "\\\\dip\\kits PC1 7" 0 -- expand --install-ini "$TMP/install.ini" '{Depot} {machine} {Room}'
expect_status 1 -- expand --install-ini "$TMP/none.ini" '{A}'

# Expressions and VBScript policies.
expect "<Expression not supported>" 0 -- expand '{=1+1}'
expect "{=1+1}" 0 -- expand --vbscript 0 '{=1+1}'
expect "{A}" 0 -- expand --vbscript 2 --var A=x '{A}'

# Recursion: the error text, exit 3.
expect "<Error: variables recursion>" 3 -- expand --var 'Self={Self}' '{Self}'
expect_status 3 -- expand --var 'Grow=a{Grow}' 'x{Grow}'

# Files: line by line, "\n" line ends, nothing printed.
printf 'a={A}\r\nb={B}\n{A\n}\nlast {A}' >"$TMP/in.txt"
expect "" 0 -- expand --var A=x --var B=y --in "$TMP/in.txt" --out "$TMP/out.txt"
if [ "$(od -c "$TMP/out.txt")" != "$(printf 'a=x\nb=y\n{A\n}\nlast x\n' | od -c)" ]; then
  echo "FAIL: file expansion"; od -c "$TMP/out.txt"; fails=$((fails + 1))
fi
expect_status 1 -- expand --in "$TMP/missing.txt" --out "$TMP/out2.txt"
expect_status 1 -- expand --in "$TMP/in.txt" --out "$TMP/nodir/out.txt"
expect_status 1 -- expand --in "$TMP/in.txt" --out "$TMP/in.txt"

# Usage errors.
expect_status 2 -- expand
expect_status 2 -- expand --var NoEquals '{A}'
expect_status 2 -- expand --policy x '{A}'
expect_status 2 -- expand --policy 0x100000000 '{A}'
expect_status 2 -- expand --in "$TMP/in.txt" '{A}'
expect_status 2 -- expand --in "$TMP/in.txt" --out "$TMP/o.txt" '{A}'
expect_status 2 -- expand --out "$TMP/o.txt"
expect_status 0 -- expand --help

# The class in ovo object: packs again in list order, aliases split.
STDIN='<OVSVars><VarEntry><Name>A;B</Name><Value>1</Value><Custom>1</Custom><Type>1</Type></VarEntry></OVSVars>' \
  expect '<OVSVars><VarEntry><Name>A</Name><Value>1</Value><Custom>1</Custom><Type>1</Type><IsPassword>0</IsPassword></VarEntry><VarEntry><Name>B</Name><Value>1</Value><Custom>1</Custom><Type>1</Type><IsPassword>0</IsPassword></VarEntry></OVSVars>' 0 -- object COVKVars
unset STDIN
finish
