#include "preview.h"

#include <QPainter>
#include <cstring>

#include "art.h"
#include "core/sheet_layout.h"
#include "core/stage_tables.h"

namespace gen {

namespace {

// The game's masked transfer: white is transparent.
void Blit(QImage& dest, const QImage& src, int x, int y, int w, int h, int xs, int ys) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (xs + i >= src.width() || ys + j >= src.height() || x + i >= dest.width() ||
                y + j >= dest.height())
                continue;
            QRgb c = src.pixel(xs + i, ys + j);
            if ((c & 0xFFFFFF) != 0xFFFFFF) dest.setPixel(x + i, y + j, c);
        }
}

void Sprite(QImage& dest, const QImage& sheet, const char* name, int x, int y, int w = -1) {
    const vx::SheetSprite* s = vx::FindSheetSprite(name);
    if (s) Blit(dest, sheet, x, y, w < 0 ? s->w : w, s->h, s->x, s->y);
}

QImage Screen(const QImage& background) {
    return background.copy(0, 0, vx::kScreenWidth, vx::kScreenHeight).convertToFormat(QImage::Format_RGB32);
}

QImage TitleMock(const AssetSet& a) {
    QImage s = Screen(a.title);
    Sprite(s, a.sheet, "button.vs_cpu.normal", 156, 169);
    Sprite(s, a.sheet, "button.vs_2p.hover", 156, 206);
    Sprite(s, a.sheet, "button.quit.pressed", 208, 242);
    return s;
}

QImage StageSelectMock(const AssetSet& a) {
    QImage s = Screen(a.stageSelect);
    Sprite(s, a.sheet, "button.return.normal", 350, 296);
    Sprite(s, a.sheet, "button.ok.hover", 400, 260);
    for (int k = 1; k <= 5; ++k)
        if (k != 4) Sprite(s, a.sheet, "slot.shade", 28 + 60 * (k - 1), 231);
    const vx::SheetSprite* d = vx::FindSheetSprite(vx::SmallDigitName(4));
    // The number's shadow: black where the digit is opaque.
    for (int j = 0; j < d->h; ++j)
        for (int i = 0; i < d->w; ++i)
            if ((a.sheet.pixel(d->x + i, d->y + j) & 0xFFFFFF) != 0xFFFFFF)
                s.setPixel(217 + i, 17 + j, 0xFF000000u);
    Sprite(s, a.sheet, vx::SmallDigitName(4), 215, 15);
    Blit(s, a.linePict, 50, 52, 200, 130, 400, 220);
    Sprite(s, a.sheet, "label.mode.vs_cpu", 164, 164);
    Sprite(s, a.sheet, vx::StageNameName(4), 340, 73);
    Sprite(s, a.sheet, "panel.length_up", 320, 130);
    Sprite(s, a.sheet, "panel.blind", 320, 150);
    Sprite(s, a.sheet, "panel.shift_change", 320, 170);
    return s;
}

QImage WaitingMock(const AssetSet& a) {
    QImage s = Screen(a.waiting);
    Sprite(s, a.sheet, vx::StageDigitName(3), 375, 139);
    return s;
}

QImage MatchMock(const AssetSet& a, int stage, bool result) {
    QImage s = Screen(a.battle);
    const vx::StageLines& lines = vx::StageFacts(stage).lines;
    if (lines.picture != vx::LinePicture::kNone) {
        const QImage& picture = lines.picture == vx::LinePicture::kSt3 ? a.st3 : a.linePict;
        Blit(s, picture, lines.at.x, lines.at.y, lines.source.w, lines.source.h, lines.source.x,
             lines.source.y);
    }
    // Panel: marks, scores and the clock (or the score limit).
    Sprite(s, a.sheet, "mark.p1", 140, 34);
    Sprite(s, a.sheet, result ? "mark.p2" : "mark.cpu", 359, 34);
    Sprite(s, a.sheet, vx::SmallDigitName(1), 81, 22);
    Sprite(s, a.sheet, vx::SmallDigitName(2), 106, 22);
    Sprite(s, a.sheet, vx::SmallDigitName(7), 397, 22);
    if (result) {
        Sprite(s, a.sheet, "label.score_limit", 267, 14);
        Sprite(s, a.sheet, "limit.30", 323, 4);
    } else {
        Sprite(s, a.sheet, vx::LargeDigitName(1), 247, 14);
        Sprite(s, a.sheet, vx::LargeDigitName(0), 277, 14);
        Sprite(s, a.sheet, vx::LargeDigitName(5), 307, 14);
    }
    // Paddles in a few looks, a puck, a burst and a capsule.
    Sprite(s, a.sheet, stage == 3 ? "paddle.boost.back.p1" : "paddle.back.p1", 72, 120);
    Sprite(s, a.sheet, stage == 3 ? "paddle.front.long" : "paddle.front", 184, stage == 3 ? 150 : 190);
    Sprite(s, a.sheet, stage == 3 ? "paddle.back.short" : "paddle.panic.back.p2", 430, 150);
    Sprite(s, a.sheet, stage == 3 ? "paddle.reversed.front" : "paddle.panic.front", 318, 110);
    Sprite(s, a.sheet, "puck", 290, 200);
    Sprite(s, a.sheet, "burst.2", 400, 90);
    Sprite(s, a.sheet, stage == 3 ? "item.icon.10" : "item.icon.5", 240, 155);
    Sprite(s, a.sheet, vx::ItemHeldIconName(stage == 3 ? 1 : 6), 77, 293);
    if (stage != 3) Sprite(s, a.sheet, vx::ItemHeldIconName(6), 410, 293);
    // The gauge: empty from the table picture's spare rows, then the full part.
    Blit(s, a.battle, 117, 293, 280, 15, 0, 411);
    Sprite(s, a.sheet, "gauge.full", 117, 293, 7 * 26);
    Sprite(s, a.sheet, vx::ItemStripName(stage == 3 ? 1 : 6), 175, 323);
    if (result) {
        Sprite(s, a.sheet, "msg.player1", 53, 120);
        Sprite(s, a.sheet, "msg.win", 93, 180);
    } else if (stage == 3) {
        Sprite(s, a.sheet, "msg.ready", 154, 145);
    }
    return s;
}

QImage ResultMock(const AssetSet& a) {
    QImage s = MatchMock(a, 5, false);
    Sprite(s, a.sheet, "button.retry.hover", 192, 119);
    Sprite(s, a.sheet, "button.stage_select.normal", 112, 156);
    Sprite(s, a.sheet, "button.opening.pressed", 177, 192);
    return s;
}

QImage AnnotatedSheet(const QImage& sheet) {
    QImage big =
        sheet.scaled(sheet.width() * 2, sheet.height() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)
            .convertToFormat(QImage::Format_RGB32);
    QPainter p(&big);
    p.setFont(CondensedFont(10));
    for (const vx::SheetSprite& s : vx::SheetLayout()) {
        const bool view = std::strncmp(s.name, "item.held.", 10) == 0;
        QRect r(s.x * 2, s.y * 2, s.w * 2, s.h * 2);
        p.setPen(QPen(view ? QColor(0, 160, 0) : QColor(220, 0, 0), 1, view ? Qt::DotLine : Qt::SolidLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        if (view) continue;
        p.setPen(QColor(0, 0, 160));
        if (r.width() < 60) {
            p.save();
            p.translate(r.left() + 11, r.top() + 2);
            p.rotate(90);
            p.drawText(0, 0, s.name);
            p.restore();
        } else {
            p.drawText(r.left() + 2, r.top() + 11, s.name);
        }
    }
    return big;
}

}  // namespace

QImage DrawContactSheet(const AssetSet& a) {
    QImage out(2740, 2140, QImage::Format_RGB32);
    out.fill(QColor(0x30, 0x30, 0x38));
    QPainter p(&out);
    p.setFont(UiFont(14));
    auto put = [&](const QImage& img, int x, int y, const char* label) {
        p.setPen(QColor(0xE0, 0xE0, 0xE0));
        p.drawText(x, y - 4, label);
        p.drawImage(x, y, img);
    };
    put(AnnotatedSheet(a.sheet), 8, 24, "Pict (sprite sheet, 2x) - red: sprites, green dots: inset views");
    put(a.linePict, 8, 1660, "LinePict (stages 2, 4, 5 panels; thumbnails of 2..5)");
    const int c1 = 1688, c2 = 2216;
    put(TitleMock(a), c1, 24, "title: OP + buttons (normal, hover, pressed)");
    put(StageSelectMock(a), c2, 24, "stage select: stagec, stage 4 chosen, VS CPU");
    put(WaitingMock(a), c1, 396, "waiting: bwait + stage digit 3");
    put(MatchMock(a, 3, false), c2, 396, "match stage 3 (St3), READY, items");
    put(MatchMock(a, 4, true), c1, 768, "match stage 4, score rule, PLAYER 1 WIN");
    put(ResultMock(a), c2, 768, "result screen on stage 5");
    put(a.battle, c1, 1140, "battle (with the empty gauge at 0, 411)");
    put(a.st3, c2, 1140, "St3");
    put(a.about, c2, 1430, "About");
    put(a.items, c1, 1600, "Items (help window item list)");
    p.end();
    return out;
}

}  // namespace gen
