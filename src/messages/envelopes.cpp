#include "orvacmn/messages/envelopes.h"

#include <string_view>

#include "ofl/tag_sequence.h"
#include "ofl/tools.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {
namespace {

// Tags of each message in packing order, so the reader's tag sequence costs
// one comparison per child of a text written by Pack.
constexpr std::string_view kToServerTags[] = {"Command", "Options", "Properties"};
constexpr std::string_view kServerToClientTags[] = {"Request", "Destination", "Data"};
constexpr std::string_view kClientToServerTags[] = {"ClientIdentification", "AgentVersion", "OSType", "Options",
                                                    "UserAccount", "UserSID", "Data"};
constexpr std::string_view kServerToOvcTags[] = {"MsgType", "Data"};
constexpr std::string_view kDropConnectionTags[] = {"RetryInterval", "ReasonForRequest"};

}  // namespace

// MsgToServer

MsgToServer::MsgToServer() : MsgXmlSupport(MessageRootFor("MsgToServer"), kMessageSchema) {}

MsgToServer::MsgToServer(const String& text) : MsgToServer() { Unpack(text); }

String MsgToServer::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  OFLTools::AppendXMLNode(out, kToServerTags[0], std::string_view(command_));
  OFLTools::AppendXMLNode(out, kToServerTags[1], options_);
  properties_.AppendPack(out);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgToServer::Unpack(String text) {
  OFLXMLParser parser;
  command_.clear();
  properties_.Clear();
  options_ = 0;
  if (!LoadRoot(parser, text)) return 0;
  OFL::TagSequence tags(kToServerTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0: command_.assign(p.GetChildDataView()); break;
      case 1: options_ = OFLTools::AToUL(p.GetChildDataView()); break;
      case 2:
        properties_.Clear();  // a repeated bag replaces the first
        properties_.Unpack(p);
        break;
    }
  });
  return 1;
}

// MsgServerToClient

MsgServerToClient::MsgServerToClient() : MsgXmlSupport(MessageRootFor("MsgServerToClient"), kMessageSchema) {}

MsgServerToClient::MsgServerToClient(const String& text) : MsgServerToClient() { Unpack(text); }

String MsgServerToClient::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  OFLTools::AppendXMLNode(out, kServerToClientTags[0], std::string_view(Request));
  OFLTools::AppendXMLNode(out, kServerToClientTags[1], std::string_view(Destination));
  OFLTools::AppendXMLNode(out, kServerToClientTags[2], std::string_view(Data));
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgServerToClient::Unpack(String text) {
  OFLXMLParser parser;
  if (!LoadRoot(parser, text)) return 0;
  OFL::TagSequence tags(kServerToClientTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0: Request.assign(p.GetChildDataView()); break;
      case 1: Destination.assign(p.GetChildDataView()); break;
      case 2: Data.assign(p.GetChildDataView()); break;
    }
  });
  return 1;
}

// MsgClientToServer

MsgClientToServer::MsgClientToServer() : MsgXmlSupport(MessageRootFor("MsgClientToServer"), kMessageSchema) {}

MsgClientToServer::MsgClientToServer(const String& text) : MsgClientToServer() { Unpack(text); }

String MsgClientToServer::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  ClientIdentification.AppendPack(out);
  OFLTools::AppendXMLNode(out, kClientToServerTags[1], std::string_view(AgentVersion));
  OFLTools::AppendXMLNode(out, kClientToServerTags[2], OSType);
  OFLTools::AppendXMLNode(out, kClientToServerTags[3], Options);
  OFLTools::AppendXMLNode(out, kClientToServerTags[4], std::string_view(UserAccount.Pack()));
  OFLTools::AppendXMLNode(out, kClientToServerTags[5], std::string_view(UserSID));
  OFLTools::AppendXMLNode(out, kClientToServerTags[6], std::string_view(Data));
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgClientToServer::Unpack(String text) {
  OFLXMLParser parser;
  ClientIdentification.Clear();
  OSType = 0;
  if (!LoadRoot(parser, text)) return 0;
  OFL::TagSequence tags(kClientToServerTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0:
        ClientIdentification.Clear();
        ClientIdentification.Unpack(p);
        break;
      case 1: AgentVersion.assign(p.GetChildDataView()); break;
      case 2: OSType = OFLTools::AToLL(p.GetChildDataView()); break;
      case 3: Options = OFLTools::AToUL(p.GetChildDataView()); break;
      case 4: UserAccount.Unpack(p.GetChildDataView()); break;
      case 5: UserSID.assign(p.GetChildDataView()); break;
      case 6: Data.assign(p.GetChildDataView()); break;
    }
  });
  return 1;
}

// MsgServerToOvc

MsgServerToOvc::MsgServerToOvc() : MsgXmlSupport(MessageRootFor("MsgServerToOvc"), kMessageSchema) {}

MsgServerToOvc::MsgServerToOvc(const String& text) : MsgServerToOvc() { Unpack(text); }

String MsgServerToOvc::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  OFLTools::AppendXMLNode(out, kServerToOvcTags[0], MsgType);
  OFLTools::AppendXMLNode(out, kServerToOvcTags[1], std::string_view(Data));
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgServerToOvc::Unpack(String text) {
  OFLXMLParser parser;
  if (!LoadRoot(parser, text)) return 0;
  OFL::TagSequence tags(kServerToOvcTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0: MsgType = OFLTools::AToUL(p.GetChildDataView()); break;
      case 1: Data.assign(p.GetChildDataView()); break;
    }
  });
  return 1;
}

// MsgDropConnection

MsgDropConnection::MsgDropConnection() : MsgXmlSupport(MessageRootFor("MsgDropConnection"), kMessageSchema) {}

MsgDropConnection::MsgDropConnection(uint32_t retryInterval, const String& reason) : MsgDropConnection() {
  retryInterval_ = retryInterval;
  reason_ = reason;
}

MsgDropConnection::MsgDropConnection(const String& text) : MsgDropConnection() { Unpack(text); }

void MsgDropConnection::Clear() {
  retryInterval_ = kDefaultRetryInterval;
  reason_ = kDefaultReason;
}

String MsgDropConnection::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  OFLTools::AppendXMLNode(out, kDropConnectionTags[0], retryInterval_);
  OFLTools::AppendXMLNode(out, kDropConnectionTags[1], std::string_view(reason_));
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgDropConnection::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  if (!LoadRoot(parser, text)) return 0;
  OFL::TagSequence tags(kDropConnectionTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0: retryInterval_ = OFLTools::AToUL(p.GetChildDataView()); break;
      case 1: reason_.assign(p.GetChildDataView()); break;
    }
  });
  return 1;
}

}  // namespace orvacmn
