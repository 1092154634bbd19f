// String helpers: cuts, set deletion, case-insensitive search and replacement, counting and
// the UTF-8 conversions of text read one byte per character.
#include "text/strproc.hpp"

#include <algorithm>
#include <cstring>
#include <string>

#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "text/textsearch.hpp"

namespace tw {

namespace {

constexpr char16_t kSpace = u' ';
// Replacements allowed beyond one per character of the text before a chain of replacements
// that form the sought text anew is taken as endless.
constexpr size_t kChainAllowance = 1024;

// The lowering that LowerCase applies to a text: the general one when the text holds no
// accented letter, else the letter table.
enum class LowerMode { General, Table };

inline char16_t LowerIn(LowerMode mode, char16_t c) {
  return mode == LowerMode::General ? LowerChar(c) : TableLowerChar(c);
}

int64_t CountAccented(TextView text) {
  int64_t n = 0;
  for (char16_t c : text)
    n += IsAccentedChar(c) ? 1 : 0;
  return n;
}

inline size_t StartIndex(int32_t start) {
  return start < 1 ? 0 : static_cast<size_t>(start) - 1;
}

// Whether `text` holds the lowered `low` under `mode`, starting at `at`.
bool MatchesAt(TextView text, size_t at, TextView low, LowerMode mode) {
  for (size_t j = 0; j < low.size(); ++j) {
    if (LowerIn(mode, text[at + j]) != low[j]) return false;
  }
  return true;
}

// First index at or after `from` where `text` lowered under `mode` holds `low`, or npos.
size_t FindLowered(TextView text, size_t from, TextView low, LowerMode mode) {
  const size_t m = low.size();
  if (m == 0 || text.size() < m) return TextView::npos;
  const char16_t first = low.front();
  for (size_t b = from; b + m <= text.size(); ++b) {
    if (LowerIn(mode, text[b]) == first && MatchesAt(text, b, low, mode)) return b;
  }
  return TextView::npos;
}

// One left-to-right pass that never looks at what it has put in.
Text ReplaceOnePass(TextView text, TextView low, TextView replacement, LowerMode mode) {
  Text out;
  out.reserve(text.size());
  size_t pos = 0;
  for (;;) {
    const size_t b = FindLowered(text, pos, low, mode);
    if (b == TextView::npos) break;
    out.append(text.substr(pos, b - pos));
    out.append(replacement);
    pos = b + low.size();
  }
  out.append(text.substr(pos));
  return out;
}

// Decodes one UTF-8 sequence of byte characters at `i`; returns its length (0 when none)
// and stores its code point.
constexpr int kTwoByteLeadFirst = 0xC2;
constexpr int kThreeByteLeadFirst = 0xE0;
constexpr int kThreeByteLeadLast = 0xEF;
constexpr int kContinuationFirst = 0x80;
constexpr int kContinuationLast = 0xBF;
constexpr int kTwoByteLeadBits = 0x1F;
constexpr int kThreeByteLeadBits = 0x0F;
constexpr int kSixBits = 0x3F;
constexpr uint32_t kThreeByteMinimum = 0x800;
constexpr uint32_t kSurrogateFirst = 0xD800;
constexpr uint32_t kSurrogateLast = 0xDFFF;
constexpr uint32_t kC1ControlFirst = 0x80;
constexpr uint32_t kC1ControlLast = 0x9F;
constexpr uint32_t kLatin1Limit = 0x100;
constexpr char16_t kAsciiLimit = 0x80;

// The sequence's bytes come from `byteAt`, which gives -1 for a character that is no byte.
template <class ByteAt>
size_t ReadUtf8Sequence(size_t size, size_t i, uint32_t& code, ByteAt byteAt) {
  const int lead = byteAt(i);
  if (lead < kTwoByteLeadFirst || lead > kThreeByteLeadLast) return 0;
  const size_t length = lead < kThreeByteLeadFirst ? 2 : 3;
  if (i + length > size) return 0;
  code = static_cast<uint32_t>(lead & (length == 2 ? kTwoByteLeadBits : kThreeByteLeadBits));
  for (size_t k = 1; k < length; ++k) {
    const int b = byteAt(i + k);
    if (b < kContinuationFirst || b > kContinuationLast) return 0;
    code = (code << 6) | static_cast<uint32_t>(b & kSixBits);
  }
  if (length == 3 &&
      (code < kThreeByteMinimum || (code >= kSurrogateFirst && code <= kSurrogateLast))) {
    return 0;
  }
  return length;
}

size_t ReadUtf8Sequence(TextView text, size_t i, uint32_t& code) {
  return ReadUtf8Sequence(text.size(), i, code,
                          [text](size_t k) { return Cp1252FromChar(text[k]); });
}

}  // namespace

Text LeftChars(TextView text, int32_t n) {
  if (n <= 0) return Text();
  return Text(text.substr(0, static_cast<size_t>(n)));
}

void RemoveCharsInSet(Text& text, TextView set, int32_t start) {
  if (set.empty() || text.empty()) return;
  size_t write = StartIndex(start);
  if (write >= text.size()) return;
  for (size_t read = write; read < text.size(); ++read) {
    if (set.find(text[read]) == TextView::npos) text[write++] = text[read];
  }
  text.resize(write);
}

Text RemoveChars(TextView text, TextView set, int32_t start) {
  Text copy(text);
  RemoveCharsInSet(copy, set, start);
  return copy;
}

void RemoveCharsInPlace(Text& text, TextView set) {
  RemoveCharsInSet(text, set, 1);
}

Text RemoveSpaces(TextView text) {
  Text out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c != kSpace) out.push_back(c);
  }
  return out;
}

int32_t InStrNoCase(int32_t start, TextView text, TextView sought) {
  if (sought.empty()) return 0;
  const size_t from = StartIndex(start);
  if (from >= text.size() || text.size() - from < sought.size()) return 0;
  const Text low = LowerCase(sought);
  // The text is lowered the way LowerCase would lower all of it; which way that is matters
  // only for characters the two lowerings treat differently, so the whole text is looked at
  // only when such a character takes part in a comparison.
  int mode = -1;  // unknown
  const size_t m = low.size();
  for (size_t b = from; b + m <= text.size(); ++b) {
    size_t j = 0;
    for (; j < m; ++j) {
      const char16_t c = text[b + j];
      const char16_t general = LowerChar(c);
      char16_t lowered = general;
      if (general != TableLowerChar(c)) {
        if (mode < 0) mode = HasNoAccentedLetter(text) ? 0 : 1;
        if (mode == 1) lowered = c;
      }
      if (lowered != low[j]) break;
    }
    if (j == m) return static_cast<int32_t>(b) + 1;
  }
  return 0;
}

Text ReplaceNoCase(TextView text, TextView sought, TextView replacement) {
  if (sought.empty() || text.size() < sought.size()) return Text(text);
  const Text low = LowerCase(sought);
  const size_t m = low.size();

  // A replacement that holds the sought text however the text lowers would be found again for
  // ever; such a text is replaced in one pass, each occurrence of the original text once.
  const LowerMode originalMode = HasNoAccentedLetter(text) ? LowerMode::General : LowerMode::Table;
  if (FindLowered(replacement, 0, low, LowerMode::General) != TextView::npos &&
      FindLowered(replacement, 0, low, LowerMode::Table) != TextView::npos) {
    return ReplaceOnePass(text, low, replacement, originalMode);
  }
  // A replacement may also form the sought text anew with its neighbours, and such a chain
  // may never end or grow without bound. A run that has made more replacements than the text
  // has characters, plus a small allowance, is stopped and the text replaced in one pass.
  const size_t replacementBudget = text.size() + kChainAllowance;
  size_t replacements = 0;

  // Each replacement searches the current text from its start. Nothing before the last
  // replacement's position less (m - 1) can match, so the search goes on from there: over the
  // tail of what is already built, then over the rest of the input.
  Text storage;
  TextView in = text;
  size_t pos = 0;
  Text out;
  out.reserve(text.size());
  int64_t accented = CountAccented(text);
  const int64_t replacementAccented = CountAccented(replacement);
  bool haveRegion = false;
  size_t regionStart = 0;

  for (;;) {
    const LowerMode mode = accented == 0 ? LowerMode::General : LowerMode::Table;
    bool found = false;
    size_t matchAt = 0;  // index in `out` where the replaced text began
    if (haveRegion) {
      const size_t rest = in.size() - pos;
      for (size_t k = regionStart; k < out.size() && !found; ++k) {
        if (out.size() - k + rest < m) break;
        size_t j = 0;
        for (; j < m; ++j) {
          const size_t at = k + j;
          const char16_t c = at < out.size() ? out[at] : in[pos + (at - out.size())];
          if (LowerIn(mode, c) != low[j]) break;
        }
        if (j == m) {
          const size_t end = k + m;
          if (end <= out.size()) {
            // The match lies within what is built: keep what follows it.
            const Text tail = out.substr(end);
            accented -= CountAccented(TextView(out).substr(k, m));
            out.resize(k);
            out.append(replacement);
            out.append(tail);
          } else {
            const size_t fromIn = end - out.size();
            accented -= CountAccented(TextView(out).substr(k));
            accented -= CountAccented(in.substr(pos, fromIn));
            out.resize(k);
            out.append(replacement);
            pos += fromIn;
          }
          matchAt = k;
          found = true;
        }
      }
    }
    if (!found) {
      const size_t b = FindLowered(in, pos, low, mode);
      if (b == TextView::npos) {
        out.append(in.substr(pos));
        return out;
      }
      out.append(in.substr(pos, b - pos));
      accented -= CountAccented(in.substr(b, m));
      matchAt = out.size();
      out.append(replacement);
      pos = b + m;
    }
    accented += replacementAccented;
    if (++replacements > replacementBudget) {
      return ReplaceOnePass(text, low, replacement, originalMode);
    }
    haveRegion = true;
    regionStart = matchAt >= m - 1 ? matchAt - (m - 1) : 0;

    const LowerMode newMode = accented == 0 ? LowerMode::General : LowerMode::Table;
    if (newMode != mode) {
      // The whole text now lowers the other way: search it again from its start.
      Text current = out;
      current.append(in.substr(pos));
      storage = std::move(current);
      in = storage;
      pos = 0;
      out.clear();
      haveRegion = false;
    }
  }
}

int32_t CountOccurrences(TextView text, TextView sought, bool caseSensitive) {
  if (text.empty() || sought.empty() || sought.size() > text.size()) return 0;
  const size_t m = sought.size();
  int32_t count = 0;
  if (caseSensitive) {
    for (size_t b = 0; b + m <= text.size();) {
      if (text.compare(b, m, sought) == 0) {
        ++count;
        b += m;
      } else {
        ++b;
      }
    }
    return count;
  }
  // Each piece of the text is lowered on its own, so whether it holds an accented letter
  // decides its lowering; a running count of accented letters in the window tells that.
  const Text low = LowerCase(sought);
  int64_t accentedInWindow = CountAccented(text.substr(0, m));
  size_t windowStart = 0;  // the window the count describes
  auto moveWindowTo = [&](size_t b) {
    if (b - windowStart >= m) {
      accentedInWindow = CountAccented(text.substr(b, m));
    } else {
      for (size_t i = windowStart; i < b; ++i) {
        accentedInWindow -= IsAccentedChar(text[i]) ? 1 : 0;
        accentedInWindow += IsAccentedChar(text[i + m]) ? 1 : 0;
      }
    }
    windowStart = b;
  };
  for (size_t b = 0; b + m <= text.size();) {
    moveWindowTo(b);
    const LowerMode mode = accentedInWindow == 0 ? LowerMode::General : LowerMode::Table;
    if (MatchesAt(text, b, low, mode)) {
      ++count;
      b += m;
    } else {
      ++b;
    }
  }
  return count;
}

Text DecodeUtf8Latin(TextView text) {
  Text out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    uint32_t code = 0;
    const size_t length = ReadUtf8Sequence(text, i, code);
    if (length > 0) {
      if (code >= kC1ControlFirst && code <= kC1ControlLast) {
        i += length;  // the control characters vanish
        continue;
      }
      if (code < kLatin1Limit || Cp1252FromChar(static_cast<char16_t>(code)) >= 0) {
        out.push_back(static_cast<char16_t>(code));
        i += length;
        continue;
      }
    }
    out.push_back(text[i]);
    ++i;
  }
  return out;
}

size_t DecodeUtf8LatinBytes(std::string_view bytes, char* out) {
  size_t written = 0;
  size_t i = 0;
  auto keep = [&](size_t from, size_t n) {
    if (out + written != bytes.data() + from) std::memmove(out + written, bytes.data() + from, n);
    written += n;
  };
  while (i < bytes.size()) {
    // ASCII runs stand as they are.
    const size_t high = FindNonAsciiByte(bytes, i);
    if (high == std::string_view::npos) {
      keep(i, bytes.size() - i);
      return written;
    }
    keep(i, high - i);
    i = high;
    uint32_t code = 0;
    const size_t length = ReadUtf8Sequence(bytes.size(), i, code, [bytes](size_t k) {
      return static_cast<int>(static_cast<unsigned char>(bytes[k]));
    });
    if (length > 0) {
      if (code >= kC1ControlFirst && code <= kC1ControlLast) {
        i += length;  // the control characters vanish
        continue;
      }
      const int b = code < kLatin1Limit ? static_cast<int>(code)
                                        : Cp1252FromChar(static_cast<char16_t>(code));
      if (b >= 0) {
        out[written++] = static_cast<char>(b);
        i += length;
        continue;
      }
    }
    out[written++] = bytes[i];
    ++i;
  }
  return written;
}

Text EncodeUtf8Latin(TextView text) {
  const bool plain =
      std::all_of(text.begin(), text.end(), [](char16_t c) { return c < kAsciiLimit; });
  if (plain) return Text(text);
  return DecodeCp1252(ToUtf8(text));
}

int32_t InStr(int32_t start, TextView text, TextView sought) {
  if (sought.empty()) return 0;
  const size_t from = StartIndex(start);
  if (from >= text.size()) return 0;
  const size_t p = text.find(sought, from);
  return p == TextView::npos ? 0 : static_cast<int32_t>(p) + 1;
}

Text ReplaceAll(TextView text, TextView sought, TextView replacement) {
  if (sought.empty()) return Text(text);
  Text out;
  out.reserve(text.size());
  size_t pos = 0;
  for (;;) {
    const size_t p = text.find(sought, pos);
    if (p == TextView::npos) break;
    out.append(text.substr(pos, p - pos));
    out.append(replacement);
    pos = p + sought.size();
  }
  out.append(text.substr(pos));
  return out;
}

Text TrimSpaces(TextView text) {
  const size_t first = text.find_first_not_of(kSpace);
  if (first == TextView::npos) return Text();
  const size_t last = text.find_last_not_of(kSpace);
  return Text(text.substr(first, last - first + 1));
}

std::string_view TrimSpaceBytes(std::string_view bytes) {
  const size_t first = bytes.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::string_view();
  return bytes.substr(first, bytes.find_last_not_of(' ') - first + 1);
}

Text TrimControlAndSpaces(TextView text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && text[first] <= kSpace)
    ++first;
  while (last > first && text[last - 1] <= kSpace)
    --last;
  return Text(text.substr(first, last - first));
}

Text NumberText(int64_t n) {
  return Ascii(std::to_string(n));
}

Text FormatWithLeadingSpace(int64_t n) {
  if (n < 0) return NumberText(n);
  Text text = NumberText(n);
  text.insert(text.begin(), kSpace);
  return text;
}

Text Ascii(std::string_view s) {
  return Text(s.begin(), s.end());
}

}  // namespace tw
