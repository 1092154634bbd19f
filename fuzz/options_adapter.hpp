// The command line's option parser as the fuzz target sees it: the arguments after the
// command name in, the settings the options give (applied to the window's defaults) out. The
// one place that knows the parser's own types; a new parser needs only a new adapter.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/settings.hpp"

namespace tw::fuzz {

struct ParsedOptions {
  bool help = false;
  std::vector<std::string> operands;
  // The command's own flags that were given.
  std::vector<std::string> flags;
  // The defaults with the options applied; the language stays in `language`.
  AnalysisSettings settings;
  // A list position, or kLanguageAuto.
  int32_t language = 0;
  bool verbose = false;

  bool operator==(const ParsedOptions&) const = default;
};

// --language auto.
extern const int32_t kLanguageAuto;

// Nothing, with the reason in `error`, when an argument is refused.
std::optional<ParsedOptions> ParseOptions(std::span<const std::string> args, bool analysisOptions,
                                          std::span<const std::string_view> commandFlags,
                                          std::string& error);

}  // namespace tw::fuzz
