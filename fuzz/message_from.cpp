// Arbitrary text as an internet request and response: From never fails otherwise, and a valid message serializes
// to a text that reads back to an equal, valid message and to the same text again.
#include "ofl/compression.h"
#include "orvacmn/messages/internet_messages.h"

#include "check.h"

using orvacmn::InternetRequest;
using orvacmn::InternetResponse;

// A small limit keeps bzip2 bombs quick.
static const bool kLimitSet = (OFL::Compression::SetDefaultDecompressionLimit(size_t{1} << 20), true);

FUZZ_TEXT(text) {
  (void)kLimitSet;
  const InternetRequest request = InternetRequest::From(text);
  Check(request.IsValid() == request.InvalidationReason().empty(), "validity and reason disagree");
  if (request.IsValid()) {
    const std::string serialized = request.Serialize();
    const InternetRequest again = InternetRequest::From(serialized);
    Check(again.IsValid() && again.Content() == request.Content(), "request does not read back");
    Check(again.Serialize() == serialized, "request text not stable");
  }
  const InternetResponse response = InternetResponse::From(text);
  if (response.IsValid()) {
    Check(response.Status() != InternetResponse::eImplementationFailure, "valid with the invalid status");
    const std::string serialized = response.Serialize();
    const InternetResponse again = InternetResponse::From(serialized);
    Check(again.IsValid() && again.Content() == response.Content() && again.Status() == response.Status(),
          "response does not read back");
    Check(again.Serialize() == serialized, "response text not stable");
  }
}
