// Character references of a line turned into characters before the scan, and the cutting of
// words out of a scanned line (letter runs, French hyphens and apostrophes, contractions).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "text/text.hpp"

namespace tw {

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

struct EntityEntry {
  TextView reference;
  char16_t character;
};

// The five references replaced before the context tags are marked, in their order.
inline constexpr int32_t kNumFixedReplacements = 5;
extern const std::array<EntityEntry, kNumFixedReplacements> kFixedReplacements;

// The references that DecodeEntities turns into characters.
inline constexpr int32_t kNumEntities = 67;
extern const std::array<EntityEntry, kNumEntities> strEntityTable;

// The character of a reference of the fixed replacements ("&nbsp;" .. "&raquo;"), or 0.
char16_t FixedReplacementChar(TextView reference);
// The character of a reference of strEntityTable, or of "&quot;"; 0 for any other text.
char16_t EntityChar(TextView reference);

// Replaces the five fixed references, exact comparison, every occurrence.
void ReplaceFixedReferences(Text& line);

// Decodes the references of strEntityTable and "&quot;" in one left-to-right pass; a decoded
// "&" never starts a new reference, and a "&" whose text up to the next ";" is no known
// reference is passed over whole.
void DecodeEntities(Text& line);

// The longest a word run may be.
inline constexpr int32_t kMaxWordRunLength = 65000;

// What stands right after a word run.
struct WordRunEnd {
  bool semicolon = false;
  bool fullStop = false;
  bool doubleQuote = false;
  bool tab = false;
};

// The number of consecutive characters from `start` (1-based) that IsLetterChar accepts
// with `digits` and `extra`; at most kMaxWordRunLength; 0 when start is outside the text.
int32_t WordRunLength(TextView text, int32_t start, bool digits, TextView extra,
                      WordRunEnd* end = nullptr);

// The word characters beyond letters: hyphen and apostrophe for French, none otherwise.
TextView WordExtraChars(int32_t languagePosition);

// The word that starts at a letter at position `p` (1-based) of a line.
struct WordCut {
  int32_t length = 0;        // characters of the word
  bool contraction = false;  // a short contraction ("don't "): word and tail are dropped
  int32_t next = 0;          // the position where the scan goes on
};
WordCut CutWord(TextView line, int32_t p, int32_t languagePosition);

}  // namespace tw
