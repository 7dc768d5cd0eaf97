// Readable texts for the Win32 and HRESULT codes the library produces.
#ifndef OFL_ERROR_MESSAGE_H_
#define OFL_ERROR_MESSAGE_H_

#include <cstdint>

#include "ofl/string.h"

namespace OFL {
namespace ErrorMessage {

// The system text of a Win32 error (0..0xFFFF), an HRESULT (such as
// 0x80004005, or 0x8007xxxx wrapping a Win32 error) or a success code. An
// unknown code gives "Unknown error 0x%08X".
String TranslateValue(uint32_t code);
inline String TranslateValue(int32_t code) { return TranslateValue(static_cast<uint32_t>(code)); }

}  // namespace ErrorMessage

// The Win32 error codes that file operations report.
namespace Win32 {
constexpr uint32_t kFileNotFound = 2, kPathNotFound = 3, kTooManyOpenFiles = 4, kAccessDenied = 5,
                   kNotEnoughMemory = 8, kWriteProtect = 19, kReadFault = 30, kGenFailure = 31,
                   kSharingViolation = 32, kFileExists = 80, kInvalidParameter = 87, kDiskFull = 112,
                   kFilenameExcedRange = 206;
}  // namespace Win32

// The Win32 error code that corresponds to a failed file operation's errno
// on `path`; a missing file in an existing directory is "file not found", a
// missing directory on the way "path not found", as on the original
// platform. Unknown values give "general failure".
uint32_t Win32ErrorFromErrno(int err, const String& path);

// Common status codes, as the platform defines them.
constexpr int32_t S_OK_ = 0;
constexpr int32_t E_FAIL_ = static_cast<int32_t>(0x80004005u);

}  // namespace OFL

#endif  // OFL_ERROR_MESSAGE_H_
