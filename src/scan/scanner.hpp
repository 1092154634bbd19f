// The markup scanner: walks the prepared lines of a document character by character, skips
// what is not text (scripts, styles, comments, PHP, tags, zero-weight sections), tracks the
// contexts that weigh a word occurrence and hands every word it cuts out to its listener.
// Lines are held one byte per character of the code page (see text/chars.hpp).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/options.hpp"
#include "scan/context.hpp"
#include "scan/entities.hpp"
#include "scan/linesearch.hpp"
#include "scan/marking.hpp"

namespace tw {

// A heading marker's code times this is the heading weight (5 x (7 - level)).
inline constexpr int32_t kHeadingWeightPerLevel = 5;
inline constexpr int32_t kInitialFontSize = 3;
inline constexpr int32_t kMinFontSize = 1;
inline constexpr int32_t kMaxFontSize = 7;

// What the scanner needs from the run that drives it.
class ScanListener {
 public:
  virtual ~ScanListener() = default;
  // One word, one byte per character of the code page, with the context it stands in and
  // what the word table keeps of that context under the scan's weights (worked out once for a
  // run of words in the same context). The view is valid during the call.
  virtual void AddWord(std::string_view word, const OccurrenceContext& context,
                       Occurrence occurrence) = 0;
  // Called after every word (also a dropped contraction): serve pending events; returns
  // true when the user has asked to stop.
  virtual bool AfterWord() = 0;
  // The next line of the document as read, without its line end, for a PHP section that
  // goes on over lines; valid until the next call. False at the end of the document.
  virtual bool ReadRawLine(std::string_view& line) = 0;
};

enum class SectionKind { Table, Div, Span };

// What the scanner carries from one line to the next.
struct ScanState {
  bool inTag = false;
  int32_t angleDepth = 0;
  bool inComment = false;
  bool inStyle = false;
  bool inScript = false;
  bool inTitle = false;
  bool bold = false;
  bool italic = false;
  int32_t headingWeight = 0;
  bool inDescription = false;
  bool inExistingKeywords = false;
  int32_t tableDepth = 0;
  int32_t divDepth = 0;
  int32_t spanDepth = 0;
  int32_t fontSize = kInitialFontSize;
  std::vector<int32_t> fontSizeStack;
  bool inFontTag = false;
  bool fontSizeOff = false;

  // Puts the occurrence context of a word at this moment into `context`, item by item.
  void PutContext(OccurrenceContext& context) const;
};

class MarkupScanner {
 public:
  MarkupScanner(const ScanOptions& options, ScanListener& listener);

  // Every item of the state back to its initial value. The options are taken as they stand
  // now for the scan that follows.
  void Reset();

  // Prepares a line as read from the document (PrepareScanLine) and scans it from its first
  // character. Returns at the end of the line, when the line ends inside a construct that
  // goes on in the next line, or when a stop was asked. False when the line held nothing
  // but spaces and was passed over.
  bool ScanLine(std::string_view rawLine, bool decodeUtf8, bool lower);
  // The same in two steps: the line prepared (the raw line is not looked at again; false
  // when it is not to be scanned), then scanned.
  bool TakeLine(std::string_view rawLine, bool decodeUtf8, bool lower);
  void ScanTakenLine();
  // TakeLine for a line that lies in `room` (`roomSize` bytes), which the scanner takes over:
  // a long line is prepared where it lies (see PrepareScanLineInPlace).
  bool TakeLineInPlace(std::unique_ptr<char[]> room, size_t roomSize, std::string_view rawLine,
                       bool decodeUtf8, bool lower);

  // Gives back the memory of the line scanned last (a one-line document's is as large as the
  // document), once the document is done.
  void ReleaseLine() {
    line_.release();
    at_ = 0;
    LineReplaced();
  }

  // True when a PHP section was still open at the end of the document, so that the rest of
  // the document has been skipped.
  bool ReachedEndOfDocument() const { return reachedEnd_; }

  const ScanState& state() const { return state_; }
  // The words handed over to the listener: the document's word count.
  int64_t wordCount() const { return wordCount_; }
  // How far the walk has come in the line it scans (1-based, as a number of characters).
  size_t linePosition() const { return at_ + 1; }

 private:
  std::string_view Line() const { return line_.view(); }
  size_t Len() const { return line_.size(); }
  // The character at an index; 0 beyond the line.
  char Ch(size_t at) const { return at < line_.size() ? line_[at] : '\0'; }
  bool StartsWithNoCase(size_t at, std::string_view lowerPattern) const {
    return MatchesFolded(Line(), at, lowerPattern);
  }
  void LowerAngleDepth() {
    // Never below 0: a ">" too many must not turn the rest of the document into markup.
    if (state_.angleDepth > 0) --state_.angleDepth;
  }
  void LineReplaced() { searches_.Reset(Line()); }
  bool SkippingSection() const;

  void Walk();
  bool SkipToMarker(std::string_view closing);
  bool SkipSection(SectionKind kind);
  // False when the line ends inside a skipped section.
  bool HandleSection(SectionKind kind);
  void ParseTag();
  void HandleMetaTag();
  void HandleFontTag();
  void HandleFontEnd();
  void SkipPhpSection();
  void SkipInlinePhp();
  void HandleMarker(char c);
  // Puts the context of a word at this moment into context_ and returns what the word table
  // keeps of it.
  Occurrence MakeContext();
  void ExtractWord(const OccurrenceContext& context, Occurrence occurrence);

  const ScanOptions& options_;
  ScanListener& listener_;
  WordLetters letters_;
  // Characters that only the last step of the walk handles (punctuation, digits, spaces
  // and the like): the walk passes over them without looking at anything else.
  ByteSet plain_{};
  ScanState state_;
  // The context of the words being cut: written item by item where it stays, as a copy of a
  // whole context just put together would be read before the writes reach it.
  OccurrenceContext context_;
  LineBuffer line_;
  size_t at_ = 0;
  LineSearches searches_;
  int64_t wordCount_ = 0;
  bool reachedEnd_ = false;
};

}  // namespace tw
