// The progress line of a run over many pages.
#include "cli/progress.hpp"

#include <cmath>

namespace tw::cli {

namespace {

// A run this long before it shows progress at all, and the pause between two updates.
constexpr auto kProgressDelay = std::chrono::milliseconds(700);
constexpr auto kProgressInterval = std::chrono::milliseconds(200);
constexpr const char* kEraseLine = "\r\x1b[K";
constexpr double kBytesPerMegabyte = 1e6;
constexpr int64_t kSecondsPerMinute = 60;
constexpr int64_t kSecondsPerHour = 3600;

std::string Duration(int64_t seconds) {
  char text[32];
  if (seconds >= kSecondsPerHour) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld",
                  static_cast<long long>(seconds / kSecondsPerHour),
                  static_cast<long long>(seconds % kSecondsPerHour / kSecondsPerMinute),
                  static_cast<long long>(seconds % kSecondsPerMinute));
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld",
                  static_cast<long long>(seconds / kSecondsPerMinute),
                  static_cast<long long>(seconds % kSecondsPerMinute));
  }
  return text;
}

}  // namespace

std::string ProgressText(size_t pagesDone, size_t pages, uint64_t bytesDone, uint64_t bytes,
                         double seconds) {
  const double rate =
      seconds > 0 ? static_cast<double>(bytesDone) / kBytesPerMegabyte / seconds : 0.0;
  char speed[32];
  std::snprintf(speed, sizeof speed, "%.1f", rate);
  std::string left = "-:--";
  if (bytesDone > 0 && seconds > 0) {
    const uint64_t rest = bytes > bytesDone ? bytes - bytesDone : 0;
    const double secondsLeft = static_cast<double>(rest) * seconds / static_cast<double>(bytesDone);
    left = Duration(static_cast<int64_t>(std::ceil(secondsLeft)));
  }
  return std::to_string(pagesDone) + " of " + std::to_string(pages) + " pages, " + speed +
         " MB/s, " + left + " left";
}

SiteProgress::SiteProgress(std::FILE* err, bool enabled)
    : err_(err), enabled_(enabled), start_(std::chrono::steady_clock::now()) {}

void SiteProgress::Update(size_t pagesDone, size_t pages, uint64_t bytesDone, uint64_t bytes) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - start_ < kProgressDelay) return;
  if (shown_ && now - lastShown_ < kProgressInterval) return;
  lastShown_ = now;
  shown_ = true;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const std::string line = kEraseLine + ProgressText(pagesDone, pages, bytesDone, bytes, seconds);
  std::fwrite(line.data(), 1, line.size(), err_);
  std::fflush(err_);
}

void SiteProgress::Clear() {
  if (!shown_) return;
  std::fputs(kEraseLine, err_);
  std::fflush(err_);
  shown_ = false;
}

}  // namespace tw::cli
