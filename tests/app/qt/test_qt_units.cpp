// The Qt layer's conversions: twips and pixels, line ends, captions, file-dialog filters,
// addresses, fonts, the help window's geometry rules and its text.
#include <QApplication>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "app/controls.hpp"
#include "app/qt/fonts.hpp"
#include "app/qt/frmhelp.hpp"
#include "app/qt/helptext.hpp"
#include "app/qt/qttext.hpp"
#include "app/qt/qtui.hpp"
#include "app/qt/twips.hpp"
#include "support/testfiles.hpp"

using namespace tw;

namespace {

// Presses `key` on the next message box, or clicks its `button` when key is 0, once it is
// open; records what it showed.
struct BoxSeen {
  bool seen = false;
  QString caption;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
};

void AnswerNextBox(BoxSeen* seen, QMessageBox::StandardButton button, int key, int tries = 2000) {
  QTimer::singleShot(5, qApp, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      if (tries > 0) AnswerNextBox(seen, button, key, tries - 1);
      return;
    }
    seen->seen = true;
    seen->caption = box->windowTitle();
    seen->text = box->text();
    seen->icon = box->icon();
    seen->buttons = static_cast<int>(box->buttons().size());
    if (key != 0) {
      QTest::keyClick(box, static_cast<Qt::Key>(key));
    } else {
      box->button(button)->click();
    }
  });
}

}  // namespace

Q_DECLARE_METATYPE(tw::MsgButtons)
Q_DECLARE_METATYPE(tw::MsgAnswer)

class QtUnitsTest : public QObject {
  Q_OBJECT

 private slots:
  void twipsToPixels_data() {
    QTest::addColumn<int>("twips");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("pixels");
    QTest::newRow("15 twips a pixel at 96 DPI") << 15 << 96.0 << 1;
    QTest::newRow("window width at 96 DPI") << 9645 << 96.0 << 643;
    QTest::newRow("window width at 120 DPI") << 9645 << 120.0 << 804;
    QTest::newRow("window width at 144 DPI") << 9645 << 144.0 << 965;
    QTest::newRow("rounds half up") << 1613 << 96.0 << 108;  // 107.53
    QTest::newRow("rounds down") << 1606 << 96.0 << 107;     // 107.07
    QTest::newRow("zero") << 0 << 96.0 << 0;
    QTest::newRow("large window on a 1024 pixel screen") << 13824 << 96.0 << 922;
  }
  void twipsToPixels() {
    QFETCH(int, twips);
    QFETCH(double, dpi);
    QFETCH(int, pixels);
    QCOMPARE(TwipsToPixels(twips, dpi), pixels);
  }

  void pixelsToTwipsRoundTrips() {
    for (double dpi : {96.0, 120.0, 144.0}) {
      for (int pixels : {0, 1, 22, 546, 643, 1024}) {
        QCOMPARE(TwipsToPixels(PixelsToTwips(pixels, dpi), dpi), pixels);
      }
    }
    QCOMPARE(PixelsToTwips(1024, 96.0), 15360);
  }

  void displayTextLineEnds_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("shown");
    QTest::newRow("CR LF") << "a\r\nb"
                           << "a\nb";
    QTest::newRow("two CR LF") << "a\r\n\r\nb"
                               << "a\n\nb";
    QTest::newRow("lone CR") << "a\rb"
                             << "a\nb";
    QTest::newRow("lone LF") << "a\nb"
                             << "a\nb";
    QTest::newRow("ends in CR LF") << "tag\r\n"
                                   << "tag\n";
    QTest::newRow("accented and wide")
        << QString::fromUtf8("caf\u00e9 \u20ac") << QString::fromUtf8("caf\u00e9 \u20ac");
  }
  void displayTextLineEnds() {
    QFETCH(QString, program);
    QFETCH(QString, shown);
    QCOMPARE(ToDisplayText(FromQString(program)), shown);
  }

  void editedTextGetsCrLfBack() {
    QCOMPARE(FromDisplayText(QStringLiteral("a\nb\n")), Text(u"a\r\nb\r\n"));
    QCOMPARE(FromDisplayText(QStringLiteral("a\r\nb")), Text(u"a\r\nb"));
    QCOMPARE(FromDisplayText(QStringLiteral("\n")), Text(u"\r\n"));
  }

  void displayPositionCountsALineBreakOnce() {
    const Text text = u"ab\r\ncd";
    QCOMPARE(DisplayPosition(text, 0), 0);
    QCOMPARE(DisplayPosition(text, 2), 2);
    QCOMPARE(DisplayPosition(text, 4), 3);  // after the CR LF: "ab\n|cd"
    QCOMPARE(DisplayPosition(text, 6), 5);  // the end
    QCOMPARE(DisplayPosition(text, 99), 5);
    QCOMPARE(DisplayPosition(text, -3), 0);
  }

  void captionKeepsAmpersand() {
    QCOMPARE(ToCaption(u"HTML & PHP"), QStringLiteral("HTML && PHP"));
    QCOMPARE(ToCaption(u"Show existing  keywords etc."),
             QStringLiteral("Show existing  keywords etc."));
  }

  void fileFilter_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("qt");
    QTest::newRow("the input file filter")
        << "HTML & PHP files (*.htm, *.html, *.shtml, *.php) | *.htm;*.html;*.shtml;*.php"
        << "HTML & PHP files (*.htm *.html *.shtml *.php)";
    QTest::newRow("description without patterns") << "Text files|*.txt"
                                                  << "Text files (*.txt)";
    QTest::newRow("two filters") << "Pages (*.htm)|*.htm|All files (*.*)|*.*"
                                 << "Pages (*.htm);;All files (*.*)";
    QTest::newRow("empty patterns skipped") << "Pages|*.htm;;*.html;"
                                            << "Pages (*.htm *.html)";
    QTest::newRow("no pattern at all") << "Pages"
                                       << "";
  }
  void fileFilter() {
    QFETCH(QString, filter);
    QFETCH(QString, qt);
    QCOMPARE(ToQtFileFilter(FromQString(filter)), qt);
  }

  void colours() {
    QCOMPARE(ToQColor(kWindowBackColour), QColor(192, 255, 192));
    QCOMPARE(ToQColor(kLinkForeColour), QColor(0, 0, 255));
    QCOMPARE(ToQColor(kDarkRedForeColour), QColor(128, 0, 0));
  }

  void addresses() {
    test::TempDir data;
    data.Write("manual.html", "<html></html>");
    QtUi ui(data.path());
    const QUrl manual = ui.AddressUrl(u"manual.html");
    QVERIFY(manual.isLocalFile());
    QCOMPARE(manual.toLocalFile(), QString::fromStdString((data.path() / "manual.html").string()));
    QCOMPARE(ui.AddressUrl(u"https://quillmark.example/tagwright"),
             QUrl(QStringLiteral("https://quillmark.example/tagwright")));
    QCOMPARE(ui.AddressUrl(u"www.quillmark.example"),
             QUrl(QStringLiteral("https://www.quillmark.example")));
    QVERIFY(ui.AddressUrl(u"missing.html").isEmpty());
    QVERIFY(ui.AddressUrl(u"").isEmpty());
    const std::string absolute = (data.path() / "manual.html").string();
    QCOMPARE(ui.AddressUrl(FromQString(QString::fromStdString(absolute))).toLocalFile(),
             QString::fromStdString(absolute));
  }

  void openAddressResults() {
    test::TempDir data;
    data.Write("manual.html", "<html></html>");
    QList<QUrl> opened;
    bool succeed = true;
    QtUiOptions options;
    options.openUrl = [&](const QUrl& url) {
      opened << url;
      return succeed;
    };
    QtUi ui(data.path(), options);
    QVERIFY(ui.OpenAddress(u"manual.html") > kShellSuccessAbove);
    QCOMPARE(opened.size(), 1);
    QVERIFY(opened[0].isLocalFile());
    // Nothing is asked to open a local file that is not there.
    QCOMPARE(ui.OpenAddress(u"gone.html"), kShellFileNotFound);
    QCOMPARE(opened.size(), 1);
    succeed = false;
    QCOMPARE(ui.OpenAddress(u"manual.html"), kShellNoAssociation);
    QCOMPARE(ui.OpenAddress(u"https://quillmark.example/"), kShellFileNotFound);
  }

  void messageBoxAnswers_data() {
    QTest::addColumn<MsgButtons>("buttons");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("count");
    QTest::addColumn<MsgAnswer>("answer");
    QTest::newRow("OK") << MsgButtons::Ok << int(QMessageBox::Ok) << 0 << 1 << MsgAnswer::Ok;
    QTest::newRow("OK closed") << MsgButtons::Ok << 0 << int(Qt::Key_Escape) << 1 << MsgAnswer::Ok;
    QTest::newRow("Yes") << MsgButtons::YesNo << int(QMessageBox::Yes) << 0 << 2 << MsgAnswer::Yes;
    QTest::newRow("No") << MsgButtons::YesNo << int(QMessageBox::No) << 0 << 2 << MsgAnswer::No;
    QTest::newRow("Yes/No closed is No")
        << MsgButtons::YesNo << 0 << int(Qt::Key_Escape) << 2 << MsgAnswer::No;
    QTest::newRow("Yes of three") << MsgButtons::YesNoCancel << int(QMessageBox::Yes) << 0 << 3
                                  << MsgAnswer::Yes;
    QTest::newRow("No of three") << MsgButtons::YesNoCancel << int(QMessageBox::No) << 0 << 3
                                 << MsgAnswer::No;
    QTest::newRow("Cancel") << MsgButtons::YesNoCancel << int(QMessageBox::Cancel) << 0 << 3
                            << MsgAnswer::Cancel;
    QTest::newRow("Yes/No/Cancel closed is Cancel")
        << MsgButtons::YesNoCancel << 0 << int(Qt::Key_Escape) << 3 << MsgAnswer::Cancel;
  }
  void messageBoxAnswers() {
    QFETCH(MsgButtons, buttons);
    QFETCH(int, press);
    QFETCH(int, key);
    QFETCH(int, count);
    QFETCH(MsgAnswer, answer);
    test::TempDir data;
    QtUi ui(data.path());
    Message message;
    message.caption = u"Unix-type file warning";
    message.text = u"First line.\r\nSecond line.";
    message.icon = MsgIcon::Error;
    message.buttons = buttons;
    BoxSeen seen;
    AnswerNextBox(&seen, static_cast<QMessageBox::StandardButton>(press), key);
    QCOMPARE(ui.ShowMessage(message), answer);
    QVERIFY(seen.seen);
    QCOMPARE(seen.caption, QStringLiteral("Unix-type file warning"));
    QCOMPARE(seen.text, QStringLiteral("First line.\nSecond line."));
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, count);
    QVERIFY(!ui.InModalDialog());
  }

  void pauseServesEventsAndEndsWithTheProgram() {
    test::TempDir data;
    QtUiOptions options;
    options.quitApplication = false;
    QtUi ui(data.path(), options);
    bool served = false;
    QTimer::singleShot(0, qApp, [&] {
      served = true;
      ui.EndProgram();
    });
    // A minute, cut short when the program ends.
    ui.Pause(60000);
    QVERIFY(served);
    QVERIFY(ui.Ended());
  }

  void namedFontsHaveStandIns() {
    InstallFontSubstitutions();
    QVERIFY(QFontInfo(NamedFont(kTextBoxFont)).fixedPitch());
    QVERIFY(!QFontInfo(NamedFont(kControlFont)).fixedPitch());
    QVERIFY(!QFontInfo(NamedFont(kWindowFont)).fixedPitch());
    QVERIFY(!QFontInfo(NamedFont(kNumberBoxFont)).fixedPitch());
    QCOMPARE(NamedFont(kControlFont).family(), QStringLiteral("Arial"));
    QCOMPARE(NamedFont(kControlFont).pointSize(), kFontPointSize);
  }

  void helpWindowPlacement() {
    const TwipsRect main{1500, 900, 9765, 8605};
    QCOMPARE(HelpWindowPlace(main), (TwipsRect{1700, 1380, 9365, 7925}));
  }

  void helpLayout_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QRect>("textBox");
    QTest::addColumn<QRect>("closeButton");
    QTest::newRow("opened from the main window")
        << 9365 << 7925 << QRect(120, 120, 9015, 6625) << QRect(4075, 6905, 1215, 315);
    QTest::newRow("small") << 3000 << 2000 << QRect(120, 120, 2650, 700)
                           << QRect(892, 980, 1215, 315);
    QTest::newRow("too small for a text box")
        << 300 << 1000 << QRect(120, 120, 0, 0) << QRect(-457, -20, 1215, 315);
  }
  void helpLayout() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QRect, textBox);
    QFETCH(QRect, closeButton);
    const HelpLayout layout = HelpLayoutFor(width, height);
    QCOMPARE(
        QRect(layout.textBox.left, layout.textBox.top, layout.textBox.width, layout.textBox.height),
        textBox);
    QCOMPARE(QRect(layout.closeButton.left, layout.closeButton.top, layout.closeButton.width,
                   layout.closeButton.height),
             closeButton);
  }

  void helpTextInOrder() {
    const QString help = ToQString(BuildHelpText(u"/usr/share/tagwright/manual.html"));
    const QStringList inOrder = {
        QStringLiteral("/usr/share/tagwright/manual.html"),
        QStringLiteral("This help window may be resized or maximized for easier reading."),
        QStringLiteral("\r\n(a) in the title, <TITLE>...</TITLE>\r\n"),
        QStringLiteral("(b) in the description, <META NAME=\"description\" CONTENT=\"...\">\r\n"),
        QStringLiteral("(c) among existing keywords, <META NAME=\"keywords\" CONTENT=\"...\">\r\n"),
        QStringLiteral("(d) in a heading, e.g., <H4>...</H4>\r\n"),
        QStringLiteral("(e) in boldface, <B>...</B> and <STRONG>...</STRONG>\r\n"),
        QStringLiteral("(f) in italics, <I>...</I> and <EM>...</EM>\r\n"),
        QStringLiteral("(g) in a table, <TABLE>...</TABLE> and\r\n"),
        QStringLiteral("(h) within <DIV>...</DIV> and <SPAN>...</SPAN>.\r\n\r\n"),
        QStringLiteral("You can control the amount of weight given to words occurring in these "
                       "contexts, as follows:"),
        QStringLiteral("Words in boldface can be given a weight of 1 to 9. A weight of 5 means "
                       "that an occurrence of a word in boldface counts five times as much as a "
                       "word which does not occur in boldface. Set this to 1 to give bold and "
                       "non-bold words equal weight."),
        QStringLiteral("Words within <DIV> and <SPAN> tags can be given a weight of 0 to 9. Set "
                       "this to 0 if words within these tags are to be ignored.  These tags can "
                       "be nested.  The degree of nesting does not affect the weighting."),
        QStringLiteral("Words in a heading <Hn> are given a weight of 5 times (7 minus the "
                       "heading level), e.g., words in <H4>...</H4> get a weight of 5 *(7 - 4) "
                       "= 15."),
        QStringLiteral("existing keywords are ignored"),
        QStringLiteral("Input file"),
        QStringLiteral("Show existing keywords etc."),
        QStringLiteral("recommended"),
        QStringLiteral("Maximum number of keywords in meta tag"),
        QStringLiteral("Minimum frequency for word"),
        QStringLiteral("\r\n(i) click on 'List words' to get a list of the words satisfying the "
                       "selection criteria, together with their keyword value, frequency and "
                       "density or\r\n(ii) click on 'Generate/show keywords meta tag' to get the "
                       "meta tag."),
        QStringLiteral("Keyword density is the number of occurrences of a keyword divided by the "
                       "total number of words in the document."),
        QStringLiteral("Begin meta tag with"),
        QStringLiteral("Copy to clipboard"),
        QStringLiteral("\"<?\" and \"?>\""),
        QStringLiteral("always makes a backup copy first."),
    };
    qsizetype from = 0;
    for (const QString& part : inOrder) {
      const qsizetype at = help.indexOf(part, from);
      QVERIFY2(at >= 0, qPrintable(QStringLiteral("missing or out of order: ") + part));
      from = at + part.size();
    }
    // Paragraphs are separated by one empty line; no line break stands alone.
    QVERIFY(!help.contains(QStringLiteral("\r\n\r\n\r\n")));
    QVERIFY(!help.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));
    QVERIFY(!help.endsWith(QStringLiteral("\r\n")));
  }
};

QTEST_MAIN(QtUnitsTest)
#include "test_qt_units.moc"
