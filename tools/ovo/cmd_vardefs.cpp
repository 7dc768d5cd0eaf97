// ovo vardefs date TEXT
// ovo vardefs valid-name NAME
// ovo vardefs types
// ovo vardefs names [FILE]
// ovo vardefs merge FILE PARENT [--overwrite] [--mark-all] [--own-only]
// Classes for `ovo object`: OVOVars, OVOCustomVarDef, OVOCustomVarDefList,
// OVOCustomVar.
#include <iostream>
#include <memory>

#include "ofl/tokenizer.h"
#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/variables.h"
#include "ovo.h"

namespace {

using orvacmn::OVOCustomVar;
using orvacmn::OVOCustomVarDef;
using orvacmn::OVOCustomVarDefList;
using orvacmn::OVOVars;

const ovo::ObjectClass kVars("OVOVars", [] { return std::make_unique<OVOVars>(); });
const ovo::ObjectClass kCustomVarDef("OVOCustomVarDef", [] { return std::make_unique<OVOCustomVarDef>(); });
const ovo::ObjectClass kCustomVarDefList("OVOCustomVarDefList",
                                         [] { return std::make_unique<OVOCustomVarDefList>(); });
const ovo::ObjectClass kCustomVar("OVOCustomVar", [] { return std::make_unique<OVOCustomVar>(); });

// Seconds since the epoch, then the DB time text and the short date.
int RunDate(const std::string& text) {
  orvacmn::CTime t = 0;
  if (!OVOVars::CTimeFromStringValue(text, t)) return ovo::Error("not a date: " + text);
  std::cout << t << "\t" << orvacmn::OVOHelper::CTimeToDBTime(t) << "\t"
            << orvacmn::OVOHelper::CTimeToSystemDefaultShortDateString(t) << "\n";
  return 0;
}

int RunValidName(const std::string& name) {
  const bool valid = OVOVars::IsValidVarName(name);
  std::cout << (valid ? "valid" : "invalid") << "\n";
  return valid ? 0 : 1;
}

int RunTypes() {
  OFLTokenizer list;
  OVOCustomVarDef::GetTypeList(list);
  for (const auto& text : list) std::cout << OVOCustomVarDef::GetIntTypeFromString(text) << "\t" << text << "\n";
  return 0;
}

// Each variable of a packed set as its full name, "=" and its display value.
int RunNames(const std::string& file) {
  std::string text;
  if (!ovo::ReadInput(file, text)) return 1;
  OVOVars vars;
  if (vars.Unpack(text) == 0) return ovo::Error("no <Vars> element in the input");
  for (const OVOVars::Variable* v : vars) {
    std::cout << vars.GenerateFullName(v) << "="
              << OVOCustomVarDef::FormatValueForDisplay(v->GetTypeForDisplay(), v->GetValue()) << "\n";
  }
  return 0;
}

struct MergeArgs {
  std::string file, parent;
  bool overwrite = false, markAll = false, ownOnly = false;
};

int RunMerge(const MergeArgs& a) {
  std::string text, parentText;
  if (!ovo::ReadInput(a.file, text) || !ovo::ReadInput(a.parent, parentText)) return 1;
  OVOCustomVarDefList list, parent;
  if (list.Unpack(text) == 0) return ovo::Error(a.file + ": no <CustomVarDefList> element");
  if (parent.Unpack(parentText) == 0) return ovo::Error(a.parent + ": no <CustomVarDefList> element");
  list.Merge(parent, a.overwrite, a.markAll);
  std::cout << list.Pack(a.ownOnly) << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* group = app.add_subcommand("vardefs", "Custom variable definitions and values");
  group->require_subcommand(1);

  auto date = std::make_shared<std::string>();
  auto* cmd = group->add_subcommand(
      "date", "Read a variable date (d.m.y, m/d/y, d-m-y or a DB time): seconds, DB time and short date");
  cmd->add_option("TEXT", *date, "Date text")->required();
  cmd->callback([date, &exitCode] { exitCode = RunDate(*date); });

  auto name = std::make_shared<std::string>();
  cmd = group->add_subcommand("valid-name", "Whether NAME is a valid variable name (exit 1 when not)");
  cmd->add_option("NAME", *name, "Variable name")->required();
  cmd->callback([name, &exitCode] { exitCode = RunValidName(*name); });

  cmd = group->add_subcommand("types", "The variable types: number and display text, in menu order");
  cmd->callback([&exitCode] { exitCode = RunTypes(); });

  auto file = std::make_shared<std::string>();
  cmd = group->add_subcommand("names", "Full names and display values of a packed <Vars> set");
  cmd->add_option("FILE", *file, "Packed set (default: stdin)");
  cmd->callback([file, &exitCode] { exitCode = RunNames(*file); });

  auto merge = std::make_shared<MergeArgs>();
  cmd = group->add_subcommand("merge", "Merge the definitions of PARENT into those of FILE and print the result");
  cmd->add_option("FILE", merge->file, "Packed <CustomVarDefList> (\"-\" for stdin)")->required();
  cmd->add_option("PARENT", merge->parent, "Packed <CustomVarDefList> of the parent scope")->required();
  cmd->add_flag("--overwrite", merge->overwrite, "Definitions of PARENT replace present ones");
  cmd->add_flag("--mark-all", merge->markAll, "Mark every definition inherited afterwards");
  cmd->add_flag("--own-only", merge->ownOnly, "Print only definitions that are not inherited");
  cmd->callback([merge, &exitCode] { exitCode = RunMerge(*merge); });
}

const ovo::Registration reg(70, Register);

}  // namespace
