// CDIPLocator: the choice, on a client, of the distribution point that
// serves a path, from a ";"-separated list of them.
//
// An entry is a share ("\\dip01\kits"), a local or CD-ROM drive path, an
// entry with the placeholder CDROM ("{CDROM}" or "$(CDROM)") that stands for
// every CD-ROM drive of the machine, or a BITS entry ("ovbt:" and an address)
// served by the background transfer service. Paths name the distribution
// point with the placeholder of the variable "DIP;KitsServer;Depot".
//
// Probes for files go through a path map (OFL::PathMap): a share nobody
// mapped does not exist there, and no probe blocks longer than the map's
// probe limit. By default the map of this machine's mounts is used.
//
// A locator is used by one thread at a time; GetDIP blocks on the probes and
// must not run where blocking is not allowed.
#ifndef ORVACMN_DISTRIBUTION_DIP_LOCATOR_H_
#define ORVACMN_DISTRIBUTION_DIP_LOCATOR_H_

#include <cstdint>
#include <memory>

#include "ofl/path_map.h"
#include "orvacmn/common/types.h"

namespace orvacmn {

class COVKVars;
class OVOSoftwareApplication;

class CDIPLocator {
 public:
  // What anchors a package on its distribution point.
  enum EKeyfileType : int32_t {
    eKeyfileNone = 0,
    eKeyfileCommand = 1,       // the command, as a file name
    eKeyfileParameters = 2,    // a file in the parameters
    eKeyfileResponseFile = 3,  // the response file
    eKeyfileEngineFile = 4,    // the engine file
    eKeyfileFileType2 = 5,     // an entry of the file list of type 2
    eKeyfileFile = 6,          // another entry of the file list
  };

  // The variable names of the distribution point and of the CD-ROM drives.
  static constexpr char kDipVariable[] = "DIP;KitsServer;Depot";
  static constexpr char kCdromVariable[] = "CDROM";

  CDIPLocator();
  explicit CDIPLocator(const String& dips);
  CDIPLocator(const CDIPLocator&) = default;
  CDIPLocator& operator=(const CDIPLocator&) = default;

  void SetDIPs(const String& dips) { dips_ = dips; }
  const String& GetDIPs() const { return dips_; }
  void SetBITSDip(const String& dip) { bitsDip_ = dip; }
  const String& GetBITSDip() const { return bitsDip_; }
  // The map that probes go through; null restores this machine's.
  void SetPathMap(std::shared_ptr<const OFL::PathMap> map);
  const OFL::PathMap& GetPathMap() const { return *map_; }

  // The entry that serves `path` (the entry, not the expanded path). An
  // empty path gives the first entry. CDROM entries become one entry per
  // CD-ROM drive when `withCdrom` is non-zero and there are drives, and are
  // dropped otherwise. With two entries or more (or one and an
  // authenticator), each entry in turn is put into the path and the first
  // whose file or folder exists wins; local drive paths are skipped unless
  // `withCdrom` is non-zero. Without a winner, the first entry left (empty
  // text when none is).
  String GetDIP(const String& path, int withCdrom, OFLNetworkShareAuthenticator* auth) const;
  // The first entry whose first letter (either case) is not among
  // `excluded`; the first entry when `excluded` is empty.
  String GetFirstDIP(const String& excluded) const;
  // The first entry starting with "\\"; with `mustExist` the first that
  // exists. Empty when there is none.
  String GetFirstUncDip(bool mustExist) const;

  bool HasBITSDips() const;
  // Every entry is a BITS entry; true for an empty list.
  bool HasJustBITSDips() const { return HasJustBITSDips(dips_); }
  static bool HasJustBITSDips(const String& dips);
  // The entry starts with "ovbt:" (either case).
  static bool IsBITSDip(const String& entry);
  // The entry without "ovbt:".
  static String ResolveBitsDip(const String& entry);
  // The list without its BITS entries, joined with ";".
  String RemoveAllBitsDips() const;

  // The key file of an application's installation (`install`) or
  // uninstallation: its command, parameters, response file or engine file,
  // each expanded with `vars`, whichever first names a file starting with
  // the distribution point's placeholder; else, with `withFiles` and unless
  // the application forbids it (option 0x400), the first such entry of its
  // file list. Empty text and kind 0 when nothing is found.
  static String GetKeyFile(const OVOSoftwareApplication& app, bool install, const COVKVars& vars,
                           EKeyfileType& kind, bool withFiles);
  // The name without surrounding double quotes when it starts with the
  // distribution point's placeholder; else empty text.
  static String ParseFilenameForKeyfile(const String& name);
  // The first argument of the command line (by the platform's quoting
  // rules) that starts with the placeholder, or whose value after "=" does;
  // else empty text.
  static String ParseCommandLineForKeyfile(const String& commandLine);
  // The folder of the path (up to its last "\"); with `quote`, in double
  // quotes when it holds a blank.
  static String GetKeyFilePath(const String& path, bool quote);

  // The option of an application that keeps GetKeyFile out of its file list.
  static constexpr uint32_t kOptionNoKeyfileFromFiles = 0x400;

 private:
  String dips_;
  String bitsDip_;
  std::shared_ptr<const OFL::PathMap> map_;
};

}  // namespace orvacmn

#endif  // ORVACMN_DISTRIBUTION_DIP_LOCATOR_H_
