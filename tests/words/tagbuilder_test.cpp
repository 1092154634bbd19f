// The keywords meta tag: exact texts, the two limits, the duplicate test and the phrases.
#include "words/tagbuilder.hpp"

#include <gtest/gtest.h>

#include <random>

#include "analysis/settings.hpp"

#include "text/chars.hpp"
#include "text/strproc.hpp"
#include "words/substringindex.hpp"

namespace tw {
namespace {

WordTable TableOf(std::initializer_list<const char16_t*> words) {
  WordTable table;
  float value = 1000;
  for (const char16_t* w : words) {
    Text word = w;
    table.CountWord(word, value, false);
    value -= 1;
  }
  return table;
}

// As the run builds it: the options taken from the settings, the trimmed phrases shown back.
Text Tag(const WordTable& table, AnalysisSettings& s) {
  const AnalysisOptions options = ResolveOptions(s);
  s.txbBeginMetaTagWith = options.tag.beginWith;
  return BuildKeywordTagText(table, options);
}

TEST(TagBuilderTest, TwoWordsWithSpacesAfterCommas) {
  AnalysisSettings s;
  EXPECT_EQ(Tag(TableOf({u"seo", u"tools"}), s),
            u"<meta name=\"keywords\" content=\"seo, tools\">\r\n\r\n"
            u"Number of keywords in meta tag: 2\r\n"
            u"Number of bytes in meta tag: 41");
}

TEST(TagBuilderTest, TwoWordsWithoutSpaces) {
  AnalysisSettings s;
  s.chkSpaceAfterComma = false;
  EXPECT_EQ(Tag(TableOf({u"seo", u"tools"}), s),
            u"<meta name=\"keywords\" content=\"seo,tools\">\r\n\r\n"
            u"Number of keywords in meta tag: 2\r\n"
            u"Number of bytes in meta tag: 40");
}

TEST(TagBuilderTest, PhrasesLeadAndHideWordsTheyContain) {
  AnalysisSettings s;
  s.chkPreserveCase = false;
  s.chkSpaceAfterComma = false;
  s.txbBeginMetaTagWith = u"  Web Design, SEO tools,  ";
  const Text tag = Tag(TableOf({u"design", u"designer", u"Tools", u"web"}), s);
  EXPECT_EQ(s.txbBeginMetaTagWith, u"Web Design, SEO tools,");
  EXPECT_EQ(tag,
            u"<meta name=\"keywords\" content=\"web design,seo tools,designer\">\r\n\r\n"
            u"Number of keywords in meta tag: 3\r\n"
            u"Number of bytes in meta tag: 60");
}

TEST(TagBuilderTest, PhrasesKeepTheirCaseWhenCaseIsKept) {
  AnalysisSettings s;
  s.txbBeginMetaTagWith = u"Web Design";
  EXPECT_EQ(Tag(TableOf({u"Hosting"}), s),
            u"<meta name=\"keywords\" content=\"Web Design, Hosting\">\r\n\r\n"
            u"Number of keywords in meta tag: 2\r\n"
            u"Number of bytes in meta tag: 50");
}

TEST(TagBuilderTest, WordsOfTheFixedPrefixNeverEnter) {
  AnalysisSettings s;
  EXPECT_EQ(Tag(TableOf({u"keywords", u"Content", u"meta", u"name", u"tent", u"ordinary"}), s),
            u"<meta name=\"keywords\" content=\"ordinary\">\r\n\r\n"
            u"Number of keywords in meta tag: 1\r\n"
            u"Number of bytes in meta tag: 39");
}

TEST(TagBuilderTest, ByteLimitStopsAtTheFirstWordThatDoesNotFit) {
  AnalysisSettings s;
  s.txbMaxNumBytesInMetaTag = u"36";  // 31 + "longer" + 1 = 38 does not fit
  EXPECT_EQ(Tag(TableOf({u"longer", u"tiny"}), s),
            u"<meta name=\"keywords\" content=\"\">\r\n\r\n"
            u"Number of keywords in meta tag: 0\r\n"
            u"Number of bytes in meta tag: 31");
}

TEST(TagBuilderTest, ByteLimitKeepsOneCharacterForTheSeparator) {
  AnalysisSettings s;
  s.txbMaxNumBytesInMetaTag = u"42";
  // "seo": 31 + 3 + 1 = 35 fits; "tool": 34 + 4 + 1 = 39 fits (written with ", ", 40);
  // "kits": 40 + 4 + 1 = 45 does not.
  EXPECT_EQ(Tag(TableOf({u"seo", u"tool", u"kits", u"ab"}), s),
            u"<meta name=\"keywords\" content=\"seo, tool\">\r\n\r\n"
            u"Number of keywords in meta tag: 2\r\n"
            u"Number of bytes in meta tag: 40");
}

TEST(TagBuilderTest, ADuplicateCanStillEndTheLoop) {
  AnalysisSettings s;
  s.txbMaxNumBytesInMetaTag = u"40";
  // "seotools" fits (31+8+1 = 40); "seo" is a duplicate but 39+3+1 > 40 ends the loop first.
  EXPECT_EQ(Tag(TableOf({u"seotools", u"seo", u"ab"}), s),
            u"<meta name=\"keywords\" content=\"seotools\">\r\n\r\n"
            u"Number of keywords in meta tag: 1\r\n"
            u"Number of bytes in meta tag: 39");
}

TEST(TagBuilderTest, KeywordLimitCountsThePhrases) {
  AnalysisSettings s;
  s.txbMaxNumKeywordsInMetaTag = u"5";
  s.txbBeginMetaTagWith = u"a,b,c,d,e";
  EXPECT_EQ(Tag(TableOf({u"word"}), s),
            u"<meta name=\"keywords\" content=\"a,b,c,d,e\">\r\n\r\n"
            u"Number of keywords in meta tag: 5\r\n"
            u"Number of bytes in meta tag: 40");
}

TEST(TagBuilderTest, PhrasesAreNotLimited) {
  AnalysisSettings s;
  s.txbMaxNumBytesInMetaTag = u"10";
  s.txbBeginMetaTagWith = u"a long phrase";
  EXPECT_EQ(Tag(TableOf({u"word"}), s),
            u"<meta name=\"keywords\" content=\"a long phrase\">\r\n\r\n"
            u"Number of keywords in meta tag: 1\r\n"
            u"Number of bytes in meta tag: 44");
}

TEST(TagBuilderTest, ZeroMeansNoLimit) {
  AnalysisSettings s;
  s.txbMaxNumKeywordsInMetaTag = u"0";
  s.txbMaxNumBytesInMetaTag = u"";
  s.chkSpaceAfterComma = false;
  WordTable table;
  Text expectedWords;
  for (int32_t k = 0; k < 300; ++k) {
    Text word = u"w";
    for (int32_t v = k + 1; v > 0; v /= 10)
      word.push_back(static_cast<char16_t>(u'a' + v % 10));
    word += u"z";
    table.CountWord(word, 1, false);
    if (k > 0) expectedWords += u",";
    expectedWords += word;
  }
  const Text tag = Tag(table, s);
  EXPECT_EQ(tag.substr(0, 31 + expectedWords.size() + 2),
            u"<meta name=\"keywords\" content=\"" + expectedWords + u"\">");
  EXPECT_NE(tag.find(u"Number of keywords in meta tag: 300\r\n"), Text::npos);
}

TEST(TagBuilderTest, ALoneCommaIsNoKeyword) {
  AnalysisSettings s;
  s.txbBeginMetaTagWith = u",";
  EXPECT_EQ(Tag(TableOf({u"seo"}), s),
            u"<meta name=\"keywords\" content=\"seo\">\r\n\r\n"
            u"Number of keywords in meta tag: 1\r\n"
            u"Number of bytes in meta tag: 34");
}

TEST(TagBuilderTest, EmptyTableGivesTheNoWordsSentence) {
  AnalysisSettings s;
  EXPECT_EQ(Tag(WordTable{}, s), u"No words with more than 2 letters occur at least twice.");
}

// The duplicate test searched plainly in the lower-cased box text.
Text LiteralTag(const std::vector<Text>& words, int64_t maxKeywords, int64_t maxBytes,
                const Text& separator) {
  Text box = Text(kMetaTagPrefix);
  int64_t count = 0;
  auto length = static_cast<int64_t>(box.size());
  for (const Text& w : words) {
    if (maxKeywords > 0 && count + 1 > maxKeywords) break;
    if (maxBytes > 0 && length + static_cast<int64_t>(w.size()) + 1 > maxBytes) break;
    if (ToLowerGeneral(box).find(ToLowerGeneral(w)) != Text::npos) continue;
    if (count > 0) box += separator;
    box += w;
    ++count;
    length = static_cast<int64_t>(box.size());
  }
  return box + u"\">";
}

class TagAgreementTest : public testing::TestWithParam<uint32_t> {};

TEST_P(TagAgreementTest, RandomTablesMatchThePlainSearch) {
  std::mt19937 rng(GetParam());
  WordTable table;
  std::vector<Text> words;
  const int32_t count = 1 + static_cast<int32_t>(rng() % 200);
  for (int32_t k = 0; k < count; ++k) {
    Text word;
    const int length = 1 + static_cast<int>(rng() % 5);
    for (int c = 0; c < length; ++c)
      word.push_back(u"aAbBeéÉtn"[rng() % 9]);
    Text counted = word;
    table.CountWord(counted, static_cast<float>(count - k), false);
  }
  for (const WordEntry& e : table.Ranked())
    words.push_back(e.word);
  AnalysisSettings s;
  s.chkSpaceAfterComma = rng() % 2 == 0;
  const int64_t maxKeywords = rng() % 2 == 0 ? 0 : 5 + rng() % 96;
  const int64_t maxBytes = rng() % 2 == 0 ? 0 : rng() % 1001;
  s.txbMaxNumKeywordsInMetaTag = NumberText(maxKeywords);
  s.txbMaxNumBytesInMetaTag = NumberText(maxBytes);
  const Text tag = Tag(table, s);
  const Text expected =
      LiteralTag(words, maxKeywords, maxBytes, s.chkSpaceAfterComma ? u", " : u",");
  EXPECT_EQ(tag.substr(0, tag.find(u"\r\n")), expected);
}

INSTANTIATE_TEST_SUITE_P(Seeds, TagAgreementTest, testing::Range(1u, 101u));

TEST(SubstringIndexTest, FindsEverySubstringAndNothingElse) {
  std::mt19937 rng(7);
  for (int round = 0; round < 50; ++round) {
    Text text;
    SubstringIndex index;
    const int length = static_cast<int>(rng() % 60);
    for (int k = 0; k < length; ++k) {
      const auto c = static_cast<char16_t>(u"abc\u00e9\u0153"[rng() % 5]);
      text.push_back(c);
      index.Append(c);
    }
    for (int probe = 0; probe < 200; ++probe) {
      Text word;
      const int size = static_cast<int>(rng() % 6);
      for (int k = 0; k < size; ++k)
        word.push_back(u"abc\u00e9\u0153"[rng() % 5]);
      ASSERT_EQ(index.Contains(word), text.find(word) != Text::npos);
    }
  }
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// The limit and the count are the bytes the tag takes in the document: UTF-8 bytes in a UTF-8
// document, one byte per character of the code page otherwise, and a decimal reference for
// a character the code page lacks.
TEST(TagBuilderTest, BytesAreTheBytesInTheDocument) {
  struct Case {
    const char* name;
    TagEncoding encoding;
    const char16_t* maxBytes;
    const char16_t* content;  // what the tag holds
    int bytes;                // the count line
  };
  // "caf\u00e9" takes 4 bytes in Windows-1252 and 5 in UTF-8; "\u0141\u00f3d\u017a" 14
  // (&#321;\xF3d&#378;) and 7.
  const Case cases[] = {
      {"windows_1252", TagEncoding::SingleByte, u"0", u"caf\u00e9, \u0141\u00f3d\u017a", 51},
      {"utf8", TagEncoding::Utf8, u"0", u"caf\u00e9, \u0141\u00f3d\u017a", 45},
      // After "caf\u00e9" (35 bytes) the second word needs 35 + 14 + 1 = 50 of 45.
      {"reference_over_the_limit", TagEncoding::SingleByte, u"45", u"caf\u00e9", 35},
      {"utf8_within_the_limit", TagEncoding::Utf8, u"45", u"caf\u00e9, \u0141\u00f3d\u017a", 45},
      {"utf8_one_byte_short", TagEncoding::Utf8, u"43", u"caf\u00e9", 36},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AnalysisSettings s;
    s.txbMaxNumBytesInMetaTag = c.maxBytes;
    const Text tag = BuildKeywordTagText(TableOf({u"caf\u00e9", u"\u0141\u00f3d\u017a"}),
                                         ResolveOptions(s), c.encoding);
    EXPECT_EQ(tag, u"<meta name=\"keywords\" content=\"" + Text(c.content) +
                       u"\">\r\n\r\nNumber of keywords in meta tag: " +
                       NumberText(Text(c.content).find(u',') == Text::npos ? 1 : 2) +
                       u"\r\nNumber of bytes in meta tag: " + NumberText(c.bytes));
  }
}

}  // namespace
}  // namespace tw
