// The one interface between the main window's logic (MainForm) and the platform: message
// boxes, the file-open dialog, the clipboard, events, repaints, the shell, the screen, the
// windows, and the notifications that tell a view which controls to draw again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "app/controls.hpp"
#include "text/message.hpp"
#include "text/text.hpp"

namespace tw {

// Result codes of opening an address: above kShellSuccessAbove is success; the others are
// failures, three of which have a meaning of their own.
inline constexpr int32_t kShellSuccessAbove = 32;
inline constexpr int32_t kShellFileNotFound = 2;
inline constexpr int32_t kShellOutOfMemory = 8;
inline constexpr int32_t kShellNoAssociation = 31;

class Ui {
 public:
  virtual ~Ui() = default;

  // A modal message box with caption, icon and buttons; returns the button pressed (Ok for
  // a box with only an OK button; closing a Yes/No/Cancel box counts as Cancel, closing a
  // Yes/No box as No).
  virtual MsgAnswer ShowMessage(const Message& message) = 0;

  // The standard file-open dialog (the file and its folder must exist, no read-only check
  // box, empty file name). `filter` is "description | pattern;pattern". Returns the chosen
  // full path, or nothing when the user cancelled or the dialog failed.
  virtual std::optional<Text> ChooseOpenFile(TextView title, TextView filter) = 0;

  // The clipboard.
  virtual void ClearClipboard() = 0;
  virtual void SetClipboardText(TextView text) = 0;

  // Serves pending window events now (clicks on Stop, Show words as found, Large window,
  // Quit; repaints). Called often during a run: cheap when nothing is pending.
  virtual void ProcessEvents() = 0;

  // Paints a control (or the whole window) at once, with its state as MainForm holds it.
  virtual void Repaint(ControlId id) = 0;
  virtual void RepaintWindow() = 0;

  // Moves the caret of a text box to `position` (0: before the first character; the text's
  // length: after the last) and scrolls it into view.
  virtual void MoveCaret(ControlId id, int32_t position) = 0;

  // Opens an address with its default application in a normal window; returns the shell's
  // result code (above kShellSuccessAbove on success).
  virtual int32_t OpenAddress(TextView address) = 0;

  // The height of the screen in twips.
  virtual int32_t ScreenHeightTwips() const = 0;

  // Waits (the window may be served meanwhile); tests return at once.
  virtual void Pause(int32_t milliseconds) = 0;

  // The per-user application-data folder (Linux: $XDG_DATA_HOME, default ~/.local/share);
  // empty when the platform has none.
  virtual std::filesystem::path AppDataFolder() const = 0;

  // Makes `folder` the current folder (the file-open dialog starts there).
  virtual void SetCurrentFolder(const std::filesystem::path& folder) {
    std::error_code ignored;
    std::filesystem::current_path(folder, ignored);
  }

  // The help window: restored to normal size when minimised, otherwise created when needed
  // and shown, not modal.
  virtual void ShowHelp() = 0;

  // The main window: shown once at start-up; placed again (top and outer height, twips)
  // when the large-window choice changes.
  virtual void ShowMainWindow() = 0;
  virtual void PlaceMainWindow(int32_t topTwips, int32_t heightTwips) = 0;

  // Ends the whole program, the help window included (after the state has been saved).
  virtual void EndProgram() = 0;

  // Notifications: a control's state (text, check, selection, items, enabled, visible,
  // focus, caption, tooltip, place, font) changed and must be drawn again from
  // MainForm::GetControl; the window's own state (caption, font, place) changed.
  virtual void ControlChanged(ControlId id) = 0;
  virtual void WindowChanged() {}
  // Text was appended to the output box (txbMetaTag), which now ends with `appended`; a view
  // may append instead of setting the whole text. ControlChanged is not sent as well.
  virtual void OutputAppended(TextView appended) {
    (void)appended;
    ControlChanged(ControlId::txbMetaTag);
  }
};

}  // namespace tw
