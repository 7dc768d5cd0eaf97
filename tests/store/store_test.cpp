#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "orvacmn/objects/properties.h"
#include "orvacmn_store/store_key.h"
#include "store_helpers.h"

namespace store_test {
namespace {

using namespace orvacmn::store;

constexpr const char* kGuidA = "0A1B2C3D-0000-4000-8000-00000000000A";
constexpr const char* kGuidB = "0A1B2C3D-0000-4000-8000-00000000000B";
const std::string kExtraA =
    "<PrimaryMAC>00:11:22:33:44:55</PrimaryMAC><LogicalMAC>02:00:00:00:00:01</LogicalMAC>"
    "<MACList>00:11:22:33:44:55;00:11:22:33:44:66</MACList><LAAList>02:00:00:00:00:01;02:00:00:00:00:02</LAAList>"
    "<IPList>10.0.0.5;192.168.1.5</IPList><PrimaryIP>10.0.0.5</PrimaryIP><Domain>corp.example.com</Domain>";

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    String error;
    store_ = SqliteStore::Open(dir_.File("s.db"), true, &error);
    ASSERT_TRUE(store_) << error;
  }
  std::string GuidOf(const std::string& key) {
    const std::string record = First(*store_, kClientType, key);
    const size_t at = record.find("<GUID>");
    return at == std::string::npos ? "" : record.substr(at + 6, 36);
  }
  ScratchDir dir_;
  std::shared_ptr<SqliteStore> store_;
};

TEST_F(StoreTest, SaveAnswersStampBagThatPropertiesReadsAndWritesItBack) {
  const Reply first = Save(*store_, kClientType, Packed({kGuidA, "1"}), Client(kGuidA, "PC-1"));
  ASSERT_EQ(first.hr, S_OK) << first.text;
  orvacmn::OVO::Properties bag(first.text);
  unsigned long long stamp = 0;
  ASSERT_TRUE(bag.GetProperty("ObjectTimestamp", stamp));
  EXPECT_EQ(first.text, "<Properties><PropertyEntry><Param>ObjectTimestamp</Param><Value>" + std::to_string(stamp) +
                            "</Value></PropertyEntry></Properties>");
  EXPECT_GT(stamp, 133000000000000000ull);  // a FileTime of this century
  const std::string hiLo = std::to_string(stamp >> 32) + "." + std::to_string(stamp & 0xFFFFFFFF);
  EXPECT_EQ(First(*store_, kClientType, ClientKey(kGuidA, 1)), Client(kGuidA, "PC-1", "", hiLo));
  // Stamps strictly increase, however fast the saves come.
  const Reply second = Save(*store_, kClientType, Packed({kGuidA, "1"}), Client(kGuidA, "PC-1"));
  EXPECT_GT(orvacmn::OVO::Properties(second.text).GetMap().at("ObjectTimestamp"), std::to_string(stamp));
}

TEST_F(StoreTest, TimeStampInsertedWhereMissingOrEmpty) {
  for (const std::string& record : {"<Client><GUID>" + std::string(kGuidA) + "</GUID></Client>",
                                   "<Client><GUID>" + std::string(kGuidA) + "</GUID><TimeStamp/></Client>"}) {
    ASSERT_EQ(Save(*store_, kClientType, Packed({kGuidA, "1"}), record).hr, S_OK);
    EXPECT_TRUE(First(*store_, kClientType, ClientKey(kGuidA, 1)).find("<TimeStamp>3") != std::string::npos);
  }
  // The stamp replaces the one the record holds, whatever follows its name,
  // and leaves elements whose names only begin alike.
  for (const char* stamp : {"<TimeStamp>0.0</TimeStamp>", "<TimeStamp\t/>", "<TimeStamp/>", "<TimeStamp></TimeStamp>"}) {
    const std::string record = "<Client><TimeStampOld>7</TimeStampOld>" + std::string(stamp) + "<GUID>" + kGuidA +
                               "</GUID></Client>";
    ASSERT_EQ(Save(*store_, kClientType, Packed({kGuidA, "1"}), record).hr, S_OK) << stamp;
    const std::string stored = First(*store_, kClientType, ClientKey(kGuidA, 1));
    EXPECT_EQ(stored.find("<TimeStamp>"), stored.rfind("<TimeStamp>")) << stored;
    EXPECT_EQ(stored.find("<TimeStamp/"), std::string::npos) << stored;
    EXPECT_NE(stored.find("<TimeStampOld>7</TimeStampOld>"), std::string::npos) << stored;
  }
}

TEST_F(StoreTest, InitRecordTakesTheKeysGuidOrMakesOne) {
  const auto init = [&](const std::string& key) {
    OFL::ScopedBstr k(key), out;
    EXPECT_EQ(store_->InitRecord(kClientType, k.Get(), out.Out()), S_OK);
    const std::string text = out.ToUtf8();
    const size_t at = text.find("<GUID>");
    return at == std::string::npos ? "" : text.substr(at + 6, 36);
  };
  EXPECT_EQ(init(Packed({kGuidA, "1"})), kGuidA);
  const std::string made = init(Packed({"PC-1", "4", "*"}));
  EXPECT_NE(made, "PC-1");
  EXPECT_EQ(made.size(), 36u);
}

TEST_F(StoreTest, EveryKeyKindFindsTheClientThroughItsIndex) {
  ASSERT_EQ(Save(*store_, kClientType, Packed({kGuidA, "1"}), Client(kGuidA, "PC-0042", kExtraA)).hr, S_OK);
  ASSERT_EQ(Save(*store_, kClientType, Packed({kGuidB, "1"}),
                 Client(kGuidB, "PC-7", "<MACList>0G:11:22:33:44:55</MACList><IPList>10.0.0.50</IPList><Domain>@WORK</Domain>"))
                .hr,
            S_OK);
  const struct {
    int kind;
    const char* value;
    const char* guid;
  } cases[] = {
      {1, "{0a1b2c3d-0000-4000-8000-00000000000a}", kGuidA},
      {2, "00-11-22-33-44-66", kGuidA},
      {2, "AA:BB:CC:DD:EE:FF;00:11:22:33:44:55", kGuidA},  // any MAC of the list
      {2, "02:00:00:00:00:01", ""},                       // an LAA is no MAC
      {2, "0g-11-22-33-44-55", ""},                       // no hex digits, no MAC
      {3, "02:00:00:00:00:02", kGuidA},
      {4, "pc-0042", kGuidA},
      {4, "CORP\\PC-0042", kGuidA},  // the first label of the DNS domain
      {4, "corp.example.com\\PC-0042", kGuidA},
      {4, "OTHER\\PC-0042", ""},
      {4, "@WORK\\pc-7", kGuidB},
      {5, "192.168.1.5", kGuidA},
      {5, "10.0.0.50", kGuidB},  // no prefix match on 10.0.0.5
      {5, "10.0.0.005", kGuidA},
      {6, "DESK PC-0042", kGuidA},
      {7, "PC-0042.Corp.Example.com.", kGuidA},
      {7, "pc-7.work", ""},  // a workgroup yields no FQDN
  };
  for (const auto& c : cases) EXPECT_EQ(GuidOf(ClientKey(c.value, c.kind)), c.guid) << c.kind << ":" << c.value;
  EXPECT_EQ(GuidOf(Packed({"10.0.0.50", "*"})), kGuidB);
  EXPECT_EQ(Load(*store_, kClientType, Packed({"x", "8", "*"})).hr, E_INVALIDARG);
  EXPECT_EQ(Load(*store_, kClientType, "not packed").hr, E_INVALIDARG);
  OFLTokenizer all;
  all.FromLengthPackedString(Load(*store_, kClientType, Packed({"*", "*", "*"})).text);
  EXPECT_EQ(all.GetCount(), 2);
}

TEST_F(StoreTest, IndexFollowsSavesAndDeletes) {
  ASSERT_EQ(Save(*store_, kClientType, Packed({kGuidA, "1"}), Client(kGuidA, "OLD", kExtraA)).hr, S_OK);
  ASSERT_EQ(Save(*store_, kClientType, Packed({kGuidA, "1"}), Client(kGuidA, "NEW")).hr, S_OK);
  EXPECT_EQ(GuidOf(ClientKey("old", 4)), "");
  EXPECT_EQ(GuidOf(ClientKey("00:11:22:33:44:55", 2)), "");
  EXPECT_EQ(GuidOf(ClientKey("new", 4)), kGuidA);
  OFL::ScopedBstr key(ClientKey("NEW", 4)), out;
  EXPECT_EQ(store_->DeleteRecord(kClientType, key.Get(), nullptr, out.Out()), S_OK);
  EXPECT_EQ(GuidOf(ClientKey(kGuidA, 1)), "");
  EXPECT_EQ(store_->DeleteRecord(kClientType, key.Get(), nullptr, out.Out()), kStatusNothingDeleted);
}

TEST_F(StoreTest, StaleSaveIsRefusedAndNotNewerLoadAnswersStatus) {
  ASSERT_EQ(Save(*store_, kClientType, Packed({kGuidA, "1"}), Client(kGuidA, "PC-1")).hr, S_OK);
  const std::string loaded = First(*store_, kClientType, ClientKey(kGuidA, 1));
  const Reply mine = Save(*store_, kClientType, Packed({kGuidA, "1"}), loaded);
  ASSERT_EQ(mine.hr, S_OK);
  const Reply theirs = Save(*store_, kClientType, Packed({kGuidA, "1"}), loaded);
  EXPECT_EQ(theirs.hr, kStatusStale);
  EXPECT_NE(theirs.text.find("was changed by someone else"), std::string::npos) << theirs.text;
  EXPECT_EQ(Save(*store_, kClientType, Packed({kGuidA, "1"}), Client(kGuidA, "PC-1")).hr, S_OK);  // stamp 0

  const std::string stamp = orvacmn::OVO::Properties(mine.text).GetMap().at("ObjectTimestamp");
  const auto newer = [&](unsigned long long than) {
    orvacmn::OVO::Properties options;
    options.SetProperty("IfTimestampIsNewer", than);
    return Load(*store_, kClientType, ClientKey(kGuidA, 1), options.Pack());
  };
  const unsigned long long now = std::stoull(stamp) + 1000000;
  EXPECT_EQ(newer(now).hr, orvacmn::kStatusNotNewer);
  EXPECT_EQ(newer(now).text, "");
  EXPECT_EQ(newer(std::stoull(stamp)).hr, S_OK);
}

TEST_F(StoreTest, OtherTypesByKeyPrefixFilterAndLimit) {
  const auto job = [](const char* guid, const char* os) {
    return std::string("<Driver><GUID>") + guid + "</GUID><OSType>" + os + "</OSType></Driver>";
  };
  ASSERT_EQ(Save(*store_, 34, Packed({kGuidB}), job(kGuidB, "4")).hr, S_OK);
  ASSERT_EQ(Save(*store_, 34, Packed({kGuidA, "*"}), job(kGuidA, "8")).hr, S_OK);
  EXPECT_EQ(First(*store_, 34, Packed({"0a1b2c3d-0000-4000-8000-00000000000b"})), job(kGuidB, "4"));
  EXPECT_EQ(Load(*store_, 34, Packed({"*"})).text,
            Packed({job(kGuidA, "8"), job(kGuidB, "4")}));  // in key order
  EXPECT_EQ(Load(*store_, 34, Packed({"*"}), "", 1).text, Packed({job(kGuidA, "8")}));
  orvacmn::OVO::Properties filter;
  filter.SetProperty("OSType", "4");
  EXPECT_EQ(Load(*store_, 34, filter.Pack(), Packed({"*"})).text, Packed({job(kGuidB, "4")}));
  EXPECT_EQ(Load(*store_, 35, Packed({"*"})), (Reply{S_OK, ""}));

  OFL::ScopedBstr data(job(kGuidA, "1")), out;
  EXPECT_EQ(store_->CreateRecord(34, data.Get(), out.Out()), kStatusExists);
  EXPECT_EQ(store_->UpdateRecord(40, OFL::ScopedBstr(Packed({kGuidA})).Get(), nullptr, data.Get(), nullptr, out.Out()),
            orvacmn::kStatusNotFound);
  EXPECT_EQ(out.ToUtf8(), "Record [0a1b2c3d-0000-4000-8000-00000000000a] of type 40 not found");  // keys ignore case
  EXPECT_EQ(store_->CreateRecord(40, data.Get(), out.Out()), S_OK);
  EXPECT_EQ(First(*store_, 40, Packed({kGuidA})), job(kGuidA, "1"));
}

TEST_F(StoreTest, BadWritesAreRefusedWithText) {
  const struct {
    uint32_t type;
    std::string key, data;
  } cases[] = {
      {kClientType, Packed({kGuidB, "1"}), Client(kGuidA, "PC")},  // key and record disagree
      {kClientType, Packed({"PC", "4"}), Client(kGuidA, "PC")},   // not by GUID
      {kClientType, Packed({kGuidA, "1"}), "<Client><GUID>"},
      {40, Packed({"*"}), "<Job/>"},
      {40, "12:short", "<Job/>"},
  };
  for (const auto& c : cases) {
    const Reply r = Save(*store_, c.type, c.key, c.data);
    EXPECT_EQ(r.hr, E_INVALIDARG) << c.key;
    EXPECT_FALSE(r.text.empty());
  }
}

class OpenErrors : public ::testing::Test {
 protected:
  Reply Open(const std::string& path, StoreOptions options = StoreOptions()) {
    String error;
    HRESULT hr = S_OK;
    auto s = SqliteStore::Open(path, false, &error, options, &hr);
    EXPECT_EQ(s == nullptr, FAILED(hr));
    return {hr, error};
  }
  ScratchDir dir_;
};

TEST_F(OpenErrors, MissingCorruptForeignAndNewerFiles) {
  EXPECT_EQ(Open(dir_.File("none.db")), (Reply{kStatusFileMissing, "The store file " + dir_.File("none.db") +
                                                                        " does not exist"}));
  std::ofstream(dir_.File("bad.db")) << std::string(5000, 'x');
  const Reply bad = Open(dir_.File("bad.db"));
  EXPECT_EQ(bad.hr, kStatusCorrupt);
  EXPECT_NE(bad.text.find("is damaged or is no store file"), std::string::npos) << bad.text;

  const auto sql = [](const std::string& path, const char* statement) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, statement, nullptr, nullptr, nullptr);
    sqlite3_close(db);
  };
  ::mkdir(dir_.File("folder.db").c_str(), 0700);  // there, but no file
  for (const bool create : {false, true}) {
    String error;
    EXPECT_FALSE(SqliteStore::Open(dir_.File("folder.db"), create, &error));
    EXPECT_NE(error.find("The store file " + dir_.File("folder.db") + " cannot be opened ("), std::string::npos)
        << error;
  }
  sql(dir_.File("other.db"), "CREATE TABLE t(x)");
  EXPECT_EQ(Open(dir_.File("other.db")).hr, kStatusNotAStore);
  String error;
  ASSERT_TRUE(SqliteStore::Open(dir_.File("new.db"), true, &error));
  sql(dir_.File("new.db"), "PRAGMA user_version = 2");
  const Reply newer = Open(dir_.File("new.db"));
  EXPECT_EQ(newer.hr, kStatusSchemaTooNew);
  EXPECT_NE(newer.text.find("has schema version 2; this program reads version 1 at most"), std::string::npos);
}

TEST_F(OpenErrors, ReadOnlyFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes to read-only files";
  String error;
  ASSERT_TRUE(SqliteStore::Open(dir_.File("ro.db"), true, &error));
  chmod(dir_.File("ro.db").c_str(), 0444);
  const Reply r = Open(dir_.File("ro.db"));
  EXPECT_EQ(r.hr, kStatusAccessDenied);
  EXPECT_NE(r.text.find("read-only"), std::string::npos) << r.text;
}

TEST_F(OpenErrors, FullDiskFailsTheSaveAndKeepsTheStore) {
  String error;
  StoreOptions small;
  small.maxPages = 12;
  auto s = SqliteStore::Open(dir_.File("full.db"), true, &error, small);
  ASSERT_TRUE(s) << error;
  ASSERT_EQ(Save(*s, 40, Packed({"a"}), "<Job>a</Job>").hr, S_OK);
  const Reply full = Save(*s, 40, Packed({"b"}), "<Job>" + std::string(100000, 'b') + "</Job>");
  EXPECT_EQ(full.hr, kStatusDiskFull);
  EXPECT_NE(full.text.find("The disk is full"), std::string::npos) << full.text;
  EXPECT_EQ(First(*s, 40, Packed({"a"})), "<Job>a</Job>");
  EXPECT_EQ(First(*s, 40, Packed({"b"})), "");
}

}  // namespace
}  // namespace store_test
