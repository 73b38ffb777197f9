// The look shared by every generated picture: the neon palette, the fonts (loaded by
// file path so the output never depends on what fontconfig would pick) and the
// flattening that turns anti-aliased layers into sheet pixels with a white background.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QString>

class QPainter;

namespace gen {

namespace colour {
inline const QColor kDark{0x0A, 0x0E, 0x22};   // screen backgrounds under sprites
inline const QColor kTable{0x08, 0x12, 0x2E};  // the playing field
inline const QColor kPanel{0x10, 0x0B, 0x2C};  // panel strips above and below the table
inline const QColor kCyan{0x22, 0xE8, 0xFF};
inline const QColor kMagenta{0xFF, 0x2E, 0xD2};
inline const QColor kYellow{0xFF, 0xE2, 0x3C};
inline const QColor kLime{0x8C, 0xFF, 0x3C};
inline const QColor kOrange{0xFF, 0x8C, 0x1E};
inline const QColor kRed{0xFF, 0x38, 0x38};
inline const QColor kViolet{0xA8, 0x6C, 0xFF};
inline const QColor kIce{0xE8, 0xF6, 0xFF};  // the near-white of hot neon cores
}  // namespace colour

// Registers the bundled font files; returns false when one is missing.
bool LoadFonts();
QFont UiFont(int pixelSize, bool bold = true);
QFont CondensedFont(int pixelSize);
QFont JapaneseFont(int pixelSize);

// A transparent ARGB layer to paint on with anti-aliasing.
QImage NewLayer(int w, int h);
void SetSmooth(QPainter& p);

// Composes the layer over `under`; pixels below the alpha threshold become pure white
// (transparent to the mask), all others are opaque and never pure white.
QImage Flatten(const QImage& layer, const QColor& under, int alphaThreshold = 100);
// Replaces pure white by the nearest off-white in an opaque picture.
void AvoidWhite(QImage& picture);

// Neon stroke: a wide dim halo, then the bright line, then a hot core.
void NeonStroke(QPainter& p, const QPainterPath& path, const QColor& c, double width);
// Text as an outlined neon path, centred on `centre`.
void NeonText(QPainter& p, const QString& text, const QFont& font, QPointF centre, const QColor& c,
              double outline = 2.0);
QPainterPath TextPath(const QString& text, const QFont& font, QPointF centre);

QColor Dim(const QColor& c, double factor);
QColor Mix(const QColor& a, const QColor& b, double t);

}  // namespace gen
