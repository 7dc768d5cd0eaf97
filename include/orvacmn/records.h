// The record classes of the object store whose content the library does not
// interpret, and the table of their key fields.
#ifndef ORVACMN_RECORDS_H_
#define ORVACMN_RECORDS_H_

#include "orvacmn/records/keyed_records.h"
#include "orvacmn/records/kept_children_object.h"
#include "orvacmn/records/record_fields.h"

#endif  // ORVACMN_RECORDS_H_
