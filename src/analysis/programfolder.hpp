// Where the program's data files (common words, program texts, help) are: beside the
// executable, else in ../share/tagwright/ relative to it (the installed layout).
#pragma once

#include <filesystem>

#include "text/text.hpp"

namespace tw {

// The program text file, named after the main window's tag.
inline constexpr TextView kProgramTextFileName = u"qdx.dat";

// The folder that holds the running executable; empty when it cannot be found.
std::filesystem::path ProgramFolder();

// The data folder of a program in `programFolder`: that folder when it holds the program
// text file, else ../share/tagwright/ when that does, else `programFolder` itself.
std::filesystem::path DataFolderFor(const std::filesystem::path& programFolder);

// DataFolderFor(ProgramFolder()).
std::filesystem::path ProgramDataFolder();

}  // namespace tw
