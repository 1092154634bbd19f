// The platform under MainForm, in Qt.
#include "app/qt/qtui.hpp"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

#include "app/qt/frmhelp.hpp"
#include "app/qt/frmmain.hpp"
#include "app/qt/helptext.hpp"
#include "app/qt/qttext.hpp"
#include "app/qt/twips.hpp"
#include "catalogue/language2.hpp"

namespace tw {

namespace {

// During a run events are served at most this often; the run asks after every word.
constexpr qint64 kEventIntervalMs = 10;

QMessageBox::Icon ToQtIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information:
      return QMessageBox::Information;
    case MsgIcon::Warning:
      return QMessageBox::Warning;
    case MsgIcon::Error:
      return QMessageBox::Critical;
    case MsgIcon::Question:
      return QMessageBox::Question;
    case MsgIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

std::filesystem::path ToPath(const QString& text) {
  return std::filesystem::path(text.toStdU16String());
}

QString PathText(const std::filesystem::path& path) {
  return QString::fromStdU16String(path.u16string());
}

// "scheme:" of two letters or more (one letter is a drive), or a bare "www." address.
bool IsWebAddress(const QString& address) {
  static const QRegularExpression kScheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
  return kScheme.match(address).hasMatch() ||
         address.startsWith(QStringLiteral("www."), Qt::CaseInsensitive);
}

}  // namespace

QtUi::QtUi(std::filesystem::path dataFolder, QtUiOptions options)
    : dataFolder_(std::move(dataFolder)), options_(std::move(options)) {}

QtUi::~QtUi() = default;

QWidget* QtUi::DialogParent() const {
  if (window_ != nullptr && window_->isVisible()) return window_;
  return nullptr;
}

MsgAnswer QtUi::ShowMessage(const Message& message) {
  QMessageBox box(ToQtIcon(message.icon), ToQString(message.caption), ToDisplayText(message.text),
                  QMessageBox::NoButton, DialogParent());
  box.setTextFormat(Qt::PlainText);
  switch (message.buttons) {
    case MsgButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Ok);
      break;
    case MsgButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      box.setEscapeButton(QMessageBox::No);
      break;
    case MsgButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Yes);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
  }
  ++modalDepth_;
  box.exec();
  --modalDepth_;
  // The press that caused the box (by moving the focus out of a checked box) is delivered
  // to its button after this returns; the button is then drawn released again.
  if (window_ != nullptr) {
    QTimer::singleShot(0, window_, [window = window_] { window->ReleasePressedButtons(); });
  }
  QAbstractButton* clicked = box.clickedButton();
  const QMessageBox::StandardButton pressed =
      clicked != nullptr ? box.standardButton(clicked) : QMessageBox::NoButton;
  switch (message.buttons) {
    case MsgButtons::Ok:
      return MsgAnswer::Ok;
    case MsgButtons::YesNo:
      return pressed == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
    case MsgButtons::YesNoCancel:
      if (pressed == QMessageBox::Yes) return MsgAnswer::Yes;
      if (pressed == QMessageBox::No) return MsgAnswer::No;
      return MsgAnswer::Cancel;
  }
  return MsgAnswer::Cancel;
}

std::optional<Text> QtUi::ChooseOpenFile(TextView title, TextView filter) {
  QFileDialog dialog(DialogParent(), ToQString(title), QDir::currentPath(), ToQtFileFilter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  ++modalDepth_;
  const int result = dialog.exec();
  --modalDepth_;
  if (result != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
  const QFileInfo chosen(files.first());
  if (!chosen.isFile()) return std::nullopt;
  return FromQString(QDir::toNativeSeparators(chosen.absoluteFilePath()));
}

void QtUi::ClearClipboard() {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->clear();
}

void QtUi::SetClipboardText(TextView text) {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) {
    clipboard->setText(ToDisplayText(text));
  }
}

void QtUi::ProcessEvents() {
  if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventIntervalMs) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  sinceEvents_.start();
}

void QtUi::Repaint(ControlId id) {
  if (window_ != nullptr) window_->RepaintControl(id);
}

void QtUi::RepaintWindow() {
  if (window_ != nullptr && window_->isVisible()) window_->repaint();
}

void QtUi::MoveCaret(ControlId id, int32_t position) {
  if (window_ != nullptr) window_->MoveCaret(id, position);
}

QUrl QtUi::AddressUrl(TextView address) const {
  const QString text = ToQString(address).trimmed();
  if (text.isEmpty()) return {};
  if (IsWebAddress(text)) {
    if (text.startsWith(QStringLiteral("www."), Qt::CaseInsensitive)) {
      return QUrl(QStringLiteral("https://") + text);
    }
    return QUrl(text);
  }
  std::filesystem::path file = ToPath(QDir::fromNativeSeparators(text));
  if (file.is_relative()) file = dataFolder_ / file;
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return {};
  return QUrl::fromLocalFile(PathText(file));
}

int32_t QtUi::OpenAddress(TextView address) {
  const QUrl url = AddressUrl(address);
  if (url.isEmpty() || !url.isValid()) return kShellFileNotFound;
  const bool opened = options_.openUrl ? options_.openUrl(url) : QDesktopServices::openUrl(url);
  if (opened) return kShellOpened;
  // A local file that nothing opens has no application for its kind; a web address that
  // cannot be opened is worth another try.
  return url.isLocalFile() ? kShellNoAssociation : kShellFileNotFound;
}

int32_t QtUi::ScreenHeightTwips() const {
  QScreen* screen = window_ != nullptr ? window_->screen() : nullptr;
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return 0;
  return PixelsToTwips(screen->geometry().height(), screen->logicalDotsPerInchY());
}

void QtUi::Pause(int32_t milliseconds) {
  if (!options_.pauses || ended_ || milliseconds <= 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  QEventLoop loop;
  QEventLoop* outer = pauseLoop_;
  pauseLoop_ = &loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
  pauseLoop_ = outer;
}

std::filesystem::path QtUi::AppDataFolder() const {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (folder.isEmpty()) return {};
  return ToPath(folder);
}

void QtUi::ShowHelp() {
  if (help_ != nullptr && help_->isMinimized()) {
    help_->showNormal();
    return;
  }
  if (help_ == nullptr) {
    const TwipsRect mainPlace = window_ != nullptr ? window_->OuterPlace() : TwipsRect{};
    Text manual;
    if (window_ != nullptr) {
      manual = window_->form().texts().GetProgramText(catalogue::kManualAddress);
      const QUrl url = AddressUrl(manual);
      if (url.isLocalFile()) manual = FromQString(QDir::toNativeSeparators(url.toLocalFile()));
    }
    help_ = std::make_unique<FrmHelp>(mainPlace, BuildHelpText(manual));
  }
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void QtUi::ShowMainWindow() {
  if (window_ != nullptr) window_->ShowAtStart();
}

void QtUi::PlaceMainWindow(int32_t topTwips, int32_t heightTwips) {
  if (window_ != nullptr) window_->Place(topTwips, heightTwips);
}

void QtUi::EndProgram() {
  ended_ = true;
  if (help_ != nullptr) help_->hide();
  if (window_ != nullptr) window_->End();
  if (pauseLoop_ != nullptr) pauseLoop_->quit();
  if (options_.quitApplication) QCoreApplication::quit();
}

void QtUi::ControlChanged(ControlId id) {
  if (window_ != nullptr) window_->DrawControl(id);
}

void QtUi::WindowChanged() {
  if (window_ != nullptr) window_->DrawWindow();
}

void QtUi::OutputAppended(TextView appended) {
  if (window_ != nullptr) window_->AppendOutput(appended);
}

}  // namespace tw
