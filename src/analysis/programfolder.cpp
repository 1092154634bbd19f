// The executable's own folder is the one platform-specific piece; the rest is std::filesystem.
#include "analysis/programfolder.hpp"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

// The build passes the install layout: the data folder relative to the programs' folder.
#ifndef TAGWRIGHT_INSTALLED_DATA_FROM_PROGRAMS
#error "TAGWRIGHT_INSTALLED_DATA_FROM_PROGRAMS is not defined"
#endif

namespace tw {

namespace {

bool HoldsProgramText(const std::filesystem::path& folder) {
  std::error_code ec;
  return std::filesystem::is_regular_file(folder / std::filesystem::path(kProgramTextFileName), ec);
}

}  // namespace

std::filesystem::path ProgramFolder() {
  std::error_code ec;
#ifdef _WIN32
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  const std::filesystem::path exe(buffer);
#else
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
#endif
  return exe.parent_path();
}

std::filesystem::path InstalledDataFolderFromPrograms() {
  return std::filesystem::path(TAGWRIGHT_INSTALLED_DATA_FROM_PROGRAMS);
}

std::filesystem::path DataFolderFor(const std::filesystem::path& programFolder,
                                    const std::filesystem::path& installedData) {
  if (HoldsProgramText(programFolder)) return programFolder;
  const std::filesystem::path installed = (programFolder / installedData).lexically_normal();
  if (HoldsProgramText(installed)) return installed;
  return programFolder;
}

std::filesystem::path ProgramDataFolder() {
  return DataFolderFor(ProgramFolder());
}

}  // namespace tw
