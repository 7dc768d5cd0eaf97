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

Entries Of(const OFLTokenizer& t) { return t.Items(); }

OFLTokenizer Make(const Entries& entries) {
  OFLTokenizer t;
  for (const auto& e : entries) t.AddString(e);
  return t;
}

// Entries drawn from bytes that stress the packed form: separators, digits,
// colons, NULs and high bytes, with plenty of empty entries.
Entries RandomEntries(std::mt19937& rng) {
  static const char kBytes[] = "\0:;0123456789a|#,\xff\n";
  static const std::string alphabet(kBytes, sizeof kBytes - 1);
  std::uniform_int_distribution<int> count(0, 8), len(0, 14), pick(0, int(alphabet.size()) - 1), coin(0, 3);
  Entries out(size_t(count(rng)));
  for (auto& e : out) {
    if (coin(rng) == 0) continue;  // empty entry
    const int n = len(rng);
    for (int i = 0; i < n; ++i) e.push_back(alphabet[size_t(pick(rng))]);
  }
  return out;
}

TEST(TokenizerSplit, DropsEmptyPiecesAndSplitsAtAnySeparator) {
  EXPECT_EQ(Of(OFLTokenizer(";a;;b,c;", ";,")), (Entries{"a", "b", "c"}));
  EXPECT_EQ(Of(OFLTokenizer("", ";")), Entries{});
  EXPECT_EQ(Of(OFLTokenizer(";;;", ";")), Entries{});
  EXPECT_EQ(Of(OFLTokenizer("abc", "")), Entries{"abc"});
  EXPECT_EQ(Of(OFLTokenizer(std::string_view("a\0b", 3), std::string_view("\0", 1))), (Entries{"a", "b"}));

  OFLTokenizer t("x", ";");
  t.AddMultipleStrings("key = value=2", "=");
  EXPECT_EQ(Of(t), (Entries{"x", "key ", " value", "2"}));
}

TEST(TokenizerAppend, NumbersAndOperators) {
  OFLTokenizer t;
  t += "first";
  t.AddDWord(4294967295u);
  t.AddQWord(18446744073709551615ull);
  t.AddString("");
  EXPECT_EQ(Of(t), (Entries{"first", "4294967295", "18446744073709551615", ""}));
  EXPECT_EQ(t.AsDWord(1), 4294967295u);
  EXPECT_EQ(t.AsQWord(2), 18446744073709551615ull);
  EXPECT_EQ(t.AsDWord(0), 0u);
  EXPECT_EQ(t.AsDWord(2), 0xFFFFFFFFu);  // saturates like the C runtime
  EXPECT_EQ(t.AsDWord(99), 0u);
  EXPECT_EQ(t.AsQWord(-1), 0u);
}

TEST(TokenizerAppend, DoubleNullTerminatedArray) {
  OFLTokenizer t;
  t.AddDoubleNullTerminatedArray(std::string_view("a=1\0b = 2\0\0ignored\0\0", 21));
  EXPECT_EQ(Of(t), (Entries{"a=1", "b = 2"}));

  OFLTokenizer u;
  u.AddDoubleNullTerminatedArray(std::string_view("x\0y", 3));  // end of buffer ends the list too
  EXPECT_EQ(Of(u), (Entries{"x", "y"}));
  u.AddDoubleNullTerminatedArray(std::string_view("\0z\0", 3));
  EXPECT_EQ(Of(u), (Entries{"x", "y"}));
  u.AddDoubleNullTerminatedArray({});
  EXPECT_EQ(u.GetCount(), 2);
}

TEST(TokenizerAppend, AppendTokenizerUniqueIgnoresCase) {
  OFLTokenizer a = Make({"Net", "disk"});
  const OFLTokenizer b = Make({"NET", "Print", "print", "Disk", "scan"});
  OFLTokenizer all = a;
  all.AppendTokenizer(b, false);
  EXPECT_EQ(all.GetCount(), 7);
  a.AppendTokenizer(b, true);
  EXPECT_EQ(Of(a), (Entries{"Net", "disk", "Print", "scan"}));
  a.AppendTokenizer(a, true);  // self-append changes nothing
  EXPECT_EQ(a.GetCount(), 4);
  a.AppendTokenizer(a, false);
  EXPECT_EQ(a.GetCount(), 8);
}

TEST(TokenizerAccess, IndexGetAtAndEdits) {
  OFLTokenizer t = Make({"a", "b", "c"});
  EXPECT_EQ(t[1], "b");
  EXPECT_THROW(t[3], std::out_of_range);
  EXPECT_THROW(t[-1], std::out_of_range);
  const OFLTokenizer& ct = t;
  EXPECT_THROW(ct[3], std::out_of_range);
  EXPECT_EQ(t.GetAt(5, "fb"), "fb");
  EXPECT_EQ(t.GetAt(-1), "");
  EXPECT_EQ(t.GetAt(2), "c");

  t.SetAt(1, "B");
  t.SetAt(3, "ignored");
  t.SetAt(-1, "ignored");
  t.RemoveAt(7);
  t.RemoveAt(-2);
  EXPECT_EQ(Of(t), (Entries{"a", "B", "c"}));
  t.InsertAt(-5, "front");
  t.InsertAt(100, "back");
  t.InsertAt(2, "mid");
  EXPECT_EQ(Of(t), (Entries{"front", "a", "mid", "B", "c", "back"}));
  t.RemoveAt(0);
  EXPECT_EQ(t[0], "a");
  t.SetAt(0, t[1]);  // aliasing an entry of the list itself
  t.InsertAt(0, t[4]);
  EXPECT_EQ(Of(t), (Entries{"back", "mid", "mid", "B", "c", "back"}));
  t.Clear();
  EXPECT_TRUE(t.IsEmpty());
}

TEST(TokenizerAccess, FindAndJoin) {
  const OFLTokenizer t = Make({"Alpha", "beta", "", "ALPHA"});
  EXPECT_EQ(t.FindString("alpha"), 0);
  EXPECT_EQ(t.FindString("ALPHA", true), 3);
  EXPECT_EQ(t.FindString("alp"), -1);
  EXPECT_EQ(t.FindString(""), 2);

  EXPECT_EQ(t.AsString(";"), "Alpha;beta;;ALPHA");
  EXPECT_EQ(t.AsString(", ", 1), "beta, , ALPHA");
  EXPECT_EQ(t.AsString("|", 1, 2), "beta|");
  EXPECT_EQ(t.AsString("|", 3, 10), "ALPHA");
  EXPECT_EQ(t.AsString("|", 4), "");
  EXPECT_EQ(t.AsString("|", -3, 1), "Alpha");
  EXPECT_EQ(OFLTokenizer().AsString(";"), "");
}

TEST(LengthPacked, Layout) {
  EXPECT_EQ(OFLTokenizer().AsLengthPackedString(), "");
  EXPECT_EQ(Make({""}).AsLengthPackedString(), "0:");
  EXPECT_EQ(Make({"abc", "", ";;", "12:x"}).AsLengthPackedString(), "3:abc0:2:;;4:12:x");
  EXPECT_EQ(Make({std::string(10, 'z')}).AsLengthPackedString(), "10:" + std::string(10, 'z'));
}

TEST(LengthPacked, RandomRoundTrips) {
  std::mt19937 rng(20240601);
  for (int round = 0; round < 3000; ++round) {
    const Entries entries = RandomEntries(rng);
    const std::string packed = Make(entries).AsLengthPackedString();
    OFLTokenizer back = Make({"stale"});
    ASSERT_TRUE(back.FromLengthPackedString(packed)) << packed;
    ASSERT_EQ(Of(back), entries);
    ASSERT_EQ(back.AsLengthPackedString(), packed);

    OFLTokenizer appended = Make({"keep"});
    ASSERT_TRUE(appended.AddLengthPackedStrings(packed));
    Entries want{"keep"};
    want.insert(want.end(), entries.begin(), entries.end());
    ASSERT_EQ(Of(appended), want);
  }
}

TEST(LengthPacked, NestedListsAndLargeEntries) {
  const std::string inner = Make({"name", "", "v;a:l"}).AsLengthPackedString();
  const std::string big(1 << 20, '\x01');
  const std::string outer = Make({inner, big, inner}).AsLengthPackedString();
  OFLTokenizer t;
  ASSERT_TRUE(t.FromLengthPackedString(outer));
  ASSERT_EQ(t.GetCount(), 3);
  EXPECT_EQ(t[1], big);
  OFLTokenizer pair;
  ASSERT_TRUE(pair.FromLengthPackedString(t[2]));
  EXPECT_EQ(Of(pair), (Entries{"name", "", "v;a:l"}));
  ASSERT_TRUE(t.FromLengthPackedString(t[0]));  // reading from one of its own entries
  EXPECT_EQ(Of(t), (Entries{"name", "", "v;a:l"}));
}

TEST(LengthPacked, MalformedInputIsRejected) {
  const char* const bad[] = {
      "3:ab",          // content truncated
      "a:",            // not a length
      ":",             // no digits
      ":abc",          //
      "01:a",          // leading zero
      "00:",           //
      "-1:a",          // sign
      "+1:a",          //
      " 1:a",          // leading white space
      "1",             // no colon
      "12",            //
      "1a",            //
      "1:a2",          // trailing digits without colon
      "1:ab",          // trailing garbage
      "0:0",           //
      "4294967296:x",  // over 32 bits
      "99999999999999999999999999:",
      "4294967295:x",  // 32 bits but longer than the text
      "18446744073709551617:",
  };
  for (const char* text : bad) {
    OFLTokenizer t = Make({"old"});
    EXPECT_FALSE(t.FromLengthPackedString(text)) << text;
    EXPECT_TRUE(t.IsEmpty()) << text;
    OFLTokenizer u = Make({"old"});
    EXPECT_FALSE(u.AddLengthPackedStrings(text)) << text;
    EXPECT_EQ(Of(u), Entries{"old"}) << text;
  }
  OFLTokenizer t;
  EXPECT_TRUE(t.FromLengthPackedString(""));
  EXPECT_TRUE(t.IsEmpty());
  EXPECT_FALSE(t.FromLengthPackedString(std::string_view("\0", 1)));
}

// Reading stops exactly where the text ends: a prefix of a packed text is
// valid precisely when it ends at an entry boundary, and then holds the
// entries before that boundary.
TEST(LengthPacked, EveryPrefixIsEitherTheLeadingEntriesOrRejected) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    const Entries entries = RandomEntries(rng);
    const std::string packed = Make(entries).AsLengthPackedString();
    std::vector<size_t> boundaries{0};
    for (const auto& e : entries) boundaries.push_back(boundaries.back() + std::to_string(e.size()).size() + 1 + e.size());
    for (size_t cut = 0; cut <= packed.size(); ++cut) {
      // A heap copy of exactly `cut` bytes lets ASan catch any read past it.
      const std::unique_ptr<char[]> copy(new char[cut + 1]);
      std::copy(packed.begin(), packed.begin() + std::ptrdiff_t(cut), copy.get());
      OFLTokenizer t;
      const bool ok = t.FromLengthPackedString(std::string_view(copy.get(), cut));
      const auto at = std::find(boundaries.begin(), boundaries.end(), cut);
      ASSERT_EQ(ok, at != boundaries.end()) << "cut " << cut << " of " << packed;
      if (ok) {
        const size_t k = size_t(at - boundaries.begin());
        ASSERT_EQ(Of(t), Entries(entries.begin(), entries.begin() + std::ptrdiff_t(k)));
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
