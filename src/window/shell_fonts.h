// The Japanese fonts of the windows, IPA Gothic and the proportional IPA P Gothic, loaded
// from their files so the text looks the same whatever the desktop's font configuration picks.
#pragma once

#include <QFont>

namespace vx {

// IPA Gothic at pixelSize (pixels, not points, so the 9-pixel character cells of the
// about box and the help page's line height do not move with the screen's DPI).
// Falls back to the family name, then to the default font.
QFont IpaGothicFont(int pixelSize);

// IPA P Gothic, the proportional one, for running text (the help window's text page).
QFont IpaPGothicFont(int pixelSize);

}  // namespace vx
