// The few file operations that the standard library lacks, kept apart for each platform.
#pragma once

#include <cstdio>
#include <filesystem>

namespace tw {

// Opens a file with a C mode such as "rb" or "wb"; null with errno set on failure.
std::FILE* OpenFile(const std::filesystem::path& file, const char* mode);

// Writes the file's data through to the disk; returns 0 or the system's error number.
int SyncFileToDisk(std::FILE* file);

}  // namespace tw
