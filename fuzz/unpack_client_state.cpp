// Arbitrary text as a client state, whole and as a partial update. The pack
// reads back through UnpackStored (the type's element as this library writes
// it); an update takes exactly its change groups and ORs the bits.
#include "check.h"
#include "orvacmn/system/client_state.h"

using orvacmn::OVOClientState;

FUZZ_TEXT(text) {
  const OVOClientState first(text);
  OVOClientState again;
  Check(again.UnpackStored(first.Pack()) == 1 && again == first, "pack does not read back");
  orvacmn::ReadCustomStateType(text);

  // The first half as the stored state, the second as the update.
  const std::string storedText = text.substr(0, text.size() / 2), incomingText = text.substr(text.size() / 2);
  OVOClientState stored;
  stored.UnpackStored(storedText);
  const OVOClientState before = stored;
  OVOClientState incoming;
  const int incomingFound = incoming.UnpackStored(incomingText);
  Check(stored.Update(incomingText) == incomingFound, "update result");
  Check(stored.GetChanges() == (before.GetChanges() | incoming.GetChanges()), "changes not accumulated");
  Check(stored.GetGuid() == before.GetGuid() && stored.GetFirstError() == before.GetFirstError() &&
            stored.GetLastChange() == before.GetLastChange() &&
            stored.GetMachineDisplayName() == before.GetMachineDisplayName(),
        "identity taken over");
  Check(stored.GetLastError() == ((incoming.GetChanges() & 0x40) ? incoming : before).GetLastError(), "last error");
  Check(stored.GetCustomStateType() == ((incoming.GetChanges() & 0x20) ? incoming : before).GetCustomStateType(),
        "custom state type");
}
