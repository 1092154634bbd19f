// The insertion's file operations on the real file system.
#include "tags/insertfileops.hpp"

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace tw {

namespace {

constexpr std::filesystem::perms kAnyWrite = std::filesystem::perms::owner_write |
                                             std::filesystem::perms::group_write |
                                             std::filesystem::perms::others_write;

// Exclusive creation: fails when the file exists, so that no file of the user's is replaced.
constexpr const char* kCreateNewMode = "wbx";
constexpr const char* kUpdateMode = "r+b";

}  // namespace

FileError RealInsertFileOps::CreateNew(const std::filesystem::path& file, LineEnds ends,
                                       LineWriter& writer) {
  errno = 0;
  std::FILE* created = std::fopen(file.string().c_str(), kCreateNewMode);
  if (created == nullptr) return FileError::FromErrno(errno != 0 ? errno : EIO);
  std::fclose(created);
  FileError error;
  if (!writer.Open(file, ends, error)) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
  }
  return error;
}

FileError RealInsertFileOps::FlushAndClose(LineWriter& writer) {
  if (writer.Close(true)) return FileError{};
  return writer.error();
}

FileError RealInsertFileOps::Rename(const std::filesystem::path& from,
                                    const std::filesystem::path& to) {
  std::error_code ec;
  std::filesystem::rename(from, to, ec);
  return ec ? FileError::FromErrorCode(ec) : FileError{};
}

FileError RealInsertFileOps::Remove(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::remove(file, ec);
  return ec ? FileError::FromErrorCode(ec) : FileError{};
}

FileError RealInsertFileOps::CheckWritable(const std::filesystem::path& file) {
  std::error_code ec;
  const auto status = std::filesystem::status(file, ec);
  if (ec) return FileError::FromErrorCode(ec);
  // A document marked read-only stays untouched, also for a user whom the system would let
  // write anyway.
  if ((status.permissions() & kAnyWrite) == std::filesystem::perms::none) {
    return FileError::FromErrno(EACCES);
  }
  errno = 0;
  std::FILE* opened = std::fopen(file.string().c_str(), kUpdateMode);
  if (opened == nullptr) return FileError::FromErrno(errno != 0 ? errno : EACCES);
  std::fclose(opened);
  return FileError{};
}

}  // namespace tw
