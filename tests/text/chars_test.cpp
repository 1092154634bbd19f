// Character tables, both lowerings, the word letter class and the set searches.
#include "text/chars.hpp"

#include <gtest/gtest.h>

#include "text/codepage.hpp"

namespace tw {
namespace {

TEST(CharTables, SizesAndPairing) {
  EXPECT_EQ(strUpperCaseLetters.size(), 59u);
  EXPECT_EQ(strLowerCaseLetters.size(), 60u);
  EXPECT_EQ(strAccentedLetters.size(), 59u);
  EXPECT_EQ(strVowels.size(), 60u);
  EXPECT_EQ(strLowerCaseLetters.back(), u'\u00DF');
  // Every capital lowers to its partner through both lowerings.
  for (size_t i = 0; i < strUpperCaseLetters.size(); ++i) {
    EXPECT_EQ(LowerChar(strUpperCaseLetters[i]), strLowerCaseLetters[i]) << i;
    EXPECT_EQ(TableLowerChar(strUpperCaseLetters[i]), strLowerCaseLetters[i]) << i;
  }
  EXPECT_EQ(strAccentedLetters.find(u'\u0152'), TextView::npos);   // Œ
  EXPECT_EQ(strAccentedLetters.find(u'\u00DF'), TextView::npos);   // ß
  EXPECT_EQ(strUpperCaseLetters.find(u'\u00D7'), TextView::npos);  // ×
}

TEST(LowerChar, SimpleMappingsAcrossScripts) {
  const struct {
    char16_t in;
    char16_t out;
  } cases[] = {
      {u'A', u'a'},           {u'z', u'z'},           {u'7', u'7'},
      {u'\u00C9', u'\u00E9'}, {u'\u00D7', u'\u00D7'}, {u'\u00DF', u'\u00DF'},
      {u'\u0178', u'\u00FF'}, {u'\u0152', u'\u0153'}, {u'\u0160', u'\u0161'},
      {u'\u017D', u'\u017E'}, {u'\u0141', u'\u0142'}, {u'\u0130', u'i'},
      {u'\u03A3', u'\u03C3'}, {u'\u0391', u'\u03B1'}, {u'\u0416', u'\u0436'},
      {u'\u0401', u'\u0451'}, {u'\u0531', u'\u0561'}, {u'\u10A0', u'\u2D00'},
      {u'\u1E9E', u'\u00DF'}, {u'\u2126', u'\u03C9'}, {u'\u212A', u'k'},
      {u'\u212B', u'\u00E5'}, {u'\uFF21', u'\uFF41'}, {u'\u13A0', u'\uAB70'},
      {u'\u20AC', u'\u20AC'}, {u'\u2019', u'\u2019'}, {u'\u01C5', u'\u01C6'},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(static_cast<int>(LowerChar(c.in)), static_cast<int>(c.out))
        << std::hex << static_cast<int>(c.in);
  }
}

TEST(LowerChar, EveryCodePageCharacter) {
  // Each of the 256 characters of the code page: capitals lower to a character of the code
  // page, everything else is left alone.
  for (int b = 0; b < 256; ++b) {
    const char16_t c = Cp1252ToChar(static_cast<unsigned char>(b));
    const char16_t lowered = LowerChar(c);
    const bool capital = (b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7) ||
                         b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9F;
    if (capital) {
      EXPECT_NE(lowered, c) << b;
      EXPECT_GE(Cp1252FromChar(lowered), 0) << b;
    } else {
      EXPECT_EQ(lowered, c) << b;
    }
  }
}

TEST(LowerCase, BranchesFollowAccentedLetters) {
  const struct {
    TextView in;
    TextView out;
  } cases[] = {
      {u"", u""},
      {u"\u00C9COLE", u"\u00E9cole"},                  // table branch
      {u"\u0152UVRE", u"\u0153uvre"},                  // general branch: Œ is not accented
      {u"\u00C0\u03A3", u"\u00E0\u03A3"},              // sigma passes through the table
      {u"A\u03A3", u"a\u03C3"},                        // general branch lowers both
      {u"\u00DF\u00C9", u"\u00DF\u00E9"},              // ß stays
      {u"\u017D\u00E9", u"\u017D\u00E9"},              // Ž is outside the table
      {u"\u017D", u"\u017E"},                          // ... but lowered generally
      {u"\u00DE\u00C6\u0178", u"\u00FE\u00E6\u00FF"},  // Ÿ is accented: table branch
  };
  for (const auto& c : cases)
    EXPECT_EQ(LowerCase(c.in), Text(c.out));
}

TEST(LowerCase, NeverProducesSharpS) {
  // Only the capital sharp s (U+1E9E) has ß as its lower-case form.
  for (int c = 0; c < 0x10000; ++c) {
    if (c == 0xDF || c == 0x1E9E) continue;
    const Text one(1, static_cast<char16_t>(c));
    const Text withAccent = one + u"\u00E9";
    EXPECT_NE(LowerCase(one)[0], u'\u00DF');
    EXPECT_NE(LowerCase(withAccent)[0], u'\u00DF');
  }
}

TEST(ToLowerGeneral, KeepsLengthInPlaceAndCopy) {
  Text t = u"\u0130STANBUL \u0394\u0399\u039A\u0397";
  const Text copy = ToLowerGeneral(t);
  ToLowerGeneralInPlace(t);
  EXPECT_EQ(t, copy);
  EXPECT_EQ(t, u"istanbul \u03B4\u03B9\u03BA\u03B7");
}

TEST(HasNoVowel, Cases) {
  const struct {
    TextView in;
    bool out;
  } cases[] = {
      {u"", true},       {u"rhythm", false},       {u"brr", true},
      {u"\u00FD", true}, {u"\u00FF\u00DD", true},  {u"Y", false},
      {u"xyz", false},   {u"pf\u00E6", false},     {u"n\u00F8", false},
      {u"123 ,.", true}, {u"bcdfgh\u00C9", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(HasNoVowel(c.in), c.out) << Text(c.in).size();
}

TEST(HasNoAccentedLetter, Cases) {
  EXPECT_TRUE(HasNoAccentedLetter(u""));
  EXPECT_TRUE(HasNoAccentedLetter(u"\u0152\u0153\u00C6\u00E6\u00DE\u00FE\u00F0\u00DF"));
  EXPECT_FALSE(HasNoAccentedLetter(u"abc\u00FF"));
  EXPECT_FALSE(HasNoAccentedLetter(u"\u0160"));
  EXPECT_FALSE(HasNoAccentedLetter(u"\u00D0"));
}

TEST(IsLetterChar, Cases) {
  const struct {
    TextView ch;
    bool digits;
    TextView extra;
    bool out;
  } cases[] = {
      {u"", false, u"", false},
      {u"", true, u"-", false},
      {u"a", false, u"", true},
      {u"Z", false, u"", true},
      {u"\u00DF", false, u"", true},
      {u"\u00D7", false, u"", false},
      {u"\u00F7", false, u"", false},
      {u"7", false, u"", false},
      {u"7", true, u"", true},
      {u"-", false, u"-", true},
      {u"-", false, u"", false},
      {u"\u0152", false, u"", true},   // low byte 0x52, R
      {u"\u0160", false, u"", false},  // low byte 0x60, grave accent
      {u"\u0161", false, u"", true},   // low byte 0x61, a
      {u"\u0160", false, u"`", true},  // classed through its low byte
      {u"\u0130", false, u"", false},  // low byte 0x30, a digit only with the flag
      {u"\u0130", true, u"", true},
      {u"\u20AC", false, u"", false},       // low byte 0xAC, ¬
      {u"\u0180", false, u"\u20AC", true},  // low byte 0x80 is € through the code page
      {u"@", false, u"\u0080", false},
      {u"\u00C0", false, u"", true},
      {u"\u00FF", false, u"", true},
      {u"\u00BF", false, u"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsLetterChar(c.ch, c.digits, c.extra), c.out)
        << "char " << (c.ch.empty() ? -1 : static_cast<int>(c.ch[0]));
    if (!c.ch.empty()) {
      EXPECT_EQ(IsLetterChar(c.ch[0], c.digits, c.extra), c.out);
    }
  }
}

TEST(FindCharInSet, Cases) {
  const struct {
    TextView text;
    int32_t start;
    TextView set;
    int32_t pos;
    int32_t index;  // -1: untouched
  } cases[] = {
      {u"abc", 0, u"c", 3, 1},    {u"abc", -5, u"xa", 1, 2}, {u"abc", 2, u"ab", 2, 2},
      {u"abc", 4, u"abc", 0, -1}, {u"", 1, u"a", 0, -1},     {u"abc", 1, u"", 0, -1},
      {u"aXbX", 3, u"X", 4, 1},   {u"abca", 1, u"aa", 1, 1},
  };
  for (const auto& c : cases) {
    int32_t index = -1;
    EXPECT_EQ(FindCharInSet(c.text, c.start, c.set, index), c.pos) << Text(c.text).size();
    EXPECT_EQ(index, c.index);
  }
}

TEST(FindCharNotInSet, Cases) {
  const struct {
    TextView text;
    int32_t start;
    TextView set;
    int32_t pos;
  } cases[] = {
      {u"abc", 1, u"", 1},  {u"", 1, u"", 0},       {u"", 1, u"a", 0},     {u"aab", 1, u"a", 3},
      {u"aaa", 1, u"a", 0}, {u"  x ", -1, u" ", 3}, {u"xab", 2, u"ab", 0}, {u"abc", 9, u"", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindCharNotInSet(c.text, c.start, c.set), c.pos);
}

// The tables over the bytes of the code page are the character functions through the code
// page: lowering stays within the code page, and the letter classes are IsLetterChar's.
TEST(ByteTables, AgreeWithTheCharacterFunctions) {
  const ByteTable& lower = Cp1252LowerBytes();
  for (int b = 0; b < 256; ++b) {
    const char16_t c = Cp1252ToChar(static_cast<unsigned char>(b));
    ASSERT_GE(Cp1252FromChar(LowerChar(c)), 0) << b;
    EXPECT_EQ(Cp1252ToChar(lower[static_cast<size_t>(b)]), LowerChar(c)) << b;
  }
  for (bool digits : {false, true}) {
    for (TextView extra : {TextView(), TextView(u"-'")}) {
      const ByteSet letters = LetterBytes(digits, extra);
      for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(letters[static_cast<size_t>(b)],
                  IsLetterChar(Cp1252ToChar(static_cast<unsigned char>(b)), digits, extra))
            << b;
      }
    }
  }
}

}  // namespace
}  // namespace tw
