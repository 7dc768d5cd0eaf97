// Drivers: INF file reading and parsing into driver objects.
#ifndef ORVACMN_DRIVERS_H_
#define ORVACMN_DRIVERS_H_

#include "orvacmn/drivers/inf_file_parser.h"
#include "orvacmn/drivers/inf_file_reader.h"

#endif  // ORVACMN_DRIVERS_H_
