// The one Japanese font of the windows: IPA Gothic, loaded from its file so the text
// looks the same whatever the desktop's font configuration picks for "monospace".
#pragma once

#include <QFont>

namespace vx {

// IPA Gothic at pixelSize (pixels, not points, so the 9-pixel character cells of the
// about box and the help page's line height do not move with the screen's DPI).
// Falls back to the family name, then to the default font.
QFont IpaGothicFont(int pixelSize);

}  // namespace vx
