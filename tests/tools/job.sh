# ovo job next-run, assign and sort, and the job classes of ovo object.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
CET='Europe/Berlin'
JOB=$EXAMPLES/jobs/job.xml  # Monday to Friday at 08:30 local time, valid 2024 and 2025
LIST=$EXAMPLES/jobs/job_list.xml

# Populated examples come back exactly.
expect "$(cat "$JOB")" 0 -- object OVOJob "$JOB"
expect "$(cat "$LIST")" 0 -- object OVOJobList "$LIST"

# Next runs in local time: tomorrow morning, over the weekend, across both daylight-saving changes (steps are
# whole days of seconds, so 08:30 moves by an hour), after the window and before it.
TZ=$CET expect 1717655400 0 -- job next-run --now 1717570800 "$JOB"
TZ=$CET expect 1717655400 0 -- job next-run --from 1717569000 --now 1717570800 "$JOB"
TZ=UTC expect 1717576200 0 -- job next-run --now 1717570800 "$JOB"
TZ=$CET expect 1718001000 0 -- job next-run --now 1717743600 "$JOB"
TZ=$CET expect 1711956600 0 -- job next-run --now 1711699200 "$JOB"
TZ=$CET expect 1730097000 0 -- job next-run --now 1729839600 "$JOB"
TZ=$CET expect -1 0 -- job next-run --now 1767225600 "$JOB"
TZ=$CET expect 1704067200 0 -- job next-run --now 1700000000 "$JOB"
STDIN='<Job><Interval>4096</Interval></Job>' TZ=UTC expect 1719792000 0 -- job next-run --now 1717570800
STDIN='<Job><Interval>20480</Interval></Job>' expect -1 0 -- job next-run --now 1717570800

# Assignment: the target's next run, state 2 inside the window with flag 0x8000 for option 4, else state 1.
STDIN='<Job><GUID>J</GUID><Name>n</Name><Options>4</Options><Interval>2130788862</Interval></Job>' TZ=UTC \
  expect '<Job><GUID>J</GUID><OrgUnit></OrgUnit><Name>n</Name><Creator></Creator><Comment></Comment><UnlockSequence></UnlockSequence><Validity></Validity><Priority>500</Priority><Count>1</Count><MaxConcurrentTargets>0</MaxConcurrentTargets><JobExecutionTimeout>0</JobExecutionTimeout><MinBandwidth>0</MinBandwidth><Interval>2130788862</Interval><Options>4</Options><State>1</State><DBState>0</DBState><JobStepList></JobStepList><Properties></Properties><Vars><Scope>__JOB__</Scope></Vars><ObjectRights></ObjectRights><JobTarget><GUIDJob>J</GUIDJob><GUIDMachine>M</GUIDMachine><JobName>n</JobName><DisplayName>PC 1</DisplayName><HostName>pc</HostName><Next>1717576200</Next><State>32770</State><Created>1717570800</Created><Priority>0</Priority><Properties><PropertyEntry><Param>Initiator</Param><Value>me</Value></PropertyEntry></Properties></JobTarget><CachedTargetsCRC>4294967295</CachedTargetsCRC><BootClientSteps>0</BootClientSteps><SaveOptions>0</SaveOptions></Job>' \
  0 -- job assign M pc "PC 1" me --now 1717570800
STDIN='<Job><GUID>J</GUID><Name>n</Name><Interval>2130788862</Interval><Validity>2024-07-01T12:00:00Z/</Validity></Job>' TZ=UTC \
  expect '<Job><GUID>J</GUID><OrgUnit></OrgUnit><Name>n</Name><Creator></Creator><Comment></Comment><UnlockSequence></UnlockSequence><Validity>2024-07-01T12:00:00Z/</Validity><Priority>500</Priority><Count>1</Count><MaxConcurrentTargets>0</MaxConcurrentTargets><JobExecutionTimeout>0</JobExecutionTimeout><MinBandwidth>0</MinBandwidth><Interval>2130788862</Interval><Options>0</Options><State>1</State><DBState>0</DBState><JobStepList></JobStepList><Properties></Properties><Vars><Scope>__JOB__</Scope></Vars><ObjectRights></ObjectRights><JobTarget><GUIDJob>J</GUIDJob><GUIDMachine>M</GUIDMachine><JobName>n</JobName><DisplayName>d</DisplayName><HostName>pc</HostName><Next>1719835200</Next><State>1</State><Created>1717570800</Created><Priority>0</Priority><Properties><PropertyEntry><Param>Initiator</Param><Value>me</Value></PropertyEntry></Properties></JobTarget><CachedTargetsCRC>4294967295</CachedTargetsCRC><BootClientSteps>0</BootClientSteps><SaveOptions>0</SaveOptions></Job>' \
  0 -- job assign M pc d me --now 1717570800

# Sorting: by name ignoring case; by priority, boot-client jobs first among equals.
A=A0000000-0000-4000-8000-000000000001 B=A0000000-0000-4000-8000-000000000002 C=A0000000-0000-4000-8000-000000000003
NL=$'\n'
expect "$B$NL$A$NL$C" 0 -- job sort 0 asc "$LIST"
expect "$C$NL$A$NL$B" 0 -- job sort 0 desc "$LIST"
expect "$B$NL$C$NL$A" 0 -- job sort 1 desc "$LIST"
expect "$A$NL$C$NL$B" 0 -- job sort 1 asc "$LIST"
expect "$A$NL$B$NL$C" 0 -- job sort 2 desc "$LIST"

# Unpack rules through ovo object: the consent flag by presence, DBState split and written back signed.
STDIN='<Job><userconsentrequired>0</userconsentrequired><dbstate>-2147450622</dbstate><x/></Job>' \
  expect '<Job><GUID></GUID><OrgUnit></OrgUnit><Name></Name><Creator></Creator><Comment></Comment><UnlockSequence></UnlockSequence><Validity></Validity><Priority>500</Priority><Count>1</Count><MaxConcurrentTargets>0</MaxConcurrentTargets><JobExecutionTimeout>0</JobExecutionTimeout><MinBandwidth>0</MinBandwidth><Interval>0</Interval><Options>0</Options><State>1</State><DBState>-2147450622</DBState><JobStepList></JobStepList><Properties></Properties><Vars><Scope>__JOB__</Scope></Vars><ObjectRights></ObjectRights><CachedTargetsCRC>4294967295</CachedTargetsCRC><BootClientSteps>0</BootClientSteps><SaveOptions>0</SaveOptions><UserConsentRequired>1</UserConsentRequired></Job>' \
  0 -- object OVOJob
STDIN='<JobList><Other/></JobList>' expect '<JobList></JobList>' 0 -- object OVOJobList

# Refused input and usage errors.
STDIN='<job/>' expect "" 1 -- job next-run
STDIN='<Job>' expect "" 1 -- object OVOJob
STDIN='<JobLists/>' expect "" 1 -- job sort 1 asc
expect_status 2 -- job
expect_status 2 -- job next-run --now x "$JOB"
expect_status 2 -- job next-run --from 9223372036854775808 "$JOB"
expect_status 2 -- job sort 1 up "$LIST"
expect_status 2 -- job sort 4294967296 asc "$LIST"
expect_status 2 -- job assign M pc d
expect_status 1 -- job next-run /nonexistent/job.xml
finish
