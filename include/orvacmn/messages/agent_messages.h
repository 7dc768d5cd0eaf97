// The messages that tie an agent to its server: the configuration the server
// gives an agent, the agent's state, its registration (a length-packed list),
// the boot client's envelope, the announce with the client identification,
// certificate requests and answers, the request to store the secrets of an
// encrypted volume, and the announce or logged-on-user report that records
// its own validity.
//
// Encoding-1 classes read strictly (their Clear first, 0 for a missing root)
// unless noted. Messages are plain values, used by one thread at a time.
#ifndef ORVACMN_MESSAGES_AGENT_MESSAGES_H_
#define ORVACMN_MESSAGES_AGENT_MESSAGES_H_

#include <array>
#include <cstdint>

#include "ofl/user_account.h"
#include "orvacmn/common/types.h"
#include "orvacmn/messages/basic_message.h"
#include "orvacmn/messages/msg_xml_support.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/system/client_identification.h"

namespace orvacmn {

// "MSGDAgentConfiguration": the settings the server sends an agent, the
// property bag of further settings written last. The bits of Options and
// Flags, and InternetMode other than 99, belong to the programs that send and
// read them.
class MsgDAgentConfiguration : public MsgXmlSupport {
 public:
  static constexpr uint32_t kDefaultInternetMode = 99;

  MsgDAgentConfiguration();
  explicit MsgDAgentConfiguration(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  // Whether any bit of `mask` is set; sets or clears the bits of `mask`.
  bool GetFlag(uint32_t mask) const { return (Flags & mask) != 0; }
  void SetFlag(uint32_t mask, bool on) { Flags = on ? (Flags | mask) : (Flags & ~mask); }

  uint32_t Options = 0;
  OFLUserAccount NetworkUser;
  OFLUserAccount InstallUser;
  uint32_t AnnounceInterval = 0;
  uint32_t Flags = 0;
  uint32_t InternetMode = kDefaultInternetMode;
  String InternetServerAddress;
  uint32_t InternetServerPort = 0;
  String InternetServerPublicKey;
  String ServerRootCA;
  uint32_t WebServerPort = 0;
  uint32_t KioskAPIPort = 0;
  String KioskHost;
  bool UseDeprecatedKiosk = false;  // read as true only from exactly "1"
  uint32_t DoNotDisturbTime = 0;
  OVO::Properties Properties;

 private:
  ORVACMN_MESSAGE_FIELDS;
};

// "MSGDClientState": the agent's state as the server sees it. Unpack is
// lenient: it reads the children of any root, resets nothing (missing nodes
// keep their values) and returns 1; Clear restores the defaults on request.
class MsgDClientState : public MsgXmlSupport {
 public:
  MsgDClientState();
  explicit MsgDClientState(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  String GUID;
  String MachineDisplayName;
  uint32_t OVAState = 0;
  String OVAActivity;
  CTime LastChange = 0;

 private:
  ORVACMN_MESSAGE_FIELDS;
};

// "MSGDRegistration", which travels as a length-packed list of its thirteen
// Strings in order, without XML and without the root name. Only the order is
// fixed here; the programs that fill and read the entries give them meaning.
// Unpack assigns every entry (empty where the list is shorter or malformed)
// and returns 1.
class MsgDRegistration : public MsgXmlSupport {
 public:
  static constexpr int kEntryCount = 13;

  MsgDRegistration();
  explicit MsgDRegistration(const String& text);

  String Pack() const override;
  int Unpack(String text) override;

  std::array<String, kEntryCount> Entries;
};

// "MSGBTS": the boot client's envelope, MAC, UniqueIdentifier and Data.
// Unpack resets nothing. UnpackTokenizer reads the three from a length-packed
// list instead (entries 0, 1, 2; empty where missing) and returns the number
// of entries the list holds.
class MsgBootClientToServer : public MsgXmlSupport {
 public:
  MsgBootClientToServer();
  explicit MsgBootClientToServer(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  int32_t UnpackTokenizer(const String& text);

  String MAC;
  String UniqueIdentifier;
  String Data;

 private:
  ORVACMN_MESSAGE_FIELDS;
};

// "ClientAnnounce": the client identification, then Data.
class MsgClientAnnounce : public MsgXmlSupport {
 public:
  MsgClientAnnounce();
  explicit MsgClientAnnounce(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  OVOClientIdentification ClientIdentification;
  String Data;

 private:
  ORVACMN_MESSAGE_FIELDS;
};

// "MsgCertificateRequest": the kind of certificate asked for.
class MsgCertificateRequest : public MsgXmlSupport {
 public:
  // Values are assigned by the requesting and answering programs.
  enum Type : uint32_t {};

  MsgCertificateRequest();
  explicit MsgCertificateRequest(Type type);
  explicit MsgCertificateRequest(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear() { type_ = Type{}; }

  Type GetType() const { return type_; }
  void SetType(Type type) { type_ = type; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  Type type_ = Type{};
};

// "MsgCertificateResponse": the certificate text and its format.
class MsgCertificateResponse : public MsgXmlSupport {
 public:
  // Values are assigned by the requesting and answering programs.
  enum Format : uint32_t {};

  MsgCertificateResponse();
  MsgCertificateResponse(const String& certificate, Format format);
  explicit MsgCertificateResponse(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  const String& GetCertificate() const { return certificate_; }
  Format GetFormat() const { return format_; }

 private:
  ORVACMN_MESSAGE_FIELDS;

  String certificate_;
  Format format_ = Format{};
};

// "MsgBitLockerSecretsRequest": the agent asks the server to store either the
// recovery key or the PIN of a volume, never both. The secrets travel as
// plain element text: callers protect the channel. Unpack clears only the
// recovery key and the PIN before reading; the other fields keep their values
// where nodes are missing.
class MsgBitLockerSecretsRequest : public MsgXmlSupport {
 public:
  MsgBitLockerSecretsRequest();
  MsgBitLockerSecretsRequest(const String& recoveryKey, const String& pin, const String& driveLetter, bool isOsDrive,
                             CTime time, const String& volumeId);
  explicit MsgBitLockerSecretsRequest(const String& text);

  String Pack() const override;
  int Unpack(String text) override;
  void Clear();

  // A recovery-key request with its time, volume and drive.
  bool isValidRecoveryKeyRequest() const;
  // A PIN and no recovery key.
  bool isValidPINRequest() const;

  String RecoveryKey;
  String DriveLetter;
  bool IsOsDrive = true;
  CTime Time = 0;
  String VolId;
  String Pin;

 private:
  ORVACMN_MESSAGE_FIELDS;

  bool isRecoveryKeyRequest() const { return !RecoveryKey.empty() && Pin.empty(); }
};

// The content of an agent's announce.
struct ClientAnnounceData {
  String AgentVersion;
  String SID;
  OFLUserAccount UserAccount;
  bool DynamicModeActive = false;
};

// The content of a report that the logged-on user changed.
struct ClientLogonStateChangedData {
  String AgentVersion;
  String SID;
  OFLUserAccount UserAccount;
  bool DynamicModeActive = false;
  bool TriggeredByEvent = false;
};

// "MsgClientAnnounceOrLogOnStateChanged" (encoding 2): an agent's announce,
// or its report that the logged-on user changed. UserAccount is written only
// for a set account; a received UserAccount node that does not give a set
// account makes the message invalid.
class MsgClientAnnounceOrLogOnStateChanged : public BasicMessage {
 public:
  // TriggeredByEvent false.
  explicit MsgClientAnnounceOrLogOnStateChanged(const ClientAnnounceData& data);
  explicit MsgClientAnnounceOrLogOnStateChanged(const ClientLogonStateChangedData& data);
  MsgClientAnnounceOrLogOnStateChanged(const String& agentVersion, const String& sid, bool triggeredByEvent,
                                       const OFLUserAccount& userAccount, bool dynamicModeActive);

  static MsgClientAnnounceOrLogOnStateChanged From(const String& text);

  String Serialize() const override;
  bool Deserialize(const String& text) override;

  ClientAnnounceData GetClientAnnounceData() const;
  ClientLogonStateChangedData GetClientLogonStateChangedData() const;

 private:
  ORVACMN_MESSAGE_FIELDS;

  MsgClientAnnounceOrLogOnStateChanged();

  String agentVersion_;
  String sid_;
  OFLUserAccount userAccount_;
  bool triggeredByEvent_ = false;
  bool dynamicModeActive_ = false;
};

}  // namespace orvacmn

#endif  // ORVACMN_MESSAGES_AGENT_MESSAGES_H_
