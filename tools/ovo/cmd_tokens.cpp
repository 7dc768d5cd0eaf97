// ovo tokens pack [ENTRY...] | unpack [FILE]: the length-packed String form
// of a list of Strings.
#include <cstdio>
#include <iostream>
#include <vector>

#include "ofl/tokenizer.h"
#include "ovo.h"

namespace {

// A JSON string literal; bytes from 0x80 pass through unchanged, so UTF-8
// entries stay readable.
std::string JsonString(std::string_view s) {
  std::string out = "\"";
  for (const char c : s) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

int Unpack(const std::string& file) {
  std::string text;
  if (!ovo::ReadInput(file, text)) return 1;
  OFLTokenizer tokens;
  if (!tokens.FromLengthPackedString(text)) {
    const bool newline = !text.empty() && text.back() == '\n' &&
                         OFLTokenizer().FromLengthPackedString(std::string_view(text).substr(0, text.size() - 1));
    return ovo::Error(newline ? "malformed length-packed text: the trailing newline is not part of any entry"
                              : "malformed length-packed text");
  }
  std::string json = "[";
  for (int32_t i = 0; i < tokens.GetCount(); ++i) {
    if (i > 0) json += ',';
    json += JsonString(tokens[i]);
  }
  json += ']';
  std::cout << json << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* group = app.add_subcommand("tokens", "Length-packed lists of strings");
  group->require_subcommand(1);

  auto entries = std::make_shared<std::vector<std::string>>();
  auto* pack = group->add_subcommand(
      "pack", "Print the length-packed form of the entries (each as its byte length, \":\", its bytes)");
  pack->add_option("ENTRY", *entries, "Entries in order; put \"--\" before entries that begin with \"-\"");
  pack->callback([entries, &exitCode] {
    OFLTokenizer tokens;
    for (const auto& e : *entries) tokens.AddString(e);
    std::cout << tokens.AsLengthPackedString() << "\n";
    exitCode = 0;
  });

  auto file = std::make_shared<std::string>();
  auto* unpack = group->add_subcommand(
      "unpack",
      "Print the entries of a length-packed text as one JSON array of strings. The input is read byte for byte: "
      "a trailing newline is part of the text and makes it malformed (exit 1)");
  unpack->add_option("FILE", *file, "Length-packed text (default: stdin)");
  unpack->callback([file, &exitCode] { exitCode = Unpack(*file); });
}

const ovo::Registration reg(30, Register);

}  // namespace
