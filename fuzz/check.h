// Shared by the fuzz targets: a broken property aborts, so libFuzzer keeps the input that broke it.
#ifndef ORVACMN_FUZZ_CHECK_H_
#define ORVACMN_FUZZ_CHECK_H_

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

inline void Check(bool ok, const char* what = "property broken") {
  if (!ok) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
  }
}

// The fresh `again` reads what `first` packs and packs it to the same text, which is returned.
template <class T>
std::string CheckRepack(const T& first, T& again) {
  std::string packed = first.Pack();
  Check(again.Unpack(packed) == 1 && again.Pack() == packed, "own pack does not read back to itself");
  return packed;
}

// A target that takes its input as one text: `FUZZ_TEXT(text) { ... }`.
#define FUZZ_TEXT(text)                                                     \
  static void FuzzText(const std::string& text);                            \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { \
    FuzzText(std::string(reinterpret_cast<const char*>(data), size));       \
    return 0;                                                               \
  }                                                                         \
  static void FuzzText(const std::string& text)

#endif  // ORVACMN_FUZZ_CHECK_H_
