// Arbitrary bytes as an INF file to parse: the parse never crashes, fails
// only with the codes and texts it documents, and a parsed driver packs to a
// text that reads back to itself.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "orvacmn/drivers/inf_file_parser.h"

#include "check.h"

FUZZ_TEXT(text) {
  char name[] = "/tmp/fuzz_infp_XXXXXX";
  const int fd = ::mkstemp(name);
  Check(fd >= 0, "no temporary file");
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    Check(n > 0, "write failed");
    done += static_cast<size_t>(n);
  }
  ::close(fd);

  orvacmn::CInfFileParser parser;
  orvacmn::OVOSoftwareDriver driver, again;
  orvacmn::String error;
  const uint32_t rc = parser.ParseInfFile(name, &driver, error);
  std::remove(name);
  if (rc != 0) {
    Check(rc == orvacmn::CInfFileParser::kErrorFailed && !error.empty(), "undocumented failure");
    return;
  }
  Check(driver.GetType() == "NETCARD" || driver.GetType() == "GFXCARD" || driver.GetType() == "OTHER", "bad type");
  Check(driver.GetComponentID() == "*" && driver.GetInstallSource() == name, "fields not set");
  CheckRepack(driver, again);
}
