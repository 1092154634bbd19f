// The whole analysis of a document: "List words" and then the tag from the same table, with
// the settings taken from the first bytes of the input and the rest as the document.
//
//   byte 0       flags: 1 the document is a .php (else .html), 2 ignore short words,
//                4 ignore common words, 8 keep case, 16 space after comma, 32 show words as
//                found, 64 the run reads through the command's own reading of the document
//   bytes 1-10   the ten number lists as positions, each modulo its length
//   byte 11      language modulo 9: 0 none selected, 1-7 the seven lists, 8 chosen from the
//                document as a newly chosen file gets it
//   byte 12      maximum keywords: 5 .. 100
//   bytes 13-14  maximum bytes: 0 .. 1000, or 1001 for an empty box
//   counted      words to ignore: a length byte, then UTF-8
//   counted      phrases that begin the tag: a length byte, then UTF-8
//   the rest     the document
//
// Properties: a refused run says why; the finished table holds words of the text within the
// longest word, in rank order, with key values up to 100 and frequencies that pass the
// threshold; the tag's count lines agree with the tag; the finished table serves the tag
// without a new scan; a document of ASCII text with CR LF line ends gives the same list when
// its line ends become LF; the document as one line is prepared where it lies as from a copy,
// and marked in two halves at once as in one pass.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/host.hpp"
#include "analysis/language.hpp"
#include "analysis/run.hpp"
#include "analysis/settings.hpp"
#include "catalogue/language2.hpp"
#include "io/document.hpp"
#include "io/fileproc.hpp"
#include "scan/marking.hpp"
#include "support.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"
#include "words/commonwords.hpp"
#include "words/tagbuilder.hpp"

namespace tw::fuzz {
namespace {

struct Engine {
  ProgramText texts;
  CommonWords commonWords;

  Engine() {
    if (texts.LoadProgramText(DataFolder(), u"qdx.dat") <= 0 ||
        !commonWords.LoadAll(DataFolder()).empty()) {
      Fail("the program data loads", __FILE__, __LINE__);
    }
  }
};

const Engine& TheEngine() {
  static const Engine engine;
  return engine;
}

// The two text boxes hold one line.
Text OneLine(std::string_view utf8) {
  Text text = FromUtf8(utf8);
  std::erase_if(text, [](char16_t c) { return c == kCR || c == kLF; });
  return text;
}

int64_t CountChar(TextView text, char16_t c) {
  return static_cast<int64_t>(std::count(text.begin(), text.end(), c));
}

// A count line's number: decimal digits only.
int64_t Number(std::string_view digits) {
  FUZZ_CHECK(!digits.empty() && digits.size() < 12);
  int64_t n = 0;
  for (char c : digits) {
    FUZZ_CHECK(c >= '0' && c <= '9');
    n = n * 10 + (c - '0');
  }
  return n;
}

// Every word of the finished table is a word of the document's text, within the longest
// word; key values are normalised to at most 100 and stand in rank order.
void CheckTable(const WordTable& table, const ScanOptions& options) {
  const RankedEntries ranked = table.Ranked();
  FUZZ_CHECK(static_cast<int32_t>(ranked.size()) == table.intNumWords());
  float previous = 100.0f;
  for (const WordEntry e : ranked) {
    FUZZ_CHECK(!e.word.empty());
    FUZZ_CHECK(e.word.size() <= static_cast<size_t>(intMaxWordLength));
    FUZZ_CHECK(e.word.find_first_of(u" ,\r\n") == Text::npos);
    FUZZ_CHECK(e.frequency >= 1);
    FUZZ_CHECK(e.frequency >= options.minFrequency || e.fromTitleOrMeta);
    FUZZ_CHECK(std::isfinite(e.keyValue));
    FUZZ_CHECK(e.keyValue >= 0.0f && e.keyValue <= previous);
    previous = e.keyValue;
  }
}

// The tag and its two count lines agree: the count of keywords is the count of the items
// between its commas, the count of bytes is what the tag (without its closing '">') takes in
// the document.
void CheckTag(const Text& output, const AnalysisOptions& options, bool utf8) {
  if (!TextView(output).starts_with(kMetaTagPrefix)) return;
  const size_t lineEnd = output.find(u"\r\n\r\n");
  FUZZ_CHECK(lineEnd != Text::npos);
  const TextView tag = TextView(output).substr(0, lineEnd);
  FUZZ_CHECK(tag.ends_with(u"\">"));
  const TextView counts = TextView(output).substr(lineEnd + 4);
  const Text expected = Text(kNumberOfKeywordsLine) + u" ";
  FUZZ_CHECK(counts.starts_with(expected));
  const size_t secondLine = counts.find(kCrLf);
  FUZZ_CHECK(secondLine != TextView::npos);
  const std::string keywordsText =
      ToUtf8(counts.substr(expected.size(), secondLine - expected.size()));
  const TextView bytesLine = counts.substr(secondLine + 2);
  const Text bytesLabel = Text(kNumberOfBytesLine) + u" ";
  FUZZ_CHECK(bytesLine.starts_with(bytesLabel));
  const std::string bytesText = ToUtf8(bytesLine.substr(bytesLabel.size()));
  const int64_t keywords = Number(keywordsText);
  const int64_t bytes = Number(bytesText);

  const TextView content =
      tag.substr(kMetaTagPrefix.size(), tag.size() - kMetaTagPrefix.size() - 2);
  FUZZ_CHECK(keywords == (content.empty() ? 0 : CountChar(content, u',') + 1));
  FUZZ_CHECK(bytes ==
             static_cast<int64_t>(EncodeForDocument(tag.substr(0, tag.size() - 2), utf8).size()));
  if (options.tag.beginWith.empty() && options.tag.maxKeywords > 0) {
    FUZZ_CHECK(keywords <= options.tag.maxKeywords);
  }
}

// One run as a command makes it on `file`: the language (when it is to be chosen from the
// document), the word list, then the tag from the same table. Gives the word list, or
// nothing when the run was refused.
std::optional<Text> Analyse(const AnalysisSettings& settings, const std::filesystem::path& file,
                            bool chooseLanguage, bool commandReading) {
  const Engine& engine = TheEngine();
  KeepingRunHost host;
  AnalysisSettings& s = host.settings;
  s = settings;
  s.txbInputFile = FromPath(file);
  DocumentReader document;
  if (chooseLanguage) {
    if (commandReading) {
      if (!document.Open(file).failed()) {
        const Result<LanguageChoice> choice =
            ChooseDocumentLanguage(document, s.txbInputFile, engine.commonWords);
        FUZZ_CHECK(choice.ok());
        s.cboLanguage = choice->position;
      }
    } else {
      s.cboLanguage = ChooseDocumentLanguage(s.txbInputFile, engine.commonWords).position;
    }
    FUZZ_CHECK(s.cboLanguage >= 0 && s.cboLanguage < kAllLanguagesIndex);
  }

  Analysis analysis(engine.texts, engine.commonWords);
  if (!analysis.RunAnalysis(false, host, commandReading ? &document : nullptr)) {
    // A refused or failed run says why.
    FUZZ_CHECK(!host.messages.empty());
    return std::nullopt;
  }
  FUZZ_CHECK(!host.output.empty());
  const Text list = host.output;
  const AnalysisOptions options = ResolveOptions(s);
  CheckTable(analysis.table(), options.scan);

  // The finished table serves the tag.
  FUZZ_CHECK(analysis.RunAnalysis(true, host, nullptr));
  CheckTag(host.output, options, analysis.blnIsUTF8File);
  return list;
}

// The document with its CR LF line ends made LF, when it is ASCII text whose every line
// ends so and whose LF line ends are recognised; nothing otherwise.
std::optional<std::string> WithLfLineEnds(std::string_view document) {
  std::string lf;
  for (size_t i = 0; i < document.size(); ++i) {
    const char c = document[i];
    if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
    if (c == '\r' && (i + 1 == document.size() || document[i + 1] != '\n')) return std::nullopt;
    if (c == '\n' && (i == 0 || document[i - 1] != '\r')) return std::nullopt;
    if (c != '\r') lf.push_back(c);
  }
  const size_t firstLf = lf.find('\n');
  if (firstLf == std::string::npos || firstLf >= static_cast<size_t>(kLineEndSampleSize)) {
    return std::nullopt;
  }
  return lf;
}

}  // namespace
}  // namespace tw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tw;
  using namespace tw::fuzz;
  HeadReader head(data, size);
  AnalysisSettings s;
  const uint8_t flags = head.Byte();
  const bool php = (flags & 1) != 0;
  s.chkIgnoreShortWords = (flags & 2) != 0;
  s.chkIgnoreCommonWords = (flags & 4) != 0;
  s.chkPreserveCase = (flags & 8) != 0;
  s.chkSpaceAfterComma = (flags & 16) != 0;
  s.chkShowWordsAsFound = (flags & 32) != 0;
  const bool commandReading = (flags & 64) != 0;
  s.cboShortWordSize = head.Below(9);
  s.cboThresholdFrequency = head.Below(9);
  s.cboTitleWeight = head.Below(9);
  s.cboDescriptionWeight = head.Below(9);
  s.cboExistingKeywordsWeight = head.Below(10);
  s.cboBoldWeight = head.Below(9);
  s.cboItalicWeight = head.Below(9);
  s.cboTableWeight = head.Below(10);
  s.cboDivWeight = head.Below(10);
  s.cboSpanWeight = head.Below(10);
  const int32_t language = head.Below(9) - 1;
  const bool chooseLanguage = language == kAllLanguagesIndex + 1;
  s.cboLanguage = chooseLanguage ? kNoSelection : language;
  s.txbMaxNumKeywordsInMetaTag = NumberText(intMinNumKeywords + head.Below(96));
  const int32_t high = head.Byte();
  const int32_t maxBytes = ((high << 8) | head.Byte()) % 1002;
  s.txbMaxNumBytesInMetaTag = maxBytes == 1001 ? Text() : NumberText(maxBytes);
  s.txbWordsToIgnore = OneLine(head.Counted());
  s.strWordsToIgnoreList = NormaliseWordsToIgnore(s.txbWordsToIgnore);
  s.txbBeginMetaTagWith = OneLine(head.Counted());
  const std::string_view document = head.Rest();

  const std::optional<Text> list =
      Analyse(s, WriteScratchFile(php ? "page.php" : "page.html", document), chooseLanguage,
              commandReading);

  // The same lines with LF line ends give the same list.
  if (const std::optional<std::string> lf = WithLfLineEnds(document)) {
    const std::optional<Text> lfList = Analyse(s, WriteScratchFile(php ? "lf.php" : "lf.html", *lf),
                                               chooseLanguage, commandReading);
    if (list && lfList) FUZZ_CHECK(*list == *lfList);
  }

  // The document as one line is prepared where it lies as it is prepared from a copy, in
  // every way of preparing a line (a long document's line is prepared where it lies).
  for (int mode = 0; mode < 4; ++mode) {
    const bool utf8 = (mode & 1) != 0;
    const bool lower = (mode & 2) != 0;
    LineBuffer copied;
    const bool scanned = PrepareScanLine(document, utf8, lower, copied);
    const size_t roomSize = document.size() + 1 + LineBuffer::kSpare;
    auto room = std::make_unique<char[]>(roomSize);
    std::copy(document.begin(), document.end(), room.get());
    const std::string_view lying(room.get(), document.size());
    LineBuffer inPlace;
    FUZZ_CHECK(PrepareScanLineInPlace(std::move(room), roomSize, lying, utf8, lower, inPlace) ==
               scanned);
    FUZZ_CHECK(inPlace.view() == copied.view());
  }
  // Marked in two halves at once, wherever it can be cut, it is marked as in one pass.
  std::string onePass;
  MarkAndDecode(document, onePass);
  std::string halves(document);
  MarkAndDecodeInPlace(halves, document.size() / 2 + 1);
  FUZZ_CHECK(halves == onePass);
  return 0;
}
