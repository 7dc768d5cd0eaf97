// OVO::Dip: a distribution point, a file share kept in step with the master
// distribution point by synchronisation jobs, with its last reported state
// and its settings.
//
// Packed as "DIP" in the internal style. The fields are packed in a fixed
// order, followed by the display text "CurrentBandwidth", which is not read
// back. The property bag (settings, synchronisation state, extended state)
// is packed separately (GetPackedProperties and its groups); Unpack also
// accepts it as a "Properties" child, and an "IsUpToDate" child.
//
// The data lives in a shared implementation, so copies are cheap; a change
// to one copy never shows in another. Objects carry no locks: callers
// serialise access to one object (copies may live on different threads).
#ifndef ORVACMN_DISTRIBUTION_DIP_H_
#define ORVACMN_DISTRIBUTION_DIP_H_

#include <cstdint>
#include <memory>

#include "orvacmn/common/types.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {
namespace OVO {

class Dip : public OVOXMLSupport {
 public:
  // Stored and passed on as numbers; mode 3 counts pending deletions
  // against being up to date.
  enum ESyncMode : int32_t { eSyncModeWithDeletes = 3 };
  enum EState : int32_t {
    eStateUnknown = 0,
    eStateIdle = 1,
    eStateWarning = 2,
    eStateError = 3,
    eStateSynchronizing = 4,
    eStateUpdatingIndex = 5,
    eStateStoppingJob = 6,
    eStateShuttingDown = 7,
    eStateBusy = 8,
    eStateCheckingSyncState = 9,
  };

  // Columns of the object store's partial updates.
  static constexpr char Str_OvsUpdateDetails[] = "Details";
  static constexpr char Str_OvsUpdateGuidCurrentJob[] = "GuidCurrentJob";
  static constexpr char Str_OvsUpdateProperties[] = "Properties";
  static constexpr char Str_OvsUpdateState[] = "State";
  static constexpr char Str_OvsUpdateStateProperties[] = "StateProperties";

  // Property names.
  static constexpr char kPropDomain[] = "Domain";
  static constexpr char kPropSyncMode[] = "SyncMode";
  static constexpr char kPropCommRule[] = "CommRule";
  static constexpr char kPropCommProtocol[] = "CommProtocol";
  static constexpr char kPropIgnBandwidthIndexFile[] = "IgnBandwidthIndexFile";
  static constexpr char kPropIsUpToDate[] = "IsUpToDate";
  static constexpr char kPropResultTimeUtc[] = "ResultTimeUtc";
  static constexpr char kPropCopyCount[] = "CopyCount";
  static constexpr char kPropCopySize[] = "CopySize";
  static constexpr char kPropDeleteCount[] = "DeleteCount";
  static constexpr char kPropDeleteSize[] = "DeleteSize";
  static constexpr char kPropAvailableFreeDriveSpace[] = "AvailableFreeDriveSpace";
  static constexpr char kPropDipSizeIndexed[] = "DipSizeIndexed";
  static constexpr char kPropDipIndexHash[] = "DipIndexHash";
  static constexpr char kPropDipIndexCreationDateTime[] = "DipIndexCreationDateTime";

  // Object name "DIP", schema 0x50001.
  Dip();
  // Unpacks `text` when it is not empty.
  explicit Dip(const String& text);
  Dip(const Dip&) = default;
  Dip& operator=(const Dip&) = default;
  ~Dip() override;

  // Every field and the property bag.
  bool operator==(const Dip& other) const;
  bool operator!=(const Dip& other) const { return !(*this == other); }

  // ---- fields ----
  const String& GetGuid() const;
  void SetGuid(const String& v);
  const String& GetHostname() const;
  void SetHostname(const String& v);
  int32_t GetPort() const;
  void SetPort(int32_t v);
  const String& GetComment() const;
  void SetComment(const String& v);
  // Empty for the master distribution point.
  const String& GetParentGuid() const;
  void SetParentGuid(const String& v);
  int32_t GetState() const;
  void SetState(int32_t v);
  int32_t GetSaveOption() const;
  void SetSaveOption(int32_t v);
  const String& GetStateTime() const;
  void SetStateTime(const String& v);
  const String& GetDetailText() const;
  void SetDetailText(const String& v);
  const String& GetIncludes() const;
  void SetIncludes(const String& v);
  const String& GetExcludes() const;
  void SetExcludes(const String& v);
  uint32_t GetRescanInterval() const;
  void SetRescanInterval(uint32_t v);
  int32_t GetAutoIndexing() const;
  void SetAutoIndexing(int32_t v);
  const String& GetConfigTimeStamp() const;
  void SetConfigTimeStamp(const String& v);
  const String& GetCurrentJobGuid() const;
  void SetCurrentJobGuid(const String& v);

  // ---- the property bag and its groups ----
  const OVO::Properties& GetProperties() const;
  // Every property; the settings (domain, synchronisation mode,
  // communication rule and protocol, bandwidth flag); the state
  // (synchronisation state and extended state).
  String GetPackedProperties() const;
  String GetPackedSettingProperties() const;
  String GetPackedStateProperties() const;
  // Replaces the bag with the packed one; an empty or foreign text leaves
  // it empty.
  void SetPackedProperties(const String& text);
  void ClearProperties();

  String GetDomain() const;
  void SetDomain(const String& v);
  // 0 when missing.
  int32_t GetSyncMode() const;
  void SetSyncMode(int32_t mode);
  String GetCommRule() const;
  void SetProperties_CommRule(const String& packedRule);
  // "CommProtocol" non-zero.
  bool IsCommProtocolTls() const;
  void SetCommProtocol(int32_t protocol);
  bool GetIgnoreBandwidthForIndexFile() const;
  void SetProperties_IgnoreBandwidthForIndexFile(bool ignore);
  void SetProperties_SyncStateData(bool isUpToDate, CTime resultTimeUtc, uint32_t copyCount, uint32_t copySize,
                                   uint32_t deleteCount, uint32_t deleteSize);
  void ResetProperties_SyncStateData();
  void SetProperties_ExtDipStateData(uint64_t availableFreeDriveSpace, uint64_t dipSizeIndexed,
                                     const String& dipIndexHash, const String& dipIndexCreationDateTime);
  void ResetProperties_ExtDipStateData();

  // ---- state ----
  bool IsMasterDip() const { return GetParentGuid().empty(); }
  bool IsStateUnknown() const { return GetState() == eStateUnknown; }
  // 1 and 5 to 9.
  bool IsStateOK() const;
  // 4 to 9.
  bool IsWorking() const;
  // 2 and 3.
  bool IsStateError() const;
  bool IsOperable() const { return !IsStateUnknown() && !IsStateError(); }
  // A master is always up to date; another one when "IsUpToDate" is true
  // and, in synchronisation mode 3, "DeleteCount" is 0.
  bool IsUpToDate() const;
  // "%s:%d" of hostname and port.
  String GetUniqueHostname() const;
  // a's hostname sorts before b's (case-sensitive).
  static bool IsLess(const Dip& a, const Dip& b);
  String GetStateForDisplay() const { return GetStateText(GetState()); }
  // The text of a state: 1..9 their texts, anything else "Unknown".
  static String GetStateText(int32_t state);
  // The bandwidth of the communication rule: "max MBit" without a limit,
  // "0 KBit" for none, else the limit in KBit ("512 KBit").
  String GetCurrentBandwidthForDisplay() const;

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  struct Impl;
  Impl& Mutable();

  std::shared_ptr<Impl> impl_;
};

}  // namespace OVO
}  // namespace orvacmn

#endif  // ORVACMN_DISTRIBUTION_DIP_H_
