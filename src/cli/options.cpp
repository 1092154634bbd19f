// Parsing the command line with CLI11, and applying the analysis options to a page.
#include "cli/options.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <system_error>

#include "analysis/language.hpp"
#include "analysis/programfolder.hpp"
#include "cli/commands.hpp"
#include "core/number.hpp"
#include "io/fileproc.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"

namespace tw::cli {

namespace {

// A number list of the window: the numbers it shows run from `first` to `last` in steps of
// `step`; the list position of a number n is (n - first) / step.
struct ListOption {
  std::string_view name;
  int32_t AnalysisSettings::*field;
  int32_t first;
  int32_t last;
  int32_t step;
  int32_t shownDefault;
  std::string_view help;
};

constexpr ListOption kListOptions[] = {
    {"--title-weight", &AnalysisSettings::cboTitleWeight, 10, 90, 10, 90, "TITLE weight"},
    {"--description-weight", &AnalysisSettings::cboDescriptionWeight, 10, 90, 10, 60,
     "description weight"},
    {"--keywords-weight", &AnalysisSettings::cboExistingKeywordsWeight, 0, 90, 10, 0,
     "existing keywords weight"},
    {"--bold-weight", &AnalysisSettings::cboBoldWeight, 1, 9, 1, 5, "bold/strong weight"},
    {"--italic-weight", &AnalysisSettings::cboItalicWeight, 1, 9, 1, 5, "italic/emphasis weight"},
    {"--table-weight", &AnalysisSettings::cboTableWeight, 0, 9, 1, 1,
     "TABLE weight (0 skips tables)"},
    {"--div-weight", &AnalysisSettings::cboDivWeight, 0, 9, 1, 2, "DIV weight (0 skips them)"},
    {"--span-weight", &AnalysisSettings::cboSpanWeight, 0, 9, 1, 2, "SPAN weight (0 skips them)"},
    {"--short-words", &AnalysisSettings::cboShortWordSize, 1, 9, 1, 2,
     "ignore words with N characters or less"},
    {"--min-frequency", &AnalysisSettings::cboThresholdFrequency, 1, 9, 1, 2,
     "minimum frequency for a word"},
};

// The two number boxes.
struct BoxOption {
  std::string_view name;
  std::optional<Text> CommandOptions::*target;
  int32_t first;
  int32_t last;
  int32_t shownDefault;
  std::string_view help;
};

constexpr BoxOption kBoxOptions[] = {
    {"--max-keywords", &CommandOptions::maxKeywords, intMinNumKeywords, intMaxNumKeywords,
     intDefaultMaxNumKeywords, "maximum number of keywords in the tag"},
    {"--max-bytes", &CommandOptions::maxBytes, 0, intMaxNumBytes, intDefaultMaxNumBytes,
     "maximum number of bytes in the tag (0: no limit)"},
};

// The flags of the analysis.
struct FlagOption {
  std::string_view name;
  bool CommandOptions::*target;
  std::string_view help;
};

constexpr FlagOption kAnalysisFlags[] = {
    {"--keep-short-words", &CommandOptions::keepShortWords, "do not ignore short words"},
    {"--keep-common-words", &CommandOptions::keepCommonWords, "do not ignore common words"},
    {"--lower-case", &CommandOptions::lowerCase, "all keywords in lower case"},
    {"--no-space-after-comma", &CommandOptions::noSpaceAfterComma,
     "no space after the commas of the tag"},
    {"--verbose", &CommandOptions::verbose, "print on stderr how the language was chosen"},
};

constexpr std::string_view kLanguageOption = "--language";
constexpr std::string_view kIgnoreOption = "--ignore";
constexpr std::string_view kBeginOption = "--begin";
constexpr std::string_view kJobsOption = "-j,--jobs";
constexpr std::string_view kAutoLanguage = "auto";
constexpr std::string_view kAllLanguages = "all";
constexpr size_t kMaxNumberDigits = 9;

// A flag's own value, one that nobody types: any value given to a flag on the command line
// ("--lower-case=yes", even "--lower-case=true") differs from it and is refused.
constexpr std::string_view kFlagMark = "{\x1f}";
// CLI11's words for a value given to a flag, after the flag's name without its dashes.
constexpr std::string_view kFlagValueRefused = " was given a disallowed flag override";

// CLI11 takes a FILE written as a list for the FILEs in it: "[a,b]" for a and b, "[old]" for
// old, "[]" for none. Such an argument goes to CLI11 behind a mark and every value comes
// back without it; an argument that starts with the mark gets one more, so that each
// argument comes back as it was given.
constexpr char kListMark = '\x1f';

std::string Marked(const std::string& arg) {
  if (!arg.empty() && (arg.front() == kListMark || (arg.front() == '[' && arg.back() == ']')))
    return kListMark + arg;
  return arg;
}

std::string Unmarked(std::string value) {
  if (!value.empty() && value.front() == kListMark) value.erase(0, 1);
  return value;
}

// A bad value, thrown from an option's callback while CLI11 parses, so that the first bad
// value on the command line is the one reported.
class BadArgument : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::optional<int32_t> ParseNumber(std::string_view text) {
  const std::optional<int64_t> n = ParseWholeNumber(text, false, kMaxNumberDigits);
  if (!n) return std::nullopt;
  return static_cast<int32_t>(*n);
}

std::string ListValues(const ListOption& o) {
  return std::to_string(o.first) + ", " + std::to_string(o.first + o.step) + " .. " +
         std::to_string(o.last);
}

std::optional<int32_t> LanguagePosition(std::string_view value) {
  if (value == kAutoLanguage) return kLanguageAuto;
  if (value == kAllLanguages) return kAllLanguagesIndex;
  for (int32_t i = 0; i < kAllLanguagesIndex; ++i) {
    if (FromUtf8(value) == strLanguageCodes[static_cast<size_t>(i)]) return i;
  }
  return std::nullopt;
}

[[noreturn]] void Refuse(std::string_view name, const std::string& value, std::string_view range) {
  throw BadArgument("invalid value for " + std::string(name) + ": '" + value + "' (" +
                    std::string(range) + ")");
}

// The options of one command on a CLI11 parser, writing into `line`.
class CommandParser {
 public:
  CommandParser(const CliCommand& command, CommandLine& line) : line_(line) {
    app_.set_help_flag();
    // CLI11 keeps unknown options aside; the first of them is reported after the parse, so a
    // bad value anywhere on the line is reported before an unknown option.
    app_.allow_extras();
    Flag("-h,--help", line.help);
    if (command.analysisOptions) AddAnalysisOptions();
    Value(kJobsOption, [this](const std::string& value) {
      const auto n = ParseNumber(value);
      if (!n || *n < 1 || *n > static_cast<int32_t>(kMaxJobs))
        Refuse("--jobs", value, "1 .. " + std::to_string(kMaxJobs));
      line_.run.jobs = static_cast<uint32_t>(*n);
    });
    Flag("--json", line.run.json);
    Flag("--quiet", line.run.quiet);
    if (command.insertOptions) {
      Flag("--backup", line.run.backup);
      Flag("--dry-run", line.run.dryRun);
    }
    app_.add_option("FILE", line.operands);
  }

  // Parses; the reason of the first problem, or nothing.
  std::optional<std::string> Parse(std::span<const std::string> args) {
    std::vector<std::string> reversed = SplitEmptyValues(args);
    std::reverse(reversed.begin(), reversed.end());
    try {
      app_.parse(reversed);
    } catch (const BadArgument& e) {
      return e.what();
    } catch (const CLI::ArgumentMismatch& e) {
      return MismatchReason(e.what());
    }
    for (const std::string& extra : app_.remaining()) {
      // CLI11 keeps the end of the options ("--") among the extras.
      if (extra == "--") continue;
      std::string_view name = extra;
      if (const size_t eq = name.find('='); eq != std::string_view::npos && name.starts_with("--"))
        name = name.substr(0, eq);
      return "unknown option: " + std::string(name);
    }
    for (const auto& [option, target] : flags_)
      *target = option->count() > 0;
    for (std::string& file : line_.operands)
      file = Unmarked(std::move(file));
    return std::nullopt;
  }

 private:
  void AddAnalysisOptions() {
    CommandOptions& a = line_.analysis;
    for (const ListOption& o : kListOptions) {
      Value(o.name, [&a, &o](const std::string& value) {
        const auto n = ParseNumber(value);
        if (!n || *n < o.first || *n > o.last || (*n - o.first) % o.step != 0)
          Refuse(o.name, value, ListValues(o));
        a.listPositions.emplace_back(o.field, (*n - o.first) / o.step);
      });
    }
    for (const BoxOption& o : kBoxOptions) {
      Value(o.name, [&a, &o](const std::string& value) {
        const auto n = ParseNumber(value);
        if (!n || *n < o.first || *n > o.last)
          Refuse(o.name, value, std::to_string(o.first) + " .. " + std::to_string(o.last));
        a.*o.target = NumberText(*n);
      });
    }
    Value(kLanguageOption, [&a](const std::string& value) {
      const auto position = LanguagePosition(value);
      if (!position) Refuse(kLanguageOption, value, "auto, en, fr, de, it, pt, es, all");
      a.language = *position;
    });
    Value(kIgnoreOption, [&a](const std::string& value) { a.wordsToIgnore = FromUtf8(value); });
    Value(kBeginOption, [&a](const std::string& value) { a.beginWith = FromUtf8(value); });
    for (const FlagOption& o : kAnalysisFlags)
      Flag(o.name, a.*o.target);
  }

  // An option with a value; `take` runs for each time it is given, in the order given.
  void Value(std::string_view names, std::function<void(const std::string&)> take) {
    CLI::Option* option = app_.add_option_function<std::string>(
        std::string(names),
        [take = std::move(take)](const std::string& value) { take(Unmarked(value)); });
    option->trigger_on_parse();
    valueNames_.push_back(option->get_name());
    for (const std::string& name : option->get_lnames())
      valueSpellings_.push_back("--" + name);
    for (const std::string& name : option->get_snames())
      valueSpellings_.push_back("-" + name);
  }

  void Flag(std::string_view names, bool& target) {
    CLI::Option* option =
        app_.add_flag(std::string(names) + std::string(kFlagMark))->disable_flag_override();
    flags_.emplace_back(option, &target);
  }

  // "--max-bytes=" gives the option an empty value; CLI11 would take the next argument.
  // The argument after an option that takes a value is that value, whatever it looks like.
  // Every argument that CLI11 could take for a list is marked (see Marked).
  std::vector<std::string> SplitEmptyValues(std::span<const std::string> args) const {
    std::vector<std::string> out;
    out.reserve(args.size() + 1);
    for (size_t i = 0; i < args.size(); ++i) {
      const std::string& arg = args[i];
      if (i + 1 < args.size() && std::find(valueSpellings_.begin(), valueSpellings_.end(),
                                           arg) != valueSpellings_.end()) {
        out.push_back(arg);
        out.push_back(Marked(args[++i]));
        continue;
      }
      if (arg == "--") {
        for (size_t j = i; j < args.size(); ++j)
          out.push_back(j == i ? arg : Marked(args[j]));
        break;
      }
      const std::string name = arg.substr(0, arg.size() - 1);
      if (arg.starts_with("--") && arg.ends_with("=") &&
          std::find(valueNames_.begin(), valueNames_.end(), name) != valueNames_.end()) {
        out.push_back(name);
        out.emplace_back();
      } else {
        out.push_back(Marked(arg));
      }
    }
    return out;
  }

  // The reason for CLI11's count mismatches: a value missing, or a value given to a flag.
  std::string MismatchReason(const std::string& what) const {
    if (what.ends_with(kFlagValueRefused)) {
      const std::string name = what.substr(0, what.size() - kFlagValueRefused.size());
      return (name.size() == 1 ? "-" : "--") + name + " takes no value";
    }
    for (const std::string& name : valueNames_) {
      if (what.starts_with(name + ": ")) return name + " needs a value";
    }
    return what;
  }

  CommandLine& line_;
  CLI::App app_;
  std::vector<std::string> valueNames_;
  // "--jobs", "-j" ...: every way of writing an option that takes a value.
  std::vector<std::string> valueSpellings_;
  std::vector<std::pair<CLI::Option*, bool*>> flags_;
};

}  // namespace

ParseResult ParseArguments(std::span<const std::string> args) {
  try {
    if (args.empty()) return UsageProblem{"no COMMAND given"};
    const std::string& first = args.front();
    ParsedArguments parsed;
    if (first == "-h" || first == "--help") {
      parsed.action = ParsedArguments::Action::Help;
      return parsed;
    }
    if (first == "--version") {
      parsed.action = ParsedArguments::Action::Version;
      return parsed;
    }
    parsed.command = FindCommand(first);
    if (parsed.command == nullptr) return UsageProblem{"unknown command: " + first};
    CommandParser parser(*parsed.command, parsed.line);
    if (auto problem = parser.Parse(args.subspan(1))) return UsageProblem{std::move(*problem)};
    if (parsed.line.help) {
      parsed.action = ParsedArguments::Action::Help;
    } else if (parsed.line.operands.empty()) {
      return UsageProblem{"no FILE given"};
    }
    return parsed;
  } catch (const std::exception& e) {
    // CLI11's own errors for anything else it cannot take.
    return UsageProblem{e.what()};
  }
}

std::string AnalysisOptionsHelp() {
  constexpr size_t kHelpColumn = 30;
  std::string text = "Options (the numbers the window's lists show; defaults in brackets):\n";
  auto add = [&](std::string left, std::string_view help) {
    left = "  " + left;
    if (left.size() + 1 < kHelpColumn)
      left.resize(kHelpColumn, ' ');
    else
      left += "  ";
    text += left;
    text += help;
    text += "\n";
  };
  for (const ListOption& o : kListOptions) {
    add(std::string(o.name) + " N",
        std::string(o.help) + ": " + ListValues(o) + " [" + std::to_string(o.shownDefault) + "]");
  }
  for (const BoxOption& o : kBoxOptions) {
    add(std::string(o.name) + " N", std::string(o.help) + ": " + std::to_string(o.first) + " .. " +
                                        std::to_string(o.last) + " [" +
                                        std::to_string(o.shownDefault) + "]");
  }
  add("--keep-short-words", "do not ignore short words");
  add("--language L",
      "common-words language: auto, en, fr, de, it, pt, es, all [auto: from the document]");
  add("--keep-common-words", "do not ignore common words");
  add("--lower-case", "all keywords in lower case");
  add("--no-space-after-comma", "no space after the commas of the tag");
  add("--ignore TEXT", "words to ignore, separated by commas or spaces");
  add("--begin TEXT", "phrases that begin the tag, separated by commas");
  add("--verbose", "print on stderr how the language was chosen");
  add("--backup", "insert: back up each page as NAME.bak.EXT first (.php: always)");
  add("--dry-run", "insert: print the changes as a unified diff and change nothing");
  add("-j, --jobs N",
      "pages analysed at once: 1 .. " + std::to_string(kMaxJobs) + " [the number of processors]");
  add("--json", "one JSON object per line and page (report: one for the site)");
  add("--quiet", "no progress line on a terminal");
  add("-h, --help", "this help");
  return text;
}

bool LoadProgramTexts(SharedData& shared, CliHost& host) {
  const int r = shared.texts.LoadProgramText(shared.dataFolder, kProgramTextFileName);
  if (r > 0) return true;
  Message m;
  m.text = ProgramText::LoaderMessage(
      r, shared.dataFolder / std::filesystem::path(kProgramTextFileName));
  m.icon = MsgIcon::Error;
  host.ShowMessage(m);
  return false;
}

void LoadCommonWords(const CommandOptions& options, SharedData& shared) {
  CommonWords& words = shared.commonWords;
  auto load = [&](int32_t position) {
    if (!words.IsAvailable(position)) words.LoadCommonWords(shared.dataFolder, position);
  };
  if (options.language == kLanguageAuto) {
    for (int32_t position = 0; position < kAllLanguagesIndex; ++position)
      load(position);
  } else {
    load(options.language);
  }
}

bool ApplyAnalysisOptions(const CommandOptions& options, const std::string& file,
                          const SharedData& shared, CliHost& host, DocumentReader& document,
                          LanguageFact* language) {
  AnalysisSettings& s = host.settings;
  s = AnalysisSettings{};
  std::error_code ec;
  std::filesystem::path path = std::filesystem::path(file);
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  s.txbInputFile = FromPath(ec ? path : absolute);

  // The language first, as the window picks it when a file is chosen; the other options
  // come after it, so that --keep-common-words wins over its tick.
  LanguageFact fact;
  if (options.language == kLanguageAuto) {
    // A document that cannot be opened gets English; the run then reports it.
    LanguageChoice choice;
    if (!document.Open(ToPath(s.txbInputFile)).failed()) {
      const Result<LanguageChoice> chosen =
          ChooseDocumentLanguage(document, s.txbInputFile, shared.commonWords);
      if (!chosen) {
        host.ShowMessage(
            Message{Text(u"Error"),
                    u"Error while reading " + s.txbInputFile + u": " + chosen.error().description,
                    MsgIcon::Warning});
        return false;
      }
      choice = *chosen;
    }
    s.cboLanguage = choice.position;
    s.chkIgnoreCommonWords = true;
    fact.code = ToUtf8(strLanguageCodes[static_cast<size_t>(choice.position)]);
    switch (choice.source) {
      case LanguageSource::Declared:
        fact.source = "declared";
        break;
      case LanguageSource::Recognised:
        fact.source = "recognised";
        break;
      case LanguageSource::Default:
        fact.source = "default";
        break;
    }
  } else {
    s.cboLanguage = options.language;
    fact.code = options.language == kAllLanguagesIndex
                    ? std::string(kAllLanguages)
                    : ToUtf8(strLanguageCodes[static_cast<size_t>(options.language)]);
    fact.source = "given";
  }
  if (options.verbose) host.PrintLine("language: " + fact.code + " (" + fact.source + ")");
  if (language != nullptr) *language = fact;
  for (const auto& [field, position] : options.listPositions)
    s.*field = position;
  if (options.maxKeywords) s.txbMaxNumKeywordsInMetaTag = *options.maxKeywords;
  if (options.maxBytes) s.txbMaxNumBytesInMetaTag = *options.maxBytes;
  if (options.wordsToIgnore) {
    s.txbWordsToIgnore = *options.wordsToIgnore;
    s.strWordsToIgnoreList = NormaliseWordsToIgnore(s.txbWordsToIgnore);
  }
  if (options.beginWith) s.txbBeginMetaTagWith = *options.beginWith;
  if (options.keepShortWords) s.chkIgnoreShortWords = false;
  if (options.keepCommonWords) s.chkIgnoreCommonWords = false;
  if (options.lowerCase) s.chkPreserveCase = false;
  if (options.noSpaceAfterComma) s.chkSpaceAfterComma = false;

  if (s.chkIgnoreCommonWords && !shared.commonWords.IsAvailable(s.cboLanguage)) {
    host.ShowMessage(CommonWordsUnavailableMessage(shared.dataFolder, s.cboLanguage));
    s.chkIgnoreCommonWords = false;
  }
  return true;
}

int UsageError(const std::string& reason) {
  const std::string text = "tagwright-cli: " + reason + "\n\n" + Usage();
  std::fwrite(text.data(), 1, text.size(), stderr);
  return kExitUsage;
}

}  // namespace tw::cli
