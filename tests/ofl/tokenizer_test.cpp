#include "ofl/tokenizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Entries = std::vector<std::string>;

OFLTokenizer Make(const Entries& entries) {
  OFLTokenizer t;
  for (const auto& e : entries) t.AddString(e);
  return t;
}

// Entries drawn from bytes that stress the packed form: separators, digits, colons, NULs and high bytes, with
// plenty of empty entries.
Entries RandomEntries(std::mt19937& rng) {
  static const std::string alphabet("\0:;0123456789a|#,\xff\n", 19);
  std::uniform_int_distribution<int> count(0, 8), len(0, 14), pick(0, int(alphabet.size()) - 1), coin(0, 3);
  Entries out(size_t(count(rng)));
  for (auto& e : out)
    if (coin(rng) != 0)
      for (int n = len(rng); n > 0; --n) e.push_back(alphabet[size_t(pick(rng))]);
  return out;
}

TEST(Tokenizer, SplitDropsEmptyPiecesAndSplitsAtAnySeparator) {
  struct Case { std::string_view text, separators; Entries want; } const cases[] = {
      {";a;;b,c;", ";,", {"a", "b", "c"}}, {"", ";", {}}, {";;;", ";", {}}, {"abc", "", {"abc"}},
      {std::string_view("a\0b", 3), std::string_view("\0", 1), {"a", "b"}},
  };
  for (const Case& c : cases) EXPECT_EQ(OFLTokenizer(c.text, c.separators).Items(), c.want) << c.text;
  OFLTokenizer t("x", ";");
  t.AddMultipleStrings("key = value=2", "=");
  EXPECT_EQ(t.Items(), (Entries{"x", "key ", " value", "2"}));
}

TEST(Tokenizer, AppendNumbersAndSectionBuffers) {
  OFLTokenizer t;
  t += "first";
  t.AddDWord(4294967295u);
  t.AddQWord(18446744073709551615ull);
  t.AddString("");
  EXPECT_EQ(t.Items(), (Entries{"first", "4294967295", "18446744073709551615", ""}));
  // AsDWord saturates like the C runtime; entries out of range read 0.
  const std::vector<uint64_t> got{t.AsDWord(0), t.AsDWord(1), t.AsDWord(2), t.AsQWord(2), t.AsDWord(99), t.AsQWord(-1)};
  EXPECT_EQ(got, (std::vector<uint64_t>{0, 4294967295u, 0xFFFFFFFFu, 18446744073709551615ull, 0, 0}));

  OFLTokenizer u;
  u.AddDoubleNullTerminatedArray(std::string_view("a=1\0b = 2\0\0ignored\0\0", 21));
  u.AddDoubleNullTerminatedArray(std::string_view("x\0y", 3));  // the end of the buffer ends the list too
  u.AddDoubleNullTerminatedArray(std::string_view("\0z\0", 3));
  u.AddDoubleNullTerminatedArray({});
  EXPECT_EQ(u.Items(), (Entries{"a=1", "b = 2", "x", "y"}));
}

TEST(Tokenizer, AppendTokenizerUniqueIgnoresCase) {
  OFLTokenizer a = Make({"Net", "disk"});
  const OFLTokenizer b = Make({"NET", "Print", "print", "Disk", "scan"});
  OFLTokenizer all = a;
  all.AppendTokenizer(b, false);
  EXPECT_EQ(all.GetCount(), 7);
  a.AppendTokenizer(b, true);
  EXPECT_EQ(a.Items(), (Entries{"Net", "disk", "Print", "scan"}));
  a.AppendTokenizer(a, true);  // self-append
  EXPECT_EQ(a.GetCount(), 4);
  a.AppendTokenizer(a, false);
  EXPECT_EQ(a.GetCount(), 8);
}

TEST(Tokenizer, IndexGetAtAndEdits) {
  OFLTokenizer t = Make({"a", "b", "c"});
  EXPECT_EQ(t[1], "b");
  EXPECT_THROW(t[3], std::invalid_argument);
  EXPECT_THROW(t[-1], std::invalid_argument);
  EXPECT_THROW(static_cast<const OFLTokenizer&>(t)[3], std::invalid_argument);
  EXPECT_EQ((Entries{t.GetAt(5, "fb"), t.GetAt(-1), t.GetAt(2)}), (Entries{"fb", "", "c"}));
  t.SetAt(1, "B");
  t.SetAt(3, "ignored");
  t.SetAt(-1, "ignored");
  t.RemoveAt(7);
  t.RemoveAt(-2);
  EXPECT_EQ(t.Items(), (Entries{"a", "B", "c"}));
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
}

TEST(Tokenizer, FindAndJoin) {
  const OFLTokenizer t = Make({"Alpha", "beta", "", "ALPHA"});
  const std::vector<int32_t> found{t.FindString("alpha"), t.FindString("ALPHA", true), t.FindString("alp"),
                                   t.FindString("")};
  EXPECT_EQ(found, (std::vector<int32_t>{0, 3, -1, 2}));
  struct Case { const char* sep; int32_t first, count; const char* want; } const cases[] = {
      {";", 0, 0, "Alpha;beta;;ALPHA"}, {", ", 1, 0, "beta, , ALPHA"}, {"|", 1, 2, "beta|"}, {"|", 3, 10, "ALPHA"},
      {"|", 4, 0, ""}, {"|", -3, 1, "Alpha"},
  };
  for (const Case& c : cases) EXPECT_EQ(t.AsString(c.sep, c.first, c.count), c.want) << c.first << "," << c.count;
  EXPECT_EQ(OFLTokenizer().AsString(";"), "");
}

TEST(LengthPacked, LayoutNestingAndLargeEntries) {
  EXPECT_EQ(OFLTokenizer().AsLengthPackedString(), "");
  EXPECT_EQ(Make({""}).AsLengthPackedString(), "0:");
  EXPECT_EQ(Make({"abc", "", ";;", "12:x"}).AsLengthPackedString(), "3:abc0:2:;;4:12:x");
  EXPECT_EQ(Make({std::string(10, 'z')}).AsLengthPackedString(), "10:" + std::string(10, 'z'));
  const std::string inner = Make({"name", "", "v;a:l"}).AsLengthPackedString();
  const std::string big(1 << 20, '\x01');
  OFLTokenizer t;
  ASSERT_TRUE(t.FromLengthPackedString(Make({inner, big, inner}).AsLengthPackedString()));
  ASSERT_EQ(t.GetCount(), 3);
  EXPECT_EQ(t[1], big);
  ASSERT_TRUE(t.FromLengthPackedString(t[0]));  // reading from one of its own entries
  EXPECT_EQ(t.Items(), (Entries{"name", "", "v;a:l"}));
}

TEST(LengthPacked, MalformedInputIsRejected) {
  // Truncated, not a length, leading zero, sign, white space, no colon, trailing bytes, over 32 bits or the text.
  for (const char* text : {"3:ab", "a:", ":", ":abc", "01:a", "00:", "-1:a", "+1:a", " 1:a", "1", "12", "1a", "1:a2",
                           "1:ab", "0:0", "4294967296:x", "99999999999999999999999999:", "4294967295:x",
                           "18446744073709551617:"}) {
    OFLTokenizer t = Make({"old"});
    EXPECT_FALSE(t.FromLengthPackedString(text)) << text;
    EXPECT_TRUE(t.IsEmpty()) << text;
    OFLTokenizer u = Make({"old"});
    EXPECT_FALSE(u.AddLengthPackedStrings(text)) << text;
    EXPECT_EQ(u.Items(), Entries{"old"}) << text;
  }
  OFLTokenizer t;
  EXPECT_TRUE(t.FromLengthPackedString(""));
  EXPECT_TRUE(t.IsEmpty());
  EXPECT_FALSE(t.FromLengthPackedString(std::string_view("\0", 1)));
}

// Random lists round-trip, also appended to a list. Reading stops exactly where the text ends: a prefix of a packed
// text is valid precisely when it ends at an entry boundary, and then holds the entries before that boundary.
TEST(LengthPacked, RandomRoundTripsAndEveryPrefix) {
  std::mt19937 rng(20240601);
  for (int round = 0; round < 3000; ++round) {
    const Entries entries = RandomEntries(rng);
    const std::string packed = Make(entries).AsLengthPackedString();
    OFLTokenizer back = Make({"stale"});
    ASSERT_TRUE(back.FromLengthPackedString(packed)) << packed;
    ASSERT_EQ(back.Items(), entries);
    ASSERT_EQ(back.AsLengthPackedString(), packed);
    Entries want{"keep"};
    OFLTokenizer appended = Make(want);
    ASSERT_TRUE(appended.AddLengthPackedStrings(packed));
    want.insert(want.end(), entries.begin(), entries.end());
    ASSERT_EQ(appended.Items(), want);
    if (round >= 300) continue;
    std::vector<size_t> boundaries{0};
    for (const auto& e : entries)
      boundaries.push_back(boundaries.back() + std::to_string(e.size()).size() + 1 + e.size());
    for (size_t cut = 0; cut <= packed.size(); ++cut) {
      // A heap copy of exactly `cut` bytes lets ASan catch any read past it.
      const std::unique_ptr<char[]> copy(new char[cut + 1]);
      std::copy(packed.begin(), packed.begin() + std::ptrdiff_t(cut), copy.get());
      OFLTokenizer t;
      const bool ok = t.FromLengthPackedString(std::string_view(copy.get(), cut));
      const auto at = std::find(boundaries.begin(), boundaries.end(), cut);
      ASSERT_EQ(ok, at != boundaries.end()) << "cut " << cut << " of " << packed;
      if (ok) {
        ASSERT_EQ(t.Items(), Entries(entries.begin(), entries.begin() + (at - boundaries.begin())));
      }
    }
  }
}

TEST(LengthPacked, SingleByteDamageNeverCrashesAndValidResultsAreCanonical) {
  const std::string packed = Make({"abc", "", "1:2", std::string("\0;", 2), "0123456789"}).AsLengthPackedString();
  for (size_t i = 0; i < packed.size(); ++i) {
    for (int b = 0; b < 256; ++b) {
      std::string damaged = packed;
      damaged[i] = char(b);
      OFLTokenizer t;
      if (t.FromLengthPackedString(damaged)) {
        ASSERT_EQ(t.AsLengthPackedString(), damaged);
      }
    }
  }
}

}  // namespace
