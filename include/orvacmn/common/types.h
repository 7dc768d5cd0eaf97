// Small shared types of the library.
#ifndef ORVACMN_COMMON_TYPES_H_
#define ORVACMN_COMMON_TYPES_H_

#include <cstdint>

#include "ofl/string.h"

namespace orvacmn {

using String = OFL::String;

// A point in time: signed 64-bit seconds since 1970-01-01 00:00 UTC.
using CTime = int64_t;

// Status code in HRESULT form: non-negative for success, negative for failure.
using HRESULT = int32_t;
constexpr HRESULT kS_OK = 0;
constexpr HRESULT kE_FAIL = static_cast<HRESULT>(0x80004005u);

}  // namespace orvacmn

#endif  // ORVACMN_COMMON_TYPES_H_
