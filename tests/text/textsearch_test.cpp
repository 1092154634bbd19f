// Quick searches: byte folding against the general lowering through the code page, word
// finding over pieces, and character searches, each against a plain search.
#include "text/textsearch.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/chars.hpp"
#include "text/codepage.hpp"

namespace tw {
namespace {

constexpr int kByteCount = 256;
constexpr char16_t kAsciiEnd = 0x80;

// What the searches must agree with: the position after every match of the lower-case
// word in the text lowered through the code page.
std::vector<size_t> PlainMatchEnds(const std::string& bytes, const std::string& lowerWord) {
  Text lowered = DecodeCp1252(bytes);
  ToLowerGeneralInPlace(lowered);
  const Text word = DecodeCp1252(lowerWord);
  std::vector<size_t> ends;
  for (size_t p = lowered.find(word); p != Text::npos; p = lowered.find(word, p + 1))
    ends.push_back(p + word.size());
  return ends;
}

// The finder's matches over the text cut into pieces of `pieceSize` bytes.
std::vector<size_t> FinderMatchEnds(const std::string& bytes, const std::string& word,
                                    size_t pieceSize) {
  ByteWordFinder finder(word);
  std::vector<size_t> ends;
  for (size_t start = 0; start < bytes.size(); start += pieceSize) {
    const std::string_view piece = std::string_view(bytes).substr(start, pieceSize);
    for (size_t at = finder.FindEnd(piece); at != std::string_view::npos;
         at = finder.FindEnd(piece, at)) {
      ends.push_back(start + at);
    }
  }
  return ends;
}

TEST(FoldAsciiCase, AgreesWithTheGeneralLoweringThroughTheCodePage) {
  for (int b = 0; b < kByteCount; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    const char16_t lowered = LowerChar(Cp1252ToChar(byte));
    // Only ASCII bytes lower to ASCII characters, and to their folded selves.
    EXPECT_EQ(lowered < kAsciiEnd, b < kAsciiEnd) << b;
    if (b < kAsciiEnd) {
      EXPECT_EQ(lowered, FoldAsciiCase(byte)) << b;
    }
  }
}

TEST(ByteWordFinder, MatchesAsTheLoweredTextDoes) {
  const struct {
    std::string bytes;
    std::string word;
  } cases[] = {
      {"<meta charset=utf-8>", "charset="},
      {"CHARSET=x Charset= chArSeT=", "charset="},
      {"charse charsetcharset=", "charset="},
      {"aaab aab", "aab"},     // the match starts inside a failed one
      {"ababababab", "abab"},  // overlapping matches
      {"lang=\"de\" LANG=\"fr\"", "lang=\""},
      {"\xC3\xA9\xE9\xC9 \xC7harset= charset=", "charset="},  // accented bytes never match
      {"==x= =x", "=x"},                                      // a word that is no letter first
      {"Content=\"fr\"content=\"", "content=\""},
      {"", "lang="},
  };
  for (const auto& c : cases) {
    for (size_t pieceSize : {1, 2, 3, 7, 8, 9, 64}) {
      EXPECT_EQ(FinderMatchEnds(c.bytes, c.word, pieceSize), PlainMatchEnds(c.bytes, c.word))
          << c.bytes << " / " << c.word << " in pieces of " << pieceSize;
    }
  }
}

TEST(ByteWordFinder, EveryPlaceInALongText) {
  // The word at every offset around the eight-byte steps, in both cases.
  for (size_t offset = 0; offset < 40; ++offset) {
    for (const std::string word : {"charset=", "CHARSET="}) {
      std::string bytes(offset, 'x');
      bytes += "cC" + word + std::string(offset % 9, 'c');
      EXPECT_EQ(FinderMatchEnds(bytes, "charset=", 4096),
                std::vector<size_t>{offset + 2 + word.size()})
          << offset << " " << word;
    }
  }
}

TEST(ByteWordFinder, AnEmptyWordIsNeverFound) {
  ByteWordFinder finder("");
  EXPECT_EQ(finder.FindEnd("abc"), std::string_view::npos);
}

TEST(ByteWordFinder, ResetForgetsAPartialMatch) {
  ByteWordFinder finder("lang=");
  EXPECT_EQ(finder.FindEnd("xla"), std::string_view::npos);
  finder.Reset();
  EXPECT_EQ(finder.FindEnd("ng=lang="), 8u);
}

TEST(FindEitherChar, FirstOfTwoCharacters) {
  const struct {
    Text text;
    size_t from;
    size_t expected;
  } cases[] = {
      {u"abc<def&", 0, 3},
      {u"abc<def&", 4, 7},
      {u"abc<def&", 8, Text::npos},
      {u"", 0, Text::npos},
      {u"&", 0, 0},
      // Characters whose high or low byte equals one of the two are no match.
      {u"\u3C00\u2600\u003C", 0, 2},
      {u"\u3C3C\u2626xxxxxxxxxx\u0026", 0, 12},
      {u"xxxxxxxx", 3, Text::npos},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindEitherChar(c.text, c.from, u'<', u'&'), c.expected) << ToUtf8(c.text);
}

TEST(FindEitherChar, EveryPlaceInALongText) {
  for (size_t at = 0; at < 20; ++at) {
    for (size_t from = 0; from <= at + 1; ++from) {
      Text text(24, u'\u3C26');
      text[at] = u'n';
      const size_t expected = from <= at ? at : Text::npos;
      EXPECT_EQ(FindEitherChar(text, from, u'N', u'n'), expected) << at << " " << from;
    }
  }
}

TEST(LowersOnlyFromAscii, LettersThatOtherCharactersLowerTo) {
  // U+0130 lowers to i and the Kelvin sign to k.
  for (char16_t c = u'a'; c <= u'z'; ++c)
    EXPECT_EQ(LowersOnlyFromAscii(c), c != u'i' && c != u'k') << static_cast<char>(c);
  EXPECT_FALSE(LowersOnlyFromAscii(u'='));
  EXPECT_FALSE(LowersOnlyFromAscii(u'A'));
  EXPECT_FALSE(LowersOnlyFromAscii(u'\u00E9'));
}

// The byte searches against plain loops, from every start, over lengths on both sides of
// the sixteen bytes looked at at once.
TEST(ByteSearches, AgreeWithPlainLoops) {
  std::mt19937 rng(21);
  const std::string alphabet = "ab<>&;\x80\xff";
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    const size_t n = rng() % 70;
    for (size_t k = 0; k < n; ++k)
      bytes.push_back(rng() % 5 == 0 ? alphabet[rng() % alphabet.size()] : 'x');
    for (size_t from = 0; from <= n; ++from) {
      auto plain = [&](auto hit) {
        for (size_t i = from; i < n; ++i) {
          if (hit(bytes[i])) return i;
        }
        return std::string::npos;
      };
      ASSERT_EQ(FindEitherByte(bytes, from, '<', '&'),
                plain([](char c) { return c == '<' || c == '&'; }));
      ASSERT_EQ(FindAnyOfThreeBytes(bytes, from, '<', '>', ';'),
                plain([](char c) { return c == '<' || c == '>' || c == ';'; }));
      ASSERT_EQ(FindNonAsciiByte(bytes, from),
                plain([](char c) { return static_cast<unsigned char>(c) >= 0x80; }));
    }
  }
}

}  // namespace
}  // namespace tw
