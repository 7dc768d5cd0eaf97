# ovo state update and OVOClientState through ovo object.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
EX=$EXAMPLES/server

# The stored state's custom type is written "CustomStateTye" and read back from
# either name; groups 0x01, 0x04, 0x08 and 0x40 (77) are taken, identity and
# first error never.
expect '<ClientState><GUID>3F2504E0-4F89-41D3-9A0C-0305E82C3301</GUID><MachineDisplayName>Reception PC</MachineDisplayName><ClientAgentState>5</ClientAgentState><Activity>Idle</Activity><LastChange>1717250000</LastChange><JobState>5</JobState><CurrentJob>0D2B7C41-5E3A-4F19-8B6D-9A1C3E5F7B20</CurrentJob><TimeJobStart>1717251000</TimeJobStart><CurrentStep></CurrentStep><TimeStepStart>0</TimeStepStart><CustomStateTye>2</CustomStateTye><CustomState>Maintenance window</CustomState><CustomStateChange>1717240000</CustomStateChange><FirstError>Disk C: almost full</FirstError><LastError>Reboot pending</LastError><Changes>77</Changes></ClientState>' \
  0 -- state update "$EX/state_stored.xml" "$EX/state_update.xml"
# The custom group from the peers' element name; the incoming from stdin.
STDIN='<ClientState><customstatetype>9</customstatetype><CustomState>x</CustomState><Changes>32</Changes></ClientState>' \
  expect '<ClientState><GUID></GUID><MachineDisplayName></MachineDisplayName><ClientAgentState>-1</ClientAgentState><Activity></Activity><LastChange>0</LastChange><JobState>0</JobState><CurrentJob></CurrentJob><TimeJobStart>0</TimeJobStart><CurrentStep></CurrentStep><TimeStepStart>0</TimeStepStart><CustomStateTye>9</CustomStateTye><CustomState>x</CustomState><CustomStateChange>0</CustomStateChange><FirstError></FirstError><LastError></LastError><Changes>32</Changes></ClientState>' \
  0 -- state update <(echo '<ClientState/>') -
# Changes 0 leaves the stored state as it was.
expect "$("$OVO" state update "$EX/state_stored.xml" "$EX/state_stored.xml")" 0 -- state update "$EX/state_stored.xml" <(echo '<ClientState><Activity>x</Activity></ClientState>')
STDIN='<Client/>' expect_status 1 -- state update - "$EX/state_update.xml"
STDIN='<Client/>' expect_status 1 -- state update "$EX/state_stored.xml" -
expect_status 1 -- state update "$EX/state_stored.xml" "$EX/missing.xml"
expect_status 2 -- state update "$EX/state_stored.xml"
expect_status 2 -- state

# Unpack itself reads only "CustomStateType".
STDIN='<ClientState><CustomStateTye>2</CustomStateTye><CLIENTAGENTSTATE>3</CLIENTAGENTSTATE></ClientState>' \
  expect '<ClientState><GUID></GUID><MachineDisplayName></MachineDisplayName><ClientAgentState>3</ClientAgentState><Activity></Activity><LastChange>0</LastChange><JobState>0</JobState><CurrentJob></CurrentJob><TimeJobStart>0</TimeJobStart><CurrentStep></CurrentStep><TimeStepStart>0</TimeStepStart><CustomStateTye>0</CustomStateTye><CustomState></CustomState><CustomStateChange>0</CustomStateChange><FirstError></FirstError><LastError></LastError><Changes>0</Changes></ClientState>' \
  0 -- object OVOClientState
finish
