#include <gmock/gmock.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>

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

class StoreTest : public StoreFixture {
 protected:
  std::string GuidOf(const std::string& key) {
    const std::string record = First(*store_, kClientType, key);
    const size_t at = record.find("<GUID>");
    return at == std::string::npos ? "" : record.substr(at + 6, 36);
  }
};

TEST_P(StoreTest, SaveAnswersStampBagThatPropertiesReadsAndWritesItBack) {
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

TEST_P(StoreTest, TimeStampInsertedWhereMissingOrEmpty) {
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

TEST_P(StoreTest, InitRecordTakesTheKeysGuidOrMakesOne) {
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

TEST_P(StoreTest, EveryKeyKindFindsTheClientThroughItsIndex) {
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
  EXPECT_EQ(GuidOf(Packed({"10.0.0.50", "*", ""})), kGuidB);  // a list's empty second value restricts nothing
  EXPECT_EQ(Load(*store_, kClientType, Packed({"x", "8", "*"})).hr, E_INVALIDARG);
  EXPECT_EQ(Load(*store_, kClientType, "not packed").hr, E_INVALIDARG);
  OFLTokenizer all;
  all.FromLengthPackedString(Load(*store_, kClientType, Packed({"*", "*", "*"})).text);
  EXPECT_EQ(all.GetCount(), 2);
}

TEST_P(StoreTest, IndexFollowsSavesAndDeletes) {
  ASSERT_EQ(Save(*store_, kClientType, Packed({kGuidA, "1"}), Client(kGuidA, "OLD", kExtraA)).hr, S_OK);
  ASSERT_EQ(Save(*store_, kClientType, Packed({kGuidA, "1"}), Client(kGuidA, "NEW")).hr, S_OK);
  EXPECT_EQ(GuidOf(ClientKey("old", 4)), "");
  EXPECT_EQ(GuidOf(ClientKey("00:11:22:33:44:55", 2)), "");
  EXPECT_EQ(GuidOf(ClientKey("new", 4)), kGuidA);
  EXPECT_EQ(Delete(*store_, kClientType, ClientKey("NEW", 4)).hr, S_OK);
  EXPECT_EQ(GuidOf(ClientKey(kGuidA, 1)), "");
  EXPECT_EQ(Delete(*store_, kClientType, ClientKey("NEW", 4)).hr, kStatusNothingDeleted);
}

TEST_P(StoreTest, StaleSaveIsRefusedAndNotNewerLoadAnswersStatus) {
  ASSERT_EQ(Save(*store_, kClientType, Packed({kGuidA, "1"}), Client(kGuidA, "PC-1")).hr, S_OK);
  const std::string loaded = First(*store_, kClientType, ClientKey(kGuidA, 1));
  const Reply mine = Save(*store_, kClientType, Packed({kGuidA, "1"}), loaded);
  ASSERT_EQ(mine.hr, S_OK);
  const Reply theirs = Save(*store_, kClientType, Packed({kGuidA, "1"}), loaded);
  EXPECT_EQ(theirs.hr, kStatusStale);
  EXPECT_NE(theirs.text.find("was changed by someone else"), std::string::npos) << theirs.text;
  // A copy never loaded names no stored version, even one newer than it.
  EXPECT_EQ(Save(*store_, kClientType, Packed({kGuidA, "1"}), Client(kGuidA, "PC-1", "", "999999999.0")).hr,
            kStatusStale);
  EXPECT_EQ(Save(*store_, kClientType, Packed({kGuidA, "1"}), Client(kGuidA, "PC-1")).hr, S_OK);  // stamp 0
  // An update names no version: the same text twice is written twice.
  for (int i = 0; i < 2; ++i) {
    OFL::ScopedBstr key(Packed({kGuidA, "1"})), data(loaded), out;
    EXPECT_EQ(store_->UpdateRecord(kClientType, key.Get(), nullptr, data.Get(), nullptr, out.Out()), S_OK);
  }

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

// A copy loaded before its client was deleted does not bring it back; a
// save naming no version, or a copy made after the delete, creates it anew.
TEST_P(StoreTest, ADeletedClientStaysDeletedForCopiesLoadedBefore) {
  const auto deleteA = [&] { return Delete(*store_, kClientType, ClientKey(kGuidA, 1)).hr; };
  ASSERT_EQ(Save(*store_, kClientType, Packed({kGuidA, "1"}), Client(kGuidA, "PC-1")).hr, S_OK);
  const std::string loaded = First(*store_, kClientType, ClientKey(kGuidA, 1));
  ASSERT_EQ(deleteA(), S_OK);
  const Reply back = Save(*store_, kClientType, Packed({kGuidA, "1"}), loaded);
  EXPECT_EQ(back.hr, orvacmn::kStatusNotFound);
  EXPECT_THAT(back.text, ::testing::HasSubstr("was deleted by someone else since it was loaded"));
  EXPECT_EQ(GuidOf(ClientKey("pc-1", 4)), "");
  for (const char* stamp : {"0.0", "99999999.0"}) {
    EXPECT_EQ(Save(*store_, kClientType, Packed({kGuidA, "1"}), Client(kGuidA, "PC-1", "", stamp)).hr, S_OK);
    EXPECT_EQ(GuidOf(ClientKey("pc-1", 4)), kGuidA);
    ASSERT_EQ(deleteA(), S_OK);
  }
}

// What the store cannot give back unchanged it refuses; a pair is kept.
TEST_P(StoreTest, UnpairedSurrogatesAreRefusedAndPairsKept) {
  const auto save = [&](const std::u16string& text) {
    BSTR data = SysAllocStringLen(text.data(), text.size());
    OFL::ScopedBstr key(Packed({"j"})), out;
    const Reply r{store_->SaveRecord(40, key.Get(), nullptr, data, nullptr, out.Out()), out.ToUtf8()};
    SysFreeString(data);
    return r;
  };
  const Reply bad = save(u"<Job>\xD83D</Job>");
  EXPECT_EQ(bad.hr, E_INVALIDARG);
  EXPECT_THAT(bad.text, ::testing::HasSubstr("unpaired UTF-16 surrogate at position 5"));
  EXPECT_EQ(First(*store_, 40, Packed({"j"})), "");
  EXPECT_EQ(save(u"<Job>\xDE00\xD83D</Job>").hr, E_INVALIDARG);
  for (const char16_t edge : {u'\xD800', u'\xDFFF'})  // a lone surrogate at either end of their range
    EXPECT_EQ(save(u"<Job>" + std::u16string(1, edge) + u"</Job>").hr, E_INVALIDARG);
  ASSERT_EQ(save(u"<Job>\xD83D\xDE00</Job>").hr, S_OK);
  EXPECT_EQ(First(*store_, 40, Packed({"j"})), "<Job>\xF0\x9F\x98\x80</Job>");
}

TEST_P(StoreTest, OtherTypesByKeyPrefixFilterAndLimit) {
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

// Only a client's text carries the store's stamp; any other record comes
// back as written, its own "TimeStamp" included, with the stamp beside it.
TEST_P(StoreTest, OtherRecordsKeepTheirTimeStamp) {
  const std::string state = "<UserJobState><TimeStamp>1717570800</TimeStamp><User>u</User></UserJobState>";
  const std::string job = "<Job><TimeStamp>7.5</TimeStamp></Job>";
  const Reply saved = Save(*store_, 56, Packed({"j", "u"}), state);
  ASSERT_EQ(saved.hr, S_OK);
  ASSERT_EQ(Save(*store_, 40, Packed({"j"}), job).hr, S_OK);
  ASSERT_EQ(Save(*store_, 40, Packed({"j"}), job).hr, S_OK);  // an old "TimeStamp" is no stale version
  EXPECT_EQ(First(*store_, 56, Packed({"j", "u"})), state);
  EXPECT_EQ(First(*store_, 40, Packed({"j"})), job);
  orvacmn::OVO::Properties newer;
  newer.SetProperty("IfTimestampIsNewer", std::stoull(orvacmn::OVO::Properties(saved.text).GetMap().at("ObjectTimestamp")));
  EXPECT_EQ(Load(*store_, 56, Packed({"j", "u"}), newer.Pack()).hr, orvacmn::kStatusNotNewer);
}

TEST_P(StoreTest, AWildcardNeverDeletes) {
  const auto del = [&](uint32_t type, const std::string& key) { return Delete(*store_, type, key); };
  ASSERT_EQ(Save(*store_, kClientType, Packed({kGuidA, "1"}), Client(kGuidA, "PC-1")).hr, S_OK);
  ASSERT_EQ(Save(*store_, kClientType, Packed({kGuidB, "1"}), Client(kGuidB, "PC-1")).hr, S_OK);
  for (const auto& key : {ClientKey("*", 4), ClientKey("*", 1), Packed({"*", "*"}), Packed({"*"}), ClientKey("pc-1", 4),
                          Packed({"PC-1", "*"})}) {
    const Reply r = del(kClientType, key);
    EXPECT_EQ(r.hr, E_INVALIDARG) << key;
    EXPECT_THAT(r.text, ::testing::AnyOf(::testing::HasSubstr("A wildcard never deletes"),
                                         ::testing::HasSubstr("matches 2 clients and deletes none")));
  }
  EXPECT_EQ(Load(*store_, kClientType, Packed({"*"})).text.empty(), false);
  EXPECT_EQ(del(kClientType, ClientKey("DESK PC-1", 6)).hr, E_INVALIDARG);
  EXPECT_EQ(del(kClientType, ClientKey(kGuidA, 1)).hr, S_OK);
  EXPECT_EQ(del(kClientType, ClientKey("pc-1", 4)).hr, S_OK);  // one client left to match

  // Other types: a key names one record, or the group whose keys begin with
  // its values (the steps of one job); "*" names none.
  for (const char* step : {"s1", "s2"}) ASSERT_EQ(Save(*store_, 41, Packed({"job1", step}), "<Step/>").hr, S_OK);
  ASSERT_EQ(Save(*store_, 41, Packed({"job10", "s1"}), "<Step/>").hr, S_OK);
  for (const auto& key : {Packed({"*"}), Packed({"job1", "*"}), Packed({})}) EXPECT_EQ(del(41, key).hr, E_INVALIDARG);
  EXPECT_EQ(del(41, Packed({"JOB1"})).hr, S_OK);
  EXPECT_EQ(Load(*store_, 41, Packed({"*"})).text, Packed({"<Step/>"}));  // job10's step stays
}

TEST_P(StoreTest, BadWritesAreRefusedWithText) {
  const struct {
    uint32_t type;
    std::string key, data;
  } cases[] = {
      {kClientType, Packed({kGuidB, "1"}), Client(kGuidA, "PC")},  // key and record disagree
      {kClientType, Packed({"PC", "4"}), Client(kGuidA, "PC")},   // not by GUID
      {kClientType, Packed({kGuidA, "1"}), "<Client><GUID>"},
      {kClientType, Packed({kGuidA, "1"}), "<Properties><PropertyEntry><Param>Options</Param></PropertyEntry></Properties>"},
      {40, Packed({"*"}), "<Job/>"},
      {40, "12:short", "<Job/>"},
  };
  for (const auto& c : cases) {
    const Reply r = Save(*store_, c.type, c.key, c.data);
    EXPECT_EQ(r.hr, E_INVALIDARG) << c.key;
    EXPECT_FALSE(r.text.empty());
  }
}

STORE_TEST_ON_EVERY_KIND(StoreTest);

// What only a file has: missing, damaged, foreign, older and newer files,
// modes, and a full disk.
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
  // A store of the first version is brought up to date: it keeps deleted clients.
  sql(dir_.File("v1.db"),
      "CREATE TABLE records(id INTEGER PRIMARY KEY, type INTEGER NOT NULL, key BLOB NOT NULL, stamp INTEGER NOT NULL,"
      " data TEXT NOT NULL, UNIQUE(type, key)); CREATE TABLE client_keys(kind INTEGER NOT NULL, value TEXT NOT NULL,"
      " id INTEGER NOT NULL, PRIMARY KEY(kind, value, id)) WITHOUT ROWID; PRAGMA user_version = 1;");
  {
    String error;
    auto v1 = SqliteStore::Open(dir_.File("v1.db"), false, &error);
    ASSERT_TRUE(v1) << error;
    ASSERT_EQ(Save(*v1, kClientType, Packed({"g", "1"}), "<Client><GUID>g</GUID></Client>").hr, S_OK);
    EXPECT_EQ(Delete(*v1, kClientType, Packed({"g", "1"})).hr, S_OK);
  }
  sql(dir_.File("other.db"), "CREATE TABLE t(x)");
  EXPECT_EQ(Open(dir_.File("other.db")).hr, kStatusNotAStore);
  String error;
  ASSERT_TRUE(SqliteStore::Open(dir_.File("new.db"), true, &error));
  sql(dir_.File("new.db"), "PRAGMA user_version = 4");
  const Reply newer = Open(dir_.File("new.db"));
  EXPECT_EQ(newer.hr, kStatusSchemaTooNew);
  EXPECT_NE(newer.text.find("has schema version 4; this program reads version 3 at most"), std::string::npos);
}

// Runs `check` as a user whom file modes bind: in a child process that drops
// root when this one is root. The text it gives comes back.
std::string AsUnprivileged(const std::function<std::string()>& check) {
  if (geteuid() != 0) return check();
  int fds[2];
  if (pipe(fds) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    const std::string r = setgid(65534) == 0 && setuid(65534) == 0 ? check() : "cannot drop root";
    _exit(write(fds[1], r.data(), r.size()) == ssize_t(r.size()) ? 0 : 1);
  }
  close(fds[1]);
  std::string r;
  char buf[4096];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) r.append(buf, size_t(n));
  close(fds[0]);
  waitpid(child, nullptr, 0);
  return r;
}

// A store this user cannot write, because of the file or of its folder, is
// read; every write fails at once with a text that names the cause.
TEST_F(OpenErrors, ReadOnlyFileOrFolderIsReadAndWritesNameTheCause) {
  const std::string folder = dir_.File("ro"), path = folder + "/s.db";
  ::mkdir(folder.c_str(), 0777);
  {
    String error;
    auto s = SqliteStore::Open(path, true, &error);
    ASSERT_TRUE(s) << error;
    ASSERT_EQ(Save(*s, 40, Packed({"j"}), "<Job/>").hr, S_OK);
  }
  const auto use = [&] {
    String error;
    HRESULT hr = S_OK;
    auto s = SqliteStore::Open(path, false, &error, StoreOptions(), &hr);
    if (!s) return "open " + std::to_string(hr) + " " + error;
    const Reply put = Save(*s, 40, Packed({"k"}), "<Job/>");
    const HRESULT del = Delete(*s, 40, Packed({"j"})).hr;
    return First(*s, 40, Packed({"j"})) + "|" + std::to_string(put.hr == kStatusAccessDenied && del == put.hr) +
           "|" + put.text;
  };
  ::chmod(dir_.File("").c_str(), 0755);
  ::chmod(path.c_str(), 0444);
  EXPECT_EQ(AsUnprivileged(use), "<Job/>|1|The store file " + path + " is read-only or not writable by this user");
  ::chmod(path.c_str(), 0666);
  ::chmod(folder.c_str(), 0555);
  EXPECT_EQ(AsUnprivileged(use), "<Job/>|1|The folder " + folder + " of the store file " + path +
                                     " is not writable by this user; the store writes its journal files beside the file");
  ::chmod(folder.c_str(), 0777);
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
