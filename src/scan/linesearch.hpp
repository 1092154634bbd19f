// The searches of "the rest of the line" that the scanner's tags ask for. Each remembers the
// position it last searched from and what it found there: no occurrence lies between the two,
// so while the walk over a line moves forward a search is answered from what it remembers
// and the whole walk costs linear time, however many tags ask. Positions are 0-based; a
// search that finds nothing gives the length of the line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/textsearch.hpp"

namespace tw {

class LineSearches {
 public:
  // Patterns sought as they stand, in the line lowered, and in the line lowered and without
  // its spaces (found by the position of their first character).
  enum Raw { kPhpOpen, kPhpClose, kContent, kRawCount };
  enum Folded { kFoldedContent, kFoldedSize, kFoldedCount };
  enum Squeezed { kNameDescription, kNameKeywords, kFont, kSize, kSqueezedCount };
  // Single characters and the set that begins a font size.
  enum Chars { kGreaterThan, kSemicolon, kSpace, kNumberStart, kCharCount };

  static std::string_view RawPattern(Raw which);
  static std::string_view SqueezedPattern(Squeezed which);

  // Forgets everything: the line has changed.
  void Reset(std::string_view line);

  size_t Next(Chars which, size_t from);
  size_t Next(Raw which, size_t from);
  size_t Next(Folded which, size_t from);
  size_t Next(Squeezed which, size_t from);

 private:
  // What a search found, for the line of that number (see line_): a search of another line
  // is forgotten.
  struct Remembered {
    size_t from = 0;
    size_t found = 0;
    uint64_t line = 0;
  };
  template <class Search>
  size_t Cached(Remembered& memory, size_t from, Search search);
  // Where the squeezed pattern, matched from its character `j` on at the line's `k`, ends;
  // npos when it does not match there.
  size_t SqueezedAfter(std::string_view pattern, size_t j, size_t k) const;
  // The first occurrence at or after `start` of a squeezed pattern with the given anchor.
  size_t NextSqueezedAround(std::string_view pattern, size_t anchor, size_t start) const;

  std::string_view line_;
  // The number of the line: Reset forgets every search by counting up, without touching them.
  uint64_t lineNumber_ = 1;
  std::array<Remembered, kCharCount> chars_;
  std::array<Remembered, kRawCount> raw_;
  std::array<Remembered, kFoldedCount> folded_;
  std::array<Remembered, kSqueezedCount> squeezed_;
};

// The first position at or after `from` where `lowerPattern` stands in the line lowered (as
// the case-insensitive search of the closing tags lowers it); npos when none. The pattern
// begins with a character that nothing else lowers to.
size_t FindNoCase(std::string_view line, size_t from, std::string_view lowerPattern);
// Whether `lowerPattern` stands at `at` in the line lowered.
inline bool MatchesFolded(std::string_view line, size_t at, std::string_view lowerPattern) {
  if (at > line.size() || line.size() - at < lowerPattern.size()) return false;
  for (size_t j = 0; j < lowerPattern.size(); ++j) {
    if (FoldAsciiCase(static_cast<unsigned char>(line[at + j])) !=
        static_cast<unsigned char>(lowerPattern[j])) {
      return false;
    }
  }
  return true;
}

}  // namespace tw
