// The saved state: the settings kept from one use of the program to the next, 22 lines of
// UTF-8 text in the user's application-data folder.
#pragma once

#include <filesystem>
#include <optional>

#include "analysis/settings.hpp"
#include "core/error.hpp"
#include "io/fileops.hpp"
#include "io/fileproc.hpp"
#include "text/message.hpp"
#include "text/text.hpp"

namespace tw {

inline constexpr int32_t kStateFileLines = 22;
inline constexpr TextView kStateFileExtension = u".usr";
inline constexpr TextView kSaveStateCaption = u"Save state";
inline constexpr TextView kSaveStateError = u"Error when attempting to save the state: ";

// Where the state file lives, worked out once at start-up.
struct StateFileLocation {
  std::filesystem::path file;
  // The program folder exists (it was there or has just been created).
  bool folderReady = false;
  // Why the folder could not be made ready.
  FileError folderError;
};

// base / folderName / (shortName lower-cased + ".usr"); the program folder is created with
// its missing parents. `base` is the per-user application-data folder.
StateFileLocation ComputeStateFilePath(const std::filesystem::path& base, TextView folderName,
                                       TextView shortName);

// Reads the 22 lines into `settings` (the texts, lists, check boxes and the option; the
// words-to-ignore text normalised, the number boxes cut to 4 characters). Returns false,
// leaving `settings` untouched, when the file is missing, short or malformed.
bool LoadState(const std::filesystem::path& file, AnalysisSettings& settings);

// Writes the 22 lines through a temporary file that then replaces the old one.
Status SaveState(const std::filesystem::path& file, const AnalysisSettings& settings,
                 FileOps& ops = RealFileOps());

// The whole state file text that SaveState writes (UTF-8 lines ended by CR LF).
std::string StateFileText(const AnalysisSettings& settings);

// The "Save state" message for a failure description.
Message SaveStateFailureMessage(TextView description);

}  // namespace tw
