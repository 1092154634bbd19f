// Failures of the file system as the program reports them.
#include "core/error.hpp"

#include <cerrno>

#include "text/codepage.hpp"

namespace tw {

namespace {

bool IsPermissionError(int err) {
  return err == EACCES || err == EPERM;
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

}  // namespace tw
