# ovo vardefs and the variable classes of ovo object.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
export TZ=UTC

# Dates: three separated forms and DB texts; impossible dates fail with 1.
expect "1710201600	20240312000000	3/12/2024" 0 -- vardefs date 12.03.2024
expect "1710201600	20240312000000	3/12/2024" 0 -- vardefs date 03/12/2024
expect "1710201600	20240312000000	3/12/2024" 0 -- vardefs date 12-03-2024
expect "1710257445	20240312153045	3/12/2024" 0 -- vardefs date 20240312153045
expect "" 1 -- vardefs date 12.03
expect "" 1 -- vardefs date 31.04.2024
expect "" 1 -- vardefs date 13/13/2024
expect_status 1 -- vardefs date 2024031
expect_status 2 -- vardefs date

# Names.
expect "valid" 0 -- vardefs valid-name "Room Number"
expect "invalid" 1 -- vardefs valid-name "   "
expect "invalid" 1 -- vardefs valid-name "a{b}"
expect "valid" 0 -- vardefs valid-name "$(printf 'n%.0s' $(seq 254))"
expect "invalid" 1 -- vardefs valid-name "$(printf 'n%.0s' $(seq 255))"

expect "0	String
5	Number
1	On/Off field
7	Editable drop down box
2	Drop down list
4	Date
3	File name
6	Folder name
8	Password
9	Certificate" 0 -- vardefs types

# Full names and display values of a set.
VARS='<Vars><Scope>__MACHINE__</Scope><VarEntry><Category>Inventory</Category><Name>Room</Name><Value>12</Value><TypeForDisplay>5</TypeForDisplay></VarEntry><varentry><name>Flag</name><value>t</value><typefordisplay>1</typefordisplay></varentry><VarEntry><Name>Pw</Name><Value>secret</Value><TypeForDisplay>8</TypeForDisplay></VarEntry></Vars>'
STDIN=$VARS expect "Client.Inventory.Room=12
Client.Flag=Yes
Client.Pw=****" 0 -- vardefs names
unset STDIN
STDIN='<Other/>' expect "" 1 -- vardefs names -
unset STDIN

# ovo object round trips: case-insensitive tags come back in canonical form.
STDIN=$VARS expect '<Vars><Scope>__MACHINE__</Scope><VarEntry><Category>Inventory</Category><Name>Room</Name><Value>12</Value><TypeForDisplay>5</TypeForDisplay></VarEntry><VarEntry><Category></Category><Name>Flag</Name><Value>t</Value><TypeForDisplay>1</TypeForDisplay></VarEntry><VarEntry><Category></Category><Name>Pw</Name><Value>secret</Value><TypeForDisplay>8</TypeForDisplay></VarEntry></Vars>' 0 -- object OVOVars
unset STDIN
STDIN='<CustomVar><value>&lt;v&gt;</value><NAME>n</NAME></CustomVar>' \
  expect '<CustomVar><Scope></Scope><Category></Category><Name>n</Name><Value>&lt;v&gt;</Value></CustomVar>' 0 -- object OVOCustomVar
unset STDIN
DEF='<CustomVarDef><name>Room</name><category>Inv</category><TYPE>2</TYPE><Data>a|b</Data></CustomVarDef>'
DEFOUT='<CustomVarDef><Guid></Guid><Scope></Scope><Category>Inv</Category><Inherited>0</Inherited><Name>Room</Name><Type>2</Type><ReadOnly>0</ReadOnly><Data>a|b</Data><Comment></Comment><CommentReal></CommentReal></CustomVarDef>'
STDIN=$DEF expect "$DEFOUT" 0 -- object OVOCustomVarDef
unset STDIN
STDIN="<CustomVarDefList>$DEF<Other/></CustomVarDefList>" expect "<CustomVarDefList>$DEFOUT</CustomVarDefList>" 0 -- object OVOCustomVarDefList
unset STDIN
STDIN='<Vars/>' expect '<Vars><Scope></Scope></Vars>' 0 -- object OVOVars
unset STDIN
expect_status 1 -- object OVOCustomVarDefList /dev/null

# Merge: parent definitions are appended inherited; --own-only leaves them out.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf '%s' "<CustomVarDefList>$DEF</CustomVarDefList>" > "$tmp/own.xml"
printf '%s' '<CustomVarDefList><CustomVarDef><Category>INV</Category><Name>ROOM</Name><Data>parent</Data></CustomVarDef><CustomVarDef><Category>Net</Category><Name>Speed</Name></CustomVarDef></CustomVarDefList>' > "$tmp/parent.xml"
expect "<CustomVarDefList>$DEFOUT</CustomVarDefList>" 0 -- vardefs merge "$tmp/own.xml" "$tmp/parent.xml" --own-only
expect '<CustomVarDefList><CustomVarDef><Guid></Guid><Scope></Scope><Category>INV</Category><Inherited>1</Inherited><Name>ROOM</Name><Type>0</Type><ReadOnly>0</ReadOnly><Data>parent</Data><Comment></Comment><CommentReal></CommentReal></CustomVarDef><CustomVarDef><Guid></Guid><Scope></Scope><Category>Net</Category><Inherited>1</Inherited><Name>Speed</Name><Type>0</Type><ReadOnly>0</ReadOnly><Data></Data><Comment></Comment><CommentReal></CommentReal></CustomVarDef></CustomVarDefList>' 0 -- vardefs merge "$tmp/own.xml" "$tmp/parent.xml" --overwrite
expect '<CustomVarDefList></CustomVarDefList>' 0 -- vardefs merge "$tmp/own.xml" "$tmp/parent.xml" --mark-all --own-only
expect_status 1 -- vardefs merge "$tmp/own.xml" /dev/null
expect_status 1 -- vardefs merge "$tmp/missing.xml" "$tmp/parent.xml"
expect_status 2 -- vardefs merge "$tmp/own.xml"
expect_status 2 -- vardefs
expect_status 0 -- vardefs --help
finish
