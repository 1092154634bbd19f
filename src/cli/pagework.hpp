// A command's run over its pages: the pages of the FILEs, the work on each page on as many
// threads as asked, and each page's output written in the pages' order, exactly as a run
// over one page after the other would write it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/run.hpp"
#include "cli/clihost.hpp"
#include "cli/options.hpp"
#include "cli/pages.hpp"
#include "io/document.hpp"
#include "tags/report.hpp"

namespace tw::cli {

// A word of the ranked list as "List words" shows it.
struct WordFact {
  Text word;
  int64_t value = 0;
  int32_t frequency = 0;
  double density = 0;  // per cent, two decimals
};

// What the work on a page found out, for --json and the site report. Only what was found is
// set.
struct PageFacts {
  std::optional<LanguageFact> language;
  std::optional<ExistingTags> existing;
  // The generated tag: its text (empty when no word qualified), its keywords, and its two
  // counts as the count lines give them.
  bool tagged = false;
  Text tag;
  std::vector<Text> keywords;
  int64_t keywordCount = 0;
  int64_t tagBytes = 0;
  std::optional<std::vector<WordFact>> words;
  // insert: whether the tag was written, the backup made, and (--dry-run) the change in
  // UTF-8.
  std::optional<bool> inserted;
  std::optional<Text> backup;
  std::optional<std::string> diff;
  // The message that made the page fail.
  std::optional<Message> error;
};

struct PageOutcome {
  std::string out;  // for stdout
  std::string err;  // for stderr: the message lines of a page run among others
  // The page failed: a run on this page alone would end with status 1.
  bool failed = false;
  PageFacts facts;
};

struct PageJob {
  const PageSource& source;
  const CommandLine& line;
  const SharedData& shared;
  // Gather the facts (--json, report).
  bool facts;
  // The page is analysed alone, not beside others: a long one may use a second thread.
  bool alone = true;
};

// The work of a command on one page. Messages go through `host`; the work sets out, failed
// and the facts.
using PageWork = void (*)(const PageJob& job, CliHost& host, PageOutcome& outcome);

struct PageCommand {
  PageWork work = nullptr;
  // Needs the program texts and the common words.
  bool analysis = true;
  // Takes each page's outcome, in order, instead of writing it (the site report).
  std::function<void(const PageSource&, PageOutcome&)> collect;
};

// Runs the command over the pages of the command line's FILEs and gives the exit status:
// 0 when every page succeeded, 1 when any failed.
int RunOverPages(const CommandLine& line, const PageCommand& command);

// The work of list (`tagMode` false) and tag (true) on one page (analysiscommands.cpp).
void AnalysePage(const PageJob& job, CliHost& host, PageOutcome& outcome, bool tagMode);

// For the works: the facts of the tag in the output box and of the document's head (when
// the document is held whole from its first byte).
void GatherTagFacts(const Analysis& analysis, const CliHost& host, const DocumentReader& document,
                    PageFacts& facts);
// The ranked words of the table.
std::vector<WordFact> RankedWords(const WordTable& table);
// Marks the page failed, with the first message shown as its error.
void MarkFailed(const CliHost& host, PageOutcome& outcome);

}  // namespace tw::cli
