// Documents given to the window without the file dialog, on the offscreen platform: dropped
// onto the input box, onto the window or onto another text box, and named on the command
// line. Only local files are taken, and they are copied, never moved.
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <memory>

#include "analysis/settings.hpp"
#include "app/controls.hpp"
#include "app/qt/desktopapp.hpp"
#include "support/testfiles.hpp"

using namespace tw;
using C = ControlId;

namespace {

constexpr char kGermanPage[] =
    "<html lang=\"de\">\r\n<head><title>Gartenwerkzeug</title></head>\r\n"
    "<body><p>Gartenwerkzeug und Pflanzen.</p></body>\r\n</html>\r\n";

}  // namespace

class QtDropTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::TempDir> home_;
  std::unique_ptr<test::TempDir> docs_;
  std::unique_ptr<DesktopApp> app_;
  QString page_;

  QLineEdit* InputBox() {
    return dynamic_cast<QLineEdit*>(app_->window().ControlWidget(C::txbInputFile));
  }

 private slots:
  // The documents serve every row and test.
  void initTestCase() {
    docs_ = std::make_unique<test::TempDir>();
    page_ = QString::fromStdString(docs_->Write("seite.htm", kGermanPage).string());
  }

  void cleanupTestCase() { docs_.reset(); }

  void init() {
    home_ = std::make_unique<test::TempDir>();
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(home_->path().string()));
    QtUiOptions options;
    options.pauses = false;
    options.quitApplication = false;
    app_ = std::make_unique<DesktopApp>(std::filesystem::path(TAGWRIGHT_SOURCE_DATA_DIR), options);
    QVERIFY(app_->Start());
    QVERIFY(QTest::qWaitForWindowExposed(&app_->window()));
  }

  void cleanup() {
    app_.reset();
    home_.reset();
  }

  void drop_data() {
    QTest::addColumn<QString>("target");  // the control's name; empty: the window itself
    QTest::addColumn<QStringList>("urls");
    QTest::addColumn<bool>("taken");
    const QString page = QUrl::fromLocalFile(page_).toString();
    const QString web = QStringLiteral("https://tagwright.example.org/index.html");
    const QString folder =
        QUrl::fromLocalFile(QString::fromStdString(docs_->path().string())).toString();
    QTest::newRow("input box") << "txbInputFile" << QStringList{page} << true;
    QTest::newRow("window") << "" << QStringList{page} << true;
    QTest::newRow("words box") << "txbWordsToIgnore" << QStringList{page} << true;
    QTest::newRow("first local file") << "" << QStringList{web, folder, page} << true;
    QTest::newRow("text only") << "txbInputFile" << QStringList{} << false;
    QTest::newRow("web address") << "" << QStringList{web} << false;
    QTest::newRow("folder") << "txbInputFile" << QStringList{folder} << false;
  }

  void drop() {
    QFETCH(QString, target);
    QFETCH(QStringList, urls);
    QFETCH(bool, taken);
    QWidget* widget = target.isEmpty() ? static_cast<QWidget*>(&app_->window())
                                       : app_->window().findChild<QWidget*>(target);
    QVERIFY(widget != nullptr);
    QMimeData mime;
    QList<QUrl> list;
    for (const QString& url : urls)
      list << QUrl(url);
    if (!list.isEmpty()) mime.setUrls(list);
    mime.setText(QStringLiteral("seite.htm"));
    const QPoint at = widget->rect().center();
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;

    QDragEnterEvent enter(at, actions, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    QCOMPARE(enter.isAccepted(), taken);
    QDropEvent drop(QPointF(at), actions, &mime, Qt::LeftButton, Qt::NoModifier);
    drop.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(widget, &drop);
    QCOMPARE(drop.isAccepted(), taken);
    if (taken) {
      QCOMPARE(drop.dropAction(), Qt::CopyAction);
      QTRY_COMPARE(InputBox()->text(), page_);
      QCOMPARE(app_->form().settings().cboLanguage, intGermanLanguageIndex);
      QVERIFY(app_->window().ControlWidget(C::cmdClearInputFile)->isEnabled());
    } else {
      QTest::qWait(20);
      QCOMPARE(InputBox()->text(), QString());
    }
  }

  void commandLineDocumentMayBeRelativeOrAFileUrl() {
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QString::fromStdString(docs_->path().string())));
    app_->window().OpenDocument(QStringLiteral("seite.htm"));
    QDir::setCurrent(previous);
    QTRY_COMPARE(InputBox()->text(), page_);

    const QString other =
        QString::fromStdString(docs_->Write("zweite seite.html", kGermanPage).string());
    app_->window().OpenDocument(QUrl::fromLocalFile(other).toString());
    QTRY_COMPARE(InputBox()->text(), other);
  }
};

QTEST_MAIN(QtDropTest)
#include "test_qt_drop.moc"
