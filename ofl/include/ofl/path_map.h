// OFL::PathMap: Windows paths (UNC shares, drive letters, CD-ROM drives)
// on this machine. Distribution-point lists, package files and their steps
// name Windows paths; everything that touches such a path goes through one
// map, so that nothing reaches a folder the map does not name.
//
// A share "\\server\share" resolves to where it is mounted here: the network
// (CIFS) mounts of the mount table, plus mappings the caller gives
// ("\\srv\kits=/srv/kits", "D:=/media/disk"). CD-ROM drives are the mounted
// optical media (iso9660, udf) in mount order, or the folders the caller
// names ("CDROM=/media/cd"), which then replace them; they get the drive
// letters from D: on that no mapped drive holds. Server, share, drive and
// every folder and file name compare without regard to case, as on Windows:
// a name that exists on disk in another case is found.
//
// Resolving is strict: a path must start with "\\server\share" or "X:" ("/"
// counts as "\"), a mapping must cover its start (the longest one wins), and
// ".." may not climb above the mapped folder, on the page or through a link
// on disk. Existence probes run with a time limit, so that a hung network
// mount cannot block the caller longer than it allows.
//
// Build the map first, then share it: the const operations may run on any
// number of threads at once.
#ifndef OFL_PATH_MAP_H_
#define OFL_PATH_MAP_H_

#include <chrono>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "ofl/string.h"

namespace OFL {

class PathMap {
 public:
  // Drive types, numbered as the platform numbers them.
  enum class DriveType : uint32_t { kFixed = 3, kRemote = 4, kCdrom = 5 };
  struct Drive {
    String letter;  // "E:"
    String root;    // the local folder
    DriveType type;
  };

  enum class Status {
    kOk,
    kNotWindowsPath,  // neither "\\server\share..." nor "X:..."
    kUnmapped,        // no mapping covers the share or drive
    kOutsideRoot,     // ".." or a link leads above the mapped folder
    kInvalid,         // a NUL, or ":" inside a name
  };

  static constexpr std::chrono::milliseconds kDefaultProbeLimit{5000};

  // Nothing mapped.
  PathMap() = default;
  // The network shares and optical media of this machine's mount table
  // (/proc/mounts).
  static PathMap ForThisMachine();
  // ForThisMachine, read once and shared.
  static std::shared_ptr<const PathMap> Machine();

  // Reads a mount table in the format of /proc/mounts: "//server/share[/dir]"
  // of the types cifs, smb3 and smbfs maps the share at its mount point,
  // iso9660 and udf mounts are CD-ROM drives. Octal escapes ("\040") are
  // decoded; other lines are skipped.
  void AddMounts(std::string_view table);
  // "FROM=TO" (split at the first "="): FROM is "\\server\share[\dir...]",
  // "X:[\dir...]" or "CDROM"; TO is an absolute local folder. False, with
  // `error` set when given, for anything else.
  bool AddMapping(std::string_view mapping, String* error = nullptr);
  bool AddMapping(std::string_view from, std::string_view to, String* error = nullptr);

  // Limit of Exists(path); 0 waits without a limit.
  void SetProbeLimit(std::chrono::milliseconds limit) { probeLimit_ = limit; }
  std::chrono::milliseconds GetProbeLimit() const { return probeLimit_; }

  // Mapped drives and CD-ROM drives, by letter.
  std::vector<Drive> GetLogicalDrives() const;
  // The CD-ROM drives ("E:") in mount order.
  std::vector<String> GetCdromDrives() const;

  // The local path of `path`: the mapped folder joined with the rest, each
  // existing name in its case on disk, the others as written. "." and empty
  // names are dropped.
  Status Resolve(std::string_view path, String& local) const;
  // A readable text of a status, naming the path.
  static String StatusText(Status status, std::string_view path);
  // `path` resolves and names an existing file or folder. False for an
  // unmapped path (without touching the disk) and when the probe does not
  // answer within the limit.
  bool Exists(std::string_view path) const { return Exists(path, probeLimit_); }
  bool Exists(std::string_view path, std::chrono::milliseconds limit) const;

  // A path that starts with "\\" or "X:".
  static bool IsWindowsPath(std::string_view path);

 private:
  struct Mapping {
    std::vector<String> from;  // root ("\\server" or "X:") and the names below it
    String to;
    bool byCaller;
  };
  // Where a path lands before the disk is asked: the mapping's folder and
  // the names below it, ".." already applied.
  struct Landing {
    String root;
    std::vector<String> names;
  };

  Status Locate(std::string_view path, Landing& landing) const;
  static Status OnDisk(const Landing& landing, String& local);
  void AddShare(std::vector<String> from, String to, bool byCaller);
  std::vector<String> CdromRoots() const;

  std::vector<Mapping> mappings_;
  std::vector<String> mountedCdroms_, callerCdroms_;
  std::chrono::milliseconds probeLimit_ = kDefaultProbeLimit;
};

// An authenticator for network shares, implemented by callers that hold
// credentials; the distribution-point locator asks it before probing a share.
class NetworkShareAuthenticator {
 public:
  virtual ~NetworkShareAuthenticator() = default;
  // Connects to the share that `path` lies on; false when that fails.
  virtual bool AuthenticateOnDemandByConnecting(const String& path) = 0;
};

namespace Tools {
// The folder part of a Windows path: up to its last "\" (exclusive); empty
// without one. Surrounding double quotes are dropped first.
String GetKeyFolder(std::string_view path);
}  // namespace Tools

}  // namespace OFL

using OFLNetworkShareAuthenticator = OFL::NetworkShareAuthenticator;

#endif  // OFL_PATH_MAP_H_
