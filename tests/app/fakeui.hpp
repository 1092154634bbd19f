// A scripted platform for MainForm tests: records what the window asks of the platform and
// answers message boxes and file dialogs from a script.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "app/ui.hpp"

namespace tw::test {

class FakeUi : public Ui {
 public:
  // Messages shown, in order; answers to questions are taken from `answers` (Yes when empty).
  std::vector<Message> messages;
  std::deque<MsgAnswer> answers;
  MsgAnswer ShowMessage(const Message& message) override {
    messages.push_back(message);
    if (message.buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    if (answers.empty()) return MsgAnswer::Yes;
    MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
  }

  // The file dialog returns these in turn (nothing when the script is exhausted).
  std::deque<std::optional<Text>> chosenFiles;
  std::vector<std::pair<Text, Text>> dialogs;  // title, filter
  std::optional<Text> ChooseOpenFile(TextView title, TextView filter) override {
    dialogs.emplace_back(Text(title), Text(filter));
    if (chosenFiles.empty()) return std::nullopt;
    std::optional<Text> f = chosenFiles.front();
    chosenFiles.pop_front();
    return f;
  }

  std::optional<Text> clipboard;
  int clipboardClears = 0;
  void ClearClipboard() override {
    ++clipboardClears;
    clipboard.reset();
  }
  void SetClipboardText(TextView text) override { clipboard = Text(text); }

  // Runs the hook on every event pass; the hook may click on the form as a user would.
  std::function<void()> onProcessEvents;
  int processEventsCalls = 0;
  void ProcessEvents() override {
    ++processEventsCalls;
    if (onProcessEvents) onProcessEvents();
  }

  std::vector<ControlId> repaints;
  int windowRepaints = 0;
  void Repaint(ControlId id) override { repaints.push_back(id); }
  void RepaintWindow() override { ++windowRepaints; }

  std::vector<std::pair<ControlId, int32_t>> carets;
  void MoveCaret(ControlId id, int32_t position) override { carets.emplace_back(id, position); }

  std::vector<Text> openedAddresses;
  int32_t openResult = 42;
  int32_t OpenAddress(TextView address) override {
    openedAddresses.emplace_back(address);
    return openResult;
  }

  int32_t screenHeight = 12000;
  int32_t ScreenHeightTwips() const override { return screenHeight; }

  std::vector<int32_t> pauses;
  void Pause(int32_t milliseconds) override { pauses.push_back(milliseconds); }

  std::filesystem::path appData;
  std::filesystem::path AppDataFolder() const override { return appData; }

  std::vector<std::filesystem::path> currentFolders;
  void SetCurrentFolder(const std::filesystem::path& folder) override {
    currentFolders.push_back(folder);
  }

  int helpShown = 0;
  void ShowHelp() override { ++helpShown; }

  int windowShown = 0;
  std::vector<std::pair<int32_t, int32_t>> placements;  // top, height
  void ShowMainWindow() override { ++windowShown; }
  void PlaceMainWindow(int32_t top, int32_t height) override {
    placements.emplace_back(top, height);
  }

  int ended = 0;
  void EndProgram() override { ++ended; }

  std::vector<ControlId> changed;
  void ControlChanged(ControlId id) override { changed.push_back(id); }
  Text appendedOutput;
  void OutputAppended(TextView appended) override { appendedOutput += appended; }

  bool WasChanged(ControlId id) const {
    for (ControlId c : changed) {
      if (c == id) return true;
    }
    return false;
  }
  // Messages whose caption is `caption`.
  int CountCaption(TextView caption) const {
    int n = 0;
    for (const Message& m : messages)
      n += m.caption == caption ? 1 : 0;
    return n;
  }
};

}  // namespace tw::test
