// Test data of the INF tests: the folder from ORVACMN_TEST_DATA and scratch files.
#ifndef ORVACMN_TESTS_DRIVERS_INF_TEST_UTIL_H_
#define ORVACMN_TESTS_DRIVERS_INF_TEST_UTIL_H_

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace orvacmn::test {

inline std::string InfData(const std::string& name) {
  const char* root = std::getenv("ORVACMN_TEST_DATA");
  return std::string(root ? root : "tests/data") + "/inf/" + name;
}

// A file in a fresh temporary folder holding `bytes`; removed with the object.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& bytes, const std::string& name = "test.inf") {
    char dir[] = "/tmp/inf_test_XXXXXX";
    dir_ = ::mkdtemp(dir) ? dir : "/tmp";
    path_ = dir_ + "/" + name;
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  ~ScratchFile() {
    std::remove(path_.c_str());
    ::rmdir(dir_.c_str());
  }
  const std::string& path() const { return path_; }
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_, path_;
};

}  // namespace orvacmn::test

#endif  // ORVACMN_TESTS_DRIVERS_INF_TEST_UTIL_H_
