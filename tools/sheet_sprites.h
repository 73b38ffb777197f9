// The sprite sheet `Pict`: every rectangle of the layout table painted on its own
// layer, flattened over the colour it is shown on and placed on a white sheet.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRectF>

#include "core/sheet_layout.h"

class QPainter;

namespace gen {

QImage DrawSpriteSheet();

// Painters of the two sprite groups; each returns false for a name it does not know.
// `under` receives the colour the sprite is composed over when it differs from the table.
bool PaintPiece(QPainter& p, const vx::SheetSprite& s, QColor& under);
bool PaintWords(QPainter& p, const vx::SheetSprite& s, QColor& under);

// Seven-segment digit as strokes inside box; shared by the sheet and the screens.
QPainterPath SegmentDigit(int digit, const QRectF& box, double slant);

}  // namespace gen
