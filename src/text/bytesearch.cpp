// Searches for ASCII words in bytes, piece by piece, in any mix of ASCII case.
#include "text/bytesearch.hpp"

namespace tw {

namespace {

constexpr unsigned char kFirstCapital = 'A';
constexpr unsigned char kLetterCount = 26;
constexpr unsigned char kCaseOffset = 'a' - 'A';

}  // namespace

unsigned char FoldAsciiCase(unsigned char byte) {
  return static_cast<unsigned char>(byte - kFirstCapital) < kLetterCount
             ? static_cast<unsigned char>(byte + kCaseOffset)
             : byte;
}

ByteWordFinder::ByteWordFinder(std::string_view word) : word_(word), fallback_(word.size() + 1) {
  for (char& c : word_)
    c = static_cast<char>(FoldAsciiCase(static_cast<unsigned char>(c)));
  // The usual prefix table: fallback_[m] is the longest proper border of the first m bytes.
  size_t border = 0;
  for (size_t m = 2; m <= word_.size(); ++m) {
    while (border > 0 && word_[m - 1] != word_[border])
      border = fallback_[border];
    if (word_[m - 1] == word_[border]) ++border;
    fallback_[m] = border;
  }
}

size_t ByteWordFinder::FindEnd(std::string_view piece, size_t from) {
  if (word_.empty()) return std::string_view::npos;
  const size_t n = piece.size();
  const char first = word_.front();
  size_t i = from;
  while (i < n) {
    if (matched_ == 0) {
      // Nothing begun: pass quickly over the bytes that cannot begin the word.
      while (i < n &&
             static_cast<char>(FoldAsciiCase(static_cast<unsigned char>(piece[i]))) != first)
        ++i;
      if (i == n) break;
    }
    const char c = static_cast<char>(FoldAsciiCase(static_cast<unsigned char>(piece[i])));
    while (matched_ > 0 && c != word_[matched_])
      matched_ = fallback_[matched_];
    if (c == word_[matched_]) ++matched_;
    ++i;
    if (matched_ == word_.size()) {
      matched_ = fallback_[matched_];
      return i;
    }
  }
  return std::string_view::npos;
}

}  // namespace tw
