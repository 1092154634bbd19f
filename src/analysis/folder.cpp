// The folders of the program's own files (folder).
#include "analysis/folder.hpp"

#include <cerrno>
#include <system_error>

#include "text/codepage.hpp"

namespace tw {

namespace {

FileError ErrorFrom(const std::error_code& ec) {
  FileError error;
  error.number = ec.value() != 0 ? ec.value() : EIO;
  error.description = FromUtf8(ec.message());
  error.permissionDenied = ec == std::errc::permission_denied;
  return error;
}

}  // namespace

std::filesystem::path ProgramStateFolder(const std::filesystem::path& base, TextView name) {
  if (base.empty() || name.empty()) return {};
  return base / std::filesystem::path(Text(name));
}

bool EnsureFolder(const std::filesystem::path& folder, FileError& error) {
  error = FileError{};
  if (folder.empty()) {
    error = ErrorFrom(std::make_error_code(std::errc::no_such_file_or_directory));
    return false;
  }
  std::error_code ec;
  if (std::filesystem::is_directory(folder, ec)) return true;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    error = ErrorFrom(ec);
    return false;
  }
  if (!std::filesystem::is_directory(folder, ec)) {
    error = ErrorFrom(ec ? ec : std::make_error_code(std::errc::not_a_directory));
    return false;
  }
  return true;
}

}  // namespace tw
