// The command line's argument parser, tw::cli::ParseArguments.
//
//   byte 0    the command put first: byte 0 modulo (commands + 1); the last value puts none,
//             so that the first argument of the input is the command ("--help", a typo ...)
//   the rest  the arguments, separated by NUL bytes
//
// Properties: the parse never throws; a usage problem has a reason; a command runs only with
// a FILE, and the FILEs of a run are arguments in their order; every value lies in the range
// that the usage text gives for its option; a command without the analysis (insert) options
// keeps their defaults; after "--" every argument is a FILE; a FILE added at the end of a
// command line that parses is one more FILE and changes nothing else.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "analysis/settings.hpp"
#include "cli/commands.hpp"
#include "cli/options.hpp"
#include "core/language.hpp"
#include "core/limits.hpp"
#include "core/number.hpp"
#include "support.hpp"

namespace tw::fuzz {
namespace {

using cli::CommandOptions;
using cli::ParsedArguments;
using cli::ParseResult;
using cli::UsageProblem;

constexpr size_t kMaxArguments = 64;
constexpr size_t kMaxNumberDigits = 9;

ParseResult Parse(const std::vector<std::string>& args) {
  try {
    return cli::ParseArguments(args);
  } catch (const std::exception& e) {
    Fail(e.what(), __FILE__, __LINE__);
  } catch (...) {
    Fail("ParseArguments threw", __FILE__, __LINE__);
  }
}

// The number of entries of each of the window's number lists.
struct ListSize {
  int32_t AnalysisSettings::*field;
  int32_t items;
};

constexpr ListSize kListSizes[] = {
    {&AnalysisSettings::cboTitleWeight, 9},    {&AnalysisSettings::cboDescriptionWeight, 9},
    {&AnalysisSettings::cboExistingKeywordsWeight, 10},
    {&AnalysisSettings::cboBoldWeight, 9},     {&AnalysisSettings::cboItalicWeight, 9},
    {&AnalysisSettings::cboTableWeight, 10},   {&AnalysisSettings::cboDivWeight, 10},
    {&AnalysisSettings::cboSpanWeight, 10},    {&AnalysisSettings::cboShortWordSize, 9},
    {&AnalysisSettings::cboThresholdFrequency, 9},
};

bool InBox(const std::optional<Text>& box, int32_t least, int32_t most) {
  if (!box) return true;
  const std::optional<int64_t> n = ParseWholeNumber(*box, false, kMaxNumberDigits);
  return n && *n >= least && *n <= most;
}

void CheckRanges(const ParsedArguments& parsed) {
  const CommandOptions& a = parsed.line.analysis;
  FUZZ_CHECK(a.language == cli::kLanguageAuto ||
             (a.language >= 0 && a.language <= kAllLanguagesIndex));
  for (const auto& [field, position] : a.listPositions) {
    int32_t items = 0;
    for (const ListSize& list : kListSizes) {
      if (list.field == field) items = list.items;
    }
    FUZZ_CHECK(position >= 0 && position < items);
  }
  FUZZ_CHECK(InBox(a.maxKeywords, intMinNumKeywords, intMaxNumKeywords));
  FUZZ_CHECK(InBox(a.maxBytes, 0, intMaxNumBytes));
  FUZZ_CHECK(parsed.line.run.jobs <= cli::kMaxJobs);
}

bool HasDefaultAnalysis(const CommandOptions& a) {
  return a.language == cli::kLanguageAuto && a.listPositions.empty() && !a.maxKeywords &&
         !a.maxBytes && !a.wordsToIgnore && !a.beginWith && !a.keepShortWords &&
         !a.keepCommonWords && !a.lowerCase && !a.noSpaceAfterComma && !a.verbose;
}

bool Same(const ParsedArguments& x, const ParsedArguments& y) {
  const CommandOptions& a = x.line.analysis;
  const CommandOptions& b = y.line.analysis;
  const cli::RunOptions& r = x.line.run;
  const cli::RunOptions& s = y.line.run;
  return x.action == y.action && x.command == y.command && x.line.help == y.line.help &&
         x.line.operands == y.line.operands && a.language == b.language &&
         a.listPositions == b.listPositions && a.maxKeywords == b.maxKeywords &&
         a.maxBytes == b.maxBytes && a.wordsToIgnore == b.wordsToIgnore &&
         a.beginWith == b.beginWith && a.keepShortWords == b.keepShortWords &&
         a.keepCommonWords == b.keepCommonWords && a.lowerCase == b.lowerCase &&
         a.noSpaceAfterComma == b.noSpaceAfterComma && a.verbose == b.verbose &&
         r.jobs == s.jobs && r.json == s.json && r.quiet == s.quiet && r.backup == s.backup &&
         r.dryRun == s.dryRun;
}

bool IsSubsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole,
                   size_t from) {
  size_t k = 0;
  for (size_t i = from; i < whole.size(); ++i) {
    if (k < part.size() && part[k] == whole[i]) ++k;
  }
  return k == part.size();
}

}  // namespace
}  // namespace tw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tw;
  using namespace tw::fuzz;
  const std::vector<cli::CliCommand>& commands = cli::AllCommands();
  HeadReader head(data, size);
  const auto chosen = static_cast<size_t>(head.Below(static_cast<int32_t>(commands.size() + 1)));

  std::vector<std::string> args;
  if (chosen < commands.size()) args.emplace_back(commands[chosen].name);
  const std::string_view rest = head.Rest();
  if (!rest.empty()) {
    size_t from = 0;
    while (args.size() < kMaxArguments) {
      const size_t nul = rest.find('\0', from);
      args.emplace_back(rest.substr(from, nul == std::string_view::npos ? nul : nul - from));
      if (nul == std::string_view::npos) break;
      from = nul + 1;
    }
  }

  const ParseResult result = Parse(args);
  const cli::CliCommand* named = args.empty() ? nullptr : cli::FindCommand(args.front());
  if (const auto* problem = std::get_if<UsageProblem>(&result)) {
    FUZZ_CHECK(!problem->reason.empty());
  } else {
    const auto& parsed = std::get<ParsedArguments>(result);
    FUZZ_CHECK(!args.empty());
    const std::string& first = args.front();
    if (first == "--version") {
      FUZZ_CHECK(parsed.action == ParsedArguments::Action::Version);
    } else if (first == "-h" || first == "--help") {
      FUZZ_CHECK(parsed.action == ParsedArguments::Action::Help);
    } else {
      FUZZ_CHECK(parsed.command != nullptr && parsed.command == named);
      FUZZ_CHECK(parsed.action == (parsed.line.help ? ParsedArguments::Action::Help
                                                    : ParsedArguments::Action::Run));
      FUZZ_CHECK(parsed.line.help || !parsed.line.operands.empty());
      // CLI11 takes "-h x" for -h and a FILE "- x"; help reads no FILE, so only a run's
      // FILEs must be arguments.
      if (!parsed.line.help) FUZZ_CHECK(IsSubsequence(parsed.line.operands, args, 1));
      CheckRanges(parsed);
      if (!named->analysisOptions) FUZZ_CHECK(HasDefaultAnalysis(parsed.line.analysis));
      if (!named->insertOptions) FUZZ_CHECK(!parsed.line.run.backup && !parsed.line.run.dryRun);

      std::vector<std::string> more = args;
      more.emplace_back("page.html");
      const ParseResult withFile = Parse(more);
      const auto* again = std::get_if<ParsedArguments>(&withFile);
      FUZZ_CHECK(again != nullptr);
      ParsedArguments expected = parsed;
      expected.line.operands.emplace_back("page.html");
      FUZZ_CHECK(Same(*again, expected));
    }
  }

  // The same command with "--" before the rest: every argument after it is a FILE.
  if (named != nullptr) {
    std::vector<std::string> ended{args.front(), "--"};
    ended.insert(ended.end(), args.begin() + 1, args.end());
    const ParseResult filesOnly = Parse(ended);
    if (args.size() == 1) {
      FUZZ_CHECK(std::holds_alternative<UsageProblem>(filesOnly));
    } else {
      const auto* files = std::get_if<ParsedArguments>(&filesOnly);
      FUZZ_CHECK(files != nullptr);
      FUZZ_CHECK(files->action == ParsedArguments::Action::Run && files->command == named);
      FUZZ_CHECK(std::vector<std::string>(args.begin() + 1, args.end()) == files->line.operands);
      FUZZ_CHECK(HasDefaultAnalysis(files->line.analysis));
      const cli::RunOptions& r = files->line.run;
      FUZZ_CHECK(r.jobs == 0 && !r.json && !r.quiet && !r.backup && !r.dryRun);
    }
  }
  return 0;
}
