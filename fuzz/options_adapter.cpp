#include "options_adapter.hpp"

#include "cli/options.hpp"

namespace tw::fuzz {

const int32_t kLanguageAuto = cli::kLanguageAuto;

std::optional<ParsedOptions> ParseOptions(std::span<const std::string> args, bool analysisOptions,
                                          std::span<const std::string_view> commandFlags,
                                          std::string& error) {
  const std::optional<cli::CommandLine> line =
      cli::ParseCommandLine(args, analysisOptions, commandFlags, error);
  if (!line) return std::nullopt;
  ParsedOptions parsed;
  parsed.help = line->help;
  parsed.operands = line->operands;
  parsed.flags = line->flags;
  const cli::CommandOptions& o = line->analysis;
  parsed.language = o.language;
  parsed.verbose = o.verbose;
  // As ApplyAnalysisOptions applies them after the language.
  AnalysisSettings& s = parsed.settings;
  for (const auto& [field, position] : o.listPositions)
    s.*field = position;
  if (o.maxKeywords) s.txbMaxNumKeywordsInMetaTag = *o.maxKeywords;
  if (o.maxBytes) s.txbMaxNumBytesInMetaTag = *o.maxBytes;
  if (o.wordsToIgnore) {
    s.txbWordsToIgnore = *o.wordsToIgnore;
    s.strWordsToIgnoreList = NormaliseWordsToIgnore(s.txbWordsToIgnore);
  }
  if (o.beginWith) s.txbBeginMetaTagWith = *o.beginWith;
  if (o.keepShortWords) s.chkIgnoreShortWords = false;
  if (o.keepCommonWords) s.chkIgnoreCommonWords = false;
  if (o.lowerCase) s.chkPreserveCase = false;
  if (o.noSpaceAfterComma) s.chkSpaceAfterComma = false;
  return parsed;
}

}  // namespace tw::fuzz
