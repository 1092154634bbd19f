// Counting a scan's words in a second thread while the scan goes on: the scan hands its words
// over in batches, and one thread counts them into the word table in the order they came, so
// that the table ends as it would have, counted word by word.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "words/wordtable.hpp"

namespace tw {

class CountingThread {
 public:
  // Starts the thread. The table, Reset with the scan's filters, belongs to the thread until
  // Finish returns: nothing else may look at it or change it before.
  explicit CountingThread(WordTable& table);
  // Ends the thread, leaving the words not yet counted uncounted: for a scan that failed.
  ~CountingThread();
  CountingThread(const CountingThread&) = delete;
  CountingThread& operator=(const CountingThread&) = delete;

  // One word of the scan (copied). Throws what the thread met while counting.
  void Add(std::string_view word, Occurrence occurrence) {
    // A word the table would reject at a glance changes nothing: it is not handed over.
    if (lengths_.RejectsAtAGlance(word)) return;
    if (filling_->size + word.size() > kBatchBytes) Send();
    Batch& b = *filling_;
    CopyWord(b.bytes.get() + b.size, word);
    b.size += word.size();
    b.words[b.count] = BatchWord{static_cast<uint32_t>(b.size), occurrence};
    if (++b.count == kBatchWords) Send();
  }

  // Counts every word handed over and ends the thread, then tells `newWord(word)` of each
  // word that made a new entry, in the order the table took them. Throws what the thread
  // met while counting.
  template <class NewWord>
  void Finish(NewWord&& newWord);

  // Words in a batch: enough for the handing over to cost next to nothing.
  static constexpr size_t kBatchWords = 4096;
  // The bytes of a batch's words: room for words of the usual lengths.
  static constexpr size_t kBatchBytes = 16 * kBatchWords;
  static_assert(kBatchBytes >= static_cast<size_t>(intMaxWordLength));

 private:
  struct BatchWord {
    uint32_t end;  // where the word ends in the batch's bytes
    Occurrence occurrence;
  };
  // What one thread writes often stands apart from what the other reads, so that neither
  // has to fetch it back from the other's cache each time.
  static constexpr size_t kCacheLine = 64;
  struct alignas(kCacheLine) Batch {
    std::unique_ptr<char[]> bytes = std::make_unique_for_overwrite<char[]>(kBatchBytes);
    size_t size = 0;  // of the bytes
    std::unique_ptr<BatchWord[]> words = std::make_unique_for_overwrite<BatchWord[]>(kBatchWords);
    size_t count = 0;  // of the words
    void clear() {
      size = 0;
      count = 0;
    }
  };
  // Copies a word into a batch's bytes; one of the usual lengths without a call, as two
  // pieces of eight or four bytes that overlap in the middle, or three single bytes.
  static void CopyWord(char* to, std::string_view word) {
    const char* from = word.data();
    const size_t n = word.size();
    if (n >= sizeof(uint64_t) && n <= 2 * sizeof(uint64_t)) {
      CopyPair<uint64_t>(to, from, n);
    } else if (n >= sizeof(uint32_t) && n < sizeof(uint64_t)) {
      CopyPair<uint32_t>(to, from, n);
    } else if (n > 0 && n < sizeof(uint32_t)) {
      to[0] = from[0];
      to[n / 2] = from[n / 2];
      to[n - 1] = from[n - 1];
    } else {
      std::memcpy(to, from, n);
    }
  }
  template <class Piece>
  static void CopyPair(char* to, const char* from, size_t n) {
    Piece head;
    Piece tail;
    std::memcpy(&head, from, sizeof(Piece));
    std::memcpy(&tail, from + n - sizeof(Piece), sizeof(Piece));
    std::memcpy(to, &head, sizeof(Piece));
    std::memcpy(to + n - sizeof(Piece), &tail, sizeof(Piece));
  }
  // Batches: one filled by the scan, the others waiting to be counted or being counted.
  static constexpr size_t kBatches = 8;

  // Hands the batch being filled over and takes an empty one, waiting for it if need be.
  void Send();
  void Run();
  void Count(const Batch& batch);
  // What the table tells of each word as it counts it.
  void Counted(AddResult result, std::string_view word) {
    if (result != AddResult::NewWord) return;
    newWords_.append(word);
    newWordEnds_.push_back(static_cast<uint32_t>(newWords_.size()));
  }
  void RethrowFailure();

  WordTable& table_;
  std::array<Batch, kBatches> batches_;
  // The scan's.
  alignas(kCacheLine) Batch* filling_ = nullptr;
  WordTable::WordLengths lengths_;

  alignas(kCacheLine) std::mutex mutex_;
  std::condition_variable toCount_;  // the thread waits for a batch
  std::condition_variable emptied_;  // the scan waits for an empty batch
  std::deque<Batch*> full_;
  std::vector<Batch*> empty_;
  bool finishing_ = false;  // no more batches come
  bool quitting_ = false;   // stop at once
  std::exception_ptr failure_;

  // The words that made a new entry, one after another, and where each ends. Written by the
  // thread only; read after it has ended.
  alignas(kCacheLine) std::string newWords_;
  std::vector<uint32_t> newWordEnds_;

  std::thread thread_;
};

template <class NewWord>
void CountingThread::Finish(NewWord&& newWord) {
  Send();
  {
    std::lock_guard lock(mutex_);
    finishing_ = true;
  }
  toCount_.notify_one();
  thread_.join();
  RethrowFailure();
  uint32_t start = 0;
  for (const uint32_t end : newWordEnds_) {
    newWord(std::string_view(newWords_).substr(start, end - start));
    start = end;
  }
}

}  // namespace tw
