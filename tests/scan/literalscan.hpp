// The scanner of the engine as it was written first, over 16-bit text: lines decoded
// through the code page, prepared by replacing the context tags and references one line at
// a time, walked character by character with 1-based positions. Kept, slow as it is, as
// the reference that the byte scanner (scan/scanner.hpp), its line preparation and the
// whole run must always agree with.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/number.hpp"
#include "core/options.hpp"
#include "scan/context.hpp"
#include "scan/entities.hpp"
#include "text/chars.hpp"
#include "text/strproc.hpp"
#include "text/text.hpp"
#include "text/textsearch.hpp"

namespace tw::test::literal {

inline constexpr int32_t kHeadingWeightPerLevel = 5;
inline constexpr int32_t kInitialFontSize = 3;
inline constexpr int32_t kMinFontSize = 1;
inline constexpr int32_t kMaxFontSize = 7;

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

// Rewrites a text in place, left to right, where every replacement is one character put in
// place of a longer piece: what is not read yet is never overwritten.
class InPlaceRewriter {
 public:
  explicit InPlaceRewriter(Text& text) : text_(text) {}
  // Keeps everything before `at` (0-based, not before what was read) and puts `c` in place
  // of the `length` characters at `at`.
  void Replace(size_t at, size_t length, char16_t c) {
    Keep(at);
    text_[written_++] = c;
    read_ = at + length;
  }
  // Keeps the rest and cuts the text to what was written.
  void Finish() {
    Keep(text_.size());
    text_.resize(written_);
  }
  bool Replaced() const { return written_ != read_; }

 private:
  void Keep(size_t upTo) {
    if (written_ != read_ && upTo > read_) {
      std::char_traits<char16_t>::move(text_.data() + written_, text_.data() + read_, upTo - read_);
    }
    written_ += upTo - read_;
    read_ = upTo;
  }
  Text& text_;
  size_t written_ = 0;
  size_t read_ = 0;
};

// The word that starts at a letter at position `p` (1-based) of a line.
struct WordCut {
  int32_t length = 0;        // characters of the word
  bool contraction = false;  // a short contraction ("don't "): word and tail are dropped
  int32_t next = 0;          // the position where the scan goes on
};
namespace entities {

constexpr TextView kQuotReference = u"&quot;";
constexpr char16_t kReferenceStart = u'&';
constexpr char16_t kReferenceEnd = u';';
constexpr char16_t kApostrophe = u'\'';
constexpr TextView kFrenchWordExtras = u"-'";
constexpr size_t kLongestReference = 8;  // "&Aacute;"
constexpr int32_t kByteValues = 256;
constexpr char16_t kByteMask = 0xFF;

inline const std::unordered_map<TextView, char16_t>& EntityMap() {
  static const std::unordered_map<TextView, char16_t> map = [] {
    std::unordered_map<TextView, char16_t> m;
    for (const EntityEntry& e : strEntityTable)
      m.emplace(e.reference, e.character);
    m.emplace(kQuotReference, u'"');
    return m;
  }();
  return map;
}

// The letter class of IsLetterChar for one combination of digits and extra characters,
// by the low 8 bits of a character, as IsLetterChar classes them.
struct LetterClass {
  std::array<bool, kByteValues> is{};
  LetterClass(bool digits, TextView extra) {
    for (int32_t c = 0; c < kByteValues; ++c) {
      is[c] = IsLetterChar(static_cast<char16_t>(c), digits, extra);
    }
  }
  bool operator()(char16_t c) const { return is[c & kByteMask]; }
};

inline const LetterClass* CachedLetterClass(bool digits, TextView extra) {
  static const LetterClass plain(false, u"");
  static const LetterClass plainDigits(true, u"");
  static const LetterClass french(false, kFrenchWordExtras);
  static const LetterClass frenchDigits(true, kFrenchWordExtras);
  if (extra.empty()) return digits ? &plainDigits : &plain;
  if (extra == kFrenchWordExtras) return digits ? &frenchDigits : &french;
  return nullptr;
}

inline char16_t EntityChar(TextView reference) {
  if (reference.size() > kLongestReference) return 0;
  const auto& map = EntityMap();
  const auto it = map.find(reference);
  return it == map.end() ? 0 : it->second;
}

}  // namespace entities

inline void DecodeEntities(Text& line) {
  size_t amp = line.find(entities::kReferenceStart);
  if (amp == Text::npos) return;
  InPlaceRewriter rewriter(line);
  for (;;) {
    const size_t semi = line.find(entities::kReferenceEnd, amp);
    if (semi == Text::npos) break;
    const char16_t c = entities::EntityChar(TextView(line).substr(amp, semi - amp + 1));
    if (c != 0) rewriter.Replace(amp, semi - amp + 1, c);
    amp = line.find(entities::kReferenceStart, semi + 1);
    if (amp == Text::npos) break;
  }
  rewriter.Finish();
}

inline WordCut CutWord(TextView line, int32_t p, int32_t languagePosition) {
  WordCut cut;
  if (p >= 1 && static_cast<size_t>(p) <= line.size()) {
    const entities::LetterClass& cls =
        *entities::CachedLetterClass(false, WordExtraChars(languagePosition));
    const size_t from = static_cast<size_t>(p) - 1;
    const size_t limit = std::min(line.size(), from + static_cast<size_t>(kMaxWordRunLength));
    size_t end = from;
    while (end < limit && cls(line[end]))
      ++end;
    cut.length = static_cast<int32_t>(end - from);
  }
  cut.next = p + cut.length;
  // A short contraction: an apostrophe, one letter other than s, then a space.
  const size_t after = static_cast<size_t>(p - 1) + static_cast<size_t>(cut.length);
  if (after + 2 < line.size() && line[after] == entities::kApostrophe &&
      IsLetterChar(line[after + 1], false, TextView()) && LowerChar(line[after + 1]) != u's' &&
      line[after + 2] == u' ') {
    cut.contraction = true;
    cut.next = p + cut.length + 3;
  }
  return cut;
}

// Replaces the five fixed references and the recognised context tags of a line by their
// characters.
void MarkContextTags(Text& line, bool lowered);
bool PrepareScanLine(Text& line, bool decodeUtf8, bool lower);
int32_t FindCharInSetOrEnd(TextView text, int32_t start, TextView set);
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

namespace detail {

constexpr TextView kCommentOpen = u"<!--";
constexpr TextView kCommentClose = u"-->";
constexpr TextView kStyleOpen = u"<style";
constexpr TextView kStyleClose = u"</style>";
constexpr TextView kScriptOpen = u"<script";
constexpr TextView kScriptClose = u"</script>";
constexpr TextView kMetaStart = u"meta ";
constexpr TextView kFontStart = u"font";
constexpr TextView kFontEnd = u"/font";
constexpr TextView kContentWord = u"content";
constexpr TextView kGreaterThan = u">";
constexpr TextView kSemicolon = u";";
constexpr TextView kSpace = u" ";
constexpr TextView kAngles = u"<>";
constexpr TextView kNumberStart = u"-+0123456789";

struct SectionMarkers {
  TextView opening;
  TextView closing;
};
constexpr SectionMarkers kTableMarkers{u"<table", u"</table>"};
constexpr SectionMarkers kDivMarkers{u"<div", u"</div>"};
constexpr SectionMarkers kSpanMarkers{u"<span", u"</span>"};

// Patterns of the per-line indexes.
enum RawPattern { kRawPhpOpen, kRawPhpClose, kRawContent };
constexpr std::array<TextView, 3> kRawPatterns = {u"<?", u"?>", u"content"};
enum FoldedPattern { kFoldedContent, kFoldedSize };
constexpr std::array<TextView, 2> kFoldedPatterns = {u"content", u"size"};
enum SqueezedPattern { kNameDescription, kNameKeywords, kSqueezedFont, kSqueezedSize };
constexpr std::array<TextView, 4> kSqueezedPatterns = {u"name=\"description\"",
                                                       u"name=\"keywords\"", u"font", u"size"};

constexpr int32_t kByteValues = 256;
constexpr char16_t kByteMask = 0xFF;
constexpr double kLargestFontNumber = 1e6;
constexpr char16_t kAsciiCaseOffset = u'a' - u'A';

inline bool IsMarker(char16_t c) {
  return (c >= marker::kHeading6On && c <= marker::kHeadingOff) || c == marker::kBoldOn ||
         c == marker::kBoldOff || c == marker::kTitleOn || c == marker::kTitleOff ||
         c == marker::kItalicOn || c == marker::kItalicOff;
}

// Characters that only the last step of the walk handles (punctuation, digits, spaces and
// the like): the walk passes over them without looking at anything else.
struct CharClasses {
  std::array<bool, kByteValues> letter{};
  std::array<bool, kByteValues> plain{};
  CharClasses() {
    for (int32_t c = 0; c < kByteValues; ++c) {
      const auto ch = static_cast<char16_t>(c);
      letter[c] = IsLetterChar(ch, false, TextView());
      plain[c] = !letter[c] && ch != u'<' && ch != u'>' && ch != u'&' && !IsMarker(ch);
    }
  }
};

inline const CharClasses& Classes() {
  static const CharClasses classes;
  return classes;
}

// The general lower-case conversion of one character, without a call for ASCII.
inline char16_t Fold(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
  return LowerChar(c);
}

// The first position at or after `from` whose character folds to the lower-case letter
// `lower`; npos when none.
inline size_t NextFoldedChar(TextView text, size_t from, char16_t lower) {
  if (LowersOnlyFromAscii(lower)) {
    return FindEitherChar(text, from, lower, static_cast<char16_t>(lower - kAsciiCaseOffset));
  }
  for (size_t i = from; i < text.size(); ++i) {
    if (Fold(text[i]) == lower) return i;
  }
  return TextView::npos;
}

// Compares at `index` the text, lowered as the case-insensitive matching of tags lowers it,
// with a lower-case pattern.
inline bool MatchesFolded(TextView text, size_t index, TextView lowerPattern) {
  if (index + lowerPattern.size() > text.size()) return false;
  for (size_t j = 0; j < lowerPattern.size(); ++j) {
    if (Fold(text[index + j]) != lowerPattern[j]) return false;
  }
  return true;
}

// The context tags and their markers. Exact forms are compared as they stand; the others
// ignore case.
struct ContextTag {
  TextView tag;
  char16_t marker;
  bool ignoreCase;
};

constexpr ContextTag kLowerContextTags[] = {
    {u"<b>", marker::kBoldOn, false},      {u"</b>", marker::kBoldOff, false},
    {u"<strong>", marker::kBoldOn, false}, {u"</strong>", marker::kBoldOff, false},
    {u"<i>", marker::kItalicOn, false},    {u"</i>", marker::kItalicOff, false},
    {u"<em>", marker::kItalicOn, false},   {u"</em>", marker::kItalicOff, false},
    {u"<title>", marker::kTitleOn, false}, {u"</title>", marker::kTitleOff, false},
    {u"<h1>", marker::kHeading1On, false}, {u"</h1>", marker::kHeadingOff, false},
    {u"<h2>", marker::kHeading2On, false}, {u"</h2>", marker::kHeadingOff, false},
    {u"<h3>", marker::kHeading3On, false}, {u"</h3>", marker::kHeadingOff, false},
    {u"<h4>", marker::kHeading4On, false}, {u"</h4>", marker::kHeadingOff, false},
    {u"<h5>", marker::kHeading5On, false}, {u"</h5>", marker::kHeadingOff, false},
    {u"<h6>", marker::kHeading6On, false}, {u"</h6>", marker::kHeadingOff, false},
};

constexpr ContextTag kPreservedCaseContextTags[] = {
    {u"<B>", marker::kBoldOn, false},      {u"</B>", marker::kBoldOff, false},
    {u"<I>", marker::kItalicOn, false},    {u"</I>", marker::kItalicOff, false},
    {u"<strong>", marker::kBoldOn, true},  {u"</strong>", marker::kBoldOff, true},
    {u"<em>", marker::kItalicOn, true},    {u"</em>", marker::kItalicOff, true},
    {u"<title>", marker::kTitleOn, true},  {u"</title>", marker::kTitleOff, true},
    {u"<H1>", marker::kHeading1On, false}, {u"</H1>", marker::kHeadingOff, false},
    {u"<H2>", marker::kHeading2On, false}, {u"</H2>", marker::kHeadingOff, false},
    {u"<H3>", marker::kHeading3On, false}, {u"</H3>", marker::kHeadingOff, false},
    {u"<H4>", marker::kHeading4On, false}, {u"</H4>", marker::kHeadingOff, false},
    {u"<H5>", marker::kHeading5On, false}, {u"</H5>", marker::kHeadingOff, false},
    {u"<H6>", marker::kHeading6On, false}, {u"</H6>", marker::kHeadingOff, false},
};

constexpr size_t LongestTag() {
  size_t longest = 0;
  for (const ContextTag& t : kLowerContextTags)
    longest = std::max(longest, t.tag.size());
  for (const ContextTag& t : kPreservedCaseContextTags)
    longest = std::max(longest, t.tag.size());
  return longest;
}
constexpr size_t kLongestContextTag = LongestTag();

}  // namespace detail

using namespace detail;

namespace detail {

// Whether the letter after "<" or "</" can begin a context tag (b, strong, i, em, title, h).
inline bool MayBeginContextTag(char16_t c) {
  c = Fold(c);
  return c == u'b' || c == u's' || c == u'i' || c == u'e' || c == u't' || c == u'h';
}

// The context tag at the start of `rest`, if any. `tableFold` is worked out on first need:
// whether LowerCase would lower `line` through the letter tables.
inline const ContextTag* ContextTagAt(TextView rest, bool lowered, const Text& line,
                                      int& tableFold) {
  // A tag ends at its only ">", and only ">" folds to ">": just the tags as long as the
  // text up to the first ">" can stand here.
  const size_t close = rest.substr(0, kLongestContextTag).find(u'>');
  if (close == TextView::npos) return nullptr;
  const size_t length = close + 1;
  for (const ContextTag& t : kLowerContextTags) {
    if (t.tag.size() == length && rest.starts_with(t.tag)) return &t;
  }
  if (lowered) return nullptr;
  for (const ContextTag& t : kPreservedCaseContextTags) {
    if (t.tag.size() != length) continue;
    if (!t.ignoreCase) {
      if (rest.starts_with(t.tag)) return &t;
      continue;
    }
    // Whatever the table lowering matches, the general one matches too: try that first.
    if (!MatchesFolded(rest, 0, t.tag)) continue;
    if (tableFold < 0) tableFold = HasNoAccentedLetter(line) ? 0 : 1;
    if (tableFold == 0) return &t;
    bool same = true;
    for (size_t j = 0; j < t.tag.size() && same; ++j)
      same = TableLowerChar(rest[j]) == t.tag[j];
    if (same) return &t;
  }
  return nullptr;
}

}  // namespace detail

using namespace detail;

inline void MarkContextTags(Text& line, bool lowered) {
  // The five fixed references and the context tags, in one left-to-right pass. Every
  // reference begins with "&" and ends with the first ";", every tag begins with "<" and
  // ends with the first ">", none holds another "&", ";", "<" or ">", and each is replaced
  // by a character that none of them contains: no two can overlap and no replacement can
  // make a new one, so one pass gives the result of the replacements made one after another
  // (the references first, then the tags in their order).
  // The accented letters of the line stay the same while it is rewritten, so the branch of
  // LowerCase for the case-insensitive tags can be chosen at any point of the pass.
  const size_t n = line.size();
  constexpr size_t kShortestTag = 3;  // "<b>"
  int tableFold = -1;
  InPlaceRewriter rewriter(line);
  size_t i = 0;
  while (i < n) {
    const char16_t c = line[i];
    if (c == u'&') {
      const TextView rest = TextView(line).substr(i);
      const EntityEntry* found = nullptr;
      for (const EntityEntry& e : kFixedReplacements) {
        if (rest.starts_with(e.reference)) {
          found = &e;
          break;
        }
      }
      if (found != nullptr) {
        rewriter.Replace(i, found->reference.size(), found->character);
        i += found->reference.size();
        continue;
      }
    } else if (c == u'<' && i + kShortestTag <= n &&
               MayBeginContextTag(line[i + 1] == u'/' ? line[i + 2] : line[i + 1])) {
      const ContextTag* found = ContextTagAt(TextView(line).substr(i), lowered, line, tableFold);
      if (found != nullptr) {
        rewriter.Replace(i, found->tag.size(), found->marker);
        i += found->tag.size();
        continue;
      }
    }
    ++i;
  }
  rewriter.Finish();
}

inline bool PrepareScanLine(Text& line, bool decodeUtf8, bool lower) {
  const size_t first = line.find_first_not_of(u' ');
  if (first == Text::npos) {
    line.clear();
    return false;
  }
  const size_t last = line.find_last_not_of(u' ');
  if (last + 1 < line.size()) line.erase(last + 1);
  if (first > 0) line.erase(0, first);
  if (decodeUtf8) line = DecodeUtf8Latin(line);
  if (lower) ToLowerGeneralInPlace(line);
  MarkContextTags(line, lower);
  DecodeEntities(line);
  line.push_back(u' ');
  return true;
}

inline int32_t FindCharInSetOrEnd(TextView text, int32_t start, TextView set) {
  if (text.empty() || set.empty()) return 0;
  const size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
  const size_t p = from >= text.size() ? TextView::npos : text.find_first_of(set, from);
  return p == TextView::npos ? static_cast<int32_t>(text.size()) + 1 : static_cast<int32_t>(p) + 1;
}

inline int32_t NextNonSpace(TextView text, int32_t position) {
  const auto len = static_cast<int32_t>(text.size());
  int32_t p = std::min(std::max(position, 0), len);
  // p is 1-based; the search starts after it.
  for (size_t i = static_cast<size_t>(p); i < text.size(); ++i) {
    if (text[i] != u' ') return static_cast<int32_t>(i) + 1;
  }
  return len + 1;
}

// ---- MarkupScanner ---------------------------------------------------------------------

inline MarkupScanner::MarkupScanner(const ScanOptions& options, ScanListener& listener)
    : options_(options), listener_(listener) {
  Classes();
}

inline void MarkupScanner::Reset() {
  strScanLine.clear();
  lngScanPos = 1;
  blnInTag = false;
  intAngleDepth = 0;
  blnInComment = false;
  blnInStyle = false;
  blnInScript = false;
  blnInTitle = false;
  blnBold = false;
  blnItalic = false;
  intHeadingWeight = 0;
  blnInDescription = false;
  blnInExistingKeywords = false;
  intTableDepth = 0;
  intDivDepth = 0;
  intSpanDepth = 0;
  intFontSize = kInitialFontSize;
  intFontSizeStack.clear();
  blnInFontTag = false;
  blnFontSizeOff = false;
  strCurrentWord.clear();
  lngTotalWords = 0;
  reachedEnd_ = false;
  LineReplaced();
}

inline OccurrenceContext MarkupScanner::Context() const {
  OccurrenceContext c;
  c.blnInTitle = blnInTitle;
  c.blnInDescription = blnInDescription;
  c.blnInExistingKeywords = blnInExistingKeywords;
  c.blnBold = blnBold;
  c.blnItalic = blnItalic;
  c.intHeadingWeight = intHeadingWeight;
  c.intFontSize = intFontSize;
  c.intTableDepth = intTableDepth;
  c.intDivDepth = intDivDepth;
  c.intSpanDepth = intSpanDepth;
  return c;
}

inline char16_t MarkupScanner::Ch(int32_t position) const {
  if (position < 1 || position > Len()) return 0;
  return strScanLine[static_cast<size_t>(position) - 1];
}

inline bool MarkupScanner::StartsWithNoCase(int32_t position, TextView lowerPattern) const {
  if (position < 1) return false;
  return MatchesFolded(strScanLine, static_cast<size_t>(position) - 1, lowerPattern);
}

inline bool MarkupScanner::StartsWithExact(int32_t position, TextView pattern) const {
  if (position < 1 || position > Len()) return false;
  return TextView(strScanLine).substr(static_cast<size_t>(position) - 1).starts_with(pattern);
}

inline void MarkupScanner::LowerAngleDepth() {
  // Never below 0: a ">" too many must not turn the rest of the document into markup.
  if (intAngleDepth > 0) --intAngleDepth;
}

inline void MarkupScanner::LineReplaced() {
  tableFold_ = -1;
  nextGt_ = nextSemicolon_ = nextSpace_ = nextNumberStart_ = SearchCache{};
  raw_.fill(SearchCache{});
  folded_.fill(SearchCache{});
  squeezed_.fill(SearchCache{});
}

// ---- Searches --------------------------------------------------------------------------

template <class Search>
inline int32_t MarkupScanner::Cached(SearchCache& cache, int32_t position, Search search) {
  const int32_t start = std::max(position, 1);
  if (cache.found == 0 || start < cache.from || start > cache.found) {
    cache.from = start;
    cache.found = start > Len() ? Len() + 1 : search(static_cast<size_t>(start) - 1);
  }
  return cache.found;
}

inline int32_t MarkupScanner::NextChar(SearchCache& cache, TextView set) {
  return Cached(cache, lngScanPos, [&](size_t from) {
    const size_t p = TextView(strScanLine).find_first_of(set, from);
    return p == TextView::npos ? Len() + 1 : static_cast<int32_t>(p) + 1;
  });
}

inline int32_t MarkupScanner::FindNoCaseFrom(int32_t position, TextView lowerPattern) {
  // As InStrNoCase: both sides lowered by LowerCase. The patterns begin with a character
  // that no other character lowers to, so that character is sought exactly.
  if (tableFold_ < 0) tableFold_ = HasNoAccentedLetter(strScanLine) ? 0 : 1;
  const TextView line(strScanLine);
  size_t i = position < 1 ? 0 : static_cast<size_t>(position) - 1;
  while ((i = line.find(lowerPattern.front(), i)) != TextView::npos) {
    if (i + lowerPattern.size() > line.size()) return 0;
    bool same = true;
    for (size_t j = 1; j < lowerPattern.size() && same; ++j) {
      const char16_t c = tableFold_ != 0 ? TableLowerChar(line[i + j]) : LowerChar(line[i + j]);
      same = c == lowerPattern[j];
    }
    if (same) return static_cast<int32_t>(i) + 1;
    ++i;
  }
  return 0;
}

inline int32_t MarkupScanner::NextRaw(int index, int32_t position) {
  const int32_t p = Cached(raw_[index], position, [&](size_t from) {
    const size_t at = TextView(strScanLine).find(kRawPatterns[index], from);
    return at == TextView::npos ? Len() + 1 : static_cast<int32_t>(at) + 1;
  });
  return p > Len() ? 0 : p;
}

inline int32_t MarkupScanner::NextFolded(int index, int32_t position) {
  const int32_t p = Cached(folded_[index], position, [&](size_t from) {
    const TextView pattern = kFoldedPatterns[index];
    const TextView line(strScanLine);
    for (size_t i = from; (i = NextFoldedChar(line, i, pattern.front())) != TextView::npos; ++i) {
      if (MatchesFolded(line, i, pattern)) return static_cast<int32_t>(i) + 1;
    }
    return Len() + 1;
  });
  return p > Len() ? 0 : p;
}

inline int32_t MarkupScanner::NextSqueezed(int index, int32_t position) {
  // The rest of the line from a position, lowered and without its spaces, holds the pattern
  // exactly when an occurrence in the whole line so squeezed starts at or after it.
  const int32_t p = Cached(squeezed_[index], position, [&](size_t from) {
    const TextView pattern = kSqueezedPatterns[index];
    const TextView line(strScanLine);
    // The pattern begins with a letter, so a space never begins it.
    for (size_t i = from; (i = NextFoldedChar(line, i, pattern.front())) != TextView::npos; ++i) {
      size_t j = 1;
      size_t k = i + 1;
      while (j < pattern.size()) {
        while (k < line.size() && line[k] == u' ')
          ++k;
        if (k == line.size() || Fold(line[k]) != pattern[j]) break;
        ++j;
        ++k;
      }
      if (j == pattern.size()) return static_cast<int32_t>(i) + 1;
    }
    return Len() + 1;
  });
  return p > Len() ? 0 : p;
}

// ---- The walk --------------------------------------------------------------------------

inline void MarkupScanner::ScanLine() {
  lngScanPos = 1;
  LineReplaced();
  const CharClasses& classes = Classes();
  for (;;) {
    const bool skippingSection = (intTableDepth > 0 && options_.weights.table == 0) ||
                                 (intDivDepth > 0 && options_.weights.div == 0) ||
                                 (intSpanDepth > 0 && options_.weights.span == 0);
    const int32_t len = Len();
    if (!skippingSection && !blnInFontTag && !blnInComment && !blnInStyle && !blnInScript &&
        !blnInTag) {
      // Plain characters: only the last step would look at them.
      const char16_t* line = strScanLine.data();
      while (lngScanPos < len) {
        const char16_t c = line[lngScanPos - 1];
        const bool plain = c < kByteValues ? classes.plain[c] : !classes.letter[c & kByteMask];
        if (!plain) break;
        ++lngScanPos;
      }
    }

    // End of the line, or only the space the run appended is left.
    if (lngScanPos > len) return;
    if (lngScanPos == len && strScanLine[static_cast<size_t>(len) - 1] == u' ') return;

    // Sections skipped since an earlier line.
    if (skippingSection) {
      if (intTableDepth > 0 && options_.weights.table == 0 && !SkipSection(SectionKind::Table))
        return;
      if (intDivDepth > 0 && options_.weights.div == 0 && !SkipSection(SectionKind::Div)) return;
      if (intSpanDepth > 0 && options_.weights.span == 0 && !SkipSection(SectionKind::Span)) return;
    }

    // A font start tag whose ">" was not in the earlier line.
    if (blnInFontTag) {
      lngScanPos = NextChar(nextGt_, kGreaterThan);
      if (lngScanPos < Len()) {
        LowerAngleDepth();
        ++lngScanPos;
      }
      blnInFontTag = false;
      blnInTag = false;
    }

    // A section skipped whole within this line: look at what follows it from the first step,
    // so that a closing tag right behind it (</div> after a skipped span) is not passed over.
    const int32_t beforeSections = lngScanPos;
    if (Ch(lngScanPos) == u'<' && !HandleSection(SectionKind::Table)) return;
    if (lngScanPos != beforeSections) continue;
    if (Ch(lngScanPos) == u'<' && !HandleSection(SectionKind::Div)) return;
    if (lngScanPos != beforeSections) continue;
    if (Ch(lngScanPos) == u'<' && !HandleSection(SectionKind::Span)) return;
    if (lngScanPos != beforeSections) continue;

    const bool atAngle = Ch(lngScanPos) == u'<';
    if (blnInComment || (atAngle && StartsWithExact(lngScanPos, kCommentOpen))) {
      blnInComment = !SkipToMarker(kCommentClose);
      if (blnInComment) return;
      continue;
    }
    if (blnInStyle || (atAngle && StartsWithNoCase(lngScanPos, kStyleOpen))) {
      blnInStyle = !SkipToMarker(kStyleClose);
      if (blnInStyle) return;
      continue;
    }
    if (blnInScript || (atAngle && StartsWithNoCase(lngScanPos, kScriptOpen))) {
      blnInScript = !SkipToMarker(kScriptClose);
      if (blnInScript) return;
      continue;
    }

    const char16_t c = Ch(lngScanPos);
    if (c == u'<' || blnInTag) {
      blnInTag = true;
      ParseTag();
      continue;
    }
    if (c == u'>') {
      // Usually the end of a description or keywords meta tag whose content was text.
      blnInFontTag = false;
      blnInDescription = false;
      blnInExistingKeywords = false;
      LowerAngleDepth();
      ++lngScanPos;
      continue;
    }
    if (c != 0 && IsMarker(c)) {
      switch (c) {
        case marker::kBoldOn:
          blnBold = true;
          break;
        case marker::kBoldOff:
          blnBold = false;
          break;
        case marker::kItalicOn:
          blnItalic = true;
          break;
        case marker::kItalicOff:
          blnItalic = false;
          break;
        case marker::kTitleOn:
          blnInTitle = true;
          break;
        case marker::kTitleOff:
          blnInTitle = false;
          break;
        case marker::kHeadingOff:
          intHeadingWeight = 0;
          break;
        default:
          intHeadingWeight = kHeadingWeightPerLevel * c;
          break;
      }
      ++lngScanPos;
      continue;
    }
    if (c == u'&') {
      // A reference that was not decoded is passed over whole.
      const int32_t semicolon = NextChar(nextSemicolon_, kSemicolon);
      if (semicolon < NextChar(nextSpace_, kSpace)) {
        lngScanPos = semicolon + 1;
        continue;
      }
    }
    if (c != 0 && (c < kByteValues ? classes.letter[c] : classes.letter[c & kByteMask])) {
      ExtractWord();
      if (!strCurrentWord.empty()) ++lngTotalWords;
      if (listener_.AfterWord()) return;
      continue;
    }
    ++lngScanPos;
  }
}

inline bool MarkupScanner::HandleSection(SectionKind kind) {
  if (Ch(lngScanPos) != u'<') return true;
  const SectionMarkers& m = kind == SectionKind::Table ? kTableMarkers
                            : kind == SectionKind::Div ? kDivMarkers
                                                       : kSpanMarkers;
  int32_t& depth = kind == SectionKind::Table ? intTableDepth
                   : kind == SectionKind::Div ? intDivDepth
                                              : intSpanDepth;
  const int32_t weight = kind == SectionKind::Table ? options_.weights.table
                         : kind == SectionKind::Div ? options_.weights.div
                                                    : options_.weights.span;
  if (StartsWithNoCase(lngScanPos, m.opening)) {
    if (weight > 0) {
      ++depth;  // the tag itself is skipped as markup later
    } else if (!SkipSection(kind)) {
      return false;
    }
  } else if (StartsWithNoCase(lngScanPos, m.closing) && weight > 0 && depth > 0) {
    --depth;
  }
  return true;
}

inline bool MarkupScanner::SkipSection(SectionKind kind) {
  const SectionMarkers& m = kind == SectionKind::Table ? kTableMarkers
                            : kind == SectionKind::Div ? kDivMarkers
                                                       : kSpanMarkers;
  int32_t& depth = kind == SectionKind::Table ? intTableDepth
                   : kind == SectionKind::Div ? intDivDepth
                                              : intSpanDepth;
  const TextView line(strScanLine);
  size_t i = lngScanPos < 1 ? 0 : static_cast<size_t>(lngScanPos) - 1;
  // Only a "<" can begin an opening or a closing text.
  while ((i = line.find(u'<', i)) != TextView::npos) {
    if (MatchesFolded(line, i, m.opening)) {
      ++depth;
      i += m.opening.size();
    } else if (MatchesFolded(line, i, m.closing)) {
      if (depth > 0) --depth;
      i += m.closing.size();
      if (depth == 0) {
        lngScanPos = static_cast<int32_t>(i) + 1;
        return true;
      }
    } else {
      ++i;
    }
  }
  lngScanPos = Len() + 1;
  return false;
}

inline bool MarkupScanner::SkipToMarker(TextView closing) {
  const int32_t p = FindNoCaseFrom(lngScanPos, closing);
  if (p > 0) {
    lngScanPos = p + static_cast<int32_t>(closing.size());
    return true;
  }
  lngScanPos = Len() + 1;
  return false;
}

inline void MarkupScanner::ParseTag() {
  for (;;) {
    if (lngScanPos > Len()) return;  // the tag goes on in the next line
    const char16_t c = Ch(lngScanPos);
    if (c == u'>') {
      LowerAngleDepth();
      ++lngScanPos;
      if (intAngleDepth == 0) {
        blnInTag = false;
        return;
      }
      continue;
    }
    if (c == u'<') {
      ++intAngleDepth;
      lngScanPos = NextNonSpace(strScanLine, lngScanPos);
      if (lngScanPos > Len()) return;
      if (Ch(lngScanPos) == u'?') {
        SkipPhpSection();
        blnInTag = false;
        return;
      }
      if (StartsWithNoCase(lngScanPos, kMetaStart)) {
        HandleMetaTag();
        blnInTag = false;
        return;
      }
      if (StartsWithNoCase(lngScanPos, kFontStart)) {
        HandleFontTag();
        if (blnInTag) continue;
        return;
      }
      if (StartsWithNoCase(lngScanPos, kFontEnd)) {
        HandleFontEnd();
        LowerAngleDepth();
        blnInTag = false;
        return;
      }
      ++lngScanPos;
      continue;
    }
    lngScanPos = FindCharInSetOrEnd(strScanLine, lngScanPos, kAngles);
    if (lngScanPos > Len()) return;
  }
}

inline void MarkupScanner::HandleMetaTag() {
  blnInDescription = false;
  blnInExistingKeywords = false;
  lngScanPos += static_cast<int32_t>(kMetaStart.size());
  if (NextSqueezed(kNameDescription, lngScanPos) > 0) {
    const int32_t p = NextFolded(kFoldedContent, lngScanPos);
    if (p > 0) {
      blnInDescription = true;
      lngScanPos = p + static_cast<int32_t>(kContentWord.size());
    }
  } else if (NextSqueezed(kNameKeywords, lngScanPos) > 0 && options_.weights.existingKeywords > 0) {
    const int32_t p = NextRaw(kRawContent, lngScanPos);
    if (p > 0) {
      blnInExistingKeywords = true;
      lngScanPos = p + static_cast<int32_t>(kContentWord.size());
    }
  }
  if (!blnInDescription && !blnInExistingKeywords) {
    SkipInlinePhp();
    lngScanPos = NextChar(nextGt_, kGreaterThan);
    if (lngScanPos < Len()) {
      LowerAngleDepth();
      ++lngScanPos;
    }
  }
}

inline void MarkupScanner::HandleFontTag() {
  if (NextRaw(kRawPhpOpen, lngScanPos) > 0 || blnFontSizeOff) {
    // PHP in a font tag: font sizes are not followed for the rest of the run.
    SkipInlinePhp();
    const int32_t p = NextChar(nextGt_, kGreaterThan);
    if (p <= Len()) {
      lngScanPos = p + 1;
      LowerAngleDepth();
    }
    blnInFontTag = false;
    blnInTag = false;
    blnFontSizeOff = true;
    return;
  }
  lngScanPos += static_cast<int32_t>(kFontStart.size());
  blnInFontTag = true;
  intFontSizeStack.push_back(intFontSize);
  // The size attribute counts only when the line holds a later "font" (normally the end
  // tag) after it.
  const int32_t s = NextSqueezed(kSqueezedSize, lngScanPos);
  const int32_t f = NextSqueezed(kSqueezedFont, lngScanPos);
  if (s > 0 && f > 0 && s < f) {
    // Only "size" written without inner spaces is read; the scan never moves back.
    const int32_t at = NextFolded(kFoldedSize, lngScanPos);
    if (at > 0) {
      lngScanPos = at + static_cast<int32_t>(kSqueezedPatterns[kSqueezedSize].size());
      lngScanPos = NextChar(nextNumberStart_, kNumberStart);
      if (lngScanPos <= Len()) {
        const char16_t c = Ch(lngScanPos);
        const auto next = static_cast<size_t>(lngScanPos);  // 0-based index after c
        double size = 0;
        if (c == u'+') {
          size = intFontSize + LeadingDecimalNumber(strScanLine, next, kLargestFontNumber);
        } else if (c == u'-') {
          size = intFontSize - LeadingDecimalNumber(strScanLine, next, kLargestFontNumber);
        } else {
          size = LeadingDecimalNumber(strScanLine, next - 1, kLargestFontNumber);
        }
        size = std::nearbyint(size);  // halves to the even neighbour
        if (size < kMinFontSize) size = kMinFontSize;
        if (size > kMaxFontSize) size = kMaxFontSize;
        intFontSize = static_cast<int32_t>(size);
      }
    }
  }
  lngScanPos = NextChar(nextGt_, kGreaterThan);
  if (lngScanPos >= Len()) return;  // the tag ends in a later line
  LowerAngleDepth();
  blnInFontTag = false;
  blnInTag = false;
  ++lngScanPos;
}

inline void MarkupScanner::HandleFontEnd() {
  if (!blnFontSizeOff && !intFontSizeStack.empty()) {
    intFontSize = intFontSizeStack.back();
    intFontSizeStack.pop_back();
  }
  lngScanPos = NextChar(nextGt_, kGreaterThan) + 1;
}

inline void MarkupScanner::SkipPhpSection() {
  int32_t p = NextRaw(kRawPhpClose, lngScanPos + 1);
  if (p > 0) {
    lngScanPos = p + static_cast<int32_t>(kRawPatterns[kRawPhpClose].size());
    LowerAngleDepth();
    return;
  }
  Text next;
  while (listener_.ReadRawLine(next)) {
    Text trimmed = TrimSpaces(next);
    if (trimmed.empty()) continue;
    strScanLine = std::move(trimmed);
    LineReplaced();
    p = NextRaw(kRawPhpClose, 1);
    if (p > 0) {
      lngScanPos = p + static_cast<int32_t>(kRawPatterns[kRawPhpClose].size());
      LowerAngleDepth();
      return;
    }
  }
  // The section is still open at the end of the document: nothing after it is text.
  reachedEnd_ = true;
  lngScanPos = Len() + 1;
}

inline void MarkupScanner::SkipInlinePhp() {
  int32_t search = lngScanPos;
  for (;;) {
    const int32_t open = NextRaw(kRawPhpOpen, search);
    if (open == 0) return;
    const int32_t close =
        NextRaw(kRawPhpClose, open + static_cast<int32_t>(kRawPatterns[kRawPhpOpen].size()));
    if (close == 0) return;
    lngScanPos = close + static_cast<int32_t>(kRawPatterns[kRawPhpClose].size());
    search = lngScanPos;
  }
}

inline void MarkupScanner::ExtractWord() {
  const int32_t p = lngScanPos;
  const WordCut cut = CutWord(strScanLine, p, PositionOf(options_.language));
  if (cut.contraction) {
    strCurrentWord.clear();
    lngScanPos = cut.next;
    return;
  }
  strCurrentWord.assign(strScanLine, static_cast<size_t>(p) - 1, static_cast<size_t>(cut.length));
  listener_.AddWord(strCurrentWord, Context());
  lngScanPos = cut.next;
}

}  // namespace tw::test::literal
