// The merges a store runs inside its write transaction for the client
// actions "ProcessMiniInventory" (record type 51) and "UpdateClientState"
// (record type 80), so that concurrent agents' reports of one client lose
// nothing and a report that changes nothing writes nothing.
//
// Each merge takes the action's parameter and the stored record's text and
// gives the record text to write (empty: nothing to write) and an answer
// text; it fails with E_INVALIDARG, the reason in the answer, on a
// parameter or record it cannot read. A store registers them for its
// actions (SqliteStore::SetRecordAction). Any thread, as long as the
// domains are not changed meanwhile.
#ifndef ORVACMN_SERVER_RECORD_ACTIONS_H_
#define ORVACMN_SERVER_RECORD_ACTIONS_H_

#include <functional>
#include <memory>

#include "orvacmn/common/types.h"
#include "orvacmn/server/client_mgmt_helper.h"

namespace orvacmn {

using RecordMerge =
    std::function<HRESULT(const String& parameter, const String& stored, String& merged, String& answer)>;

// "ProcessMiniInventory": the parameter's report ("MiniInventoryData") merged
// into the stored client by ClientMgmtHelper::ProcessMiniInventory; the
// answer is the packed bag of the changed properties. The security-centre
// states, which the client's text does not carry, are kept in the client's
// free properties of the same names, so that an unchanged state is seen as
// unchanged.
RecordMerge MiniInventoryMerge(std::shared_ptr<const ClientMgmtHelper::Domains> domains,
                               EConnectionMode connectionMode, CConfiguration::EIPUpdateMode ipUpdateMode,
                               ClientMgmtHelper::Clock clock = ClientMgmtHelper::Clock());

// "UpdateClientState": the parameter's "ClientState" applied to the stored
// state (OVOClientState::Update), or to a new state with the parameter's
// "GUID"; the answer is the state as written.
HRESULT MergeClientState(const String& parameter, const String& stored, String& merged, String& answer);

}  // namespace orvacmn

#endif  // ORVACMN_SERVER_RECORD_ACTIONS_H_
