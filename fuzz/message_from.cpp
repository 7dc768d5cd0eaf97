// Arbitrary text as an internet request and response: From never fails otherwise, a valid message serializes to a
// text that reads back to an equal, valid message and to the same text again, and comments or instructions before
// the root change nothing.
#include "ofl/compression.h"
#include "orvacmn/messages/internet_messages.h"

#include "check.h"

using orvacmn::InternetRequest;
using orvacmn::InternetResponse;

// A small limit keeps bzip2 bombs quick.
static const bool kLimitSet = (OFL::Compression::SetDefaultDecompressionLimit(size_t{1} << 20), true);

// What stands before the root changes nothing that is read.
template <class M>
void CheckPrologIsIgnored(const M& message, const std::string& text) {
  if (text.starts_with("<?xml") || text.starts_with("\xEF\xBB\xBF")) return;  // must stand first
  const M prefixed = M::From("<!-- relay --><?hop 1?>\n" + text);
  Check(prefixed.IsValid() == message.IsValid() && prefixed.Content() == message.Content(),
        "a comment before the root changes the message");
  if constexpr (requires { message.Status(); })
    Check(prefixed.Status() == message.Status(), "a comment before the root changes the status");
}

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
  CheckPrologIsIgnored(request, text);
  const InternetResponse response = InternetResponse::From(text);
  CheckPrologIsIgnored(response, text);
  if (response.IsValid()) {
    Check(response.Status() != InternetResponse::eImplementationFailure, "valid with the invalid status");
    const std::string serialized = response.Serialize();
    const InternetResponse again = InternetResponse::From(serialized);
    Check(again.IsValid() && again.Content() == response.Content() && again.Status() == response.Status(),
          "response does not read back");
    Check(again.Serialize() == serialized, "response text not stable");
  }
}
