// Arbitrary text as a job-step packet, whose own pack reads back to itself.
#include "orvacmn/messages/job_step_messages.h"

#include "check.h"

using orvacmn::MsgDJobStepPacket;

FUZZ_TEXT(text) {
  MsgDJobStepPacket first(text), second;
  CheckRepack(first, second);
  if (first.HasJobSteps()) first.SkipDependentSteps(first.GetStepAt(0));
  first.CalcTimeout(1700000000);
  MsgDJobStepPacket third;
  CheckRepack(first, third);
}
