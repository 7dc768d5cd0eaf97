// OFL::TextFileReader: a text file read as lines of UTF-8, whatever its
// encoding. Setup files from driver packages come as UTF-16 (either byte
// order, with a byte-order mark), UTF-8 with or without a mark, or 8-bit
// Windows-1252 text; lines end with CR LF or LF, the last one perhaps with
// neither. A Ctrl-Z ends the text, as the platform's text mode reads it;
// NUL characters are dropped.
//
// The whole file is read and decoded on Open; the reader then hands out its
// lines. One thread at a time; no shared state.
#ifndef OFL_TEXT_FILE_H_
#define OFL_TEXT_FILE_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ofl/error_message.h"
#include "ofl/string.h"

namespace OFL {

class TextFileReader {
 public:
  enum class Encoding { kUtf8, kUtf8Bom, kUtf16LE, kUtf16BE, kWindows1252 };

  // Reads and decodes `path`; 0, or the Win32 error code of the failure
  // (2 file not found, 3 path not found, 5 access denied, ...).
  uint32_t Open(const String& path);
  // Decodes bytes already in memory.
  void OpenBytes(std::string_view bytes);

  // Size of the file in bytes, as stored (before decoding).
  uint64_t GetByteSize() const { return byteSize_; }
  Encoding GetEncoding() const { return encoding_; }
  // The whole decoded text.
  const String& GetText() const { return text_; }
  // The next line without its line end; false after the last line.
  bool ReadString(String& line);
  // The same line as a view into the decoded text, valid until the next Open.
  bool ReadLine(std::string_view& line);

  // The UTF-8 text of `bytes`. A byte-order mark decides; without one, text
  // with a NUL in the first code unit is read as UTF-16 of that byte order,
  // valid UTF-8 stays as it is and anything else is read as Windows-1252.
  static String Decode(std::string_view bytes, Encoding* encoding = nullptr);

 private:
  String text_;
  size_t pos_ = 0;
  uint64_t byteSize_ = 0;
  Encoding encoding_ = Encoding::kUtf8;
};

}  // namespace OFL

#endif  // OFL_TEXT_FILE_H_
