// Every file operation of the program's commands that can fail (open, read, status, create,
// write, flush, rename, delete, the write check), behind one interface, so that a test can
// make any of them fail on demand. The base class does them on the real file system.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

#include "core/error.hpp"
#include "io/osfile.hpp"

namespace tw {

class FileOps {
 public:
  virtual ~FileOps() = default;

  // Opens a file for reading its bytes. A folder is refused with EISDIR.
  virtual Result<UniqueFile> OpenForReading(const std::filesystem::path& file);
  // Reads up to `size` bytes; 0 at the end of the file.
  virtual Result<size_t> Read(std::FILE* file, char* buffer, size_t size);
  // The status of an open file.
  virtual Result<FileStat> Stat(std::FILE* file);

  // Creates `file`, which must not exist yet, so that no file of the user's is replaced, and
  // opens it for writing.
  virtual Result<UniqueFile> CreateNew(const std::filesystem::path& file);
  virtual Status Write(std::FILE* file, std::string_view bytes);
  // Flushes the written bytes, writes them through to the disk and closes the file (which is
  // closed also when this fails).
  virtual Status FlushAndClose(UniqueFile& file);
  // Gives a new file the owner and group of the one it replaces, where the system lets us.
  virtual Status CopyOwner(std::FILE* file, const FileStat& from);

  // Renames `from` to `to`, replacing a file named `to`.
  virtual Status Rename(const std::filesystem::path& from, const std::filesystem::path& to);
  virtual Status Remove(const std::filesystem::path& file);
  // Fails when the document may not be changed (read-only, or not writable for this user).
  virtual Status CheckWritable(const std::filesystem::path& file);
};

// The operations on the real file system.
FileOps& RealFileOps();

}  // namespace tw
