// Quick searches over long lines and byte streams: ASCII words in the bytes of a document
// read through the code page, in any mix of case and piece by piece, and single characters
// in long texts.
#pragma once

#include <bit>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/text.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tw {

// A byte with A-Z lowered. Through the code page, the general lower-case form of a byte's
// character is an ASCII character only for an ASCII byte, and only A-Z change among those,
// so an ASCII word is found in the lowered text exactly where it is found in bytes folded so.
inline unsigned char FoldAsciiCase(unsigned char byte) {
  constexpr unsigned char kLetters = 'Z' - 'A' + 1;
  constexpr unsigned char kCaseBit = 'a' - 'A';
  return static_cast<unsigned char>(byte - 'A') < kLetters
             ? static_cast<unsigned char>(byte + kCaseBit)
             : byte;
}

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

// The same over bytes: the first position at or after `from` holding one of the bytes;
// npos when none. Sixteen bytes at a time where the processor allows.
inline size_t FindEitherByte(std::string_view bytes, size_t from, char a, char b);
inline size_t FindAnyOfThreeBytes(std::string_view bytes, size_t from, char a, char b, char c);
// The first position at or after `from` holding a byte of 0x80 or more; npos when none.
inline size_t FindNonAsciiByte(std::string_view bytes, size_t from);

// Whether a lower-case ASCII letter is the general lower-case form of no character but
// itself and its capital (true for every letter but i and k).
bool LowersOnlyFromAscii(char16_t lowerLetter);

namespace bytesearch {

#if defined(__SSE2__)
inline constexpr size_t kVectorBytes = sizeof(__m128i);

inline __m128i Load(const char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The lowest set bit of a byte mask as a position.
inline size_t FirstOf(int mask) {
  return static_cast<size_t>(std::countr_zero(static_cast<unsigned>(mask)));
}
#endif

// The first position at or after `from` of a byte that `hit` accepts: `mask` gives the bit
// mask of the hits among sixteen bytes.
template <class Mask, class Hit>
size_t Find(std::string_view bytes, size_t from, Mask mask, Hit hit) {
  const char* data = bytes.data();
  const size_t n = bytes.size();
  size_t i = from;
#if defined(__SSE2__)
  for (; i + kVectorBytes <= n; i += kVectorBytes) {
    const int m = mask(Load(data + i));
    if (m != 0) return i + FirstOf(m);
  }
#else
  (void)mask;
#endif
  for (; i < n; ++i) {
    if (hit(data[i])) return i;
  }
  return std::string_view::npos;
}

}  // namespace bytesearch

inline size_t FindEitherByte(std::string_view bytes, size_t from, char a, char b) {
#if defined(__SSE2__)
  const __m128i va = _mm_set1_epi8(a);
  const __m128i vb = _mm_set1_epi8(b);
  auto mask = [&](__m128i v) {
    return _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb)));
  };
#else
  auto mask = [](int) { return 0; };
#endif
  return bytesearch::Find(bytes, from, mask, [&](char c) { return c == a || c == b; });
}

inline size_t FindAnyOfThreeBytes(std::string_view bytes, size_t from, char a, char b, char c) {
#if defined(__SSE2__)
  const __m128i va = _mm_set1_epi8(a);
  const __m128i vb = _mm_set1_epi8(b);
  const __m128i vc = _mm_set1_epi8(c);
  auto mask = [&](__m128i v) {
    return _mm_movemask_epi8(_mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb)), _mm_cmpeq_epi8(v, vc)));
  };
#else
  auto mask = [](int) { return 0; };
#endif
  return bytesearch::Find(bytes, from, mask, [&](char x) { return x == a || x == b || x == c; });
}

inline size_t FindNonAsciiByte(std::string_view bytes, size_t from) {
#if defined(__SSE2__)
  auto mask = [](__m128i v) { return _mm_movemask_epi8(v); };
#else
  auto mask = [](int) { return 0; };
#endif
  return bytesearch::Find(bytes, from, mask,
                          [](char x) { return static_cast<unsigned char>(x) >= 0x80; });
}

}  // namespace tw
