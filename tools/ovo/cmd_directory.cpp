// ovo group where STATEMENT
// ovo group view-name GUID
// ovo security allowed PROFILE_FILE NAME
// ovo security account TEXT
// and `ovo object` for the directory classes and the keyed records of the store.
#include <iostream>
#include <memory>
#include <string>

#include "ofl/tools.h"
#include "orvacmn/directory.h"
#include "orvacmn/records.h"
#include "ovo.h"

namespace {

using orvacmn::OVODynamicGroup;
using orvacmn::OVOSecurityProfile;
using orvacmn::OVOSecurityUserOrGroup;

template <class T>
ovo::ObjectFactory Make() {
  return [] { return std::make_unique<T>(); };
}

const ovo::ObjectClass kClasses[] = {
    {"OVODynamicGroup", Make<OVODynamicGroup>()},
    {"OvoSqlCondition", Make<orvacmn::OvoSqlCondition>()},
    {"OVOSecurityProfile", Make<OVOSecurityProfile>()},
    {"OVOSecurityUserOrGroup", Make<OVOSecurityUserOrGroup>()},
};

// Every keyed record class by its catalogued name.
[[maybe_unused]] const bool kKeyedRecordsRegistered = [] {
  for (const orvacmn::KeyedRecordClass& c : orvacmn::kKeyedRecordClasses)
    ovo::ObjectClass(std::string(c.className).c_str(), [create = c.create] { return create(); });
  return true;
}();

int RunViewName(const std::string& guid) {
  if (!OFL::Tools::IsGuid(guid)) return ovo::Error("not a GUID: " + guid);
  std::cout << OVODynamicGroup::GenerateViewName(guid) << "\n";
  return 0;
}

int RunAllowed(const std::string& file, const std::string& name) {
  std::string text;
  if (!ovo::ReadInput(file, text)) return 1;
  OVOSecurityProfile profile;
  if (profile.Unpack(text) == 0) return ovo::Error("no <" + profile.GetObjectName() + "> element in the input");
  std::cout << profile.IsAllowed(name) << "\n";
  return 0;
}

int RunAccount(const std::string& text) {
  OVOSecurityUserOrGroup account;
  account.SetUserOrGroup(text);
  std::cout << account.GetUserOrGroup() << "\n"
            << account.GetType() << "\n"
            << account.GetDomain() << "\n"
            << account.GetName() << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* group = app.add_subcommand("group", "Dynamic group statements and view names");
  group->require_subcommand(1);

  auto statement = std::make_shared<std::string>();
  auto* cmd = group->add_subcommand("where", "Position of the WHERE keyword of STATEMENT (-1 for none)");
  cmd->add_option("STATEMENT", *statement, "A selection statement")->required();
  cmd->callback([statement, &exitCode] {
    orvacmn::OvoSqlCondition condition;
    condition.SetStatement(*statement);
    std::cout << condition.FindWhereClause() << "\n";
    exitCode = 0;
  });

  auto guid = std::make_shared<std::string>();
  cmd = group->add_subcommand("view-name", "Database view name of the dynamic group GUID");
  cmd->add_option("GUID", *guid, "The group's GUID")->required();
  cmd->callback([guid, &exitCode] { exitCode = RunViewName(*guid); });

  auto* security = app.add_subcommand("security", "Security profiles and console accounts");
  security->require_subcommand(1);

  auto file = std::make_shared<std::string>();
  auto name = std::make_shared<std::string>();
  cmd = security->add_subcommand("allowed", "Allowed value of the right NAME in a packed security profile");
  cmd->add_option("PROFILE_FILE", *file, "Packed \"SecurityProfile\" (- for stdin)")->required();
  cmd->add_option("NAME", *name, "Right name (case ignored)")->required();
  cmd->callback([file, name, &exitCode] { exitCode = RunAllowed(*file, *name); });

  auto account = std::make_shared<std::string>();
  cmd = security->add_subcommand("account", "Stored text, type, domain and name of a console account");
  cmd->add_option("TEXT", *account, "DOMAIN\\USER, USER@DOMAIN, a path with \"/\", or \"*\"")->required();
  cmd->callback([account, &exitCode] { exitCode = RunAccount(*account); });
}

const ovo::Registration reg(82, Register);

}  // namespace
