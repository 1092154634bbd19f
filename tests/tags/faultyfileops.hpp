// A test double of the insertion's file operations: the real operations, except that any call
// can be made to fail with a chosen error, or be preceded by an action of the test's own.
#pragma once

#include <functional>
#include <map>
#include <utility>

#include "tags/insertfileops.hpp"

namespace tw::test {

enum class FileOp { CreateNew, FlushAndClose, Rename, Remove, CheckWritable };

class FaultyFileOps : public RealInsertFileOps {
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

  FileError CreateNew(const std::filesystem::path& file, LineEnds ends,
                      LineWriter& writer) override {
    if (auto error = Enter(FileOp::CreateNew); error.failed()) return error;
    return RealInsertFileOps::CreateNew(file, ends, writer);
  }
  FileError FlushAndClose(LineWriter& writer) override {
    if (auto error = Enter(FileOp::FlushAndClose); error.failed()) {
      writer.Close(false);
      return error;
    }
    return RealInsertFileOps::FlushAndClose(writer);
  }
  FileError Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
    if (auto error = Enter(FileOp::Rename); error.failed()) return error;
    return RealInsertFileOps::Rename(from, to);
  }
  FileError Remove(const std::filesystem::path& file) override {
    if (auto error = Enter(FileOp::Remove); error.failed()) return error;
    return RealInsertFileOps::Remove(file);
  }
  FileError CheckWritable(const std::filesystem::path& file) override {
    if (auto error = Enter(FileOp::CheckWritable); error.failed()) return error;
    return RealInsertFileOps::CheckWritable(file);
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
