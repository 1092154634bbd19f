// A line of the document made ready for the scanner: trimmed, UTF-8 decoded, lowered when
// case is not kept, the context tags marked by single characters and the references decoded.
// Lines are held one byte per character of the code page (see text/chars.hpp).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tw {

// The single characters that MarkContextTags puts in place of the context tags.
namespace marker {
inline constexpr char kHeading6On = '\x01';
inline constexpr char kHeading5On = '\x02';
inline constexpr char kHeading4On = '\x03';
inline constexpr char kHeading3On = '\x04';
inline constexpr char kHeading2On = '\x05';
inline constexpr char kHeading1On = '\x06';
inline constexpr char kHeadingOff = '\x07';
inline constexpr char kBoldOn = '\x0B';
inline constexpr char kBoldOff = '\x0C';
inline constexpr char kTitleOn = '\x0E';
inline constexpr char kTitleOff = '\x0F';
inline constexpr char kItalicOn = '\x10';
inline constexpr char kItalicOff = '\x11';
}  // namespace marker

// Whether a character is one of the markers.
constexpr bool IsMarker(char c) {
  return (c >= marker::kHeading6On && c <= marker::kHeadingOff) || c == marker::kBoldOn ||
         c == marker::kBoldOff || c == marker::kTitleOn || c == marker::kTitleOff ||
         c == marker::kItalicOn || c == marker::kItalicOff;
}

// The five fixed references and the recognised context tags of a line replaced by their
// characters, in one left-to-right pass; the result is appended to `out`. `lowered`: the
// whole line has already been lowered, so only the lower-case tag forms can occur.
void MarkContextTags(std::string_view line, bool lowered, std::string& out);
// The same in place.
void MarkContextTagsInPlace(std::string& line, bool lowered);

// Both of the above in one pass: the line marked and its references decoded, as
// MarkContextTags and then DecodeEntities give it, for a line that keeps its case.
void MarkAndDecode(std::string_view line, std::string& out);
// The same over the line itself; a line of `halvesFrom` bytes or more in two halves at once,
// on two threads, when a place to cut it is found (as a long line prepared in place is).
void MarkAndDecodeInPlace(std::string& line, size_t halvesFrom = SIZE_MAX);

// The bytes of a prepared line, with room to spare after them, so that the preparation can
// copy sixteen bytes at a time.
class LineBuffer {
 public:
  static constexpr size_t kSpare = 16;

  std::string_view view() const { return std::string_view(data_.get(), size_); }
  size_t size() const { return size_; }
  char operator[](size_t at) const { return data_[at]; }
  void clear() { size_ = 0; }
  // Empty, with its memory given back.
  void release() {
    data_.reset();
    size_ = 0;
    capacity_ = 0;
  }
  void assign(std::string_view bytes);
  // Takes over `capacity` bytes of which the first `size` are the line.
  void Adopt(std::unique_ptr<char[]> bytes, size_t capacity, size_t size);
  void push_back(char c);
  // Room for `n` bytes and the spare ones after them, the bytes held kept; then the bytes
  // written through the pointer are taken with resize.
  char* Reserve(size_t n);
  void resize(size_t n) { size_ = n; }

 private:
  std::unique_ptr<char[]> data_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

// Prepares a line read from the document for the scanner: spaces trimmed at both ends, the
// UTF-8 sequences of a UTF-8 document decoded, the line lowered unless case is kept, the
// context tags marked, the references decoded and one space appended, into `line`. False
// (and `line` empty) when nothing but spaces was left, so that the line is not scanned.
bool PrepareScanLine(std::string_view raw, bool decodeUtf8, bool lower, LineBuffer& line);
// The same for a line that lies in `room` (`roomSize` bytes), which the line buffer takes
// over: the line is prepared where it lies, with no second copy of a long line. A room too
// tight for the spare bytes the buffer keeps is let go after a copy.
bool PrepareScanLineInPlace(std::unique_ptr<char[]> room, size_t roomSize, std::string_view raw,
                            bool decodeUtf8, bool lower, LineBuffer& line);

}  // namespace tw
