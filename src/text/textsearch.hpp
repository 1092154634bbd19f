// Quick searches over long lines and byte streams: ASCII words in the bytes of a document
// read through the code page, in any mix of case and piece by piece, and single characters
// in long texts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/text.hpp"

namespace tw {

// A byte with A-Z lowered. Through the code page, the general lower-case form of a byte's
// character is an ASCII character only for an ASCII byte, and only A-Z change among those,
// so an ASCII word is found in the lowered text exactly where it is found in bytes folded so.
unsigned char FoldAsciiCase(unsigned char byte);

// Finds a word in bytes that arrive piece by piece, in any mix of ASCII case; a match may
// span pieces. Each byte is looked at once, so a long text costs linear time.
class ByteWordFinder {
 public:
  // The word is folded with FoldAsciiCase; an empty word is never found.
  explicit ByteWordFinder(std::string_view word);

  // Goes on with the bytes of `piece` from `from`: the position in `piece` just after the
  // next match, or npos when the piece ends first (a partial match waits for the next piece).
  size_t FindEnd(std::string_view piece, size_t from = 0);
  // Forgets a partial match.
  void Reset() { matched_ = 0; }

 private:
  std::string word_;
  // For each matched length, the longest shorter start of the word that also ends it.
  std::vector<size_t> fallback_;
  size_t matched_ = 0;
};

// The first position at or after `from` (0-based) that holds `a` or `b`; npos when none.
size_t FindEitherChar(TextView text, size_t from, char16_t a, char16_t b);

// Whether a lower-case ASCII letter is the general lower-case form of no character but
// itself and its capital (true for every letter but i and k).
bool LowersOnlyFromAscii(char16_t lowerLetter);

}  // namespace tw
