// The fonts of the windows, loaded from their files so the text looks the same whatever the
// desktop's font configuration picks: the Japanese IPA Gothic and the proportional IPA P
// Gothic, and DejaVu Sans Mono for English text set in columns.
#pragma once

#include <QFont>

namespace vx {

// IPA Gothic at pixelSize (pixels, not points, so the 9-pixel character cells of the
// about box and the help page's line height do not move with the screen's DPI).
// Falls back to the family name, then to the default font.
QFont IpaGothicFont(int pixelSize);

// IPA P Gothic, the proportional one, for running text (the help window's Japanese page).
QFont IpaPGothicFont(int pixelSize);

// DejaVu Sans Mono (fonts-dejavu-core), for the help window's English page: a Latin font,
// since the Japanese ones draw "\" as a yen sign and "~" as an overline.
QFont LatinMonoFont(int pixelSize);

}  // namespace vx
