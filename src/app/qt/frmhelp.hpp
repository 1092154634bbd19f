// The help window (frmHelp): a second, non-modal, resizable window with the built-in help
// text in a read-only scrolling box and a Close button that hides it.
#pragma once

#include <QWidget>
#include <cstdint>

#include "app/qt/frmmain.hpp"
#include "text/text.hpp"

class QPlainTextEdit;
class QPushButton;

namespace tw {

inline constexpr TextView kHelpCaption = u"Help screen for Tagwright";
inline constexpr TextView kHelpCloseCaption = u"Close";

// Design client area and controls, in twips.
inline constexpr int32_t kHelpClientWidth = 8460;
inline constexpr int32_t kHelpClientHeight = 7080;
inline constexpr int32_t kHelpTextLeft = 120;
inline constexpr int32_t kHelpTextTop = 120;
inline constexpr int32_t kHelpTextWidth = 7785;
inline constexpr int32_t kHelpTextHeight = 6330;
inline constexpr int32_t kHelpCloseLeft = 3045;
inline constexpr int32_t kHelpCloseTop = 6615;
inline constexpr int32_t kHelpCloseWidth = 1215;
inline constexpr int32_t kHelpCloseHeight = 315;

// Where the help window opens (outer place, twips), from the main window's outer place.
TwipsRect HelpWindowPlace(const TwipsRect& mainWindow);

// The controls' places (twips, client coordinates) for a help window of this outer size.
struct HelpLayout {
  TwipsRect textBox;
  TwipsRect closeButton;
};
HelpLayout HelpLayoutFor(int32_t outerWidth, int32_t outerHeight);

class FrmHelp : public QWidget {
  Q_OBJECT

 public:
  // Loads the window: placed from the main window, the text filled once.
  FrmHelp(const TwipsRect& mainWindow, TextView helpText);

  QPlainTextEdit* textBox() const { return txbHelpScreen_; }
  QPushButton* closeButton() const { return cmdClose_; }
  double Dpi() const;
  // The window's outer place now, in twips.
  TwipsRect OuterPlace() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void LayOut();

  QPlainTextEdit* txbHelpScreen_ = nullptr;
  QPushButton* cmdClose_ = nullptr;
};

}  // namespace tw
