// The command line as the host of a run: the output box is a string printed at the end,
// message boxes become lines on stderr, and a long run shows a progress line on a terminal.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/host.hpp"
#include "analysis/settings.hpp"

namespace tw::cli {

// Exit statuses of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitMessage = 1;  // a message box was shown
inline constexpr int kExitUsage = 2;    // a bad command line

// Whether stderr is a terminal (the one platform call of the command line).
bool StderrIsTerminal();

// A text in UTF-8 on one line: each line break (CR LF, CR or LF) as one space.
std::string OneLine(TextView text);
// "CAPTION: TEXT" in UTF-8, line breaks inside as spaces; the text alone when the caption is
// empty.
std::string MessageLine(const Message& message);
// The output box text for stdout: UTF-8, each CR LF as "\n", ending with one "\n".
std::string OutputForStdout(TextView text);

class CliHost : public SettingsRunHost {
 public:
  // `err` receives the message lines and the progress line; progress only when asked.
  explicit CliHost(std::FILE* err = stderr, bool showProgress = false);
  // The message lines are kept in a buffer (see TakeErrorText), for a page of a run over
  // many pages, whose lines are written when its turn comes; no progress line.
  static CliHost Buffered();

  const Text& OutputText() const override { return output_; }
  void SetOutputText(Text text) override { output_ = std::move(text); }
  void AppendOutputText(TextView text) override { output_.append(text); }
  void SetWordCountLabels(TextView caption, TextView count) override;

  // Prints the message line; a question gets `questionAnswer`, anything else Ok.
  MsgAnswer ShowMessage(const Message& message) override;
  void ReportProgress(int64_t bytesRead, int64_t totalBytes) override;
  bool WatchesEachWord() const override { return false; }
  bool MayCountAlongside() const override { return countAlongside_; }
  // Off for a page analysed beside others, which keep the processors busy already.
  void SetCountAlongside(bool countAlongside) { countAlongside_ = countAlongside; }
  // A line of information on stderr (not a message: the exit status stays).
  void PrintLine(const std::string& line);
  // Erases the progress line, if one is shown.
  void FinishProgress();

  int messagesShown() const { return messagesShown_; }
  // Every message shown, in order.
  const std::vector<Message>& messages() const { return messages_; }
  // The lines kept by a buffered host, handed over and forgotten.
  std::string TakeErrorText() { return std::move(buffer_); }
  const Text& wordCountCaption() const { return countCaption_; }
  const Text& wordCount() const { return count_; }

  // The command line cannot ask: the answer it gives to Yes/No questions.
  MsgAnswer questionAnswer = MsgAnswer::No;

 private:
  // Writes a line to `err_`, or keeps it in `buffer_` when there is no `err_`.
  void Write(const std::string& text);

  std::FILE* err_;
  std::string buffer_;
  std::vector<Message> messages_;
  bool showProgress_;
  bool progressShown_ = false;
  bool started_ = false;
  int lastPercent_ = -1;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastShown_;
  Text output_;
  Text countCaption_;
  Text count_;
  int messagesShown_ = 0;
  bool countAlongside_ = true;
};

}  // namespace tw::cli
