// String helpers, including the case-insensitive search and replacement checked against the
// plain repeated-search algorithm on many generated texts.
#include "text/strproc.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "text/chars.hpp"
#include "text/codepage.hpp"

namespace tw {
namespace {

// Bytes as characters through the code page, as a document line is read.
Text Bytes(std::string_view bytes) {
  return DecodeCp1252(bytes);
}

// The plain algorithms: lower everything again for every step.
int32_t PlainInStrNoCase(int32_t start, TextView text, TextView sought) {
  const Text lt = LowerCase(text);
  const Text ls = LowerCase(sought);
  const size_t from = start < 1 ? 0 : static_cast<size_t>(start - 1);
  if (from > lt.size()) return 0;
  const size_t p = lt.find(ls, from);
  return p == Text::npos ? 0 : static_cast<int32_t>(p + 1);
}

// Nothing when the repeated search has not ended after `limit` replacements.
std::optional<Text> PlainReplaceNoCase(TextView text, TextView sought, TextView replacement,
                                       int limit = 2000) {
  const Text ls = LowerCase(sought);
  Text current(text);
  for (int done = 0; done <= limit; ++done) {
    const size_t p = LowerCase(current).find(ls);
    if (p == Text::npos) return current;
    current = current.substr(0, p) + Text(replacement) + current.substr(p + ls.size());
  }
  return std::nullopt;
}

// Each occurrence in the original text replaced once, left to right.
Text OnePassReplaceNoCase(TextView text, TextView sought, TextView replacement) {
  const Text lt = LowerCase(text);
  const Text ls = LowerCase(sought);
  Text out;
  size_t pos = 0;
  for (size_t p = lt.find(ls); p != Text::npos; p = lt.find(ls, pos)) {
    out += Text(text.substr(pos, p - pos)) + Text(replacement);
    pos = p + ls.size();
  }
  return out + Text(text.substr(pos));
}

int32_t PlainCount(TextView text, TextView sought, bool caseSensitive) {
  if (text.empty() || sought.empty()) return 0;
  const size_t m = sought.size();
  int32_t n = 0;
  for (size_t b = 0; b + m <= text.size();) {
    const TextView piece = text.substr(b, m);
    const bool match = caseSensitive ? piece == sought : LowerCase(piece) == LowerCase(sought);
    if (match) {
      ++n;
      b += m;
    } else {
      ++b;
    }
  }
  return n;
}

TEST(LeftChars, Cases) {
  EXPECT_EQ(LeftChars(u"abc", 5), u"abc");
  EXPECT_EQ(LeftChars(u"abc", 3), u"abc");
  EXPECT_EQ(LeftChars(u"abc", 0), u"");
  EXPECT_EQ(LeftChars(u"abc", -3), u"");
  EXPECT_EQ(LeftChars(u"abc", 2), u"ab");
  EXPECT_EQ(LeftChars(u"", 2), u"");
}

TEST(RemoveCharsInSet, Cases) {
  const struct {
    TextView text;
    TextView set;
    int32_t start;
    TextView out;
  } cases[] = {
      {u"a b  c", u" ", 1, u"abc"}, {u"a b  c", u" ", 3, u"a bc"},
      {u"xxx", u"x", 1, u""},       {u"banana", u"b", 1, u"anana"},
      {u"banana", u"a", 1, u"bnn"}, {u"banana", u"", 1, u"banana"},
      {u"", u"a", 1, u""},          {u"aaa", u"a", 0, u""},
      {u"aaa", u"a", 3, u"aa"},     {u"aaa", u"a", 4, u"aaa"},
      {u"a,b;c", u";,", 1, u"abc"},
  };
  for (const auto& c : cases) {
    Text t(c.text);
    RemoveCharsInSet(t, c.set, c.start);
    EXPECT_EQ(t, c.out) << c.start;
    EXPECT_EQ(RemoveChars(c.text, c.set, c.start), c.out);
  }
  Text t = u"a-b-c";
  RemoveCharsInPlace(t, u"-");
  EXPECT_EQ(t, u"abc");
  const Text original = u"k e e p";
  EXPECT_EQ(RemoveChars(original, u" ", 1), u"keep");
  EXPECT_EQ(original, u"k e e p");
}

TEST(RemoveSpaces, KeepsOtherBlanks) {
  EXPECT_EQ(RemoveSpaces(u" a\tb \u00A0c "), u"a\tb\u00A0c");
  EXPECT_EQ(RemoveSpaces(u"   "), u"");
}

TEST(InStrNoCase, Cases) {
  const struct {
    int32_t start;
    TextView text;
    TextView sought;
    int32_t out;
  } cases[] = {
      {1, u"une \u00E9cole", u"\u00C9COLE", 5},
      {1, u"<TITLE>x</title>", u"</TITLE>", 9},
      {2, u"abcabc", u"ABC", 4},
      {5, u"abcabc", u"abc", 0},
      {0, u"abc", u"B", 2},
      {7, u"abc", u"c", 0},
      {1, u"abc", u"", 0},
      {1, u"", u"a", 0},
      {1, u"ab", u"abc", 0},
      {1, u"\u00E0 \u03A3", u"\u03C3", 0},  // the text lowers through the table
      {1, u"a \u03A3", u"\u03C3", 3},       // the text lowers generally
      {1, u"\u00E0 \u03A3", u"\u03A3", 0},  // sought lowered on its own: σ
      {1, u"\u00E0 \u03C3", u"\u03A3", 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InStrNoCase(c.start, c.text, c.sought), c.out) << c.start;
    if (!c.sought.empty()) {
      EXPECT_EQ(PlainInStrNoCase(c.start, c.text, c.sought), c.out) << c.start;
    }
  }
}

TEST(ReplaceNoCase, Cases) {
  const struct {
    TextView text;
    TextView sought;
    TextView replacement;
    TextView out;
  } cases[] = {
      {u"<B>bold</b> <b>more</B>", u"<b>", u"", u"bold</b> more</B>"},
      {u"abb", u"ab", u"a", u"a"},  // each pass searches again from the start
      {u"aab", u"ab", u"a", u"aa"},
      {u"xyz", u"Q", u"r", u"xyz"},
      {u"\u00C9t\u00E9 \u00C9T\u00C9", u"\u00E9t\u00E9", u"summer", u"summer summer"},
      // Removing the last accented letter makes the text lower generally: Σ now matches.
      {u"\u03A3 \u00C0", u"\u00E0", u"", u"\u03A3 "},
      {u"\u03A3 \u00C0", u"\u03C3", u"s", u"\u03A3 \u00C0"},
      {u"\u03A3\u00E0 \u03A3", u"\u00E0", u"-", u"\u03A3- \u03A3"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceNoCase(c.text, c.sought, c.replacement), c.out);
    EXPECT_EQ(PlainReplaceNoCase(c.text, c.sought, c.replacement), Text(c.out));
  }
}

TEST(ReplaceNoCase, EndsWhereTheRepeatedSearchWouldNot) {
  // Each occurrence of the original text is replaced once.
  const struct {
    TextView text;
    TextView sought;
    TextView replacement;
  } cases[] = {
      {u"a-b-c", u"-", u"--"},        // holds the sought text
      {u"Tag tag", u"TAG", u"tags"},  // holds it ignoring case
      {u"aab", u"ab", u"bbaa"},       // "a" + "b" forms again at every step
      {u"xaabaab", u"AB", u"bbaa"},
  };
  for (const auto& c : cases) {
    ASSERT_FALSE(PlainReplaceNoCase(c.text, c.sought, c.replacement));
    EXPECT_EQ(ReplaceNoCase(c.text, c.sought, c.replacement),
              OnePassReplaceNoCase(c.text, c.sought, c.replacement));
  }
  EXPECT_EQ(ReplaceNoCase(u"aab", u"ab", u"bbaa"), u"abbaa");
  // A chain that ends is followed to its end.
  EXPECT_EQ(ReplaceNoCase(u"aab", u"ab", u"bbbba"), *PlainReplaceNoCase(u"aab", u"ab", u"bbbba"));
}

TEST(ReplaceNoCase, LongTextInOnePiece) {
  Text text;
  for (int i = 0; i < 200000; ++i)
    text += u"<P>x";
  const Text out = ReplaceNoCase(text, u"<p>", u"");
  EXPECT_EQ(out, Text(200000, u'x'));
}

// Generated texts over a small alphabet that mixes capitals, accented letters, a Greek
// capital and ß, so that matches overlap, straddle replacements and switch the lowering.
TEST(CaseInsensitive, AgreesWithPlainAlgorithmOnGeneratedTexts) {
  const Text alphabet = u"aAbB\u00E9\u00C9\u03A3\u03C3\u00DF";
  std::mt19937 rng(12345);
  auto make = [&](size_t maxLen, size_t minLen) {
    std::uniform_int_distribution<size_t> len(minLen, maxLen);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    Text t(len(rng), u' ');
    for (char16_t& c : t)
      c = alphabet[pick(rng)];
    return t;
  };
  for (int round = 0; round < 20000; ++round) {
    const Text text = make(14, 0);
    const Text sought = make(3, 1);
    const Text replacement = make(3, 0);
    const int32_t start = static_cast<int32_t>(rng() % 16);
    ASSERT_EQ(InStrNoCase(start, text, sought), PlainInStrNoCase(start, text, sought));
    ASSERT_EQ(CountOccurrences(text, sought, false), PlainCount(text, sought, false));
    ASSERT_EQ(CountOccurrences(text, sought, true), PlainCount(text, sought, true));
    // Chains of replacements that form the sought text anew can be endless; those are
    // checked apart.
    const std::optional<Text> plain = PlainReplaceNoCase(text, sought, replacement, 200);
    if (!plain) continue;
    ASSERT_EQ(ReplaceNoCase(text, sought, replacement), *plain)
        << "round " << round << " text " << ToUtf8(text) << " sought " << ToUtf8(sought)
        << " replacement " << ToUtf8(replacement);
  }
}

TEST(CountOccurrences, Cases) {
  const struct {
    TextView text;
    TextView sought;
    bool caseSensitive;
    int32_t out;
  } cases[] = {
      {u"aaaa", u"aa", true, 2},
      {u"aaa", u"aa", true, 1},
      {u"a,b,c", u",", true, 2},
      {u"AbAB", u"ab", false, 2},
      {u"AbAB", u"ab", true, 0},
      {u"", u"a", false, 0},
      {u"abc", u"", false, 0},
      {u"\u00C9T\u00C9 \u00E9t\u00E9", u"\u00E9t\u00E9", false, 2},
      {u"\u03A3 \u00E0\u03A3", u"\u03C3", false, 2},  // each piece lowered on its own
      {u"\u03A3 \u00E0\u03A3", u"\u00C0\u03A3", false, 1},
      {u"a\u03A3", u"A\u03A3", false, 1},
      {u"ab", u"abc", false, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CountOccurrences(c.text, c.sought, c.caseSensitive), c.out);
    EXPECT_EQ(PlainCount(c.text, c.sought, c.caseSensitive), c.out);
  }
}

TEST(DecodeUtf8Latin, Cases) {
  const struct {
    std::string_view bytes;
    TextView out;
  } cases[] = {
      {"caf\xC3\xA9", u"caf\u00E9"},
      {"a\xC2\xA0z", u"a\u00A0z"},
      {"x\xC2\x85y", u"xy"},                // C1 controls vanish
      {"end\xC3", u"end\u00C3"},            // lone lead at the end stays
      {"\xC3x\xC3\xBF", u"\u00C3x\u00FF"},  // lead before a letter stays, scan goes on
      {"\xC2\xBF\xC2\xA1", u"\u00BF\u00A1"},
      {"\xC3\x80\xC3\x9F", u"\u00C0\u00DF"},
      {"\xC5\x92uvre", u"\u0152uvre"},    // Œ
      {"it\xE2\x80\x99s", u"it\u2019s"},  // ’
      {"a\xE2\x80\x94"
       "b",
       u"a\u2014b"},                  // —
      {"5\xE2\x82\xAC", u"5\u20AC"},  // €
      {"\xE2\x84\xA2\xC5\xB8\xCB\x86", u"\u2122\u0178\u02C6"},
      {"\xC5\x81\xC3\xB3", u"\xC5\x81\u00F3"},  // Ł has no single byte: left as bytes
      {"\xE2\x80", u"\u00E2\u20AC"},            // a cut sequence stays
      {"\xE2\x82\xC3\xA9", u"\u00E2\u201A\u00E9"},
      {"\xC0\x80", u"\u00C0\u20AC"},  // overlong form is not decoded
      {"plain", u"plain"},
      {"", u""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DecodeUtf8Latin(Bytes(c.bytes)), Text(c.out)) << c.bytes;
}

TEST(EncodeUtf8Latin, Cases) {
  const struct {
    TextView text;
    std::string_view bytes;
  } cases[] = {
      {u"\u00E9", "\xC3\xA9"},
      {u"caf\u00E9", "caf\xC3\xA9"},
      {u"\u00BF", "\xC2\xBF"},
      {u"\u00A0", "\xC2\xA0"},
      {u"\u20AC5",
       "\xE2\x82\xAC"
       "5"},
      {u"\u2019\u0152", "\xE2\x80\x99\xC5\x92"},
      {u"\u0141", "\xC5\x81"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {u"plain <meta>", "plain <meta>"},
      {u"", ""},
  };
  for (const auto& c : cases) {
    const Text encoded = EncodeUtf8Latin(c.text);
    EXPECT_EQ(EncodeCp1252(encoded), std::string(c.bytes));
    EXPECT_EQ(FromUtf8(EncodeCp1252(encoded)), Text(c.text));
  }
}

TEST(Utf8Latin, RoundTripOfEveryCodePageCharacter) {
  for (int b = 0xA0; b < 256; ++b) {
    const Text one(1, Cp1252ToChar(static_cast<unsigned char>(b)));
    EXPECT_EQ(DecodeUtf8Latin(EncodeUtf8Latin(one)), one) << b;
  }
  for (int b = 0x80; b < 0xA0; ++b) {
    const char16_t c = Cp1252ToChar(static_cast<unsigned char>(b));
    const Text one(1, c);
    // The five undefined bytes stand for C1 controls, which vanish; the others come back.
    const bool control = c < 0x100;
    EXPECT_EQ(DecodeUtf8Latin(EncodeUtf8Latin(one)), control ? Text() : one) << b;
  }
}

TEST(SmallHelpers, InStrAndReplaceAll) {
  EXPECT_EQ(InStr(1, u"abcabc", u"c"), 3);
  EXPECT_EQ(InStr(4, u"abcabc", u"c"), 6);
  EXPECT_EQ(InStr(7, u"abcabc", u"c"), 0);
  EXPECT_EQ(InStr(-1, u"abc", u"a"), 1);
  EXPECT_EQ(InStr(1, u"abc", u""), 0);
  EXPECT_EQ(InStr(1, u"abc", u"A"), 0);
  EXPECT_EQ(ReplaceAll(u"a.b.c", u".", u".."), u"a..b..c");
  EXPECT_EQ(ReplaceAll(u"aaa", u"aa", u"b"), u"ba");
  EXPECT_EQ(ReplaceAll(u"abc", u"", u"x"), u"abc");
}

TEST(SmallHelpers, TrimAndNumbers) {
  EXPECT_EQ(TrimSpaces(u"  a b  "), u"a b");
  EXPECT_EQ(TrimSpaces(u"\ta "), u"\ta");
  EXPECT_EQ(TrimSpaces(u"   "), u"");
  EXPECT_EQ(TrimControlAndSpaces(u"\r\n\t a b \x01"), u"a b");
  EXPECT_EQ(TrimControlAndSpaces(u"\u00A0x"), u"\u00A0x");
  EXPECT_EQ(NumberText(0), u"0");
  EXPECT_EQ(NumberText(-42), u"-42");
  EXPECT_EQ(NumberText(3000000000LL), u"3000000000");
  EXPECT_EQ(FormatWithLeadingSpace(7), u" 7");
  EXPECT_EQ(FormatWithLeadingSpace(-7), u"-7");
  EXPECT_EQ(Ascii("x=1"), u"x=1");
}

// The decoding of bytes gives the bytes of what the decoding of 16-bit text gives, into
// another room and over the bytes themselves.
TEST(DecodeUtf8LatinBytes, AgreesWithTheTextDecoding) {
  std::mt19937 rng(31);
  const std::vector<std::string> pieces = {
      "a",        " ",        "\xC3\xA9", "\xC3",         "\xA9",         "\xE2\x82\xAC",
      "\xE2\x82", "\xC2\x85", "\xC4\x99", "\xED\xA0\x80", "\xE0\x80\x80", "\xF0\x9F\x98\x80",
      "\xC2\xA0", "\x80",     "\xFF",     "\xEF\xBB\xBF", "<b>"};
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    const size_t n = rng() % 20;
    for (size_t k = 0; k < n; ++k)
      bytes += pieces[rng() % pieces.size()];
    const std::string expected = EncodeCp1252(DecodeUtf8Latin(DecodeCp1252(bytes)));
    std::string out(bytes.size(), '\0');
    out.resize(DecodeUtf8LatinBytes(bytes, out.data()));
    ASSERT_EQ(out, expected) << bytes;
    std::string same = bytes;
    same.resize(DecodeUtf8LatinBytes(same, same.data()));
    ASSERT_EQ(same, expected) << bytes;
  }
}

}  // namespace
}  // namespace tw
