# The job classes of ovo object: targets, user job states and text entries with their lists.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"

# Populated examples come back exactly.
for pair in OVOJobTarget:job_target OVOJobTargetList:job_target_list \
            OVOUserJobStateList:user_job_state_list OVOTextEntryList:text_entry_list; do
  expect "$(cat "$EXAMPLES/jobs/${pair#*:}.xml")" 0 -- object "${pair%%:*}" "$EXAMPLES/jobs/${pair#*:}.xml"
done

# Tags in any case and in any order, unknown nodes dropped, the State node split and written back.
STDIN='<JobTarget><created>7</created><STATE>-2147483641</STATE><x>1</x><ConditionApplies>1</ConditionApplies><hostname>pc</hostname></JobTarget>' \
  expect '<JobTarget><GUIDJob></GUIDJob><GUIDMachine></GUIDMachine><JobName></JobName><DisplayName></DisplayName><HostName>pc</HostName><State>-2147483641</State><Created>7</Created><Priority>0</Priority><Properties></Properties></JobTarget>' 0 -- object OVOJobTarget
# Only JobTarget children make targets.
STDIN='<JobTargetList><Other/><JobTarget><Created>1</Created></JobTarget></JobTargetList>' \
  expect '<JobTargetList><JobTarget><GUIDJob></GUIDJob><GUIDMachine></GUIDMachine><JobName></JobName><DisplayName></DisplayName><HostName></HostName><State>1</State><Created>1</Created><Priority>0</Priority><Properties></Properties></JobTarget></JobTargetList>' 0 -- object OVOJobTargetList
STDIN='<UserJobState><state>-1</state></UserJobState>' \
  expect '<UserJobState><GUID></GUID><GUIDJob></GUIDJob><GUIDSystem></GUIDSystem><TimeStamp>0</TimeStamp><State>4294967295</State><StateText></StateText></UserJobState>' 0 -- object OVOUserJobState
STDIN='<TextEntry><Text>a&amp;b</Text></TextEntry>' \
  expect '<TextEntry><Language>0</Language><Text>a&amp;b</Text></TextEntry>' 0 -- object OVOTextEntry
# Every child of a generic list adds an element, cleared when its tag is another.
STDIN='<TextEntryList><x><Text>t</Text></x></TextEntryList>' \
  expect '<TextEntryList><TextEntry><Language>0</Language><Text></Text></TextEntry></TextEntryList>' 0 -- object OVOTextEntryList
STDIN='<UserJobStateList/>' expect '<UserJobStateList></UserJobStateList>' 0 -- object OVOUserJobStateList

# Another root or broken text is refused.
STDIN='<JobTargets/>' expect "" 1 -- object OVOJobTargetList
STDIN='<JobTarget>' expect "" 1 -- object OVOJobTarget
STDIN='<jobtarget/>' expect "" 1 -- object OVOJobTarget
STDIN='<UserJobStateList>' expect "" 1 -- object OVOUserJobStateList
finish
