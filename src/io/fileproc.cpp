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
constexpr char kCrByte = '\r';
constexpr char kLfByte = '\n';

// Opening a folder as a file succeeds on some systems and fails only when reading.
int FolderError(const std::filesystem::path& file) {
  std::error_code ec;
  return std::filesystem::is_directory(file, ec) ? EISDIR : 0;
}

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
  std::string sample;
  FileError error;
  if (!ReadFileHead(file, static_cast<size_t>(kLineEndSampleSize), sample, error)) {
    return LineEnds::CrOrCrLf;
  }
  return LineEndsOf(sample);
}

LineEnds LineEndsOf(std::string_view firstBytes) {
  const std::string_view sample = firstBytes.substr(0, static_cast<size_t>(kLineEndSampleSize));
  const bool hasLf = sample.find(kLfByte) != std::string_view::npos;
  const bool hasCr = sample.find(kCrByte) != std::string_view::npos;
  return hasLf && !hasCr ? LineEnds::LfOnly : LineEnds::CrOrCrLf;
}

bool ReadFileHead(const std::filesystem::path& file, size_t size, std::string& bytes,
                  FileError& error) {
  bytes.clear();
  error = FileError();
  if (const int err = FolderError(file); err != 0) {
    error = FileError::FromErrno(err);
    return false;
  }
  errno = 0;
  std::FILE* f = OpenFile(file, "rb");
  if (f == nullptr) {
    error = FileError::FromErrno(errno != 0 ? errno : EIO);
    return false;
  }
  bytes.resize(size);
  errno = 0;
  const size_t n = std::fread(bytes.data(), 1, size, f);
  if (std::ferror(f) != 0) error = FileError::FromErrno(errno != 0 ? errno : EIO);
  std::fclose(f);
  bytes.resize(error.failed() ? 0 : n);
  return !error.failed();
}

bool MemoryLineReader::ReadLine(Text& line) {
  line.clear();
  if (pos_ >= bytes_.size()) return false;
  const char end = ends_ == LineEnds::LfOnly ? kLfByte : kCrByte;
  const size_t found = bytes_.find(end, pos_);
  const size_t stop = found == std::string_view::npos ? bytes_.size() : found;
  DecodeCp1252Append(bytes_.substr(pos_, stop - pos_), line);
  pos_ = found == std::string_view::npos ? bytes_.size() : found + 1;
  // An LF right after a CR belongs to that line end.
  if (end == kCrByte && found != std::string_view::npos && pos_ < bytes_.size() &&
      bytes_[pos_] == kLfByte) {
    ++pos_;
  }
  return true;
}

LineReader::~LineReader() {
  Close();
}

bool LineReader::Open(const std::filesystem::path& file, LineEnds ends, FileError& error) {
  Close();
  error_ = FileError();
  ends_ = ends;
  pos_ = len_ = 0;
  filled_ = fileSize_ = 0;
  eof_ = false;
  pendingCr_ = false;
  lineStarted_ = false;
  if (const int err = FolderError(file); err != 0) {
    error_ = FileError::FromErrno(err);
    error = error_;
    return false;
  }
  errno = 0;
  file_ = OpenFile(file, "rb");
  if (file_ == nullptr) {
    error_ = FileError::FromErrno(errno != 0 ? errno : EIO);
    error = error_;
    return false;
  }
  buffer_.resize(kReadChunk);
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (!ec) fileSize_ = size;
  error = error_;
  return true;
}

bool LineReader::Fill() {
  pos_ = len_ = 0;
  if (file_ == nullptr || eof_ || error_.failed()) return false;
  errno = 0;
  len_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  if (len_ < buffer_.size()) {
    if (std::ferror(file_) != 0) {
      error_ = FileError::FromErrno(errno != 0 ? errno : EIO);
      len_ = 0;
      return false;
    }
    eof_ = true;
  }
  filled_ += len_;
  return len_ > 0;
}

bool LineReader::ReadLinePiece(std::string_view& piece, bool& endsLine) {
  piece = std::string_view();
  endsLine = false;
  if (file_ == nullptr || error_.failed()) return false;
  const char end = ends_ == LineEnds::LfOnly ? kLfByte : kCrByte;
  for (;;) {
    if (pos_ == len_ && !Fill()) {
      // End of the file (or a failure): a line without a line end is still a line.
      pendingCr_ = false;
      endsLine = lineStarted_ && !error_.failed();
      lineStarted_ = false;
      return endsLine;
    }
    if (pendingCr_) {
      // A CR ended the previous line; an LF right after it belongs to that line end.
      pendingCr_ = false;
      if (buffer_[pos_] == kLfByte) {
        ++pos_;
        continue;
      }
    }
    lineStarted_ = true;
    const char* begin = buffer_.data() + pos_;
    const char* stop = buffer_.data() + len_;
    const char* found = static_cast<const char*>(std::memchr(begin, end, stop - begin));
    if (found == nullptr) {
      piece = std::string_view(begin, static_cast<size_t>(stop - begin));
      pos_ = len_;
      return true;
    }
    piece = std::string_view(begin, static_cast<size_t>(found - begin));
    pos_ = static_cast<size_t>(found - buffer_.data()) + 1;
    if (end == kCrByte) pendingCr_ = true;
    lineStarted_ = false;
    endsLine = true;
    return true;
  }
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
  const uint64_t unread = fileSize_ > filled_ ? fileSize_ - filled_ : 0;
  // Without that bound (a file that has grown, or of unknown length) appending grows it.
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
    // A line longer than the read buffer is given its room at once rather than by doubling,
    // which would copy it over and over.
    if (!endsLine && line.size() + piece.size() >= kReadChunk)
      ReserveForLongLine(line, piece.size());
    DecodeCp1252Append(piece, line);
    if (endsLine) return true;
  }
  line.clear();
  return false;
}

void LineReader::Close() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  buffer_.clear();
  buffer_.shrink_to_fit();
  pos_ = len_ = 0;
}

LineWriter::~LineWriter() {
  if (file_ != nullptr) std::fclose(file_);
}

bool LineWriter::Open(const std::filesystem::path& file, LineEnds ends, FileError& error) {
  if (file_ != nullptr) std::fclose(file_);
  error_ = FileError();
  ends_ = ends;
  if (const int err = FolderError(file); err != 0) {
    error_ = FileError::FromErrno(err);
    error = error_;
    file_ = nullptr;
    return false;
  }
  errno = 0;
  file_ = OpenFile(file, "wb");
  if (file_ == nullptr) {
    error_ = FileError::FromErrno(errno != 0 ? errno : EIO);
    error = error_;
    return false;
  }
  error = error_;
  return true;
}

bool LineWriter::WriteBytesLine(std::string_view bytes) {
  if (file_ == nullptr || error_.failed()) return false;
  const std::string_view ending =
      ends_ == LineEnds::LfOnly ? std::string_view("\n", 1) : std::string_view("\r\n", 2);
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size() ||
      std::fwrite(ending.data(), 1, ending.size(), file_) != ending.size()) {
    error_ = FileError::FromErrno(errno != 0 ? errno : EIO);
    return false;
  }
  return true;
}

bool LineWriter::WriteLine(TextView line) {
  return WriteBytesLine(EncodeCp1252Ncr(line));
}

bool LineWriter::Close(bool syncToDisk) {
  if (file_ == nullptr) return !error_.failed();
  errno = 0;
  if (std::fflush(file_) != 0 && !error_.failed()) {
    error_ = FileError::FromErrno(errno != 0 ? errno : EIO);
  }
  if (syncToDisk && !error_.failed()) {
    if (const int err = SyncFileToDisk(file_); err != 0) error_ = FileError::FromErrno(err);
  }
  errno = 0;
  if (std::fclose(file_) != 0 && !error_.failed()) {
    error_ = FileError::FromErrno(errno != 0 ? errno : EIO);
  }
  file_ = nullptr;
  return !error_.failed();
}

}  // namespace tw
