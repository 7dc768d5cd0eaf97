# ovo steps result and next-boot, and the job-step classes of ovo object.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
TAB=$(printf '\t')
# A step of TYPE with GUID, whole State and StateString.
step() { printf '<JobStep type="%s"><GUID>%s</GUID><State>%s</State><StateString>%s</StateString></JobStep>' "$1" "$2" "${3:-0}" "$4"; }
list() { printf '<JobStepList>%s</JobStepList>' "$*"; }

# Populated examples come back exactly, a step also through OVOJobStep (kind chosen by its type).
expect "$(cat "$EXAMPLES/steps/step_list.xml")" 0 -- object OVOJobStepList "$EXAMPLES/steps/step_list.xml"
expect "$(cat "$EXAMPLES/steps/wipe_disk.xml")" 0 -- object OVOJobStepWipeDisk "$EXAMPLES/steps/wipe_disk.xml"
expect "$(cat "$EXAMPLES/steps/wipe_disk.xml")" 0 -- object OVOJobStep "$EXAMPLES/steps/wipe_disk.xml"

# The result of the example: one of four finished steps failed.
expect "519${TAB}Image not found" 0 -- steps result "$EXAMPLES/steps/step_list.xml"
expect "1031${TAB}Image not found" 0 -- steps result --options 0x2 "$EXAMPLES/steps/step_list.xml"
expect "11111111-0000-4000-8000-000000000142" 0 -- steps next-boot "$EXAMPLES/steps/step_list.xml"

STDIN=$(list) expect "7${TAB}" 0 -- steps result
STDIN=$(list "$(step 145 a 7)" "$(step 146 b 1031 x)") expect "519${TAB}x" 0 -- steps result
STDIN=$(list "$(step 145 a 7)" "$(step 146 b 1031 x)") expect "1031${TAB}x" 0 -- steps result --options 2
STDIN=$(list "$(step 145 a 1031 x)" "$(step 146 b 1031 y)" "$(step 142 c 1031 z)") \
  expect "1031${TAB}3 step(s) failed" 0 -- steps result
STDIN=$(list "$(step 145 a 519)" "$(step 146 b 7)") expect "519${TAB}" 0 -- steps result
STDIN=$(list "$(step 145 a 536870919)") expect "519${TAB}" 0 -- steps result
STDIN='<JobSteps/>' expect "" 1 -- steps result
expect_status 2 -- steps result --options nope
expect_status 2 -- steps result --options 0x100000000
expect_status 2 -- steps

# The next boot-client step: after the last finished one, or that one when it failed; none when all are done.
STDIN=$(list "$(step 140 boot)" "$(step 145 a 7)" "$(step 146 b)" "$(step 142 c)") expect "b" 0 -- steps next-boot
STDIN=$(list "$(step 10 v)" "$(step 145 a)" "$(step 146 b)") expect "a" 0 -- steps next-boot
STDIN=$(list "$(step 145 a)" "$(step 146 b 7)") expect "" 1 -- steps next-boot
STDIN=$(list "$(step 140 boot)" "$(step 10 v)") expect "" 1 -- steps next-boot
STDIN='<JobStep/>' expect "" 1 -- steps next-boot

# Steps of unknown types, or not named JobStep, are skipped; a kind keeps its own type when constructed.
STDIN=$(list "$(step 99 a)" "$(step 300 b)" '<JobStep><GUID>c</GUID></JobStep>' '<jobstep type="145"/>' \
             '<Step type="145"/>') expect '<JobStepList></JobStepList>' 0 -- object OVOJobStepList
STDIN='<JobStep type="215"><guid>g</guid><stepdata><x/></stepdata><THREADPRIORITY>2</THREADPRIORITY></JobStep>' \
  expect '<JobStep type="215"><GUID>g</GUID><VirtualStep></VirtualStep><Job></Job><Client></Client><Precondition></Precondition><Sequence>0</Sequence><State>0</State><StateString></StateString><Started>0</Started><LastChange>0</LastChange><Options>0</Options><Properties></Properties><StepData></StepData><InsertAfter></InsertAfter><UserContext></UserContext><ThreadPriority>2</ThreadPriority></JobStep>' 0 -- object OVOJobStep
STDIN='<JobStep type="300"/>' expect "" 1 -- object OVOJobStep
STDIN='<JobStep type="145"><StepData><Passes>9</Passes></StepData></JobStep>' \
  expect '<JobStep type="145"><GUID></GUID><VirtualStep></VirtualStep><Job></Job><Client></Client><Precondition></Precondition><Sequence>0</Sequence><State>0</State><StateString></StateString><Started>0</Started><LastChange>0</LastChange><Options>0</Options><Properties></Properties><StepData><OvdFilename></OvdFilename><SecurityContext>__SC__InstallUser__</SecurityContext><OvdTimeout>0</OvdTimeout></StepData><InsertAfter></InsertAfter><UserContext></UserContext></JobStep>' 0 -- object OVOJobStepServerSideAction
STDIN='<DesasterRestore><volume>C</volume><restoreoptions>1</restoreoptions><b a="1">t</b></DesasterRestore>' \
  expect '<DesasterRestore><RestoreOptions>1</RestoreOptions><volume>C</volume><b a="1">t</b></DesasterRestore>' 0 -- object OVODesasterRestore
STDIN='<JobStep type="145">' expect "" 1 -- object OVOJobStepWipeDisk
finish
