// Arbitrary bytes as an INF file: Load with every flag combination, then the
// sections and keys the text names itself are asked for. Lookups must agree
// with each other, and substitution must stay within its pass limit.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "orvacmn/drivers/inf_file_reader.h"

#include "check.h"

namespace {

using orvacmn::CInfFileReader;
using orvacmn::String;

class Reader : public CInfFileReader {
 public:
  using CInfFileReader::IsSection;
  using CInfFileReader::PerformSubstitutions;
};

// A temporary file holding the input, removed afterwards.
struct TempFile {
  std::string path;
  explicit TempFile(const std::string& bytes) {
    char name[] = "/tmp/fuzz_inf_XXXXXX";
    const int fd = ::mkstemp(name);
    Check(fd >= 0, "no temporary file");
    path = name;
    for (size_t done = 0; done < bytes.size();) {
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      Check(n > 0, "write failed");
      done += static_cast<size_t>(n);
    }
    ::close(fd);
  }
  ~TempFile() { std::remove(path.c_str()); }
};

}  // namespace

FUZZ_TEXT(text) {
  const TempFile file(text);
  for (uint32_t flags : {0u, 7u}) {
    Reader reader;
    String error;
    const uint32_t rc = reader.Load(file.path, error, flags);
    if (text.size() < 3) {
      Check(rc == CInfFileReader::kErrorInvalidFile && !error.empty(), "short file accepted");
      continue;
    }
    Check(rc == 0, "readable file refused");
    // Up to four section names and keys from the lines themselves.
    std::vector<String> sections{"Strings"}, keys{""};
    for (const std::string_view line : reader.GetLines()) {
      String name;
      if (Reader::IsSection(String(line), name) && sections.size() < 5) sections.push_back(name);
      else if (const size_t eq = line.find('='); eq != String::npos && keys.size() < 5) keys.emplace_back(line.substr(0, eq));
    }
    for (const String& section : sections) {
      OFLTokenizer lines;
      const int read = reader.ReadCompleteSection(section, lines);
      Check(read == reader.SectionExists(section), "section lookups disagree");
      Check(read || lines.IsEmpty(), "unknown section gave lines");
      for (const String& line : lines) {
        String name;
        Check(!Reader::IsSection(line, name), "section ran past the next header");
      }
      for (const String& key : keys) {
        String value;
        if (reader.GetValue(section, key, value)) Check(read == 1, "value from an unknown section");
      }
    }
    String line = text.substr(0, 256);
    Check(reader.PerformSubstitutions(line) <= CInfFileReader::kMaxSubstitutionPasses, "pass limit exceeded");
  }
}
