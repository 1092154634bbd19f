// Character references and word cutting: the reference table, the decoding rules (a decoded
// "&" starts nothing new, unknown text up to ";" is passed over whole), the fixed
// replacements, word runs and contractions; the one-pass decoding against the rules in turn.
#include "scan/entities.hpp"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "analysis/settings.hpp"
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
  Text line = GetParam().input;
  DecodeEntities(line);
  EXPECT_EQ(ToUtf8(line), ToUtf8(GetParam().expected));
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
    Text decoded = line;
    DecodeEntities(decoded);
    ASSERT_EQ(decoded, DecodeInTurn(line)) << ToUtf8(line);
  }
}

TEST(FixedReplacements, ReplaceTheFiveReferencesExactly) {
  Text line = u"a&nbsp;b&#160;c&quot;d&laquo;e&raquo;f &NBSP; &amp; &nbsp";
  ReplaceFixedReferences(line);
  EXPECT_EQ(line, u"a b c\"d\"e\"f &NBSP; &amp; &nbsp");
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
  int32_t start;
  int32_t language;
  int32_t length;
  bool contraction;
  int32_t next;
};

void PrintTo(const CutCase& c, std::ostream* os) {
  *os << c.name;
}

class CutWordTest : public testing::TestWithParam<CutCase> {};

TEST_P(CutWordTest, CutsTheWord) {
  const CutCase& c = GetParam();
  const WordCut cut = CutWord(c.line, c.start, c.language);
  EXPECT_EQ(cut.length, c.length);
  EXPECT_EQ(cut.contraction, c.contraction);
  EXPECT_EQ(cut.next, c.next);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CutWordTest,
    testing::Values(
        CutCase{"plain", u"word rest", 1, 0, 4, false, 5},
        CutCase{"dont", u"don't stop", 1, 0, 3, true, 7},
        CutCase{"Im", u"I'm here", 1, 0, 1, true, 5},
        CutCase{"capital tail", u"we'D x", 1, 0, 2, true, 6},
        CutCase{"possessive", u"Peter's car", 1, 0, 5, false, 6},
        CutCase{"capital S possessive", u"PETER'S car", 1, 0, 5, false, 6},
        CutCase{"two letters after", u"they're ", 1, 0, 4, false, 5},
        CutCase{"punctuation after", u"don't.", 1, 0, 3, false, 4},
        CutCase{"at the end of the line", u"don't", 1, 0, 3, false, 4},
        CutCase{"french keeps apostrophes", u"l'homme ", 1, kFrenchLanguageIndex, 7, false, 8},
        CutCase{"french no contraction", u"don't stop", 1, kFrenchLanguageIndex, 5, false, 6},
        CutCase{"all languages has no extras", u"c'est", 1, kAllLanguagesIndex, 1, false, 2},
        CutCase{"french c'est-a-dire", u"c'est-\u00E0-dire x", 1, kFrenchLanguageIndex, 12, false,
                13},
        CutCase{"english c'est-a-dire", u"c'est-\u00E0-dire x", 1, 0, 1, false, 2},
        // Characters above 255 are classed by their low 8 bits, the extra characters too.
        CutCase{"french low byte hyphen", u"a\u012Db x", 1, kFrenchLanguageIndex, 3, false, 4},
        CutCase{"english low byte hyphen", u"a\u012Db x", 1, 0, 1, false, 2},
        CutCase{"tail above 255", u"don'\u0153 x", 1, 0, 3, true, 7},
        CutCase{"mid line", u"x, mp3 ", 4, 0, 2, false, 6}),
    [](const auto& test) {
      std::string name = test.param.name;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

}  // namespace
}  // namespace tw
