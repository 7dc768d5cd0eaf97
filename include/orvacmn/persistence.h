// Persistence facade: the object store's interface and vocabulary, the record
// families, the generic record calls and the typed path the families share.
#ifndef ORVACMN_PERSISTENCE_H_
#define ORVACMN_PERSISTENCE_H_

#include "orvacmn/persistence/db_access.h"
#include "orvacmn/persistence/family_operations.h"
#include "orvacmn/persistence/moc_instance.h"
#include "orvacmn/persistence/record_families.h"
#include "orvacmn/persistence/record_types.h"
#include "orvacmn/persistence/store_vocabulary.h"
#include "orvacmn/persistence/typed_load.h"

#endif  // ORVACMN_PERSISTENCE_H_
