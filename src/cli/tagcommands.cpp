// The commands on a document's own tags: "show" (the existing-tag report, as "Show existing
// keywords etc." shows it) and "insert" (the generated tag written into the document, as
// "Insert meta tag into file" does it).
#include <cstdio>
#include <string>

#include "analysis/insertion.hpp"
#include "analysis/run.hpp"
#include "cli/commands.hpp"
#include "cli/options.hpp"
#include "tags/insert.hpp"
#include "tags/report.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"

namespace tw::cli {

namespace {

constexpr std::string_view kBackupFlag = "--backup";

void WriteStdout(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

int PrintUsage() {
  WriteStdout(Usage());
  return kExitOk;
}

// The single FILE of a command line, or the usage error.
const std::string* SingleFile(const CommandLine& line, int& status) {
  if (line.operands.empty()) {
    status = UsageError("no FILE given");
    return nullptr;
  }
  if (line.operands.size() > 1) {
    status = UsageError("more than one FILE given");
    return nullptr;
  }
  return &line.operands.front();
}

int RunShow(std::span<const std::string> args) {
  std::string error;
  const auto line = ParseCommandLine(args, false, {}, error);
  if (!line) return UsageError(error);
  if (line->help) return PrintUsage();
  int status = kExitOk;
  const std::string* file = SingleFile(*line, status);
  if (file == nullptr) return status;

  CliHost host(stderr, false);
  // A file name is bytes; one that is not UTF-8 must still name the same file.
  const ExistingTagReport report = ShowExistingKeywordMetaTag(FromUtf8FileName(*file));
  if (report.message) {
    host.ShowMessage(*report.message);
    return kExitMessage;
  }
  WriteStdout(OutputForStdout(*report.outputText));
  // The report ends in the failure sentence when the document could not be read.
  const bool failed = TextView(*report.outputText).ends_with(kReportFailure);
  return failed ? kExitMessage : kExitOk;
}

int RunInsert(std::span<const std::string> args) {
  std::string error;
  const std::string_view flags[] = {kBackupFlag};
  const auto line = ParseCommandLine(args, true, flags, error);
  if (!line) return UsageError(error);
  if (line->help) return PrintUsage();
  int status = kExitOk;
  const std::string* file = SingleFile(*line, status);
  if (file == nullptr) return status;

  CliSession session;
  if (!session.Load()) return FinishCommand(session, false);
  // The insertion rewrites the document from the bytes this command reads.
  session.document.KeepAll(true);
  if (!ApplyAnalysisOptions(line->analysis, *file, session)) return FinishCommand(session, false);
  CliHost& host = session.host;
  host.settings.optInsertionWithBackup = HasFlag(*line, kBackupFlag);

  // The output box holds no tag yet: the window then generates it first.
  Analysis analysis(session.texts, session.commonWords);
  if (!analysis.RunAnalysis(true, host, &session.document)) return FinishCommand(session, false);
  host.FinishProgress();

  const InsertOutcome outcome =
      RunInsertCommand(analysis, host, session.texts, kInsertCaption, &session.document);
  if (!outcome.inserted) {
    for (const Message& message : outcome.messages)
      host.ShowMessage(message);
    return kExitMessage;
  }
  std::string out;
  for (const Message& message : outcome.messages) {
    out += MessageLine(Message{Text(), message.text, message.icon});
    out += "\n";
  }
  WriteStdout(out);
  return host.messagesShown() > 0 ? kExitMessage : kExitOk;
}

}  // namespace

CliCommand ShowCommand() {
  return {"show", "show FILE", "the title and the meta tags the document already holds", &RunShow};
}

CliCommand InsertCommand() {
  return {"insert", "insert FILE [OPTIONS] [--backup]",
          "generate the tag and write it into the document (.php: always with backup)", &RunInsert};
}

}  // namespace tw::cli
