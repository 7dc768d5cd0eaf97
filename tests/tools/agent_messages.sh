# ovo message with the agent registration, configuration, announce, update and rollout messages.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
DIR=$EXAMPLES/messages/agent

# Every example reads back to exactly its own text.
for pair in MsgDAgentConfiguration:agent_configuration.xml MsgDClientState:client_state.xml \
            MsgDRegistration:registration.txt MsgBootClientToServer:boot_client_to_server.xml \
            MsgClientAnnounce:client_announce.xml MsgCertificateRequest:certificate_request.xml \
            MsgCertificateResponse:certificate_response.xml MsgBitLockerSecretsRequest:bitlocker_secrets_request.xml \
            MsgToTempOFLRX:to_temp_oflrx.xml MsgFromTempOFLRX:from_temp_oflrx.xml \
            MsgClientAnnounceOrLogOnStateChanged:announce_or_logon_state_changed.xml \
            MessagesToAgent::AgentUpdateRequest:agent_update_request.xml \
            MessagesToAgent::AgentUpdateResponse:agent_update_response.xml \
            MessagesToAgent::GetFileChecksumResponse:file_checksum_response.xml \
            MessagesToAgentDeploy::HasRunningAgentUpdateRequest:has_running_update_request.xml \
            MessagesToAgentDeploy::HasRunningAgentUpdateResponse:has_running_update_response.xml \
            MessagesToAgentDeploy::TriggerAgentUpdateRequest:trigger_update_request.xml \
            MessagesToAgentDeploy::TriggerAgentUpdateResponse:trigger_update_response.xml; do
  expect "$(cat "$DIR/${pair##*:}")" 0 -- message "${pair%:*}" "$DIR/${pair##*:}"
done

# Encoding 1: defaults, the exact "1" of UseDeprecatedKiosk, the lenient client state, the shared rollout root.
STDIN='<MSGDAgentConfiguration><UseDeprecatedKiosk>true</UseDeprecatedKiosk></MSGDAgentConfiguration>' \
  expect '<MSGDAgentConfiguration><Options>0</Options><NetworkUser></NetworkUser><InstallUser></InstallUser><AnnounceInterval>0</AnnounceInterval><Flags>0</Flags><InternetMode>99</InternetMode><InternetServerAddress></InternetServerAddress><InternetServerPort>0</InternetServerPort><InternetServerPublicKey></InternetServerPublicKey><ServerRootCA></ServerRootCA><WebServerPort>0</WebServerPort><KioskAPIPort>0</KioskAPIPort><KioskHost></KioskHost><UseDeprecatedKiosk>0</UseDeprecatedKiosk><DoNotDisturbTime>0</DoNotDisturbTime><Properties></Properties></MSGDAgentConfiguration>' 0 -- message MsgDAgentConfiguration
STDIN='<Anything><ovastate>3</ovastate></Anything>' \
  expect '<MSGDClientState><GUID></GUID><MachineDisplayName></MachineDisplayName><OVAState>3</OVAState><OVAActivity></OVAActivity><LastChange>0</LastChange></MSGDClientState>' 0 -- message MsgDClientState
expect '<MSGToTempOFLRX><Success>0</Success><Version>1</Version><ResultValue>0</ResultValue><ErrorMessage></ErrorMessage></MSGToTempOFLRX>' 0 -- message MsgFromTempOFLRX "$DIR/to_temp_oflrx.xml"
expect_status 1 -- message MsgDAgentConfiguration "$DIR/client_state.xml"
expect_status 1 -- message MsgToTempOFLRX "$DIR/client_state.xml"

# Encoding 2: case-blind "t", the exact "true", and texts that make a message invalid.
STDIN='<AgentUpdateResponse><success>t</success></AgentUpdateResponse>' \
  expect '<AgentUpdateResponse><Success>T</Success><ExtInformation></ExtInformation><OvaVersion></OvaVersion></AgentUpdateResponse>' 0 -- message MessagesToAgent::AgentUpdateResponse
STDIN='<MsgClientAnnounceOrLogOnStateChanged><TriggeredByEvent>TRUE</TriggeredByEvent></MsgClientAnnounceOrLogOnStateChanged>' \
  expect '<MsgClientAnnounceOrLogOnStateChanged><AgentVersion></AgentVersion><SID></SID><TriggeredByEvent>true</TriggeredByEvent><DynamicModeActive>false</DynamicModeActive></MsgClientAnnounceOrLogOnStateChanged>' 0 -- message MsgClientAnnounceOrLogOnStateChanged
STDIN='<FileChecksumResponse><Status>1</Status></FileChecksumResponse>' \
  expect '<FileChecksumResponse><Status>1</Status><Checksum></Checksum><ErrorMessage></ErrorMessage></FileChecksumResponse>' 0 -- message MessagesToAgent::GetFileChecksumResponse
err=$(printf '%s' '<MsgClientAnnounceOrLogOnStateChanged><UserAccount></UserAccount></MsgClientAnnounceOrLogOnStateChanged>' |
      "$OVO" message MsgClientAnnounceOrLogOnStateChanged 2>&1 >/dev/null; echo "rc=$?")
[ "$err" = "ovo: MsgClientAnnounceOrLogOnStateChanged: <MsgClientAnnounceOrLogOnStateChanged> holds a value that the message refuses
rc=1" ] || { echo "FAIL: empty account: $err"; fails=$((fails + 1)); }
err=$(printf '%s' '<FileChecksumResponse><Status>4</Status></FileChecksumResponse>' |
      "$OVO" message MessagesToAgent::GetFileChecksumResponse 2>&1 >/dev/null)
[ "$err" = "ovo: MessagesToAgent::GetFileChecksumResponse: no <FileChecksumResponse> element, or a status other than 1, 2 or 3" ] ||
  { echo "FAIL: status 4: $err"; fails=$((fails + 1)); }
expect_status 1 -- message MessagesToAgentDeploy::TriggerAgentUpdateResponse "$DIR/trigger_update_request.xml"

# Encoding 3: a text that is not a length-packed list reads as thirteen empty entries.
STDIN='<MSGDRegistration/>' expect '0:0:0:0:0:0:0:0:0:0:0:0:0:' 0 -- message MsgDRegistration
STDIN='5:ab' expect '0:0:0:0:0:0:0:0:0:0:0:0:0:' 0 -- message MsgDRegistration
STDIN='1:a1:b' expect '1:a1:b0:0:0:0:0:0:0:0:0:0:0:' 0 -- message MsgDRegistration
finish
