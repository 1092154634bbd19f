// Work on many items at once, its results handed over in the items' order: what a run over
// many pages needs to write each page's output exactly where a one-at-a-time run would.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tw::cli {

// Runs work(i) for every i below `count` on `jobs` threads and calls emit(i, result) on the
// calling thread for i = 0, 1, 2 ... in turn, each as soon as its result is there. While it
// waits, the calling thread calls idle() every `idlePeriod`. At most `jobs` x 4 results wait
// for their turn, so that a slow item does not make the others pile up. `work` must not
// throw.
template <class Result>
void RunInOrder(size_t count, unsigned jobs, const std::function<Result(size_t)>& work,
                const std::function<void(size_t, Result&)>& emit,
                const std::function<void()>& idle = {},
                std::chrono::milliseconds idlePeriod = std::chrono::milliseconds(200)) {
  if (jobs == 0) jobs = 1;
  const size_t window = static_cast<size_t>(jobs) * 4;
  std::vector<std::optional<Result>> results(count);
  std::mutex mutex;
  std::condition_variable ready;  // a result is there
  std::condition_variable room;   // an item may be taken
  size_t next = 0;                // the next item to take
  size_t emitted = 0;             // items handed over
  bool stop = false;

  auto worker = [&]() {
    for (;;) {
      size_t item = 0;
      {
        std::unique_lock lock(mutex);
        room.wait(lock, [&] { return stop || next >= count || next < emitted + window; });
        if (stop || next >= count) return;
        item = next++;
      }
      Result result = work(item);
      {
        std::lock_guard lock(mutex);
        results[item] = std::move(result);
      }
      ready.notify_all();
    }
  };

  std::vector<std::thread> threads;
  const size_t threadCount = std::min<size_t>(jobs, count);
  threads.reserve(threadCount);
  try {
    for (size_t t = 0; t < threadCount; ++t)
      threads.emplace_back(worker);
    for (size_t i = 0; i < count; ++i) {
      std::optional<Result> result;
      {
        std::unique_lock lock(mutex);
        while (!results[i]) {
          if (ready.wait_for(lock, idlePeriod, [&] { return results[i].has_value(); })) break;
          if (idle) {
            lock.unlock();
            idle();
            lock.lock();
          }
        }
        result = std::move(results[i]);
        results[i].reset();
        emitted = i + 1;
      }
      room.notify_all();
      emit(i, *result);
    }
  } catch (...) {
    {
      std::lock_guard lock(mutex);
      stop = true;
    }
    room.notify_all();
    for (std::thread& t : threads)
      t.join();
    throw;
  }
  for (std::thread& t : threads)
    t.join();
}

}  // namespace tw::cli
