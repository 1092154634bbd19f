// The command line's options: the analysis settings as the window's controls show them,
// parsed once for every command that runs an analysis, and applied in the window's order.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/settings.hpp"
#include "catalogue/language2.hpp"
#include "cli/clihost.hpp"
#include "words/commonwords.hpp"

namespace tw::cli {

// --language auto: chosen from the document, as the window does when a file is chosen.
inline constexpr int32_t kLanguageAuto = -2;

// The analysis options of a command line; unset ones keep the window's defaults.
struct CommandOptions {
  int32_t language = kLanguageAuto;
  // List positions of the ten number lists, by field of AnalysisSettings.
  std::vector<std::pair<int32_t AnalysisSettings::*, int32_t>> listPositions;
  std::optional<Text> maxKeywords;
  std::optional<Text> maxBytes;
  std::optional<Text> wordsToIgnore;
  std::optional<Text> beginWith;
  bool keepShortWords = false;
  bool keepCommonWords = false;
  bool lowerCase = false;
  bool noSpaceAfterComma = false;
  // Print how the language was chosen.
  bool verbose = false;
};

struct CommandLine {
  bool help = false;
  std::vector<std::string> operands;  // the FILE and any other plain arguments
  CommandOptions analysis;
  std::vector<std::string> flags;  // the command's own flags that were given
};

// Parses the arguments after the command name. `analysisOptions`: the command takes the
// analysis options; `commandFlags`: flags of its own (such as "--backup"). On a bad
// argument returns nothing and puts the reason into `error`.
std::optional<CommandLine> ParseCommandLine(std::span<const std::string> args, bool analysisOptions,
                                            std::span<const std::string_view> commandFlags,
                                            std::string& error);

bool HasFlag(const CommandLine& line, std::string_view flag);

// The help lines of the analysis options.
std::string AnalysisOptionsHelp();

// What every command works with: the data folder, the program texts, the common words and
// the host. Load() reads the program texts and shows the loader's message when it fails.
struct CliSession {
  std::filesystem::path dataFolder;
  ProgramText texts;
  CommonWords commonWords;
  CliHost host;
  // The command's one reading of the document: the language choice, the checks and the scan
  // (and the insertion) all work on its bytes.
  DocumentReader document;

  CliSession();
  bool Load();
};

// The settings of a run on `file` as the window would hold them: the defaults, the input
// file (made absolute), the language chosen from the document (or given), then the other
// options. Loads the common words of the chosen language; when they are needed and not
// available, shows the window's "Common words not available" message and unticks the box.
// False when the document failed while it was read (the message has been shown).
bool ApplyAnalysisOptions(const CommandOptions& options, const std::string& file,
                          CliSession& session);

// Prints the output box to stdout (when `outputWritten`) and gives the exit status: 1 when
// a message was shown, else 0.
int FinishCommand(CliSession& session, bool outputWritten);

// Prints "tagwright-cli: REASON" and the usage to stderr; returns the usage exit status.
int UsageError(const std::string& reason);

}  // namespace tw::cli
