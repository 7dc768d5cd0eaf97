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

#include "orvacmn/variables/ovk_vars.h"

namespace orvacmn {

namespace {

constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorTooManyOpenFiles = 4;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorNotEnoughMemory = 8;
constexpr uint32_t kErrorWriteProtect = 19;
constexpr uint32_t kErrorGenFailure = 31;
constexpr uint32_t kErrorSharingViolation = 32;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorDiskFull = 112;
constexpr uint32_t kErrorFilenameExcedRange = 206;

bool DirectoryExists(const String& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A missing file in an existing directory is "file not found"; a missing
// directory on the way is "path not found", as on the original platform.
bool ParentExists(const String& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == String::npos) return true;
  return DirectoryExists(slash == 0 ? String("/") : path.substr(0, slash));
}

uint32_t Win32Error(int err, const String& path) {
  switch (err) {
    case ENOENT: return ParentExists(path) ? kErrorFileNotFound : kErrorPathNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return kErrorAccessDenied;
    case EMFILE:
    case ENFILE: return kErrorTooManyOpenFiles;
    case ENOMEM: return kErrorNotEnoughMemory;
    case EROFS: return kErrorWriteProtect;
    case EBUSY:
    case ETXTBSY: return kErrorSharingViolation;
    case EEXIST: return kErrorFileExists;
    case EINVAL: return kErrorInvalidParameter;
    case ENOSPC:
    case EDQUOT: return kErrorDiskFull;
    case ENAMETOOLONG: return kErrorFilenameExcedRange;
    default: return kErrorGenFailure;
  }
}

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
  if (source.empty()) return kErrorPathNotFound;
  const int inFd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (inFd < 0) return Win32Error(errno, source);
  File in;
  if (!in.Adopt(inFd, "rb")) return Win32Error(errno, source);
  struct stat inStat;
  if (::fstat(::fileno(in.get()), &inStat) != 0) return Win32Error(errno, source);
  if (S_ISDIR(inStat.st_mode)) return kErrorAccessDenied;

  if (target.empty()) return kErrorPathNotFound;
  // The source is open for reading and denies writers: the target cannot be
  // the same file (truncating it would lose the source).
  struct stat outStat;
  if (::stat(target.c_str(), &outStat) == 0 && outStat.st_dev == inStat.st_dev && outStat.st_ino == inStat.st_ino)
    return kErrorSharingViolation;
  const int outFd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (outFd < 0) return Win32Error(errno, target);
  File out;
  if (!out.Adopt(outFd, "wb")) return Win32Error(errno, target);

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
  if (readError != 0) return Win32Error(readError, source);
  if (writeError != 0) return Win32Error(writeError, target);
  if (closeError != 0) return Win32Error(closeError, target);
  return 0;
}

uint32_t COVKVars::PerformSubstitutionsOnFile(const String& source, const String& target,
                                              ESubstitutionPolicies policies,
                                              VBScriptExecutionPolicy vbPolicy) const {
  bool expressionFound = false;
  return PerformSubstitutionsOnFile(source, target, expressionFound, policies, vbPolicy);
}

}  // namespace orvacmn
