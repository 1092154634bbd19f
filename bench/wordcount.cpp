// tagwright-wordcount FILE...: how many distinct words the engine keeps for a document, for
// the benchmark tables. The word list hides words whose key value rounds to 0, so on a large
// page its lines count only a few hundred of them; this counts the whole table. For each
// file it prints, with English common words and the window's other defaults:
//   distinct_min1    entries after the filters and the plural and case merges, every word
//                    kept (minimum frequency 1)
//   distinct_min2    the same with the default minimum frequency 2 (what the tag is built from)
//   total_words      the words the scanner handed over (the document's word count)
// It drives the engine as run_bench.cpp does, through the run and its host.
#include <cstdio>
#include <filesystem>
#include <string>

#include "analysis/programfolder.hpp"
#include "analysis/run.hpp"
#include "io/fileproc.hpp"
#include "text/codepage.hpp"

namespace tw::bench {
namespace {

constexpr int32_t kEnglish = 0;

struct Counts {
  bool done = false;
  int32_t distinct = 0;
  int64_t total = 0;
};

Counts CountWords(const ProgramText& texts, const CommonWords& commonWords,
                  const std::filesystem::path& file, int32_t minFrequency) {
  KeepingRunHost host;
  host.settings.txbInputFile = FromPath(file);
  host.settings.cboLanguage = kEnglish;
  host.settings.cboThresholdFrequency = minFrequency - 1;
  Analysis analysis(texts, commonWords);
  Counts counts;
  counts.done = analysis.RunAnalysis(false, host) && host.messages.empty();
  for (const Message& message : host.messages)
    std::fprintf(stderr, "message: %s\n", ToUtf8(message.text).c_str());
  counts.distinct = analysis.table().intNumWords();
  counts.total = analysis.table().lngTotalWords;
  return counts;
}

}  // namespace
}  // namespace tw::bench

int main(int argc, char** argv) {
  using namespace tw;
  if (argc < 2) {
    std::fprintf(stderr, "Usage: tagwright-wordcount FILE...\n");
    return 2;
  }
  ProgramText texts;
  CommonWords commonWords;
  const std::filesystem::path data = ProgramDataFolder();
  texts.LoadProgramText(data, kProgramTextFileName);
  commonWords.LoadCommonWords(data, bench::kEnglish);
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    const bench::Counts all = bench::CountWords(texts, commonWords, argv[i], 1);
    const bench::Counts kept = bench::CountWords(texts, commonWords, argv[i], 2);
    if (!all.done || !kept.done) {
      std::fprintf(stderr, "tagwright-wordcount: the run over %s did not finish\n", argv[i]);
      status = 1;
      continue;
    }
    std::printf("%s distinct_min1=%d distinct_min2=%d total_words=%lld\n", argv[i], all.distinct,
                kept.distinct, static_cast<long long>(all.total));
  }
  return status;
}
