// Arbitrary text as a software application and as licences, whose packs are fixed points; a reservation on what was
// read; and the text split in two as a version and a licence filter.
#include "ofl/tools.h"
#include "orvacmn/software/application.h"
#include "orvacmn/software/licenses.h"

#include "check.h"

using orvacmn::OVOReservedLicense;
using orvacmn::OVOSoftwareApplication;
using orvacmn::OVOSoftwareLicenses;

FUZZ_TEXT(text) {
  OVOSoftwareApplication first(text), second;
  CheckRepack(first, second);

  OVOSoftwareLicenses licenses(text), again;
  CheckRepack(licenses, again);
  Check(again == licenses, "licences differ after a round trip");

  OVOReservedLicense reserved, reread;
  reserved.SetSWVersion(first.GetVersion());
  first.GetLicenses().ReserveLicense(reserved, first.GetLicenseActions());
  first.GetLicenses().FreeLicense(reserved.GetLicenseKey(), first.GetVersion());
  CheckRepack(reserved, reread);
  CheckRepack(first, second);

  const size_t half = text.size() / 2;
  OFL::Tools::MatchPattern(text.substr(0, half), text.substr(half));
  OFL::Tools::MatchPattern(text.substr(half), text.substr(0, half));
}
