// Reads arbitrary bytes as a length-packed String. Only the canonical form is
// accepted, so whatever reads must pack back to exactly the input, and the
// appending reader must agree with the replacing one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ofl/tokenizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  OFLTokenizer replaced;
  replaced.AddString("stale");
  const bool ok = replaced.FromLengthPackedString(text);

  OFLTokenizer appended;
  appended.AddString("kept");
  if (appended.AddLengthPackedStrings(text) != ok) std::abort();

  if (!ok) {
    if (!replaced.IsEmpty() || appended.GetCount() != 1 || appended[0] != "kept") std::abort();
    return 0;
  }
  if (replaced.AsLengthPackedString() != text) std::abort();
  if (appended.GetCount() != replaced.GetCount() + 1) std::abort();
  for (int32_t i = 0; i < replaced.GetCount(); ++i)
    if (appended[i + 1] != replaced[i]) std::abort();

  // Packing the packed text as one entry nests losslessly.
  OFLTokenizer outer;
  outer.AddString(text);
  OFLTokenizer back;
  if (!back.FromLengthPackedString(outer.AsLengthPackedString()) || back.GetCount() != 1 || back[0] != text)
    std::abort();
  return 0;
}
