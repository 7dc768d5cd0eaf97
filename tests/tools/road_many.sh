# Many agents at once: six `ovo road` processes announce the same new machine on one
# store, each with its own inventory value and state group. Afterwards there is one
# client, every value and every state group is kept, and every road succeeded.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT
DB=$DIR/many.db
"$OVO" store init "$DB"
props=(CPUDesc OSReleaseId BootMode Architecture EnergySchemeName OSDisplayVersion)
groups=(1 2 8 16 32 64)
fields=(ClientAgentState Activity CurrentJob CurrentStep CustomState LastError)
state() {  # state GROUP FIELD VALUE: a partial state carrying VALUE in FIELD
  local s="<ClientState><ClientAgentState>-1</ClientAgentState><Changes>$1</Changes></ClientState>"
  if [ "$2" = ClientAgentState ]; then s=${s/>-1</>$3<}; else s=${s/<Changes>/<$2>$3</$2><Changes>}; fi
  printf '%s' "$s"
}
pids=()
for i in 0 1 2 3 4 5; do
  value=$((i + 1))0$i
  printf '<Properties><PropertyEntry><Param>%s</Param><Value>%s</Value></PropertyEntry></Properties>' \
    "${props[$i]}" "$value" >"$DIR/inv$i.xml"
  state "${groups[$i]}" "${fields[$i]}" "$value" >"$DIR/state$i.xml"
  "$OVO" road --now 1717570800 --inventory "$DIR/inv$i.xml" --state "$DIR/state$i.xml" "$DB" \
    "$EXAMPLES/road/job.xml" "$EXAMPLES/client/new_machine.xml" >"$DIR/out$i" 2>&1 &
  pids+=($!)
done
for i in 0 1 2 3 4 5; do
  wait "${pids[$i]}" || { echo "FAIL: road $i:"; cat "$DIR/out$i"; fails=$((fails + 1)); }
done
[ "$("$OVO" store list "$DB" 51 | wc -l)" = 1 ] || { echo "FAIL: not one client"; fails=$((fails + 1)); }
[ "$(cat "$DIR"/out* | grep -c '^server	created')" = 1 ] || { echo "FAIL: not created once"; fails=$((fails + 1)); }
client=$("$OVO" store list "$DB" 51)
stored=$("$OVO" store get "$DB" 80 "$(printf '36:%s' "$(printf '%s' "$client" | sed -n 's/.*<GUID>\([^<]*\)<.*/\1/p')")")
for i in 0 1 2 3 4 5; do
  value=$((i + 1))0$i
  case $client in *">$value<"*) ;; *) echo "FAIL: ${props[$i]} $value lost"; fails=$((fails + 1)) ;; esac
  case $stored in *"<${fields[$i]}>$value</${fields[$i]}>"*) ;;
    *) echo "FAIL: state ${fields[$i]} $value lost"; fails=$((fails + 1)) ;; esac
done
case $stored in *"<Changes>123</Changes>"*) ;; *) echo "FAIL: state changes: $stored"; fails=$((fails + 1)) ;; esac
finish
