// The word list report: exact column layout, rounding, density and the no-words sentence.
#include "words/wordlist.hpp"

#include <gtest/gtest.h>

namespace tw {
namespace {

void Add(WordTable& table, Text word, float value, int32_t frequency) {
  // Frequency - 1 occurrences of weight 0 first, then one that carries the value.
  for (int32_t k = 1; k < frequency; ++k)
    table.CountWord(word, 0, false);
  table.CountWord(word, value, false);
}

TEST(WordListTest, ColumnsAndTheZeroNote) {
  WordTable table;
  Add(table, u"alpha", 100, 7);
  Add(table, u"beta", 42.5f, 3);
  Add(table, u"gamma", 0.4f, 1);
  table.lngTotalWords = 100;
  const Text expected =
      u"Rank Value Freq. Density\r\n"
      u"   1   100    7  7.00%  alpha\r\n"
      u"   2    42    3  3.00%  beta\r\n"
      u"\r\n"
      u"Words with key value 0 not shown.\r\n";
  EXPECT_EQ(WordListText(table, AnalysisSettings{}), expected);
}

TEST(WordListTest, WideValuesShiftTheRestOfTheirLine) {
  WordTable table;
  Add(table, u"big", 123456, 12345);
  Add(table, u"share", 3.5f, 1);
  table.lngTotalWords = 8;
  const Text expected =
      u"Rank Value Freq. Density\r\n"
      u"   1 123456 12345  154312.50%  big\r\n"
      u"   2     4    1  12.50%  share\r\n";
  EXPECT_EQ(WordListText(table, AnalysisSettings{}), expected);
}

TEST(WordListTest, RankColumnGrowsWithTheNumberOfWords) {
  WordTable table;
  for (int32_t k = 0; k < 12345; ++k) {
    Text word = u"w";
    // Letters a to r only: no word ends in s, so no plural merge.
    for (int32_t v = k; v > 0; v /= 18)
      word.push_back(static_cast<char16_t>(u'a' + v % 18));
    table.CountWord(word, 1, false);
  }
  table.lngTotalWords = 12345;
  const Text list = WordListText(table, AnalysisSettings{});
  const Text head = u"Rank Value Freq. Density\r\n    1     1    1  0.01%  w\r\n";
  EXPECT_EQ(list.substr(0, head.size()), head);
  EXPECT_NE(list.find(u"12345     1    1  0.01%  "), Text::npos);
}

TEST(WordListTest, NoWordsSentenceForAnEmptyTable) {
  AnalysisSettings s;
  s.cboShortWordSize = 2;
  EXPECT_EQ(WordListText(WordTable{}, s),
            u"No words with more than 3 letters occur at least twice.");
}

struct RoundCase {
  double value;
  int64_t rounded;
};

class RoundHalfToEvenTest : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfToEvenTest, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfToEven(GetParam().value), GetParam().rounded);
}

INSTANTIATE_TEST_SUITE_P(Cases, RoundHalfToEvenTest,
                         testing::Values(RoundCase{2.5, 2}, RoundCase{3.5, 4}, RoundCase{0.5, 0},
                                         RoundCase{0.4, 0}, RoundCase{0.51, 1},
                                         RoundCase{99.5, 100}, RoundCase{100, 100},
                                         RoundCase{42.49, 42}, RoundCase{1.5, 2}));

TEST(WordListTest, AHalfValueRoundingToZeroIsNotListed) {
  WordTable table;
  Add(table, u"seen", 1.5f, 1);
  Add(table, u"unseen", 0.5f, 1);
  table.lngTotalWords = 2;
  const Text list = WordListText(table, AnalysisSettings{});
  EXPECT_NE(list.find(u"   1     2    1  50.00%  seen\r\n"), Text::npos)
      << std::string(list.begin(), list.end());
  EXPECT_EQ(list.find(u"unseen"), Text::npos);
  EXPECT_NE(list.find(u"Words with key value 0 not shown."), Text::npos);
}

struct SentenceCase {
  bool ignoreShort;
  int32_t sizePosition;
  int32_t frequencyPosition;
  const char16_t* sentence;
};

class ReportNoWordsTest : public testing::TestWithParam<SentenceCase> {};

TEST_P(ReportNoWordsTest, NamesTheSettings) {
  AnalysisSettings s;
  s.chkIgnoreShortWords = GetParam().ignoreShort;
  s.cboShortWordSize = GetParam().sizePosition;
  s.cboThresholdFrequency = GetParam().frequencyPosition;
  EXPECT_EQ(ReportNoWords(s), GetParam().sentence);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportNoWordsTest,
    testing::Values(
        SentenceCase{false, 1, 0, u"No words occur at least once."},
        SentenceCase{false, 4, 1, u"No words occur at least twice."},
        SentenceCase{true, 2, 1, u"No words with more than 3 letters occur at least twice."},
        SentenceCase{true, 0, 2, u"No words with more than 1 letter occur at least 3 times."},
        SentenceCase{true, 0, 3, u"No words with more than 1 letter occur at least 4 times."},
        SentenceCase{true, 8, 8, u"No words with more than 9 letters occur at least 9 times."}));

}  // namespace
}  // namespace tw
