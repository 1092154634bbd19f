// Twips (1/1440 inch) to pixels and back at a screen's logical DPI: 15 twips per pixel at
// 96 DPI. Every place and size the window draws goes through these.
#pragma once

#include <cstdint>

class QWidget;

namespace tw {

inline constexpr int32_t kTwipsPerInch = 1440;
inline constexpr double kDefaultLogicalDpi = 96.0;

int TwipsToPixels(int32_t twips, double dpi);
int32_t PixelsToTwips(int pixels, double dpi);

// The logical DPI of the screen `widget` is on (the primary screen when it has none yet, 96
// when there is no screen at all).
double LogicalDpi(const QWidget* widget = nullptr);

}  // namespace tw
