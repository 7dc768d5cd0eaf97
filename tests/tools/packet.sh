# ovo packet timeout and skip, and the job-step messages through ovo message.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
P=$EXAMPLES/messages/job_step_packet.xml
TAB=$(printf '\t')
A=AAAAAAAA-0000-4000-8000-000000000001

# The example reads back to exactly its own text.
expect "$(cat "$P")" 0 -- message MsgDJobStepPacket "$P"

# Option 0x200000, validity end in 2030, MaxDelayMinutes 30: the delay wins.
expect "1700001800${TAB}1700000000" 0 -- packet timeout --now 1700000100 "$P"
# Without any timeout option: 0, and the first offering is recorded from now.
STDIN='<MSGDJobStepPacket><Job><Options>16384</Options></Job></MSGDJobStepPacket>' \
  expect "0${TAB}1234" 0 -- packet timeout --now 1234
STDIN='<MSGDJobStepPacket><Job><Options>4210688</Options></Job><JobTarget><State>134217730</State></JobTarget></MSGDJobStepPacket>' \
  expect "99${TAB}100" 0 -- packet timeout --now 100
STDIN='<Other/>' expect_status 1 -- packet timeout --now 1
expect_status 2 -- packet timeout --now soon "$P"

# Skipping A: B (only tied to A) is marked, D keeps its condition on x.
deps() { "$OVO" packet skip "$@" | perl -pe 's/<JobStep type="140">.*?<\/JobStep>//g' | grep -o '<GUID>[^<]*</GUID>\|<Options>[^<]*</Options><Properties>\|Dependencies</Param><Value>[^<]*' \
  | sed 's/<Properties>//; s/Dependencies<\/Param><Value>/D=/; s/<[^>]*>//g' | paste -sd' '; }
got=$(deps $A "$P")
want="$A 0 BBBBBBBB-0000-4000-8000-000000000002 16384 D=$A,0 CCCCCCCC-0000-4000-8000-000000000003 0 D=BBBBBBBB-0000-4000-8000-000000000002,1;DDDDDDDD-0000-4000-8000-000000000004,0 DDDDDDDD-0000-4000-8000-000000000004 0 D=$A,0;x,1"
[ "$got" = "$want" ] || { echo "FAIL: skip A"; echo "  want $want"; echo "  got  $got"; fails=$((fails + 1)); }
# Skipping C (case ignored) ties B, D and A; C itself stays unmarked.
got=$(deps cccccccc-0000-4000-8000-000000000003 "$P")
want="$A 16384 BBBBBBBB-0000-4000-8000-000000000002 16384 D=$A,1 CCCCCCCC-0000-4000-8000-000000000003 0 D=BBBBBBBB-0000-4000-8000-000000000002,0;DDDDDDDD-0000-4000-8000-000000000004,0 DDDDDDDD-0000-4000-8000-000000000004 16384 D=$A,0;x,1"
[ "$got" = "$want" ] || { echo "FAIL: skip C"; echo "  want $want"; echo "  got  $got"; fails=$((fails + 1)); }
expect_status 1 -- packet skip 00000000-0000-0000-0000-000000000000 "$P"
expect_status 2 -- packet skip

# The other messages: defaults, escaped name attribute, lenient roots.
STDIN='<MSGDJobState><Job name="a &quot;b&quot;">g</Job><Time>4294967296</Time></MSGDJobState>' \
  expect '<MSGDJobState><Job name="a &quot;b&quot;">g</Job><ActiveStep></ActiveStep><ActiveStepDesc></ActiveStepDesc><Time>4294967295</Time><JobState>0</JobState><JobTargetState>0</JobTargetState><StateText></StateText><Data>0</Data><IsCopiedFromJobStepState>0</IsCopiedFromJobStepState><UserConsentState>0</UserConsentState></MSGDJobState>' 0 -- message MsgDJobState
STDIN='<Any><clientguid>g</clientguid><Versionnumber>7</Versionnumber></Any>' \
  expect '<MSGSSAJobStepTarget><Versionnumber>7</Versionnumber><ClientGuid>g</ClientGuid><ClientName></ClientName></MSGSSAJobStepTarget>' 0 -- message MsgSSAJobStepTarget
STDIN='not xml' expect '<MSGDModuleState><Module></Module><Version></Version><State>0</State><StateText></StateText><MsgsSent>0</MsgsSent><MsgsRcvd>0</MsgsRcvd><MsgsQueued>0</MsgsQueued></MSGDModuleState>' 0 -- message MsgDModuleState
STDIN='<MSGDJobStepStatetext><JobStep>s</JobStep></MSGDJobStepStatetext>' \
  expect '<MSGDJobStepStatetext><JobStep>s</JobStep><StateText></StateText></MSGDJobStepStatetext>' 0 -- message MsgDJobStepStateText
STDIN='<MSGDJobState/>' expect_status 1 -- message MsgDConfirmJobStep
finish
