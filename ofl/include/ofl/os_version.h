// OFLOSVersion: the version of a Windows installation as plain values.
//
// The object is filled by whoever knows the system (an agent's report, a
// test); it probes nothing itself.
#ifndef OFL_OS_VERSION_H_
#define OFL_OS_VERSION_H_

#include <cstdint>

#include "ofl/string.h"

class OFLOSVersion {
 public:
  using String = OFL::String;

  // Product types as the platform reports them.
  static constexpr uint32_t kWorkstation = 1;
  static constexpr uint32_t kDomainController = 2;
  static constexpr uint32_t kServer = 3;

  OFLOSVersion() = default;
  OFLOSVersion(uint32_t major, uint32_t minor, uint32_t build, uint32_t type, String architecture,
               uint32_t suiteMask = 0);

  uint32_t GetMajorVersion() const { return major_; }
  uint32_t GetMinorVersion() const { return minor_; }
  uint32_t GetBuildNumber() const { return build_; }
  // 1 for a workstation, 2 for a domain controller, 3 for a server.
  uint32_t GetType() const { return type_; }
  // Architecture text as reported, e.g. "x86", "x64", "AMD64", "ia64".
  const String& GetArchitecture() const { return architecture_; }
  // The platform's suite mask (0x2 enterprise, 0x400 web edition, ...).
  uint32_t GetSuiteMask() const { return suiteMask_; }

  void SetMajorVersion(uint32_t v) { major_ = v; }
  void SetMinorVersion(uint32_t v) { minor_ = v; }
  void SetBuildNumber(uint32_t v) { build_ = v; }
  void SetType(uint32_t v) { type_ = v; }
  void SetArchitecture(const String& v) { architecture_ = v; }
  void SetSuiteMask(uint32_t v) { suiteMask_ = v; }

  bool IsWorkstation() const { return type_ == kWorkstation; }

 private:
  uint32_t major_ = 0;
  uint32_t minor_ = 0;
  uint32_t build_ = 0;
  uint32_t type_ = 0;
  String architecture_;
  uint32_t suiteMask_ = 0;
};

#endif  // OFL_OS_VERSION_H_
