// Settings: list items, defaults, the number-box checks and the words-to-ignore tidying.
#include "analysis/settings.hpp"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(ListItemsTest, ShowTheNumbersOfEachList) {
  EXPECT_EQ(ListItems::OneToNine().front(), u"1");
  EXPECT_EQ(ListItems::OneToNine().back(), u"9");
  EXPECT_EQ(ListItems::TenToNinety().front(), u"10");
  EXPECT_EQ(ListItems::TenToNinety()[8], u"90");
  EXPECT_EQ(ListItems::ZeroToNinety().front(), u"0");
  EXPECT_EQ(ListItems::ZeroToNinety()[9], u"90");
  EXPECT_EQ(ListItems::ZeroToNine()[3], u"3");
}

TEST(LanguagesTest, CodesAndNamesSharePositions) {
  EXPECT_EQ(strLanguageCodes[intGermanLanguageIndex], u"de");
  EXPECT_EQ(kLanguageNames[intGermanLanguageIndex], u"German");
  EXPECT_EQ(strLanguageCodes[kFrenchLanguageIndex], u"fr");
  EXPECT_EQ(strLanguageCodes[kAllLanguagesIndex], u"en_de_es_pt_it_fr");
  EXPECT_EQ(kLanguageNames[kAllLanguagesIndex], u"All 6 languages");
  EXPECT_EQ(kLanguageNames[4], u"Portuguese");
}

TEST(SettingsTest, DefaultsDeliverTheDocumentedValues) {
  const AnalysisSettings s;
  EXPECT_EQ(s.TitleWeight(), 80);  // the list shows 90
  EXPECT_EQ(s.DescriptionWeight(), 50);
  EXPECT_EQ(s.ExistingKeywordsWeight(), 0);
  EXPECT_EQ(s.BoldWeight(), 4);  // the list shows 5
  EXPECT_EQ(s.ItalicWeight(), 4);
  EXPECT_EQ(s.TableWeight(), 1);
  EXPECT_EQ(s.DivWeight(), 2);
  EXPECT_EQ(s.SpanWeight(), 2);
  EXPECT_EQ(s.ShortWordSize(), 2);
  EXPECT_EQ(s.MinFrequency(), 2);
  EXPECT_EQ(s.cboLanguage, kNoSelection);
}

AnalysisSettings ChangedSettings() {
  AnalysisSettings s;
  s.txbInputFile = u"/web/page.html";
  s.txbBeginMetaTagWith = u"web design";
  s.txbWordsToIgnore = u"foo";
  s.strWordsToIgnoreList = u"foo,";
  s.txbMaxNumKeywordsInMetaTag = u"20";
  s.txbMaxNumBytesInMetaTag = u"0";
  s.cboShortWordSize = 5;
  s.cboThresholdFrequency = 0;
  s.cboTitleWeight = 1;
  s.cboDescriptionWeight = 2;
  s.cboExistingKeywordsWeight = 3;
  s.cboBoldWeight = 0;
  s.cboItalicWeight = 8;
  s.cboTableWeight = 0;
  s.cboDivWeight = 9;
  s.cboSpanWeight = 7;
  s.cboLanguage = 3;
  s.chkIgnoreShortWords = false;
  s.chkIgnoreCommonWords = false;
  s.chkPreserveCase = false;
  s.chkSpaceAfterComma = false;
  s.chkShowWordsAsFound = true;
  s.optInsertionWithBackup = true;
  s.chkLargeWindow = true;
  return s;
}

TEST(RestoreDefaultsTest, KeepsTextsLanguageAndLargeWindowUnlessAsked) {
  AnalysisSettings s = ChangedSettings();
  RestoreDefaults(s, false);
  AnalysisSettings expected;
  expected.txbInputFile = u"/web/page.html";
  expected.txbBeginMetaTagWith = u"web design";
  expected.txbWordsToIgnore = u"foo";
  expected.strWordsToIgnoreList = u"foo,";
  expected.cboLanguage = 3;
  expected.chkLargeWindow = true;
  EXPECT_EQ(s, expected);
}

TEST(RestoreDefaultsTest, ClearsTheThreeTextsWhenAsked) {
  AnalysisSettings s = ChangedSettings();
  RestoreDefaults(s, true);
  EXPECT_TRUE(s.txbInputFile.empty());
  EXPECT_TRUE(s.txbBeginMetaTagWith.empty());
  EXPECT_TRUE(s.txbWordsToIgnore.empty());
  EXPECT_EQ(s.cboLanguage, 3);
  EXPECT_TRUE(s.chkLargeWindow);
  EXPECT_EQ(s.txbMaxNumKeywordsInMetaTag, u"50");
  EXPECT_EQ(s.txbMaxNumBytesInMetaTag, u"500");
}

struct CleanCase {
  const char16_t* text;
  bool allowMinus;
  const char16_t* expected;
};

class CleanNumberTextTest : public testing::TestWithParam<CleanCase> {};

TEST_P(CleanNumberTextTest, KeepsDigitsAndOneLeadingSign) {
  EXPECT_EQ(CleanNumberText(GetParam().text, GetParam().allowMinus), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CleanNumberTextTest,
    testing::Values(CleanCase{u"1,000", false, u"1000"}, CleanCase{u"a+5", false, u"+5"},
                    CleanCase{u"5+", false, u"5"}, CleanCase{u"++7", false, u"+7"},
                    CleanCase{u"-3", false, u"3"}, CleanCase{u"-3", true, u"-3"},
                    CleanCase{u"--3-", true, u"-3"}, CleanCase{u"+-4", true, u"+-4"},
                    CleanCase{u"4-", true, u"4"}, CleanCase{u" 1 2 ", false, u"12"},
                    CleanCase{u"abc", false, u""}, CleanCase{u"", false, u""}));

struct KeywordsCase {
  const char16_t* typed;
  const char16_t* box;
  const char16_t* message;  // nullptr: no message
};

class CheckMaxNumKeywordsTest : public testing::TestWithParam<KeywordsCase> {};

TEST_P(CheckMaxNumKeywordsTest, ChecksTheRangeFiveToHundred) {
  Text box = GetParam().typed;
  const std::optional<Message> message = CheckMaxNumKeywords(box);
  EXPECT_EQ(box, GetParam().box);
  if (GetParam().message == nullptr) {
    EXPECT_FALSE(message.has_value());
  } else {
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->text, GetParam().message);
    EXPECT_EQ(message->caption, u"Number of keywords");
    EXPECT_EQ(message->icon, MsgIcon::Information);
    EXPECT_EQ(message->buttons, MsgButtons::Ok);
  }
}

constexpr const char16_t* kMinMessage = u"Minimum number of keywords in the meta tag is 5.";
constexpr const char16_t* kMaxMessage = u"Maximum number of keywords in the meta tag is 100.";

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckMaxNumKeywordsTest,
    testing::Values(KeywordsCase{u"4", u"50", kMinMessage}, KeywordsCase{u"5", u"5", nullptr},
                    KeywordsCase{u"100", u"100", nullptr}, KeywordsCase{u"101", u"50", kMaxMessage},
                    KeywordsCase{u"abc", u"50", nullptr}, KeywordsCase{u"", u"50", nullptr},
                    KeywordsCase{u"+", u"50", kMinMessage}, KeywordsCase{u"+20", u"+20", nullptr},
                    KeywordsCase{u"2x0", u"20", nullptr}, KeywordsCase{u"-7", u"7", nullptr},
                    KeywordsCase{u"9999", u"50", kMaxMessage}));

struct BytesCase {
  const char16_t* typed;
  const char16_t* box;
  bool message;
};

class CheckMaxNumBytesTest : public testing::TestWithParam<BytesCase> {};

TEST_P(CheckMaxNumBytesTest, HasOnlyAnUpperLimit) {
  Text box = GetParam().typed;
  const std::optional<Message> message = CheckMaxNumBytes(box);
  EXPECT_EQ(box, GetParam().box);
  ASSERT_EQ(message.has_value(), GetParam().message);
  if (message) {
    EXPECT_EQ(message->text, u"Maximum number of bytes in the meta tag is 1000.");
    EXPECT_TRUE(message->caption.empty());
    EXPECT_EQ(message->icon, MsgIcon::None);
    EXPECT_EQ(message->buttons, MsgButtons::Ok);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckMaxNumBytesTest,
                         testing::Values(BytesCase{u"9,99", u"999", false},
                                         BytesCase{u"1000", u"1000", false},
                                         BytesCase{u"1001", u"500", true},
                                         BytesCase{u"0", u"0", false}, BytesCase{u"", u"", false},
                                         BytesCase{u"abc", u"", false},
                                         BytesCase{u"+", u"+", false}));

struct IgnoreCase {
  const char16_t* typed;
  const char16_t* box;
  const char16_t* list;
};

class NormaliseWordsToIgnoreTest : public testing::TestWithParam<IgnoreCase> {};

TEST_P(NormaliseWordsToIgnoreTest, LowerCasesAndSeparatesByOneComma) {
  Text box = GetParam().typed;
  EXPECT_EQ(NormaliseWordsToIgnore(box), GetParam().list);
  EXPECT_EQ(box, GetParam().box);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NormaliseWordsToIgnoreTest,
    testing::Values(IgnoreCase{u"  Foo  Bar,,baz, ", u"foo,bar,baz", u"foo,bar,baz,"},
                    IgnoreCase{u"a b", u"a,b", u"a,b,"}, IgnoreCase{u"   ", u"", u""},
                    IgnoreCase{u"", u"", u""}, IgnoreCase{u",", u"", u""},
                    IgnoreCase{u",Foo", u",foo", u",foo,"},
                    IgnoreCase{u"ÉTÉ ÇA", u"été,ça", u"été,ça,"},
                    IgnoreCase{u"a,,,,,b", u"a,b", u"a,b,"}));

}  // namespace
}  // namespace tw
