// The main window in Qt: draws MainForm's controls and forwards the user's actions to it.
#include "app/qt/frmmain.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QAbstractButton>
#include <QTimer>
#include <QUrl>

#include "app/qt/clickable.hpp"
#include "app/qt/fonts.hpp"
#include "app/qt/qttext.hpp"
#include "app/qt/qtui.hpp"
#include "app/qt/twips.hpp"

namespace tw {

namespace {

// A line edit without a limit of its own takes Qt's default.
constexpr int kNoMaxLength = 32767;
// A label's text starts this far below its top, about level with the text of a list beside
// it.
constexpr int32_t kLabelTextInset = 30;
// Pending output waits this many times as long as its last write took, and at most this long.
constexpr qint64 kFlushCostFactor = 4;
constexpr qint64 kMaxFlushDelayMs = 500;

// Labels whose text stands at their right edge: the word-count caption beside its count and
// the manual link at the right end of the bottom strip.
bool RightAligned(ControlId id) {
  return id == ControlId::lblNumberOfWords2 || id == ControlId::lblOnlineDocumentation;
}

template <typename T>
T* As(QWidget* widget) {
  return dynamic_cast<T*>(widget);
}

void SetForeColour(QWidget* widget, uint32_t rgb) {
  const QColor colour = ToQColor(rgb);
  QPalette palette = widget->palette();
  if (palette.color(QPalette::Active, QPalette::WindowText) == colour) return;
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::WindowText, colour);
    palette.setColor(group, QPalette::ButtonText, colour);
  }
  widget->setPalette(palette);
}

// The first local file (not a folder) among the URLs a drag carries; empty when there is none.
QString DraggedFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls()) return {};
  for (const QUrl& url : mime->urls()) {
    if (!url.isLocalFile()) continue;
    const QString path = url.toLocalFile();
    if (!path.isEmpty() && !QFileInfo(path).isDir()) return path;
  }
  return {};
}

bool IsDragEvent(QEvent::Type type) {
  return type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
}

// A dropped file is copied, never moved: the place it came from keeps it.
bool AcceptAsCopy(QDropEvent* event) {
  for (Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
    if (event->possibleActions().testFlag(action)) {
      event->setDropAction(action);
      event->accept();
      return true;
    }
  }
  event->ignore();
  return false;
}

}  // namespace

FrmMain::FrmMain(MainForm& form, QtUi& ui) : QWidget(nullptr), form_(form), ui_(ui) {
  setObjectName(QStringLiteral("frmMain"));
  // A fixed-size window: it can be minimised and closed, not maximised.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setAutoFillBackground(true);
  setAcceptDrops(true);
  CreateControls();
  DrawWindow();
  DrawAll();
  focusConnection_ = connect(qApp, &QApplication::focusChanged, this,
                             [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
  qApp->installEventFilter(this);
}

FrmMain::~FrmMain() {
  qApp->removeEventFilter(this);
  disconnect(focusConnection_);
}

QWidget* FrmMain::ControlWidget(ControlId id) const {
  if (id == ControlId::None) return nullptr;
  return widgets_[ControlIndex(id)];
}

ControlId FrmMain::ControlOf(const QWidget* widget) const {
  for (const QWidget* w = widget; w != nullptr && w != this; w = w->parentWidget()) {
    for (int32_t i = 0; i < kNumControls; ++i) {
      if (widgets_[i] == w) return ControlAt(i);
    }
  }
  return ControlId::None;
}

double FrmMain::Dpi() const {
  return LogicalDpi(this);
}

int FrmMain::Pixels(int32_t twips) const {
  return TwipsToPixels(twips, Dpi());
}

void FrmMain::CreateControls() {
  for (const ControlSpec& spec : kControlSpecs) {
    QWidget* parent = ParentOf(spec.id) == ControlId::Frame1 ? ControlWidget(ControlId::Frame1)
                                                             : static_cast<QWidget*>(this);
    QWidget* widget = CreateControl(spec, parent);
    widget->setObjectName(ToQString(spec.name));
    widgets_[ControlIndex(spec.id)] = widget;
    ConnectControl(spec.id, widget);
  }
}

QWidget* FrmMain::CreateControl(const ControlSpec& spec, QWidget* parent) {
  switch (spec.kind) {
    case ControlKind::Button: {
      auto* button = new QPushButton(parent);
      button->setAutoDefault(false);
      return button;
    }
    case ControlKind::TextBox: {
      if (form_.GetControl(spec.id).multiLine) {
        auto* box = new QPlainTextEdit(parent);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        box->setTabChangesFocus(true);
        return box;
      }
      if (spec.id == ControlId::txbInputFile) return new ClickableLineEdit(parent);
      return new QLineEdit(parent);
    }
    case ControlKind::CheckBox:
      return new QCheckBox(parent);
    case ControlKind::OptionButton: {
      auto* option = new QRadioButton(parent);
      // MainForm keeps the pair exclusive; Qt must not refuse to clear a checked one.
      option->setAutoExclusive(false);
      return option;
    }
    case ControlKind::List: {
      auto* list = new QComboBox(parent);
      list->setEditable(false);
      return list;
    }
    case ControlKind::Label: {
      auto* label = new ClickableLabel(parent);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setWordWrap(false);
      return label;
    }
    case ControlKind::Frame:
      break;
  }
  auto* frame = new QWidget(parent);
  frame->setAutoFillBackground(false);
  return frame;
}

void FrmMain::ConnectControl(ControlId id, QWidget* widget) {
  if (auto* button = As<QPushButton>(widget)) {
    connect(button, &QPushButton::clicked, this, [this, id] { form_.UserClick(id); });
  } else if (auto* box = As<QPlainTextEdit>(widget)) {
    connect(box, &QPlainTextEdit::textChanged, this, [this, id, box] {
      if (drawingOutput_) return;
      if (!pendingOutput_.isEmpty()) FlushOutput();
      form_.UserEditText(id, FromDisplayText(box->toPlainText()));
      shownOutputSize_ = form_.ControlText(id).size();
    });
  } else if (auto* line = As<QLineEdit>(widget)) {
    connect(line, &QLineEdit::textEdited, this, [this, id](const QString& text) {
      form_.UserEditText(id, FromQString(text));
      DrawControl(id);
    });
    if (auto* clickable = As<ClickableLineEdit>(widget)) {
      clickable->SetOnClick([this, id] { form_.UserClick(id); });
    }
  } else if (auto* check = As<QCheckBox>(widget)) {
    connect(check, &QCheckBox::clicked, this, [this, id](bool checked) {
      form_.UserSetChecked(id, checked);
      DrawControl(id);
    });
  } else if (auto* option = As<QRadioButton>(widget)) {
    connect(option, &QRadioButton::clicked, this, [this, id] {
      form_.UserSetChecked(id, true);
      DrawControl(ControlId::optInsertionWithBackup);
      DrawControl(ControlId::optInsertionWithoutBackup);
    });
  } else if (auto* list = As<QComboBox>(widget)) {
    connect(list, &QComboBox::activated, this, [this, id](int position) {
      form_.UserSelect(id, position);
      DrawControl(id);
    });
  } else if (auto* label = As<ClickableLabel>(widget)) {
    label->SetOnClick([this, id] { form_.UserClick(id); });
  }
}

void FrmMain::DrawAll() {
  for (int32_t i = 0; i < kNumControls; ++i)
    DrawControl(ControlAt(i));
}

void FrmMain::DrawControl(ControlId id) {
  QWidget* widget = ControlWidget(id);
  if (widget == nullptr) return;
  const Control control = form_.GetControl(id);

  const QRect place(Pixels(control.left), Pixels(control.top), Pixels(control.width),
                    Pixels(control.height));
  if (widget->geometry() != place) widget->setGeometry(place);
  if (!control.fontName.empty()) {
    const QFont font = NamedFont(control.fontName);
    if (widget->font() != font) widget->setFont(font);
  }
  if (control.kind != ControlKind::Frame && widget->isEnabled() != control.enabled) {
    widget->setEnabled(control.enabled);
  }
  if (widget->isHidden() == control.visible) widget->setVisible(control.visible);
  const QString tooltip = ToQString(control.tooltip);
  if (widget->toolTip() != tooltip) widget->setToolTip(tooltip);

  DrawKindState(control, widget);

  if (control.focused && focusWidget() != widget && widget->focusPolicy() != Qt::NoFocus) {
    widget->setFocus(Qt::OtherFocusReason);
  }
}

void FrmMain::DrawKindState(const Control& control, QWidget* widget) {
  if (auto* button = As<QPushButton>(widget)) {
    const QString caption = ToCaption(control.text);
    if (button->text() != caption) button->setText(caption);
  } else if (auto* box = As<QPlainTextEdit>(widget)) {
    DrawOutputBox(control, box);
  } else if (auto* line = As<QLineEdit>(widget)) {
    const int maxLength = control.maxLength > 0 ? control.maxLength : kNoMaxLength;
    if (line->maxLength() != maxLength) line->setMaxLength(maxLength);
    if (line->isReadOnly() != control.readOnly) line->setReadOnly(control.readOnly);
    const QString text = ToQString(control.text);
    if (line->text() != text) line->setText(text);
  } else if (auto* check = As<QCheckBox>(widget)) {
    const QString caption = ToCaption(control.text);
    if (check->text() != caption) check->setText(caption);
    if (check->isChecked() != control.checked) check->setChecked(control.checked);
    SetForeColour(widget, control.foreColour);
  } else if (auto* option = As<QRadioButton>(widget)) {
    const QString caption = ToCaption(control.text);
    if (option->text() != caption) option->setText(caption);
    if (option->isChecked() != control.checked) option->setChecked(control.checked);
    SetForeColour(widget, control.foreColour);
  } else if (auto* list = As<QComboBox>(widget)) {
    bool same = list->count() == static_cast<int>(control.items.size());
    for (int i = 0; same && i < list->count(); ++i) {
      same = list->itemText(i) == ToQString(control.items[static_cast<size_t>(i)]);
    }
    if (!same) {
      const QSignalBlocker blocker(list);
      list->clear();
      for (const Text& item : control.items)
        list->addItem(ToQString(item));
    }
    if (list->currentIndex() != control.selected) {
      const QSignalBlocker blocker(list);
      list->setCurrentIndex(control.selected);
    }
  } else if (auto* label = As<QLabel>(widget)) {
    const Qt::Alignment alignment =
        (RightAligned(control.id) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
    if (label->alignment() != alignment) label->setAlignment(alignment);
    const int inset = Pixels(kLabelTextInset);
    if (label->contentsMargins().top() != inset) label->setContentsMargins(0, inset, 0, 0);
    // A text too long for its label ends in an ellipsis and shows whole in the tooltip.
    const QString text = ToQString(control.text);
    const QFontMetrics metrics(label->font());
    QString shown = text;
    if (metrics.horizontalAdvance(text) > label->width()) {
      shown = metrics.elidedText(text, Qt::ElideRight, label->width());
      if (control.tooltip.empty()) label->setToolTip(text);
    }
    if (label->text() != shown) label->setText(shown);
    SetForeColour(widget, control.foreColour);
    const Qt::CursorShape cursor = control.link ? Qt::PointingHandCursor : Qt::ArrowCursor;
    if (widget->cursor().shape() != cursor) widget->setCursor(cursor);
  }
}

void FrmMain::DrawOutputBox(const Control& control, QPlainTextEdit* box) {
  if (box->isReadOnly() != control.readOnly) box->setReadOnly(control.readOnly);
  // Drawn whole from MainForm: what was pending is part of it.
  pendingOutput_.clear();
  pendingCaret_.reset();
  const Text& text = form_.ControlText(control.id);
  const QString shown = ToDisplayText(text);
  if (box->toPlainText() != shown) {
    drawingOutput_ = true;
    box->setPlainText(shown);
    drawingOutput_ = false;
  }
  shownOutputSize_ = text.size();
}

void FrmMain::AppendOutput(TextView appended) {
  if (ControlWidget(ControlId::txbMetaTag) == nullptr) return;
  const Text& text = form_.ControlText(ControlId::txbMetaTag);
  const bool follows = text.size() == shownOutputSize_ + appended.size() &&
                       TextView(text).substr(shownOutputSize_) == appended;
  // A CR LF pair split between two pieces shows as one line break only when drawn whole.
  const bool splitsLineBreak = !appended.empty() && appended.front() == kLF &&
                               shownOutputSize_ > 0 && text[shownOutputSize_ - 1] == kCR;
  const bool endsInCR = !appended.empty() && appended.back() == kCR;
  if (!follows || splitsLineBreak || endsInCR) {
    DrawControl(ControlId::txbMetaTag);
    return;
  }
  pendingOutput_ += ToDisplayText(appended);
  shownOutputSize_ = text.size();
  if (!flushScheduled_) {
    flushScheduled_ = true;
    const qint64 delay = std::min(kMaxFlushDelayMs, flushCostMs_ * kFlushCostFactor);
    QTimer::singleShot(static_cast<int>(delay), this, [this] { FlushOutput(); });
  }
}

void FrmMain::FlushOutput() {
  flushScheduled_ = false;
  auto* box = As<QPlainTextEdit>(ControlWidget(ControlId::txbMetaTag));
  if (box == nullptr) return;
  QElapsedTimer cost;
  cost.start();
  if (!pendingOutput_.isEmpty()) {
    drawingOutput_ = true;
    QTextCursor cursor(box->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(pendingOutput_);
    drawingOutput_ = false;
    pendingOutput_.clear();
  }
  if (pendingCaret_.has_value()) {
    const int32_t position = *pendingCaret_;
    pendingCaret_.reset();
    MoveCaret(ControlId::txbMetaTag, position);
  }
  flushCostMs_ = cost.elapsed();
}

void FrmMain::RepaintControl(ControlId id) {
  QWidget* widget = ControlWidget(id);
  if (widget == nullptr || !widget->isVisible()) return;
  if (auto* box = As<QPlainTextEdit>(widget)) {
    FlushOutput();
    box->viewport()->repaint();
  }
  widget->repaint();
}

void FrmMain::MoveCaret(ControlId id, int32_t position) {
  QWidget* widget = ControlWidget(id);
  if (auto* box = As<QPlainTextEdit>(widget)) {
    if (!pendingOutput_.isEmpty()) {
      pendingCaret_ = position;  // placed once the pending text is in
      return;
    }
    QTextCursor cursor = box->textCursor();
    const int last = box->document()->characterCount() - 1;
    cursor.setPosition(std::min(DisplayPosition(form_.ControlText(id), position), last));
    box->setTextCursor(cursor);
    box->ensureCursorVisible();
  } else if (auto* line = As<QLineEdit>(widget)) {
    line->setCursorPosition(position);
  }
}

void FrmMain::DrawWindow() {
  const WindowState& window = form_.Window();
  const QString caption = ToQString(window.caption);
  if (windowTitle() != caption) setWindowTitle(caption);
  const QFont font = NamedFont(window.fontName);
  if (this->font() != font) setFont(font);
  QPalette background = palette();
  const QColor colour = ToQColor(window.backColour);
  if (background.color(QPalette::Window) != colour) {
    background.setColor(QPalette::Window, colour);
    setPalette(background);
  }
  ApplyClientSize();
  if (window.top.has_value() && window.top != appliedTop_) {
    move(pos().x(), Pixels(*window.top));
    appliedTop_ = window.top;
  }
}

void FrmMain::ApplyClientSize() {
  const WindowState& window = form_.Window();
  const QSize size(Pixels(window.width), Pixels(window.height - kTitleAndBorderHeight));
  if (minimumSize() != size || maximumSize() != size) setFixedSize(size);
}

void FrmMain::ShowAtStart() {
  DrawWindow();
  DrawAll();
  if (!form_.Window().top.has_value()) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect area = screen->availableGeometry();
      const QSize outer(width() + Pixels(kSideBordersWidth),
                        height() + Pixels(kTitleAndBorderHeight));
      move(area.x() + std::max(0, (area.width() - outer.width()) / 2),
           area.y() + std::max(0, (area.height() - outer.height()) / 2));
    }
  }
  show();
}

void FrmMain::Place(int32_t topTwips, int32_t heightTwips) {
  const QSize size(Pixels(form_.Window().width), Pixels(heightTwips - kTitleAndBorderHeight));
  setFixedSize(size);
  move(pos().x(), Pixels(topTwips));
  appliedTop_ = topTwips;
}

TwipsRect FrmMain::OuterPlace() const {
  const double dpi = Dpi();
  const QPoint corner = pos();
  return TwipsRect{PixelsToTwips(corner.x(), dpi), PixelsToTwips(corner.y(), dpi),
                   PixelsToTwips(width(), dpi) + kSideBordersWidth,
                   PixelsToTwips(height(), dpi) + kTitleAndBorderHeight};
}

void FrmMain::End() {
  ending_ = true;
  hide();
}

void FrmMain::ReleasePressedButtons() {
  for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
    if (button->isDown()) button->setDown(false);
  }
}

void FrmMain::closeEvent(QCloseEvent* event) {
  if (ending_) {
    event->accept();
    return;
  }
  event->ignore();
  form_.UserClose();
  if (ending_) event->accept();
}

void FrmMain::OpenDocument(const QString& document) {
  const QString path = document.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)
                           ? QUrl(document).toLocalFile()
                           : document;
  // Named as the file dialog names a file: whole, with the platform's separators.
  const QString file =
      path.isEmpty() ? document : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
  QTimer::singleShot(0, this, [this, file] { form_.UserOpenFile(FromQString(file)); });
}

bool FrmMain::HandleFileDrag(QEvent* event) {
  if (!IsDragEvent(event->type())) return false;
  auto* drag = static_cast<QDropEvent*>(event);
  const QString file = DraggedFile(drag->mimeData());
  if (file.isEmpty()) return false;
  // Taken only when the file button could be used: not during a run, start-up or a dialog.
  const bool takes = !ending_ && !ui_.InModalDialog() &&
                     form_.ControlEnabled(ControlId::cmdInputFile) &&
                     form_.ControlVisible(ControlId::cmdInputFile);
  if (!takes) {
    drag->ignore();
    return true;
  }
  if (AcceptAsCopy(drag) && event->type() == QEvent::Drop) OpenDocument(file);
  return true;
}

void FrmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (!HandleFileDrag(event)) event->ignore();
}

void FrmMain::dragMoveEvent(QDragMoveEvent* event) {
  if (!HandleFileDrag(event)) event->ignore();
}

void FrmMain::dropEvent(QDropEvent* event) {
  if (!HandleFileDrag(event)) event->ignore();
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
  // A file dragged over a control of this window is the window's; text boxes would
  // otherwise take it as text or refuse it.
  if (IsDragEvent(event->type()) && watched != this && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this && HandleFileDrag(event)) {
    return true;
  }
  if (event->type() == QEvent::KeyRelease) {
    const auto* key = static_cast<QKeyEvent*>(event);
    QWidget* focus = QApplication::focusWidget();
    // A key event travels from the focused widget up to the window; take it only once, at
    // its first receiver.
    const bool firstReceiver = focus != nullptr ? watched == focus : watched == this;
    if (key->key() == Qt::Key_F1 && !key->isAutoRepeat() && firstReceiver &&
        (focus == nullptr || focus->window() == this) && !ending_) {
      form_.UserF1Released();
    }
  }
  return QWidget::eventFilter(watched, event);
}

void FrmMain::OnFocusChanged(QWidget* now) {
  // Moving to another window (help, a message box) or leaving the application is no
  // focus change between the window's own controls.
  if (now == nullptr || now->window() != this || ending_ || ui_.InModalDialog()) return;
  const ControlId id = ControlOf(now);
  if (id == form_.Focus()) return;
  form_.UserFocus(id);
}

}  // namespace tw
