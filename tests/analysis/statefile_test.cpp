// The saved state file: where it lives, its 22 lines, and reading back what was written.
#include "analysis/statefile.hpp"

#include <gtest/gtest.h>

#include <string>

#include "support/testfiles.hpp"
#include "text/codepage.hpp"

namespace tw {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

AnalysisSettings EveryValueChanged() {
  AnalysisSettings s;
  s.txbInputFile = u"/home/ann/sites/caf\u00E9 \"menu\" \u20AC\u0141.htm";
  s.txbBeginMetaTagWith = u"garden tools, \"quoted\" phrase";
  s.txbWordsToIgnore = u"foo,bar";
  s.strWordsToIgnoreList = u"foo,bar,";
  s.txbMaxNumKeywordsInMetaTag = u"20";
  s.txbMaxNumBytesInMetaTag = u"";
  s.cboShortWordSize = 8;
  s.cboThresholdFrequency = 0;
  s.cboTitleWeight = 0;
  s.cboDescriptionWeight = 8;
  s.cboExistingKeywordsWeight = 9;
  s.cboBoldWeight = 8;
  s.cboItalicWeight = 0;
  s.cboTableWeight = 9;
  s.cboDivWeight = 0;
  s.cboSpanWeight = 9;
  s.cboLanguage = kNoSelection;
  s.chkIgnoreShortWords = false;
  s.chkIgnoreCommonWords = false;
  s.chkPreserveCase = false;
  s.chkSpaceAfterComma = false;
  s.chkShowWordsAsFound = true;
  s.optInsertionWithBackup = true;
  return s;
}

std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string out;
  for (std::string_view l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

TEST(StateFileTest, DefaultsAreWrittenInTheirOrder) {
  AnalysisSettings s;
  s.txbInputFile = u"C:\\web\\index.htm";
  EXPECT_EQ(StateFileText(s), Lines({"\"C:\\web\\index.htm\"",
                                     "\"\"",
                                     "\"\"",
                                     "\"50\"",
                                     "\"500\"",
                                     "1",
                                     "1",
                                     "1",
                                     "0",
                                     "4",
                                     "1",
                                     "1",
                                     "1",
                                     "1",
                                     "8",
                                     "5",
                                     "4",
                                     "2",
                                     "2",
                                     "-1",
                                     "0",
                                     "0"}));
}

TEST(StateFileTest, EveryValueComesBackAsWritten) {
  TempDir dir;
  std::filesystem::path file = dir.path() / "tagwright.usr";
  AnalysisSettings written = EveryValueChanged();
  ASSERT_FALSE(SaveState(file, written).failed());
  AnalysisSettings read;
  read.chkLargeWindow = true;  // not stored: left as it was
  ASSERT_TRUE(LoadState(file, read));
  AnalysisSettings expected = written;
  expected.chkLargeWindow = true;
  EXPECT_EQ(read, expected);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "tagwright.usr.tmp"));
}

TEST(StateFileTest, LanguagePositionsAndTheBackupChoiceRoundTrip) {
  TempDir dir;
  std::filesystem::path file = dir.path() / "s.usr";
  for (int32_t language = kNoSelection; language < intNumCommonWordsLanguages; ++language) {
    for (bool backup : {false, true}) {
      AnalysisSettings s;
      s.cboLanguage = language;
      s.optInsertionWithBackup = backup;
      ASSERT_FALSE(SaveState(file, s).failed());
      AnalysisSettings r;
      ASSERT_TRUE(LoadState(file, r));
      EXPECT_EQ(r.cboLanguage, language);
      EXPECT_EQ(r.optInsertionWithBackup, backup);
    }
  }
}

TEST(StateFileTest, ReadingNormalisesWordsAndHoldsTheNumberBoxesToTheirRanges) {
  struct Case {
    const char* keywords;  // lines 4 and 5 as stored
    const char* bytes;
    const char16_t* keywordsRead;
    const char16_t* bytesRead;
  };
  // A value outside its range comes back as the default, as leaving the box would make it.
  const Case cases[] = {
      {"123456", "98765", u"50", u"500"},
      {"20", "800", u"20", u"800"},
      {"4", "0", u"50", u"0"},
      {"", "", u"50", u""},
      {"abc", "1,000", u"50", u"1000"},
      {"100", "2000", u"100", u"500"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keywords);
    TempDir dir;
    std::filesystem::path file = dir.Write("s.usr", Lines({"\"\"",
                                                           "\"\"",
                                                           "\"  Foo  Bar \"",
                                                           "\"" + std::string(c.keywords) + "\"",
                                                           "\"" + std::string(c.bytes) + "\"",
                                                           "1",
                                                           "1",
                                                           "1",
                                                           "0",
                                                           "4",
                                                           "1",
                                                           "1",
                                                           "1",
                                                           "1",
                                                           "8",
                                                           "5",
                                                           "4",
                                                           "2",
                                                           "2",
                                                           "2",
                                                           "7",
                                                           "0"}));
    AnalysisSettings r;
    ASSERT_TRUE(LoadState(file, r));
    EXPECT_EQ(r.txbWordsToIgnore, u"foo,bar");
    EXPECT_EQ(r.strWordsToIgnoreList, u"foo,bar,");
    EXPECT_EQ(r.txbMaxNumKeywordsInMetaTag, c.keywordsRead);
    EXPECT_EQ(r.txbMaxNumBytesInMetaTag, c.bytesRead);
    EXPECT_EQ(r.cboLanguage, 2);
    EXPECT_FALSE(r.optInsertionWithBackup);  // anything but 1 is "without backup"
  }
}

TEST(StateFileTest, QuotedValueRunsToTheLastQuoteOfItsLine) {
  TempDir dir;
  std::string text = StateFileText(AnalysisSettings{});
  text.replace(0, 2, "\"a \"b\" c\"");
  std::filesystem::path file = dir.Write("s.usr", text);
  AnalysisSettings r;
  ASSERT_TRUE(LoadState(file, r));
  EXPECT_EQ(r.txbInputFile, u"a \"b\" c");
}

TEST(StateFileTest, BadFilesAreRefusedAndLeaveTheSettingsAlone) {
  const std::string good = StateFileText(AnalysisSettings{});
  auto withLine = [&](int line, std::string_view value) {
    std::string text = good;
    size_t start = 0;
    for (int i = 1; i < line; ++i)
      start = text.find("\r\n", start) + 2;
    text.replace(start, text.find("\r\n", start) - start, value);
    return text;
  };
  struct Case {
    const char* why;
    std::string text;
  };
  const Case cases[] = {
      {"empty", ""},
      {"21 lines", good.substr(0, good.rfind("0\r\n"))},
      {"short word size 12", withLine(6, "12")},
      {"title weight 9", withLine(15, "9")},
      {"table weight -1", withLine(8, "-1")},
      {"language 7", withLine(20, "7")},
      {"language -2", withLine(20, "-2")},
      {"check box 2", withLine(11, "2")},
      {"check box text", withLine(22, "yes")},
      {"position text", withLine(7, "x")},
      {"unquoted text", withLine(1, "index.htm")},
      {"lone quote", withLine(2, "\"")},
      {"backup text", withLine(21, "with")},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::filesystem::path file = dir.Write("s.usr", c.text);
    AnalysisSettings r = EveryValueChanged();
    EXPECT_FALSE(LoadState(file, r));
    EXPECT_EQ(r, EveryValueChanged());
  }
  AnalysisSettings r;
  EXPECT_FALSE(LoadState(dir.path() / "missing.usr", r));
}

TEST(StateFileTest, LinesEndingInLineFeedsAloneAreReadToo) {
  TempDir dir;
  std::string text = StateFileText(EveryValueChanged());
  std::string lf;
  for (char c : text) {
    if (c != '\r') lf += c;
  }
  std::filesystem::path file = dir.Write("s.usr", lf);
  AnalysisSettings r;
  ASSERT_TRUE(LoadState(file, r));
  EXPECT_EQ(r.txbInputFile, EveryValueChanged().txbInputFile);
}

TEST(StateFileTest, TextWithALineBreakIsStoredEmptySoTheRestSurvives) {
  TempDir dir;
  std::filesystem::path file = dir.path() / "s.usr";
  AnalysisSettings s = EveryValueChanged();
  s.txbInputFile = u"/tmp/odd\nname.htm";
  ASSERT_FALSE(SaveState(file, s).failed());
  AnalysisSettings r;
  ASSERT_TRUE(LoadState(file, r));
  EXPECT_EQ(r.txbInputFile, u"");
  EXPECT_EQ(r.txbBeginMetaTagWith, s.txbBeginMetaTagWith);
  EXPECT_EQ(r.cboSpanWeight, s.cboSpanWeight);
}

TEST(StateFileTest, FileIsWrittenAsUtf8) {
  TempDir dir;
  std::filesystem::path file = dir.path() / "s.usr";
  AnalysisSettings s;
  s.txbInputFile = u"\u00E9\u20AC";
  ASSERT_FALSE(SaveState(file, s).failed());
  EXPECT_EQ(ReadBytes(file).substr(0, 7), "\"\xC3\xA9\xE2\x82\xAC\"");
}

TEST(StateFileTest, SavingIntoAMissingFolderFailsWithADescriptionAndKeepsTheOldFile) {
  TempDir dir;
  AnalysisSettings s;
  const Status failure = SaveState(dir.path() / "no" / "s.usr", s);
  ASSERT_TRUE(failure.failed());
  EXPECT_FALSE(failure.description.empty());
  Message m = SaveStateFailureMessage(failure.description);
  EXPECT_EQ(m.caption, u"Save state");
  EXPECT_EQ(m.text, u"Error when attempting to save the state: " + failure.description);
  EXPECT_EQ(m.icon, MsgIcon::Warning);

  // A folder in the way of the file: the rename fails and the old contents stay.
  std::filesystem::create_directories(dir.path() / "taken.usr" / "inner");
  EXPECT_TRUE(SaveState(dir.path() / "taken.usr", s).failed());
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "taken.usr" / "inner"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "taken.usr.tmp"));
}

TEST(StateFileTest, StateFilePathCreatesTheProgramFolderWithItsParents) {
  TempDir dir;
  std::filesystem::path base = dir.path() / "a" / "b";
  StateFileLocation loc = ComputeStateFilePath(base, u"Tagwright", u"TagWright");
  EXPECT_TRUE(loc.folderReady);
  EXPECT_TRUE(std::filesystem::is_directory(base / "Tagwright"));
  EXPECT_EQ(loc.file, base / "Tagwright" / "tagwright.usr");
}

TEST(StateFileTest, StateFilePathReportsAFolderThatCannotBeMade) {
  TempDir dir;
  std::filesystem::path blocker = dir.Write("blocker", "x");
  StateFileLocation loc = ComputeStateFilePath(blocker, u"Tagwright", u"tw");
  EXPECT_FALSE(loc.folderReady);
  EXPECT_TRUE(loc.folderError.failed());
  EXPECT_FALSE(loc.folderError.description.empty());
  StateFileLocation none = ComputeStateFilePath({}, u"Tagwright", u"tw");
  EXPECT_FALSE(none.folderReady);
}

}  // namespace
}  // namespace tw
