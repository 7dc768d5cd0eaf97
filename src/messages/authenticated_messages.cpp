#include "orvacmn/messages/authenticated_messages.h"

#include <stdexcept>
#include <string_view>

#include "message_fields.h"

namespace orvacmn {
namespace {

// Indexed by ClientModules::Module.
constexpr std::string_view kModuleNames[] = {"Unknown", "TrayNotifier", "OVACmd"};

// A module as its name.
struct ModuleName {
  static void Put(String& out, std::string_view tag, ClientModules::Module m) {
    msg_fields::Text::Put(out, tag, ClientModules::ModuleToString(m));
  }
  static void Get(OFLXMLParser& p, ClientModules::Module& m) {
    m = ClientModules::StringToModule(p.GetChildDataView());
  }
};

}  // namespace

// ClientModules

namespace ClientModules {

constexpr char kInvalidModule[] = "Invalid module key. This is an implementation error.";

String ModuleToString(Module module) {
  const std::string_view name = msg_fields::NameOf(kModuleNames, module, {});
  if (name.empty()) throw std::invalid_argument(kInvalidModule);
  return String(name);
}

Module StringToModule(std::string_view text) {
  Module module = eUnknown;
  if (!msg_fields::ValueOf(kModuleNames, text, module, false)) throw std::invalid_argument(kInvalidModule);
  return module;
}

}  // namespace ClientModules

// MsgAuthenticatedRequest

MsgAuthenticatedRequest::MsgAuthenticatedRequest()
    : MsgXmlSupport(MessageRootFor("MsgAuthenticatedRequest"), kMessageSchema) {}

MsgAuthenticatedRequest::MsgAuthenticatedRequest(const String& clientIdentification, MessageType type,
                                                 const String& data)
    : MsgAuthenticatedRequest() {
  clientIdentification_ = clientIdentification;
  msgType_ = type;
  data_ = data;
}

MsgAuthenticatedRequest::MsgAuthenticatedRequest(const String& text) : MsgAuthenticatedRequest() { Unpack(text); }

template <class S, class V>
void MsgAuthenticatedRequest::Fields(S& self, V& v) {
  v("CI", self.clientIdentification_);
  v("MsgType", self.msgType_);
  v("Data", self.data_);
}

String MsgAuthenticatedRequest::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgAuthenticatedRequest::Unpack(String text) { return msg_fields::Unpack(text, *this); }

// MsgAuthenticatedResponse

MsgAuthenticatedResponse::MsgAuthenticatedResponse()
    : MsgXmlSupport(MessageRootFor("MsgAuthenticatedResponse"), kMessageSchema) {}

MsgAuthenticatedResponse::MsgAuthenticatedResponse(OFL::Logic::Ternary receivedAndAuthenticated, const String& data)
    : MsgAuthenticatedResponse() {
  receivedAndAuthenticated_ = receivedAndAuthenticated;
  data_ = data;
}

MsgAuthenticatedResponse::MsgAuthenticatedResponse(const String& text) : MsgAuthenticatedResponse() {
  valid_ = Unpack(text) == 1;
}

void MsgAuthenticatedResponse::Clear() { *this = MsgAuthenticatedResponse(); }

template <class S, class V>
void MsgAuthenticatedResponse::Fields(S& self, V& v) {
  v("ReceivedAndAuthenticated", self.receivedAndAuthenticated_);
  v("Data", self.data_);
}

String MsgAuthenticatedResponse::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgAuthenticatedResponse::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
}

// MsgClientKioskTokenRequest

MsgClientKioskTokenRequest::MsgClientKioskTokenRequest()
    : MsgXmlSupport(MessageRootFor("MsgClientKioskTokenRequest"), kMessageSchema) {}

MsgClientKioskTokenRequest::MsgClientKioskTokenRequest(ClientModules::Module module)
    : MsgClientKioskTokenRequest() {
  module_ = module;
}

template <class S, class V>
void MsgClientKioskTokenRequest::Fields(S& self, V& v) {
  v("ClientModule", self.module_, ModuleName{});
}

String MsgClientKioskTokenRequest::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgClientKioskTokenRequest::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
}

// MsgKioskToken

MsgKioskToken::MsgKioskToken() : MsgXmlSupport(MessageRootFor("MsgKioskToken"), kMessageSchema) {}

MsgKioskToken::MsgKioskToken(const String& kioskToken, ClientModules::Module module) : MsgKioskToken() {
  kioskToken_ = kioskToken;
  module_ = module;
}

void MsgKioskToken::Clear() {
  kioskToken_.clear();
  module_ = ClientModules::eUnknown;
}

template <class S, class V>
void MsgKioskToken::Fields(S& self, V& v) {
  v("KioskToken", self.kioskToken_);
  v("ClientModule", self.module_, ModuleName{});
}

String MsgKioskToken::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgKioskToken::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
}

}  // namespace orvacmn
