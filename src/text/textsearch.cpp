// Quick searches: ASCII words in bytes piece by piece, single characters in long texts. The
// fast paths look at sixteen bytes (where the processor allows) or four characters at a time
// and leave every decision to the plain comparisons.
#include "text/textsearch.hpp"

#include <array>
#include <cstdint>
#include <cstring>

#include "text/chars.hpp"

namespace tw {

namespace {

constexpr unsigned char kCaseBit = 'a' - 'A';
constexpr char16_t kAsciiEnd = 0x80;
constexpr size_t kCharCount = 0x10000;

// Eight byte lanes or four character lanes in one 64-bit word.
constexpr uint64_t kCharLanes = 0x0001000100010001u;
constexpr uint64_t kCharHighBits = 0x8000800080008000u;
constexpr size_t kCharsPerWord = sizeof(uint64_t) / sizeof(char16_t);

// Whether some lane of the word is zero (exact for the word as a whole).
bool HasZeroChar(uint64_t v) {
  return ((v - kCharLanes) & ~v & kCharHighBits) != 0;
}

bool IsLowerAsciiLetter(char c) {
  return c >= 'a' && c <= 'z';
}

}  // namespace

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
  const char* data = piece.data();
  const char first = word_.front();
  // The bytes that fold to the first byte: a lower-case letter and its capital, or itself.
  const char firstCapital = IsLowerAsciiLetter(first) ? static_cast<char>(first - kCaseBit) : first;
  size_t i = from;
  while (i < n) {
    if (matched_ == 0) {
      // Nothing begun: pass quickly over the bytes that cannot begin the word.
      i = FindEitherByte(piece, i, first, firstCapital);
      if (i == std::string_view::npos) break;
    }
    const char c = static_cast<char>(FoldAsciiCase(static_cast<unsigned char>(data[i])));
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

size_t FindEitherChar(TextView text, size_t from, char16_t a, char16_t b) {
  const size_t n = text.size();
  const char16_t* data = text.data();
  const uint64_t aLanes = a * kCharLanes;
  const uint64_t bLanes = b * kCharLanes;
  size_t i = from;
  uint64_t w = 0;
  while (i + kCharsPerWord <= n) {
    std::memcpy(&w, data + i, sizeof w);
    if (HasZeroChar(w ^ aLanes) || HasZeroChar(w ^ bLanes)) break;
    i += kCharsPerWord;
  }
  for (; i < n; ++i) {
    if (data[i] == a || data[i] == b) return i;
  }
  return TextView::npos;
}

bool LowersOnlyFromAscii(char16_t lowerLetter) {
  static const std::array<bool, kAsciiEnd> onlyAscii = [] {
    std::array<bool, kAsciiEnd> table{};
    table.fill(true);
    for (size_t c = kAsciiEnd; c < kCharCount; ++c) {
      const char16_t lower = LowerChar(static_cast<char16_t>(c));
      if (lower < kAsciiEnd) table[lower] = false;
    }
    return table;
  }();
  return lowerLetter < kAsciiEnd && IsLowerAsciiLetter(static_cast<char>(lowerLetter)) &&
         onlyAscii[lowerLetter];
}

}  // namespace tw
