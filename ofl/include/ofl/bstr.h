// Stand-ins for the component interface's string and status types: wide
// strings that the callee allocates and the caller frees, and 32-bit
// statuses that are negative on failure. UTF-8 Strings are converted to
// UTF-16 only where they cross such an interface. Any thread.
#ifndef OFL_BSTR_H_
#define OFL_BSTR_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

#include "ofl/string.h"

using HRESULT = int32_t;
using BSTR = char16_t*;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// A zero-terminated UTF-16 string with its length stored before it, so that
// it may hold zeros. Null stands for the empty string everywhere.
BSTR SysAllocStringLen(const char16_t* text, size_t length);
void SysFreeString(BSTR text);
size_t SysStringLen(const char16_t* text);

namespace OFL {

// UTF-8 to UTF-16 and back; invalid sequences become U+FFFD.
std::u16string ToUtf16(std::string_view text);
String FromUtf16(std::u16string_view text);

// Owns one BSTR. As an argument it passes the string; `Out()` hands the
// callee a slot to allocate into (freeing what was held).
class ScopedBstr {
 public:
  ScopedBstr() = default;
  explicit ScopedBstr(std::string_view utf8);
  ~ScopedBstr() { SysFreeString(text_); }
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
  ScopedBstr(ScopedBstr&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
  ScopedBstr& operator=(ScopedBstr&& other) noexcept;

  BSTR Get() const { return text_; }
  BSTR* Out();
  std::u16string_view View() const { return {text_ ? text_ : u"", SysStringLen(text_)}; }
  String ToUtf8() const { return FromUtf16(View()); }
  // Gives up ownership.
  BSTR Release() { return std::exchange(text_, nullptr); }

 private:
  BSTR text_ = nullptr;
};

// A new BSTR holding `utf8`, for a callee to hand back through its result slot.
BSTR AllocBstr(std::string_view utf8);

}  // namespace OFL

#endif  // OFL_BSTR_H_
