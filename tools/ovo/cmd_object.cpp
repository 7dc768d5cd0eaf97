// ovo object CLASS [FILE]: unpack a packed text into CLASS and pack it again.
#include <iostream>

#include "ovo.h"

namespace {

struct Args {
  std::string className;
  std::string file;
};

int Run(const Args& a) {
  const auto& classes = ovo::ObjectClasses();
  const auto it = classes.find(a.className);
  if (it == classes.end()) return ovo::Error("unknown class " + a.className, 2);
  std::string text;
  if (!ovo::ReadInput(a.file, text)) return 1;
  std::unique_ptr<orvacmn::OVOXMLSupport> obj = it->second();
  if (obj->Unpack(text) == 0) {
    OFLXMLParser parser;
    if (!parser.SetDoc(text)) return ovo::Error(a.className + ": not well-formed XML: " + parser.GetError());
    return ovo::Error(a.className + ": no <" + obj->GetObjectName() + "> element in the input");
  }
  std::cout << obj->Pack() << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto args = std::make_shared<Args>();
  auto* cmd = app.add_subcommand("object", "Unpack a packed text into CLASS and print it packed again");
  cmd->add_option("CLASS", args->className, "Class name, e.g. OVOProperties or OVO::Properties")->required();
  cmd->add_option("FILE", args->file, "Packed text (default: stdin)");
  cmd->callback([args, &exitCode] { exitCode = Run(*args); });
}

const ovo::Registration reg(20, Register);

}  // namespace
