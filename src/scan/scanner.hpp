// The markup scanner: walks the prepared lines of a document character by character, skips
// what is not text (scripts, styles, comments, PHP, tags, zero-weight sections), tracks the
// contexts that weigh a word occurrence and hands every word it cuts out to its listener.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/options.hpp"
#include "scan/context.hpp"
#include "text/text.hpp"

namespace tw {

// The single characters that MarkContextTags puts in place of the context tags.
namespace marker {
inline constexpr char16_t kHeading6On = u'\x01';
inline constexpr char16_t kHeading5On = u'\x02';
inline constexpr char16_t kHeading4On = u'\x03';
inline constexpr char16_t kHeading3On = u'\x04';
inline constexpr char16_t kHeading2On = u'\x05';
inline constexpr char16_t kHeading1On = u'\x06';
inline constexpr char16_t kHeadingOff = u'\x07';
inline constexpr char16_t kBoldOn = u'\x0B';
inline constexpr char16_t kBoldOff = u'\x0C';
inline constexpr char16_t kTitleOn = u'\x0E';
inline constexpr char16_t kTitleOff = u'\x0F';
inline constexpr char16_t kItalicOn = u'\x10';
inline constexpr char16_t kItalicOff = u'\x11';
}  // namespace marker

// A heading marker's code times this is the heading weight (5 x (7 - level)).
inline constexpr int32_t kHeadingWeightPerLevel = 5;
inline constexpr int32_t kInitialFontSize = 3;
inline constexpr int32_t kMinFontSize = 1;
inline constexpr int32_t kMaxFontSize = 7;

// Replaces the five fixed references and the recognised context tags of a line by their
// characters. `lowered`: the whole line has already been lowered, so only the lower-case
// tag forms can occur.
void MarkContextTags(Text& line, bool lowered);

// Prepares a line read from the document for ScanLine, as the run does: spaces trimmed at
// both ends, the UTF-8 pairs of a UTF-8 document decoded, the line lowered unless case is
// kept, the context tags marked, the references decoded and one space appended. False when
// nothing but spaces was left, so that the line is not scanned.
bool PrepareScanLine(Text& line, bool decodeUtf8, bool lower);

// First position at or after `start` (below 1 counts as 1) whose character is in `set`;
// the length of the text plus 1 when none; 0 when the text or the set is empty.
int32_t FindCharInSetOrEnd(TextView text, int32_t start, TextView set);
// First position after `position` whose character is not a space; the length plus 1 when
// none (a position beyond the text counts as its last position).
int32_t NextNonSpace(TextView text, int32_t position);

// What the scanner needs from the run that drives it.
class ScanListener {
 public:
  virtual ~ScanListener() = default;
  // One word with the context it stands in. The word may be shortened or emptied.
  virtual void AddWord(Text& strCurrentWord, const OccurrenceContext& context) = 0;
  // Called after every word (also a dropped contraction): serve pending events; returns
  // true when the user has asked to stop.
  virtual bool AfterWord() = 0;
  // The next line of the document as read, for a PHP section that goes on over lines;
  // false at the end of the document.
  virtual bool ReadRawLine(Text& line) = 0;
};

enum class SectionKind { Table, Div, Span };

class MarkupScanner {
 public:
  MarkupScanner(const ScanOptions& options, ScanListener& listener);

  // Every item of the state back to its initial value.
  void Reset();

  // Scans strScanLine from its first character. Returns at the end of the line, when the
  // line ends inside a construct that goes on in the next line, or when a stop was asked.
  void ScanLine();

  // True when a PHP section was still open at the end of the document, so that the rest of
  // the document has been skipped.
  bool ReachedEndOfDocument() const { return reachedEnd_; }

  // The occurrence context of a word at this moment.
  OccurrenceContext Context() const;

  // ---- State: it survives from one line to the next -----------------------------------
  Text strScanLine;
  int32_t lngScanPos = 1;
  bool blnInTag = false;
  int32_t intAngleDepth = 0;
  bool blnInComment = false;
  bool blnInStyle = false;
  bool blnInScript = false;
  bool blnInTitle = false;
  bool blnBold = false;
  bool blnItalic = false;
  int32_t intHeadingWeight = 0;
  bool blnInDescription = false;
  bool blnInExistingKeywords = false;
  int32_t intTableDepth = 0;
  int32_t intDivDepth = 0;
  int32_t intSpanDepth = 0;
  int32_t intFontSize = kInitialFontSize;
  std::vector<int32_t> intFontSizeStack;
  bool blnInFontTag = false;
  bool blnFontSizeOff = false;
  // The word being handed over, and the number of words handed over that came back
  // non-empty.
  Text strCurrentWord;
  int64_t lngTotalWords = 0;

 private:
  // The next position of a pattern or character set from a position, remembered with the
  // position it was sought from: no occurrence lies between the two, so a walk forward over
  // the line costs linear time in all, however many tags ask.
  struct SearchCache {
    int32_t from = 0;
    int32_t found = 0;  // the length of the line plus 1 when there is none
  };

  int32_t Len() const { return static_cast<int32_t>(strScanLine.size()); }
  char16_t Ch(int32_t position) const;
  bool StartsWithNoCase(int32_t position, TextView lowerPattern) const;
  bool StartsWithExact(int32_t position, TextView pattern) const;
  void LowerAngleDepth();
  void LineReplaced();

  bool SkipToMarker(TextView closing);
  bool SkipSection(SectionKind kind);
  // False when the line ends inside a skipped section.
  bool HandleSection(SectionKind kind);
  void ParseTag();
  void HandleMetaTag();
  void HandleFontTag();
  void HandleFontEnd();
  void SkipPhpSection();
  void SkipInlinePhp();
  void ExtractWord();

  // Searches of the current line, each in linear time over a walk through the line.
  int32_t NextChar(SearchCache& cache, TextView set);
  int32_t FindNoCaseFrom(int32_t position, TextView lowerPattern);
  // The first occurrence at or after a position, or 0: of a pattern as it stands, of a
  // pattern in the lowered line, and of a pattern in the lowered line without its spaces
  // (kept by the position of its first character).
  int32_t NextRaw(int index, int32_t position);
  int32_t NextFolded(int index, int32_t position);
  int32_t NextSqueezed(int index, int32_t position);
  template <class Search>
  int32_t Cached(SearchCache& cache, int32_t position, Search search);

  const ScanOptions& options_;
  ScanListener& listener_;
  bool reachedEnd_ = false;

  // Per-line caches, dropped whenever strScanLine changes.
  int8_t tableFold_ = -1;  // -1 unknown; 1 when the line holds an accented letter
  SearchCache nextGt_, nextSemicolon_, nextSpace_, nextNumberStart_;
  std::array<SearchCache, 3> raw_;       // "<?", "?>", "content"
  std::array<SearchCache, 2> folded_;    // "content", "size"
  std::array<SearchCache, 4> squeezed_;  // name="description", name="keywords", font, size
};

}  // namespace tw
