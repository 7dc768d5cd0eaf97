// Test data of the INF tests: the folder from ORVACMN_TEST_DATA and scratch files.
#ifndef ORVACMN_TESTS_DRIVERS_INF_TEST_UTIL_H_
#define ORVACMN_TESTS_DRIVERS_INF_TEST_UTIL_H_

#include <cstdlib>
#include <string>

#include "common/scratch.h"

namespace orvacmn::test {

inline std::string InfData(const std::string& name) {
  const char* root = std::getenv("ORVACMN_TEST_DATA");
  return std::string(root ? root : "tests/data") + "/inf/" + name;
}

// A file in a fresh temporary folder holding `bytes`; removed with the object.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& bytes, const std::string& name = "test.inf") : path_(dir_.File(name)) {
    testing::WriteFile(path_, bytes);
  }
  const std::string& path() const { return path_; }
  std::string dir() const { return dir_.str(); }

 private:
  testing::ScratchDir dir_;
  std::string path_;
};

}  // namespace orvacmn::test

#endif  // ORVACMN_TESTS_DRIVERS_INF_TEST_UTIL_H_
