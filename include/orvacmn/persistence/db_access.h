// CDBAccess: the library's one road to the object store.
//
// Wraps a shared IMocInstance: converts Strings to the store's wide strings
// and back, adds the option word to the record type where the store expects
// it, and gives every failure a readable text. Each generic operation below
// makes one store call (CreateIfNotExist two); the typed operations of the
// business objects are built on them.
//
// Every operation returns the store's status (negative on failure) and gives
// its result or error text through a String reference. The error text is the
// store's, or the system text of the status when the store gave none. With no
// store attached every record call returns E_FAIL and message 7130.
//
// Record types sit in the low 16 bits of the first argument; the calls that
// take the option word pass type | option word: InitRecord, CreateRecord,
// SaveRecord (also | 0x30000), UpdateRecord, DeleteRecord and DoAction.
//
// Holds no per-call state and takes no locks: callers share one instance
// through std::shared_ptr and use it from one thread at a time.
#ifndef ORVACMN_PERSISTENCE_DB_ACCESS_H_
#define ORVACMN_PERSISTENCE_DB_ACCESS_H_

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

#include "ofl/tokenizer.h"
#include "orvacmn/common/file_time.h"
#include "orvacmn/common/types.h"
#include "orvacmn/persistence/family_operations.h"
#include "orvacmn/persistence/moc_instance.h"

namespace orvacmn {

class OVOClientIdentification;
class OVOClientState;
class OVOProperties;
class OVOSystem;
class OVOSystemList;

class CDBAccess {
 public:
  static constexpr uint32_t kDefaultOptions = 0x30000;
  // Added to the option word of every SaveRecord call.
  static constexpr uint32_t kSaveOptions = 0x30000;
  static constexpr uint32_t kRevisionLoggingOn = 0x1000000;    // bit 24
  static constexpr uint32_t kRevisionLoggingFull = 0x2000000;  // bit 25

  // The client identification methods in the order they are tried.
  static constexpr int kIdentificationMethods = 7;
  using IdentificationScheme = std::array<uint32_t, kIdentificationMethods>;
  static constexpr IdentificationScheme kDefaultIdentificationScheme = {1, 2, 6, 7, 4, 3, 5};

  static constexpr const char* kOptionIfTimestampIsNewer = ::orvacmn::kOptionIfTimestampIsNewer;
  static constexpr const char* kPropertyObjectTimestamp = ::orvacmn::kPropertyObjectTimestamp;

  explicit CDBAccess(std::shared_ptr<IMocInstance> moc);
  CDBAccess(const CDBAccess&) = delete;
  CDBAccess& operator=(const CDBAccess&) = delete;
  virtual ~CDBAccess();

  // The raw store pointer; 0, or E_FAIL (and *moc = null) when `moc` is null
  // or no store is attached.
  HRESULT GetDBC(IMocInstance** moc) const;
  std::shared_ptr<IMocInstance> GetMoc() const { return moc_; }

  // Mode 1: bit 24 set, bit 25 clear; mode 2: both set; else both clear.
  void SetRevisionLogging(const uint32_t& mode);
  uint32_t GetOptionWord() const { return options_; }

  // Copies seven method numbers; a null pointer changes nothing.
  void SetIdentificationScheme(const uint32_t* methods);
  const IdentificationScheme& GetIdentificationScheme() const { return scheme_; }

  // On success `out` is the text of a new, initialised record.
  HRESULT InitRecord(uint32_t type, const String& key, String& out);

  // On success `out` is the first record of the result (empty when none), or
  // with `wholeResult` the whole length-packed list. A non-zero `newerThan`
  // asks for the record only when it is newer than that stamp; a result of
  // kStatusNotNewer then leaves `out` as it was.
  HRESULT LoadRecord(uint32_t type, uint32_t flags, const String& key, String& out, bool wholeResult = false,
                     uint32_t limit = 0, CFileTime newerThan = 0);

  // Keys: C strings ended by a null pointer (the first may be null: no keys),
  // sent as a length-packed list; `filter` goes as given. On success the
  // records are appended to `out`; on failure `out` holds only the error text.
  HRESULT LoadRecords(uint32_t type, uint32_t flags, const String& filter, OFLTokenizer& out, const char* key, ...);
  // As LoadRecords, with the key list ready packed.
  HRESULT LoadRecordList(uint32_t type, uint32_t flags, const String& filter, const String& keys, OFLTokenizer& out);

  // `out` is the store's result, on success too.
  HRESULT CreateRecord(uint32_t type, const String& data, String& out);

  // Loads under the one-entry key list of `key`; when nothing comes back,
  // creates the record from `data`. The status is that of the last call.
  HRESULT CreateIfNotExist(uint32_t type, const String& data, const String& key, uint32_t flags, String& out);

  // `data` is the record text on the way in; emptied on success (and the
  // store's new "ObjectTimestamp", when given, read into `stamp`), the error
  // text on failure.
  HRESULT SaveRecord(uint32_t type, const String& key, String& data, CFileTime& stamp);
  HRESULT SaveRecord(uint32_t type, const String& key, String& data);
  // As SaveRecord, without the save options.
  HRESULT UpdateRecord(uint32_t type, const String& key, String& data, CFileTime& stamp);
  HRESULT UpdateRecord(uint32_t type, const String& key, String& data);

  // `out` is emptied on success.
  HRESULT DeleteRecord(uint32_t type, const String& key, String& out);

  // `out` is the store's result. With `stamp`, "ObjectTimestamp" is read from
  // the result as SaveRecord does and `out` emptied on success.
  HRESULT DoAction(uint32_t type, const String& action, const String& parameter, String& out);
  HRESULT DoAction(uint32_t type, const String& action, const String& parameter, String& out, CFileTime& stamp);

  // Arguments: C strings ended by a null pointer, sent as a length-packed
  // list with the task number alone. `out` is the store's result.
  HRESULT SpecialTask(uint32_t task, String& out, const char* argument, ...);

  // ---- Clients (record type 51) ----
  // A client not found is no failure: the loads return the store's status
  // with an empty text, and the system's GUID and names are emptied.

  // Key kind `kind` (1 by GUID, 2 to 7 the identification methods) with
  // `value`. The found flag, when given, tells whether a record came back.
  HRESULT LoadSystem(uint32_t kind, const String& value, uint32_t flags, OVOSystem& system, String& out,
                     CFileTime newerThan = 0, bool* found = nullptr);
  // Walks the identification scheme: each method's candidates in turn until
  // the store resolves one. When none does, the status of the last load (0
  // when none was made). `method`, when given, receives the method that
  // matched (0 for none).
  HRESULT LoadSystem(const OVOClientIdentification& id, uint32_t flags, OVOSystem& system, String& out,
                     CFileTime newerThan = 0, bool* found = nullptr, uint32_t* method = nullptr);
  // Key kind -1 stands for any.
  HRESULT LoadSystems(int32_t kind, const String& first, const String& second, uint32_t flags, OVOSystemList& list,
                      String& out);
  // Find-or-create of the client of an identification, atomic against other
  // writers (threads, processes) doing the same: the client LoadSystem finds,
  // or else `system` as it stands is created (a new GUID when it has none),
  // unless another writer created a client for `id` first, which is then
  // found. On success `system` is the stored client with its stamp, `created`
  // tells which (and `method` the method that found it, 0 when created).
  HRESULT FindOrCreateSystem(const OVOClientIdentification& id, uint32_t flags, OVOSystem& system, String& out,
                             bool* created = nullptr, uint32_t* method = nullptr);
  // `out` is the store's answer; on success the system takes the new stamp,
  // so that it may be saved next.
  HRESULT CreateSystem(OVOSystem& system, String& out);
  // Drops empty properties, saves under (GUID, 1) and takes the store's new
  // stamp into the system's "TimeStamp"; success clears "Modified". The
  // stamp the system carries names the stored version it replaces: a copy
  // that someone else changed or deleted since it was loaded is refused, and
  // so is one never loaded when the client is stored (store/README.md).
  HRESULT SaveSystem(OVOSystem& system, String& out);
  // Writes `record` over the stored client, which must exist, whatever
  // version it names; `stamp` receives the new stamp.
  HRESULT UpdateSystem(const String& guid, const String& record, String& out);
  HRESULT UpdateSystem(const String& guid, const String& record, String& out, CFileTime& stamp);
  HRESULT DeleteSystem(const String& guid, String& out);
  // The client action "ProcessMiniInventory" with the parameter ("GUID",
  // "MiniInventoryData": the packed report): the store writes into the client
  // only what the report changes. `changes` receives the properties written
  // (empty when nothing was), `stamp` the client's stamp afterwards.
  HRESULT ProcessMiniInventory(const String& guid, const OVOProperties& report, OVOProperties& changes,
                               CFileTime& stamp, String& out);

  // ---- Client states (record type 80, keyed by the client's GUID) ----

  // Saves `state` as the client's state; a state that packs to the empty
  // text deletes the stored one.
  HRESULT SaveClientState(const String& guid, const OVOClientState& state, String& out);
  // The stored state (UnpackStored: either name of the custom-state type).
  // A missing state is no failure: `state` is cleared and `found` false.
  HRESULT LoadClientState(const String& guid, OVOClientState& state, String& out, bool* found = nullptr);
  // Applies the partial state `incoming` (OVOClientState::Update) to the
  // stored state, or to a new one carrying the GUID, in one store
  // transaction: concurrent updates of one client lose none of their groups.
  HRESULT UpdateClientState(const String& guid, const OVOClientState& incoming, String& out);

  // ---- The other families (family_operations.h, one row each) ----
  ORVACMN_ALL_FAMILY_OPERATIONS(ORVACMN_DECLARE_FAMILY_OPERATIONS)

  // Operations with conditions, maps or a second form.
  // The organisational unit named `name` under the unit `parent`.
  HRESULT LoadOrgUnit(const String& parent, const String& name, OVOOrgUnit& unit, String& out,
                      uint32_t flags = kLoadAllFlags);
  // The targets of job `job`; "JobTargetBaseState" 5 those running.
  HRESULT LoadJobTargets(const String& job, OVOJobTargetList& list, String& out, uint32_t flags = kLoadAllFlags);
  HRESULT FindRunningJobTarget(const String& job, OVOJobTargetList& list, String& out);
  // The drivers of one operating-system type ("OSType").
  HRESULT LoadSoftwareDrivers(const String& osType, OVOSoftwareDriverList& list, String& out,
                              uint32_t flags = kLoadAllFlags);
  // Every dynamic group of the organisational unit `orgUnit`.
  HRESULT LoadDynamicGroups(const String& orgUnit, OVODynamicGroupList& list, String& out,
                            uint32_t flags = kLoadAllFlags);
  // The device `device` of vendor `vendor`; a missing one is reported with
  // the device id in four hexadecimal digits.
  HRESULT LoadPCIDevice(const String& vendor, uint32_t device, OVOPCIDevice& object, String& out,
                        uint32_t flags = kLoadAllFlags, bool* found = nullptr);
  // The access list of the object `guid`, stored under the object's GUID.
  HRESULT SaveObjectRights(const String& guid, const OVOObjectRights& rights, String& out);
  // Writes the client's installed software (a save under its machine GUID).
  HRESULT UpdateInstalledSoftware(const OVOInstalledSoftware& software, String& out);
  // Releases the licence of `software` reserved under `key`.
  HRESULT FreeReservedLicense(const String& software, const String& key, String& out);
  // Creates the download job unless one is stored under its GUID.
  HRESULT CreateDownloadJobIfNotExist(const OVODownloadJob& job, String& out);
  // Saves `state` over the stored state of its job, client and directory
  // object (their values replace the stored ones), or creates it.
  HRESULT CreateOrUpdateUserJobState(const OVOUserJobState& state, String& out);
  // Moves the asset's reference to `target` of `targetType`: the old
  // references of the asset are deleted, then the new one created.
  HRESULT MoveAssetReference(const String& asset, const String& target, uint32_t targetType, String& out);
  // The organisational units from the root down to `guid` (inclusive),
  // appended to `path`. A parent that is missing ends the walk with its
  // not-found status; a cycle in the parents is refused with E_INVALIDARG.
  HRESULT GetOrgUnitPath(const String& guid, OVOOrgUnitList& path, String& out);
  // For every organisational unit of the ";"-separated GUID list: its rights
  // stop inheriting and grant all rights (0x7FFFFFFF) to `identity`, or to
  // each profile of the length-packed list `profiles`; then it is saved.
  // Stops at the first unit that fails, with its status and text.
  HRESULT SetFullAccessForSecurableRootOrgUnits(const String& orgUnits, const String& identity, String& out);
  HRESULT SetObjectSecurityforProfileList(const String& orgUnits, const String& profiles, String& out);

  // Jobs into a map by GUID.
  HRESULT LoadJobs(OVOObjectMap<OVOJob>& jobs, String& out, uint32_t flags = kLoadAllFlags);
  // The steps of job `job` ("Job"), each of the kind its packed "type" names;
  // a step of no known kind is left out.
  HRESULT LoadJobSteps(const String& job, OVOJobStepList& steps, String& out, uint32_t flags = kLoadAllFlags);
  // Deletes every step of job `job`; stops at the first delete that fails.
  HRESULT DeleteJobSteps(const String& job, String& out);
  // User job states, keyed (job, client, directory object): those of `job`,
  // one to overwrite with a ready record text, and all of `job` to delete.
  HRESULT LoadUserJobStates(const String& job, OVOUserJobStateList& states, String& out,
                            uint32_t flags = kLoadAllFlags);
  HRESULT UpdateUserJobState(const String& job, const String& system, const String& adObject, const String& record,
                             String& out);
  HRESULT DeleteUserJobStates(const String& job, String& out);

  // Applications whose "Patchable" field is 1.
  HRESULT LoadPatchableSoftwareApplications(OVOSoftwareApplicationList& list, String& out,
                                            uint32_t flags = kLoadAllFlags);
  HRESULT LoadFileDownloadStatesAsMap(OVOObjectMap<OVOFileDownloadState>& states, String& out,
                                      uint32_t flags = kLoadAllFlags);
  // Scan rules are keyed (vendor, name, version). A missing rule returns 1
  // with "SWScanRules [vendor, name, version] not found" (the GUID first when
  // looked up by GUID). The third form reloads `rule` by its own key.
  HRESULT LoadSWScanRule(const String& guid, OVOSWScanAppRule& rule, String& out, uint32_t flags = kLoadAllFlags,
                         bool* found = nullptr);
  HRESULT LoadSWScanRule(const String& vendor, const String& name, const String& version, OVOSWScanAppRule& rule,
                         String& out, uint32_t flags = kLoadAllFlags, bool* found = nullptr);
  HRESULT LoadSWScanRule(OVOSWScanAppRule& rule, String& out, uint32_t flags = kLoadAllFlags, bool* found = nullptr);
  // Deletes the rule of a GUID, the rule of a key, or every version of an
  // application's rules.
  HRESULT DeleteSWScanRule(const String& guid, String& out);
  HRESULT DeleteSWScanRule(const String& vendor, const String& name, const String& version, String& out);
  HRESULT DeleteSWScanRule(const String& vendor, const String& name, String& out);

  // Group hierarchies, from one load of every group. The groups below
  // `parent` ("" for the top), parents before their children; the tree is
  // the group `root` (none for "") followed by them; ResolveGroup finds the
  // group of a path of names from the top ("A\B", case ignored), else
  // "Group [path] not found".
  HRESULT LoadGroupChildrenRecursive(const String& parent, OVOGroupList& groups, String& out);
  HRESULT LoadGroupTree(const String& root, OVOGroupList& tree, String& out);
  HRESULT ResolveGroup(const String& path, OVOGroup& group, String& out);

  // Reloads `object` from the stored directory object of its own "Name"; a
  // missing one is no failure (`found` false).
  HRESULT LoadADObject(OVOADObject& object, String& out, uint32_t flags = kLoadAllFlags, bool* found = nullptr);
  // Every stored custom variable definition, appended to `defs`.
  HRESULT LoadCustomVarDefs(OVOCustomVarDefList& defs, String& out, uint32_t flags = kLoadAllFlags);

  // The assets of `owner` and of type `type` ("AssetOwner", "AssetType"); an
  // empty value sets no condition.
  HRESULT LoadAsset(const String& owner, const String& type, OVO::AssetList& assets, String& out,
                    uint32_t flags = kLoadAllFlags);
  // Deletes one reference of the asset (the one-key form deletes them all).
  HRESULT DeleteAssetReference(const String& asset, const String& target, uint32_t targetType, String& out);
  // Deletes the patch under its own key.
  HRESULT DeletePTMPatch(const OVOPTMPatch& patch, String& out);

  // Families kept as record texts: inventory files keyed (path, name, scan,
  // machine), inventory nodes and revision log entries.
  HRESULT LoadInventoryFile(const String& path, const String& name, const String& scan, const String& machine,
                            String& record, String& out, uint32_t flags = kLoadAllFlags, bool* found = nullptr);
  HRESULT CreateInventoryFile(const String& record, String& out);
  HRESULT SaveInventoryFile(const String& record, String& out);
  HRESULT CreateInventoryNode(const String& record, String& out);
  HRESULT CreateRevisionLogEntry(const String& record, String& out);

  // ---- Lookups of the automatic hardware update (hardware_updater.h) ----
  // The component of `type` for one device: `generic` and `exact` are the
  // parts of its device string (OFLDeviceInfo::GetDeviceStringParts); the
  // exact id kKeyGenericDevice ("$BY-PCI$") finds the component made for the
  // generic id alone. Missing: status 1, "Component (type) [generic exact]
  // not found".
  HRESULT LoadHardwareComponent(const String& type, const String& generic, const String& exact,
                                OVOHardwareComponent& component, String& out, uint32_t flags = kLoadAllFlags,
                                bool* found = nullptr);
  // The group with this GUID; missing: E_FAIL, "Group [guid] not found".
  HRESULT LoadGroupByGUID(const String& guid, OVOGroup& group, String& out, uint32_t flags = kLoadAllFlags);
  // As LoadPCIDevice, only a record of `vendorType` (OVOPCIDevice::kVendorType*).
  HRESULT LoadPCIDevice(const String& vendor, uint32_t device, uint32_t vendorType, OVOPCIDevice& object,
                        String& out, bool* found = nullptr);

 private:
  HRESULT GrantOnOrgUnits(const String& orgUnits, const std::vector<String>& grantees, String& out);
  HRESULT LoadOneSystem(const String& value, uint32_t kind, uint32_t flags, OVOSystem& system, String& out,
                        CFileTime newerThan, bool& hit);
  HRESULT Save(bool update, uint32_t type, const String& key, String& data, CFileTime* stamp);

  std::shared_ptr<IMocInstance> moc_;
  IdentificationScheme scheme_ = kDefaultIdentificationScheme;
  uint32_t options_ = kDefaultOptions;
};

}  // namespace orvacmn

#endif  // ORVACMN_PERSISTENCE_DB_ACCESS_H_
