// Any text as a patch state file imported into a store of two patches: no
// crash, a message for every outcome, and no patch the store did not hold.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "check.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/records/keyed_records.h"
#include "orvacmn/server/patch_status_serializer.h"
#include "orvacmn_store/sqlite_store.h"

namespace {

using namespace orvacmn;  // NOLINT

struct Fixture {
  std::string dir, file;
  std::unique_ptr<CDBAccess> db;
  Fixture() {
    char tmpl[] = "/tmp/fuzz_patch_stateXXXXXX";
    dir = mkdtemp(tmpl);
    file = dir + "/in.xml";
    db = std::make_unique<CDBAccess>(store::SqliteStore::Open(dir + "/s.db", true, nullptr));
    for (const char* guid : {"P1", "P2"}) {
      OVOPTMPatch p;
      p.SetGUID(guid);
      p.SetReleaseLevel(500);
      String out;
      Check(db->CreatePTMPatch(p, out) == 0, "seed patch not created");
    }
  }
};

}  // namespace

FUZZ_TEXT(text) {
  static Fixture f;
  if (FILE* out = std::fopen(f.file.c_str(), "wb")) {
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
  }
  String message;
  const HRESULT hr = CPatchStatusSerializer::Import(f.db.get(), f.file, message);
  Check(!message.empty(), "no message");
  Check((hr == 0) == (message.rfind("Patch state import succeeded.", 0) == 0), "status and message disagree");
  OVOPTMPatchList all;
  String out;
  Check(f.db->LoadPTMPatches(all, out) == 0 && all.GetCount() == 2, "a patch was created");
}
