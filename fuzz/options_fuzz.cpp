// The command line's option parser, through its adapter (options_adapter.hpp).
//
//   byte 0    1: the command takes the analysis options; 2: it has the flag --backup
//   the rest  the arguments after the command name, separated by NUL bytes
//
// Properties: a refusal gives a reason; accepted settings lie within the window's lists and
// boxes; the operands are arguments, in their order; a command without analysis options
// keeps the defaults; after "--" every argument is an operand; a plain argument added at the
// end of accepted arguments is one more operand and changes nothing else.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/settings.hpp"
#include "core/language.hpp"
#include "core/number.hpp"
#include "options_adapter.hpp"
#include "support.hpp"

namespace tw::fuzz {
namespace {

constexpr size_t kMaxArguments = 64;
constexpr std::string_view kBackupFlag = "--backup";

bool InList(int32_t position, int32_t items) {
  return position >= 0 && position < items;
}

void CheckSettings(const ParsedOptions& parsed) {
  const AnalysisSettings& s = parsed.settings;
  FUZZ_CHECK(InList(s.cboShortWordSize, 9) && InList(s.cboThresholdFrequency, 9));
  FUZZ_CHECK(InList(s.cboTitleWeight, 9) && InList(s.cboDescriptionWeight, 9));
  FUZZ_CHECK(InList(s.cboExistingKeywordsWeight, 10) && InList(s.cboBoldWeight, 9));
  FUZZ_CHECK(InList(s.cboItalicWeight, 9) && InList(s.cboTableWeight, 10));
  FUZZ_CHECK(InList(s.cboDivWeight, 10) && InList(s.cboSpanWeight, 10));
  FUZZ_CHECK(parsed.language == kLanguageAuto || InList(parsed.language, kAllLanguagesIndex + 1));
  const int64_t keywords = LeadingWholeNumber(s.txbMaxNumKeywordsInMetaTag);
  FUZZ_CHECK(keywords >= intMinNumKeywords && keywords <= intMaxNumKeywords);
  const int64_t bytes = LeadingWholeNumber(s.txbMaxNumBytesInMetaTag);
  FUZZ_CHECK(bytes >= 0 && bytes <= intMaxNumBytes);
}

bool IsSubsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
  size_t k = 0;
  for (const std::string& s : whole) {
    if (k < part.size() && part[k] == s) ++k;
  }
  return k == part.size();
}

}  // namespace
}  // namespace tw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tw;
  using namespace tw::fuzz;
  HeadReader head(data, size);
  const uint8_t flags = head.Byte();
  const bool analysisOptions = (flags & 1) != 0;
  std::vector<std::string_view> commandFlags;
  if ((flags & 2) != 0) commandFlags.push_back(kBackupFlag);

  std::vector<std::string> args;
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

  std::string error;
  const std::optional<ParsedOptions> parsed =
      ParseOptions(args, analysisOptions, commandFlags, error);
  if (!parsed) {
    FUZZ_CHECK(!error.empty());
  } else {
    CheckSettings(*parsed);
    FUZZ_CHECK(IsSubsequence(parsed->operands, args));
    for (const std::string& flag : parsed->flags)
      FUZZ_CHECK(flag == kBackupFlag && !commandFlags.empty());
    if (!analysisOptions) {
      FUZZ_CHECK(parsed->settings == AnalysisSettings{});
      FUZZ_CHECK(parsed->language == kLanguageAuto && !parsed->verbose);
    }

    std::vector<std::string> more = args;
    more.emplace_back("page.html");
    std::string moreError;
    const std::optional<ParsedOptions> withOperand =
        ParseOptions(more, analysisOptions, commandFlags, moreError);
    FUZZ_CHECK(withOperand.has_value());
    ParsedOptions expected = *parsed;
    expected.operands.emplace_back("page.html");
    FUZZ_CHECK(*withOperand == expected);
  }

  std::vector<std::string> ended{"--"};
  ended.insert(ended.end(), args.begin(), args.end());
  std::string endedError;
  const std::optional<ParsedOptions> operandsOnly =
      ParseOptions(ended, analysisOptions, commandFlags, endedError);
  FUZZ_CHECK(operandsOnly.has_value());
  FUZZ_CHECK(operandsOnly->operands == args && !operandsOnly->help);
  FUZZ_CHECK(operandsOnly->flags.empty() && operandsOnly->settings == AnalysisSettings{});
  return 0;
}
