// The word list report: exact column layout, rounding, density and the no-words sentence.
#include "words/wordlist.hpp"

#include <gtest/gtest.h>

#include "analysis/settings.hpp"

#include <climits>
#include <cstdlib>
#include <locale>
#include <optional>
#include <string>

namespace tw {
namespace {

// The list as a user with a point and no digit grouping sees it.
const NumberFormat kPoint{};

Text List(const WordTable& table, const AnalysisSettings& settings) {
  return WordListText(table, ResolveOptions(settings).scan, kPoint);
}

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
  EXPECT_EQ(List(table, AnalysisSettings{}), expected);
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
  EXPECT_EQ(List(table, AnalysisSettings{}), expected);
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
  const Text list = List(table, AnalysisSettings{});
  const Text head = u"Rank Value Freq. Density\r\n    1     1    1  0.01%  w\r\n";
  EXPECT_EQ(list.substr(0, head.size()), head);
  EXPECT_NE(list.find(u"12345     1    1  0.01%  "), Text::npos);
}

TEST(WordListTest, NoWordsSentenceForAnEmptyTable) {
  AnalysisSettings s;
  s.cboShortWordSize = 2;
  EXPECT_EQ(List(WordTable{}, s), u"No words with more than 3 letters occur at least twice.");
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
  const Text list = List(table, AnalysisSettings{});
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
  EXPECT_EQ(ReportNoWords(ResolveOptions(s).scan), GetParam().sentence);
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

struct DensityCase {
  int32_t frequency;
  int64_t totalWords;
  const char16_t* text;
};

void PrintTo(const DensityCase& c, std::ostream* os) {
  *os << c.frequency << " of " << c.totalWords;
}

class DensityTest : public testing::TestWithParam<DensityCase> {};

// The share is rounded to two decimals as written out by hand: a half goes up, and a share
// such as 0.145 that a double holds just below the half still counts as the half.
TEST_P(DensityTest, TwoDecimalsAHalfRoundedUp) {
  EXPECT_EQ(DensityText(GetParam().frequency, GetParam().totalWords, kPoint), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, DensityTest,
                         testing::Values(DensityCase{7, 100, u"7.00"}, DensityCase{1, 8, u"12.50"},
                                         DensityCase{1, 800, u"0.13"}, DensityCase{3, 800, u"0.38"},
                                         DensityCase{5, 800, u"0.63"},
                                         DensityCase{29, 20000, u"0.15"},
                                         DensityCase{1, 20000, u"0.01"},
                                         DensityCase{1, 200000, u"0.00"},
                                         DensityCase{1, 3, u"33.33"}, DensityCase{2, 3, u"66.67"},
                                         DensityCase{1, 1, u"100.00"}, DensityCase{5, 0, u"0.00"},
                                         DensityCase{INT32_MAX, 1, u"214748364700.00"}));

struct GroupingCase {
  std::string grouping;
  int32_t frequency;  // of one word, so that the density is 100 times the frequency
  const char16_t* text;
};

void PrintTo(const GroupingCase& c, std::ostream* os) {
  *os << c.frequency << " with " << c.grouping.size() << " group sizes";
}

class DensityGroupingTest : public testing::TestWithParam<GroupingCase> {};

TEST_P(DensityGroupingTest, UsersSeparatorsAndGroups) {
  const NumberFormat format{u",", u".", GetParam().grouping};
  EXPECT_EQ(DensityText(GetParam().frequency, 1, format), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DensityGroupingTest,
    testing::Values(GroupingCase{"", 123456, u"12345600,00"}, GroupingCase{"\3", 7, u"700,00"},
                    GroupingCase{"\3", 10, u"1.000,00"},
                    GroupingCase{"\3", 123456, u"12.345.600,00"},
                    GroupingCase{"\3\2", 123456, u"1.23.45.600,00"},
                    GroupingCase{std::string("\3") + static_cast<char>(CHAR_MAX), 123456,
                                 u"12345.600,00"},
                    GroupingCase{std::string(1, '\0'), 123456, u"12345600,00"}));

TEST(WordListTest, DensityInTheUsersNumberFormat) {
  WordTable table;
  Add(table, u"alpha", 100, 7);
  Add(table, u"beta", 50, 1);
  table.lngTotalWords = 8;
  const NumberFormat comma{u",", u".", "\3"};
  EXPECT_EQ(WordListText(table, ScanOptions{}, comma),
            u"Rank Value Freq. Density\r\n"
            u"   1   100    7  87,50%  alpha\r\n"
            u"   2    50    1  12,50%  beta\r\n");
}

// A numeric facet as a locale with a decimal comma and a narrow no-break space between
// groups of three provides it.
class CommaFacet : public std::numpunct<wchar_t> {
 protected:
  wchar_t do_decimal_point() const override { return L','; }
  wchar_t do_thousands_sep() const override { return L'\u202F'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(NumberFormatTest, TakenFromTheLocalesNumericFacet) {
  const std::locale withComma(std::locale::classic(), new CommaFacet);
  const NumberFormat format = NumberFormatOf(withComma);
  EXPECT_EQ(format.decimalSeparator, u",");
  EXPECT_EQ(format.groupSeparator, u"\u202F");
  EXPECT_EQ(format.grouping, "\3");
  EXPECT_EQ(DensityText(1234, 100, format), u"1\u202F234,00");

  const NumberFormat classic = NumberFormatOf(std::locale::classic());
  EXPECT_EQ(classic.decimalSeparator, u".");
  EXPECT_EQ(classic.grouping, "");
}

// Sets LC_ALL for the lifetime of the object and puts the former value back.
class ScopedLcAll {
 public:
  explicit ScopedLcAll(const char* value) {
    if (const char* old = std::getenv("LC_ALL")) old_ = old;
    setenv("LC_ALL", value, 1);
  }
  ~ScopedLcAll() {
    if (old_)
      setenv("LC_ALL", old_->c_str(), 1);
    else
      unsetenv("LC_ALL");
  }

 private:
  std::optional<std::string> old_;
};

TEST(NumberFormatTest, UserFormatFromTheEnvironment) {
  {
    const ScopedLcAll c("C");
    const NumberFormat format = UserNumberFormat();
    EXPECT_EQ(format.decimalSeparator, u".");
    EXPECT_EQ(format.grouping, "");
  }
  {
    // A locale the system does not have: the point format.
    const ScopedLcAll unknown("xx_NOWHERE.UTF-8");
    const NumberFormat format = UserNumberFormat();
    EXPECT_EQ(format.decimalSeparator, u".");
    EXPECT_EQ(format.grouping, "");
  }
}

}  // namespace
}  // namespace tw
