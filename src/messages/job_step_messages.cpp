#include "orvacmn/messages/job_step_messages.h"

#include <string_view>

#include "ofl/format.h"
#include "ofl/tag_sequence.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace {

constexpr std::string_view kJobStateTags[] = {"Job",  "ActiveStep", "ActiveStepDesc", "Time", "JobState",
                                              "JobTargetState", "StateText", "Data", "IsCopiedFromJobStepState",
                                              "UserConsentState"};
constexpr std::string_view kConfirmTags[] = {"JobName", "JobStep", "Time", "State", "Result", "ResultString",
                                             "SlotId"};
constexpr std::string_view kStateTextTags[] = {"JobStep", "StateText"};
constexpr std::string_view kModuleStateTags[] = {"Module",   "Version",  "State",     "StateText",
                                                 "MsgsSent", "MsgsRcvd", "MsgsQueued"};
constexpr std::string_view kVersionTag = "Versionnumber";
constexpr std::string_view kUserInfoDataTags[] = {"Versionnumber", "UserName", "EncryptedPassword"};
constexpr std::string_view kSSAPacketTags[] = {"Versionnumber", "JobStepGuid", "JobStepData",
                                               "MSGSSAUserInformationData", "FullOvdFilename", "PackedVars",
                                               "ClientGuid", "ClientName", "JobGuid", "JobName"};
constexpr std::string_view kSSAConfirmationTags[] = {"Versionnumber", "JobStepGuid", "StateText", "ResultCode"};
constexpr std::string_view kSSATargetTags[] = {"Versionnumber", "ClientGuid", "ClientName"};
constexpr std::string_view kSSAUserInfoTags[] = {"Versionnumber", "MSGSSAUserInformationData"};

// The C runtime's signed reading; the copy only supplies the terminating NUL.
int32_t Atol(std::string_view v) { return OFL::CRT::atol(String(v)); }

void AppendString(String& out, std::string_view tag, const String& value) {
  OFLTools::AppendXMLNode(out, tag, std::string_view(value));
}

// The markup between the child's own tags, as the parser prints it: the
// exact inverse of inserting a text unchanged between those tags.
String ChildInnerMarkup(const OFLXMLParser& parser) {
  const String doc = parser.GetChildSubDoc();
  char quote = 0;
  size_t end = String::npos;
  for (size_t i = 0; i < doc.size(); ++i) {
    const char c = doc[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      end = i;
      break;
    }
  }
  if (end == String::npos || doc[end - 1] == '/') return String();
  const size_t close = doc.rfind('<');
  if (close == String::npos || close <= end) return String();
  return doc.substr(end + 1, close - end - 1);
}

}  // namespace

// MsgDJobState

MsgDJobState::MsgDJobState() : MsgXmlSupport(MessageRootFor("MsgDJobState"), kMessageSchema) {}

MsgDJobState::MsgDJobState(const String& text) : MsgDJobState() { Unpack(text); }

void MsgDJobState::Clear() { *this = MsgDJobState(); }

String MsgDJobState::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  const String name = OFLXMLParser::EscapeText(JobName, OFLXMLParser::kEscapeAttribute);
  out += OFLTools::MakeXMLElement(kJobStateTags[0], OFLTools::MakeXMLData(Job), OFLFormat("name=\"%s\"", name).str());
  AppendString(out, kJobStateTags[1], ActiveStep);
  AppendString(out, kJobStateTags[2], ActiveStepDesc);
  OFLTools::AppendXMLNode(out, kJobStateTags[3], static_cast<uint32_t>(Time));
  OFLTools::AppendXMLNode(out, kJobStateTags[4], JobState);
  OFLTools::AppendXMLNode(out, kJobStateTags[5], JobTargetState);
  AppendString(out, kJobStateTags[6], StateText);
  OFLTools::AppendXMLNode(out, kJobStateTags[7], Data);
  OFLTools::AppendXMLNode(out, kJobStateTags[8], int32_t{IsCopiedFromJobStepState ? 1 : 0});
  OFLTools::AppendXMLNode(out, kJobStateTags[9], UserConsentState);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgDJobState::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  if (!LoadRoot(parser, text)) return 0;
  OFL::TagSequence tags(kJobStateTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    const std::string_view v = p.GetChildDataView();
    switch (tags.Find(tag)) {
      case 0:
        Job.assign(v);
        JobName = p.GetChildAttrib("name");
        break;
      case 1: ActiveStep.assign(v); break;
      case 2: ActiveStepDesc.assign(v); break;
      case 3: Time = OFLTools::AToUL(v); break;
      case 4: JobState = OFLTools::AToUL(v); break;
      case 5: JobTargetState = OFLTools::AToUL(v); break;
      case 6: StateText.assign(v); break;
      case 7: Data = OFLTools::AToUL(v); break;
      case 8: IsCopiedFromJobStepState = Atol(v) != 0; break;
      case 9: UserConsentState = Atol(v); break;
    }
  });
  return 1;
}

// MsgDConfirmJobStep

MsgDConfirmJobStep::MsgDConfirmJobStep() : MsgXmlSupport(MessageRootFor("MsgDConfirmJobStep"), kMessageSchema) {}

MsgDConfirmJobStep::MsgDConfirmJobStep(const String& text) : MsgDConfirmJobStep() { Unpack(text); }

void MsgDConfirmJobStep::Clear() { *this = MsgDConfirmJobStep(); }

String MsgDConfirmJobStep::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendString(out, kConfirmTags[0], JobName);
  out += JobStep;
  OFLTools::AppendXMLNode(out, kConfirmTags[2], static_cast<uint32_t>(Time));
  OFLTools::AppendXMLNode(out, kConfirmTags[3], State);
  OFLTools::AppendXMLNode(out, kConfirmTags[4], Result);
  AppendString(out, kConfirmTags[5], ResultString);
  OFLTools::AppendXMLNode(out, kConfirmTags[6], SlotId);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgDConfirmJobStep::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  if (!LoadRoot(parser, text)) return 0;
  OFL::TagSequence tags(kConfirmTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    const std::string_view v = p.GetChildDataView();
    switch (tags.Find(tag)) {
      case 0: JobName.assign(v); break;
      case 1: JobStep = p.GetChildSubDoc(); break;
      case 2: Time = OFLTools::AToUL(v); break;
      case 3: State = OFLTools::AToUL(v); break;
      case 4: Result = Atol(v); break;
      case 5: ResultString.assign(v); break;
      case 6: SlotId = OFLTools::AToUL(v); break;
    }
  });
  return 1;
}

// MsgDJobStepStateText

MsgDJobStepStateText::MsgDJobStepStateText()
    : MsgXmlSupport(MessageRootFor("MsgDJobStepStateText"), kMessageSchema) {}

MsgDJobStepStateText::MsgDJobStepStateText(const String& text) : MsgDJobStepStateText() { Unpack(text); }

void MsgDJobStepStateText::Clear() {
  JobStep.clear();
  StateText.clear();
}

String MsgDJobStepStateText::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendString(out, kStateTextTags[0], JobStep);
  AppendString(out, kStateTextTags[1], StateText);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgDJobStepStateText::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  if (!LoadRoot(parser, text)) return 0;
  OFL::TagSequence tags(kStateTextTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0: JobStep.assign(p.GetChildDataView()); break;
      case 1: StateText.assign(p.GetChildDataView()); break;
    }
  });
  return 1;
}

// MsgDModuleState

MsgDModuleState::MsgDModuleState() : MsgXmlSupport(MessageRootFor("MsgDModuleState"), kMessageSchema) {}

MsgDModuleState::MsgDModuleState(const String& text) : MsgDModuleState() { Unpack(text); }

void MsgDModuleState::Clear() { *this = MsgDModuleState(); }

String MsgDModuleState::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendString(out, kModuleStateTags[0], Module);
  AppendString(out, kModuleStateTags[1], Version);
  OFLTools::AppendXMLNode(out, kModuleStateTags[2], State);
  AppendString(out, kModuleStateTags[3], StateText);
  OFLTools::AppendXMLNode(out, kModuleStateTags[4], MsgsSent);
  OFLTools::AppendXMLNode(out, kModuleStateTags[5], MsgsRcvd);
  OFLTools::AppendXMLNode(out, kModuleStateTags[6], MsgsQueued);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgDModuleState::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  LoadAnyRoot(parser, text);
  OFL::TagSequence tags(kModuleStateTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    const std::string_view v = p.GetChildDataView();
    switch (tags.Find(tag)) {
      case 0: Module.assign(v); break;
      case 1: Version.assign(v); break;
      case 2: State = OFLTools::AToUL(v); break;
      case 3: StateText.assign(v); break;
      case 4: MsgsSent = OFLTools::AToUL(v); break;
      case 5: MsgsRcvd = OFLTools::AToUL(v); break;
      case 6: MsgsQueued = OFLTools::AToUL(v); break;
    }
  });
  return 1;
}

// MsgSSAMessage

void MsgSSAMessage::AppendHead(String& out) const {
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendString(out, kVersionTag, OFLTools::ULToA(version_));
}

void MsgSSAMessage::ReadVersion(std::string_view text) { version_ = OFLTools::AToUL(text); }

// MsgSSAUserInformationData

MsgSSAUserInformationData::MsgSSAUserInformationData() : MsgSSAMessage(MessageRootFor("MsgSSAUserInformationData")) {}

MsgSSAUserInformationData::MsgSSAUserInformationData(const String& text) : MsgSSAUserInformationData() {
  Unpack(text);
}

void MsgSSAUserInformationData::Clear() {
  userName_.clear();
  encPwd_.clear();
}

String MsgSSAUserInformationData::Pack() const {
  String out;
  AppendHead(out);
  AppendString(out, kUserInfoDataTags[1], userName_);
  AppendString(out, kUserInfoDataTags[2], encPwd_);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgSSAUserInformationData::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  LoadAnyRoot(parser, text);
  OFL::TagSequence tags(kUserInfoDataTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    const std::string_view v = p.GetChildDataView();
    switch (tags.Find(tag)) {
      case 0: ReadVersion(v); break;
      case 1: userName_.assign(v); break;
      case 2: encPwd_.assign(v); break;
    }
  });
  return 1;
}

// MsgSSAJobStepPacket

MsgSSAJobStepPacket::MsgSSAJobStepPacket() : MsgSSAMessage(MessageRootFor("MsgSSAJobStepPacket")) {}

MsgSSAJobStepPacket::MsgSSAJobStepPacket(const String& text) : MsgSSAJobStepPacket() { Unpack(text); }

void MsgSSAJobStepPacket::Clear() {
  for (String* s : {&jobStepGuid_, &jobStepData_, &userInformation_, &fullOvdFilename_, &packedVars_, &clientGuid_,
                    &clientName_, &jobGuid_, &jobName_})
    s->clear();
}

String MsgSSAJobStepPacket::Pack() const {
  String out;
  AppendHead(out);
  AppendString(out, kSSAPacketTags[1], jobStepGuid_);
  out += OFLTools::MakeXMLElement(kSSAPacketTags[2], jobStepData_);
  out += userInformation_;
  AppendString(out, kSSAPacketTags[4], fullOvdFilename_);
  AppendString(out, kSSAPacketTags[5], packedVars_);
  AppendString(out, kSSAPacketTags[6], clientGuid_);
  AppendString(out, kSSAPacketTags[7], clientName_);
  AppendString(out, kSSAPacketTags[8], jobGuid_);
  AppendString(out, kSSAPacketTags[9], jobName_);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgSSAJobStepPacket::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  LoadAnyRoot(parser, text);
  OFL::TagSequence tags(kSSAPacketTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    const std::string_view v = p.GetChildDataView();
    switch (tags.Find(tag)) {
      case 0: ReadVersion(v); break;
      case 1: jobStepGuid_.assign(v); break;
      case 2: jobStepData_ = ChildInnerMarkup(p); break;
      case 3: userInformation_ = p.GetChildSubDoc(); break;
      case 4: fullOvdFilename_.assign(v); break;
      case 5: packedVars_.assign(v); break;
      case 6: clientGuid_.assign(v); break;
      case 7: clientName_.assign(v); break;
      case 8: jobGuid_.assign(v); break;
      case 9: jobName_.assign(v); break;
    }
  });
  return 1;
}

// MsgSSAJobStepConfirmation

MsgSSAJobStepConfirmation::MsgSSAJobStepConfirmation() : MsgSSAMessage(MessageRootFor("MsgSSAJobStepConfirmation")) {}

MsgSSAJobStepConfirmation::MsgSSAJobStepConfirmation(const String& text) : MsgSSAJobStepConfirmation() {
  Unpack(text);
}

void MsgSSAJobStepConfirmation::Clear() {
  jobStepGuid_.clear();
  stateText_.clear();
  resultCode_ = 0;
}

String MsgSSAJobStepConfirmation::Pack() const {
  String out;
  AppendHead(out);
  AppendString(out, kSSAConfirmationTags[1], jobStepGuid_);
  AppendString(out, kSSAConfirmationTags[2], stateText_);
  AppendString(out, kSSAConfirmationTags[3], OFLTools::ULToA(resultCode_));
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgSSAJobStepConfirmation::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  LoadAnyRoot(parser, text);
  OFL::TagSequence tags(kSSAConfirmationTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    const std::string_view v = p.GetChildDataView();
    switch (tags.Find(tag)) {
      case 0: ReadVersion(v); break;
      case 1: jobStepGuid_.assign(v); break;
      case 2: stateText_.assign(v); break;
      case 3: resultCode_ = OFLTools::AToUL(v); break;
    }
  });
  return 1;
}

// MsgSSAJobStepTarget

MsgSSAJobStepTarget::MsgSSAJobStepTarget() : MsgSSAMessage(MessageRootFor("MsgSSAJobStepTarget")) {}

MsgSSAJobStepTarget::MsgSSAJobStepTarget(const String& text) : MsgSSAJobStepTarget() { Unpack(text); }

void MsgSSAJobStepTarget::Clear() {
  clientGuid_.clear();
  clientName_.clear();
}

String MsgSSAJobStepTarget::Pack() const {
  String out;
  AppendHead(out);
  AppendString(out, kSSATargetTags[1], clientGuid_);
  AppendString(out, kSSATargetTags[2], clientName_);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgSSAJobStepTarget::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  LoadAnyRoot(parser, text);
  OFL::TagSequence tags(kSSATargetTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    const std::string_view v = p.GetChildDataView();
    switch (tags.Find(tag)) {
      case 0: ReadVersion(v); break;
      case 1: clientGuid_.assign(v); break;
      case 2: clientName_.assign(v); break;
    }
  });
  return 1;
}

// MsgSSAUserInformation

MsgSSAUserInformation::MsgSSAUserInformation() : MsgSSAMessage(MessageRootFor("MsgSSAUserInformation")) {}

MsgSSAUserInformation::MsgSSAUserInformation(const String& text) : MsgSSAUserInformation() { Unpack(text); }

String MsgSSAUserInformation::Pack() const {
  String out;
  AppendHead(out);
  out += userInformation_;
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int MsgSSAUserInformation::Unpack(String text) {
  OFLXMLParser parser;
  Clear();
  LoadAnyRoot(parser, text);
  OFL::TagSequence tags(kSSAUserInfoTags);
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    switch (tags.Find(tag)) {
      case 0: ReadVersion(p.GetChildDataView()); break;
      case 1: userInformation_ = p.GetChildSubDoc(); break;
    }
  });
  return 1;
}

}  // namespace orvacmn
