// Reading documents line by line and writing them back byte for byte through the code page.
#include "scan/fileproc.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "scan/osfile.hpp"
#include "text/codepage.hpp"

namespace tw {

namespace {

constexpr size_t kReadChunk = 64 * 1024;
constexpr char kCrByte = '\r';
constexpr char kLfByte = '\n';

bool IsPermissionError(int err) {
  return err == EACCES || err == EPERM;
}

// Opening a folder as a file succeeds on some systems and fails only when reading.
int FolderError(const std::filesystem::path& file) {
  std::error_code ec;
  return std::filesystem::is_directory(file, ec) ? EISDIR : 0;
}

}  // namespace

FileError FileError::FromErrno(int err) {
  FileError e;
  e.number = err;
  if (err != 0) {
    e.description = FromUtf8(std::system_category().message(err));
    e.permissionDenied = IsPermissionError(err);
  }
  return e;
}

FileError FileError::FromErrorCode(const std::error_code& ec) {
  FileError e;
  e.number = ec.value();
  if (ec) {
    e.description = FromUtf8(ec.message());
    e.permissionDenied =
        ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted;
  }
  return e;
}

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
  if (FolderError(file) != 0) return LineEnds::CrOrCrLf;
  std::FILE* f = OpenFile(file, "rb");
  if (f == nullptr) return LineEnds::CrOrCrLf;
  std::string sample(static_cast<size_t>(kLineEndSampleSize), '\0');
  const size_t n = std::fread(sample.data(), 1, sample.size(), f);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return LineEnds::CrOrCrLf;
  sample.resize(n);
  const bool hasLf = sample.find(kLfByte) != std::string::npos;
  const bool hasCr = sample.find(kCrByte) != std::string::npos;
  return hasLf && !hasCr ? LineEnds::LfOnly : LineEnds::CrOrCrLf;
}

LineReader::~LineReader() {
  Close();
}

bool LineReader::Open(const std::filesystem::path& file, LineEnds ends, FileError& error) {
  Close();
  error_ = FileError();
  ends_ = ends;
  pos_ = len_ = 0;
  eof_ = false;
  pendingCr_ = false;
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
  return len_ > 0;
}

bool LineReader::ReadLineBytes(std::string& line) {
  line.clear();
  if (file_ == nullptr || error_.failed()) return false;
  const char end = ends_ == LineEnds::LfOnly ? kLfByte : kCrByte;
  bool started = false;
  for (;;) {
    if (pos_ == len_ && !Fill()) {
      // End of the file (or a failure): a line without a line end is still a line.
      pendingCr_ = false;
      return started && !error_.failed();
    }
    if (pendingCr_) {
      // A CR ended the previous line; an LF right after it belongs to that line end.
      pendingCr_ = false;
      if (buffer_[pos_] == kLfByte) {
        ++pos_;
        continue;
      }
    }
    started = true;
    const char* begin = buffer_.data() + pos_;
    const char* stop = buffer_.data() + len_;
    const char* found = static_cast<const char*>(std::memchr(begin, end, stop - begin));
    if (found == nullptr) {
      line.append(begin, stop);
      pos_ = len_;
      continue;
    }
    line.append(begin, found);
    pos_ = static_cast<size_t>(found - buffer_.data()) + 1;
    if (end == kCrByte) pendingCr_ = true;
    return true;
  }
}

bool LineReader::ReadLine(Text& line) {
  line.clear();
  if (!ReadLineBytes(scratch_)) return false;
  DecodeCp1252Append(scratch_, line);
  return true;
}

void LineReader::Close() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  buffer_.clear();
  buffer_.shrink_to_fit();
  scratch_.clear();
  scratch_.shrink_to_fit();
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
