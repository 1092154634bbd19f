// The command line's arguments: the command, its FILEs and its options, parsed once in one
// pure function; the analysis settings as the window's controls show them, applied to each
// page in the window's order.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "analysis/settings.hpp"
#include "catalogue/language2.hpp"
#include "cli/clihost.hpp"
#include "io/document.hpp"
#include "words/commonwords.hpp"
#include "words/wordlist.hpp"

namespace tw::cli {

struct CliCommand;

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

// How a command goes over its pages.
struct RunOptions {
  // Pages analysed at once; 0: one per processor.
  uint32_t jobs = 0;
  // One JSON object per page (report: one for the whole site) instead of the text.
  bool json = false;
  // No progress line, even on a terminal.
  bool quiet = false;
  // insert: a backup of every page; the changes as a unified diff, nothing written.
  bool backup = false;
  bool dryRun = false;
};

inline constexpr uint32_t kMaxJobs = 256;

struct CommandLine {
  bool help = false;
  std::vector<std::string> operands;  // the FILEs, in the order given
  CommandOptions analysis;
  RunOptions run;
};

// What the arguments ask for.
struct ParsedArguments {
  enum class Action { Help, Version, Run };
  Action action = Action::Run;
  const CliCommand* command = nullptr;  // for Run (and a command's own -h)
  CommandLine line;
};

// A command line that cannot be run: the reason, as "tagwright-cli: REASON" shows it.
struct UsageProblem {
  std::string reason;
};

using ParseResult = std::variant<ParsedArguments, UsageProblem>;

// Parses the arguments after the program's name: the command (or --help, --version), its
// FILEs and its options. Pure: reads nothing but its arguments, writes nothing, never throws
// for any input.
ParseResult ParseArguments(std::span<const std::string> args);

// The help lines of the options.
std::string AnalysisOptionsHelp();

// What every page of a run shares, loaded before the first page and only read after that:
// the data folder, the program texts, the common words and the user's number format.
struct SharedData {
  std::filesystem::path dataFolder;
  ProgramText texts;
  CommonWords commonWords;
  NumberFormat numberFormat;
};

// Reads the program texts; on failure shows the loader's message through `host`.
bool LoadProgramTexts(SharedData& shared, CliHost& host);
// Loads the common-word lists that the options may need: the six single languages for
// --language auto (recognition counts the words against them), else the one given. A list
// that cannot be loaded stays unavailable; a page that needs it says so.
void LoadCommonWords(const CommandOptions& options, SharedData& shared);

// How the language of a page was chosen: its code ("de", "all") and "declared",
// "recognised", "default" or "given".
struct LanguageFact {
  std::string code;
  std::string source;
};

// The settings of a run on `file` as the window would hold them: the defaults, the input
// file (made absolute), the language chosen from the document (or given), then the other
// options. When the common words of the language are needed and not available, shows the
// window's "Common words not available" message and unticks the box. `document` is the
// page's one reading. False when the document failed while it was read (the message has
// been shown).
bool ApplyAnalysisOptions(const CommandOptions& options, const std::string& file,
                          const SharedData& shared, CliHost& host, DocumentReader& document,
                          LanguageFact* language = nullptr);

// Prints "tagwright-cli: REASON" and the usage to stderr; returns the usage exit status.
int UsageError(const std::string& reason);

}  // namespace tw::cli
