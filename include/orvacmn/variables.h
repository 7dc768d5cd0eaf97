// The variables subsystem: variable definitions and values.
#ifndef ORVACMN_VARIABLES_H_
#define ORVACMN_VARIABLES_H_

#include "orvacmn/variables/custom_var.h"
#include "orvacmn/variables/custom_var_def.h"
#include "orvacmn/variables/ovk_vars.h"
#include "orvacmn/variables/vars.h"

#endif  // ORVACMN_VARIABLES_H_
