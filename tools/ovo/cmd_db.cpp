// ovo db families                              RECORD_TYPE<TAB>FAMILY, one a line
// ovo db load DB FAMILY KEY...                 the packed object
// ovo db list DB FAMILY [KEY...] [--where NAME=VALUE]...   one packed object a line
// ovo db create DB FAMILY FILE                 the store's answer, when any
// ovo db save DB FAMILY FILE                   under the record's own key fields
// ovo db delete DB FAMILY KEY...
//
// The typed operations of the record families over a store (a file or a
// PostgreSQL URL, see ovo store): FAMILY is
// a family name as `families` prints it, KEY the key strings of its single
// load in order. A record comes back packed by its family's class when the
// tool knows the class, else as stored. Exit status: 0 done; 1 not found
// (load: one line "0xSTATUS<TAB>TEXT" on stdout, the family's not-found
// status and text; delete: nothing to delete); 2 usage and store errors,
// with the store's text on stderr.
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "orvacmn/persistence/db_access.h"
#include "orvacmn/persistence/record_families.h"
#include "orvacmn/persistence/typed_load.h"
#include "ovo.h"
#include "store_location.h"

namespace {

using orvacmn::RecordFamily;
using orvacmn::String;

struct DbArgs {
  std::string db, family, file;
  std::vector<std::string> keys, where;
};

// A record as the store holds it: the typed path's object for any family.
using StoredText = orvacmn::CRecordText;

struct StoredTexts {
  std::vector<std::unique_ptr<StoredText>> items;
  void AddTail(StoredText* item) { items.emplace_back(item); }
};

// The record packed by its family's class, when the tool knows it.
String Repacked(const RecordFamily& family, const String& record) {
  const auto& classes = ovo::ObjectClasses();
  const auto at = classes.find(std::string(family.className));
  if (at == classes.end()) return record;
  auto object = at->second();
  if (object->Unpack(record) == 0) return record;
  return object->Pack();
}

std::vector<std::string_view> Views(const std::vector<std::string>& texts) {
  return {texts.begin(), texts.end()};
}

class DbCall {
 public:
  // 0 when the store is open and the family known, else the exit status.
  int Open(const DbArgs& a) {
    family_ = orvacmn::FindRecordFamily(std::string_view(a.family));
    if (family_ == nullptr) return ovo::Error("unknown record family: " + a.family + " (see ovo db families)", 2);
    auto store = ovo::OpenStore(a.db);
    if (!store) return 2;
    db_ = std::make_unique<orvacmn::CDBAccess>(store);
    return 0;
  }
  const RecordFamily& family() const { return *family_; }
  orvacmn::CDBAccess& db() { return *db_; }

 private:
  const RecordFamily* family_ = nullptr;
  std::unique_ptr<orvacmn::CDBAccess> db_;
};

int StoreFailure(const String& text) { return ovo::Error(text, 2); }

int RunFamilies() {
  for (const RecordFamily& f : orvacmn::kRecordFamilies) std::cout << f.type << '\t' << f.family << '\n';
  return 0;
}

int RunLoad(const DbArgs& a) {
  DbCall call;
  if (const int status = call.Open(a)) return status;
  const RecordFamily& family = call.family();
  const auto keys = Views(a.keys);
  StoredText record;
  String out;
  bool found = false;
  const HRESULT hr = orvacmn::LoadOne(call.db(), family, keys, record, out, orvacmn::kLoadAllFlags, &found);
  // A store failure may carry the not-found status too: its text tells.
  if (FAILED(hr) && out != orvacmn::NotFoundOf(family, keys).text) return StoreFailure(out);
  if (!found) {
    // A family whose missing records are no failure names the key itself.
    const String text = family.ReportsMissing()
                            ? out
                            : String(family.family) + " [" + orvacmn::MakeRecordKeyFrom(keys) + "] not found";
    char status[16];
    std::snprintf(status, sizeof status, "0x%08X", static_cast<uint32_t>(family.ReportsMissing() ? hr : 0));
    std::cout << status << '\t' << text << '\n';
    return 1;
  }
  std::cout << Repacked(family, record.text) << '\n';
  return 0;
}

int RunList(const DbArgs& a) {
  std::vector<orvacmn::RecordCondition> conditions;
  for (const std::string& w : a.where) {
    const size_t eq = w.find('=');
    if (eq == std::string::npos || eq == 0) return ovo::Error("--where takes NAME=VALUE: " + w, 2);
    conditions.emplace_back(std::string_view(w).substr(0, eq), std::string_view(w).substr(eq + 1));
  }
  DbCall call;
  if (const int status = call.Open(a)) return status;
  StoredTexts records;
  String out;
  const HRESULT hr = orvacmn::LoadList<StoredText>(call.db(), call.family(), Views(a.keys), conditions,
                                                    orvacmn::kLoadAllFlags, records, out);
  if (FAILED(hr)) return StoreFailure(out);
  for (const auto& r : records.items) std::cout << Repacked(call.family(), r->text) << '\n';
  return 0;
}

// The record of FILE, its last line end dropped.
bool ReadRecord(const std::string& file, StoredText& record) {
  if (!ovo::ReadInput(file, record.text)) return false;
  while (!record.text.empty() && (record.text.back() == '\n' || record.text.back() == '\r')) record.text.pop_back();
  return true;
}

int RunWrite(const DbArgs& a, bool create) {
  StoredText record;
  if (!ReadRecord(a.file, record)) return 2;
  DbCall call;
  if (const int status = call.Open(a)) return status;
  String out;
  const HRESULT hr = create ? orvacmn::CreateOne(call.db(), call.family(), record, out)
                            : orvacmn::SaveOne(call.db(), call.family(), record, out);
  if (FAILED(hr)) return StoreFailure(out);
  if (!out.empty()) std::cout << out << '\n';
  return 0;
}

int RunDelete(const DbArgs& a) {
  DbCall call;
  if (const int status = call.Open(a)) return status;
  String out;
  const HRESULT hr = orvacmn::DeleteOne(call.db(), call.family(), Views(a.keys), out);
  if (FAILED(hr)) return StoreFailure(out);
  if (hr == orvacmn::store::kStatusNothingDeleted) return ovo::Error("not found", 1);
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* db = app.add_subcommand("db", "Typed load, list, create, save and delete by record family on a store");
  db->require_subcommand(1);
  db->add_subcommand("families", "Print every record family: RECORD_TYPE<TAB>FAMILY")->callback([&exitCode] {
    exitCode = RunFamilies();
  });
  const auto add = [&](const char* name, const char* help, auto run) {
    auto args = std::make_shared<DbArgs>();
    auto* cmd = db->add_subcommand(name, help);
    cmd->add_option("DB", args->db, ovo::kStoreHelp)->required();
    cmd->add_option("FAMILY", args->family, "Record family (ovo db families)")->required();
    cmd->callback([args, run, &exitCode] { exitCode = run(*args); });
    return std::make_pair(cmd, args);
  };
  auto [load, loadArgs] = add("load", "Print the object the key strings name", RunLoad);
  load->add_option("KEY", loadArgs->keys, "Key strings in the family's order")->required();
  auto [list, listArgs] = add("list", "Print the objects of a family, one a line", RunList);
  list->add_option("KEY", listArgs->keys, "Leading key strings (default: every record)");
  list->add_option("--where", listArgs->where, "Only records whose field NAME is VALUE (repeatable)");
  auto [create, createArgs] = add("create", "Create the record of FILE (or stdin)", [](const DbArgs& a) {
    return RunWrite(a, true);
  });
  create->add_option("FILE", createArgs->file, "Record text; stdin when absent or -");
  auto [save, saveArgs] = add("save", "Save the record of FILE (or stdin) under its key fields", [](const DbArgs& a) {
    return RunWrite(a, false);
  });
  save->add_option("FILE", saveArgs->file, "Record text; stdin when absent or -");
  auto [del, delArgs] = add("delete", "Delete the record the key strings name", RunDelete);
  del->add_option("KEY", delArgs->keys, "Key strings in the family's order")->required();
}

const ovo::Registration reg(125, Register);

}  // namespace
