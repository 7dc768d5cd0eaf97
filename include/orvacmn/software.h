// The software catalogue: applications with their dependencies, files and
// nested objects, licences and reservations, and software scan rules.
#ifndef ORVACMN_SOFTWARE_H_
#define ORVACMN_SOFTWARE_H_

#include "orvacmn/software/application.h"
#include "orvacmn/software/application_list.h"
#include "orvacmn/software/licenses.h"
#include "orvacmn/software/scan_rules.h"
#include "orvacmn/software/nested_objects.h"
#include "orvacmn/software/software_driver.h"
#include "orvacmn/software/software_files.h"

#endif  // ORVACMN_SOFTWARE_H_
