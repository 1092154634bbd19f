// Reading documents line by line and writing them back byte for byte through the code page.
#include "io/fileproc.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <system_error>

#include "io/osfile.hpp"
#include "text/codepage.hpp"

namespace tw {

namespace {

constexpr size_t kReadChunk = 64 * 1024;
// Room kept after a long line, so that a few characters can be added without moving it.
constexpr size_t kLongLineSlack = 16;
// The room, in characters, that a long line is given at most beyond its own length.
constexpr uint64_t kLongLineRoomLimit = 64u * 1024u * 1024u;
// A line this long is given room for the rest of the document.
constexpr size_t kLongLineFrom = 1024 * 1024;
constexpr char kCrByte = '\r';
constexpr char kLfByte = '\n';

}  // namespace

std::filesystem::path ToPath(TextView name) {
#ifdef _WIN32
  return std::filesystem::path(std::u16string(name));
#else
  return std::filesystem::path(ToUtf8FileName(name));
#endif
}

Text FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
  return path.u16string();
#else
  return FromUtf8FileName(path.native());
#endif
}

LineEnds DetectLineEnds(const std::filesystem::path& file) {
  const Result<std::string> sample = ReadFileHead(file, static_cast<size_t>(kLineEndSampleSize));
  return sample ? LineEndsOf(*sample) : LineEnds::CrOrCrLf;
}

LineEnds LineEndsOf(std::string_view firstBytes) {
  const std::string_view sample = firstBytes.substr(0, static_cast<size_t>(kLineEndSampleSize));
  const bool hasLf = sample.find(kLfByte) != std::string_view::npos;
  const bool hasCr = sample.find(kCrByte) != std::string_view::npos;
  return hasLf && !hasCr ? LineEnds::LfOnly : LineEnds::CrOrCrLf;
}

Result<std::string> ReadFileHead(const std::filesystem::path& file, size_t size) {
  DocumentReader reader;
  Status error = reader.Open(file);
  if (!error.failed()) error = reader.Fill(size);
  if (error.failed()) return error;
  return std::string(reader.Held().substr(0, size));
}

bool RawLineSplitter::Next(RawLine& line) {
  if (pos_ >= bytes_.size()) return false;
  const char end = ends_ == LineEnds::LfOnly ? kLfByte : kCrByte;
  const size_t found = bytes_.find(end, pos_);
  if (found == std::string_view::npos) {
    line = RawLine{bytes_.substr(pos_), std::string_view()};
    pos_ = bytes_.size();
    return true;
  }
  size_t endLength = 1;
  // An LF right after a CR belongs to that line end.
  if (end == kCrByte && found + 1 < bytes_.size() && bytes_[found + 1] == kLfByte) endLength = 2;
  line = RawLine{bytes_.substr(pos_, found - pos_), bytes_.substr(found, endLength)};
  pos_ = found + endLength;
  return true;
}

bool MemoryLineReader::ReadLine(std::string_view& line) {
  RawLine raw;
  if (!lines_.Next(raw)) return false;
  line = raw.content;
  return true;
}

bool MemoryLineReader::ReadLine(Text& line) {
  line.clear();
  std::string_view bytes;
  if (!ReadLine(bytes)) return false;
  DecodeCp1252Append(bytes, line);
  return true;
}

Status LineReader::Open(const std::filesystem::path& file, LineEnds ends) {
  Close();
  owned_ = std::make_unique<DocumentReader>();
  const Status error = owned_->Open(file);
  if (error.failed()) {
    error_ = error;
    owned_.reset();
    return error;
  }
  Attach(*owned_, ends, true);
  return Status{};
}

void LineReader::Attach(DocumentReader& reader, LineEnds ends, bool release) {
  reader_ = &reader;
  ends_ = ends;
  release_ = release;
  pos_ = 0;
  pendingCr_ = false;
  lineStarted_ = false;
  error_ = FileError();
}

bool LineReader::ReadLinePiece(std::string_view& piece, bool& endsLine) {
  piece = std::string_view();
  endsLine = false;
  if (reader_ == nullptr || error_.failed()) return false;
  const char end = ends_ == LineEnds::LfOnly ? kLfByte : kCrByte;
  for (;;) {
    if (pos_ >= reader_->heldEnd()) {
      if (pos_ >= reader_->size()) {
        // The end of the file: a line without a line end is still a line.
        pendingCr_ = false;
        endsLine = lineStarted_;
        lineStarted_ = false;
        return endsLine;
      }
      if (release_) reader_->Release(pos_);
      if (const Status status = reader_->Fill(pos_ + 1); status.failed()) {
        error_ = status;
        return false;
      }
    }
    const std::string_view held = reader_->HeldFrom(pos_);
    if (pendingCr_) {
      // A CR ended the previous line; an LF right after it belongs to that line end.
      pendingCr_ = false;
      if (held.front() == kLfByte) {
        ++pos_;
        continue;
      }
    }
    lineStarted_ = true;
    const size_t found = held.find(end);
    if (found == std::string_view::npos) {
      piece = held;
      pos_ += held.size();
      return true;
    }
    piece = held.substr(0, found);
    pos_ += found + 1;
    if (end == kCrByte) pendingCr_ = true;
    lineStarted_ = false;
    endsLine = true;
    return true;
  }
}

bool LineReader::FillFromPosition() {
  if (pos_ < reader_->heldEnd() || pos_ >= reader_->size()) return true;
  if (release_) reader_->Release(pos_);
  if (const Status status = reader_->Fill(pos_ + 1); status.failed()) {
    error_ = status;
    return false;
  }
  return true;
}

bool LineReader::ReadLineView(std::string_view& line) {
  line = std::string_view();
  if (reader_ == nullptr || error_.failed()) return false;
  const char end = ends_ == LineEnds::LfOnly ? kLfByte : kCrByte;
  for (;;) {
    if (!FillFromPosition()) return false;
    if (pos_ >= reader_->size()) {
      pendingCr_ = false;
      return false;
    }
    if (!pendingCr_) break;
    // A CR ended the previous line; an LF right after it belongs to that line end.
    pendingCr_ = false;
    if (reader_->HeldFrom(pos_).front() != kLfByte) break;
    ++pos_;
  }
  lineStarted_ = false;
  size_t searched = 0;
  for (;;) {
    const std::string_view held = reader_->HeldFrom(pos_);
    const size_t found = held.find(end, searched);
    if (found != std::string_view::npos) {
      line = held.substr(0, found);
      pos_ += found + 1;
      if (end == kCrByte) pendingCr_ = true;
      return true;
    }
    if (reader_->heldEnd() >= reader_->size()) {
      // The last line, without a line end.
      line = held;
      pos_ += held.size();
      return true;
    }
    // The line goes on beyond what is held: read on, keeping all of it. A long line
    // usually runs to the end (a document without line breaks): it gets its room at once.
    searched = held.size();
    // The lines handed out before are let go (of what is held, little is left to move).
    if (release_) reader_->Release(pos_);
    if (held.size() >= kLongLineFrom) reader_->ReserveToEnd();
    if (const Status status = reader_->Fill(reader_->heldEnd() + 1); status.failed()) {
      error_ = status;
      return false;
    }
  }
}

void LineReader::ReleaseLine() {
  if (release_ && reader_ != nullptr && pos_ >= reader_->heldEnd()) reader_->Release(pos_);
}

std::unique_ptr<char[]> LineReader::TakeLineRoom(size_t& room) {
  room = 0;
  if (!release_ || reader_ == nullptr || pos_ < reader_->heldEnd()) return nullptr;
  return reader_->TakeHeldRoom(room);
}

bool LineReader::ReadLineBytes(std::string& line) {
  line.clear();
  std::string_view piece;
  bool endsLine = false;
  while (ReadLinePiece(piece, endsLine)) {
    line.append(piece);
    if (endsLine) return true;
  }
  return false;
}

void LineReader::ReserveForLongLine(Text& line, size_t pieceSize) const {
  // The rest of the line can only lie in the part of the file not read yet, and a line this
  // long usually runs to the end (a document without line breaks).
  const uint64_t unread = reader_->size() > pos_ ? reader_->size() - pos_ : 0;
  if (unread == 0) return;
  // The room is bounded by the larger of a limit and the line's own length (so it doubles
  // at least), lest a long line early in a huge file take room for the whole file.
  const uint64_t held = line.size() + pieceSize;
  const uint64_t room = std::min(unread, std::max<uint64_t>(kLongLineRoomLimit, held));
  const uint64_t wanted = held + room + kLongLineSlack;
  if (wanted <= line.capacity() || wanted > line.max_size()) return;
  try {
    line.reserve(static_cast<size_t>(wanted));
  } catch (const std::bad_alloc&) {
    // Then the line grows piece by piece as it would anyway.
  }
}

bool LineReader::ReadLine(Text& line) {
  line.clear();
  std::string_view piece;
  bool endsLine = false;
  while (ReadLinePiece(piece, endsLine)) {
    // A line longer than what is read at a time is given its room at once rather than by
    // doubling, which would copy it over and over.
    if (!endsLine && line.size() + piece.size() >= kReadChunk)
      ReserveForLongLine(line, piece.size());
    DecodeCp1252Append(piece, line);
    if (endsLine) return true;
  }
  line.clear();
  return false;
}

void LineReader::Close() {
  owned_.reset();
  reader_ = nullptr;
}

}  // namespace tw
