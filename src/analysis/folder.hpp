// The folders of the program's own files: the per-user folder that holds the state file,
// created with all its missing parents when needed.
#pragma once

#include <filesystem>

#include "io/fileproc.hpp"
#include "text/text.hpp"

namespace tw {

// `base` / `name`; empty when either is empty.
std::filesystem::path ProgramStateFolder(const std::filesystem::path& base, TextView name);

// Makes sure `folder` exists as a folder, creating it and its missing parents. On failure
// returns false and fills `error` (an empty path fails too).
bool EnsureFolder(const std::filesystem::path& folder, FileError& error);

}  // namespace tw
