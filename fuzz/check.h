// Checks of the fuzz targets: a broken property aborts, so libFuzzer keeps
// the input that broke it.
#ifndef ORVACMN_FUZZ_CHECK_H_
#define ORVACMN_FUZZ_CHECK_H_

#include <cstdio>
#include <cstdlib>

inline void Check(bool ok, const char* what = "property broken") {
  if (!ok) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
  }
}

#endif  // ORVACMN_FUZZ_CHECK_H_
