// CInfFileParser: fills an OVOSoftwareDriver from the INF file of a driver
// package (type, vendor, name, version, install source, supported devices
// and the operating systems its security catalog is signed for), and
// searches a folder tree of packages for the INF that supports a device.
//
// A parser object serves one thread. The progress callback of FindDriver is
// called synchronously on that thread.
#ifndef ORVACMN_DRIVERS_INF_FILE_PARSER_H_
#define ORVACMN_DRIVERS_INF_FILE_PARSER_H_

#include <cstdint>
#include <functional>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ofl/device_info.h"
#include "ofl/path_nocase.h"
#include "ofl/security_catalog.h"
#include "orvacmn/common/types.h"
#include "orvacmn/drivers/inf_file_reader.h"
#include "orvacmn/software/software_driver.h"

namespace orvacmn {

class CInfFileParser {
 public:
  struct OS_MAPPING {
    uint32_t major;
    uint32_t minor;
    int64_t mask;  // OS type bits of the release's 32-bit members
  };

  // Progress of FindDriver: (0, folder) on entering a folder, (0, file) for
  // every INF parsed, (1, file) for an INF that failed to parse.
  using ProgressCallback = std::function<void(uint32_t code, const String& text)>;

  // Error code of the parse failures that carry no platform code.
  static constexpr uint32_t kErrorFailed = 0xFFFFFFFF;

  CInfFileParser();
  virtual ~CInfFileParser();
  CInfFileParser(const CInfFileParser&) = delete;
  CInfFileParser& operator=(const CInfFileParser&) = delete;

  // Read the supported OS set from the package's catalog (on by default).
  void EnableCatalogValidation(bool enable) { catalogValidation_ = enable; }
  void SetCallback(ProgressCallback callback) { callback_ = std::move(callback); }

  // Fills `driver` (not owned) from the INF at `path`; 0 on success,
  // otherwise the load code or kErrorFailed, with `error` set.
  uint32_t ParseInfFile(const String& path, OVOSoftwareDriver* driver, String& error);
  // Searches `folder` (and with `recurse` its sub-directories) for an INF
  // that supports `device` on `osType`; `foundInf` is its path, or stays
  // empty. A non-zero `*cancel` ends the search between files. Returns 0.
  uint32_t FindDriver(uint64_t osType, const OFLDeviceInfo* device, const String& folder, int recurse,
                      String& foundInf, const int* cancel);

  // The OR of the masks of the mappings named by an "OSAttr" value such as
  // "2:6.1,2:10.0" (platform:major.minor items).
  uint64_t GetSupportedOSsByOSAttr(const String& value) const;
  // An "OS" value such as "XPX86,7X64" as an "OSAttr" value ("2:5.1,2:6.1");
  // unknown names add nothing.
  static void ConvertOSValueToOSAttrValue(const String& value, String& attr);
  // The supported OS mask of a catalog's attributes and members.
  uint64_t GetSupportedOSsFromCatalog(const std::vector<std::pair<String, String>>& attributes,
                                      const std::vector<OFLSecurityCatalog::Member>& members) const;

  const std::vector<OS_MAPPING>& GetOSMappings() const { return osMappings_; }
  // Lower-cased names of the files the last parse's CopyFiles sections copy.
  const std::vector<String>& GetCopyFiles() const { return copyFiles_; }
  // The loaded file.
  const CInfFileReader& GetReader() const { return reader_; }

 private:
  void ProcessVendorSection(const String& value, String& architectures);
  void ProcessDeviceSection(std::string_view description, std::string_view installSection,
                            std::string_view hardwareId, const String& architecture);
  // The install section chosen for `install` on `architecture` ("" for
  // none), its CopyFiles read with the first choice.
  const String& ChooseInstallSection(std::string_view install, const String& architecture);
  void ProcessCopyFilesEntry(const String& value);
  bool GetCatalogFiles(std::set<String>& files) const;
  // The supported OS mask of the catalog file at `catalog`, also in `mask`;
  // 0 when it cannot be read. Virtual, so that a derived parser may read
  // catalogs from elsewhere.
  virtual uint64_t GetSupportedOSs(const String& catalog, uint64_t& mask) const;
  void AddOSMapping(uint32_t major, uint32_t minor, int64_t mask);
  bool SearchFolder(uint64_t osType, const OFLDeviceInfo* device, const String& folder, int recurse,
                    String& foundInf, const int* cancel, std::set<std::pair<uint64_t, uint64_t>>& visited);

  CInfFileReader reader_;
  OVOSoftwareDriver* driver_ = nullptr;
  std::vector<String> copyFiles_;
  std::set<String> copyFilesSeen_;
  std::set<String> copyFilesDone_;  // CopyFiles values already read
  // Install section chosen per (install name, architecture), "" for none:
  // thousands of models share a handful of install sections.
  std::unordered_map<String, String> installChoice_;
  // The choice of the model before, and what it was made for.
  const String* lastChoice_ = nullptr;
  String lastInstall_, lastArchitecture_;
  OFL::Files::DirectoryListings* listings_ = nullptr;  // during FindDriver
  ProgressCallback callback_;
  bool catalogValidation_ = true;
  std::vector<OS_MAPPING> osMappings_;
};

}  // namespace orvacmn

#endif  // ORVACMN_DRIVERS_INF_FILE_PARSER_H_
