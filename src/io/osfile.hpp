// The few file operations that the standard library lacks, kept apart for each platform:
// opening by path, synchronising to the disk, the status of an open file, ownership.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

namespace tw {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
// An open file, closed when it goes out of scope.
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file with a C mode such as "rb" or "wb"; null with errno set on failure.
std::FILE* OpenFile(const std::filesystem::path& file, const char* mode);

// Writes the file's data through to the disk; returns 0 or the system's error number.
int SyncFileToDisk(std::FILE* file);

// What the system tells of a file.
struct FileStat {
  uint64_t size = 0;
  int64_t modifiedNs = 0;  // nanoseconds since the epoch
  uint64_t device = 0;
  uint64_t inode = 0;
  uint32_t owner = 0;
  uint32_t group = 0;
  bool regular = false;
};

// The status of an open file; nothing with errno set when the system cannot tell.
std::optional<FileStat> StatOpenFile(std::FILE* file);

// Gives an open file the owner and group of another; returns 0 or the system's error number
// (a user who may not give a file away gets EPERM).
int CopyOwner(std::FILE* file, const FileStat& from);

}  // namespace tw
