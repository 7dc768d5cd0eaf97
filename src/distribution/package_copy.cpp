// The copy step of a deploy package: files and folders from the
// distribution point into a mapped folder.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "ofl/error_message.h"
#include "ofl/format.h"
#include "ofl/path_nocase.h"
#include "ofl/tools.h"
#include "orvacmn/distribution/package_actions.h"

namespace orvacmn {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kInvalidParameter = OFL::Win32::kInvalidParameter;

bool HasWildcard(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

// Copies into `to` (a folder that exists and is not a link) without following
// links of the source or writing through links of the target.
class TreeCopy {
 public:
  uint32_t Entry(const fs::path& from, const fs::path& to, String& why) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(from, ec);
    if (ec) return Fail(ec, from, why);
    const fs::path target = to / from.filename();
    if (fs::is_directory(status)) {
      const fs::file_status existing = fs::symlink_status(target, ec);
      if (fs::is_symlink(existing)) {
        why = OFLFormat("[%s] is a link", target.string());
        return OFL::Win32::kAccessDenied;
      }
      if (!fs::is_directory(existing) && !fs::create_directory(target, ec)) return Fail(ec, target, why);
      return Folder(from, target, why);
    }
    if (!fs::is_regular_file(status)) return 0;  // links and devices stay behind
    if (fs::is_symlink(fs::symlink_status(target, ec)) && !fs::remove(target, ec)) return Fail(ec, target, why);
    if (!fs::copy_file(from, target, fs::copy_options::overwrite_existing, ec)) return Fail(ec, target, why);
    return 0;
  }

  uint32_t Folder(const fs::path& from, const fs::path& to, String& why) {
    std::error_code ec;
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec))
      if (const uint32_t code = Entry(it->path(), to, why); code != 0) return code;
    return ec ? Fail(ec, from, why) : 0;
  }

  static uint32_t Fail(const std::error_code& ec, const fs::path& path, String& why) {
    why = OFLFormat("[%s]: %s", path.string(), ec.message());
    return OFL::Win32ErrorFromErrno(ec.value(), path.string());
  }
};

// `inner` is `outer` or lies below it, judged on the real paths.
bool Within(const fs::path& inner, const fs::path& outer) {
  std::error_code ec;
  const fs::path a = fs::weakly_canonical(inner, ec), b = fs::weakly_canonical(outer, ec);
  const auto mismatch = std::mismatch(b.begin(), b.end(), a.begin(), a.end());
  return mismatch.first == b.end();
}

}  // namespace

uint32_t CPackageActionCopyFiles::Read(const OFLTokenizer& lines) {
  CPackageAction::Read(lines);
  source_ = Value("Source");
  destination_ = Value("Destination");
  return 0;
}

uint32_t CPackageActionCopyFiles::Execute(String& logLine) {
  const String source = package_.ResolveDip(source_);
  logLine = OFLFormat("Copying files from [%s] to [%s]...", source, destination_);

  // A pattern in the last name picks entries of the folder above it.
  const size_t sep = source.find_last_of("\\/");
  const String last = sep == String::npos ? source : source.substr(sep + 1);
  const bool pattern = HasWildcard(last) && sep != String::npos;
  String from, to, why;
  if (const uint32_t code = package_.LocalPath(pattern ? source.substr(0, sep) : source, from, why); code != 0)
    return WithDetail(logLine, code, why);
  if (const uint32_t code = package_.LocalPath(destination_, to, why); code != 0) return WithDetail(logLine, code, why);

  std::error_code ec;
  const fs::file_status status = fs::status(from, ec);
  if (!fs::exists(status))
    return WithDetail(logLine, OFL::Win32ErrorFromErrno(ENOENT, from), OFLFormat("[%s] does not exist", source));
  if (fs::is_directory(status) && Within(to, from))
    return WithDetail(logLine, kInvalidParameter, "a folder cannot be copied into itself");
  if (fs::is_symlink(fs::symlink_status(to, ec)))
    return WithDetail(logLine, OFL::Win32::kAccessDenied, OFLFormat("[%s] is a link", to));
  if (!fs::is_directory(fs::status(to, ec))) {
    fs::create_directories(to, ec);
    if (ec) return WithDetail(logLine, TreeCopy::Fail(ec, to, why), why);
  }

  TreeCopy copy;
  uint32_t code = 0;
  if (pattern) {
    bool any = false;
    for (fs::directory_iterator it(from, ec), end; !ec && it != end && code == 0; it.increment(ec)) {
      if (!OFL::Tools::MatchPattern(it->path().filename().string(), last)) continue;
      any = true;
      code = copy.Entry(it->path(), to, why);
    }
    if (code == 0 && !any)
      return WithDetail(logLine, OFL::Win32::kFileNotFound, OFLFormat("nothing matches [%s]", source));
  } else if (fs::is_directory(status)) {
    code = copy.Folder(from, to, why);
  } else {
    code = copy.Entry(from, to, why);
  }
  return code == 0 ? 0 : WithDetail(logLine, code, why);
}

}  // namespace orvacmn
