#include "analysis/countingthread.hpp"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/settings.hpp"
#include "core/limits.hpp"
#include "words/commonwords.hpp"

namespace tw {
namespace {

std::vector<WordEntry> EntriesOf(const WordTable& table) {
  const RankedEntries ranked = table.Ranked();
  return std::vector<WordEntry>(ranked.begin(), ranked.end());
}

struct Occurring {
  std::string word;
  Occurrence occurrence;
};

// Words as a scan hands them over: a skewed choice from a vocabulary with plurals, accented
// letters, words too short and too long, of every length a batch copies its own way (one to
// three bytes, four to seven, eight to sixteen, more), in contexts of several weights.
std::vector<Occurring> ScanWords(size_t count, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<std::string> vocabulary;
  for (int k = 0; k < 3000; ++k) {
    std::string word;
    const size_t length = 1 + rng() % (k % 8 == 0 ? 30 : 10);
    for (size_t c = 0; c < length; ++c)
      word.push_back("aeioulnrstMT\xe9\xc9"[rng() % 14]);
    vocabulary.push_back(word);
    vocabulary.push_back(word + "s");
  }
  vocabulary.push_back(std::string(70, 'x'));
  vocabulary.push_back(std::string(static_cast<size_t>(intMaxWordLength), 'y'));
  std::vector<Occurring> words;
  for (size_t k = 0; k < count; ++k) {
    const size_t rank = rng() % vocabulary.size();
    Occurring w;
    w.word = vocabulary[rng() % 2 == 0 ? rank % 40 : rank];
    w.occurrence.weight = static_cast<float>(1 + rng() % 12);
    w.occurrence.fromTitleOrMeta = rng() % 50 == 0;
    words.push_back(std::move(w));
  }
  return words;
}

struct CountingCase {
  const char* name;
  size_t words;
  size_t documentBytes;  // a long document's words also wait in the table before counted
};

class CountingThreadTest : public testing::TestWithParam<CountingCase> {
 protected:
  void ResetBoth(size_t documentBytes) {
    AnalysisSettings settings;
    options_ = ResolveOptions(settings).scan;
    common_.ParseLine(u"the and les des", 0);
    direct_.Reset(options_, common_, documentBytes);
    threaded_.Reset(options_, common_, documentBytes);
  }

  ScanOptions options_;
  CommonWords common_;
  WordTable direct_;
  WordTable threaded_;
};

// The thread counts the words in the order they were handed over: the same table, and the
// same new words in the same order, as counting them one by one; over batch boundaries and
// with the scan running ahead of the thread.
TEST_P(CountingThreadTest, CountsAsTheWordsCame) {
  const CountingCase& c = GetParam();
  ResetBoth(c.documentBytes);
  const std::vector<Occurring> words = ScanWords(c.words, static_cast<uint32_t>(c.words));
  std::vector<std::string> newDirect;
  for (const Occurring& w : words) {
    if (direct_.AddWord(w.word, w.occurrence) == AddResult::NewWord) newDirect.push_back(w.word);
  }
  std::vector<std::string> newThreaded;
  {
    CountingThread counting(threaded_);
    for (const Occurring& w : words)
      counting.Add(w.word, w.occurrence);
    counting.Finish([&](std::string_view word) { newThreaded.emplace_back(word); });
  }
  EXPECT_EQ(newThreaded, newDirect);
  EXPECT_EQ(EntriesOf(threaded_), EntriesOf(direct_));
  threaded_.MergeCaseVariants();
  direct_.MergeCaseVariants();
  EXPECT_EQ(EntriesOf(threaded_), EntriesOf(direct_));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CountingThreadTest,
    testing::Values(CountingCase{"none", 0, 0}, CountingCase{"one", 1, 0},
                    CountingCase{"one_batch", CountingThread::kBatchWords, 0},
                    CountingCase{"one_more", CountingThread::kBatchWords + 1, 0},
                    CountingCase{"many_batches", 23 * CountingThread::kBatchWords + 7, 0},
                    CountingCase{"waiting_in_the_table", 5 * CountingThread::kBatchWords + 3,
                                 50'000'000}),
    [](const auto& test) { return std::string(test.param.name); });

// What goes wrong in the thread comes out to the scan; a scan that fails leaves the thread
// without a wait.
TEST(CountingThreadFailureTest, TheThreadsFailureReachesTheScan) {
  struct Case {
    const char* name;
    size_t words;
    bool finish;
    bool thrown;
  };
  constexpr size_t kMany = 10 * CountingThread::kBatchWords;  // more than the batches there are
  for (const Case& c : {Case{"at_the_end", 1, true, true}, Case{"after_batches", kMany, true, true},
                        Case{"while_the_scan_goes_on", kMany, false, true},
                        Case{"never_seen", 3, false, false}}) {
    SCOPED_TRACE(c.name);
    WordTable table;  // without the scan's filters, it refuses every word
    bool thrown = false;
    try {
      CountingThread counting(table);
      for (size_t k = 0; k < c.words; ++k)
        counting.Add("word", Occurrence{1, false});
      if (c.finish) counting.Finish([](std::string_view) {});
    } catch (const std::logic_error&) {
      thrown = true;
    }
    EXPECT_EQ(thrown, c.thrown);
  }
}

}  // namespace
}  // namespace tw
