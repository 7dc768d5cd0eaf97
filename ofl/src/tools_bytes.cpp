#include "ofl/tools.h"

OFL::ByteBuffer OFLTools::ConvertCStringToByteBuffer(std::string_view text) {
  return OFL::ByteBuffer(text.begin(), text.end());
}

OFL::String OFLTools::ConvertByteBufferToString(std::span<const uint8_t> bytes) {
  return String(bytes.begin(), bytes.end());
}
