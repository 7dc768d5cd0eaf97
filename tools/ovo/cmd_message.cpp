// ovo message CLASS [FILE]: read a message text as CLASS and write it again.
// ovo message --list: the known classes, one "CLASS<TAB>ROOT" line each.
// ovo internet pack [--status S] [FILE]: bytes as an internet request (or a
//   response with status S), serialized.
// ovo internet unpack request|response [FILE]: the content bytes, raw.
#include <iostream>
#include <stdexcept>

#include "message_classes.h"
#include "ofl/xml_parser.h"
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

using ovo::Xml;
using ovo::Basic;

const ovo::MessageClass kToServer("MsgToServer", Xml<MsgToServer>());
const ovo::MessageClass kServerToClient("MsgServerToClient", Xml<MsgServerToClient>());
const ovo::MessageClass kClientToServer("MsgClientToServer", Xml<MsgClientToServer>());
const ovo::MessageClass kServerToOvc("MsgServerToOvc", Xml<MsgServerToOvc>());
const ovo::MessageClass kDropConnection("MsgDropConnection", Xml<MsgDropConnection>());
const ovo::MessageClass kInternetRequest("InternetRequest", Basic<InternetRequest>());
const ovo::MessageClass kInternetResponse("InternetResponse", Basic<InternetResponse>());

struct MessageArgs {
  std::string className, file;
  bool list = false;
};

// The class of that name, or of that name without its namespace when only
// one class has it ("AgentUpdateRequest").
using ClassEntry = std::map<std::string, ovo::MessageFactories>::const_iterator;
ClassEntry FindClass(const std::string& name) {
  const auto& classes = ovo::MessageClasses();
  ClassEntry found = classes.find(name);
  if (found != classes.end()) return found;
  for (auto it = classes.begin(); it != classes.end(); ++it) {
    const size_t colon = it->first.rfind("::");
    if (colon == std::string::npos || it->first.compare(colon + 2, std::string::npos, name) != 0) continue;
    if (found != classes.end()) return classes.end();  // ambiguous
    found = it;
  }
  return found;
}

std::string RootName(const ovo::MessageFactories& f) {
  return f.xml ? f.xml()->GetObjectName() : f.basic(std::string())->GetObjectName();
}

// Why `text` was not read as a message with root element `root`, for a
// message that gives no reason of its own.
std::string WhyRefused(const std::string& text, const std::string& root) {
  OFLXMLParser parser;
  if (!parser.SetDoc(text)) return "not well-formed XML: " + parser.GetError();
  parser.FindElem();
  if (parser.GetTagName() != root) return "the root element is <" + parser.GetTagName() + ">, not <" + root + ">";
  return "<" + root + "> holds a value that the message refuses";
}

int RunMessage(const MessageArgs& a) {
  if (a.list) {
    for (const auto& [name, factories] : ovo::MessageClasses())
      std::cout << name << '\t' << RootName(factories) << '\n';
    return 0;
  }
  if (a.className.empty()) return ovo::Error("message: give CLASS, or --list for the classes", 2);
  const ClassEntry it = FindClass(a.className);
  if (it == ovo::MessageClasses().end()) return ovo::Error("unknown message class " + a.className + " (see --list)", 2);
  std::string text;
  if (!ovo::ReadInput(a.file, text)) return 1;
  if (it->second.xml) {
    std::unique_ptr<MsgXmlSupport> m = it->second.xml();
    try {
      if (m->Unpack(text) == 0) return ovo::Error(it->first + ": " + WhyRefused(text, m->GetObjectName()));
    } catch (const std::invalid_argument& e) {  // the kiosk messages' unknown module names
      return ovo::Error(it->first + ": " + e.what());
    }
    std::cout << m->Pack() << "\n";
    return 0;
  }
  const std::unique_ptr<BasicMessage> m = it->second.basic(text);
  if (!m->IsValid()) {
    const std::string reason = m->InvalidationReason();
    return ovo::Error(it->first + ": " + (reason.empty() ? WhyRefused(text, m->GetObjectName()) : reason));
  }
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
  cmd->add_option("CLASS", margs->className,
                  "Message class, e.g. MsgDropConnection, InternetResponse or AgentUpdateRequest (namespace optional)");
  cmd->add_option("FILE", margs->file, "Message text (default: stdin)");
  cmd->add_flag("--list", margs->list, "List the message classes, each with its root element name");
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
