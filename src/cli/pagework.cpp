// The run over the pages of a command line.
#include "cli/pagework.hpp"

#include <atomic>
#include <cstdio>
#include <exception>
#include <new>
#include <thread>

#include "analysis/programfolder.hpp"
#include "cli/jsonout.hpp"
#include "cli/ordered.hpp"
#include "cli/progress.hpp"
#include "tags/insert.hpp"
#include "text/codepage.hpp"
#include "words/tagbuilder.hpp"
#include "words/wordlist.hpp"

namespace tw::cli {

namespace {

constexpr int64_t kHundredthsOfPercent = 10000;
constexpr double kHundredths = 100.0;
constexpr TextView kTagEnd = u"\">";

// The number after a label of the output box, as the count lines show it.
int64_t CountAfter(TextView output, TextView label) {
  const size_t at = output.find(label);
  if (at == TextView::npos) return 0;
  int64_t n = 0;
  for (size_t i = at + label.size(); i < output.size(); ++i) {
    const char16_t c = output[i];
    if (c == u' ') continue;
    if (c < u'0' || c > u'9') break;
    n = n * 10 + (c - u'0');
  }
  return n;
}

void Write(std::FILE* stream, const std::string& text) {
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), stream);
}

uint32_t JobsFor(const RunOptions& run) {
  if (run.jobs > 0) return run.jobs;
  const unsigned processors = std::thread::hardware_concurrency();
  return processors == 0 ? 1 : processors;
}

// The work on one page of many, with its messages kept for their turn; whatever escapes the
// work fails the page alone.
PageOutcome WorkOnPage(const PageCommand& command, const PageJob& job) {
  PageOutcome outcome;
  CliHost host = CliHost::Buffered();
  host.SetCountAlongside(job.alone);
  auto fail = [&](const Message& message) {
    outcome.out.clear();
    host.ShowMessage(message);
    outcome.failed = true;
  };
  if (job.source.problem) {
    fail(*job.source.problem);
  } else {
    try {
      command.work(job, host, outcome);
    } catch (const std::bad_alloc&) {
      fail(
          Message{Text(kErrorCaption), FileError::FromErrno(ENOMEM).description, MsgIcon::Warning});
    } catch (const std::exception& e) {
      fail(Message{Text(kErrorCaption), FromUtf8(e.what()), MsgIcon::Warning});
    }
  }
  if (outcome.failed) MarkFailed(host, outcome);
  outcome.err = host.TakeErrorText();
  return outcome;
}

// Writes the page's output: its header (for text of many pages), its messages on stderr and
// its output on stdout.
class PageWriter {
 public:
  PageWriter(const CommandLine& line, bool headers, SiteProgress& progress)
      : json_(line.run.json), headers_(headers && !line.run.json), progress_(progress) {}

  void Write(const PageSource& source, const PageOutcome& outcome) {
    if (json_) {
      cli::Write(stdout, PageJsonLine(source, outcome.facts));
      return;
    }
    if (headers_) {
      cli::Write(stdout, (first_ ? "==> " : "\n==> ") + source.path + " <==\n");
      first_ = false;
    }
    if (!outcome.err.empty()) {
      // The messages stand under their page's header.
      std::fflush(stdout);
      progress_.Clear();
      cli::Write(stderr, outcome.err);
      std::fflush(stderr);
    }
    cli::Write(stdout, outcome.out);
  }

 private:
  bool json_;
  bool headers_;
  bool first_ = true;
  SiteProgress& progress_;
};

}  // namespace

void MarkFailed(const CliHost& host, PageOutcome& outcome) {
  outcome.failed = true;
  if (!outcome.facts.error && !host.messages().empty())
    outcome.facts.error = host.messages().front();
}

std::vector<WordFact> RankedWords(const WordTable& table) {
  std::vector<WordFact> words;
  for (const WordEntry& entry : table.Ranked()) {
    WordFact word;
    word.word = entry.word;
    word.value = RoundHalfToEven(entry.keyValue);
    word.frequency = entry.frequency;
    // Rounded as the list rounds it: on the exact quotient, a half up.
    if (table.lngTotalWords > 0) {
      const int64_t scaled = static_cast<int64_t>(entry.frequency) * kHundredthsOfPercent;
      int64_t hundredths = scaled / table.lngTotalWords;
      if (2 * (scaled % table.lngTotalWords) >= table.lngTotalWords) ++hundredths;
      word.density = static_cast<double>(hundredths) / kHundredths;
    }
    words.push_back(std::move(word));
  }
  return words;
}

void GatherTagFacts(const Analysis& analysis, const CliHost& host, const DocumentReader& document,
                    PageFacts& facts) {
  facts.tagged = true;
  if (OutputHoldsKeywordTag(host.OutputText())) {
    facts.tag = GetMetaTag(host.OutputText());
    const TextView tag = facts.tag;
    if (tag.starts_with(kMetaTagPrefix) && tag.ends_with(kTagEnd)) {
      facts.keywords = SplitKeywords(
          tag.substr(kMetaTagPrefix.size(), tag.size() - kMetaTagPrefix.size() - kTagEnd.size()));
    }
    facts.keywordCount = CountAfter(host.OutputText(), kNumberOfKeywordsLine);
    facts.tagBytes = CountAfter(host.OutputText(), kNumberOfBytesLine);
  }
  if (document.heldStart() == 0 && document.complete())
    facts.existing = FindExistingTags(document.Held(), analysis.blnIsUTF8File);
}

int RunOverPages(const CommandLine& line, const PageCommand& command) {
  SharedData shared;
  shared.dataFolder = ProgramDataFolder();
  const bool progressWanted = !line.run.quiet && StderrIsTerminal();
  // What is not text for the terminal (JSON, the site report) keeps the pages' messages.
  const bool keepMessages = line.run.json || static_cast<bool>(command.collect);
  if (command.analysis) {
    CliHost host(stderr, false);
    if (!LoadProgramTexts(shared, host)) return kExitMessage;
    LoadCommonWords(line.analysis, shared);
    shared.numberFormat = UserNumberFormat();
  }

  // One page given as a file: the run as it has always been, its messages written as they
  // come and its progress shown while it reads.
  if (line.operands.size() == 1 && !RealFileTree().IsFolder(line.operands.front())) {
    const PageSource source{line.operands.front(), 0, std::nullopt};
    const PageJob job{source, line, shared, keepMessages};
    PageOutcome outcome;
    if (keepMessages) {
      outcome = WorkOnPage(command, job);
    } else {
      CliHost host(stderr, progressWanted);
      command.work(job, host, outcome);
      host.FinishProgress();
    }
    if (command.collect) {
      command.collect(source, outcome);
    } else {
      SiteProgress none(stderr, false);
      PageWriter(line, false, none).Write(source, outcome);
    }
    std::fflush(stdout);
    return outcome.failed ? kExitMessage : kExitOk;
  }

  const std::vector<PageSource> pages = CollectPages(line.operands);
  uint64_t totalBytes = 0;
  for (const PageSource& page : pages)
    totalBytes += page.size;
  std::atomic<size_t> pagesDone = 0;
  std::atomic<uint64_t> bytesDone = 0;
  SiteProgress progress(stderr, progressWanted);
  PageWriter writer(line, true, progress);
  bool anyFailed = false;
  auto showProgress = [&] {
    progress.Update(pagesDone.load(), pages.size(), bytesDone.load(), totalBytes);
  };
  const uint32_t jobs = JobsFor(line.run);
  const bool alone = jobs == 1 || pages.size() == 1;
  RunInOrder<PageOutcome>(
      pages.size(), jobs,
      [&](size_t i) {
        PageOutcome outcome =
            WorkOnPage(command, PageJob{pages[i], line, shared, keepMessages, alone});
        bytesDone += pages[i].size;
        ++pagesDone;
        return outcome;
      },
      [&](size_t i, PageOutcome& outcome) {
        anyFailed = anyFailed || outcome.failed;
        if (command.collect) {
          command.collect(pages[i], outcome);
        } else {
          writer.Write(pages[i], outcome);
        }
        showProgress();
      },
      showProgress);
  progress.Clear();
  std::fflush(stdout);
  return anyFailed ? kExitMessage : kExitOk;
}

}  // namespace tw::cli
