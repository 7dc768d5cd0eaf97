// Scratch files for tests: a fresh folder that goes with its object, and files written and read whole.
#ifndef ORVACMN_TESTS_COMMON_SCRATCH_H_
#define ORVACMN_TESTS_COMMON_SCRATCH_H_

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace orvacmn::testing {

// Writes `text` as it stands, making the folders above the file first.
inline void WriteFile(const std::filesystem::path& path, const std::string& text) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// The file's bytes; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A folder of its own below the temporary folder, removed with all it holds when the object goes; safe for tests
// that run in parallel processes.
class ScratchDir {
 public:
  ScratchDir() {
    std::string name = (std::filesystem::temp_directory_path() / "orvacmn_test_XXXXXX").string();
    if (::mkdtemp(name.data()) != nullptr) path_ = name;  // else empty: every use fails
  }
  ~ScratchDir() {
    if (!path_.empty()) std::filesystem::remove_all(path_);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  std::string File(const std::string& name) const { return str() + "/" + name; }

 private:
  std::filesystem::path path_;
};

}  // namespace orvacmn::testing

#endif  // ORVACMN_TESTS_COMMON_SCRATCH_H_
