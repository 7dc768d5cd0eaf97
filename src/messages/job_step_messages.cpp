#include "orvacmn/messages/job_step_messages.h"

#include <string_view>

#include "ofl/format.h"
#include "ofl/tools.h"
#include "message_fields.h"

namespace orvacmn {
namespace {

// The job's GUID as text, the job's name in the attribute "name".
template <class Message>
struct NamedJob {
  Message* message;
  void Put(String& out, std::string_view tag, const String& job) const {
    const String name = OFLXMLParser::EscapeText(message->JobName, OFLXMLParser::kEscapeAttribute);
    out += OFLTools::MakeXMLElement(tag, OFLTools::MakeXMLData(job), OFLFormat("name=\"%s\"", name).str());
  }
  void Get(OFLXMLParser& p, String& job) const {
    job.assign(p.GetChildDataView());
    message->JobName = p.GetChildAttrib("name");
  }
};

}  // namespace

// MsgDJobState

MsgDJobState::MsgDJobState() : MsgXmlSupport(MessageRootFor("MsgDJobState"), kMessageSchema) {}

MsgDJobState::MsgDJobState(const String& text) : MsgDJobState() { Unpack(text); }

void MsgDJobState::Clear() { *this = MsgDJobState(); }

template <class S, class V>
void MsgDJobState::Fields(S& self, V& v) {
  v("Job", self.Job, NamedJob<S>{&self});
  v("ActiveStep", self.ActiveStep);
  v("ActiveStepDesc", self.ActiveStepDesc);
  v("Time", self.Time, msg_fields::Time32{});
  v("JobState", self.JobState);
  v("JobTargetState", self.JobTargetState);
  v("StateText", self.StateText);
  v("Data", self.Data);
  v("IsCopiedFromJobStepState", self.IsCopiedFromJobStepState);
  v("UserConsentState", self.UserConsentState);
}

String MsgDJobState::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgDJobState::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
}

// MsgDConfirmJobStep

MsgDConfirmJobStep::MsgDConfirmJobStep() : MsgXmlSupport(MessageRootFor("MsgDConfirmJobStep"), kMessageSchema) {}

MsgDConfirmJobStep::MsgDConfirmJobStep(const String& text) : MsgDConfirmJobStep() { Unpack(text); }

void MsgDConfirmJobStep::Clear() { *this = MsgDConfirmJobStep(); }

template <class S, class V>
void MsgDConfirmJobStep::Fields(S& self, V& v) {
  v("JobName", self.JobName);
  v("JobStep", self.JobStep, msg_fields::Markup{});
  v("Time", self.Time, msg_fields::Time32{});
  v("State", self.State);
  v("Result", self.Result);
  v("ResultString", self.ResultString);
  v("SlotId", self.SlotId);
}

String MsgDConfirmJobStep::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgDConfirmJobStep::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
}

// MsgDJobStepStateText

MsgDJobStepStateText::MsgDJobStepStateText()
    : MsgXmlSupport(MessageRootFor("MsgDJobStepStateText"), kMessageSchema) {}

MsgDJobStepStateText::MsgDJobStepStateText(const String& text) : MsgDJobStepStateText() { Unpack(text); }

void MsgDJobStepStateText::Clear() {
  JobStep.clear();
  StateText.clear();
}

template <class S, class V>
void MsgDJobStepStateText::Fields(S& self, V& v) {
  v("JobStep", self.JobStep);
  v("StateText", self.StateText);
}

String MsgDJobStepStateText::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgDJobStepStateText::Unpack(String text) {
  Clear();
  return msg_fields::Unpack(text, *this);
}

// MsgDModuleState

MsgDModuleState::MsgDModuleState() : MsgXmlSupport(MessageRootFor("MsgDModuleState"), kMessageSchema) {}

MsgDModuleState::MsgDModuleState(const String& text) : MsgDModuleState() { Unpack(text); }

void MsgDModuleState::Clear() { *this = MsgDModuleState(); }

template <class S, class V>
void MsgDModuleState::Fields(S& self, V& v) {
  v("Module", self.Module);
  v("Version", self.Version);
  v("State", self.State);
  v("StateText", self.StateText);
  v("MsgsSent", self.MsgsSent);
  v("MsgsRcvd", self.MsgsRcvd);
  v("MsgsQueued", self.MsgsQueued);
}

String MsgDModuleState::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgDModuleState::Unpack(String text) {
  Clear();
  msg_fields::Read(text, nullptr, *this);
  return 1;
}

// MsgSSAUserInformationData

MsgSSAUserInformationData::MsgSSAUserInformationData() : MsgSSAMessage(MessageRootFor("MsgSSAUserInformationData")) {}

MsgSSAUserInformationData::MsgSSAUserInformationData(const String& text) : MsgSSAUserInformationData() {
  Unpack(text);
}

void MsgSSAUserInformationData::Clear() {
  userName_.clear();
  encPwd_.clear();
}

template <class S, class V>
void MsgSSAUserInformationData::Fields(S& self, V& v) {
  v("Versionnumber", self.version_);
  v("UserName", self.userName_);
  v("EncryptedPassword", self.encPwd_);
}

String MsgSSAUserInformationData::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgSSAUserInformationData::Unpack(String text) {
  Clear();
  msg_fields::Read(text, nullptr, *this);
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

template <class S, class V>
void MsgSSAJobStepPacket::Fields(S& self, V& v) {
  v("Versionnumber", self.version_);
  v("JobStepGuid", self.jobStepGuid_);
  v("JobStepData", self.jobStepData_, msg_fields::InnerMarkup{});
  v("MSGSSAUserInformationData", self.userInformation_, msg_fields::Markup{});
  v("FullOvdFilename", self.fullOvdFilename_);
  v("PackedVars", self.packedVars_);
  v("ClientGuid", self.clientGuid_);
  v("ClientName", self.clientName_);
  v("JobGuid", self.jobGuid_);
  v("JobName", self.jobName_);
}

String MsgSSAJobStepPacket::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgSSAJobStepPacket::Unpack(String text) {
  Clear();
  msg_fields::Read(text, nullptr, *this);
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

template <class S, class V>
void MsgSSAJobStepConfirmation::Fields(S& self, V& v) {
  v("Versionnumber", self.version_);
  v("JobStepGuid", self.jobStepGuid_);
  v("StateText", self.stateText_);
  v("ResultCode", self.resultCode_);
}

String MsgSSAJobStepConfirmation::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgSSAJobStepConfirmation::Unpack(String text) {
  Clear();
  msg_fields::Read(text, nullptr, *this);
  return 1;
}

// MsgSSAJobStepTarget

MsgSSAJobStepTarget::MsgSSAJobStepTarget() : MsgSSAMessage(MessageRootFor("MsgSSAJobStepTarget")) {}

MsgSSAJobStepTarget::MsgSSAJobStepTarget(const String& text) : MsgSSAJobStepTarget() { Unpack(text); }

void MsgSSAJobStepTarget::Clear() {
  clientGuid_.clear();
  clientName_.clear();
}

template <class S, class V>
void MsgSSAJobStepTarget::Fields(S& self, V& v) {
  v("Versionnumber", self.version_);
  v("ClientGuid", self.clientGuid_);
  v("ClientName", self.clientName_);
}

String MsgSSAJobStepTarget::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgSSAJobStepTarget::Unpack(String text) {
  Clear();
  msg_fields::Read(text, nullptr, *this);
  return 1;
}

// MsgSSAUserInformation

MsgSSAUserInformation::MsgSSAUserInformation() : MsgSSAMessage(MessageRootFor("MsgSSAUserInformation")) {}

MsgSSAUserInformation::MsgSSAUserInformation(const String& text) : MsgSSAUserInformation() { Unpack(text); }

template <class S, class V>
void MsgSSAUserInformation::Fields(S& self, V& v) {
  v("Versionnumber", self.version_);
  v("MSGSSAUserInformationData", self.userInformation_, msg_fields::Markup{});
}

String MsgSSAUserInformation::Pack() const { return msg_fields::Pack(GetObjectName(), *this); }

int MsgSSAUserInformation::Unpack(String text) {
  Clear();
  msg_fields::Read(text, nullptr, *this);
  return 1;
}

}  // namespace orvacmn
