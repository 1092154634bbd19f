// The main window (frmMain) in Qt: draws every control of MainForm at its place, redraws the
// ones MainForm names, and forwards the user's clicks, ticks, selections, edits, focus
// moves, F1, the close button and documents dropped onto it to MainForm.
#pragma once

#include <QMetaObject>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>

#include "app/controls.hpp"
#include "app/mainform.hpp"
#include "text/text.hpp"

class QDropEvent;
class QPlainTextEdit;

namespace tw {

class QtUi;

// The width of the window's left and right borders together, in twips; with
// kTitleAndBorderHeight it turns a client area into the outer size of a window.
inline constexpr int32_t kSideBordersWidth = 120;

// A window's outer place (title bar and borders included), in twips.
struct TwipsRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const TwipsRect&) const = default;
};

class FrmMain : public QWidget {
  Q_OBJECT

 public:
  FrmMain(MainForm& form, QtUi& ui);
  ~FrmMain() override;

  MainForm& form() { return form_; }
  QWidget* ControlWidget(ControlId id) const;
  // The control a widget of this window belongs to (None for the window itself or a widget
  // of another window).
  ControlId ControlOf(const QWidget* widget) const;
  double Dpi() const;
  int Pixels(int32_t twips) const;

  // Drawing from MainForm's state.
  void DrawAll();
  void DrawControl(ControlId id);
  void DrawWindow();
  void AppendOutput(TextView appended);
  void RepaintControl(ControlId id);
  void MoveCaret(ControlId id, int32_t position);

  // Shown once at start-up (centred on the screen unless MainForm has placed it).
  void ShowAtStart();
  // Top and outer height in twips; the left edge stays.
  void Place(int32_t topTwips, int32_t heightTwips);
  // The window's outer place now, in twips.
  TwipsRect OuterPlace() const;
  // The program ends: the next close is accepted without asking MainForm again.
  void End();
  // Draws every button released. A mouse press whose focus change brought up a message box
  // reaches its button only after the box has closed, and its release went to the box: the
  // button would stay drawn pressed.
  void ReleasePressedButtons();
  // A document named outside the file dialog (dropped, or given on the command line): a
  // path, relative to the current folder, or a file: URL. MainForm takes it at the event
  // loop's next turn, so that a message about it never holds up the drop.
  void OpenDocument(const QString& document);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // A local file dragged onto the window, or onto any of its controls, is taken as the
  // input file when it is dropped; other drags are refused.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateControls();
  QWidget* CreateControl(const ControlSpec& spec, QWidget* parent);
  void ConnectControl(ControlId id, QWidget* widget);
  void OnFocusChanged(QWidget* now);
  void DrawKindState(const Control& control, QWidget* widget);
  void DrawOutputBox(const Control& control, QPlainTextEdit* box);
  void ApplyClientSize();
  // Writes the text appended since the last turn of the event loop into the output box.
  void FlushOutput();
  // Handles a drag or a drop of a local file onto the window or one of its controls; false
  // for any other event, which then takes its usual way.
  bool HandleFileDrag(QEvent* event);

  MainForm& form_;
  QtUi& ui_;
  std::array<QWidget*, kNumControls> widgets_{};
  QMetaObject::Connection focusConnection_;
  // Guards the output box's change signal while the program itself writes into it.
  bool drawingOutput_ = false;
  // How much of MainForm's output text the output box shows, with the pending text.
  size_t shownOutputSize_ = 0;
  // Text appended to the output box, written in one piece at the next turn of the event
  // loop (a run appends every word it finds), and the caret place that goes with it.
  QString pendingOutput_;
  std::optional<int32_t> pendingCaret_;
  bool flushScheduled_ = false;
  // What the last write of pending text cost; the next waits a few times as long, so that
  // laying out a long output box never takes most of a run's time.
  qint64 flushCostMs_ = 0;
  std::optional<int32_t> appliedTop_;
  bool ending_ = false;
};

}  // namespace tw
