// The Windows-1252 code page over all 256 bytes, and UTF-8 conversions.
#include "text/codepage.hpp"

#include <algorithm>
#include <array>

namespace tw {

namespace {

constexpr unsigned char kFirstSpecialByte = 0x80;
constexpr unsigned char kLastSpecialByte = 0x9F;
constexpr char16_t kAsciiLimit = 0x80;
constexpr char16_t kLatin1Start = 0xA0;
constexpr char16_t kLatin1Limit = 0x100;
constexpr char kUnknownByte = '?';
constexpr char16_t kReplacementChar = 0xFFFD;

// The characters of bytes 0x80-0x9F; the five bytes the code page leaves open keep their code.
constexpr std::array<char16_t, 32> kSpecialChars = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr size_t kByteCount = 256;
constexpr size_t kDecodeChunk = 1024;


// UTF-8 lead and continuation bytes.
constexpr uint32_t kOneByteLimit = 0x80;
constexpr uint32_t kTwoByteLimit = 0x800;
constexpr uint32_t kThreeByteLimit = 0x10000;
constexpr uint32_t kCodeLimit = 0x110000;
constexpr unsigned char kTwoByteLead = 0xC0;
constexpr unsigned char kThreeByteLead = 0xE0;
constexpr unsigned char kFourByteLead = 0xF0;
constexpr unsigned char kContinuation = 0x80;
constexpr unsigned char kContinuationMask = 0xC0;
constexpr unsigned char kSixBits = 0x3F;
constexpr char16_t kHighSurrogate = 0xD800;
constexpr char16_t kLowSurrogate = 0xDC00;
constexpr char16_t kSurrogateEnd = 0xE000;
constexpr uint32_t kSurrogateBase = 0x10000;
constexpr int kSurrogateShift = 10;
constexpr uint32_t kTenBits = 0x3FF;

void AppendUtf8(uint32_t code, std::string& out) {
  if (code < kOneByteLimit) {
    out.push_back(static_cast<char>(code));
  } else if (code < kTwoByteLimit) {
    out.push_back(static_cast<char>(kTwoByteLead | (code >> 6)));
    out.push_back(static_cast<char>(kContinuation | (code & kSixBits)));
  } else if (code < kThreeByteLimit) {
    out.push_back(static_cast<char>(kThreeByteLead | (code >> 12)));
    out.push_back(static_cast<char>(kContinuation | ((code >> 6) & kSixBits)));
    out.push_back(static_cast<char>(kContinuation | (code & kSixBits)));
  } else {
    out.push_back(static_cast<char>(kFourByteLead | (code >> 18)));
    out.push_back(static_cast<char>(kContinuation | ((code >> 12) & kSixBits)));
    out.push_back(static_cast<char>(kContinuation | ((code >> 6) & kSixBits)));
    out.push_back(static_cast<char>(kContinuation | (code & kSixBits)));
  }
}

void AppendUtf16(uint32_t code, Text& out) {
  if (code < kThreeByteLimit) {
    out.push_back(static_cast<char16_t>(code));
  } else {
    const uint32_t v = code - kSurrogateBase;
    out.push_back(static_cast<char16_t>(kHighSurrogate + (v >> kSurrogateShift)));
    out.push_back(static_cast<char16_t>(kLowSurrogate + (v & kTenBits)));
  }
}

}  // namespace

// The character of every byte.
constexpr std::array<char16_t, kByteCount> kCp1252Chars = [] {
  std::array<char16_t, kByteCount> chars{};
  for (size_t b = 0; b < kByteCount; ++b) {
    chars[b] = b >= kFirstSpecialByte && b <= kLastSpecialByte
                   ? kSpecialChars[b - kFirstSpecialByte]
                   : static_cast<char16_t>(b);
  }
  return chars;
}();


int Cp1252FromChar(char16_t c) {
  if (c < kAsciiLimit || (c >= kLatin1Start && c < kLatin1Limit)) return c;
  for (size_t i = 0; i < kSpecialChars.size(); ++i) {
    if (kSpecialChars[i] == c) return static_cast<int>(kFirstSpecialByte + i);
  }
  return -1;
}

void DecodeCp1252Append(std::string_view bytes, Text& out) {
  // Through a small buffer, so that the text is written once rather than filled first.
  std::array<char16_t, kDecodeChunk> chunk;
  while (!bytes.empty()) {
    const size_t n = std::min(bytes.size(), chunk.size());
    for (size_t i = 0; i < n; ++i)
      chunk[i] = kCp1252Chars[static_cast<unsigned char>(bytes[i])];
    out.append(chunk.data(), n);
    bytes.remove_prefix(n);
  }
}

Text DecodeCp1252(std::string_view bytes) {
  Text out;
  DecodeCp1252Append(bytes, out);
  return out;
}

std::string EncodeCp1252(TextView text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    const int b = Cp1252FromChar(c);
    out.push_back(b < 0 ? kUnknownByte : static_cast<char>(b));
  }
  return out;
}

std::string EncodeCp1252Ncr(TextView text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const int b = Cp1252FromChar(c);
    if (b >= 0) {
      out.push_back(static_cast<char>(b));
      continue;
    }
    uint32_t code = c;
    // A surrogate pair is one character and gets one reference.
    if (c >= kHighSurrogate && c < kLowSurrogate && i + 1 < text.size() &&
        text[i + 1] >= kLowSurrogate && text[i + 1] < kSurrogateEnd) {
      code = kSurrogateBase + ((static_cast<uint32_t>(c - kHighSurrogate) << kSurrogateShift) |
                               (text[i + 1] - kLowSurrogate));
      ++i;
    }
    out += "&#";
    out += std::to_string(code);
    out += ';';
  }
  return out;
}

std::string EncodeForDocument(TextView text, bool utf8Document) {
  return utf8Document ? ToUtf8(text) : EncodeCp1252Ncr(text);
}

std::string ToUtf8(TextView text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    uint32_t code = c;
    if (c >= kHighSurrogate && c < kSurrogateEnd) {
      code = kReplacementChar;
      if (c < kLowSurrogate && i + 1 < text.size() && text[i + 1] >= kLowSurrogate &&
          text[i + 1] < kSurrogateEnd) {
        code = kSurrogateBase + ((static_cast<uint32_t>(c - kHighSurrogate) << kSurrogateShift) |
                                 (text[i + 1] - kLowSurrogate));
        ++i;
      }
    }
    AppendUtf8(code, out);
  }
  return out;
}

namespace {

constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kEscapeFirst = 0xDC80;
constexpr char16_t kEscapeLast = 0xDCFF;
constexpr unsigned char kTwoByteMask = 0xE0;
constexpr unsigned char kThreeByteMask = 0xF0;
constexpr unsigned char kFourByteMask = 0xF8;
constexpr unsigned char kTwoByteBits = 0x1F;
constexpr unsigned char kThreeByteBits = 0x0F;
constexpr unsigned char kFourByteBits = 0x07;

// Decodes UTF-8; a broken sequence gives U+FFFD, or with `escape` one U+DC80-U+DCFF per byte.
Text DecodeUtf8(std::string_view bytes, bool escape) {
  Text out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b < kOneByteLimit) {
      out.push_back(b);
      ++i;
      continue;
    }
    size_t need = 0;
    uint32_t code = 0;
    uint32_t minimum = 0;
    if ((b & kTwoByteMask) == kTwoByteLead) {
      need = 1;
      code = b & kTwoByteBits;
      minimum = kOneByteLimit;
    } else if ((b & kThreeByteMask) == kThreeByteLead) {
      need = 2;
      code = b & kThreeByteBits;
      minimum = kTwoByteLimit;
    } else if ((b & kFourByteMask) == kFourByteLead) {
      need = 3;
      code = b & kFourByteBits;
      minimum = kThreeByteLimit;
    } else {
      out.push_back(escape ? static_cast<char16_t>(kEscapeBase + b) : kReplacementChar);
      ++i;
      continue;
    }
    size_t k = 1;
    for (; k <= need && i + k < bytes.size(); ++k) {
      const unsigned char cb = static_cast<unsigned char>(bytes[i + k]);
      if ((cb & kContinuationMask) != kContinuation) break;
      code = (code << 6) | (cb & kSixBits);
    }
    if (k <= need || code < minimum || code >= kCodeLimit ||
        (code >= kHighSurrogate && code < kSurrogateEnd)) {
      // A broken sequence: one replacement character for the bytes taken so far, or each
      // of them kept.
      if (escape) {
        for (size_t e = 0; e < k && i + e < bytes.size(); ++e) {
          out.push_back(
              static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[i + e])));
        }
      } else {
        out.push_back(kReplacementChar);
      }
      i += k;
      continue;
    }
    AppendUtf16(code, out);
    i += need + 1;
  }
  return out;
}

}  // namespace

Text FromUtf8(std::string_view bytes) {
  return DecodeUtf8(bytes, false);
}

Text FromUtf8FileName(std::string_view bytes) {
  return DecodeUtf8(bytes, true);
}

std::string ToUtf8FileName(TextView text) {
  std::string out;
  out.reserve(text.size());
  size_t from = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    // The low half of a surrogate pair belongs to its character, not to an escaped byte.
    const bool lowHalf = i > 0 && text[i - 1] >= kHighSurrogate && text[i - 1] < kLowSurrogate;
    if (!lowHalf && text[i] >= kEscapeFirst && text[i] <= kEscapeLast) {
      out += ToUtf8(text.substr(from, i - from));
      out.push_back(static_cast<char>(text[i] - kEscapeBase));
      from = i + 1;
    }
  }
  out += ToUtf8(text.substr(from));
  return out;
}

}  // namespace tw
