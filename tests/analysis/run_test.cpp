// The analysis run with a scripted host: refusals of the input file, line ends, encodings,
// progress, stop, reuse of a finished table, the error path and runs of any size; and the
// whole run against the reference path (scanner over 16-bit text, literal table) on random
// documents and settings.
#include "analysis/run.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "io/fileproc.hpp"
#include "scan/literalscan.hpp"
#include "scan/randommarkup.hpp"
#include "support/faultyfileops.hpp"
#include "support/testfiles.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"
#include "words/filters.hpp"
#include "words/literaltable.hpp"
#include "words/tagbuilder.hpp"
#include "words/wordlist.hpp"

namespace tw {
namespace {

using test::TempDir;

class FakeHost : public SettingsRunHost {
 public:
  Text output;
  std::vector<Message> messages;
  std::vector<std::pair<Text, Text>> labels;
  std::vector<Text> captions;
  std::vector<bool> enables;
  int yields = 0;
  int focusPlacements = 0;
  bool watchesEachWord = true;
  std::function<void()> onYield;
  std::function<void(bool)> onEnable;

  const Text& OutputText() const override { return output; }
  void SetOutputText(Text text) override { output = std::move(text); }
  void AppendOutputText(TextView text) override { output.append(text); }
  void SetWordCountLabels(TextView caption, TextView count) override {
    labels.emplace_back(Text(caption), Text(count));
  }
  void SetListWordsCaption(TextView caption) override { captions.emplace_back(caption); }
  void SetControlsEnabled(bool enable) override {
    enables.push_back(enable);
    if (onEnable) onEnable(enable);
  }
  void PlaceDefaultFocus() override { ++focusPlacements; }
  MsgAnswer ShowMessage(const Message& message) override {
    messages.push_back(message);
    return MsgAnswer::Yes;
  }
  void Yield() override {
    ++yields;
    if (onYield) onYield();
  }
  bool WatchesEachWord() const override { return watchesEachWord; }
  bool MayCountAlongside() const override { return mayCountAlongside; }
  bool mayCountAlongside = true;
};

class RunTest : public testing::Test {
 protected:
  RunTest() {
    texts_.LoadProgramText(TAGWRIGHT_SOURCE_DATA_DIR, u"qdx.dat");
    // Every word of one occurrence counts, in its own case, with no common words.
    host_.settings.cboThresholdFrequency = 0;
    host_.settings.chkIgnoreCommonWords = false;
    host_.settings.cboLanguage = 0;
  }

  std::filesystem::path Write(const std::string& name, const std::string& bytes) {
    return dir_.Write(name, bytes);
  }
  void UseFile(const std::filesystem::path& file) { host_.settings.txbInputFile = FromPath(file); }
  std::vector<std::string> Words() const {
    std::vector<std::string> out;
    for (const WordEntry& e : analysis_.table().Ranked())
      out.push_back(ToUtf8(e.word));
    return out;
  }
  Text Catalogue(int n) const { return texts_.GetProgramText(n); }

  TempDir dir_;
  ProgramText texts_;
  CommonWords commonWords_;
  Analysis analysis_{texts_, commonWords_};
  FakeHost host_;
};

TEST_F(RunTest, CatalogueIsAvailableToTheTests) {
  ASSERT_FALSE(Catalogue(catalogue::kNoInputFileText).empty());
}

TEST_F(RunTest, EmptyInputBoxShowsOneMessageAndNothingElse) {
  host_.settings.txbInputFile = u"   ";
  EXPECT_FALSE(analysis_.RunAnalysis(false, host_));
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, Catalogue(catalogue::kNoInputFileText));
  EXPECT_EQ(host_.messages[0].caption, Catalogue(catalogue::kNoInputFileCaption));
  EXPECT_EQ(host_.messages[0].icon, MsgIcon::Warning);
  EXPECT_TRUE(host_.captions.empty());
  EXPECT_TRUE(host_.enables.empty());
  EXPECT_EQ(host_.settings.txbInputFile, u"");
}

struct RefusalCase {
  const char* name;
  std::string bytes;
  Text text;  // literal text, or empty to use the catalogue entry below
  int textEntry;
  int captionEntry;
};

class RunRefusalTest : public RunTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(RunRefusalTest, RefusesTheFileWithItsMessage) {
  const RefusalCase& c = GetParam();
  UseFile(Write("page.html", c.bytes));
  host_.output = u"previous";
  EXPECT_FALSE(analysis_.RunAnalysis(true, host_));
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, c.text.empty() ? Catalogue(c.textEntry) : c.text);
  EXPECT_EQ(host_.messages[0].caption, Catalogue(c.captionEntry));
  EXPECT_EQ(host_.output, u"previous");
  EXPECT_TRUE(host_.captions.empty());
  EXPECT_FALSE(analysis_.blnWordTableCurrent);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunRefusalTest,
    testing::Values(RefusalCase{"three_bytes", "abc", u"File contains from 1 to 4 bytes only.", 0,
                                catalogue::kTooShortCaption},
                    RefusalCase{"zero_bytes", "", u"", catalogue::kZeroLengthText,
                                catalogue::kTooShortCaption},
                    RefusalCase{"binary", std::string(4000, '\0') + "<html>",
                                u"This is not a text file.", 0, catalogue::kFileNotFoundCaption},
                    RefusalCase{"utf16", std::string("\xFF\xFE<\0h\0t\0m\0l\0>\0", 14),
                                u"An error was encountered when attempting to use this file.", 0,
                                catalogue::kFileNotFoundCaption},
                    RefusalCase{"rtf", "{\\rtf1 hello world}",
                                u"An error was encountered when attempting to use this file.", 0,
                                catalogue::kFileNotFoundCaption}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(RunTest, AMissingFileIsRefusedByTheNameCheck) {
  UseFile(dir_.path() / "gone.html");
  EXPECT_FALSE(analysis_.RunAnalysis(false, host_));
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, Catalogue(catalogue::kFileNotFoundText));
  EXPECT_TRUE(host_.captions.empty());
}

const char* const kDocumentLines[] = {
    "<html><head><title>Garden tools</title>",
    "<meta name=\"description\" content=\"Garden tools and seeds\">",
    "</head><body>",
    "<h1>Spades</h1>",
    "<p>Spades, rakes and <b>hoes</b> for every garden.",
    "<?php echo 'hidden words'; ",
    " $more = 'hidden'; ?> shown",
    "<!-- a comment",
    "over lines -->",
    "<table><tr><td>table cell</td></tr></table>",
    "   ",
    "\t\tTabs line",
    "</body></html>",
};

std::string Document(const std::string& end) {
  std::string doc;
  for (const char* line : kDocumentLines)
    doc += std::string(line) + end;
  return doc;
}

struct Snapshot {
  std::vector<std::string> words;
  std::vector<int32_t> frequencies;
  std::vector<float> keyValues;
  int64_t totalWords = 0;
  bool operator==(const Snapshot&) const = default;
};

TEST_F(RunTest, EveryKindOfLineEndGivesTheSameResult) {
  std::vector<Snapshot> results;
  for (const std::string end : {"\r\n", "\n", "\r"}) {
    FakeHost host;
    host.settings = host_.settings;
    host.settings.txbInputFile = FromPath(Write("doc.htm", Document(end)));
    Analysis analysis(texts_, commonWords_);
    ASSERT_TRUE(analysis.RunAnalysis(false, host));
    EXPECT_TRUE(host.messages.empty()) << "no question, no message";
    Snapshot s;
    for (const WordEntry& e : analysis.table().Ranked()) {
      s.words.push_back(ToUtf8(e.word));
      s.frequencies.push_back(e.frequency);
      s.keyValues.push_back(e.keyValue);
    }
    s.totalWords = analysis.table().lngTotalWords;
    results.push_back(s);
  }
  EXPECT_EQ(results[0], results[1]);
  EXPECT_EQ(results[0], results[2]);
  const std::vector<std::string>& w = results[0].words;
  for (const char* expected : {"tools", "seeds", "Spades", "rakes", "hoes", "every", "garden",
                               "shown", "table", "cell", "Tabs", "line"}) {
    EXPECT_NE(std::find(w.begin(), w.end(), expected), w.end()) << expected;
  }
  for (const char* hidden : {"hidden", "words", "more", "comment", "over", "lines"}) {
    EXPECT_EQ(std::find(w.begin(), w.end(), hidden), w.end()) << hidden;
  }
}

TEST_F(RunTest, AByteOrderMarkIsNotText) {
  host_.settings.chkIgnoreShortWords = false;
  UseFile(Write("bom.html", "\xEF\xBB\xBFhello world\r\nagain\r\n"));
  ASSERT_TRUE(analysis_.RunAnalysis(false, host_));
  EXPECT_EQ(Words(), (std::vector<std::string>{"hello", "world", "again"}));
  EXPECT_EQ(analysis_.table().lngTotalWords, 3);
}

TEST_F(RunTest, Utf8DocumentsAreDecoded) {
  UseFile(Write("utf8.html",
                "<html><head><meta charset=UTF-8></head>\r\n<body>caf\xC3\xA9 \xC3\x89t\xC3\xA9"
                "</body></html>\r\n"));
  ASSERT_TRUE(analysis_.RunAnalysis(false, host_));
  EXPECT_TRUE(analysis_.blnIsUTF8File);
  EXPECT_EQ(Words(), (std::vector<std::string>{"caf\xC3\xA9", "\xC3\x89t\xC3\xA9"}));
}

TEST_F(RunTest, LinesAreLoweredWhenCaseIsNotKept) {
  host_.settings.chkPreserveCase = false;
  UseFile(Write("case.html", "<TITLE>Garden</TITLE> GARDEN Tools\r\n"));
  ASSERT_TRUE(analysis_.RunAnalysis(false, host_));
  EXPECT_EQ(Words(), (std::vector<std::string>{"garden", "tools"}));
}

TEST_F(RunTest, FinishedRunShowsTheOutputAndLabels) {
  UseFile(Write("doc.html", Document("\r\n")));
  ASSERT_TRUE(analysis_.RunAnalysis(true, host_));
  EXPECT_TRUE(analysis_.blnWordTableCurrent);
  EXPECT_FALSE(analysis_.Running());
  EXPECT_TRUE(host_.output.starts_with(kMetaTagPrefix));
  EXPECT_EQ(host_.captions, (std::vector<Text>{Text(kStopCaption), Text(kListWordsCaption)}));
  EXPECT_EQ(host_.enables, (std::vector<bool>{false, true}));
  ASSERT_FALSE(host_.labels.empty());
  EXPECT_EQ(host_.labels.back().first, kWordsSatisfyingCaption);
  EXPECT_EQ(host_.labels.back().second, NumberText(analysis_.table().intNumWords()));
  EXPECT_EQ(host_.focusPlacements, 1);
}

TEST_F(RunTest, ACurrentTableIsReusedWithoutReadingTheFile) {
  const auto file = Write("doc.html", Document("\r\n"));
  UseFile(file);
  ASSERT_TRUE(analysis_.RunAnalysis(false, host_));
  EXPECT_TRUE(host_.output.starts_with(u"Rank Value Freq. Density"));
  std::filesystem::remove(file);
  host_.captions.clear();
  ASSERT_TRUE(analysis_.RunAnalysis(true, host_));
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_TRUE(host_.captions.empty());
  EXPECT_TRUE(host_.output.starts_with(kMetaTagPrefix));
}

TEST_F(RunTest, CountLabelsShowEveryTenthNewWord) {
  std::string doc;
  const char* syllables[] = {"ba", "de", "fo", "gu", "ha"};
  for (int i = 0; i < 25; ++i) {
    doc += std::string("zo") + syllables[i % 5] + syllables[i / 5] + " ";
  }
  UseFile(Write("count.html", doc + "\r\n"));
  ASSERT_TRUE(analysis_.RunAnalysis(false, host_));
  ASSERT_EQ(host_.labels.size(), 3u);
  EXPECT_EQ(host_.labels[0], (std::pair<Text, Text>{Text(kDifferentWordsFoundCaption), u"10"}));
  EXPECT_EQ(host_.labels[1], (std::pair<Text, Text>{Text(kDifferentWordsFoundCaption), u"20"}));
  EXPECT_EQ(host_.labels[2], (std::pair<Text, Text>{Text(kWordsSatisfyingCaption), u"25"}));
}

// Lines of two words each, every word a new one.
std::string TwoWordLines(int count) {
  std::string doc;
  for (int k = 0; k < count; ++k) {
    std::string w;
    for (int n = k; w.size() < 4 || n > 0; n /= 26)
      w.push_back(static_cast<char>('a' + n % 26));
    doc += "x" + w + " y" + w + "\r\n";
  }
  return doc;
}

struct StopCase {
  const char* name;
  std::string document;
  int stopAtYield;
  bool showWords;
  Text expected;
  bool watchesEachWord = true;
};

class RunStopTest : public RunTest, public testing::WithParamInterface<StopCase> {};

TEST_P(RunStopTest, StopsWithTheNumberOfWords) {
  const StopCase& c = GetParam();
  host_.settings.chkShowWordsAsFound = c.showWords;
  host_.watchesEachWord = c.watchesEachWord;
  UseFile(Write("stop.html", c.document));
  host_.onYield = [&] {
    if (host_.yields == c.stopAtYield) analysis_.blnStopRequested = true;
  };
  EXPECT_FALSE(analysis_.RunAnalysis(false, host_));
  EXPECT_EQ(host_.output, c.expected);
  EXPECT_FALSE(analysis_.blnWordTableCurrent);
  EXPECT_FALSE(analysis_.Running());
  EXPECT_EQ(host_.captions.back(), kListWordsCaption);
  EXPECT_EQ(host_.enables.back(), true);
  EXPECT_EQ(host_.labels.back(), (std::pair<Text, Text>{}));
  EXPECT_TRUE(host_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunStopTest,
    testing::Values(StopCase{"one_word", "alpha beta gamma\r\ndelta\r\n", 1, false,
                             u"Stopped with 1 word identified."},
                    StopCase{"two_words", "alpha beta gamma\r\ndelta\r\n", 2, false,
                             u"Stopped with 2 words identified."},
                    StopCase{"no_words", "<p>\r\nalpha\r\n", 1, false,
                             u"Stopped with 0 words identified."},
                    StopCase{"after_a_line", "alpha beta\r\ngamma\r\n", 3, false,
                             u"Stopped with 2 words identified."},
                    StopCase{"showing_words", "alpha beta gamma\r\n", 2, true,
                             u"alpha beta \r\n\r\nStopped with 2 words identified."},
                    // A host that does not watch each word is served after each line.
                    StopCase{"not_watching", "alpha beta gamma\r\ndelta\r\n", 1, false,
                             u"Stopped with 3 words identified.", false},
                    // Also when a second thread counts the words of a long document.
                    StopCase{"counted_alongside", TwoWordLines(100000), 3, false,
                             u"Stopped with 6 words identified.", false}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(RunTest, ProgressShowsTheNoticeOrTheWords) {
  UseFile(Write("progress.html", "alpha beta alpha\r\n"));
  std::vector<Text> seen;
  host_.onYield = [&] { seen.push_back(host_.output); };
  ASSERT_TRUE(analysis_.RunAnalysis(false, host_));
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen[0], kNotShowingWordsAsFound);
  EXPECT_EQ(seen[2], kNotShowingWordsAsFound);

  host_.settings.chkShowWordsAsFound = true;
  analysis_.blnWordTableCurrent = false;
  seen.clear();
  ASSERT_TRUE(analysis_.RunAnalysis(false, host_));
  EXPECT_EQ(seen[0], u"alpha ");
  EXPECT_EQ(seen[2], u"alpha beta ");
}

// Every failure of the one reading of the document is reported, and nothing runs on a
// default: the refusals of the file check before the scan, the error box during it.
TEST_F(RunTest, EveryReadFailureIsReportedAndTheWindowRestored) {
  struct Case {
    const char* name;
    test::FileOp op;
    int nth;
    int err;
    int captionEntry;  // 0: the caption "Error"
    int textEntry;     // 0: `text` below
    Text text;
    bool scanned;  // the failure came after the controls were locked
  };
  const Text kCannotUse = u"An error was encountered when attempting to use this file.";
  const Case cases[] = {
      {"open_denied", test::FileOp::OpenForReading, 1, EACCES, catalogue::kNoInputFileCaption,
       catalogue::kAccessDeniedText, u"", false},
      {"open_fails", test::FileOp::OpenForReading, 1, EIO, catalogue::kFileNotFoundCaption, 0,
       kCannotUse, false},
      {"status_fails", test::FileOp::Stat, 1, EIO, catalogue::kFileNotFoundCaption, 0, kCannotUse,
       false},
      {"first_read_fails", test::FileOp::Read, 1, EIO, catalogue::kFileNotFoundCaption, 0,
       kCannotUse, false},
      {"read_during_the_scan_fails", test::FileOp::Read, 2, EIO, 0, 0,
       FileError::FromErrno(EIO).description, true},
  };
  // Larger than one read, so that the scan reads again; long enough for a second thread to
  // count its words for a host that does not watch each word.
  std::string big;
  while (big.size() < (size_t{1} << 20) + 4096)
    big += Document("\r\n");
  const auto file = Write("big.html", big);
  for (const Case& c : cases) {
    for (const bool watches : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (watches ? ", watching" : ", counted alongside"));
      FakeHost host;
      host.watchesEachWord = watches;
      host.settings = host_.settings;
      host.settings.txbInputFile = FromPath(file);
      test::FaultyFileOps ops;
      ops.FailOn(c.op, c.nth, c.err);
      DocumentReader document(ops);
      Analysis analysis(texts_, commonWords_);
      EXPECT_FALSE(analysis.RunAnalysis(false, host, &document));
      ASSERT_EQ(host.messages.size(), 1u);
      EXPECT_EQ(host.messages[0].caption,
                c.captionEntry == 0 ? Text(u"Error") : Catalogue(c.captionEntry));
      EXPECT_EQ(host.messages[0].text, c.textEntry == 0 ? c.text : Catalogue(c.textEntry));
      const std::vector<bool> enables =
          c.scanned ? std::vector<bool>{false, true} : std::vector<bool>{};
      EXPECT_EQ(host.enables, enables);
      EXPECT_FALSE(analysis.Running());
      EXPECT_FALSE(analysis.blnWordTableCurrent);
      EXPECT_GE(ops.Calls(c.op), c.nth);
    }
  }
}

TEST_F(RunTest, AnOpenPhpSectionAtTheEndSkipsTheRest) {
  UseFile(Write("php.php", "alpha <?php\r\n$x = 'hidden';\r\necho \"<input type=hidden>\";\r\n"));
  ASSERT_TRUE(analysis_.RunAnalysis(false, host_));
  EXPECT_EQ(Words(), (std::vector<std::string>{"alpha"}));
}

TEST_F(RunTest, MoreThan32767DistinctWordsFinish) {
  // Words of three syllables from letters that never make a Roman numeral.
  const char* consonants = "bdfghjknprstz";
  const char* vowels = "aeou";
  std::vector<std::string> syllables;
  for (const char* c = consonants; *c; ++c) {
    for (const char* v = vowels; *v; ++v)
      syllables.push_back(std::string(1, *c) + *v);
  }
  std::string doc;
  int made = 0;
  for (size_t a = 0; a < syllables.size() && made < 40000; ++a) {
    for (size_t b = 0; b < syllables.size() && made < 40000; ++b) {
      for (size_t c = 0; c < syllables.size() && made < 40000; ++c, ++made) {
        doc += syllables[a] + syllables[b] + syllables[c] + (made % 12 == 11 ? "\r\n" : " ");
      }
    }
  }
  UseFile(Write("big.html", doc));
  ASSERT_TRUE(analysis_.RunAnalysis(false, host_));
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(analysis_.table().intNumWords(), 40000);
  EXPECT_EQ(analysis_.table().lngTotalWords, 40000);
}

TEST(GetMetaTag, TakesTheTagAloneOrTheWholeText) {
  EXPECT_EQ(GetMetaTag(u"  <meta name=\"keywords\" content=\"a, b\">\r\n\r\nNumber of keywords in "
                       u"meta tag: 2\r\nNumber of bytes in meta tag: 36"),
            u"<meta name=\"keywords\" content=\"a, b\">");
  EXPECT_EQ(GetMetaTag(u" \r\n\tRank Value Freq. Density\r\n   1   100    2  50.00%  word\r\n"),
            u"Rank Value Freq. Density\r\n   1   100    2  50.00%  word");
  EXPECT_EQ(GetMetaTag(u""), u"");
}

// ---- The whole run against the reference path --------------------------------------

// What the reference path makes of a document: its lines split as the run splits them,
// decoded through the code page, prepared and scanned by the reference scanner, filtered
// over 16-bit text and counted by the literal table, which then takes the finishing steps.
struct ReferenceRun {
  std::vector<WordEntry> ranked;
  int64_t totalWords = 0;
};

ReferenceRun RunByTheReference(const std::string& bytes, bool isUtf8, const ScanOptions& options,
                               const CommonWords& common) {
  class Listener final : public test::literal::ScanListener {
   public:
    Listener(RawLineSplitter& lines, const ScanOptions& options, const CommonWords& common,
             test::LiteralTable& table)
        : lines_(lines), options_(options), common_(common), table_(table) {}
    void AddWord(Text& word, const OccurrenceContext& context) override {
      if (IsRejectedWord(word, options_, common_)) return;
      table_.CountWord(
          word, OccurrenceWeight(context, options_.weights),
          context.blnInTitle || context.blnInDescription || context.blnInExistingKeywords);
    }
    bool AfterWord() override { return false; }
    bool ReadRawLine(Text& line) override {
      RawLine raw;
      if (!lines_.Next(raw)) return false;
      line = DecodeCp1252(raw.content);
      return true;
    }

   private:
    RawLineSplitter& lines_;
    const ScanOptions& options_;
    const CommonWords& common_;
    test::LiteralTable& table_;
  };
  RawLineSplitter lines(bytes, LineEndsOf(bytes));
  test::LiteralTable table;
  Listener listener(lines, options, common, table);
  test::literal::MarkupScanner scanner(options, listener);
  scanner.Reset();
  bool firstLine = true;
  RawLine raw;
  while (!scanner.ReachedEndOfDocument() && lines.Next(raw)) {
    Text line = DecodeCp1252(raw.content);
    if (firstLine) {
      firstLine = false;
      if (TextView(line).starts_with(kUtf8ByteOrderMark)) line.erase(0, kUtf8ByteOrderMark.size());
    }
    scanner.strScanLine = std::move(line);
    if (!test::literal::PrepareScanLine(scanner.strScanLine, isUtf8, !options.preserveCase)) {
      continue;
    }
    scanner.ScanLine();
  }
  table.ApplyMinFrequency(options.minFrequency);
  table.MergeCaseVariants();
  table.NormaliseKeyValues();
  return ReferenceRun{table.entries, scanner.lngTotalWords};
}

// A random document: markup lines with random line ends, sometimes a byte-order mark, a
// UTF-8 declaration and UTF-8 text, sometimes a line far longer than the others.
std::string RandomDocument(test::RandomMarkup& markup) {
  std::string doc;
  const size_t kind = markup.Below(4);
  const bool utf8 = markup.OneIn(4);
  if (utf8 && markup.OneIn(2)) doc += "\xEF\xBB\xBF";
  if (utf8) doc += "<meta charset=\"utf-8\">";
  const char* ends[] = {"\r\n", "\r", "\n"};
  for (const Text& line : markup.Lines(25, 25)) {
    doc += EncodeCp1252(line);
    if (utf8 && markup.OneIn(2)) doc += ToUtf8(u" caf\u00e9 \u00c9t\u00e9\u2014\u0119 ");
    if (markup.OneIn(20)) doc += EncodeCp1252(markup.Line(400));
    // CR LF lines, LF-only lines, or a mix (in which a lone LF stays inside its line).
    doc += kind == 0 ? "\r\n" : kind == 1 ? "\n" : kind == 2 ? "" : ends[markup.Below(3)];
  }
  if (doc.size() < 8) doc += "  words more";
  return doc;
}

AnalysisSettings RandomSettings(test::RandomMarkup& markup) {
  AnalysisSettings s;
  s.cboShortWordSize = static_cast<int32_t>(markup.Below(4));
  s.cboThresholdFrequency = static_cast<int32_t>(markup.Below(3));
  s.cboTitleWeight = static_cast<int32_t>(markup.Below(9));
  s.cboDescriptionWeight = static_cast<int32_t>(markup.Below(9));
  s.cboExistingKeywordsWeight = static_cast<int32_t>(markup.Below(3));
  s.cboBoldWeight = static_cast<int32_t>(markup.Below(9));
  s.cboItalicWeight = static_cast<int32_t>(markup.Below(9));
  s.cboTableWeight = static_cast<int32_t>(markup.Below(3));
  s.cboDivWeight = static_cast<int32_t>(markup.Below(3));
  s.cboSpanWeight = static_cast<int32_t>(markup.Below(3));
  s.cboLanguage = static_cast<int32_t>(markup.Below(8)) - 1;
  s.chkIgnoreShortWords = !markup.OneIn(3);
  s.chkIgnoreCommonWords = !markup.OneIn(3);
  s.chkPreserveCase = !markup.OneIn(3);
  s.chkSpaceAfterComma = !markup.OneIn(2);
  s.strWordsToIgnoreList = markup.OneIn(3) ? Text(u"seas,gard,\u00e9t\u00e9,") : Text();
  s.txbMaxNumKeywordsInMetaTag = NumberText(static_cast<int64_t>(markup.Below(12)));
  s.txbMaxNumBytesInMetaTag = NumberText(static_cast<int64_t>(markup.Below(3) * 60));
  s.txbBeginMetaTagWith = markup.OneIn(3) ? Text(u"Garden, seas ,") : Text();
  return s;
}

class RunAgreementTest : public RunTest, public testing::WithParamInterface<uint32_t> {};

TEST_P(RunAgreementTest, ListAndTagMatchTheReferencePath) {
  test::RandomMarkup markup(GetParam());
  CommonWords common;
  common.ParseLine(u"the and cat seas \u00e9t\u00e9", kEnglishLanguageIndex);
  common.ParseLine(u"les des dog", kFrenchLanguageIndex);
  common.ParseLine(u"the les tool", kAllLanguagesIndex);
  int compared = 0;
  for (int document = 0; document < 12; ++document) {
    const std::string bytes = RandomDocument(markup);
    const auto file = Write("page" + std::to_string(document) + ".html", bytes);
    FakeHost host;
    host.settings = RandomSettings(markup);
    host.settings.txbInputFile = FromPath(file);
    // A host that watches each word, and one that does not (whose short documents' words
    // are still counted at once: see ALongDocumentListsTheSameForAHostThatDoesNotWatch).
    host.watchesEachWord = document % 2 == 0;
    const AnalysisOptions options = ResolveOptions(host.settings);
    Analysis analysis(texts_, common);
    const bool listed = analysis.RunAnalysis(false, host);
    bool isUtf8 = false;
    const TextFileKind kind =
        IsTextFile(FromPath(file), kTextSampleSize, kNonTextLimitPercent, isUtf8, true);
    ASSERT_EQ(listed, IsReadableText(kind)) << bytes;
    if (!listed) continue;
    ++compared;
    ASSERT_EQ(analysis.blnIsUTF8File, isUtf8);
    const ReferenceRun reference = RunByTheReference(bytes, isUtf8, options.scan, common);
    const std::string where = "seed " + std::to_string(GetParam()) + ", document " +
                              std::to_string(document) + ":\n" + bytes;
    ASSERT_EQ(analysis.table().lngTotalWords, reference.totalWords) << where;
    ASSERT_EQ(analysis.table().intNumWords(), static_cast<int32_t>(reference.ranked.size()))
        << where;
    for (size_t k = 0; k < reference.ranked.size(); ++k)
      ASSERT_EQ(analysis.table().Ranked()[k], reference.ranked[k]) << "rank " << k + 1 << where;
    EXPECT_EQ(host.output, WordListText(reference.ranked, reference.totalWords, options.scan,
                                        UserNumberFormat()))
        << where;
    ASSERT_TRUE(analysis.RunAnalysis(true, host));
    EXPECT_EQ(host.output,
              BuildKeywordTagText(reference.ranked, options,
                                  isUtf8 ? TagEncoding::Utf8 : TagEncoding::SingleByte))
        << where;
  }
  EXPECT_GT(compared, 6);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RunAgreementTest, testing::Range(1u, 41u));

// A document long enough for the words of a host that does not watch to wait before they
// are counted, with enough distinct words (plurals and capitals among them) for the index
// to grow while they wait: the same list, tag and count of words found as for a host that
// watches each word, with the words counted in the scan's thread or in a second one.
TEST_F(RunTest, ALongDocumentListsTheSameForAHostThatDoesNotWatch) {
  std::mt19937 rng(7);
  std::vector<std::string> vocabulary;
  for (int k = 0; k < 30000; ++k) {
    std::string word;
    for (size_t c = 0, length = 3 + rng() % 9; c < length; ++c)
      word.push_back(static_cast<char>('a' + rng() % 26));
    vocabulary.push_back(word);
  }
  std::string doc = "<html><head><title>garden tools</title></head><body>\r\n";
  while (doc.size() < WordTable::kWordsWaitFromBytes + 4096) {
    for (int w = 0; w < 12; ++w) {
      // Frequent words near the front of the vocabulary, as in running text.
      std::string word = vocabulary[rng() % (1 + rng() % vocabulary.size())];
      if (rng() % 10 == 0) word += 's';
      if (rng() % 20 == 0) word[0] = static_cast<char>(word[0] - ('a' - 'A'));
      doc += rng() % 15 == 0 ? "<b>" + word + "</b> " : word + ' ';
    }
    doc += "\r\n";
  }
  UseFile(Write("long.html", doc));
  host_.settings.cboThresholdFrequency = 1;
  struct Host {
    const char* name;
    bool watches;
    bool countAlongside;  // in a second thread
  };
  std::vector<Text> outputs;
  std::vector<std::vector<std::pair<Text, Text>>> labels;
  for (const Host& h : {Host{"watches", true, false}, Host{"does not watch", false, false},
                        Host{"counts alongside", false, true}}) {
    host_.watchesEachWord = h.watches;
    host_.mayCountAlongside = h.countAlongside;
    host_.labels.clear();
    analysis_.blnWordTableCurrent = false;  // scanned anew
    ASSERT_TRUE(analysis_.RunAnalysis(false, host_)) << h.name;
    outputs.push_back(host_.output);
    labels.push_back(host_.labels);
    ASSERT_TRUE(analysis_.RunAnalysis(true, host_)) << h.name;
    outputs.push_back(host_.output);
  }
  EXPECT_GT(analysis_.table().intNumWords(), 20000);
  for (size_t k = 1; k < labels.size(); ++k) {
    // Compared whole; a difference would print megabytes.
    EXPECT_TRUE(outputs[2 * k] == outputs[0]) << "the word lists differ, host " << k;
    EXPECT_TRUE(outputs[2 * k + 1] == outputs[1]) << "the tags differ, host " << k;
    // The count of words found, shown every few new words, as the words were found.
    EXPECT_TRUE(labels[k] == labels[0]) << "the labels differ, host " << k;
  }
}

// A document without line breaks is prepared where the reader read it; the same document
// with a line break at its end is copied first. Both list the same, in every way of preparing
// a line (as it is, UTF-8, lowered).
TEST_F(RunTest, ALongLastLineListsTheSameWhereverItIsPrepared) {
  struct Case {
    const char* name;
    std::string start;
    bool preserveCase;
  };
  for (const Case& c : {Case{"as it is", "", true}, Case{"UTF-8", "\xEF\xBB\xBF", true},
                        Case{"lowered", "", false}}) {
    SCOPED_TRACE(c.name);
    host_.settings.chkPreserveCase = c.preserveCase;
    std::string line = c.start + "   <title>Garden Tools</title> ";
    // Longer than the reader reads at once, so that it makes room for the whole document.
    for (int k = 0; line.size() < (size_t{4} << 20) + 4096; ++k) {
      const std::string rake{
          'R', 'a', 'k', 'e', static_cast<char>('a' + k % 26), static_cast<char>('a' + k / 26 % 4)};
      line += "<b>" + rake + "</b> caf\xC3\xA9 &amp; &eacute;t&eacute; <h2>Hoes";
      line += k % 3 == 0 ? "</h2> <div>spades &lt;" : "</H2> <i>Trowels</i> ";
    }
    line += "   ";
    std::vector<Text> outputs;
    for (const std::string& doc : {line, line + "\r\n"}) {
      UseFile(Write("oneline.html", doc));
      analysis_.blnWordTableCurrent = false;  // scanned anew
      ASSERT_TRUE(analysis_.RunAnalysis(false, host_));
      outputs.push_back(host_.output);
    }
    EXPECT_GT(analysis_.table().intNumWords(), 90);
    EXPECT_TRUE(outputs[1] == outputs[0]) << "the word lists differ";
  }
}

}  // namespace
}  // namespace tw
