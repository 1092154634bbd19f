// Reading documents line by line, one character per byte through the code page, so that a
// line read and written back never changes a byte; the line ends of a document.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/error.hpp"
#include "io/document.hpp"
#include "text/text.hpp"

namespace tw {

// How a document's lines end. CR or CR LF end a line and a lone LF stays inside it, unless
// the document is LF-only (its first 16,384 bytes hold at least one LF and no CR), in which
// case LF ends a line and a stray CR later on stays inside its line.
enum class LineEnds { CrOrCrLf, LfOnly };

inline constexpr int32_t kLineEndSampleSize = 16384;

// A file name held as text, for the file system (UTF-8 on this platform).
std::filesystem::path ToPath(TextView name);
Text FromPath(const std::filesystem::path& path);

// Looks at the first 16,384 bytes; a file that cannot be read counts as CR or CR LF.
LineEnds DetectLineEnds(const std::filesystem::path& file);
// The same judgement on the first bytes of a document held in memory.
LineEnds LineEndsOf(std::string_view firstBytes);

// Up to `size` bytes from the start of a file.
Result<std::string> ReadFileHead(const std::filesystem::path& file, size_t size);

// One line of a document as raw bytes: its content and its line end ("\r\n", "\r", "\n",
// or nothing for a last line without one).
struct RawLine {
  std::string_view content;
  std::string_view ending;
};

// Splits bytes held in memory into lines exactly as LineReader splits a file, keeping each
// line's end.
class RawLineSplitter {
 public:
  RawLineSplitter(std::string_view bytes, LineEnds ends) : bytes_(bytes), ends_(ends) {}
  // False when the bytes are used up.
  bool Next(RawLine& line);
  // The offset of the next line.
  size_t position() const { return pos_; }

 private:
  std::string_view bytes_;
  LineEnds ends_;
  size_t pos_ = 0;
};

// The lines of bytes held in memory.
class MemoryLineReader {
 public:
  MemoryLineReader(std::string_view bytes, LineEnds ends) : lines_(bytes, ends) {}
  // Next line without its line end, as raw bytes; false when the bytes are used up.
  bool ReadLine(std::string_view& line);
  // The same, each byte one character through the code page.
  bool ReadLine(Text& line);

 private:
  RawLineSplitter lines_;
};

// The lines of a document, read once through its DocumentReader.
class LineReader {
 public:
  LineReader() = default;
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Opens the file with a reader of its own, which lets go of each line once it has been
  // read.
  Status Open(const std::filesystem::path& file, LineEnds ends);
  // Reads the lines of a document that `reader` has opened, from its first byte. With
  // `release`, the reader lets go of the bytes of each line once it has been read.
  void Attach(DocumentReader& reader, LineEnds ends, bool release);
  // Next line without its line end, each byte one character through the code page.
  // False at the end of the file or on a read failure (see error()).
  bool ReadLine(Text& line);
  // The same, as raw bytes.
  bool ReadLineBytes(std::string& line);
  // The same as a view of the reader's bytes, with no copy: valid until the next call or
  // ReleaseLine.
  bool ReadLineView(std::string_view& line);
  // The line read last is not looked at again: when nothing after it has been read yet, the
  // reader lets go of what it holds (the room of a document without line breaks).
  void ReleaseLine();
  // The same, handing over the room that holds the line read last (`room` receives its size)
  // when that room was made for a document's long last line, so that the line is not copied;
  // otherwise nothing is handed over and nothing changes.
  std::unique_ptr<char[]> TakeLineRoom(size_t& room);
  // The next piece of the current line as raw bytes, straight from the reader (valid until
  // the next call). `endsLine` tells that the piece finishes its line; a line ending at the
  // end of what has been read, or at the end of the file, may end with an empty piece.
  // False at the end of the file or on a read failure (see error()).
  bool ReadLinePiece(std::string_view& piece, bool& endsLine);
  // Bytes of the document handed out so far, line ends included.
  uint64_t position() const { return pos_; }
  bool failed() const { return error_.failed(); }
  const FileError& error() const { return error_; }
  void Close();

 private:
  // Reserves room for the rest of a line that has outgrown what is read at a time.
  void ReserveForLongLine(Text& line, size_t pieceSize) const;
  // Brings the byte at pos_ into the reader, unless the document ends before it.
  bool FillFromPosition();

  std::unique_ptr<DocumentReader> owned_;
  DocumentReader* reader_ = nullptr;
  LineEnds ends_ = LineEnds::CrOrCrLf;
  bool release_ = false;
  uint64_t pos_ = 0;
  bool pendingCr_ = false;
  bool lineStarted_ = false;
  FileError error_;
};

}  // namespace tw
