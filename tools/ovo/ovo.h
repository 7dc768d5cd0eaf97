// Shared plumbing of the `ovo` command-line tool.
//
// Conventions: results on stdout followed by a newline; errors as one line on
// stderr; exit status 0 on success, 1 when the operation reports failure, 2 on
// usage errors. Each command group lives in its own file and registers itself
// with a static Registration; packable classes register with ObjectClass so
// that `ovo object CLASS` knows them.
#ifndef OVO_TOOL_OVO_H_
#define OVO_TOOL_OVO_H_

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "orvacmn/objects/xml_support.h"

namespace orvacmn {
class COVKVars;
}

namespace ovo {

// Adds a command group's subcommands to `app`; their callbacks store their
// exit status in `exitCode`.
using RegisterFn = void (*)(CLI::App& app, int& exitCode);

struct Registration {
  // Groups are added in ascending `order` (the order of `ovo --help`).
  Registration(int order, RegisterFn fn);
};

using ObjectFactory = std::function<std::unique_ptr<orvacmn::OVOXMLSupport>()>;

struct ObjectClass {
  ObjectClass(const char* className, ObjectFactory factory);
};
// Registered packable classes by class name (as written in the code).
const std::map<std::string, ObjectFactory>& ObjectClasses();

// Prints "ovo: message" on stderr and returns `code`.
int Error(const std::string& message, int code = 1);
// The whole content of FILE, or of stdin for an empty name or "-", byte for
// byte. False, with "cannot read FILE: reason" printed, when it cannot be
// read (missing, unreadable, a folder); every command then exits with 1.
bool ReadInput(const std::string& file, std::string& out);
// Reads FILE (or stdin) into `object`; false, with an error printed, when the
// file cannot be read or holds no element of the object's name.
bool ReadObject(const std::string& file, orvacmn::OVOXMLSupport& object);
// Decimal or 0x-prefixed hexadecimal, the whole text; false otherwise.
bool ParseNumber(const std::string& text, uint64_t& value);
// "0x" and upper-case hex digits.
std::string Hex(uint64_t value);
// A CLI11 validator accepting what ParseNumber accepts.
const CLI::Validator& NumberValidator();
// Adds the variables of FILE (stdin for "-") to `vars`: a packed <OVSVars>
// set as it is, or a packed <Vars> set under full names. False, with an
// error printed, when the file holds neither.
bool AddVarsFile(orvacmn::COVKVars& vars, const std::string& file);

}  // namespace ovo

#endif  // OVO_TOOL_OVO_H_
