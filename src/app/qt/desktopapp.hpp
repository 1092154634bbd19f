// The desktop program put together: the Qt platform, the window's logic and the window that
// draws it, in the order each needs the others.
#pragma once

#include <filesystem>
#include <memory>

#include "app/mainform.hpp"
#include "app/qt/frmmain.hpp"
#include "app/qt/qtui.hpp"

namespace tw {

class DesktopApp {
 public:
  // `dataFolder` holds the program text file, the common-word files and the manual.
  explicit DesktopApp(const std::filesystem::path& dataFolder, QtUiOptions options = {});
  ~DesktopApp();
  DesktopApp(const DesktopApp&) = delete;
  DesktopApp& operator=(const DesktopApp&) = delete;

  // Start-up, the window shown on the way. False when the program text could not be loaded
  // (the user has been told). The user may also have quit during start-up: ui().Ended().
  bool Start();

  QtUi& ui() { return *ui_; }
  MainForm& form() { return *form_; }
  FrmMain& window() { return *window_; }

 private:
  std::unique_ptr<QtUi> ui_;
  std::unique_ptr<MainForm> form_;
  std::unique_ptr<FrmMain> window_;
};

}  // namespace tw
