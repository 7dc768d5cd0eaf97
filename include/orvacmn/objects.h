// The object framework: object base, catalogue, lists and property bags.
#ifndef ORVACMN_OBJECTS_H_
#define ORVACMN_OBJECTS_H_

#include "orvacmn/objects/catalogue.h"
#include "orvacmn/objects/neutral.h"
#include "orvacmn/objects/ovo_list.h"
#include "orvacmn/objects/owning_list.h"
#include "orvacmn/objects/owning_ptr_list.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"

#endif  // ORVACMN_OBJECTS_H_
