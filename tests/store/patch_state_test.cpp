// The patch state file between stores: export, import of changed levels only,
// and the refusals that leave the store as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

#include "ofl/xml_parser.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/records/keyed_records.h"
#include "orvacmn/server/patch_status_serializer.h"
#include "store_helpers.h"

namespace store_test {
namespace {

using namespace orvacmn;  // NOLINT

constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005u);

// A store of its own with patches of the given levels.
struct PatchStore {
  PatchStore(const std::string& location, std::initializer_list<std::pair<const char*, int>> levels)
      : store(Reopen(location, true)) {
    db = std::make_unique<CDBAccess>(store);
    for (const auto& [guid, level] : levels) {
      OVOPTMPatch p;
      p.SetGUID(guid);
      p.SetGUIDBulletin("B-1");
      p.SetName(std::string("Patch ") + guid);
      p.SetBulletin("MS-01");
      p.SetReleaseLevel(level);
      String out;
      EXPECT_EQ(db->CreatePTMPatch(p, out), S_OK) << out;
    }
  }
  int Level(const char* guid) {
    OVOPTMPatch p;
    String out;
    return db->LoadPTMPatch(guid, p, out) == S_OK ? p.GetReleaseLevel().ToInt() : -1;
  }
  // Change stamp of every patch record by key.
  std::map<std::string, uint64_t> Stamps() const {
    std::map<std::string, uint64_t> stamps;
    std::vector<store::StoredRecord> records;
    String error;
    EXPECT_EQ(store->ReadRecords(0, "", 1000, records, error), S_OK) << error;
    for (const auto& r : records)
      if (r.type == kRecordTypePTMPatch) stamps[r.key] = r.stamp;
    return stamps;
  }
  std::shared_ptr<RecordStore> store;
  std::unique_ptr<CDBAccess> db;
};

using orvacmn::testing::ReadFile;
using orvacmn::testing::WriteFile;

std::string States(const std::string& version, const std::string& patches) {
  return "<OVSSpecialImport><PTMPatchStates version=\"" + version + "\" count=\"1\">" + patches +
         "</PTMPatchStates></OVSSpecialImport>";
}
std::string Entry(const std::string& guid, const std::string& state) {
  return "<Patch name=\"n\" guid=\"" + guid + "\" guid_bulletin=\"x\" bulletin=\"y\" state=\"" + state + "\"/>";
}

class PatchState : public StoreFixture {
 protected:
  HRESULT ImportText(PatchStore& store, const std::string& text) {
    WriteFile(dir_.File("in.xml"), text);
    return CPatchStatusSerializer::Import(store.db.get(), dir_.File("in.xml"), message_);
  }
  String message_;
};

TEST_P(PatchState, ExportThenImportCarriesOnlyChangedLevels) {
  PatchStore empty(location_, {});
  ASSERT_EQ(CPatchStatusSerializer::Export(empty.db.get(), dir_.File("e.xml"), message_), S_OK);
  EXPECT_EQ(ReadFile(dir_.File("e.xml")),
            "<OVSSpecialImport><PTMPatchStates version=\"1.0\" count=\"0\"/></OVSSpecialImport>\n");

  PatchStore a(NewLocation(), {{"P0", 100}, {"P1", 500}, {"P2", 300}});
  PatchStore b(NewLocation(), {{"P1", 400}, {"P2", 300}, {"P4", 200}});
  ASSERT_EQ(CPatchStatusSerializer::Export(a.db.get(), dir_.File("a.xml"), message_), S_OK);
  EXPECT_EQ(message_, "");
  EXPECT_EQ(std::filesystem::status(dir_.File("a.xml")).permissions(), std::filesystem::perms(0644));
  const std::string file = ReadFile(dir_.File("a.xml"));
  EXPECT_NE(file.find("count=\"3\""), std::string::npos);
  EXPECT_NE(file.find("<Patch name=\"Patch P1\" guid=\"P1\" guid_bulletin=\"B-1\" bulletin=\"MS-01\" state=\"500\"/>"),
            std::string::npos);

  const auto before = b.Stamps();
  // P0 is not in b: skipped, not created; the last entry loads, so the import succeeds.
  EXPECT_EQ(CPatchStatusSerializer::Import(b.db.get(), dir_.File("a.xml"), message_), S_OK);
  EXPECT_EQ(message_, "Patch state import succeeded. 2 patch states were read, 1 skipped and 1 valued changed.");
  EXPECT_EQ(b.Level("P0"), -1);
  EXPECT_EQ(b.Level("P1"), 500);
  EXPECT_EQ(b.Level("P4"), 200);
  auto after = b.Stamps();
  ASSERT_EQ(after.size(), 3u);
  auto was = before.begin();
  for (const auto& [key, stamp] : after) {  // p1, p2, p4 in key order (folded): only P1 saved
    EXPECT_EQ(stamp != was->second, key.find("p1") != std::string::npos) << key;
    ++was;
  }
}

TEST_P(PatchState, RefusalsAndSkipsLeaveTheStore) {
  PatchStore s(location_, {{"P1", 500}});
  const auto stamps = s.Stamps();

  EXPECT_EQ(ImportText(s, States("1.1", Entry("P1", "100"))), kFail);
  EXPECT_EQ(message_, "Incompatible version of patch state import file (1.1, expected: <=1.0)");
  EXPECT_EQ(ImportText(s, States("1.0 ", Entry("P1", "100"))), kFail);
  EXPECT_EQ(ImportText(s, "<ovsspecialimport/>"), kFail);
  EXPECT_EQ(message_, "Error reading patch state import file. Root tag <OVSSpecialImport> not found!");
  EXPECT_EQ(ImportText(s, "<OVSSpecialImport><Patch/>"), kFail);  // not well-formed
  EXPECT_EQ(message_, "Error reading patch state import file. Root tag <OVSSpecialImport> not found!");
  EXPECT_EQ(ImportText(s, "<OVSSpecialImport><PTMPatchState/></OVSSpecialImport>"), kFail);
  EXPECT_EQ(message_, "Error reading patch state import file. Tag <PTMPatchStates> not found!");

  // Equal level (also as "+500xyz"): read, not changed, not saved.
  EXPECT_EQ(ImportText(s, States("1.0", Entry("P1", "+500xyz"))), S_OK);
  EXPECT_EQ(message_, "Patch state import succeeded. 1 patch states were read, 0 skipped and 0 valued changed.");
  // An unknown GUID last decides the outcome, and is never created; "*" names no patch.
  EXPECT_EQ(ImportText(s, States("1.0", Entry("P1", "500") + Entry("*", "100") + Entry("NOPE", "100"))), 1);
  EXPECT_EQ(message_,
            "Patch state import failed. 1 patch states were read, 2 skipped and 0 valued changed. "
            "Error: Patch [NOPE] not found");
  EXPECT_EQ(s.Level("NOPE"), -1);
  EXPECT_EQ(ImportText(s, States("1.0", Entry("*", "100"))), 1);
  EXPECT_EQ(message_, "Patch state import failed. 0 patch states were read, 1 skipped and 0 valued changed. "
                      "Error: Patch [*] not found");
  EXPECT_EQ(s.Stamps(), stamps);

  EXPECT_EQ(CPatchStatusSerializer::Import(s.db.get(), dir_.File("missing.xml"), message_),
            static_cast<HRESULT>(0x80070002u));
  EXPECT_EQ(message_, "Error reading patch state import file [" + dir_.File("missing.xml") +
                          "]: The system cannot find the file specified.");
  EXPECT_EQ(CPatchStatusSerializer::Import(s.db.get(), dir_.File(""), message_), static_cast<HRESULT>(0x80070005u));
  EXPECT_EQ(CPatchStatusSerializer::Import(nullptr, dir_.File("in.xml"), message_), kFail);
  EXPECT_EQ(CPatchStatusSerializer::Import(s.db.get(), "", message_), 1);
  EXPECT_EQ(CPatchStatusSerializer::Export(s.db.get(), dir_.File("none/x.xml"), message_), kFail);
  EXPECT_EQ(message_, "Error saving patch state file [" + dir_.File("none/x.xml") +
                          "]: The system cannot find the path specified.");
  // A folder in the way: refused, and no half-written file left beside it.
  std::filesystem::create_directory(dir_.File("folder"));
  const auto entries = [&] { return std::distance(std::filesystem::directory_iterator(dir_.File("")), {}); };
  const auto before = entries();
  EXPECT_EQ(CPatchStatusSerializer::Export(s.db.get(), dir_.File("folder"), message_), kFail);
  EXPECT_EQ(entries(), before);
  EXPECT_EQ(CPatchStatusSerializer::Export(s.db.get(), "", message_), 1);

  // No digits read as 0, outside the levels: the level becomes "not specified".
  EXPECT_EQ(ImportText(s, States("1.0", Entry("P1", "high"))), S_OK);
  EXPECT_EQ(message_, "Patch state import succeeded. 1 patch states were read, 0 skipped and 1 valued changed.");
  EXPECT_EQ(s.Level("P1"), 200);
}

TEST_P(PatchState, ImportFromAPositionedParser) {
  PatchStore s(location_, {{"P1", 500}, {"P2", 500}});
  OFLXMLParser xml(States("1.0", Entry("P2", "400") + "<Other/>" + Entry("P1", "300")));
  ASSERT_TRUE(xml.FindElem("OVSSpecialImport") && xml.IntoElem() && xml.FindElem("PTMPatchStates"));
  EXPECT_EQ(CPatchStatusSerializer::Import(nullptr, &xml, message_), kFail);
  EXPECT_EQ(CPatchStatusSerializer::Import(s.db.get(), &xml, message_), S_OK);
  EXPECT_EQ(message_, "Patch state import succeeded. 2 patch states were read, 0 skipped and 2 valued changed.");
  EXPECT_EQ(xml.GetTagName(), "PTMPatchStates");  // left where it stood
  EXPECT_EQ(s.Level("P1"), 300);
  EXPECT_EQ(s.Level("P2"), 400);
}

STORE_TEST_ON_EVERY_KIND(PatchState);

}  // namespace
}  // namespace store_test
