// Platform file operations: POSIX here, the C runtime's equivalents on Windows.
#include "io/osfile.hpp"

#include <cerrno>
#include <string>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tw {

namespace {

constexpr int64_t kNanosecondsPerSecond = 1000000000;

}  // namespace

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

std::optional<FileStat> StatOpenFile(std::FILE* file) {
  if (file == nullptr) {
    errno = EBADF;
    return std::nullopt;
  }
#ifdef _WIN32
  struct _stat64 st {};
  if (_fstat64(_fileno(file), &st) != 0) return std::nullopt;
  FileStat s;
  s.size = static_cast<uint64_t>(st.st_size);
  s.modifiedNs = static_cast<int64_t>(st.st_mtime) * kNanosecondsPerSecond;
  s.device = static_cast<uint64_t>(st.st_dev);
  s.inode = static_cast<uint64_t>(st.st_ino);
  s.regular = (st.st_mode & _S_IFREG) != 0;
  return s;
#else
  struct stat st {};
  if (fstat(fileno(file), &st) != 0) return std::nullopt;
  FileStat s;
  s.size = static_cast<uint64_t>(st.st_size);
  s.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * kNanosecondsPerSecond +
                 static_cast<int64_t>(st.st_mtim.tv_nsec);
  s.device = static_cast<uint64_t>(st.st_dev);
  s.inode = static_cast<uint64_t>(st.st_ino);
  s.owner = static_cast<uint32_t>(st.st_uid);
  s.group = static_cast<uint32_t>(st.st_gid);
  s.regular = S_ISREG(st.st_mode);
  return s;
#endif
}

int CopyOwner(std::FILE* file, const FileStat& from) {
#ifdef _WIN32
  (void)file;
  (void)from;
  return 0;
#else
  if (file == nullptr) return EBADF;
  if (fchown(fileno(file), static_cast<uid_t>(from.owner), static_cast<gid_t>(from.group)) != 0) {
    return errno;
  }
  return 0;
#endif
}

}  // namespace tw
