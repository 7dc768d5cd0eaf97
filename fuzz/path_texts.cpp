// Arbitrary text as a mount table, and each of its lines as a mapping, a
// path to resolve, a command line and an interval: nothing resolves outside
// its mapped folder, quoted arguments read back, intervals written read
// back.
#include "ofl/command_line.h"
#include "ofl/interval_str.h"
#include "ofl/path_map.h"

#include "check.h"

FUZZ_TEXT(text) {
  OFL::PathMap map, fixed;
  map.AddMounts(text);
  fixed.AddMapping("\\\\srv\\kits=/nonexistent/kits");
  for (size_t pos = 0; pos < text.size();) {
    const size_t end = std::min(text.find('\n', pos), text.size());
    const std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    map.AddMapping(line);
    std::string local;
    map.Resolve(line, local);
    if (fixed.Resolve(line, local) == OFL::PathMap::Status::kOk && line.size() > 10 &&
        OFL::StartsWithNoCase(line, "\\\\srv\\kits\\"))
      Check(local.rfind("/nonexistent/kits", 0) == 0, "a path left its mapped folder");

    const OFLCommandLine cl(line, true, true);
    std::string joined = OFLCommandLine::QuoteArgument(cl.GetFilePath());
    for (const std::string& a : cl.GetArguments()) joined += " " + OFLCommandLine::QuoteArgument(a);
    if (line.find('\0') == std::string::npos) {
      const auto args = OFLCommandLine::SplitArguments(joined);
      Check(!args.empty() && args.front() == cl.GetFilePath(), "the program does not read back");
      Check(std::vector<std::string>(args.begin() + 1, args.end()) == cl.GetArguments(), "arguments differ");
    }

    OFLIntervalStr interval;
    if (interval.SetIntervalStr(line)) {
      OFLIntervalStr again;
      Check(again.SetIntervalStr(interval.GetIntervalStr()) && again.GetIntervalStr() == interval.GetIntervalStr(),
            "interval text");
      Check(again.SetIntervalDisplayStr(interval.GetIntervalDisplayStr()) &&
                again.GetIntervalStr() == interval.GetIntervalStr(),
            "interval display text");
      const int64_t next = interval.GetNextRunTime(1717236000);
      Check(next > 1717236000, "the next run is not later");
    }
  }
  map.GetLogicalDrives();
}
