// The platform under MainForm, in Qt: message boxes, the file-open dialog, the clipboard,
// event processing, repaints, the desktop's default applications, the screen, the per-user
// data folder, pauses, the help window and the end of the program.
#pragma once

#include <QElapsedTimer>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/ui.hpp"

class QEventLoop;
class QWidget;

namespace tw {

class FrmMain;
class FrmHelp;

// The result of a successful OpenAddress (the shell reports success above 32).
inline constexpr int32_t kShellOpened = kShellSuccessAbove + 1;

struct QtUiOptions {
  // Pauses wait (the window painted meanwhile); off, they return at once.
  bool pauses = true;
  // Ending the program quits the application's event loop; off, it only closes the windows.
  bool quitApplication = true;
  // Opens a URL with the desktop's default application; unset: QDesktopServices::openUrl.
  std::function<bool(const QUrl&)> openUrl;
};

class QtUi : public Ui {
 public:
  // Relative addresses are files in `dataFolder`.
  explicit QtUi(std::filesystem::path dataFolder, QtUiOptions options = {});
  ~QtUi() override;
  QtUi(const QtUi&) = delete;
  QtUi& operator=(const QtUi&) = delete;

  // The main window that draws MainForm; null detaches it.
  void Attach(FrmMain* window) { window_ = window; }
  FrmMain* window() const { return window_; }
  // The help window, once the Help command has made it.
  FrmHelp* help() const { return help_.get(); }
  // True while a message box or the file dialog is open.
  bool InModalDialog() const { return modalDepth_ > 0; }
  // True once EndProgram has run.
  bool Ended() const { return ended_; }

  // The URL an address opens: web and mail addresses as they are, a local path as a file
  // URL (a relative one in the data folder); empty when a local file does not exist.
  QUrl AddressUrl(TextView address) const;

  MsgAnswer ShowMessage(const Message& message) override;
  std::optional<Text> ChooseOpenFile(TextView title, TextView filter) override;
  void ClearClipboard() override;
  void SetClipboardText(TextView text) override;
  void ProcessEvents() override;
  void Repaint(ControlId id) override;
  void RepaintWindow() override;
  void MoveCaret(ControlId id, int32_t position) override;
  int32_t OpenAddress(TextView address) override;
  int32_t ScreenHeightTwips() const override;
  void Pause(int32_t milliseconds) override;
  std::filesystem::path AppDataFolder() const override;
  void ShowHelp() override;
  void ShowMainWindow() override;
  void PlaceMainWindow(int32_t topTwips, int32_t heightTwips) override;
  void EndProgram() override;
  void ControlChanged(ControlId id) override;
  void WindowChanged() override;
  void OutputAppended(TextView appended) override;

 private:
  QWidget* DialogParent() const;

  std::filesystem::path dataFolder_;
  QtUiOptions options_;
  FrmMain* window_ = nullptr;
  std::unique_ptr<FrmHelp> help_;
  QElapsedTimer sinceEvents_;
  QEventLoop* pauseLoop_ = nullptr;
  int modalDepth_ = 0;
  bool ended_ = false;
};

}  // namespace tw
