// The remembered forward searches over the current line.
//
// The line holds characters of the code page, one byte each. Through the code page only
// ASCII characters lower to ASCII characters (and A-Z to a-z, the rest to themselves), and
// every pattern here is ASCII: comparing a pattern with the lowered line is comparing it with
// the line folded by FoldAsciiCase, whichever of the two lowerings a search stands for.
#include "scan/linesearch.hpp"

#include <algorithm>

#include "text/textsearch.hpp"

namespace tw {

namespace {

constexpr std::array<std::string_view, LineSearches::kRawCount> kRawPatterns = {"<?", "?>",
                                                                                "content"};
constexpr std::array<std::string_view, LineSearches::kFoldedCount> kFoldedPatterns = {"content",
                                                                                      "size"};
constexpr std::array<std::string_view, LineSearches::kSqueezedCount> kSqueezedPatterns = {
    "name=\"description\"", "name=\"keywords\"", "font", "size"};
constexpr std::array<char, LineSearches::kCharCount - 1> kSingleChars = {'>', ';', ' '};
constexpr char kCaseBit = 'a' - 'A';

unsigned char Fold(char c) {
  return FoldAsciiCase(static_cast<unsigned char>(c));
}

// The first position at or after `from` whose character folds to the lower-case letter
// `lower`; npos when none.
size_t NextFoldedLetter(std::string_view line, size_t from, char lower) {
  return FindEitherByte(line, from, lower, static_cast<char>(lower - kCaseBit));
}

bool IsNumberStart(char c) {
  return c == '-' || c == '+' || (c >= '0' && c <= '9');
}

}  // namespace

size_t FindNoCase(std::string_view line, size_t from, std::string_view lowerPattern) {
  for (size_t i = from; (i = line.find(lowerPattern.front(), i)) != std::string_view::npos; ++i) {
    if (line.size() - i < lowerPattern.size()) return std::string_view::npos;
    if (MatchesFolded(line, i, lowerPattern)) return i;
  }
  return std::string_view::npos;
}

std::string_view LineSearches::RawPattern(Raw which) {
  return kRawPatterns[which];
}

std::string_view LineSearches::SqueezedPattern(Squeezed which) {
  return kSqueezedPatterns[which];
}

void LineSearches::Reset(std::string_view line) {
  line_ = line;
  ++lineNumber_;
}

template <class Search>
size_t LineSearches::Cached(Remembered& memory, size_t from, Search search) {
  // Nothing lies between where the last search began and what it found: a later start up to
  // that find gives the same answer.
  if (memory.line != lineNumber_ || from < memory.from || from > memory.found) {
    memory.from = from;
    memory.found = from >= line_.size() ? line_.size() : std::min(search(from), line_.size());
    memory.line = lineNumber_;
  }
  return memory.found;
}

size_t LineSearches::Next(Chars which, size_t from) {
  return Cached(chars_[which], from, [&](size_t start) {
    if (which == kNumberStart) {
      for (size_t i = start; i < line_.size(); ++i) {
        if (IsNumberStart(line_[i])) return i;
      }
      return line_.size();
    }
    return line_.find(kSingleChars[which], start);
  });
}

size_t LineSearches::Next(Raw which, size_t from) {
  return Cached(raw_[which], from,
                [&](size_t start) { return line_.find(kRawPatterns[which], start); });
}

size_t LineSearches::Next(Folded which, size_t from) {
  return Cached(folded_[which], from, [&](size_t start) {
    const std::string_view pattern = kFoldedPatterns[which];
    for (size_t i = start;
         (i = NextFoldedLetter(line_, i, pattern.front())) != std::string_view::npos; ++i) {
      if (MatchesFolded(line_, i, pattern)) return i;
    }
    return line_.size();
  });
}

size_t LineSearches::Next(Squeezed which, size_t from) {
  // The rest of the line from a position, lowered and without its spaces, holds the pattern
  // exactly when an occurrence in the whole line so squeezed starts at or after it.
  return Cached(squeezed_[which], from, [&](size_t start) {
    const std::string_view pattern = kSqueezedPatterns[which];
    const size_t anchor = pattern.find('=');
    if (anchor != std::string_view::npos) return NextSqueezedAround(pattern, anchor, start);
    // The pattern begins with a letter, so a space never begins it.
    for (size_t i = start;
         (i = NextFoldedLetter(line_, i, pattern.front())) != std::string_view::npos; ++i) {
      if (SqueezedAfter(pattern, 1, i + 1) != std::string_view::npos) return i;
    }
    return line_.size();
  });
}

size_t LineSearches::SqueezedAfter(std::string_view pattern, size_t j, size_t k) const {
  for (; j < pattern.size(); ++j, ++k) {
    while (k < line_.size() && line_[k] == ' ')
      ++k;
    if (k == line_.size() || Fold(line_[k]) != static_cast<unsigned char>(pattern[j])) {
      return std::string_view::npos;
    }
  }
  return k;
}

size_t LineSearches::NextSqueezedAround(std::string_view pattern, size_t anchor,
                                        size_t start) const {
  // Found by its anchor, a character rarer than its first: the part before the anchor is
  // read backwards from it, and gives the one place where an occurrence can begin. Later
  // anchors give later beginnings, as only the pattern's letters and spaces can stand
  // between an occurrence's first character and its anchor.
  for (size_t a = line_.find(pattern[anchor], start); a != std::string_view::npos;
       a = line_.find(pattern[anchor], a + 1)) {
    size_t k = a;
    size_t j = anchor;
    bool before = true;
    while (j > 0) {
      --j;
      do {
        if (k == start) {
          before = false;
          break;
        }
        --k;
      } while (line_[k] == ' ');
      if (!before || Fold(line_[k]) != static_cast<unsigned char>(pattern[j])) {
        before = false;
        break;
      }
    }
    if (before && SqueezedAfter(pattern, anchor + 1, a + 1) != std::string_view::npos) return k;
  }
  return line_.size();
}
}  // namespace tw
