// Conversions between the program's text and Qt's.
#include "app/qt/qttext.hpp"

#include <QStringList>
#include <algorithm>

namespace tw {

namespace {

constexpr QChar kQtCR = QChar(u'\r');
constexpr QChar kQtLF = QChar(u'\n');
constexpr char16_t kFilterSeparator = u'|';
constexpr char16_t kPatternSeparator = u';';

QString Trimmed(TextView text) {
  return ToQString(text).trimmed();
}

}  // namespace

QString ToQString(TextView text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

Text FromQString(const QString& text) {
  return Text(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
}

QString ToDisplayText(TextView text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == kCR) {
      out += kQtLF;
      if (i + 1 < text.size() && text[i + 1] == kLF) ++i;
    } else {
      out += QChar(text[i]);
    }
  }
  return out;
}

Text FromDisplayText(const QString& text) {
  Text out;
  out.reserve(static_cast<size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == kQtLF && (i == 0 || text[i - 1] != kQtCR)) out += kCR;
    out += static_cast<char16_t>(c.unicode());
  }
  return out;
}

int DisplayPosition(TextView text, int32_t position) {
  if (position < 0) position = 0;
  const size_t end = std::min(text.size(), static_cast<size_t>(position));
  int shown = 0;
  for (size_t i = 0; i < end; ++i) {
    // The LF of a CR LF pair shares the one shown line break of its CR.
    if (text[i] == kLF && i > 0 && text[i - 1] == kCR) continue;
    ++shown;
  }
  return shown;
}

QString ToCaption(TextView caption) {
  QString out = ToQString(caption);
  out.replace(QStringLiteral("&"), QStringLiteral("&&"));
  return out;
}

QString ToQtFileFilter(TextView filter) {
  QStringList parts;
  size_t start = 0;
  while (start <= filter.size()) {
    size_t bar = filter.find(kFilterSeparator, start);
    if (bar == TextView::npos) bar = filter.size();
    parts << Trimmed(filter.substr(start, bar - start));
    start = bar + 1;
  }
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    // Qt reads the patterns from the parenthesised end of the description; the patterns of
    // the pair take the place of whatever the description showed there.
    const qsizetype open = description.lastIndexOf(QChar(u'('));
    if (open > 0 && description.endsWith(QChar(u')'))) description = description.left(open);
    description = description.trimmed();
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(QChar(kPatternSeparator), Qt::SkipEmptyParts)) {
      if (!p.trimmed().isEmpty()) patterns << p.trimmed();
    }
    if (patterns.isEmpty()) continue;
    filters << description + QStringLiteral(" (") + patterns.join(QChar(u' ')) + QChar(u')');
  }
  return filters.join(QStringLiteral(";;"));
}

QColor ToQColor(uint32_t rgb) {
  constexpr uint32_t kByte = 0xFF;
  constexpr int kRedShift = 16;
  constexpr int kGreenShift = 8;
  return QColor(static_cast<int>((rgb >> kRedShift) & kByte),
                static_cast<int>((rgb >> kGreenShift) & kByte), static_cast<int>(rgb & kByte));
}

}  // namespace tw
