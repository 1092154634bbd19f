// The command line's run host.
#include "cli/clihost.hpp"

#include "text/codepage.hpp"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tw::cli {

namespace {

// A run this long before it shows progress at all, and the pause between two updates.
constexpr auto kProgressDelay = std::chrono::milliseconds(700);
constexpr auto kProgressInterval = std::chrono::milliseconds(200);
constexpr int64_t kPercent = 100;
constexpr const char* kEraseLine = "\r\x1b[K";

// Each line break (CR LF, CR or LF) as one space.
Text LineBreaksAsSpaces(TextView text) {
  Text out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == kCR) {
      out.push_back(u' ');
      if (i + 1 < text.size() && text[i + 1] == kLF) ++i;
    } else if (c == kLF) {
      out.push_back(u' ');
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace

bool StderrIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(fileno(stderr)) != 0;
#endif
}

std::string OneLine(TextView text) {
  return ToUtf8(LineBreaksAsSpaces(text));
}

std::string MessageLine(const Message& message) {
  std::string line;
  if (!message.caption.empty()) {
    line = ToUtf8(LineBreaksAsSpaces(message.caption));
    line += ": ";
  }
  line += ToUtf8(LineBreaksAsSpaces(message.text));
  return line;
}

std::string OutputForStdout(TextView text) {
  Text unix;
  unix.reserve(text.size() + 1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == kCR && i + 1 < text.size() && text[i + 1] == kLF) {
      unix.push_back(kLF);
      ++i;
    } else {
      unix.push_back(text[i]);
    }
  }
  if (unix.empty() || unix.back() != kLF) unix.push_back(kLF);
  return ToUtf8(unix);
}

CliHost::CliHost(std::FILE* err, bool showProgress) : err_(err), showProgress_(showProgress) {}

CliHost CliHost::Buffered() {
  return CliHost(nullptr, false);
}

void CliHost::Write(const std::string& text) {
  if (err_ == nullptr) {
    buffer_ += text;
    return;
  }
  std::fwrite(text.data(), 1, text.size(), err_);
  std::fflush(err_);
}

void CliHost::SetWordCountLabels(TextView caption, TextView count) {
  countCaption_ = Text(caption);
  count_ = Text(count);
}

MsgAnswer CliHost::ShowMessage(const Message& message) {
  FinishProgress();
  ++messagesShown_;
  messages_.push_back(message);
  Write(MessageLine(message) + "\n");
  return message.buttons == MsgButtons::Ok ? MsgAnswer::Ok : questionAnswer;
}

void CliHost::PrintLine(const std::string& line) {
  FinishProgress();
  Write(line + "\n");
}

void CliHost::ReportProgress(int64_t bytesRead, int64_t totalBytes) {
  if (!showProgress_ || err_ == nullptr || totalBytes <= 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (!started_) {
    started_ = true;
    start_ = now;
    return;
  }
  if (now - start_ < kProgressDelay) return;
  if (progressShown_ && now - lastShown_ < kProgressInterval) return;
  const int percent = static_cast<int>(bytesRead * kPercent / totalBytes);
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  lastShown_ = now;
  progressShown_ = true;
  std::fprintf(err_, "\rReading the document ... %d%%", percent);
  std::fflush(err_);
}

void CliHost::FinishProgress() {
  if (!progressShown_) return;
  std::fputs(kEraseLine, err_);
  std::fflush(err_);
  progressShown_ = false;
  lastPercent_ = -1;
}

}  // namespace tw::cli
