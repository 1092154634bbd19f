#include "analysis/countingthread.hpp"

#include <span>

namespace tw {

CountingThread::CountingThread(WordTable& table) : table_(table), lengths_(table.wordLengths()) {
  for (Batch& b : batches_)
    empty_.push_back(&b);
  filling_ = empty_.back();
  empty_.pop_back();
  thread_ = std::thread([this] { Run(); });
}

CountingThread::~CountingThread() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    quitting_ = true;
  }
  toCount_.notify_one();
  thread_.join();
}

void CountingThread::Send() {
  if (filling_->count == 0) {
    RethrowFailure();
    return;
  }
  std::unique_lock lock(mutex_);
  full_.push_back(filling_);
  filling_ = nullptr;
  toCount_.notify_one();
  emptied_.wait(lock, [this] { return !empty_.empty() || failure_ != nullptr; });
  if (failure_ != nullptr) std::rethrow_exception(failure_);
  filling_ = empty_.back();
  empty_.pop_back();
}

void CountingThread::RethrowFailure() {
  std::lock_guard lock(mutex_);
  if (failure_ != nullptr) std::rethrow_exception(failure_);
}

void CountingThread::Run() {
  try {
    for (;;) {
      Batch* batch = nullptr;
      {
        std::unique_lock lock(mutex_);
        toCount_.wait(lock, [this] { return quitting_ || finishing_ || !full_.empty(); });
        if (quitting_) return;
        if (full_.empty()) break;  // finishing, and every batch is counted
        batch = full_.front();
        full_.pop_front();
      }
      Count(*batch);
      batch->clear();
      {
        std::lock_guard lock(mutex_);
        empty_.push_back(batch);
      }
      emptied_.notify_one();
    }
    table_.Flush([this](AddResult result, std::string_view word) { Counted(result, word); });
  } catch (...) {
    {
      std::lock_guard lock(mutex_);
      failure_ = std::current_exception();
    }
    emptied_.notify_one();
  }
}

void CountingThread::Count(const Batch& batch) {
  const std::string_view bytes(batch.bytes.get(), batch.size);
  uint32_t start = 0;
  // The batch goes back to be filled again once its words are counted.
  table_.AddWordsSoon(
      [&](auto add) {
        for (const BatchWord& w : std::span(batch.words.get(), batch.count)) {
          add(bytes.substr(start, w.end - start), w.occurrence);
          start = w.end;
        }
      },
      [this](AddResult result, std::string_view word) { Counted(result, word); });
}

}  // namespace tw
