// Word filters: each rule with the cases that tell it apart, and agreement with the literal
// rules on random words.
#include "words/filters.hpp"

#include <gtest/gtest.h>

#include "analysis/settings.hpp"

#include <random>

#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"
#include "words/commonwords.hpp"
#include "words/wordhash.hpp"

namespace tw {
namespace {

ScanOptions Scan(const AnalysisSettings& s) {
  return ResolveOptions(s).scan;
}

struct FilterCase {
  const char16_t* word;
  WordFilter filter;
};

AnalysisSettings EnglishSettings() {
  AnalysisSettings s;
  s.cboLanguage = 0;
  s.chkIgnoreShortWords = false;
  return s;
}

CommonWords EnglishCommonWords() {
  CommonWords common;
  common.ParseLine(u"the and über", 0);
  return common;
}

class FilterTest : public testing::TestWithParam<FilterCase> {};

TEST_P(FilterTest, TheFirstRuleThatAppliesRejects) {
  AnalysisSettings s = EnglishSettings();
  s.strWordsToIgnoreList = u"football,seo,";
  const CommonWords common = EnglishCommonWords();
  FilterScratch lowered;
  EXPECT_EQ(RejectingFilter(GetParam().word, Scan(s), common, lowered), GetParam().filter);
  EXPECT_EQ(IsRejectedWord(GetParam().word, Scan(s), common),
            GetParam().filter != WordFilter::None);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilterTest,
    testing::Values(
        FilterCase{u"Zzz", WordFilter::RepeatedCharacter},
        FilterCase{u"Aa", WordFilter::RepeatedCharacter},
        FilterCase{u"ÉéÉ", WordFilter::RepeatedCharacter},
        FilterCase{u"a", WordFilter::None},  // one letter: not a repeated character
        FilterCase{u"football", WordFilter::Listed}, FilterCase{u"ball", WordFilter::Listed},
        FilterCase{u"all", WordFilter::Listed}, FilterCase{u"SEO", WordFilter::Listed},
        FilterCase{u"footballs", WordFilter::None}, FilterCase{u"Mix", WordFilter::RomanNumeral},
        FilterCase{u"Civic", WordFilter::RomanNumeral}, FilterCase{u"I", WordFilter::RomanNumeral},
        FilterCase{u"ill", WordFilter::RomanNumeral}, FilterCase{u"Vivid", WordFilter::None},
        FilterCase{u"html", WordFilter::NoVowel}, FilterCase{u"www", WordFilter::RepeatedCharacter},
        FilterCase{u"CSS", WordFilter::NoVowel}, FilterCase{u"my", WordFilter::None},
        FilterCase{u"rhythm", WordFilter::None}, FilterCase{u"brr", WordFilter::NoVowel},
        FilterCase{u"ýý", WordFilter::RepeatedCharacter}, FilterCase{u"sýn", WordFilter::NoVowel},
        FilterCase{u"isn", WordFilter::ContractionStem},
        FilterCase{u"Didn", WordFilter::ContractionStem},
        FilterCase{u"ouldn", WordFilter::ContractionStem},
        FilterCase{u"ren", WordFilter::ContractionStem}, FilterCase{u"The", WordFilter::CommonWord},
        FilterCase{u"ÜBER", WordFilter::CommonWord},
        FilterCase{u"quickly", WordFilter::AdverbOrParticiple},
        FilterCase{u"finished", WordFilter::AdverbOrParticiple},
        FilterCase{u"APPLIED", WordFilter::AdverbOrParticiple},
        FilterCase{u"agreed", WordFilter::AdverbOrParticiple},
        FilterCase{u"limited", WordFilter::None}, FilterCase{u"Screed", WordFilter::None},
        FilterCase{u"tweed", WordFilter::None}, FilterCase{u"monopoly", WordFilter::None},
        FilterCase{u"fly", WordFilter::None}, FilterCase{u"bed", WordFilter::None},
        FilterCase{u"Seed", WordFilter::None}, FilterCase{u"seo", WordFilter::Listed},
        FilterCase{u"website", WordFilter::None}));

TEST(FilterTest, ShortWordsDependOnTheCheckBoxAndSize) {
  const CommonWords common;
  AnalysisSettings s;
  s.cboShortWordSize = 2;  // size 3
  FilterScratch lowered;
  EXPECT_EQ(RejectingFilter(u"the", Scan(s), common, lowered), WordFilter::ShortWord);
  EXPECT_EQ(RejectingFilter(u"web", Scan(s), common, lowered), WordFilter::ShortWord);
  EXPECT_EQ(RejectingFilter(u"site", Scan(s), common, lowered), WordFilter::None);
  s.chkIgnoreShortWords = false;
  EXPECT_EQ(RejectingFilter(u"web", Scan(s), common, lowered), WordFilter::None);
}

TEST(FilterTest, LongestWordIsSixtyCharacters) {
  const CommonWords common;
  const AnalysisSettings s;
  FilterScratch lowered;
  Text word;
  for (int k = 0; k < 60; ++k)
    word.push_back(u"abde"[k % 4]);
  EXPECT_EQ(RejectingFilter(word, Scan(s), common, lowered), WordFilter::None);
  word.push_back(u'a');
  EXPECT_EQ(RejectingFilter(word, Scan(s), common, lowered), WordFilter::TooLong);
}

TEST(FilterTest, ContractionStemsOnlyInEnglish) {
  const CommonWords common;
  AnalysisSettings s = EnglishSettings();
  s.cboLanguage = 1;
  FilterScratch lowered;
  EXPECT_EQ(RejectingFilter(u"isn", Scan(s), common, lowered), WordFilter::None);
}

TEST(FilterTest, NoLanguageSelectedMeansNoCommonWords) {
  const CommonWords common = EnglishCommonWords();
  AnalysisSettings s = EnglishSettings();
  s.cboLanguage = kNoSelection;
  FilterScratch lowered;
  EXPECT_EQ(RejectingFilter(u"the", Scan(s), common, lowered), WordFilter::None);
  s.cboLanguage = 0;
  s.chkIgnoreCommonWords = false;
  EXPECT_EQ(RejectingFilter(u"the", Scan(s), common, lowered), WordFilter::None);
}

TEST(FilterTest, AnEmptyWordIsRejected) {
  const CommonWords common;
  AnalysisSettings s = EnglishSettings();
  EXPECT_TRUE(IsRejectedWord(u"", Scan(s), common));
}

// The rules as the system's documents word them, with the general string helpers.
WordFilter LiteralFilter(const Text& word, const AnalysisSettings& s, const CommonWords& common) {
  const auto length = static_cast<int32_t>(word.size());
  if (s.chkIgnoreShortWords && length <= s.ShortWordSize()) return WordFilter::ShortWord;
  if (length > intMaxWordLength) return WordFilter::TooLong;
  const Text lowered = ToLowerGeneral(word);
  if (length > 1) {
    Text rest = lowered;
    RemoveCharsInPlace(rest, Text(1, lowered[0]));
    if (rest.empty()) return WordFilter::RepeatedCharacter;
  }
  if (s.strWordsToIgnoreList.find(lowered + u",") != Text::npos) return WordFilter::Listed;
  Text roman = lowered;
  RemoveCharsInPlace(roman, u"ivxlcm");
  if (roman.empty()) return WordFilter::RomanNumeral;
  if (HasNoVowel(word)) return WordFilter::NoVowel;
  if (s.cboLanguage == 0 && strContractionStems.find(lowered + u" ") != TextView::npos) {
    return WordFilter::ContractionStem;
  }
  if (s.chkIgnoreCommonWords && common.IsCommonWord(word, s.cboLanguage)) {
    return WordFilter::CommonWord;
  }
  auto ends = [&](TextView suffix) {
    return lowered.size() >= suffix.size() &&
           TextView(lowered).substr(lowered.size() - suffix.size()) == suffix;
  };
  const bool exception =
      std::find(strIgnoredLySuffixExceptions.begin(), strIgnoredLySuffixExceptions.end(),
                TextView(lowered)) != strIgnoredLySuffixExceptions.end();
  if (length > 4 && (ends(u"ly") || ends(u"ed")) && !exception && !ends(u"poly")) {
    return WordFilter::AdverbOrParticiple;
  }
  return WordFilter::None;
}

class FilterAgreementTest : public testing::TestWithParam<uint32_t> {};

TEST_P(FilterAgreementTest, RandomWordsMatchTheLiteralRules) {
  std::mt19937 rng(GetParam());
  static const Text alphabet = u"aeiouyYlLyIVXCMcmxdDsSnrtÉéÀàÿŸÝýßŒœΣσ-'";
  CommonWords common;
  common.ParseLine(u"ais les des été ŒIL", 0);
  AnalysisSettings s;
  s.cboShortWordSize = static_cast<int32_t>(rng() % 3);
  s.chkIgnoreShortWords = rng() % 2 == 0;
  s.cboLanguage = static_cast<int32_t>(rng() % 2);
  s.strWordsToIgnoreList = rng() % 2 == 0 ? Text(u"mind,sé,") : Text();
  FilterScratch lowered;
  for (int k = 0; k < 3000; ++k) {
    Text word;
    const int length = static_cast<int>(rng() % 8);
    for (int c = 0; c < length; ++c)
      word.push_back(alphabet[rng() % alphabet.size()]);
    ASSERT_EQ(RejectingFilter(word, Scan(s), common, lowered), LiteralFilter(word, s, common))
        << "word of " << word.size() << " characters, seed " << GetParam();
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, FilterAgreementTest, testing::Range(1u, 41u));

// The filters over the bytes of the code page agree with the filters over 16-bit text on
// every word of the code page's characters, down to the lowered word and its hash.
TEST_P(FilterAgreementTest, BytesOfTheCodePageMatchTheText) {
  std::mt19937 rng(GetParam());
  CommonWords common;
  common.ParseLine(u"ais les des \u00e9t\u00e9 \u0152IL isn", 0);
  AnalysisSettings s;
  s.cboShortWordSize = static_cast<int32_t>(rng() % 3);
  s.chkIgnoreShortWords = rng() % 2 == 0;
  s.chkIgnoreCommonWords = rng() % 2 == 0;
  s.cboLanguage = static_cast<int32_t>(rng() % 2);
  s.strWordsToIgnoreList = rng() % 2 == 0 ? Text(u"mind,s\u00e9,") : Text();
  FilterScratch fromText;
  FilterScratch fromBytes;
  for (int k = 0; k < 3000; ++k) {
    std::string bytes;
    const int length = static_cast<int>(rng() % 9);
    for (int c = 0; c < length; ++c) {
      // Mostly the letters that matter to some filter, now and then any byte at all.
      static const std::string letters = "aeiouyYlLIVXcmxdsSnrt\xc9\xe9\xff\x9f\x8c\x9c\x8a\x9a-' ";
      bytes.push_back(rng() % 8 == 0 ? static_cast<char>(rng() % 256)
                                     : letters[rng() % letters.size()]);
    }
    const Text text = DecodeCp1252(bytes);
    const WordFilter expected = RejectingFilter(text, Scan(s), common, fromText);
    ASSERT_EQ(RejectingFilter(bytes, Scan(s), common, fromBytes), expected) << ToUtf8(text);
    if (expected == WordFilter::None) {
      ASSERT_EQ(fromBytes.lowered(), fromText.lowered());
      ASSERT_EQ(fromBytes.unchanged, fromText.unchanged);
      ASSERT_EQ(fromBytes.unchanged, fromText.lowered() == TextView(text));
      ASSERT_EQ(fromBytes.loweredHash, HashWord(fromText.lowered()));
    }
  }
}

}  // namespace
}  // namespace tw
