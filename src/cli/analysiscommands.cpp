// The two analysis commands: "list" (the ranked word list) and "tag" (the keywords meta tag
// with its two count lines), each exactly as the window's output box would show it.
#include "analysis/run.hpp"
#include "cli/commands.hpp"
#include "cli/options.hpp"
#include "cli/pagework.hpp"
#include "words/wordlist.hpp"

namespace tw::cli {

void AnalysePage(const PageJob& job, CliHost& host, PageOutcome& outcome, bool tagMode) {
  DocumentReader document;
  // The facts of the document's head come from the bytes the analysis reads.
  document.KeepAll(job.facts);
  LanguageFact language;
  if (!ApplyAnalysisOptions(job.line.analysis, job.source.path, job.shared, host, document,
                            &language)) {
    MarkFailed(host, outcome);
    return;
  }
  outcome.facts.language = language;
  Analysis analysis(job.shared.texts, job.shared.commonWords);
  // The list is written as "List words" writes it, in the number format read once for the
  // whole run: reading the user's locale for each page would cost more than many a page.
  const bool written = analysis.RunAnalysis(true, host, &document);
  if (written && job.facts) GatherTagFacts(analysis, host, document, outcome.facts);
  if (written && !tagMode) {
    host.SetOutputText(WordListText(analysis.table(), ResolveOptions(host.Settings()).scan,
                                    job.shared.numberFormat));
    if (job.facts) outcome.facts.words = RankedWords(analysis.table());
  }
  if (written) outcome.out = OutputForStdout(host.OutputText());
  if (!written || host.messagesShown() > 0) MarkFailed(host, outcome);
}

namespace {

void ListPage(const PageJob& job, CliHost& host, PageOutcome& outcome) {
  AnalysePage(job, host, outcome, false);
}
void TagPage(const PageJob& job, CliHost& host, PageOutcome& outcome) {
  AnalysePage(job, host, outcome, true);
}

int RunList(const CommandLine& line) {
  return RunOverPages(line, PageCommand{&ListPage, true, {}});
}
int RunTag(const CommandLine& line) {
  return RunOverPages(line, PageCommand{&TagPage, true, {}});
}

}  // namespace

CliCommand ListCommand() {
  return {"list",
          "list FILE [OPTIONS]",
          "the ranked word list, as \"List words\" shows it",
          true,
          false,
          &RunList};
}

CliCommand TagCommand() {
  return {
      "tag",  "tag FILE [OPTIONS]", "the keywords meta tag with its two count lines", true, false,
      &RunTag};
}

}  // namespace tw::cli
