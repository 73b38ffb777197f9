#include "art.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPathStroker>

namespace gen {

namespace {
QString g_ui = "DejaVu Sans";
QString g_condensed = "DejaVu Sans Condensed";
QString g_japanese = "IPAGothic";

bool Add(const char* path, QString& family) {
    int id = QFontDatabase::addApplicationFont(QString::fromUtf8(path));
    if (id < 0) return false;
    QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (!families.isEmpty()) family = families.front();
    return true;
}
}  // namespace

bool LoadFonts() {
    bool ok = Add("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", g_ui);
    ok = Add("/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf", g_condensed) && ok;
    ok = Add("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf", g_japanese) && ok;
    return ok;
}

static QFont MakeFont(const QString& family, int px, bool bold) {
    QFont f(family);
    f.setPixelSize(px);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QFont UiFont(int px, bool bold) {
    return MakeFont(g_ui, px, bold);
}
QFont CondensedFont(int px) {
    return MakeFont(g_condensed, px, true);
}
QFont JapaneseFont(int px) {
    return MakeFont(g_japanese, px, false);
}

QImage NewLayer(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void SetSmooth(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
}

QImage Flatten(const QImage& layer, const QColor& under, int alphaThreshold) {
    QImage src = layer.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(src.size(), QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            int a = qAlpha(in[x]);
            if (a < alphaThreshold) {
                o[x] = 0xFFFFFFFFu;
                continue;
            }
            // Premultiplied source over an opaque colour: no light fringe on dark tables.
            int r = qRed(in[x]) + under.red() * (255 - a) / 255;
            int g = qGreen(in[x]) + under.green() * (255 - a) / 255;
            int b = qBlue(in[x]) + under.blue() * (255 - a) / 255;
            QRgb c = qRgb(std::min(r, 255), std::min(g, 255), std::min(b, 255));
            if ((c & 0xFFFFFF) == 0xFFFFFF) c = qRgb(0xFE, 0xFE, 0xFE);
            o[x] = c;
        }
    }
    return out;
}

void AvoidWhite(QImage& picture) {
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if ((picture.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF) picture.setPixel(x, y, qRgb(0xFE, 0xFE, 0xFE));
        }
    }
}

QColor Dim(const QColor& c, double f) {
    return QColor(int(c.red() * f), int(c.green() * f), int(c.blue() * f), c.alpha());
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor(int(a.red() + (b.red() - a.red()) * t), int(a.green() + (b.green() - a.green()) * t),
                  int(a.blue() + (b.blue() - a.blue()) * t));
}

void NeonStroke(QPainter& p, const QPainterPath& path, const QColor& c, double width) {
    QColor halo = c;
    halo.setAlpha(90);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(halo, width * 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(Mix(c, colour::kIce, 0.6), std::max(1.0, width * 0.4), Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.drawPath(path);
}

QPainterPath TextPath(const QString& text, const QFont& font, QPointF centre) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    QRectF r = path.boundingRect();
    QFontMetricsF fm(font);
    // Centre on the ink horizontally and on the cap height vertically, so words of
    // different letters sit on one baseline.
    double capHeight = fm.capHeight();
    path.translate(centre.x() - r.center().x(), centre.y() + capHeight / 2.0);
    return path;
}

void NeonText(QPainter& p, const QString& text, const QFont& font, QPointF centre, const QColor& c,
              double outline) {
    QPainterPath path = TextPath(text, font, centre);
    QColor halo = c;
    halo.setAlpha(110);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(halo, outline * 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(c, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(Mix(c, colour::kIce, 0.75));
    p.drawPath(path);
}

}  // namespace gen
