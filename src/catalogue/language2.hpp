// Numbered program texts, read from the program text file (qdx.dat) beside the program.
#pragma once

#include <filesystem>
#include <map>

#include "text/text.hpp"

namespace tw {

class ProgramText {
 public:
  // Reads the program text file in `folder`. Returns 1 or more on success, or one of the
  // loader's result codes (0 or less); LoaderMessage gives the text to show for a failure.
  int LoadProgramText(const std::filesystem::path& folder, TextView fileName);
  // Entry n, or an empty text when there is none (or it is "~").
  Text GetProgramText(int n) const;
  // The full path of the last load.
  const std::filesystem::path& path() const { return path_; }

  // The message for a loader result r (empty for success); `path` is shown for -1.
  static Text LoaderMessage(int r, const std::filesystem::path& path);

 private:
  std::map<int, Text> entries_;
  std::filesystem::path path_;
};

// The catalogue entries with fixed roles.
namespace catalogue {
inline constexpr int kProgramName = 1;
inline constexpr int kShortName = 2;
inline constexpr int kNotHtmlOrPhpText = 3;
inline constexpr int kNotHtmlOrPhpCaption = 4;
inline constexpr int kFileNotFoundText = 5;
inline constexpr int kFileNotFoundCaption = 6;  // also the caption of the run's file checks
inline constexpr int kNoInputFileText = 7;
inline constexpr int kNoInputFileCaption = 8;
inline constexpr int kCheckFileNotFound = 9;
inline constexpr int kManualAddress = 15;
inline constexpr int kTooShortCaption = 21;
inline constexpr int kZeroLengthText = 22;
inline constexpr int kAccessDeniedText = 23;
inline constexpr int kStateFolderName = 310;
inline constexpr int kPublisherAddress = 315;
}  // namespace catalogue

}  // namespace tw
