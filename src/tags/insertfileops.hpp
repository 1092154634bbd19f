// The file operations of a tag insertion that can fail (create, flush, rename, remove and the
// write check), behind one interface so that a test can make any of them fail on demand.
#pragma once

#include <filesystem>

#include "io/fileproc.hpp"

namespace tw {

class InsertFileOps {
 public:
  virtual ~InsertFileOps() = default;

  // Creates `file`, which must not exist yet, and opens it for writing lines.
  virtual FileError CreateNew(const std::filesystem::path& file, LineEnds ends,
                              LineWriter& writer) = 0;
  // Flushes the written lines to the disk and closes the file.
  virtual FileError FlushAndClose(LineWriter& writer) = 0;
  // Renames `from` to `to`, replacing a file named `to`.
  virtual FileError Rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  virtual FileError Remove(const std::filesystem::path& file) = 0;
  // Fails when the document may not be changed (read-only, or not writable for this user).
  virtual FileError CheckWritable(const std::filesystem::path& file) = 0;
};

// The operations on the real file system.
class RealInsertFileOps : public InsertFileOps {
 public:
  FileError CreateNew(const std::filesystem::path& file, LineEnds ends,
                      LineWriter& writer) override;
  FileError FlushAndClose(LineWriter& writer) override;
  FileError Rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
  FileError Remove(const std::filesystem::path& file) override;
  FileError CheckWritable(const std::filesystem::path& file) override;
};

}  // namespace tw
