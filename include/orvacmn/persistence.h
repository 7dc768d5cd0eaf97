// Persistence facade: the object store's interface, the generic record calls
// on it and the single load the typed families share.
#ifndef ORVACMN_PERSISTENCE_H_
#define ORVACMN_PERSISTENCE_H_

#include "orvacmn/persistence/db_access.h"
#include "orvacmn/persistence/moc_instance.h"
#include "orvacmn/persistence/typed_load.h"

#endif  // ORVACMN_PERSISTENCE_H_
