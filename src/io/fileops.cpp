// The file operations on the real file system.
#include "io/fileops.hpp"

#include <cerrno>
#include <system_error>

namespace tw {

namespace {

constexpr std::filesystem::perms kAnyWrite = std::filesystem::perms::owner_write |
                                             std::filesystem::perms::group_write |
                                             std::filesystem::perms::others_write;

// Exclusive creation: fails when the file exists.
constexpr const char* kCreateNewMode = "wbx";
constexpr const char* kReadMode = "rb";
constexpr const char* kUpdateMode = "r+b";

FileError LastError(int fallback = EIO) {
  return FileError::FromErrno(errno != 0 ? errno : fallback);
}

}  // namespace

Result<UniqueFile> FileOps::OpenForReading(const std::filesystem::path& file) {
  std::error_code ec;
  // Opening a folder as a file succeeds on some systems and fails only when reading.
  if (std::filesystem::is_directory(file, ec)) return FileError::FromErrno(EISDIR);
  errno = 0;
  UniqueFile opened(OpenFile(file, kReadMode));
  if (!opened) return LastError();
  return opened;
}

Result<size_t> FileOps::Read(std::FILE* file, char* buffer, size_t size) {
  errno = 0;
  const size_t n = std::fread(buffer, 1, size, file);
  if (n < size && std::ferror(file) != 0) return LastError();
  return n;
}

Result<FileStat> FileOps::Stat(std::FILE* file) {
  errno = 0;
  const std::optional<FileStat> status = StatOpenFile(file);
  if (!status) return LastError();
  return *status;
}

Result<UniqueFile> FileOps::CreateNew(const std::filesystem::path& file) {
  errno = 0;
  UniqueFile created(OpenFile(file, kCreateNewMode));
  if (!created) return LastError();
  return created;
}

Status FileOps::Write(std::FILE* file, std::string_view bytes) {
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) return LastError();
  return Status{};
}

Status FileOps::FlushAndClose(UniqueFile& file) {
  Status status;
  errno = 0;
  if (std::fflush(file.get()) != 0) status = LastError();
  if (!status.failed()) {
    if (const int err = SyncFileToDisk(file.get()); err != 0) status = FileError::FromErrno(err);
  }
  errno = 0;
  const int closed = std::fclose(file.release());
  if (closed != 0 && !status.failed()) status = LastError();
  return status;
}

Status FileOps::CopyOwner(std::FILE* file, const FileStat& from) {
  if (const int err = tw::CopyOwner(file, from); err != 0) return FileError::FromErrno(err);
  return Status{};
}

Status FileOps::Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::error_code ec;
  std::filesystem::rename(from, to, ec);
  return ec ? FileError::FromErrorCode(ec) : Status{};
}

Status FileOps::Remove(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::remove(file, ec);
  return ec ? FileError::FromErrorCode(ec) : Status{};
}

Status FileOps::CheckWritable(const std::filesystem::path& file) {
  std::error_code ec;
  const auto status = std::filesystem::status(file, ec);
  if (ec) return FileError::FromErrorCode(ec);
  // A document marked read-only stays untouched, also for a user whom the system would let
  // write anyway.
  if ((status.permissions() & kAnyWrite) == std::filesystem::perms::none) {
    return FileError::FromErrno(EACCES);
  }
  errno = 0;
  UniqueFile opened(OpenFile(file, kUpdateMode));
  if (!opened) return LastError(EACCES);
  return Status{};
}

FileOps& RealFileOps() {
  static FileOps ops;
  return ops;
}

}  // namespace tw
