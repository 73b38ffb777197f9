// The screen pictures: the run-time backgrounds of "dat" (title, stage select, waiting
// screen, table) and the pictures in design/ for the windows (about box, item list,
// the transition's dither pattern and the invisible cursor).
#pragma once

#include <QImage>

#include "core/geometry.h"

namespace gen {

using vx::kScreenHeight;
using vx::kScreenWidth;
// The table picture carries the empty item gauge below the visible screen, at (0, 411),
// where the gauge drawing restores it from the background store.
constexpr int kBattleHeight = 426;

QImage DrawTitlePicture();
QImage DrawStageSelectPicture();
QImage DrawWaitingPicture();
QImage DrawBattlePicture();

QImage DrawAboutPicture();
QImage DrawItemListPicture(const QImage& sheet);
QImage DrawDitherPattern();
QImage DrawInvisibleCursor();      // colour bits, all zero
QImage DrawInvisibleCursorMask();  // AND mask, all ones

// Shared backdrop pieces.
void PaintBackdrop(QPainter& p, int w, int h);
void PaintBolt(QPainter& p, QPointF at, double size, const QColor& c);

}  // namespace gen
