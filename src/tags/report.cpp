// The existing-tag report: walks the document's lines up to the closing head tag and copies
// out the title and the description, keywords and marker meta tags it finds.
#include "tags/report.hpp"

#include <array>

#include "io/fileproc.hpp"
#include "io/istextfile.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"

namespace tw {

namespace {

constexpr TextView kHeadEnd = u"</head>";
constexpr TextView kCommentOpen = u"<!--";
constexpr TextView kCommentClose = u"-->";
constexpr TextView kTitleOpen = u"<title>";
constexpr TextView kTitleClose = u"</title>";
constexpr TextView kMetaOpen = u"<meta ";
constexpr TextView kTagClose = u">";
constexpr TextView kTitleLabel = u"TITLE: ";
constexpr TextView kContentAttribute = u"content";

bool IsAttributeSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// A meta tag recognised by a quoted word on its line.
struct MetaItem {
  TextView quotedWord;
  TextView label;
};

constexpr int32_t kKeywordsItem = 0;
constexpr int32_t kDescriptionItem = 1;
constexpr std::array<MetaItem, 3> kMetaItems{{
    {u"\"keywords\"", u"KEYWORDS meta tag: "},
    {u"\"description\"", u"DESCRIPTION meta tag: "},
    {u"\"zorp done\"", u"ZORP meta tag: "},
}};

// The characters from position `first` to `last` inclusive (1-based); none when last < first.
Text MidInclusive(TextView line, int32_t first, int32_t last) {
  if (first < 1 || last < first) return Text();
  return Text(line.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1)));
}

bool ReadFailed(const LineReader& reader) {
  return reader.failed();
}
bool ReadFailed(const MemoryLineReader&) {
  return false;
}

// Over a LineReader (a document being read) or a MemoryLineReader (bytes read already).
template <class Reader>
class ReportBuilder {
 public:
  // A UTF-8 document's lines are decoded, so that its accented letters show as written and
  // a byte-order mark does not hide a title on the first line.
  ReportBuilder(Reader& reader, bool isUtf8) : reader_(reader), isUtf8_(isUtf8) {}

  // Reads up to the closing head tag or the end of the file. False when reading failed.
  bool Run() {
    while (ReadTrimmed()) {
      if (InStr(1, lowered_, kHeadEnd) > 0) return true;
      if (InStr(1, line_, kCommentOpen) > 0) {
        if (!SkipComment()) return !ReadFailed(reader_);
      }
      Examine();
    }
    return !ReadFailed(reader_);
  }

  void AppendMissingItems() {
    if (!titleFound_) AppendMissing(kNoTitleFound);
    if (!descriptionFound_) AppendMissing(kNoDescriptionFound);
    if (!keywordsFound_) AppendMissing(kNoKeywordsFound);
  }

  Text& output() { return output_; }
  const ExistingTags& tags() const { return tags_; }

 private:
  bool ReadTrimmed() {
    Text raw;
    if (!reader_.ReadLine(raw)) return false;
    if (isUtf8_) {
      if (firstLine_ && TextView(raw).starts_with(kUtf8ByteOrderMark)) {
        raw.erase(0, kUtf8ByteOrderMark.size());
      }
      raw = DecodeUtf8Latin(raw);
    }
    firstLine_ = false;
    line_ = TrimSpaces(raw);
    lowered_ = ToLowerGeneral(line_);
    return true;
  }

  // Skips from the line that opens a comment through the line that closes it, and reads the
  // line after it. False when the file ends first (or a read fails).
  bool SkipComment() {
    Text current = line_;
    while (InStr(1, current, kCommentClose) == 0) {
      if (!reader_.ReadLine(current)) return false;
    }
    return ReadTrimmed();
  }

  void Examine() {
    if (TextView(lowered_).starts_with(kTitleOpen)) {
      int32_t e = InStr(1, lowered_, kTitleClose);
      if (e == 0) e = static_cast<int32_t>(line_.size()) + 1;
      const int32_t first = static_cast<int32_t>(kTitleOpen.size()) + 1;
      output_ += kTitleLabel;
      output_ += MidInclusive(line_, first, e - 1);
      if (!tags_.title) tags_.title = MidInclusive(line_, first, e - 1);
      output_ += kCrLf;
      output_ += kCrLf;
      titleFound_ = true;
      return;
    }
    const int32_t m = InStr(1, lowered_, kMetaOpen);
    if (m == 0) return;
    for (size_t i = 0; i < kMetaItems.size(); ++i) {
      const MetaItem& item = kMetaItems[i];
      const int32_t k = InStr(1, lowered_, item.quotedWord);
      if (k == 0) continue;
      int32_t g = InStr(k + static_cast<int32_t>(item.quotedWord.size()), lowered_, kTagClose);
      if (g == 0) g = static_cast<int32_t>(line_.size());
      output_ += item.label;
      output_ += MidInclusive(line_, m, g);
      std::optional<Text>* structured =
          static_cast<int32_t>(i) == kKeywordsItem      ? &tags_.keywordsTag
          : static_cast<int32_t>(i) == kDescriptionItem ? &tags_.descriptionTag
                                                        : nullptr;
      if (structured != nullptr && !*structured) *structured = MidInclusive(line_, m, g);
      output_ += kCrLf;
      output_ += kCrLf;
      if (static_cast<int32_t>(i) == kKeywordsItem) keywordsFound_ = true;
      if (static_cast<int32_t>(i) == kDescriptionItem) descriptionFound_ = true;
    }
  }

  void AppendMissing(TextView text) {
    output_ += kCrLf;
    output_ += text;
  }

  Reader& reader_;
  bool isUtf8_ = false;
  bool firstLine_ = true;
  Text line_;
  Text lowered_;
  Text output_;
  bool titleFound_ = false;
  bool descriptionFound_ = false;
  bool keywordsFound_ = false;
  ExistingTags tags_;
};

}  // namespace

ExistingTagReport ShowExistingKeywordMetaTag(TextView inputFileText, FileOps& ops) {
  ExistingTagReport report;
  report.inputFile = TrimSpaces(inputFileText);
  if (report.inputFile.empty()) {
    report.message =
        Message{Text(kReportErrorCaption), Text(kInputFileNotSpecified), MsgIcon::Warning};
    return report;
  }
  if (!DoesFileExist(report.inputFile)) {
    report.message =
        Message{Text(kFileNotFoundCaption), Text(kInputFileNotFound), MsgIcon::Warning};
    return report;
  }

  // One reading of the document: its encoding and its lines come from the same bytes.
  DocumentReader document(ops);
  if (document.Open(ToPath(report.inputFile)).failed() ||
      document.Fill(kLineEndSampleSize).failed()) {
    report.outputText = Text(kReportFailure);
    return report;
  }
  bool isUtf8 = false;
  IsTextFile(document, report.inputFile, kTextSampleSize, kNonTextLimitPercent, isUtf8, true);
  LineReader reader;
  reader.Attach(document, LineEndsOf(document.HeldFrom(0)), true);
  ReportBuilder<LineReader> builder(reader, isUtf8);
  const bool read = builder.Run();
  reader.Close();
  if (read) {
    builder.AppendMissingItems();
  } else {
    builder.output() += kReportFailure;
  }
  report.outputText = std::move(builder.output());
  report.tags = builder.tags();
  return report;
}

ExistingTags FindExistingTags(std::string_view documentBytes, bool isUtf8) {
  MemoryLineReader reader(documentBytes,
                          LineEndsOf(documentBytes.substr(
                              0, std::min<size_t>(documentBytes.size(), kLineEndSampleSize))));
  ReportBuilder<MemoryLineReader> builder(reader, isUtf8);
  builder.Run();
  return builder.tags();
}

std::optional<Text> MetaTagContent(TextView metaTag) {
  const Text lowered = ToLowerGeneral(metaTag);
  for (size_t at = lowered.find(kContentAttribute); at != Text::npos;
       at = lowered.find(kContentAttribute, at + 1)) {
    // The attribute's name stands alone: after a space, before its "=".
    if (at == 0 || !IsAttributeSpace(lowered[at - 1])) continue;
    size_t p = at + kContentAttribute.size();
    while (p < metaTag.size() && IsAttributeSpace(metaTag[p]))
      ++p;
    if (p >= metaTag.size() || metaTag[p] != u'=') continue;
    ++p;
    while (p < metaTag.size() && IsAttributeSpace(metaTag[p]))
      ++p;
    if (p < metaTag.size() && (metaTag[p] == u'"' || metaTag[p] == u'\'')) {
      const char16_t quote = metaTag[p];
      const size_t end = metaTag.find(quote, p + 1);
      return Text(metaTag.substr(p + 1, end == TextView::npos ? TextView::npos : end - p - 1));
    }
    size_t end = p;
    while (end < metaTag.size() && !IsAttributeSpace(metaTag[end]) && metaTag[end] != u'>')
      ++end;
    return Text(metaTag.substr(p, end - p));
  }
  return std::nullopt;
}

std::vector<Text> SplitKeywords(TextView content) {
  std::vector<Text> keywords;
  size_t start = 0;
  while (start <= content.size()) {
    size_t comma = content.find(u',', start);
    if (comma == TextView::npos) comma = content.size();
    Text keyword = TrimSpaces(content.substr(start, comma - start));
    if (!keyword.empty()) keywords.push_back(std::move(keyword));
    start = comma + 1;
  }
  return keywords;
}

}  // namespace tw
