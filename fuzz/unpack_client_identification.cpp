// Arbitrary text as a client identification, whose pack is a fixed point; its queries never fail on what it read.
#include "orvacmn/system/client_identification.h"

#include "check.h"

using orvacmn::OVOClientIdentification;

FUZZ_TEXT(text) {
  OVOClientIdentification first(text), second;
  const std::string packed = CheckRepack(first, second);
  Check(second == OVOClientIdentification(second.Pack()), "reread differs");
  OVOClientIdentification copy(second);
  Check(copy.Pack() == packed, "copy differs");

  // Reading keeps at most twelve of everything.
  Check(second.GetMACCount() <= 12 && second.GetIPCount() <= 12 && second.GetNetworkAdapters().size() <= 12);
  for (uint32_t method = 0; method <= 8; ++method)
    for (const std::string& candidate : second.GetCandidates(method)) Check(!candidate.empty(), "empty candidate");
  second.IsMatching(text);
  second.GetIdentifier();
  second.GetPrimarySubnetMask();
  copy.RemoveBlacklistedIds(OFLTokenizer(text, ";"), OFLTokenizer(text, ";"));
  Check(copy.GetMACCount() <= second.GetMACCount() && copy.GetPrimaryMAC().IsEmpty() == (copy.GetMACCount() == 0),
        "black list left a gap");
  std::string ips = text;
  OVOClientIdentification::RemoveBlacklistedIPs(ips, OFLTokenizer("*", ";"));
  Check(ips.empty(), "a star keeps an IP");
}
