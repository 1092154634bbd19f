// Whole runs ("Generate/show keywords meta tag") over generated documents: the CR LF
// document, the same document as one line without line breaks, and both at twice the size.
// Reports MB/s (10^6 bytes per second) and the peak resident memory of the process.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "analysis/programfolder.hpp"
#include "analysis/run.hpp"
#include "docgen.hpp"
#include "io/fileproc.hpp"
#include "text/codepage.hpp"

namespace tw::bench {
namespace {

constexpr int64_t kMegabyte = 1024 * 1024;
constexpr double kMillion = 1e6;
constexpr int32_t kEnglish = 0;

struct Fixture {
  ProgramText texts;
  CommonWords commonWords;
  std::filesystem::path folder;
  std::map<std::string, std::pair<std::filesystem::path, int64_t>> documents;

  Fixture() {
    const std::filesystem::path data = ProgramDataFolder();
    texts.LoadProgramText(data, kProgramTextFileName);
    commonWords.LoadCommonWords(data, kEnglish);
    folder = std::filesystem::temp_directory_path() / "tagwright-bench";
    std::filesystem::create_directories(folder);
  }
  ~Fixture() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }

  // The document of that size and kind, written once.
  const std::pair<std::filesystem::path, int64_t>& Document(int64_t megabytes, bool lineBreaks) {
    const std::string name =
        std::to_string(megabytes) + (lineBreaks ? "mb-crlf.html" : "mb-oneline.html");
    auto it = documents.find(name);
    if (it == documents.end()) {
      DocumentSpec spec;
      spec.targetBytes = megabytes * kMegabyte;
      spec.lineBreaks = lineBreaks;
      const auto file = folder / name;
      it = documents.emplace(name, std::make_pair(file, WriteDocument(file, spec))).first;
    }
    return it->second;
  }
};

Fixture& TheFixture() {
  static Fixture fixture;
  return fixture;
}

double PeakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void BM_Run(benchmark::State& state, bool lineBreaks) {
  Fixture& f = TheFixture();
  const auto& [file, size] = f.Document(state.range(0), lineBreaks);
  // The window's defaults with English common words.
  KeepingRunHost host;
  host.settings.txbInputFile = FromPath(file);
  host.settings.cboLanguage = kEnglish;
  int32_t words = 0;
  for (auto _ : state) {
    Analysis analysis(f.texts, f.commonWords);
    const bool done = analysis.RunAnalysis(true, host);
    if (!done || !host.messages.empty()) {
      for (const Message& message : host.messages)
        std::fprintf(stderr, "message: %s\n", ToUtf8(message.text).c_str());
      state.SkipWithError("the run did not finish");
      break;
    }
    words = analysis.table().intNumWords();
    benchmark::DoNotOptimize(host.OutputText().data());
  }
  const double bytes = static_cast<double>(size);
  state.counters["MB/s"] =
      benchmark::Counter(bytes / kMillion, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["doc_MB"] = bytes / kMillion;
  state.counters["distinct_words"] = words;
  state.counters["peak_RSS_MB"] = PeakResidentMegabytes();
}

void BM_CrLfDocument(benchmark::State& state) {
  BM_Run(state, true);
}
void BM_SingleLineDocument(benchmark::State& state) {
  BM_Run(state, false);
}

// The CR LF runs come first, so that the peak memory they report is their own.
BENCHMARK(BM_CrLfDocument)
    ->Arg(20)
    ->Arg(40)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);
BENCHMARK(BM_SingleLineDocument)
    ->Arg(20)
    ->Arg(40)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

}  // namespace
}  // namespace tw::bench

BENCHMARK_MAIN();
