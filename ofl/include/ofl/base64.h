// Base64 (the standard alphabet with "=" padding) for binary contents that
// travel inside XML texts.
//
// Encoding writes one line without breaks. Decoding skips line breaks, tabs
// and blanks anywhere in the text (texts wrapped by other writers), requires
// complete four-character groups with padding only at the end, and refuses
// every other character with a reason. Work is linear in the text length.
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

// The decoded bytes; false (with `out` empty and the reason in `error`) for
// a text that is not base64.
bool DecodeBase64(std::string_view text, ByteBuffer& out, String& error);
// The decoded bytes, or empty for a text that is not base64.
ByteBuffer DecodeBase64(std::string_view text);

}  // namespace OFL

#endif  // OFL_BASE64_H_
