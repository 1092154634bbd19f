// Platform file operations: POSIX here, the C runtime's equivalents on Windows.
#include "io/osfile.hpp"

#include <cerrno>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tw {

std::FILE* OpenFile(const std::filesystem::path& file, const char* mode) {
#ifdef _WIN32
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(file.c_str(), wideMode.c_str());
#else
  return std::fopen(file.c_str(), mode);
#endif
}

int SyncFileToDisk(std::FILE* file) {
  if (file == nullptr) return EBADF;
#ifdef _WIN32
  if (_commit(_fileno(file)) != 0) return errno;
#else
  if (fsync(fileno(file)) != 0) {
    // Some file systems (pipes, special files) cannot be synchronised; their data is written.
    if (errno == EINVAL || errno == EROFS) return 0;
    return errno;
  }
#endif
  return 0;
}

}  // namespace tw
