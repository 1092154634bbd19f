// Character references and word cutting: the reference table, the decoding rules (a decoded
// "&" starts nothing new, unknown text up to ";" is passed over whole), the fixed
// replacements, word runs and contractions; the one-pass decoding against the rules in turn.
#include "scan/entities.hpp"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "analysis/settings.hpp"
#include "scan/marking.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"

namespace tw {
namespace {

struct DecodeCase {
  const char* name;
  Text input;
  Text expected;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
  *os << c.name;
}

class DecodeEntitiesTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeEntitiesTest, DecodesAsTheRulesSay) {
  std::string line = EncodeCp1252(GetParam().input);
  DecodeEntities(line);
  EXPECT_EQ(ToUtf8(DecodeCp1252(line)), ToUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeEntitiesTest,
    testing::Values(
        DecodeCase{"letter", u"caf&eacute;", u"caf\u00E9"},
        DecodeCase{"capital and small", u"&Eacute;t&eacute;", u"\u00C9t\u00E9"},
        DecodeCase{"other case is not decoded", u"&EACUTE; &AMP;", u"&EACUTE; &AMP;"},
        DecodeCase{"decoded ampersand starts nothing", u"&amp;amp; &amp;copy;", u"&amp; &copy;"},
        DecodeCase{"ampersand in text", u"Fish &amp; Chips", u"Fish & Chips"},
        DecodeCase{"numeric outside the table", u"&#169; &#8212; &#160;", u"&#169; \u2014  "},
        DecodeCase{"quot", u"say &quot;hi&quot;", u"say \"hi\""},
        DecodeCase{"copyright", u"&copy; 2024", u"\u00A9 2024"},
        DecodeCase{"text up to the semicolon is one candidate", u"R&D team &amp; more; &amp;",
                   u"R&D team &amp; more; &"},
        DecodeCase{"no semicolon leaves the rest", u"a &amp b &eacute", u"a &amp b &eacute"},
        DecodeCase{"named references outside the table", u"&lt;&gt;&trade;&euro;",
                   u"&lt;&gt;&trade;&euro;"},
        DecodeCase{"adjacent", u"&auml;&ouml;&uuml;&szlig;", u"\u00E4\u00F6\u00FC\u00DF"},
        DecodeCase{"empty", u"", u""}, DecodeCase{"only an ampersand", u"&", u"&"}),
    [](const auto& test) {
      std::string name = test.param.name;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

TEST(EntityTable, HoldsTheSpecialEntriesAndEveryLatinLetter) {
  std::set<TextView> references;
  std::set<char16_t> letters;
  for (const EntityEntry& e : strEntityTable) {
    EXPECT_TRUE(e.reference.starts_with(u"&") && e.reference.ends_with(u";"));
    references.insert(e.reference);
    if (e.character >= u'\u00C0' && e.character <= u'\u00FF') letters.insert(e.character);
  }
  EXPECT_EQ(references.size(), 67u);
  // U+00C0 .. U+00FF without the multiplication and division signs.
  EXPECT_EQ(letters.size(), 62u);
  EXPECT_EQ(letters.count(u'\u00D7'), 0u);
  EXPECT_EQ(letters.count(u'\u00F7'), 0u);
  EXPECT_EQ(EntityChar(u"&amp;"), u'&');
  EXPECT_EQ(EntityChar(u"&nbsp;"), u' ');
  EXPECT_EQ(EntityChar(u"&#8212;"), u'\u2014');
  EXPECT_EQ(EntityChar(u"&THORN;"), u'\u00DE');
  EXPECT_EQ(EntityChar(u"&thorn;"), u'\u00FE');
  EXPECT_EQ(EntityChar(u"&quot;"), u'"');
  EXPECT_EQ(EntityChar(u"&times;"), 0);
  EXPECT_EQ(EntityChar(u"&\u00e9;"), 0);
  // The same by bytes: every reference, and the byte of its character.
  for (const EntityEntry& e : strEntityTable)
    EXPECT_EQ(EntityByte(EncodeCp1252(e.reference)), Cp1252FromChar(e.character));
  EXPECT_EQ(EntityByte("&#8212;"), 0x97);
  EXPECT_EQ(EntityByte("&quot;"), '"');
  for (const char* other : {"", "&", ";", "&amp", "amp;", "&AMP;", "&amp;x", "&Aacute;;", "&aacute",
                            "&thorn; ", "&#169;", "\0\0\0\0"})
    EXPECT_EQ(EntityByte(std::string_view(other)), -1) << other;
}

// The decoding as the rules state it: find "&", then ";", replace or pass over, go on.
Text DecodeInTurn(Text s) {
  size_t start = 0;
  for (;;) {
    const size_t a = s.find(u'&', start);
    if (a == Text::npos) return s;
    const size_t b = s.find(u';', a);
    if (b == Text::npos) return s;
    const Text r = s.substr(a, b - a + 1);
    char16_t c = 0;
    if (r == u"&quot;") {
      c = u'"';
    } else {
      for (const EntityEntry& e : strEntityTable) {
        if (e.reference == r) c = e.character;
      }
    }
    if (c != 0) {
      s.replace(a, r.size(), 1, c);
      start = a + 1;
    } else {
      start = b + 1;
    }
  }
}

TEST(DecodeEntities, OnePassAgreesWithTheRulesInTurn) {
  const std::vector<Text> pieces = {u"&",      u";",      u"amp",      u"amp;",    u"&amp;",
                                    u"&copy;", u"eacute", u"&Eacute;", u"#160",    u"x",
                                    u" ",      u"&&",     u"quot;",    u"&#8212;", u"nbsp"};
  std::mt19937 rng(7);
  for (int i = 0; i < 5000; ++i) {
    Text line;
    const int n = static_cast<int>(rng() % 25);
    for (int k = 0; k < n; ++k)
      line += pieces[rng() % pieces.size()];
    std::string decoded = EncodeCp1252(line);
    DecodeEntities(decoded);
    ASSERT_EQ(decoded, EncodeCp1252(DecodeInTurn(line))) << ToUtf8(line);
  }
}

TEST(FixedReplacements, TheFiveReferencesExactly) {
  struct Case {
    std::string_view text;
    size_t length;
    char byte;
  };
  const Case cases[] = {{"&nbsp;b", 6, ' '}, {"&#160;", 6, ' '},  {"&quot;x", 6, '"'},
                        {"&laquo;", 7, '"'}, {"&raquo;", 7, '"'}, {"&NBSP;", 0, 0},
                        {"&nbsp", 0, 0},     {"&amp;", 0, 0},     {"nbsp;", 0, 0},
                        {"&", 0, 0},         {"", 0, 0},          {"&#160", 0, 0}};
  for (const Case& c : cases) {
    const FixedReference found = FixedReferenceAt(c.text);
    EXPECT_EQ(found.length, c.length) << c.text;
    if (c.length > 0) {
      EXPECT_EQ(found.byte, c.byte) << c.text;
    }
  }
  std::string line;
  MarkContextTags("a&nbsp;b&#160;c&quot;d&laquo;e&raquo;f &NBSP; &amp; &nbsp", false, line);
  EXPECT_EQ(line, "a b c\"d\"e\"f &NBSP; &amp; &nbsp");
}

TEST(WordRunLength, CountsLettersUpToTheLimit) {
  const Text text = u"abc1d-e'f;";
  EXPECT_EQ(WordRunLength(text, 1, false, u""), 3);
  EXPECT_EQ(WordRunLength(text, 1, true, u""), 5);
  EXPECT_EQ(WordRunLength(text, 1, true, u"-'"), 9);
  EXPECT_EQ(WordRunLength(text, 4, false, u""), 0);
  EXPECT_EQ(WordRunLength(text, 0, false, u""), 0);
  EXPECT_EQ(WordRunLength(text, 99, false, u""), 0);
  // Letters of the Latin-1 range and characters classed by their low 8 bits.
  EXPECT_EQ(WordRunLength(u"\u00DF\u00E9\u0153x\u00D7", 1, false, u""), 4);
  EXPECT_EQ(WordRunLength(u"\u0160", 1, false, u""), 0);

  const Text longRun(70000, u'a');
  EXPECT_EQ(WordRunLength(longRun, 1, false, u""), kMaxWordRunLength);
  EXPECT_EQ(WordRunLength(longRun, 65001, false, u""), 5000);
}

TEST(WordRunLength, TellsWhatFollowsTheRun) {
  WordRunEnd end;
  WordRunLength(u"ab;c", 1, false, u"", &end);
  EXPECT_TRUE(end.semicolon);
  EXPECT_FALSE(end.fullStop || end.doubleQuote || end.tab);
  WordRunLength(u"ab.", 1, false, u"", &end);
  EXPECT_TRUE(end.fullStop);
  WordRunLength(u"ab\"", 1, false, u"", &end);
  EXPECT_TRUE(end.doubleQuote);
  WordRunLength(u"ab\t", 1, false, u"", &end);
  EXPECT_TRUE(end.tab);
  WordRunLength(u"ab", 1, false, u"", &end);
  EXPECT_FALSE(end.semicolon || end.fullStop || end.doubleQuote || end.tab);
}

struct CutCase {
  const char* name;
  Text line;
  size_t at;
  int32_t language;
  size_t length;
  bool contraction;
  size_t next;
};

void PrintTo(const CutCase& c, std::ostream* os) {
  *os << c.name;
}

class CutWordTest : public testing::TestWithParam<CutCase> {};

TEST_P(CutWordTest, CutsTheWord) {
  const CutCase& c = GetParam();
  const WordCut cut = CutWord(EncodeCp1252(c.line), c.at, c.language);
  EXPECT_EQ(cut.length, c.length);
  EXPECT_EQ(cut.contraction, c.contraction);
  EXPECT_EQ(cut.next, c.next);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CutWordTest,
    testing::Values(
        CutCase{"plain", u"word rest", 0, 0, 4, false, 4},
        CutCase{"dont", u"don't stop", 0, 0, 3, true, 6},
        CutCase{"Im", u"I'm here", 0, 0, 1, true, 4},
        CutCase{"capital tail", u"we'D x", 0, 0, 2, true, 5},
        CutCase{"possessive", u"Peter's car", 0, 0, 5, false, 5},
        CutCase{"capital S possessive", u"PETER'S car", 0, 0, 5, false, 5},
        CutCase{"two letters after", u"they're ", 0, 0, 4, false, 4},
        CutCase{"punctuation after", u"don't.", 0, 0, 3, false, 3},
        CutCase{"at the end of the line", u"don't", 0, 0, 3, false, 3},
        CutCase{"french keeps apostrophes", u"l'homme ", 0, kFrenchLanguageIndex, 7, false, 7},
        CutCase{"french no contraction", u"don't stop", 0, kFrenchLanguageIndex, 5, false, 5},
        CutCase{"all languages has no extras", u"c'est", 0, kAllLanguagesIndex, 1, false, 1},
        CutCase{"french c'est-a-dire", u"c'est-\u00E0-dire x", 0, kFrenchLanguageIndex, 12, false,
                12},
        CutCase{"english c'est-a-dire", u"c'est-\u00E0-dire x", 0, 0, 1, false, 1},
        // Characters of the code page beyond Latin-1 are classed by the low 8 bits of their
        // code: Œ (U+0152) as R, œ as S, Ÿ as x, ˆ as Æ; Š (U+0160) as a back quote.
        CutCase{"oe ligature is a letter", u"a\u0152b\u0153 x", 0, 0, 4, false, 4},
        CutCase{"y diaeresis and circumflex accent", u"\u0178\u02c6z x", 0, 0, 3, false, 3},
        CutCase{"s caron is no letter", u"a\u0160b x", 0, 0, 1, false, 1},
        CutCase{"tail above 255", u"don'\u0153 x", 0, 0, 3, true, 6},
        CutCase{"mid line", u"x, mp3 ", 3, 0, 2, false, 5},
        CutCase{"a word longer than sixteen letters", u"antidisestablishmentarianism. x", 0, 0, 28,
                false, 28},
        CutCase{"a long word with accents", u"\u00e9t\u00e9abcdefghijklmnopq\u00e9rstuv x", 0, 0,
                26, false, 26}),
    [](const auto& test) {
      std::string name = test.param.name;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

// The cut against the letter class one character at a time, on random lines: the vector
// path over ASCII letters and the table path over the rest must meet the same end.
TEST(CutWordAgreement, RandomLines) {
  const Text alphabet = u"abcXYZ-'\u00e9\u00c9\u0152\u0160\u00d7 .;0\u2019";
  std::mt19937 rng(5);
  for (int round = 0; round < 3000; ++round) {
    Text line;
    const size_t n = rng() % 60;
    for (size_t k = 0; k < n; ++k)
      line.push_back(alphabet[rng() % alphabet.size()]);
    const std::string bytes = EncodeCp1252(line);
    for (int32_t language : {0, kFrenchLanguageIndex}) {
      const TextView extra = WordExtraChars(language);
      for (size_t at = 0; at <= bytes.size(); ++at) {
        size_t end = at;
        while (end < bytes.size() && IsLetterChar(line[end], false, extra))
          ++end;
        ASSERT_EQ(CutWord(bytes, at, language).length, end - at) << ToUtf8(line) << " at " << at;
      }
    }
  }
}

}  // namespace
}  // namespace tw
