// The desktop program: Qt's application object, the window, and the event loop.
#include <QApplication>
#include <QByteArray>
#include <QIcon>
#include <QSessionManager>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

#include "analysis/programfolder.hpp"
#include "app/qt/desktopapp.hpp"

namespace {

// Qt aborts when it finds no display; say so plainly instead.
bool DisplayAvailable() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    if (!qEnvironmentVariableIsEmpty(name)) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (!DisplayAvailable()) {
    std::fputs(
        "tagwright: no display available (neither DISPLAY nor WAYLAND_DISPLAY is set); start "
        "it from a desktop session, or use tagwright-cli\n",
        stderr);
    return EXIT_FAILURE;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tagwright"));
  QApplication::setDesktopFileName(QStringLiteral(TAGWRIGHT_APP_ID));
  // The icon installed with the desktop entry, where the icon theme can show it.
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(TAGWRIGHT_APP_ID)));
  // Quitting goes through the window's Quit command, which saves the settings first.
  QApplication::setQuitOnLastWindowClosed(false);

  tw::DesktopApp app(tw::ProgramDataFolder());
  // Start-up fails only when the program's texts cannot be read (the user has been told).
  if (!app.Start()) return EXIT_FAILURE;
  // Quit during start-up: the settings are saved already.
  if (app.ui().Ended()) return EXIT_SUCCESS;
  // "tagwright FILE" (the desktop entry passes the document it was opened with): the
  // document as if chosen with the file dialog. Qt has taken its own options out already.
  // The window system ending the session saves the settings as Quit does.
  QObject::connect(&application, &QGuiApplication::commitDataRequest, [&app](QSessionManager&) {
    if (!app.ui().Ended()) app.form().UserClose();
  });
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) app.window().OpenDocument(arguments.at(1));
  return QApplication::exec();
}
