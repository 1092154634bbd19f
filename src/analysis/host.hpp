// Whoever starts a run: the window, the command line or a test. The run shows its output,
// progress, messages and questions through the host and yields to it while it works.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "analysis/settings.hpp"
#include "text/message.hpp"
#include "text/text.hpp"

namespace tw {

class RunHost {
 public:
  virtual ~RunHost() = default;

  // The settings as the controls hold them now; a run reads them, never writes them.
  virtual const AnalysisSettings& Settings() const = 0;
  // The run trims the input file's name and the phrases that begin the tag; the host shows
  // them trimmed (txbInputFile, txbBeginMetaTagWith).
  virtual void SetInputFileText(Text text) = 0;
  virtual void SetBeginWithText(Text text) = 0;

  // The output box (txbMetaTag).
  virtual const Text& OutputText() const = 0;
  virtual void SetOutputText(Text text) = 0;
  virtual void AppendOutputText(TextView text) = 0;
  virtual void RepaintOutput() {}
  virtual void MoveOutputCaretToEnd() {}
  virtual void MoveOutputCaretToStart() {}

  // lblNumberOfWords2 (the caption) and lblNumberOfWords (the count), repainted at once.
  virtual void SetWordCountLabels(TextView caption, TextView count) = 0;
  // The caption of cmdListWords ("List words", or "Stop" during a run).
  virtual void SetListWordsCaption(TextView caption) { (void)caption; }
  // Locking (false) and unlocking (true) of the window's controls around a run.
  virtual void SetControlsEnabled(bool enable) { (void)enable; }
  virtual void PlaceDefaultFocus() {}

  // A modal message box; returns the button pressed.
  virtual MsgAnswer ShowMessage(const Message& message) = 0;

  // Serve pending events (Stop, Show words as found, Quit, repaints). Called after every
  // line and every word, so it must be cheap when there is nothing to do.
  virtual void Yield() {}
  // Whether the host looks at the run word by word: the words shown as they are found, the
  // count of words found, a stop after any word. A host that does not (it shows only how far
  // the run has read) lets the run count each word a little later, which is faster; the
  // result is the same.
  virtual bool WatchesEachWord() const { return true; }
  // Whether a host that does not watch each word lets the run count a long document's words
  // in a second thread while it scans: not when the processors are busy with other work.
  virtual bool MayCountAlongside() const { return false; }
  // How far the run has read the document, for a progress line.
  virtual void ReportProgress(int64_t bytesRead, int64_t totalBytes) {
    (void)bytesRead;
    (void)totalBytes;
  }
};

// A host that holds the settings itself: the command line, tests and benchmarks.
class SettingsRunHost : public RunHost {
 public:
  const AnalysisSettings& Settings() const override { return settings; }
  void SetInputFileText(Text text) override { settings.txbInputFile = std::move(text); }
  void SetBeginWithText(Text text) override { settings.txbBeginMetaTagWith = std::move(text); }

  AnalysisSettings settings;
};

// A host that keeps what the run shows: the output box's text and every message, each
// answered Ok. For the tools, benchmarks and fuzz targets that drive a run.
class KeepingRunHost : public SettingsRunHost {
 public:
  const Text& OutputText() const override { return output; }
  void SetOutputText(Text text) override { output = std::move(text); }
  void AppendOutputText(TextView text) override { output.append(text); }
  void SetWordCountLabels(TextView, TextView) override {}
  bool WatchesEachWord() const override { return false; }
  bool MayCountAlongside() const override { return true; }
  MsgAnswer ShowMessage(const Message& message) override {
    messages.push_back(message);
    return MsgAnswer::Ok;
  }

  Text output;
  std::vector<Message> messages;
};

}  // namespace tw
