// The help window: placement from the main window, the resize rules and the Close button.
#include "app/qt/frmhelp.hpp"

#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>

#include "app/controls.hpp"
#include "app/qt/fonts.hpp"
#include "app/qt/qttext.hpp"
#include "app/qt/twips.hpp"

namespace tw {

namespace {

// Offsets of the help window from the main window, twips.
constexpr int32_t kHelpTopOffset = 480;
constexpr int32_t kHelpLeftOffset = 200;
constexpr int32_t kHelpNarrower = 400;
constexpr int32_t kHelpLower = 680;
// The resize rules, twips from the window's outer width and height.
constexpr int32_t kTextBoxWidthMargin = 350;
constexpr int32_t kTextBoxHeightMargin = 1300;
constexpr int32_t kCloseTopFromBottom = 1020;

}  // namespace

TwipsRect HelpWindowPlace(const TwipsRect& mainWindow) {
  return TwipsRect{mainWindow.left + kHelpLeftOffset, mainWindow.top + kHelpTopOffset,
                   mainWindow.width - kHelpNarrower, mainWindow.height - kHelpLower};
}

HelpLayout HelpLayoutFor(int32_t outerWidth, int32_t outerHeight) {
  HelpLayout layout;
  layout.textBox =
      TwipsRect{kHelpTextLeft, kHelpTextTop, std::max(0, outerWidth - kTextBoxWidthMargin),
                std::max(0, outerHeight - kTextBoxHeightMargin)};
  layout.closeButton =
      TwipsRect{(outerWidth - kHelpCloseWidth) / 2, outerHeight - kCloseTopFromBottom,
                kHelpCloseWidth, kHelpCloseHeight};
  return layout;
}

FrmHelp::FrmHelp(const TwipsRect& mainWindow, TextView helpText) : QWidget(nullptr) {
  setObjectName(QStringLiteral("frmHelp"));
  setWindowTitle(ToQString(kHelpCaption));
  setFont(NamedFont(kWindowFont));

  txbHelpScreen_ = new QPlainTextEdit(this);
  txbHelpScreen_->setObjectName(QStringLiteral("txbHelpScreen"));
  txbHelpScreen_->setReadOnly(true);
  txbHelpScreen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txbHelpScreen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  txbHelpScreen_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  QPalette white = txbHelpScreen_->palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    white.setColor(group, QPalette::Base, Qt::white);
  }
  txbHelpScreen_->setPalette(white);

  cmdClose_ = new QPushButton(ToCaption(kHelpCloseCaption), this);
  cmdClose_->setObjectName(QStringLiteral("cmdClose"));
  cmdClose_->setAutoDefault(false);
  connect(cmdClose_, &QPushButton::clicked, this, &QWidget::hide);

  // At load every control switches to the controls' font.
  txbHelpScreen_->setFont(NamedFont(kControlFont));
  cmdClose_->setFont(NamedFont(kControlFont));

  const double dpi = Dpi();
  const TwipsRect place = HelpWindowPlace(mainWindow);
  resize(TwipsToPixels(place.width - kSideBordersWidth, dpi),
         TwipsToPixels(place.height - kTitleAndBorderHeight, dpi));
  move(TwipsToPixels(place.left, dpi), TwipsToPixels(place.top, dpi));
  LayOut();

  txbHelpScreen_->setPlainText(ToDisplayText(helpText));
}

double FrmHelp::Dpi() const {
  return LogicalDpi(this);
}

TwipsRect FrmHelp::OuterPlace() const {
  const double dpi = Dpi();
  return TwipsRect{PixelsToTwips(pos().x(), dpi), PixelsToTwips(pos().y(), dpi),
                   PixelsToTwips(width(), dpi) + kSideBordersWidth,
                   PixelsToTwips(height(), dpi) + kTitleAndBorderHeight};
}

void FrmHelp::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
}

void FrmHelp::LayOut() {
  if (isMinimized()) return;
  const double dpi = Dpi();
  const TwipsRect outer = OuterPlace();
  const HelpLayout layout = HelpLayoutFor(outer.width, outer.height);
  auto toPixels = [dpi](const TwipsRect& r) {
    return QRect(TwipsToPixels(r.left, dpi), TwipsToPixels(r.top, dpi), TwipsToPixels(r.width, dpi),
                 TwipsToPixels(r.height, dpi));
  };
  txbHelpScreen_->setGeometry(toPixels(layout.textBox));
  cmdClose_->setGeometry(toPixels(layout.closeButton));
}

}  // namespace tw
