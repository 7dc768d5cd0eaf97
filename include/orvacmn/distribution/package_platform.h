// The platform services that deploy packages need beyond files, programs,
// shortcuts and the registry: user accounts, groups, shares and display
// modes. A package hands these steps to an IPackagePlatform; a caller that
// can do them plugs in its own. The default, CUnsupportedPackagePlatform,
// refuses each with the code 50 and the detail "not supported on this
// platform", as this library cannot do them on Linux.
//
// A platform object may be shared by packages that run one at a time.
#ifndef ORVACMN_DISTRIBUTION_PACKAGE_PLATFORM_H_
#define ORVACMN_DISTRIBUTION_PACKAGE_PLATFORM_H_

#include <cstdint>

#include "orvacmn/common/types.h"

namespace orvacmn {

class IPackagePlatform {
 public:
  struct User {
    String target;  // the computer or domain to create the account on
    String name, fullName, comment, password, homeDir, scriptPath;
    String localGroups, globalGroups;  // as written in the package
    uint32_t flags = 0;
    bool passwordNeverExpires = false;
    bool cannotChangePassword = false;
    bool changePasswordAtNextLogon = false;
    // 168 characters, 24 per weekday from Sunday, "1" for an hour in which
    // logging on is allowed.
    String logonHours;
  };
  struct Group {
    bool global = false;  // a domain group, else a local group
    String name, comment;
    String members;  // "AddMembers" as written
  };
  struct Share {
    String name, path, comment;
    uint32_t maxUses = 0;
  };
  struct DisplayMode {
    uint32_t xResolution = 0, yResolution = 0, colorDepth = 0, frequency = 0;
  };

  virtual ~IPackagePlatform() = default;
  // 0, or the platform's error code; `detail`, when set, is added to the
  // step's result line.
  virtual uint32_t CreateUser(const User& user, String& detail) = 0;
  virtual uint32_t CreateGroup(const Group& group, String& detail) = 0;
  virtual uint32_t CreateShare(const Share& share, String& detail) = 0;
  virtual uint32_t SetDisplayMode(const DisplayMode& mode, String& detail) = 0;
};

class CUnsupportedPackagePlatform final : public IPackagePlatform {
 public:
  static constexpr uint32_t kNotSupported = 50;
  static constexpr char kDetail[] = "not supported on this platform";

  uint32_t CreateUser(const User&, String& detail) override { return Refuse(detail); }
  uint32_t CreateGroup(const Group&, String& detail) override { return Refuse(detail); }
  uint32_t CreateShare(const Share&, String& detail) override { return Refuse(detail); }
  uint32_t SetDisplayMode(const DisplayMode&, String& detail) override { return Refuse(detail); }

 private:
  static uint32_t Refuse(String& detail) {
    detail = kDetail;
    return kNotSupported;
  }
};

}  // namespace orvacmn

#endif  // ORVACMN_DISTRIBUTION_PACKAGE_PLATFORM_H_
