// ovo message CLASS [FILE]: read a message text as CLASS and write it again.
// ovo internet pack [--status S] [FILE]: bytes as an internet request (or a
//   response with status S), serialized.
// ovo internet unpack request|response [FILE]: the content bytes, raw.
#include <iostream>

#include "message_classes.h"
#include "orvacmn/messages/envelopes.h"
#include "orvacmn/messages/internet_messages.h"
#include "ovo.h"

namespace ovo {
namespace {

std::map<std::string, MessageFactories>& MutableMessageClasses() {
  static std::map<std::string, MessageFactories> classes;
  return classes;
}

}  // namespace

MessageClass::MessageClass(const char* className, XmlMessageFactory factory) {
  MutableMessageClasses()[className].xml = std::move(factory);
}

MessageClass::MessageClass(const char* className, BasicMessageFactory factory) {
  MutableMessageClasses()[className].basic = std::move(factory);
}

const std::map<std::string, MessageFactories>& MessageClasses() { return MutableMessageClasses(); }

}  // namespace ovo

namespace {

using namespace orvacmn;

template <class M>
ovo::XmlMessageFactory Xml() {
  return [] { return std::make_unique<M>(); };
}
template <class M>
ovo::BasicMessageFactory Basic() {
  return [](const std::string& text) { return std::make_unique<M>(M::From(text)); };
}

const ovo::MessageClass kToServer("MsgToServer", Xml<MsgToServer>());
const ovo::MessageClass kServerToClient("MsgServerToClient", Xml<MsgServerToClient>());
const ovo::MessageClass kClientToServer("MsgClientToServer", Xml<MsgClientToServer>());
const ovo::MessageClass kServerToOvc("MsgServerToOvc", Xml<MsgServerToOvc>());
const ovo::MessageClass kDropConnection("MsgDropConnection", Xml<MsgDropConnection>());
const ovo::MessageClass kInternetRequest("InternetRequest", Basic<InternetRequest>());
const ovo::MessageClass kInternetResponse("InternetResponse", Basic<InternetResponse>());

struct MessageArgs {
  std::string className, file;
};

int RunMessage(const MessageArgs& a) {
  const auto& classes = ovo::MessageClasses();
  const auto it = classes.find(a.className);
  if (it == classes.end()) return ovo::Error("unknown message class " + a.className, 2);
  std::string text;
  if (!ovo::ReadInput(a.file, text)) return 1;
  if (it->second.xml) {
    std::unique_ptr<MsgXmlSupport> m = it->second.xml();
    if (m->Unpack(text) == 0) return ovo::Error(a.className + ": no <" + m->GetObjectName() + "> element in the input");
    std::cout << m->Pack() << "\n";
    return 0;
  }
  const std::unique_ptr<BasicMessage> m = it->second.basic(text);
  if (!m->IsValid()) return ovo::Error(a.className + ": " + m->InvalidationReason());
  std::cout << m->Serialize() << "\n";
  return 0;
}

struct PackArgs {
  std::string status, file;
};

int RunPack(const PackArgs& a) {
  InternetResponse::StatusCode status = InternetResponse::eOK;
  if (!a.status.empty() && !InternetResponse::StatusFromString(a.status, status))
    return ovo::Error("unknown status " + a.status + " (OK, AuthenticationFailure, AuthorizationFailure)", 2);
  std::string bytes;
  if (!ovo::ReadInput(a.file, bytes)) return 1;
  if (a.status.empty()) std::cout << InternetRequest(bytes).Serialize() << "\n";
  else std::cout << InternetResponse(bytes, status).Serialize() << "\n";
  return 0;
}

struct UnpackArgs {
  std::string kind, file;
};

int RunUnpack(const UnpackArgs& a) {
  std::string text;
  if (!ovo::ReadInput(a.file, text)) return 1;
  if (a.kind == "request") {
    const InternetRequest m = InternetRequest::From(text);
    if (!m.IsValid()) return ovo::Error("InternetRequest: " + m.InvalidationReason());
    std::cout.write(reinterpret_cast<const char*>(m.Content().data()), std::streamsize(m.Content().size()));
    return 0;
  }
  const InternetResponse m = InternetResponse::From(text);
  if (!m.IsValid()) return ovo::Error("InternetResponse: " + m.InvalidationReason());
  std::cerr << InternetResponse::StatusToString(m.Status()) << "\n";
  std::cout.write(reinterpret_cast<const char*>(m.Content().data()), std::streamsize(m.Content().size()));
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto margs = std::make_shared<MessageArgs>();
  auto* cmd = app.add_subcommand("message", "Read a message text as CLASS and write it again (Pack or Serialize)");
  cmd->add_option("CLASS", margs->className, "Message class, e.g. MsgDropConnection or InternetResponse")->required();
  cmd->add_option("FILE", margs->file, "Message text (default: stdin)");
  cmd->callback([margs, &exitCode] { exitCode = RunMessage(*margs); });

  auto* internet = app.add_subcommand("internet", "Bytes into and out of internet requests and responses");
  internet->require_subcommand(1);
  auto pargs = std::make_shared<PackArgs>();
  cmd = internet->add_subcommand("pack", "The bytes of FILE as a serialized InternetRequest (or InternetResponse)");
  cmd->add_option("--status", pargs->status, "Make a response with this status: OK, AuthenticationFailure, ...");
  cmd->add_option("FILE", pargs->file, "Content bytes (default: stdin)");
  cmd->callback([pargs, &exitCode] { exitCode = RunPack(*pargs); });

  auto uargs = std::make_shared<UnpackArgs>();
  cmd = internet->add_subcommand("unpack", "The content bytes of a request or response text (status on stderr)");
  cmd->add_option("KIND", uargs->kind, "request or response")->required()->check(CLI::IsMember({"request", "response"}));
  cmd->add_option("FILE", uargs->file, "Message text (default: stdin)");
  cmd->callback([uargs, &exitCode] { exitCode = RunUnpack(*uargs); });
}

const ovo::Registration reg(130, Register);

}  // namespace
