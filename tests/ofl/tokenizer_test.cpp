#include "ofl/tokenizer.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::string>;

OFLTokenizer Make(const Entries& entries) {
  OFLTokenizer t;
  for (const auto& e : entries) t.AddString(e);
  return t;
}

TEST(Tokenizer, SplitAppendSectionBuffersAndOtherLists) {
  struct Case { std::string_view text, separators; Entries want; } const cases[] = {
      {";a;;b,c;", ";,", {"a", "b", "c"}}, {"", ";", {}}, {";;;", ";", {}}, {"abc", "", {"abc"}},
      {std::string_view("a\0b", 3), std::string_view("\0", 1), {"a", "b"}},
  };
  for (const Case& c : cases) EXPECT_EQ(OFLTokenizer(c.text, c.separators).Items(), c.want) << c.text;
  OFLTokenizer t;
  t.AddDWord(4294967295u);
  t.AddQWord(18446744073709551615ull);
  t += "";
  t.AddMultipleStrings("key = value=2", "=");
  EXPECT_EQ(t.Items(), (Entries{"4294967295", "18446744073709551615", "", "key ", " value", "2"}));
  // AsDWord saturates like the C runtime; entries out of range read 0.
  const std::vector<uint64_t> got{t.AsDWord(0), t.AsDWord(1), t.AsQWord(1), t.AsQWord(0), t.AsDWord(5),
                                  t.AsDWord(6), t.AsQWord(6), t.AsDWord(-1), t.AsQWord(-1)};
  EXPECT_EQ(got, (std::vector<uint64_t>{4294967295u, 4294967295u, UINT64_MAX, 4294967295u, 2, 0, 0, 0, 0}));

  OFLTokenizer u;
  u.AddDoubleNullTerminatedArray(std::string_view("a=1\0b = 2\0\0ignored\0\0", 21));
  u.AddDoubleNullTerminatedArray(std::string_view("x\0y", 3));  // the end of the buffer ends the list too
  u.AddDoubleNullTerminatedArray(std::string_view("\0z\0", 3));
  u.AddDoubleNullTerminatedArray({});
  EXPECT_EQ(u.Items(), (Entries{"a=1", "b = 2", "x", "y"}));
  // Appending another list, all of it or only entries not present (ignoring case), also itself.
  OFLTokenizer a = Make({"Net", "disk"}), all = a;
  const OFLTokenizer b = Make({"NET", "Print", "print", "Disk", "scan"});
  all.AppendTokenizer(b, false);
  a.AppendTokenizer(b, true);
  EXPECT_EQ(a.Items(), (Entries{"Net", "disk", "Print", "scan"}));
  a.AppendTokenizer(a, true);
  const int32_t unique = a.GetCount();
  a.AppendTokenizer(a, false);
  EXPECT_EQ((std::vector<int32_t>{all.GetCount(), unique, a.GetCount()}), (std::vector<int32_t>{7, 4, 8}));
}

TEST(Tokenizer, IndexGetAtEditsFindAndJoin) {
  OFLTokenizer t = Make({"a", "b", "c"});
  for (int32_t bad : {3, -1}) {
    EXPECT_THROW(t[bad], std::invalid_argument) << bad;
    EXPECT_THROW(std::as_const(t)[bad], std::invalid_argument) << bad;
    t.SetAt(bad, "ignored");
    t.RemoveAt(bad);
  }
  t.SetAt(1, "B");
  EXPECT_EQ((Entries{t[0], std::as_const(t)[2], t.GetAt(3, "fb"), t.GetAt(-1), t.GetAt(0), t.GetAt(2)}),
            (Entries{"a", "c", "fb", "", "a", "c"}));
  t.InsertAt(-5, "front");
  t.InsertAt(100, "back");
  t.InsertAt(2, "mid");
  EXPECT_EQ(t.Items(), (Entries{"front", "a", "mid", "B", "c", "back"}));
  t.RemoveAt(0);
  t.SetAt(0, t[1]);  // aliasing an entry of the list itself
  t.InsertAt(0, t[4]);
  EXPECT_EQ(t.Items(), (Entries{"back", "mid", "mid", "B", "c", "back"}));
  t.Clear();
  EXPECT_TRUE(t.IsEmpty());

  const OFLTokenizer f = Make({"Alpha", "beta", "", "ALPHA"});
  const std::vector<int32_t> found{f.FindString("alpha"), f.FindString("ALPHA", true), f.FindString("alp"),
                                   f.FindString("")};
  EXPECT_EQ(found, (std::vector<int32_t>{0, 3, -1, 2}));
  struct Case { const char* sep; int32_t first, count; const char* want; } const cases[] = {
      {";", 0, 0, "Alpha;beta;;ALPHA"}, {", ", 1, 0, "beta, , ALPHA"}, {"|", 1, 2, "beta|"}, {"|", 3, 10, "ALPHA"},
      {"|", 3, 1, "ALPHA"}, {"|", 4, 0, ""}, {"|", -3, 1, "Alpha"},
  };
  for (const Case& c : cases) EXPECT_EQ(f.AsString(c.sep, c.first, c.count), c.want) << c.first << "," << c.count;
  EXPECT_EQ(OFLTokenizer().AsString(";"), "");
}

// Entries of bytes that stress the packed form (separators, digits, colons, NULs, high bytes), often empty.
Entries RandomEntries(std::mt19937& rng) {
  static const std::string alphabet("\0:;0123456789a|#,\xff\n", 19);
  std::uniform_int_distribution<int> count(0, 8), len(0, 14), pick(0, int(alphabet.size()) - 1), coin(0, 3);
  Entries out(size_t(count(rng)));
  for (auto& e : out)
    if (coin(rng) != 0)
      for (int n = len(rng); n > 0; --n) e.push_back(alphabet[size_t(pick(rng))]);
  return out;
}

// Random lists round-trip, also appended to a list, in the plainly written layout; nested, large and malformed texts.
TEST(LengthPacked, RoundTripsNestedLargeAndMalformedTexts) {
  const std::string inner = Make({"name", "", "v;a:l"}).AsLengthPackedString(), big(1 << 20, '\x01');
  OFLTokenizer t;
  ASSERT_TRUE(t.FromLengthPackedString(Make({inner, big, inner}).AsLengthPackedString()));
  EXPECT_EQ(t.Items(), (Entries{inner, big, inner}));
  ASSERT_TRUE(t.FromLengthPackedString(t[0]));  // reading from one of its own entries
  EXPECT_EQ(t.Items(), (Entries{"name", "", "v;a:l"}));
  EXPECT_TRUE(t.FromLengthPackedString("") && t.IsEmpty());
  EXPECT_FALSE(t.FromLengthPackedString(std::string_view("\0", 1)));
  // Truncated, not a length, leading zero, sign, white space, no colon, trailing bytes, over 32 bits or the text.
  for (const char* text : {"3:ab", "a:", ":", ":abc", "01:a", "00:", "-1:a", "+1:a", " 1:a", "1", "12", "1a", "1:a2",
                           "1:ab", "0:0", "4294967296:x", "99999999999999999999999999:", "4294967295:x",
                           "18446744073709551617:"}) {
    OFLTokenizer u = Make({"old"}), v = Make({"old"});
    EXPECT_FALSE(u.FromLengthPackedString(text) || v.AddLengthPackedStrings(text)) << text;
    EXPECT_TRUE(u.IsEmpty() && v.Items() == Entries{"old"}) << text;
  }
  std::mt19937 rng(20240601);
  for (int round = 0; round < 3000; ++round) {
    const Entries entries = RandomEntries(rng);
    const std::string packed = Make(entries).AsLengthPackedString();
    std::string plain;
    for (const auto& e : entries) plain += std::to_string(e.size()) + ":" + e;
    ASSERT_EQ(packed, plain);
    OFLTokenizer back = Make({"stale"}), appended = Make({"keep"});
    ASSERT_TRUE(back.FromLengthPackedString(packed) && appended.AddLengthPackedStrings(packed)) << packed;
    ASSERT_EQ(back.Items(), entries);
    ASSERT_EQ(appended.AsLengthPackedString(), "4:keep" + packed);
  }
}

}  // namespace
