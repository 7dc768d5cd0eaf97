// Record store access: what each call sends to the store and how it reads the answer.
#include "orvacmn/persistence.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orvacmn/jobs/job.h"

namespace orvacmn {
namespace {

using namespace ::testing;  // NOLINT
using Outcome = std::pair<HRESULT, String>;

struct MockMoc : IMocInstance {
  MOCK_METHOD(HRESULT, InitRecord, (uint32_t, BSTR, BSTR*), (override));
  MOCK_METHOD(HRESULT, LoadRecord, (uint32_t, uint32_t, BSTR, BSTR, uint32_t, BSTR*), (override));
  MOCK_METHOD(HRESULT, SaveRecord, (uint32_t, BSTR, BSTR, BSTR, uint32_t*, BSTR*), (override));
  MOCK_METHOD(HRESULT, CreateRecord, (uint32_t, BSTR, BSTR*), (override));
  MOCK_METHOD(HRESULT, DeleteRecord, (uint32_t, BSTR, uint32_t*, BSTR*), (override));
  MOCK_METHOD(HRESULT, UpdateRecord, (uint32_t, BSTR, BSTR, BSTR, uint32_t*, BSTR*), (override));
  MOCK_METHOD(HRESULT, DoAction, (uint32_t, BSTR, BSTR, BSTR*), (override));
  MOCK_METHOD(HRESULT, SpecialTask, (uint32_t, BSTR, BSTR*), (override));
};

MATCHER_P(Wide, want, "") { return arg != nullptr && std::u16string_view(arg, SysStringLen(arg)) == want; }
ACTION_TEMPLATE(Reply, HAS_1_TEMPLATE_PARAMS(int, k), AND_2_VALUE_PARAMS(hr, text)) {
  *std::get<k>(args) = OFL::AllocBstr(text);
  return hr;
}

template <class Fn>
Outcome Call(Fn call) {
  String out = "x";
  const HRESULT hr = call(out);
  return {hr, out};
}

String Bag(const char* name) {
  return String("<Properties><PropertyEntry><Param>") + name +
         "</Param><Value>18446744073709551615</Value></PropertyEntry></Properties>";
}

constexpr uint32_t kFull = 0x3030000;  // option word with revision logging mode 2

class DBAccessTest : public Test {
 protected:
  std::shared_ptr<StrictMock<MockMoc>> moc = std::make_shared<StrictMock<MockMoc>>();
  CDBAccess db{moc};
};

TEST_F(DBAccessTest, EachCallSendsTypeKeysAndTextsAndReadsItsResult) {
  CFileTime stamp = 7;
  EXPECT_CALL(*moc, InitRecord(40 | 0x30000, Wide(u"k\u00fc"), _)).WillOnce(Reply<2>(0, "<Job></Job>"));
  EXPECT_EQ(Call([&](String& o) { return db.InitRecord(40, "k\xc3\xbc", o); }), Outcome(0, "<Job></Job>"));
  db.SetRevisionLogging(2u);
  EXPECT_CALL(*moc, CreateRecord(40 | kFull, Wide(u"d"), _)).WillOnce(Reply<2>(1, "made"));
  EXPECT_EQ(Call([&](String& o) { return db.CreateRecord(40, "d", o); }), Outcome(1, "made"));
  EXPECT_CALL(*moc, DeleteRecord(40 | kFull, Wide(u"k"), NotNull(), _)).WillOnce(Reply<3>(0, "gone"));
  EXPECT_EQ(Call([&](String& o) { return db.DeleteRecord(40, "k", o); }), Outcome(0, ""));
  EXPECT_CALL(*moc, DoAction(11 | kFull, Wide(u"A"), Wide(u"p"), _)).WillOnce(Reply<3>(0, Bag("T")));
  EXPECT_EQ(Call([&](String& o) { return db.DoAction(11, "A", "p", o, stamp); }), Outcome(0, ""));
  EXPECT_EQ(stamp, 7u);  // no "ObjectTimestamp" in the result
  EXPECT_CALL(*moc, SaveRecord(40 | kFull | 0x30000, Wide(u"k"), IsNull(), Wide(u"d"), NotNull(), _))
      .WillOnce(Reply<5>(0, Bag("ObjectTimestamp")));
  EXPECT_EQ(Call([&](String& o) { return db.SaveRecord(40, "k", o = "d", stamp); }), Outcome(0, ""));
  EXPECT_EQ(stamp, UINT64_MAX);
  EXPECT_CALL(*moc, UpdateRecord(40 | kFull, Wide(u"k"), IsNull(), Wide(u"d"), NotNull(), _)).WillOnce(Return(E_FAIL));
  EXPECT_EQ(Call([&](String& o) { return db.UpdateRecord(40, "k", o = "d"); }), Outcome(E_FAIL, "Unspecified error"));
  EXPECT_CALL(*moc, SpecialTask(28, Wide(u"1:a0:"), _)).WillOnce(Reply<2>(0, "done"));
  EXPECT_EQ(Call([&](String& o) { return db.SpecialTask(28, o, "a", "", nullptr); }), Outcome(0, "done"));
  EXPECT_CALL(*moc, LoadRecord(51, 0xFFFFFF, Wide(u"f"), Wide(u""), 0, _)).WillOnce(Reply<5>(0, "1:a2:\xc3\xa9"));
  EXPECT_CALL(*moc, LoadRecord(51, 0, Wide(u""), Wide(u"1:k0:1:*"), 0, _)).WillOnce(Reply<5>(E_FAIL, "down"));
  OFLTokenizer records("old", ";");
  EXPECT_EQ(db.LoadRecords(51, 0xFFFFFF, "f", records, nullptr), 0);
  EXPECT_THAT(records.Items(), ElementsAre("old", "a", "\xc3\xa9"));
  EXPECT_EQ(db.LoadRecords(51, 0, "", records, "k", "", "*", nullptr), E_FAIL);
  EXPECT_THAT(records.Items(), ElementsAre("down"));
  EXPECT_CALL(*moc, LoadRecord(113, 5, Wide(u"1:k"), IsNull(), 0, _))
      .WillOnce(Reply<5>(0, "3:old")).WillOnce(Return(0));
  EXPECT_CALL(*moc, CreateRecord(113 | kFull, Wide(u"new"), _)).WillOnce(Reply<2>(2, "created"));
  EXPECT_EQ(Call([&](String& o) { return db.CreateIfNotExist(113, "new", "k", 5, o); }), Outcome(0, "old"));
  EXPECT_EQ(Call([&](String& o) { return db.CreateIfNotExist(113, "new", "k", 5, o); }), Outcome(2, "created"));
}

TEST_F(DBAccessTest, LoadRecordOptionsAndResults) {
  const struct { bool whole; CFileTime stamp; HRESULT hr; const char *reply, *want; } cases[] = {
      {false, 0, 0, "3:abc2:de", "abc"}, {true, 0, 0, "3:abc2:de", "3:abc2:de"}, {false, 0, 0, "", ""},
      {false, 0, 0, "9:abc", ""}, {false, UINT64_MAX, kStatusNotNewer, "3:abc", "x"},
      {false, 0, kStatusNotNewer, "3:abc", "abc"}, {false, 0, kStatusNotFound, "boom", "boom"},
      {false, UINT64_MAX, E_FAIL, "", "Unspecified error"}};  // "9:abc": a malformed list holds no record
  for (const auto& c : cases) {
    const auto options = c.stamp.GetTime() != 0 ? Matcher<BSTR>(Wide(OFL::ToUtf16(Bag("IfTimestampIsNewer")))) : IsNull();
    EXPECT_CALL(*moc, LoadRecord(40, 7, Wide(u"k"), options, 3, _)).WillOnce(Reply<5>(c.hr, c.reply));
    const auto load = [&](String& o) { return db.LoadRecord(40, 7, "k", o, c.whole, 3, c.stamp); };
    EXPECT_EQ(Call(load), Outcome(c.hr, c.want)) << c.reply;
  }
}

TEST_F(DBAccessTest, SettingsAndAMissingStore) {
  const std::pair<uint32_t, uint32_t> steps[] = {{2, kFull}, {1, 0x1030000}, {0, 0x30000}, {2, kFull}, {3, 0x30000}};
  for (const auto& [mode, want] : steps) {
    db.SetRevisionLogging(mode);
    EXPECT_EQ(db.GetOptionWord(), want) << mode;
  }
  EXPECT_THAT(db.GetIdentificationScheme(), ElementsAre(1, 2, 6, 7, 4, 3, 5));
  IMocInstance* raw = nullptr;
  EXPECT_EQ(std::pair(db.GetDBC(&raw), raw), std::pair(0, static_cast<IMocInstance*>(moc.get())));
  CDBAccess none(nullptr);
  EXPECT_EQ(none.GetDBC(&raw), E_FAIL);
  const Outcome want(E_FAIL, "Error getting the orvamoc COM interface: Unspecified error");
  EXPECT_EQ(Call([&](String& o) { return none.LoadRecord(1, 0, "k", o, true, 0, 5); }), want);
  OFLTokenizer records("a;b", ";");
  EXPECT_EQ(none.LoadRecords(1, 0, "", records, "*", nullptr), E_FAIL);
  EXPECT_THAT(records.Items(), ElementsAre(want.second));
}

TEST_F(DBAccessTest, TypedLoadOfAJob) {
  const CRecordNotFound missing{E_FAIL, "Job [G1] not found"}, none = CRecordNotFound::StoreStatus();
  const struct { HRESULT hr; String reply; CRecordNotFound notFound; Outcome want; String guid; } cases[] = {
      {0, "26:<Job><GUID>G1</GUID></Job>", missing, {0, ""}, "G1"}, {3, "", none, {3, ""}, "old"},
      {0, "", missing, {E_FAIL, missing.text}, "old"}, {E_INVALIDARG, "bad", missing, {E_INVALIDARG, "bad"}, "old"},
      {kStatusNotNewer, "", missing, {kStatusNotNewer, "x"}, "old"}};
  for (const auto& c : cases) {
    EXPECT_CALL(*moc, LoadRecord(40, 0xFFFFFF, Wide(u"2:G1"), _, 0, _)).WillOnce(Reply<5>(c.hr, c.reply));
    OVOJob job("<Job><GUID>old</GUID></Job>");
    bool found = false;
    const auto load = [&](String& o) {
      return LoadTypedRecord(db, 40, 0xFFFFFF, MakeRecordKey({"G1"}), job, o, c.notFound, &found, c.hr ? 9 : 0);
    };
    EXPECT_EQ(Call(load), c.want);
    EXPECT_EQ(std::pair(job.GetGUID(), found), std::pair(c.guid, c.guid == "G1"));
  }
}

// A text that is not UTF-8 never reaches the store, which would get it
// changed: every call refuses it and names the first bad byte.
TEST_F(DBAccessTest, TextsThatAreNotUtf8AreRefusedBeforeTheStore) {
  const String bad = "ok\xc3(";
  const String why = " is not valid UTF-8 (byte 0xC3 at offset 2); the store takes only texts it can give back unchanged";
  EXPECT_EQ(Call([&](String& o) { return db.LoadRecord(51, 0, bad, o); }), Outcome(E_INVALIDARG, "The key" + why));
  EXPECT_EQ(Call([&](String& o) { return db.SaveRecord(40, "k", o = bad); }), Outcome(E_INVALIDARG, "The record text" + why));
  EXPECT_EQ(Call([&](String& o) { return db.UpdateRecord(40, bad, o = "d"); }), Outcome(E_INVALIDARG, "The key" + why));
  EXPECT_EQ(Call([&](String& o) { return db.CreateRecord(40, bad, o); }).first, E_INVALIDARG);
  EXPECT_EQ(Call([&](String& o) { return db.DeleteRecord(40, bad, o); }).first, E_INVALIDARG);
  EXPECT_EQ(Call([&](String& o) { return db.InitRecord(40, bad, o); }).first, E_INVALIDARG);
  EXPECT_EQ(Call([&](String& o) { return db.DoAction(51, "A", bad, o); }), Outcome(E_INVALIDARG, "The action parameter" + why));
  EXPECT_EQ(Call([&](String& o) { return db.SpecialTask(13, o, "\xff", nullptr); }).first, E_INVALIDARG);
  OFLTokenizer records("old", ";");
  EXPECT_EQ(db.LoadRecords(40, 0, "", records, bad.c_str(), nullptr), E_INVALIDARG);
  EXPECT_THAT(records.Items(), ElementsAre(StartsWith("The key list is not valid UTF-8")));
}

}  // namespace
}  // namespace orvacmn
