// Common words: loading real files, the messages for unusable files, the shipped lists, and
// the choice of a document's language.
#include "words/commonwords.hpp"

#include <gtest/gtest.h>

#include <iterator>

#include "io/istextfile.hpp"
#include "support/testfiles.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"

namespace tw {
namespace {

using test::TempDir;

constexpr int32_t kEnglish = 0;
constexpr int32_t kFrench = 1;
constexpr int32_t kGerman = 2;

std::string FileName(int32_t position) {
  return "cwds_" + std::string(ToUtf8(strLanguageCodes[position])) + ".txt";
}

std::vector<Text> WordsOf(std::initializer_list<const char16_t*> words) {
  return std::vector<Text>(words.begin(), words.end());
}

TEST(CommonWordsTest, StoresLowerCasedDistinctWordsInCodeOrder) {
  TempDir dir;
  dir.Write(FileName(kEnglish),
            "The the THE and\r\n\r\n   \r\n\xDC"
            "ber \xFC"
            "ber\r\nzebra\r\n");
  CommonWords common;
  EXPECT_FALSE(common.LoadCommonWords(dir.path(), kEnglish).has_value());
  EXPECT_EQ(common.Words(kEnglish), WordsOf({u"and", u"the", u"zebra", u"über"}));
  EXPECT_EQ(common.Count(kEnglish), 4);
  EXPECT_TRUE(common.IsAvailable(kEnglish));
  EXPECT_TRUE(common.IsCommonWord(u"THE", kEnglish));
  EXPECT_TRUE(common.IsCommonWord(u"Über", kEnglish));
  EXPECT_FALSE(common.IsCommonWord(u"them", kEnglish));
  EXPECT_FALSE(common.IsCommonWord(u"the", kFrench));
  EXPECT_FALSE(common.IsCommonWord(u"the", kNoSelection));
}

TEST(CommonWordsTest, Utf8FileWithByteOrderMarkIsDecodedAndTheMarkIsNoWord) {
  TempDir dir;
  dir.Write(FileName(kFrench), "\xEF\xBB\xBF\xC3\xAAtre\r\n\xC3\xA9t\xC3\xA9 \xC3\x80 la\r\n");
  CommonWords common;
  EXPECT_FALSE(common.LoadCommonWords(dir.path(), kFrench).has_value());
  EXPECT_EQ(common.Words(kFrench), WordsOf({u"la", u"à", u"été", u"être"}));
}

TEST(CommonWordsTest, HyphensAndApostrophesBelongToFrenchWordsOnly) {
  TempDir dir;
  const std::string line = "aujourd'hui peut-\xEAtre\r\n";
  dir.Write(FileName(kFrench), line);
  dir.Write(FileName(kEnglish), line);
  CommonWords common;
  common.LoadCommonWords(dir.path(), kFrench);
  common.LoadCommonWords(dir.path(), kEnglish);
  EXPECT_EQ(common.Words(kFrench), WordsOf({u"aujourd'hui", u"peut-être"}));
  EXPECT_EQ(common.Words(kEnglish), WordsOf({u"aujourd", u"hui", u"peut", u"être"}));
}

TEST(CommonWordsTest, TabsNoBreakSpacesAndDigitsSeparateWords) {
  TempDir dir;
  dir.Write(FileName(kGerman),
            "eins\tzwei\xA0"
            "drei4vier\n5f\xFCnf\r\n");
  CommonWords common;
  common.LoadCommonWords(dir.path(), kGerman);
  EXPECT_EQ(common.Words(kGerman), WordsOf({u"drei", u"eins", u"fünf", u"vier", u"zwei"}));
}

TEST(CommonWordsTest, LfOnlyFilesAreReadLineByLine) {
  TempDir dir;
  dir.Write(FileName(kEnglish), "alpha\nbeta\ngamma\n");
  CommonWords common;
  EXPECT_FALSE(common.LoadCommonWords(dir.path(), kEnglish).has_value());
  EXPECT_EQ(common.Words(kEnglish), WordsOf({u"alpha", u"beta", u"gamma"}));
}

Text WordNumber(int32_t k) {
  Text word = u"w";
  for (int32_t v = k; v > 0; v /= 26)
    word.push_back(static_cast<char16_t>(u'a' + v % 26));
  return word;
}

TEST(CommonWordsTest, KeepsTheFirstThousandDistinctWords) {
  TempDir dir;
  std::string content;
  std::vector<Text> expected;
  for (int32_t k = 0; k < 1200; ++k) {
    const Text word = WordNumber(k);
    content += ToUtf8(word) + (k % 7 == 0 ? "\r\n" : " ");
    if (k % 100 == 0) content += ToUtf8(WordNumber(0)) + " ";  // repeats do not count
    if (k < kMaxCommonWordsPerLanguage) expected.push_back(word);
  }
  dir.Write(FileName(kEnglish), content);
  CommonWords common;
  common.LoadCommonWords(dir.path(), kEnglish);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(common.Words(kEnglish), expected);
  EXPECT_FALSE(common.IsCommonWord(WordNumber(1000), kEnglish));
  EXPECT_TRUE(common.IsCommonWord(WordNumber(999), kEnglish));
}

struct FailureCase {
  const char* name;
  std::optional<std::string> bytes;  // nullopt: no file
  const char16_t* problem;
};

class CommonWordsFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(CommonWordsFailureTest, UnusableFilesLeaveTheLanguageUnavailable) {
  TempDir dir;
  if (GetParam().bytes) dir.Write(FileName(kFrench), *GetParam().bytes);
  CommonWords common;
  common.ParseLine(u"old words", kFrench);
  const std::optional<Message> message = common.LoadCommonWords(dir.path(), kFrench);
  ASSERT_TRUE(message.has_value());
  EXPECT_EQ(message->caption, u"Error!");
  EXPECT_EQ(message->icon, MsgIcon::Warning);
  EXPECT_EQ(message->text, Text(u"French\r\n\r\n") + GetParam().problem);
  EXPECT_FALSE(common.IsAvailable(kFrench));
  EXPECT_EQ(common.Count(kFrench), 0);
  EXPECT_FALSE(common.IsCommonWord(u"old", kFrench));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommonWordsFailureTest,
    testing::Values(FailureCase{"missing", std::nullopt, u"File for common words was not found."},
                    FailureCase{"empty", std::string(), u"File is zero-length."},
                    FailureCase{"binary", std::string(200, '\x01'), u"This is not a text file."},
                    FailureCase{"tiny", std::string("abc"),
                                u"An error was encountered when trying to use this file."},
                    FailureCase{"utf16", std::string("\xFF\xFEw\0o\0r\0d\0", 10),
                                u"An error was encountered when trying to use this file."}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(CommonWordsTest, LoadAllReportsOnlyTheFailures) {
  TempDir dir;
  for (int32_t position = 0; position < intNumCommonWordsLanguages; ++position) {
    if (position != kFrench) dir.Write(FileName(position), "word\r\n");
  }
  CommonWords common;
  const std::vector<Message> messages = common.LoadAll(dir.path());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, u"French\r\n\r\nFile for common words was not found.");
  for (int32_t position = 0; position < intNumCommonWordsLanguages; ++position) {
    EXPECT_EQ(common.IsAvailable(position), position != kFrench) << position;
  }
}

TEST(CommonWordsTest, ShippedListsLoad) {
  CommonWords common;
  EXPECT_TRUE(common.LoadAll(TAGWRIGHT_SOURCE_DATA_DIR).empty());
  for (int32_t position = 0; position < intNumCommonWordsLanguages; ++position) {
    EXPECT_GT(common.Count(position), 100) << position;
    EXPECT_LE(common.Count(position), kMaxCommonWordsPerLanguage) << position;
    for (const Text& word : common.Words(position)) {
      EXPECT_NE(word.front(), u'\u00EF') << "byte-order mark read as a word in " << position;
    }
  }
  EXPECT_EQ(common.Count(kAllLanguagesIndex), kMaxCommonWordsPerLanguage);
  EXPECT_TRUE(common.IsCommonWord(u"The", kEnglish));
  EXPECT_TRUE(common.IsCommonWord(u"été", kFrench));
  EXPECT_TRUE(common.IsCommonWord(u"Über", kGerman));
  EXPECT_TRUE(common.IsCommonWord(u"und", kAllLanguagesIndex));
  EXPECT_TRUE(common.IsCommonWord(u"the", kAllLanguagesIndex));
  EXPECT_FALSE(common.IsCommonWord(u"keyword", kEnglish));
}

TEST(CommonWordsTest, UnavailableMessageNamesTheLanguageAndFile) {
  const std::filesystem::path folder = std::filesystem::absolute("/opt/tagwright");
  const Message french = CommonWordsUnavailableMessage(folder, kFrench);
  EXPECT_EQ(french.caption, u"Common words not available");
  EXPECT_EQ(french.icon, MsgIcon::Warning);
  EXPECT_EQ(french.text, u"Common words in French could not be read from file\r\n" +
                             FromUtf8((folder / "cwds_fr.txt").string()));
  const Message all = CommonWordsUnavailableMessage(folder, kAllLanguagesIndex);
  EXPECT_EQ(all.text, u"Common words in all 6 languages could not be read from file\r\n" +
                          FromUtf8((folder / "cwds_en_de_es_pt_it_fr.txt").string()));
}

struct DetectCase {
  const char* name;
  std::string head;
  const char16_t* code;
};

class DetectDocumentLanguageTest : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectDocumentLanguageTest, ReadsTheDeclarationInTheFirstLines) {
  TempDir dir;
  const auto file = dir.Write("page.html", GetParam().head);
  EXPECT_EQ(DetectDocumentLanguage(FromUtf8(file.string()), u"en_de_es_pt_it_fr", u"en"),
            GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DetectDocumentLanguageTest,
    testing::Values(
        DetectCase{"quoted", "<html lang=\"de\">\r\n<head>\r\n", u"de"},
        DetectCase{"upper_case", "<HTML LANG=\"IT\">\r\n", u"it"},
        DetectCase{"region", "<html lang=\"en-GB\">\r\n", u"en"},
        DetectCase{"region_fr", "<html lang=\"fr-CA\">\r\n", u"fr"},
        DetectCase{"unquoted", "<html lang=es>\r\n", u"en"},
        DetectCase{"content", "<html>\r\n<meta http-equiv=\"content-language\" content=\"fr\">\r\n",
                   u"fr"},
        DetectCase{"long_content", "<html>\r\n<meta name=\"x\" content=\"french\">\r\n", u"en"},
        DetectCase{"nothing", "<html>\r\n<head>\r\n", u"en"},
        DetectCase{"not_allowed", "<html lang=\"nl\">\r\n", u"en"},
        DetectCase{"eleventh_line",
                   "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n<html lang=\"de\">\r\n",
                   u"en"},
        DetectCase{"empty_lines_skipped",
                   "1\r\n\r\n\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n<html lang=\"pt\">\r\n",
                   u"pt"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(DetectDocumentLanguageTest, AMissingFileGivesTheDefault) {
  TempDir dir;
  EXPECT_EQ(DetectDocumentLanguage(FromUtf8((dir.path() / "none.html").string()), u"en_de", u"en"),
            u"en");
}

TEST(DetectDocumentLanguageTest, AnyCodeWhenNothingIsAllowed) {
  TempDir dir;
  const auto file = dir.Write("page.html", "<html lang=\"nl\">\r\n");
  EXPECT_EQ(DetectDocumentLanguage(FromUtf8(file.string()), u"", u"en"), u"nl");
}

TEST(DetectDocumentLanguageTest, CodesAsTheStepsTakeThem) {
  const std::string tenLines = "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n";
  const struct {
    const char* what;
    std::string head;
    const char16_t* anyCode;   // nothing allowed: any code of two characters
    const char16_t* sixCodes;  // the six languages allowed
  } cases[] = {
      {"capitals", "<HTML LANG=\"DE\">", u"de", u"de"},
      {"no closing quote at the end", "<html lang=\"de", u"de", u"de"},
      {"line end after the code", "<html lang=\"de\r\nx", u"de", u"de"},
      {"single quotes", "<html lang='es'>", u"es", u"es"},
      {"first quoted one counts", "<p xml:lang=en>\r\n<html lang=\"fr\">", u"fr", u"fr"},
      {"quote then the code", "<html lang=\"d\"e\">", u"d\"", u"en"},
      // The line break joining two lines is part of the text that follows a declaration.
      {"lang= at a line end", "<html lang=\r\n\"de\">", u"\n\"", u"en"},
      {"lang=\" at a line end", "<html lang=\"\r\nde\">", u"\r\n", u"en"},
      {"lang= and one character at the end", "<meta content=\"fr\">\r\n<html lang=x", u"fr", u"fr"},
      {"lang= and two characters at the end", "<meta content=\"fr\">\r\n<html lang=xy", u"en",
       u"en"},
      {"content cut at the end", "<meta content=\"f", u"en", u"en"},
      {"content in capitals", "<META CONTENT=\"IT\">", u"it", u"it"},
      {"accented code", "<html lang=\"\xC9S\">", u"\u00E9s", u"en"},
      {"a word split over lines", "<html la\r\nng=\"de\">", u"en", u"en"},
      {"line 10", tenLines + "<html lang=\"pt\">", u"pt", u"pt"},
      {"line 11", tenLines + "10\r\n<html lang=\"pt\">", u"en", u"en"},
      {"LF-only line 10", "1\n2\n3\n4\n5\n\n\n6\n7\n8\n9\n<html lang=\"it\">\n", u"it", u"it"},
      {"LF-only line 11", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n<html lang=\"it\">\n", u"en", u"en"},
      {"CR-only", "1\r2\r\r<html lang=\"es\">\r", u"es", u"es"},
      {"one long line", std::string(200000, 'x') + "<html lang=\"es\">", u"es", u"es"},
      {"over a buffer edge", std::string(65536 - 8, 'x') + "<html lang=\"it\">", u"it", u"it"},
      {"quoted code decides before a later content", "<html lang=\"de\"><meta content=\"fr\">",
       u"de", u"de"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const auto file = dir.Write("page.html", c.head);
    EXPECT_EQ(DetectDocumentLanguage(FromUtf8(file.string()), u"", u"en"), c.anyCode) << c.what;
    EXPECT_EQ(DetectDocumentLanguage(FromUtf8(file.string()), u"en_de_es_pt_it_fr", u"en"),
              c.sixCodes)
        << c.what;
  }
}

// The choice as it stood: the first lines read whole, lowered, and searched.
Text DetectTheLongWay(TextView path, TextView allowed, TextView defaultCode) {
  int32_t err = 0;
  Text description;
  int32_t taken = 0;
  Text text = ReadTextLines(path, true, 10, err, description, taken);
  if (err != 0) text.clear();
  ToLowerGeneralInPlace(text);
  const auto quoted = [&text](TextView marker) {
    const size_t p = text.find(marker);
    if (p == Text::npos) return Text();
    const size_t start = p + marker.size();
    if (start + 2 < text.size() && text[start + 2] == u'"') return text.substr(start, 2);
    return Text();
  };
  Text code = quoted(u"lang=\"");
  if (code.empty()) {
    const size_t p = text.find(u"lang=");
    if (p != Text::npos && p + 6 < text.size()) code = text.substr(p + 6, 2);
  }
  if (code.empty()) code = quoted(u"content=\"");
  if (code.size() < 2) return Text(defaultCode);
  const Text allowedCodes = ToLowerGeneral(allowed);
  if (allowedCodes.empty() || allowedCodes.find(code) != Text::npos) return code;
  return Text(defaultCode);
}

TEST(DetectDocumentLanguageTest, AgreesWithTheWholeTextSearch) {
  // Documents put together from pieces of declarations, line ends and empty lines.
  const std::string_view parts[] = {
      "lang=", "LANG=\"", "content=\"", "Content=", "de",       "FR",          "\"",
      "'",     "\r\n",    "\n",         "\r",       "\r\n\r\n", "x",           "<p>",
      "\xC9",  "\xE9",    " ",          "e",        "=",        "lang=\"es\"",
  };
  uint64_t state = 777;
  const auto next = [&state](uint64_t n) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return (state >> 33) % n;
  };
  TempDir dir;
  int defaults = 0;
  for (int doc = 0; doc < 400; ++doc) {
    std::string bytes;
    const uint64_t count = 1 + next(50);
    for (uint64_t i = 0; i < count; ++i)
      bytes += parts[next(std::size(parts))];
    const auto file = dir.Write("doc.html", bytes);
    const Text path = FromUtf8(file.string());
    const Text expected = DetectTheLongWay(path, u"", u"??");
    defaults += expected == u"??" ? 1 : 0;
    EXPECT_EQ(DetectDocumentLanguage(path, u"", u"??"), expected) << bytes;
    EXPECT_EQ(DetectDocumentLanguage(path, u"en_de_es_pt_it_fr", u"en"),
              DetectTheLongWay(path, u"en_de_es_pt_it_fr", u"en"))
        << bytes;
  }
  // Both codes and defaults were met often.
  EXPECT_GT(defaults, 40);
  EXPECT_LT(defaults, 360);
}

TEST(LanguageIndexFromCodeTest, SingleLanguagesOnly) {
  EXPECT_EQ(LanguageIndexFromCode(u"en"), 0);
  EXPECT_EQ(LanguageIndexFromCode(u"DE"), 2);
  EXPECT_EQ(LanguageIndexFromCode(u"es"), 5);
  EXPECT_EQ(LanguageIndexFromCode(u"en_de_es_pt_it_fr"), -1);
  EXPECT_EQ(LanguageIndexFromCode(u"nl"), -1);
  EXPECT_EQ(LanguageIndexFromCode(u""), -1);
}

}  // namespace
}  // namespace tw
