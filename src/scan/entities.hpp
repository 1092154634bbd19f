// Character references of a line turned into characters before the scan, and the cutting of
// words out of a scanned line (letter runs, French hyphens and apostrophes, contractions).
// Lines are held one byte per character of the code page (see text/chars.hpp).
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/chars.hpp"
#include "text/text.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tw {

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

// The longest reference of either table ("&Aacute;").
inline constexpr size_t kLongestReference = 8;

// The character of a reference of strEntityTable, or of "&quot;"; 0 for any other text.
char16_t EntityChar(TextView reference);
// The same as the byte of the character; -1 for any other text.
int EntityByte(std::string_view reference);

// The fixed replacement that begins `text`: its length (0 when none) and the byte it becomes.
struct FixedReference {
  size_t length = 0;
  char byte = 0;
};
FixedReference FixedReferenceAt(std::string_view text);

// Decodes the references of strEntityTable and "&quot;" in one left-to-right pass; a decoded
// "&" never starts a new reference, and a "&" whose text up to the next ";" is no known
// reference is passed over whole.
void DecodeEntities(std::string& line);
// The same over the `n` bytes at `line`; returns their new number.
size_t DecodeEntitiesInPlace(char* line, size_t n);

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

// The word that starts at a letter at index `at` of a line.
struct WordCut {
  size_t length = 0;         // characters of the word
  bool contraction = false;  // a short contraction ("don't "): word and tail are dropped
  size_t next = 0;           // the index where the scan goes on
};

// The letters of words in a language, by byte.
class WordLetters {
 public:
  explicit WordLetters(int32_t languagePosition);

  // A letter: what may begin a word.
  bool IsLetter(unsigned char b) const { return letter_[b]; }
  // What may stand in a word: letters and the language's extra characters.
  bool InWord(unsigned char b) const { return inWord_[b]; }

  WordCut Cut(std::string_view line, size_t at) const {
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    size_t end = at;
    if (at < line.size()) {
      const size_t limit = std::min(line.size(), at + static_cast<size_t>(kMaxWordRunLength));
      end = RunEnd(p, at, limit);
    }
    WordCut cut;
    cut.length = end - at;
    cut.next = end;
    // A short contraction: an apostrophe, one letter other than s, then a space.
    if (end + 2 < line.size() && p[end] == '\'' && letter_[p[end + 1]] &&
        (*lower_)[p[end + 1]] != 's' && p[end + 2] == ' ') {
      cut.contraction = true;
      cut.next = end + 3;
    }
    return cut;
  }

 private:
  // The end of the run of word characters from `at`, at `limit` at most.
  size_t RunEnd(const unsigned char* p, size_t at, size_t limit) const {
    size_t end = at;
#if defined(__SSE2__)
    // Sixteen bytes at a time: the ASCII bytes by range (A-Z and a-z, and the extra
    // characters), a byte of 0x80 or more by the table.
    if (asciiByRange_) {
      const __m128i caseBit = _mm_set1_epi8(kCaseBit);
      const __m128i offset = _mm_set1_epi8(static_cast<char>(kSignFlip - 'a'));
      const __m128i letters = _mm_set1_epi8(static_cast<char>(kSignFlip + kLetterCount));
      while (end + kBlock <= limit) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + end));
        const __m128i shifted = _mm_add_epi8(_mm_or_si128(v, caseBit), offset);
        const __m128i word =
            _mm_or_si128(_mm_cmplt_epi8(shifted, letters),
                         _mm_or_si128(_mm_cmpeq_epi8(v, hyphen_), _mm_cmpeq_epi8(v, apostrophe_)));
        const auto inWord = static_cast<unsigned>(_mm_movemask_epi8(word));
        const auto high = static_cast<unsigned>(_mm_movemask_epi8(v));
        const auto stop = ~(inWord | high) & kBlockMask;
        const unsigned before = stop == 0 ? kBlockMask : (stop & (0u - stop)) - 1;
        for (unsigned h = high & before; h != 0; h &= h - 1) {
          const auto k = static_cast<size_t>(std::countr_zero(h));
          if (!inWord_[p[end + k]]) return end + k;
        }
        if (stop != 0) return end + static_cast<size_t>(std::countr_zero(stop));
        end += kBlock;
      }
    }
#endif
    while (end < limit && inWord_[p[end]])
      ++end;
    return end;
  }

  static constexpr size_t kBlock = 16;
  static constexpr unsigned kBlockMask = 0xFFFF;
  static constexpr int kSignFlip = 0x80;
  static constexpr int kLetterCount = 26;
  static constexpr char kCaseBit = 'a' - 'A';

  ByteSet letter_;
  ByteSet inWord_;
  const ByteTable* lower_;
  // Whether an ASCII byte is in a word exactly when it is a letter or an extra hyphen or
  // apostrophe (the vector path relies on it).
  bool asciiByRange_ = false;
#if defined(__SSE2__)
  // The extra characters sixteen times over ("a" for one the language lacks).
  __m128i hyphen_{};
  __m128i apostrophe_{};
#endif
};

// The word that starts at a letter at index `at` of a line, in a language.
WordCut CutWord(std::string_view line, size_t at, int32_t languagePosition);

}  // namespace tw
