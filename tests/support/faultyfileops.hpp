// A test double of the file operations: the real operations, except that any call can be
// made to fail with a chosen error, or be preceded by an action of the test's own.
#pragma once

#include <functional>
#include <map>
#include <utility>

#include "io/fileops.hpp"

namespace tw::test {

enum class FileOp {
  OpenForReading,
  Read,
  Stat,
  CreateNew,
  Write,
  FlushAndClose,
  CopyOwner,
  Rename,
  Remove,
  CheckWritable,
};
inline constexpr FileOp kEveryFileOp[] = {
    FileOp::OpenForReading, FileOp::Read,          FileOp::Stat,      FileOp::CreateNew,
    FileOp::Write,          FileOp::FlushAndClose, FileOp::CopyOwner, FileOp::Rename,
    FileOp::Remove,         FileOp::CheckWritable};

class FaultyFileOps : public FileOps {
 public:
  // The nth call (1-based) of `op` fails with the system error `err` and does nothing.
  void FailOn(FileOp op, int nth, int err) { failures_[{op, nth}] = err; }
  // `action` runs just before the nth call of `op`.
  void Before(FileOp op, int nth, std::function<void()> action) {
    actions_[{op, nth}] = std::move(action);
  }
  int Calls(FileOp op) const {
    auto it = calls_.find(op);
    return it == calls_.end() ? 0 : it->second;
  }

  Result<UniqueFile> OpenForReading(const std::filesystem::path& file) override {
    if (auto error = Enter(FileOp::OpenForReading); error.failed()) return error;
    return FileOps::OpenForReading(file);
  }
  Result<size_t> Read(std::FILE* file, char* buffer, size_t size) override {
    if (auto error = Enter(FileOp::Read); error.failed()) return error;
    return FileOps::Read(file, buffer, size);
  }
  Result<FileStat> Stat(std::FILE* file) override {
    if (auto error = Enter(FileOp::Stat); error.failed()) return error;
    return FileOps::Stat(file);
  }
  Result<UniqueFile> CreateNew(const std::filesystem::path& file) override {
    if (auto error = Enter(FileOp::CreateNew); error.failed()) return error;
    return FileOps::CreateNew(file);
  }
  Status Write(std::FILE* file, std::string_view bytes) override {
    if (auto error = Enter(FileOp::Write); error.failed()) return error;
    return FileOps::Write(file, bytes);
  }
  Status FlushAndClose(UniqueFile& file) override {
    if (auto error = Enter(FileOp::FlushAndClose); error.failed()) {
      file.reset();
      return error;
    }
    return FileOps::FlushAndClose(file);
  }
  Status CopyOwner(std::FILE* file, const FileStat& from) override {
    if (auto error = Enter(FileOp::CopyOwner); error.failed()) return error;
    return FileOps::CopyOwner(file, from);
  }
  Status Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
    if (auto error = Enter(FileOp::Rename); error.failed()) return error;
    return FileOps::Rename(from, to);
  }
  Status Remove(const std::filesystem::path& file) override {
    if (auto error = Enter(FileOp::Remove); error.failed()) return error;
    return FileOps::Remove(file);
  }
  Status CheckWritable(const std::filesystem::path& file) override {
    if (auto error = Enter(FileOp::CheckWritable); error.failed()) return error;
    return FileOps::CheckWritable(file);
  }

 private:
  FileError Enter(FileOp op) {
    const int nth = ++calls_[op];
    if (auto it = actions_.find({op, nth}); it != actions_.end()) it->second();
    if (auto it = failures_.find({op, nth}); it != failures_.end()) {
      return FileError::FromErrno(it->second);
    }
    return FileError{};
  }

  std::map<std::pair<FileOp, int>, int> failures_;
  std::map<std::pair<FileOp, int>, std::function<void()>> actions_;
  std::map<FileOp, int> calls_;
};

}  // namespace tw::test
