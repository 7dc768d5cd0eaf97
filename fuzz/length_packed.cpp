// Arbitrary bytes as a length-packed list: only the canonical form reads, so whatever reads packs back to exactly
// the input, and the appending reader agrees with the replacing one.
#include "ofl/tokenizer.h"

#include "check.h"

FUZZ_TEXT(text) {
  OFLTokenizer replaced, appended;
  replaced.AddString("stale");
  appended.AddString("kept");
  const bool ok = replaced.FromLengthPackedString(text);
  Check(appended.AddLengthPackedStrings(text) == ok);
  Check(ok || (replaced.IsEmpty() && appended.GetCount() == 1 && appended[0] == "kept"));
  if (!ok) return;
  Check(replaced.AsLengthPackedString() == text && appended.GetCount() == replaced.GetCount() + 1);
  for (int32_t i = 0; i < replaced.GetCount(); ++i) Check(appended[i + 1] == replaced[i]);
  // Packing the packed text as one entry nests losslessly.
  OFLTokenizer outer, back;
  outer.AddString(text);
  Check(back.FromLengthPackedString(outer.AsLengthPackedString()) && back.GetCount() == 1 && back[0] == text);
}
