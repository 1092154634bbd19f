// Where the program's data files (common words, program texts, help) are: beside the
// executable (the build tree), else where the installation put them relative to it.
#pragma once

#include <filesystem>

#include "text/text.hpp"

namespace tw {

// The program text file, named after the main window's tag.
inline constexpr TextView kProgramTextFileName = u"qdx.dat";

// The folder that holds the running executable; empty when it cannot be found.
std::filesystem::path ProgramFolder();

// The installed data folder relative to the installed programs' folder, from the install
// layout the build was configured with ("../share/tagwright" for bin/ and share/).
std::filesystem::path InstalledDataFolderFromPrograms();

// The data folder of a program in `programFolder`: that folder when it holds the program
// text file, else `programFolder`/`installedData` when that does, else `programFolder` itself.
std::filesystem::path DataFolderFor(
    const std::filesystem::path& programFolder,
    const std::filesystem::path& installedData = InstalledDataFolderFromPrograms());

// DataFolderFor(ProgramFolder()).
std::filesystem::path ProgramDataFolder();

}  // namespace tw
