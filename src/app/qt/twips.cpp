// Twips to pixels and back at a screen's logical DPI.
#include "app/qt/twips.hpp"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace tw {

int TwipsToPixels(int32_t twips, double dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

int32_t PixelsToTwips(int pixels, double dpi) {
  if (dpi <= 0) dpi = kDefaultLogicalDpi;
  return static_cast<int32_t>(std::lround(static_cast<double>(pixels) * kTwipsPerInch / dpi));
}

double LogicalDpi(const QWidget* widget) {
  QScreen* screen = widget != nullptr ? widget->screen() : nullptr;
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return kDefaultLogicalDpi;
  double dpi = screen->logicalDotsPerInchY();
  return dpi > 0 ? dpi : kDefaultLogicalDpi;
}

}  // namespace tw
