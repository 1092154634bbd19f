// The desktop window on the offscreen platform: its controls and their places, a real run
// from the button, Stop during a long run, message boxes and the file dialog, the large
// window, the help window, and closing with the title-bar button.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "app/controls.hpp"
#include "app/qt/desktopapp.hpp"
#include "app/qt/frmhelp.hpp"
#include "app/qt/qttext.hpp"
#include "app/qt/twips.hpp"
#include "support/testfiles.hpp"

using namespace tw;
using C = ControlId;

namespace {

// What a modal dialog showed, recorded by the probe that answered it.
struct ModalSeen {
  bool seen = false;
  bool done = false;
  QString caption;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  QStringList filters;
};

// Runs `act` on the next modal dialog once it is open, polling from the event loop that the
// dialog runs; gives up after a while so that a missing dialog fails the test instead of
// hanging it.
void OnModal(std::shared_ptr<ModalSeen> seen, std::function<void(QWidget*)> act, int tries = 2000) {
  QTimer::singleShot(5, qApp, [seen, act, tries] {
    if (seen->done) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal->isVisible()) {
      seen->seen = true;
      seen->done = true;
      seen->caption = modal->windowTitle();
      act(modal);
      return;
    }
    if (tries > 0) OnModal(seen, act, tries - 1);
  });
}

// Answers the next message box with `answer`.
std::shared_ptr<ModalSeen> AnswerMessage(QMessageBox::StandardButton answer) {
  auto seen = std::make_shared<ModalSeen>();
  OnModal(seen, [seen, answer](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) return;
    seen->text = box->text();
    seen->icon = box->icon();
    for (QAbstractButton* button : box->buttons())
      seen->buttons << button->text();
    if (QAbstractButton* button = box->button(answer)) button->click();
  });
  return seen;
}

// Picks `file` in the next file dialog.
std::shared_ptr<ModalSeen> ChooseInDialog(const std::filesystem::path& file) {
  auto seen = std::make_shared<ModalSeen>();
  OnModal(seen, [seen, file](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr) return;
    seen->filters = dialog->nameFilters();
    dialog->selectFile(QString::fromStdString(file.string()));
    static_cast<QDialog*>(dialog)->accept();
  });
  return seen;
}

constexpr char kRosesPage[] =
    "<html lang=\"en\">\r\n<head>\r\n<title>Growing roses</title>\r\n</head>\r\n<body>\r\n"
    "<h1>Roses in the garden</h1>\r\n"
    "<p>Roses need sun. Prune roses in spring; feed roses with compost.</p>\r\n"
    "<p>Climbing roses cover walls; compost keeps roses healthy. Garden roses bloom.</p>\r\n"
    "</body>\r\n</html>\r\n";

// A long page of distinct, plain words (consonant-vowel pairs, so no filter drops them).
std::string LongPage(int lines) {
  static const char* const kSyllables[] = {"ba", "ce", "di", "fo", "gu",
                                           "ha", "je", "ki", "lo", "mu"};
  std::string page = "<html><head><title>Long</title></head><body>\r\n";
  for (int i = 0; i < lines; ++i) {
    std::string word = "ka";
    for (int n = i; n > 0; n /= 10)
      word += kSyllables[n % 10];
    page += "<p>" + word + " roses " + word + "</p>\r\n";
  }
  return page + "</body></html>\r\n";
}

}  // namespace

class QtWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TempDir> home_;
  std::unique_ptr<test::TempDir> docs_;
  std::unique_ptr<DesktopApp> app_;
  QList<QUrl> opened_;
  bool openSucceeds_ = true;

  template <typename T>
  T* Widget(ControlId id) {
    return dynamic_cast<T*>(app_->window().ControlWidget(id));
  }
  MainForm& Form() { return app_->form(); }
  int Px(int32_t twips) { return app_->window().Pixels(twips); }
  QRect PlaceOf(ControlId id) {
    const Control c = Form().GetControl(id);
    return QRect(Px(c.left), Px(c.top), Px(c.width), Px(c.height));
  }
  // The output box as shown once the event loop has had its turn (text appended during a
  // run is written in one piece then).
  QString Output() {
    QCoreApplication::processEvents();
    return Widget<QPlainTextEdit>(C::txbMetaTag)->toPlainText();
  }

  void ActivateWindow() {
    app_->window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&app_->window()));
  }

  void ChooseInputFile(const std::filesystem::path& file) {
    auto seen = ChooseInDialog(file);
    Widget<QPushButton>(C::cmdInputFile)->click();
    QVERIFY(seen->seen);
  }

 private slots:
  void init() {
    home_ = std::make_unique<test::TempDir>();
    docs_ = std::make_unique<test::TempDir>();
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(home_->path().string()));
    QtUiOptions options;
    options.pauses = false;
    options.quitApplication = false;
    options.openUrl = [this](const QUrl& url) {
      opened_ << url;
      return openSucceeds_;
    };
    opened_.clear();
    openSucceeds_ = true;
    app_ = std::make_unique<DesktopApp>(std::filesystem::path(TAGWRIGHT_SOURCE_DATA_DIR), options);
    QVERIFY(app_->Start());
    QVERIFY(QTest::qWaitForWindowExposed(&app_->window()));
  }

  void cleanup() {
    app_.reset();
    docs_.reset();
    home_.reset();
  }

  void controlsStandAtTheirPlacesWithTheirCaptions() {
    FrmMain& window = app_->window();
    for (const ControlSpec& spec : kControlSpecs) {
      QWidget* widget = window.findChild<QWidget*>(ToQString(spec.name));
      QVERIFY2(widget != nullptr, qPrintable(ToQString(spec.name)));
      QCOMPARE(widget, window.ControlWidget(spec.id));
      QCOMPARE(widget->geometry(), PlaceOf(spec.id));
      const QWidget* expectedParent = ParentOf(spec.id) == C::Frame1
                                          ? window.ControlWidget(C::Frame1)
                                          : static_cast<QWidget*>(&window);
      QCOMPARE(widget->parentWidget(), expectedParent);
    }
    // A few places worked out by hand: 15 twips a pixel at 96 DPI.
    const double dpi = window.Dpi();
    QCOMPARE(Widget<QPushButton>(C::cmdGenerateKeywordMetaTag)->geometry(),
             QRect(TwipsToPixels(4830, dpi), TwipsToPixels(4245, dpi), TwipsToPixels(3600, dpi),
                   TwipsToPixels(360, dpi)));
    if (qFuzzyCompare(dpi, 96.0)) {
      QCOMPARE(Widget<QPushButton>(C::cmdGenerateKeywordMetaTag)->geometry(),
               QRect(322, 283, 240, 24));
      QCOMPARE(Widget<QPushButton>(C::cmdQuit)->geometry(), QRect(551, 0, 66, 22));
      QCOMPARE(window.size(), QSize(643, 546));
    }
    QCOMPARE(window.size(),
             QSize(TwipsToPixels(kClientWidth, dpi), TwipsToPixels(kClientHeight, dpi)));
    QCOMPARE(window.minimumSize(), window.maximumSize());

    QCOMPARE(Widget<QPushButton>(C::cmdShowExistingKeywordMetaTag)->text(),
             QStringLiteral("Show existing  keywords etc."));
    QCOMPARE(Widget<QPushButton>(C::cmdListWords)->text(), QStringLiteral("List words"));
    QCOMPARE(Widget<QPushButton>(C::cmdInsert)->text(),
             QStringLiteral("Insert meta tag into file"));
    QCOMPARE(Widget<QCheckBox>(C::chkPreserveCase)->text(),
             QStringLiteral("Keep upper/lower case in keywords"));
    QCOMPARE(Widget<QLabel>(C::lblMaxNumKeywords)->text(),
             QStringLiteral("Maximum number of keywords in meta tag:"));
    QCOMPARE(Widget<QRadioButton>(C::optInsertionWithoutBackup)->text(),
             QStringLiteral("without backup"));
    QCOMPARE(Widget<QLabel>(C::lblOnlineDocumentation)->text(),
             QStringLiteral("Online user manual"));
    QCOMPARE(window.windowTitle(), ToQString(Form().Window().caption));
    QVERIFY(window.windowTitle().endsWith(QStringLiteral(" 1.02")));
  }

  void controlsHaveTheirLook() {
    FrmMain& window = app_->window();
    QCOMPARE(window.palette().color(QPalette::Window), QColor(192, 255, 192));
    for (ControlId id : {C::lblTitleWeight, C::chkLargeWindow, C::optInsertionWithBackup}) {
      QVERIFY(!window.ControlWidget(id)->autoFillBackground());
      QCOMPARE(window.ControlWidget(id)->palette().color(QPalette::Window), QColor(192, 255, 192));
    }
    for (ControlId id : {C::lblQuillmark, C::lblOnlineDocumentation}) {
      QLabel* link = Widget<QLabel>(id);
      QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
      QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
      QVERIFY(!link->toolTip().isEmpty());
    }
    QCOMPARE(Widget<QLabel>(C::lblNumberOfWords)->palette().color(QPalette::WindowText),
             QColor(128, 0, 0));
    QCOMPARE(Widget<QLabel>(C::lblTitleWeight)->cursor().shape(), Qt::ArrowCursor);

    QCOMPARE(Widget<QLabel>(C::lblTitleWeight)->font().family(), QStringLiteral("Arial"));
    QCOMPARE(Widget<QPushButton>(C::cmdQuit)->font().family(), QStringLiteral("Arial"));
    QCOMPARE(Widget<QLineEdit>(C::txbWordsToIgnore)->font().family(),
             QStringLiteral("Courier New"));
    QVERIFY(QFontInfo(Widget<QPlainTextEdit>(C::txbMetaTag)->font()).fixedPitch());
    QCOMPARE(Widget<QLineEdit>(C::txbMaxNumBytesInMetaTag)->font().family(),
             QStringLiteral("MS Sans Serif"));

    QVERIFY(Widget<QLineEdit>(C::txbInputFile)->isReadOnly());
    QVERIFY(!Widget<QLineEdit>(C::txbWordsToIgnore)->isReadOnly());
    QCOMPARE(Widget<QPlainTextEdit>(C::txbMetaTag)->verticalScrollBarPolicy(),
             Qt::ScrollBarAlwaysOn);
    for (ControlId id : {C::cboLanguage, C::cboTitleWeight, C::cboSpanWeight}) {
      QVERIFY(!Widget<QComboBox>(id)->isEditable());
    }
    QCOMPARE(Widget<QComboBox>(C::cboTitleWeight)->currentText(), QStringLiteral("90"));
    QCOMPARE(Widget<QComboBox>(C::cboTitleWeight)->count(), 9);
    QCOMPARE(Widget<QComboBox>(C::cboLanguage)->count(), 7);
  }

  void numberBoxRefusesAFifthCharacter() {
    QLineEdit* box = Widget<QLineEdit>(C::txbMaxNumBytesInMetaTag);
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("98765"));
    QCOMPARE(box->text(), QStringLiteral("9876"));
    QCOMPARE(Form().ControlText(C::txbMaxNumBytesInMetaTag), Text(u"9876"));
  }

  void typedTextReachesTheForm() {
    ActivateWindow();
    QLineEdit* box = Widget<QLineEdit>(C::txbBeginMetaTagWith);
    box->setFocus();
    QTRY_COMPARE(Form().Focus(), C::txbBeginMetaTagWith);
    QTest::keyClicks(box, QStringLiteral("rose care"));
    QCOMPARE(Form().settings().txbBeginMetaTagWith, Text(u"rose care"));
    // Leaving the box enables its Clear button.
    Widget<QPushButton>(C::cmdListWords)->setFocus();
    QTRY_COMPARE(Form().Focus(), C::cmdListWords);
    QVERIFY(Widget<QPushButton>(C::cmdClearBeginMetaTagWith)->isEnabled());
    Widget<QPushButton>(C::cmdClearBeginMetaTagWith)->click();
    QCOMPARE(box->text(), QString());
    QVERIFY(!Widget<QPushButton>(C::cmdClearBeginMetaTagWith)->isEnabled());
  }

  void listSelectionAndTicksReachTheForm() {
    QComboBox* bold = Widget<QComboBox>(C::cboBoldWeight);
    bold->setCurrentIndex(7);
    emit bold->activated(7);
    QCOMPARE(Form().settings().cboBoldWeight, 7);
    Widget<QCheckBox>(C::chkIgnoreShortWords)->click();
    QVERIFY(!Form().settings().chkIgnoreShortWords);
    Widget<QRadioButton>(C::optInsertionWithBackup)->click();
    QVERIFY(Form().settings().optInsertionWithBackup);
    QVERIFY(!Widget<QRadioButton>(C::optInsertionWithoutBackup)->isChecked());
    // A click on the option already selected leaves it selected.
    Widget<QRadioButton>(C::optInsertionWithBackup)->click();
    QVERIFY(Widget<QRadioButton>(C::optInsertionWithBackup)->isChecked());
    Widget<QPushButton>(C::cmdReset)->click();
    QCOMPARE(bold->currentText(), QStringLiteral("5"));
    QVERIFY(Widget<QCheckBox>(C::chkIgnoreShortWords)->isChecked());
    QVERIFY(Widget<QRadioButton>(C::optInsertionWithoutBackup)->isChecked());
  }

  void leavingANumberBoxShowsItsMessage() {
    QLineEdit* box = Widget<QLineEdit>(C::txbMaxNumKeywordsInMetaTag);
    ActivateWindow();
    box->setFocus();
    QTRY_COMPARE(Form().Focus(), C::txbMaxNumKeywordsInMetaTag);
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("4"));
    auto seen = AnswerMessage(QMessageBox::Ok);
    Widget<QPushButton>(C::cmdGenerateKeywordMetaTag)->setFocus();
    QTRY_VERIFY(seen->seen);
    QCOMPARE(seen->caption, QStringLiteral("Number of keywords"));
    QCOMPARE(seen->text, QStringLiteral("Minimum number of keywords in the meta tag is 5."));
    QCOMPARE(seen->icon, QMessageBox::Information);
    QCOMPARE(box->text(), QStringLiteral("50"));
    // The box gets the focus back.
    QCOMPARE(Form().Focus(), C::txbMaxNumKeywordsInMetaTag);
    QTRY_COMPARE(app_->window().focusWidget(), static_cast<QWidget*>(box));
  }

  // A press on a button moves the focus out of a number box whose check shows a message; the
  // press reaches the button only after the message has closed, and its release went to the
  // message box. The button is drawn released, and its command has not run.
  void aCheckMessageLeavesTheClickedButtonReleased_data() {
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("corrected");
    QTest::newRow("keywords_then_generate")
        << static_cast<int>(C::txbMaxNumKeywordsInMetaTag) << QStringLiteral("4")
        << static_cast<int>(C::cmdGenerateKeywordMetaTag) << QStringLiteral("50");
    QTest::newRow("bytes_then_quit") << static_cast<int>(C::txbMaxNumBytesInMetaTag)
                                     << QStringLiteral("3000") << static_cast<int>(C::cmdQuit)
                                     << QStringLiteral("500");
  }

  void aCheckMessageLeavesTheClickedButtonReleased() {
    QFETCH(int, box);
    QFETCH(QString, typed);
    QFETCH(int, button);
    QFETCH(QString, corrected);
    const auto boxId = static_cast<ControlId>(box);
    QLineEdit* edit = Widget<QLineEdit>(boxId);
    QPushButton* pressed = Widget<QPushButton>(static_cast<ControlId>(button));
    ActivateWindow();
    edit->setFocus();
    QTRY_COMPARE(Form().Focus(), boxId);
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    auto seen = AnswerMessage(QMessageBox::Ok);
    QTest::mousePress(pressed, Qt::LeftButton);
    QTRY_VERIFY(seen->seen);
    QTRY_VERIFY(!pressed->isDown());
    QCOMPARE(edit->text(), corrected);
    QVERIFY(Form().OutputText().empty());
    QVERIFY(!app_->ui().Ended());
  }

  void clickIntoTheEmptyInputBoxOpensTheDialog() {
    auto seen = std::make_shared<ModalSeen>();
    OnModal(seen, [](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    QTest::mouseClick(Widget<QLineEdit>(C::txbInputFile), Qt::LeftButton);
    QVERIFY(seen->seen);
    QCOMPARE(seen->caption, QStringLiteral("Specify input file"));
    QCOMPARE(Widget<QLineEdit>(C::txbInputFile)->text(), QString());

    // Into a filled box, a click opens nothing.
    const auto page = docs_->Write("roses.html", kRosesPage);
    ChooseInputFile(page);
    auto again = std::make_shared<ModalSeen>();
    OnModal(
        again, [](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); }, 20);
    // A dialog would be modal: the click would return only after the probe had closed it.
    QTest::mouseClick(Widget<QLineEdit>(C::txbInputFile), Qt::LeftButton);
    QVERIFY(!again->seen);
    again->done = true;
    QCOMPARE(Widget<QLineEdit>(C::txbInputFile)->text(), QString::fromStdString(page.string()));
  }

  void generateFillsTheOutputBox() {
    const auto page = docs_->Write("roses.html", kRosesPage);
    auto seen = ChooseInDialog(page);
    Widget<QPushButton>(C::cmdInputFile)->click();
    QVERIFY(seen->seen);
    QCOMPARE(seen->caption, QStringLiteral("Specify input file"));
    QCOMPARE(seen->filters,
             QStringList{QStringLiteral("HTML & PHP files (*.htm *.html *.shtml *.php)")});
    QCOMPARE(Widget<QLineEdit>(C::txbInputFile)->text(), QString::fromStdString(page.string()));
    QCOMPARE(Widget<QLineEdit>(C::txbInputFile)->toolTip(),
             QStringLiteral("To specify a different input file, click on the button at left."));
    QVERIFY(Widget<QPushButton>(C::cmdClearInputFile)->isEnabled());

    Widget<QPushButton>(C::cmdGenerateKeywordMetaTag)->click();
    const QString output = Output();
    QVERIFY2(output.startsWith(QStringLiteral("<meta name=\"keywords\" content=\"")),
             qPrintable(output));
    QVERIFY(output.contains(QStringLiteral("roses"), Qt::CaseInsensitive));
    QVERIFY(output.contains(QStringLiteral("Number of keywords in meta tag")));
    QVERIFY(!output.contains(QChar(u'\r')));
    QCOMPARE(output, ToDisplayText(Form().OutputText()));
    QVERIFY(!Widget<QLabel>(C::lblNumberOfWords)->text().isEmpty());
    QCOMPARE(Widget<QPushButton>(C::cmdListWords)->text(), QStringLiteral("List words"));

    // The list from the same table, then the clipboard holds the tag alone.
    Widget<QPushButton>(C::cmdListWords)->click();
    QVERIFY(Output() != output);
    QVERIFY(Output().contains(QStringLiteral("roses"), Qt::CaseInsensitive));
    Widget<QPushButton>(C::cmdClearOutput)->click();
    QCOMPARE(Output(), QString());
    QCOMPARE(Widget<QLabel>(C::lblNumberOfWords)->text(), QString());
  }

  void stopEndsALongRun() {
    const auto page = docs_->Write("long.html", LongPage(20000));
    ChooseInputFile(page);
    struct DuringRun {
      bool seen = false;
      QString caption;
      bool generateEnabled = true;
      bool quitEnabled = false;
      bool showWordsEnabled = false;
    };
    auto during = std::make_shared<DuringRun>();
    QPushButton* listWords = Widget<QPushButton>(C::cmdListWords);
    FrmMain* window = &app_->window();
    MainForm* form = &Form();
    QTimer::singleShot(0, qApp, [=] {
      if (!form->RunInProgress()) return;
      during->seen = true;
      during->caption = listWords->text();
      during->generateEnabled = window->ControlWidget(C::cmdGenerateKeywordMetaTag)->isEnabled();
      during->quitEnabled = window->ControlWidget(C::cmdQuit)->isEnabled();
      during->showWordsEnabled = window->ControlWidget(C::chkShowWordsAsFound)->isEnabled();
      listWords->click();
    });
    Widget<QPushButton>(C::cmdGenerateKeywordMetaTag)->click();
    QVERIFY(during->seen);
    QCOMPARE(during->caption, QStringLiteral("Stop"));
    QVERIFY(!during->generateEnabled);
    QVERIFY(during->quitEnabled);
    QVERIFY(during->showWordsEnabled);
    const QString output = Output();
    QVERIFY2(output.contains(
                 QRegularExpression(QStringLiteral("Stopped with \\d+ words? identified\\.$"))),
             qPrintable(output.right(200)));
    QCOMPARE(listWords->text(), QStringLiteral("List words"));
    QVERIFY(Widget<QPushButton>(C::cmdGenerateKeywordMetaTag)->isEnabled());
    QVERIFY(!Form().analysis().blnWordTableCurrent);
  }

  void messageBoxesShowTheirCaptions() {
    // No input file.
    auto seen = AnswerMessage(QMessageBox::Ok);
    Widget<QPushButton>(C::cmdListWords)->click();
    QVERIFY(seen->seen);
    QCOMPARE(seen->caption,
             ToQString(Form().texts().GetProgramText(catalogue::kNoInputFileCaption)));
    QCOMPARE(seen->text, ToQString(Form().texts().GetProgramText(catalogue::kNoInputFileText)));
    QCOMPARE(seen->icon, QMessageBox::Warning);
    QCOMPARE(seen->buttons.size(), 1);

    // A file of three bytes.
    ChooseInputFile(docs_->Write("tiny.htm", "<p>"));
    seen = AnswerMessage(QMessageBox::Ok);
    Widget<QPushButton>(C::cmdGenerateKeywordMetaTag)->click();
    QVERIFY(seen->seen);
    QCOMPARE(seen->text, QStringLiteral("File contains from 1 to 4 bytes only."));
    QCOMPARE(seen->caption, ToQString(Form().texts().GetProgramText(catalogue::kTooShortCaption)));
    QCOMPARE(Widget<QPushButton>(C::cmdListWords)->text(), QStringLiteral("List words"));
  }

  void linksOpenTheirAddresses() {
    Widget<QLabel>(C::lblOnlineDocumentation)->setFocus();
    QTest::mouseClick(Widget<QLabel>(C::lblOnlineDocumentation), Qt::LeftButton);
    QCOMPARE(opened_.size(), 1);
    QVERIFY(opened_[0].isLocalFile());
    QVERIFY(opened_[0].toLocalFile().endsWith(QStringLiteral("/manual.html")));

    // A failed launch is reported with the shell's code and the file's extension.
    openSucceeds_ = false;
    auto seen = AnswerMessage(QMessageBox::Ok);
    QTest::mouseClick(Widget<QLabel>(C::lblOnlineDocumentation), Qt::LeftButton);
    QVERIFY(seen->seen);
    QCOMPARE(seen->caption, QStringLiteral("Cannot launch web browser"));
    QCOMPARE(seen->text, QStringLiteral("Error launching web browser, error code = 31.\n\nFile "
                                        "extension 'html' is not associated with any "
                                        "application program."));
    QCOMPARE(seen->icon, QMessageBox::Warning);

    openSucceeds_ = true;
    QTest::mouseClick(Widget<QLabel>(C::lblQuillmark), Qt::LeftButton);
    QCOMPARE(opened_.size(), 3);
    QVERIFY(!opened_.last().isLocalFile());
  }

  void largeWindowGrowsTheOutputBox() {
    FrmMain& window = app_->window();
    const QRect normalOutput = Widget<QPlainTextEdit>(C::txbMetaTag)->geometry();
    const int normalHeight = window.height();
    Widget<QCheckBox>(C::chkLargeWindow)->click();
    const int32_t screenTwips = app_->ui().ScreenHeightTwips();
    const int32_t outerHeight = static_cast<int32_t>(std::lround(0.9 * screenTwips));
    QCOMPARE(window.height(), Px(outerHeight - kTitleAndBorderHeight));
    QCOMPARE(window.pos().y(), Px(300));
    QCOMPARE(window.OuterPlace().height,
             PixelsToTwips(window.height(), window.Dpi()) + kTitleAndBorderHeight);
    const QRect output = Widget<QPlainTextEdit>(C::txbMetaTag)->geometry();
    QCOMPARE(output.top(), normalOutput.top());
    QCOMPARE(output.height(), Px(outerHeight - 5085 - 855 - 550));
    QCOMPARE(Widget<QWidget>(C::Frame1)->geometry().top(),
             Px(5085 + (outerHeight - 5085 - 855 - 550) + 100));

    Widget<QCheckBox>(C::chkLargeWindow)->click();
    QCOMPARE(window.height(), normalHeight);
    QCOMPARE(Widget<QPlainTextEdit>(C::txbMetaTag)->geometry(), normalOutput);
  }

  void helpWindowOpensBesideTheMainWindow() {
    FrmMain& window = app_->window();
    window.move(100, 60);
    QVERIFY(app_->ui().help() == nullptr);
    Widget<QPushButton>(C::cmdHelp)->click();
    FrmHelp* help = app_->ui().help();
    QVERIFY(help != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(help));
    QCOMPARE(help->windowTitle(), QStringLiteral("Help screen for Tagwright"));
    const TwipsRect main = window.OuterPlace();
    const TwipsRect place = help->OuterPlace();
    const double dpi = window.Dpi();
    // Within a pixel of top + 480, left + 200, width - 400, height - 680.
    const int onePixel = PixelsToTwips(1, dpi);
    QVERIFY(std::abs(place.top - (main.top + 480)) <= onePixel);
    QVERIFY(std::abs(place.left - (main.left + 200)) <= onePixel);
    QVERIFY(std::abs(place.width - (main.width - 400)) <= onePixel);
    QVERIFY(std::abs(place.height - (main.height - 680)) <= onePixel);

    QPlainTextEdit* text = help->textBox();
    QVERIFY(text->isReadOnly());
    QCOMPARE(text->palette().color(QPalette::Base), QColor(Qt::white));
    QCOMPARE(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(text->font().family(), QStringLiteral("Arial"));
    QVERIFY(text->toPlainText().contains(QStringLiteral("manual.html")));
    QCOMPARE(help->closeButton()->text(), QStringLiteral("Close"));

    // Resizing lays the controls out again.
    help->resize(Px(6000), Px(5000));
    const TwipsRect outer = help->OuterPlace();
    QCOMPARE(text->geometry(),
             QRect(Px(120), Px(120), Px(outer.width - 350), Px(outer.height - 1300)));
    QCOMPARE(help->closeButton()->geometry().top(), Px(outer.height - 1020));
    QCOMPARE(help->closeButton()->geometry().left(), Px((outer.width - 1215) / 2));

    // Close hides it with its text and scroll position; Help shows the same window again.
    QCoreApplication::processEvents();
    text->verticalScrollBar()->setValue(text->verticalScrollBar()->maximum() / 2);
    const int scrolled = text->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    help->closeButton()->click();
    QVERIFY(help->isHidden());
    Widget<QPushButton>(C::cmdHelp)->click();
    QCOMPARE(app_->ui().help(), help);
    QVERIFY(help->isVisible());
    QCOMPARE(text->verticalScrollBar()->value(), scrolled);

    // Minimised, Help restores it.
    help->showMinimized();
    QVERIFY(help->isMinimized());
    Widget<QPushButton>(C::cmdHelp)->click();
    QVERIFY(!help->isMinimized());
  }

  void f1OnAButtonOpensHelp() {
    ActivateWindow();
    QPushButton* button = Widget<QPushButton>(C::cmdListWords);
    button->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(button));
    QTest::keyClick(button, Qt::Key_F1);
    QVERIFY(app_->ui().help() != nullptr);
    QVERIFY(app_->ui().help()->isVisible());
  }

  void titleBarCloseSavesTheState() {
    QLineEdit* words = Widget<QLineEdit>(C::txbBeginMetaTagWith);
    words->setFocus();
    QTest::keyClicks(words, QStringLiteral("climbing roses"));
    Widget<QComboBox>(C::cboSpanWeight)->setCurrentIndex(7);
    emit Widget<QComboBox>(C::cboSpanWeight)->activated(7);
    const std::filesystem::path stateFile = Form().stateFile().file;
    QVERIFY(!stateFile.empty());
    QVERIFY(stateFile.string().rfind(home_->path().string(), 0) == 0);
    QVERIFY(!std::filesystem::exists(stateFile));

    QVERIFY(app_->window().close());
    QVERIFY(app_->ui().Ended());
    QVERIFY(app_->window().isHidden());
    QVERIFY(std::filesystem::exists(stateFile));
    const std::string saved = test::ReadBytes(stateFile);
    QVERIFY(saved.find("\"climbing roses\"\r\n") != std::string::npos);
    QVERIFY(saved.find("\r\n7\r\n") != std::string::npos);

    // The next start finds them again.
    cleanupKeepingHome();
  }

 private:
  void cleanupKeepingHome() {
    app_.reset();
    QtUiOptions options;
    options.pauses = false;
    options.quitApplication = false;
    app_ = std::make_unique<DesktopApp>(std::filesystem::path(TAGWRIGHT_SOURCE_DATA_DIR), options);
    QVERIFY(app_->Start());
    QCOMPARE(Widget<QLineEdit>(C::txbBeginMetaTagWith)->text(), QStringLiteral("climbing roses"));
    QCOMPARE(Widget<QComboBox>(C::cboSpanWeight)->currentText(), QStringLiteral("7"));
  }
};

QTEST_MAIN(QtWindowTest)
#include "test_qt_window.moc"
