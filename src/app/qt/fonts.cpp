// The window's fonts by name, with stand-ins for the ones the machine lacks.
#include "app/qt/fonts.hpp"

#include <QFontDatabase>
#include <QStringList>

#include "app/controls.hpp"
#include "app/qt/qttext.hpp"

namespace tw {

namespace {

struct FontStandIn {
  TextView name;
  bool monospace;
};

constexpr FontStandIn kStandIns[] = {
    {kControlFont, false},    // Arial
    {kWindowFont, false},     // Tahoma
    {kNumberBoxFont, false},  // MS Sans Serif
    {kTextBoxFont, true},     // Courier New
};

const QStringList& SansStandIns() {
  static const QStringList kSans = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")};
  return kSans;
}

const QStringList& MonoStandIns() {
  static const QStringList kMono = {QStringLiteral("Liberation Mono"), QStringLiteral("Cousine"),
                                    QStringLiteral("DejaVu Sans Mono"),
                                    QStringLiteral("Monospace")};
  return kMono;
}

bool IsMonospaceName(TextView name) {
  return name == kTextBoxFont;
}

}  // namespace

void InstallFontSubstitutions() {
  const QStringList installed = QFontDatabase::families();
  for (const FontStandIn& font : kStandIns) {
    const QString family = ToQString(font.name);
    if (installed.contains(family, Qt::CaseInsensitive)) continue;
    QStringList available;
    for (const QString& candidate : font.monospace ? MonoStandIns() : SansStandIns()) {
      if (installed.contains(candidate, Qt::CaseInsensitive)) available << candidate;
    }
    if (available.isEmpty()) continue;  // the platform's own matching stands in
    QFont::insertSubstitutions(family, available);
  }
}

QFont NamedFont(TextView name) {
  QFont font(ToQString(name), kFontPointSize);
  font.setStyleHint(IsMonospaceName(name) ? QFont::TypeWriter : QFont::SansSerif);
  return font;
}

}  // namespace tw
