// The two analysis commands: "list" (the ranked word list) and "tag" (the keywords meta tag
// with its two count lines), each exactly as the window's output box would show it.
#include <cstdio>

#include "analysis/run.hpp"
#include "cli/commands.hpp"
#include "cli/options.hpp"

namespace tw::cli {

namespace {

int RunAnalysisCommand(std::span<const std::string> args, bool tagMode) {
  std::string error;
  const auto line = ParseCommandLine(args, true, {}, error);
  if (!line) return UsageError(error);
  if (line->help) {
    const std::string usage = Usage();
    std::fwrite(usage.data(), 1, usage.size(), stdout);
    return kExitOk;
  }
  if (line->operands.empty()) return UsageError("no FILE given");
  if (line->operands.size() > 1) return UsageError("more than one FILE given");

  CliSession session;
  if (!session.Load()) return FinishCommand(session, false);
  if (!ApplyAnalysisOptions(line->analysis, line->operands.front(), session)) {
    return FinishCommand(session, false);
  }
  Analysis analysis(session.texts, session.commonWords);
  const bool written = analysis.RunAnalysis(tagMode, session.host, &session.document);
  return FinishCommand(session, written);
}

int RunList(std::span<const std::string> args) {
  return RunAnalysisCommand(args, false);
}
int RunTag(std::span<const std::string> args) {
  return RunAnalysisCommand(args, true);
}

}  // namespace

CliCommand ListCommand() {
  return {"list", "list FILE [OPTIONS]", "the ranked word list, as \"List words\" shows it",
          &RunList};
}

CliCommand TagCommand() {
  return {"tag", "tag FILE [OPTIONS]", "the keywords meta tag with its two count lines", &RunTag};
}

}  // namespace tw::cli
