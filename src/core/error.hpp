// Failures of the file system, and the result of an operation that can fail with one.
#pragma once

#include <system_error>
#include <utility>
#include <variant>

#include "text/text.hpp"

namespace tw {

// A failure of the file system: its number (0 when none), the system's description and
// whether it was the permission-denied error.
struct FileError {
  int number = 0;
  Text description;
  bool permissionDenied = false;

  bool failed() const { return number != 0; }
  static FileError FromErrno(int err);
  static FileError FromErrorCode(const std::error_code& ec);

  bool operator==(const FileError&) const = default;
};

// A value, or the failure that kept it from being made.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}          // NOLINT: a value converts implicitly
  Result(FileError error) : state_(std::move(error)) {}  // NOLINT: so does a failure

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<0>(state_); }
  const T& value() const { return std::get<0>(state_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const FileError& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, FileError> state_;
};

// An operation that gives nothing but can fail: the failure, or a FileError that has not
// failed.
using Status = FileError;

}  // namespace tw
