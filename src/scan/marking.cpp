// Preparing a line for the scanner, and the one-pass marking of its context tags.
#include "scan/marking.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <exception>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "scan/entities.hpp"
#include "text/chars.hpp"
#include "text/strproc.hpp"
#include "text/textsearch.hpp"

namespace tw {

namespace {

constexpr size_t kShortestTag = 3;  // "<b>"
constexpr size_t kLongestTag = 9;   // "</strong>"
constexpr char kSpace = ' ';
// From this length on, a line prepared where it lies is marked in two halves at once (one
// line of a document without line breaks): below it, starting a thread costs more.
constexpr size_t kMarkInHalvesFrom = size_t{1} << 20;

// Whether the letter after "<" or "</" can begin a context tag (b, strong, i, em, title, h).
bool MayBeginContextTag(char c) {
  switch (FoldAsciiCase(static_cast<unsigned char>(c))) {
    case 'b':
    case 's':
    case 'i':
    case 'e':
    case 't':
    case 'h':
      return true;
    default:
      return false;
  }
}

// Whether `name` is `lowerName`: exactly, or in any mix of case when `anyCase`.
bool NameIs(std::string_view name, std::string_view lowerName, bool anyCase) {
  if (name.size() != lowerName.size()) return false;
  for (size_t k = 0; k < name.size(); ++k) {
    const auto c = static_cast<unsigned char>(name[k]);
    if ((anyCase ? FoldAsciiCase(c) : c) != static_cast<unsigned char>(lowerName[k])) return false;
  }
  return true;
}

// The context tag at the start of `rest`: its length, 0 when there is none, and its marker.
// The tags are <b> <strong> <i> <em> <title> <h1>..<h6> and their end tags, each ending at
// its only ">". Lower-case forms count always; in a line that keeps its case also <B>, <I>,
// <H1>..<H6> and strong, em and title in any mix of case. (In a lowered line no capital
// can occur, so the case-insensitive forms match only the lower-case ones there.)
size_t ContextTagAt(std::string_view rest, bool lowered, char& found) {
  const size_t limit = std::min(rest.size(), kLongestTag);
  size_t close = 1;
  while (close < limit && rest[close] != '>')
    ++close;
  if (close == limit) return 0;
  const bool closing = rest[1] == '/';
  const size_t nameStart = closing ? 2 : 1;
  if (close < nameStart) return 0;
  const std::string_view name = rest.substr(nameStart, close - nameStart);
  const bool anyCase = !lowered;
  char on = 0;
  char off = 0;
  if (name.size() == 1) {
    const char c = name[0];
    if (c == 'b' || (!lowered && c == 'B')) {
      on = marker::kBoldOn;
      off = marker::kBoldOff;
    } else if (c == 'i' || (!lowered && c == 'I')) {
      on = marker::kItalicOn;
      off = marker::kItalicOff;
    }
  } else if (name.size() == 2 && (name[0] == 'h' || (!lowered && name[0] == 'H')) &&
             name[1] >= '1' && name[1] <= '6') {
    on = static_cast<char>(marker::kHeading1On - (name[1] - '1'));
    off = marker::kHeadingOff;
  } else if (NameIs(name, "em", anyCase)) {
    on = marker::kItalicOn;
    off = marker::kItalicOff;
  } else if (NameIs(name, "strong", anyCase)) {
    on = marker::kBoldOn;
    off = marker::kBoldOff;
  } else if (NameIs(name, "title", anyCase)) {
    on = marker::kTitleOn;
    off = marker::kTitleOff;
  }
  if (on == 0) return 0;
  found = closing ? off : on;
  return close + 1;
}

// Where the marked line goes: appended to a string, or back over the line itself (every
// replacement is one character put in place of a longer piece, so what is written never
// overtakes what is still to be read).
class AppendTo {
 public:
  explicit AppendTo(std::string& out) : out_(out) {}
  void Run(const char* from, size_t n) { out_.append(from, n); }
  void Put(char c) { out_.push_back(c); }

 private:
  std::string& out_;
};

class WriteOver {
 public:
  explicit WriteOver(char* base) : base_(base) {}
  void Run(const char* from, size_t n) {
    if (base_ + written_ != from) std::memmove(base_ + written_, from, n);
    written_ += n;
  }
  void Put(char c) { base_[written_++] = c; }
  size_t written() const { return written_; }

 private:
  char* base_;
  size_t written_ = 0;
};

template <class Out>
void Mark(std::string_view line, bool lowered, Out& out) {
  // Every reference begins with "&" and ends with the first ";", every tag begins with "<"
  // and ends with the first ">", none holds another "&", ";", "<" or ">", and each is
  // replaced by a character that none of them contains: no two can overlap and no
  // replacement can make a new one, so one pass gives the result of the replacements made
  // one after another (the references first, then the tags in their order).
  const size_t n = line.size();
  size_t read = 0;
  while (read < n) {
    size_t at = FindEitherByte(line, read, '&', '<');
    if (at == std::string_view::npos) at = n;
    if (at > read) out.Run(line.data() + read, at - read);
    if (at == n) break;
    const std::string_view rest = line.substr(at);
    size_t length = 0;
    char replacement = 0;
    if (rest[0] == '&') {
      const FixedReference fixed = FixedReferenceAt(rest);
      length = fixed.length;
      replacement = fixed.byte;
    } else if (rest.size() >= kShortestTag &&
               MayBeginContextTag(rest[1] == '/' ? rest[2] : rest[1])) {
      length = ContextTagAt(rest, lowered, replacement);
    }
    if (length > 0) {
      out.Put(replacement);
      read = at + length;
    } else {
      out.Put(rest[0]);
      read = at + 1;
    }
  }
}

// The line marked and its references decoded into `out`, which has room for the line and
// LineBuffer::kSpare bytes more: what lies between two places where something happens is
// copied sixteen bytes at a time. Returns the length of the result. `kInPlace`: `out` lies
// in the same room, at or before the line; every replacement is shorter than what it
// replaces, so what is written never overtakes what is still to be read, and sixteen bytes
// are written at a time only where they cannot reach bytes not yet read.
//
// The references are decoded as DecodeEntities decodes the marked line: from a "&" of the
// marked line (one that begins no fixed reference) to the first ";" after it; a "&" within
// that stretch begins nothing. The stretch is open in `out` while the pass goes on, so its
// ";" is one the marking writes, and it is decoded there when it is short enough to be a
// reference.
template <bool kInPlace>
size_t MarkAndDecodeInto(std::string_view line, char* out) {
  const char* in = line.data();
  const size_t n = line.size();
  constexpr size_t kNone = std::string_view::npos;
  size_t read = 0;
  size_t written = 0;
  size_t reference = kNone;  // where the open stretch begins in `out`
  for (;;) {
    // Up to the next "<" or "&", or ";" while a stretch is open.
    bool found = false;
#if defined(__SSE2__)
    const __m128i lt = _mm_set1_epi8('<');
    const __m128i amp = _mm_set1_epi8('&');
    const __m128i semi = _mm_set1_epi8(';');
    while (read + LineBuffer::kSpare <= n) {
      if (kInPlace) {
        // Written bytes lag behind by `gap`: none at all, or too far for the sixteen to
        // reach what is still to be read.
        const auto gap = static_cast<size_t>((in + read) - (out + written));
        if (gap != 0 && gap < LineBuffer::kSpare) break;
      }
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + read));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + written), v);
      __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, amp));
      if (reference != kNone) hits = _mm_or_si128(hits, _mm_cmpeq_epi8(v, semi));
      const int mask = _mm_movemask_epi8(hits);
      if (mask != 0) {
        const auto k = static_cast<size_t>(std::countr_zero(static_cast<unsigned>(mask)));
        read += k;
        written += k;
        found = true;
        break;
      }
      read += LineBuffer::kSpare;
      written += LineBuffer::kSpare;
    }
#endif
    if (!found) {
      while (read < n) {
        const char c = in[read];
        if (c == '<' || c == '&' || (c == ';' && reference != kNone)) break;
        out[written++] = c;
        ++read;
      }
      if (read == n) return written;
    }
    const std::string_view rest = line.substr(read);
    const char c = rest[0];
    if (c == '<') {
      char marker = 0;
      const size_t length =
          rest.size() >= kShortestTag && MayBeginContextTag(rest[1] == '/' ? rest[2] : rest[1])
              ? ContextTagAt(rest, false, marker)
              : 0;
      out[written++] = length > 0 ? marker : c;
      read += length > 0 ? length : 1;
    } else if (c == '&') {
      const FixedReference fixed = FixedReferenceAt(rest);
      if (fixed.length > 0) {
        out[written++] = fixed.byte;
        read += fixed.length;
      } else {
        if (reference == kNone) reference = written;
        out[written++] = c;
        ++read;
      }
    } else {  // the ";" that ends the open stretch
      out[written++] = c;
      ++read;
      const size_t length = written - reference;
      const int b =
          length <= kLongestReference ? EntityByte(std::string_view(out + reference, length)) : -1;
      if (b >= 0) {
        written = reference;
        out[written++] = static_cast<char>(b);
      }
      reference = kNone;
    }
  }
}

// A place to cut a line for marking in two halves: right after a ";" that ends no fixed
// reference (no "&" in the bytes before it that a reference could take). There no tag and no
// reference goes on, and the stretch of a reference that was open has been closed by it, so
// the second half is marked as if it were a line of its own. npos when there is none.
size_t HalvesAt(std::string_view line, size_t from) {
  for (size_t q = line.find(';', from); q != std::string_view::npos; q = line.find(';', q + 1)) {
    const size_t back = q >= kLongestReference ? q - kLongestReference : 0;
    if (line.substr(back, q - back).find('&') == std::string_view::npos) return q + 1;
  }
  return std::string_view::npos;
}

// MarkAndDecodeInto for a line that lies at or after `out` in the same room; a line of
// `halvesFrom` bytes or more in two halves at once, the second on a thread of its own and
// written where it lies, then moved behind the first.
size_t MarkAndDecodeOver(std::string_view line, char* out, size_t halvesFrom) {
  const size_t half = line.size() >= halvesFrom ? HalvesAt(line, line.size() / 2)
                                                : std::string_view::npos;
  if (half >= line.size()) return MarkAndDecodeInto<true>(line, out);
  const std::string_view second = line.substr(half);
  char* secondOut = out + (second.data() - out);
  size_t secondLength = 0;
  std::exception_ptr failure;
  std::thread helper;
  try {
    helper = std::thread([&] {
      try {
        secondLength = MarkAndDecodeInto<true>(second, secondOut);
      } catch (...) {
        failure = std::current_exception();
      }
    });
  } catch (const std::system_error&) {
    return MarkAndDecodeInto<true>(line, out);  // no thread to be had
  }
  const size_t firstLength = MarkAndDecodeInto<true>(line.substr(0, half), out);
  helper.join();
  if (failure != nullptr) std::rethrow_exception(failure);
  std::memmove(out + firstLength, secondOut, secondLength);
  return firstLength + secondLength;
}

}  // namespace

void MarkContextTags(std::string_view line, bool lowered, std::string& out) {
  out.reserve(out.size() + line.size());
  AppendTo sink(out);
  Mark(line, lowered, sink);
}

void MarkContextTagsInPlace(std::string& line, bool lowered) {
  WriteOver sink(line.data());
  Mark(line, lowered, sink);
  line.resize(sink.written());
}

void MarkAndDecode(std::string_view line, std::string& out) {
  LineBuffer buffer;
  char* to = buffer.Reserve(line.size());
  out.append(to, MarkAndDecodeInto<false>(line, to));
}

void MarkAndDecodeInPlace(std::string& line, size_t halvesFrom) {
  // The room of a string is its size and one byte more; the pass wants its spare bytes.
  const size_t n = line.size();
  line.resize(n + LineBuffer::kSpare);
  line.resize(MarkAndDecodeOver(std::string_view(line.data(), n), line.data(), halvesFrom));
}

void LineBuffer::assign(std::string_view bytes) {
  std::memcpy(Reserve(bytes.size()), bytes.data(), bytes.size());
  size_ = bytes.size();
}

void LineBuffer::Adopt(std::unique_ptr<char[]> bytes, size_t capacity, size_t size) {
  data_ = std::move(bytes);
  capacity_ = capacity;
  size_ = size;
}

void LineBuffer::push_back(char c) {
  char* data = Reserve(size_ + 1);
  data[size_] = c;
  ++size_;
}

char* LineBuffer::Reserve(size_t n) {
  if (n + kSpare > capacity_) {
    const size_t capacity = std::max(n + kSpare, 2 * capacity_);
    auto data = std::make_unique_for_overwrite<char[]>(capacity);
    if (size_ > 0) std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
  }
  return data_.get();
}

namespace {

// The trimmed line prepared into `to` (see PrepareScanLine), which has room for it and
// LineBuffer::kSpare bytes more; `kInPlace`: `to` lies in the line's own room, at or before
// it. Returns the length of the result.
template <bool kInPlace>
size_t PrepareInto(std::string_view trimmed, bool decodeUtf8, bool lower, char* to) {
  if (!decodeUtf8 && !lower) {
    return kInPlace ? MarkAndDecodeOver(trimmed, to, kMarkInHalvesFrom)
                    : MarkAndDecodeInto<false>(trimmed, to);
  }
  // Decoded and lowered in the line's own room, then marked and decoded over itself.
  size_t n = trimmed.size();
  if (decodeUtf8) {
    n = DecodeUtf8LatinBytes(trimmed, to);
  } else {
    std::memmove(to, trimmed.data(), n);
  }
  if (lower) {
    const ByteTable& lowerBytes = Cp1252LowerBytes();
    for (size_t k = 0; k < n; ++k)
      to[k] = static_cast<char>(lowerBytes[static_cast<unsigned char>(to[k])]);
  }
  WriteOver sink(to);
  Mark(std::string_view(to, n), lower, sink);
  return DecodeEntitiesInPlace(to, sink.written());
}

}  // namespace

bool PrepareScanLine(std::string_view raw, bool decodeUtf8, bool lower, LineBuffer& line) {
  line.clear();
  const std::string_view trimmed = TrimSpaceBytes(raw);
  if (trimmed.empty()) return false;
  // Room for the line and the space appended to it.
  char* to = line.Reserve(trimmed.size() + 1);
  line.resize(PrepareInto<false>(trimmed, decodeUtf8, lower, to));
  line.push_back(kSpace);
  return true;
}

bool PrepareScanLineInPlace(std::unique_ptr<char[]> room, size_t roomSize, std::string_view raw,
                            bool decodeUtf8, bool lower, LineBuffer& line) {
  const std::string_view trimmed = TrimSpaceBytes(raw);
  if (trimmed.empty()) {
    line.clear();
    return false;
  }
  // The line is prepared from the room's first byte and never grows: it needs room for the
  // space appended and the spare bytes after it.
  if (trimmed.size() + 1 + LineBuffer::kSpare > roomSize) {
    return PrepareScanLine(raw, decodeUtf8, lower, line);
  }
  char* to = room.get();
  const size_t n = PrepareInto<true>(trimmed, decodeUtf8, lower, to);
  line.Adopt(std::move(room), roomSize, n);
  line.push_back(kSpace);
  return true;
}

}  // namespace tw
