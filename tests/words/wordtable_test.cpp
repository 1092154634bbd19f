// The word table: weights, counting, ranking, plural and case merges, finishing steps, and
// agreement with the literal table on randomized sequences.
#include "words/wordtable.hpp"

#include <gtest/gtest.h>

#include "analysis/settings.hpp"

#include <cctype>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

#include "text/codepage.hpp"
#include "text/strproc.hpp"
#include "words/commonwords.hpp"
#include "words/filters.hpp"
#include "words/literaltable.hpp"

namespace tw {
namespace {

using test::LiteralTable;

struct WeightCase {
  const char* name;
  OccurrenceContext context;
  float weight;
};

AnalysisSettings WeightSettings() {
  AnalysisSettings s;
  s.cboTableWeight = 2;
  s.cboDivWeight = 3;
  s.cboSpanWeight = 4;
  s.cboBoldWeight = 4;
  s.cboItalicWeight = 1;
  s.cboExistingKeywordsWeight = 7;
  return s;
}

OccurrenceContext Ctx(bool title, bool description, bool keywords, bool bold, bool italic,
                      int32_t heading, int32_t font, int32_t table, int32_t div, int32_t span) {
  return OccurrenceContext{title,   description, keywords, bold, italic,
                           heading, font,        table,    div,  span};
}

class OccurrenceWeightTest : public testing::TestWithParam<WeightCase> {};

TEST_P(OccurrenceWeightTest, FirstMatchingRuleWins) {
  EXPECT_EQ(OccurrenceWeight(GetParam().context, ResolveOptions(WeightSettings()).scan.weights),
            GetParam().weight);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OccurrenceWeightTest,
    testing::Values(
        WeightCase{"plain body", Ctx(false, false, false, false, false, 0, 3, 0, 0, 0), 3},
        WeightCase{"bold", Ctx(false, false, false, true, false, 0, 3, 0, 0, 0), 7},
        WeightCase{"h1", Ctx(false, false, false, false, false, 30, 3, 0, 0, 0), 33},
        WeightCase{"table and div", Ctx(false, false, false, false, false, 0, 3, 1, 1, 0), 8},
        WeightCase{"nested table", Ctx(false, false, false, false, false, 0, 3, 3, 2, 0), 8},
        WeightCase{"everything", Ctx(false, false, false, true, true, 25, 5, 1, 1, 1), 44},
        WeightCase{"title ignores the rest", Ctx(true, true, true, true, true, 30, 7, 1, 1, 1), 80},
        WeightCase{"description", Ctx(false, true, true, true, false, 30, 3, 0, 0, 0), 50},
        WeightCase{"existing keywords", Ctx(false, false, true, true, false, 30, 3, 0, 0, 0), 70}),
    [](const auto& test) {
      std::string name = test.param.name;
      for (char& c : name) {
        if (c == ' ') c = '_';
      }
      return name;
    });

TEST(OccurrenceWeightTest, BoldWeightOneAddsNothingInAHeading) {
  AnalysisSettings s;
  s.cboBoldWeight = 0;  // the list shows 1
  EXPECT_EQ(OccurrenceWeight(Ctx(false, false, false, true, false, 25, 3, 0, 0, 0),
                             ResolveOptions(s).scan.weights),
            28);
}

// Words as stored, in rank order.
std::vector<Text> Words(const WordTable& table) {
  std::vector<Text> words;
  for (const WordEntry& e : table.Ranked())
    words.push_back(e.word);
  return words;
}

AddResult Count(WordTable& table, Text word, float weight = 3, bool flag = false) {
  return table.CountWord(word, weight, flag);
}

TEST(WordTableTest, EqualValuesKeepTheOrderOfArrival) {
  WordTable table;
  Count(table, u"beta");
  Count(table, u"alpha");
  EXPECT_EQ(Words(table), (std::vector<Text>{u"beta", u"alpha"}));
  EXPECT_EQ(table.Ranked()[0].keyValue, 3);
}

TEST(WordTableTest, ARisingEntryGoesAfterEntriesOfEqualValue) {
  WordTable table;
  Count(table, u"one", 6);
  Count(table, u"two", 3);
  Count(table, u"three", 3);
  Count(table, u"two", 3);  // two reaches 6 after one did
  EXPECT_EQ(Words(table), (std::vector<Text>{u"one", u"two", u"three"}));
  Count(table, u"three", 4);  // 7 passes both
  EXPECT_EQ(Words(table), (std::vector<Text>{u"three", u"one", u"two"}));
}

TEST(WordTableTest, AnOccurrenceOfWeightZeroMovesNothing) {
  WordTable table;
  Count(table, u"first", 3);
  Count(table, u"second", 3);
  EXPECT_EQ(Count(table, u"first", 0), AddResult::Counted);
  EXPECT_EQ(Words(table), (std::vector<Text>{u"first", u"second"}));
  EXPECT_EQ(table.Ranked()[0].frequency, 2);
}

TEST(WordTableTest, ReportsNewAndCountedWords) {
  WordTable table;
  EXPECT_EQ(Count(table, u"word"), AddResult::NewWord);
  EXPECT_EQ(Count(table, u"word"), AddResult::Counted);
  EXPECT_EQ(table.intNumWords(), 1);
}

TEST(WordTableTest, TheFlagIsDecidedWhenTheEntryIsCreated) {
  WordTable table;
  Count(table, u"body", 3, false);
  Count(table, u"body", 80, true);
  Count(table, u"title", 80, true);
  Count(table, u"title", 3, false);
  for (const WordEntry& e : table.Ranked()) {
    EXPECT_EQ(e.fromTitleOrMeta, e.word == u"title") << std::string(e.word.begin(), e.word.end());
  }
}

struct PluralCase {
  std::vector<const char16_t*> arrivals;
  std::vector<const char16_t*> words;  // in rank order
  std::vector<int32_t> frequencies;
};

class PluralMergeTest : public testing::TestWithParam<PluralCase> {};

TEST_P(PluralMergeTest, SingularAndPluralShareOneEntry) {
  WordTable table;
  for (const char16_t* w : GetParam().arrivals)
    Count(table, w);
  std::vector<Text> expectedWords(GetParam().words.begin(), GetParam().words.end());
  EXPECT_EQ(Words(table), expectedWords);
  std::vector<int32_t> frequencies;
  for (const WordEntry& e : table.Ranked())
    frequencies.push_back(e.frequency);
  EXPECT_EQ(frequencies, GetParam().frequencies);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PluralMergeTest,
    testing::Values(PluralCase{{u"cats", u"cat"}, {u"cat"}, {2}},
                    PluralCase{{u"cat", u"cats"}, {u"cat"}, {2}},
                    PluralCase{{u"new", u"news"}, {u"new"}, {2}},
                    PluralCase{{u"Cats", u"cat"}, {u"Cats", u"cat"}, {1, 1}},
                    PluralCase{{u"bus", u"bu"}, {u"bu"}, {2}},
                    // Only a final lower-case s counts.
                    PluralCase{{u"catS", u"cat"}, {u"catS", u"cat"}, {1, 1}},
                    // The shortened form is counted, not merged again.
                    PluralCase{{u"cat", u"catss", u"cats"}, {u"cat", u"catss"}, {2, 1}}));

TEST(PluralMergeTest, ARenameCanGiveTwoEntriesOneWord) {
  WordTable table;
  Count(table, u"catss", 10);
  Count(table, u"cat", 3);
  Count(table, u"cats", 3);  // catss ranks first: renamed to cats
  Count(table, u"cat", 3);   // cats ranks first: renamed to cat, next to the other cat
  EXPECT_EQ(Words(table), (std::vector<Text>{u"cat", u"cat"}));
  // The look-up counts the first of them in rank order.
  Count(table, u"cat", 5);
  EXPECT_EQ(table.Ranked()[0].frequency, 4);
  EXPECT_EQ(table.Ranked()[0].keyValue, 21);
  EXPECT_EQ(table.Ranked()[1].frequency, 1);
  // The case merge joins them afterwards.
  table.MergeCaseVariants();
  ASSERT_EQ(table.intNumWords(), 1);
  EXPECT_EQ(table.Ranked()[0].frequency, 5);
  EXPECT_EQ(table.Ranked()[0].keyValue, 24);
}

TEST(WordTableTest, CountsBeyondSixteenBits) {
  WordTable table;
  for (int32_t k = 0; k < 40000; ++k) {
    Text word = u"w";
    for (int32_t v = k; v > 0; v /= 26)
      word.push_back(static_cast<char16_t>(u'a' + v % 26));
    word.push_back(u'q');  // no word ends in s, so no plural merge
    Count(table, word, 1);
  }
  Text often = u"often";
  for (int32_t k = 0; k < 40000; ++k)
    table.CountWord(often, 1, false);
  EXPECT_EQ(table.intNumWords(), 40001);
  EXPECT_EQ(table.Ranked()[0].word, u"often");
  EXPECT_EQ(table.Ranked()[0].frequency, 40000);
  EXPECT_EQ(table.Ranked()[1].word, u"wq");  // the first arrival among the value-1 words
}

TEST(WordTableTest, TheFiveHundredAndFirstWordKeepsTheEarlierEntries) {
  WordTable table;
  for (int32_t k = 0; k < 501; ++k) {
    Text word = u"x";
    word += NumberText(k);  // digits: never passed by the scanner, fine for the table
    Count(table, word, static_cast<float>(1000 - k), k % 2 == 0);
  }
  ASSERT_EQ(table.intNumWords(), 501);
  const auto& ranked = table.Ranked();
  for (int32_t k = 0; k < 501; ++k) {
    EXPECT_EQ(ranked[k].word, u"x" + NumberText(k));
    EXPECT_EQ(ranked[k].keyValue, static_cast<float>(1000 - k));
    EXPECT_EQ(ranked[k].frequency, 1);
    EXPECT_EQ(ranked[k].fromTitleOrMeta, k % 2 == 0);
  }
}

TEST(WordTableTest, ResetEmptiesTheTable) {
  WordTable table;
  Count(table, u"word");
  table.lngTotalWords = 5;
  table.Reset();
  EXPECT_EQ(table.intNumWords(), 0);
  EXPECT_EQ(table.lngTotalWords, 0);
  EXPECT_TRUE(table.Ranked().empty());
  EXPECT_EQ(Count(table, u"word"), AddResult::NewWord);
}

// ---- Finishing steps ----

TEST(ApplyMinFrequencyTest, KeepsFrequentAndTitleWords) {
  WordTable table;
  Count(table, u"bodyonce", 3, false);
  Count(table, u"titleonce", 80, true);
  Count(table, u"mixed", 3, false);
  Count(table, u"mixed", 80, true);
  Count(table, u"twice", 3, false);
  Count(table, u"twice", 3, false);
  table.ApplyMinFrequency(2);
  EXPECT_EQ(Words(table), (std::vector<Text>{u"mixed", u"titleonce", u"twice"}));
}

TEST(ApplyMinFrequencyTest, OneKeepsEverything) {
  WordTable table;
  Count(table, u"one");
  Count(table, u"two");
  table.ApplyMinFrequency(1);
  EXPECT_EQ(table.intNumWords(), 2);
}

TEST(MergeCaseVariantsTest, FirstLetterVariantsMerge) {
  WordTable table;
  Count(table, u"Apple", 3);
  Count(table, u"apple", 3);
  Count(table, u"APPLE", 3);
  Count(table, u"Go", 3);
  Count(table, u"go", 3);
  table.MergeCaseVariants();
  ASSERT_EQ(Words(table), (std::vector<Text>{u"apple", u"APPLE", u"Go", u"go"}));
  EXPECT_EQ(table.Ranked()[0].frequency, 2);
  EXPECT_EQ(table.Ranked()[0].keyValue, 6);
}

TEST(MergeCaseVariantsTest, MinimumFrequencyComesFirst) {
  WordTable table;
  Count(table, u"Apple", 3);
  Count(table, u"apple", 3);
  table.ApplyMinFrequency(2);
  table.MergeCaseVariants();
  EXPECT_EQ(table.intNumWords(), 0);
}

TEST(MergeCaseVariantsTest, TheAbsorbedFlagIsNotCarriedOver) {
  WordTable table;
  Count(table, u"Apple", 5, false);
  Count(table, u"apple", 3, true);
  table.MergeCaseVariants();
  ASSERT_EQ(table.intNumWords(), 1);
  EXPECT_FALSE(table.Ranked()[0].fromTitleOrMeta);
}

struct CaseMergeCase {
  const char* name;
  std::vector<std::pair<const char16_t*, float>> arrivals;
  std::vector<const char16_t*> words;  // in rank order after the merge
  std::vector<int32_t> frequencies;
};

class CaseMergeOrderTest : public testing::TestWithParam<CaseMergeCase> {};

// A merged entry that rises leaves its position to the entry that stood before it: the
// later positions are then compared with that entry's word, whatever its case; and the entry
// that moves into a merged entry's place is passed over.
TEST_P(CaseMergeOrderTest, LaterPositionsMeetTheEntryNowAtThePosition) {
  WordTable table;
  for (const auto& [word, weight] : GetParam().arrivals)
    Count(table, word, weight);
  table.MergeCaseVariants();
  EXPECT_EQ(Words(table), std::vector<Text>(GetParam().words.begin(), GetParam().words.end()));
  std::vector<int32_t> frequencies;
  for (const WordEntry& e : table.Ranked())
    frequencies.push_back(e.frequency);
  EXPECT_EQ(frequencies, GetParam().frequencies);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaseMergeOrderTest,
    testing::Values(
        // Pear and pear give 11, above ZED; ZED then stands at position 2 and meets zED,
        // which is merged into it although ZED itself could not start a merge.
        CaseMergeCase{"switch",
                      {{u"ZED", 10}, {u"Pear", 6}, {u"pear", 5}, {u"kiwi", 4.5f}, {u"zED", 4}},
                      {u"zed", u"pear", u"kiwi"},
                      {2, 2, 1}},
        // zED moves into the place of the merged pear and is passed over.
        CaseMergeCase{"passed over",
                      {{u"ZED", 10}, {u"Pear", 6}, {u"pear", 5}, {u"zED", 4}},
                      {u"pear", u"ZED", u"zED"},
                      {2, 1, 1}}),
    [](const auto& test) {
      std::string name = test.param.name;
      for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

TEST(NormaliseKeyValuesTest, TopBecomesExactlyHundred) {
  WordTable table;
  Count(table, u"top", 7);
  Count(table, u"half", 3.5f);
  Count(table, u"tiny", 0.07f);
  table.NormaliseKeyValues();
  EXPECT_EQ(table.Ranked()[0].keyValue, 100.0f);
  EXPECT_FLOAT_EQ(table.Ranked()[1].keyValue, 50.0f);
  EXPECT_FLOAT_EQ(table.Ranked()[2].keyValue, 1.0f);
}

TEST(NormaliseKeyValuesTest, AllZeroStaysZero) {
  WordTable table;
  Count(table, u"one", 0);
  Count(table, u"two", 0);
  table.NormaliseKeyValues();
  EXPECT_EQ(table.Ranked()[0].keyValue, 0);
  EXPECT_EQ(Words(table), (std::vector<Text>{u"one", u"two"}));
}

// ---- Agreement with the literal table ----

struct Arrival {
  Text word;
  float weight;
  bool flag;
};

void ExpectSame(const WordTable& fast, const LiteralTable& literal, const std::string& where) {
  ASSERT_EQ(fast.intNumWords(), literal.Count()) << where;
  const auto& ranked = fast.Ranked();
  for (size_t k = 0; k < literal.entries.size(); ++k) {
    const WordEntry entry = ranked[k];
    ASSERT_EQ(entry, literal.entries[k])
        << where << " at rank " << k + 1 << ": " << ToUtf8(entry.word) << " vs "
        << ToUtf8(literal.entries[k].word);
  }
}

// Words that collide often: stems with case variants and plural endings.
std::vector<Arrival> RandomArrivals(std::mt19937& rng, int32_t count) {
  static const std::vector<Text> stems = {u"cat", u"Cat", u"CAT", u"cAt", u"da",  u"Da",
                                          u"dog", u"Dog", u"ab",  u"Ab",  u"été", u"Été",
                                          u"ÉTÉ", u"bus", u"Bus", u"x",   u"X"};
  static const std::vector<Text> endings = {u"", u"", u"s", u"ss", u"sss", u"S"};
  static const std::vector<float> weights = {0, 1, 3, 3, 3, 5, 8, 33, 80, 90, 16777216.0f};
  std::vector<Arrival> arrivals;
  for (int32_t k = 0; k < count; ++k) {
    Text word = stems[rng() % stems.size()] + endings[rng() % endings.size()];
    arrivals.push_back(Arrival{word, weights[rng() % weights.size()], rng() % 5 == 0});
  }
  return arrivals;
}

class LiteralAgreementTest : public testing::TestWithParam<uint32_t> {};

TEST_P(LiteralAgreementTest, CountingAndFinishingMatchTheLiteralTable) {
  std::mt19937 rng(GetParam());
  const int32_t count = 20 + static_cast<int32_t>(rng() % 400);
  WordTable fast;
  LiteralTable literal;
  int32_t step = 0;
  for (Arrival a : RandomArrivals(rng, count)) {
    Text forFast = a.word;
    Text forLiteral = a.word;
    fast.CountWord(forFast, a.weight, a.flag);
    literal.CountWord(forLiteral, a.weight, a.flag);
    ASSERT_EQ(forFast, forLiteral) << "step " << step;
    if (step % 7 == 0) ExpectSame(fast, literal, "step " + std::to_string(step));
    ++step;
  }
  ExpectSame(fast, literal, "after the scan");
  const int32_t f = 1 + static_cast<int32_t>(rng() % 3);
  fast.ApplyMinFrequency(f);
  literal.ApplyMinFrequency(f);
  ExpectSame(fast, literal, "after ApplyMinFrequency");
  fast.MergeCaseVariants();
  literal.MergeCaseVariants();
  ExpectSame(fast, literal, "after MergeCaseVariants");
  fast.NormaliseKeyValues();
  literal.NormaliseKeyValues();
  ExpectSame(fast, literal, "after NormaliseKeyValues");
  // Words counted after the finishing steps still land where the literal table puts them.
  for (Arrival a : RandomArrivals(rng, 30)) {
    Text forFast = a.word;
    Text forLiteral = a.word;
    fast.CountWord(forFast, a.weight, a.flag);
    literal.CountWord(forLiteral, a.weight, a.flag);
  }
  ExpectSame(fast, literal, "after more words");
}

INSTANTIATE_TEST_SUITE_P(Seeds, LiteralAgreementTest, testing::Range(1u, 201u));

TEST(LiteralAgreementTest, RenamesOutOfAndIntoSharedWords) {
  const std::vector<Arrival> arrivals = {
      {u"catsss", 50, false}, {u"cats", 3, false},   {u"catss", 3, false}, {u"cats", 3, false},
      {u"cats", 1, false},    {u"cat", 3, false},    {u"cat", 90, true},   {u"cats", 3, false},
      {u"catss", 3, false},   {u"catsss", 3, false}, {u"ca", 3, false},    {u"Cat", 3, false}};
  WordTable fast;
  LiteralTable literal;
  int32_t step = 0;
  for (const Arrival& a : arrivals) {
    Text forFast = a.word;
    Text forLiteral = a.word;
    fast.CountWord(forFast, a.weight, a.flag);
    literal.CountWord(forLiteral, a.weight, a.flag);
    ASSERT_EQ(forFast, forLiteral) << "step " << step;
    ExpectSame(fast, literal, "step " + std::to_string(step++));
  }
  fast.MergeCaseVariants();
  literal.MergeCaseVariants();
  ExpectSame(fast, literal, "after MergeCaseVariants");
}

// Counts the word in both tables; both must count it as the same word.
void CountInBoth(WordTable& fast, LiteralTable& literal, const Text& word, float weight,
                 bool flag) {
  Text a = word;
  Text b = word;
  fast.CountWord(a, weight, flag);
  literal.CountWord(b, weight, flag);
  ASSERT_EQ(a, b) << ToUtf8(word);
}

// Both tables the same after their scan and after their case merge.
void ExpectSameThroughCaseMerge(WordTable& fast, LiteralTable& literal) {
  ExpectSame(fast, literal, "after the scan");
  fast.MergeCaseVariants();
  literal.MergeCaseVariants();
  ExpectSame(fast, literal, "after MergeCaseVariants");
}

// Larger tables of many distinct words with case variants, straight into the case merge.
class CaseMergeAgreementTest : public testing::TestWithParam<uint32_t> {};

TEST_P(CaseMergeAgreementTest, LargeTablesMatchTheLiteralLoop) {
  std::mt19937 rng(GetParam());
  WordTable fast;
  LiteralTable literal;
  const int32_t count = 1500;
  for (int32_t k = 0; k < count; ++k) {
    Text word;
    const int32_t length = 2 + static_cast<int32_t>(rng() % 3);
    for (int32_t c = 0; c < length; ++c) {
      const bool upper = rng() % (c == 0 ? 2 : 12) == 0;
      word.push_back(static_cast<char16_t>((upper ? u'A' : u'a') + rng() % 4));
    }
    CountInBoth(fast, literal, word, static_cast<float>(rng() % 6), false);
  }
  ExpectSameThroughCaseMerge(fast, literal);
}

INSTANTIATE_TEST_SUITE_P(Seeds, CaseMergeAgreementTest, testing::Range(1u, 9u));

// First letters with more than one upper-case form, some outside the code page (the Kelvin
// and Angstrom signs, the dotted capital I), met in any order, before and after the table
// grows; the rest of each word in lower case, so that every word is a case-merge candidate.
class CaseMergeFirstLetterTest : public testing::TestWithParam<uint32_t> {};

TEST_P(CaseMergeFirstLetterTest, EveryFormOfTheFirstLetterMerges) {
  static const Text firsts = u"kK\u212a\u00e5\u00c5\u212biI\u0130sS\u00ff\u0178";
  std::mt19937 rng(GetParam());
  WordTable fast;
  LiteralTable literal;
  for (int32_t k = 0; k < 1200; ++k) {
    Text word(1, firsts[rng() % firsts.size()]);
    const int32_t length = 2 + static_cast<int32_t>(rng() % 3);
    for (int32_t c = 0; c < length; ++c)
      word.push_back(static_cast<char16_t>(u'a' + rng() % 3));
    const float weight = static_cast<float>(rng() % 5);
    CountInBoth(fast, literal, word, weight, rng() % 11 == 0);
  }
  ExpectSameThroughCaseMerge(fast, literal);
}

INSTANTIATE_TEST_SUITE_P(Seeds, CaseMergeFirstLetterTest, testing::Range(1u, 4u));

// Tables that outgrow their index several times, with singulars and plurals that meet
// across the growth, keys longer than eight bytes and characters the code page lacks.
class GrowingTableAgreementTest : public testing::TestWithParam<uint32_t> {};

TEST_P(GrowingTableAgreementTest, MatchesTheLiteralTable) {
  static const Text letters = u"absSeé\u03a9";
  std::mt19937 rng(GetParam());
  WordTable fast;
  LiteralTable literal;
  for (int32_t k = 0; k < 2000; ++k) {
    Text word;
    const int32_t length = 1 + static_cast<int32_t>(rng() % 11);
    for (int32_t c = 0; c < length; ++c)
      word.push_back(letters[rng() % letters.size()]);
    word.append(rng() % 3, u's');
    const float weight = static_cast<float>(rng() % 4);
    CountInBoth(fast, literal, word, weight, rng() % 9 == 0);
  }
  ExpectSameThroughCaseMerge(fast, literal);
}

INSTANTIATE_TEST_SUITE_P(Seeds, GrowingTableAgreementTest, testing::Range(1u, 3u));

// ---- AddWord: filters in front of the count ----

TEST(AddWordTest, RejectedWordsLeaveTheTableUnchanged) {
  WordTable table;
  AnalysisSettings settings;
  settings.cboLanguage = 0;
  CommonWords common;
  common.ParseLine(u"the", 0);
  const OccurrenceContext body;
  const ScanOptions options = ResolveOptions(settings).scan;
  table.Reset(options, common);
  EXPECT_EQ(table.AddWord("The", body), AddResult::Rejected);
  EXPECT_EQ(table.AddWord("to", body), AddResult::Rejected);
  EXPECT_EQ(table.AddWord("html", body), AddResult::Rejected);
  EXPECT_EQ(table.AddWord("Tools", body), AddResult::NewWord);
  EXPECT_EQ(table.AddWord("Tool", body), AddResult::Counted);
  // A word met again is rejected or counted as the first time.
  EXPECT_EQ(table.AddWord("The", body), AddResult::Rejected);
  EXPECT_EQ(table.AddWord("Tool", body), AddResult::Counted);
  ASSERT_EQ(table.intNumWords(), 1);
  EXPECT_EQ(table.Ranked()[0].word, u"Tool");
  EXPECT_EQ(table.Ranked()[0].keyValue, 9);
}

TEST(AddWordTest, TitleOccurrencesSetTheFlagAndWeighTheTitleWeight) {
  WordTable table;
  AnalysisSettings settings;
  CommonWords common;
  OccurrenceContext title;
  title.blnInTitle = true;
  const ScanOptions options = ResolveOptions(settings).scan;
  table.Reset(options, common);
  table.AddWord("keyword", title);
  ASSERT_EQ(table.intNumWords(), 1);
  EXPECT_TRUE(table.Ranked()[0].fromTitleOrMeta);
  EXPECT_EQ(table.Ranked()[0].keyValue, 80);
}

TEST(AddWordTest, NeedsTheScansFilters) {
  WordTable table;
  EXPECT_THROW(table.AddWord("word", OccurrenceContext{}), std::logic_error);
  EXPECT_THROW(table.AddWordSoon("word", OccurrenceContext{}, [](AddResult, std::string_view) {}),
               std::logic_error);
  // Nor is a table read or finished while words wait to be counted.
  AnalysisSettings settings;
  CommonWords common;
  const ScanOptions options = ResolveOptions(settings).scan;
  table.Reset(options, common, 50'000'000);  // long enough for words to wait
  table.AddWordSoon("word", OccurrenceContext{}, [](AddResult, std::string_view) {});
  EXPECT_THROW(table.Ranked(), std::logic_error);
  EXPECT_THROW(table.MergeCaseVariants(), std::logic_error);
  table.Reset(options, common);
  EXPECT_EQ(table.Ranked().size(), 0U);
}

// Words as the scanner hands them over (bytes of the code page), through the filters and the
// count, against the filters over 16-bit text and the literal table; every word is met many
// times, as the filters' verdicts are kept per word. A third table takes the same words
// through the queue of words waiting to be counted, emptied now and then, and must tell of
// the same new words in the same order.
class AddWordAgreementTest : public testing::TestWithParam<uint32_t> {};

TEST_P(AddWordAgreementTest, BytesThroughTheFiltersMatchTheLiteralTable) {
  std::mt19937 rng(GetParam());
  static const Text alphabet =
      u"aeiouyYlLIVXCMcmxdDsSnrtT\u00c9\u00e9\u00c0\u00ff\u0178\u0152\u0153\u0160\u0161-'";
  std::vector<Text> vocabulary;
  const int vocabularySize = GetParam() % 8 == 0 ? 1500 : 150;
  const int checkEvery = vocabularySize > 150 ? 500 : 50;
  for (int k = 0; k < vocabularySize; ++k) {
    Text word;
    const size_t length = 1 + rng() % 12;
    for (size_t c = 0; c < length; ++c)
      word.push_back(alphabet[rng() % alphabet.size()]);
    vocabulary.push_back(word);
    vocabulary.push_back(word + u"s");
  }
  vocabulary.push_back(Text(70, u'a') + u"b");  // too long
  CommonWords common;
  common.ParseLine(u"les des \u00e9t\u00e9 the \u0153il and", 0);
  common.ParseLine(u"les des", 1);
  AnalysisSettings settings;
  settings.cboLanguage = static_cast<int32_t>(rng() % 3) - 1;
  settings.cboShortWordSize = static_cast<int32_t>(rng() % 3);
  settings.chkIgnoreShortWords = rng() % 2 == 0;
  settings.chkIgnoreCommonWords = rng() % 3 != 0;
  settings.strWordsToIgnoreList = rng() % 2 == 0 ? Text(u"mind,s\u00e9,") : Text();
  const ScanOptions options = ResolveOptions(settings).scan;

  WordTable fast;
  fast.Reset(options, common);
  WordTable soon;
  // A long document's: its words wait, and with the larger vocabulary its index grows while
  // they do; now and then a short one's, whose words are counted at once.
  soon.Reset(options, common, GetParam() % 8 == 4 ? 0 : 50'000'000);
  // The same, its words handed over in runs whose bytes are written over after each.
  WordTable runs;
  runs.Reset(options, common, GetParam() % 8 == 4 ? 0 : 50'000'000);
  std::string runBytes;
  std::vector<std::pair<size_t, Occurrence>> runWords;  // where each ends, its occurrence
  std::vector<std::string> newWords;
  std::vector<std::string> newWordsSoon;
  std::vector<std::string> newWordsInRuns;
  auto told = [&newWordsSoon](AddResult result, std::string_view w) {
    if (result == AddResult::NewWord) newWordsSoon.emplace_back(w);
  };
  auto countRun = [&] {
    runs.AddWordsSoon(
        [&](auto add) {
          size_t start = 0;
          for (const auto& [end, occurrence] : runWords) {
            add(std::string_view(runBytes).substr(start, end - start), occurrence);
            start = end;
          }
        },
        [&](AddResult result, std::string_view w) {
          if (result == AddResult::NewWord) newWordsInRuns.emplace_back(w);
        });
    std::fill(runBytes.begin(), runBytes.end(), '#');
    runBytes.clear();
    runWords.clear();
  };
  LiteralTable literal;
  for (int step = 0; step < 3000; ++step) {
    const Text& word = vocabulary[rng() % vocabulary.size()];
    OccurrenceContext context;
    context.blnBold = rng() % 4 == 0;
    context.blnInTitle = rng() % 9 == 0;
    context.intTableDepth = static_cast<int32_t>(rng() % 2);
    const AddResult result = fast.AddWord(EncodeCp1252(word), context);
    if (result == AddResult::NewWord) newWords.push_back(EncodeCp1252(word));
    soon.AddWordSoon(EncodeCp1252(word), context, told);
    runBytes += EncodeCp1252(word);
    runWords.emplace_back(runBytes.size(), OccurrenceOf(context, options.weights));
    if (rng() % 40 == 0) countRun();
    if (IsRejectedWord(word, options, common)) {
      ASSERT_EQ(result, AddResult::Rejected) << ToUtf8(word);
      continue;
    }
    ASSERT_NE(result, AddResult::Rejected) << ToUtf8(word);
    Text counted = word;
    literal.CountWord(
        counted, OccurrenceWeight(context, options.weights),
        context.blnInTitle || context.blnInDescription || context.blnInExistingKeywords);
    if (step % checkEvery == 0) ExpectSame(fast, literal, "step " + std::to_string(step));
    if (step % 997 == 0) {
      soon.Flush(told);
      ExpectSame(soon, literal, "waiting words counted at step " + std::to_string(step));
    }
  }
  ExpectSame(fast, literal, "after the scan");
  soon.Flush(told);
  EXPECT_EQ(newWordsSoon, newWords);
  ExpectSame(soon, literal, "after the waiting words");
  countRun();
  EXPECT_EQ(newWordsInRuns, newWords);
  ExpectSame(runs, literal, "after the runs");
  fast.ApplyMinFrequency(2);
  literal.ApplyMinFrequency(2);
  fast.MergeCaseVariants();
  literal.MergeCaseVariants();
  fast.NormaliseKeyValues();
  literal.NormaliseKeyValues();
  ExpectSame(fast, literal, "after the finishing steps");
}

INSTANTIATE_TEST_SUITE_P(Seeds, AddWordAgreementTest, testing::Range(1u, 41u));

}  // namespace
}  // namespace tw
