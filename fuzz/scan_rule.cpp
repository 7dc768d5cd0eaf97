// Arbitrary text as a software scan rule (and as its rules in the
// length-packed form, and as a rule applied to a computer): what it reads
// packs in either form to a text that reads back to the same rule.
#include "orvacmn/software/scan_rules.h"

#include "check.h"

FUZZ_TEXT(text) {
  orvacmn::OVOSWScanAppRule rule(text);
  for (int plaintext : {0, 1}) {
    orvacmn::OVOSWScanAppRule again(rule.Pack(plaintext));
    Check(again == rule, "the rule does not read back");
    Check(!again.HasUnreadableRules(), "own rules unreadable");
  }
  orvacmn::OVOSWScanAppRule files;
  if (files.SetFiles(text)) {
    orvacmn::OVOSWScanAppRule again;
    Check(again.SetFiles(files.GetFiles()) && again == files, "the rules do not read back");
  }
  orvacmn::OVOSystemAppliedSWScanRule applied(text), appliedAgain;
  CheckRepack(applied, appliedAgain);
  orvacmn::OVO::SWRule entry(text), entryAgain;
  CheckRepack(entry, entryAgain);
}
