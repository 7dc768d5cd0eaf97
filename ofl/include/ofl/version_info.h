// OFLVersionInfo: a file's name and the texts of its version resource, as
// the inventory reads them from a program file.
#ifndef OFL_VERSION_INFO_H_
#define OFL_VERSION_INFO_H_

#include "ofl/string.h"

struct OFLVersionInfo {
  OFL::String FileName;
  OFL::String Version;
  OFL::String Company;
  OFL::String ProductName;
  OFL::String InternalName;
  OFL::String Language;
  OFL::String ProductVersion;
  OFL::String FileDescription;
  OFL::String FileVersionNumeric;
  bool operator==(const OFLVersionInfo&) const = default;
};

#endif  // OFL_VERSION_INFO_H_
