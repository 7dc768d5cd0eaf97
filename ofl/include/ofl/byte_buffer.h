// OFL::ByteBuffer: the byte vector that binary contents (message contents,
// compressed and base64-decoded data) travel in.
#ifndef OFL_BYTE_BUFFER_H_
#define OFL_BYTE_BUFFER_H_

#include <cstdint>
#include <vector>

namespace OFL {

using ByteBuffer = std::vector<uint8_t>;

}  // namespace OFL

#endif  // OFL_BYTE_BUFFER_H_
