// The stage select background and the pictures of the smaller windows (in design/).
#include <QPainter>

#include "art.h"
#include "core/sheet_layout.h"
#include "core/stage_tables.h"
#include "screens.h"
#include "sheet_sprites.h"
#include "stage_lines.h"

namespace gen {

using namespace colour;

namespace {

void Caption(QPainter& p, const char* text, QPointF leftMid, const QColor& c, int px = 11) {
    QPainterPath path = TextPath(text, CondensedFont(px), leftMid);
    path.translate(leftMid.x() - path.boundingRect().left(), 0);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path);
}

void Frame(QPainter& p, QRectF r, const QColor& c) {
    p.setPen(QPen(Dim(c, 0.85), 1.2));
    p.setBrush(kDark);
    p.drawRoundedRect(r, 5, 5);
}

}  // namespace

QImage DrawStageSelectPicture() {
    QImage img(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
    QPainter p(&img);
    SetSmooth(p);
    PaintBackdrop(p, kScreenWidth, kScreenHeight);
    // Header: "STAGE" and the number's place at (215, 15).
    p.fillRect(QRect(0, 0, 512, 48), QColor(0x14, 0x08, 0x30));
    p.setPen(QPen(kMagenta, 2));
    p.drawLine(0, 48, 512, 48);
    NeonText(p, "STAGE", UiFont(22), QPointF(150, 28), kCyan, 1.2);
    Frame(p, QRectF(210.5, 10.5, 34, 36), kYellow);
    p.fillRect(QRect(213, 13, 29, 31), kDark);
    p.setPen(Qt::NoPen);
    p.setBrush(Mix(kMagenta, kIce, 0.3));
    p.drawPath(TextPath("CHOOSE YOUR TABLE", CondensedFont(16), QPointF(390, 28)));
    // Layout area (50, 52, 200 x 130) with the miniature table the thumbnails fit.
    Frame(p, QRectF(46.5, 50.5, 207, 134), kCyan);
    p.fillRect(QRect(50, 52, 200, 130), kDark);
    const QRectF field(50 + kThumbLeft, 52 + kThumbTop, 380 * kThumbScale, 220 * kThumbScale);
    p.fillRect(field, kTable);
    p.setPen(QPen(kCyan, 1.2));
    p.drawLine(field.topLeft(), field.topRight());
    p.drawLine(field.bottomLeft(), field.bottomRight());
    p.drawLine(field.topLeft(), field.bottomLeft());
    p.setPen(QPen(kMagenta, 1.2));
    p.drawLine(field.topRight(), field.bottomRight());
    p.setPen(QPen(QColor(0x20, 0x50, 0x90), 1, Qt::DashLine));
    p.drawLine(QPointF(field.center().x(), field.top()), QPointF(field.center().x(), field.bottom()));
    // Stage name and the items that stay away.
    Caption(p, "NAME", QPointF(340, 60), Dim(kCyan, 0.9));
    Frame(p, QRectF(335.5, 69.5, 124, 23), kYellow);
    Caption(p, "ITEMS NOT IN PLAY", QPointF(320, 116), Dim(kCyan, 0.9));
    Frame(p, QRectF(315.5, 125.5, 159, 69), kOrange);
    // Slot strip: one slot per stage, numbered, each with a tiny picture of its layout.
    const vx::Box strip = vx::SlotStrip();
    Caption(p, "CHOOSE A STAGE", QPointF(strip.x, strip.y - 11), Dim(kCyan, 0.9));
    p.setPen(QPen(kCyan, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(strip.x - 2.5, strip.y - 2.5, strip.w + 5, strip.h + 5), 4, 4);
    const QColor slotColours[5] = {kCyan, kLime, kYellow, kMagenta, kOrange};
    for (int k = 1; k <= vx::kStageCount; ++k) {
        const vx::StageRow& stage = vx::StageFacts(k);
        const QColor& colour = slotColours[(k - 1) % 5];
        const QRectF slot(stage.slot.x, stage.slot.y, vx::kSlotW, vx::kSlotH);
        p.fillRect(slot, QColor(0x12, 0x16, 0x3A));
        p.setPen(QPen(Dim(colour, 0.7), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(slot.adjusted(1.5, 1.5, -1.5, -1.5));
        NeonStroke(p, SegmentDigit(k, QRectF(slot.left() + 8, slot.top() + 9, 10, 18), 2), colour, 2.2);
        // Miniature of the stage at one tenth of the table.
        const QRectF mini(slot.left() + 24, slot.top() + 9, 30, 18);
        p.setPen(QPen(Dim(kCyan, 0.6), 0.8));
        p.drawRect(mini);
        auto at = [&](double x, double y) {
            return QPointF(mini.left() + (x - 66) * 30.0 / 380.0, mini.top() + (y - 61) * 18.0 / 220.0);
        };
        p.setPen(QPen(colour, 0.9));
        for (const vx::WallPiece& w : stage.walls) {
            if (w.kind == -1)
                p.drawLine(at(w.bounds.left, w.bounds.top), at(w.bounds.right, w.bounds.bottom));
            else
                p.drawLine(at(w.bounds.left, w.bounds.bottom), at(w.bounds.right, w.bounds.top));
        }
        for (const vx::BumperPiece& b : stage.bumpers)
            p.drawEllipse(at(b.cx / 100.0, b.cy / 100.0), 0.9, 0.9);
        p.setPen(Qt::NoPen);
        p.setBrush(Dim(kIce, 0.8));
        p.drawPath(TextPath(stage.name, CondensedFont(8), QPointF(slot.center().x(), slot.top() + 39)));
    }
    // Plain plates under OK and RETURN (RETURN runs off the right edge).
    for (QRectF plate : {QRectF(396.5, 256.5, 58, 35), QRectF(346.5, 292.5, 170, 35)}) Frame(p, plate, kCyan);
    p.fillRect(QRect(399, 259, 53, 31), kDark);
    p.fillRect(QRect(349, 295, 163, 31), kDark);
    PaintBolt(p, QPointF(40, 312), 1.4, kYellow);
    p.setPen(Qt::NoPen);
    p.setBrush(Dim(kYellow, 0.9));
    p.drawPath(TextPath("VOLTRAX", UiFont(16), QPointF(110, 312)));
    p.end();
    AvoidWhite(img);
    return img;
}

QImage DrawAboutPicture() {
    QImage img(331, 235, QImage::Format_RGB32);
    QPainter p(&img);
    SetSmooth(p);
    PaintBackdrop(p, 331, 235);
    p.setPen(QPen(kCyan, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(4, 4, 323, 227), 8, 8);
    p.setPen(QPen(Dim(kMagenta, 0.8), 1));
    p.drawRoundedRect(QRectF(8.5, 8.5, 314, 218), 6, 6);
    PaintBolt(p, QPointF(18, 20), 0.9, kYellow);
    PaintBolt(p, QPointF(313, 215), 0.9, kYellow);
    p.end();
    AvoidWhite(img);
    return img;
}

QImage DrawItemListPicture(const QImage& sheet) {
    QImage img(480, 520, QImage::Format_RGB32);
    QPainter p(&img);
    SetSmooth(p);
    PaintBackdrop(p, 480, 520);
    p.setPen(Qt::NoPen);
    p.setBrush(kYellow);
    p.drawPath(TextPath(QString::fromUtf8("アイテム一覧"), JapaneseFont(22), QPointF(240, 22)));
    p.setPen(QPen(kMagenta, 2));
    p.drawLine(20, 40, 460, 40);
    struct Row {
        const char* name;
        const char* japanese;
        const char* english;
    };
    static const Row rows[10] = {
        {"LENGTH UP", "自分の前のパドルが長くなる", "Your front paddle grows long."},
        {"LENGTH DOWN", "自分の後ろのパドルが短くなる", "Your back paddle shrinks."},
        {"LOST FORWARD", "自分の前のパドルが消える", "Your front paddle vanishes."},
        {"DOUBLE", "パックが2個になる", "A second puck joins the play."},
        {"BACK BOOST", "後ろのパドルの打ち返しが速くなる", "Your back paddle hits like a front one."},
        {"PANIC", "両者のパドルの打ち返しが猛烈に速くなる", "Both sides hit much harder and faster."},
        {"RANDOM SPEED", "両者の打ち返しの速さがでたらめになる", "Every paddle hits at a random speed."},
        {"SHIFT CHANGE", "自分の上下の操作が逆になる (2P対戦のみ)", "Your up and down keys swap (VS 2P)."},
        {"BLIND", "自分の陣地が真っ暗になる (2P対戦のみ)", "Your own half goes dark (VS 2P)."},
        {"? ? ?", "中身は取るまでわからない", "Hides its kind until someone gets it."},
    };
    const QColor nameColours[10] = {
        kLime, kOrange, kRed, kYellow, kCyan, kRed, kViolet, kMagenta, QColor(0x8C, 0xA6, 0xD8), kYellow};
    for (int i = 0; i < 10; ++i) {
        const int top = 48 + 47 * i;
        const vx::SheetSprite* icon = vx::FindSheetSprite(vx::ItemIconName(i + 1));
        p.fillRect(QRect(20, top + 6, 32, 32), kTable);
        QImage tile = sheet.copy(icon->x, icon->y, icon->w, icon->h);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if ((tile.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                    img.setPixel(20 + x, top + 6 + y, tile.pixel(x, y));
        Caption(p, rows[i].name, QPointF(66, top + 11), nameColours[i], 13);
        p.setBrush(kIce);
        QPainterPath jp =
            TextPath(QString::fromUtf8(rows[i].japanese), JapaneseFont(13), QPointF(0, top + 25));
        jp.translate(66 - jp.boundingRect().left(), 0);
        p.drawPath(jp);
        Caption(p, rows[i].english, QPointF(66, top + 39), Dim(kCyan, 0.9), 10);
        p.setPen(QPen(QColor(0x22, 0x28, 0x58), 1));
        p.drawLine(20, top + 46, 460, top + 46);
        p.setPen(Qt::NoPen);
    }
    p.end();
    AvoidWhite(img);
    return img;
}

QImage DrawDitherPattern() {
    QImage img(512, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 512; ++x) img.setPixel(x, y, ((x + y) & 1) ? 0xFF000000u : 0xFFFFFFFFu);
    return img;
}

QImage DrawInvisibleCursor() {
    QImage img(32, 32, QImage::Format_RGB32);
    img.fill(0xFF000000u);
    return img;
}

QImage DrawInvisibleCursorMask() {
    QImage img(32, 32, QImage::Format_RGB32);
    img.fill(0xFFFFFFFFu);
    return img;
}

}  // namespace gen
