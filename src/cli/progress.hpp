// The progress line of a run over many pages: on stderr when it is a terminal, rewritten in
// place, and erased at the end.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace tw::cli {

// "812 of 2000 pages, 41.3 MB/s, 0:29 left": the speed in 10^6 bytes per second, the time
// left from the bytes still to read at that speed ("-:--" before anything is read).
std::string ProgressText(size_t pagesDone, size_t pages, uint64_t bytesDone, uint64_t bytes,
                         double seconds);

class SiteProgress {
 public:
  // Shows nothing unless `enabled`.
  SiteProgress(std::FILE* err, bool enabled);

  // Shows the line when the run has gone on for a moment, at most five times a second.
  void Update(size_t pagesDone, size_t pages, uint64_t bytesDone, uint64_t bytes);
  // Erases the line, if one is shown; the next Update may show it again.
  void Clear();

 private:
  std::FILE* err_;
  bool enabled_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastShown_;
};

}  // namespace tw::cli
