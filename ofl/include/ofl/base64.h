// Base64 (the standard alphabet with "=" padding) for binary contents that
// travel inside XML texts.
//
// Encoding writes one line without breaks, padded. Decoding has no failure:
// it skips blanks, tabs and line breaks anywhere (texts wrapped by other
// writers), takes padding as optional, and ends at the first "=" or at the
// first other character outside the alphabet; the complete bytes read up to
// there are the result (a last group of two or three characters gives one or
// two bytes, a single character none). Work is linear in the text length.
// Stateless; callable from any thread.
#ifndef OFL_BASE64_H_
#define OFL_BASE64_H_

#include <cstdint>
#include <span>
#include <string_view>

#include "ofl/byte_buffer.h"
#include "ofl/string.h"

namespace OFL {

String EncodeBase64(std::span<const uint8_t> bytes);
String EncodeBase64(std::string_view text);

ByteBuffer DecodeBase64(std::string_view text);

}  // namespace OFL

#endif  // OFL_BASE64_H_
