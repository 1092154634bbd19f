// The keywords meta tag built from the ranked table, led by the user's phrases.
#include "words/tagbuilder.hpp"

#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"
#include "words/substringindex.hpp"
#include "words/wordlist.hpp"

namespace tw {

namespace {

constexpr TextView kTagEnd = u"\">";
constexpr TextView kPhraseSeparatorTyped = u", ";
constexpr TextView kComma = u",";

// The text as it stands in the output box, its lower-cased form for the duplicate test, and
// the bytes it takes in the document.
class TagWriter {
 public:
  explicit TagWriter(TagEncoding encoding) : encoding_(encoding) {}

  void Append(TextView piece) {
    text_.append(piece);
    bytes_ += Bytes(piece);
    for (char16_t c : piece)
      lowered_.Append(LowerChar(c));
  }
  int64_t Bytes(TextView piece) const {
    return static_cast<int64_t>(EncodeForDocument(piece, encoding_ == TagEncoding::Utf8).size());
  }
  int64_t bytes() const { return bytes_; }
  bool ContainsIgnoringCase(TextView word) const {
    scratch_.assign(word);
    for (char16_t& c : scratch_)
      c = LowerChar(c);
    return lowered_.Contains(scratch_);
  }
  const Text& text() const { return text_; }
  Text Take() { return std::move(text_); }

 private:
  TagEncoding encoding_;
  Text text_;
  int64_t bytes_ = 0;
  SubstringIndex lowered_;
  mutable Text scratch_;
};

// The typed phrases as they enter the tag: ", " closed up, no final comma, no leading space.
Text PreparePhrases(const Text& typed, bool keepCase) {
  Text phrases = ReplaceAll(typed, kPhraseSeparatorTyped, kComma);
  if (!phrases.empty() && phrases.back() == u',') phrases.pop_back();
  const size_t first = phrases.find_first_not_of(u' ');
  phrases.erase(0, first == Text::npos ? phrases.size() : first);
  if (!keepCase) ToLowerGeneralInPlace(phrases);
  return phrases;
}

// The tag from entries in rank order, each with its word.
template <class Ranked>
Text TagText(const Ranked& ranked, const AnalysisOptions& options, TagEncoding encoding) {
  if (ranked.size() == 0) return ReportNoWords(options.scan);
  const TagOptions& tagOptions = options.tag;
  const int64_t maxKeywords = tagOptions.maxKeywords;
  const int64_t maxBytes = tagOptions.maxBytes;

  TagWriter tag(encoding);
  tag.Append(kMetaTagPrefix);
  int64_t keywords = 0;
  if (!tagOptions.beginWith.empty()) {
    const Text phrases = PreparePhrases(tagOptions.beginWith, tagOptions.preserveCase);
    tag.Append(phrases);
    // Phrases that come to nothing (a lone comma) count as no keyword.
    if (!phrases.empty()) keywords = CountOccurrences(phrases, kComma, true) + 1;
  }
  int64_t length = tag.bytes();

  const Text separator = tagOptions.spaceAfterComma ? Text(u", ") : Text(u",");
  for (const auto& entry : ranked) {
    if (maxKeywords > 0 && keywords + 1 > maxKeywords) break;
    // One character is kept for the separator, whatever it is.
    if (maxBytes > 0 && length + tag.Bytes(entry.word) + 1 > maxBytes) break;
    if (tag.ContainsIgnoringCase(entry.word)) continue;
    if (keywords > 0) tag.Append(separator);
    tag.Append(entry.word);
    ++keywords;
    length = tag.bytes();
  }
  tag.Append(kTagEnd);

  Text out = tag.Take();
  out.append(kCrLf);
  out.append(kCrLf);
  out.append(kNumberOfKeywordsLine);
  out.append(FormatWithLeadingSpace(keywords));
  out.append(kCrLf);
  out.append(kNumberOfBytesLine);
  out.append(FormatWithLeadingSpace(length));
  return out;
}

}  // namespace

Text BuildKeywordTagText(const WordTable& table, const AnalysisOptions& options,
                         TagEncoding encoding) {
  return TagText(table.Ranked(), options, encoding);
}

Text BuildKeywordTagText(std::span<const WordEntry> ranked, const AnalysisOptions& options,
                         TagEncoding encoding) {
  return TagText(ranked, options, encoding);
}

}  // namespace tw
