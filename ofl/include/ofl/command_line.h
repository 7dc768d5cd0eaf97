// OFLCommandLine: a Windows command line taken apart into the program's file
// path and its arguments. Arguments follow the platform's rules: blanks and
// tabs separate them outside double quotes; 2n backslashes before a quote
// give n backslashes and the quote opens or closes, 2n+1 give n and a
// literal quote; "" inside quotes is a literal quote; other backslashes are
// plain characters.
//
// The program's path may hold blanks without quotes, as paths on shares
// often do: when its first word names a folder ("\", "/" or ":" in it), it
// runs to the first word that ends in a program's extension (.exe, .com,
// .bat, .cmd, .msi, .vbs, .js, .ps1, .sh), or else to the word before the
// first switch ("/" or "-"), or else to the end. A bare name ("msiexec")
// ends at the first blank.
//
// A plain value; any thread.
#ifndef OFL_COMMAND_LINE_H_
#define OFL_COMMAND_LINE_H_

#include <string_view>
#include <vector>

#include "ofl/string.h"

class OFLCommandLine {
 public:
  using String = OFL::String;

  OFLCommandLine() = default;
  OFLCommandLine(std::string_view commandLine, bool hasArguments, bool pathMayHoldBlanks) {
    SetCommandLine(commandLine, hasArguments, pathMayHoldBlanks);
  }

  // `hasArguments` false takes the whole (trimmed, unquoted) text as the
  // path; `pathMayHoldBlanks` false ends an unquoted path at the first blank.
  void SetCommandLine(std::string_view commandLine, bool hasArguments, bool pathMayHoldBlanks);

  const String& GetFilePath() const { return path_; }
  const std::vector<String>& GetArguments() const { return arguments_; }

  // The arguments of `text` by the rules above.
  static std::vector<String> SplitArguments(std::string_view text);
  // One argument quoted so that SplitArguments gives it back unchanged.
  static String QuoteArgument(std::string_view argument);

 private:
  String path_;
  std::vector<String> arguments_;
};

#endif  // OFL_COMMAND_LINE_H_
