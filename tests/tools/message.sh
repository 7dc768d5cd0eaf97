# ovo message, ovo internet pack and unpack.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
DIR=$EXAMPLES/messages
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# Every example reads back to exactly its own text.
for pair in MsgDropConnection:drop_connection MsgToServer:to_server MsgServerToClient:server_to_client \
            MsgClientToServer:client_to_server InternetRequest:internet_request InternetResponse:internet_response; do
  expect "$(cat "$DIR/${pair#*:}.xml")" 0 -- message "${pair%%:*}" "$DIR/${pair#*:}.xml"
done

# Encoding 1: defaults for missing nodes, strict root, case-blind tags.
STDIN='<MSGDropConnection><reasonforrequest>busy</reasonforrequest></MSGDropConnection>' \
  expect '<MSGDropConnection><RetryInterval>600</RetryInterval><ReasonForRequest>busy</ReasonForRequest></MSGDropConnection>' 0 -- message MsgDropConnection
STDIN='<MSGSTE><msgtype>7</msgtype></MSGSTE>' expect '<MSGSTE><MsgType>7</MsgType><Data></Data></MSGSTE>' 0 -- message MsgServerToOvc
STDIN='<MSGTS/>' expect '<MSGTS><Command></Command><Options>0</Options><Properties></Properties></MSGTS>' 0 -- message MsgToServer
STDIN='<MSGSTC/>' expect_status 1 -- message MsgDropConnection
expect_status 1 -- message MsgDropConnection "$DIR/to_server.xml"
STDIN='<MSGTS/>' expect_status 2 -- message MsgNoSuchThing
expect_status 2 -- message

# --list: every class with its root; a class by its short name; reasons of the tool's own.
"$OVO" message --list > "$TMP/list"
grep -qx "$(printf 'MessagesToAgent::AgentUpdateRequest\tAgentUpdateRequest')" "$TMP/list" &&
  grep -qx "$(printf 'MsgFromTempOFLRX\tMSGToTempOFLRX')" "$TMP/list" && [ "$(wc -l < "$TMP/list")" -ge 45 ] ||
  { echo "FAIL: message --list"; fails=$((fails + 1)); }
STDIN='<AgentUpdateRequest/>' expect "$(printf '%s' '<AgentUpdateRequest/>' | "$OVO" message MessagesToAgent::AgentUpdateRequest)" 0 -- message AgentUpdateRequest
for pair in "<x/>|the root element is <x>, not <ToAgentDeploy_TriggerAgentUpdateRequest>" \
            "<a><b></a>|not well-formed XML: "; do
  err=$(printf '%s' "${pair%%|*}" | "$OVO" message TriggerAgentUpdateRequest 2>&1 >/dev/null)
  case "$err" in "ovo: MessagesToAgentDeploy::TriggerAgentUpdateRequest: ${pair#*|}"*) ;; *)
    echo "FAIL: reason: $err"; fails=$((fails + 1)) ;; esac
done
err=$(printf '<MSGSTC/>' | "$OVO" message MsgDropConnection 2>&1 >/dev/null)
[ "$err" = "ovo: MsgDropConnection: the root element is <MSGSTC>, not <MSGDropConnection>" ] || { echo "FAIL: reason: $err"; fails=$((fails + 1)); }

# Client management: type texts in any case, module names that are refused.
STDIN="<ClientToClientMgmtRequest type='ctsmsg#announce'>a&amp;b</ClientToClientMgmtRequest>" \
  expect "<ClientToClientMgmtRequest type='CTSMsg#Announce'>a&amp;b</ClientToClientMgmtRequest>" 0 -- message ClientToClientMgmtRequest
STDIN="<ClientToClientMgmtRequest type='STCMsg#Reboot'/>" expect_status 1 -- message ClientToClientMgmtRequest
STDIN='<MsgKioskToken><ClientModule>OVACmd</ClientModule></MsgKioskToken>' \
  expect '<MsgKioskToken><KioskToken></KioskToken><ClientModule>OVACmd</ClientModule></MsgKioskToken>' 0 -- message MsgKioskToken
err=$(printf '<MsgKioskToken><ClientModule>Tray</ClientModule></MsgKioskToken>' | "$OVO" message MsgKioskToken 2>&1 >/dev/null)
[ "$err" = "ovo: MsgKioskToken: Invalid module key. This is an implementation error." ] || { echo "FAIL: reason: $err"; fails=$((fails + 1)); }
STDIN='<MSGClientMgmtToScheduler><requesttype>2</requesttype></MSGClientMgmtToScheduler>' \
  expect '<MSGClientMgmtToScheduler><ClientGUID></ClientGUID><RequestType>2</RequestType><RequestData></RequestData></MSGClientMgmtToScheduler>' 0 -- message MsgClientMgmtToScheduler

# Encoding 2: exact texts, and the reason of an invalid text on stderr.
STDIN='hello' expect '<InternetRequest>aGVsbG8=</InternetRequest>' 0 -- internet pack
STDIN='hello' expect "<InternetResponse status='AuthenticationFailure'>aGVsbG8=</InternetResponse>" 0 -- internet pack --status authenticationfailure
STDIN='' expect "<InternetResponse status='OK'></InternetResponse>" 0 -- internet pack --status OK
STDIN="<InternetRequest foo='1'>Zm9v</InternetRequest>" expect "" 1 -- internet unpack request
err=$(printf '%s' "<InternetRequest foo='1'>Zm9v</InternetRequest>" | "$OVO" message InternetRequest 2>&1 >/dev/null)
[ "$err" = "ovo: InternetRequest: Deserializing attribute [foo] with value [1] failed" ] || { echo "FAIL: reason: $err"; fails=$((fails + 1)); }
err=$(printf '%s' "<InternetResponse status='Pending'>Zm9v</InternetResponse>" | "$OVO" internet unpack response 2>&1 >/dev/null)
[ "$err" = "ovo: InternetResponse: Deserializing attribute [status] with value [Pending] failed" ] || { echo "FAIL: reason: $err"; fails=$((fails + 1)); }
err=$(printf '%s' "<InternetRequest compression='zip'>Zm9v</InternetRequest>" | "$OVO" internet unpack request 2>&1 >/dev/null)
[ "$err" = "ovo: InternetRequest: Decompression failed: CompressionMethod [zip] not recognized" ] || { echo "FAIL: reason: $err"; fails=$((fails + 1)); }
STDIN="<InternetRequest compression='BZIP2'>$(printf 'x%.0s' $(seq 600) | "$OVO" internet pack | sed 's/.*>\(.*\)<.*/\1/')</InternetRequest>" \
  expect "$(printf 'x%.0s' $(seq 600))" 0 -- internet unpack request
# Nothing before the root changes what is read: a compressed refusal stays one.
head -c 512 /dev/zero | tr '\0' 'r' | "$OVO" internet pack --status AuthenticationFailure > "$TMP/refused.msg"
for prolog in '<!-- relay -->' "<?xml version='1.0'?>" '<?relay x?>'; do
  (printf '%s' "$prolog"; cat "$TMP/refused.msg") | "$OVO" internet unpack response > "$TMP/refused.out" 2> "$TMP/refused.err"
  [ "$(cat "$TMP/refused.err")" = "AuthenticationFailure" ] && [ "$(cat "$TMP/refused.out")" = "$(head -c 512 /dev/zero | tr '\0' 'r')" ] ||
    { echo "FAIL: $prolog before a refusal: $(cat "$TMP/refused.err")"; fails=$((fails + 1)); }
done
STDIN="<!--c--><InternetRequest foo='1'>QQ==</InternetRequest>" expect "" 1 -- internet unpack request
STDIN='' expect_status 1 -- message InternetResponse
expect_status 2 -- internet pack --status Pending
expect_status 2 -- internet unpack reply
expect_status 2 -- internet

# Binary content (every byte value, NUL included) travels compressed and comes back byte for byte.
for i in 1 2 3 4; do for b in $(seq 0 255); do printf "\\$(printf %03o "$b")"; done; done > "$TMP/bytes"
"$OVO" internet pack "$TMP/bytes" > "$TMP/req.xml" && "$OVO" internet unpack request "$TMP/req.xml" > "$TMP/back"
cmp -s "$TMP/bytes" "$TMP/back" || { echo "FAIL: binary round trip"; fails=$((fails + 1)); }
grep -q "^<InternetRequest compression='bzip2'>" "$TMP/req.xml" || { echo "FAIL: 1024 bytes not compressed"; fails=$((fails + 1)); }
head -c 511 "$TMP/bytes" | "$OVO" internet pack --status OK > "$TMP/short.xml"
grep -q "^<InternetResponse status='OK'>" "$TMP/short.xml" || { echo "FAIL: 511 bytes compressed"; fails=$((fails + 1)); }

# The example response (over 512 bytes of text) travels compressed; its status goes to stderr.
grep -q "compression='bzip2' status='OK'" "$DIR/internet_response.xml" || { echo "FAIL: example not compressed"; fails=$((fails + 1)); }
"$OVO" internet unpack response "$DIR/internet_response.xml" > "$TMP/text" 2> "$TMP/status"
[ "$(cat "$TMP/status")" = "OK" ] || { echo "FAIL: status $(cat "$TMP/status")"; fails=$((fails + 1)); }
[ "$(wc -c < "$TMP/text")" -gt 512 ] && [ "$(head -1 "$TMP/text")" = "line 01: the agent reports its state to the server" ] ||
  { echo "FAIL: example content"; fails=$((fails + 1)); }

# Payloads made with the system's own tools read back: bzip2 and gzip, base64 wrapped at 76 columns.
seq 1 2000 > "$TMP/plain"
for method in bzip2 gzip; do
  printf "<InternetRequest compression='%s'>%s</InternetRequest>" "$method" "$($method -c "$TMP/plain" | base64)" \
    > "$TMP/tools.xml"
  "$OVO" internet unpack request "$TMP/tools.xml" > "$TMP/tools.out"
  cmp -s "$TMP/plain" "$TMP/tools.out" || { echo "FAIL: a $method payload of the system tools"; fails=$((fails + 1)); }
  # Concatenated files: several gzip members or bzip2 streams read as one.
  printf "<InternetRequest compression='%s'>%s</InternetRequest>" "$method" \
    "$({ $method -c "$TMP/plain"; $method -c "$TMP/plain"; } | base64)" > "$TMP/two.xml"
  "$OVO" internet unpack request "$TMP/two.xml" > "$TMP/tools.out"
  cat "$TMP/plain" "$TMP/plain" | cmp -s - "$TMP/tools.out" || { echo "FAIL: two $method streams"; fails=$((fails + 1)); }
done
# Base64 ends at its first stray character: what stands before it is the content.
printf "<InternetRequest compression='bzip2'>%s!</InternetRequest>" "$(bzip2 -c "$TMP/plain" | base64 -w0)" > "$TMP/stray.xml"
expect "$(cat "$TMP/plain")" 0 -- internet unpack request "$TMP/stray.xml"
printf "<InternetRequest compression='bzip2'>%s</InternetRequest>" "$(bzip2 -c "$TMP/plain" | base64 -w0 | head -c 200)" > "$TMP/bad.xml"
expect_status 1 -- internet unpack request "$TMP/bad.xml"
finish
