#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <vector>

#include "ovo.h"

namespace ovo {
namespace {

std::vector<std::pair<int, RegisterFn>>& Registrations() {
  static std::vector<std::pair<int, RegisterFn>> list;
  return list;
}

std::map<std::string, ObjectFactory>& MutableObjectClasses() {
  static std::map<std::string, ObjectFactory> classes;
  return classes;
}

}  // namespace

Registration::Registration(int order, RegisterFn fn) { Registrations().emplace_back(order, fn); }

ObjectClass::ObjectClass(const char* className, ObjectFactory factory) {
  MutableObjectClasses().emplace(className, std::move(factory));
}

const std::map<std::string, ObjectFactory>& ObjectClasses() { return MutableObjectClasses(); }

int Error(const std::string& message, int code) {
  std::string line = message;
  std::replace(line.begin(), line.end(), '\n', ' ');
  std::cerr << "ovo: " << line << "\n";
  return code;
}

bool ReadInput(const std::string& file, std::string& out) {
  const bool standardInput = file.empty() || file == "-";
  const auto fail = [&](int error) {
    Error("cannot read " + (standardInput ? std::string("standard input") : file) + ": " + std::strerror(error));
    return false;
  };
  std::FILE* in = standardInput ? stdin : std::fopen(file.c_str(), "rb");
  if (in == nullptr) return fail(errno);
  out.clear();
  char buf[1 << 16];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) out.append(buf, n);
  // A folder opens, and fails at the first read.
  const int error = std::ferror(in) ? errno : 0;
  if (!standardInput) std::fclose(in);
  return error == 0 || fail(error);
}

bool ReadObject(const std::string& file, orvacmn::OVOXMLSupport& object) {
  std::string text;
  if (!ReadInput(file, text)) return false;
  if (object.Unpack(text) != 0) return true;
  Error("no <" + object.GetObjectName() + "> element in the input");
  return false;
}

bool ParseNumber(const std::string& text, uint64_t& value) {
  if (text.empty()) return false;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.size() > (hex ? 16u : 20u)) return false;
  uint64_t v = 0;
  for (char c : digits) {
    unsigned d;
    if (c >= '0' && c <= '9') d = unsigned(c - '0');
    else if (hex && c >= 'a' && c <= 'f') d = unsigned(c - 'a' + 10);
    else if (hex && c >= 'A' && c <= 'F') d = unsigned(c - 'A' + 10);
    else return false;
    if (!hex && v > (UINT64_MAX - d) / 10) return false;
    v = v * (hex ? 16 : 10) + d;
  }
  value = v;
  return true;
}

std::string Hex(uint64_t value) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(value));
  return buf;
}

const CLI::Validator& NumberValidator() {
  static const CLI::Validator v(
      [](std::string& s) {
        uint64_t ignored;
        return ParseNumber(s, ignored) ? std::string() : "not a decimal or 0x hexadecimal number: " + s;
      },
      "NUMBER");
  return v;
}

}  // namespace ovo

int main(int argc, char** argv) {
  CLI::App app{"ovo: pack, unpack, convert and expand with the orvacmn library"};
  app.require_subcommand(1);
  app.set_help_all_flag("--help-all", "Print help of every command");
  int exitCode = 0;
  auto& regs = ovo::Registrations();
  std::stable_sort(regs.begin(), regs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& r : regs) r.second(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    return app.exit(e);  // --help
  } catch (const CLI::ParseError& e) {
    return ovo::Error(e.what(), 2);
  }
  std::cout.flush();
  return exitCode;
}
