// The commands on a document's own tags: "show" (the existing-tag report, as "Show existing
// keywords etc." shows it) and "insert" (the generated tag written into the document, as
// "Insert meta tag into file" does it, or with --dry-run the change it would make).
#include <cerrno>
#include <string>

#include "analysis/insertion.hpp"
#include "analysis/run.hpp"
#include "cli/commands.hpp"
#include "cli/diff.hpp"
#include "cli/options.hpp"
#include "cli/pagework.hpp"
#include "io/fileproc.hpp"
#include "tags/insert.hpp"
#include "tags/report.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"

namespace tw::cli {

namespace {

void ShowPage(const PageJob& job, CliHost& host, PageOutcome& outcome) {
  // A file name is bytes; one that is not UTF-8 must still name the same file.
  const ExistingTagReport report = ShowExistingKeywordMetaTag(FromUtf8FileName(job.source.path));
  if (report.message) {
    host.ShowMessage(*report.message);
    MarkFailed(host, outcome);
    return;
  }
  outcome.out = OutputForStdout(*report.outputText);
  // The report ends in the failure sentence when the document could not be read.
  if (TextView(*report.outputText).ends_with(kReportFailure)) {
    outcome.failed = true;
    outcome.facts.error =
        Message{Text(kReportErrorCaption), Text(kReportFailure), MsgIcon::Warning};
  } else {
    outcome.facts.existing = report.tags;
  }
}

// The message of an insertion that the document's lines refuse, as the insertion gives it.
std::optional<Message> RewriteRefusal(Rewrite::Outcome outcome) {
  switch (outcome) {
    case Rewrite::Outcome::ExistingTagOpen:
      return Message{Text(kNotInsertedCaption), Text(kExistingTagNotOneLine), MsgIcon::Warning};
    case Rewrite::Outcome::TagInPhpCode:
      return Message{Text(kNotInsertedCaption), Text(kTagInPhpCode), MsgIcon::Warning};
    case Rewrite::Outcome::NoPlaceForTag:
      return Message{Text(kNotInsertedCaption), Text(kNoHeadEndNoTag), MsgIcon::Warning};
    case Rewrite::Outcome::Done:
      break;
  }
  return std::nullopt;
}

// --dry-run: the checks of the insertion and its rewrite of the bytes read, as a diff.
void DryRun(const PageJob& job, Analysis& analysis, CliHost& host, DocumentReader& document,
            PageOutcome& outcome) {
  Text inputFile = host.Settings().txbInputFile;
  Text outputText = host.OutputText();
  if (std::optional<Message> refusal = CheckInsertPreconditions(
          inputFile, outputText, analysis.blnWordTableCurrent, analysis.table().intNumWords(),
          kInsertCaption, job.shared.texts)) {
    host.ShowMessage(*refusal);
    MarkFailed(host, outcome);
    return;
  }
  if (const Status read = document.FillAll(); read.failed() || document.heldStart() != 0) {
    host.ShowMessage(
        Message{Text(kInsertErrorCaption),
                read.failed() ? read.description : FileError::FromErrno(EIO).description,
                MsgIcon::Warning});
    MarkFailed(host, outcome);
    return;
  }
  const Rewrite rewrite = RewriteWithTag(
      document.Held(), TagBytes(GetMetaTag(host.OutputText()), analysis.blnIsUTF8File));
  if (std::optional<Message> refusal = RewriteRefusal(rewrite.outcome)) {
    host.ShowMessage(*refusal);
    MarkFailed(host, outcome);
    return;
  }
  outcome.out = UnifiedDiff(document.Held(), rewrite.bytes, job.source.path);
  outcome.facts.diff = analysis.blnIsUTF8File ? outcome.out : ToUtf8(DecodeCp1252(outcome.out));
  if (host.messagesShown() > 0) MarkFailed(host, outcome);
}

void InsertPage(const PageJob& job, CliHost& host, PageOutcome& outcome) {
  DocumentReader document;
  // The insertion rewrites the document from the bytes this command reads.
  document.KeepAll(true);
  LanguageFact language;
  if (!ApplyAnalysisOptions(job.line.analysis, job.source.path, job.shared, host, document,
                            &language)) {
    MarkFailed(host, outcome);
    return;
  }
  outcome.facts.language = language;
  host.settings.optInsertionWithBackup = job.line.run.backup;

  // The output box holds no tag yet: the window then generates it first.
  Analysis analysis(job.shared.texts, job.shared.commonWords);
  if (!analysis.RunAnalysis(true, host, &document)) {
    MarkFailed(host, outcome);
    return;
  }
  host.FinishProgress();
  if (job.facts) GatherTagFacts(analysis, host, document, outcome.facts);
  if (job.line.run.dryRun) {
    DryRun(job, analysis, host, document, outcome);
    return;
  }

  const InsertOutcome inserted =
      RunInsertCommand(analysis, host, job.shared.texts, kInsertCaption, &document);
  outcome.facts.inserted = inserted.inserted;
  if (!inserted.inserted) {
    for (const Message& message : inserted.messages)
      host.ShowMessage(message);
    MarkFailed(host, outcome);
    return;
  }
  for (const Message& message : inserted.messages) {
    outcome.out += MessageLine(Message{Text(), message.text, message.icon});
    outcome.out += "\n";
    // "The original file was backed up as" and the backup's name on the next line.
    const TextView text = message.text;
    if (text.starts_with(kBackedUpAs) && text.substr(kBackedUpAs.size()).starts_with(kCrLf))
      outcome.facts.backup = Text(text.substr(kBackedUpAs.size() + kCrLf.size()));
  }
  if (host.messagesShown() > 0) MarkFailed(host, outcome);
}

int RunShow(const CommandLine& line) {
  return RunOverPages(line, PageCommand{&ShowPage, false, {}});
}

int RunInsert(const CommandLine& line) {
  return RunOverPages(line, PageCommand{&InsertPage, true, {}});
}

}  // namespace

CliCommand ShowCommand() {
  return {"show", "show FILE", "the title and the meta tags the document already holds",
          false,  false,       &RunShow};
}

CliCommand InsertCommand() {
  return {"insert",
          "insert FILE [OPTIONS] [--backup]",
          "generate the tag and write it into the document (.php: always with backup)",
          true,
          true,
          &RunInsert};
}

}  // namespace tw::cli
