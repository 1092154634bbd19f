// Parsing and applying the analysis options of the command line.
#include "cli/options.hpp"

#include <cstdio>
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
  Text AnalysisSettings::*box;
  int32_t first;
  int32_t last;
  int32_t shownDefault;
  std::string_view help;
};

constexpr BoxOption kBoxOptions[] = {
    {"--max-keywords", &AnalysisSettings::txbMaxNumKeywordsInMetaTag, intMinNumKeywords,
     intMaxNumKeywords, intDefaultMaxNumKeywords, "maximum number of keywords in the tag"},
    {"--max-bytes", &AnalysisSettings::txbMaxNumBytesInMetaTag, 0, intMaxNumBytes,
     intDefaultMaxNumBytes, "maximum number of bytes in the tag (0: no limit)"},
};

constexpr std::string_view kLanguageOption = "--language";
constexpr std::string_view kIgnoreOption = "--ignore";
constexpr std::string_view kBeginOption = "--begin";
constexpr std::string_view kKeepShortWords = "--keep-short-words";
constexpr std::string_view kKeepCommonWords = "--keep-common-words";
constexpr std::string_view kLowerCase = "--lower-case";
constexpr std::string_view kNoSpaceAfterComma = "--no-space-after-comma";
constexpr std::string_view kVerbose = "--verbose";
constexpr std::string_view kAutoLanguage = "auto";
constexpr std::string_view kAllLanguages = "all";
constexpr size_t kMaxNumberDigits = 9;

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

}  // namespace

std::optional<CommandLine> ParseCommandLine(std::span<const std::string> args, bool analysisOptions,
                                            std::span<const std::string_view> commandFlags,
                                            std::string& error) {
  CommandLine line;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      line.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      line.help = true;
      continue;
    }
    // "--name value" or "--name=value".
    std::string_view name = arg;
    std::optional<std::string> inlineValue;
    if (const size_t eq = name.find('='); eq != std::string_view::npos && name.starts_with("--")) {
      inlineValue = std::string(name.substr(eq + 1));
      name = name.substr(0, eq);
    }
    auto takeValue = [&]() -> std::optional<std::string> {
      if (inlineValue) return inlineValue;
      if (i + 1 >= args.size()) {
        error = std::string(name) + " needs a value";
        return std::nullopt;
      }
      return args[++i];
    };
    auto noValue = [&]() {
      if (inlineValue) error = std::string(name) + " takes no value";
      return !inlineValue;
    };

    bool known = false;
    if (analysisOptions) {
      for (const ListOption& o : kListOptions) {
        if (name != o.name) continue;
        known = true;
        const auto value = takeValue();
        if (!value) return std::nullopt;
        const auto n = ParseNumber(*value);
        if (!n || *n < o.first || *n > o.last || (*n - o.first) % o.step != 0) {
          error = "invalid value for " + std::string(name) + ": '" + *value + "' (" +
                  ListValues(o) + ")";
          return std::nullopt;
        }
        line.analysis.listPositions.emplace_back(o.field, (*n - o.first) / o.step);
      }
      for (const BoxOption& o : kBoxOptions) {
        if (name != o.name) continue;
        known = true;
        const auto value = takeValue();
        if (!value) return std::nullopt;
        const auto n = ParseNumber(*value);
        if (!n || *n < o.first || *n > o.last) {
          error = "invalid value for " + std::string(name) + ": '" + *value + "' (" +
                  std::to_string(o.first) + " .. " + std::to_string(o.last) + ")";
          return std::nullopt;
        }
        (o.box == &AnalysisSettings::txbMaxNumKeywordsInMetaTag ? line.analysis.maxKeywords
                                                                : line.analysis.maxBytes) =
            NumberText(*n);
      }
      if (name == kLanguageOption) {
        known = true;
        const auto value = takeValue();
        if (!value) return std::nullopt;
        const auto position = LanguagePosition(*value);
        if (!position) {
          error =
              "invalid value for --language: '" + *value + "' (auto, en, fr, de, it, pt, es, all)";
          return std::nullopt;
        }
        line.analysis.language = *position;
      } else if (name == kIgnoreOption || name == kBeginOption) {
        known = true;
        const auto value = takeValue();
        if (!value) return std::nullopt;
        (name == kIgnoreOption ? line.analysis.wordsToIgnore : line.analysis.beginWith) =
            FromUtf8(*value);
      } else if (name == kKeepShortWords || name == kKeepCommonWords || name == kLowerCase ||
                 name == kNoSpaceAfterComma || name == kVerbose) {
        known = true;
        if (!noValue()) return std::nullopt;
        if (name == kVerbose) line.analysis.verbose = true;
        if (name == kKeepShortWords) line.analysis.keepShortWords = true;
        if (name == kKeepCommonWords) line.analysis.keepCommonWords = true;
        if (name == kLowerCase) line.analysis.lowerCase = true;
        if (name == kNoSpaceAfterComma) line.analysis.noSpaceAfterComma = true;
      }
    }
    for (std::string_view flag : commandFlags) {
      if (name != flag) continue;
      known = true;
      if (!noValue()) return std::nullopt;
      line.flags.emplace_back(flag);
    }
    if (!known) {
      error = "unknown option: " + std::string(name);
      return std::nullopt;
    }
  }
  return line;
}

bool HasFlag(const CommandLine& line, std::string_view flag) {
  for (const std::string& f : line.flags) {
    if (f == flag) return true;
  }
  return false;
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
  add(std::string(kKeepShortWords), "do not ignore short words");
  add("--language L",
      "common-words language: auto, en, fr, de, it, pt, es, all [auto: from the document]");
  add(std::string(kKeepCommonWords), "do not ignore common words");
  add(std::string(kLowerCase), "all keywords in lower case");
  add(std::string(kNoSpaceAfterComma), "no space after the commas of the tag");
  add("--ignore TEXT", "words to ignore, separated by commas or spaces");
  add("--begin TEXT", "phrases that begin the tag, separated by commas");
  add(std::string(kVerbose), "print on stderr how the language was chosen");
  add("-h, --help", "this help");
  return text;
}

CliSession::CliSession() : dataFolder(ProgramDataFolder()), host(stderr, StderrIsTerminal()) {}

bool CliSession::Load() {
  const int r = texts.LoadProgramText(dataFolder, kProgramTextFileName);
  if (r > 0) return true;
  Message m;
  m.text = ProgramText::LoaderMessage(r, dataFolder / std::filesystem::path(kProgramTextFileName));
  m.icon = MsgIcon::Error;
  host.ShowMessage(m);
  return false;
}

bool ApplyAnalysisOptions(const CommandOptions& options, const std::string& file,
                          CliSession& session) {
  AnalysisSettings& s = session.host.settings;
  s = AnalysisSettings{};
  std::error_code ec;
  std::filesystem::path path = std::filesystem::path(file);
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  s.txbInputFile = FromPath(ec ? path : absolute);

  // The language first, as the window picks it when a file is chosen; the other options
  // come after it, so that --keep-common-words wins over its tick.
  std::string languageLine;
  if (options.language == kLanguageAuto) {
    // Recognition counts the document's words against the six single-language lists.
    for (int32_t position = 0; position < kAllLanguagesIndex; ++position) {
      if (!session.commonWords.IsAvailable(position))
        session.commonWords.LoadCommonWords(session.dataFolder, position);
    }
    // A document that cannot be opened gets English; the run then reports it.
    LanguageChoice choice;
    if (!session.document.Open(ToPath(s.txbInputFile)).failed()) {
      const Result<LanguageChoice> chosen =
          ChooseDocumentLanguage(session.document, s.txbInputFile, session.commonWords);
      if (!chosen) {
        session.host.ShowMessage(
            Message{Text(u"Error"),
                    u"Error while reading " + s.txbInputFile + u": " + chosen.error().description,
                    MsgIcon::Warning});
        return false;
      }
      choice = *chosen;
    }
    s.cboLanguage = choice.position;
    s.chkIgnoreCommonWords = true;
    languageLine = LanguageChoiceLine(choice);
  } else {
    s.cboLanguage = options.language;
    languageLine = "language: ";
    languageLine += options.language == kAllLanguagesIndex
                        ? std::string(kAllLanguages)
                        : ToUtf8(strLanguageCodes[static_cast<size_t>(options.language)]);
    languageLine += " (given)";
  }
  if (options.verbose) session.host.PrintLine(languageLine);
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

  if (s.chkIgnoreCommonWords) {
    CommonWords& words = session.commonWords;
    if (!words.IsAvailable(s.cboLanguage)) words.LoadCommonWords(session.dataFolder, s.cboLanguage);
    if (!words.IsAvailable(s.cboLanguage)) {
      session.host.ShowMessage(CommonWordsUnavailableMessage(session.dataFolder, s.cboLanguage));
      s.chkIgnoreCommonWords = false;
    }
  }
  return true;
}

int FinishCommand(CliSession& session, bool outputWritten) {
  session.host.FinishProgress();
  if (outputWritten) {
    const std::string out = OutputForStdout(session.host.OutputText());
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
  }
  if (!outputWritten || session.host.messagesShown() > 0) return kExitMessage;
  return kExitOk;
}

int UsageError(const std::string& reason) {
  const std::string text = "tagwright-cli: " + reason + "\n\n" + Usage();
  std::fwrite(text.data(), 1, text.size(), stderr);
  return kExitUsage;
}

}  // namespace tw::cli
