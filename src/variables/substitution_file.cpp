// Expanding the placeholders of a file line by line.
//
// The callers expect the platform's error codes, so open failures are
// reported as the Win32 codes that correspond to the errno values.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "ofl/error_message.h"
#include "orvacmn/variables/ovk_vars.h"

namespace orvacmn {

namespace {

// Owns a stdio stream.
class File {
 public:
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File() { Close(); }

  // Adopts `fd`; false (with errno set) if it cannot.
  bool Adopt(int fd, const char* mode) {
    f_ = ::fdopen(fd, mode);
    if (f_ == nullptr) {
      const int err = errno;
      ::close(fd);
      errno = err;
      return false;
    }
    return true;
  }
  FILE* get() const { return f_; }
  // 0, or the errno of a failed flush on closing.
  int Close() {
    if (f_ == nullptr) return 0;
    const int rc = std::fclose(f_);
    f_ = nullptr;
    return rc == 0 ? 0 : errno;
  }

 private:
  FILE* f_ = nullptr;
};

}  // namespace

uint32_t COVKVars::PerformSubstitutionsOnFile(const String& source, const String& target, bool& expressionFound,
                                              ESubstitutionPolicies policies,
                                              VBScriptExecutionPolicy vbPolicy) const {
  if (source.empty()) return OFL::Win32::kPathNotFound;
  const int inFd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (inFd < 0) return OFL::Win32ErrorFromErrno(errno, source);
  File in;
  if (!in.Adopt(inFd, "rb")) return OFL::Win32ErrorFromErrno(errno, source);
  struct stat inStat;
  if (::fstat(::fileno(in.get()), &inStat) != 0) return OFL::Win32ErrorFromErrno(errno, source);
  if (S_ISDIR(inStat.st_mode)) return OFL::Win32::kAccessDenied;

  if (target.empty()) return OFL::Win32::kPathNotFound;
  // The source is open for reading and denies writers: the target cannot be
  // the same file (truncating it would lose the source).
  struct stat outStat;
  if (::stat(target.c_str(), &outStat) == 0 && outStat.st_dev == inStat.st_dev && outStat.st_ino == inStat.st_ino)
    return OFL::Win32::kSharingViolation;
  const int outFd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (outFd < 0) return OFL::Win32ErrorFromErrno(errno, target);
  File out;
  if (!out.Adopt(outFd, "wb")) return OFL::Win32ErrorFromErrno(errno, target);

  expressionFound = false;
  char* buffer = nullptr;
  size_t capacity = 0;
  int writeError = 0;
  String line;
  for (;;) {
    const ssize_t n = ::getline(&buffer, &capacity, in.get());
    if (n < 0) break;
    size_t length = static_cast<size_t>(n);
    // Lines are read as text: without their line end, CR LF counting as one.
    if (length > 0 && buffer[length - 1] == '\n') {
      --length;
      if (length > 0 && buffer[length - 1] == '\r') --length;
    }
    line.assign(buffer, length);
    bool found = false;
    const String expanded = PerformSubstitutions(line, found, policies, vbPolicy);
    expressionFound = expressionFound || found;
    if (writeError == 0 && (std::fwrite(expanded.data(), 1, expanded.size(), out.get()) != expanded.size() ||
                            std::fputc('\n', out.get()) == EOF))
      writeError = errno;
  }
  const int readError = std::ferror(in.get()) ? errno : 0;
  std::free(buffer);
  in.Close();
  const int closeError = out.Close();
  if (readError != 0) return OFL::Win32ErrorFromErrno(readError, source);
  if (writeError != 0) return OFL::Win32ErrorFromErrno(writeError, target);
  if (closeError != 0) return OFL::Win32ErrorFromErrno(closeError, target);
  return 0;
}

uint32_t COVKVars::PerformSubstitutionsOnFile(const String& source, const String& target,
                                              ESubstitutionPolicies policies,
                                              VBScriptExecutionPolicy vbPolicy) const {
  bool expressionFound = false;
  return PerformSubstitutionsOnFile(source, target, expressionFound, policies, vbPolicy);
}

}  // namespace orvacmn
