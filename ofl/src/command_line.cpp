#include "ofl/command_line.h"

#include <array>

namespace {

using OFL::String;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool HasProgramExtension(std::string_view word) {
  static constexpr std::array<std::string_view, 9> kExtensions = {".exe", ".com", ".bat", ".cmd", ".msi",
                                                                   ".vbs", ".js",  ".ps1", ".sh"};
  for (std::string_view ext : kExtensions)
    if (word.size() > ext.size() && OFL::EqualsNoCase(word.substr(word.size() - ext.size()), ext)) return true;
  return false;
}

}  // namespace

void OFLCommandLine::SetCommandLine(std::string_view commandLine, bool hasArguments, bool pathMayHoldBlanks) {
  path_.clear();
  arguments_.clear();
  const String text = OFL::Trim(commandLine);
  std::string_view rest;
  if (!text.empty() && text.front() == '"') {
    const size_t close = text.find('"', 1);
    path_ = text.substr(1, close == String::npos ? String::npos : close - 1);
    rest = close == String::npos ? std::string_view() : std::string_view(text).substr(close + 1);
  } else if (!hasArguments) {
    path_ = text;
  } else {
    // Words with their end positions in `text`.
    size_t end = 0, firstEnd = String::npos, switchStart = String::npos, programEnd = String::npos;
    // A bare program name ("echo") ends at its first blank.
    const bool bareName = text.substr(0, text.find_first_of(" \t")).find_first_of("\\/:") == String::npos;
    if (bareName) pathMayHoldBlanks = false;
    for (size_t i = 0; i < text.size() && programEnd == String::npos;) {
      while (i < text.size() && IsBlank(text[i])) ++i;
      const size_t start = i;
      while (i < text.size() && !IsBlank(text[i])) ++i;
      if (i == start) break;
      const std::string_view word = std::string_view(text).substr(start, i - start);
      if (firstEnd == String::npos) {
        firstEnd = i;
      } else if (switchStart == String::npos && (word.front() == '/' || word.front() == '-')) {
        switchStart = start;
      }
      if (switchStart == String::npos && HasProgramExtension(word)) programEnd = i;
      end = i;
    }
    if (!pathMayHoldBlanks) end = firstEnd;
    else if (programEnd != String::npos) end = programEnd;
    else if (switchStart != String::npos) end = switchStart;
    path_ = OFL::TrimRight(std::string_view(text).substr(0, end == String::npos ? 0 : end));
    rest = std::string_view(text).substr(path_.size());
  }
  if (hasArguments) arguments_ = SplitArguments(rest);
}

std::vector<OFL::String> OFLCommandLine::SplitArguments(std::string_view text) {
  std::vector<String> args;
  size_t i = 0;
  while (true) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i >= text.size()) break;
    String arg;
    bool quoted = false;
    while (i < text.size() && (quoted || !IsBlank(text[i]))) {
      if (text[i] == '\\') {
        size_t n = 0;
        while (i < text.size() && text[i] == '\\') ++n, ++i;
        if (i < text.size() && text[i] == '"') {
          arg.append(n / 2, '\\');
          if (n % 2 == 1) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(n, '\\');
        }
      } else if (text[i] == '"') {
        if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
          arg += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        arg += text[i++];
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

OFL::String OFLCommandLine::QuoteArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos) return String(argument);
  String out = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  out += '"';
  return out;
}
